// The current-object pickers and "Select Model": none, one or several candidates, erased ones
// among them, the user's choice by "@" lines, the wrong-kind warning for optimisation models.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttLbcCase.h"
#include "fea/OptModel.h"
#include "gui/dialogs/model/UISelectModelDlg.h"
#include "gui/utils/UIPickers.h"
#include "mfc/user_actions.h"
#include "uis_fixture.h"

namespace {

using uistest::ScriptedUser;

// Walks start at the head of the lists, erased objects included, as a drawing's list of ids may.
class RawListControl : public AnlControl {
 public:
  using AnlControl::AnlControl;
  AnlModel* FirstAnlModel() override { return anlModels_.First(); }
  AttLbcCase* FirstLoadCase() override { return loadCases_.First(); }
  AttLbcCase* FirstRestraintCase() override { return restraintCases_.First(); }
  OptModel* FirstOptModel() override { return optModels_.First(); }
};

// One kind of the family: how to make an object, ask the picker and read what is current.
struct Family {
  const char* kind;
  const char* title;  // of the dialog that asks
  std::function<CaeName*(AnlControl&, const char*)> make;
  std::function<CaeName*()> pick;
  std::function<CaeName*(AnlControl&)> current;
};

const Family kFamilies[] = {
    {"simulation model", "Select Simulation Model",
     [](AnlControl& c, const char* name) -> CaeName* { return c.NewAnlModel(name, AnlStress); },
     []() -> CaeName* { return UIPickCurrentModel(); }, [](AnlControl& c) -> CaeName* { return c.CurrentAnlModel(); }},
    {"load set", "Select Load Set", [](AnlControl& c, const char* name) -> CaeName* { return c.NewLoadCase(name); },
     []() -> CaeName* { return UIPickLoadCase(); }, [](AnlControl& c) -> CaeName* { return c.CurrentLoadCase(); }},
    {"restraint set", "Select Restraint Set",
     [](AnlControl& c, const char* name) -> CaeName* { return c.NewRestraintCase(name); },
     []() -> CaeName* { return UIPickRestraintCase(); },
     [](AnlControl& c) -> CaeName* { return c.CurrentRestraintCase(); }},
};

struct Candidate {
  const char* name;
  bool erased;
};

struct PickRow {
  const char* name;
  std::vector<Candidate> candidates;
  std::vector<std::string> lines;
  const char* picked;  // null: nothing
  bool asked;
  const char* refused;  // a line the dialog refuses, or null
};

std::string NameOf(const CaeName* object) { return object ? object->Name().Text() : "(none)"; }

class PickersTest : public uistest::FrameTest {};

TEST_F(PickersTest, FamilyPickersTakeTheCurrentTheOnlyLiveOrTheChosenObject) {
  const PickRow rows[] = {
      {"none", {}, {}, nullptr, false, nullptr},
      {"one becomes current without asking", {{"Only", false}}, {}, "Only", false, nullptr},
      {"an erased one is not counted", {{"Gone", true}, {"Only", false}}, {}, "Only", false, nullptr},
      {"only erased ones: nothing", {{"Gone", true}}, {}, nullptr, false, nullptr},
      {"several: the chosen one",
       {{"First", false}, {"Second", false}},
       {"@show", "@select IDC_SELECT_LIST Second", "@click IDOK"},
       "Second",
       true,
       nullptr},
      {"several: Cancel gives nothing",
       {{"First", false}, {"Second", false}},
       {"@show", "@click IDCANCEL"},
       nullptr,
       true,
       nullptr},
      {"an erased one is not listed",
       {{"Gone", true}, {"First", false}, {"Second", false}},
       {"@show", "@select IDC_SELECT_LIST Gone", "@click IDOK"},
       "First",
       true,
       "line 2:"},
  };
  for (const Family& family : kFamilies) {
    for (const PickRow& row : rows) {
      SCOPED_TRACE(std::string(family.kind) + ": " + row.name);
      RawListControl control("part");
      control.SetCurrent();
      for (const Candidate& candidate : row.candidates) {
        CaeName* object = family.make(control, candidate.name);
        if (candidate.erased) dynamic_cast<CaeActive*>(object)->MarkAsErased();
      }
      ResourceSetter resources(1);
      ScriptedUser user(row.lines);
      CaeName* picked = family.pick();
      EXPECT_TRUE(user.allRead());
      EXPECT_EQ(NameOf(picked), row.picked ? row.picked : "(none)");
      EXPECT_EQ(NameOf(family.current(control)), row.picked ? row.picked : "(none)");
      EXPECT_EQ(user.printed.find(std::string("\"") + family.title + "\"") != std::string::npos, row.asked)
          << user.printed;
      if (row.refused) {
        EXPECT_NE(user.printed.find(row.refused), std::string::npos) << user.printed;
        const std::size_t list = user.printed.find("combo 1121");
        ASSERT_NE(list, std::string::npos) << user.printed;
        const std::string listLine = user.printed.substr(list, user.printed.find('\n', list) - list);
        EXPECT_EQ(listLine.find("Gone"), std::string::npos) << listLine;
      }
      AnlControl::UnsetCurrent();
    }
  }
}

TEST_F(PickersTest, TheCurrentObjectIsTakenWithoutAsking) {
  AnlControl control("part");
  control.SetCurrent();
  control.NewLoadCase("A");
  AttLbcCase* b = control.NewLoadCase("B");
  control.SetCurrentLoadCase(b);
  ScriptedUser user({});
  EXPECT_EQ(UIPickLoadCase(), b);
  EXPECT_EQ(user.printed, "");
  AnlControl::UnsetCurrent();
}

// Names differing only in case are both listed; OK takes the object whose name is the selected
// text exactly.
TEST_F(PickersTest, SelectModelMatchesTheChosenNameExactly) {
  AnlControl control("part");
  control.SetCurrent();
  control.NewRestraintCase("Beam");
  AttLbcCase* upper = control.NewRestraintCase("BEAM");
  std::vector<std::string> listed;
  driver.add([&](CWnd& window) {
    auto* list = static_cast<CComboBox*>(window.GetDlgItem(IDC_SELECT_LIST));
    for (int i = 0; i < list->GetCount(); ++i) {
      CString text;
      list->GetLBText(i, text);
      listed.emplace_back(text);
    }
    list->SetCurSel(1);
    mfc::userClick(window.GetSafeHwnd(), IDOK);
  });
  ResourceSetter resources(1);
  CSelectModelDlg dialog;
  dialog.SetMode(CSelectModelDlg::kRestraintSet);
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(listed, (std::vector<std::string>{"Beam", "BEAM"}));
  EXPECT_EQ(dialog.ChosenSet(), upper);
  EXPECT_EQ(dialog.ChosenModel(), nullptr);
  AnlControl::UnsetCurrent();
}

OptModel* MakeOptModel(AnlControl& control, const char* name, int kind) {
  OptModel* model = control.NewOptModel(name);
  model->Type(static_cast<CaeOptType>(kind));
  return model;
}

struct OptRow {
  const char* name;
  int kind;
  int flags;
  std::vector<std::string> lines;
  const char* picked;
  std::vector<std::string> boxes;
};

// Shape "S1" and "S2", Concept "C1", an erased shape "Gone"; none current.
TEST_F(PickersTest, OptimisationModelsOfTheWrongKindAreRefusedWithAWarning) {
  // The box as the driver shows it: line breaks and quotes escaped, then its buttons.
  const std::string wrongKind =
      R"("The type of the selected optimization model is invalid.\nYou selected \"Concept Optimization\" but )"
      R"(should select \"Shape Optimization\"." buttons OK Cancel)";
  const OptRow rows[] = {
      {"the only concept model without asking", 1, 3, {}, "C1", {}},
      {"without leave to ask the first shape model", 0, 0, {}, "S1", {}},
      {"the chosen shape model", 0, 3, {"@select IDC_SELECT_LIST S2", "@click IDOK"}, "S2", {}},
      {"a concept model refused, then a shape model",
       0,
       3,
       {"@select IDC_SELECT_LIST C1", "@click IDOK", "@show", "@click IDOK", "@select IDC_SELECT_LIST S2",
        "@click IDOK"},
       "S2",
       {wrongKind}},
      {"a concept model refused, then Cancel in the warning",
       0,
       3,
       {"@select IDC_SELECT_LIST C1", "@click IDOK", "@show", "@click IDCANCEL"},
       nullptr,
       {wrongKind}},
      {"any kind takes the chosen concept model", 2, 3, {"@select IDC_SELECT_LIST C1", "@click IDOK"}, "C1", {}},
  };
  for (const OptRow& row : rows) {
    SCOPED_TRACE(row.name);
    RawListControl control("part");
    control.SetCurrent();
    MakeOptModel(control, "Gone", 0)->MarkAsErased();
    MakeOptModel(control, "S1", 0);
    MakeOptModel(control, "C1", 1);
    MakeOptModel(control, "S2", 0);
    std::vector<std::string> boxes;
    ResourceSetter resources(1);
    {
      ScriptedUser user(row.lines);
      OptModel* picked = UIPickOptModel(row.kind, row.flags);
      EXPECT_TRUE(user.allRead());
      EXPECT_EQ(user.printed.find("line "), std::string::npos) << user.printed;
      EXPECT_EQ(NameOf(picked), row.picked ? row.picked : "(none)");
      EXPECT_EQ(NameOf(control.CurrentOptModel()), (row.picked && (row.flags & 2)) ? row.picked : "(none)");
      std::size_t at = 0;
      for (const std::string& box : row.boxes) {
        at = user.printed.find(box, at);
        EXPECT_NE(at, std::string::npos) << user.printed;
      }
      if (row.boxes.empty()) {
        EXPECT_EQ(user.printed.find("invalid"), std::string::npos) << user.printed;
      }
    }
    AnlControl::UnsetCurrent();
  }
}

