// The guide's problem-definition and units steps: the model page's names by kind, refused names,
// the length page that appears while the drawing's unit is unknown, and the units page's systems.
// Each runs the step's command on a drawing with its own data, driven like a person at the sheet.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadApplication.h"
#include "cadInterface/CadDocControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadEvents.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "gui/wizard/UIAnalysisWizard.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/log.h"
#include "mfc/user_actions.h"
#include "res/ResourceIds.h"
#include "uis_fixture.h"

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

class StepDrawing : public CadApplication {
 public:
  CadDocControl* CreateDocControl(void* document) override {
    auto* control = new CadDocControl(document);
    auto* data = new CadDocData();
    data->SetAnlControl(new AnlControl("drawing"));
    control->SetData(data);
    return control;
  }
  bool IsDocumentUsable(void*) override { return true; }
  void* CurrentDocument() override { return &document; }
  int document = 0;
};

// Selects models as the drawing does (case ignored, erased ones passed over) and keeps a length
// unit that starts unknown.
class StepCad : public uistest::RecordingCad {
 public:
  int SelectOrCreateModel(const char* name, int type) override {
    AnlControl* control = AnlControl::GetCurrent();
    for (AnlModel* model = control->FirstAnlModel(); model; model = control->NextAnlModel()) {
      if (model->IsMarkedAsErased() || !SameIgnoringCase(model->Name().Text(), name)) continue;
      control->SetCurrentAnlModel(model);
      return 1;
    }
    control->SetCurrentAnlModel(control->NewAnlModel(name, static_cast<AnlType>(type)));
    return 0;
  }
  int GetLengthUnit() override { return unit; }
  void SetLengthUnit(int* value) override { unit = *value; }
  int AcceptsFreeNames() override { return 0; }
  int MaxNameLength() override { return 255; }  // the drawing's own limit
  int unit = CaeUnitNone;
};

using SheetStep = std::function<void(CPropertySheet&)>;

class StepWizardTest : public uistest::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    appControl_ = std::make_unique<CadAppControl>();
    application_ = new StepDrawing();
    CadSetApplication(application_);
    ASSERT_NE(application_->ActivateDocument(nullptr), nullptr);
    cad = std::make_unique<StepCad>();
  }
  void TearDown() override {
    cad.reset();
    if (CadGetApplication()) CadEvents::ApplicationUnloading();
    delete application_;
    CadSetApplication(nullptr);
    appControl_.reset();
    FrameTest::TearDown();
  }
  void Restart() {
    TearDown();
    SetUp();
  }

 public:
  AnlControl& Control() { return *CadCurrentDocData()->GetAnlControl(); }
  AnlModel* Model(const char* name, AnlType type = AnlStress) { return Control().NewAnlModel(name, type); }
  int LiveModels() {
    int count = 0;
    for (AnlModel* model = Control().FirstAnlModel(); model; model = Control().NextAnlModel())
      count += model->IsMarkedAsErased() ? 0 : 1;
    return count;
  }
  std::string CurrentModel() {
    AnlModel* model = Control().CurrentAnlModel();
    return model ? model->Name().Text() : "(none)";
  }

  // Runs the step `run` with `steps` played one by one on the waiting sheet.
  void RunStep(int (*run)(), std::vector<SheetStep> steps) {
    for (SheetStep& step : steps)
      driver.add([step](CWnd& window) {
        auto* sheet = dynamic_cast<CPropertySheet*>(&window);
        ASSERT_NE(sheet, nullptr);
        step(*sheet);
      });
    run();
  }
  static HWND Page(CPropertySheet& sheet) { return sheet.GetActivePage()->m_hWnd; }
  static std::string Text(CWnd* control) {
    CString text;
    if (control) control->GetWindowText(text);
    return static_cast<const char*>(text);
  }
  static std::vector<std::string> Entries(CPropertySheet& sheet, int id) {
    std::vector<std::string> entries;
    CWnd* control = sheet.GetActivePage()->GetDlgItem(id);
    if (auto* combo = dynamic_cast<CComboBox*>(control)) {
      for (int i = 0; i < combo->GetCount(); ++i) {
        CString text;
        combo->GetLBText(i, text);
        entries.emplace_back(static_cast<const char*>(text));
      }
    } else if (auto* list = dynamic_cast<CListBox*>(control)) {
      for (int i = 0; i < list->GetCount(); ++i) {
        CString text;
        list->GetText(i, text);
        entries.emplace_back(static_cast<const char*>(text));
      }
    }
    return entries;
  }

 protected:
  std::string LastBox() const { return driver.boxes().empty() ? std::string() : driver.boxes().back().text; }

  std::unique_ptr<StepCad> cad;

 private:
  std::unique_ptr<CadAppControl> appControl_;
  StepDrawing* application_ = nullptr;
};

