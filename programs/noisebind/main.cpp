// noisebind: graph files rendered, checked and measured from the command
// line, without Lua.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "programs/noisebind/exit_status.h"
#include "programs/noisebind/verbs.h"

namespace noisebind::cli {

int Report(const Failure& failure) {
  std::fprintf(stderr, "%s%s\n", failure.placed ? "" : "noisebind: ", failure.message.c_str());
  return failure.status;
}

void AddGraphArguments(CLI::App* verb, std::string* graph, std::string* output, const char* does) {
  verb->add_option("GRAPH", *graph, "the graph file (- for standard input)")->required();
  if (output == nullptr) return;
  verb->add_option("--output", *output,
                   std::string("the output to ") + does + " (the only one by default)")
      ->type_name("NAME");
}

namespace {

int Main(int argc, char** argv) {
  CLI::App app{"Renders, checks and measures noise graph files, and edits them in the browser.",
               "noisebind"};
  app.set_version_flag("--version", NOISEBIND_VERSION);
  app.require_subcommand(1);
  app.fallthrough(false);
  using Verb = std::pair<CLI::App*, VerbRun>;
  std::vector<Verb> verbs;
  for (VerbRun (*add)(CLI::App*) :
       {AddRender, AddStats, AddCheck, AddSchema, AddTiles, AddStudio}) {
    VerbRun run = add(&app);
    verbs.emplace_back(app.get_subcommands({}).back(), std::move(run));
  }
  // CLI11 would only say that a verb is required.
  const auto known = [&](const char* word) {
    for (const Verb& verb : verbs) {
      if (verb.first->get_name() == word) return true;
    }
    return false;
  };
  if (argc > 1 && argv[1][0] != '-' && !known(argv[1])) {
    return Report({kUsageWrong,
                   std::string("unknown verb '") + argv[1] +
                       "' (render, stats, check, schema, tiles or studio; see noisebind --help)"});
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::string message = e.what();
    if (!message.empty() && message.back() == '\n') message.pop_back();
    std::fprintf(stderr, "noisebind: %s (see --help)\n", message.c_str());
    return kUsageWrong;
  }
  for (const Verb& verb : verbs) {
    if (verb.first->parsed()) return verb.second();
  }
  return kUsageWrong;
}

}  // namespace
}  // namespace noisebind::cli

int main(int argc, char** argv) {
  try {
    return noisebind::cli::Main(argc, argv);
  } catch (const std::bad_alloc&) {
    return noisebind::cli::Report({noisebind::cli::kInputWrong, "not enough memory"});
  } catch (const std::exception& e) {
    return noisebind::cli::Report({noisebind::cli::kInputWrong, e.what()});
  }
}
