// Stored analysis models, sub-models, jobs and result sets with the add-in loaded into the host:
// registration, drawing files, DXF, undo and redo, transaction aborts, historic record versions,
// the filer-type matrix, damaged records, the erase cascades, the version-100 data-file
// relocation and the post-load material lookup.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CadInterface/AcCadEntry.h"
#include "amg/CaeConfig.h"
#include "amg/CaeCoordSys.h"
#include "amg/CaeEngine.h"
#include "amg/CaeExcept.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeTransform.h"
#include "amg/CaeUnit.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbdict.h"
#include "arx/dbdxffiler.h"
#include "arx/dbentity.h"
#include "arx/dbfiler.h"
#include "arx/dbtrans.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "cadInterface/CadInterface.h"
#include "db/dbControl.h"
#include "db/dbDict.h"
#include "db/dbFiling.h"
#include "db/dbJob.h"
#include "db/dbMatLib.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "db/dbResultSet.h"
#include "db/dbSubModel.h"
#include "fea/AmgMesh.h"
#include "frame_support.h"
#include "mcad/amiapp.h"
#include "store_drawing_build.h"
#include "store_dump.h"
#include "store_standins.h"
#include "test_env.h"

namespace fs = std::filesystem;

namespace {

// One command: an undo group and a transaction.
class Command {
 public:
  Command(AcDbDatabase* db, const char* name) : db_(db) {
    db_->beginUndoGroup(name);
    db_->transactionManager()->startTransaction();
  }
  ~Command() {
    db_->transactionManager()->endTransaction();
    db_->endUndoGroup();
  }

 private:
  AcDbDatabase* db_;
};

template <class T>
T* openForWrite(AcDbDatabase* db, AcDbObjectId id, bool erased = false) {
  return T::cast(dbOpenMember(db, id, AcDb::kForWrite, erased));
}

// A model made as the user interface makes it: through the drawing's control.
AcDbObjectId addModel(AcDbDatabase* db, const char* name, AnlType type) {
  DbTransaction transaction(db);
  auto* model = dynamic_cast<CaepAnlModelObj*>(dbControlOf(db)->NewAnlModel(CaeString(name), type));
  EXPECT_NE(model, nullptr) << name;
  return model ? model->objectId() : AcDbObjectId();
}

// Fills a model with two sub-models, a solver job, a constrained job and a result set.
void populate(AcDbDatabase* db, AcDbObjectId modelId, const fs::path& folder) {
  CaepAnlModelObj* model = openForWrite<CaepAnlModelObj>(db, modelId);
  model->SetId(7);
  model->SetMateRelTolerance(2.5e-4);
  CaepAnlSubModelObj* shell = storeAddSubModel(db, model, "");
  shell->AssignElement(DbElemDesc{CaeElemQuadratic, CaeShapeTri, CaeElemShell, 0}, 2.5);
  shell->AssignCoordSys(new CaeCoordSysCylindric(storePlacement(0.0)));
  auto* steel = new CaeMaterial(CaeString("Steel S275"));
  steel->AddProp(293.15, 7850, 2.1e11, 0.3, 2.75e8, 4.3e8, 53, 1.2e-5, 440);
  shell->AssignMaterial(steel);
  CaepAnlSubModelObj* solid = storeAddSubModel(db, model, "");
  solid->AssignElement(DbElemDesc{}, 0.0);
  solid->AssignCoordSys(new CaeCoordSysSpheric(storePlacement(1.0)));
  storeAddJob(model, folder, "run1");
  auto* constrained = new CaepAnlConstrJobObj(100);
  constrained->Create(CaeString((folder / "concept").string()));
  constrained->SetText(0, CaeString("first"));
  constrained->SetText(1, CaeString("second"));
  constrained->SetText(2, CaeString("third"));
  constrained->SetJobValue(-3);
  model->AddJob(constrained);
  storeAddResultSet(model, "Modes");
}

class StoreModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
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

  static AcApDocument* current() { return acDocManagerPtr()->curDocument(); }
  static AcDbDatabase* db() { return current()->database(); }

  // Two models of different types, the stress one populated.
  AcDbObjectId buildDrawing() {
    const AcDbObjectId stress = addModel(db(), "Bracket", AnlStress);
    addModel(db(), "Bracket modes", AnlVibration);
    Command command(db(), "BUILD");
    populate(db(), stress, dir.path());
    return stress;
  }

  RecordingDriver driver;
  mfc::ScopedUserDriver scopedDriver{&driver};
  kestrum::test::TempDir dir;
};

// The bytes an object writes with a filer of `type`.
std::string writeObject(AcDbObjectId id, AcDb::FilerType type, Acad::ErrorStatus* status = nullptr) {
  AcDbObject* object = nullptr;
  EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForRead), Acad::eOk);
  AcDbDwgFiler filer(type, object->database());
  const Acad::ErrorStatus written = object->dwgOutFields(&filer);
  if (status) *status = written;
  object->close();
  return std::string(filer.buffer());
}

Acad::ErrorStatus readObject(AcDbObjectId id, AcDb::FilerType type, const std::string& bytes) {
  AcDbObject* object = nullptr;
  EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eOk);
  AcDbDwgFiler filer(type, object->database(), bytes);
  const Acad::ErrorStatus status = object->dwgInFields(&filer);
  object->close();
  return status;
}

// A record written by hand: the object's host part, then what `fields` writes.
std::string handRecord(AcDbObjectId id, const std::function<void(AcDbDwgFiler&)>& fields) {
  AcDbObject* object = nullptr;
  EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForRead), Acad::eOk);
  AcDbDwgFiler filer(AcDb::kFileFiler, object->database());
  object->AcDbObject::dwgOutFields(&filer);
  object->close();
  fields(filer);
  return filer.takeBuffer();
}

std::string dumpOf(AcDbObjectId id) {
  DbTransaction transaction(acdbHostApplicationServices()->workingDatabase());
  AcDbObject* object = dbOpenMember(acdbHostApplicationServices()->workingDatabase(), id, AcDb::kForRead, true);
  if (auto* model = CaepAnlModelObj::cast(object)) return dumpModel(model);
  if (auto* sub = CaepAnlSubModelObj::cast(object)) return dumpSubModel(sub);
  if (auto* job = CaepAnlDrvJobObj::cast(object)) return dumpDrvJob(job);
  if (auto* job = CaepAnlConstrJobObj::cast(object)) return dumpConstrJob(job);
  if (auto* set = CaepResultCaseObj::cast(object)) return dumpResultSet(set);
  return "not opened";
}

// The id of each member list of a model.
struct Members {
  std::vector<AcDbObjectId> subs, jobs, sets;
};
Members membersOf(AcDbObjectId modelId) {
  CaepAnlModelObj* model = nullptr;
  EXPECT_EQ(acdbOpenObject(model, modelId, AcDb::kForRead, true), Acad::eOk);
  Members members{model->SubModelIds(), model->JobIds(), model->ResultSetIds()};
  model->close();
  return members;
}

bool isErased(AcDbObjectId id) {
  AcDbObject* object = nullptr;
  return acdbOpenObject(object, id, AcDb::kForRead) == Acad::eWasErased;
}

// ---- registration -----------------------------------------------------------------------------

TEST_F(StoreModelTest, ClassesAreRegisteredAsTheHostFilesThemAndLeaveAtUnload) {
  struct Row {
    const char* name;
    const char* dxfName;
    AcRxClass* (*desc)();
  };
  const Row rows[] = {{"CaepAnlModelObj", "CAEPANLMODELOBJ", &CaepAnlModelObj::desc},
                      {"CaepAnlSubModelObj", "CAEPANLSUBMODELOBJ", &CaepAnlSubModelObj::desc},
                      {"CaepAnlDrvJobObj", "CAEPANLJOBOBJ", &CaepAnlDrvJobObj::desc},
                      {"CaepAnlConstrJobObj", "CAEPANLCONSTRJOBOBJ", &CaepAnlConstrJobObj::desc},
                      {"CaepResultCaseObj", "DBRESULTCASEOBJ", &CaepResultCaseObj::desc}};
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
    std::unique_ptr<AcRxObject> made(record->create());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->isA(), record);
  }
  ASSERT_TRUE(acrxDynamicLinker->unloadModule("kestrum.arx")) << cadhost::printedText();
  for (const Row& row : rows) EXPECT_EQ(acrxFindClass(row.name), nullptr) << row.name;
}

