// Load sets, restraint sets, analysis cases and their entries with the add-in loaded into the
// host: registration, filing at every stored version, the filer-type matrix, drawing files, DXF,
// undo, redo, transaction aborts, damaged records and the engine-side operations.
//
// Condition entities are not part of the store: two small classes joining a host entity with an
// engine condition stand in for them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "CadInterface/AcCadDocControl.h"
#include "CadInterface/AcCadEntry.h"
#include "amg/CaeExcept.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbdict.h"
#include "arx/dbdxffiler.h"
#include "arx/dbentity.h"
#include "arx/dbfiler.h"
#include "arx/dbsymtb.h"
#include "arx/dbtrans.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "cadInterface/CadApplication.h"
#include "db/dbCase.h"
#include "db/dbControl.h"
#include "db/dbDict.h"
#include "db/dbFiling.h"
#include "db/dbLbcSet.h"
#include "db/dbOpen.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcDescript.h"
#include "frame_support.h"
#include "mcad/amiapp.h"
#include "mfc/driver.h"
#include "store_sets_dump.h"
#include "test_env.h"
#include "util/acPost.h"

namespace {

const AttLbcDescriptTable& descriptors() {
  static const AttLbcDescriptTable table;
  return table;
}

// The first condition code of a descriptor kind.
AttType firstOfKind(int kind) {
  for (AttType type = 1; type <= 29; ++type)
    if (const AttLbcDescript* found = descriptors().Find(type); found && found->kind == kind) return type;
  return 0;
}

AcRxClass* registerStandIn(const char* name, AcRxPseudoConstructor make) {
  if (AcRxClass* found = acrxFindClass(name)) return found;
  AcDbEntity::desc();
  AcRxClass* made = newAcRxClass(name, "AcDbEntity", 23, 6, 0, make, name, "STANDIN");
  acrxBuildClassHierarchy();
  return made;
}

// Set to make the stand-ins' records unreadable, as a damaged drawing file would have them.
bool standInRecordsDamaged = false;

// A condition entity as far as the sets need one: a host entity that is an engine condition,
// files its type code and mirrors its erasure.
#define STAND_IN_CONDITION(CLASS, ENGINE, ...)                                                           \
  class CLASS : public AcDbEntity, public ENGINE {                                                       \
   public:                                                                                               \
    ACRX_DECLARE_MEMBERS(CLASS);                                                                         \
    CLASS() : CLASS(0) {}                                                                                \
    explicit CLASS(AttType type) : ENGINE(descriptors().Find(type), __VA_ARGS__) {}                      \
    Acad::ErrorStatus subErase(Adesk::Boolean erasing) override {                                        \
      if (erasing)                                                                                       \
        MarkAsErased();                                                                                  \
      else                                                                                               \
        MarkAsNotErased();                                                                               \
      return Acad::eOk;                                                                                  \
    }                                                                                                    \
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override {                                 \
      AcDbEntity::dwgOutFields(filer);                                                                   \
      if (dbFilerWritesFields(filer->filerType())) filer->writeInt16(static_cast<Adesk::Int16>(Type())); \
      return filer->filerStatus();                                                                       \
    }                                                                                                    \
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override {                                        \
      AcDbEntity::dwgInFields(filer);                                                                    \
      if (standInRecordsDamaged && filer->filerType() == AcDb::kFileFiler) return Acad::eFilerError;     \
      Adesk::Int16 type = 0;                                                                             \
      if (dbFilerReadsFields(filer->filerType()) && filer->readInt16(&type) == Acad::eOk)                \
        SetDescriptor(descriptors().Find(type));                                                         \
      return filer->filerStatus();                                                                       \
    }                                                                                                    \
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override {                                 \
      AcDbEntity::dxfOutFields(filer);                                                                   \
      filer->writeString(100, #CLASS);                                                                   \
      filer->writeInt16(70, static_cast<Adesk::Int16>(Type()));                                          \
      return filer->filerStatus();                                                                       \
    }                                                                                                    \
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override {                                        \
      AcDbEntity::dxfInFields(filer);                                                                    \
      Adesk::Int16 type = 0;                                                                             \
      if (dbReadDxfMarker(filer, #CLASS) && filer->readInt16(70, &type) == Acad::eOk)                    \
        SetDescriptor(descriptors().Find(type));                                                         \
      return filer->filerStatus();                                                                       \
    }                                                                                                    \
  };                                                                                                     \
  AcRxObject* make##CLASS() { return new (std::nothrow) CLASS(); }                                       \
  AcRxClass* CLASS::desc() { return registerStandIn(#CLASS, make##CLASS); }                              \
  AcRxClass* CLASS::isA() const { return desc(); }

STAND_IN_CONDITION(StandInLbcEnt, AttLbc, nullptr, nullptr, nullptr, nullptr)
STAND_IN_CONDITION(StandInModelLbcEnt, AttModelLbc, nullptr, nullptr, nullptr)
STAND_IN_CONDITION(StandInConvEnt, AttLbcConv, nullptr, 10.0, 293.0)

class StoreSetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    startFreshHostWithPartModeller();
    ASSERT_TRUE(acrxModuleAttach());
    ASSERT_TRUE(acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint)) << cadhost::printedText();
    StandInLbcEnt::desc();
    StandInModelLbcEnt::desc();
    StandInConvEnt::desc();
    loadType = firstOfKind(AttKindLoad);
    restraintType = firstOfKind(AttKindRestraint);
    modelLoadType = firstOfKind(AttKindModelLoad);
    ASSERT_NE(loadType * restraintType * modelLoadType, 0);
  }
  void TearDown() override {
    cadhost::shutdownHost();
    acrxModuleDetach();
    mcadResetServices();
    cadhost::clearInput();
    cadhost::clearPrintedText();
  }

  static AcApDocument* current() { return acDocManagerPtr()->curDocument(); }
  static AcDbDatabase* db() { return current()->database(); }
  static CaepAnlControl* control(AcApDocument* doc = nullptr) {
    return dbControlOf((doc ? doc : current())->database());
  }

  // Runs `body` inside one transaction of the current drawing, as every command does.
  static void inTransaction(const std::function<void()>& body) {
    AcDbTransactionManager* transactions = db()->transactionManager();
    transactions->startTransaction();
    try {
      body();
    } catch (...) {
      transactions->abortTransaction();
      throw;
    }
    transactions->endTransaction();
  }
  // Runs `body` as one command: one undo group around one transaction.
  static void asCommand(const std::function<void()>& body) {
    db()->beginUndoGroup("command");
    inTransaction(body);
    db()->endUndoGroup();
  }

  template <class T>
  static T* open(AcDbObjectId id) {
    AcDbObject* object = nullptr;
    EXPECT_EQ(db()->transactionManager()->getObject(object, id, AcDb::kForWrite, true), Acad::eOk);
    return dynamic_cast<T*>(object);
  }

  // Enters a set as the control does: under its name in its sub-dictionary, listed by kind.
  template <class Set>
  static AcDbObjectId addSet(const char* name) {
    AcDbDictionary* dictionary = nullptr;
    const bool load = std::is_same_v<Set, CaepLoadCaseObj>;
    EXPECT_EQ(load ? dbGetLoadCasesDict(dictionary) : dbGetRestraintCasesDict(dictionary), Acad::eOk);
    auto* set = new Set(CaeString(name));
    AcDbObjectId id;
    EXPECT_EQ(dictionary->setAt(name, set, id), Acad::eOk);
    set->close();
    dictionary->close();
    control()->RegisterId(load ? DbStoredKind::LoadCase : DbStoredKind::RestraintCase, id);
    return id;
  }
  // A stand-in condition added to the set through its engine side.
  template <class Entity = StandInLbcEnt>
  AcDbObjectId addMember(AcDbObjectId setId, AttType type = 0) {
    AcDbObjectId id;
    inTransaction([&] {
      auto* entity = new Entity(type ? type : loadType);
      open<CaepLbcSetObj>(setId)->AddLbc(entity);
      id = entity->objectId();
      EXPECT_EQ(entity->close(), Acad::eOk);
    });
    return id;
  }
  static void erase(AcDbObjectId id) {
    inTransaction([&] { ASSERT_EQ(open<AcDbObject>(id)->erase(), Acad::eOk); });
  }
  static AcDbObjectId addCase(const char* name, AnlResltType type = AnlResltModal) {
    auto* resultCase = new CaepAnlResultCase(CaeString(name));
    resultCase->Type(type);
    AcDbObjectId id;
    EXPECT_EQ(db()->addAcDbObject(id, resultCase), Acad::eOk);
    resultCase->close();
    return id;
  }
  static AcDbObjectId addEntry(AcDbObjectId caseId, AcDbObjectId setId, double scale, long entryId = 0) {
    AcDbObjectId id;
    inTransaction([&] {
      auto* resultCase = open<CaepAnlResultCase>(caseId);
      auto* set = open<CaepLbcSetObj>(setId);
      AnlLbcCase* entry = set->GetCategory() == AttLbcCase::kLoadSet ? resultCase->AddLoadCase(set, scale)
                                                                     : resultCase->AddBoundaryCase(set, scale);
      entry->Id(entryId);
      id = dynamic_cast<AcDbObject*>(entry)->objectId();
    });
    return id;
  }
  // The stored sets and cases, then the stand-in conditions' erased states.
  static std::string dump() {
    std::string text = dumpSetsAndCases(db());
    for (const AcDbObjectId& id : db()->objectIds(true)) {
      AcDbObject* object = nullptr;
      if (acdbOpenObject(object, id, AcDb::kForRead, true) != Acad::eOk) continue;
      if (dynamic_cast<AttBaseLbc*>(object))
        text += handle(id) + " condition" + (object->isErased() ? " erased" : "") + "\n";
      object->close();
    }
    return text;
  }
  // `text` without the lines of erased objects that `reference` does not hold: undoing an
  // addition leaves the added object erased in the drawing, referenced by nothing.
  static std::string withoutUndoneAdditions(const std::string& text, const std::string& reference) {
    std::string kept;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
      const std::string line = text.substr(start, end + 1 - start);
      const std::string handle = line.substr(0, line.find(' ') + 1);
      const bool known = reference.rfind(handle, 0) == 0 || reference.find("\n" + handle) != std::string::npos;
      if (known || line.find(" erased") == std::string::npos) kept += line;
    }
    return kept;
  }
  static std::string ownerOf(AcDbObjectId id) {
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForRead, true), Acad::eOk);
    const std::string owner = handle(object->ownerId());
    object->close();
    return owner;
  }
  static std::string handle(AcDbObjectId id) { return id.handle().text(); }
  static AcDbObjectId byHandle(AcDbDatabase* database, const std::string& handle) {
    AcDbObjectId id;
    database->getAcDbObjectId(id, false, AcDbHandle(std::stoull(handle, nullptr, 16)));
    return id;
  }
  static bool noDuplicates(const std::vector<AcDbObjectId>& ids) {
    return std::set<AcDbObjectId>(ids.begin(), ids.end()).size() == ids.size();
  }