// ---- the model page ----

struct ModelRow {
  const char* name;
  int kind;
  std::function<void(StepWizardTest&)> setUp;
  std::vector<std::string> listed;
  const char* initial;  // null: the drawing's unique default name
  const char* typed;    // null: keep what the page offers
  const char* opened;   // null: the default name
  int liveModels;
};

const std::string kTooLongName(300, 'A');
const std::string kLongestName(249, 'A');

TEST_F(StepWizardTest, TheModelPageOffersTheModelsOfTheGuideKindAndFinishOpensTheName) {
  const ModelRow rows[] = {
      {"models of other kinds only: none listed, the default name is offered and created",
       AnlStress,
       [](StepWizardTest& t) {
         t.Model("Shake", AnlVibration);
         t.Model("Warm", AnlHeatTransfer);
       },
       {},
       nullptr,
       nullptr,
       nullptr,
       3},
      {"the current model of the kind is offered even when others of the kind come first",
       AnlStress,
       [](StepWizardTest& t) {
         t.Model("First");
         t.Control().SetCurrentAnlModel(t.Model("Second"));
       },
       {"First", "Second"},
       "Second",
       nullptr,
       "Second",
       2},
      {"the current name is matched whole: \"Beam\" never selects \"Beam2\"",
       AnlStress,
       [](StepWizardTest& t) {
         t.Model("Beam2");
         t.Control().SetCurrentAnlModel(t.Model("Beam"));
       },
       {"Beam2", "Beam"},
       "Beam",
       nullptr,
       "Beam",
       2},
      {"a current model of another kind is not offered; the first of the kind is",
       AnlHeatTransfer,
       [](StepWizardTest& t) {
         t.Model("Cool", AnlHeatTransfer);
         t.Control().SetCurrentAnlModel(t.Model("Stiff"));
       },
       {"Cool"},
       "Cool",
       nullptr,
       "Cool",
       2},
      {"a typed new name creates a model of the guide kind",
       AnlBuckling,
       [](StepWizardTest& t) { t.Model("Column", AnlBuckling); },
       {"Column"},
       "Column",
       "Bracket",
       "Bracket",
       2},
      {"a name longer than the drawing keeps is cut to 249 characters, room left for its suffixes",
       AnlStress,
       [](StepWizardTest&) {},
       {},
       nullptr,
       kTooLongName.c_str(),
       kLongestName.c_str(),
       1},
  };
  for (const ModelRow& row : rows) {
    SCOPED_TRACE(row.name);
    Restart();
    cad->unit = CaeMillimeter;
    row.setUp(*this);
    const std::string defaultName = static_cast<const char*>(CadUniqueModelName());
    const std::string initial = row.initial ? row.initial : defaultName;
    UISetWizardKind(row.kind);
    RunStep(UIRunProblemDefinitionWizard, {[&](CPropertySheet& sheet) {
              EXPECT_EQ(Entries(sheet, IDC_PD_MODEL_NAME), row.listed);
              CWnd* combo = sheet.GetActivePage()->GetDlgItem(IDC_PD_MODEL_NAME);
              EXPECT_EQ(Text(combo), initial);
              // With the unit known the page finishes; there is no length page.
              EXPECT_TRUE(sheet.GetDlgItem(ID_WIZFINISH)->IsWindowVisible());
              if (row.typed) {
                EXPECT_EQ(mfc::userSetText(Page(sheet), IDC_PD_MODEL_NAME, row.typed), "");
              }
              sheet.PressButton(PSBTN_FINISH);
            }});
    EXPECT_EQ(CurrentModel(), row.opened ? row.opened : defaultName);
    ASSERT_NE(Control().CurrentAnlModel(), nullptr);
    EXPECT_EQ(static_cast<int>(Control().CurrentAnlModel()->Type()), row.kind);
    EXPECT_EQ(LiveModels(), row.liveModels);
    EXPECT_EQ(UIGetWizardTabState(1), 1);
    EXPECT_TRUE(driver.boxes().empty());
  }
}

