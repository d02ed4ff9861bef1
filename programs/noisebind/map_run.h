// A graph output mapped over an area on every core, with a progress bar
// on a terminal: what render and stats both do first.
#ifndef NOISEBIND_CLI_MAP_RUN_H
#define NOISEBIND_CLI_MAP_RUN_H

#include <string>
#include <vector>

#include "engine/graph/node.h"
#include "engine/maps/map_builder.h"
#include "programs/noisebind/exit_status.h"

namespace noisebind::cli {

// Fills `values` (resized to the map) with the node's values; `threads` 0
// for every core. False with the failure.
bool MapNode(const objects::Node& node, const maps::MapRequest& request, unsigned threads,
             std::vector<double>* values, Failure* failure);

// The graph file at `path` read, its output `output` chosen (the only one
// when empty; its name into `chosen`) and mapped as MapNode does.
bool MapGraphOutput(const std::string& path, const std::string& output,
                    const maps::MapRequest& request, unsigned threads, std::string* chosen,
                    std::vector<double>* values, Failure* failure);

}  // namespace noisebind::cli

#endif  // NOISEBIND_CLI_MAP_RUN_H
