// The analysis control: the current control, its lists and walks, current objects of each kind,
// and moving external files.
#include <filesystem>
#include <fstream>

#include "amg/CaeEngine.h"
#include "amg/CaeExcept.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttLbcCase.h"
#include "fea/FerResult.h"
#include "fea/OptModel.h"
#include "fea_fixture.h"
#include "test_env.h"

namespace {

using AnlControlTest = FeaTest;

TEST_F(AnlControlTest, CurrentControlIsUnsetByItsDestructor) {
  EXPECT_EQ(AnlControl::GetCurrent(), nullptr);
  auto first = std::make_unique<AnlControl>(CaeString("first"));
  first->SetCurrent();
  EXPECT_EQ(AnlControl::GetCurrent(), first.get());
  {
    AnlControl second;
    second.SetCurrent();
    EXPECT_EQ(AnlControl::GetCurrent(), &second);
  }
  EXPECT_EQ(AnlControl::GetCurrent(), nullptr) << "a destroyed control must not stay current";
  first->SetCurrent();
  AnlControl other;  // destroying a control that is not current leaves the current one alone
  { AnlControl transient; }
  EXPECT_EQ(AnlControl::GetCurrent(), first.get());
  AnlControl::UnsetCurrent();
  EXPECT_EQ(AnlControl::GetCurrent(), nullptr);
}

TEST_F(AnlControlTest, EngineResetUnsetsTheCurrentControl) {
  AnlControl control;
  control.SetCurrent();
  CaeEngine::ResetState();
  EXPECT_EQ(AnlControl::GetCurrent(), nullptr);
}

TEST_F(AnlControlTest, NameLocationOwnerAndMarks) {
  AnlControl control(CaeString("bracket"));
  EXPECT_EQ(control.Name(), "bracket");
  control.Location(CaeString("C:\\parts\\bracket"));
  EXPECT_EQ(control.Location(), "C:\\parts\\bracket");
  int database = 0;
  control.SetOwner(&database);
  EXPECT_EQ(control.Owner(), &database);
  EXPECT_FALSE(control.IsLoaded());
  EXPECT_FALSE(control.IsSaved());
  control.MarkAsLoaded();
  control.MarkAsSaved();
  EXPECT_TRUE(control.IsLoaded());
  EXPECT_TRUE(control.IsSaved());
}

TEST_F(AnlControlTest, NewObjectsCarryTheirNamesAndAreListed) {
  AnlControl control;
  const CaeName* made[] = {
      control.NewAnlModel(CaeString("Stress 1"), AnlStress),
      control.NewLoadCase(CaeString("Loads 1")),
      control.NewRestraintCase(CaeString("Restraints 1")),
      control.NewOptModel(CaeString("Study 1")),
      control.NewOptVariable(CaeString("width")),
  };
  const char* names[] = {"Stress 1", "Loads 1", "Restraints 1", "Study 1", "width"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(made[i]->Name(), names[i]);
  EXPECT_EQ(control.FirstAnlModel()->Name(), "Stress 1");
  EXPECT_EQ(control.FirstLoadCase()->GetName(), "Loads 1");
  EXPECT_EQ(control.FirstRestraintCase()->Name(), "Restraints 1");
  EXPECT_EQ(control.FirstOptModel()->Name(), "Study 1");
  EXPECT_EQ(control.FirstOptVariable()->Name(), "width");
  EXPECT_EQ(control.NumOptModels() + control.NumOptVariables() + control.NumAnlModels(), 3);
}

// Walks of each kind pass over erased objects, counts leave them out, and the object stays
// listed so an un-erase brings it back.
TEST_F(AnlControlTest, ListsSkipErasedObjectsButKeepThem) {
  AnlControl control;
  AnlModel* a = control.NewAnlModel(CaeString("a"), AnlStress);
  AnlModel* b = control.NewAnlModel(CaeString("b"), AnlVibration);
  AnlModel* c = control.NewAnlModel(CaeString("c"), AnlHeatTransfer);
  EXPECT_EQ(b->Type(), AnlVibration);
  EXPECT_EQ(control.NumAnlModels(), 3);

  control.DeleteAnlModel(b);
  EXPECT_TRUE(b->IsMarkedAsErased());
  EXPECT_EQ(control.NumAnlModels(), 2);
  EXPECT_EQ(control.FirstAnlModel(), a);
  EXPECT_EQ(control.NextAnlModel(), c);
  EXPECT_EQ(control.NextAnlModel(), nullptr);
  EXPECT_EQ(control.NextAnlModel(), nullptr) << "a finished walk stays finished";

  b->MarkAsNotErased();
  EXPECT_EQ(control.NumAnlModels(), 3);
  EXPECT_EQ(control.FirstAnlModel(), a);
  EXPECT_EQ(control.NextAnlModel(), b);

  a->MarkAsErased();
  b->MarkAsErased();
  c->MarkAsErased();
  EXPECT_EQ(control.FirstAnlModel(), nullptr);
  EXPECT_EQ(control.NumAnlModels(), 0);
}

TEST_F(AnlControlTest, LoadAndRestraintSetsAreSeparateLists) {
  AnlControl control;
  AttLbcCase* loads = control.NewLoadCase(CaeString("Loads"));
  AttLbcCase* restraints = control.NewRestraintCase(CaeString("Restraints"));
  EXPECT_EQ(loads->GetCategory(), AttLbcCase::kLoadSet);
  EXPECT_EQ(restraints->GetCategory(), AttLbcCase::kRestraintSet);
  EXPECT_EQ(control.NumLoadCases(), 1);
  EXPECT_EQ(control.NumRestraintCases(), 1);
  EXPECT_EQ(control.FirstLoadCase(), loads);
  EXPECT_EQ(control.FirstRestraintCase(), restraints);
  control.DeleteRestraintCase(restraints);
  EXPECT_EQ(control.FirstRestraintCase(), nullptr);
  EXPECT_EQ(control.FirstLoadCase(), loads);
}

TEST_F(AnlControlTest, SettingACurrentObjectMakesThePreviousOneUncurrent) {
  AnlControl control;
  AnlModel* a = control.NewAnlModel(CaeString("a"), AnlStress);
  AnlModel* b = control.NewAnlModel(CaeString("b"), AnlStress);
  control.SetCurrentAnlModel(a);
  EXPECT_TRUE(a->IsMarkedAsCurrent());
  control.SetCurrentAnlModel(b);
  EXPECT_FALSE(a->IsMarkedAsCurrent());
  EXPECT_TRUE(b->IsMarkedAsCurrent());
  EXPECT_EQ(control.CurrentAnlModel(), b);
  control.ClearCurrentAnlModel();
  EXPECT_FALSE(b->IsMarkedAsCurrent());
  EXPECT_EQ(control.CurrentAnlModel(), nullptr);
}

TEST_F(AnlControlTest, DeletingTheCurrentObjectClearsIt) {
  AnlControl control;
  AttLbcCase* loads = control.NewLoadCase(CaeString("Loads"));
  OptModel* opt = control.NewOptModel(CaeString("Opt"));
  control.SetCurrentLoadCase(loads);
  control.SetCurrentOptModel(opt);
  control.DeleteLoadCase(loads);
  control.DeleteOptModel(opt);
  EXPECT_EQ(control.CurrentLoadCase(), nullptr);
  EXPECT_EQ(control.CurrentOptModel(), nullptr);
  EXPECT_FALSE(loads->IsMarkedAsCurrent());
  EXPECT_FALSE(opt->IsMarkedAsCurrent());
  // Un-erasing does not make it current again.
  loads->MarkAsNotErased();
  EXPECT_EQ(control.CurrentLoadCase(), nullptr);
}

TEST_F(AnlControlTest, CurrentObjectThatWasErasedElsewhereReadsAsNone) {
  AnlControl control;
  FerResultSet results(CaeString("StressResultSet"));
  control.SetCurrentResultSet(&results);
  EXPECT_EQ(control.CurrentResultSet(), &results);
  results.MarkAsErased();
  EXPECT_EQ(control.CurrentResultSet(), nullptr);
  results.MarkAsNotErased();
  EXPECT_EQ(control.CurrentResultSet(), &results);
}

TEST_F(AnlControlTest, CurrentSetByConditionKind) {
  AnlControl control;
  AttLbcCase* loads = control.NewLoadCase(CaeString("Loads"));
  AttLbcCase* restraints = control.NewRestraintCase(CaeString("Restraints"));
  EXPECT_EQ(control.GetCurrentLbcCase(3), nullptr);
  control.SetCurrentLoadCase(loads);
  control.SetCurrentRestraintCase(restraints);
  EXPECT_EQ(control.GetCurrentLbcCase(1), restraints);
  EXPECT_EQ(control.GetCurrentLbcCase(3), loads) << "model temperatures live in the load set";
  EXPECT_EQ(control.GetCurrentLbcCase(0), loads);
}

TEST_F(AnlControlTest, OnExitClearsEveryCurrentObject) {
  AnlControl control;
  AnlModel* model = control.NewAnlModel(CaeString("m"), AnlStress);
  AttLbcCase* loads = control.NewLoadCase(CaeString("Loads"));
  control.SetCurrentAnlModel(model);
  control.SetCurrentLoadCase(loads);
  control.OnExit();
  EXPECT_EQ(control.CurrentAnlModel(), nullptr);
  EXPECT_EQ(control.CurrentLoadCase(), nullptr);
  EXPECT_FALSE(model->IsMarkedAsCurrent());
}

TEST_F(AnlControlTest, DeletingAnAnalysisModelUnlinksOptimisationModels) {
  AnlControl control;
  AnlModel* model = control.NewAnlModel(CaeString("m"), AnlStress);
  OptModel* linked = control.NewOptModel(CaeString("linked"));
  OptModel* other = control.NewOptModel(CaeString("other"));
  AnlModel* keep = control.NewAnlModel(CaeString("keep"), AnlStress);
  linked->SetAnlModel(model);
  other->SetAnlModel(keep);
  control.DeleteAnlModel(model);
  EXPECT_EQ(linked->AnlModel(), nullptr);
  EXPECT_EQ(other->AnlModel(), keep);
}

TEST_F(AnlControlTest, DesignVariablesOrderAndSnapshot) {
  AnlControl control;
  OptVariable* a = control.NewOptVariable(CaeString("a"));
  OptVariable* b = control.NewOptVariable(CaeString("b"));
  OptVariable* c = control.NewOptVariable(CaeString("c"));
  EXPECT_EQ(a->UnitType(), CaeUtLength);

  EXPECT_EQ(control.MoveOptVariable(a, b), 1);  // from before b: just after it (b, a, c)
  EXPECT_EQ(control.MoveOptVariable(c, b), 1);  // from after b: just before it (c, b, a)
  OptVariable stranger(CaeString("x"));
  EXPECT_EQ(control.MoveOptVariable(b, &stranger), 0);
  control.DeleteOptVariable(b);

  std::unique_ptr<OptVariableSet> set(control.GetDesignVariables());
  ASSERT_EQ(set->Count(), 2);
  EXPECT_EQ(set->FirstVariable(), c);
  EXPECT_EQ(set->NextVariable(), a);
  EXPECT_EQ(set->NextVariable(), nullptr);
  EXPECT_EQ(control.NumOptVariables(), 2);
}

// A drawing's control keeps its objects elsewhere and refills the engine list before the
// engine's walk; the engine's Next operations then continue over the refilled list.
class DrawingControl : public AnlControl {
 public:
  std::vector<AnlModel*> stored;
  AnlModel* FirstAnlModel() override {
    anlModels_.RemoveAll();
    for (AnlModel* m : stored) anlModels_.Append(m);
    return AnlControl::FirstAnlModel();
  }
};

TEST_F(AnlControlTest, OverrideRefillsTheEngineListBeforeTheWalk) {
  DrawingControl control;
  AnlModel a(CaeString("a"), AnlStress), b(CaeString("b"), AnlStress), c(CaeString("c"), AnlStress);
  control.stored = {&a, &b, &c};
  b.MarkAsErased();
  std::vector<AnlModel*> seen;
  for (AnlModel* m = control.FirstAnlModel(); m; m = control.NextAnlModel()) seen.push_back(m);
  EXPECT_EQ(seen, (std::vector<AnlModel*>{&a, &c}));
  control.stored = {&c};
  EXPECT_EQ(control.FirstAnlModel(), &c);
  EXPECT_EQ(control.NextAnlModel(), nullptr);
}

TEST_F(AnlControlTest, NullObjectsAreConsistencyChecks) {
  AnlControl control;
  EXPECT_THROW(control.AddAnlModel(nullptr), CaeExcept);
  EXPECT_THROW(control.DeleteLoadCase(nullptr), CaeExcept);
  EXPECT_THROW(control.DeleteOptVariable(nullptr), CaeExcept);
  EXPECT_EQ(control.NumAnlModels(), 0);
}

void WriteFile(const std::filesystem::path& path, const std::string& text) { std::ofstream(path) << text; }

TEST_F(AnlControlTest, MovingExternalFilesToTheSameLocationChangesNothing) {
  kestrum::test::TempDir dir;
  std::filesystem::create_directories(dir / "part");
  WriteFile(dir / "part" / "job.frd", "results");
  AnlControl control;
  const std::string forward = (dir / "part").string();
  std::string backward = forward;
  for (char& ch : backward)
    if (ch == '/') ch = '\\';
  EXPECT_EQ(control.MoveExternalFiles(CaeString(forward), CaeString(backward)), 1);
  EXPECT_EQ(kestrum::test::readFile(dir / "part" / "job.frd"), "results");
}

TEST_F(AnlControlTest, MovingExternalFilesToANewLocation) {
  kestrum::test::TempDir dir;
  std::filesystem::create_directories(dir / "old" / "job1");
  WriteFile(dir / "old" / "job1" / "job1.frd", "one");
  WriteFile(dir / "old" / "set.dat", "two");
  AnlControl control;
  EXPECT_EQ(control.MoveExternalFiles(CaeString((dir / "old").string()), CaeString((dir / "new").string())), 1);
  EXPECT_EQ(kestrum::test::readFile(dir / "new" / "job1" / "job1.frd"), "one");
  EXPECT_EQ(kestrum::test::readFile(dir / "new" / "set.dat"), "two");
  EXPECT_FALSE(std::filesystem::exists(dir / "old"));
  // Nothing to move is not an error.
  EXPECT_EQ(control.MoveExternalFiles(CaeString((dir / "none").string()), CaeString((dir / "new").string())), 1);
}

TEST_F(AnlControlTest, AFileInTheWayStaysAndIsReported) {
  kestrum::test::TempDir dir;
  std::filesystem::create_directories(dir / "old");
  std::filesystem::create_directories(dir / "new");
  WriteFile(dir / "old" / "a.dat", "moved");
  WriteFile(dir / "old" / "b.dat", "source");
  WriteFile(dir / "new" / "b.dat", "already there");
  AnlControl control;
  EXPECT_EQ(control.MoveExternalFiles(CaeString((dir / "old").string()), CaeString((dir / "new").string())), 0);
  EXPECT_EQ(kestrum::test::readFile(dir / "new" / "a.dat"), "moved");
  EXPECT_EQ(kestrum::test::readFile(dir / "new" / "b.dat"), "already there") << "nothing is overwritten";
  EXPECT_EQ(kestrum::test::readFile(dir / "old" / "b.dat"), "source") << "nothing is lost";
  EXPECT_TRUE(Logged(1, "b.dat"));
}

}  // namespace
