#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string_view>

#include "arx/dbdatabase.h"
#include "arx/dbproxy.h"
#include "test_env.h"
#include "test_thing.h"

namespace {

using kestrum::test::readFile;
using kestrum::test::TempDir;

void writeFile(const std::filesystem::path& path, const std::string& data) {
  std::ofstream(path, std::ios::binary) << data;
}

class DrawingFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    TestThing::registerClass();
    a = addThing(db, "a", 1);
    b = addThing(db, "b", 2);
    TestThing* thing = nullptr;
    acdbOpenObject(thing, a, AcDb::kForWrite);
    thing->setPartner(b);
    thing->setValue(0.25);
    thing->close();
    acdbOpenObject(thing, b, AcDb::kForWrite);
    thing->erase();
    thing->close();
    AcDbLayerTable* layers = nullptr;
    db.getLayerTable(layers, AcDb::kForWrite);
    auto* layer = new AcDbLayerTableRecord();
    layer->setName("CAE_MESH");
    layer->setIsOff(true);
    layer->setLinetypeObjectId(db.continuousLinetype());
    layers->add(layer);
    layer->close();
    layers->close();
    AcDbDictionary* named = nullptr;
    db.getNamedObjectsDictionary(named, AcDb::kForWrite);
    auto* models = new AcDbDictionary();
    AcDbObjectId id;
    named->setAt("CAEP_DICT", models, id);
    models->close();
    named->close();
  }
  // Saves db, then reads the file into a fresh database.
  std::unique_ptr<AcDbDatabase> saveAndRead(std::vector<std::string>* messages = nullptr) {
    EXPECT_EQ(db.saveAs(path.string()), Acad::eOk);
    auto loaded = std::make_unique<AcDbDatabase>(false);
    EXPECT_EQ(loaded->readDwgFile(path.string(), messages), Acad::eOk);
    return loaded;
  }
  AcDbDatabase db;
  AcDbObjectId a, b;
  TempDir dir;
  std::filesystem::path path = dir / "part.dwg";
};

