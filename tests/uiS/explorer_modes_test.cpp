// The Explorer as a result-set editor: a host in result-set mode driven by "@" lines as a person
// drives it, the drop rules, scale factors and the commit.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "explorer_fixture.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AttLbcCase.h"
#include "mfc/action_lines.h"
#include "mfc/user_actions.h"
#include "res/ResourceIds.h"

namespace {

using uistest::ExplorerTest;
using uistest::HostMode;
using uistest::kTreeId;

// A valid name of 60 characters: longer than the 48 a copy used to keep.
const std::string kLongSetName = "Wind_" + std::string(55, 'W');

struct CaseContents {
  std::string name;
  std::vector<std::pair<std::string, double>> loads;
  std::vector<std::string> restraints;
};

CaseContents Contents(AnlResltCase& resultCase) {
  CaseContents contents{resultCase.Name().Text(), {}, {}};
  for (AnlLbcCase* entry = resultCase.FirstLbcCase(AttLbcCase::kLoadSet); entry; entry = resultCase.NextLbcCase())
    contents.loads.emplace_back(entry->LbcCase()->Name().Text(), entry->Scale());
  for (AnlLbcCase* entry = resultCase.FirstLbcCase(AttLbcCase::kRestraintSet); entry; entry = resultCase.NextLbcCase())
    contents.restraints.emplace_back(entry->LbcCase()->Name().Text());
  return contents;
}

class ResultSetHostTest : public ExplorerTest {
 protected:
  void SetUp() override {
    ExplorerTest::SetUp();
    AttLbcCase* loads = control.NewLoadCase("Loads");
    control.NewLoadCase(kLongSetName.c_str());
    AttLbcCase* fixed = control.NewRestraintCase("Fixed");
    control.NewRestraintCase("Pins");
    control.SetCurrentLoadCase(loads);
    control.SetCurrentRestraintCase(fixed);
    model = control.NewAnlModel("Bracket", AnlStress);
    control.SetCurrentAnlModel(model);
  }
  // The children of a result-case item, by label.
  std::vector<std::string> ChildrenOf(const std::string& path) {
    std::vector<std::string> labels;
    for (HTREEITEM child = tree().GetChildItem(Item(path)); child; child = tree().GetNextSiblingItem(child))
      labels.emplace_back(static_cast<const char*>(tree().GetItemText(child)));
    return labels;
  }
  AnlModel* model = nullptr;
};

TEST_F(ResultSetHostTest, APersonEditsTheResultSetsAndTheCommitCarriesThem) {
  const std::vector<std::string> script = {
      "@rclick 1198 Bracket*",
      "@menu Result Set",
      "@edit 1198 BracketStress1 \"Bad Name\"",
      "@click IDOK",  // the refusal's message
      "@edit 1198 BracketStress1 BracketStress",
      "@click IDOK",  // a name another result set has
      "@edit 1198 BracketStress1 Gusts",
      "@drag 1198 " + kLongSetName + " Gusts",
      "@drag 1198 Pins Gusts",  // refused: the other result set uses Fixed
      "@drag 1198 bracket/Fixed* Gusts",
      "@rclick 1198 Gusts/" + kLongSetName,
      "@menu Properties...",
      "@set IDC_SCALE_FACTOR 2.5",
      "@click IDOK",
      "@rclick 1198 BracketStress/Loads*",
      "@menu Delete",
      "@click IDOK",
  };
  std::deque<std::string> lines(script.begin(), script.end());
  int number = 0;
  std::string printed;
  mfc::ActionLineDriver person(
      [&]() -> std::optional<mfc::ActionLine> {
        if (lines.empty()) return std::nullopt;
        mfc::ActionLine line{lines.front(), ++number};
        lines.pop_front();
        return line;
      },
      [&](const std::string& text) { printed += text; });
  mfc::UserDriver* previous = mfc::installUserDriver(&person);
  uistest::ExplorerHost modal(HostMode::ResultSets);
  EXPECT_EQ(RunModal(modal), IDOK);
  mfc::installUserDriver(previous);
  EXPECT_TRUE(lines.empty()) << lines.front();
  EXPECT_EQ(printed, "") << "every line acted";

  std::vector<std::unique_ptr<AnlResltCase>> cases = TakeResultCases(modal);
  ASSERT_EQ(cases.size(), 2u);
  const CaseContents first = Contents(*cases[0]);
  EXPECT_EQ(first.name, "BracketStress") << "the default result set";
  EXPECT_TRUE(first.loads.empty()) << "its load set was deleted";
  EXPECT_EQ(first.restraints, std::vector<std::string>{"Fixed"});
  const CaseContents second = Contents(*cases[1]);
  EXPECT_EQ(second.name, "Gusts");
  ASSERT_EQ(second.loads.size(), 1u);
  EXPECT_EQ(second.loads[0].first, kLongSetName) << "the whole label reaches the commit";
  EXPECT_DOUBLE_EQ(second.loads[0].second, 2.5);
  EXPECT_EQ(second.restraints, std::vector<std::string>{"Fixed"});
  EXPECT_EQ(cases[1]->Type(), AnlResltStatic);
}

TEST_F(ResultSetHostTest, NewResultSetNamesRunBaseBase1Base2AndAvoidTakenNames) {
  model->NewResultSet("BracketStress1");
  OpenHost(HostMode::ResultSets);
  EXPECT_NE(Item("Bracket*/BracketStress"), nullptr) << "the default result set";
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, "Bracket*"), "");
    tree().DoAction(kActNewResultSet, 0);
  }
  EXPECT_NE(Item("Bracket*/BracketStress2"), nullptr) << "BracketStress1 is a stored result set";
  EXPECT_NE(Item("Bracket*/BracketStress3"), nullptr);
}

