// The drawing's version and units records and the analysis control's length unit, with the
// add-in loaded into the host: registration, the filer-type matrix, drawing files, DXF, undo,
// transaction abort and damaged records.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CadInterface/AcCadDocControl.h"
#include "CadInterface/AcCadEntry.h"
#include "amg/CaeEngine.h"
#include "amg/CaeExcept.h"
#include "amg/CaeUnit.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbdict.h"
#include "arx/dbfiler.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadApplication.h"
#include "cadInterface/CadInterface.h"
#include "db/dbControl.h"
#include "db/dbDict.h"
#include "db/dbFiling.h"
#include "db/dbRecords.h"
#include "frame_support.h"
#include "kestrum/text.h"
#include "mcad/amiapp.h"
#include "mfc/log.h"
#include "test_env.h"
#include "util/acDeferredPasses.h"

namespace {

constexpr char kRecordsKey[] = "RECORDS_UNDER_TEST";

class StoreRecordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    startFreshHostWithPartModeller();
    ASSERT_TRUE(acrxModuleAttach());
    ASSERT_TRUE(acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint)) << cadhost::printedText();
  }
  void TearDown() override {
    cadhost::shutdownHost();
    acrxModuleDetach();
    mcadResetServices();
    cadhost::clearInput();
    cadhost::clearPrintedText();
  }

  static AcApDocument* current() { return acDocManagerPtr()->curDocument(); }
  static AcCadDocData* dataOf(AcApDocument* doc) {
    return dynamic_cast<AcCadDocData*>(CadGetApplication()->FindDocControl(doc)->GetData());
  }
  static CaepAnlControl* controlOf(AcApDocument* doc) {
    return dynamic_cast<CaepAnlControl*>(dataOf(doc)->GetAnlControl());
  }
  static CadUnitSystem* inchSystem() {
    return new CadUnitSystem(CaeInch, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu,
                             CaeHertz);
  }
  // Gives a drawing a length unit and inch host units.
  static void giveUnits(AcApDocument* doc, int lengthUnit) {
    ASSERT_TRUE(controlOf(doc)->SetLengthUnit(lengthUnit));
    delete dataOf(doc)->SetHostUnitSystem(inchSystem());
  }

  // Adds both records to the drawing under a dictionary of the test; answers their ids.
  static std::pair<AcDbObjectId, AcDbObjectId> addRecords(AcDbDatabase* db) {
    AcDbDictionary* named = nullptr;
    EXPECT_EQ(db->getNamedObjectsDictionary(named, AcDb::kForWrite), Acad::eOk);
    auto* holder = new AcDbDictionary();
    AcDbObjectId holderId;
    EXPECT_EQ(named->setAt(kRecordsKey, holder, holderId), Acad::eOk);
    named->close();
    AcDbObjectId versionId, unitsId;
    auto* version = new CaepVersionObj(600, CaeString("old build"), CaeString("old platform"));
    auto* units = new CaepUnitsObj();
    EXPECT_EQ(holder->setAt("VERSION_INFO", version, versionId), Acad::eOk);
    EXPECT_EQ(holder->setAt("DWG_LENGTH_UNIT", units, unitsId), Acad::eOk);
    // As the dictionary does when it makes them, the drawing's control is given both records.
    if (CaepAnlControl* control = dbControlOf(db)) {
      control->SetVersionRecordId(version);
      control->SetLengthUnitRecordId(units);
    }
    version->close();
    units->close();
    holder->close();
    return {versionId, unitsId};
  }
  static AcDbObjectId recordId(AcDbDatabase* db, const char* key) {
    AcDbDictionary* named = nullptr;
    AcDbObjectId id;
    if (db->getNamedObjectsDictionary(named, AcDb::kForRead) != Acad::eOk) return id;
    AcDbObject* holder = nullptr;
    if (named->getAt(kRecordsKey, holder, AcDb::kForRead) == Acad::eOk) {
      AcDbDictionary::cast(holder)->getAt(key, id);
      holder->close();
    }
    named->close();
    return id;
  }

  // What a drawing holds for the records: control unit and record ids, host units, version fields.
  static std::string dump(AcApDocument* doc) {
    std::ostringstream out;
    CaepAnlControl* control = controlOf(doc);
    out << "length " << control->LengthUnit() << " host";
    for (int type = 0; type < 8; ++type) out << ' ' << dataOf(doc)->HostUnitSystem()->GetUnit(type);
    AcDbDatabase* db = doc->database();
    const AcDbObjectId versionId = recordId(db, "VERSION_INFO");
    const AcDbObjectId unitsId = recordId(db, "DWG_LENGTH_UNIT");
    out << " ids " << (control->VersionRecordId() == versionId) << (control->LengthUnitRecordId() == unitsId);
    CaepVersionObj* version = nullptr;
    if (acdbOpenObject(version, versionId, AcDb::kForRead) == Acad::eOk) {
      out << " version " << version->Version() << " '" << version->BuildText().Text() << "' '"
          << version->PlatformText().Text() << "'";
      version->close();
    }
    return out.str();
  }

  RecordingDriver driver;
  mfc::ScopedUserDriver scopedDriver{&driver};
  kestrum::test::TempDir dir;
};

