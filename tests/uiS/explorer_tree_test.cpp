// The Explorer tree: the fill from the drawing's objects, items back to objects, the actions each
// item offers, the context menu, the guarded request and the actions that work on the store.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "amg/CaeMaterial.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "explorer_fixture.h"
#include "fea/AmgMesh.h"
#include "fea/AnlJob.h"
#include "fea/AnlMateRel.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/FerResult.h"
#include "fea/OptModel.h"
#include "gui/explorer/ExpTreeSupport.h"
#include "mfc/menu.h"
#include "mfc/render.h"
#include "mfc/user_actions.h"
#include "res/ResourceIds.h"

namespace {

using uistest::ExplorerTest;
using uistest::HostMode;
using uistest::kTreeId;

// ---- the fill ----

TEST_F(ExplorerTest, TheFillListsEveryLiveObjectWithItsKindAndMark) {
  AttLbcCase* loads = control.NewLoadCase("Loads");
  control.NewLoadCase("Gone")->MarkAsErased();
  control.SetCurrentLoadCase(loads);
  AddCondition(loads, "Force1");
  AddCondition(loads, "Erased")->MarkAsErased();
  control.NewRestraintCase("Fixed");
  AnlModel* bracket = control.NewAnlModel("Bracket", AnlStress);
  control.SetCurrentAnlModel(bracket);
  AddMesh(bracket, "Part1", "S275");
  AddMesh(bracket, "Part2", "Unobtainium");
  AmgMesh* deferred = AddMesh(bracket, "Part3", "S275");
  deferred->SetDeferred(1);
  for (int i = 0; i < 3; ++i) bracket->AddConstraint(Refinement());
  bracket->GetConstraint(1)->MarkAsErased();
  Job(bracket, "Run1", AnlStatusPending);
  Job(bracket, "Run2", AnlStatusFailed);
  Job(bracket, "Run3", AnlStatusNew);
  control.NewAnlModel("Other", AnlVibration)->MarkAsErased();

  OpenHost();
  EXPECT_EQ(TreeText(),
            "bracket 29\n"
            "  Loads* 3\n"
            "    Force1 11\n"
            "  Fixed 4\n"
            "  Bracket* 1\n"
            "    Part1 2\n"
            "    Part2 36\n"
            "    Part3 37\n"
            "    Mesh Refinements 30\n"
            "      Mesh Refinement 1 31\n"
            "      Mesh Refinement 3 31\n"
            "    Analysis Job Run1: Pending 8\n"
            "    Analysis Job Run2: Failed 8\n"
            "    Analysis Job Run3: Not Run 8\n");
}

TEST_F(ExplorerTest, ResultSetsShowTheirValueLinesAndTheDisplayedSetIsMarked) {
  AnlModel* model = control.NewAnlModel("Plate", AnlVibration);
  FerResultSet* modes = model->NewResultSet("Modes");
  modes->SetSubSetUnits(CaeUtFrequency);
  modes->AddSubSet(new FerResultSubSet(12.5));
  modes->AddSubSet(new FerResultSubSet(250.0));
  AnlModel* other = control.NewAnlModel("Other", AnlStress);
  other->NewResultSet("Modes");
  control.SetCurrentResultSet(modes);
  Job(model, "Done", AnlStatusDone);

  OpenHost();
  const std::string text = TreeText();
  EXPECT_NE(text.find("  Plate 1\n    Modes* 7\n      1.250e+01"), std::string::npos) << text;
  EXPECT_NE(text.find("      2.500e+02"), std::string::npos) << text;
  EXPECT_NE(text.find("  Other 1\n    Modes* 7\n"), std::string::npos) << "a namesake of the displayed set is marked";
  EXPECT_NE(text.find("Analysis Job Done: Completed 9"), std::string::npos) << text;
}

TEST_F(ExplorerTest, OptimisationObjectsAndTheModelOfAnOptimisationResultSet) {
  AnlModel* base = control.NewAnlModel("Base", AnlStress);
  AnlModel* second = control.NewAnlModel("Cycle", AnlStress);
  AddMesh(second, "Part1", "S275");
  OptModel* shape = control.NewOptModel("Shape");
  shape->SetAnlModel(base);
  auto* constraint = Keep(new OptConstraint("Limit", 1, nullptr, OptResponseType{}, nullptr));
  shape->AddConstraint(constraint);
  OptResultCase* done = shape->NewOptResultCase("job", "Result1");
  done->SetExitCode(1);
  done->SetHasHistory(1);
  done->SetSecondAnlModel(second);
  shape->NewOptResultCase("job2", "Unfinished");
  OptModel* topo = control.NewOptModel("Topo");
  topo->Type(static_cast<CaeOptType>(1));
  OptResultCase* conceptDone = topo->NewOptResultCase("job3", "Result2");
  conceptDone->SetExitCode(2);
  conceptDone->SetHasHistory(1);

  OpenHost();
  EXPECT_EQ(TreeText(),
            "bracket 29\n"
            "  Base 1\n"
            "  Shape 13\n"
            "    Design Constraints 17\n"
            "      Limit 19\n"
            "    Result1 23\n"
            "      Design History 26\n"
            "      Cycle 34\n"
            "        Part1 35\n"
            "  Topo 14\n"
            "    Result2 24\n")
      << "an exit code 0 hides a result set; a Concept set has no history; the second model is only below its set";
}

TEST_F(ExplorerTest, TheTreeAsTextShowsEachItemsIcon) {
  control.NewAnlModel("Bracket", AnlStress);
  OpenHost();
  const std::string text = mfc::renderWindow(host->m_hWnd);
  EXPECT_NE(text.find("bracket [icon 108]"), std::string::npos) << text;
  EXPECT_NE(text.find("Bracket [icon 275]"), std::string::npos) << text;
}

TEST_F(ExplorerTest, NoControlLeavesTheTreeEmpty) {
  AnlControl::UnsetCurrent();
  OpenHost();
  EXPECT_EQ(tree().GetCount(), 0u);
}

// ---- items back to objects ----

TEST_F(ExplorerTest, LookupsPassOverErasedSiblingsAndTellNamesakesApart) {
  AnlModel* upper = control.NewAnlModel("Part", AnlStress);
  AnlModel* lower = control.NewAnlModel("part", AnlStress);
  AnlJob* first = Job(upper, "A", AnlStatusNew);
  Job(upper, "B", AnlStatusNew)->MarkAsErased();
  AnlJob* third = Job(upper, "C", AnlStatusNew);
  AttLbcCase* old = control.NewLoadCase("Loads");
  AddCondition(old, "OldForce");
  control.DeleteLoadCase(old);
  AttLbcCase* fresh = control.NewLoadCase("Loads");
  AttBaseLbc* force = AddCondition(fresh, "Force");
  OpenHost();

  EXPECT_EQ(tree().ModelOfItem(Item("Part")), upper);
  EXPECT_EQ(tree().ModelOfItem(Item("part")), lower) << "names compare exactly";
  EXPECT_EQ(tree().JobOfItem(Item("Part/Analysis Job A: Not Run")), first);
  EXPECT_EQ(tree().JobOfItem(Item("Part/Analysis Job C: Not Run")), third) << "the erased job is not counted";
  EXPECT_EQ(tree().LbcCaseOfItem(Item("Loads")), fresh) << "the erased namesake is passed over";
  EXPECT_EQ(tree().LbcOfItem(Item("Loads/Force")), force);
  EXPECT_EQ(tree().ModelOfItem(Item("Loads")), nullptr) << "an item of another kind has no model";
}

TEST_F(ExplorerTest, DeleteOnALoadOfASetRecreatedUnderADeletedName) {
  AttLbcCase* old = control.NewLoadCase("Loads");
  AddCondition(old, "Force");
  control.DeleteLoadCase(old);
  AttLbcCase* fresh = control.NewLoadCase("Loads");
  AttBaseLbc* force = AddCondition(fresh, "Force");
  OpenHost();
  ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, "Loads/Force"), "");
  ASSERT_EQ(mfc::userKey(host->m_hWnd, kTreeId, VK_DELETE), "");
  EXPECT_TRUE(force->IsMarkedAsErased()) << "the live set's condition is the one deleted";
  EXPECT_EQ(Item("Loads/Force"), nullptr);
}

