// Conditions on the grid-of-holes plate (about 2,000 faces), one pressure per face, each timed
// against a baseline in the same run (medians of alternating runs; the ratios are printed at the
// end):
// - the post-load pass after OPEN, which resolves every condition on its face, against building a
//   reference to every face of the same drawing from its keys (aim: within 2 times);
// - the conditions' share of a regeneration (with the load symbols shown, less with them hidden)
//   against acDrawSymbol alone at the same placements, drawn by one entity of a drawing of its
//   own (aim: within 2 times); also in processor time, and for the first regeneration after OPEN,
//   before the conditions have kept their placements;
// - SAVEAS of the drawing against a plain write of the same bytes with the same syncs (aim:
//   within 3 times).
#include <benchmark/benchmark.h>
#include <gp_Trsf.hxx>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "CadInterface/AcCadEntry.h"
#include "amg/CaeCoordSys.h"
#include "amg/CaeEngine.h"
#include "arx/acdocman.h"
#include "arx/adscodes.h"
#include "arx/brbrep.h"
#include "arx/dbdatabase.h"
#include "arx/dbtrans.h"
#include "arx/gidisplay.h"
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
#include "util/acSymbol.h"

namespace {

std::string drawingPath;
// The faces' keys as the file keeps them: the part's handle and each face's name.
struct FaceName {
  AcDbHandle part;
  Ami::KeyType type;
  std::string name;
};
std::vector<FaceName> faceKeys;
std::vector<double> passSeconds, referenceSeconds;
std::vector<double> saveSeconds, plainWriteSeconds;
// The regenerations' processor seconds beside their wall time: on a shared machine the wall clock
// also counts the time other processes held the processor.
// The conditions' share of regenerations and the symbols alone beside each, in wall and processor
// seconds: regenerations of one opened drawing, and the first after each of several OPENs.
struct RegenSamples {
  std::vector<double> seconds, processor, symbolSeconds, symbolProcessor;
};
RegenSamples steadyRegens, firstRegens;

using Clock = std::chrono::steady_clock;
double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

// One symbol as a condition draws it: what, where, how.
struct Placement {
  const AcSymbol* symbol;
  Adesk::UInt16 color;
  double size;
  CaeVector point;
  CaeTransform transform;
  int perAxis;
  int free[6];
};
std::vector<Placement> placements;

// The symbols of every condition, drawn by one entity with acDrawSymbol and nothing else.
class SymbolsAlone : public AcDbEntity {
 public:
  ACRX_DECLARE_MEMBERS(SymbolsAlone);
  Adesk::Boolean worldDraw(AcGiWorldDraw* draw) override {
    for (const Placement& p : placements)
      p.symbol->acDrawSymbol(p.color, p.size, draw, p.point, p.transform, p.perAxis, p.free);
    return Adesk::kTrue;
  }
};
ACRX_CONS_DEFINE_MEMBERS(SymbolsAlone, AcDbEntity, "KESTRUM_BENCH_SYMBOLS")

// The placements of a condition on a face, as its drawing finds them: three samples per edge.
void collectPlacements(const CaepLbcEnt& condition, AcTopoRef* face) {
  int flag = 0;
  for (CaeTopoRef* edge = face->FirstChild(flag); edge; edge = face->NextChild(edge, flag, flag)) {
    double params[3];
    CaepLbcVis::EdgeSamples(edge, params, 3);
    for (double t : params) {
      Placement p{};
      edge->Feval(CaeVector(t, 0, 0), p.point);
      condition.SymbolName(p.symbol, p.perAxis, p.point);
      condition.SymbolTransform(p.point, p.perAxis, p.transform);
      p.color = static_cast<Adesk::UInt16>(condition.colorIndex());
      p.size = condition.Scale();
      condition.FreeComponents(p.free);
      placements.push_back(p);
    }
  }
}

AcDbDatabase* db() { return acDocManagerPtr()->curDocument()->database(); }

bool command(const std::string& line) {
  cadhost::queueText(line);
  return cadhost::runNextCommand();
}

// Runs a host command with the answers to its prompts; true when it ends normally.
bool run(const char* name, const std::vector<std::string>& answers) {
  cadhost::pushFrontWords(answers);
  return cadhost::runCommand(name) == RTNORM;
}

// The part lies on a layer of its own, so that a regeneration can leave out the shading of the
// solid (the same with or without conditions) while the conditions still draw on it.
constexpr char kPartLayer[] = "PARTS";

// The drawing file: the plate and one pressure in face axes on every face.
bool buildDrawing() {
  CaeEngine::ResetState();
  cadhost::startHost(true);
  if (!mcadLoadApiModule() || !acrxModuleAttach() ||
      !acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint))
    return false;
  const AcDbObjectId part = mcadAddPart(db(), "grid", bench::gridPlateText(), gp_Trsf());
  if (part.isNull() || !run("LAYER", {"NEW", kPartLayer})) return false;
  AcDbEntity* partEntity = nullptr;
  if (acdbOpenObject(partEntity, part, AcDb::kForWrite) != Acad::eOk) return false;
  const bool onLayer = partEntity->setLayer(kPartLayer) == Acad::eOk;
  partEntity->close();
  if (!onLayer) return false;
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
    collectPlacements(*entity, face);
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

// The post-load pass on the reopened drawing, in seconds.
double postLoadPassSeconds() {
  const auto start = Clock::now();
  CadInterface::GetCurrent()->StartTransaction();
  dbReconcileDrawing();
  CadInterface::GetCurrent()->EndTransaction();
  return secondsSince(start);
}

// A reference to every face of the reopened drawing from its key, in seconds; negative when a key
// does not resolve. The keys are the saved drawing's own: the part entity keeps its handle
// through the file.
double referencesSeconds() {
  std::vector<std::unique_ptr<AmiObjectKey>> keys;
  for (const FaceName& face : faceKeys) {
    AcDbObjectId part;
    db()->getAcDbObjectId(part, false, face.part);
    keys.push_back(std::make_unique<AmiObjectKey>(face.type, part, face.name));
  }
  const auto start = Clock::now();
  std::size_t resolved = 0;
  for (const auto& key : keys) resolved += acTopoRefFromKey(key.get()) ? 1 : 0;
  const double seconds = secondsSince(start);
  return resolved == keys.size() ? seconds : -1;
}

// The post-load pass and its baseline, alternating, each on a freshly opened drawing.
void BM_PostLoadPassAgainstReferences(benchmark::State& state) {
  for (auto _ : state) {
    if (!reopen()) state.SkipWithError("the drawing did not reopen");
    const double baseline = referencesSeconds();
    if (baseline < 0) state.SkipWithError("a face key did not resolve");
    referenceSeconds.push_back(baseline);
    if (!reopen()) state.SkipWithError("the drawing did not reopen");
    passSeconds.push_back(postLoadPassSeconds());
  }
  state.counters["conditions"] = static_cast<double>(faceKeys.size());
}

double processorSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// What a regeneration of the whole drawing cost: wall and processor seconds.
struct RegenCost {
  double seconds, processor;
  RegenCost operator-(const RegenCost& other) const { return {seconds - other.seconds, processor - other.processor}; }
};

RegenCost regenerate(AcDbDatabase* database, const AcGiView& view) {
  AcGiDisplayList display(database, view);
  const double processor = processorSeconds();
  const auto start = Clock::now();
  display.regenerate();
  return {secondsSince(start), processorSeconds() - processor};
}

void setLoadSymbolsShown(bool shown) {
  SymbolVisibility flags;
  CadInterface::GetCurrent()->GetSymbolVisibility(flags);
  flags.loads = shown ? 1 : 0;
  CadInterface::GetCurrent()->SetSymbolVisibility(flags, 1);
}

// A drawing of its own holding one entity that draws the placements with acDrawSymbol.
struct SymbolsDrawing {
  AcDbDatabase alone;
  SymbolsDrawing() {
    auto* symbols = new SymbolsAlone();
    AcDbObjectId id;
    alone.addAcDbObject(id, symbols);
    symbols->setOwnerId(alone.modelSpaceId());
    symbols->close();
  }
};

AcGiView benchView() {
  AcGiView view;
  view.width = 800, view.height = 600;
  return view;
}

// The conditions' share of one regeneration of the current drawing: with the load symbols shown
// less with them hidden.
RegenCost conditionsRegeneration(const AcGiView& view) {
  CadInterface::GetCurrent()->StartTransaction();
  setLoadSymbolsShown(true);
  const RegenCost shown = regenerate(db(), view);
  setLoadSymbolsShown(false);
  const RegenCost hidden = regenerate(db(), view);
  setLoadSymbolsShown(true);
  CadInterface::GetCurrent()->EndTransaction();
  return shown - hidden;
}

// One sample of each: the conditions' share of a regeneration of the current drawing, then the
// symbols alone.
void sampleRegeneration(const AcGiView& view, SymbolsDrawing& symbolsAlone, RegenSamples& samples) {
  const RegenCost conditions = conditionsRegeneration(view);
  samples.seconds.push_back(conditions.seconds);
  samples.processor.push_back(conditions.processor);
  const RegenCost symbols = regenerate(&symbolsAlone.alone, view);
  samples.symbolSeconds.push_back(symbols.seconds);
  samples.symbolProcessor.push_back(symbols.processor);
}

// The reopened drawing, its part's layer off, regenerated with and without the load symbols, and
// the same symbols drawn by acDrawSymbol alone, alternating.
void BM_RegenerationAgainstSymbolsAlone(benchmark::State& state) {
  // The layer command is the first after OPEN: its end runs the post-load pass.
  if (!reopen() || !run("LAYER", {"OFF", kPartLayer})) state.SkipWithError("the drawing did not reopen");
  SymbolsDrawing symbolsAlone;
  const AcGiView view = benchView();
  for (auto _ : state) sampleRegeneration(view, symbolsAlone, steadyRegens);
  state.counters["symbols"] = static_cast<double>(placements.size());
}

// The first regeneration after each OPEN, before the conditions have kept their placements,
// beside the symbols alone: one sample per OPEN, so the median is over several.
void BM_FirstRegenerationAfterOpen(benchmark::State& state) {
  SymbolsDrawing symbolsAlone;
  const AcGiView view = benchView();
  for (auto _ : state) {
    if (!reopen() || !run("LAYER", {"OFF", kPartLayer})) state.SkipWithError("the drawing did not reopen");
    sampleRegeneration(view, symbolsAlone, firstRegens);
  }
}

// The yardstick of SAVEAS: the bytes to a temporary file, fsync, rename, fsync of the folder.
bool plainWrite(const std::string& bytes, const std::filesystem::path& target) {
  const std::string temporary = target.string() + ".tmp";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  bool ok =
      fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) && ::fsync(fd) == 0;
  if (fd >= 0) ::close(fd);
  ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
  const int dir = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return ok;
}

