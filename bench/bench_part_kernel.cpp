// The part kernel on a plate with a grid of through holes (about 2,000 faces): regenerating after a
// parameter change, and resolving the name of every face, edge and vertex after such a regeneration.
// The aim is a whole re-resolution within twice the time of the regeneration itself.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "grid_plate.h"
#include "mcadkernel/part.h"
#include "mcadkernel/partfile.h"

namespace {

using bench::gridPlateText;

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