TEST_F(StepWizardTest, RefusedNamesKeepThePageAndChangeNothing) {
  const struct {
    const char* typed;
    const char* box;
  } rows[] = {
      {"two words", "Invalid name.  Name cannot include punctuation or spaces."},
      {"semi;colon", "Invalid name.  Name cannot include punctuation or spaces."},
      {"", "Model Name is required."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.typed);
    Restart();
    cad->unit = CaeInch;
    UISetWizardKind(AnlStress);
    const size_t boxesBefore = driver.boxes().size();  // the driver outlives the rows
    RunStep(UIRunProblemDefinitionWizard, {[&](CPropertySheet& sheet) {
                                             mfc::userSetText(Page(sheet), IDC_PD_MODEL_NAME, row.typed);
                                             sheet.PressButton(PSBTN_FINISH);
                                           },
                                           [&](CPropertySheet& sheet) {
                                             EXPECT_EQ(LastBox(), row.box);
                                             EXPECT_EQ(sheet.GetActiveIndex(), 0);
                                             sheet.PressButton(PSBTN_CANCEL);
                                           }});
    EXPECT_EQ(driver.boxes().size(), boxesBefore + 1);
    EXPECT_EQ(LiveModels(), 0);
    EXPECT_EQ(UIGetWizardTabState(1), 0);
  }
}

TEST_F(StepWizardTest, BackOnTheModelPageEndsTheWizardAndChangesNothing) {
  cad->unit = CaeInch;
  UISetWizardKind(AnlStress);
  RunStep(UIRunProblemDefinitionWizard, {[](CPropertySheet& sheet) { sheet.PressButton(PSBTN_BACK); }});
  EXPECT_EQ(LiveModels(), 0);
  EXPECT_EQ(UIGetWizardTabState(1), 0);
}

// ---- the length page ----

TEST_F(StepWizardTest, TheLengthPageSetsTheDrawingUnitAndAnSIHostSystemTheDrawingOwns) {
  // The drawing already owns a host system: the wizard replaces it without freeing it itself.
  cad->SetHostUnitSystem(
      new CadUnitSystem(CaeInch, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz));
  const std::vector<std::string> lengths = {"meter", "centimeter", "millimeter", "inch", "foot"};
  const std::string defaultName = static_cast<const char*>(CadUniqueModelName());
  UISetWizardKind(AnlStress);
  const CPropertyPage* firstLengthPage = nullptr;
  RunStep(UIRunProblemDefinitionWizard,
          {[](CPropertySheet& sheet) {
             EXPECT_TRUE(sheet.GetDlgItem(ID_WIZNEXT)->IsWindowVisible());
             sheet.PressButton(PSBTN_NEXT);
           },
           [&](CPropertySheet& sheet) {
             ASSERT_EQ(sheet.GetPageCount(), 2);
             EXPECT_EQ(sheet.GetActiveIndex(), 1);
             EXPECT_EQ(Entries(sheet, IDC_PD_LENGTH_UNIT), lengths);
             EXPECT_EQ(static_cast<CListBox*>(sheet.GetActivePage()->GetDlgItem(IDC_PD_LENGTH_UNIT))->GetCurSel(), 3);
             firstLengthPage = sheet.GetActivePage();
             sheet.PressButton(PSBTN_BACK);
           },
           [](CPropertySheet& sheet) {
             EXPECT_EQ(sheet.GetPageCount(), 1);  // the length page went with Back
             sheet.PressButton(PSBTN_NEXT);
           },
           [&](CPropertySheet& sheet) {
             EXPECT_EQ(Entries(sheet, IDC_PD_LENGTH_UNIT), lengths);  // a fresh page lists each unit once
             EXPECT_EQ(mfc::userSelect(Page(sheet), IDC_PD_LENGTH_UNIT, "millimeter"), "");
             sheet.PressButton(PSBTN_FINISH);
           }});
  EXPECT_NE(firstLengthPage, nullptr);
  EXPECT_EQ(cad->unit, CaeMillimeter);
  CaeUnitSystem* host = CaeUnitSystem::GetHostSystem();
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(host, CadCurrentDocData()->HostUnitSystem());
  const int expected[] = {CaeMillimeter, CaeDegree, CaeKelvin, CaeNewton, CaeKilogram, CaeSecond, CaeJoule, CaeHertz};
  for (int type = 0; type < CaeUnitSystem::kBaseCount; ++type) EXPECT_EQ(host->GetUnit(type), expected[type]) << type;
  EXPECT_EQ(CurrentModel(), defaultName);
  EXPECT_EQ(LiveModels(), 1);
  EXPECT_TRUE(driver.boxes().empty());
}

