// The drawing's analysis control over stored objects: adding enters the dictionaries and makes the
// records, deleting erases and removes the entry, counts and walks pass over erased objects, the
// current objects are marked and redrawn, and names are checked before anything is made.
//
// The stored classes here are small stand-ins joining a host object with an engine object, as
// the drawing's own classes do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CadInterface/AcCadEntry.h"
#include "amg/CaeExcept.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdict.h"
#include "arx/dbentity.h"
#include "arx/dbtrans.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "db/dbControl.h"
#include "db/dbDict.h"
#include "db/dbOpen.h"
#include "fea/AnlModel.h"
#include "fea/AttLbcCase.h"
#include "fea/FerResult.h"
#include "fea/OptModel.h"
#include "frame_support.h"
#include "mcad/amiapp.h"
#include "util/acLayer.h"
#include "util/acPost.h"

namespace {

// Erasing the host object marks the engine object, as every stored class does.
template <class Engine>
void mirrorErase(Engine& engine, Adesk::Boolean erasing) {
  if (erasing)
    engine.MarkAsErased();
  else
    engine.MarkAsNotErased();
}

class TestModel : public AcDbObject, public AnlModel, public DbShownObject {
 public:
  explicit TestModel(const char* name) : AnlModel(CaeString(name), AnlType(0)) {}
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override {
    mirrorErase<AnlModel>(*this, erasing);
    return AcDbObject::subErase(erasing);
  }
  void MarkGraphicsModified() override { ++redraws; }
  int redraws = 0;
};

class TestSet : public AcDbObject, public AttLbcCase, public DbShownObject {
 public:
  TestSet(const char* name, Category category) : AttLbcCase(CaeString(name), category) {}
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override {
    mirrorErase<AttLbcCase>(*this, erasing);
    return AcDbObject::subErase(erasing);
  }
  void MarkGraphicsModified() override { ++redraws; }
  int redraws = 0;
};

class TestOptModel : public AcDbObject, public OptModel {
 public:
  explicit TestOptModel(const char* name) : OptModel(CaeString(name)) {}
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override {
    mirrorErase<OptModel>(*this, erasing);
    return AcDbObject::subErase(erasing);
  }
};

class TestVariable : public AcDbEntity, public OptVariable {
 public:
  explicit TestVariable(const char* name) : OptVariable(CaeString(name)) {}
};

class StoreControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    startFreshHostWithPartModeller();
    ASSERT_TRUE(acrxModuleAttach());
    ASSERT_TRUE(acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint)) << cadhost::printedText();
    control = dynamic_cast<CaepAnlControl*>(AnlControl::GetCurrent());
    ASSERT_NE(control, nullptr);
    acCurrentTransactionManager()->startTransaction();
  }
  void TearDown() override {
    AcDbTransactionManager* transactions = acCurrentTransactionManager();
    while (transactions && transactions->numActiveTransactions() > 0) transactions->endTransaction();
    cadhost::shutdownHost();
    acrxModuleDetach();
    mcadResetServices();
    cadhost::clearInput();
    cadhost::clearPrintedText();
  }

  TestModel* addModel(const char* name) {
    auto* model = new TestModel(name);
    control->AddAnlModel(model);
    return model;
  }
  TestSet* addLoadSet(const char* name) {
    auto* set = new TestSet(name, AttLbcCase::kLoadSet);
    control->AddLoadCase(set);
    return set;
  }
  std::vector<std::string> modelNames() {
    std::vector<std::string> names;
    for (AnlModel* model = control->FirstAnlModel(); model; model = control->NextAnlModel())
      names.push_back(model->Name().Str());
    return names;
  }
  static AcDbObjectId entryOf(const char* subDictionary, const char* key) {
    AcDbDictionary* dictionary = nullptr;
    EXPECT_EQ(dbGetCaepSubDict(dictionary, subDictionary, AcDb::kForRead), Acad::eOk);
    AcDbObjectId id;
    dictionary->getAt(key, id);
    dictionary->close();
    return id;
  }
  static bool opens(AcDbObjectId id) {
    AcDbObject* object = nullptr;
    if (acdbOpenObject(object, id, AcDb::kForRead) != Acad::eOk) return false;
    object->close();
    return true;
  }

  CaepAnlControl* control = nullptr;
};

