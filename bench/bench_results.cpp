// The results window's redraw against reading the results it shows: a static result of a block
// meshed with 100,800 nodes (hexahedra, displacements and stresses at every node) is read from its
// ".frd" (the baseline, run alongside), then drawn as the window draws it (von Mises bands on the
// deformed shape with edges and a legend) and written as a PNG. The aim is a redraw and PNG
// within 1.0x the read; "ratio" is (redraw + PNG) / read, printed at the end.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "amg/CaeUnit.h"
#include "fea/FerResult.h"
#include "fea/FrdReader.h"
#include "fev/FerRender.h"

#include "frd_block.h"

namespace {

using Clock = std::chrono::steady_clock;

std::filesystem::path Folder() {
  static const std::filesystem::path folder = bench::Folder("kestrum-bench-results");
  return folder;
}

std::filesystem::path WriteFrd() { return bench::WriteFrd(Folder()); }

double g_readSeconds = 0, g_drawSeconds = 0;

FerDispSettings StaticDisplay() {
  FerDispSettings settings;
  settings.SetResultSet(CaeString("block"));
  settings.ShowEdges(1);
  FerColorSetting color;
  color.SetResult(FerQtyStress);
  color.SetComponent(1);
  color.Visible(1);
  settings.SetColorSettings(color);
  FerDeformedSetting deformed;
  deformed.Visible(1);
  settings.SetDeformedSettings(deformed);
  return settings;
}

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

void BM_RedrawAndPng(benchmark::State& state) {
  FerResultSet set(CaeString("block"));
  if (!FrdReader::Read(WriteFrd().string(), AnlStress, CaeUnitSystem(), set)) {
    state.SkipWithError("the results file cannot be read");
    return;
  }
  const FerDispSettings settings = StaticDisplay();
  const std::string png = (Folder() / "block.png").string();
  for (auto _ : state) {
    const auto start = Clock::now();
    const FerPicture picture = FerRenderView(settings, &set, "", 800, 400);
    std::string error;
    if (!kestrum::raster::WritePng(picture.image, png, error)) state.SkipWithError(error.c_str());
    g_drawSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.counters["nodes"] = picture.nodesDrawn;
  }
}

BENCHMARK(BM_ReadFrd)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RedrawAndPng)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (g_readSeconds > 0 && g_drawSeconds > 0)
    std::printf("read %.3f s, redraw + PNG %.3f s, ratio %.2f (aim <= 1.0)\n", g_readSeconds, g_drawSeconds,
                g_drawSeconds / g_readSeconds);
  return 0;
}
