// Solving from the add-in: the simulation-parameter sheet of "CAEP_ANALYZE" driven as a person
// drives it (check, input, execution, options and modes pages), the sheet's word of output
// requests turned into the deck writer's, and the submission's refusals and deck-only writing.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "amg/CaeMsgCall.h"
#include "cadInterface/CadResources.h"
#include "explorer_fixture.h"
#include "fea/AmgMesh.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/AttLbcCase.h"
#include "gui/dialogs/analysis/UICheckModelPP.h"
#include "gui/dialogs/analysis/UISubmitAnalysis.h"
#include "gui/dialogs/analysis/UISubmitExecPP.h"
#include "gui/dialogs/units/UIGenericPS.h"
#include "gui/explorer/UICommands.h"
#include "mfc/user_actions.h"
#include "res/ResourceIds.h"
#include "steel_box_fixture.h"
#include "test_env.h"

namespace {

using uistest::ExplorerTest;

std::string Text(CWnd& page, int id) {
  CString text;
  page.GetDlgItem(id)->GetWindowText(text);
  return static_cast<const char*>(text);
}

bool Enabled(CWnd& page, int id) { return page.GetDlgItem(id)->IsWindowEnabled() != FALSE; }
bool Visible(CWnd& page, int id) { return (page.GetDlgItem(id)->GetStyle() & WS_VISIBLE) != 0; }
bool Checked(CWnd& page, int id) { return static_cast<CButton*>(page.GetDlgItem(id))->GetCheck() == BST_CHECKED; }

CPropertySheet& SheetOf(CWnd& window) { return static_cast<CPropertySheet&>(window); }

CPropertyPage& Show(CWnd& window, int index) {
  CPropertySheet& sheet = SheetOf(window);
  sheet.SetActivePage(index);
  return *sheet.GetActivePage();
}

int TabImage(CWnd& window, int tab) {
  TCITEM item;
  item.mask = TCIF_IMAGE;
  SheetOf(window).GetTabControl()->GetItem(tab, &item);
  return item.iImage;
}

class SubmitTest : public ExplorerTest {
 protected:
  void SetUp() override {
    ExplorerTest::SetUp();
    resources_.emplace(1);  // the product library, as the command dispatcher makes it
    loads = control.NewLoadCase("Loads");
    fixed = control.NewRestraintCase("Fixed");
    control.SetCurrentLoadCase(loads);
    control.SetCurrentRestraintCase(fixed);
  }
  void TearDown() override {
    UIResetSubmittedJobName();
    UISetSubmitClock(nullptr);
    resources_.reset();
    ExplorerTest::TearDown();
  }

  // A model whose part has a material and a (not yet made) mesh: it passes the check.
  AnlModel* Model(AnlType type, bool material = true) {
    model = control.NewAnlModel("Bracket", type);
    control.SetCurrentAnlModel(model);
    AnlSubModel* sub = model->NewSubModel();
    if (material) sub->AssignMaterial(uistest::NewSteel());
    mesh = model->NewMesh(nullptr);
    sub->SetMesh(mesh);
    return model;
  }

  bool Printed(const std::string& text) const { return cad.hasPrinted(text); }
  bool Boxed(const std::string& fragment) const { return uistest::anyBoxHolds(driver.boxes(), fragment); }
  void Then(std::function<void(CWnd&)> step) { driver.steps.push_back(std::move(step)); }
  void Cancel() {
    Then([](CWnd& sheet) { mfc::userClick(sheet.m_hWnd, IDCANCEL); });
  }

  AttLbcCase* loads = nullptr;
  AttLbcCase* fixed = nullptr;
  AnlModel* model = nullptr;
  AmgMesh* mesh = nullptr;
  kestrum::test::TempDir dir;

