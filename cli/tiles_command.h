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

#include "maps/point_source.h"

namespace noisebind::cli {

// A graph file's output as a point source, and the file's text (whose
// digest the pyramid records). False with the reason when the file cannot
// be read or has no such output (empty: its only or default one).
struct LoadedGraph {
  std::shared_ptr<const maps::PointSource> source;
  std::string text;
};
using GraphLoader = std::function<bool(const std::string& path, const std::string& output,
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

// Adds the `tiles` subcommand to `app`; when it is chosen, runs it with the
// graph from `loader`, writing to `out` and `err`, and stores the exit
// status (0 done, 1 failed or tiles missing or damaged) in `*status`.
CLI::App* AddTilesCommand(CLI::App* app, GraphLoader loader, std::ostream* out, std::ostream* err,
                          int* status);

// The command itself, once the options are parsed.
int RunTiles(const TilesOptions& options, const GraphLoader& loader, std::ostream& out,
             std::ostream& err);

}  // namespace noisebind::cli

#endif  // NOISEBIND_CLI_TILES_COMMAND_H
