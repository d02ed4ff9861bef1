// The studio's previews through HTTP, as the page asks for them: from an
// edit of the 109-node planet to its first (coarse) picture and to the full
// 512 x 512 one, and a 256 x 256 six-octave Perlin; beside the same planet
// mapped directly (what noise.planemap does) on as many threads. Medians of
// one run; ends with the `studio:` line.
// Usage: noisebind_studio_bench PLANET_JSON [--rounds N]
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/maps/map_builder.h"
#include "engine/maps/node_source.h"
#include "programs/studio/graphfile_codec.h"
#include "programs/studio/server.h"

namespace {

using Json = nlohmann::json;
using Clock = std::chrono::steady_clock;
using noisebind::studio::GraphFileCodec;
using noisebind::studio::StudioServer;

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double Since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The planet with its first seed changed: an edit.
std::string Edited(const Json& planet, int round) {
  Json edited = planet;
  for (Json& node : edited["nodes"]) {
    if (node["fields"].contains("seed")) {
      node["fields"]["seed"] = round;
      break;
    }
  }
  return edited.dump();
}

Json Request(const std::string& graph, const std::string& output, int side) {
  return {{"graph", graph},
          {"target", {{"output", output}}},
          {"view",
           {{"projection", "plane"}, {"bounds", {0, 4, 0, 4}}, {"width", side}, {"height", side}}},
          {"page", "bench"}};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s PLANET_JSON [--rounds N]\n", argv[0]);
    return 2;
  }
  int rounds = 7;
  if (argc >= 4 && std::strcmp(argv[2], "--rounds") == 0) rounds = std::max(1, std::atoi(argv[3]));
  std::ifstream file(argv[1]);
  std::stringstream text;
  text << file.rdbuf();
  const Json planet = Json::parse(text.str());
  const std::string output = planet["outputs"].begin().key();

  const GraphFileCodec codec;
  noisebind::studio::StudioOptions options;
  options.graphPath = "/nonexistent/bench.json";  // never saved
  StudioServer server(options, codec);
  std::string error;
  if (!server.Bind(&error)) {
    std::fprintf(stderr, "studio bench: %s\n", error.c_str());
    return 1;
  }
  std::thread serving([&server] { server.Run(); });
  httplib::Client client("127.0.0.1", server.port());
  const httplib::Headers headers = {{"X-Studio-Token", server.token()}};
  const auto post = [&](const Json& body) {
    httplib::Result result = client.Post("/api/preview", headers, body.dump(), "application/json");
    if (!result || result->status != 200) {
      std::fprintf(stderr, "studio bench: preview failed\n");
      std::exit(1);
    }
  };

  const Json perlin = {{"format", "noisebind-graph"},
                       {"version", 1},
                       {"nodes",
                        {{{"id", "p"},
                          {"class", "Perlin"},
                          {"sources", Json::array()},
                          {"fields", {{"octaves", 6}}}}}},
                       {"outputs", {{"height", "p"}}}};
  std::vector<double> first, full, small, direct;
  for (int round = 0; round < rounds; ++round) {
    const std::string graph = Edited(planet, round);
    Clock::time_point start = Clock::now();
    post(Request(graph, output, 128));
    first.push_back(Since(start));
    post(Request(graph, output, 512));
    full.push_back(Since(start) - first.back());
    start = Clock::now();
    post(Request(perlin.dump(), "height", 256));
    small.push_back(Since(start));

    // The same map without HTTP, on as many threads.
    std::unique_ptr<noisebind::studio::DecodedGraph> decoded;
    if (!codec.Decode(graph, "planet", &decoded, &error)) return 1;
    noisebind::maps::MapRequest request;
    request.columnTo = request.rowTo = 4;
    request.width = request.height = 512;
    noisebind::maps::RunOptions run;
    run.threads = noisebind::maps::DefaultThreads();
    std::vector<double> values(512 * 512);
    const noisebind::maps::NodeSource<noisebind::objects::Node> source(
        *decoded->FindOutput(output));
    start = Clock::now();
    noisebind::maps::BuildMap(source, request, run, values.data(), &error);
    direct.push_back(Since(start));
  }
  server.Stop();
  serving.join();
  std::printf(
      "studio: planet first picture ms %.1f; full 512x512 ms %.1f; preview 256x256 perlin6 ms "
      "%.1f; planemap 512x512 ms %.1f (full / planemap %.2f, %u threads)\n",
      Median(first), Median(full), Median(small), Median(direct), Median(full) / Median(direct),
      noisebind::maps::DefaultThreads());
  return 0;
}
