// Meshing through the drawing, against gmsh alone on the same shape and settings: a block with a
// hole meshed with quadratic tetrahedra of about 100,000 nodes. The drawing's run is a command
// typed at the host's command line that makes the mesh entity in an analysis model, numbers it on,
// meshes it and gives it its keys, from the command's start to its end (undo recording and the
// command-end passes included). The aim is at most 1.1x gmsh alone ("ratio").
//
// Also reported: the first draw of that mesh (a regeneration of the display with the mesh,
// less one without it), and QSAVE and OPEN of the drawing against writing the same bytes to a
// file the way every file is written (atomically, synced) and reading them back.
#include <benchmark/benchmark.h>
#include <TopoDS_Shape.hxx>
#include <gp_Trsf.hxx>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "CadInterface/AcCadEntry.h"
#include "amg/CaeEngine.h"
#include "amg/CaeString.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/brbrep.h"
#include "arx/dbdatabase.h"
#include "arx/gidisplay.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "db/dbControl.h"
#include "db/dbMesh.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "fea/AmgMesh.h"
#include "kestrum/atomic_file.h"
#include "mcad/amiapp.h"
#include "mcad/amipart.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoUtil.h"
#include "util/acBrEnt.h"

namespace {

using Clock = std::chrono::steady_clock;

// About 100,000 nodes of quadratic tetrahedra on this block.
constexpr char kBlockText[] =
    "part block\nbox b corner=(0, 0, 0) size=(120, 60, 30)\n"
    "hole h at=(60, 30, 30) direction=(0, 0, -1) diameter=20\n";
constexpr double kElementSize = 2.55;

AcDbObjectId part;
AcDbObjectId modelId;
AcTopoRef* body = nullptr;
TopoDS_Shape shape;
long drawingNodes = 0;

double seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

AcDbDatabase* currentDb() { return acDocManagerPtr()->curDocument()->database(); }

void settle(AmgMesh& mesh) {
  mesh.SetDefaultSize(kElementSize);
  mesh.SetElementOrder(2);
}

// The drawing's mesh, made as the mesh command makes it.
int meshCommand() {
  AcDbDatabase* db = currentDb();
  DbTransaction transaction(db);
  auto* model = CaepAnlModelObj::cast(dbOpenMember(db, modelId, AcDb::kForWrite));
  if (!model) return RTERROR;
  auto* mesh = dynamic_cast<CaepMeshEnt*>(model->NewMesh(body));
  if (!mesh) return RTERROR;
  settle(*mesh);
  mesh->NumberOnFrom(*model);
  if (!mesh->MeshIt()) return RTERROR;
  if (body->GetKey()) mesh->SetBodyKey(body->GetKey());
  drawingNodes = mesh->NumNodes();
  return RTNORM;
}

bool prepareDrawing();

bool openDrawing() {
  CaeEngine::ResetState();
  cadhost::startHost(true);
  if (!mcadLoadApiModule() || !acrxModuleAttach() ||
      !acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint))
    return false;
  cadhost::addHostCommand("BENCHMESH", cadhost::CommandContext::kDocument, meshCommand);
  return prepareDrawing();
}

// The block and an analysis model in the current drawing.
bool prepareDrawing() {
  AcDbDatabase* db = currentDb();
  part = mcadAddPart(db, "block", kBlockText, gp_Trsf());
  if (part.isNull()) return false;
  AcBrBrep probe;
  probe.setSubentPath(AcDbFullSubentPath(part, kNullSubent));
  body = acTopoRefFromBrEntity(acCanonicalBrEntity(&probe));
  AmgShapeSource* source = AmgShapeSource::GetCurrent();
  if (!body || !source || !source->BodyShape(body, shape)) return false;
  DbTransaction transaction(db);
  auto* model = dynamic_cast<CaepAnlModelObj*>(dbControlOf(db)->NewAnlModel(CaeString("Stress"), AnlStress));
  if (!model) return false;
  modelId = model->objectId();
  return true;
}

