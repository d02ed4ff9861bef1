// The table of a run and its one-line summary.
#ifndef NOISEBIND_BENCH_REPORT_H
#define NOISEBIND_BENCH_REPORT_H

#include <vector>

#include "measure.h"

namespace bench {

// ns per call, medians over the rounds; ratios are medians of the ratios
// within each round.
void PrintTimes(const std::vector<Case>& cases, int rounds);

// Instructions per call from callgrind.
void PrintInstructions(const std::vector<Case>& cases);

}  // namespace bench

#endif  // NOISEBIND_BENCH_REPORT_H