 private:
  std::optional<ResourceSetter> resources_;
};

// ---- output requests ----

TEST_F(SubmitTest, TheSheetsOutputWordMapsOntoTheWritersBits) {
  struct Row {
    AnlType type;
    int order;
    std::uint32_t word;
    std::uint32_t bits;
    bool unwritten;
  };
  const Row rows[] = {
      {AnlStress, 2, kUIOutDisplacements, AnlWriter::kOutDisplacement, false},
      {AnlStress, 2, kUIOutStress, AnlWriter::kOutStress | AnlWriter::kOutErrorEstimate, false},
      {AnlStress, 1, kUIOutStress, AnlWriter::kOutStress, false},
      {AnlVibration, 2, kUIOutStress, AnlWriter::kOutStress, false},
      {AnlStress, 2, kUIOutStrain, AnlWriter::kOutStrain, false},
      {AnlStress, 2, kUIOutReactionForces, AnlWriter::kOutReaction, false},
      {AnlHeatTransfer, 2, kUIOutTemperature, AnlWriter::kOutTemperature, false},
      {AnlHeatTransfer, 2, kUIOutFlux, AnlWriter::kOutHeatFlux, false},
      {AnlStress, 2, kUIOutStrainEnergy, AnlWriter::kOutStrainEnergy, false},
      {AnlStress, 2, kUIOutAppliedLoads, AnlWriter::kOutDisplacement, true},
      {AnlHeatTransfer, 2, kUIOutAppliedLoads, AnlWriter::kOutTemperature, true},
      {AnlStress, 1, kUIOutElementForces | kUIOutDisplacements, AnlWriter::kOutDisplacement, true},
      {AnlStress, 1, kUIOutDisplacements | kUIOutReactionForces | kUIOutStrainEnergy,
       AnlWriter::kOutDisplacement | AnlWriter::kOutReaction | AnlWriter::kOutStrainEnergy, false},
  };
  for (const Row& r : rows) {
    AnlModel m(CaeString("m"), r.type);
    AnlSubModel* sub = m.NewSubModel();
    AmgMesh* part = m.NewMesh(nullptr);
    part->SetElementOrder(r.order);
    sub->SetMesh(part);
    CaeFlags word;
    word.SetValue(r.word);
    bool unwritten = false;
    const std::uint32_t bits = UIWriterOutputRequests(word, m, unwritten);
    EXPECT_EQ(bits, r.bits) << "type " << r.type << " word " << r.word;
    EXPECT_NE(bits, 0u) << "never the writer's defaults";
    EXPECT_EQ(unwritten, r.unwritten) << "word " << r.word;
  }
}

// ---- the check page ----

TEST_F(SubmitTest, APassingModelOpensOnInputAndTheCheckTabShowsTheTick) {
  Model(AnlStress);
  const CaeOnOff adaptivity = model->GetHAdaptivity();
  Then([](CWnd& sheet) {
    EXPECT_EQ(SheetOf(sheet).GetPageCount(), 4) << "Check, Input, Execution, Options";
    EXPECT_EQ(SheetOf(sheet).GetActiveIndex(), 1) << "the passing check steps on by itself";
    auto& check = static_cast<CCheckModelPP&>(*SheetOf(sheet).GetPage(0));
    auto& generic = static_cast<CGenericPS&>(sheet);
    EXPECT_EQ(check.TabImages(), generic.m_pTabImages.get()) << "the sheet's list, one owner";
    EXPECT_EQ(check.m_nFirstImage, 3) << "after the sheet's three icons";
    EXPECT_EQ(TabImage(sheet, 0), 3 + CCheckModelPP::kTabPassed);
    EXPECT_EQ(TabImage(sheet, 1), 0) << "the other tabs keep their icons";
    EXPECT_EQ(TabImage(sheet, 3), 2);
    CPropertyPage& page = Show(sheet, 0);
    auto* list = static_cast<CListCtrl*>(page.GetDlgItem(IDC_CHECK_MESSAGES));
    ASSERT_EQ(list->GetItemCount(), 1);
    EXPECT_EQ(std::string(list->GetItemText(0, 0)), "The check of the simulation model has passed all tests.");
  });
  Cancel();
  UICmdAnalyze();
  EXPECT_TRUE(Printed("\nAnalysis not submitted\n"));
  EXPECT_EQ(model->GetHAdaptivity(), adaptivity) << "Cancel changes nothing";
}

TEST_F(SubmitTest, AFailingModelStaysOnCheckWithNumberedFindingsAndTheirHelp) {
  Model(AnlStress, false);
  model->NewSubModel();  // a second part without material or mesh
  Then([](CWnd& sheet) {
    EXPECT_EQ(SheetOf(sheet).GetActiveIndex(), 0);
    EXPECT_EQ(TabImage(sheet, 0), 3 + CCheckModelPP::kTabFailed);
    CPropertyPage& page = *SheetOf(sheet).GetActivePage();
    auto* list = static_cast<CListCtrl*>(page.GetDlgItem(IDC_CHECK_MESSAGES));
    ASSERT_EQ(list->GetItemCount(), 3);
    EXPECT_EQ(std::string(list->GetItemText(0, 0)), "Check of the simulation model failed.\r\n");
    EXPECT_EQ(std::string(list->GetItemText(1, 0)).rfind("1. A material has not been specified", 0), 0u);
    EXPECT_EQ(std::string(list->GetItemText(2, 0)).rfind("2. This model does not contain a mesh", 0), 0u);
    EXPECT_EQ(Text(page, IDC_CHECK_HELP), "Select an error message from above to display the help message here.")
        << "the focused heading's help";
    struct Key {
      UINT key;
      const char* help;
    };
    const Key keys[] = {
        {VK_DOWN, "To fix this problem: \r\n  1. Create a new material"},
        {VK_END, "Create a new mesh for this model"},
        {VK_HOME, "Select an error message"},
        {VK_NEXT, "Create a new mesh for this model"},  // a page down stops at the last item
        {VK_UP, "Select an error message"},             // up on the first item stays there
    };
    for (const Key& k : keys) {
      mfc::userKey(page.m_hWnd, IDC_CHECK_MESSAGES, k.key);
      EXPECT_EQ(Text(page, IDC_CHECK_HELP).rfind(k.help, 0), 0u) << k.key << ": " << Text(page, IDC_CHECK_HELP);
    }
  });
  Cancel();
  UICmdAnalyze();
}

TEST_F(SubmitTest, EveryCheckCodeHasItsHelpAndOthersHaveNone) {
  struct Row {
    std::uint32_t code;
    UINT help;
  };
  const Row rows[] = {
      {0xc0000faa, IDS_HELP_NO_MATERIAL},
      {0xc0000fab, IDS_HELP_BAD_MATERIAL},
      {0xc0000fac, IDS_HELP_NO_MESH},
      {0xc0000fb2, IDS_HELP_NO_ELEMENT_PROPS},
      {0xc0000fb3, IDS_HELP_BAD_ELEMENT_PROPS},
      {0xc0000fe6, IDS_CHECK_SELECT_MESSAGE},
      {0xc0001002, IDS_CHECK_SELECT_MESSAGE},
      {0xc0000fe8, IDS_HELP_MESH_STALE_RESULTS},
      {0xc0000fe9, IDS_HELP_MESH_STALE},
      {0xc0001003, IDS_HELP_NO_OBJECTIVE},
      {0xc0001008, IDS_HELP_TARGET_VOLUME},
      {0xc0001010, IDS_HELP_CONSTRAINT_DATA},
      {0xc000101b, IDS_HELP_NO_SIMULATION_MODEL},
      {0xc00010d3, IDS_HELP_MATE_REL_MESH},
      {0xc0002106, IDS_CHECK_NO_HELP},
      {0, IDS_CHECK_NO_HELP},
  };
  for (const Row& r : rows) EXPECT_EQ(UICheckHelpString(r.code), r.help) << std::hex << r.code;
  CCheckModelPP page;
  page.m_messages.Append(CaeString("A"));
  EXPECT_EQ(page.HelpText(0),
            "The new model will be checked after it is created. \r\n(Select the OK button and "
            "re-enter this dialog.)")
      << "one message without codes";
  EXPECT_EQ(page.HelpText(-1), "");
  page.m_codes.Append(0xc000101a);
  EXPECT_EQ(page.MessageImage(0), 0);
  EXPECT_EQ(page.MessageImage(-1), 1);
}

// ---- options and modes ----

TEST_F(SubmitTest, TheOptionsPageOffersTheRequestsOfTheType) {
  struct Row {
    AnlType type;
    // displacements, element forces, flux, applied loads, reaction forces, strain, strain energy,
    // stress, temperature: offered / checked
    const char* offered;
    const char* checked;
    bool temperatureShown;
  };
  const int ids[] = {IDC_OUT_DISPLACEMENTS, IDC_OUT_ELEMENT_FORCES,  IDC_OUT_FLUX,
                     IDC_OUT_APPLIED_LOADS, IDC_OUT_REACTION_FORCES, IDC_OUT_STRAIN,
                     IDC_OUT_STRAIN_ENERGY, IDC_OUT_STRESS,          IDC_OUT_TEMPERATURE};
  const Row rows[] = {
      {AnlStress, "110111110", "100010010", false},
      {AnlVibration, "110011010", "100000010", false},
      {AnlBuckling, "110111010", "100000010", false},
      {AnlHeatTransfer, "001110001", "001110001", true},
  };
  for (const Row& r : rows) {
    Model(r.type);
    Then([&](CWnd& sheet) {
      CPropertyPage& page = Show(sheet, 3);
      for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(Enabled(page, ids[i]), r.offered[i] == '1') << r.type << " control " << ids[i];
        EXPECT_EQ(Checked(page, ids[i]), r.checked[i] == '1') << r.type << " control " << ids[i];
      }
      EXPECT_EQ(Visible(page, IDC_OUT_TEMP_CONVERGENCE), r.temperatureShown);
      EXPECT_EQ(SheetOf(sheet).GetPageCount(), r.type == AnlVibration || r.type == AnlBuckling ? 5 : 4);
    });
    Cancel();
    UICmdAnalyze();
  }
}

