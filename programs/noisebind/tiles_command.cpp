#include "programs/noisebind/tiles_command.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "engine/maps/node_source.h"
#include "engine/maps/parallel_rows.h"
#include "engine/tiles/digest.h"
#include "engine/tiles/pyramid.h"
#include "programs/noisebind/graph_input.h"
#include "programs/noisebind/tiles_serve.h"
#include "programs/noisebind/verbs.h"

namespace noisebind::cli {
namespace {

bool ParseRange(const std::string& text, double* low, double* high) {
  const std::size_t dots = text.find("..");
  if (dots == std::string::npos) return false;
  const std::string parts[2] = {text.substr(0, dots), text.substr(dots + 2)};
  double values[2];
  for (int i = 0; i < 2; ++i) {
    char* end = nullptr;
    values[i] = std::strtod(parts[i].c_str(), &end);
    if (parts[i].empty() || *end != '\0' || !std::isfinite(values[i])) return false;
  }
  *low = values[0];
  *high = values[1];
  return values[0] < values[1];
}

// The file's name without folders and the last extension.
std::string Stem(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  const std::size_t dot = name.find_last_of('.');
  return dot == 0 || dot == std::string::npos ? name : name.substr(0, dot);
}

bool BuildPlan(const TilesOptions& options, const LoadedGraph& graph, tiles::PyramidPlan* plan,
               std::string* error) {
  if (options.sphere == !options.plane.empty()) {
    *error = "give either --sphere or --plane X0,X1,Z0,Z1";
    return false;
  }
  plan->grid.surface = options.sphere ? tiles::Surface::kSphere : tiles::Surface::kPlane;
  if (!options.sphere && !tiles::ParsePlaneBounds(options.plane, &plan->grid.plane, error))
    return false;
  if (!tiles::ParseLevels(options.zoom, &plan->fromLevel, &plan->toLevel, error)) return false;
  if (!tiles::ParseFormat(options.format, &plan->format)) {
    *error = "--format must be png, heightmap16 or terrain-rgb, got '" + options.format + "'";
    return false;
  }
  if (options.tile < tiles::kMinTileSize || options.tile > tiles::kMaxTileSize) {
    *error = "--tile must be from 1 to 4096, got " + std::to_string(options.tile);
    return false;
  }
  plan->tileSize = options.tile;
  plan->style = tiles::DefaultStyle();
  plan->style.lit = !options.noLight;
  if (!ParseRange(options.range, &plan->style.low, &plan->style.high)) {
    *error = "--range must be LOW..HIGH, finite, LOW < HIGH, got '" + options.range + "'";
    return false;
  }
  if (!(std::isfinite(options.heightScale) && options.heightScale > 0.0)) {
    *error = "--height-scale must be a finite number above 0";
    return false;
  }
  plan->style.heightScale = options.heightScale;
  plan->name = options.name.empty() ? Stem(options.graph) : options.name;
  plan->output = options.output;
  plan->graphDigest = tiles::Sha256Hex(graph.text);
  if (plan->graphDigest.empty()) {
    *error = "cannot compute the graph's digest";
    return false;
  }
  return true;
}

// A graph's output as a point source that keeps the whole graph alive.
class GraphSource final : public maps::PointSource {
 public:
  GraphSource(graphfile::Graph graph, const objects::Node& root)
      : m_graph(std::move(graph)), m_source(root) {}
  bool Evaluable(std::string* why) const override { return m_source.Evaluable(why); }
  bool Values(Workspace* workspace, const double* x, const double* y, const double* z,
              std::size_t count, double* out, std::string* error) const override {
    return m_source.Values(workspace, x, y, z, count, out, error);
  }

