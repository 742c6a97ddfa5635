// Transform filing, the shared undo reactor, the interface's model lookups and result-set hook,
// and the module's refusal to unload while a drawing still needs its code.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "CadInterface/AcCadEntry.h"
#include "CadInterface/AcCadInterface.h"
#include "amg/CaeExcept.h"
#include "amg/CaeTransform.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbdict.h"
#include "arx/dbfiler.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "db/dbDict.h"
#include "db/dbMatLib.h"
#include "db/dbResultSet.h"
#include "db/dbTransform.h"
#include "fea/AnlModel.h"
#include "frame_support.h"
#include "mcad/amiapp.h"
#include "test_env.h"
#include "util/acDeferredPasses.h"

namespace {

// A stored model as the store's model class will be: one object that is both a drawing object
// and an engine model. It files its type, so that undo has something to restore.
class TestModelObj : public AcDbObject, public AnlModel {
 public:
  ACRX_DECLARE_MEMBERS(TestModelObj);
  TestModelObj() = default;
  TestModelObj(const char* name, AnlType type) : CaeName(CaeString(name)), AnlModel(CaeString(name), type) {}

  static void rxInit() {
    if (!acrxFindClass("TestModelObj"))
      newAcRxClass(
          "TestModelObj", "AcDbObject", 0, 0, 0,
          [] { return static_cast<AcRxObject*>(new (std::nothrow) TestModelObj()); }, "TESTMODELOBJ");
    acrxBuildClassHierarchy();
  }

  void ChangeType(AnlType type) {
    assertWriteEnabled();
    SetType(type);
  }

  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override {
    if (const Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer); status != Acad::eOk) return status;
    filer->writeInt16(static_cast<Adesk::Int16>(Type()));
    return filer->filerStatus();
  }
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override {
    if (const Acad::ErrorStatus status = AcDbObject::dwgInFields(filer); status != Acad::eOk) return status;
    Adesk::Int16 type = 0;
    if (filer->readInt16(&type) == Acad::eOk) SetType(static_cast<AnlType>(type));
    return filer->filerStatus();
  }
};

AcRxClass* TestModelObj::desc() { return acrxFindClass("TestModelObj"); }
AcRxClass* TestModelObj::isA() const { return desc(); }

AcDbDatabase* workingDb() { return acdbHostApplicationServices()->workingDatabase(); }

// Adds a model to the working drawing, outside any dictionary; answers its id.
AcDbObjectId addModel(const char* name, AnlType type, bool watched) {
  auto* model = new TestModelObj(name, type);
  AcDbObjectId id;
  EXPECT_EQ(workingDb()->addAcDbObject(id, model), Acad::eOk);
  if (watched) dbWatchModifyUndone(model);
  model->close();
  return id;
}

// Files a model under `name` in "ANALYSIS_MODELS" of the working drawing.
AcDbObjectId fileModel(const char* name, AnlType type) {
  AcDbDictionary* models = nullptr;
  EXPECT_EQ(dbGetAnalysisModelsDict(models, AcDb::kForWrite), Acad::eOk);
  auto* model = new TestModelObj(name, type);
  AcDbObjectId id;
  EXPECT_EQ(models->setAt(name, model, id), Acad::eOk);
  model->close();
  models->close();
  return id;
}

Acad::ErrorStatus eraseObject(AcDbObjectId id) {
  AcDbObject* object = nullptr;
  Acad::ErrorStatus status = acdbOpenObject(object, id, AcDb::kForWrite);
  if (status != Acad::eOk) return status;
  status = object->erase();
  object->close();
  return status;
}

Acad::ErrorStatus openStatus(AcDbObjectId id) {
  AcDbObject* object = nullptr;
  const Acad::ErrorStatus status = acdbOpenObject(object, id, AcDb::kForRead, true);
  if (status == Acad::eOk) object->close();
  return status;
}

bool hasCaepDict(AcDbDatabase* db) {
  AcDbDictionary* named = nullptr;
  if (db->getNamedObjectsDictionary(named, AcDb::kForRead) != Acad::eOk) return false;
  const bool present = named->has(kCaepDictName);
  named->close();
  return present;
}

