// noisebind-studio: the studio on its own, as `noisebind studio` runs it.
#include <CLI/CLI.hpp>

#include "studio/graphfile_codec.h"
#include "studio/launch.h"
#include "studio/studio_options.h"

int main(int argc, char** argv) {
  using namespace noisebind::studio;
  CLI::App app("noisebind studio: design a graph in the browser, every node's map live");
  LaunchOptions options;
  AddStudioOptions(&app, &options);
  CLI11_PARSE(app, argc, argv);
  options.server.pageDir = FindPageDir(argv[0]);
  const GraphFileCodec codec;
  return RunStudio(options, codec, stdout, stderr);
}