// ---- selection across a rebuild ----

struct SelectionCase {
  const char* selected;
  const char* afterAddingAModelFirst;  // what is selected after the rebuild
};

TEST_F(ExplorerTest, ARebuildSelectsTheSameItemByItsPosition) {
  control.NewLoadCase("L1");
  AttLbcCase* second = control.NewLoadCase("L2");
  AddCondition(second, "F1");
  AddCondition(second, "F2");
  control.NewRestraintCase("R1");
  OpenHost();
  const SelectionCase cases[] = {
      {"L2/F2", "L2/F2"},
      {"bracket", "bracket"},
      {"R1", "R1"},
  };
  for (const SelectionCase& c : cases) {
    ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, c.selected), "") << c.selected;
    tree().Refresh();
    EXPECT_EQ(tree().GetSelectedItem(), Item(c.afterAddingAModelFirst)) << c.selected;
  }
  // Fewer siblings after the rebuild: the walk stops at the last one.
  ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, "L2/F2"), "");
  second->DeleteLbc(second->GetLbc(2));
  tree().Refresh();
  EXPECT_EQ(tree().GetSelectedItem(), Item("L2/F1"));
}

// ---- availability ----

struct FlagsCase {
  const char* item;
  int docked;
  unsigned expected;
};

TEST_F(ExplorerTest, AvailabilityBitsByKindParentMarkAndHost) {
  AttLbcCase* loads = control.NewLoadCase("Loads");
  control.SetCurrentLoadCase(loads);
  AddCondition(loads, "Force");
  control.NewRestraintCase("Fixed");
  AnlModel* model = control.NewAnlModel("Bracket", AnlStress);
  control.SetCurrentAnlModel(model);
  control.NewAnlModel("Spare", AnlStress);
  AddMesh(model, "Part1", "S275");
  AddMesh(model, "Part2", "Nothing");
  AddMesh(model, "Part3", "S275")->SetDeferred(1);
  FerResultSet* set = model->NewResultSet("Static");
  control.SetCurrentResultSet(set);
  Job(model, "Bad", AnlStatusFailed);
  Job(model, "Good", AnlStatusDone);
  model->AddConstraint(Refinement());
  cad.modelReady = 1;
  OpenHost();

  const unsigned openOrCloseCurrent = kFlagClose | kFlagDelete;
  const unsigned openOrClose = kFlagOpen | kFlagDelete;
  const FlagsCase cases[] = {
      {"bracket", 0,
       kFlagNewLoadSet | kFlagNewRestraintSet | kFlagNewSimulationModel | kFlagNewOptimizationModel | kFlagProperties},
      {"Loads*", 0, openOrCloseCurrent},
      {"Loads*", 1, openOrCloseCurrent | kFlagLoad | kFlagHeatTransfer},
      {"Fixed", 1, openOrClose | kFlagRestraint | kFlagHeatTransfer},
      {"Loads*/Force", 0, kFlagDelete | kFlagProperties},
      {"Bracket*", 0, kFlagSolve | kFlagProperties | openOrCloseCurrent},
      {"Bracket*", 1, kFlagSolve | kFlagProperties | openOrCloseCurrent | kFlagMesh},
      {"Spare", 0, kFlagSolve | kFlagProperties | openOrClose},
      {"Part1", 0, kFlagView | kFlagProperties | kFlagDelete},
      {"Part2", 0, kFlagView | kFlagUpdate | kFlagProperties | kFlagDelete},
      {"Part3", 0, kFlagGenerate | kFlagProperties | kFlagDelete},
      {"Static*", 0, kFlagOpen | kFlagClose | kFlagDelete | kFlagWriteVrml | kFlagWriteNeutralFile | kFlagDesignDoctor},
      {"Analysis Job Bad: Failed", 0, kFlagDelete | kFlagDesignDoctor},
      {"Analysis Job Good: Completed", 0, kFlagOpen | kFlagDelete | kFlagDesignDoctor},
      {"Mesh Refinements", 0, kFlagDelete},
      {"Mesh Refinement 1", 0, kFlagDelete | kFlagProperties},
  };
  for (const FlagsCase& c : cases) {
    tree().Docked = c.docked;
    ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, c.item), "") << c.item;
    EXPECT_EQ(tree().GetCommandFlags(), c.expected) << c.item << " docked " << c.docked;
  }
}

