// Re-resolution at the end of a parameter change, on the plate with a grid of holes: 2,000
// references (1,000 faces, 1,000 edges) carry a mesh-size constraint each, held by an analysis
// model as refinements are. Each run types "PARAM set grid/D ..." at the host's command line and
// splits the command at the boundaries the add-in hears: from its start to its end is the
// part's regeneration, from its end on the pass (re-validation of every reference, re-attachment
// of every attribute, the modify reactions with their undo snapshots). The aim is a pass within
// 1.0x the regeneration of the same run; "ratio" is pass / regeneration. The part's regeneration
// through the modeller's API alone, outside any command, is timed too ("ratio_to_plain").
#include <benchmark/benchmark.h>
#include <gp_Trsf.hxx>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "CadInterface/AcCadEntry.h"
#include "amg/CaeEngine.h"
#include "amg/CaeString.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/brbrep.h"
#include "arx/dbdatabase.h"
#include "arx/dbfiler.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "db/dbControl.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "fea/AmgMesh.h"
#include "grid_plate.h"
#include "mcad/amiapp.h"
#include "mcad/amikey.h"
#include "mcad/amiparam.h"
#include "mcad/amipart.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoTables.h"
#include "topo/acTopoUtil.h"
#include "util/acBrEnt.h"
#include "util/acDeferredPasses.h"

namespace {

using Clock = std::chrono::steady_clock;

// A refinement as the drawing keeps one: an entity with its engine constraint and its key.
class BenchRefinement : public AcDbEntity, public AmgConstraint, public AcTopoAttribObject {
 public:
  ACRX_DECLARE_MEMBERS(BenchRefinement);
  ~BenchRefinement() override { delete key_; }
  void SetKey(AmiObjectKey* key) { key_ = key; }
  AmiObjectKey* TopoKey() const override { return key_; }
  bool TopologyLost() const override { return lost_; }
  void ReviveTopology() override { erase(false); }
  void UponTopoRefErase() override {
    erase(true);
    lost_ = true;
  }
  void UponTopoRefModify() override { recordGraphicsModified(true); }
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override {
    if (Acad::ErrorStatus status = AcDbEntity::dwgOutFields(filer); status != Acad::eOk) return status;
    amiWriteKey(filer, key_);
    filer->writeDouble(Size());
    for (int i = 0; i < 3; ++i) filer->writeDouble(Location()[i]);
    return filer->writeInt32(lost_ ? 1 : 0);
  }
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override {
    if (Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer); status != Acad::eOk) return status;
    AmiKey* read = nullptr;
    if (amiReadKey(filer, read) == Ami::eOk) {
      delete key_;
      key_ = dynamic_cast<AmiObjectKey*>(read);
    }
    double value = 0;
    filer->readDouble(&value);
    CaeVector location;
    for (int i = 0; i < 3; ++i) filer->readDouble(&location[i]);
    Adesk::Int32 lost = 0;
    const Acad::ErrorStatus status = filer->readInt32(&lost);
    lost_ = lost != 0;
    return status;
  }

 private:
  AmiObjectKey* key_ = nullptr;
  bool lost_ = false;
};

ACRX_CONS_DEFINE_MEMBERS(BenchRefinement, AcDbEntity, "BENCHREFINEMENT")

constexpr int kFacesCarrying = 1000;
constexpr int kEdgesCarrying = 1000;

std::vector<Clock::time_point> boundaries;
void hear(const char* pass) {
  if (std::string(pass) == "resolve") boundaries.push_back(Clock::now());
}

AcDbObjectId part;