// The bytes a units record writes for its drawing with a filer of `type`.
std::string writeRecord(AcDbObjectId id, AcDb::FilerType type, Acad::ErrorStatus* status = nullptr) {
  AcDbObject* object = nullptr;
  EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForRead), Acad::eOk);
  AcDbDwgFiler filer(type, object->database());
  const Acad::ErrorStatus written = object->dwgOutFields(&filer);
  if (status) *status = written;
  object->close();
  return std::string(filer.buffer());
}

Acad::ErrorStatus readRecord(AcDbObjectId id, AcDb::FilerType type, const std::string& bytes) {
  AcDbObject* object = nullptr;
  EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eOk);
  AcDbDwgFiler filer(type, object->database(), bytes);
  const Acad::ErrorStatus status = object->dwgInFields(&filer);
  object->close();
  return status;
}

// A units record written by hand after the host part that `prefixOf` wrote for the same object.
struct UnitsBytes {
  int version = 630;
  int lengthUnit = 2;
  std::vector<int> hostUnits{CaeInch,      CaeDegree,     CaeSecond, CaePoundForce,
                             CaePoundMass, CaeFahrenheit, CaeHertz,  CaeBtu};
  // Written from version 633 on: model, optimisation model, load set, restraint set, result set.
  std::vector<AcDbObjectId> currentIds = std::vector<AcDbObjectId>(5);
};
std::string unitsRecord(AcDbObjectId id, const UnitsBytes& fields) {
  AcDbObject* object = nullptr;
  EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForRead), Acad::eOk);
  AcDbDwgFiler filer(AcDb::kFileFiler, object->database());
  object->AcDbObject::dwgOutFields(&filer);
  object->close();
  filer.writeUInt16(static_cast<Adesk::UInt16>(fields.version));
  filer.writeInt32(fields.lengthUnit);
  for (int unit : fields.hostUnits) filer.writeInt32(unit);
  if (fields.version >= 633)
    for (AcDbObjectId id : fields.currentIds) filer.writeSoftPointerId(id);
  return filer.takeBuffer();
}

TEST_F(StoreRecordsTest, RecordClassesAreRegisteredAsTheHostFilesThemAndLeaveAtUnload) {
  struct Row {
    const char* name;
    const char* dxfName;
    AcRxClass* (*desc)();
  };
  for (const Row& row : {Row{"CaepVersionObj", "CAEPVERSIONOBJ", &CaepVersionObj::desc},
                         Row{"CaepUnitsObj", "CAEPUNITSOBJ", &CaepUnitsObj::desc}}) {
    SCOPED_TRACE(row.name);
    AcRxClass* record = acrxFindClass(row.name);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(row.desc(), record);
    EXPECT_EQ(acrxFindClassByDxfName(row.dxfName), record);
    EXPECT_STREQ(record->appName(), "TLXARX");
    EXPECT_EQ(record->myParent(), AcDbObject::desc());
    EXPECT_EQ(record->dwgVersion(), 23);
    EXPECT_EQ(record->maintenanceVersion(), 6);
    EXPECT_EQ(record->proxyFlags(), 0);
    std::unique_ptr<AcRxObject> made(record->create());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->isA(), record);
  }
  ASSERT_TRUE(acrxDynamicLinker->unloadModule("kestrum.arx")) << cadhost::printedText();
  EXPECT_EQ(acrxFindClass("CaepVersionObj"), nullptr);
  EXPECT_EQ(acrxFindClass("CaepUnitsObj"), nullptr);
  EXPECT_EQ(CaepUnitsObj::desc(), nullptr);
}

