// The undo table: commands that do what the Explorer and the model command will do to the store,
// run through the host's command line and the add-in's dispatcher. After each, UNDO 1 and REDO
// give back the drawing from before and after; a command that fails after changing objects
// leaves nothing of its changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "CadInterface/AcCadEntry.h"
#include "amg/CaeConfig.h"
#include "amg/CaeExcept.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadDocServices.h"
#include "db/dbCase.h"
#include "db/dbControl.h"
#include "db/dbFiling.h"
#include "db/dbJob.h"
#include "db/dbLbcSet.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "db/dbSubModel.h"
#include "fea/AttTypes.h"
#include "fea/FerResult.h"
#include "frame_support.h"
#include "mcad/amiapp.h"
#include "mfc/driver.h"
#include "store_drawing_build.h"
#include "store_drawing_dump.h"
#include "store_standins.h"
#include "test_env.h"

namespace fs = std::filesystem;

namespace {

// The work of the command under test; the handler runs it inside the dispatcher's transaction.
std::function<void()> commandWork;
bool failAfterWork = false;

int testHandler() {
  commandWork();
  if (failAfterWork) throw CaeExcept(CaeString("The command gave up."));
  return 0;
}

AcApDocument* current() { return acDocManagerPtr()->curDocument(); }
AcDbDatabase* db() { return current()->database(); }

template <class T>
T* open(AcDbObjectId id) {
  return dynamic_cast<T*>(dbOpenMember(db(), id, AcDb::kForWrite));
}

bool noDuplicates(const std::vector<AcDbObjectId>& ids) {
  return std::set<AcDbObjectId>(ids.begin(), ids.end()).size() == ids.size();
}
bool noDuplicates(const AcDbObjectIdArray& ids) {
  return noDuplicates(std::vector<AcDbObjectId>(ids.begin(), ids.end()));
}

// Every list of ids the store keeps in the drawing lists each id once.
void expectNoDuplicates(const StoreDrawing& d) {
  CaepAnlControl* control = dbControlOf(db());
  for (int kind = 0; kind < kDbStoredKinds; ++kind)
    EXPECT_TRUE(noDuplicates(control->Ids(static_cast<DbStoredKind>(kind)))) << "control list " << kind;
  DbTransaction transaction(db());
  for (AcDbObjectId id : control->Ids(DbStoredKind::AnlModel)) {
    AcDbObject* object = dbOpenMember(db(), id, AcDb::kForRead, true);
    if (auto* model = CaepAnlModelObj::cast(object)) {
      EXPECT_TRUE(noDuplicates(model->SubModelIds()));
      EXPECT_TRUE(noDuplicates(model->JobIds()));
      EXPECT_TRUE(noDuplicates(model->ResultSetIds()));
    }
  }
  for (AcDbObjectId id : {d.loads, d.restraints})
    if (auto* set = dynamic_cast<CaepLbcSetObj*>(dbOpenMember(db(), id, AcDb::kForRead, true))) {
      EXPECT_TRUE(noDuplicates(set->ConditionIds()));
    }
  if (auto* resultCase = CaepAnlResultCase::cast(dbOpenMember(db(), d.resultCase, AcDb::kForRead, true))) {
    EXPECT_TRUE(noDuplicates(resultCase->LoadEntryIds()));
    EXPECT_TRUE(noDuplicates(resultCase->RestraintEntryIds()));
  }
}

class StoreUndoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(kestrum::test::sourcePath("data/zq_fea.mat"), dir / "zq_fea.mat");
    ASSERT_TRUE(CaeConfig::SetValue("MatLibLoc", CaeString((dir / "zq_fea.mat").string()), 0));
    startFreshHostWithPartModeller();
    ASSERT_TRUE(acrxModuleAttach());
    ASSERT_TRUE(acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint)) << cadhost::printedText();
    registerStoreStandIns();
    // The command under test answers to a registered name of the add-in.
    cmdReplaceHandler(kCmdModel, testHandler);
    failAfterWork = false;
  }
  void TearDown() override {
    cmdInitRunTimeEntries();
    cadhost::shutdownHost();
    acrxModuleDetach();
    unregisterStoreStandIns();
    mcadResetServices();
    cadhost::clearInput();
    cadhost::clearPrintedText();
  }

  // Types a line at the command prompt and runs it.
  static void type(const std::string& line) {
    cadhost::queueText(line + "\n");
    ASSERT_TRUE(cadhost::runNextCommand());
  }
  static std::string dump() { return dumpStoredDrawing(current(), true); }

  RecordingDriver driver;
  mfc::ScopedUserDriver scopedDriver{&driver};
  kestrum::test::TempDir dir;
};