TEST_F(ResultSetHostTest, ALongModelNameLeavesTheTypeWordAlone) {
  cad.maxNameLength = 10;
  OpenHost(HostMode::ResultSets);
  EXPECT_NE(Item("Bracket*/Stress"), nullptr) << "BracketStress is longer than 10 characters";
}

struct DropCase {
  const char* source;
  const char* target;
  bool accepted;
};

TEST_F(ResultSetHostTest, DropRulesForLoadAndRestraintSets) {
  OpenHost(HostMode::ResultSets);
  ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, "Bracket*"), "");
  tree().DoAction(kActNewResultSet, 0);  // BracketStress1, empty
  const DropCase cases[] = {
      {"bracket/Fixed*", "BracketStress", false},          // it holds a restraint set already
      {"Pins", "BracketStress1", false},                   // the other case uses Fixed
      {"bracket/Fixed*", "BracketStress1", true},          // the same restraint set as the other case
      {"bracket/Loads*", "BracketStress", true},           // a stress case takes several load sets
      {"bracket/Loads*", "Bracket*", false},               // not a result case
      {"BracketStress1/Fixed*", "BracketStress1", false},  // onto its own parent
      {"BracketStress", "BracketStress1", false},          // a result case is not dragged
  };
  for (const DropCase& c : cases) {
    const size_t before = ChildrenOf(std::string("Bracket*/") + c.target).size();
    ASSERT_EQ(mfc::userDragTreeItem(host->m_hWnd, kTreeId, c.source, c.target), "") << c.source;
    const size_t after = ChildrenOf(std::string("Bracket*/") + c.target).size();
    EXPECT_EQ(after, before + (c.accepted ? 1u : 0u)) << c.source << " onto " << c.target;
  }
}

TEST_F(ResultSetHostTest, ABucklingCaseTakesOneLoadSetAndVibrationNone) {
  model->SetType(AnlBuckling);
  OpenHost(HostMode::ResultSets);
  EXPECT_EQ(ChildrenOf("Bracket*/BracketBuckling"), (std::vector<std::string>{"Loads*", "Fixed*"}));
  ASSERT_EQ(mfc::userDragTreeItem(host->m_hWnd, kTreeId, kLongSetName, "BracketBuckling"), "");
  EXPECT_EQ(ChildrenOf("Bracket*/BracketBuckling").size(), 2u) << "refused: it holds a load set";
  host->DestroyWindow();
  TakeResultCases(*host);

  model->SetType(AnlVibration);
  OpenHost(HostMode::ResultSets);
  EXPECT_EQ(ChildrenOf("Bracket*/BracketVibration"), std::vector<std::string>{"Fixed*"})
      << "a vibration case starts without a load set";
}

TEST_F(ResultSetHostTest, ScaleFactorsDoNotOutliveARebuild) {
  OpenHost(HostMode::ResultSets);
  ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, "BracketStress/Loads*"), "");
  HTREEITEM item = tree().GetSelectedItem();
  driver.steps.push_back([](CWnd& dialog) { mfc::userSetText(dialog.m_hWnd, IDC_SCALE_FACTOR, "3"); });
  driver.steps.push_back([](CWnd& dialog) { mfc::userClick(dialog.m_hWnd, IDOK); });
  tree().DoAction(kActProperties, 1);
  EXPECT_DOUBLE_EQ(tree().ScaleFactorOf(item), 3.0);
  tree().Refresh();
  EXPECT_DOUBLE_EQ(tree().ScaleFactorOf(item), 1.0) << "a handle of the old tree keeps no factor";
}

TEST_F(ResultSetHostTest, DeleteInResultSetModeTouchesOnlyResultCasesAndTheirSets) {
  OpenHost(HostMode::ResultSets);
  for (const char* item : {"bracket/Loads*", "Bracket*"}) {
    ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, item), "");
    tree().DoAction(kActDelete, 1);
    EXPECT_NE(Item(item), nullptr) << item;
  }
  EXPECT_FALSE(control.CurrentLoadCase()->IsMarkedAsErased());
  ASSERT_EQ(mfc::userSelect(host->m_hWnd, kTreeId, "BracketStress"), "");
  tree().DoAction(kActDelete, 1);
  EXPECT_EQ(Item("BracketStress"), nullptr);
  tree().CommitResultCases();
  EXPECT_TRUE(tree().ResultCases.empty());
}

}  // namespace