void BM_MeshThroughTheDrawingAgainstGmshAlone(benchmark::State& state) {
  double alone = 0, drawing = 0;
  long nodes = 0;
  {
    AmgMesh warmUp;  // gmsh starts once per process: not part of either side
    warmUp.SetShape(shape);
    warmUp.SetDefaultSize(20.0);
    warmUp.MeshIt();
  }
  for (auto _ : state) {
    AmgMesh plain;
    plain.SetShape(shape);
    settle(plain);
    const Clock::time_point start = Clock::now();
    if (!plain.MeshIt()) state.SkipWithError("gmsh alone failed");
    const Clock::time_point meshed = Clock::now();
    nodes = plain.NumNodes();

    const Clock::time_point commandStart = Clock::now();
    if (cadhost::runCommand("BENCHMESH") != RTNORM) state.SkipWithError("the mesh command failed");
    const Clock::time_point commandEnd = Clock::now();
    cadhost::runCommand("U");  // each run starts from a model without the mesh
    alone += seconds(start, meshed);
    drawing += seconds(commandStart, commandEnd);
    state.SetIterationTime(seconds(commandStart, commandEnd));
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["nodes"] = static_cast<double>(nodes);
  state.counters["drawing_nodes"] = static_cast<double>(drawingNodes);
  state.counters["gmsh_alone_s"] = alone / runs;
  state.counters["drawing_s"] = drawing / runs;
  state.counters["ratio"] = alone > 0 ? drawing / alone : 0;
}

BENCHMARK(BM_MeshThroughTheDrawingAgainstGmshAlone)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// A full regeneration of the display, in the shaded display or the standard one.
double regeneration(AcGi::RegenType type) {
  AcGiView view;
  view.width = 800;
  view.height = 600;
  view.regenType = type;
  AcGiDisplayList list(currentDb(), view);
  const Clock::time_point start = Clock::now();
  list.regenerate();
  return seconds(start, Clock::now());
}

void BM_FirstDrawQsaveAndOpen(benchmark::State& state) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kestrum_bench_mesh";
  std::filesystem::create_directories(dir);
  const std::string drawingPath = (dir / "block.dwg").string();
  double standardDraw = 0, shadedDraw = 0, qsave = 0, open = 0, plainWrite = 0, plainRead = 0;
  std::uintmax_t bytes = 0;
  // A new drawing, so that the saved one holds this mesh alone (a drawing keeps undone objects).
  cadhost::runCommand("CLOSE");
  cadhost::runCommand("NEW");
  if (!prepareDrawing()) state.SkipWithError("the new drawing could not be prepared");
  for (auto _ : state) {
    const double withoutStandard = regeneration(AcGi::kAcGiStandardDisplay);
    const double withoutShaded = regeneration(AcGi::kAcGiShadedDisplay);
    if (cadhost::runCommand("BENCHMESH") != RTNORM) state.SkipWithError("the mesh command failed");
    standardDraw += regeneration(AcGi::kAcGiStandardDisplay) - withoutStandard;
    shadedDraw += regeneration(AcGi::kAcGiShadedDisplay) - withoutShaded;

    cadhost::queueText("SAVEAS " + drawingPath);
    cadhost::runNextCommand();
    Clock::time_point start = Clock::now();
    if (cadhost::runCommand("QSAVE") != RTNORM) {
      std::fprintf(stderr, "%s\n", cadhost::printedText().c_str());
      state.SkipWithError("QSAVE failed");
    }
    qsave += seconds(start, Clock::now());

    std::ifstream in(drawingPath, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bytes = data.size();
    start = Clock::now();
    if (!kestrum::writeFileAtomically(dir / "plain.bin", data)) state.SkipWithError("the plain write failed");
    plainWrite += seconds(start, Clock::now());
    start = Clock::now();
    std::ifstream back(dir / "plain.bin", std::ios::binary);
    const std::string read((std::istreambuf_iterator<char>(back)), std::istreambuf_iterator<char>());
    plainRead += seconds(start, Clock::now());
    if (read.size() != data.size()) state.SkipWithError("the plain read was short");

    cadhost::runCommand("CLOSE");
    start = Clock::now();
    cadhost::queueText("OPEN " + drawingPath);
    cadhost::runNextCommand();
    cadhost::runCommand("REGENALL");  // the post-load pass (the mesh restore) runs by the first command
    open += seconds(start, Clock::now());
    state.SetIterationTime(qsave + open);
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["bytes"] = static_cast<double>(bytes);
  state.counters["first_draw_standard_s"] = standardDraw / runs;
  state.counters["first_draw_shaded_s"] = shadedDraw / runs;
  state.counters["qsave_s"] = qsave / runs;
  state.counters["plain_write_s"] = plainWrite / runs;
  state.counters["qsave_ratio"] = plainWrite > 0 ? qsave / plainWrite : 0;
  state.counters["open_s"] = open / runs;
  state.counters["plain_read_s"] = plainRead / runs;
  state.counters["open_ratio"] = plainRead > 0 ? open / plainRead : 0;
  std::filesystem::remove_all(dir);
}

// One run: it ends in the reopened drawing.
BENCHMARK(BM_FirstDrawQsaveAndOpen)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

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
