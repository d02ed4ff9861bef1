// Graph files read for the verbs: the file decoded, and the output a verb
// works on chosen.
#ifndef NOISEBIND_CLI_GRAPH_INPUT_H
#define NOISEBIND_CLI_GRAPH_INPUT_H

#include <string>

#include "engine/graphfile/graph_file.h"
#include "programs/noisebind/exit_status.h"

namespace noisebind::cli {

// Reads and decodes `path` ("-" for standard input). False with the
// failure: the decoder's errors as FILE:LINE:COL: ... or FILE: node ...
bool LoadGraph(const std::string& path, graphfile::Graph* graph, Failure* failure);

// The output named `name`; with no name, the only output. Refuses a name
// the file lacks and a missing name when the file has several outputs,
// listing them (a command-line fault: exit status 2). Refuses an output
// that cannot be evaluated (an input fault).
bool ChooseOutput(const std::string& path, const graphfile::Graph& graph, const std::string& name,
                  const objects::Node** node, std::string* chosen, Failure* failure);

// "FILE:12:20: ..." for a decoder error with a place, "FILE: ..." otherwise.
std::string PlacedError(const std::string& path, const std::string& error);

}  // namespace noisebind::cli

#endif  // NOISEBIND_CLI_GRAPH_INPUT_H
