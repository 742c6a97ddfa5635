// "CAEP_MODEL" driven by "@" lines as a script drives it, on a drawing with its own analysis
// control: what OK opens, creates and closes, the first-time unit row, and refused names.
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadApplication.h"
#include "cadInterface/CadDocControl.h"
#include "cadInterface/CadEvents.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttLbcCase.h"
#include "gui/dialogs/model/UIConvertModelDlg.h"
#include "gui/dialogs/model/UIModDlg.h"
#include "gui/dialogs/model/UIModTypeDlg.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/user_actions.h"
#include "uis_fixture.h"

namespace {

using uistest::ScriptedUser;

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// A control whose walks start at the head of its lists, erased objects included, as a drawing's
// list of ids may: the dialog itself must pass over erased objects.
class RawListControl : public AnlControl {
 public:
  using AnlControl::AnlControl;
  AnlModel* FirstAnlModel() override { return anlModels_.First(); }
  AttLbcCase* FirstLoadCase() override { return loadCases_.First(); }
  AttLbcCase* FirstRestraintCase() override { return restraintCases_.First(); }
};

// One drawing named "drawing" whose data carries an analysis control.
class OneDrawing : public CadApplication {
 public:
  CadDocControl* CreateDocControl(void* document) override {
    auto* control = new CadDocControl(document);
    auto* data = new CadDocData();
    data->SetAnlControl(new RawListControl("drawing"));
    control->SetData(data);
    return control;
  }
  bool IsDocumentUsable(void*) override { return true; }
  void* CurrentDocument() override { return &document; }
  int document = 0;
};

// A CAD that selects models and sets as the drawing does (ignoring case, passing over erased
// objects, a given type changing an existing model's), with a drawing unit that starts unset.
class ModelCad : public uistest::RecordingCad {
 public:
  int SelectOrCreateModel(const char* name, int type) override {
    AnlControl* control = AnlControl::GetCurrent();
    for (AnlModel* model = control->FirstAnlModel(); model; model = control->NextAnlModel()) {
      if (model->IsMarkedAsErased() || !SameIgnoringCase(model->Name().Text(), name)) continue;
      if (type >= 0) model->SetType(static_cast<AnlType>(type));
      control->SetCurrentAnlModel(model);
      return 1;
    }
    control->SetCurrentAnlModel(control->NewAnlModel(name, static_cast<AnlType>(type < 0 ? 0 : type)));
    return 0;
  }
  int SelectOrCreateLoadCase(const char* name) override {
    return SelectOrCreateSet(name, &AnlControl::FirstLoadCase, &AnlControl::NextLoadCase, &AnlControl::NewLoadCase,
                             &AnlControl::SetCurrentLoadCase);
  }
  int SelectOrCreateRestraintCase(const char* name) override {
    return SelectOrCreateSet(name, &AnlControl::FirstRestraintCase, &AnlControl::NextRestraintCase,
                             &AnlControl::NewRestraintCase, &AnlControl::SetCurrentRestraintCase);
  }
  int GetLengthUnit() override { return unit; }
  void SetLengthUnit(int* value) override { unit = *value; }
  int MaxNameLength() override { return nameLimit; }
  int CanStartCommand(int) override { return canStart; }
  int AcceptsFreeNames() override { return 0; }  // letters, digits and underscores, as the drawing names

  int unit = CaeUnitNone;
  int nameLimit = 9999;
  int canStart = 1;

 private:
  static int SelectOrCreateSet(const char* name, AttLbcCase* (AnlControl::*first)(), AttLbcCase* (AnlControl::*next)(),
                               AttLbcCase* (AnlControl::*create)(const CaeString&),
                               void (AnlControl::*makeCurrent)(AttLbcCase*)) {
    AnlControl* control = AnlControl::GetCurrent();
    for (AttLbcCase* set = (control->*first)(); set; set = (control->*next)()) {
      if (set->IsMarkedAsErased() || !SameIgnoringCase(set->Name().Text(), name)) continue;
      (control->*makeCurrent)(set);
      return 1;
    }
    (control->*makeCurrent)((control->*create)(name));
    return 0;
  }
};

// The lists of a drawing keep erased objects until it is saved; walks start at their heads.
class ModelDialogTest : public uistest::FrameTest {
 public:
  AnlControl& Control() { return *CadCurrentDocData()->GetAnlControl(); }
  AnlModel* Model(const char* name, AnlType type = AnlStress) { return Control().NewAnlModel(name, type); }
  AttLbcCase* LoadSet(const char* name) { return Control().NewLoadCase(name); }
  AttLbcCase* RestraintSet(const char* name) { return Control().NewRestraintCase(name); }

