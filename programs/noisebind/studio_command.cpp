// noisebind studio [GRAPH] [--port N] [--listen ADDR] [--no-browser]: the
// studio's server for one graph file (programs/studio/), until Ctrl-C.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

#include "programs/noisebind/verbs.h"
#include "programs/studio/graphfile_codec.h"
#include "programs/studio/launch.h"
#include "programs/studio/studio_options.h"

namespace noisebind::cli {

VerbRun AddStudio(CLI::App* app) {
  CLI::App* command =
      app->add_subcommand("studio", "edit a graph file in the browser, every node's map live");
  auto options = std::make_shared<studio::LaunchOptions>();
  studio::AddStudioOptions(command, options.get());
  return [options] {
    options->server.pageDir = studio::FindPageDir(nullptr);
    const studio::GraphFileCodec codec;
    return studio::RunStudio(*options, codec, stdout, stderr);
  };
}

}  // namespace noisebind::cli