TEST_F(SubmitTest, NoOutputOrElementForcesAloneIsRefusedAndThePageStays) {
  Model(AnlStress);
  for (const bool forcesOnly : {false, true}) {
    driver.boxes();
    Then([forcesOnly](CWnd& sheet) {
      CPropertyPage& page = Show(sheet, 3);
      for (int id : {IDC_OUT_DISPLACEMENTS, IDC_OUT_REACTION_FORCES, IDC_OUT_STRESS})
        mfc::userCheck(page.m_hWnd, id, false);
      if (forcesOnly) mfc::userCheck(page.m_hWnd, IDC_OUT_ELEMENT_FORCES, true);
      mfc::userClick(sheet.m_hWnd, IDOK);
      EXPECT_EQ(SheetOf(sheet).GetActiveIndex(), 3) << "the page stays";
    });
    Cancel();
    UICmdAnalyze();
    EXPECT_TRUE(Boxed("The output options selected are invalid."));
    EXPECT_EQ(model->NumJobs(), 0);
  }
}

TEST_F(SubmitTest, TheModesPageFollowsTheTypeAndTheChoice) {
  Model(AnlVibration);
  Then([](CWnd& sheet) {
    CPropertyPage& page = Show(sheet, 4);
    EXPECT_EQ(Text(page, IDC_MODES_GROUP), "Frequency Extraction Parameters");
    EXPECT_EQ(Text(page, IDC_MODES_COUNT), "3");
    EXPECT_TRUE(Checked(page, IDC_MODES_LOWEST));
    EXPECT_TRUE(Visible(page, IDC_MODES_LOWER_UNIT));
    struct Choice {
      int radio;
      bool count, lower, upper;
    };
    const Choice choices[] = {{IDC_MODES_ALL_IN_RANGE, false, true, true},
                              {IDC_MODES_ABOVE, true, true, false},
                              {IDC_MODES_LOWEST_IN_RANGE, true, true, true},
                              {IDC_MODES_LOWEST, true, false, false}};
    for (const Choice& c : choices) {
      mfc::userCheck(page.m_hWnd, c.radio, true);
      EXPECT_EQ(Enabled(page, IDC_MODES_COUNT), c.count) << c.radio;
      EXPECT_EQ(Enabled(page, IDC_MODES_LOWER), c.lower) << c.radio;
      EXPECT_EQ(Enabled(page, IDC_MODES_UPPER), c.upper) << c.radio;
    }
    // A range whose upper bound is not above its lower one is refused; the page stays.
    mfc::userCheck(page.m_hWnd, IDC_MODES_ALL_IN_RANGE, true);
    mfc::userSetText(page.m_hWnd, IDC_MODES_LOWER, "100");
    mfc::userSetText(page.m_hWnd, IDC_MODES_UPPER, "10");
    mfc::userClick(sheet.m_hWnd, IDOK);
    EXPECT_EQ(SheetOf(sheet).GetActiveIndex(), 4);
  });
  Cancel();
  UICmdAnalyze();
  EXPECT_TRUE(Boxed("The upper bound must be above the lower bound."));

  Model(AnlBuckling);
  Then([](CWnd& sheet) {
    CPropertyPage& page = Show(sheet, 4);
    EXPECT_EQ(Text(page, IDC_MODES_GROUP), "Load Factor Extraction Parameters");
    EXPECT_EQ(Text(page, IDC_MODES_ABOVE), "'n' &Modes Above Load Factor");
    EXPECT_EQ(Text(page, IDC_MODES_COUNT), "2");
    EXPECT_FALSE(Visible(page, IDC_MODES_LOWER_UNIT)) << "load factors have no unit";
  });
  Cancel();
  UICmdAnalyze();
}

