// noisebind_bench: what each call of a LibNoise function costs, next to the
// library call alone and to a hand-written Lua C function making it.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <set>
#include <string>
#include <vector>

#include "bench_state.h"
#include "callgrind_probe.h"
#include "lua/module/noise_table.h"
#include "lua_loops.h"
#include "maps_bench.h"
#include "measure.h"
#include "report.h"
#include "subjects.h"

namespace {

constexpr char kUsage[] =
    "usage: noisebind_bench [--rounds N] [--ms N] [--points N] [--only NAME,...]\n"
    "                       [--extension PATH] [--callgrind OUTFILE [--calls N]]\n"
    "                       [--map-rounds N]\n"
    "\n"
    "Times every function three ways over the same points: a, the library call in a\n"
    "C++ loop; b, a hand-written Lua C function; c, the extension's function through\n"
    "the vessa host. With --callgrind, run under valgrind --tool=callgrind with the\n"
    "same --callgrind-out-file, it counts instructions per call instead.\n"
    "Then maps: a 1024 x 1024 map on one thread and on every core against the\n"
    "library's loop (--only maps for them alone, --map-rounds 0 for none).\n";

struct Options {
  int rounds = 15;
  double milliseconds = 4.0;
  std::size_t points = 1024;
  std::set<std::string> only;
  std::string extension = NOISEBIND_BENCH_EXTENSION;
  std::string callgrind;
  long calls = 4096;
  int mapRounds = 7;
};

bool Parse(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (word == "--rounds") {
      options->rounds = std::atoi(value.c_str());
    } else if (word == "--ms") {
      options->milliseconds = std::atof(value.c_str());
    } else if (word == "--points") {
      options->points = static_cast<std::size_t>(std::atol(value.c_str()));
    } else if (word == "--only") {
      std::size_t start = 0;
      while (start <= value.size()) {
        const std::size_t comma = value.find(',', start);
        const std::size_t end = comma == std::string::npos ? value.size() : comma;
        options->only.insert(value.substr(start, end - start));
        start = end + 1;
      }
    } else if (word == "--extension") {
      options->extension = value;
    } else if (word == "--callgrind") {
      options->callgrind = value;
    } else if (word == "--calls") {
      options->calls = std::atol(value.c_str());
    } else if (word == "--map-rounds") {
      options->mapRounds = std::atoi(value.c_str());
    } else {
      return false;
    }
  }
  return options->rounds > 0 && options->milliseconds > 0 && options->points > 0 &&
         options->calls > 0 && options->mapRounds >= 0;
}

std::vector<const bench::Subject*> Chosen(const Options& options) {
  std::vector<const bench::Subject*> chosen;
  for (const bench::Subject& subject : bench::Subjects()) {
    if (options.only.empty() || options.only.count(subject.name) != 0) chosen.push_back(&subject);
  }
  return chosen;
}

int Run(const Options& options) {
  const bench::BenchState state(options.extension);
  const std::vector<const bench::Subject*> subjects = Chosen(options);
  const bool mapsOnly = options.only.size() == 1 && options.only.count("maps") == 1;
  if (mapsOnly)
    return options.callgrind.empty() && !bench::RunMapsBench(state.lua(), options.mapRounds) ? 1
                                                                                             : 0;
  if (subjects.empty()) {
    std::fprintf(stderr, "noisebind_bench: no function by that name\n");
    return 2;
  }

  bench::LuaLoops lua(state.lua());
  std::vector<bench::Case> cases = bench::PrepareCases(lua, subjects, options.points);
  for (bench::Case& c : cases) bench::WarmUp(lua, c);

  if (!options.callgrind.empty()) {
    if (!bench::CallgrindProbe::Available()) {
      std::fprintf(stderr,
                   "noisebind_bench: --callgrind needs a build with valgrind's headers and a "
                   "run under valgrind --tool=callgrind\n");
      return 2;
    }
    bench::CallgrindProbe probe(options.callgrind);
    for (bench::Case& c : cases) bench::CountInstructions(lua, c, probe, options.calls);
    bench::PrintInstructions(cases);
    return 0;
  }

  std::printf(
      "noisebind_bench: %zu functions, %zu points, %d rounds of ~%.0f ms per variant; c "
      "through %s\n",
      cases.size(), options.points, options.rounds, options.milliseconds,
      bench::BenchState::Path());
  std::fflush(stdout);
  for (bench::Case& c : cases) bench::Calibrate(lua, c, options.milliseconds / 1000.0);
  // Round by round over every function, so that a slow spell of the machine
  // touches them all alike.
  for (int round = 0; round < options.rounds; ++round) {
    for (bench::Case& c : cases) bench::TimeRound(lua, c, round);
  }
  bench::PrintTimes(cases, options.rounds);
  if (options.mapRounds > 0 && options.only.empty() &&
      !bench::RunMapsBench(state.lua(), options.mapRounds)) {
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, &options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  try {
    return Run(options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "noisebind_bench: %s\n", error.what());
    return 1;
  }
}
