// noisebind check and noisebind schema: a graph file read as the decoder
// reads it, and the schema of every class.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

#include "programs/noisebind/graph_input.h"
#include "programs/noisebind/verbs.h"

namespace noisebind::cli {
namespace {

struct CheckOptions {
  std::string graph;
};

// Every output must also be evaluable: a file that decodes but cannot be
// rendered (a source left null) fails too.
int RunCheck(const CheckOptions& options) {
  Failure failure{kDone, ""};
  graphfile::Graph graph;
  if (!LoadGraph(options.graph, &graph, &failure)) return Report(failure);
  std::string names;
  for (const auto& output : graph.outputs) {
    const objects::Node* node = nullptr;
    std::string chosen;
    if (!ChooseOutput(options.graph, graph, output.first, &node, &chosen, &failure)) {
      return Report(failure);
    }
    names += (names.empty() ? "" : ", ") + output.first;
  }
  std::printf("%s: %zu node%s, output%s %s\n", options.graph.c_str(), graph.nodes.size(),
              graph.nodes.size() == 1 ? "" : "s", graph.outputs.size() == 1 ? "" : "s",
              names.c_str());
  return kDone;
}

}  // namespace

VerbRun AddCheck(CLI::App* app) {
  auto options = std::make_shared<CheckOptions>();
  CLI::App* verb = app->add_subcommand(
      "check", "Reads a graph file as the decoder does: its errors, or a summary of the graph.");
  AddGraphArguments(verb, &options->graph);
  return [options] { return RunCheck(*options); };
}

VerbRun AddSchema(CLI::App* app) {
  auto compact = std::make_shared<bool>(false);
  CLI::App* verb = app->add_subcommand(
      "schema",
      "Prints the schema of every class (sources, fields, types, defaults, ranges) as JSON.");
  verb->add_flag("--compact", *compact, "on one line");
  return [compact] {
    std::printf("%s\n", graphfile::SchemaJson(*compact).c_str());
    return kDone;
  };
}

}  // namespace noisebind::cli