TEST_F(StoreRecordsTest, FilerTypesCarryTheFieldsOnlyWhereTheHostExpectsThem) {
  struct Row {
    AcDb::FilerType type;
    bool writes;
    bool reads;
  };
  const Row rows[] = {{AcDb::kFileFiler, true, true},        {AcDb::kCopyFiler, false, false},
                      {AcDb::kUndoFiler, true, true},        {AcDb::kBagFiler, true, true},
                      {AcDb::kIdXlateFiler, false, false},   {AcDb::kPageFiler, true, true},
                      {AcDb::kDeepCloneFiler, false, false}, {AcDb::kIdFiler, true, true},
                      {AcDb::kPurgeFiler, false, true},      {AcDb::kWblockCloneFiler, false, false}};
  AcDbDatabase* db = current()->database();
  const AcDbObjectId unitsId = addRecords(db).second;
  AcDbObject* object = nullptr;
  ASSERT_EQ(acdbOpenObject(object, unitsId, AcDb::kForRead), Acad::eOk);
  AcDbDwgFiler hostPart(AcDb::kFileFiler, db);
  object->AcDbObject::dwgOutFields(&hostPart);
  object->close();
  const std::string hostOnly(hostPart.buffer());
  const std::string stored = unitsRecord(unitsId, UnitsBytes{});
  for (const Row& row : rows) {
    SCOPED_TRACE(row.type);
    Acad::ErrorStatus status = Acad::eOk;
    const std::string written = writeRecord(unitsId, row.type, &status);
    EXPECT_EQ(status, Acad::eOk);
    EXPECT_EQ(written.size() > hostOnly.size(), row.writes);

    // Reading the hand-written millimetre/inch record applies it only where the fields are read.
    ASSERT_TRUE(controlOf(current())->SetLengthUnit(CaeMeter));
    delete dataOf(current())->SetHostUnitSystem(new CadUnitSystem());
    EXPECT_EQ(readRecord(unitsId, row.type, stored), Acad::eOk);
    EXPECT_EQ(controlOf(current())->LengthUnit(), row.reads ? CaeMillimeter : CaeMeter);
    EXPECT_EQ(dataOf(current())->HostUnitSystem()->GetUnit(CaeUtTemperature), row.reads ? CaeFahrenheit : CaeKelvin);
  }
}

TEST_F(StoreRecordsTest, RecordsSurviveSaveAsAndOpenIntoTheOpenedDrawingOnly) {
  AcApDocument* original = current();
  giveUnits(original, CaeMillimeter);
  addRecords(original->database());
  const std::string before = dump(original);
  const std::string path = (dir / "a.dwg").string();
  ASSERT_EQ(acDocManagerPtr()->saveDocument(original, path, true), Acad::eOk) << cadhost::printedText();
  AcApDocument* other = acDocManagerPtr()->newDocument();
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(original));
  const std::string otherBefore = dump(other);

  cadhost::clearPrintedText();
  AcApDocument* opened = acDocManagerPtr()->openDocument(path);
  ASSERT_NE(opened, nullptr) << cadhost::printedText();
  EXPECT_EQ(cadhost::printedText().find("Skipped"), std::string::npos) << cadhost::printedText();
  // The saved version record carries the running program's version, not the one it was made with.
  EXPECT_EQ(before, "length 2 host 3 6 11 14 20 21 27 28 ids 11 version 600 'old build' 'old platform'");
  EXPECT_EQ(dump(opened), "length 2 host 3 6 11 14 20 21 27 28 ids 11 version 630 'Oct  3 2000' 'For AutoCAD 2000'");
  EXPECT_EQ(dump(other), otherBefore);
  EXPECT_EQ(controlOf(other)->LengthUnit(), CaeUnitNone);
}

TEST_F(StoreRecordsTest, RecordsSurviveDxfOutAndIn) {
  AcApDocument* original = current();
  giveUnits(original, CaeInch);
  addRecords(original->database());
  const std::string path = (dir / "b.dxf").string();
  ASSERT_EQ(original->database()->dxfOut(path), Acad::eOk);
  acDocManagerPtr()->newDocument();
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(original));

  cadhost::clearPrintedText();
  AcApDocument* opened = acDocManagerPtr()->openDocument(path, true);
  ASSERT_NE(opened, nullptr) << cadhost::printedText();
  EXPECT_EQ(cadhost::printedText().find("Skipped"), std::string::npos) << cadhost::printedText();
  EXPECT_EQ(dump(opened), "length 3 host 3 6 11 14 20 21 27 28 ids 11 version 630 'Oct  3 2000' 'For AutoCAD 2000'");
}