bool openDrawing() {
  CaeEngine::ResetState();
  cadhost::startHost(true);
  if (!mcadLoadApiModule() || !acrxModuleAttach() ||
      !acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint))
    return false;
  BenchRefinement::desc();
  AcDbDatabase* db = acDocManagerPtr()->curDocument()->database();
  part = mcadAddPart(db, "grid", bench::gridPlateText(), gp_Trsf());
  if (part.isNull()) return false;
  AcBrBrep probe;
  probe.setSubentPath(AcDbFullSubentPath(part, kNullSubent));
  if (!acTopoRefFromBrEntity(acCanonicalBrEntity(&probe))) return false;

  DbTransaction transaction(db);
  auto* model = dynamic_cast<CaepAnlModelObj*>(dbControlOf(db)->NewAnlModel(CaeString("Stress"), AnlStress));
  if (!model) return false;
  int faces = 0;
  int edges = 0;
  std::vector<AcTopoRef*> carrying;
  for (auto* node = AcTopoTables::Current()->References().FirstNode(); node->HasItem(); node = node->Next()) {
    AcTopoRef* reference = node->Item();
    if (reference->Kind() == CaeTopoRef::kFace && faces < kFacesCarrying) {
      ++faces;
      carrying.push_back(reference);
    } else if (reference->Kind() == CaeTopoRef::kEdge && edges < kEdgesCarrying) {
      ++edges;
      carrying.push_back(reference);
    }
  }
  for (AcTopoRef* reference : carrying) {
    AmiKey* copy = nullptr;
    if (amiCopyKey(reference->Key(), copy) != Ami::eOk) return false;
    auto* refinement = new BenchRefinement();
    refinement->SetKey(static_cast<AmiObjectKey*>(copy));
    refinement->SetSize(2.0);
    model->AddConstraint(refinement);
    reference->AddAttribute(refinement);
    refinement->SetTopoRef(reference);
  }
  return faces == kFacesCarrying && edges == kEdgesCarrying;
}

void BM_PassAtTheEndOfAParameterChange(benchmark::State& state) {
  double diameter = 4;
  double regeneration = 0;
  double pass = 0;
  acSetPassObserver(hear);
  for (auto _ : state) {
    diameter = diameter == 4 ? 4.5 : 4;
    boundaries.clear();
    cadhost::queueText("PARAM set grid/D " + std::to_string(diameter));
    cadhost::runNextCommand();
    const Clock::time_point end = Clock::now();
    // Heard: the command's start, then its end.
    if (boundaries.size() != 2) {
      state.SkipWithError("the command did not reach both boundaries");
      break;
    }
    const double regen = std::chrono::duration<double>(boundaries[1] - boundaries[0]).count();
    const double own = std::chrono::duration<double>(end - boundaries[1]).count();
    state.SetIterationTime(regen + own);
    regeneration += regen;
    pass += own;
  }
  acSetPassObserver(nullptr);
  const double runs = static_cast<double>(state.iterations());
  // The part's regeneration alone, outside any command, as the modeller's API does it.
  double plain = 0;
  for (int i = 0; i < state.iterations(); ++i) {
    diameter = diameter == 4 ? 4.5 : 4;
    AmiParamKey key(nullptr, part, "D");
    const Clock::time_point start = Clock::now();
    if (amiSetParamValue(&key, diameter) != Ami::eOk) state.SkipWithError("the part did not regenerate");
    plain += std::chrono::duration<double>(Clock::now() - start).count();
  }
  acTopoResetFlags();  // that change is not this benchmark's to re-resolve
  state.counters["plain_regeneration_s"] = plain / runs;
  state.counters["ratio_to_plain"] = plain > 0 ? pass / plain : 0;
  state.counters["regeneration_s"] = regeneration / runs;
  state.counters["pass_s"] = pass / runs;
  state.counters["ratio"] = regeneration > 0 ? pass / regeneration : 0;
  state.counters["references"] = AcTopoTables::Current()->References().Count();
}

BENCHMARK(BM_PassAtTheEndOfAParameterChange)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!openDrawing()) {
    std::fprintf(stderr, "could not open the drawing: %s\n", cadhost::printedText().c_str());
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  cadhost::shutdownHost();
  acrxModuleDetach();
  mcadResetServices();
  benchmark::Shutdown();
  return 0;
}