TEST_F(ExplorerTest, AvailabilityInResultSetMode) {
  AttLbcCase* loads = control.NewLoadCase("Loads");
  AttLbcCase* fixed = control.NewRestraintCase("Fixed");
  AnlModel* model = control.NewAnlModel("Bracket", AnlStress);
  control.SetCurrentAnlModel(model);
  control.SetCurrentLoadCase(loads);
  control.SetCurrentRestraintCase(fixed);
  OpenHost(HostMode::ResultSets);
  struct ModeCase {
    const char* item;
    unsigned expected;
  };
  const ModeCase cases[] = {
      {"Bracket*", kFlagNewResultSet},
      {"BracketStress", kFlagDelete},
      {"BracketStress/Loads*", kFlagDelete | kFlagProperties},
      {"BracketStress/Fixed*", kFlagDelete},
      {"bracket", 0u},
      {"bracket/Loads*", 0u},
  };
  for (const ModeCase& c : cases) {
    ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, c.item), "") << c.item;
    EXPECT_EQ(tree().GetCommandFlags(), c.expected) << c.item;
  }
  model->SetType(AnlHeatTransfer);
  ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, "Bracket*"), "");
  EXPECT_EQ(tree().GetCommandFlags(), 0u) << "a heat-transfer model takes one result set";
  ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, "BracketStress/Loads*"), "");
  EXPECT_EQ(tree().GetCommandFlags(), unsigned{kFlagDelete}) << "no scale factor in heat transfer";
}

