// A drawing file whose store records are damaged but well framed (the checksum recomputed): OPEN
// names each object it skips, keeps the rest, and what is left works, saves and opens again.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "CadInterface/AcCadEntry.h"
#include "amg/CaeConfig.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "db/dbControl.h"
#include "db/dbFiling.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "frame_support.h"
#include "mcad/amiapp.h"
#include "mfc/driver.h"
#include "store_drawing_build.h"
#include "store_drawing_dump.h"
#include "store_sets_dump.h"
#include "store_standins.h"
#include "test_env.h"

namespace fs = std::filesystem;

namespace {

// Rewrites a drawing file record by record: `damage` may change the fields of each record (given
// its class name and its place among the records of that class); the framing and the checksum
// are recomputed, so the file reads as well formed and only the records themselves are damaged.
void damageDrawing(const fs::path& path, const std::function<void(const std::string&, int, std::string&)>& damage) {
  const std::string file = kestrum::test::readFile(path);
  ASSERT_GT(file.size(), 24u);
  auto get = [&file](std::size_t at, auto value) {
    std::memcpy(&value, file.data() + at, sizeof value);
    return value;
  };
  auto put = [](std::string& out, auto value) { out.append(reinterpret_cast<const char*>(&value), sizeof value); };
  // Header: magic, version, checksum, payload length. Payload: next handle, 8 roots, count, records.
  std::size_t at = 24;
  std::string payload = file.substr(at, 8 + 8 * 8);
  at += payload.size();
  const auto count = get(at, Adesk::UInt32{});
  put(payload, count);
  at += 4;
  std::map<std::string, int> seen;
  for (Adesk::UInt32 i = 0; i < count; ++i) {
    const auto length = get(at, Adesk::UInt32{});
    std::string body = file.substr(at + 4, length);
    at += 4 + length;
    Adesk::UInt16 nameLength = 0;
    std::memcpy(&nameLength, body.data(), 2);
    const std::string name = body.substr(2, nameLength);
    const std::size_t fieldsAt = 2 + nameLength + 8 + 1;  // name, handle, flags
    std::string fields = body.substr(fieldsAt);
    damage(name, seen[name]++, fields);
    body = body.substr(0, fieldsAt) + fields;
    put(payload, static_cast<Adesk::UInt32>(body.size()));
    payload += body;
  }
  ASSERT_EQ(at, file.size());
  Adesk::UInt32 crc = 0xFFFFFFFFu;  // CRC-32C
  for (unsigned char byte : payload) {
    crc ^= byte;
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0x82F63B78u ^ (crc >> 1) : crc >> 1;
  }
  crc ^= 0xFFFFFFFFu;
  std::string out = file.substr(0, 12);
  put(out, crc);
  put(out, static_cast<Adesk::UInt64>(payload.size()));
  out += payload;
  std::ofstream(path, std::ios::binary | std::ios::trunc) << out;
}

AcApDocument* current() { return acDocManagerPtr()->curDocument(); }

class StoreDamageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(kestrum::test::sourcePath("data/zq_fea.mat"), dir / "zq_fea.mat");
    ASSERT_TRUE(CaeConfig::SetValue("MatLibLoc", CaeString((dir / "zq_fea.mat").string()), 0));
    startFreshHostWithPartModeller();
    ASSERT_TRUE(acrxModuleAttach());
    ASSERT_TRUE(acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint)) << cadhost::printedText();
    registerStoreStandIns();
  }
  void TearDown() override {
    cadhost::shutdownHost();
    acrxModuleDetach();
    unregisterStoreStandIns();
    mcadResetServices();
    cadhost::clearInput();
    cadhost::clearPrintedText();
  }

  // Runs a line at the command prompt, as a script would.
  static void type(const std::string& line) {
    cadhost::queueText(line + "\n");
    ASSERT_TRUE(cadhost::runNextCommand());
  }

  RecordingDriver driver;
  mfc::ScopedUserDriver scopedDriver{&driver};
  kestrum::test::TempDir dir;
};

