// The colour gradients of `noisebind render`: a few by name, or stops read
// from a JSON file, the same stops a script gives noise.render.
#ifndef NOISEBIND_CLI_GRADIENTS_H
#define NOISEBIND_CLI_GRADIENTS_H

#include <string>
#include <vector>

#include "engine/render/gradient.h"
#include "programs/noisebind/exit_status.h"

namespace noisebind::cli {

// The names, in the order the help lists them.
std::vector<std::string> GradientNames();

// The gradient called `nameOrPath`, else the stops in that file: a JSON
// array of [value, red, green, blue] or [value, red, green, blue, alpha]
// arrays, finite numbers, values increasing. False with the failure: a
// command-line fault when there is neither such a name nor such a file,
// an input fault when the file's contents are refused.
bool LoadGradient(const std::string& nameOrPath, std::vector<render::GradientStop>* stops,
                  Failure* failure);

}  // namespace noisebind::cli

#endif  // NOISEBIND_CLI_GRADIENTS_H