TEST_F(StoreControlTest, AddingEntersTheDictionaryListsTheIdAndMakesTheRecords) {
  EXPECT_TRUE(control->VersionRecordId().isNull());
  TestModel* model = addModel("Bracket");
  const AcDbObjectId id = model->objectId();
  ASSERT_FALSE(id.isNull());
  EXPECT_TRUE(model->isWriteEnabled()) << "handed back open for write";
  EXPECT_EQ(entryOf(kAnalysisModelsKey, "BRACKET"), id) << "keys compare ignoring case";
  EXPECT_EQ(control->Ids(DbStoredKind::AnlModel), std::vector<AcDbObjectId>{id});
  EXPECT_TRUE(opens(control->VersionRecordId()));
  EXPECT_TRUE(opens(control->LengthUnitRecordId()));
  EXPECT_EQ(control->NumAnlModels(), 1);
  EXPECT_EQ(modelNames(), std::vector<std::string>{"Bracket"});
}

TEST_F(StoreControlTest, ErasedObjectsAreNeitherCountedNorWalkedButStayListed) {
  addModel("A");
  TestModel* b = addModel("B");
  addModel("C");
  ASSERT_EQ(b->erase(), Acad::eOk);
  EXPECT_EQ(control->NumAnlModels(), 2);
  EXPECT_EQ(modelNames(), (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(control->Ids(DbStoredKind::AnlModel).size(), 3u);
  ASSERT_EQ(b->erase(false), Acad::eOk);
  EXPECT_EQ(control->NumAnlModels(), 3) << "an unerased object counts again without being re-added";
  EXPECT_EQ(modelNames(), (std::vector<std::string>{"A", "B", "C"}));
}

TEST_F(StoreControlTest, CurrentObjectsAreMarkedRedrawnAndClearedWhenDeleted) {
  TestModel* a = addModel("A");
  TestModel* b = addModel("B");
  control->SetCurrentAnlModel(a);
  EXPECT_EQ(control->CurrentAnlModel(), a);
  EXPECT_TRUE(a->IsMarkedAsCurrent());
  EXPECT_EQ(a->redraws, 1);
  control->SetCurrentAnlModel(b);
  EXPECT_FALSE(a->IsMarkedAsCurrent()) << "making another current makes the previous one uncurrent";
  EXPECT_EQ(a->redraws, 2);
  EXPECT_TRUE(b->IsMarkedAsCurrent());

  control->DeleteAnlModel(a);
  EXPECT_EQ(control->CurrentAnlModel(), b) << "deleting a model that is not current leaves the current one";
  control->DeleteAnlModel(b);
  EXPECT_EQ(control->CurrentAnlModel(), nullptr);
  EXPECT_FALSE(b->IsMarkedAsCurrent());
  EXPECT_TRUE(b->isErased());
  EXPECT_TRUE(entryOf(kAnalysisModelsKey, "B").isNull());
  EXPECT_EQ(control->NumAnlModels(), 0);
}

TEST_F(StoreControlTest, RecordsGoWithTheLastModelOrSetAndComeBackWithTheNext) {
  TestModel* model = addModel("Only");
  TestSet* loads = addLoadSet("Loads");
  const AcDbObjectId version = control->VersionRecordId();
  control->DeleteAnlModel(model);
  EXPECT_TRUE(opens(version)) << "a set is left";
  control->DeleteLoadCase(loads);
  EXPECT_FALSE(opens(version));
  EXPECT_FALSE(opens(control->LengthUnitRecordId()));

  addLoadSet("Again");
  EXPECT_TRUE(opens(control->VersionRecordId()));
  EXPECT_TRUE(opens(control->LengthUnitRecordId()));
  EXPECT_NE(control->VersionRecordId(), version) << "a new record replaces the erased one";
}

TEST_F(StoreControlTest, ResultSetIsCurrentUntilClearedOrErased) {
  struct TestResultSet : AcDbObject, FerResultSet {
    Acad::ErrorStatus subErase(Adesk::Boolean erasing) override {
      mirrorErase<FerResultSet>(*this, erasing);
      return AcDbObject::subErase(erasing);
    }
  };
  auto* resultSet = new TestResultSet();
  AcDbObjectId id;
  acAddDbObject(resultSet, id, 1);
  control->SetCurrentResultSet(resultSet);
  EXPECT_EQ(control->CurrentResultSet(), resultSet);
  dbWriteEnable(*resultSet);  // the control lists it for read
  ASSERT_EQ(resultSet->erase(), Acad::eOk);
  EXPECT_EQ(control->CurrentResultSet(), nullptr);
  ASSERT_EQ(resultSet->erase(false), Acad::eOk);
  EXPECT_EQ(control->CurrentResultSet(), resultSet);
  control->ClearCurrentResultSet();
  EXPECT_EQ(control->CurrentResultSet(), nullptr);
}

TEST_F(StoreControlTest, NewNamesAreCheckedIgnoringCase) {
  addModel("Bracket");
  TestModel* gone = addModel("Gone");
  control->DeleteAnlModel(gone);
  struct Case {
    std::string name;
    bool accepted;
  };
  const std::vector<Case> cases = {
      {"", false},
      {"bracket", false},
      {"BRACKET", false},
      {"Bracket2", true},
      {"gone", true},
      {std::string(255, 'x'), true},
      {std::string(256, 'x'), false},
  };
  for (const Case& c : cases) {
    cadhost::clearPrintedText();
    EXPECT_EQ(control->AcceptsNewName(DbStoredKind::AnlModel, CaeString(c.name)), c.accepted) << c.name;
    EXPECT_EQ(cadhost::printedText().empty(), c.accepted) << "a refusal is reported: " << c.name;
  }
  EXPECT_TRUE(control->AcceptsNewName(DbStoredKind::LoadCase, CaeString("Bracket"))) << "names are per kind";
}

TEST_F(StoreControlTest, RenamingReKeysTheEntry) {
  TestModel* model = addModel("Old");
  addModel("Other");
  EXPECT_FALSE(control->RenameEntry(DbStoredKind::AnlModel, model->objectId(), CaeString("OTHER")));
  EXPECT_EQ(entryOf(kAnalysisModelsKey, "Old"), model->objectId());
  ASSERT_TRUE(control->RenameEntry(DbStoredKind::AnlModel, model->objectId(), CaeString("New")));
  EXPECT_TRUE(entryOf(kAnalysisModelsKey, "Old").isNull());
  EXPECT_EQ(entryOf(kAnalysisModelsKey, "New"), model->objectId());
  EXPECT_TRUE(control->AcceptsNewName(DbStoredKind::AnlModel, CaeString("old")));
}

TEST_F(StoreControlTest, DeletingAModelClearsOnlyTheOptimisationLinksToIt) {
  TestModel* a = addModel("A");
  TestModel* b = addModel("B");
  auto* usesA = new TestOptModel("UsesA");
  auto* usesB = new TestOptModel("UsesB");
  control->AddOptModel(usesA);
  control->AddOptModel(usesB);
  usesA->SetAnlModel(a);
  usesB->SetAnlModel(b);
  EXPECT_EQ(control->NumOptModels(), 2);
  control->DeleteAnlModel(a);
  EXPECT_EQ(usesA->AnlModel(), nullptr);
  EXPECT_EQ(usesB->AnlModel(), b);
}

TEST_F(StoreControlTest, DesignVariablesLiveOnTheOptimisationLayerAndMoveAsTheListSays) {
  auto add = [this](char name) {
    auto* variable = new TestVariable(std::string(1, name).c_str());
    EXPECT_EQ(control->AddOptVariable(variable), Acad::eOk);
    EXPECT_EQ(variable->close(), Acad::eOk) << "posted open for write: the caller closes it";
    return variable;
  };
  auto order = [this] {
    std::string names;
    for (OptVariable* v = control->FirstOptVariable(); v; v = control->NextOptVariable()) names += v->Name().Str();
    return names;
  };
  auto* outside = new TestVariable("b");
  AcDbObjectId outsideId;
  acPostToModelSpace(outside, outsideId, 1);

  struct Case {
    std::string before;
    int answer;
    std::string after;
  };
  const std::vector<Case> cases = {
      {"axby", 1, "xbay"},
      {"ybxa", 1, "yabx"},
      {"yab", 1, "yba"},
      {"axy", 0, "axy"},
  };
  std::vector<TestVariable*> made;
  for (const Case& c : cases) {
    for (TestVariable* old : made) ASSERT_EQ(control->DeleteOptVariable(old), Acad::eOk);
    made.clear();
    TestVariable* moved = nullptr;
    TestVariable* reference = outside;
    for (char name : c.before) {
      made.push_back(add(name));
      if (name == 'a') moved = made.back();
      if (name == 'b') reference = made.back();
    }
    EXPECT_EQ(control->MoveOptVariable(moved, reference), c.answer) << c.before;
    EXPECT_EQ(order(), c.after) << c.before;
  }
  AcDbObjectId layer;
  acGetLayer("CAE_OPT", layer);
  EXPECT_EQ(made.front()->layerId(), layer);
  EXPECT_EQ(control->NumOptVariables(), 3);
}

TEST_F(StoreControlTest, AddingOutsideACommandIsAConsistencyCheck) {
  acCurrentTransactionManager()->endTransaction();
  auto* model = new TestModel("Loose");
  EXPECT_THROW(control->AddAnlModel(model), CaeExcept);
  EXPECT_TRUE(model->objectId().isNull()) << "nothing entered";
  delete model;
}

}  // namespace
