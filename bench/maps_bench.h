// Maps: a 1024 x 1024 plane map of a 6-octave Perlin source on one thread
// against the library's own loop over the same points, and on every core;
// then chunks.
#ifndef NOISEBIND_BENCH_MAPS_BENCH_H
#define NOISEBIND_BENCH_MAPS_BENCH_H

struct lua_State;

namespace bench {

// Runs `rounds` rounds in the state (which has the extension open) and
// prints the table and the summary line. False, with a message on standard
// error, when the maps do not hold the library's values.
bool RunMapsBench(lua_State* L, int rounds);

// Then chunk-sized maps into reused maps, in `rounds` rounds, ending with
// the `small:` line: a 1 x 1 map's cost beyond calc's, an 80 x 80 chunk's
// and a 1024 x 1024 map's ns per point on one thread, and an 80 x 80
// chunk with the default threads over one thread. Throws
// std::runtime_error when a script fails.
void RunSmallBench(lua_State* L, int rounds);

}  // namespace bench

#endif  // NOISEBIND_BENCH_MAPS_BENCH_H