// ---- the context menu ----

std::string MenuText(unsigned flags) {
  ResourceSetter resources(1);
  CMenu menu;
  EXPECT_TRUE(menu.LoadMenu(IDR_EXPLORER_MENU));
  CMenu* popup = menu.GetSubMenu(0);
  ExpPruneMenu(*popup, flags);
  ExpTidyMenu(*popup);
  return mfc::renderMenu(*popup);
}

TEST_F(ExplorerTest, PruningTheMenuLeavesNoEmptySubmenuOrStrayedSeparator) {
  struct MenuCase {
    unsigned flags;
    std::vector<std::string> shown;
    std::vector<std::string> hidden;
  };
  const MenuCase cases[] = {
      {kFlagOpen | kFlagDelete, {"Open", "Delete"}, {"New", "Write", "Close", "Solve..."}},
      {kFlagNewLoadSet | kFlagProperties, {"New", "Load Set", "Properties..."}, {"Simulation Model", "Write", "Open"}},
      {kFlagWriteNeutralFile, {"Write", "Neutral File"}, {"To VRML", "New"}},
  };
  for (const MenuCase& c : cases) {
    const std::string text = MenuText(c.flags);
    for (const std::string& entry : c.shown) EXPECT_NE(text.find(entry), std::string::npos) << entry << "\n" << text;
    for (const std::string& entry : c.hidden) EXPECT_EQ(text.find(entry), std::string::npos) << entry << "\n" << text;
  }
  ResourceSetter resources(1);
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(IDR_EXPLORER_MENU));
  CMenu* popup = menu.GetSubMenu(0);
  ExpPruneMenu(*popup, kFlagOpen | kFlagProperties);
  ExpTidyMenu(*popup);
  ASSERT_EQ(popup->GetMenuItemCount(), 3) << mfc::renderMenu(*popup);
  EXPECT_EQ(popup->GetMenuItemID(0), UINT{IDM_EXP_OPEN});
  EXPECT_EQ(popup->GetMenuItemID(1), 0u) << "one separator between the groups";
  EXPECT_EQ(popup->GetMenuItemID(2), UINT{IDM_EXP_PROPERTIES});
  ExpPruneMenu(*popup, 0);
  ExpTidyMenu(*popup);
  EXPECT_EQ(popup->GetMenuItemCount(), 0);
}

