// The drawing database under load: a drawing of 100,000 small objects, opened for write and
// committed in one transaction, undone, saved and opened; plain file I/O of the same number of
// bytes (with the same fsync) as the yardstick for saving and opening.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "arx/dbdatabase.h"
#include "arx/dbfiler.h"

namespace {

constexpr int kObjects = 100000;

class BenchThing : public AcDbEntity {
 public:
  ACRX_DECLARE_MEMBERS(BenchThing);
  void bump() {
    assertWriteEnabled();
    ++count_;
    value_ += 0.5;
  }
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override {
    Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer);
    if (status != Acad::eOk) return status;
    filer->readInt32(&count_);
    filer->readDouble(&value_);
    return filer->filerStatus();
  }
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override {
    Acad::ErrorStatus status = AcDbEntity::dwgOutFields(filer);
    if (status != Acad::eOk) return status;
    filer->writeInt32(count_);
    filer->writeDouble(value_);
    return filer->filerStatus();
  }

 private:
  Adesk::Int32 count_ = 0;
  double value_ = 0.0;
};

ACRX_CONS_DEFINE_MEMBERS(BenchThing, AcDbEntity, "BENCHTHING")

struct Drawing {
  Drawing() {
    BenchThing::desc();
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
    for (int i = 0; i < kObjects; ++i) {
      auto* thing = new BenchThing();
      AcDbObjectId id;
      space->appendAcDbEntity(id, thing);
      thing->close();
      ids.push_back(id);
    }
    space->close();
  }
  // One command: every object opened for write in one transaction, changed, committed.
  void editAll() {
    db.beginUndoGroup("EDIT");
    AcDbTransactionManager* tm = db.transactionManager();
    tm->startTransaction();
    for (const AcDbObjectId& id : ids) {
      BenchThing* thing = nullptr;
      tm->getObject(thing, id, AcDb::kForWrite);
      thing->bump();
    }
    tm->endTransaction();
    db.endUndoGroup();
  }
  AcDbDatabase db;
  std::vector<AcDbObjectId> ids;
};

Drawing& drawing() {
  static Drawing* shared = new Drawing();  // built once, shared by the benchmarks
  return *shared;
}

// A scratch folder for the run's files, removed at exit.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrum-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::filesystem::path scratch(const char* name) {
  static ScratchFolder folder;
  return folder.path() / name;
}

void BM_TransactionOpenForWriteAndCommit(benchmark::State& state) {
  Drawing& d = drawing();
  for (auto _ : state) {
    d.editAll();
    state.PauseTiming();
    d.db.undo(1);  // keeps the history from growing between rounds
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kObjects);
}

void BM_UndoOfThatCommand(benchmark::State& state) {
  Drawing& d = drawing();
  for (auto _ : state) {
    state.PauseTiming();
    d.editAll();
    state.ResumeTiming();
    if (d.db.undo(1) != 1) state.SkipWithError("nothing was undone");
  }
  state.SetItemsProcessed(state.iterations() * kObjects);
}

void BM_SaveAs(benchmark::State& state) {
  Drawing& d = drawing();
  const std::string path = scratch("drawing.dwg").string();
  for (auto _ : state)
    if (d.db.saveAs(path) != Acad::eOk) state.SkipWithError("save failed");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(path)));
}

void BM_Open(benchmark::State& state) {
  const std::string path = scratch("drawing.dwg").string();
  drawing().db.saveAs(path);
  for (auto _ : state) {
    auto db = std::make_unique<AcDbDatabase>(false);
    Acad::ErrorStatus status = db->readDwgFile(path);
    state.PauseTiming();  // checking and closing the drawing are not part of opening it
    if (status != Acad::eOk || db->numObjects() < kObjects) state.SkipWithError("open failed");
    db.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(std::filesystem::file_size(path)));
}

// The yardstick for SaveAs: the same bytes to a temporary file, fsync, rename, fsync the folder.
void BM_PlainWriteSameBytes(benchmark::State& state) {
  const std::string source = scratch("drawing.dwg").string();
  drawing().db.saveAs(source);
  std::string bytes(std::filesystem::file_size(source), 'x');
  const std::string temporary = scratch("plain.tmp").string(), target = scratch("plain.bin").string();
  for (auto _ : state) {
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool ok =
        fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    int dir = ::open(scratch("").c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
      ::fsync(dir);
      ::close(dir);
    }
    if (!ok) state.SkipWithError("plain write failed");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

// The yardstick for Open: reading the same file whole into memory.
void BM_PlainReadSameBytes(benchmark::State& state) {
  const std::string path = scratch("drawing.dwg").string();
  drawing().db.saveAs(path);
  std::string bytes;
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    bytes.resize(std::filesystem::file_size(path));
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) state.SkipWithError("plain read failed");
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

BENCHMARK(BM_TransactionOpenForWriteAndCommit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoOfThatCommand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWriteSameBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainReadSameBytes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
