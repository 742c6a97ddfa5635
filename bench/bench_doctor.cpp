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

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kNx = 70, kNy = 40, kNz = 36;  // 100,800 nodes

std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    std::filesystem::path path = std::filesystem::temp_directory_path() / "kestrum-bench-doctor";
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

int NodeId(int i, int j, int k) { return 1 + i + kNx * (j + kNy * k); }

void Field(std::ofstream& out, int id, const double* values, int count) {
  char line[256];
  int at = std::snprintf(line, sizeof line, " -1%10d", id);
  for (int v = 0; v < count; ++v) at += std::snprintf(line + at, sizeof line - at, "%12.5E", values[v]);
  out << line << "\n";
}

// A cantilever-like field on a block 0.7 x 0.4 x 0.36 m: bending stress and a tip deflection.
std::filesystem::path WriteFrd() {
  const std::filesystem::path path = Folder() / "block.frd";
  if (std::filesystem::exists(path)) return path;
  std::ofstream out(path);
  const int nodes = kNx * kNy * kNz, elements = (kNx - 1) * (kNy - 1) * (kNz - 1);
  out << "    1C\n";
  char line[256];
  std::snprintf(line, sizeof line, "    2C%30d%37d\n", nodes, 1);
  out << line;
  for (int k = 0; k < kNz; ++k)
    for (int j = 0; j < kNy; ++j)
      for (int i = 0; i < kNx; ++i) {
        const double xyz[3] = {0.01 * i, 0.01 * j, 0.01 * k};
        Field(out, NodeId(i, j, k), xyz, 3);
      }
  out << " -3\n";
  std::snprintf(line, sizeof line, "    3C%30d%37d\n", elements, 1);
  out << line;
  int element = 0;
  for (int k = 0; k + 1 < kNz; ++k)
    for (int j = 0; j + 1 < kNy; ++j)
      for (int i = 0; i + 1 < kNx; ++i) {
        std::snprintf(line, sizeof line, " -1%10d%5d%5d%5d\n", ++element, 1, 0, 1);
        out << line;
        const int n[8] = {
            NodeId(i, j, k),     NodeId(i + 1, j, k),     NodeId(i + 1, j + 1, k),     NodeId(i, j + 1, k),
            NodeId(i, j, k + 1), NodeId(i + 1, j, k + 1), NodeId(i + 1, j + 1, k + 1), NodeId(i, j + 1, k + 1)};
        out << " -2";
        for (int c = 0; c < 8; ++c) {
          std::snprintf(line, sizeof line, "%10d", n[c]);
          out << line;
        }
        out << "\n";
      }
  out << " -3\n";
  out << "  100CL  101 1.000000000" << std::string(12 - 1, ' ') << nodes << "                     0    1           1\n";
  out << " -4  DISP        4    1\n -5  D1          1    2    1    0\n -5  D2          1    2    2    0\n"
         " -5  D3          1    2    3    0\n -5  ALL         1    2    0    0    1ALL\n";
  for (int k = 0; k < kNz; ++k)
    for (int j = 0; j < kNy; ++j)
      for (int i = 0; i < kNx; ++i) {
        const double x = 0.01 * i;
        const double u[3] = {0.0, 0.0, -1e-3 * x * x};
        Field(out, NodeId(i, j, k), u, 3);
      }
  out << " -3\n";
  out << " -4  STRESS      6    1\n";
  for (const char* name : {"SXX", "SYY", "SZZ", "SXY", "SYZ", "SZX"})
    out << " -5  " << name << "         1    4    1    1\n";
  for (int k = 0; k < kNz; ++k)
    for (int j = 0; j < kNy; ++j)
      for (int i = 0; i < kNx; ++i) {
        const double s[6] = {1e6 * (0.7 - 0.01 * i) * (0.01 * k - 0.18), 0, 0, 1e4 * j, 0, 0};
        Field(out, NodeId(i, j, k), s, 6);
      }
  out << " -3\n 9999\n";
  return path;
}

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