  // The drawing most tests start from: a load set of three members (the second deleted), a
  // restraint set of one, and a case with two load entries and one restraint entry.
  struct Fixture {
    AcDbObjectId loads, restraints, members[3], restraint, resultCase, entries[3];
  };
  Fixture build() {
    Fixture f;
    f.loads = addSet<CaepLoadCaseObj>("Loads");
    f.restraints = addSet<CaepRestraintCaseObj>("Fixed");
    for (AcDbObjectId& member : f.members) member = addMember(f.loads);
    erase(f.members[1]);
    f.restraint = addMember(f.restraints, restraintType);
    f.resultCase = addCase("Case1");
    f.entries[0] = addEntry(f.resultCase, f.loads, 1.5, -3);
    f.entries[1] = addEntry(f.resultCase, f.loads, 0.1 + 0.2, 32767);
    f.entries[2] = addEntry(f.resultCase, f.restraints, 1.0, -32768);
    return f;
  }

  AttType loadType = 0, restraintType = 0, modelLoadType = 0;
  RecordingDriver driver;
  mfc::ScopedUserDriver scopedDriver{&driver};
  kestrum::test::TempDir dir;
};

// ---- records written by hand ------------------------------------------------------------------

// A filer holding the host part of `id` as a drawing file writes it, ready for the class fields.
std::unique_ptr<AcDbDwgFiler> hostPartOf(AcDbObjectId id) {
  AcDbObject* object = nullptr;
  EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForRead, true), Acad::eOk);
  auto filer = std::make_unique<AcDbDwgFiler>(AcDb::kFileFiler, object->database());
  object->AcDbObject::dwgOutFields(filer.get());
  object->close();
  return filer;
}

struct SetBytes {
  int version = 630;
  std::string name = "Hand";
  std::optional<int> count;  // the number of ids when not given
  std::vector<AcDbObjectId> ids;
};
std::string setRecord(AcDbObjectId id, const SetBytes& fields) {
  auto filer = hostPartOf(id);
  filer->writeUInt16(static_cast<Adesk::UInt16>(fields.version));
  filer->writeString(fields.name);
  filer->writeInt32(fields.count.value_or(static_cast<int>(fields.ids.size())));
  for (const AcDbObjectId& member : fields.ids) filer->writeSoftPointerId(member);
  return filer->takeBuffer();
}

struct EntryBytes {
  int version = 630;
  int id = -2;
  double scale = 2.5;
  int category = 0;
  AcDbObjectId set;
};
std::string entryRecord(AcDbObjectId id, const EntryBytes& fields) {
  auto filer = hostPartOf(id);
  filer->writeUInt16(static_cast<Adesk::UInt16>(fields.version));
  filer->writeInt16(static_cast<Adesk::Int16>(fields.id));
  filer->writeDouble(fields.scale);
  filer->writeInt16(static_cast<Adesk::Int16>(fields.category));
  filer->writeSoftPointerId(fields.set);
  return filer->takeBuffer();
}

struct CaseBytes {
  int version = 630;
  std::string name = "HandCase";
  int type = 2;
  int loadCount = -1;
  std::vector<AcDbObjectId> loads, restraints;
};
std::string caseRecord(AcDbObjectId id, const CaseBytes& fields) {
  auto filer = hostPartOf(id);
  filer->writeUInt16(static_cast<Adesk::UInt16>(fields.version));
  filer->writeString(fields.name);
  filer->writeInt16(static_cast<Adesk::Int16>(fields.type));
  filer->writeInt32(fields.loadCount >= 0 ? fields.loadCount : static_cast<int>(fields.loads.size()));
  for (const AcDbObjectId& entry : fields.loads) filer->writeHardOwnershipId(entry);
  filer->writeInt32(static_cast<int>(fields.restraints.size()));
  for (const AcDbObjectId& entry : fields.restraints) filer->writeHardOwnershipId(entry);
  return filer->takeBuffer();
}

