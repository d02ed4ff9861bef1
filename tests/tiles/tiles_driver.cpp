// The tiles subcommand over graph files, on its own: what `make test-tiles`
// and the tests run (the noisebind command adds the same subcommand to its
// other verbs). OUTPUT names the graph's output; a file of one output
// needs none.
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/tiles_command.h"
#include "maps/node_source.h"
#include "objects/graphfile/graph_file.h"

namespace {

using noisebind::cli::LoadedGraph;
namespace graphfile = noisebind::graphfile;

// A graph's output as a point source that keeps the whole graph alive.
struct GraphSource final : noisebind::maps::PointSource {
  GraphSource(graphfile::Graph decoded, const noisebind::objects::Node& root)
      : graph(std::move(decoded)), source(root) {}
  bool Evaluable(std::string* why) const override { return source.Evaluable(why); }
  bool Values(Workspace* w, const double* x, const double* y, const double* z, std::size_t n,
              double* out, std::string* error) const override {
    return source.Values(w, x, y, z, n, out, error);
  }
  graphfile::Graph graph;
  noisebind::maps::NodeSource<noisebind::objects::Node> source;
};

bool LoadGraphFile(const std::string& path, const std::string& output, LoadedGraph* loaded,
                   std::string* error) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in) {
    *error = "cannot read " + path;
    return false;
  }
  graphfile::Graph graph;
  if (!graphfile::Decode(text.str(), &graph, error)) {
    *error = path + ": " + *error;
    return false;
  }
  std::string name = output;
  if (name.empty() && graph.outputs.size() == 1) name = graph.outputs.front().first;
  const noisebind::objects::Node* root = graph.Output(name);
  if (root == nullptr) {
    *error = path + ": " +
             (output.empty() ? "several outputs: choose one with --output"
                             : "no output '" + output + "'");
    return false;
  }
  loaded->text = text.str();
  loaded->source = std::make_shared<GraphSource>(std::move(graph), *root);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("noisebind tiles: tile pyramids of graph files");
  app.require_subcommand(1);
  int status = 0;
  noisebind::cli::AddTilesCommand(&app, LoadGraphFile, &std::cout, &std::cerr, &status);
  CLI11_PARSE(app, argc, argv);
  return status;
}
