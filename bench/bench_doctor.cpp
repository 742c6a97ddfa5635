// A design doctor run against reading the results it judges: a static result of a block meshed
// with 100,800 nodes (hexahedra, displacements and stresses at every node) is read from its
// ".frd" (the baseline, run alongside), then read again and judged as the doctor's tests judge it
// (meshing error, yield, factor of safety, each with its own doctor object as the tests make
// them). The aim is a whole run within 1.5x the read; "ratio" is (read + tests) / read, printed
// at the end.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "amg/CaeMaterial.h"
#include "amg/CaeUnit.h"
#include "fea/AnlModel.h"
#include "fea/FerDoctor.h"
#include "fea/FerResult.h"
#include "fea/FrdReader.h"

#include "frd_block.h"

namespace {

using Clock = std::chrono::steady_clock;

std::filesystem::path Folder() {
  static const std::filesystem::path folder = bench::Folder("kestrum-bench-doctor");
  return folder;
}

std::filesystem::path WriteFrd() { return bench::WriteFrd(Folder()); }

double g_readSeconds = 0, g_runSeconds = 0;

void BM_ReadFrd(benchmark::State& state) {
  const std::filesystem::path frd = WriteFrd();
  for (auto _ : state) {
    FerResultSet set(CaeString("block"));
    const auto start = Clock::now();
    const kestrum::Status read = FrdReader::Read(frd.string(), AnlStress, CaeUnitSystem(), set);
    g_readSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!read) state.SkipWithError("the results file cannot be read");
    benchmark::DoNotOptimize(set.Mesh());
  }
}

void BM_DoctorRun(benchmark::State& state) {
  const std::filesystem::path frd = WriteFrd();
  AnlModel model(CaeString("block"), AnlStress);
  auto* steel = new CaeMaterial(CaeString("S275"));
  steel->AddProp(293.15, 7850, 2.1e11, 0.3, 2.75e8, 4.3e8, 50, 1.2e-5, 450);
  model.NewSubModel()->AssignMaterial(steel);
  for (auto _ : state) {
    FerResultSet set(CaeString("block"));
    const auto start = Clock::now();
    if (!FrdReader::Read(frd.string(), AnlStress, CaeUnitSystem(), set)) {
      state.SkipWithError("the results file cannot be read");
      break;
    }
    int statuses = 0;
    statuses += FerDoctor(&set, &model).TestQuality(AnlStress, 10.0);
    statuses += FerDoctor(&set, &model).TestValidity(AnlStress);
    statuses += FerDoctor(&set, &model).TestDesign(AnlStress, 1.0);
    g_runSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.counters["statuses"] = statuses;
  }
}

BENCHMARK(BM_ReadFrd)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DoctorRun)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (g_readSeconds > 0 && g_runSeconds > 0)
    std::printf("read %.3f s, read + doctor tests %.3f s, ratio %.2f (aim <= 1.5)\n", g_readSeconds, g_runSeconds,
                g_runSeconds / g_readSeconds);
  return 0;
}