// The drawing's two records, made as the store makes them when the dictionary is first needed.
std::vector<AcDbObjectId> makeRecords() {
  AcDbDictionary* caep = nullptr;
  EXPECT_EQ(dbGetCaepDict(caep), Acad::eOk);
  std::vector<AcDbObjectId> ids(2);
  EXPECT_EQ(caep->getAt(kVersionRecordKey, ids[0]), Acad::eOk);
  EXPECT_EQ(caep->getAt(kUnitsRecordKey, ids[1]), Acad::eOk);
  caep->close();
  return ids;
}

class StoreGlueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    startFreshHostWithPartModeller();
    ASSERT_TRUE(acrxModuleAttach());
    ASSERT_TRUE(acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint)) << cadhost::printedText();
    TestModelObj::rxInit();
    cadhost::clearPrintedText();
  }
  void TearDown() override {
    cadhost::shutdownHost();
    acrxModuleDetach();
    if (AcRxClass* record = TestModelObj::desc()) deleteAcRxClass(record);
    mcadResetServices();
    cadhost::clearInput();
    cadhost::clearPrintedText();
  }

  static AcCadInterface& cad() { return *AcCadInterface::GetCurrentAc(); }
  static bool unload() { return acrxDynamicLinker->unloadModule("kestrum.arx"); }

  RecordingDriver driver;
};

// --- transform filing ----------------------------------------------------------------------------------

std::vector<double> writtenValues(const CaeTransform& transform) {
  AcDbDwgFiler out(AcDb::kFileFiler, nullptr);
  EXPECT_EQ(dbTransformToMatrix(&out, transform), Acad::eOk);
  const std::string bytes = out.takeBuffer();
  AcDbDwgFiler in(AcDb::kFileFiler, nullptr, bytes);
  std::vector<double> values;
  double value = 0;
  while (in.readDouble(&value) == Acad::eOk) values.push_back(value);
  EXPECT_TRUE(in.atEnd());
  return values;
}

// Component (i, j) holds 10 i + j + 0.5, so every position is told apart.
CaeTransform numbered() {
  CaeTransform transform;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) transform.Set(i, j, 10 * i + j + 0.5);
  return transform;
}

TEST(TransformFiling, IdentityIsWrittenRowByRow) {
  EXPECT_EQ(writtenValues(CaeTransform()), (std::vector<double>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
}

TEST(TransformFiling, ComponentIJIsValueNumberFourIPlusJPlusOneAndReadsBack) {
  const std::vector<double> values = writtenValues(numbered());
  ASSERT_EQ(values.size(), 16u);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_EQ(values[4 * i + j], 10 * i + j + 0.5) << i << "," << j;

  AcDbDwgFiler out(AcDb::kUndoFiler, nullptr);
  ASSERT_EQ(dbTransformToMatrix(&out, numbered()), Acad::eOk);
  const std::string bytes = out.takeBuffer();
  AcDbDwgFiler in(AcDb::kUndoFiler, nullptr, bytes);
  CaeTransform read;
  ASSERT_EQ(dbMatrixToTransform(&in, read), Acad::eOk);
  EXPECT_EQ(read, numbered());
}

TEST(TransformFiling, FailedSixthReadKeepsTheFiveReadAndLeavesTheRest) {
  AcDbDwgFiler out(AcDb::kFileFiler, nullptr);
  ASSERT_EQ(dbTransformToMatrix(&out, numbered()), Acad::eOk);
  const std::string bytes = out.takeBuffer();
  AcDbDwgFiler in(AcDb::kFileFiler, nullptr, bytes);
  in.setFailAt(6);
  CaeTransform read;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) read.Set(i, j, -7);
  EXPECT_EQ(dbMatrixToTransform(&in, read), Acad::eFilerError);
  for (int k = 0; k < 16; ++k) {
    const int i = k / 4, j = k % 4;
    EXPECT_EQ(read.Component(i, j), k < 5 ? 10 * i + j + 0.5 : -7) << i << "," << j;
  }
}

TEST(TransformFiling, FailedWriteStopsAndAnswersTheFilerStatus) {
  AcDbDwgFiler out(AcDb::kFileFiler, nullptr);
  out.setFailAt(3);
  EXPECT_EQ(dbTransformToMatrix(&out, numbered()), Acad::eFilerError);
  EXPECT_EQ(out.callCount(), 3);
}

// --- the shared undo reactor ---------------------------------------------------------------------------

TEST_F(StoreGlueTest, OneReactorWatchesObjectsOfTwoDrawings) {
  EXPECT_EQ(dbModifyUndoneReactor(), nullptr);
  const AcDbObjectId first = addModel("First", AnlStress, true);
  DbModifyUndoneReactor* reactor = dbModifyUndoneReactor();
  ASSERT_NE(reactor, nullptr);
  acDocManagerPtr()->newDocument();
  const AcDbObjectId second = addModel("Second", AnlStress, true);
  EXPECT_EQ(dbModifyUndoneReactor(), reactor);
  ASSERT_NE(first.database(), second.database());

  for (AcDbObjectId id : {first, second}) {
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eOk);
    dbWatchModifyUndone(object);  // a second watch attaches nothing more
    EXPECT_EQ(object->reactors(), std::vector<AcDbObjectReactor*>{reactor});
    object->close();
  }
}

