// The verbs of `noisebind`: each adds its subcommand and options to the
// application and gives what runs once the command line is parsed.
#ifndef NOISEBIND_CLI_VERBS_H
#define NOISEBIND_CLI_VERBS_H

#include <functional>
#include <string>

namespace CLI {
class App;
}

namespace noisebind::cli {

// Runs a parsed verb; gives the exit status (see programs/noisebind/exit_status.h).
using VerbRun = std::function<int()>;

// A verb's GRAPH argument (a file, or - for standard input) and, given
// `output`, its --output option, described as "the output to `does`".
void AddGraphArguments(CLI::App* verb, std::string* graph, std::string* output = nullptr,
                       const char* does = nullptr);

VerbRun AddRender(CLI::App* app);
VerbRun AddStats(CLI::App* app);
VerbRun AddCheck(CLI::App* app);
VerbRun AddSchema(CLI::App* app);
VerbRun AddTiles(CLI::App* app);   // programs/noisebind/tiles_command.cpp
VerbRun AddStudio(CLI::App* app);  // programs/noisebind/studio_command.cpp

}  // namespace noisebind::cli

#endif  // NOISEBIND_CLI_VERBS_H
