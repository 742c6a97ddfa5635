// The "Add Result Set" dialog of an optimisation model: OK adds the proposed set, "&Add" asks for
// another, anything but OK or Add adds nothing; modifying a set replaces it with the new type.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cadInterface/CadResources.h"
#include "explorer_fixture.h"
#include "fea/AnlResltCase.h"
#include "fea/AttLbcCase.h"
#include "fea/OptModel.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "mfc/user_actions.h"
#include "res/ResourceIds.h"

namespace {

using uistest::ExplorerCad;
using uistest::ExplorerTest;

// The drawing files what the dialog committed: copies by name and type, replacements recorded.
class ResultSetCad : public ExplorerCad {
 public:
  AnlResltCase* AddAnalysisResultCase(OptModel* model, AnlResltCase* from) override {
    filed.push_back(std::make_unique<AnlResltCase>(from->Name(), 0));
    filed.back()->Type(from->Type());
    model->AddAnlResultCase(filed.back().get());
    return filed.back().get();
  }
  void ReplaceAnalysisResultCase(OptModel*, AnlResltCase* old, AnlResltCase* replacement) override {
    replaced.push_back({old->Name().Text(), replacement->Type()});
  }
  std::vector<std::unique_ptr<AnlResltCase>> filed;
  std::vector<std::pair<std::string, AnlResltType>> replaced;
};

class OptResultSetDialogTest : public ExplorerTest {
 protected:
  void SetUp() override {
    ExplorerTest::SetUp();
    resources_.emplace(1);
    control.SetCurrentLoadCase(control.NewLoadCase("Loads"));
    control.SetCurrentRestraintCase(control.NewRestraintCase("Fixed"));
    control.SetCurrentAnlModel(control.NewAnlModel("Bracket", AnlStress));
    opt = control.NewOptModel(CaeString("Study"));
    control.SetCurrentOptModel(opt);
  }
  void TearDown() override {
    resources_.reset();
    ExplorerTest::TearDown();
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (AnlResltCase* rc = opt->FirstAnlResultCase(1); rc; rc = opt->NextAnlResultCase())
      names.emplace_back(rc->Name().Text());
    return names;
  }
  void Click(int id) {
    driver.steps.push_back([id](CWnd& w) { EXPECT_EQ(mfc::userClick(w.m_hWnd, id), "") << id; });
  }

  std::optional<ResourceSetter> resources_;
  ResultSetCad resultSetCad;  // the current interface while the test runs
  OptModel* opt = nullptr;
};

TEST_F(OptResultSetDialogTest, OkAddsTheProposedSetAndAddAsksForAnother) {
  struct Case {
    const char* what;
    std::vector<int> clicks;  // one dialog per click
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"OK", {IDOK}, {"StressResultSet1"}},
      {"Add, then OK", {IDC_OPT_RESULT_SET_ADD, IDOK}, {"StressResultSet1", "StressResultSet2"}},
      {"Add, then Cancel", {IDC_OPT_RESULT_SET_ADD, IDCANCEL}, {"StressResultSet1"}},
      {"Cancel", {IDCANCEL}, {}},
      {"end of input", {}, {}},
  };
  for (const Case& c : cases) {
    while (AnlResltCase* rc = opt->FirstAnlResultCase(1)) opt->RemoveAnlResultCase(rc);
    for (int id : c.clicks) Click(id);
    EXPECT_EQ(UIOptNewResultSet(AnlResltStatic), static_cast<int>(c.names.size())) << c.what;
    EXPECT_EQ(Names(), c.names) << c.what;
    EXPECT_TRUE(driver.steps.empty()) << c.what << ": a dialog too few";
    driver.steps.clear();
  }
  ASSERT_FALSE(resultSetCad.filed.empty());
  EXPECT_EQ(resultSetCad.filed.front()->Type(), AnlResltStatic);
}

TEST_F(OptResultSetDialogTest, ModifyReplacesTheSetWithTheChosenTypeAndCancelKeepsIt) {
  AnlResltCase edited(CaeString("Static"), 1);
  edited.AddLoadCase(control.CurrentLoadCase(), 1.0);
  edited.AddBoundaryCase(control.CurrentRestraintCase(), 1.0);
  opt->AddAnlResultCase(&edited);
  driver.steps.push_back([](CWnd& w) { EXPECT_EQ(mfc::userClick(w.m_hWnd, IDCANCEL), ""); });
  EXPECT_EQ(UIOptResultSetDialog(opt, &edited, 1), 0);
  EXPECT_TRUE(resultSetCad.replaced.empty()) << "Cancel replaces nothing";
  driver.steps.push_back([](CWnd& w) {
    EXPECT_EQ(w.GetDlgItem(IDC_OPT_RESULT_SET_ADD) && w.GetDlgItem(IDC_OPT_RESULT_SET_ADD)->IsWindowEnabled(), false)
        << "modifying offers no Add";
    EXPECT_EQ(mfc::userSelect(w.m_hWnd, IDC_OPT_RESULT_SET_TYPE, "Vibration"), "");
    EXPECT_EQ(mfc::userClick(w.m_hWnd, IDOK), "");
  });
  EXPECT_EQ(UIOptResultSetDialog(opt, &edited, 1), 1);
  ASSERT_EQ(resultSetCad.replaced.size(), 1u);
  EXPECT_EQ(resultSetCad.replaced[0].first, "Static");
  EXPECT_EQ(resultSetCad.replaced[0].second, AnlResltModal);
}

// Without a model or a set there is no dialog; without a shape model the command refuses.
TEST_F(OptResultSetDialogTest, MissingObjectsAddNothing) {
  AnlResltCase loose(CaeString("Loose"), 1);
  EXPECT_EQ(UIOptResultSetDialog(nullptr, &loose, 0), 0);
  EXPECT_EQ(UIOptResultSetDialog(opt, nullptr, 0), 0);
  opt->Type(CaeOptConcept);
  EXPECT_EQ(UIOptNewResultSet(AnlResltStatic), 0);
  EXPECT_TRUE(uistest::anyBoxHolds(driver.boxes(), "An open optimization model is required"));
  EXPECT_TRUE(Names().empty());
  EXPECT_TRUE(resultSetCad.filed.empty());
}

}  // namespace