TEST_F(StoreGlueTest, UndoOfAWatchedChangeRaisesTheUndoModifiedFlag) {
  const AcDbObjectId watched = addModel("Watched", AnlStress, true);
  const AcDbObjectId plain = addModel("Plain", AnlStress, false);
  auto changeAndUndo = [](AcDbObjectId id) {
    acTopoClearUndoModified();
    workingDb()->beginUndoGroup("CHANGE");
    TestModelObj* model = nullptr;
    EXPECT_EQ(acdbOpenObject(model, id, AcDb::kForWrite), Acad::eOk);
    model->ChangeType(AnlHeatTransfer);
    model->close();
    workingDb()->endUndoGroup();
    EXPECT_EQ(acTopoUndoModified(), 0);  // the change itself raises nothing
    EXPECT_EQ(workingDb()->undo(1), 1);
    EXPECT_EQ(acdbOpenObject(model, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(model->Type(), AnlStress);
    model->close();
    return acTopoUndoModified();
  };
  EXPECT_EQ(changeAndUndo(plain), 0);
  EXPECT_EQ(changeAndUndo(watched), 1);
  acTopoResetFlags();
  EXPECT_EQ(acTopoUndoModified(), 0);
}

// --- model lookups through "ANALYSIS_MODELS" ------------------------------------------------------------

TEST_F(StoreGlueTest, ModelTypeAndExistenceGoThroughTheModelsDictionary) {
  fileModel("Bracket", AnlBuckling);
  fileModel("Housing", AnlVibration);
  ASSERT_EQ(eraseObject(fileModel("Frame", AnlHeatTransfer)), Acad::eOk);
  {  // an entry that is not a model
    AcDbDictionary* models = nullptr;
    ASSERT_EQ(dbGetAnalysisModelsDict(models, AcDb::kForWrite), Acad::eOk);
    auto* other = new AcDbDictionary();
    AcDbObjectId id;
    ASSERT_EQ(models->setAt("Folder", other, id), Acad::eOk);
    other->close();
    models->close();
  }
  cadhost::clearPrintedText();

  struct Case {
    const char* label;
    const char* name;
    int type;  // 0 and not found unless `found`
    bool found;
  };
  const Case cases[] = {
      {"exact", "Bracket", AnlBuckling, true},
      {"other letter case", "bRACKET", AnlBuckling, true},
      {"second model", "HOUSING", AnlVibration, true},
      {"erased", "Frame", 0, false},
      {"missing", "Nothing", 0, false},
      {"not a model", "Folder", 0, false},
      {"empty", "", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(cad().GetModelType(c.name), c.type);
    int type = 7;
    EXPECT_EQ(cad().ModelExists(c.name, &type), c.found ? 1 : 0);
    EXPECT_EQ(type, c.type);
  }
  EXPECT_EQ(cadhost::printedText(), "");
  EXPECT_TRUE(driver.boxes.empty());
}

TEST_F(StoreGlueTest, EmptyNameLeavesADrawingWithoutTheDictionaryAlone) {
  ASSERT_FALSE(hasCaepDict(workingDb()));
  EXPECT_EQ(cad().GetModelType(""), 0);
  int type = 7;
  EXPECT_EQ(cad().ModelExists("", &type), 0);
  EXPECT_EQ(type, 0);
  EXPECT_FALSE(hasCaepDict(workingDb()));
  // A name is looked up, which makes the dictionary.
  EXPECT_EQ(cad().GetModelType("Any"), 0);
  EXPECT_TRUE(hasCaepDict(workingDb()));
}

TEST_F(StoreGlueTest, WithoutADrawingModelExistsLeavesTheTypeAndGetModelTypeRaises) {
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(acDocManagerPtr()->curDocument()));
  ASSERT_EQ(workingDb(), nullptr);
  int type = 7;
  EXPECT_EQ(cad().ModelExists("Bracket", &type), 0);
  EXPECT_EQ(type, 7);
  EXPECT_THROW(cad().GetModelType("Bracket"), CaeExcept);
}

// --- objects the interface hands out and the result-set hook -------------------------------------------

TEST_F(StoreGlueTest, DeleteObjectFreesOnlyWhatItHandedOutAndOnlyOnce) {
  kestrum::test::TempDir dir;
  const std::string path = (dir / "lib.mat").string();
  std::ofstream(path) << "";
  MaterialLibrary* library = cad().OpenMaterialLibrary(path.c_str());
  ASSERT_NE(library, nullptr);
  cad().DeleteObject(library);
  cad().DeleteObject(library);  // already freed: ignored (ASan would see a second delete)
  cad().DeleteObject(nullptr);
  // A library the caller made itself is the caller's: the interface does not touch it.
  auto* own = new MaterialLibrary(path.c_str());
  cad().DeleteObject(own);
  EXPECT_EQ(own->Remove("Nothing"), 0);  // still alive
  delete own;
}

TEST_F(StoreGlueTest, CreateResultCaseObjectAddsAResultSetWithoutOwner) {
  const int objectsBefore = workingDb()->numObjects(true);
  cad().CreateResultCaseObject(1);  // the argument is ignored
  ASSERT_EQ(workingDb()->numObjects(true), objectsBefore + 1);
  AcDbObjectId made;
  for (AcDbObjectId id : workingDb()->objectIds())
    if (AcDbObject* object = nullptr; acdbOpenObject(object, id, AcDb::kForRead) == Acad::eOk) {
      if (object->isA() == CaepResultCaseObj::desc()) made = id;
      object->close();
    }
  ASSERT_FALSE(made.isNull());
  AcDbObject* set = nullptr;
  ASSERT_EQ(acdbOpenObject(set, made, AcDb::kForRead), Acad::eOk);
  EXPECT_TRUE(set->ownerId().isNull());
  set->close();
}

// --- unload while drawings hold the add-in's objects ----------------------------------------------------

TEST_F(StoreGlueTest, UnloadIsRefusedNamingTheDrawingUntilItsObjectsAreErased) {
  AcApDocument* holder = acDocManagerPtr()->curDocument();
  const std::string holderName = holder->fileName();
  const std::vector<AcDbObjectId> records = makeRecords();
  acDocManagerPtr()->newDocument();
  const std::string otherName = acDocManagerPtr()->curDocument()->fileName();
  ASSERT_NE(holderName, otherName);

  EXPECT_FALSE(unload());
  const std::string printed = cadhost::printedText();
  EXPECT_NE(printed.find("the drawing " + holderName + " holds"), std::string::npos) << printed;
  EXPECT_EQ(printed.find(otherName), std::string::npos) << printed;
  // Refused before anything was taken down.
  EXPECT_TRUE(acrxDynamicLinker->isModuleLoaded("kestrum.arx"));
  EXPECT_NE(CadInterface::GetCurrent(), nullptr);
  EXPECT_TRUE(acIsInitialised());
  for (AcDbObjectId id : records) EXPECT_EQ(openStatus(id), Acad::eOk);

  // One record erased is not enough.
  ASSERT_EQ(eraseObject(records[0]), Acad::eOk);
  EXPECT_FALSE(unload());
  AcDbDatabase* db = holder->database();
  db->beginUndoGroup("ERASE");
  ASSERT_EQ(eraseObject(records[1]), Acad::eOk);
  db->endUndoGroup();
  cadhost::clearPrintedText();
  EXPECT_TRUE(unload()) << cadhost::printedText();
  EXPECT_EQ(CadInterface::GetCurrent(), nullptr);
  // Erased objects do not outlive their code: undoing their erasure cannot bring them back.
  for (AcDbObjectId id : records) EXPECT_EQ(openStatus(id), Acad::ePermanentlyErased);
  EXPECT_EQ(db->undo(1), 1);
  for (AcDbObjectId id : records) EXPECT_EQ(openStatus(id), Acad::ePermanentlyErased);
}

TEST_F(StoreGlueTest, ClosingTheDrawingThatHoldsObjectsLetsTheModuleGo) {
  AcApDocument* holder = acDocManagerPtr()->curDocument();
  makeRecords();
  acDocManagerPtr()->newDocument();
  EXPECT_FALSE(unload());
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(holder));
  cadhost::clearPrintedText();
  EXPECT_TRUE(unload()) << cadhost::printedText();
}

TEST_F(StoreGlueTest, AWatchedObjectKeepsTheModuleUntilErasedAndThenLosesTheReactor) {
  const AcDbObjectId watched = addModel("Watched", AnlStress, true);
  EXPECT_FALSE(unload());
  EXPECT_NE(cadhost::printedText().find("cannot be unloaded"), std::string::npos);
  ASSERT_EQ(eraseObject(watched), Acad::eOk);
  EXPECT_TRUE(unload()) << cadhost::printedText();
  EXPECT_EQ(dbModifyUndoneReactor(), nullptr);
  // Not one of the add-in's classes: it stays, without the reactor.
  AcDbObject* object = nullptr;
  ASSERT_EQ(acdbOpenObject(object, watched, AcDb::kForRead, true), Acad::eOk);
  EXPECT_TRUE(object->reactors().empty());
  object->close();
}

TEST_F(StoreGlueTest, QuitWithObjectsPresentClosesTheDrawingsFirstAndReleasesTheReactor) {
  makeRecords();
  addModel("Watched", AnlStress, true);
  acDocManagerPtr()->newDocument();
  addModel("Other", AnlVibration, true);
  ASSERT_NE(dbModifyUndoneReactor(), nullptr);
  cadhost::shutdownHost();
  EXPECT_EQ(dbModifyUndoneReactor(), nullptr);
  EXPECT_FALSE(acIsInitialised());
  EXPECT_EQ(cadhost::printedText().find("cannot be unloaded"), std::string::npos) << cadhost::printedText();
}

// --- the same in the host program, where unloading really unmaps the module -----------------------------

struct ProgramRun {
  int exitCode = -1;
  std::string output;
};

ProgramRun runScript(const kestrum::test::TempDir& dir, const std::string& script) {
  std::ofstream(dir / "test.scr") << script;
  const std::string out = (dir / "output.txt").string();
  const std::string command = "cd '" + dir.path().string() + "' && '" +
                              kestrum::test::buildPath("bin/cadhost").string() + "' --script test.scr > '" + out +
                              "' 2>&1";
  const int status = std::system(command.c_str());
  return ProgramRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, kestrum::test::readFile(out)};
}

