// The Explorer's rebuild of a drawing of about 1,000 objects in a user's mix: 16 simulation models,
// each with 10 meshes (their material in the library), 4 result sets of 3 modes and 4 jobs; 60
// load sets and 40 restraint sets of 4 conditions each. The yardstick, in the same loop, is one
// empty host transaction pass (start and end on a drawing's transaction manager), what the tab's
// job poll pays on every tick. Aim: a rebuild under 10 ms. The counters give both times and the
// ratio; run with --benchmark_counters_tabular=true.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "amg/CaeEngine.h"
#include "amg/CaeMaterial.h"
#include "arx/dbdatabase.h"
#include "arx/dbtrans.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/AttLbcDescript.h"
#include "fea/FerResult.h"
#include "gui/explorer/CExpTreeCtl.h"
#include "mfc/afx.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kModels = 16;
constexpr int kMeshesPerModel = 10;
constexpr int kResultSetsPerModel = 4;
constexpr int kModesPerSet = 3;
constexpr int kJobsPerModel = 4;
constexpr int kLoadSets = 60;
constexpr int kRestraintSets = 40;
constexpr int kConditionsPerSet = 4;

// One material, as the shipped library words it.
const char* const kLibrary =
    "Material: S275\n"
    "2.1e11 0.3 7850 1.2e-5 4.3e8 2.75e8 50 460 293.15\n";

fs::path LibraryFile() {
  static const fs::path path = [] {
    fs::path file = fs::temp_directory_path() / ("kestrum-bench-explorer-" + std::to_string(::getpid()) + ".mat");
    std::ofstream(file) << kLibrary;
    return file;
  }();
  return path;
}

class BenchCad : public CadInterface {
 public:
  MaterialLibrary* OpenMaterialLibrary(const CaeString&) override {
    return new MaterialLibrary(CaeString(LibraryFile().string().c_str()));
  }
};

struct Drawing {
  Drawing() {
    HINSTANCE resources = LoadLibraryA(KESTRUM_BENCH_RESOURCES);
    resSetModuleState(resources, AfxGetResourceHandle());
    control.SetCurrent();
    for (int m = 0; m < kModels; ++m) AddModel(m);
    for (int s = 0; s < kLoadSets + kRestraintSets; ++s) {
      AttLbcCase* set = s < kLoadSets ? control.NewLoadCase(("Loads" + std::to_string(s)).c_str())
                                      : control.NewRestraintCase(("Fixed" + std::to_string(s)).c_str());
      for (int c = 0; c < kConditionsPerSet; ++c) {
        conditions.push_back(std::make_unique<AttBaseLbc>(descriptors.Find(1), 1));
        conditions.back()->SetName(("Force" + std::to_string(c)).c_str());
        set->AddLbc(conditions.back().get());
      }
    }
    window.Create("SysTreeView32", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 600), nullptr, 1198);
    HWND hwnd = window.UnsubclassWindow();
    tree.SubclassWindow(hwnd);
  }
  void AddModel(int m) {
    AnlModel* model = control.NewAnlModel(("Model" + std::to_string(m)).c_str(), AnlVibration);
    for (int i = 0; i < kMeshesPerModel; ++i) {
      AnlSubModel* sub = model->NewSubModel();
      sub->SetName(("Part" + std::to_string(i)).c_str());
      auto* material = new CaeMaterial();
      material->Name("S275");
      sub->AssignMaterial(material);
      sub->SetMesh(model->NewMesh(nullptr));
    }
    for (int r = 0; r < kResultSetsPerModel; ++r) {
      FerResultSet* set = model->NewResultSet(("Modes" + std::to_string(r)).c_str());
      set->SetSubSetUnits(CaeUtFrequency);
      for (int k = 1; k <= kModesPerSet; ++k) set->AddSubSet(new FerResultSubSet(100.0 * k));
    }
    for (int j = 0; j < kJobsPerModel; ++j) {
      AnlJob* job = model->NewJob();
      job->SetName(("Run" + std::to_string(j)).c_str());
      job->SetStatus(j == 0 ? AnlStatusFailed : AnlStatusNew);
    }
  }
  BenchCad cad;
  AttLbcDescriptTable descriptors;
  std::vector<std::unique_ptr<AttBaseLbc>> conditions;
  AnlControl control{"bench"};
  CWnd window;
  CExpTreeCtl tree;
  AcDbDatabase db;
};

Drawing& drawing() {
  static Drawing* shared = new Drawing();  // built once, kept to the end of the run
  return *shared;
}

void BM_ExplorerRebuildVsEmptyTransaction(benchmark::State& state) {
  Drawing& d = drawing();
  AcDbTransactionManager* transactions = d.db.transactionManager();
  double rebuild = 0;
  double pass = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    d.tree.Refresh();
    const auto t1 = Clock::now();
    transactions->startTransaction();
    transactions->endTransaction();
    const auto t2 = Clock::now();
    rebuild += std::chrono::duration<double, std::milli>(t1 - t0).count();
    pass += std::chrono::duration<double, std::milli>(t2 - t1).count();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["items"] = static_cast<double>(d.tree.GetCount());
  state.counters["rebuild_ms"] = rebuild / n;
  state.counters["transaction_ms"] = pass / n;
  state.counters["ratio"] = pass > 0 ? rebuild / pass : 0;
}
BENCHMARK(BM_ExplorerRebuildVsEmptyTransaction)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace

BENCHMARK_MAIN();