TEST_F(StoreRecordsTest, DxfWithoutTheRecordFieldsStillReads) {
  AcApDocument* original = current();
  giveUnits(original, CaeInch);
  addRecords(original->database());
  const std::string path = (dir / "bare.dxf").string();
  ASSERT_EQ(original->database()->dxfOut(path), Acad::eOk);
  // Strip every item from the class's "100" marker up to the next entry ("  0").
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  in.close();
  std::ofstream out(path, std::ios::trunc);
  int stripped = 0;
  for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
    const bool ours = kestrum::Trim(lines[i]) == "100" && kestrum::Trim(lines[i + 1]).rfind("Caep", 0) == 0;
    if (ours) {
      ++stripped;
      while (i + 3 < lines.size() && kestrum::Trim(lines[i + 2]) != "0") i += 2;
      continue;
    }
    out << lines[i] << '\n' << lines[i + 1] << '\n';
  }
  out.close();
  ASSERT_EQ(stripped, 2);
  acDocManagerPtr()->newDocument();
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(original));

  AcApDocument* opened = acDocManagerPtr()->openDocument(path, true);
  ASSERT_NE(opened, nullptr) << cadhost::printedText();
  EXPECT_FALSE(recordId(opened->database(), "DWG_LENGTH_UNIT").isNull());
  EXPECT_EQ(dump(opened), "length 33 host 0 5 8 12 17 21 24 28 ids 00 version 0 '' ''");
}

TEST_F(StoreRecordsTest, UndoRedoAndAbortRestoreWhatTheUnitsRecordHeld) {
  AcApDocument* doc = current();
  AcDbDatabase* db = doc->database();
  giveUnits(doc, CaeMillimeter);
  const AcDbObjectId unitsId = addRecords(db).second;
  const std::string held = dump(doc);

  // Change the units inside one undo group, the record being written to as the change is made.
  auto change = [&] {
    AcDbObject* units = nullptr;
    ASSERT_EQ(acdbOpenObject(units, unitsId, AcDb::kForWrite), Acad::eOk);
    ASSERT_TRUE(controlOf(doc)->SetLengthUnit(CaeInch));
    delete dataOf(doc)->SetHostUnitSystem(new CadUnitSystem());
    units->close();
  };
  db->beginUndoGroup("units");
  change();
  db->endUndoGroup();
  const std::string changed = dump(doc);
  ASSERT_NE(changed, held);
  ASSERT_EQ(db->undo(1), 1);
  EXPECT_EQ(dump(doc), held);
  ASSERT_TRUE(db->redo());
  EXPECT_EQ(dump(doc), changed);

  ASSERT_EQ(db->undo(1), 1);
  AcDbTransactionManager* transactions = db->transactionManager();
  transactions->startTransaction();
  AcDbObject* units = nullptr;
  ASSERT_EQ(transactions->getObject(units, unitsId, AcDb::kForWrite), Acad::eOk);
  ASSERT_TRUE(controlOf(doc)->SetLengthUnit(CaeFoot));
  transactions->abortTransaction();
  EXPECT_EQ(dump(doc), held);
}

TEST_F(StoreRecordsTest, ReadersFileIntoTheDrawingOfTheRecordNotTheActiveOne) {
  AcApDocument* first = current();
  const AcDbObjectId unitsId = addRecords(first->database()).second;
  UnitsBytes fields;
  fields.version = 633;
  const std::string stored = unitsRecord(unitsId, fields);
  AcApDocument* second = acDocManagerPtr()->newDocument();
  ASSERT_EQ(current(), second);
  const std::string secondBefore = dump(second);

  ASSERT_EQ(readRecord(unitsId, AcDb::kFileFiler, stored), Acad::eOk);
  EXPECT_EQ(controlOf(first)->LengthUnit(), CaeMillimeter);
  EXPECT_EQ(dataOf(first)->HostUnitSystem()->GetUnit(CaeUtLength), CaeInch);
  EXPECT_EQ(dump(second), secondBefore);
  // The engine's host system stays the active drawing's.
  EXPECT_EQ(CaeUnitSystem::GetHostSystem(), dataOf(second)->HostUnitSystem());
  // Writing takes the first drawing's units too, whichever is active.
  EXPECT_EQ(writeRecord(unitsId, AcDb::kFileFiler), stored);
}