TEST_F(ExplorerTest, RightClickOffersThePrunedMenuAndRunsTheChosenEntry) {
  control.NewLoadCase("Loads");
  OpenHost();
  driver.popups = {"Close"};  // not offered: the menu has Open, not Close
  ASSERT_EQ(mfc::userRightClickTreeItem(host->m_hWnd, kTreeId, "Loads"), "");
  ASSERT_EQ(driver.shownMenus.size(), 1u);
  EXPECT_EQ(driver.shownMenus[0].find("Close"), std::string::npos) << driver.shownMenus[0];
  EXPECT_EQ(control.CurrentLoadCase(), nullptr);

  driver.popups = {"Open"};
  ASSERT_EQ(mfc::userRightClickTreeItem(host->m_hWnd, kTreeId, "Loads"), "");
  mfc::pumpMessages();
  ASSERT_NE(control.CurrentLoadCase(), nullptr);
  EXPECT_NE(Item("Loads*"), nullptr) << "the tree was rebuilt with the mark";
}

// ---- the guarded request ----

TEST_F(ExplorerTest, AFailedDockedActionIsRecoveredUnlockedAndTheTreeRebuilt) {
  AnlModel* model = control.NewAnlModel("Bracket", AnlStress);
  FerResultSet* set = model->NewResultSet("R1");
  OpenHost();
  tree().Docked = 1;
  set->SetName("R2");  // the item now names no set: the open reports a consistency check
  ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, "Bracket/R1"), "");
  const int depth = cad.depth;
  tree().DoAction(kActOpen, 1);
  EXPECT_EQ(cad.depth, depth) << "aborted down to the depth the request found";
  EXPECT_FALSE(cad.locked) << "the unlock after the recovery does not lock again";
  EXPECT_EQ(cad.lockCalls, 1);
  EXPECT_NE(Item("Bracket*/R2"), nullptr) << "the tree shows the drawing again\n" << TreeText();
  EXPECT_EQ(Item("Bracket*/R1"), nullptr);
  bool printed = false;
  for (const std::string& line : cad.printed) printed = printed || line.find("General Error") != std::string::npos;
  EXPECT_TRUE(printed);
}

TEST_F(ExplorerTest, ABusyHostDropsADockedRequestSilently) {
  control.NewLoadCase("Loads");
  OpenHost();
  tree().Docked = 1;
  ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, "Loads"), "");
  cmdSetPickPending();
  tree().DoAction(kActOpen, 1);
  EXPECT_EQ(control.CurrentLoadCase(), nullptr);
  EXPECT_EQ(cad.lockCalls, 0);
  cmdClearPickPending();
  tree().DoAction(kActOpen, 1);
  EXPECT_NE(control.CurrentLoadCase(), nullptr);
  EXPECT_EQ(cad.lockCalls, 1);
  EXPECT_FALSE(cad.locked);
}

// ---- actions on the store ----

TEST_F(ExplorerTest, NewSimulationModelRefusesANameTakenIgnoringCase) {
  AnlModel* vibration = control.NewAnlModel("Bracket", AnlVibration);
  OpenHost();
  ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, "bracket"), "");
  driver.steps.push_back(
      [](CWnd& dialog) { EXPECT_EQ(mfc::userSetText(dialog.m_hWnd, IDC_TEXT_RETRIEVAL_EDIT, "BRACKET"), ""); });
  driver.steps.push_back([](CWnd& dialog) { mfc::userClick(dialog.m_hWnd, IDOK); });
  driver.steps.push_back([](CWnd& dialog) { mfc::userClick(dialog.m_hWnd, IDCANCEL); });
  tree().DoAction(kActNewSimulationModel, 1);
  EXPECT_EQ(vibration->Type(), AnlVibration) << "the existing model keeps its type";
  EXPECT_EQ(control.NumAnlModels(), 1);
  EXPECT_FALSE(driver.boxes().empty()) << "the name is refused with a message";
}

TEST_F(ExplorerTest, NewLoadSetCreatesTheTypedSetAndMarksIt) {
  OpenHost();
  ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, "bracket"), "");
  driver.steps.push_back(
      [](CWnd& dialog) { EXPECT_EQ(mfc::userSetText(dialog.m_hWnd, IDC_TEXT_RETRIEVAL_EDIT, "Wind"), ""); });
  driver.steps.push_back([](CWnd& dialog) { mfc::userClick(dialog.m_hWnd, IDOK); });
  tree().DoAction(kActNewLoadSet, 1);
  ASSERT_NE(control.CurrentLoadCase(), nullptr);
  EXPECT_STREQ(control.CurrentLoadCase()->Name().Text(), "Wind");
  EXPECT_NE(Item("Wind*"), nullptr);
}