Acad::ErrorStatus readRecord(AcDbObjectId id, AcDb::FilerType type, const std::string& bytes) {
  AcDbObject* object = nullptr;
  EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForWrite, true), Acad::eOk);
  AcDbDwgFiler filer(type, object->database(), bytes);
  const Acad::ErrorStatus status = object->dwgInFields(&filer);
  object->close();
  return status;
}

std::string writeRecord(AcDbObjectId id, AcDb::FilerType type, Acad::ErrorStatus* status = nullptr) {
  AcDbObject* object = nullptr;
  EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForRead, true), Acad::eOk);
  AcDbDwgFiler filer(type, object->database());
  const Acad::ErrorStatus written = object->dwgOutFields(&filer);
  if (status) *status = written;
  object->close();
  return std::string(filer.buffer());
}

std::string dumpOf(AcDbObjectId id) {
  AcDbObject* object = nullptr;
  EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForRead, true), Acad::eOk);
  std::string text;
  if (auto* set = dynamic_cast<CaepLbcSetObj*>(object)) text = dumpLbcSet(*set);
  if (auto* entry = CaepAnlLbcCase::cast(object)) text = dumpAnlLbcCase(*entry);
  if (auto* resultCase = CaepAnlResultCase::cast(object)) text = dumpAnlResultCase(*resultCase);
  object->close();
  return text;
}

// ---- registration -----------------------------------------------------------------------------

TEST_F(StoreSetsTest, ClassesAreRegisteredAsTheHostFilesThemAndLeaveAtUnload) {
  struct Row {
    const char* name;
    const char* dxfName;
    AcRxClass* (*desc)();
  };
  const Row rows[] = {{"CaepLoadCaseObj", "DBLOADCASEOBJ", &CaepLoadCaseObj::desc},
                      {"CaepRestraintCaseObj", "DBRESTRAINTCASEOBJ", &CaepRestraintCaseObj::desc},
                      {"CaepAnlResultCase", "CAEPANLRESULTCASE", &CaepAnlResultCase::desc},
                      {"CaepAnlLbcCase", "CAEPANLLBCCASE", &CaepAnlLbcCase::desc}};
  for (const Row& row : rows) {
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
    // One object, deleted through the host's base: both parts go with one destructor.
    std::unique_ptr<AcRxObject> made(record->create());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->isA(), record);
  }
  // Deleting through the engine's base frees the same whole object.
  std::unique_ptr<AttLbcCase> set(new CaepRestraintCaseObj(CaeString("R")));
  EXPECT_EQ(set->GetCategory(), AttLbcCase::kRestraintSet);
  std::unique_ptr<AnlResltCase> resultCase(new CaepAnlResultCase(CaeString("C")));
  EXPECT_EQ(CaepLoadCaseObj().GetCategory(), AttLbcCase::kLoadSet);

  ASSERT_TRUE(acrxDynamicLinker->unloadModule("kestrum.arx")) << cadhost::printedText();
  for (const Row& row : rows) EXPECT_EQ(acrxFindClass(row.name), nullptr) << row.name;
}

// ---- filing -----------------------------------------------------------------------------------

TEST_F(StoreSetsTest, FilerTypesCarryTheFieldsOnlyWhereTheHostExpectsThem) {
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
  const Fixture f = build();
  const AcDbObjectId objects[] = {f.loads, f.restraints, f.resultCase, f.entries[0]};
  const std::string records[] = {setRecord(f.loads, {630, "Renamed", {}, {f.members[2]}}),
                                 setRecord(f.restraints, {630, "Renamed", {}, {}}),
                                 caseRecord(f.resultCase, {630, "Renamed", 0, -1, {f.entries[1]}, {}}),
                                 entryRecord(f.entries[0], {630, 9, 4.0, 0, f.loads})};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(dumpOf(objects[i]));
    const std::string hostOnly(hostPartOf(objects[i])->buffer());
    const std::string saved = writeRecord(objects[i], AcDb::kFileFiler);
    const std::string original = dumpOf(objects[i]);
    for (const Row& row : rows) {
      SCOPED_TRACE(row.type);
      Acad::ErrorStatus status = Acad::eNotThatKindOfClass;
      EXPECT_EQ(writeRecord(objects[i], row.type, &status).size() > hostOnly.size(), row.writes);
      EXPECT_EQ(status, Acad::eOk);
      EXPECT_EQ(readRecord(objects[i], row.type, records[i]), Acad::eOk);
      EXPECT_EQ(dumpOf(objects[i]) != original, row.reads) << dumpOf(objects[i]);
      ASSERT_EQ(readRecord(objects[i], AcDb::kFileFiler, saved), Acad::eOk);
      ASSERT_EQ(dumpOf(objects[i]), original);
    }
  }
}

TEST_F(StoreSetsTest, EveryStoredVersionReadsTheSameFields) {
  const Fixture f = build();
  for (int version : {100, 200, 300, 310, 600, 629, 630}) {
    SCOPED_TRACE(version);
    const std::string name = "V" + std::to_string(version);
    ASSERT_EQ(
        readRecord(f.loads, AcDb::kFileFiler, setRecord(f.loads, {version, name, {}, {f.members[2], f.members[0]}})),
        Acad::eOk);
    EXPECT_EQ(dumpOf(f.loads), handle(f.loads) + " CaepLoadCaseObj owner " + ownerOf(f.loads) + " name '" + name +
                                   "' category 0 members [" + handle(f.members[2]) + " " + handle(f.members[0]) + "]");
    // Case id and category are 16 bits, read back sign-extended.
    ASSERT_EQ(
        readRecord(f.entries[0], AcDb::kFileFiler, entryRecord(f.entries[0], {version, -2, 0.25, 1, f.restraints})),
        Acad::eOk);
    EXPECT_EQ(
        dumpOf(f.entries[0]),
        handle(f.entries[0]) + " CaepAnlLbcCase owner null id -2 scale 0.25 category 1 set " + handle(f.restraints));
    ASSERT_EQ(
        readRecord(f.resultCase, AcDb::kFileFiler,
                   caseRecord(f.resultCase, {version, name, 2, -1, {f.entries[1], f.entries[0]}, {f.entries[2]}})),
        Acad::eOk);
    EXPECT_EQ(dumpOf(f.resultCase), handle(f.resultCase) + " CaepAnlResultCase owner null name '" + name +
                                        "' type 2 loads [" + handle(f.entries[1]) + " " + handle(f.entries[0]) +
                                        "] restraints [" + handle(f.entries[2]) + "]");
  }
  // Reading again replaced the lists every time, and the set is listed once.
  EXPECT_EQ(control()->Ids(DbStoredKind::LoadCase), std::vector<AcDbObjectId>{f.loads});
}

