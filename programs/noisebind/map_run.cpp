#include "programs/noisebind/map_run.h"

#include <new>

#include "engine/maps/node_source.h"
#include "programs/noisebind/graph_input.h"
#include "programs/vessa/progress_bar.h"

namespace noisebind::cli {

bool MapNode(const objects::Node& node, const maps::MapRequest& request, unsigned threads,
             std::vector<double>* values, Failure* failure) {
  try {
    values->resize(std::size_t{request.width} * request.height);
  } catch (const std::bad_alloc&) {
    *failure =
        Failure{kInputWrong, "not enough memory for a map of " + std::to_string(request.width) +
                                 " x " + std::to_string(request.height) + " values"};
    return false;
  }
  const maps::Progress progress = vessa::TerminalProgress();
  maps::RunOptions run;
  run.threads = threads == 0 ? maps::DefaultThreads() : threads;
  run.progress = progress ? &progress : nullptr;
  const maps::NodeSource<objects::Node> source(node);
  std::string error;
  if (!maps::BuildMap(source, request, run, values->data(), &error)) {
    *failure = Failure{kInputWrong, error};
    return false;
  }
  return true;
}

bool MapGraphOutput(const std::string& path, const std::string& output,
                    const maps::MapRequest& request, unsigned threads, std::string* chosen,
                    std::vector<double>* values, Failure* failure) {
  graphfile::Graph graph;
  const objects::Node* node = nullptr;
  return LoadGraph(path, &graph, failure) &&
         ChooseOutput(path, graph, output, &node, chosen, failure) &&
         MapNode(*node, request, threads, values, failure);
}

}  // namespace noisebind::cli
