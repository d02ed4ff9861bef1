// The area a verb maps: --plane, --sphere or --cylinder with four bounds
// (the Lua builders' bounds, in their order), --size WxH and the
// builders' options, turned into a map request.
#ifndef NOISEBIND_CLI_AREA_H
#define NOISEBIND_CLI_AREA_H

#include <string>

#include "engine/maps/map_builder.h"
#include "programs/noisebind/exit_status.h"

namespace CLI {
class App;
}

namespace noisebind::cli {

struct AreaOptions {
  std::string plane;
  std::string sphere;
  std::string cylinder;
  std::string size;
  bool seamless = false;
  std::string positions = "index";
  unsigned threads = 0;  // 0: every core
};

// Adds the options above to a verb; `fallback` describes the default area
// in the help, or is empty when an area is required.
void AddAreaOptions(CLI::App* verb, AreaOptions* options, const std::string& fallbackSize,
                    bool required);

// The request the options describe; `plane` and `size` stand for options
// not given. False with the failure (exit status 2).
bool AreaRequest(const AreaOptions& options, const std::string& fallbackPlane,
                 const std::string& fallbackSize, maps::MapRequest* request, Failure* failure);

// Numbers separated by commas, each finite: exactly `count` of them into
// `numbers`. False with the reason.
bool ParseNumbers(const std::string& text, int count, double* numbers, std::string* error);

// "WxH": two integers from 1 to the largest map side.
bool ParseSize(const std::string& text, std::uint32_t* width, std::uint32_t* height,
               std::string* error);

// The name and bounds of the area, e.g. "plane -8,8,-8,8", as given.
std::string AreaName(const AreaOptions& options, const std::string& fallbackPlane);

}  // namespace noisebind::cli

#endif  // NOISEBIND_CLI_AREA_H
