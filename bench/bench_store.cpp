// The model store under load: a drawing of the store's objects (300 models, each with 8
// sub-models, 4 jobs and 4 result sets; 1,500 load and restraint sets of 3 placeholder members
// each; 700 analysis cases of 4 entries), saved with SAVEAS and opened with OPEN followed by the
// post-load pass at the first command end. Each measure runs beside its yardstick in the same
// loop: a plain write of the same bytes with the same fsyncs, a plain read of them, and the
// host's OPEN of a drawing of as many plain host objects. Aims: SAVEAS within 3 times the plain
// write, OPEN within 3 times the host's plain-object OPEN, and ten times the objects within 12
// times the time. The counters give the ratios; run with --benchmark_counters_tabular=true.
//
// Each OPEN follows the close of the other drawing, so its time depends on how much memory the
// C library kept from that close rather than gave back: the host's OPEN after the store drawing
// was measured from 14 to 60 ms at ten times the objects with the same host code. For figures
// that do not depend on it, run with MALLOC_TRIM_THRESHOLD_=4000000000 (nothing is given back).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "CadInterface/AcCadEntry.h"
#include "amg/CaeConfig.h"
#include "amg/CaeEngine.h"
#include "amg/CaeMaterial.h"
#include "arx/accmd.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbentity.h"
#include "arx/dbfiler.h"
#include "arx/dbsymtb.h"
#include "arx/dbtrans.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "db/dbCase.h"
#include "db/dbControl.h"
#include "db/dbFiling.h"
#include "db/dbLbcSet.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "db/dbResultSet.h"
#include "db/dbSubModel.h"
#include "fea/AmgMesh.h"
#include "fea/AnlJob.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcDescript.h"
#include "fea/FerResult.h"
#include "mcad/amiapp.h"
#include "mfc/driver.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// ---- stand-ins for the entities of later parts -------------------------------------------------

AcRxClass* registerStandIn(const char* name, AcRxPseudoConstructor make) {
  if (AcRxClass* found = acrxFindClass(name)) return found;
  AcDbEntity::desc();
  AcRxClass* made = newAcRxClass(name, "AcDbEntity", 23, 6, 0, make, name, "BENCH");
  acrxBuildClassHierarchy();
  return made;
}

// A mesh entity as far as a sub-model needs one.
class BenchMeshEnt : public AcDbEntity, public AmgMesh {
 public:
  ACRX_DECLARE_MEMBERS(BenchMeshEnt);
};
AcRxObject* makeMesh() { return new (std::nothrow) BenchMeshEnt(); }
AcRxClass* BenchMeshEnt::desc() {
  static AcRxClassLookup record("BenchMeshEnt");  // as an entity's class record is kept
  AcRxClass* found = record.get();
  return found ? found : registerStandIn("BenchMeshEnt", makeMesh);
}
AcRxClass* BenchMeshEnt::isA() const { return desc(); }

const AttLbcDescriptTable& descriptors() {
  static const AttLbcDescriptTable table;
  return table;
}

AttType firstOfKind(int kind) {
  for (AttType type = 1; type <= 29; ++type)
    if (const AttLbcDescript* found = descriptors().Find(type); found && found->kind == kind) return type;
  return 0;
}

// A condition entity as far as a set needs one: it files its type code.
class BenchConditionEnt : public AcDbEntity, public AttLbc {
 public:
  ACRX_DECLARE_MEMBERS(BenchConditionEnt);
  BenchConditionEnt() : BenchConditionEnt(0) {}
  explicit BenchConditionEnt(AttType type) : AttLbc(descriptors().Find(type), nullptr, nullptr, nullptr, nullptr) {}
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override {
    AcDbEntity::dwgOutFields(filer);
    if (dbFilerWritesFields(filer->filerType())) filer->writeInt16(static_cast<Adesk::Int16>(Type()));
    return filer->filerStatus();
  }
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override {
    AcDbEntity::dwgInFields(filer);
    Adesk::Int16 type = 0;
    if (dbFilerReadsFields(filer->filerType()) && filer->readInt16(&type) == Acad::eOk)
      SetDescriptor(descriptors().Find(type));
    return filer->filerStatus();
  }
};
AcRxObject* makeCondition() { return new (std::nothrow) BenchConditionEnt(); }
AcRxClass* BenchConditionEnt::desc() {
  static AcRxClassLookup record("BenchConditionEnt");
  AcRxClass* found = record.get();
  return found ? found : registerStandIn("BenchConditionEnt", makeCondition);
}
AcRxClass* BenchConditionEnt::isA() const { return desc(); }

