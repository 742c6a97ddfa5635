// The part kernel on a plate with a grid of through holes (about 2,000 faces): regenerating after a
// parameter change, and resolving the name of every face, edge and vertex after such a regeneration.
// The aim is a whole re-resolution within twice the time of the regeneration itself.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "mcadkernel/part.h"
#include "mcadkernel/partfile.h"

namespace {

constexpr int kColumns = 45;
constexpr int kRows = 44;  // 1,980 holes: 1,986 faces

std::string gridPlateText() {
  std::string text =
      "part grid\nparam P = 10\nparam D = 4\nparam T = 5\n"
      "box plate corner=(0, 0, 0) size=(P * " + std::to_string(kColumns) + ", P * " + std::to_string(kRows) + ", T)\n";
  for (int i = 0; i < kColumns; ++i)
    for (int j = 0; j < kRows; ++j)
      text += "hole h" + std::to_string(i) + "_" + std::to_string(j) + " at=(P * " + std::to_string(i) + ".5, P * " +
              std::to_string(j) + ".5, T) direction=(0, 0, -1) diameter=D\n";
  return text;
}

std::unique_ptr<mcadkernel::Part> gridPlate() { return mcadkernel::readPart(gridPlateText(), "grid.part"); }

void BM_RegenerateAfterParameterChange(benchmark::State& state) {
  auto part = gridPlate();
  double diameter = 4;
  for (auto _ : state) {
    diameter = diameter == 4 ? 4.5 : 4;
    part->setParameterValue("D", diameter);
    benchmark::DoNotOptimize(part->shape());
  }
  state.counters["faces"] = static_cast<double>(part->faceNames().size());
}

void BM_ResolveEveryNameAfterRegeneration(benchmark::State& state) {
  auto part = gridPlate();
  std::vector<std::string> names = part->faceNames();
  for (auto list : {part->edgeNames(), part->vertexNames()}) names.insert(names.end(), list.begin(), list.end());
  double diameter = 4;
  size_t resolved = 0;
  for (auto _ : state) {
    state.PauseTiming();
    diameter = diameter == 4 ? 4.5 : 4;
    part->setParameterValue("D", diameter);
    state.ResumeTiming();
    resolved = 0;
    for (const std::string& name : names) resolved += part->resolve(name).IsNull() ? 0 : 1;
    benchmark::DoNotOptimize(resolved);
  }
  if (resolved != names.size()) state.SkipWithError("a name did not resolve after the regeneration");
  state.counters["names"] = static_cast<double>(names.size());
}

BENCHMARK(BM_RegenerateAfterParameterChange)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ResolveEveryNameAfterRegeneration)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