// ---- execution ----

std::time_t NoonOfTheTenthOfMarch() {
  std::tm noon{};
  noon.tm_year = 2026 - 1900;
  noon.tm_mon = 2;
  noon.tm_mday = 10;
  noon.tm_hour = 12;
  noon.tm_isdst = -1;
  return std::mktime(&noon);
}

TEST_F(SubmitTest, TheExecutionPageRefusesWhatCannotBeWrittenAndWarnsOfAPastDay) {
  Model(AnlStress);
  UISetSubmitClock(&NoonOfTheTenthOfMarch);
  const std::string unwritable = (dir / "no-such-folder" / "x.dat").string();
  Then([&](CWnd& sheet) {
    CPropertyPage& page = Show(sheet, 2);
    EXPECT_EQ(Text(page, IDC_EXEC_DAY), "10") << "now, from the page's clock";
    EXPECT_FALSE(Enabled(page, IDC_EXEC_FILE)) << "immediate execution writes no file";
    mfc::userCheck(page.m_hWnd, IDC_EXEC_MANUAL, true);
    EXPECT_TRUE(Enabled(page, IDC_EXEC_FILE));
    EXPECT_FALSE(Enabled(page, IDC_EXEC_DAY));
    struct Refusal {
      std::string name;
      int type;
    };
    const Refusal refusals[] = {{"*.dat", 0}, {unwritable, 0}, {(dir / "x.out").string(), 1}};
    for (const Refusal& r : refusals) {
      mfc::userSelect(page.m_hWnd, IDC_EXEC_TYPE, r.type ? "TLX/Harlune" : "TLX/Drevan");
      mfc::userSetText(page.m_hWnd, IDC_EXEC_FILE, r.name);
      Show(sheet, 3);
      EXPECT_EQ(SheetOf(sheet).GetActiveIndex(), 2) << r.name << " is refused, the page stays";
    }
    mfc::userSelect(page.m_hWnd, IDC_EXEC_TYPE, "TLX/Drevan");
    mfc::userCheck(page.m_hWnd, IDC_EXEC_DELAYED, true);
    mfc::userSetText(page.m_hWnd, IDC_EXEC_HOUR, "24");  // accepted although the spin stops at 23
    mfc::userSetText(page.m_hWnd, IDC_EXEC_DAY, "9");
    Show(sheet, 3);
    EXPECT_EQ(SheetOf(sheet).GetActiveIndex(), 3) << "a past day is only reported";
  });
  Cancel();
  UICmdAnalyze();
  EXPECT_TRUE(Boxed("Enter the name of the input file to write."));
  EXPECT_TRUE(Boxed("The input file cannot be written in that folder."));
  EXPECT_TRUE(Boxed("A neutral file cannot be written"));
  EXPECT_TRUE(Printed("\nDelayed execution date and time set for past history\n"));
  EXPECT_TRUE(Printed("Invalid Input"));
  EXPECT_FALSE(std::filesystem::exists(dir / "x.out"));
}