TEST_F(StoreSetsTest, DrawingFilesKeepEveryFieldAndTheSetsRegisterWithTheOpenedDrawing) {
  const Fixture f = build();
  const std::string before = dump();
  ASSERT_EQ(std::count(before.begin(), before.end(), '\n'), 10);  // 2 sets, 1 case, 3 entries, 4 conditions
  const std::string loads = handle(f.loads), restraints = handle(f.restraints), resultCase = handle(f.resultCase);
  AcApDocument* original = current();
  const std::string path = (dir / "a.dwg").string();
  ASSERT_EQ(acDocManagerPtr()->saveDocument(original, path, true), Acad::eOk) << cadhost::printedText();
  acDocManagerPtr()->newDocument();
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(original));

  cadhost::clearPrintedText();
  AcApDocument* opened = acDocManagerPtr()->openDocument(path);
  ASSERT_NE(opened, nullptr) << cadhost::printedText();
  ASSERT_EQ(current(), opened);
  EXPECT_EQ(cadhost::printedText().find("Skipped"), std::string::npos) << cadhost::printedText();
  EXPECT_EQ(cadhost::printedText().find("TLX"), std::string::npos) << cadhost::printedText();
  EXPECT_EQ(dump(), before);
  EXPECT_EQ(control()->Ids(DbStoredKind::LoadCase), std::vector<AcDbObjectId>{byHandle(db(), loads)});
  EXPECT_EQ(control()->Ids(DbStoredKind::RestraintCase), std::vector<AcDbObjectId>{byHandle(db(), restraints)});
  inTransaction([&] {
    auto* loadSet = open<CaepLoadCaseObj>(byHandle(db(), loads));
    EXPECT_EQ(loadSet->NumLbcs(), 3);
    EXPECT_EQ(loadSet->CountLbcs(0), 2);
    auto* stored = open<CaepAnlResultCase>(byHandle(db(), resultCase));
    ASSERT_NE(stored->FirstLbcCase(0), nullptr);
    EXPECT_EQ(stored->FirstLbcCase(0)->LbcCase(), static_cast<AttLbcCase*>(loadSet));
  });
}

TEST_F(StoreSetsTest, DxfKeepsEveryField) {
  const Fixture f = build();
  const std::string before = dump();
  const std::string member = handle(f.members[1]);
  AcApDocument* original = current();
  const std::string path = (dir / "b.dxf").string();
  ASSERT_EQ(original->database()->dxfOut(path), Acad::eOk);
  acDocManagerPtr()->newDocument();
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(original));

  cadhost::clearPrintedText();
  AcApDocument* opened = acDocManagerPtr()->openDocument(path, true);
  ASSERT_NE(opened, nullptr) << cadhost::printedText();
  EXPECT_EQ(cadhost::printedText().find("Skipped"), std::string::npos) << cadhost::printedText();
  EXPECT_EQ(cadhost::printedText().find("TLX"), std::string::npos) << cadhost::printedText();
  EXPECT_EQ(cadhost::printedText().find("dropped"), std::string::npos) << cadhost::printedText();
  // DXF carries no erased objects, so the deleted member leaves the list; the rest is the same.
  std::string expected = before;
  for (const std::string& gone : {" " + member, member + " condition erased\n"})
    expected.erase(expected.find(gone), gone.size());
  EXPECT_EQ(dump(), expected);
  EXPECT_EQ(control()->Ids(DbStoredKind::LoadCase).size(), 1u);
  EXPECT_EQ(control()->Ids(DbStoredKind::RestraintCase).size(), 1u);
}

// Each change runs as a command; UNDO and REDO give back the dumps from before and after, and a
// transaction abort of the same change leaves nothing of it.
TEST_F(StoreSetsTest, UndoRedoAndAbortRestoreEveryChange) {
  struct Row {
    const char* name;
    std::function<void(const Fixture&)> change;
  };
  const Row rows[] = {
      {"AddMember",
       [this](const Fixture& f) {
         auto* entity = new StandInLbcEnt(loadType);
         open<CaepLbcSetObj>(f.loads)->AddLbc(entity);
         entity->close();
       }},
      {"DeleteMember",
       [](const Fixture& f) {
         auto* loads = open<CaepLbcSetObj>(f.loads);
         loads->DeleteLbc(loads->GetLbc(3));
       }},
      {"RenameSet",
       [](const Fixture& f) { ASSERT_TRUE(open<CaepLbcSetObj>(f.restraints)->Rename(CaeString("Held"))); }},
      {"EraseSet", [](const Fixture& f) { ASSERT_EQ(open<AcDbObject>(f.loads)->erase(), Acad::eOk); }},
      {"AddSet", [](const Fixture&) { addSet<CaepRestraintCaseObj>("More"); }},
      {"NewSetThroughTheControl",
       [](const Fixture&) { ASSERT_NE(control()->NewLoadCase(CaeString("Snow")), nullptr); }},
      {"DeleteSetThroughTheControl", [](const Fixture& f) { control()->DeleteLoadCase(open<CaepLbcSetObj>(f.loads)); }},
      {"AddLoadEntry",
       [](const Fixture& f) { open<CaepAnlResultCase>(f.resultCase)->AddLoadCase(open<CaepLbcSetObj>(f.loads), 4.0); }},
      {"AddRestraintEntry",
       [](const Fixture& f) {
         open<CaepAnlResultCase>(f.resultCase)->AddBoundaryCase(open<CaepLbcSetObj>(f.restraints), 1.0);
       }},
      {"RemoveEntry",
       [](const Fixture& f) {
         auto* resultCase = open<CaepAnlResultCase>(f.resultCase);
         ASSERT_EQ(resultCase->RemoveLoadCase(resultCase->FirstLbcCase(0)), 1);
       }},
      {"EraseCase", [](const Fixture& f) { ASSERT_EQ(open<AcDbObject>(f.resultCase)->erase(), Acad::eOk); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    acDocManagerPtr()->newDocument();
    const Fixture f = build();
    const std::string before = dump();
    asCommand([&] { row.change(f); });
    const std::string after = dump();
    ASSERT_NE(after, before);
    ASSERT_EQ(db()->undo(1), 1);
    EXPECT_EQ(withoutUndoneAdditions(dump(), before), before);
    ASSERT_TRUE(db()->redo());
    EXPECT_EQ(dump(), after);
    ASSERT_EQ(db()->undo(1), 1);
    EXPECT_EQ(withoutUndoneAdditions(dump(), before), before);

    AcDbTransactionManager* transactions = db()->transactionManager();
    transactions->startTransaction();
    row.change(f);
    transactions->abortTransaction();
    EXPECT_EQ(withoutUndoneAdditions(dump(), before), before);
    for (DbStoredKind kind : {DbStoredKind::LoadCase, DbStoredKind::RestraintCase})
      EXPECT_TRUE(noDuplicates(control()->Ids(kind)));
  }
}

TEST_F(StoreSetsTest, DeletingASetErasesItsMembersAndUndoBringsAllBack) {
  const Fixture f = build();
  const std::string before = dump();
  const std::vector<std::string> groups = db()->undoGroupNames();
  asCommand([&] { ASSERT_EQ(open<AcDbObject>(f.loads)->erase(), Acad::eOk); });
  inTransaction([&] {
    for (AcDbObjectId member : f.members) EXPECT_TRUE(open<AcDbObject>(member)->isErased());
    EXPECT_TRUE(open<CaepLbcSetObj>(f.loads)->IsErased());
    EXPECT_FALSE(open<AcDbObject>(f.restraint)->isErased());
  });
  const std::string erased = dump();
  const std::vector<std::string> withErase = db()->undoGroupNames();
  ASSERT_EQ(withErase.size(), groups.size() + 1);
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(db()->undo(1), 1);
    EXPECT_EQ(dump(), before);
    inTransaction([&] {
      EXPECT_FALSE(open<AcDbObject>(f.members[0])->isErased());
      EXPECT_TRUE(open<AcDbObject>(f.members[1])->isErased());  // deleted before the set
      EXPECT_FALSE(open<CaepLbcSetObj>(f.loads)->IsErased());
    });
    ASSERT_TRUE(db()->redo());
    EXPECT_EQ(dump(), erased);
    // The cascade replayed by UNDO and REDO records nothing of its own.
    EXPECT_EQ(db()->undoGroupNames(), withErase);
  }
  // Un-erasing the set alone restores only the set.
  inTransaction([&] { ASSERT_EQ(open<AcDbObject>(f.loads)->erase(false), Acad::eOk); });
  inTransaction([&] {
    EXPECT_FALSE(open<CaepLbcSetObj>(f.loads)->IsErased());
    EXPECT_TRUE(open<AcDbObject>(f.members[0])->isErased());
  });
}

// An aborted transaction gives the drawing back its erased state without calling subErase; the
// set's erased test through its engine base must follow the drawing, not a stale mark.
TEST_F(StoreSetsTest, ErasedTestThroughTheEngineBaseFollowsAnAbortedErase) {
  const Fixture f = build();
  AcDbTransactionManager* transactions = db()->transactionManager();
  transactions->startTransaction();
  AttLbcCase* held = open<CaepLbcSetObj>(f.loads);
  ASSERT_EQ(open<AcDbObject>(f.loads)->erase(), Acad::eOk);
  transactions->abortTransaction();
  // A walk that kept the pointer asks without opening the set again: it answers from the drawing.
  EXPECT_FALSE(held->IsErased());
  inTransaction([&] {
    AttLbcCase* set = open<CaepLbcSetObj>(f.loads);
    EXPECT_FALSE(set->IsErased());
    EXPECT_FALSE(set->IsMarkedAsErased());
    // The control's walk, which tests the engine's mark, reaches it again.
    EXPECT_EQ(control()->FirstLoadCase(), set);
    EXPECT_EQ(control()->NumLoadCases(), 1);
    // The case's walk reaches the set again.
    auto* resultCase = open<CaepAnlResultCase>(f.resultCase);
    AnlLbcCase* entry = resultCase->FirstLbcCase(0);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->LbcCase(), set);
  });
  // An aborted removal of an entry leaves the entry in the walk.
  transactions->startTransaction();
  {
    auto* resultCase = open<CaepAnlResultCase>(f.resultCase);
    ASSERT_EQ(resultCase->RemoveLoadCase(resultCase->FirstLbcCase(0)), 1);
  }
  transactions->abortTransaction();
  inTransaction([&] {
    auto* resultCase = open<CaepAnlResultCase>(f.resultCase);
    int walked = 0;
    for (AnlLbcCase* entry = resultCase->FirstLbcCase(0); entry; entry = resultCase->NextLbcCase()) ++walked;
    EXPECT_EQ(walked, 2);
  });
}

