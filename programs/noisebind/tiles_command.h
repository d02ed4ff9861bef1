// `noisebind tiles`: a tile pyramid of a graph, or this job's share of it,
// and its check (--verify).
#ifndef NOISEBIND_CLI_TILES_COMMAND_H
#define NOISEBIND_CLI_TILES_COMMAND_H

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "engine/maps/point_source.h"

namespace noisebind::cli {

// A graph file's output as a point source, and the text whose digest the
// pyramid records. A loader gives 0, or the exit status (programs/noisebind/exit_status.h)
// with the reason when the file cannot be read or has no such output
// (empty: its only one).
struct LoadedGraph {
  std::shared_ptr<const maps::PointSource> source;
  std::string text;
};
using GraphLoader = std::function<int(const std::string& path, const std::string& output,
                                      LoadedGraph* graph, std::string* error)>;

struct TilesOptions {
  std::string graph;
  std::string output;
  bool sphere = false;
  std::string plane;
  std::string zoom;
  std::string out;
  std::uint32_t tile = 256;
  std::string format = "png";
  std::string name;
  bool jobSet = false;
  std::uint64_t job = 0;
  bool ofSet = false;
  std::uint64_t of = 1;
  bool verify = false;
  unsigned threads = 0;  // 0: every core
  bool noLight = false;
  std::string range = "-1..1";
  double heightScale = 1000.0;
  bool quiet = false;
};

// Adds the `tiles` subcommand (and `tiles serve`) to `app`; gives what
// runs it once the command line is parsed, with the graph from `loader`,
// writing to `out` and `err`: the exit status, 0 done, 1 failed or tiles
// missing or damaged, 2 the command line was wrong.
std::function<int()> AddTilesCommand(CLI::App* app, GraphLoader loader, std::ostream* out,
                                     std::ostream* err);

// The loader of the noisebind command: the file read and decoded as the
// other verbs read it, the output chosen as they choose it; the text the
// digest covers is the chosen output's graph re-encoded canonically, so
// that the digest names the graph, not the file's spacing or its other
// outputs.
int LoadGraphForTiles(const std::string& path, const std::string& output, LoadedGraph* graph,
                      std::string* error);

// The command itself, once the options are parsed.
int RunTiles(const TilesOptions& options, const GraphLoader& loader, std::ostream& out,
             std::ostream& err);

}  // namespace noisebind::cli

#endif  // NOISEBIND_CLI_TILES_COMMAND_H