TEST_F(DrawingFiles, SaveAndOpenRoundTrip) {
  std::vector<std::string> messages;
  auto loaded = saveAndRead(&messages);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(db.filename(), path.string());
  EXPECT_EQ(loaded->numObjects(true), db.numObjects(true));

  AcDbObjectId la, lb;
  ASSERT_EQ(loaded->getAcDbObjectId(la, false, a.handle()), Acad::eOk);
  ASSERT_EQ(loaded->getAcDbObjectId(lb, false, b.handle()), Acad::eOk);
  TestThing* thing = nullptr;
  ASSERT_EQ(acdbOpenObject(thing, la, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(thing->label(), "a");
  EXPECT_EQ(thing->value(), 0.25);
  EXPECT_EQ(thing->partner(), lb);  // ids re-made from handles
  EXPECT_EQ(thing->ownerId(), loaded->modelSpaceId());
  EXPECT_EQ(thing->filedIn, std::vector<AcDb::FilerType>{AcDb::kFileFiler});
  thing->close();
  EXPECT_TRUE(lb.isErased());  // erased objects keep their ids and state

  AcDbLayerTable* layers = nullptr;
  ASSERT_EQ(loaded->getLayerTable(layers, AcDb::kForRead), Acad::eOk);
  AcDbLayerTableRecord* layer = nullptr;
  ASSERT_EQ(layers->getAt("cae_mesh", layer, AcDb::kForRead), Acad::eOk);
  EXPECT_TRUE(layer->isOff());
  EXPECT_EQ(layer->linetypeObjectId(), loaded->continuousLinetype());
  layer->close();
  layers->close();
  AcDbDictionary* named = nullptr;
  ASSERT_EQ(loaded->getNamedObjectsDictionary(named, AcDb::kForRead), Acad::eOk);
  EXPECT_TRUE(named->has("caep_dict"));
  named->close();

  // New objects in the loaded drawing get handles of their own.
  AcDbObjectId added = addThing(*loaded, "later");
  EXPECT_GT(added.handle(), a.handle());
  EXPECT_GT(added.handle(), b.handle());
}

// A drawing of several megabytes is written in pieces: it reads back whole, and saving what was
// read gives the same bytes.
TEST_F(DrawingFiles, ALargeDrawingSavesInPiecesAndReadsBackWhole) {
  const std::string padding(200, 'p');
  AcDbObjectId last;
  for (int i = 0; i < 12000; ++i) last = addThing(db, padding + std::to_string(i), i);
  auto loaded = saveAndRead();
  ASSERT_GT(std::filesystem::file_size(path), std::uintmax_t{2} << 20);
  EXPECT_EQ(loaded->numObjects(true), db.numObjects(true));
  AcDbObjectId lastRead;
  ASSERT_EQ(loaded->getAcDbObjectId(lastRead, false, last.handle()), Acad::eOk);
  TestThing* thing = nullptr;
  ASSERT_EQ(acdbOpenObject(thing, lastRead, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(thing->label(), padding + "11999");
  thing->close();
  const std::string saved = readFile(path);
  const std::filesystem::path again = dir / "again.dwg";
  ASSERT_EQ(loaded->saveAs(again.string()), Acad::eOk);
  EXPECT_EQ(readFile(again), saved);
}

TEST_F(DrawingFiles, DamagedFilesOpenNothingAndStayUntouched) {
  ASSERT_EQ(db.saveAs(path.string()), Acad::eOk);
  const std::string good = readFile(path);
  ASSERT_GT(good.size(), 100u);
  std::string flipped = good;
  flipped[good.size() / 2] ^= 0x5A;
  std::string newer = good;
  newer[8] = 9;

  struct Case {
    const char* name;
    std::string contents;
    Acad::ErrorStatus status;
    const char* says;
  };
  const Case cases[] = {
      {"truncated", good.substr(0, good.size() - 7), Acad::eBadDwgHeader, "is truncated"},
      {"header only", good.substr(0, 12), Acad::eBadDwgHeader, "is truncated"},
      {"bad checksum", flipped, Acad::eDwgCRCError, "checksum"},
      {"foreign", "0\nSECTION\n2\nHEADER\n0\nENDSEC\n0\nEOF\n", Acad::eBadDwgHeader, "is not a drawing file"},
      {"empty", "", Acad::eBadDwgHeader, "is not a drawing file"},
      {"newer format", newer, Acad::eBadDwgHeader, "format version 9"},
  };
  for (const Case& c : cases) {
    std::filesystem::path damaged = dir / "damaged.dwg";
    writeFile(damaged, c.contents);
    AcDbDatabase target(false);
    std::vector<std::string> messages;
    EXPECT_EQ(target.readDwgFile(damaged.string(), &messages), c.status) << c.name;
    ASSERT_EQ(messages.size(), 1u) << c.name;
    EXPECT_NE(messages[0].find(c.says), std::string::npos) << c.name << ": " << messages[0];
    EXPECT_EQ(target.numObjects(true), 0) << c.name;
    EXPECT_EQ(readFile(damaged), c.contents) << c.name;
  }

  AcDbDatabase target(false);
  std::vector<std::string> messages;
  EXPECT_EQ(target.readDwgFile((dir / "missing.dwg").string(), &messages), Acad::eFileNotFound);
  EXPECT_EQ(messages.size(), 1u);
  AcDbDatabase full;
  EXPECT_EQ(full.readDwgFile(path.string(), &messages), Acad::eInvalidContext);
}

TEST_F(DrawingFiles, UnreadableRecordIsReportedAndSkipped) {
  AcDbObjectId bad = addThing(db, "bad", 5);
  TestThing* thing = nullptr;
  acdbOpenObject(thing, bad, AcDb::kForWrite);
  thing->writeUnreadableRecord = true;
  thing->close();

  std::vector<std::string> messages;
  auto loaded = saveAndRead(&messages);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("TestThing"), std::string::npos) << messages[0];
  EXPECT_NE(messages[0].find("(handle " + bad.handle().text() + ")"), std::string::npos) << messages[0];

  AcDbObjectId skipped, kept;
  ASSERT_EQ(loaded->getAcDbObjectId(skipped, false, bad.handle()), Acad::eOk);
  AcDbObject* object = nullptr;
  EXPECT_EQ(acdbOpenObject(object, skipped, AcDb::kForRead), Acad::ePermanentlyErased);
  ASSERT_EQ(loaded->getAcDbObjectId(kept, false, a.handle()), Acad::eOk);
  EXPECT_EQ(readThing(kept, [](TestThing& t) { return t.label(); }), "a");
  EXPECT_EQ(loaded->numObjects(true), db.numObjects(true) - 1);
}

// CRC-32C, as the drawing header holds it, so that damaged records get past the checksum.
std::uint32_t crc32c(std::string_view data) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : data) {
    crc ^= byte;
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0x82F63B78u ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

// Takes TestThing out of the class registry for the lifetime of this object, as in a process where
// the application that defines it is not loaded.
class ClassUnregistered {
 public:
  ClassUnregistered() : cls_(TestThing::desc()) {
    EXPECT_EQ(acrxFindClass("TestThing"), cls_);
    acrxClassDictionary()->remove("TestThing");
  }
  ~ClassUnregistered() { acrxClassDictionary()->atPut("TestThing", cls_); }
  ClassUnregistered(const ClassUnregistered&) = delete;
  ClassUnregistered& operator=(const ClassUnregistered&) = delete;

 private:
  AcRxClass* cls_;
};

// The fixture's drawing plus a thing that a dictionary entry names and that points at `a`.
class ProxyFiles : public DrawingFiles {
 protected:
  void SetUp() override {
    DrawingFiles::SetUp();
    AcDbDictionary* named = nullptr;
    db.getNamedObjectsDictionary(named, AcDb::kForWrite);
    auto* thing = new TestThing();
    thing->setLabel("kept");
    thing->setPartner(a);
    named->setAt("KEPT", thing, kept);
    thing->close();
    named->close();
  }
  AcDbObjectId kept;
};

TEST_F(ProxyFiles, UnknownClassIsKeptAndSavedBackByteForByte) {
  ASSERT_EQ(db.saveAs(path.string()), Acad::eOk);
  const std::filesystem::path resaved = dir / "resaved.dwg";
  {
    ClassUnregistered absent;
    AcDbDatabase loaded(false);
    std::vector<std::string> messages;
    ASSERT_EQ(loaded.readDwgFile(path.string(), &messages), Acad::eOk);
    // Once for the class, the erased b included.
    EXPECT_EQ(messages, std::vector<std::string>{"\"" + path.string() +
                                                 "\": 3 object(s) of class TestThing kept as proxies: the application "
                                                 "that defines it is not loaded."});
    EXPECT_EQ(loaded.numObjects(true), db.numObjects(true));

    AcDbObjectId id;
    ASSERT_EQ(loaded.getAcDbObjectId(id, false, kept.handle()), Acad::eOk);
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForRead), Acad::eOk);
    auto* proxy = AcDbProxyObject::cast(object);
    ASSERT_NE(proxy, nullptr);
    EXPECT_EQ(proxy->originalClassName(), "TestThing");
    EXPECT_EQ(proxy->ownerId(), loaded.namedObjectsDictionaryId());
    object->close();

    // Nothing may change it: not a direct open, not a transaction, so no erase and no undo either.
    EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eIsWriteProtected);
    EXPECT_EQ(object, nullptr);
    AcDbTransactionManager* transactions = loaded.transactionManager();
    transactions->startTransaction();
    EXPECT_EQ(transactions->getObject(object, id, AcDb::kForWrite), Acad::eIsWriteProtected);
    transactions->endTransaction();

    AcDbDictionary* named = nullptr;
    ASSERT_EQ(loaded.getNamedObjectsDictionary(named, AcDb::kForRead), Acad::eOk);
    AcDbObjectId entry;
    EXPECT_EQ(named->getAt("KEPT", entry), Acad::eOk);
    EXPECT_EQ(entry, id);
    named->close();
    AcDbObjectId erased;
    ASSERT_EQ(loaded.getAcDbObjectId(erased, false, b.handle()), Acad::eOk);
    EXPECT_TRUE(erased.isErased());

    ASSERT_EQ(loaded.saveAs(resaved.string()), Acad::eOk);
  }
  EXPECT_EQ(readFile(resaved), readFile(path));

  // With the class back, the objects come back with their references.
  AcDbDatabase restored(false);
  std::vector<std::string> messages;
  ASSERT_EQ(restored.readDwgFile(resaved.string(), &messages), Acad::eOk);
  EXPECT_TRUE(messages.empty()) << messages.front();
  AcDbObjectId ra, rb, rk;
  ASSERT_EQ(restored.getAcDbObjectId(ra, false, a.handle()), Acad::eOk);
  ASSERT_EQ(restored.getAcDbObjectId(rb, false, b.handle()), Acad::eOk);
  ASSERT_EQ(restored.getAcDbObjectId(rk, false, kept.handle()), Acad::eOk);
  EXPECT_EQ(readThing(rk, [](TestThing& t) { return t.label(); }), "kept");
  EXPECT_EQ(readThing(rk, [](TestThing& t) { return t.partner(); }), ra);
  EXPECT_EQ(readThing(rk, [](TestThing& t) { return t.ownerId(); }), restored.namedObjectsDictionaryId());
  EXPECT_EQ(readThing(ra, [](TestThing& t) { return t.partner(); }), rb);
  EXPECT_EQ(readThing(ra, [](TestThing& t) { return t.value(); }), 0.25);
  EXPECT_TRUE(rb.isErased());
}