// ---- the units page ----

struct UnitsRow {
  const char* name;
  std::vector<int> host;  // the drawing's host units before
  std::vector<SheetStep> steps;
  std::vector<int> after;  // empty: the host system is the one before
  int marked;
};

CaeUnitSystem* MakeSystem(const std::vector<int>& u) {
  return new CadUnitSystem(u[0], u[1], u[2], u[3], u[4], u[5], u[6], u[7]);
}

TEST_F(StepWizardTest, TheUnitsPageShowsTheHostSystemAndFinishMakesTheChosenOneHost) {
  const std::vector<int> siMeter = {CaeMeter,    CaeDegree, CaeKelvin, CaeNewton,
                                    CaeKilogram, CaeSecond, CaeJoule,  CaeHertz};
  const std::vector<int> own = {CaeMillimeter, CaeDegree, CaeKelvin, CaeNewton,
                                CaeKilogram,   CaeSecond, CaeJoule,  CaeHertz};
  const std::vector<int> english = {CaeInch,      CaeDegree, CaeFahrenheit, CaePoundForce,
                                    CaePoundMass, CaeSecond, CaeBtu,        CaeHertz};
  auto checked = [](CPropertySheet& sheet, int id) {
    return static_cast<CButton*>(sheet.GetActivePage()->GetDlgItem(id))->GetCheck() == BST_CHECKED;
  };
  auto enabled = [](CPropertySheet& sheet, int id) {
    return sheet.GetActivePage()->GetDlgItem(id)->IsWindowEnabled() != FALSE;
  };
  const UnitsRow rows[] = {
      {"a predefined host system is checked with its lists disabled; English is made host",
       siMeter,
       {[&](CPropertySheet& sheet) {
         EXPECT_TRUE(checked(sheet, IDC_UNITWIZ_SI_M));
         EXPECT_FALSE(enabled(sheet, IDC_UNITWIZ_LENGTH));
         EXPECT_EQ(Text(sheet.GetActivePage()->GetDlgItem(IDC_UNITWIZ_LENGTH)), "meter");
         EXPECT_EQ(mfc::userClick(Page(sheet), IDC_UNITWIZ_ENGLISH), "");
         sheet.PressButton(PSBTN_FINISH);
       }},
       english,
       1},
      {"other host units check Custom with the lists enabled showing them; Finish keeps them",
       own,
       {[&](CPropertySheet& sheet) {
         EXPECT_TRUE(checked(sheet, IDC_UNITWIZ_CUSTOM));
         EXPECT_TRUE(enabled(sheet, IDC_UNITWIZ_LENGTH));
         EXPECT_EQ(Text(sheet.GetActivePage()->GetDlgItem(IDC_UNITWIZ_LENGTH)), "millimeter");
         sheet.PressButton(PSBTN_FINISH);
       }},
       own,
       1},
      {"Custom keeps the units shown and opens the lists for a change",
       siMeter,
       {[&](CPropertySheet& sheet) {
         EXPECT_EQ(mfc::userClick(Page(sheet), IDC_UNITWIZ_CUSTOM), "");
         EXPECT_TRUE(enabled(sheet, IDC_UNITWIZ_LENGTH));
         EXPECT_EQ(Text(sheet.GetActivePage()->GetDlgItem(IDC_UNITWIZ_LENGTH)), "meter");
         EXPECT_EQ(mfc::userSelect(Page(sheet), IDC_UNITWIZ_LENGTH, "millimeter"), "");
         sheet.PressButton(PSBTN_FINISH);
       }},
       own,
       1},
      {"Back ends the wizard and changes nothing",
       siMeter,
       {[&](CPropertySheet& sheet) {
         mfc::userClick(Page(sheet), IDC_UNITWIZ_ENGLISH);
         sheet.PressButton(PSBTN_BACK);
       }},
       {},
       0},
      {"Cancel changes nothing",
       siMeter,
       {[&](CPropertySheet& sheet) {
         mfc::userClick(Page(sheet), IDC_UNITWIZ_CGS);
         sheet.PressButton(PSBTN_CANCEL);
       }},
       {},
       0},
  };
  for (const UnitsRow& row : rows) {
    SCOPED_TRACE(row.name);
    Restart();
    cad->unit = CaeMeter;
    cad->SetHostUnitSystem(MakeSystem(row.host));
    CaeUnitSystem* before = CaeUnitSystem::GetHostSystem();
    RunStep(UIRunUnitsWizard, row.steps);
    CaeUnitSystem* host = CaeUnitSystem::GetHostSystem();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host, CadCurrentDocData()->HostUnitSystem());  // the drawing owns the host system
    if (row.after.empty()) {
      EXPECT_EQ(host, before);
    } else {
      for (int type = 0; type < CaeUnitSystem::kBaseCount; ++type)
        EXPECT_EQ(host->GetUnit(type), row.after[static_cast<size_t>(type)]) << type;
    }
    EXPECT_EQ(UIGetWizardTabState(2), row.marked);
  }
}

