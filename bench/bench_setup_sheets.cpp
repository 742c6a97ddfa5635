// The options sheet on a library of 2,000 materials of 5 rows each: the sheet opened, the last
// material selected, its Young's modulus changed, OK (which writes the file). The yardstick, in
// the same loop, is the bare library doing the same work: open the file, replace that material,
// save. Aim: the sheet at most 3 times the yardstick. The counters give both times and the ratio;
// run with --benchmark_counters_tabular=true.
//
// Add Mesh on the same library: the command run on one body, the mesh deferred, OK. Its yardstick
// is one bare open of the library file; aim: at most 4 times that.
#include <benchmark/benchmark.h>
#include <BRepPrimAPI_MakeBox.hxx>
#include <TopoDS_Shape.hxx>

#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include <unistd.h>

#include "amg/CaeMaterial.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "gui/commands/UICommandHandlers.h"
#include "gui/dialogs/mesh/UIMeshPS.h"
#include "gui/dialogs/mesh/UIMeshingPP.h"
#include "gui/dialogs/units/UISetupPS.h"
#include "material_library_bench.h"
#include "mfc/afx.h"
#include "mfc/user_actions.h"
#include "res/ResourceIds.h"
#include "topo_ref_stub.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

using namespace bench_library;

class BenchCad : public LibraryCad {
 public:
  using LibraryCad::LibraryCad;
  // Add Mesh: one body picked; the mesh entity and its sub-model as the drawing makes them, the
  // mesh deferred (nothing generated).
  int PickMesh(CaeList<CaeTopoRef>& refs) override {
    refs.Append(&body_);
    return 1;
  }
  AmgMesh* CreateMeshEntity(CaeTopoRef* ref) override {
    meshes_.push_back(std::make_unique<AmgMesh>(ref));
    return meshes_.back().get();
  }
  void GenerateMesh(AmgMesh*& mesh, const char*, int, int, double, double) override {
    AnlSubModel* sub = AnlControl::GetCurrent()->CurrentAnlModel()->NewSubModel();
    sub->SetMesh(mesh);
    ++generated;
  }
  int generated = 0;

 private:
  kestrum::test::TopoRefStub body_{CaeTopoRef::kBody};
  std::vector<std::unique_ptr<AmgMesh>> meshes_;
};

// Every body is a 100 x 50 x 10 box (what the mesh sheet's size estimate measures).
class BoxSource : public AmgShapeSource {
 public:
  bool BodyShape(CaeTopoRef*, TopoDS_Shape& shape) override {
    shape = BRepPrimAPI_MakeBox(0.1, 0.05, 0.01).Shape();
    return true;
  }
  bool Locate(CaeTopoRef*, int&, int&) override { return false; }
};

struct Setup {
  Setup() {
    resources = LoadLibraryA(KESTRUM_BENCH_RESOURCES);
    resSetModuleState(resources, AfxGetResourceHandle());
    appControl = std::make_unique<CadAppControl>();
    WriteLibrary(path);
    cad = std::make_unique<BenchCad>(path.string());
    previous = mfc::installUserDriver(&person);
  }
  ~Setup() {
    mfc::installUserDriver(previous);
    cad.reset();
    appControl.reset();
    resResetModuleState();
    FreeLibrary(resources);
    fs::remove(path);
  }
  fs::path path = fs::temp_directory_path() / ("kestrum-bench-setup-" + std::to_string(::getpid()) + ".mat");
  HINSTANCE resources = nullptr;
  std::unique_ptr<CadAppControl> appControl;
  std::unique_ptr<BenchCad> cad;
  Person person;
  mfc::UserDriver* previous = nullptr;
};

// The sheet: open, last material, E changed, OK.
void RunSheet(Setup& s, double modulus) {
  const ResourceSetter product(1);  // templates and texts, as the command dispatcher sets them
  CSetupPS sheet("Options");
  const std::string last = MaterialName(kMaterials - 1);
  auto page = [&sheet] { return sheet.GetActivePage()->m_hWnd; };
  s.person.steps.push_back([&](CWnd&) { mfc::userSelect(page(), IDC_MAT_NAME, last); });
  s.person.steps.push_back([&](CWnd&) { mfc::userSetText(page(), IDC_MAT_MODULUS, std::to_string(modulus)); });
  s.person.steps.push_back([&](CWnd&) { sheet.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); });
  sheet.DoModal();
}

// The same work on the bare library.
void RunBare(Setup& s, double modulus) {
  MaterialLibrary library(CaeString(s.path.string().c_str()));
  const CaeString name(MaterialName(kMaterials - 1).c_str());
  CaeMaterial changed(*library.Find(name));
  double row[CaeMaterial::kPropCount];
  changed.GetProp(293.15, row);
  changed.AddProp(293.15, row[CaeMaterial::kDensity], modulus, row[CaeMaterial::kPoisson], row[CaeMaterial::kYield],
                  row[CaeMaterial::kUltimate], row[CaeMaterial::kConductivity], row[CaeMaterial::kExpansion],
                  row[CaeMaterial::kSpecificHeat]);
  library.Replace(name, changed);
  library.Save();
}

void BM_OptionsSheetVsBareLibrary(benchmark::State& state) {
  Setup s;
  double sheet = 0;
  double bare = 0;
  int n = 0;
  for (auto _ : state) {
    const double modulus = 1.5e11 + 1e6 * n;
    const auto t0 = Clock::now();
    RunSheet(s, modulus);
    const auto t1 = Clock::now();
    RunBare(s, modulus + 5e5);
    const auto t2 = Clock::now();
    sheet += std::chrono::duration<double, std::milli>(t1 - t0).count();
    bare += std::chrono::duration<double, std::milli>(t2 - t1).count();
    ++n;
  }
  state.counters["sheet_ms"] = sheet / n;
  state.counters["bare_ms"] = bare / n;
  state.counters["ratio"] = bare > 0 ? sheet / bare : 0;
}
BENCHMARK(BM_OptionsSheetVsBareLibrary)->Unit(benchmark::kMillisecond)->Iterations(10);

// Add Mesh, deferred, OK'd as soon as it shows.
void RunAddMesh(Setup& s) {
  const ResourceSetter product(1);
  UIMeshDeferDefault() = TRUE;
  s.person.steps.push_back([](CWnd& sheet) { sheet.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); });
  UICmdMesh();
}

void BM_AddMeshVsBareLibraryOpen(benchmark::State& state) {
  Setup s;
  BoxSource source;
  AmgShapeSource* previousSource = AmgShapeSource::SetCurrent(&source);
  AnlControl control{"bench"};
  control.SetCurrent();
  control.SetCurrentAnlModel(control.NewAnlModel(CaeString("Plate"), AnlStress));
  double sheet = 0;
  double bare = 0;
  int n = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    RunAddMesh(s);
    const auto t1 = Clock::now();
    { MaterialLibrary library(CaeString(s.path.string().c_str())); }
    const auto t2 = Clock::now();
    sheet += std::chrono::duration<double, std::milli>(t1 - t0).count();
    bare += std::chrono::duration<double, std::milli>(t2 - t1).count();
    ++n;
  }
  if (s.cad->generated != n) state.SkipWithError("Add Mesh did not reach the mesher on every run");
  UIMeshResetModuleState();
  AmgShapeSource::SetCurrent(previousSource);
  state.counters["add_mesh_ms"] = sheet / n;
  state.counters["bare_open_ms"] = bare / n;
  state.counters["ratio"] = bare > 0 ? sheet / bare : 0;
}
BENCHMARK(BM_AddMeshVsBareLibraryOpen)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
