#include "programs/studio/studio_options.h"

namespace noisebind::studio {

void AddStudioOptions(CLI::App* command, LaunchOptions* options) {
  StudioOptions& server = options->server;
  server.graphPath = "graph.json";
  command->add_option("GRAPH", server.graphPath,
                      "the graph file to edit (a new one when it does not exist)");
  command->add_option("--port", server.port, "the port to listen on (default: a free one)")
      ->check(CLI::Range(0, 65535));
  command->add_option("--listen", server.listen,
                      "the address to listen on (default 127.0.0.1: this machine only)");
  command->add_flag(
      "--no-browser", [options](std::int64_t) { options->openBrowser = false; },
      "print the url only, open no browser");
}

}  // namespace noisebind::studio