// The current objects travel with the units record; an older record names none, and reading it
// leaves the control's current objects as they were.
TEST_F(StoreRecordsTest, TheUnitsRecordFilesTheCurrentObjectsAndAnOlderRecordNamesNone) {
  AcApDocument* doc = current();
  const auto [versionId, unitsId] = addRecords(doc->database());
  CaepAnlControl* control = controlOf(doc);
  // Ids only: the record neither opens nor checks the objects it names.
  const CaepAnlControl::CurrentIds named{versionId, AcDbObjectId(), unitsId, versionId, unitsId};
  auto same = [](const CaepAnlControl::CurrentIds& a, const CaepAnlControl::CurrentIds& b) {
    return a.anlModel == b.anlModel && a.optModel == b.optModel && a.loadSet == b.loadSet &&
           a.restraintSet == b.restraintSet && a.resultSet == b.resultSet;
  };
  for (AcDb::FilerType type : {AcDb::kFileFiler, AcDb::kUndoFiler}) {
    SCOPED_TRACE(type);
    control->RestoreCurrentIds(named);
    const std::string written = writeRecord(unitsId, type);
    control->RestoreCurrentIds({});
    ASSERT_EQ(readRecord(unitsId, type, written), Acad::eOk);
    EXPECT_TRUE(same(control->FiledCurrentIds(), named));
  }
  UnitsBytes filed;
  filed.version = 633;
  filed.currentIds = {unitsId, versionId, AcDbObjectId(), AcDbObjectId(), versionId};
  ASSERT_EQ(readRecord(unitsId, AcDb::kFileFiler, unitsRecord(unitsId, filed)), Acad::eOk);
  EXPECT_TRUE(same(control->FiledCurrentIds(), {unitsId, versionId, AcDbObjectId(), AcDbObjectId(), versionId}));

  control->RestoreCurrentIds({});
  ASSERT_EQ(readRecord(unitsId, AcDb::kFileFiler, unitsRecord(unitsId, UnitsBytes{})), Acad::eOk);
  EXPECT_TRUE(same(control->FiledCurrentIds(), {}));
  EXPECT_EQ(control->LengthUnit(), CaeMillimeter);
}

TEST_F(StoreRecordsTest, DamagedUnitsRecordsApplyNothingAndBadLengthCodesAreReported) {
  struct Row {
    const char* name;
    std::function<std::string(const std::string&)> damage;  // from a whole hand-written record
    UnitsBytes fields;
    Acad::ErrorStatus status;
    int lengthUnit;  // after reading
    bool hostUnitsApplied;
    const char* printed;  // part of the command-line text
  };
  auto keep = [](const std::string& bytes) { return bytes; };
  auto cut = [](const std::string& bytes) { return bytes.substr(0, bytes.size() - 3); };
  UnitsBytes wrongQuantity;
  wrongQuantity.hostUnits[2] = CaeKelvin;  // a temperature where time belongs
  UnitsBytes badLength;
  badLength.lengthUnit = 7;
  UnitsBytes negativeLength;
  negativeLength.lengthUnit = -1;
  UnitsBytes noneChosen;
  noneChosen.lengthUnit = CaeUnitNone;
  const Row rows[] = {
      {"Whole", keep, UnitsBytes{}, Acad::eOk, CaeMillimeter, true, ""},
      {"Truncated", cut, UnitsBytes{}, Acad::eFilerError, CaeUnitNone, false, "\nTLX Exception: "},
      {"UnitOfAnotherQuantity", keep, wrongQuantity, Acad::eFilerError, CaeUnitNone, false, "\nTLX Exception: "},
      {"LengthCodeAboveFour", keep, badLength, Acad::eOk, CaeUnitNone, true, "length unit 7 is not one of 0 to 4"},
      {"NegativeLengthCode", keep, negativeLength, Acad::eOk, CaeUnitNone, true, "length unit -1 is not one of 0 to 4"},
      {"NoLengthChosen", keep, noneChosen, Acad::eOk, CaeUnitNone, true, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AcApDocument* doc = acDocManagerPtr()->newDocument();  // SI host units, no length unit
    const AcDbObjectId unitsId = addRecords(doc->database()).second;
    cadhost::clearPrintedText();
    EXPECT_EQ(readRecord(unitsId, AcDb::kFileFiler, row.damage(unitsRecord(unitsId, row.fields))), row.status);
    EXPECT_EQ(controlOf(doc)->LengthUnit(), row.lengthUnit);
    EXPECT_EQ(dataOf(doc)->HostUnitSystem()->GetUnit(CaeUtTemperature),
              row.hostUnitsApplied ? CaeFahrenheit : CaeKelvin);
    EXPECT_NE(cadhost::printedText().find(row.printed), std::string::npos) << cadhost::printedText();
  }
}

TEST_F(StoreRecordsTest, FailingWritesAnswerTheFilerErrorAndSayWhy) {
  AcDbDatabase* db = current()->database();
  const auto [versionId, unitsId] = addRecords(db);
  for (AcDbObjectId id : {versionId, unitsId}) {
    // Call 1 is the host part; the record's own calls follow.
    for (long failAt = 2; failAt <= 4; ++failAt) {
      SCOPED_TRACE(failAt);
      AcDbObject* object = nullptr;
      ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForRead), Acad::eOk);
      AcDbDwgFiler filer(AcDb::kFileFiler, db);
      filer.setFailAt(failAt);
      cadhost::clearPrintedText();
      EXPECT_EQ(object->dwgOutFields(&filer), Acad::eFilerError);
      object->close();
      EXPECT_NE(cadhost::printedText().find("\nTLX Exception: General Error in"), std::string::npos)
          << cadhost::printedText();
    }
  }
}

