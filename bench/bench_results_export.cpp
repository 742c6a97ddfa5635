// The results exports against writing their bytes: a plate 0.2 x 0.1 x 0.01 m with a hole, meshed
// by gmsh with quadratic tetrahedra (about 100,000 nodes), carries a smooth synthetic displacement
// and stress field (no solve); the view shows von Mises contours on the deformed shape. Timed:
// FerState::ExportVRML as VRML 1.0, 2.0, 2.0 interpolated and 2.0 by 10 frames, and the HTML
// summary report with every quantity ticked (pictures apart: the results benchmark covers
// drawing). The baseline, alternating with each export, writes the same bytes through the same
// atomic writer (fsync included). The aim is each at most 3x its baseline; sizes, median times
// of seven and their ratios are printed at the end.
#include <benchmark/benchmark.h>
#include <gmsh.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeMsgCall.h"
#include "fea/FerReport.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "kestrum/atomic_file.h"
#include "kestrum/text.h"

namespace {

constexpr double kMeshSize = 0.0025;  // about 100,000 nodes with quadratic tetrahedra

std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    std::filesystem::path path = std::filesystem::temp_directory_path() / "kestrum-bench-export";
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

std::shared_ptr<FerMesh> PlateMesh() {
  gmsh::initialize(0, nullptr, false);
  gmsh::option::setNumber("General.Terminal", 0);
  gmsh::model::add("plate");
  const int box = gmsh::model::occ::addBox(0, 0, 0, 0.2, 0.1, 0.01);
  const int hole = gmsh::model::occ::addCylinder(0.1, 0.05, 0, 0, 0, 0.01, 0.015);
  std::vector<std::pair<int, int>> out;
  std::vector<std::vector<std::pair<int, int>>> map;
  gmsh::model::occ::cut({{3, box}}, {{3, hole}}, out, map);
  gmsh::model::occ::synchronize();
  gmsh::option::setNumber("Mesh.MeshSizeMax", kMeshSize);
  gmsh::option::setNumber("Mesh.MeshSizeFromPoints", 0);
  gmsh::option::setNumber("Mesh.ElementOrder", 2);
  gmsh::model::mesh::generate(3);
  auto mesh = std::make_shared<FerMesh>();
  std::vector<std::size_t> tags;
  std::vector<double> coordinates, parametric;
  gmsh::model::mesh::getNodes(tags, coordinates, parametric);
  for (std::size_t i = 0; i < tags.size(); ++i) mesh->nodeIds.push_back(static_cast<long>(tags[i]));
  mesh->coordinates = coordinates;
  std::vector<std::size_t> elements, nodes;
  gmsh::model::mesh::getElementsByType(11, elements, nodes);  // 10-node tetrahedra
  for (std::size_t e = 0; e < elements.size(); ++e) {
    mesh->elementIds.push_back(static_cast<long>(elements[e]));
    mesh->elementTypes.push_back(FerMesh::kTet10);
    mesh->elementStarts.push_back(mesh->elementNodes.size());
    // gmsh's last two mid-side nodes are swapped against the solver's order; only corners matter here.
    for (int k = 0; k < 10; ++k) mesh->elementNodes.push_back(static_cast<long>(nodes[e * 10 + k]));
  }
  mesh->elementStarts.push_back(mesh->elementNodes.size());
  gmsh::finalize();
  return mesh;
}

// Stretching along x with some bending; stress grows along x and round the hole.
std::unique_ptr<FerResultSet> PlateResults() {
  auto set = std::make_unique<FerResultSet>(CaeString("Plate"));
  set->SetAnlTypName(CaeString("Stress"));
  const std::shared_ptr<FerMesh> mesh = PlateMesh();
  std::vector<long> ids = mesh->nodeIds;
  std::vector<double> displacement, stress;
  for (int i = 0; i < mesh->NumNodes(); ++i) {
    const double x = mesh->coordinates[i * 3], y = mesh->coordinates[i * 3 + 1];
    const double u[3] = {5e-6 * x, -1e-6 * (y - 0.05), 2e-5 * x * x};
    displacement.insert(displacement.end(), {u[0], u[1], u[2], std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2])});
    const double r2 = (x - 0.1) * (x - 0.1) + (y - 0.05) * (y - 0.05);
    std::vector<double> s(10, 0.0);
    s[0] = 1e6 * (1 + 10 * x + 2.25e-4 / std::max(r2, 2.25e-4));
    for (int k = 1; k < 10; ++k) s[k] = s[0] * std::cos(k * x);
    stress.insert(stress.end(), s.begin(), s.end());
  }
  set->SetMesh(mesh);
  set->AddSubSet(new FerResultSubSet(1.0));
  auto* d = new FerResult(FerQtyDisplacement);
  d->SetNodalData(0, ids, displacement);
  set->AddResult(d);
  auto* s = new FerResult(FerQtyStress);
  s->SetNodalData(0, ids, stress);
  set->AddResult(s);
  return set;
}

