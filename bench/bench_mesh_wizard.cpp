// The analyze wizard's existing-material page on a library of 2,000 materials of 5 rows each: the
// wizard opened, its intro page's Next (the page reads the library and fills its tree), then
// Cancel. The yardstick, in the same loop, is the bare library doing the reading: open the file,
// list the names, and find every material and its temperatures. Aim: the page at most 2 times the
// yardstick. The counters give both times and the ratio; run with --benchmark_counters_tabular=true.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <unistd.h>

#include "amg/CaeMaterial.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "gui/dialogs/units/UIMaterialPP.h"
#include "gui/wizard/UIMeshWizard.h"
#include "material_library_bench.h"
#include "mfc/afx.h"
#include "mfc/user_actions.h"
#include "res/ResourceIds.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

using namespace bench_library;

struct Setup {
  Setup() {
    resources = LoadLibraryA(KESTRUM_BENCH_RESOURCES);
    resSetModuleState(resources, AfxGetResourceHandle());
    appControl = std::make_unique<CadAppControl>();
    control.SetCurrent();
    control.SetCurrentAnlModel(control.NewAnlModel(CaeString("Plate"), static_cast<AnlType>(0)));
    WriteLibrary(path);
    cad = std::make_unique<LibraryCad>(path.string());
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
  fs::path path = fs::temp_directory_path() / ("kestrum-bench-wizard-" + std::to_string(::getpid()) + ".mat");
  HINSTANCE resources = nullptr;
  std::unique_ptr<CadAppControl> appControl;
  AnlControl control{"plate"};
  std::unique_ptr<LibraryCad> cad;
  Person person;
  mfc::UserDriver* previous = nullptr;
  int listed = 0;  // tree items of the last run, checked so the page cannot be skipped
};

void RunPage(Setup& s) {
  auto press = [](CWnd& sheet, int button) { dynamic_cast<CPropertySheet&>(sheet).PressButton(button); };
  s.person.steps.push_back([&](CWnd& sheet) { press(sheet, PSBTN_NEXT); });
  s.person.steps.push_back([&](CWnd& sheet) {
    auto* tree =
        static_cast<CTreeCtrl*>(dynamic_cast<CPropertySheet&>(sheet).GetActivePage()->GetDlgItem(IDC_AMG_LIST_TREE));
    s.listed = tree ? static_cast<int>(tree->GetCount()) : 0;
    press(sheet, PSBTN_CANCEL);
  });
  UIRunMeshWizard();
}

// The same reading on the bare library.
int RunBare(Setup& s) {
  MaterialLibrary library(CaeString(s.path.string().c_str()));
  CaeOwningList<CaeString> names;
  library.ListNames(names);
  int rows = 0;
  for (CaeString* name : names) {
    CaeArray<double> temperatures;
    if (const CaeMaterial* material = library.Find(*name)) material->GetTemps(temperatures);
    rows += temperatures.Count();
  }
  return rows;
}

void BM_ExistingMaterialPageVsBareLibrary(benchmark::State& state) {
  Setup s;
  double page = 0;
  double bare = 0;
  int n = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    RunPage(s);
    const auto t1 = Clock::now();
    const int rows = RunBare(s);
    const auto t2 = Clock::now();
    if (s.listed != 1 + kMaterials * (1 + kRows) || rows != kMaterials * kRows) {
      state.SkipWithError("the page or the library did not list every material and row");
      break;
    }
    page += std::chrono::duration<double, std::milli>(t1 - t0).count();
    bare += std::chrono::duration<double, std::milli>(t2 - t1).count();
    ++n;
  }
  if (n == 0) return;
  state.counters["page_ms"] = page / n;
  state.counters["bare_ms"] = bare / n;
  state.counters["ratio"] = bare > 0 ? page / bare : 0;
}
BENCHMARK(BM_ExistingMaterialPageVsBareLibrary)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
