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
// fixed-point value, or 8 raw bytes; see batch_input.cpp.
BatchCase ReadBatchCase(ByteReader& reader);

// One number as the case reads its numbers.
double ReadBatchNumber(ByteReader& reader);

}  // namespace noisebind::fuzz

#endif  // NOISEBIND_FUZZ_BATCH_INPUT_H
