// The tiles command over built-in graphs, for the pyramid tests until the
// noisebind command reads graph files: GRAPH is a file whose first word
// names the graph, "perlin" (libnoise's default Perlin) or "planet" (the
// planet of examples/planet_big.lua); the file's text is what the
// pyramid's digest covers.
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/tiles_command.h"
#include "maps/node_source.h"
#include "objects/classes.h"
#include "planet_graph.h"

namespace {

using noisebind::cli::LoadedGraph;

// Keeps the graph alive as long as the source.
template <class Graph>
struct OwningSource final : noisebind::maps::PointSource {
  explicit OwningSource(std::unique_ptr<Graph> owned, const noisebind::objects::Node& root)
      : graph(std::move(owned)), source(root) {}
  bool Evaluable(std::string* why) const override { return source.Evaluable(why); }
  bool Values(Workspace* w, const double* x, const double* y, const double* z, std::size_t n,
              double* out, std::string* error) const override {
    return source.Values(w, x, y, z, n, out, error);
  }
  std::unique_ptr<Graph> graph;
  noisebind::maps::NodeSource<noisebind::objects::Node> source;
};

struct NodeOwner {
  explicit NodeOwner(noisebind::objects::Kind kind) : node(noisebind::objects::CreateNode(kind)) {}
  NodeOwner(const NodeOwner&) = delete;
  NodeOwner& operator=(const NodeOwner&) = delete;
  ~NodeOwner() { noisebind::objects::DestroyNode(node); }
  noisebind::objects::Node* node;
};

bool LoadBuiltIn(const std::string& path, const std::string& output, LoadedGraph* graph,
                 std::string* error) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in) {
    *error = "cannot read " + path;
    return false;
  }
  graph->text = text.str();
  std::string name;
  std::istringstream(graph->text) >> name;
  if (!output.empty()) {
    *error = "the built-in graphs have one output";
    return false;
  }
  if (name == "planet") {
    auto planet = std::make_unique<noisebind::bench::ObjectPlanet>();
    const auto& root = planet->root();
    graph->source =
        std::make_shared<OwningSource<noisebind::bench::ObjectPlanet>>(std::move(planet), root);
    return true;
  }
  if (name == "perlin") {
    auto owner = std::make_unique<NodeOwner>(noisebind::objects::Kind::kPerlin);
    if (owner->node == nullptr) {
      *error = "not enough memory";
      return false;
    }
    const auto& root = *owner->node;
    graph->source = std::make_shared<OwningSource<NodeOwner>>(std::move(owner), root);
    return true;
  }
  *error = path + ": no built-in graph '" + name + "' (perlin, planet)";
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("noisebind tiles over built-in graphs (tests)");
  app.require_subcommand(1);
  int status = 0;
  noisebind::cli::AddTilesCommand(&app, LoadBuiltIn, &std::cout, &std::cerr, &status);
  CLI11_PARSE(app, argc, argv);
  return status;
}