// ---- help ----

TEST_F(StepWizardTest, HelpOnEachPageOpensThePagesOwnContext) {
  const auto help = [](CPropertySheet& sheet) { sheet.PressButton(PSBTN_HELP); };
  const auto next = [](CPropertySheet& sheet) { sheet.PressButton(PSBTN_NEXT); };
  const auto cancel = [](CPropertySheet& sheet) { sheet.PressButton(PSBTN_CANCEL); };
  const struct {
    const char* page;
    int (*run)();
    std::vector<SheetStep> steps;
    const char* context;
  } rows[] = {
      {"model name",
       UIRunProblemDefinitionWizard,
       {[&](CPropertySheet& s) {
         help(s);
         cancel(s);
       }},
       "0x20071"},
      {"length unit",
       UIRunProblemDefinitionWizard,
       {next,
        [&](CPropertySheet& s) {
          help(s);
          cancel(s);
        }},
       "0x200ee"},
      {"desired units",
       UIRunUnitsWizard,
       {[&](CPropertySheet& s) {
         help(s);
         cancel(s);
       }},
       "0x20075"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.page);
    Restart();
    UISetWizardKind(AnlStress);
    mfc::clearLog();
    RunStep(row.run, row.steps);
    int helped = 0;
    for (const std::string& line : mfc::logLines())
      if (line.rfind("WinHelp ", 0) == 0)
        helped += line.find(std::string(" data ") + row.context) != std::string::npos ? 1 : -1;
    EXPECT_EQ(helped, 1) << "one help call, with the page's context";
    EXPECT_EQ(LiveModels(), 0);
  }
}

}  // namespace