TEST_F(ProxyFiles, MessagesComeOncePerClassInTheOrderTheClassesAppear) {
  // A second unknown class: a record renamed in the file, the checksum made to match.
  ASSERT_EQ(db.saveAs(path.string()), Acad::eOk);
  std::string file = readFile(path);
  const std::size_t at = file.find("TestThing", file.find("TestThing") + 1);  // b's record, after a's
  ASSERT_NE(at, std::string::npos);
  file.replace(at, 9, "OtherKind");
  const std::uint32_t crc = crc32c(std::string_view(file).substr(24));
  std::memcpy(file.data() + 12, &crc, 4);

  ClassUnregistered absent;
  AcDbDatabase loaded(false);
  std::vector<std::string> messages;
  ASSERT_EQ(loaded.readDwgBytes(file, "two.dwg", &messages), Acad::eOk);
  EXPECT_EQ(messages, (std::vector<std::string>{
                          "\"two.dwg\": 2 object(s) of class TestThing kept as proxies: the application that "
                          "defines it is not loaded.",
                          "\"two.dwg\": 1 object(s) of class OtherKind kept as proxies: the application that "
                          "defines it is not loaded.",
                      }));
}

// A record of an unknown class that is not made of whole fields is damaged: skipped and named.
TEST_F(ProxyFiles, DamagedRecordOfAnUnknownClassIsSkipped) {
  ASSERT_EQ(db.saveAs(path.string()), Acad::eOk);
  const std::string good = readFile(path);
  // The kept thing's record: class name, handle, flags, then its fields, the owner's id first.
  std::string head = "TestThing";
  const Adesk::UInt64 handle = kept.handle().value();
  head.append(reinterpret_cast<const char*>(&handle), sizeof handle);
  const std::size_t record = good.find(head);
  ASSERT_NE(record, std::string::npos);
  const std::size_t fields = record + head.size() + 1;
  const std::size_t label = good.find("kept", fields);  // its label: tag, u32 length, text
  ASSERT_NE(label, std::string::npos);

  struct Case {
    const char* name;
    std::size_t at;
    std::string bytes;
  };
  const Case cases[] = {
      {"unknown field tag", label - 5, std::string(1, '\x7f')},
      {"text longer than the record", label - 4, std::string("\xff\x00\x00\x00", 4)},
      {"no owner first", fields, std::string(1, '\x07')},  // an integer where the owner's id goes
  };
  ClassUnregistered absent;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string damaged = good;
    damaged.replace(c.at, c.bytes.size(), c.bytes);
    const std::uint32_t crc = crc32c(std::string_view(damaged).substr(24));
    std::memcpy(damaged.data() + 12, &crc, 4);
    AcDbDatabase loaded(false);
    std::vector<std::string> messages;
    ASSERT_EQ(loaded.readDwgBytes(damaged, "damaged.dwg", &messages), Acad::eOk);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("Skipped an object of class TestThing (handle " + kept.handle().text() +
                               "): its record could not be read."),
              std::string::npos)
        << messages[0];
    EXPECT_NE(messages[1].find("2 object(s) of class TestThing kept as proxies"), std::string::npos) << messages[1];
    AcDbObjectId id;
    ASSERT_EQ(loaded.getAcDbObjectId(id, false, kept.handle()), Acad::eOk);
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForRead), Acad::ePermanentlyErased);
  }
}