struct Row {
  const char* name;
  std::function<void(const StoreDrawing&)> work;
};

std::vector<Row> rows(const fs::path& folder) {
  auto model = [](const StoreDrawing& d) { return open<CaepAnlModelObj>(d.stress); };
  auto subModel = [](const StoreDrawing& d, int i) {
    return open<CaepAnlSubModelObj>(open<CaepAnlModelObj>(d.stress)->SubModelIds()[i]);
  };
  return {
      {"CreateModel", [](const StoreDrawing&) { EXPECT_EQ(CadOpenModel("Frame", AnlBuckling), 0); }},
      {"SelectModel", [](const StoreDrawing&) { EXPECT_EQ(CadOpenModel("bracket", -1), 1); }},
      {"CreateLoadSet", [](const StoreDrawing&) { EXPECT_EQ(CadOpenLoadCase("Snow"), 0); }},
      {"CreateRestraintSet", [](const StoreDrawing&) { EXPECT_EQ(CadOpenRestraintCase("Pinned"), 0); }},
      {"SelectLoadSet", [](const StoreDrawing&) { EXPECT_EQ(CadOpenLoadCase("LOADS"), 1); }},
      {"DeleteModel", [](const StoreDrawing&) { EXPECT_EQ(CadDeleteModel("Bracket"), 1); }},
      {"DeleteLoadSet", [](const StoreDrawing&) { EXPECT_EQ(CadDeleteLoadCase("Loads"), 1); }},
      {"DeleteRestraintSet", [](const StoreDrawing&) { EXPECT_EQ(CadDeleteRestraintCase("fixed"), 1); }},
      {"AddSubModel", [model](const StoreDrawing& d) { storeAddSubModel(db(), model(d), "S275"); }},
      {"AddJob", [model, folder](const StoreDrawing& d) { storeAddJob(model(d), folder, "run2"); }},
      {"AddResultSet", [model](const StoreDrawing& d) { storeAddResultSet(model(d), "More stresses"); }},
      {"ChangeJob",
       [model](const StoreDrawing& d) {
         AnlJob* job = model(d)->GetJob(0);
         job->SetStatus(AnlStatusFailed);
         job->SetJobValue(7);
         job->AddResltCaseNames(CaeString("Wind"), CaeString("Clamped"));
       }},
      {"DeleteSubModel", [model](const StoreDrawing& d) { model(d)->DeleteSubModel(model(d)->GetSubModel(1)); }},
      {"AddCondition",
       [](const StoreDrawing& d) { storeAddCondition(db(), d.loads, storeFirstTypeOfKind(AttKindLoad)); }},
      {"AddLoadEntry",
       [](const StoreDrawing& d) {
         open<CaepAnlResultCase>(d.resultCase)->AddLoadCase(open<CaepLbcSetObj>(d.loads), 4.0);
       }},
      {"AddRestraintEntry",
       [](const StoreDrawing& d) {
         open<CaepAnlResultCase>(d.resultCase)->AddBoundaryCase(open<CaepLbcSetObj>(d.restraints), 2.0);
       }},
      {"RemoveLoadEntry",
       [](const StoreDrawing& d) {
         auto* resultCase = open<CaepAnlResultCase>(d.resultCase);
         EXPECT_EQ(resultCase->RemoveLoadCase(resultCase->FirstLbcCase(0)), 1);
       }},
      {"RemoveRestraintEntry",
       [](const StoreDrawing& d) {
         auto* resultCase = open<CaepAnlResultCase>(d.resultCase);
         EXPECT_EQ(resultCase->RemoveBoundaryCase(resultCase->FirstLbcCase(1)), 1);
       }},
      {"EraseMesh",
       [subModel](const StoreDrawing& d) {
         EXPECT_EQ(open<StoreMeshStandIn>(subModel(d, 0)->MeshId())->erase(), Acad::eOk);
       }},
      // Listing opens for read: a rename or a change of a set's result or subset write-enables
      // what it changes.
      {"RenameListedModel",
       [](const StoreDrawing& d) {
         CaepAnlModelObj::cast(dbOpenMember(db(), d.stress, AcDb::kForRead))->Name(CaeString("Renamed"));
       }},
      {"RenameListedResultSet",
       [model](const StoreDrawing& d) {
         FerResultSet* set = model(d)->FindResultSet(CaeString("Stresses"));
         ASSERT_NE(set, nullptr);
         set->Name(CaeString("Renamed stresses"));
       }},
      {"ChangeResultAndSubSetOfAListedSet",
       [model](const StoreDrawing& d) {
         FerResultSet* set = model(d)->FindResultSet(CaeString("Stresses"));
         ASSERT_NE(set, nullptr);
         FerResult* result = set->FindResult(FerQtyDisplacement);
         ASSERT_NE(result, nullptr);
         result->SetName(CaeString("Moved"));
         result->SetEntityCount(121);
         set->GetSubSet(0)->SetValue(13.5);
       }},
  };
}