TEST_F(StoreSetsTest, DamagedRecordsAreRefusedOrRepairedAndReported) {
  const Fixture f = build();
  struct Row {
    const char* name;
    AcDbObjectId id;
    std::string bytes;
    Acad::ErrorStatus status;
    const char* printed;  // part of the command-line text
    const char* dumped;   // part of the dump afterwards ("" when the read is refused)
  };
  const std::string loadsLabel = "CaepLoadCaseObj " + handle(f.loads);
  const std::string caseLabel = "CaepAnlResultCase " + handle(f.resultCase);
  std::string truncated = setRecord(f.loads, {630, "Cut", {}, {f.members[0], f.members[2]}});
  truncated.resize(truncated.size() - 3);
  const Row rows[] = {
      {"CountBeyondTheIds", f.loads, setRecord(f.loads, {630, "Short", 3, {f.members[0]}}), Acad::eFilerError,
       "\nTLX Exception: General Error in", ""},
      {"NegativeCount", f.loads, setRecord(f.loads, {630, "Short", -1, {}}), Acad::eFilerError,
       "\nTLX Exception: General Error in", ""},
      {"CountAboveAnyRealSet", f.loads, setRecord(f.loads, {630, "Short", 0x7fffffff, {}}), Acad::eFilerError,
       "\nTLX Exception: General Error in", ""},
      {"TruncatedId", f.loads, truncated, Acad::eFilerError, "\nTLX Exception: General Error in", ""},
      {"NullMemberIds", f.loads, setRecord(f.loads, {630, "Kept", {}, {AcDbObjectId(), f.members[2], AcDbObjectId()}}),
       Acad::eOk, "2 member id(s) name no object; they are dropped", "name 'Kept' category 0 members [14]"},
      {"EmptySetName", f.loads, setRecord(f.loads, {630, "", {}, {f.members[0]}}), Acad::eOk,
       "the set has no name; it is named Drawing1_LS", "name 'Drawing1_LS' category 0 members [12]"},
      {"CaseCountBeyondTheIds", f.resultCase, caseRecord(f.resultCase, {630, "C", 1, 5, {f.entries[0]}, {}}),
       Acad::eFilerError, "\nTLX Exception: General Error in", ""},
      {"UnknownCaseType", f.resultCase, caseRecord(f.resultCase, {630, "C", 9, -1, {}, {}}), Acad::eFilerError,
       "\nTLX Exception: General Error in", ""},
      {"NullEntryIds", f.resultCase,
       caseRecord(f.resultCase, {630, "C", 0, -1, {AcDbObjectId(), f.entries[1]}, {AcDbObjectId()}}), Acad::eOk,
       "2 entry id(s) name no object; they are dropped", "name 'C' type 0 loads [18] restraints []"},
      {"EmptyCaseName", f.resultCase, caseRecord(f.resultCase, {630, "", 0, -1, {}, {}}), Acad::eOk,
       "the case has no name; it is named Case_16", "name 'Case_16'"},
      {"CategoryOutOfRange", f.entries[0], entryRecord(f.entries[0], {630, 1, 1.0, 2, f.loads}), Acad::eFilerError,
       "\nTLX Exception: General Error in", ""},
      {"NegativeCategory", f.entries[0], entryRecord(f.entries[0], {630, 1, 1.0, -1, f.loads}), Acad::eFilerError,
       "\nTLX Exception: General Error in", ""},
      {"ScaleNotFinite", f.entries[0],
       entryRecord(f.entries[0], {630, 1, std::numeric_limits<double>::quiet_NaN(), 0, f.loads}), Acad::eFilerError,
       "\nTLX Exception: General Error in", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string saved = writeRecord(row.id, AcDb::kFileFiler);
    cadhost::clearPrintedText();
    EXPECT_EQ(readRecord(row.id, AcDb::kFileFiler, row.bytes), row.status);
    EXPECT_NE(cadhost::printedText().find(row.printed), std::string::npos) << cadhost::printedText();
    if (*row.dumped) {
      EXPECT_NE(dumpOf(row.id).find(row.dumped), std::string::npos) << dumpOf(row.id);
      // The repaired object writes and reads back as it is.
      const std::string repaired = dumpOf(row.id);
      ASSERT_EQ(readRecord(row.id, AcDb::kFileFiler, writeRecord(row.id, AcDb::kFileFiler)), Acad::eOk);
      EXPECT_EQ(dumpOf(row.id), repaired);
    }
    // Messages name the object by class and handle.
    if (row.status == Acad::eOk) {
      EXPECT_NE(cadhost::printedText().find(row.id == f.loads ? loadsLabel : caseLabel), std::string::npos);
    }
    ASSERT_EQ(readRecord(row.id, AcDb::kFileFiler, saved), Acad::eOk);
  }
  EXPECT_EQ(control()->Ids(DbStoredKind::LoadCase), std::vector<AcDbObjectId>{f.loads});
}

// An object removed by an aborted transaction, or whose record was skipped on OPEN, opens with
// status 82 for ever: the sets and cases treat such ids as erased members.
TEST_F(StoreSetsTest, IdsThatNeverOpenAreTreatedAsErasedMembers) {
  const Fixture f = build();
  AcDbObjectId gone, goneEntry;
  AcDbTransactionManager* transactions = db()->transactionManager();
  transactions->startTransaction();
  {
    auto* entity = new StandInLbcEnt(loadType);
    acPostToModelSpace(entity, gone, 1);
    auto* entry = new CaepAnlLbcCase(open<CaepLbcSetObj>(f.loads), 3.0, 0);
    ASSERT_EQ(db()->addAcDbObject(goneEntry, entry), Acad::eOk);
    entry->close();
  }
  transactions->abortTransaction();
  AcDbObject* probe = nullptr;
  ASSERT_EQ(acdbOpenObject(probe, gone, AcDb::kForRead, true), Acad::ePermanentlyErased);

  ASSERT_EQ(
      readRecord(f.loads, AcDb::kFileFiler, setRecord(f.loads, {630, "Loads", {}, {f.members[0], gone, f.members[2]}})),
      Acad::eOk);
  ASSERT_EQ(readRecord(f.resultCase, AcDb::kFileFiler,
                       caseRecord(f.resultCase, {630, "Case1", 1, -1, {goneEntry, f.entries[0]}, {f.entries[2]}})),
            Acad::eOk);
  inTransaction([&] {
    auto* loads = open<CaepLoadCaseObj>(f.loads);
    EXPECT_EQ(loads->NumLbcs(), 3);
    EXPECT_EQ(loads->CountLbcs(0), 2);
    EXPECT_EQ(loads->CountLbcs(1), 2);
    EXPECT_EQ(loads->GetLbc(2), nullptr);
    EXPECT_EQ(loads->LiveLbc(2), dynamic_cast<AttBaseLbc*>(open<AcDbObject>(f.members[2])));
    int walked = 0;
    for (AttBaseLbc* lbc = loads->FirstLbc(); lbc; lbc = loads->NextLbc()) ++walked;
    EXPECT_EQ(walked, 2);
    loads->RedrawConditions();
    cadhost::clearPrintedText();
    loads->Reconcile();
    const std::string printed = cadhost::printedText();
    const std::string named = "member " + handle(gone) + " no longer exists";
    ASSERT_NE(printed.find(named), std::string::npos) << printed;
    EXPECT_EQ(printed.find(named, printed.find(named) + 1), std::string::npos) << printed;

    auto* resultCase = open<CaepAnlResultCase>(f.resultCase);
    EXPECT_EQ(resultCase->NumLoadCase(), 1);
    ASSERT_NE(resultCase->FirstLbcCase(0), nullptr);
    EXPECT_EQ(dynamic_cast<AcDbObject*>(resultCase->FirstLbcCase(0))->objectId(), f.entries[0]);
    EXPECT_EQ(resultCase->NextLbcCase(), nullptr);
    resultCase->TouchEntries();
  });
  // Erasing the set passes over the member that is gone and erases the others.
  cadhost::clearPrintedText();
  erase(f.loads);
  EXPECT_EQ(cadhost::printedText().find("TLX"), std::string::npos) << cadhost::printedText();
  inTransaction([&] { EXPECT_TRUE(open<AcDbObject>(f.members[2])->isErased()); });
  // Saving writes the ids as they are listed, and the drawing reopens.
  const std::string path = (dir / "gone.dwg").string();
  EXPECT_EQ(acDocManagerPtr()->saveDocument(current(), path, true), Acad::eOk) << cadhost::printedText();
}

TEST_F(StoreSetsTest, SetOperationsCountAndWalkLiveMembersAndKeepErasedOnesListed) {
  const Fixture f = build();
  inTransaction([&] {
    auto* loads = open<CaepLoadCaseObj>(f.loads);
    auto member = [&](int i) { return dynamic_cast<AttBaseLbc*>(open<AcDbObject>(f.members[i])); };
    EXPECT_EQ(loads->NumLbcs(), 3);
    EXPECT_EQ(loads->CountLbcs(0), 2);
    EXPECT_EQ(loads->CountLbcs(1), 2);
    std::vector<AttBaseLbc*> walked;
    for (AttBaseLbc* lbc = loads->FirstLbc(); lbc; lbc = loads->NextLbc()) walked.push_back(lbc);
    EXPECT_EQ(walked, (std::vector<AttBaseLbc*>{member(0), member(2)}));
    EXPECT_EQ(loads->GetLbc(2), member(1));
    EXPECT_EQ(loads->LiveLbc(1), member(0));
    EXPECT_EQ(loads->LiveLbc(2), member(2));
    for (int refused : {0, 4}) EXPECT_THROW(loads->GetLbc(refused), CaeExcept) << refused;
    for (int refused : {0, 3}) EXPECT_THROW(loads->LiveLbc(refused), CaeExcept) << refused;
    EXPECT_THROW(loads->AddLbc(nullptr), CaeExcept);
    EXPECT_THROW(loads->DeleteLbc(nullptr), CaeExcept);
    // A restraint goes on layer "CAE_LBC" exactly as a load does.
    for (AcDbObjectId id : {f.members[0], f.restraint})
      EXPECT_EQ(AcDbEntity::cast(open<AcDbObject>(id))->layer(), "CAE_LBC");
    // Redrawing marks every member, erased ones included, and changes no field; the control
    // redraws a set as it becomes current.
    const std::string before = dump();
    auto clearMarks = [&] {
      for (AcDbObjectId id : f.members) AcDbEntity::cast(open<AcDbObject>(id))->clearGraphicsModified();
    };
    auto marked = [&] {
      int count = 0;
      for (AcDbObjectId id : f.members) count += AcDbEntity::cast(open<AcDbObject>(id))->isGraphicsModified();
      return count;
    };
    clearMarks();
    loads->RedrawConditions();
    EXPECT_EQ(marked(), 3);
    EXPECT_EQ(dump(), before);
    clearMarks();
    control()->SetCurrentLoadCase(loads);
    EXPECT_EQ(marked(), 3);
    EXPECT_EQ(control()->CurrentLoadCase(), static_cast<AttLbcCase*>(loads));
  });
  // Model-level conditions: the live one of the type, never a deleted one.
  const AcDbObjectId deletedModelLoad = addMember<StandInModelLbcEnt>(f.loads, modelLoadType);
  erase(deletedModelLoad);
  inTransaction([&] { EXPECT_EQ(open<CaepLoadCaseObj>(f.loads)->GetModelLbc(modelLoadType), nullptr); });
  const AcDbObjectId liveModelLoad = addMember<StandInModelLbcEnt>(f.loads, modelLoadType);
  inTransaction([&] {
    EXPECT_EQ(open<CaepLoadCaseObj>(f.loads)->GetModelLbc(modelLoadType),
              dynamic_cast<AttBaseLbc*>(open<AcDbObject>(liveModelLoad)));
    EXPECT_EQ(open<CaepLoadCaseObj>(f.loads)->GetModelLbc(loadType), nullptr);
    // A restraint set has no model-level conditions.
    EXPECT_EQ(open<CaepRestraintCaseObj>(f.restraints)->GetModelLbc(modelLoadType), nullptr);
  });
  // Deleting a member erases its entity and keeps it listed.
  inTransaction([&] {
    auto* loads = open<CaepLoadCaseObj>(f.loads);
    loads->DeleteLbc(loads->GetLbc(1));
    EXPECT_EQ(loads->NumLbcs(), 5);
    EXPECT_EQ(loads->CountLbcs(0), 2);
    EXPECT_TRUE(open<AcDbObject>(f.members[0])->isErased());
  });
}

TEST_F(StoreSetsTest, CaseOperationsCountLiveEntriesAndWalkThoseWhoseSetIsLeft) {
  const Fixture f = build();
  const AcDbObjectId otherCase = addCase("Other");
  const AcDbObjectId otherEntry = addEntry(otherCase, f.loads, 1.0);
  inTransaction([&] {
    auto* resultCase = open<CaepAnlResultCase>(f.resultCase);
    EXPECT_EQ(resultCase->NumLoadCase(), 2);
    EXPECT_EQ(resultCase->NumBoundaryCase(), 1);
    std::vector<double> scales;
    for (AnlLbcCase* entry = resultCase->FirstLbcCase(0); entry; entry = resultCase->NextLbcCase())
      scales.push_back(entry->Scale());
    EXPECT_EQ(scales, (std::vector<double>{1.5, 0.1 + 0.2}));
    // Any kind other than 0 walks the restraint entries.
    for (int kind : {1, 2}) {
      AnlLbcCase* entry = resultCase->FirstLbcCase(kind);
      ASSERT_NE(entry, nullptr);
      EXPECT_EQ(entry->LbcCase(), static_cast<AttLbcCase*>(open<CaepLbcSetObj>(f.restraints)));
      EXPECT_EQ(resultCase->NextLbcCase(), nullptr);
    }
    // Entries of another case, or of the other kind, are not removed.
    EXPECT_EQ(resultCase->RemoveLoadCase(open<CaepAnlLbcCase>(otherEntry)), 0);
    EXPECT_EQ(resultCase->RemoveBoundaryCase(open<CaepAnlLbcCase>(f.entries[0])), 0);
    EXPECT_THROW(resultCase->RemoveLoadCase(nullptr), CaeExcept);
    EXPECT_THROW(resultCase->AddLoadCase(nullptr, 1.0), CaeExcept);
    ASSERT_EQ(resultCase->RemoveLoadCase(open<CaepAnlLbcCase>(f.entries[0])), 1);
    EXPECT_EQ(resultCase->NumLoadCase(), 1);
    EXPECT_EQ(resultCase->LoadEntryIds().length(), 2);
    EXPECT_EQ(resultCase->FirstLbcCase(0)->Scale(), 0.1 + 0.2);
  });
  // An entry whose set was deleted reaches no set and leaves the walk, but is still counted.
  erase(f.restraints);
  inTransaction([&] {
    auto* resultCase = open<CaepAnlResultCase>(f.resultCase);
    EXPECT_EQ(open<CaepAnlLbcCase>(f.entries[2])->LbcCase(), nullptr);
    EXPECT_EQ(resultCase->NumBoundaryCase(), 1);
    EXPECT_EQ(resultCase->FirstLbcCase(1), nullptr);
    // Erasing a case leaves its entries; erasing an entry leaves its set.
    ASSERT_EQ(open<AcDbObject>(otherCase)->erase(), Acad::eOk);
    EXPECT_FALSE(open<AcDbObject>(otherEntry)->isErased());
    EXPECT_FALSE(open<CaepLbcSetObj>(f.loads)->IsErased());
  });
}

TEST_F(StoreSetsTest, ReconcileRestoresMembersByTheirEngineClassAndStopsAtAnEmptyName) {
  struct Route {
    const char* name;
    std::function<AttBaseLbc*()> make;
    DbLbcRoute load;
  };
  const Route routes[] = {
      {"Lbc", [&] { return new StandInLbcEnt(loadType); }, DbLbcRoute::Lbc},
      {"ModelLbc", [&] { return new StandInModelLbcEnt(modelLoadType); }, DbLbcRoute::ModelLbc},
      {"Convection", [&] { return new StandInConvEnt(loadType); }, DbLbcRoute::Convection},
  };
  for (const Route& route : routes) {
    SCOPED_TRACE(route.name);
    std::unique_ptr<AttBaseLbc> condition(route.make());
    EXPECT_EQ(dbLbcRouteOf(condition.get(), AttLbcCase::kLoadSet), route.load);
    EXPECT_EQ(dbLbcRouteOf(condition.get(), AttLbcCase::kRestraintSet), DbLbcRoute::Lbc);
  }
  const Fixture f = build();
  inTransaction([&] {
    auto* loads = open<CaepLoadCaseObj>(f.loads);
    for (int i = 1; i <= loads->NumLbcs(); ++i) loads->GetLbc(i)->MarkAsCurrent();
    cadhost::clearPrintedText();
    loads->Reconcile();
    EXPECT_EQ(cadhost::printedText(), "");
    for (int i = 1; i <= loads->NumLbcs(); ++i) EXPECT_FALSE(loads->GetLbc(i)->IsMarkedAsCurrent()) << i;
    // A set without a name ends its pass with the text printed; nothing escapes.
    for (int i = 1; i <= loads->NumLbcs(); ++i) loads->GetLbc(i)->MarkAsCurrent();
    loads->Name(CaeString());
    EXPECT_NO_THROW(loads->Reconcile());
    EXPECT_NE(cadhost::printedText().find("\nGeneral Error in"), std::string::npos) << cadhost::printedText();
    EXPECT_TRUE(loads->GetLbc(1)->IsMarkedAsCurrent());
  });
}

TEST_F(StoreSetsTest, RenameReKeysTheDictionaryEntryAndRefusesBadNames) {
  const Fixture f = build();
  const AcDbObjectId other = addSet<CaepLoadCaseObj>("Other");
  auto keyOf = [&](AcDbObjectId id) {
    AcDbDictionary* dictionary = nullptr;
    EXPECT_EQ(dbGetLoadCasesDict(dictionary), Acad::eOk);
    std::string key;
    dictionary->nameAt(id, key);
    dictionary->close();
    return key;
  };
  struct Row {
    const char* name;
    std::string newName;
    bool renamed;
    const char* printed;
  };
  const Row rows[] = {
      {"Empty", "", false, "A load set needs a name."},
      {"TooLong", std::string(256, 'a'), false, "may have at most 255 characters"},
      {"TakenIgnoringCase", "OTHER", false, "A load set named \"OTHER\" already exists."},
      {"NameOfARestraintSet", "Fixed", true, ""},
      {"LongestName", std::string(255, 'b'), true, ""},
      {"Free", "Wind", true, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string before = keyOf(f.loads);
    std::string name;
    cadhost::clearPrintedText();
    inTransaction([&] {
      auto* loads = open<CaepLbcSetObj>(f.loads);
      EXPECT_EQ(loads->Rename(CaeString(row.newName.c_str())), row.renamed);
      name = loads->GetName().Text();
    });
    EXPECT_EQ(name, row.renamed ? row.newName : before);
    EXPECT_EQ(keyOf(f.loads), row.renamed ? row.newName : before);
    EXPECT_NE(cadhost::printedText().find(row.printed), std::string::npos) << cadhost::printedText();
  }
  EXPECT_EQ(keyOf(other), "Other");
  // An erased set gives up its name.
  erase(other);
  inTransaction([&] { EXPECT_TRUE(open<CaepLbcSetObj>(f.loads)->Rename(CaeString("other"))); });
}

TEST_F(StoreSetsTest, FailingWritesAnswerTheFilerErrorAndSayWhy) {
  const Fixture f = build();
  struct Row {
    AcDbObjectId id;
    long calls;  // the class's own filer calls after the host part's one
  };
  const Row rows[] = {{f.loads, 3 + 3}, {f.resultCase, 4 + 3}, {f.entries[0], 5}};
  for (const Row& row : rows) {
    for (long failAt = 2; failAt <= 1 + row.calls; ++failAt) {
      SCOPED_TRACE(dumpOf(row.id) + " call " + std::to_string(failAt));
      AcDbObject* object = nullptr;
      ASSERT_EQ(acdbOpenObject(object, row.id, AcDb::kForRead), Acad::eOk);
      AcDbDwgFiler filer(AcDb::kFileFiler, db());
      filer.setFailAt(failAt);
      cadhost::clearPrintedText();
      EXPECT_EQ(object->dwgOutFields(&filer), Acad::eFilerError);
      object->close();
      EXPECT_NE(cadhost::printedText().find("\nTLX Exception: General Error in"), std::string::npos)
          << cadhost::printedText();
    }
  }
  // A case without a name cannot be written, so the drawing is not saved and the old file stays.
  const std::string path = (dir / "unnamed.dwg").string();
  ASSERT_EQ(acDocManagerPtr()->saveDocument(current(), path, true), Acad::eOk);
  const std::string saved = kestrum::test::readFile(path);
  inTransaction([&] { open<CaepAnlResultCase>(f.resultCase)->Name(CaeString()); });
  cadhost::clearPrintedText();
  EXPECT_NE(acDocManagerPtr()->saveDocument(current(), path, true), Acad::eOk);
  EXPECT_NE(cadhost::printedText().find("\nTLX Exception: "), std::string::npos) << cadhost::printedText();
  EXPECT_EQ(kestrum::test::readFile(path), saved);
}

TEST_F(StoreSetsTest, NewMakesANamedSetInTheDrawingOrNothingAtAll) {
  addSet<CaepLoadCaseObj>("Existing");
  struct Row {
    const char* name;
    std::string setName;
    bool restraint;
    const char* printed;  // empty when the set is made
  };
  const Row rows[] = {
      {"Load", "Wind", false, ""},
      {"Restraint", "Clamp", true, ""},
      {"SameNameOtherKind", "Existing", true, ""},
      {"Empty", "", false, "A load set needs a name."},
      {"TooLong", std::string(256, 'x'), true, "may have at most 255 characters"},
      {"TakenIgnoringCase", "EXISTING", false, "already exists"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const int objects = db()->numObjects(true);
    const DbStoredKind kind = row.restraint ? DbStoredKind::RestraintCase : DbStoredKind::LoadCase;
    const std::size_t listed = control()->Ids(kind).size();
    cadhost::clearPrintedText();
    AttLbcCase* made = nullptr;
    inTransaction([&] {
      const CaeString name(row.setName.c_str());
      made = row.restraint ? control()->NewRestraintCase(name) : control()->NewLoadCase(name);
    });
    if (*row.printed) {
      EXPECT_EQ(made, nullptr);
      EXPECT_NE(cadhost::printedText().find(row.printed), std::string::npos) << cadhost::printedText();
      EXPECT_EQ(db()->numObjects(true), objects);
      EXPECT_EQ(control()->Ids(kind).size(), listed);
      continue;
    }
    ASSERT_NE(made, nullptr) << cadhost::printedText();
    auto* stored = dynamic_cast<CaepLbcSetObj*>(made);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->isA(), row.restraint ? CaepRestraintCaseObj::desc() : CaepLoadCaseObj::desc());
    EXPECT_EQ(made->GetName(), CaeString(row.setName.c_str()));
    EXPECT_EQ(control()->Ids(kind).back(), stored->objectId());
    AcDbDictionary* dictionary = nullptr;
    ASSERT_EQ(row.restraint ? dbGetRestraintCasesDict(dictionary) : dbGetLoadCasesDict(dictionary), Acad::eOk);
    AcDbObjectId entry;
    dictionary->getAt(row.setName.c_str(), entry);
    dictionary->close();
    EXPECT_EQ(entry, stored->objectId());
  }
}

// Members whose records are skipped on OPEN never open again: the set keeps the drawing, saves,
// and on the next OPEN the ids that name nothing are dropped with a message.
TEST_F(StoreSetsTest, MembersSkippedOnOpenArePassedOverAndTheSetSavesAndReopens) {
  const Fixture f = build();
  const std::string loads = handle(f.loads), resultCase = handle(f.resultCase);
  AcApDocument* original = current();
  const std::string path = (dir / "a.dwg").string(), again = (dir / "b.dwg").string();
  ASSERT_EQ(acDocManagerPtr()->saveDocument(original, path, true), Acad::eOk) << cadhost::printedText();
  acDocManagerPtr()->newDocument();
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(original));

  standInRecordsDamaged = true;
  cadhost::clearPrintedText();
  AcApDocument* opened = acDocManagerPtr()->openDocument(path);
  standInRecordsDamaged = false;
  ASSERT_NE(opened, nullptr) << cadhost::printedText();
  EXPECT_NE(cadhost::printedText().find("Skipped an object of class StandInLbcEnt"), std::string::npos)
      << cadhost::printedText();
  EXPECT_EQ(cadhost::printedText().find("TLX"), std::string::npos) << cadhost::printedText();
  inTransaction([&] {
    auto* set = open<CaepLoadCaseObj>(byHandle(db(), loads));
    EXPECT_EQ(set->NumLbcs(), 3);
    EXPECT_EQ(set->CountLbcs(0), 0);
    EXPECT_EQ(set->FirstLbc(), nullptr);
    cadhost::clearPrintedText();
    set->Reconcile();
    for (AcDbObjectId member : set->ConditionIds())
      EXPECT_NE(cadhost::printedText().find("member " + handle(member) + " no longer exists"), std::string::npos);
    // The case still walks its entries.
    EXPECT_EQ(open<CaepAnlResultCase>(byHandle(db(), resultCase))->NumLoadCase(), 2);
  });
  ASSERT_EQ(acDocManagerPtr()->saveDocument(opened, again, true), Acad::eOk) << cadhost::printedText();
  acDocManagerPtr()->newDocument();
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(opened));
  cadhost::clearPrintedText();
  ASSERT_NE(acDocManagerPtr()->openDocument(again), nullptr) << cadhost::printedText();
  EXPECT_NE(cadhost::printedText().find("CaepLoadCaseObj " + loads + ": 3 member id(s) name no object"),
            std::string::npos)
      << cadhost::printedText();
  EXPECT_NE(dump().find(loads + " CaepLoadCaseObj owner D name 'Loads' category 0 members []"), std::string::npos)
      << dump();
}

}  // namespace