TEST_F(StoreModelTest, NewModelsNeedAFreeNameOfAtMost255Characters) {
  buildDrawing();
  CaepAnlControl* control = dbControlOf(db());
  const std::string before = dumpDrawingModels(db());
  struct Row {
    const char* name;
    std::string text;
    const char* printed;
  };
  const Row rows[] = {{"Empty", "", "needs a name"},
                      {"Taken", "Bracket", "already exists"},
                      {"TakenInAnotherCase", "BRACKET MODES", "already exists"},
                      {"TooLong", std::string(256, 'm'), "at most 255 characters"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    cadhost::clearPrintedText();
    Command command(db(), "NEW");
    EXPECT_EQ(control->NewAnlModel(CaeString(row.text), AnlStress), nullptr);
    EXPECT_NE(cadhost::printedText().find(row.printed), std::string::npos) << cadhost::printedText();
  }
  EXPECT_EQ(dumpDrawingModels(db()), before);
  EXPECT_EQ(control->Ids(DbStoredKind::AnlModel).size(), 2u);
  // 255 characters are enough.
  Command command(db(), "NEW");
  auto* made = dynamic_cast<CaepAnlModelObj*>(control->NewAnlModel(CaeString(std::string(255, 'm')), AnlBuckling));
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->Type(), AnlBuckling);
  EXPECT_EQ(control->Ids(DbStoredKind::AnlModel).back(), made->objectId());
}

// ---- drawing files, DXF, undo and aborts -------------------------------------------------------

TEST_F(StoreModelTest, EveryFieldSurvivesSaveAsAndOpen) {
  buildDrawing();
  const std::string before = dumpDrawingModels(db());
  ASSERT_NE(before.find("result \"Displacement\""), std::string::npos) << before;
  ASSERT_NE(before.find("constrained job"), std::string::npos) << before;
  const std::string path = (dir / "a.dwg").string();
  AcApDocument* original = current();
  ASSERT_EQ(acDocManagerPtr()->saveDocument(original, path, true), Acad::eOk) << cadhost::printedText();
  acDocManagerPtr()->newDocument();
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(original));

  cadhost::clearPrintedText();
  AcApDocument* opened = acDocManagerPtr()->openDocument(path);
  ASSERT_NE(opened, nullptr) << cadhost::printedText();
  EXPECT_EQ(cadhost::printedText().find("Skipped"), std::string::npos) << cadhost::printedText();
  EXPECT_EQ(dumpDrawingModels(opened->database()), before);
}

TEST_F(StoreModelTest, EveryFieldSurvivesDxfOutAndIn) {
  buildDrawing();
  const std::string before = dumpDrawingModels(db());
  const std::string path = (dir / "b.dxf").string();
  AcApDocument* original = current();
  ASSERT_EQ(db()->dxfOut(path), Acad::eOk);
  // A standard reader audits the file without errors.
  const fs::path script = dir / "audit.py";
  std::ofstream(script) << "import sys, ezdxf\n"
                           "doc = ezdxf.readfile(sys.argv[1])\n"
                           "auditor = doc.audit()\n"
                           "for e in auditor.errors: print(e.message)\n"
                           "assert not auditor.has_errors\n";
  const std::string audit =
      "/usr/bin/python3 " + script.string() + " " + path + " > " + (dir / "audit.txt").string() + " 2>&1";
  EXPECT_EQ(std::system(audit.c_str()), 0) << kestrum::test::readFile(dir / "audit.txt");
  acDocManagerPtr()->newDocument();
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(original));

  cadhost::clearPrintedText();
  AcApDocument* opened = acDocManagerPtr()->openDocument(path, true);
  ASSERT_NE(opened, nullptr) << cadhost::printedText();
  EXPECT_EQ(cadhost::printedText().find("Skipped"), std::string::npos) << cadhost::printedText();
  EXPECT_EQ(dumpDrawingModels(opened->database()), before);
}

