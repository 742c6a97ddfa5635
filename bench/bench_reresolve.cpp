// Re-resolution at the end of a parameter change, on the plate with a grid of holes: 2,000
// references (1,000 faces, 1,000 edges) carry a mesh refinement each, made through the CAD
// interface as the refinement sheet makes them; the body carries a mesh (made, not generated) and
// two faces a mating relation. Each run types "PARAM set grid/D ..." at the host's command line and
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
#include "CadInterface/AcCadInterface.h"
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
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"
#include "db/dbControl.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
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

constexpr int kFacesCarrying = 1000;
constexpr int kEdgesCarrying = 1000;

std::vector<Clock::time_point> boundaries;
void hear(const char* pass) {
  if (std::string(pass) == "resolve") boundaries.push_back(Clock::now());
}

AcDbObjectId part;

// The refinements, the body's mesh and the relation, each as the add-in makes it.
bool carryAttributes(const std::vector<AcTopoRef*>& carrying, AcTopoRef* body) {
  CadInterface* cad = CadInterface::GetCurrent();
  AcCadInterface* ac = AcCadInterface::GetCurrentAc();
  if (!cad || !ac) return false;
  CadTransactionScope transaction(*cad);
  transaction.Start();
  cad->SelectOrCreateModel("Stress", AnlStress);
  auto* model = dynamic_cast<CaepAnlModelObj*>(AnlControl::GetCurrent()->CurrentAnlModel());
  if (!model) return false;
  std::vector<AcTopoRef*> faces;
  for (AcTopoRef* reference : carrying) {
    if (cad->CreateMeshConstraint(3, 1.0, 1, 2.0, 0, 0, 0, 0, reference->GetBrEntity()) != 1) return false;
    if (reference->Kind() == CaeTopoRef::kFace) faces.push_back(reference);
  }
  if (faces.size() < 2 || !model->NewMesh(body)) return false;
  ac->CreateMateRelPair(faces[0]->GetBrEntity(), faces[1]->GetBrEntity(), CaeString("Joint"), 3, 1.0);
  transaction.Commit();
  return model->NumMateRelPairs() == 1;
}

bool openDrawing() {
  CaeEngine::ResetState();
  cadhost::startHost(true);
  if (!mcadLoadApiModule() || !acrxModuleAttach() ||
      !acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint))
    return false;
  AcDbDatabase* db = acDocManagerPtr()->curDocument()->database();
  part = mcadAddPart(db, "grid", bench::gridPlateText(), gp_Trsf());
  if (part.isNull()) return false;
  AcBrBrep probe;
  probe.setSubentPath(AcDbFullSubentPath(part, kNullSubent));
  AcTopoRef* body = acTopoRefFromBrEntity(acCanonicalBrEntity(&probe));
  if (!body) return false;

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
  return faces == kFacesCarrying && edges == kEdgesCarrying && carryAttributes(carrying, body);
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