// ---- refusals before the sheet ----

TEST_F(SubmitTest, WithoutAModelOrWithAnUnknownTypeNoSheetOpensAndNothingIsSubmitted) {
  bool opened = false;
  Then([&opened](CWnd& sheet) {
    opened = true;
    mfc::userClick(sheet.m_hWnd, IDCANCEL);
  });
  EXPECT_EQ(UICmdAnalyze(), 0);
  EXPECT_TRUE(Boxed("An open model is required prior to issuing this command"));

  Model(static_cast<AnlType>(7));
  EXPECT_EQ(UICmdAnalyze(), 0);
  EXPECT_TRUE(Printed("\nUnsupported analysis type, analysis not submitted\n"));
  EXPECT_FALSE(opened) << "no sheet";
  EXPECT_EQ(model->NumJobs(), 0);
  driver.steps.clear();
}

// ---- submission ----

TEST_F(SubmitTest, ANeutralFileIsRefusedWithNothingWrittenAndTheCasesFreed) {
  Model(AnlStress);
  CaeList<AnlResltCase> cases;
  cases.Append(new AnlResltCase(CaeString("Case 1")));
  CaeString file((dir / "x.out").string().c_str());
  CaeFlags requests;
  requests.SetValue(kUIOutDisplacements);
  EXPECT_EQ(UISubmitAnalysis(model, file, kUIDeckNeutral, nullptr, cases, requests, nullptr, 0.1), 0);
  EXPECT_TRUE(cases.IsEmpty()) << "the cases are the submission's to delete";
  EXPECT_FALSE(std::filesystem::exists(dir / "x.out"));
  EXPECT_TRUE(Boxed("A neutral file cannot be written"));
  EXPECT_EQ(model->NumJobs(), 0);
}