TEST_F(StoreModelTest, UndoAndRedoGiveTheDumpsFromBeforeAndAfterEachCommand) {
  const AcDbObjectId stress = buildDrawing();
  struct Row {
    const char* name;
    std::function<void()> change;  // runs inside a command
  };
  auto model = [&] { return openForWrite<CaepAnlModelObj>(db(), stress); };
  const Row rows[] = {
      {"AddSubModel", [&] { storeAddSubModel(db(), model(), ""); }},
      {"AddJob", [&] { storeAddJob(model(), dir.path(), "run2"); }},
      {"AddResultSet", [&] { storeAddResultSet(model(), "Second modes"); }},
      {"ChangeSubModel",
       [&] {
         auto* sub = openForWrite<CaepAnlSubModelObj>(db(), membersOf(stress).subs[0]);
         sub->AssignCoordSys(new CaeCoordSysCartesian(storePlacement(9.0)));
         sub->AssignElement(DbElemDesc{CaeElemLinear, CaeShapeTri, CaeElemShell, 0}, 4.0);
       }},
      {"ChangeJob",
       [&] {
         auto* job = openForWrite<CaepAnlDrvJobObj>(db(), membersOf(stress).jobs[0]);
         job->SetStatus(AnlStatusFailed);
         job->AddResltCaseNames(CaeString("Loads C"), CaeString("Supports C"));
       }},
      {"DeleteResultSet", [&] { EXPECT_EQ(model()->DeleteResultSet(CaeString("Modes")), 1); }},
      {"DeleteSubModel", [&] { model()->DeleteSubModel(model()->GetSubModel(1)); }},
      {"EraseMesh",
       [&] {
         auto* sub = openForWrite<CaepAnlSubModelObj>(db(), membersOf(stress).subs[0]);
         openForWrite<StoreMeshStandIn>(db(), sub->MeshId())->erase();
       }},
      {"EraseModel", [&] { model()->erase(); }},
      {"DeleteModelThroughTheControl", [&] { dbControlOf(db())->DeleteAnlModel(model()); }},
      {"AddModel", [&] { populate(db(), addModel(db(), "Another", AnlBuckling), dir.path()); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string before = dumpDrawingModels(db());
    {
      Command command(db(), row.name);
      row.change();
    }
    const std::string after = dumpDrawingModels(db());
    ASSERT_NE(after, before);
    const std::vector<std::string> history = db()->undoGroupNames();
    ASSERT_EQ(db()->undo(1), 1);
    EXPECT_EQ(dumpDrawingModels(db()), before);
    ASSERT_TRUE(db()->redo());
    EXPECT_EQ(dumpDrawingModels(db()), after);
    // Cascades replayed by undo and redo record nothing of their own.
    EXPECT_EQ(db()->undoGroupNames(), history);
    EXPECT_FALSE(db()->canRedo());
    ASSERT_EQ(db()->undo(1), 1);
    EXPECT_EQ(dumpDrawingModels(db()), before);
  }
}

TEST_F(StoreModelTest, TransactionAbortLeavesTheDumpUnchanged) {
  const AcDbObjectId stress = buildDrawing();
  const std::string before = dumpDrawingModels(db());
  AcDbTransactionManager* transactions = db()->transactionManager();
  transactions->startTransaction();
  CaepAnlModelObj* model = openForWrite<CaepAnlModelObj>(db(), stress);
  storeAddSubModel(db(), model, "");
  storeAddJob(model, dir.path(), "aborted");
  openForWrite<CaepAnlDrvJobObj>(db(), membersOf(stress).jobs[0])->SetJobValue(99);
  model->DeleteSubModel(model->GetSubModel(0));
  ASSERT_NE(dumpDrawingModels(db()), before);
  transactions->abortTransaction();
  EXPECT_EQ(dumpDrawingModels(db()), before);
  // What the abort removed never opens again; the model passes over it.
  transactions->startTransaction();
  EXPECT_EQ(openForWrite<CaepAnlModelObj>(db(), stress)->CountLiveJobs(0), 2);
  transactions->endTransaction();
}

TEST_F(StoreModelTest, AnAbortedModelOrResultSetThatWasCurrentIsLetGo) {
  const AcDbObjectId stress = buildDrawing();
  CaepAnlControl* control = dbControlOf(db());
  AcDbTransactionManager* transactions = db()->transactionManager();
  transactions->startTransaction();
  const AcDbObjectId added = addModel(db(), "Aborted", AnlStress);
  auto* model = openForWrite<CaepAnlModelObj>(db(), added);
  control->SetCurrentAnlModel(model);
  control->SetCurrentResultSet(storeAddResultSet(model, "Aborted results"));
  model->erase();
  transactions->abortTransaction();
  EXPECT_EQ(control->CurrentAnlModel(), nullptr);
  EXPECT_EQ(control->CurrentResultSet(), nullptr);
  // Making another current touches nothing of what the abort removed.
  DbTransaction transaction(db());
  auto* other = openForWrite<CaepAnlModelObj>(db(), stress);
  control->SetCurrentAnlModel(other);
  control->SetCurrentResultSet(other->GetResultSet(0));
  EXPECT_EQ(control->CurrentAnlModel(), other);
  control->ClearCurrentObjects();
}

// ---- filer types, historic versions and damage ------------------------------------------------

TEST_F(StoreModelTest, FilerTypesCarryTheFieldsOnlyWhereTheHostExpectsThem) {
  const AcDbObjectId stress = buildDrawing();
  const Members members = membersOf(stress);
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
  for (AcDbObjectId id : {stress, members.subs[0], members.jobs[0], members.jobs[1], members.sets[0]}) {
    const std::string full = writeObject(id, AcDb::kFileFiler);
    const std::string original = dumpOf(id);
    for (const Row& row : rows) {
      SCOPED_TRACE(original.substr(0, 20) + " filer " + std::to_string(row.type));
      Acad::ErrorStatus status = Acad::eOk;
      const std::string written = writeObject(id, row.type, &status);
      EXPECT_EQ(status, Acad::eOk);
      // Undo also keeps a sub-model's held material rows, which the drawing does not file.
      const bool heldRows = row.type == AcDb::kUndoFiler && id == members.subs[0];
      EXPECT_EQ(heldRows ? written.size() > full.size() : written.size() == full.size(), row.writes);
      // Reading the file record into a changed object restores it only where fields are read.
      {
        DbTransaction transaction(db());
        AcDbObject* object = dbOpenMember(db(), id, AcDb::kForWrite);
        if (auto* model = CaepAnlModelObj::cast(object)) model->SetId(-1);
        if (auto* sub = CaepAnlSubModelObj::cast(object)) sub->Id(-1);
        if (auto* job = dynamic_cast<AnlJob*>(object)) job->SetJobValue(-1);
        if (auto* set = CaepResultCaseObj::cast(object)) set->Modal(0);
      }
      const std::string changed = dumpOf(id);
      ASSERT_NE(changed, original);
      EXPECT_EQ(readObject(id, row.type, full), Acad::eOk);
      EXPECT_EQ(dumpOf(id), row.reads ? original : changed);
      EXPECT_EQ(readObject(id, AcDb::kFileFiler, full), Acad::eOk);
    }
  }
}

TEST_F(StoreModelTest, RereadingARecordReplacesTheListsAndRegistersOnce) {
  const AcDbObjectId stress = buildDrawing();
  const std::string before = dumpDrawingModels(db());
  const std::string record = writeObject(stress, AcDb::kFileFiler);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(readObject(stress, AcDb::kUndoFiler, record), Acad::eOk);
  EXPECT_EQ(dumpDrawingModels(db()), before);
  EXPECT_EQ(membersOf(stress).subs.size(), 2u);
  EXPECT_EQ(dbControlOf(db())->Ids(DbStoredKind::AnlModel).size(), 2u);
  const AcDbObjectId job = membersOf(stress).jobs[0];
  const std::string jobRecord = writeObject(job, AcDb::kFileFiler);
  ASSERT_EQ(readObject(job, AcDb::kUndoFiler, jobRecord), Acad::eOk);
  EXPECT_NE(dumpOf(job).find("pairs \"Loads\"=\"Fixed\" \"Snow\"=\"Pinned\""), std::string::npos) << dumpOf(job);
  const AcDbObjectId set = membersOf(stress).sets[0];
  const std::string before2 = dumpOf(set);
  ASSERT_EQ(readObject(set, AcDb::kUndoFiler, writeObject(set, AcDb::kFileFiler)), Acad::eOk);
  EXPECT_EQ(dumpOf(set), before2);
}

TEST_F(StoreModelTest, HistoricModelRecordsReadWhatTheirVersionHeld) {
  const AcDbObjectId stress = buildDrawing();
  const Members members = membersOf(stress);
  const double defaultTolerance = AnlModel().GetMateRelTolerance();
  struct Row {
    int version;
    bool pairsRead;
    bool toleranceRead;
  };
  for (const Row& row : {Row{200, false, false}, Row{300, true, false}, Row{629, true, false}, Row{630, true, true}}) {
    SCOPED_TRACE(row.version);
    const AcDbObjectId id = addModel(db(), ("Old " + std::to_string(row.version)).c_str(), AnlStress);
    const std::string record = handRecord(id, [&](AcDbDwgFiler& filer) {
      filer.writeUInt16(static_cast<Adesk::UInt16>(row.version));
      filer.writeInt16(AnlHeatTransfer);
      filer.writeInt16(0);
      filer.writeString("Old model");
      filer.writeInt32(31);
      filer.writeInt32(1);
      filer.writeHardOwnershipId(AcDbHardOwnershipId(members.subs[0]));
      filer.writeInt32(0);
      filer.writeInt32(1);
      filer.writeHardOwnershipId(AcDbHardOwnershipId(members.jobs[0]));
      filer.writeInt32(0);
      if (row.version > 200) {
        filer.writeInt32(1);
        filer.writeSoftOwnershipId(AcDbSoftOwnershipId(members.sets[0]));
      }
      if (row.version >= 630) filer.writeDouble(0.125);
    });
    ASSERT_EQ(readObject(id, AcDb::kFileFiler, record), Acad::eOk) << cadhost::printedText();
    CaepAnlModelObj* model = nullptr;
    ASSERT_EQ(acdbOpenObject(model, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(model->Name(), "Old model");
    EXPECT_EQ(model->Type(), AnlHeatTransfer);
    EXPECT_EQ(model->Id(), 31);
    EXPECT_EQ(model->NumSubModels(), 1);
    EXPECT_EQ(model->NumJobs(), 1);
    EXPECT_EQ(model->NumMateRelPairs(), row.pairsRead ? 1 : 0);
    EXPECT_EQ(model->GetMateRelTolerance(), row.toleranceRead ? 0.125 : defaultTolerance);
    model->close();
  }
}

// Writes a sub-model record of `version` holding a cylindrical system and a shell element.
std::string subModelRecord(AcDbObjectId id, int version, AcDbObjectId mesh, int kind = kDbCoordCylindric) {
  return handRecord(id, [&](AcDbDwgFiler& filer) {
    filer.writeUInt16(static_cast<Adesk::UInt16>(version));
    if (version >= 310) filer.writeString("Body");
    filer.writeInt32(55);
    filer.writeInt16(1);
    filer.writeString("Aluminium 6061-T6");
    filer.writeHardPointerId(AcDbHardPointerId(mesh));
    if (version > 200) {
      filer.writeInt16(1);
      filer.writeInt16(CaeShapeTri);
      filer.writeInt16(CaeElemLinear);
      filer.writeInt16(CaeElemShell);
      filer.writeInt16(0);
      filer.writeDouble(3.5);
      filer.writeInt16(static_cast<Adesk::Int16>(kind));
      if (version > 600 && kind != 0) {
        double values[16];
        storePlacement(4.0).ToArray(values);
        for (double value : values) filer.writeDouble(value);
      }
    }
  });
}

TEST_F(StoreModelTest, HistoricSubModelRecordsReadWhatTheirVersionHeld) {
  const AcDbObjectId stress = buildDrawing();
  const AcDbObjectId subId = membersOf(stress).subs[1];
  AcDbObjectId mesh;
  {
    DbTransaction transaction(db());
    mesh = openForWrite<CaepAnlSubModelObj>(db(), subId)->MeshId();
  }
  struct Row {
    int version;
    const char* name;
    bool element;
    int kind;
    bool placed;
  };
  for (const Row& row :
       {Row{200, "", false, kDbCoordSpheric, false}, Row{300, "", true, kDbCoordCylindric, false},
        Row{310, "Body", true, kDbCoordCylindric, false}, Row{600, "Body", true, kDbCoordCylindric, false},
        Row{630, "Body", true, kDbCoordCylindric, true}}) {
    SCOPED_TRACE(row.version);
    // A fresh sub-model for each record, in the drawing beside the others.
    AcDbObjectId id;
    {
      Command command(db(), "SUB");
      id = storeAddSubModel(db(), openForWrite<CaepAnlModelObj>(db(), stress), "")->objectId();
      auto* sub = openForWrite<CaepAnlSubModelObj>(db(), id);
      sub->Name(CaeString(""));
      sub->AssignCoordSys(new CaeCoordSysSpheric(storePlacement(0.0)));
    }
    ASSERT_EQ(readObject(id, AcDb::kFileFiler, subModelRecord(id, row.version, mesh)), Acad::eOk)
        << cadhost::printedText();
    DbTransaction transaction(db());
    auto* sub = openForWrite<CaepAnlSubModelObj>(db(), id);
    EXPECT_EQ(sub->Name(), row.name);
    EXPECT_EQ(sub->Id(), 55);
    EXPECT_EQ(sub->MaterialName(), "Aluminium 6061-T6");
    EXPECT_EQ(sub->MeshId(), mesh);
    EXPECT_EQ(sub->ElementDesc().has_value(), row.element);
    if (row.element) {
      EXPECT_EQ(*sub->ElementDesc(), (DbElemDesc{CaeElemLinear, CaeShapeTri, CaeElemShell, 0}));
    }
    EXPECT_EQ(CaepAnlSubModelObj::CoordSysKind(sub->GetCoordSys()), row.kind);
    ASSERT_NE(sub->GetCoordSys(), nullptr);
    EXPECT_EQ(sub->GetCoordSys()->GetTransform().Component(0, 3), row.placed ? 5.5 : (row.version <= 200 ? 1.5 : 0.0));
  }
}

TEST_F(StoreModelTest, HistoricJobRecordsReadWhatTheirVersionHeld) {
  const AcDbObjectId stress = buildDrawing();
  const AcDbObjectId jobId = membersOf(stress).jobs[0];
  for (int version : {200, 630}) {
    SCOPED_TRACE(version);
    {
      DbTransaction transaction(db());
      auto* job = openForWrite<CaepAnlDrvJobObj>(db(), jobId);
      job->SetName(CaeString("kept"));
      job->SetJobValue(5);
    }
    const std::string base = (dir / "old" / "job").string();
    const std::string record = handRecord(jobId, [&](AcDbDwgFiler& filer) {
      filer.writeUInt16(static_cast<Adesk::UInt16>(version));
      filer.writeInt16(AnlStatusFailed);
      filer.writeInt16(AnlCodeSolve);
      for (const char* stale : {"deck", "db", "frd", "log", "dir"}) filer.writeString(stale);
      filer.writeString(base);
      for (int unit : {CaeMillimeter, CaeRadian, CaeSecond, CaeNewton, CaeGram, CaeKelvin, CaeHertz, CaeJoule})
        filer.writeInt32(unit);
      if (version > 200) {
        filer.writeString("Run A");
        filer.writeInt32(1234);
        filer.writeInt32(2);
        for (const char* text : {"L1", "R1", "L2", "R2"}) filer.writeString(text);
      }
    });
    ASSERT_EQ(readObject(jobId, AcDb::kFileFiler, record), Acad::eOk) << cadhost::printedText();
    DbTransaction transaction(db());
    auto* job = openForWrite<CaepAnlDrvJobObj>(db(), jobId);
    EXPECT_EQ(job->GetStatus(), AnlStatusFailed);
    EXPECT_EQ(job->DeckName(), base + ".inp");  // derived from the base name, not the stale text
    EXPECT_EQ(job->UnitSystem().GetUnit(CaeUtLength), CaeMillimeter);
    EXPECT_EQ(job->UnitSystem().GetUnit(CaeUtMass), CaeGram);
    EXPECT_EQ(job->UnitSystem().GetUnit(CaeUtFrequency), CaeHertz);
    EXPECT_EQ(job->Name(), version > 200 ? "Run A" : "kept");
    EXPECT_EQ(job->JobValue(), version > 200 ? 1234 : 5);
    EXPECT_EQ(job->NumRCNames(), version > 200 ? 2 : 2);  // version 200 leaves the pairs it had
  }
}

TEST_F(StoreModelTest, DamagedRecordsAreRefusedAndNamedByClassAndHandle) {
  const AcDbObjectId stress = buildDrawing();
  const Members members = membersOf(stress);
  struct Row {
    const char* name;
    AcDbObjectId id;
    std::function<std::string()> record;
    const char* printed;
  };
  const std::string modelRecord = writeObject(stress, AcDb::kFileFiler);
  const Row rows[] = {
      // The sub-model count claims one more id than the record holds.
      {"CountBeyondIds", stress, [&] { return modelRecord.substr(0, modelRecord.size() - 30); }, "TLX Exception"},
      {"UnknownCoordinateSystem", members.subs[0],
       [&] { return subModelRecord(members.subs[0], 630, AcDbObjectId(members.subs[1]), 3); },
       "coordinate-system kind 3 is not 0, 1, 2 or 4"},
      {"NullMesh", members.subs[0], [&] { return subModelRecord(members.subs[0], 630, AcDbObjectId()); },
       "the sub-model has no mesh"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string before = dumpOf(row.id);
    cadhost::clearPrintedText();
    EXPECT_EQ(readObject(row.id, AcDb::kFileFiler, row.record()), Acad::eFilerError);
    EXPECT_NE(cadhost::printedText().find(row.printed), std::string::npos) << cadhost::printedText();
    EXPECT_EQ(dumpOf(row.id), before);
  }
  cadhost::clearPrintedText();
  readObject(members.subs[0], AcDb::kFileFiler, subModelRecord(members.subs[0], 630, AcDbObjectId()));
  EXPECT_NE(cadhost::printedText().find("CaepAnlSubModelObj " + members.subs[0].handle().text()), std::string::npos)
      << cadhost::printedText();
}

TEST_F(StoreModelTest, AModelReadWithoutANameGetsADefaultNameAndSaysSo) {
  const AcDbObjectId stress = buildDrawing();
  std::string record = handRecord(stress, [](AcDbDwgFiler& filer) {
    filer.writeUInt16(630);
    filer.writeInt16(AnlStress);
    filer.writeInt16(0);
    filer.writeString("");
    filer.writeInt32(1);
    for (int list = 0; list < 5; ++list) filer.writeInt32(0);
    filer.writeDouble(1e-5);
  });
  cadhost::clearPrintedText();
  ASSERT_EQ(readObject(stress, AcDb::kFileFiler, record), Acad::eOk);
  CaepAnlModelObj* model = nullptr;
  ASSERT_EQ(acdbOpenObject(model, stress, AcDb::kForRead), Acad::eOk);
  const CaeString name = model->Name();
  model->close();
  EXPECT_FALSE(name.IsEmpty());
  EXPECT_NE(name, "Bracket modes");
  EXPECT_NE(cadhost::printedText().find("the model had no name; it is now called \"" + name.Str() + "\""),
            std::string::npos)
      << cadhost::printedText();
  // It can be written again.
  Acad::ErrorStatus status = Acad::eOk;
  writeObject(stress, AcDb::kFileFiler, &status);
  EXPECT_EQ(status, Acad::eOk);
}

TEST_F(StoreModelTest, FailingWritesAnswerTheFilerErrorAndSayWhy) {
  const AcDbObjectId stress = buildDrawing();
  const Members members = membersOf(stress);
  for (AcDbObjectId id : {stress, members.subs[0], members.jobs[0], members.jobs[1], members.sets[0]}) {
    for (long failAt = 2; failAt <= 4; ++failAt) {
      SCOPED_TRACE(dumpOf(id).substr(0, 20) + " call " + std::to_string(failAt));
      AcDbObject* object = nullptr;
      ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForRead), Acad::eOk);
      AcDbDwgFiler filer(AcDb::kFileFiler, db());
      filer.setFailAt(failAt);
      cadhost::clearPrintedText();
      EXPECT_EQ(object->dwgOutFields(&filer), Acad::eFilerError);
      object->close();
      EXPECT_NE(cadhost::printedText().find("\nTLX Exception: General Error in"), std::string::npos)
          << cadhost::printedText();
    }
  }
  // A model without a name cannot be written.
  {
    DbTransaction transaction(db());
    openForWrite<CaepAnlModelObj>(db(), stress)->Name(CaeString(""));
  }
  Acad::ErrorStatus status = Acad::eOk;
  writeObject(stress, AcDb::kFileFiler, &status);
  EXPECT_EQ(status, Acad::eFilerError);
}

// Rewrites a drawing file: `damage` may change the fields of each record (given its class name);
// the framing and the checksum are recomputed, as a damaged but well-framed file would have them.
void damageDrawing(const fs::path& path, const std::function<void(const std::string&, std::string&)>& damage) {
  std::string file = kestrum::test::readFile(path);
  ASSERT_GT(file.size(), 24u);
  auto get = [](const std::string& bytes, std::size_t at, auto value) {
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
  };
  auto put = [](std::string& out, auto value) { out.append(reinterpret_cast<const char*>(&value), sizeof value); };
  std::size_t at = 24;
  std::string payload = file.substr(at, 8 + 8 * 8);
  at += payload.size();
  const auto count = get(file, at, Adesk::UInt32{});
  put(payload, count);
  at += 4;
  for (Adesk::UInt32 i = 0; i < count; ++i) {
    const auto length = get(file, at, Adesk::UInt32{});
    std::string body = file.substr(at + 4, length);
    at += 4 + length;
    const auto nameLength = get(body, 0, Adesk::UInt16{});
    const std::string name = body.substr(2, nameLength);
    const std::size_t fieldsAt = 2 + nameLength + 8 + 1;
    std::string fields = body.substr(fieldsAt);
    damage(name, fields);
    body = body.substr(0, fieldsAt) + fields;
    put(payload, static_cast<Adesk::UInt32>(body.size()));
    payload += body;
  }
  Adesk::UInt32 crc = 0xFFFFFFFFu;
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

TEST_F(StoreModelTest, ADamagedDrawingNamesWhatItSkipsAndKeepsTheRest) {
  const AcDbObjectId stress = buildDrawing();
  const std::string path = (dir / "a.dwg").string();
  const std::string lostHandle = membersOf(stress).subs[1].handle().text();
  const AcDbHandle stressHandle = stress.handle();
  std::string modesHandle;
  {
    DbTransaction transaction(db());
    for (AcDbObjectId id : dbControlOf(db())->Ids(DbStoredKind::AnlModel))
      if (id != stress) modesHandle = id.handle().text();
  }
  AcApDocument* original = current();
  ASSERT_EQ(acDocManagerPtr()->saveDocument(original, path, true), Acad::eOk);
  acDocManagerPtr()->newDocument();
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(original));
  int subModels = 0;
  damageDrawing(path, [&](const std::string& name, std::string& fields) {
    // The second model loses its tail, the second sub-model its transform, the units record its units.
    if (name == "CaepAnlModelObj" && fields.find("Bracket modes") != std::string::npos)
      fields.resize(fields.size() - 5);
    if (name == "CaepAnlSubModelObj" && ++subModels == 2) fields.resize(fields.size() - 20);
    if (name == "CaepUnitsObj") fields.resize(fields.size() / 2);
  });

  cadhost::clearPrintedText();
  AcApDocument* opened = acDocManagerPtr()->openDocument(path);
  ASSERT_NE(opened, nullptr) << cadhost::printedText();
  const std::string printed = cadhost::printedText();
  EXPECT_NE(printed.find("Skipped an object of class CaepAnlModelObj (handle " + modesHandle + ")"), std::string::npos)
      << printed;
  EXPECT_NE(printed.find("Skipped an object of class CaepAnlSubModelObj (handle " + lostHandle + ")"),
            std::string::npos)
      << printed;
  EXPECT_NE(printed.find("Skipped an object of class CaepUnitsObj"), std::string::npos) << printed;
  const std::string kept = dumpDrawingModels(opened->database());
  EXPECT_EQ(kept.rfind("models 1\nmodel \"Bracket\"", 0), 0u) << kept;
  EXPECT_EQ(kept.find("SubModel 2"), std::string::npos) << kept;
  EXPECT_NE(kept.find("SubModel 1"), std::string::npos) << kept;
  EXPECT_NE(kept.find("job \"run1\""), std::string::npos) << kept;
  EXPECT_EQ(CaeUnitSystem::GetHostSystem()->GetUnit(CaeUtLength), CaeMeter);
  {
    DbTransaction transaction(opened->database());
    AcDbObjectId reread;
    ASSERT_EQ(opened->database()->getAcDbObjectId(reread, false, stressHandle), Acad::eOk);
    auto* model = openForWrite<CaepAnlModelObj>(opened->database(), reread);
    EXPECT_EQ(model->NumSubModels(), 2);
    EXPECT_EQ(model->NumLiveSubModels(), 1);
    EXPECT_EQ(model->GetSubModel(1), nullptr);
  }

  // What is left saves and opens again whole.
  const std::string again = (dir / "b.dwg").string();
  ASSERT_EQ(acDocManagerPtr()->saveDocument(opened, again, true), Acad::eOk) << cadhost::printedText();
  acDocManagerPtr()->newDocument();
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(opened));
  cadhost::clearPrintedText();
  AcApDocument* reopened = acDocManagerPtr()->openDocument(again);
  ASSERT_NE(reopened, nullptr) << cadhost::printedText();
  EXPECT_EQ(cadhost::printedText().find("Skipped"), std::string::npos) << cadhost::printedText();
  EXPECT_EQ(dumpDrawingModels(reopened->database()), kept);
}

// ---- engine operations ------------------------------------------------------------------------

TEST_F(StoreModelTest, EngineOperationsCountLiveMembersAndTestTheirIndexes) {
  const AcDbObjectId stress = buildDrawing();
  Command command(db(), "OPS");
  CaepAnlModelObj* model = openForWrite<CaepAnlModelObj>(db(), stress);
  EXPECT_EQ(model->NumSubModels(), 2);
  EXPECT_EQ(model->GetSubModel(0)->Name(), "SubModel 1");
  EXPECT_EQ(model->GetSubModel(1)->Name(), "SubModel 2");
  for (int outside : {-1, 2}) {
    EXPECT_THROW(model->GetSubModel(outside), CaeExcept) << outside;
    EXPECT_THROW(model->GetMateRelPair(outside - 1), CaeExcept) << outside;
  }
  EXPECT_THROW(model->LiveJob(2), CaeExcept);
  EXPECT_EQ(model->CountLiveJobs(0), 2);
  EXPECT_EQ(model->CountLiveResultSets(1), 1);
  EXPECT_NE(model->FindJobByDeck(CaeString((dir / "run1.inp").string())), nullptr);
  EXPECT_EQ(model->FindJobByDeck(CaeString("elsewhere.inp")), nullptr);

  // DeleteResultSet: an unknown name changes nothing; of two sets of one name only the first goes.
  storeAddResultSet(model, "Modes");
  EXPECT_EQ(model->DeleteResultSet(CaeString("Nothing")), 0);
  EXPECT_EQ(model->CountLiveResultSets(0), 2);
  EXPECT_EQ(model->DeleteResultSet(CaeString("Modes")), 1);
  EXPECT_EQ(model->NumResultSets(), 2);
  EXPECT_EQ(model->CountLiveResultSets(0), 1);
  EXPECT_TRUE(isErased(membersOf(stress).sets[0]) || model->GetResultSet(0)->IsMarkedAsErased());
  EXPECT_FALSE(model->GetResultSet(1)->IsMarkedAsErased());
  EXPECT_EQ(model->LiveResultSet(0), model->GetResultSet(1));

  model->DeleteJob(model->GetJob(0));
  EXPECT_EQ(model->NumJobs(), 2);
  EXPECT_EQ(model->CountLiveJobs(0), 1);
  EXPECT_EQ(model->CountLiveJobs(1), 1);
  model->DeleteSubModel(model->GetSubModel(0));
  EXPECT_EQ(model->NumLiveSubModels(), 1);
  // The erased members are passed over, not reported.
  EXPECT_NO_THROW(model->MarkGraphicsModified());
  EXPECT_EQ(model->FirstLiveMateRelPair(), nullptr);
}

// The pass can meet sub-models made in this session (before the drawing's first command end):
// they keep the material they were given, and nobody is told it is missing.
TEST_F(StoreModelTest, ReconcileKeepsTheMaterialsOfSubModelsMadeInThisSession) {
  const fs::path library = dir / "lib" / "zq_fea.mat";
  fs::create_directories(library.parent_path());
  fs::copy_file(kestrum::test::sourcePath("data/zq_fea.mat"), library);
  CadInterface::GetCurrent()->SetMaterialLibraryLocation(library.string().c_str());
  const AcDbObjectId stress = buildDrawing();
  Command command(db(), "RECONCILE");
  CaepAnlModelObj* model = openForWrite<CaepAnlModelObj>(db(), stress);
  std::vector<std::string> before;
  for (int i = 0; i < model->NumSubModels(); ++i)
    before.push_back(model->GetSubModel(i)->GetMaterial() ? model->GetSubModel(i)->GetMaterial()->Name().Str() : "");
  driver.boxes.clear();
  model->Reconcile();
  int held = 0;
  for (int i = 0; i < model->NumSubModels(); ++i) {
    const std::string& name = before[static_cast<std::size_t>(i)];
    if (name.empty()) continue;  // none held: looked up as after reading
    ++held;
    ASSERT_NE(model->GetSubModel(i)->GetMaterial(), nullptr);
    EXPECT_EQ(model->GetSubModel(i)->GetMaterial()->Name().Str(), name);
    EXPECT_GT(model->GetSubModel(i)->GetMaterial()->NumProp(), 0) << "the held rows are kept";
    for (const std::string& box : driver.boxes) EXPECT_EQ(box.find("'" + name + "'"), std::string::npos) << box;
  }
  EXPECT_GT(held, 0);
}

TEST_F(StoreModelTest, ReconcileNamesUnnamedSubModelsByTheirPlaceAndLeavesTheOthers) {
  const AcDbObjectId stress = buildDrawing();
  Command command(db(), "RECONCILE");
  CaepAnlModelObj* model = openForWrite<CaepAnlModelObj>(db(), stress);
  storeAddSubModel(db(), model, "")->Name(CaeString(""));
  model->DeleteSubModel(model->GetSubModel(1));
  model->Reconcile();
  EXPECT_EQ(model->GetSubModel(0)->Name(), "SubModel 1");
  EXPECT_EQ(model->GetSubModel(1)->Name(), "SubModel 2");  // erased: passed over
  EXPECT_EQ(model->GetSubModel(2)->Name(), "SubModel3");
  // Every live sub-model has its element property back; the erased one is left alone.
  EXPECT_NE(model->GetSubModel(2)->GetProp(), nullptr);
  EXPECT_TRUE(model->GetSubModel(1)->IsMarkedAsErased());
}

TEST_F(StoreModelTest, ResultSetsMadeApartJoinTheCurrentModelOnly) {
  const AcDbObjectId stress = buildDrawing();
  CaepAnlControl* control = dbControlOf(db());
  const std::vector<AcDbObjectId> before = db()->objectIds();
  ASSERT_EQ(CaepResultCaseObj::CreateInDatabase(), Acad::eOk);
  AcDbObjectId made;
  for (AcDbObjectId id : db()->objectIds())
    if (std::find(before.begin(), before.end(), id) == before.end()) made = id;
  ASSERT_FALSE(made.isNull());
  Command command(db(), "ATTACH");
  auto* set = openForWrite<CaepResultCaseObj>(db(), made);
  ASSERT_NE(set, nullptr);
  EXPECT_TRUE(set->ownerId().isNull());
  // Without a current model there is nothing to attach to.
  control->ClearCurrentAnlModel();
  EXPECT_THROW(set->AttachToCurrentModel(), CaeExcept);
  auto* model = openForWrite<CaepAnlModelObj>(db(), stress);
  control->SetCurrentAnlModel(model);
  set->AttachToCurrentModel();
  set->AttachToCurrentModel();  // listed once
  EXPECT_EQ(model->NumResultSets(), 2);
  EXPECT_EQ(model->ResultSetIds().back(), made);
  control->ClearCurrentAnlModel();
}

TEST_F(StoreModelTest, SubModelsKeepAMeshIdAndEraseOnce) {
  const AcDbObjectId stress = buildDrawing();
  Command command(db(), "SUB");
  auto* model = openForWrite<CaepAnlModelObj>(db(), stress);
  auto* sub = dynamic_cast<CaepAnlSubModelObj*>(model->GetSubModel(1));
  const AcDbObjectId mesh = sub->MeshId();
  EXPECT_EQ(sub->SetMeshId(AcDbObjectId()), Acad::eInvalidInput);
  EXPECT_EQ(sub->MeshId(), mesh);
  EXPECT_EQ(sub->FindOwnerModel(), model);
  EXPECT_EQ(dynamic_cast<StoreMeshStandIn*>(sub->Mesh()), openForWrite<StoreMeshStandIn>(db(), mesh));
  model->EraseSubModel(sub);
  EXPECT_TRUE(sub->IsMarkedAsErased());
  EXPECT_TRUE(sub->isErased());
  EXPECT_TRUE(isErased(mesh));
  EXPECT_NO_THROW(model->EraseSubModel(sub));  // already erased: nothing more
  EXPECT_THROW(model->EraseSubModel(nullptr), CaeExcept);
  EXPECT_EQ(model->NumLiveSubModels(), 1);
  EXPECT_EQ(model->LiveSubModel(0), model->GetSubModel(0));
}

TEST_F(StoreModelTest, MembersThatNeverOpenCountAsErased) {
  const AcDbObjectId stress = buildDrawing();
  const AcDbObjectId job = membersOf(stress).jobs[0];
  const AcDbObjectId sub = membersOf(stress).subs[0];
  // As when a member's record could not be read: the object is gone, its id opens with 82.
  for (AcDbObjectId id : {job, sub}) {
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eOk);
    object->close();
    delete object;
    ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForRead), Acad::ePermanentlyErased);
  }
  cadhost::clearPrintedText();
  {
    Command command(db(), "GONE");
    CaepAnlModelObj* model = openForWrite<CaepAnlModelObj>(db(), stress);
    EXPECT_EQ(model->NumJobs(), 2);
    EXPECT_EQ(model->CountLiveJobs(0), 1);
    EXPECT_EQ(model->NumLiveSubModels(), 1);
    EXPECT_EQ(model->GetJob(0), nullptr);
    EXPECT_NO_THROW(model->MarkGraphicsModified());
    EXPECT_NO_THROW(model->Reconcile());
    model->erase();
  }
  EXPECT_EQ(cadhost::printedText().find("Exception"), std::string::npos) << cadhost::printedText();
  EXPECT_TRUE(isErased(membersOf(stress).jobs[1]));
  EXPECT_TRUE(isErased(membersOf(stress).subs[1]));
}

