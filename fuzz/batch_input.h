// Turns fuzzer bytes into one case for the batch kernels: a generator, its
// settings, the path to force and a block of points, with numbers drawn
// mostly near the values where the arithmetic changes course.
#ifndef NOISEBIND_FUZZ_BATCH_INPUT_H
#define NOISEBIND_FUZZ_BATCH_INPUT_H

#include <cstddef>

#include "byte_reader.h"
#include "noisebind/simd/isa.h"
#include "subjects.h"

namespace noisebind::fuzz {

constexpr std::size_t kMaxBatchPoints = 64;  // several blocks of every width, and a rest

struct BatchCase {
  const simd::testing::Subject* subject;
  simd::Isa path;
  simd::testing::GeneratorSettings settings;
  simd::testing::Cloud points;
};

// Byte layout: generator, path (among those the processor runs), octaves,
// quality, seed (4 raw bytes), frequency, lacunarity, persistence,
// displacement, constant (numbers), distance (odd is on), point count, then
// x, y, z of each point (numbers). A number is a selector byte and its
// payload: an edge coordinate, one nudged by a few ulps, a scaled 16-bit
// fixed-point value, or 8 raw bytes; see batch_input.cpp. Last, a layout
// (a byte modulo 6; none reads as 0): 0 the points as read; 1 one row
// (every point takes the first one's y and z, and x steps from its x by a
// number read next); 2 rows of 1 + (a byte modulo 64) points each, laid
// out the same way; 3 one row keeping each point's own x; 4 rings of 1 +
// (a byte modulo 64) points (each takes its ring's first y, x steps up
// and z down by a number read next); 5 one ring keeping each x and z.
BatchCase ReadBatchCase(ByteReader& reader);

// One number as the case reads its numbers.
double ReadBatchNumber(ByteReader& reader);

}  // namespace noisebind::fuzz

#endif  // NOISEBIND_FUZZ_BATCH_INPUT_H