// The results state with the plate displayed: von Mises on the deformed shape.
struct Scene {
  FerState state;
  CaeFerInterface ferInterface;
  FerDisplay display;
  int nodes = 0;
  Scene() {
    CaeMsgCall::SetMsgRoutine([](int, const CaeString& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
    FerState::SetState(&state);
    state.SetInterface(&ferInterface);
    FerDisplay::SetCurrent(&display);
    FerResultSet* set = state.KeepResultSet(PlateResults());
    nodes = set->Mesh()->NumNodes();
    FerDispSettings settings;
    settings.SetResultSet(CaeString("Plate"));
    display.SetSettings(settings);
    state.DefaultDisplay(0);
  }
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

struct Case {
  const char* name;
  int animate, method, version1;
  bool report;
};
const Case kCases[] = {{"VRML 1.0", 0, 0, 1, false},
                       {"VRML 2.0", 0, 0, 0, false},
                       {"VRML 2.0 interpolated", 1, 0, 0, false},
                       {"VRML 2.0 by 10 frames", 1, 1, 0, false},
                       {"HTML report", 0, 0, 0, true}};
constexpr int kFrames = 10;

// Each export and the write of its bytes alternate; the medians are kept.
struct Timing {
  std::vector<double> exportSeconds, baselineSeconds;
  std::uintmax_t bytes = 0;
};
std::map<int, Timing> g_timings;

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::filesystem::path FileOf(int index) {
  return Folder() / (kCases[index].report ? "plate.htm" : "plate" + std::to_string(index) + ".wrl");
}

bool Export(int index) {
  const Case& c = kCases[index];
  const CaeString file(FileOf(index).string());
  if (!c.report) return TheScene().state.ExportVRML(file, c.animate, c.method, kFrames, c.version1) == 1;
  CaeFerReport report(CaeString("Plate"), CaeString(), CaeString(), CaeString(), CaeString());
  report.ShowDetails(FerQtyDisplacement);
  report.ShowDetails(FerQtyStress);
  return report.Generate(file, FerReport::kHtml) == 1;
}

void BM_Export(benchmark::State& state) {
  const int index = static_cast<int>(state.range(0));
  TheScene();
  Timing& timing = g_timings[index];
  const std::filesystem::path copy = Folder() / ("baseline-" + FileOf(index).filename().string());
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    if (!Export(index)) state.SkipWithError("the export failed");
    timing.exportSeconds.push_back(SecondsSince(start));
    const std::string bytes = *kestrum::ReadWholeFile(FileOf(index));
    start = std::chrono::steady_clock::now();
    if (!kestrum::writeFileAtomically(copy, bytes)) state.SkipWithError("the write failed");
    timing.baselineSeconds.push_back(SecondsSince(start));
  }
  timing.bytes = std::filesystem::file_size(FileOf(index));
  state.SetLabel(kCases[index].name);
}

void Register() {
  for (int i = 0; i < static_cast<int>(std::size(kCases)); ++i)
    benchmark::RegisterBenchmark("Export", BM_Export)->Arg(i)->Unit(benchmark::kMillisecond)->Iterations(7);
}

}  // namespace

int main(int argc, char** argv) {
  Register();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::printf("\n%d nodes; aim: each export at most 3x writing its bytes\n", TheScene().nodes);
  std::printf("%-24s %12s %12s %12s %8s\n", "export", "bytes", "export ms", "write ms", "ratio");
  for (const auto& [index, t] : g_timings) {
    const double exported = Median(t.exportSeconds), written = Median(t.baselineSeconds);
    std::printf("%-24s %12ju %12.1f %12.1f %8.2f\n", kCases[index].name, t.bytes, 1e3 * exported, 1e3 * written,
                written > 0 ? exported / written : 0.0);
  }
  benchmark::Shutdown();
  return 0;
}
