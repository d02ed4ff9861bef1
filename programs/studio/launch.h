// Running the studio from a command: serve until Ctrl-C, print the URL and
// open it in the desktop's browser.
#ifndef NOISEBIND_STUDIO_LAUNCH_H
#define NOISEBIND_STUDIO_LAUNCH_H

#include <cstdio>
#include <string>

#include "programs/studio/graph_codec.h"
#include "programs/studio/server.h"

namespace noisebind::studio {

struct LaunchOptions {
  StudioOptions server;
  bool openBrowser = true;  // where a desktop exists (DISPLAY or WAYLAND_DISPLAY)
};

// Where the built page lies: beside the program in the build tree, or
// installed under the prefix; empty when neither holds it.
std::string FindPageDir(const char* programPath);

// Serves until SIGINT or SIGTERM, after printing the URL to `out`; the exit
// status: 0 when stopped by a signal, 1 when the server cannot start (the
// reason on `err`).
int RunStudio(const LaunchOptions& options, const GraphCodec& codec, std::FILE* out,
              std::FILE* err);

}  // namespace noisebind::studio

#endif  // NOISEBIND_STUDIO_LAUNCH_H