 protected:
  void SetUp() override {
    FrameTest::SetUp();
    appControl_ = std::make_unique<CadAppControl>();
    application_ = new OneDrawing();
    CadSetApplication(application_);
    ASSERT_NE(application_->ActivateDocument(nullptr), nullptr);
    cad = std::make_unique<ModelCad>();
  }
  void TearDown() override {
    cad.reset();
    if (CadGetApplication()) CadEvents::ApplicationUnloading();
    delete application_;
    CadSetApplication(nullptr);
    appControl_.reset();
    FrameTest::TearDown();
  }
  // Runs "CAEP_MODEL" on the lines; answers what the driver refused.
  std::string RunCommand(std::vector<std::string> lines) {
    ResourceSetter resources(1);
    ScriptedUser user(std::move(lines));
    UICmdModel();
    EXPECT_TRUE(user.allRead());
    return user.printed;
  }

  static std::string NameOf(const CaeName* object) { return object ? object->Name().Text() : "(none)"; }
  std::string CurrentModel() { return NameOf(Control().CurrentAnlModel()); }
  std::string CurrentLoadSet() { return NameOf(Control().CurrentLoadCase()); }
  std::string CurrentRestraintSet() { return NameOf(Control().CurrentRestraintCase()); }
  int LiveModels() {
    int count = 0;
    for (AnlModel* model = Control().FirstAnlModel(); model; model = Control().NextAnlModel())
      count += model->IsMarkedAsErased() ? 0 : 1;
    return count;
  }

  std::unique_ptr<ModelCad> cad;

