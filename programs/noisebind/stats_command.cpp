// noisebind stats: the value range, mean and histogram of a graph output
// over an area, the figures Select bounds and scales are tuned from.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <vector>

#include "engine/maps/map_stats.h"
#include "engine/maps/map_values.h"
#include "programs/noisebind/area.h"
#include "programs/noisebind/map_run.h"
#include "programs/noisebind/verbs.h"

namespace noisebind::cli {
namespace {

constexpr char kDefaultPlane[] = "-8,8,-8,8";
constexpr char kDefaultSize[] = "512x512";

struct StatsOptions {
  std::string graph;
  std::string output;
  AreaOptions area;
  std::uint32_t bins = 10;
  bool json = false;
};

// The lower edge of histogram part `bin`; the upper edge of the last at
// `bins`.
double Edge(const maps::MapStats& stats, std::uint32_t bin, std::uint32_t bins) {
  if (bin == bins) return stats.highest;
  return maps::Between(stats.lowest, stats.highest, static_cast<double>(bin) / bins);
}

void PrintText(const StatsOptions& options, const std::string& output,
               const maps::MapRequest& request, const maps::MapStats& stats,
               const std::vector<std::size_t>& histogram) {
  std::printf("output     %s\n", output.c_str());
  std::printf("area       %s, %u x %u\n", AreaName(options.area, kDefaultPlane).c_str(),
              request.width, request.height);
  std::printf("values     %zu (NaN %zu, infinite %zu)\n", stats.count, stats.nan, stats.infinite);
  std::printf("range      %.9g to %.9g\n", stats.lowest, stats.highest);
  std::printf("mean       %.9g\n", stats.mean);
  std::printf("histogram  %-14s %-14s %10s %7s %7s\n", "from", "to", "values", "share", "below");
  const std::size_t finite = stats.count - stats.nan - stats.infinite;
  std::size_t below = 0;
  const auto bins = static_cast<std::uint32_t>(histogram.size());
  for (std::uint32_t bin = 0; bin < bins; ++bin) {
    below += histogram[bin];
    const double share = finite == 0 ? 0.0 : 100.0 * histogram[bin] / finite;
    const double cumulative = finite == 0 ? 0.0 : 100.0 * below / finite;
    std::printf("           %-14.6g %-14.6g %10zu %6.2f%% %6.2f%%\n", Edge(stats, bin, bins),
                Edge(stats, bin + 1, bins), histogram[bin], share, cumulative);
  }
}

// JSON numbers cannot be NaN: null stands for it.
nlohmann::ordered_json Number(double value) {
  if (value != value) return nullptr;
  return value;
}

void PrintJson(const StatsOptions& options, const std::string& output,
               const maps::MapRequest& request, const maps::MapStats& stats,
               const std::vector<std::size_t>& histogram) {
  const nlohmann::ordered_json document = {
      {"output", output},
      {"area", AreaName(options.area, kDefaultPlane)},
      {"width", request.width},
      {"height", request.height},
      {"count", stats.count},
      {"nan", stats.nan},
      {"infinite", stats.infinite},
      {"min", Number(stats.lowest)},
      {"max", Number(stats.highest)},
      {"mean", Number(stats.mean)},
      {"histogram", histogram},
  };
  std::printf("%s\n", document.dump(2).c_str());
}

int Run(const StatsOptions& options) {
  Failure failure{kDone, ""};
  maps::MapRequest request;
  if (!AreaRequest(options.area, kDefaultPlane, kDefaultSize, &request, &failure)) {
    return Report(failure);
  }
  std::string chosen;
  std::vector<double> values;
  if (!MapGraphOutput(options.graph, options.output, request, options.area.threads, &chosen,
                      &values, &failure)) {
    return Report(failure);
  }
  std::vector<std::size_t> histogram(options.bins);
  const maps::MapStats stats =
      maps::ComputeStats(values.data(), values.size(), options.bins, histogram.data());
  if (options.json) {
    PrintJson(options, chosen, request, stats, histogram);
  } else {
    PrintText(options, chosen, request, stats, histogram);
  }
  return kDone;
}

}  // namespace

VerbRun AddStats(CLI::App* app) {
  auto options = std::make_shared<StatsOptions>();
  CLI::App* verb = app->add_subcommand(
      "stats", "The value range, mean and histogram of an output of a graph file over an area.");
  AddGraphArguments(verb, &options->graph, &options->output, "measure");
  AddAreaOptions(verb, &options->area, kDefaultSize, false);
  verb->get_option("--plane")->description(std::string("x0,x1,z0,z1: a plane at y = 0 (") +
                                           kDefaultPlane + " when no area is given)");
  verb->add_option("--bins", options->bins, "the histogram's parts (10 by default)")
      ->check(CLI::Range(std::uint32_t{1}, maps::kMaxStatsBins))
      ->type_name("N");
  verb->add_flag("--json", options->json, "the figures as a JSON object");
  return [options] { return Run(*options); };
}

}  // namespace noisebind::cli