// SAVEAS of the reopened drawing and a plain write of the bytes it wrote, alternating.
void BM_SaveAsAgainstAPlainWrite(benchmark::State& state) {
  if (!reopen() || !run("LAYER", {"OFF", kPartLayer})) state.SkipWithError("the drawing did not reopen");
  const std::filesystem::path saved = std::filesystem::temp_directory_path() / "bench_conditions_saved.dwg";
  const std::filesystem::path plain = std::filesystem::temp_directory_path() / "bench_conditions_plain.bin";
  for (auto _ : state) {
    std::filesystem::remove(saved);
    auto start = Clock::now();
    if (!command("SAVEAS " + saved.string())) state.SkipWithError("SAVEAS failed");
    saveSeconds.push_back(secondsSince(start));
    std::string bytes(std::filesystem::file_size(saved), '\0');
    std::ifstream(saved, std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    start = Clock::now();
    if (!plainWrite(bytes, plain)) state.SkipWithError("the plain write failed");
    plainWriteSeconds.push_back(secondsSince(start));
    state.counters["bytes"] = static_cast<double>(bytes.size());
  }
  std::filesystem::remove(saved);
  std::filesystem::remove(plain);
}

BENCHMARK(BM_PostLoadPassAgainstReferences)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_RegenerationAgainstSymbolsAlone)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_FirstRegenerationAfterOpen)->Unit(benchmark::kMillisecond)->Iterations(7);
// A save of this drawing takes a few milliseconds, where the disk's fsync varies most: more runs.
BENCHMARK(BM_SaveAsAgainstAPlainWrite)->Unit(benchmark::kMillisecond)->Iterations(21);

