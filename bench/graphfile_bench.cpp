// noisebind_graphfile_bench: the planet graph (bench/planet_graph.h) written
// as a graph file and read back, each the median of many rounds of one run;
// ends with the `graphfile:` line of make bench.
//
//   noisebind_graphfile_bench [--rounds N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/graphfile/graph_file.h"
#include "map_figures.h"
#include "planet_graph.h"

namespace {

using noisebind::graphfile::Graph;

double Microseconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
      .count();
}

std::string Encode(const noisebind::objects::Node& root) {
  std::string text;
  std::string error;
  if (!noisebind::graphfile::Encode(
          {{"planet", &root}}, [](const noisebind::objects::Node&) { return std::string(); }, {},
          &text, &error)) {
    throw std::runtime_error("encode: " + error);
  }
  return text;
}

int Run(int rounds) {
  const noisebind::bench::ObjectPlanet planet;
  std::vector<double> encodeUs;
  std::vector<double> decodeUs;
  std::size_t nodes = 0;
  for (int round = 0; round < rounds; ++round) {
    auto start = std::chrono::steady_clock::now();
    const std::string text = Encode(planet.root());
    encodeUs.push_back(Microseconds(start));
    Graph graph;
    std::string error;
    start = std::chrono::steady_clock::now();
    if (!noisebind::graphfile::Decode(text, &graph, &error)) {
      throw std::runtime_error("decode: " + error);
    }
    decodeUs.push_back(Microseconds(start));
    nodes = graph.nodes.size();
  }
  std::printf("graphfile: planet encode us %.0f; decode us %.0f; nodes %zu\n",
              noisebind::bench::Median(encodeUs), noisebind::bench::Median(decodeUs), nodes);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 101;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
      rounds = std::atoi(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: noisebind_graphfile_bench [--rounds N]\n");
      return 2;
    }
  }
  if (rounds < 1) rounds = 1;
  try {
    return Run(rounds);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "noisebind_graphfile_bench: %s\n", e.what());
    return 1;
  }
}