TEST_F(SubmitTest, AdaptivityIsRefusedWhileResultsOfTheMeshExist) {
  Model(AnlStress);
  model->SetHAdaptivity(CaeOn);
  Job(model, "BracketJob1", AnlStatusDone);
  mesh->SetMeshEngine(4);
  CaeList<AnlResltCase> cases;
  cases.Append(new AnlResltCase(CaeString("Case 1")));
  CaeString none;
  CaeFlags requests;
  requests.SetValue(kUIOutStress);
  EXPECT_EQ(UISubmitAnalysis(model, none, kUIDeckInput, nullptr, cases, requests, nullptr, 0.1), 0);
  EXPECT_TRUE(Boxed("Results are associated with the mesh for this model."));
  EXPECT_EQ(mesh->GetMeshEngine(), 4);
  EXPECT_EQ(model->NumJobs(), 1) << "nothing submitted";
  EXPECT_TRUE(cases.IsEmpty());
}

// A real part: the sheet writes its deck exactly where the person asked, with the modes asked.
class SubmitDeckTest : public SubmitTest {
 protected:
  void TearDown() override {
    box.Clear();
    SubmitTest::TearDown();
  }
  void Part(AnlType type) { model = box.Model(control, descriptors, type, fixed, loads); }
  uistest::SteelBox box;
};

TEST_F(SubmitDeckTest, ManualExecutionWritesExactlyTheChosenFileAndStartsNothing) {
  Part(AnlVibration);
  const std::filesystem::path deck = dir / "beam.dat";
  Then([&](CWnd& sheet) {
    CPropertyPage& exec = Show(sheet, 2);
    mfc::userCheck(exec.m_hWnd, IDC_EXEC_MANUAL, true);
    mfc::userSetText(exec.m_hWnd, IDC_EXEC_FILE, deck.string());
    CPropertyPage& modes = Show(sheet, 4);
    mfc::userCheck(modes.m_hWnd, IDC_MODES_LOWEST_IN_RANGE, true);
    mfc::userSetText(modes.m_hWnd, IDC_MODES_COUNT, "4");
    mfc::userSetText(modes.m_hWnd, IDC_MODES_LOWER, "10");
    mfc::userSetText(modes.m_hWnd, IDC_MODES_UPPER, "5000");
    mfc::userClick(sheet.m_hWnd, IDOK);
  });
  UICmdAnalyze();
  ASSERT_TRUE(std::filesystem::exists(deck));
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    files.push_back(entry.path().filename().string());
  EXPECT_EQ(files, std::vector<std::string>{"beam.dat"}) << "the deck alone, under its own name";
  const std::string text = kestrum::test::readFile(deck);
  EXPECT_NE(text.find("*FREQUENCY\n4,10,5000\n"), std::string::npos) << "choice 3 is method 1, n lowest in range";
  EXPECT_NE(text.find("*NODE FILE\nU\n*EL FILE\nS\n"), std::string::npos) << "the vibration defaults";
  ASSERT_EQ(model->NumJobs(), 1);
  EXPECT_EQ(model->GetJob(0)->GetStatus(), AnlStatusNew) << "no solver started";
  EXPECT_EQ(UISubmittedJobName(), model->GetJob(0)->Name());
}

}  // namespace