// Answers every message box (none is expected) and counts them.
class CountingDriver : public mfc::UserDriver {
 public:
  bool onModalIdle(CWnd&) override { return false; }
  int onMessageBox(const mfc::MessageBoxRequest&) override {
    ++boxes;
    return IDOK;
  }
  std::optional<std::string> onFileDialog(const mfc::FileDialogRequest&) override { return std::nullopt; }
  UINT onPopupMenu(const CMenu&, CWnd*) override { return 0; }
  int boxes = 0;
};
CountingDriver driver;

// ---- files --------------------------------------------------------------------------------------

// The run's own folder: configuration, material library and drawings; removed at exit.
const fs::path& scratchFolder() {
  static const fs::path folder = [] {
    std::string pattern = (fs::temp_directory_path() / "kestrum-bench-store-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
    return fs::path(pattern);
  }();
  return folder;
}

fs::path scratch(const std::string& name) { return scratchFolder() / name; }
std::string scaled(const char* stem, int scale) { return scratch(stem + std::to_string(scale) + ".dwg").string(); }

// The yardstick of SAVEAS: the bytes to a temporary file, fsync, rename, fsync of the folder.
bool plainWrite(const std::string& bytes) {
  const std::string temporary = scratch("plain.tmp").string(), target = scratch("plain.bin").string();
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  bool ok =
      fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) && ::fsync(fd) == 0;
  if (fd >= 0) ::close(fd);
  ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
  int dir = ::open(scratchFolder().c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return ok;
}

// The yardstick of OPEN that holds no drawing work at all: the file whole into memory.
bool plainRead(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  bytes.resize(fs::file_size(path));
  return static_cast<bool>(in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

// ---- commands -----------------------------------------------------------------------------------

// A command that does nothing: its end is the first command end after an OPEN, where the
// post-load pass runs.
void doNothing() {}

// Runs a command with the answers to its prompts: RTNORM, RTCAN or RTERROR.
int run(const char* command, const std::vector<std::string>& answers = {}) {
  cadhost::pushFrontWords(answers);
  return cadhost::runCommand(command);
}

// One command's bracket around work done directly on the drawing: an undo group and a transaction.
void asCommand(AcDbDatabase* db, const std::function<void()>& work) {
  db->beginUndoGroup("BUILD");
  db->transactionManager()->startTransaction();
  work();
  db->transactionManager()->endTransaction();
  db->endUndoGroup();
}

template <class T>
T* openForWrite(AcDbDatabase* db, AcDbObjectId id) {
  return dynamic_cast<T*>(dbOpenMember(db, id, AcDb::kForWrite));
}

// ---- the drawings -------------------------------------------------------------------------------

struct Counts {
  int models, sets, cases;
};
constexpr Counts kOnce{300, 1500, 700};
constexpr int kSubModels = 8, kJobs = 4, kResultSets = 4, kMembers = 3, kEntries = 4;
constexpr int kModelsPerCommand = 10, kSetsPerCommand = 50;

void fillModel(CaepAnlModelObj* model, int number) {
  for (int s = 0; s < kSubModels; ++s) {
    auto* sub = dynamic_cast<CaepAnlSubModelObj*>(model->NewSubModelFor(new BenchMeshEnt()));
    sub->AssignMaterial(new CaeMaterial(CaeString("S275")));
    sub->AssignElement(DbElemDesc{}, 0.0);
  }
  for (int j = 0; j < kJobs; ++j) {
    AnlJob* job = model->NewJob();
    std::string name = "m";  // appended, not added: GCC 12 warns falsely on "m" + std::string
    name += std::to_string(number) + "j" + std::to_string(j);
    job->Create(CaeString((scratchFolder() / "jobs" / name).string()));
    job->SetName(CaeString(name));
    job->AddResltCaseNames(CaeString("Loads"), CaeString("Supports"));
  }
  for (int r = 0; r < kResultSets; ++r) {
    FerResultSet* set = model->NewResultSet(CaeString("Results " + std::to_string(r)));
    set->SetAnalType(0);
    set->AddSubSet(new FerResultSubSet(1.0));
    auto* result = new FerFileResult(FerQtyDisplacement);
    result->SetDataFileFromDB(CaeString("run" + std::to_string(r) + ".disp"));
    result->SetEntityCount(120);
    set->AddResult(result);
  }
}

// A new drawing, made current, with the store's objects of `scale` times the counts above.
AcApDocument* buildStoreDrawing(int scale) {
  AcApDocument* doc = acDocManagerPtr()->newDocument();
  run("BENCHNOP");  // the new drawing's post-load pass, before it holds anything
  AcDbDatabase* db = doc->database();
  CaepAnlControl* control = dbControlOf(db);
  const AttType loadType = firstOfKind(AttKindLoad), restraintType = firstOfKind(AttKindRestraint);
  // Objects are made in batches, one command each: every command's first write to model space
  // keeps a copy of it for undo, which made building the large drawing take minutes.
  const int models = kOnce.models * scale;
  for (int first = 0; first < models; first += kModelsPerCommand)
    asCommand(db, [&] {
      for (int m = first; m < std::min(models, first + kModelsPerCommand); ++m) {
        auto* model = dynamic_cast<CaepAnlModelObj*>(
            control->NewAnlModel(CaeString("Model " + std::to_string(m)), static_cast<AnlType>(m % 4)));
        fillModel(model, m);
      }
    });
  std::vector<AcDbObjectId> loads, restraints;
  const int sets = kOnce.sets * scale;
  for (int first = 0; first < sets; first += kSetsPerCommand)
    asCommand(db, [&] {
      for (int s = first; s < std::min(sets, first + kSetsPerCommand); ++s) {
        const bool load = s % 2 == 0;
        const CaeString name((load ? "Loads " : "Supports ") + std::to_string(s));
        AttLbcCase* set = load ? control->NewLoadCase(name) : control->NewRestraintCase(name);
        for (int k = 0; k < kMembers; ++k) {
          auto* member = new BenchConditionEnt(load ? loadType : restraintType);
          set->AddLbc(member);
          member->close();
        }
        (load ? loads : restraints).push_back(dynamic_cast<AcDbObject*>(set)->objectId());
      }
    });
  for (int c = 0; c < kOnce.cases * scale; ++c)
    asCommand(db, [&] {
      auto* resultCase = new CaepAnlResultCase(CaeString("Case " + std::to_string(c)));
      AcDbObjectId id;
      db->addAcDbObject(id, resultCase);
      resultCase->close();
      resultCase = openForWrite<CaepAnlResultCase>(db, id);
      for (int e = 0; e < kEntries; ++e) {
        const std::vector<AcDbObjectId>& pool = e % 2 == 0 ? loads : restraints;
        auto* set = openForWrite<CaepLbcSetObj>(db, pool[(static_cast<std::size_t>(c) * 2 + e / 2) % pool.size()]);
        if (e % 2 == 0)
          resultCase->AddLoadCase(set, 1.0 + e);
        else
          resultCase->AddBoundaryCase(set, 1.0);
      }
    });
  return doc;
}

// A new drawing, made current, holding `objects` objects in all: plain host entities in model
// space beside what every new drawing holds.
AcApDocument* buildPlainDrawing(int objects) {
  AcApDocument* doc = acDocManagerPtr()->newDocument();
  AcDbDatabase* db = doc->database();
  run("BENCHNOP");
  AcDbBlockTableRecord* space = nullptr;
  acdbOpenObject(space, db->modelSpaceId(), AcDb::kForWrite);
  for (int count = db->numObjects(); count < objects; ++count) {
    auto* plain = new AcDbEntity();
    space->appendAcDbEntity(plain);
    plain->close();
  }
  space->close();
  return doc;
}

// Objects of the store's own classes in a drawing.
int storeObjects(AcDbDatabase* db) {
  int count = 0;
  for (const AcDbObjectId& id : db->objectIds()) {
    AcDbObject* object = nullptr;
    if (acdbOpenObject(object, id, AcDb::kForRead) != Acad::eOk) continue;
    const std::string name = object->isA()->name();
    count += name.rfind("Caep", 0) == 0 ? 1 : 0;
    object->close();
  }
  return count;
}

// What one scale leaves for the others: the saved drawing, its object counts and the medians.
struct Scale {
  AcApDocument* doc = nullptr;
  int objects = 0;
  int storeObjects = 0;
  double saveAs = 0, open = 0;
};
std::map<int, Scale> scales;

Scale& storeDrawing(int scale) {
  Scale& entry = scales[scale];
  if (!entry.doc) {
    entry.doc = buildStoreDrawing(scale);
    entry.objects = entry.doc->database()->numObjects();
    entry.storeObjects = storeObjects(entry.doc->database());
    run("SAVEAS", {scaled("store", scale)});  // the first save also names the drawing
  }
  acDocManagerPtr()->activateDocument(entry.doc);
  return entry;
}

double seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

// ---- the benchmarks -------------------------------------------------------------------------------

void BM_SaveAs(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  Scale& drawing = storeDrawing(scale);
  const std::string path = scaled("store", scale);
  const std::string bytes(fs::file_size(path), 'x');
  std::vector<double> saves, writes;
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    const bool saved = run("SAVEAS", {path}) == RTNORM;
    saves.push_back(seconds(start));
    state.SetIterationTime(saves.back());
    start = Clock::now();
    const bool written = plainWrite(bytes);
    writes.push_back(seconds(start));
    if (!saved || !written) state.SkipWithError("a save failed");
  }
  drawing.saveAs = median(saves);
  state.counters["objects"] = drawing.objects;
  state.counters["store_objects"] = drawing.storeObjects;
  state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
  state.counters["saveas_ms"] = drawing.saveAs * 1e3;
  state.counters["plain_write_ms"] = median(writes) * 1e3;
  state.counters["ratio_to_plain_write"] = drawing.saveAs / median(writes);
}

// Wall and processor time of one OPEN: the reading of the records (the OPEN command) and the
// post-load pass (the first command after it). Processor time is shown beside wall time because
// on a loaded machine the wall clock also counts the time other processes held the processor.
struct OpenTimes {
  double records = 0, postLoad = 0, processor = 0;
  double total() const { return records + postLoad; }
};

double processorSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Opens `path` with OPEN and runs the first command, whose end runs the post-load pass; the
// drawing is checked (every object read) and closed again outside the time taken.
OpenTimes openAndClose(const std::string& path, int objects, bool& ok) {
  const int before = acDocManagerPtr()->documentCount();
  OpenTimes times;
  const double processorStart = processorSeconds();
  Clock::time_point start = Clock::now();
  ok = run("OPEN", {path}) == RTNORM;
  times.records = seconds(start);
  start = Clock::now();
  ok = run("BENCHNOP") == RTNORM && ok;
  times.postLoad = seconds(start);
  times.processor = processorSeconds() - processorStart;
  AcApDocument* opened = acDocManagerPtr()->curDocument();
  ok = ok && acDocManagerPtr()->documentCount() == before + 1 && opened->database()->numObjects() == objects;
  if (opened && acDocManagerPtr()->documentCount() > before) acDocManagerPtr()->closeDocument(opened);
  return times;
}

double median(const std::vector<OpenTimes>& runs, double (*part)(const OpenTimes&)) {
  std::vector<double> values;
  for (const OpenTimes& times : runs) values.push_back(part(times));
  return median(values);
}

void BM_Open(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  Scale& drawing = storeDrawing(scale);
  // Copies that are not open, so that OPEN reads them rather than activating the open drawing.
  const std::string path = scaled("open-store", scale), plainPath = scaled("open-plain", scale);
  fs::copy_file(scaled("store", scale), path, fs::copy_options::overwrite_existing);
  if (!fs::exists(plainPath)) {
    AcApDocument* plain = buildPlainDrawing(drawing.objects);
    run("SAVEAS", {plainPath});
    acDocManagerPtr()->closeDocument(plain);
  }
  acDocManagerPtr()->activateDocument(drawing.doc);
  std::vector<OpenTimes> opens, hostOpens;
  std::vector<double> reads, freshReads;
  std::string bytes;
  int boxesBefore = driver.boxes;
  for (auto _ : state) {
    bool opened = false, hostOpened = false;
    opens.push_back(openAndClose(path, drawing.objects, opened));
    state.SetIterationTime(opens.back().total());
    hostOpens.push_back(openAndClose(plainPath, drawing.objects, hostOpened));
    Clock::time_point start = Clock::now();
    const bool read = plainRead(path, bytes);
    reads.push_back(seconds(start));
    benchmark::DoNotOptimize(bytes.data());
    // The same read into memory not touched before, as OPEN reads a file.
    start = Clock::now();
    std::string fresh;
    const bool freshRead = plainRead(path, fresh);
    freshReads.push_back(seconds(start));
    benchmark::DoNotOptimize(fresh.data());
    if (!opened || !hostOpened || !read || !freshRead) state.SkipWithError("an open failed");
  }
  auto total = [](const OpenTimes& times) { return times.total(); };
  auto processor = [](const OpenTimes& times) { return times.processor; };
  drawing.open = median(opens, total);
  const double hostOpen = median(hostOpens, total);
  state.counters["objects"] = drawing.objects;
  state.counters["store_objects"] = drawing.storeObjects;
  state.counters["MB"] = static_cast<double>(fs::file_size(path)) / 1e6;
  state.counters["host_MB"] = static_cast<double>(fs::file_size(plainPath)) / 1e6;
  state.counters["open_ms"] = drawing.open * 1e3;
  state.counters["records_ms"] = median(opens, [](const OpenTimes& times) { return times.records; }) * 1e3;
  state.counters["post_load_ms"] = median(opens, [](const OpenTimes& times) { return times.postLoad; }) * 1e3;
  state.counters["host_open_ms"] = hostOpen * 1e3;
  state.counters["plain_read_ms"] = median(reads) * 1e3;
  state.counters["fresh_read_ms"] = median(freshReads) * 1e3;
  state.counters["ratio_to_host_open"] = drawing.open / hostOpen;
  state.counters["ratio_to_plain_read"] = drawing.open / median(reads);
  state.counters["ratio_to_fresh_read"] = drawing.open / median(freshReads);
  state.counters["cpu_ratio_to_host_open"] = median(opens, processor) / median(hostOpens, processor);
  state.counters["message_boxes"] = driver.boxes - boxesBefore;
}

// Ten times the objects against once: the medians measured above.
void BM_TenTimesTheObjects(benchmark::State& state) {
  for (auto _ : state) {}
  const Scale &once = scales[1], &tenTimes = scales[10];
  if (once.saveAs <= 0 || tenTimes.saveAs <= 0 || once.open <= 0 || tenTimes.open <= 0) {
    state.SkipWithError("run the SaveAs and Open benchmarks of both scales first");
    return;
  }
  state.counters["object_ratio"] = static_cast<double>(tenTimes.objects) / once.objects;
  state.counters["store_object_ratio"] = static_cast<double>(tenTimes.storeObjects) / once.storeObjects;
  state.counters["saveas_ratio"] = tenTimes.saveAs / once.saveAs;
  state.counters["open_ratio"] = tenTimes.open / once.open;
}

// Iterations of a measure; BENCH_ITERATIONS asks for more (for a profile of one measure).
int iterations(int fallback) {
  const char* asked = std::getenv("BENCH_ITERATIONS");
  return asked && std::atoi(asked) > 0 ? std::atoi(asked) : fallback;
}

BENCHMARK(BM_SaveAs)->Arg(1)->Arg(10)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_Open)->Arg(1)->Arg(10)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(iterations(5));
BENCHMARK(BM_TenTimesTheObjects)->Iterations(1);

// The host with the add-in loaded, a private configuration and a copy of the shipped material
// library as the drawings' library.
bool startHost() {
  ::setenv("KESTRUM_CONFIG", scratch("kestrum.ini").c_str(), 1);
  ::setenv("KESTRUM_USER_DIR", scratch("user").c_str(), 1);
  CaeEngine::ResetState();
  CaeString root;
  CaeConfig::GetValue(1, "Root Directory", root);
  std::error_code error;
  fs::copy_file(fs::path(root.Str()) / "zq_fea.mat", scratch("zq_fea.mat"), error);
  if (error) return false;
  CaeConfig::SetValue(CaeString("MatLibLoc"), CaeString(scratch("zq_fea.mat").string()), 0);
  mfc::installUserDriver(&driver);
  cadhost::startHost(true);
  if (!mcadLoadApiModule() || !acrxModuleAttach() ||
      !acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint))
    return false;
  BenchMeshEnt::desc();
  BenchConditionEnt::desc();
  return acedRegCmds->addCommand("BENCH", "BENCHNOP", "BENCHNOP", ACRX_CMD_MODAL, doNothing) == Acad::eOk &&
         firstOfKind(AttKindLoad) != 0 && firstOfKind(AttKindRestraint) != 0;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const bool started = startHost();
  if (started)
    benchmark::RunSpecifiedBenchmarks();
  else
    std::fprintf(stderr, "could not start the host: %s\n", cadhost::printedText().c_str());
  scales.clear();
  cadhost::shutdownHost();
  acrxModuleDetach();
  mcadResetServices();
  mfc::installUserDriver(nullptr);
  benchmark::Shutdown();
  std::error_code ignored;
  fs::remove_all(scratchFolder(), ignored);
  return started ? 0 : 1;
}