 private:
  graphfile::Graph m_graph;
  maps::NodeSource<objects::Node> m_source;
};

}  // namespace

int LoadGraphForTiles(const std::string& path, const std::string& output, LoadedGraph* loaded,
                      std::string* error) {
  graphfile::Graph graph;
  Failure failure{kDone, ""};
  const objects::Node* root = nullptr;
  std::string chosen;
  if (!LoadGraph(path, &graph, &failure) ||
      !ChooseOutput(path, graph, output, &root, &chosen, &failure)) {
    *error = failure.message;
    return failure.status;
  }
  std::string text;
  if (!graphfile::Encode(
          {{chosen, root}}, [](const objects::Node& node) { return node.label(); },
          graphfile::EncodeOptions{}, &text, error)) {
    *error = path + ": " + *error;
    return kInputWrong;
  }
  loaded->text = text;
  loaded->source = std::make_shared<GraphSource>(std::move(graph), *root);
  return kDone;
}

VerbRun AddTiles(CLI::App* app) {
  return AddTilesCommand(app, LoadGraphForTiles, &std::cout, &std::cerr);
}

int RunTiles(const TilesOptions& options, const GraphLoader& loader, std::ostream& out,
             std::ostream& err) {
  // Not required by the parser: `tiles serve` needs none of them.
  for (const auto& [value, name] :
       {std::pair{&options.graph, "GRAPH"}, std::pair{&options.zoom, "--zoom"},
        std::pair{&options.out, "--out"}}) {
    if (value->empty()) {
      err << "noisebind tiles: " << name << " is required\n";
      return kUsageWrong;
    }
  }
  std::string error;
  tiles::JobShare job;
  if (!tiles::ResolveJob(
          options.jobSet, options.job, options.ofSet, options.of,
          [](const char* name) { return std::getenv(name); }, &job, &error)) {
    err << "noisebind tiles: " << error << "\n";
    return kUsageWrong;
  }
  LoadedGraph graph;
  tiles::PyramidPlan plan;
  if (const int status = loader(options.graph, options.output, &graph, &error)) {
    err << "noisebind tiles: " << error << "\n";
    return status;
  }
  if (!BuildPlan(options, graph, &plan, &error)) {
    err << "noisebind tiles: " << error << "\n";
    return kUsageWrong;
  }
  const unsigned threads = options.threads == 0 ? maps::DefaultThreads() : options.threads;
  const std::string share = "job " + std::to_string(job.index) + " of " + std::to_string(job.count);
  if (options.verify) {
    tiles::VerifyReport report;
    if (!tiles::VerifyPyramid(*graph.source, plan, options.out, job, threads, nullptr, &report,
                              &error)) {
      err << "noisebind tiles: " << error << "\n";
      return 1;
    }
    for (const std::string& tile : report.missing) out << "missing " << tile << "\n";
    for (const std::string& tile : report.damaged) out << "damaged " << tile << "\n";
    for (const std::string& file : report.leftovers) out << "leftover " << file << "\n";
    out << share << ": " << report.checked << " tiles checked, " << report.missing.size()
        << " missing, " << report.damaged.size() << " damaged, " << report.leftovers.size()
        << " temporaries left\n";
    return report.Complete() ? 0 : 1;
  }
  tiles::WriteReport report;
  const bool written =
      tiles::WritePyramid(*graph.source, plan, options.out, job, threads, nullptr, &report, &error);
  if (!options.quiet || !written)
    out << share << ": " << report.written << " tiles written, " << report.skipped
        << " complete already, " << report.removedTemporaries << " temporaries removed\n";
  if (!written) {
    err << "noisebind tiles: " << error << "\n";
    return 1;
  }
  return 0;
}

std::function<int()> AddTilesCommand(CLI::App* app, GraphLoader loader, std::ostream* out,
                                     std::ostream* err) {
  auto options = std::make_shared<TilesOptions>();
  CLI::App* tiles = app->add_subcommand(
      "tiles",
      "Write a tile pyramid of a graph (DIR/z/x/y.png and DIR/tiles.json), or one "
      "job's share of it, or check one (--verify)");
  tiles->add_option("GRAPH", options->graph, "The graph file");
  tiles->add_option("--output", options->output, "The graph's output to sample");
  tiles->add_flag("--sphere", options->sphere,
                  "The globe: level z is 2^(z+1) x 2^z tiles, equirectangular");
  tiles->add_option("--plane", options->plane,
                    "A plane X0,X1,Z0,Z1: level z is 2^z x 2^z tiles, row 0 at Z0");
  tiles->add_option("--zoom", options->zoom, "Levels A..B (or one level A)");
  tiles->add_option("--out", options->out, "The pyramid's folder");
  tiles->add_option("--tile", options->tile, "Tile side in pixels (1 to 4096)")
      ->capture_default_str();
  tiles->add_option("--format", options->format, "png, heightmap16 or terrain-rgb")
      ->capture_default_str();
  tiles->add_option("--name", options->name, "The pyramid's name (default: the file's)");
  tiles->add_option("--job", options->job,
                    "This job's number K, from 0 (default: SLURM_ARRAY_TASK_ID, "
                    "JOB_COMPLETION_INDEX, or 0)");
  tiles->add_option("--of", options->of,
                    "The number of jobs N (default: SLURM_ARRAY_TASK_COUNT, JOB_COMPLETIONS, "
                    "or 1)");
  tiles->add_flag("--verify", options->verify,
                  "Check the share of the pyramid instead, naming missing and damaged tiles");
  tiles->add_option("--threads", options->threads, "Threads per tile (default: every core)");
  tiles->add_flag("--no-light", options->noLight, "png: colours without hill shading");
  tiles->add_option("--range", options->range, "heightmap16: values at grey 0 and 65535")
      ->capture_default_str();
  tiles
      ->add_option("--height-scale", options->heightScale,
                   "terrain-rgb: metres per unit of the graph's value")
      ->capture_default_str();
  tiles->add_flag("--quiet", options->quiet, "No summary line when all went well");
  auto serveOptions = std::make_shared<ServeOptions>();
  CLI::App* serve = tiles->add_subcommand(
      "serve", "Show a pyramid on a map page at http://127.0.0.1:PORT/ (read-only)");
  serve->add_option("DIR", serveOptions->pyramid, "The pyramid's folder")->required();
  serve->add_option("--elevation", serveOptions->elevation,
                    "A terrain-rgb pyramid of the same graph, for the height under the cursor "
                    "(and, under a plane, its relief in 3D)");
  serve->add_option("--port", serveOptions->port, "The port; 0 for any free one")
      ->capture_default_str();
  serveOptions->page = NOISEBIND_TILES_PAGE;
  serve->add_option("--page", serveOptions->page, "The built map page")->capture_default_str();
  return [tiles, serve, serveOptions, options, loader, out, err] {
    if (serve->parsed()) return RunServe(*serveOptions, *out, *err);
    options->jobSet = tiles->count("--job") > 0;
    options->ofSet = tiles->count("--of") > 0;
    return RunTiles(*options, loader, *out, *err);
  };
}

}  // namespace noisebind::cli