TEST_F(StoreGlueTest, HostProgramRefusesArxUnloadWithRecordsAndQuitsCleanly) {
  kestrum::test::TempDir dir;
  makeRecords();
  ASSERT_EQ(workingDb()->saveAs((dir / "a.dwg").string()), Acad::eOk);
  const std::string load = "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() + "\n";

  const ProgramRun refused = runScript(dir, load +
                                                "OPEN a.dwg\n"
                                                "ARXUNLOAD kestrum.arx\n"
                                                "SAVEAS b.dwg\n"
                                                "UNDO 1\n"
                                                "CLOSE\n"
                                                "N\n"
                                                "ARXUNLOAD kestrum.arx\n"
                                                "QUIT\n");
  EXPECT_EQ(refused.exitCode, 1) << refused.output;  // the refused ARXUNLOAD is a failed line
  EXPECT_NE(refused.output.find("cannot be unloaded: the drawing " + (dir / "a.dwg").string() + " holds"),
            std::string::npos)
      << refused.output;
  EXPECT_NE(refused.output.find("kestrum.arx refused to unload."), std::string::npos) << refused.output;
  EXPECT_NE(refused.output.find("kestrum.arx unloaded."), std::string::npos) << refused.output;
  EXPECT_EQ(refused.output.find("AddressSanitizer"), std::string::npos) << refused.output;

  const ProgramRun quit = runScript(dir, load + "OPEN b.dwg\nQUIT\n");
  EXPECT_EQ(quit.exitCode, 0) << quit.output;
  EXPECT_EQ(quit.output.find("cannot be unloaded"), std::string::npos) << quit.output;
  EXPECT_EQ(quit.output.find("AddressSanitizer"), std::string::npos) << quit.output;
}

}  // namespace