// ---- erase cascades ---------------------------------------------------------------------------

TEST_F(StoreModelTest, ErasingAMeshTakesItsSubModelAndTheModelsJobsAndResultSetsAndBringsThemBack) {
  const AcDbObjectId stress = buildDrawing();
  const Members members = membersOf(stress);
  AcDbObjectId mesh;
  {
    Command command(db(), "ERASE MESH");
    mesh = openForWrite<CaepAnlSubModelObj>(db(), members.subs[0])->MeshId();
    ASSERT_EQ(openForWrite<StoreMeshStandIn>(db(), mesh)->erase(), Acad::eOk);
  }
  EXPECT_TRUE(isErased(mesh));
  EXPECT_TRUE(isErased(members.subs[0]));
  EXPECT_FALSE(isErased(members.subs[1]));
  for (AcDbObjectId id : {members.jobs[0], members.jobs[1], members.sets[0]}) EXPECT_TRUE(isErased(id));
  {
    DbTransaction transaction(db());
    EXPECT_TRUE(openForWrite<CaepAnlDrvJobObj>(db(), members.jobs[0], true)->ErasedWithSubModel());
    EXPECT_TRUE(openForWrite<CaepResultCaseObj>(db(), members.sets[0], true)->ErasedWithSubModel());
    EXPECT_TRUE(openForWrite<CaepAnlSubModelObj>(db(), members.subs[0], true)->IsMarkedAsErased());
  }
  // The mesh comes back: so do the sub-model and exactly what its erase took.
  {
    Command command(db(), "UNERASE MESH");
    ASSERT_EQ(openForWrite<StoreMeshStandIn>(db(), mesh, true)->erase(false), Acad::eOk);
  }
  for (AcDbObjectId id : {mesh, members.subs[0], members.jobs[0], members.jobs[1], members.sets[0]})
    EXPECT_FALSE(isErased(id));
  DbTransaction transaction(db());
  EXPECT_FALSE(openForWrite<CaepAnlDrvJobObj>(db(), members.jobs[0])->ErasedWithSubModel());
  EXPECT_FALSE(openForWrite<CaepAnlSubModelObj>(db(), members.subs[0])->ErasedWithMesh());
}