// DXF has no form for a proxy: it is left out with every reference to it, so that every handle in
// the file names an object of the file.
TEST_F(ProxyFiles, DxfOutLeavesProxiesOutAndEveryHandleResolves) {
  ASSERT_EQ(db.saveAs(path.string()), Acad::eOk);
  ClassUnregistered absent;
  AcDbDatabase loaded(false);
  ASSERT_EQ(loaded.readDwgFile(path.string()), Acad::eOk);
  const std::filesystem::path dxf = dir / "part.dxf";
  std::vector<std::string> messages;
  ASSERT_EQ(loaded.dxfOut(dxf.string(), &messages), Acad::eOk);
  std::ifstream in(dxf);
  std::set<std::string> defined, referenced;
  std::string code, value;
  while (std::getline(in, code) && std::getline(in, value)) {
    const int group = std::stoi(code);
    if (group == 5 || group == 105) defined.insert(value);
    if (group == 330 || group == 340 || group == 350 || group == 360) referenced.insert(value);
  }
  ASSERT_FALSE(defined.empty());
  EXPECT_EQ(defined.count(kept.handle().text()), 0u);
  EXPECT_EQ(defined.count(a.handle().text()), 0u);
  for (const std::string& handle : referenced)
    EXPECT_TRUE(handle == "0" || defined.count(handle)) << "unresolved handle " << handle;
  EXPECT_EQ(readFile(dxf).find("KEPT"), std::string::npos);  // the entry naming the proxy
}