TEST_F(ExplorerTest, DeleteKeyRemovesASetWithoutAskingAndLabelEditIsRefusedOutsideResultCases) {
  AttLbcCase* loads = control.NewLoadCase("Loads");
  control.NewAnlModel("Bracket", AnlStress);
  OpenHost();
  ASSERT_EQ(mfc::userEditTreeLabel(host->m_hWnd, kTreeId, "Bracket", std::string("Renamed")), "");
  EXPECT_NE(Item("Bracket"), nullptr) << "a model's label is not edited";
  ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, "Loads"), "");
  ASSERT_EQ(mfc::userKey(host->m_hWnd, kTreeId, VK_DELETE), "");
  EXPECT_TRUE(loads->IsMarkedAsErased());
  EXPECT_EQ(Item("Loads"), nullptr);
  EXPECT_TRUE(driver.boxes().empty());
}

TEST_F(ExplorerTest, DeletingASetUsedByAnOptimisationResultSetAsksFirst) {
  AttLbcCase* loads = control.NewLoadCase("Loads");
  OptModel* shape = control.NewOptModel("Shape");
  auto* resultCase = Keep(new AnlResltCase("Case1"));
  resultCase->AddLoadCase(loads, 1.0);
  shape->AddAnlResultCase(resultCase);
  OpenHost();
  ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, "bracket/Loads"), "");
  driver.answer(IDNO);
  tree().DoAction(kActDelete, 1);
  EXPECT_FALSE(loads->IsMarkedAsErased());
  EXPECT_EQ(resultCase->NumLoadCase(), 1);
  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_NE(driver.boxes()[0].text.find("Case1"), std::string::npos);
  driver.answer(IDYES);
  tree().DoAction(kActDelete, 1);
  EXPECT_TRUE(loads->IsMarkedAsErased());
  EXPECT_EQ(resultCase->NumLoadCase(), 0);
}

TEST_F(ExplorerTest, DoubleClickOpensASetAndShowsAMeshsProperties) {
  control.NewLoadCase("Loads");
  AnlModel* model = control.NewAnlModel("Bracket", AnlStress);
  control.SetCurrentAnlModel(model);
  AddMesh(model, "Part1", "S275");
  OpenHost();
  ASSERT_EQ(mfc::userDoubleClickTreeItem(host->m_hWnd, kTreeId, "Loads"), "");
  EXPECT_NE(control.CurrentLoadCase(), nullptr);
  // The mesh's Properties open "Modify Mesh" on it; Cancel closes it.
  std::string caption;
  CString name;
  driver.steps.push_back([&](CWnd& window) {
    CString text;
    window.GetWindowText(text);
    caption = static_cast<const char*>(text);
    dynamic_cast<CPropertySheet&>(window).GetActivePage()->GetDlgItem(IDC_MESH_NAME)->GetWindowText(name);
    window.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  ASSERT_EQ(mfc::userDoubleClickTreeItem(host->m_hWnd, kTreeId, "Part1"), "");
  EXPECT_EQ(caption, "Modify Mesh");
  EXPECT_EQ(std::string(name), "Part1");
}

TEST_F(ExplorerTest, DeletingAResultSetAndAJobErasesThem) {
  AnlModel* model = control.NewAnlModel("Bracket", AnlStress);
  FerResultSet* set = model->NewResultSet("Static");
  AnlJob* job = Job(model, "Run", AnlStatusFailed);
  OpenHost();
  for (const char* item : {"Bracket/Static", "Bracket/Analysis Job Run: Failed"}) {
    ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, item), "") << item;
    tree().DoAction(kActDelete, 1);
    EXPECT_EQ(Item(item), nullptr) << item;
  }
  EXPECT_TRUE(set->IsMarkedAsErased());
  EXPECT_TRUE(job->IsMarkedAsErased());
}

}  // namespace