void printRatio(const char* what, const std::vector<double>& measured, const std::vector<double>& baseline,
                double aim) {
  const double m = median(measured), b = median(baseline);
  if (b > 0) std::printf("%s: %.1f ms / %.1f ms = %.2f (aim <= %g)\n", what, m * 1e3, b * 1e3, m / b, aim);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!buildDrawing()) {
    std::fprintf(stderr, "The drawing could not be built.\n");
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  printRatio("post-load pass / references to every face", passSeconds, referenceSeconds, 2);
  std::printf("symbols drawn: %zu\n", placements.size());
  printRatio("conditions in a regeneration / acDrawSymbol alone", steadyRegens.seconds, steadyRegens.symbolSeconds, 2);
  printRatio("  the same in processor time", steadyRegens.processor, steadyRegens.symbolProcessor, 2);
  // The conditions keep their symbols' placements between regenerations: the first after OPEN
  // finds them all.
  printRatio("  the first after OPEN, nothing kept", firstRegens.seconds, firstRegens.symbolSeconds, 2);
  printRatio("  the same in processor time", firstRegens.processor, firstRegens.symbolProcessor, 2);
  printRatio("SAVEAS / plain write of the same bytes", saveSeconds, plainWriteSeconds, 3);
  faceKeys.clear();
  cadhost::shutdownHost();
  acrxModuleDetach();
  std::filesystem::remove(drawingPath);
  benchmark::Shutdown();
  return 0;
}
