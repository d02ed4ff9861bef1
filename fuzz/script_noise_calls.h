// The script-call fuzzer's second part: calls of the `noise` table (noise
// objects, maps, rendering, images) in a real Lua state, with finalizers
// that change graphs, points and sources at the allocations of the calls.
#ifndef NOISEBIND_FUZZ_SCRIPT_NOISE_CALLS_H
#define NOISEBIND_FUZZ_SCRIPT_NOISE_CALLS_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace noisebind::fuzz {

// Inputs whose first byte is at least this go to the noise table; below it
// (the index of a LibNoise function) to the recording host, as before.
constexpr std::uint8_t kNoiseTableMarker = 0xf0;

// The Lua script an input (after its marker byte) turns into.
std::string NoiseTableScript(const std::uint8_t* data, std::size_t size);

// Runs the script in a new Lua state with the `noise` table, then closes
// the state (finalizers run then too). Aborts when a call raises an error
// that is not a message, or the script fails outside the calls.
void RunNoiseTableCalls(const std::uint8_t* data, std::size_t size);

}  // namespace noisebind::fuzz

#endif  // NOISEBIND_FUZZ_SCRIPT_NOISE_CALLS_H
