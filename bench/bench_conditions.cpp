// Conditions on the grid-of-holes plate (about 2,000 faces), one pressure per face: the drawing's
// post-load pass after OPEN, which resolves every condition on its face, against building a
// reference to every face of the same drawing from its keys, in the same run. The aim is a pass
// within twice that baseline; the ratio is printed at the end.
#include <benchmark/benchmark.h>
#include <gp_Trsf.hxx>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "CadInterface/AcCadEntry.h"
#include "amg/CaeCoordSys.h"
#include "amg/CaeEngine.h"
#include "arx/acdocman.h"
#include "arx/brbrep.h"
#include "arx/dbdatabase.h"
#include "arx/dbtrans.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "cadInterface/CadInterface.h"
#include "db/dbControl.h"
#include "db/dbFiling.h"
#include "db/dbLbc.h"
#include "fea/AttCodes.h"
#include "fea/CaeFunc.h"
#include "grid_plate.h"
#include "mcad/amiapp.h"
#include "mcad/amikey.h"
#include "mcad/amipart.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoTables.h"
#include "topo/acTopoUtil.h"
#include "util/acBrEnt.h"
#include "util/acDeferredPasses.h"

namespace {

std::string drawingPath;
// The faces' keys as the file keeps them: the part's handle and each face's name.
struct FaceName {
  AcDbHandle part;
  Ami::KeyType type;
  std::string name;
};
std::vector<FaceName> faceKeys;
double passSeconds = 0;
double baselineSeconds = 0;

AcDbDatabase* db() { return acDocManagerPtr()->curDocument()->database(); }

bool command(const std::string& line) {
  cadhost::queueText(line);
  return cadhost::runNextCommand();
}

// The drawing file: the plate and one pressure in face axes on every face.
bool buildDrawing() {
  CaeEngine::ResetState();
  cadhost::startHost(true);
  if (!mcadLoadApiModule() || !acrxModuleAttach() ||
      !acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint))
    return false;
  const AcDbObjectId part = mcadAddPart(db(), "grid", bench::gridPlateText(), gp_Trsf());
  if (part.isNull()) return false;
  AcBrBrep probe;
  probe.setSubentPath(AcDbFullSubentPath(part, kNullSubent));
  auto* body = static_cast<AcTopoRef*>(acTopoRefFromBrEntity(acCanonicalBrEntity(&probe)));
  CadInterface* cad = CadInterface::GetCurrent();
  const AttType pressure = ToAttType(AttCode::Pressure);
  const AttLbcDescript* descriptor = cad->FindLbcDescript(pressure);
  AcDbTransactionManager* transactions = db()->transactionManager();
  transactions->startTransaction();
  CaepAnlControl* control = dbControlOf(db());
  control->SetCurrentLoadCase(control->NewLoadCase("Loads"));
  int flag = 0;
  for (CaeTopoRef* child = body->FirstChild(flag); child; child = body->NextChild(child, flag, flag)) {
    auto* face = static_cast<AcTopoRef*>(child);
    auto* axes = new CaeCoordSysFace(CaeTransform());
    axes->SetTopoRef(face);
    CaeFunc* function = dbConstantFunction(pressure, *descriptor, axes, CaeVector(0, 0, 1));
    auto* entity = new CaepLbcEnt(3, 1.0, descriptor, face, function, axes, nullptr);
    entity->AddToCurrentCase();
    face->AddAttribute(entity);
    acBindObjectToKey(face->GetKey(), entity);
    entity->close();
    faceKeys.push_back({part.handle(), face->GetKey()->keyType(), face->GetKey()->name()});
  }
  transactions->endTransaction();
  drawingPath = (std::filesystem::temp_directory_path() / "bench_conditions.dwg").string();
  return command("SAVEAS " + drawingPath);
}

bool reopen() { return command("CLOSE") && command("OPEN " + drawingPath); }

void BM_PostLoadPassResolvingEveryCondition(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    if (!reopen()) state.SkipWithError("the drawing did not reopen");
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    CadInterface::GetCurrent()->StartTransaction();
    dbReconcileDrawing();
    CadInterface::GetCurrent()->EndTransaction();
    passSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["conditions"] = static_cast<double>(faceKeys.size());
}

// The keys are the saved drawing's own: the part entity keeps its handle through the file.
void BM_ReferenceToEveryFaceFromItsKey(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    if (!reopen()) state.SkipWithError("the drawing did not reopen");
    std::vector<std::unique_ptr<AmiObjectKey>> keys;
    for (const FaceName& face : faceKeys) {
      AcDbObjectId part;
      db()->getAcDbObjectId(part, false, face.part);
      keys.push_back(std::make_unique<AmiObjectKey>(face.type, part, face.name));
    }
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    std::size_t resolved = 0;
    for (const auto& key : keys) resolved += acTopoRefFromKey(key.get()) ? 1 : 0;
    baselineSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (resolved != keys.size()) state.SkipWithError("a face key did not resolve");
  }
  state.counters["faces"] = static_cast<double>(faceKeys.size());
}

BENCHMARK(BM_ReferenceToEveryFaceFromItsKey)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PostLoadPassResolvingEveryCondition)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!buildDrawing()) {
    std::fprintf(stderr, "The drawing could not be built.\n");
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  if (baselineSeconds > 0)
    std::printf("post-load pass / references to every face: %.2f (aim <= 2)\n", passSeconds / baselineSeconds);
  faceKeys.clear();
  cadhost::shutdownHost();
  acrxModuleDetach();
  std::filesystem::remove(drawingPath);
  benchmark::Shutdown();
  return 0;
}
