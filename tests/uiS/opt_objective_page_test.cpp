// The Concept objective page's target: switching from a percentage to a volume converts the value
// with the part's volume, and the volume it becomes is bound only to be positive, not to 1..100.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlResltCase.h"
#include "fea/OptModel.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/dialogs/optimization/UIOptObjPP.h"
#include "gui/dialogs/optimization/UIOptVocabulary.h"
#include "opt_page_fixture.h"

namespace {

class PartVolumeCad : public uistest::RecordingCad {
 public:
  double GetPartMassProps() override { return 1000.0; }
};

// Records the name of each objective handed over to be filed.
class ObjectiveFilingCad : public uistest::RecordingCad {
 public:
  OptObjective* AddObjective(OptFunction* definition) override {
    filed.push_back(std::string("add ") + definition->Name().Text());
    return nullptr;
  }
  void ReplaceObjective(OptObjective*, OptFunction* definition) override {
    filed.push_back(std::string("replace ") + definition->Name().Text());
  }
  std::vector<std::string> filed;
};

using OptObjectivePageTest = uistest::OptPageTest;

TEST_F(OptObjectivePageTest, ConceptTargetSwitchedToAVolumeIsBoundOnlyToBePositive) {
  struct Row {
    const char* typed;  // typed after the switch; null keeps the converted value
    bool accepted;
    double target;
  };
  const Row rows[] = {
      {nullptr, true, 750.0}, {"250000", true, 250000.0}, {"0.5", true, 0.5}, {"0", false, 75.0}, {"-5", false, 75.0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed ? row.typed : "converted");
    PartVolumeCad cad;
    COptObjPP page(IDD_OPT_OBJECTIVE_CONCEPT);
    page.m_dTarget = 75.0;
    page.m_nRadio = COptObjPP::kFirst;
    CPropertySheet sheet("Objective");
    sheet.AddPage(&page);
    driver.add([&](CWnd& window) {
      static_cast<CButton*>(page.GetDlgItem(IDC_OPT_OBJ_FIRST))->SetCheck(BST_UNCHECKED);
      static_cast<CButton*>(page.GetDlgItem(IDC_OPT_OBJ_SECOND))->SetCheck(BST_CHECKED);
      Press(page, IDC_OPT_OBJ_SECOND);
      if (row.typed) page.GetDlgItem(IDC_OPT_OBJ_TARGET)->SetWindowText(row.typed);
      Press(window, IDOK);
    });
    if (!row.accepted) driver.add([&](CWnd& window) { Press(window, IDCANCEL); });  // the page stayed
    const INT_PTR ended = sheet.DoModal();
    EXPECT_EQ(ended, row.accepted ? IDOK : IDCANCEL);
    if (!row.accepted) {
      EXPECT_TRUE(uistest::anyBoxHolds(driver.boxes(), "greater than 0"));
      continue;
    }
    EXPECT_EQ(page.m_nRadio, COptObjPP::kSecond);
    EXPECT_DOUBLE_EQ(page.m_dTarget, row.target);
  }
}

// Names that share a beginning or differ only in case are other sets: the objective's own set is
// chosen by its own line.
TEST_F(OptObjectivePageTest, InputPageChoosesTheObjectivesOwnSetAmongLookalikeNames) {
  const char* const owns[] = {"Set1", "set10", "SET1"};
  for (const char* own : owns) {
    SCOPED_TRACE(own);
    uistest::RecordingCad cad;
    OptModel model("Shape");
    AnlResltCase set10("set10"), set1Upper("SET1"), set1("Set1"), statics("Set1s");
    for (AnlResltCase* rc : {&set10, &set1Upper, &set1}) rc->Type(AnlResltModal);
    statics.Type(AnlResltStatic);
    for (AnlResltCase* rc : {&statics, &set10, &set1Upper, &set1}) model.AddAnlResultCase(rc);
    OptObjective objective("Objective", OptFrequency);
    objective.Owner(&model);
    for (AnlResltCase* rc : {&set10, &set1Upper, &set1})
      if (rc->Name() == own) objective.AddAnlResultCase(rc);

    COptObjPP objectivePage(IDD_OPT_OBJECTIVE);
    objectivePage.m_pObjective = &objective;
    objectivePage.m_nResponse = UIOptResponseTypeToListIndex(OptFrequency);
    COptObjResCasePP page;
    page.m_pObjectivePage = &objectivePage;
    CPropertySheet sheet("Objective");
    sheet.AddPage(&page);
    std::string listed;
    driver.add([&](CWnd& window) {
      auto* combo = static_cast<CComboBox*>(page.GetDlgItem(IDC_OPT_OBJ_RESULT_SETS));
      for (int i = 0; i < combo->GetCount(); ++i) {
        CString line;
        combo->GetLBText(i, line);
        listed += std::string(i ? "|" : "") + static_cast<const char*>(line);
      }
      Press(window, IDOK);
    });
    ASSERT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(listed, "set10|SET1|Set1") << "only modal sets, each on its own line";
    EXPECT_STREQ(static_cast<const char*>(page.m_strResultSet), own);
  }
}

// The drawing refuses to file an objective without a name: a replacement keeps the old one's
// name and a new one has the engine's default.
TEST_F(OptObjectivePageTest, FiledObjectivesAreNamed) {
  struct Row {
    int replace;
    const char* name;  // null: a new objective as the engine makes it
    const char* filed;
  };
  const Row rows[] = {
      {1, "Lightest", "replace Lightest"}, {0, nullptr, "add Objective"}, {1, nullptr, "replace Objective"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.filed);
    ObjectiveFilingCad cad;
    OptModel model("Shape");
    std::unique_ptr<OptObjective> objective(row.name ? new OptObjective(row.name, OptMass) : new OptObjective);
    objective->Owner(&model);
    driver.add([](CWnd& window) { Press(window, IDOK); });
    ASSERT_EQ(UIOptObjectiveSheet(objective.get(), row.replace, 0), 1);
    EXPECT_EQ(cad.filed, std::vector<std::string>{row.filed});
  }
}

}  // namespace
