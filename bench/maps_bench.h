// Maps: a 1024 x 1024 plane map of a 6-octave Perlin source on one thread
// against the library's own loop over the same points, and on every core.
#ifndef NOISEBIND_BENCH_MAPS_BENCH_H
#define NOISEBIND_BENCH_MAPS_BENCH_H

struct lua_State;

namespace bench {

// Runs `rounds` rounds in the state (which has the extension open) and
// prints the table and the summary line. False, with a message on standard
// error, when the maps do not hold the library's values.
bool RunMapsBench(lua_State* L, int rounds);

}  // namespace bench

#endif  // NOISEBIND_BENCH_MAPS_BENCH_H
