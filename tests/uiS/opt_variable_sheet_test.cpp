// Editing a design variable in its sheet: the replacement handed to the CAD takes the parameter's
// name, the page's bounds and measure; bounds written in a unit the drawing no longer uses are
// converted after a Yes, and a No keeps the page with nothing replaced.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "fea/OptModel.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/dialogs/optimization/UIOptVarPP.h"
#include "opt_page_fixture.h"

namespace {

// A parameter key stand-in: the commands only hand it on.
int parameterKeyStandIn = 0;
AmiParamKey* const kKey = reinterpret_cast<AmiParamKey*>(&parameterKeyStandIn);

class ParameterCad : public uistest::RecordingCad {
 public:
  int ParameterMode() override { return 1; }
  AmiParamKey* VariableParameterKey(OptVariable*) override { return kKey; }
  CaeString& GetParamName(CaeString& name, AmiParamKey* key) override {
    name = key == kKey ? "Width" : "";
    return name;
  }
  void ReplaceDesignVariable(OptVariable* old, OptVariable* prototype, AmiParamKey* key) override {
    double lower = 0.0, upper = 0.0;
    prototype->Bounds(lower, upper);
    replaced.push_back({old, key, prototype->Name().Text(), lower, upper, static_cast<int>(prototype->UnitType())});
  }
  struct Replacement {
    OptVariable* old;
    AmiParamKey* key;
    std::string name;
    double lower, upper;
    int unitType;
  };
  std::vector<Replacement> replaced;
};

// A drawing variable whose bounds were written in `unit`.
class StoredVariable : public OptVariable {
 public:
  explicit StoredVariable(const char* unit) : OptVariable(CaeString("Width")), unit_(unit) {}
  CaeString UnitText() const override { return unit_; }

 private:
  CaeString unit_;
};

class OptVariableSheetTest : public uistest::OptPageTest {
 protected:
  static std::string HostLengthUnit() {
    return CaeUnitStrTable::GetCurrent()->IdToShortString(CaeUnitSystem::GetHostUnit(0)).Text();
  }

  static double InchesToHost() {
    const std::string host = HostLengthUnit();
    return host == "m" ? 0.0254 : host == "mm" ? 25.4 : host == "cm" ? 2.54 : 1.0;
  }
};

TEST_F(OptVariableSheetTest, ModifyReplacesWithTheParametersNameAndConvertsOldUnitsOnYes) {
  const std::string host = HostLengthUnit();
  ASSERT_FALSE(host.empty());
  struct Row {
    const char* unit;
    int answer;  // to the conversion question; 0 when none is asked
    bool replaced;
  };
  const Row rows[] = {{host.c_str(), 0, true}, {"in", IDYES, true}, {"in", IDNO, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.unit) + " " + std::to_string(row.answer));
    ParameterCad cad;
    StoredVariable variable(row.unit);
    // The parameter's value is in today's unit: only the bounds were written in the old one.
    const bool inches = std::string(row.unit) == "in";
    variable.InitialValue(10.0 * (inches ? InchesToHost() : 1.0));
    variable.SetBounds(9.0, 11.0);
    if (row.answer) driver.answer(row.answer);
    driver.add([](CWnd& window) { Press(window, IDOK); });
    if (!row.replaced) driver.add([](CWnd& window) { Press(window, IDCANCEL); });  // the page stayed
    const size_t boxesBefore = driver.boxes().size();
    EXPECT_EQ(UIOptEditParameterVariable(&variable, nullptr, 1), row.replaced ? 1 : 0);
    EXPECT_EQ(driver.boxes().size() - boxesBefore, row.answer ? 1u : 0u);
    if (row.answer) {
      EXPECT_TRUE(uistest::anyBoxHolds(driver.boxes(), "convert the bounds to '" + host + "'"));
    }
    ASSERT_EQ(cad.replaced.size(), row.replaced ? 1u : 0u);
    if (!row.replaced) continue;
    const ParameterCad::Replacement& r = cad.replaced[0];
    EXPECT_EQ(r.old, &variable);
    EXPECT_EQ(r.key, kKey);
    EXPECT_EQ(r.name, "Width");
    EXPECT_EQ(r.unitType, 0);
    // Converted from inches to the host unit, else as they were.
    const double factor = row.answer == IDYES ? InchesToHost() : 1.0;
    EXPECT_NEAR(r.lower, 9.0 * factor, 1e-9);
    EXPECT_NEAR(r.upper, 11.0 * factor, 1e-9);
  }
}

// Two free globals; what each defined variable was made from.
class GlobalsCad : public uistest::RecordingCad {
 public:
  int ParameterMode() override { return 1; }
  void GetGlobalParams(int* count, CaeString** names) override {
    *count = 2;
    *names = new CaeString[2]{CaeString("Width"), CaeString("HoleD")};
  }
  double GetParamValueByName(CaeString name) override { return name == "Width" ? 100.0 : 30.0; }
  AmiParamKey* FindGlobalParam(CaeString name) override { return name == "Width" ? kKey : nullptr; }
  CaeString& GetParamName(CaeString& name, AmiParamKey* key) override {
    name = key == kKey ? "Width" : "";
    return name;
  }
  OptVariable* CreateDesignVariable(OptVariable* prototype, AmiParamKey*) override {
    double lower = 0.0, upper = 0.0;
    prototype->Bounds(lower, upper);
    created.push_back(std::string(prototype->Name().Text()) + " " + std::to_string(lower) + ".." +
                      std::to_string(upper));
    return nullptr;
  }
  void RebuildExplorer() override { ++rebuilt; }
  std::vector<std::string> created;
  int rebuilt = 0;
};

// The wizard's variable step: Yes on "More Design Variables?" commits and asks for another;
// Finish commits the last; Back and Cancel commit nothing in their pass.
TEST_F(OptVariableSheetTest, WizardStepDefinesWhileTheUserAnswersYes) {
  using Step = uistest::RecordingDriver::Step;
  const Step next = [](CWnd& w) { Press(w, ID_WIZNEXT); };
  const Step yes = [](CWnd& w) { Press(*static_cast<CPropertySheet&>(w).GetActivePage(), IDC_OPT_MORE_YES); };
  const Step finish = [](CWnd& w) { Press(w, ID_WIZFINISH); };
  const Step back = [](CWnd& w) { Press(w, ID_WIZBACK); };
  const Step cancel = [](CWnd& w) { Press(w, IDCANCEL); };
  struct Row {
    const char* what;
    std::vector<Step> steps;
    int answer;
    size_t created;
  };
  const std::string width = "Width " + std::to_string(90.0) + ".." + std::to_string(110.0);
  const Row rows[] = {{"yes then finish", {next, yes, next, finish}, 1, 2},
                      {"finish at once", {next, finish}, 1, 1},
                      {"yes then cancel", {next, yes, cancel}, 1, 1},
                      {"back on the first page", {back}, 0, 0},
                      {"cancel", {cancel}, 0, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    GlobalsCad cad;
    for (const Step& step : row.steps) driver.add(step);
    EXPECT_EQ(UIOptDefineVariable(0, 1), row.answer);
    ASSERT_EQ(cad.created.size(), row.created);
    for (const std::string& made : cad.created) EXPECT_EQ(made, width);
    EXPECT_EQ(cad.rebuilt, static_cast<int>(row.created)) << "the Explorer shows each at once";
  }
}

}  // namespace
