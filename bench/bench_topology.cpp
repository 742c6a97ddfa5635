// Topology references on a plate with a grid of through holes (about 2,000 faces): building a
// reference to every face, edge and vertex, regenerating the part after a parameter change, and
// re-resolving every reference's key after such a regeneration. The aim is a whole re-resolution
// within twice the time of the regeneration itself.
#include <benchmark/benchmark.h>
#include <gp_Trsf.hxx>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "CadInterface/AcCadEntry.h"
#include "amg/CaeEngine.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/brbrep.h"
#include "arx/hostcmds.h"
#include "arx/rxdlinkr.h"
#include "grid_plate.h"
#include "mcad/amiapp.h"
#include "mcad/amikey.h"
#include "mcad/amiparam.h"
#include "mcad/amipart.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoTables.h"
#include "util/acBrEnt.h"

namespace {

using bench::gridPlateText;

// One drawing with the grid plate, the add-in loaded, and copies of every reference's key.
struct Drawing {
  AcDbObjectId part;
  AcTopoRef* body = nullptr;
  std::vector<std::unique_ptr<AmiObjectKey>> keys;
  double diameter = 4;

  bool toggleDiameter() {
    diameter = diameter == 4 ? 4.5 : 4;
    AmiParamKey key(nullptr, part, "D");
    return amiSetParamValue(&key, diameter) == Ami::eOk;
  }
};

Drawing* drawing = nullptr;

bool openDrawing() {
  CaeEngine::ResetState();
  cadhost::startHost(true);
  if (!mcadLoadApiModule() || !acrxModuleAttach() ||
      !acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint))
    return false;
  drawing = new Drawing();
  drawing->part = mcadAddPart(acDocManagerPtr()->curDocument()->database(), "grid", gridPlateText(), gp_Trsf());
  return !drawing->part.isNull();
}

void BM_ReferenceEveryFaceEdgeAndVertex(benchmark::State& state) {
  for (auto _ : state) {
    AcBrBrep probe;
    probe.setSubentPath(AcDbFullSubentPath(drawing->part, kNullSubent));
    drawing->body = acTopoRefFromBrEntity(acCanonicalBrEntity(&probe));
  }
  AcTopoTables& tables = *AcTopoTables::Current();
  for (auto* node = tables.References().FirstNode(); node->HasItem(); node = node->Next()) {
    AmiKey* copy = nullptr;
    if (node->Item()->Kind() != CaeTopoRef::kBody && amiCopyKey(node->Item()->Key(), copy) == Ami::eOk)
      drawing->keys.emplace_back(static_cast<AmiObjectKey*>(copy));
  }
  state.counters["references"] = tables.References().Count();
  state.counters["keys"] = static_cast<double>(drawing->keys.size());
}

void BM_RegenerateAfterParameterChange(benchmark::State& state) {
  for (auto _ : state)
    if (!drawing->toggleDiameter()) state.SkipWithError("the part did not regenerate");
}

void BM_ReresolveEveryKeyAfterRegeneration(benchmark::State& state) {
  size_t resolved = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (!drawing->toggleDiameter()) state.SkipWithError("the part did not regenerate");
    state.ResumeTiming();
    resolved = 0;
    for (const auto& key : drawing->keys) resolved += acTopoRefFromKey(key.get()) ? 1 : 0;
  }
  if (resolved != drawing->keys.size()) state.SkipWithError("a key did not resolve after the regeneration");
  state.counters["keys"] = static_cast<double>(drawing->keys.size());
}

BENCHMARK(BM_ReferenceEveryFaceEdgeAndVertex)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RegenerateAfterParameterChange)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReresolveEveryKeyAfterRegeneration)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!openDrawing()) {
    std::fprintf(stderr, "could not open the drawing: %s\n", cadhost::printedText().c_str());
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  drawing->keys.clear();
  delete drawing;
  cadhost::shutdownHost();
  acrxModuleDetach();
  mcadResetServices();
  benchmark::Shutdown();
  return 0;
}