TEST_F(DrawingFiles, SaveKeepsThePermissionsOfTheFileItReplaces) {
  namespace fs = std::filesystem;
  ASSERT_EQ(db.saveAs(path.string()), Acad::eOk);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(static_cast<unsigned>(fs::status(path).permissions()), 0666u & ~mask);  // not mkstemp's 0600
  const fs::perms chosen = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(path, chosen);
  ASSERT_EQ(db.saveAs(path.string()), Acad::eOk);
  EXPECT_EQ(fs::status(path).permissions(), chosen);
}

TEST_F(DrawingFiles, FailedSaveLeavesThePreviousFile) {
  ASSERT_EQ(db.saveAs(path.string()), Acad::eOk);
  const std::string before = readFile(path);
  TestThing* thing = nullptr;
  acdbOpenObject(thing, a, AcDb::kForWrite);
  thing->setCount(99);
  thing->failWriting = true;
  thing->close();
  std::vector<std::string> messages;
  EXPECT_EQ(db.saveAs(path.string(), &messages), Acad::eFilerError);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("was not saved"), std::string::npos);
  EXPECT_EQ(readFile(path), before);
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename(), "part.dwg") << "left behind: " << entry.path();

  acdbOpenObject(thing, a, AcDb::kForWrite);
  thing->failWriting = false;
  thing->close();
  messages.clear();
  EXPECT_EQ(db.saveAs((dir / "no" / "such" / "folder.dwg").string(), &messages), Acad::eFileAccessErr);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("Cannot write"), std::string::npos) << messages[0];
  EXPECT_EQ(db.filename(), path.string());  // a failed save does not rename the drawing
}