TEST_F(StoreModelTest, ErasingAModelErasesItsMembersAndUndoRestoresThem) {
  const AcDbObjectId stress = buildDrawing();
  const Members members = membersOf(stress);
  {
    Command command(db(), "ERASE MODEL");
    ASSERT_EQ(openForWrite<CaepAnlModelObj>(db(), stress)->erase(), Acad::eOk);
  }
  std::vector<AcDbObjectId> all{stress};
  for (const auto* ids : {&members.subs, &members.jobs, &members.sets}) all.insert(all.end(), ids->begin(), ids->end());
  for (AcDbObjectId id : all) EXPECT_TRUE(isErased(id));
  ASSERT_EQ(db()->undo(1), 1);
  for (AcDbObjectId id : all) EXPECT_FALSE(isErased(id));
  DbTransaction transaction(db());
  EXPECT_FALSE(openForWrite<CaepAnlModelObj>(db(), stress)->IsMarkedAsErased());
  EXPECT_FALSE(openForWrite<CaepAnlSubModelObj>(db(), members.subs[1])->IsMarkedAsErased());
}

// ---- version-100 result sets ------------------------------------------------------------------

std::string resultSet100(AcDbObjectId id, const std::vector<std::string>& dataFiles) {
  return handRecord(id, [&](AcDbDwgFiler& filer) {
    filer.writeUInt16(100);
    filer.writeString("Old results");
    filer.writeInt32(0);
    filer.writeInt32(0);
    filer.writeInt32(0);
    filer.writeString("Static");
    filer.writeInt32(CaeUtNone);
    filer.writeString("");
    filer.writeString("");
    filer.writeDouble(0.0);
    filer.writeInt32(0);
    filer.writeInt32(static_cast<Adesk::Int32>(dataFiles.size()));
    for (const std::string& file : dataFiles) {
      filer.writeString("Stress");
      filer.writeString(file);
      filer.writeUInt16(1);
      filer.writeUInt32(10);
      filer.writeUInt32(1);
      filer.writeUInt16(FerQtyStress);
      filer.writeInt32(0);
      filer.writeString("VM");
      for (int i = 0; i < 3; ++i) filer.writeUInt16(0);
      filer.writeUInt16(1);
      filer.writeUInt32(100);
      filer.writeUInt16(1);
      filer.writeUInt32(9);
    }
  });
}