// Three result sets of which one is still running: the two finished ones are listed; with only
// one finished it is made current without asking.
TEST_F(PickersTest, OptimisationResultSetsStillRunningOrErasedAreNotOffered) {
  for (const bool twoFinished : {true, false}) {
    SCOPED_TRACE(twoFinished ? "two finished" : "one finished");
    AnlControl control("part");
    control.SetCurrent();
    OptModel* model = MakeOptModel(control, "S1", 0);
    const std::pair<const char*, int> cases[] = {
        {"Run1", 1}, {"Running", 0}, {"Run2", twoFinished ? 1 : 0}, {"Erased", 1}};
    for (const auto& [name, exitCode] : cases) {
      OptResultCase* resultCase = model->NewOptResultCase("job", name);
      resultCase->SetExitCode(exitCode);
      resultCase->SetInitialized(1);
      if (std::string(name) == "Erased") resultCase->MarkAsErased();
    }
    std::vector<std::string> listed;
    driver.add([&](CWnd& window) {
      auto* list = static_cast<CComboBox*>(window.GetDlgItem(IDC_SELECT_LIST));
      for (int i = 0; i < list->GetCount(); ++i) {
        CString text;
        list->GetLBText(i, text);
        listed.emplace_back(text);
      }
      CString title;
      window.GetWindowText(title);
      EXPECT_EQ(std::string(title), "Select Optimization Result Set");
      list->SetCurSel(1);
      mfc::userClick(window.GetSafeHwnd(), IDOK);
    });
    ResourceSetter resources(1);
    OptResultCase* picked = UIPickOptResultCase();
    ASSERT_NE(picked, nullptr);
    EXPECT_EQ(model->CurrentOptResultCase(), picked);
    if (twoFinished) {
      EXPECT_EQ(listed, (std::vector<std::string>{"Run1", "Run2"}));
      EXPECT_EQ(NameOf(picked), "Run2");
    } else {
      EXPECT_TRUE(listed.empty()) << "no dialog";
      EXPECT_EQ(NameOf(picked), "Run1");
    }
    AnlControl::UnsetCurrent();
  }
}

}  // namespace