TEST_F(StoreDamageTest, OpenNamesWhatItSkipsKeepsTheRestAndTheRestSavesAndReopens) {
  AcApDocument* original = current();
  const StoreDrawing d = buildStoreDrawing(original, dir.path());
  const std::string path = (dir / "a.dwg").string();
  ASSERT_EQ(acDocManagerPtr()->saveDocument(original, path, true), Acad::eOk) << cadhost::printedText();
  std::string modalHandle = d.modal.handle().text(), lostHandle, unitsHandle;
  std::string keptSub;
  {
    DbTransaction transaction(original->database());
    auto* model = CaepAnlModelObj::cast(dbOpenMember(original->database(), d.stress, AcDb::kForRead));
    lostHandle = model->SubModelIds()[1].handle().text();
    keptSub = model->SubModelIds()[0].handle().text();
    unitsHandle = dbControlOf(original->database())->LengthUnitRecordId().handle().text();
  }
  const std::string setsBefore = dumpSetsAndCases(original->database(), true);
  // The drawing that stays open has units of its own: the damaged file must not touch them.
  const std::string originalDump = dumpStoredDrawing(original, true);

  // The drawing stays open under a.dwg: the damaged file is a copy.
  const std::string damagedPath = (dir / "damaged.dwg").string();
  fs::copy_file(path, damagedPath);
  int damaged = 0;
  damageDrawing(damagedPath, [&](const std::string& name, int place, std::string& fields) {
    if (name == "CaepAnlModelObj" && place == 1) {  // the second model loses its tail
      fields.resize(fields.size() - 5);
      ++damaged;
    }
    if (name == "CaepAnlSubModelObj" && place == 1) {
      // A coordinate-system kind no system has: the Int16 (tag, two bytes) before the 16 doubles.
      const std::size_t kind = fields.size() - 16 * 9 - 2;
      ASSERT_EQ(fields[kind], 4);
      fields[kind] = 3;
      ++damaged;
    }
    if (name == "CaepUnitsObj") {
      fields.resize(fields.size() / 2);
      ++damaged;
    }
  });
  ASSERT_EQ(damaged, 3);

  cadhost::clearPrintedText();
  type("OPEN " + damagedPath);
  AcApDocument* opened = current();
  ASSERT_NE(opened, original);
  const std::string printed = cadhost::printedText();
  for (const std::string& skipped :
       {"CaepAnlModelObj (handle " + modalHandle + ")", "CaepAnlSubModelObj (handle " + lostHandle + ")",
        "CaepUnitsObj (handle " + unitsHandle + ")"})
    EXPECT_NE(printed.find("Skipped an object of class " + skipped), std::string::npos) << skipped << "\n" << printed;
  EXPECT_NE(printed.find("coordinate-system kind 3"), std::string::npos) << printed;
  // Each failed read is a filing failure of its own (with its consistency-check box), no more.
  EXPECT_EQ(driver.boxes.size(), 3u);
  // The first command end runs the post-load pass over what was kept, without a report.
  cadhost::clearPrintedText();
  type("LIST");
  EXPECT_EQ(cadhost::printedText().find("General Error"), std::string::npos) << cadhost::printedText();
  EXPECT_EQ(driver.boxes.size(), 3u);

  // The rest is kept: the first model with its other members, the sets, cases and entries.
  AcDbDatabase* db = opened->database();
  const std::string kept = dumpStoredDrawing(opened, true);
  EXPECT_NE(kept.find("models 1\nmodel \"Bracket\""), std::string::npos) << kept;
  EXPECT_EQ(kept.find("Housing modes\""), std::string::npos) << kept;
  EXPECT_NE(kept.find("sub \"SubModel 1\" id 2 material \"S275\""), std::string::npos) << kept;
  EXPECT_EQ(kept.find("sub \"SubModel 2\""), std::string::npos) << kept;
  for (const char* member : {"job \"run1\"", "constrained job", "results \"Stresses\""})
    EXPECT_NE(kept.find(member), std::string::npos) << member << "\n" << kept;
  EXPECT_EQ(dumpSetsAndCases(db, true), setsBefore);
  // The failed units record applied nothing: no length unit, the host units of a new drawing.
  AcApDocument* fresh = acDocManagerPtr()->newDocument();
  const std::string freshUnits = dumpStoredDrawing(fresh, true).substr(0, kept.find('\n'));
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(fresh));
  ASSERT_EQ(acDocManagerPtr()->activateDocument(opened), Acad::eOk);
  EXPECT_EQ(kept.substr(0, kept.find('\n')), "length 33 host 0 5 8 12 17 21 24 28");
  EXPECT_EQ(kept.substr(0, kept.find('\n')), freshUnits);
  EXPECT_EQ(dumpStoredDrawing(original, true), originalDump);

  // The model that lost a sub-model enumerates what it has left.
  {
    DbTransaction transaction(db);
    CaepAnlControl* control = dbControlOf(db);
    EXPECT_EQ(control->NumAnlModels(), 1);
    auto* model = dynamic_cast<CaepAnlModelObj*>(control->FirstAnlModel());
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->NumSubModels(), 2);
    EXPECT_EQ(model->NumLiveSubModels(), 1);
    EXPECT_EQ(dynamic_cast<AcDbObject*>(model->LiveSubModel(0))->objectId().handle().text(), keptSub);
    EXPECT_EQ(model->GetSubModel(1), nullptr);
    EXPECT_EQ(model->CountLiveJobs(0), 2);
    EXPECT_EQ(model->CountLiveResultSets(0), 1);
    EXPECT_NO_THROW(model->MarkGraphicsModified());
    EXPECT_NO_THROW(model->Reconcile());
  }

  // What is left saves and opens again whole.
  cadhost::clearPrintedText();
  type("SAVEAS " + (dir / "b.dwg").string());
  EXPECT_NE(cadhost::printedText().find("Drawing saved as"), std::string::npos) << cadhost::printedText();
  type("CLOSE");
  cadhost::clearPrintedText();
  type("OPEN " + (dir / "b.dwg").string());
  type("LIST");
  EXPECT_EQ(cadhost::printedText().find("Skipped"), std::string::npos) << cadhost::printedText();
  EXPECT_EQ(cadhost::printedText().find("General Error"), std::string::npos) << cadhost::printedText();
  // References to the records skipped on reading name nothing, so the save drops them; the rest is
  // as it was kept.
  std::string expected;
  std::istringstream lines(kept);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("(does not open)") != std::string::npos) continue;
    const std::string lostReference = "sub-model " + lostHandle;
    if (const std::size_t at = line.find(lostReference);
        at != std::string::npos && at + lostReference.size() == line.size())
      line.replace(at, lostReference.size(), "sub-model null");
    expected += line + "\n";
  }
  ASSERT_NE(std::string(current()->fileName()).find("b.dwg"), std::string::npos) << current()->fileName();
  EXPECT_EQ(dumpStoredDrawing(current(), true), expected);
}

}  // namespace