TEST_F(StoreModelTest, Version100ResultSetsCopyTheirDataFilesNextToTheDrawing) {
  const fs::path root = dir / "root";
  const fs::path work = root / "workarea" / "J";
  fs::create_directories(work);
  std::string big(5000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  std::ofstream(work / "N.dat", std::ios::binary) << big;
  std::ofstream(root / "workarea" / "loose.dat", std::ios::binary) << "loose";
  ASSERT_TRUE(CaeConfig::SetValue("Root Directory", CaeString(root.string()), 1));
  // The drawing being read is dir/drawing.dwg: its files go to dir/drawing/.
  const AcDbObjectId stress = buildDrawing();
  const std::string path = (dir / "drawing.dwg").string();
  ASSERT_EQ(acDocManagerPtr()->saveDocument(current(), path, true), Acad::eOk);
  const fs::path target = dir / "drawing";
  fs::create_directories(target);
  std::ofstream(target / "N.dat") << "taken";
  const AcDbObjectId set = membersOf(stress).sets[0];

  cadhost::clearPrintedText();
  driver.boxes.clear();
  ASSERT_EQ(readObject(set, AcDb::kFileFiler, resultSet100(set, {"J\\N.dat", "K\\N.dat", "missing.dat"})), Acad::eOk)
      << cadhost::printedText();
  // The first name was taken, so were the first two numbers once the second result came.
  EXPECT_EQ(kestrum::test::readFile(target / "N.dat1"), big);
  EXPECT_EQ(kestrum::test::readFile(target / "N.dat2"), big);  // both from the first result's folder
  EXPECT_EQ(kestrum::test::readFile(target / "N.dat"), "taken");
  EXPECT_FALSE(fs::exists(target / "missing.dat"));
  const std::string dump = dumpOf(set);
  EXPECT_NE(dump.find("file \"N.dat1\""), std::string::npos) << dump;
  EXPECT_NE(dump.find("file \"N.dat2\""), std::string::npos) << dump;
  EXPECT_NE(dump.find("file \"missing.dat\""), std::string::npos) << dump;
  ASSERT_EQ(driver.boxes.size(), 1u);
  EXPECT_NE(driver.boxes[0].find("Could not open file"), std::string::npos) << driver.boxes[0];
  EXPECT_NE(driver.boxes[0].find("J\\missing.dat"), std::string::npos) << driver.boxes[0];
  for (const auto& entry : fs::directory_iterator(target))
    EXPECT_EQ(entry.path().filename().string().find("partial"), std::string::npos) << entry.path();

  // A string without a backslash is all file name, taken from the work area itself.
  ASSERT_EQ(readObject(set, AcDb::kFileFiler, resultSet100(set, {"loose.dat"})), Acad::eOk);
  EXPECT_EQ(kestrum::test::readFile(target / "loose.dat"), "loose");
  // Later versions touch no file.
  ASSERT_EQ(readObject(set, AcDb::kFileFiler, writeObject(set, AcDb::kFileFiler)), Acad::eOk);
  EXPECT_FALSE(fs::exists(target / "loose.dat1"));
}

TEST_F(StoreModelTest, ACopyThatCannotBeWrittenIsWarnedAndLeavesNoPartialFile) {
  const fs::path root = dir / "root";
  fs::create_directories(root / "workarea" / "J");
  std::ofstream(root / "workarea" / "J" / "N.dat") << "data";
  ASSERT_TRUE(CaeConfig::SetValue("Root Directory", CaeString(root.string()), 1));
  const AcDbObjectId stress = buildDrawing();
  ASSERT_EQ(acDocManagerPtr()->saveDocument(current(), (dir / "drawing.dwg").string(), true), Acad::eOk);
  // A file where the drawing's folder belongs: the folder cannot be made, nor the copy written.
  std::ofstream(dir / "drawing") << "in the way";
  const AcDbObjectId set = membersOf(stress).sets[0];
  driver.boxes.clear();
  EXPECT_EQ(readObject(set, AcDb::kFileFiler, resultSet100(set, {"J\\N.dat"})), Acad::eOk);
  EXPECT_EQ(kestrum::test::readFile(dir / "drawing"), "in the way");
  for (const auto& entry : fs::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename().string().find("partial"), std::string::npos) << entry.path();
  ASSERT_EQ(driver.boxes.size(), 1u);
  EXPECT_NE(driver.boxes[0].find("Could not open file"), std::string::npos) << driver.boxes[0];
  EXPECT_NE(driver.boxes[0].find("N.dat"), std::string::npos) << driver.boxes[0];
  EXPECT_NE(dumpOf(set).find("file \"N.dat\""), std::string::npos);
}

// ---- the post-load material lookup ------------------------------------------------------------

TEST_F(StoreModelTest, LoadMaterialReadsAMeshItDoesNotChange) {
  const AcDbObjectId stress = buildDrawing();
  DbTransaction transaction(db());
  auto* sub = openForWrite<CaepAnlSubModelObj>(db(), membersOf(stress).subs[0]);
  AcDbObject* mesh = nullptr;
  ASSERT_EQ(acdbOpenObject(mesh, sub->MeshId(), AcDb::kForWrite), Acad::eOk);
  auto* engine = dynamic_cast<CaeActive*>(mesh);
  ASSERT_NE(engine, nullptr);
  engine->MarkAsCurrent();
  mesh->close();

  // A mesh with nothing to restore is only made not current: no write-open, so no copy of it is
  // kept for undo or for an abort.
  sub->LoadMaterial(openForWrite<CaepAnlModelObj>(db(), stress));
  ASSERT_EQ(db()->transactionManager()->getObject(mesh, sub->MeshId(), AcDb::kForRead), Acad::eOk);
  EXPECT_FALSE(mesh->isWriteEnabled());
  EXPECT_FALSE(engine->IsMarkedAsCurrent());
}

TEST_F(StoreModelTest, LoadMaterialLooksInTheDocumentLibraryThenThePartModellersFile) {
  // Copies of the shipped libraries: the document's and the part modeller's under "Root Directory".
  const fs::path library = dir / "lib" / "zq_fea.mat";
  fs::create_directories(library.parent_path());
  fs::copy_file(kestrum::test::sourcePath("data/zq_fea.mat"), library);
  const fs::path root = dir / "root";
  fs::create_directories(root / "MDT");
  fs::copy_file(kestrum::test::sourcePath("data/MDT/zq_fea.mat"), root / "MDT" / "zq_fea.mat");
  ASSERT_TRUE(CaeConfig::SetValue("Root Directory", CaeString(root.string()), 1));
  CadInterface::GetCurrent()->SetMaterialLibraryLocation(library.string().c_str());

  // A material of the part modeller's file that the document library lacks.
  std::vector<std::string> documentNames, modellerNames;
  {
    MaterialLibrary document(CaeString(library.string()));
    CaeList<CaeString> names;
    document.ListNames(names);
    for (CaeString* name : names) documentNames.push_back(name->Str());
    AcMatLibrary modeller(CaeString((root / "MDT" / "zq_fea.mat").string()));
    CaeList<CaeString> more;
    modeller.ListNames(more);
    for (CaeString* name : more) modellerNames.push_back(name->Str());
    for (CaeString* name : names) delete name;
    for (CaeString* name : more) delete name;
  }
  std::string onlyInModeller;
  for (const std::string& name : modellerNames)
    if (std::find(documentNames.begin(), documentNames.end(), name) == documentNames.end()) onlyInModeller = name;
  ASSERT_FALSE(onlyInModeller.empty());
  ASSERT_FALSE(documentNames.empty());

  const AcDbObjectId stress = buildDrawing();
  struct Row {
    std::string material;
    bool found;
  };
  for (const Row& row :
       {Row{documentNames.front(), true}, Row{onlyInModeller, true}, Row{"Unobtainium", false}, Row{"", false}}) {
    SCOPED_TRACE(row.material);
    const AcDbObjectId subId = membersOf(stress).subs[0];
    AcDbObjectId mesh;
    {
      DbTransaction transaction(db());
      mesh = openForWrite<CaepAnlSubModelObj>(db(), subId)->MeshId();
    }
    // As after reading: the name is stored, no material or element property is held yet.
    const std::string record = handRecord(subId, [&](AcDbDwgFiler& filer) {
      filer.writeUInt16(630);
      filer.writeString("Body");
      filer.writeInt32(3);
      filer.writeInt16(1);
      filer.writeString(row.material);
      filer.writeHardPointerId(AcDbHardPointerId(mesh));
      filer.writeInt16(1);
      filer.writeInt16(CaeShapeTri);
      filer.writeInt16(CaeElemQuadratic);
      filer.writeInt16(CaeElemShell);
      filer.writeInt16(0);
      filer.writeDouble(1.75);
      filer.writeInt16(0);
    });
    ASSERT_EQ(readObject(subId, AcDb::kFileFiler, record), Acad::eOk);
    driver.boxes.clear();
    {
      DbTransaction transaction(db());
      auto* sub = openForWrite<CaepAnlSubModelObj>(db(), subId);
      sub->LoadMaterial(openForWrite<CaepAnlModelObj>(db(), stress));
      ASSERT_NE(sub->GetMaterial(), nullptr);
      EXPECT_EQ(sub->GetMaterial()->Name(), row.material);
      EXPECT_EQ(sub->GetMaterial()->NumProp() > 0, row.found);
      ASSERT_NE(sub->GetProp(), nullptr);
      EXPECT_EQ(sub->GetProp()->GetPropValue(CaeElemProp::kThickness), 1.75);
    }
    if (row.found) {
      EXPECT_TRUE(driver.boxes.empty()) << driver.boxes.front();
    } else {
      ASSERT_EQ(driver.boxes.size(), 1u);
      EXPECT_NE(driver.boxes[0].find("The material '" + row.material + "' used in this model was not found."),
                std::string::npos)
          << driver.boxes[0];
    }
  }
  // What only the part modeller's file had is now in the document library.
  MaterialLibrary document(CaeString(library.string()));
  EXPECT_NE(document.Find(CaeString(onlyInModeller)), nullptr);
  EXPECT_EQ(document.Find(CaeString("Unobtainium")), nullptr);
}

}  // namespace
