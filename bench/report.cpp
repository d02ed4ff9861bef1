#include "report.h"

#include <cstdio>
#include <cstring>

namespace bench {
namespace {

constexpr char kPerlin[] = "M_Perlin.Calc";
constexpr char kPerlinObject[] = "Perlin:calc";
constexpr char kGraphObject[] = "graph:calc";

struct Row {
  const Case* c;
  double value[kVariants];
  double overNative;
  double overFloor;
};

// The noise objects' line, when their rows were measured.
template <class Row>
void PrintObjectsSummary(const std::vector<Row>& rows) {
  const Row* perlin = nullptr;
  const Row* graph = nullptr;
  for (const Row& row : rows) {
    if (std::strcmp(row.c->subject->name, kPerlinObject) == 0) perlin = &row;
    if (std::strcmp(row.c->subject->name, kGraphObject) == 0) graph = &row;
  }
  if (perlin == nullptr && graph == nullptr) return;
  char perlinRatio[16] = "-";
  char graphRatio[16] = "-";
  if (perlin != nullptr) std::snprintf(perlinRatio, sizeof perlinRatio, "%.2f", perlin->overNative);
  if (graph != nullptr) std::snprintf(graphRatio, sizeof graphRatio, "%.2f", graph->overNative);
  std::printf("objects: perlin6 c/a %s; graph c/a %s\n", perlinRatio, graphRatio);
}

void PrintRows(const std::vector<Row>& rows, const char* unit) {
  std::printf("%-24s %9s %9s %9s %7s %7s %9s %11s\n", "function", "a", "b", "c", "c/a", "c/b",
              "c-b", "traces b/c");
  for (const Row& row : rows) {
    const TraceCount& b = row.c->traces[kFloor];
    const TraceCount& c = row.c->traces[kBinding];
    char traces[32];
    std::snprintf(traces, sizeof(traces), "%d/%d", b.compiled, c.compiled);
    if (b.compiled < 0) {
      std::snprintf(traces, sizeof(traces), "-");  // a Lua without a compiler
    } else if (b.aborted != 0 || c.aborted != 0) {
      const std::size_t used = std::strlen(traces);
      std::snprintf(traces + used, sizeof(traces) - used, " (aborts %d/%d)", b.aborted, c.aborted);
    }
    std::printf("%-24s %9.1f %9.1f %9.1f %7.2f %7.2f %9.1f %11s\n", row.c->subject->name,
                row.value[kNative], row.value[kFloor], row.value[kBinding], row.overNative,
                row.overFloor, row.value[kBinding] - row.value[kFloor], traces);
  }
  std::printf("(%s per call; a native loop, b hand-written Lua C function, c LibNoise)\n", unit);
  // b and c are only comparable when LuaJIT compiled both loops.
  for (const Row& row : rows) {
    if (row.c->traces[kFloor].compiled == 0 || row.c->traces[kBinding].compiled == 0) {
      std::printf("note: LuaJIT did not compile both loops of %s\n", row.c->subject->name);
    }
  }

  const Row* worst = nullptr;
  const Row* perlin = nullptr;
  for (const Row& row : rows) {
    if (worst == nullptr || row.overFloor > worst->overFloor) worst = &row;
    if (std::strcmp(row.c->subject->name, kPerlin) == 0) perlin = &row;
  }
  if (worst == nullptr) return;
  PrintObjectsSummary(rows);
  if (perlin != nullptr) {
    std::printf("summary: worst c/b %.2f (%s); perlin6 c/a %.2f\n", worst->overFloor,
                worst->c->subject->name, perlin->overNative);
  } else {
    std::printf("summary: worst c/b %.2f (%s); perlin6 c/a -\n", worst->overFloor,
                worst->c->subject->name);
  }
}

}  // namespace

void PrintTimes(const std::vector<Case>& cases, int rounds) {
  std::vector<Row> rows;
  for (const Case& c : cases) {
    rows.push_back(Row{&c,
                       {Median(c.ns[kNative]), Median(c.ns[kFloor]), Median(c.ns[kBinding])},
                       Median(c.bindingOverNative),
                       Median(c.bindingOverFloor)});
  }
  std::printf("\nMedians of %d rounds; each ratio is the median of its ratios within a round.\n",
              rounds);
  PrintRows(rows, "ns");
}

void PrintInstructions(const std::vector<Case>& cases) {
  std::vector<Row> rows;
  for (const Case& c : cases) {
    const double* n = c.instructions;
    rows.push_back(Row{&c,
                       {n[kNative], n[kFloor], n[kBinding]},
                       n[kBinding] / n[kNative],
                       n[kBinding] / n[kFloor]});
  }
  std::printf("\nInstructions counted by callgrind, loops included.\n");
  PrintRows(rows, "instructions");
}

}  // namespace bench