std::set<std::string> namesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// A save killed half-way (here by the file-size limit, whose signal ends the process in the
// middle of writing) leaves the previous drawing and nothing else.
TEST_F(DrawingFiles, ASaveKilledHalfWayLeavesNoTemporaryFile) {
  ASSERT_EQ(db.saveAs(path.string()), Acad::eOk);
  const std::string before = readFile(path);
  ASSERT_GT(before.size(), 200u);
  addThing(db, "c", 3);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit noCore{0, 0}, small{64, 64};
    ::setrlimit(RLIMIT_CORE, &noCore);
    ::setrlimit(RLIMIT_FSIZE, &small);
    std::signal(SIGXFSZ, SIG_DFL);
    db.saveAs(path.string());
    ::_exit(0);  // not reached when the limit ended the save
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "the save was not killed: " << status;
  EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"part.dwg"});
  EXPECT_EQ(readFile(path), before);
}

// Temporaries a killed save left (where the file system has no unnamed files) go at the next save
// of the same drawing; files that only look alike, and a newer one (a save under way), stay.
TEST_F(DrawingFiles, TheNextSaveRemovesStaleTemporariesOfItsDrawing) {
  namespace fs = std::filesystem;
  const auto now = fs::file_time_type::clock::now();
  struct Case {
    const char* name;
    fs::file_time_type written;
    bool removed;
  };
  const Case cases[] = {
      {".part.dwg.Ab3dE9", now - std::chrono::hours(1), true},
      {".part.dwg.zzzzzz", now - std::chrono::seconds(2), true},
      {".part.dwg.Zz9Zz9", now + std::chrono::hours(1), false},  // newer than the save
      {".part.dwg.Ab3dE", now - std::chrono::hours(1), false},
      {".part.dwg.Ab3dE9x", now - std::chrono::hours(1), false},
      {".part.dwg.Ab-dE9", now - std::chrono::hours(1), false},
      {".part.dwgX.Ab3dE9", now - std::chrono::hours(1), false},
      {".other.dwg.Ab3dE9", now - std::chrono::hours(1), false},
      {"part.dwg.Ab3dE9", now - std::chrono::hours(1), false},
  };
  for (const Case& c : cases) {
    writeFile(dir / c.name, "partial");
    fs::last_write_time(dir / c.name, c.written);
  }
  ASSERT_EQ(db.saveAs(path.string()), Acad::eOk);
  const std::set<std::string> names = namesIn(dir.path());
  for (const Case& c : cases) EXPECT_EQ(names.count(c.name), c.removed ? 0u : 1u) << c.name;
  EXPECT_EQ(names.count("part.dwg"), 1u);
}

// Every byte of a drawing's payload damaged in turn, with the checksum made to match: the reader
// from memory answers each with a status, names the drawing in every message, and never crashes.
TEST_F(DrawingFiles, EveryDamagedByteFromMemoryIsAnsweredAndNamed) {
  ASSERT_EQ(db.saveAs(path.string()), Acad::eOk);
  const std::string good = readFile(path);
  constexpr std::size_t kHeader = 24;
  ASSERT_GT(good.size(), kHeader);
  int refused = 0, partly = 0;
  for (std::size_t at = kHeader; at < good.size(); ++at) {
    for (unsigned char flip : {0x01, 0x80, 0xFF}) {
      std::string damaged = good;
      damaged[at] = static_cast<char>(static_cast<unsigned char>(damaged[at]) ^ flip);
      const std::uint32_t crc = crc32c(std::string_view(damaged).substr(kHeader));
      std::memcpy(damaged.data() + 12, &crc, 4);
      AcDbDatabase target(false);
      std::vector<std::string> messages;
      Acad::ErrorStatus status = target.readDwgBytes(damaged, "damaged.dwg", &messages);
      for (const std::string& message : messages)
        ASSERT_NE(message.find("damaged.dwg"), std::string::npos) << "byte " << at << ": " << message;
      if (status != Acad::eOk) {
        ++refused;
        ASSERT_FALSE(messages.empty()) << "byte " << at;
        EXPECT_EQ(target.numObjects(true), 0) << "byte " << at;
      } else if (!messages.empty()) {
        ++partly;
      }
    }
  }
  EXPECT_GT(refused, 0);  // the damage was seen, as a whole file or record by record
  EXPECT_GT(partly, 0);
}

}  // namespace