 private:
  std::unique_ptr<CadAppControl> appControl_;
  OneDrawing* application_ = nullptr;
};

struct Row {
  const char* name;
  std::function<void(ModelDialogTest&)> setUp;
  std::vector<std::string> lines;
  const char* model;
  int type;  // -1: not checked
  const char* loadSet;
  const char* restraintSet;
  int liveModels;
};

TEST_F(ModelDialogTest, OkOpensCreatesAndClosesTheModelAndItsSets) {
  const Row rows[] = {
      {"an empty drawing proposes a stress model and new sets, and OK creates them",
       [](ModelDialogTest&) {},
       {"@click IDOK"},
       "drawing_Model",
       AnlStress,
       "drawing_LS",
       "drawing_RS",
       1},
      {"the current model keeps its sets; vibration closes the load set whatever the list shows",
       [](ModelDialogTest& t) {
         t.Control().SetCurrentAnlModel(t.Model("Beam"));
         t.Control().SetCurrentLoadCase(t.LoadSet("Push"));
         t.Control().SetCurrentRestraintCase(t.RestraintSet("Fixed"));
       },
       {"@check IDC_TYPE_VIBRATION on", "@click IDOK"},
       "Beam",
       AnlVibration,
       "(none)",
       "Fixed",
       1},
      {"New with an existing name opens that model with the chosen type",
       [](ModelDialogTest& t) {
         t.Control().SetCurrentAnlModel(t.Model("Alpha"));
         t.Model("Beta");
       },
       {"@check IDC_MODEL_NEW on", "@set IDC_MODEL_NAME beta", "@check IDC_TYPE_HEAT on", "@click IDOK"},
       "Beta",
       AnlHeatTransfer,
       nullptr,
       nullptr,
       2},
      {"New with an empty name closes the model",
       [](ModelDialogTest& t) { t.Control().SetCurrentAnlModel(t.Model("Alpha")); },
       {"@check IDC_MODEL_NEW on", "@set IDC_MODEL_NAME \"\"", "@click IDOK"},
       "(none)",
       -1,
       nullptr,
       nullptr,
       1},
      {"choosing a listed model takes its type: a vibration model gets no load set",
       [](ModelDialogTest& t) {
         t.Model("Alpha");
         t.Model("Beta", AnlVibration);
         t.LoadSet("Push");
       },
       {"@select IDC_MODEL_LIST Beta", "@click IDOK"},
       "Beta",
       AnlVibration,
       "(none)",
       nullptr,
       2},
      {"erased objects are neither listed nor made current again",
       [](ModelDialogTest& t) {
         t.Model("Gone")->MarkAsErased();
         t.Model("Live", AnlBuckling);
         t.LoadSet("OldLoads")->MarkAsErased();
         t.RestraintSet("OldFixed")->MarkAsErased();
       },
       {"@click IDOK"},
       "Live",
       AnlBuckling,
       "drawing_LS",
       "drawing_RS",
       1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TearDown();
    SetUp();
    row.setUp(*this);
    EXPECT_EQ(RunCommand(row.lines), "");
    EXPECT_EQ(CurrentModel(), row.model);
    if (row.type >= 0) {
      ASSERT_NE(Control().CurrentAnlModel(), nullptr);
      EXPECT_EQ(static_cast<int>(Control().CurrentAnlModel()->Type()), row.type);
    }
    if (row.loadSet) {
      EXPECT_EQ(CurrentLoadSet(), row.loadSet);
    }
    if (row.restraintSet) {
      EXPECT_EQ(CurrentRestraintSet(), row.restraintSet);
    }
    EXPECT_EQ(LiveModels(), row.liveModels);
  }
}

TEST_F(ModelDialogTest, ErasedSetsCannotBeChosenAndLeaveOpenDisabled) {
  Model("Live");
  LoadSet("OldLoads")->MarkAsErased();
  const std::string refused =
      RunCommand({"@select IDC_LOAD_SET_LIST OldLoads", "@check IDC_LOAD_SET_OPEN on", "@click IDCANCEL"});
  EXPECT_NE(refused.find("line 1:"), std::string::npos) << refused;
  EXPECT_NE(refused.find("line 2:"), std::string::npos) << refused;
  EXPECT_EQ(CurrentModel(), "(none)") << "Cancel changes nothing";
  EXPECT_EQ(CurrentLoadSet(), "(none)");
}

TEST_F(ModelDialogTest, AClosedModelStaysClosedAtTheNextOpening) {
  Control().SetCurrentAnlModel(Model("Alpha"));
  RunCommand({"@check IDC_MODEL_NEW on", "@set IDC_MODEL_NAME \"\"", "@click IDOK"});
  ASSERT_EQ(CurrentModel(), "(none)");
  EXPECT_TRUE(CModelDlg::ModelClosed());
  // Open with nothing preselected closes it again.
  RunCommand({"@click IDOK"});
  EXPECT_EQ(CurrentModel(), "(none)");
  RunCommand({"@select IDC_MODEL_LIST Alpha", "@click IDOK"});
  EXPECT_EQ(CurrentModel(), "Alpha");
  EXPECT_FALSE(CModelDlg::ModelClosed());
}

TEST_F(ModelDialogTest, TheFirstModelSetsTheDrawingUnitAndItsHostSystem) {
  CaeUnitSystem* before = CadCurrentDocData()->HostUnitSystem();
  EXPECT_EQ(RunCommand({"@select IDC_MODEL_UNIT inch", "@click IDOK"}), "");
  EXPECT_EQ(cad->unit, CaeInch);
  EXPECT_EQ(CaeUnitSystem::GetHostUnit(CaeUtLength), CaeInch);
  EXPECT_EQ(CaeUnitSystem::GetHostUnit(CaeUtForce), CaePoundForce);
  EXPECT_NE(CadCurrentDocData()->HostUnitSystem(), before);
  EXPECT_EQ(CadCurrentDocData()->HostUnitSystem(), CaeUnitSystem::GetHostSystem()) << "one owner";
}

TEST_F(ModelDialogTest, TheUnitIsAppliedOnlyWhenAModelStaysOpen) {
  EXPECT_EQ(
      RunCommand({"@check IDC_MODEL_NEW on", "@set IDC_MODEL_NAME \"\"", "@select IDC_MODEL_UNIT foot", "@click IDOK"}),
      "");
  EXPECT_EQ(cad->unit, CaeUnitNone);
}

TEST_F(ModelDialogTest, OnceTheUnitIsChosenTheUnitRowIsCutOff) {
  cad->unit = CaeMillimeter;
  int height = 0, fullHeight = 0;
  driver.add([&](CWnd& window) {
    RECT rect;
    window.GetWindowRect(&rect);
    height = rect.bottom - rect.top;
    RECT full = {0, 0, 291, 233};
    static_cast<CDialog&>(window).MapDialogRect(&full);
    fullHeight = full.bottom;
    EXPECT_FALSE(window.GetDlgItem(IDC_MODEL_UNIT)->IsWindowVisible());
    EXPECT_FALSE(window.GetDlgItem(IDC_UNIT_PROMPT)->IsWindowVisible());
    EXPECT_TRUE(window.GetDlgItem(IDC_TYPE_STRESS)->IsWindowVisible());
    EXPECT_NE(mfc::userSelect(window.GetSafeHwnd(), IDC_MODEL_UNIT, "inch"), "");
    mfc::userClick(window.GetSafeHwnd(), IDOK);
  });
  ResourceSetter resources(1);
  UICmdModel();
  EXPECT_GT(height, 0);
  EXPECT_LT(height, fullHeight);
  EXPECT_EQ(cad->unit, CaeMillimeter);
  EXPECT_EQ(CurrentModel(), "drawing_Model");
}

struct BadName {
  const char* name;
  int newButton;
  int edit;
  std::string text;
  std::string message;
};

// A refused name shows its message, puts the focus on its edit and keeps the dialog open with
// nothing changed; with a limit of 20 a model name may have 14 characters, a set name 20.
TEST_F(ModelDialogTest, RefusedNamesKeepTheDialogOpenAndChangeNothing) {
  const BadName rows[] = {
      {"blank in a model name", IDC_MODEL_NEW, IDC_MODEL_NAME, "my model",
       "Invalid name.  Name cannot include punctuation or spaces."},
      {"punctuation in a load-set name", IDC_LOAD_SET_NEW, IDC_LOAD_SET_NAME, "loads.1",
       "Invalid name.  Name cannot include punctuation or spaces."},
      {"model name over the limit less six", IDC_MODEL_NEW, IDC_MODEL_NAME, std::string(15, 'm'),
       "The name of the simulation model is too long. \nPlease enter a name less than 14 characters."},
      {"load-set name over the limit", IDC_LOAD_SET_NEW, IDC_LOAD_SET_NAME, std::string(21, 'l'),
       "The name of the load set is too long. \nPlease enter a name less than 20 characters."},
      {"restraint-set name over the limit", IDC_RESTRAINT_SET_NEW, IDC_RESTRAINT_SET_NAME, std::string(21, 'r'),
       "The name of the restraint set is too long. \nPlease enter a name less than 20 characters."},
  };
  for (const BadName& row : rows) {
    SCOPED_TRACE(row.name);
    cad->nameLimit = 20;
    Control().SetCurrentAnlModel(Model("Alpha"));
    const size_t boxesBefore = driver.boxes().size();
    int focused = 0;
    bool stillOpen = false;
    driver.add([&](CWnd& window) {
      HWND dialog = window.GetSafeHwnd();
      EXPECT_EQ(mfc::userCheck(dialog, row.newButton, true), "");
      EXPECT_EQ(mfc::userSetText(dialog, row.edit, row.text), "");
      EXPECT_EQ(mfc::userClick(dialog, IDOK), "");
    });
    driver.add([&](CWnd& window) {
      stillOpen = true;
      CWnd* focus = CWnd::GetFocus();
      focused = focus ? focus->GetDlgCtrlID() : 0;
      mfc::userClick(window.GetSafeHwnd(), IDCANCEL);
    });
    ResourceSetter resources(1);
    UICmdModel();
    ASSERT_EQ(driver.boxes().size(), boxesBefore + 1);
    EXPECT_EQ(driver.boxes().back().text, row.message);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(focused, row.edit);
    EXPECT_EQ(CurrentModel(), "Alpha");
    EXPECT_EQ(CurrentLoadSet(), "(none)");
    EXPECT_EQ(LiveModels(), 1);
    Control().DeleteAnlModel(Control().CurrentAnlModel());
    Control().ClearCurrentAnlModel();
  }
}

TEST_F(ModelDialogTest, ANameOfExactlyTheLimitPasses) {
  cad->nameLimit = 20;
  EXPECT_EQ(RunCommand({"@check IDC_MODEL_NEW on", "@set IDC_MODEL_NAME " + std::string(14, 'm'), "@click IDOK"}), "");
  EXPECT_EQ(CurrentModel(), std::string(14, 'm'));
  EXPECT_TRUE(driver.boxes().empty());
}

TEST_F(ModelDialogTest, ARefusingCadShowsNothing) {
  cad->canStart = 0;
  EXPECT_EQ(RunCommand({}), "");
  EXPECT_EQ(CurrentModel(), "(none)");
  EXPECT_EQ(Control().NumAnlModels(), 0);
}

struct TypeRow {
  const char* name;
  AnlType before;
  std::vector<std::string> lines;
  AnlType after;
  bool loadSetKept;
};

// The model's type is preselected; OK sets the chosen one, vibration closing the load set.
TEST_F(ModelDialogTest, TheTypeDialogChangesTheModelsType) {
  const TypeRow rows[] = {
      {"stress to heat transfer", AnlStress, {"@check IDC_TYPE_HEAT on", "@click IDOK"}, AnlHeatTransfer, true},
      {"stress to vibration closes the load set",
       AnlStress,
       {"@check IDC_TYPE_VIBRATION on", "@click IDOK"},
       AnlVibration,
       false},
      {"Cancel changes nothing", AnlBuckling, {"@check IDC_TYPE_STRESS on", "@click IDCANCEL"}, AnlBuckling, true},
  };
  const char* radios[] = {"radio 1112 \"&Stress\" checked", "radio 1113 \"&Vibration\" checked",
                          "radio 1114 \"&Buckling\" checked", "radio 1115 \"Heat &Transfer\" checked"};
  for (const TypeRow& row : rows) {
    SCOPED_TRACE(row.name);
    AnlModel* model = Model("Beam", row.before);
    Control().SetCurrentAnlModel(model);
    AttLbcCase* loads = LoadSet("Push");
    Control().SetCurrentLoadCase(loads);
    std::vector<std::string> lines = row.lines;
    lines.insert(lines.begin(), "@show");
    ResourceSetter resources(1);
    ScriptedUser user(lines);
    UISetModelType(model);
    EXPECT_TRUE(user.allRead());
    EXPECT_NE(user.printed.find(radios[row.before]), std::string::npos) << user.printed;
    EXPECT_EQ(model->Type(), row.after);
    EXPECT_EQ(Control().CurrentLoadCase(), row.loadSetKept ? loads : nullptr);
  }
}

// A stress model with its sets, guide steps 3, 4, 6 and 7 marked done.
class ConvertTest : public ModelDialogTest {
 protected:
  void SetUp() override {
    ModelDialogTest::SetUp();
    model = Model("Beam", AnlStress);
    Control().SetCurrentAnlModel(model);
    Control().SetCurrentLoadCase(LoadSet("Push"));
    Control().SetCurrentRestraintCase(RestraintSet("Fixed"));
    for (int step : {0, 1, 3, 4, 6, 7}) UISetWizardTabState(step, 1);
  }
  int Run(std::vector<std::string> lines) {
    ResourceSetter resources(1);
    ScriptedUser user(std::move(lines));
    CConvertModelDlg dialog;
    dialog.currentType = AnlStress;
    dialog.targetType = AnlVibration;
    const int result = static_cast<int>(dialog.DoModal());
    EXPECT_TRUE(user.allRead());
    printed = user.printed;
    return result;
  }
  std::vector<int> Steps() {
    std::vector<int> steps;
    for (int step = 0; step < 8; ++step) steps.push_back(UIGetWizardTabState(step));
    return steps;
  }
  AnlModel* model = nullptr;
  std::string printed;
};

TEST_F(ConvertTest, ConvertKeepsTheModelAndItsSetsUnderTheGuidesType) {
  EXPECT_EQ(Run({"@show", "@click IDC_CONVERT"}), IDOK);
  for (const char* shown : {"static 1125 \"Stress\"", "static 1126 \"Vibration\"", "static 1127 \"Vibration Wizard\""})
    EXPECT_NE(printed.find(shown), std::string::npos) << printed;
  EXPECT_EQ(Control().CurrentAnlModel(), model);
  EXPECT_EQ(model->Type(), AnlVibration);
  EXPECT_EQ(CurrentLoadSet(), "Push");
  EXPECT_EQ(CurrentRestraintSet(), "Fixed");
  // Neither set holds conditions; analyze and results start again.
  EXPECT_EQ(Steps(), (std::vector<int>{1, 1, 0, 0, 0, 0, 0, 0}));
}

TEST_F(ConvertTest, NewClosesTheModelAndSetsAndStartsTheGuideAfresh) {
  EXPECT_EQ(Run({"@click IDC_CONVERT_NEW"}), IDOK);
  EXPECT_EQ(CurrentModel(), "(none)");
  EXPECT_EQ(CurrentLoadSet(), "(none)");
  EXPECT_EQ(CurrentRestraintSet(), "(none)");
  EXPECT_EQ(model->Type(), AnlStress);
  EXPECT_EQ(Steps(), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(ConvertTest, CancelChangesNothing) {
  EXPECT_EQ(Run({"@click IDCANCEL"}), IDCANCEL);
  EXPECT_EQ(Control().CurrentAnlModel(), model);
  EXPECT_EQ(model->Type(), AnlStress);
  EXPECT_EQ(Steps(), (std::vector<int>{1, 1, 0, 1, 1, 0, 1, 1}));
}

}  // namespace