TEST_F(StoreUndoTest, UndoAndRedoGiveTheDrawingFromBeforeAndAfterEachCommand) {
  for (const Row& row : rows(dir.path())) {
    SCOPED_TRACE(row.name);
    acDocManagerPtr()->newDocument();
    const StoreDrawing d = buildStoreDrawing(current(), dir.path());
    type("LIST");  // the drawing's first command end: the post-load pass has run before the table
    const std::string before = dump();
    const std::vector<std::string> history = db()->undoGroupNames();
    commandWork = [&] { row.work(d); };
    cadhost::clearPrintedText();
    type("CAEP_MODEL");
    EXPECT_EQ(cadhost::printedText().find("General Error"), std::string::npos) << cadhost::printedText();
    const std::string after = dump();
    const std::vector<std::string> withCommand = db()->undoGroupNames();
    ASSERT_EQ(withCommand.size(), history.size() + 1);
    if (std::string(row.name).rfind("Select", 0) != 0) {
      EXPECT_NE(after, before);
    }
    for (int round = 0; round < 2; ++round) {
      type("UNDO 1");
      EXPECT_EQ(dump(), before);
      expectNoDuplicates(d);
      type("REDO");
      EXPECT_EQ(dump(), after);
      expectNoDuplicates(d);
      // Cascades replayed by UNDO and REDO record nothing of their own.
      EXPECT_EQ(db()->undoGroupNames(), withCommand);
    }
    EXPECT_EQ(cadhost::printedText().find("TLX"), std::string::npos) << cadhost::printedText();
  }
}

TEST_F(StoreUndoTest, ACommandThatFailsAfterChangingObjectsLeavesNothingOfItsChanges) {
  for (const Row& row : rows(dir.path())) {
    SCOPED_TRACE(row.name);
    acDocManagerPtr()->newDocument();
    const StoreDrawing d = buildStoreDrawing(current(), dir.path());
    type("LIST");
    const std::string before = dump();
    commandWork = [&] { row.work(d); };
    failAfterWork = true;
    cadhost::clearPrintedText();
    type("CAEP_MODEL");
    failAfterWork = false;
    EXPECT_NE(cadhost::printedText().find("The command gave up."), std::string::npos) << cadhost::printedText();
    EXPECT_EQ(dump(), before);
    expectNoDuplicates(d);
    // The drawing goes on: the same work as a command that ends well changes it.
    if (std::string(row.name).rfind("Select", 0) != 0) {
      type("CAEP_MODEL");
      EXPECT_NE(dump(), before);
    }
  }
}

// Undo gives a result set back its filed fields; the mesh and values in memory (read from a results
// file or a data file, never part of the record) stay with it.
TEST_F(StoreUndoTest, UndoOfAChangeToAResultSetKeepsItsMeshAndValues) {
  acDocManagerPtr()->newDocument();
  const StoreDrawing d = buildStoreDrawing(current(), dir.path());
  type("LIST");
  auto stresses = [&] { return open<CaepAnlModelObj>(d.stress)->FindResultSet(CaeString("Stresses")); };
  commandWork = [&] {
    FerResultSet* set = stresses();
    auto mesh = std::make_shared<FerMesh>();
    mesh->nodeIds = {1, 2};
    mesh->coordinates = {0, 0, 0, 1, 0, 0};
    set->SetMesh(mesh);
    std::vector<double> values = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8};
    set->FindResult(FerQtyDisplacement)->SetNodalData(0, {1, 2}, values);
  };
  type("CAEP_MODEL");
  commandWork = [&] { stresses()->SetSubSetName(CaeString("Shape")); };
  type("CAEP_MODEL");
  type("UNDO 1");
  commandWork = [&] {
    FerResultSet* set = stresses();
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->SubSetName().Str(), "Mode") << "the filed fields are those from before";
    ASSERT_NE(set->Mesh(), nullptr);
    EXPECT_EQ(set->Mesh()->NumNodes(), 2);
    double value = 0.0;
    EXPECT_TRUE(set->FindResult(FerQtyDisplacement)->NodeValue(0, 2, 3, value));
    EXPECT_EQ(value, 0.8);
  };
  type("CAEP_MODEL");
}

}  // namespace