TEST_F(StoreRecordsTest, VersionRecordReadKeepsTheStoredVersion) {
  AcDbDatabase* db = current()->database();
  const AcDbObjectId versionId = addRecords(db).first;
  AcDbObject* object = nullptr;
  ASSERT_EQ(acdbOpenObject(object, versionId, AcDb::kForRead), Acad::eOk);
  AcDbDwgFiler filer(AcDb::kFileFiler, db);
  object->AcDbObject::dwgOutFields(&filer);
  object->close();
  filer.writeUInt16(310);
  filer.writeString("Jan  1 1999");
  filer.writeString("elsewhere");
  ASSERT_EQ(readRecord(versionId, AcDb::kFileFiler, filer.takeBuffer()), Acad::eOk);
  CaepVersionObj* version = nullptr;
  ASSERT_EQ(acdbOpenObject(version, versionId, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(version->Version(), 310);
  EXPECT_EQ(version->BuildText(), "Jan  1 1999");
  EXPECT_EQ(version->PlatformText(), "elsewhere");
  version->close();
  EXPECT_EQ(controlOf(current())->VersionRecordId(), versionId);
}

TEST_F(StoreRecordsTest, LengthUnitIsRefusedOutsideTheFiveDrawingUnits) {
  CaepAnlControl* control = controlOf(current());
  EXPECT_EQ(control->LengthUnit(), CaeUnitNone);
  for (int refused : {-1, 5, int{CaeUnitNone}, int{CaeDegree}}) {
    SCOPED_TRACE(refused);
    EXPECT_FALSE(control->SetLengthUnit(refused));
    EXPECT_EQ(control->LengthUnit(), CaeUnitNone);
    EXPECT_EQ(CaeUnitSystem::GetNativeUnit(CaeUtLength), CaeMeter);
  }
  for (int unit = CaeMeter; unit <= 4; ++unit) {
    SCOPED_TRACE(unit);
    EXPECT_TRUE(control->SetLengthUnit(unit));
    EXPECT_EQ(control->LengthUnit(), unit);
    EXPECT_EQ(CaeUnitSystem::GetNativeUnit(CaeUtLength), unit);
  }
}

// The interface reads and writes the length unit of the current drawing's control, never the
// engine's native unit alone: a drawing that has chosen none answers 33 whatever the other chose.
TEST_F(StoreRecordsTest, TheInterfaceKeepsTheLengthUnitInTheCurrentDrawingsControl) {
  CadInterface* cad = CadInterface::GetCurrent();
  ASSERT_NE(cad, nullptr);
  EXPECT_EQ(cad->GetLengthUnit(), CaeUnitNone);
  int refused = 5;
  cad->SetLengthUnit(&refused);
  cad->SetLengthUnit(nullptr);
  EXPECT_EQ(cad->GetLengthUnit(), CaeUnitNone);
  int inch = CaeInch;
  cad->SetLengthUnit(&inch);
  EXPECT_EQ(cad->GetLengthUnit(), CaeInch);
  EXPECT_EQ(controlOf(current())->LengthUnit(), CaeInch);
  EXPECT_EQ(CaeUnitSystem::GetNativeUnit(CaeUtLength), CaeInch);
  acDocManagerPtr()->newDocument();
  EXPECT_EQ(cad->GetLengthUnit(), CaeUnitNone);
  EXPECT_EQ(CaeUnitSystem::GetNativeUnit(CaeUtLength), CaeMeter);
}

TEST_F(StoreRecordsTest, ActivationAppliesTheDrawingsLengthUnitOrMetre) {
  AcApDocument* millimetre = current();
  ASSERT_TRUE(controlOf(millimetre)->SetLengthUnit(CaeMillimeter));
  AcApDocument* unchosen = acDocManagerPtr()->newDocument();
  EXPECT_EQ(CaeUnitSystem::GetNativeUnit(CaeUtLength), CaeMeter);
  ASSERT_EQ(acDocManagerPtr()->activateDocument(millimetre), Acad::eOk);
  EXPECT_EQ(CaeUnitSystem::GetNativeUnit(CaeUtLength), CaeMillimeter);
  ASSERT_EQ(acDocManagerPtr()->activateDocument(unchosen), Acad::eOk);
  EXPECT_EQ(CaeUnitSystem::GetNativeUnit(CaeUtLength), CaeMeter);
}

// The entries of "CAEP_DICT" of a drawing, in order, as "KEY=handle".
std::vector<std::string> caepEntries(AcDbDatabase* db) {
  std::vector<std::string> entries;
  AcDbDictionary* named = nullptr;
  EXPECT_EQ(db->getNamedObjectsDictionary(named, AcDb::kForRead), Acad::eOk);
  AcDbObject* found = nullptr;
  if (named->getAt(kCaepDictName, found, AcDb::kForRead) == Acad::eOk) {
    AcDbDictionary* dictionary = AcDbDictionary::cast(found);
    std::unique_ptr<AcDbDictionaryIterator> it(dictionary->newIterator());
    for (; !it->done(); it->next()) entries.push_back(std::string(it->name()) + "=" + it->objectId().handle().text());
    found->close();
  }
  named->close();
  return entries;
}

std::vector<std::string> keysOf(const std::vector<std::string>& entries) {
  std::vector<std::string> keys;
  for (const std::string& entry : entries) keys.push_back(entry.substr(0, entry.find('=')));
  return keys;
}

AcDbObjectId entryId(AcDbDatabase* db, const char* key) {
  EXPECT_EQ(db, acdbHostApplicationServices()->workingDatabase());
  AcDbDictionary* root = nullptr;
  EXPECT_EQ(dbGetCaepDict(root), Acad::eOk);
  AcDbObjectId id;
  root->getAt(key, id);
  root->close();
  return id;
}

TEST_F(StoreRecordsTest, AskingForASubDictionaryCreatesTheWholeDictionaryOnce) {
  AcDbDatabase* db = current()->database();
  CaepAnlControl* control = controlOf(current());
  ASSERT_TRUE(caepEntries(db).empty());
  AcDbDictionary* models = nullptr;
  ASSERT_EQ(dbGetAnalysisModelsDict(models, AcDb::kForWrite), Acad::eOk);
  ASSERT_NE(models, nullptr);
  EXPECT_EQ(models->numEntries(), 0u);
  models->close();
  const std::vector<std::string> created = caepEntries(db);
  EXPECT_EQ(keysOf(created), (std::vector<std::string>{"VERSION_INFO", "DWG_LENGTH_UNIT", "OPTIMIZATION_MODELS",
                                                       "ANALYSIS_MODELS", "LOAD_CASES", "RESTRAINT_CASES"}));
  EXPECT_EQ(control->VersionRecordId(), entryId(db, kVersionRecordKey));
  EXPECT_EQ(control->LengthUnitRecordId(), entryId(db, kUnitsRecordKey));
  EXPECT_EQ(control->CurrentAnlModel(), nullptr);

  for (auto get : {+[](AcDbDictionary*& d) { return dbGetLoadCasesDict(d); },
                   +[](AcDbDictionary*& d) { return dbGetRestraintCasesDict(d); },
                   +[](AcDbDictionary*& d) { return dbGetOptimizationModelsDict(d, AcDb::kForWrite); }}) {
    AcDbDictionary* sub = nullptr;
    ASSERT_EQ(get(sub), Acad::eOk);
    sub->close();
  }
  EXPECT_EQ(caepEntries(db), created);
}

TEST_F(StoreRecordsTest, MissingSubDictionaryComesBackEmptyAndTheRestStays) {
  AcDbDatabase* db = current()->database();
  AcDbDictionary* sub = nullptr;
  ASSERT_EQ(dbGetLoadCasesDict(sub), Acad::eOk);
  sub->close();
  AcDbDictionary* root = nullptr;
  ASSERT_EQ(dbGetCaepDict(root), Acad::eOk);
  AcDbObjectId removed;
  ASSERT_EQ(root->remove(kLoadCasesKey, removed), Acad::eOk);
  root->close();
  std::vector<std::string> before = caepEntries(db);
  ASSERT_EQ(before.size(), 5u);

  ASSERT_EQ(dbGetLoadCasesDict(sub), Acad::eOk);
  EXPECT_EQ(sub->numEntries(), 0u);
  EXPECT_NE(sub->objectId(), removed);
  sub->close();
  std::vector<std::string> after = caepEntries(db);
  ASSERT_EQ(after.size(), 6u);
  EXPECT_EQ(keysOf(after).back(), "LOAD_CASES");
  after.pop_back();
  EXPECT_EQ(after, before);
}

TEST_F(StoreRecordsTest, UpdateRecordsKeepsRecordsOnlyWhileModelsOrSetsAreLeft) {
  struct Row {
    const char* name;
    DbStoredKind kind;
    bool listed;
    bool erased;
    bool recordsKept;
  };
  const Row rows[] = {
      {"NothingListed", DbStoredKind::AnlModel, false, false, false},
      {"LiveModel", DbStoredKind::AnlModel, true, false, true},
      {"LiveLoadSet", DbStoredKind::LoadCase, true, false, true},
      {"LiveRestraintSet", DbStoredKind::RestraintCase, true, false, true},
      {"LiveOptimisationModel", DbStoredKind::OptModel, true, false, true},
      {"ErasedModel", DbStoredKind::AnlModel, true, true, false},
      {"OnlyADesignVariable", DbStoredKind::OptVariable, true, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    AcApDocument* doc = acDocManagerPtr()->newDocument();
    AcDbDatabase* db = doc->database();
    CaepAnlControl* control = controlOf(doc);
    AcDbDictionary* models = nullptr;
    ASSERT_EQ(dbGetAnalysisModelsDict(models, AcDb::kForWrite), Acad::eOk);
    if (row.listed) {
      auto* standIn = new AcDbDictionary();  // any stored object stands for the listed one
      AcDbObjectId id;
      ASSERT_EQ(models->setAt("standIn", standIn, id), Acad::eOk);
      if (row.erased) {
        ASSERT_EQ(standIn->erase(), Acad::eOk);
      }
      standIn->close();
      EXPECT_TRUE(control->RegisterId(row.kind, id));
      EXPECT_FALSE(control->RegisterId(row.kind, id));
      EXPECT_EQ(control->Ids(row.kind).size(), 1u);
      EXPECT_EQ(control->HasLive(row.kind), !row.erased);
    }
    models->close();
    const AcDbObjectId versionId = control->VersionRecordId();
    const AcDbObjectId unitsId = control->LengthUnitRecordId();

    dbUpdateRecords(1);  // the frame's hook: before a save, after the post-load pass
    EXPECT_EQ(!entryId(db, kVersionRecordKey).isNull(), row.recordsKept);
    EXPECT_EQ(!entryId(db, kUnitsRecordKey).isNull(), row.recordsKept);

    control->UpdateRecords(0);
    const AcDbObjectId newVersionId = entryId(db, kVersionRecordKey);
    const AcDbObjectId newUnitsId = entryId(db, kUnitsRecordKey);
    ASSERT_FALSE(newVersionId.isNull());
    ASSERT_FALSE(newUnitsId.isNull());
    EXPECT_EQ(newVersionId == versionId, row.recordsKept);
    EXPECT_EQ(newUnitsId == unitsId, row.recordsKept);
    EXPECT_EQ(control->VersionRecordId(), newVersionId);
    EXPECT_EQ(control->LengthUnitRecordId(), newUnitsId);
  }
}

TEST_F(StoreRecordsTest, UpdateRecordsDoesNothingUntilTheControlKnowsBothRecords) {
  AcApDocument* doc = current();
  AcDbDatabase* db = doc->database();
  const auto [versionId, unitsId] = addRecords(db);
  CaepAnlControl* control = controlOf(doc);
  control->SetLengthUnitRecordId(nullptr);
  control->UpdateRecords(1);
  EXPECT_EQ(recordId(db, "VERSION_INFO"), versionId);
  EXPECT_EQ(recordId(db, "DWG_LENGTH_UNIT"), unitsId);
  control->UpdateRecords(0);
  EXPECT_TRUE(caepEntries(db).empty());
}

TEST_F(StoreRecordsTest, ManyIdsAreEachListedOnceInTheOrderTheyCame) {
  AcDbDatabase* db = current()->database();
  CaepAnlControl* control = controlOf(current());
  std::vector<AcDbObjectId> ids;
  for (int i = 0; i < 500; ++i) {  // enough for the membership table to grow several times
    auto* object = new AcDbDictionary();
    AcDbObjectId id;
    ASSERT_EQ(db->addAcDbObject(id, object), Acad::eOk);
    object->close();
    ids.push_back(id);
  }
  for (const AcDbObjectId& id : ids) EXPECT_TRUE(control->RegisterId(DbStoredKind::OptVariable, id));
  for (auto id = ids.rbegin(); id != ids.rend(); ++id)
    EXPECT_FALSE(control->RegisterId(DbStoredKind::OptVariable, *id));
  EXPECT_EQ(control->Ids(DbStoredKind::OptVariable), ids);
  // Each kind keeps its own list.
  EXPECT_TRUE(control->RegisterId(DbStoredKind::OptModel, ids[250]));
  EXPECT_EQ(control->Ids(DbStoredKind::OptModel), std::vector<AcDbObjectId>{ids[250]});
}

TEST_F(StoreRecordsTest, ANullIdIsNeverListed) {
  CaepAnlControl* control = controlOf(current());
  cadhost::clearPrintedText();
  EXPECT_THROW(control->RegisterId(DbStoredKind::LoadCase, AcDbObjectId()), CaeExcept);
  EXPECT_TRUE(control->Ids(DbStoredKind::LoadCase).empty());
}

}  // namespace
