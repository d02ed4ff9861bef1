// Graphs that strain the batch path, each built twice, from libnoise's own
// classes (with libnoise's Cache where the graph caches) and as noise
// objects, and timed on one thread: the `graphs-hard:` line of make bench.
//   shared200          200 nodes each read twice; one point at a time (calc)
//   chain900           Add(previous, Const) 900 times over a Perlin; a map
//   select900          900 nested Selects sharing one control; a map
//   translate-cache16  c = Cache(a); a = Add(TranslatePoint(c), c), 16
//                      times over a Perlin; a map
#ifndef NOISEBIND_BENCH_HARD_GRAPHS_H
#define NOISEBIND_BENCH_HARD_GRAPHS_H

namespace noisebind::bench {

// Prints a table and the line; false when a value differs from libnoise's.
// `only`, when not null, names the one graph to run (for callgrind).
bool RunHardGraphs(int rounds, const char* only);

}  // namespace noisebind::bench

#endif  // NOISEBIND_BENCH_HARD_GRAPHS_H
