// The command line of `noisebind studio`, shared by the command and the
// studio's own program.
#ifndef NOISEBIND_STUDIO_STUDIO_OPTIONS_H
#define NOISEBIND_STUDIO_STUDIO_OPTIONS_H

#include <CLI/CLI.hpp>

#include "programs/studio/launch.h"

namespace noisebind::studio {

// Adds GRAPH, --port, --listen and --no-browser to `command`, read into
// `options`.
void AddStudioOptions(CLI::App* command, LaunchOptions* options);

}  // namespace noisebind::studio

#endif  // NOISEBIND_STUDIO_STUDIO_OPTIONS_H
