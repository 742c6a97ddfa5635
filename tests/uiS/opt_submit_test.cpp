// Submitting an optimisation model from its parameter sheets: the proposed result-set names and
// their cuts, calendar checks of a delayed start, the result sets a wizard submission offers, and
// the roads of a submission (refused, cancelled, deck to a file, job) on a meshed box.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "amg/CaeConfig.h"
#include "cadInterface/CadResources.h"
#include "explorer_fixture.h"
#include "fea/AmgMesh.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AttLbcCase.h"
#include "fea/OptModel.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/dialogs/optimization/UIOptSubmit.h"
#include "mfc/user_actions.h"
#include "res/ResourceIds.h"
#include "steel_box_fixture.h"
#include "test_env.h"

namespace {

using uistest::ExplorerCad;
using uistest::ExplorerTest;

// The drawing's side of a submission: jobs made for the current optimisation model, registered
// result cases, the update mode.
class OptCad : public ExplorerCad {
 public:
  AnlJob* CreateOptJob() override {
    OptModel* model = AnlControl::GetCurrent()->CurrentOptModel();
    if (!model || !model->AnlModel() || refuseJobs) return nullptr;
    jobs.push_back(std::make_unique<AnlDrvJob>(1));
    model->AddJob(jobs.back().get());
    return jobs.back().get();
  }
  AnlResltCase* AddAnalysisResultCase(OptModel* model, AnlResltCase* from) override {
    registered.push_back(std::make_unique<AnlResltCase>(from->Name(), 0));
    registered.back()->Type(from->Type());
    model->AddAnlResultCase(registered.back().get());
    return registered.back().get();
  }
  void SetDocControl(int mode) override { modes.push_back(mode); }
  bool refuseJobs = false;
  std::vector<int> modes;
  std::vector<std::unique_ptr<AnlJob>> jobs;
  std::vector<std::unique_ptr<AnlResltCase>> registered;
};

class OptSubmitTest : public ExplorerTest {
 protected:
  void SetUp() override {
    ExplorerTest::SetUp();
    resources_.emplace(1);
    loads = control.NewLoadCase("Loads");
    fixed = control.NewRestraintCase("Fixed");
    control.SetCurrentLoadCase(loads);
    control.SetCurrentRestraintCase(fixed);
  }
  void TearDown() override {
    CaeConfig::SetValue(CaeString("Solver Program"), CaeString("ccx"), 0);
    box.Clear();
    resources_.reset();
    ExplorerTest::TearDown();
  }

  // A meshed steel box held at one face and pushed at another, and an optimisation model of
  // `kind` on it with the default objective (and for shape a design variable).
  OptModel* Study(CaeOptType kind, bool meshed = true) {
    model = box.Model(control, descriptors, AnlStress, fixed, loads, meshed);
    mesh = box.Mesh();
    opt = control.NewOptModel(CaeString("Study"));
    opt->Type(kind);
    opt->SetAnlModel(model);
    objective = std::make_unique<OptObjective>();
    opt->SetObjective(objective.get());
    UIOptDefaultObjective(objective.get());
    if (kind == CaeOptShape) {
      control.NewOptVariable(CaeString("T"));
      statics = std::make_unique<AnlResltCase>(CaeString("Static"), 0);
      statics->AddLoadCase(loads, 1.0);
      statics->AddBoundaryCase(fixed, 1.0);
      opt->AddAnlResultCase(statics.get());
    }
    control.SetCurrentOptModel(opt);
    return opt;
  }
  void Then(std::function<void(CWnd&)> step) { driver.steps.push_back(std::move(step)); }
  static CPropertyPage& Show(CWnd& window, int index) {
    auto& sheet = static_cast<CPropertySheet&>(window);
    sheet.SetActivePage(index);
    return *sheet.GetActivePage();
  }
  bool Printed(const std::string& text) const { return optCad.hasPrinted(text); }
  bool Boxed(const std::string& fragment) const { return uistest::anyBoxHolds(driver.boxes(), fragment); }
  // Every box and printed line, for failure messages.
  std::string Shown() const {
    std::string text;
    for (const mfc::MessageBoxRequest& box : driver.boxes()) text += "[box] " + box.text + "\n";
    for (const std::string& line : optCad.printed) text += "[printed] " + line + "\n";
    return text;
  }
  int LiveJobs() const {
    int live = 0;
    for (int i = 0; i < opt->NumJobs(); ++i)
      if (opt->Job(i)) ++live;
    return live;
  }
  int LiveResultSets() const {
    int live = 0;
    for (OptResultCase* rc = opt->FirstOptResultCase(1); rc; rc = opt->NextOptResultCase()) ++live;
    return live;
  }

  std::optional<ResourceSetter> resources_;
  OptCad optCad;  // made after the fixture's CAD: the current interface while the test runs
  AttLbcCase* loads = nullptr;
  AttLbcCase* fixed = nullptr;
  AnlModel* model = nullptr;
  AmgMesh* mesh = nullptr;
  OptModel* opt = nullptr;
  std::unique_ptr<OptObjective> objective;
  std::unique_ptr<AnlResltCase> statics;  // a shape study's analysis
  uistest::SteelBox box;
  kestrum::test::TempDir dir;
};

// The word is cut so that the name fits beside the simulation model's name ("Beam", 4 letters);
// a name without one letter of the word is no name: none is proposed.
TEST_F(OptSubmitTest, TheProposedNameIsTheNextFreeNumberCutToTheNameLength) {
  Study(CaeOptShape, false);
  struct Case {
    int maxLength;
    int existing;  // result sets of the model so far
    const char* expected;
  };
  const Case cases[] = {
      {64, 0, "OptResults1"},  {9, 0, "OptR1"},   {6, 0, "O1"}, {5, 0, ""}, {4, 0, ""}, {0, 0, ""}, {-3, 0, ""},
      {64, 9, "OptResults10"}, {10, 9, "OptR10"},
  };
  for (const Case& c : cases) {
    OptModel* fresh = control.NewOptModel(CaeString("Fresh"));
    fresh->SetAnlModel(model);
    for (int i = 0; i < c.existing; ++i) fresh->NewOptResultCase(CaeString(), CaeString::Format("Other%d", i));
    optCad.maxNameLength = c.maxLength;
    EXPECT_EQ(std::string(UIOptNewResultSetName(fresh).Text()), c.expected)
        << "length " << c.maxLength << ", " << c.existing << " sets";
    control.DeleteOptModel(fresh);
  }
  optCad.maxNameLength = 64;
  OptModel* other = control.NewOptModel(CaeString("Other"));
  other->NewOptResultCase(CaeString(), CaeString("OptResults1"));
  EXPECT_EQ(std::string(UIOptNewResultSetName(opt).Text()), "OptResults2") << "another model has OptResults1";
}

TEST(OptStartTime, OnlyDatesOnTheCalendarExist) {
  struct Case {
    int year, month, day, hour, minute;
    bool exists;
  };
  const Case cases[] = {
      {2027, 4, 30, 23, 59, true}, {2027, 4, 31, 10, 0, false}, {2027, 2, 29, 10, 0, false},
      {2028, 2, 29, 10, 0, true},  {2027, 6, 1, 24, 0, false},  {2027, 6, 1, 10, 60, false},
  };
  for (const Case& c : cases) {
    std::tm when{};
    when.tm_year = c.year - 1900;
    when.tm_mon = c.month - 1;
    when.tm_mday = c.day;
    when.tm_hour = c.hour;
    when.tm_min = c.minute;
    EXPECT_EQ(UIOptStartTimeExists(when), c.exists) << c.year << "-" << c.month << "-" << c.day << " " << c.hour;
  }
}

// A frequency objective and a stress constraint need a modal and a static case: the model's
// static case is offered as a copy at scale 1, the modal one is new with the restraint set only.
TEST_F(OptSubmitTest, AWizardOffersCopiesOfNeededCasesAndNewSetsForMissingTypes) {
  Study(CaeOptShape, false);
  EXPECT_TRUE(UIOptDefaultResultSets(*opt, control).empty()) << "mass needs no analysis";
  objective->ResponseType(OptFrequency);
  OptConstraint stress(CaeString("limit"), 128, nullptr, OptStress, nullptr);
  opt->AddConstraint(&stress);
  stress.Owner(opt);
  opt->RemoveAnlResultCase(statics.get());
  AnlResltCase scaled(CaeString("Scaled"), 0);
  scaled.AddLoadCase(loads, 2.0);
  scaled.AddBoundaryCase(fixed, 3.0);
  opt->AddAnlResultCase(&scaled);
  control.NewRestraintCase("Other");
  control.ClearCurrentRestraintCase();  // the first restraint set serves
  const auto sets = UIOptDefaultResultSets(*opt, control);
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(std::string(sets[0]->Name().Text()), "Scaled") << "the removed case is not offered";
  EXPECT_EQ(sets[0]->Type(), AnlResltStatic);
  ASSERT_NE(sets[0]->FirstLbcCase(0), nullptr);
  EXPECT_EQ(sets[0]->FirstLbcCase(0)->LbcCase(), loads);
  EXPECT_EQ(sets[0]->FirstLbcCase(0)->Scale(), 1.0);
  EXPECT_EQ(std::string(sets[1]->Name().Text()), "VibrationResultSet");
  EXPECT_EQ(sets[1]->Type(), AnlResltModal);
  EXPECT_EQ(sets[1]->NumLoadCase(), 0);
  ASSERT_EQ(sets[1]->NumBoundaryCase(), 1);
  EXPECT_EQ(sets[1]->FirstLbcCase(1)->LbcCase(), fixed);
}

TEST_F(OptSubmitTest, WithoutAModelOfTheKindOrASimulationModelNothingHappens) {
  EXPECT_EQ(UIOptSubmit(CaeOptShape), 0);
  EXPECT_TRUE(Boxed("An open optimization model is required before issuing this command."));
  opt = control.NewOptModel(CaeString("Loose"));
  control.SetCurrentOptModel(opt);
  EXPECT_EQ(UIOptSubmit(CaeOptConcept), 0) << "no Concept model";
  EXPECT_EQ(UIOptSubmit(CaeOptShape), 0);
  EXPECT_TRUE(Boxed("There is no simulation model linked to the current optimization model."));
  EXPECT_EQ(optCad.modes, (std::vector<int>{2, 0})) << "the shape road runs in update mode 2";
  EXPECT_EQ(opt->NumJobs(), 0);
}

// The person changes the pages and cancels: the model keeps its settings and gets no job.
TEST_F(OptSubmitTest, CancelChangesNothing) {
  Study(CaeOptShape);
  const OptParameters before = opt->Parameters();
  Then([](CWnd& sheet) {
    CPropertyPage& general = Show(sheet, 1);
    mfc::userSetText(general.m_hWnd, IDC_OPT_CYCLES, "7");
    mfc::userClick(sheet.m_hWnd, IDCANCEL);
  });
  EXPECT_EQ(UIOptSubmitShape(opt, 0), 0);
  EXPECT_TRUE(opt->Parameters() == before);
  EXPECT_EQ(opt->NumJobs(), 0);
  EXPECT_EQ(opt->NumOptResultCases(), 0);
}

// The pages show the fractions as percentages and write back what the person typed; an
// untouched percentage keeps its stored value exactly.
TEST_F(OptSubmitTest, ADeckToAFileTakesThePagesSettingsAndStartsNothing) {
  Study(CaeOptShape);
  OptParameters stored = opt->Parameters();
  stored.relativeVariableChange = 0.003;
  opt->Parameters(stored);
  const std::filesystem::path deck = dir / "study.dat";
  std::string shownViolation;
  Then([&](CWnd& sheet) {
    CPropertyPage& general = Show(sheet, 1);
    mfc::userSetText(general.m_hWnd, IDC_OPT_RESULT_NAME, "Thin");
    mfc::userSetText(general.m_hWnd, IDC_OPT_CYCLES, "7");
    mfc::userCheck(general.m_hWnd, IDC_OPT_SENSITIVITY, true);
    CPropertyPage& exec = Show(sheet, 2);
    mfc::userCheck(exec.m_hWnd, IDC_EXEC_MANUAL, true);
    mfc::userSetText(exec.m_hWnd, IDC_EXEC_FILE, deck.string());
    CPropertyPage& options = Show(sheet, 3);
    mfc::userSetText(options.m_hWnd, IDC_CONV_MAX_VIOLATION, "2.5");
    mfc::userClick(sheet.m_hWnd, IDOK);
  });
  EXPECT_EQ(UIOptSubmitShape(opt, 0), 1) << Shown();
  EXPECT_TRUE(std::filesystem::exists(deck));
  EXPECT_TRUE(Printed("\nAnalysis input file created\n"));
  EXPECT_FALSE(Printed("\nAnalysis submitted\n"));
  const OptParameters after = opt->Parameters();
  EXPECT_EQ(after.shapeMaxCycles, 7);
  EXPECT_EQ(after.sensitivityOnly, 1);
  EXPECT_DOUBLE_EQ(after.maxConstraintViolation, 0.025);
  EXPECT_EQ(after.relativeVariableChange, 0.003) << "untouched";
  EXPECT_EQ(opt->NumJobs(), 0);
  EXPECT_EQ(opt->NumOptResultCases(), 0);
}

// The check refuses a model without design variables: a job stops at once, nothing made.
TEST_F(OptSubmitTest, AFailedCheckStopsAJobBeforeAnythingIsMade) {
  Study(CaeOptConcept);
  opt->Type(CaeOptShape);  // shape without design variables
  Then([](CWnd& sheet) { mfc::userClick(sheet.m_hWnd, IDOK); });
  EXPECT_EQ(UIOptSubmitShape(opt, 0), 0);
  EXPECT_TRUE(Boxed("There are no design variables defined."));
  EXPECT_TRUE(Boxed("The analysis can not be performed."));
  EXPECT_EQ(opt->NumJobs(), 0);
  EXPECT_EQ(opt->NumOptResultCases(), 0);
}

// A solver that cannot start: its reason, and neither the job nor the result set stays.
TEST_F(OptSubmitTest, AJobThatCannotStartLeavesNoJobOrResultSet) {
  Study(CaeOptShape);
  CaeConfig::SetValue(CaeString("Solver Program"), CaeString((dir / "no-such-solver").string()), 0);
  Then([](CWnd& sheet) { mfc::userClick(sheet.m_hWnd, IDOK); });
  EXPECT_EQ(UIOptSubmitShape(opt, 0), 0);
  EXPECT_FALSE(Printed("\nAnalysis submitted\n"));
  EXPECT_TRUE(Boxed("The solver could not be started")) << Shown();
  EXPECT_EQ(LiveJobs(), 0);
  EXPECT_EQ(LiveResultSets(), 0);
}

// A passing model goes to a job: its deck in a folder of its own, the result set named on the
// General page for the job's base name, the job started and 629 printed.
TEST_F(OptSubmitTest, ASubmittedJobGetsItsResultSetAndStarts) {
  Study(CaeOptShape);
  const std::filesystem::path solver = dir / "solver.sh";
  std::ofstream(solver) << "#!/bin/sh\nexit 0\n";
  ::chmod(solver.c_str(), 0755);
  CaeConfig::SetValue(CaeString("Solver Program"), CaeString(solver.string()), 0);
  Then([](CWnd& sheet) {
    CPropertyPage& general = Show(sheet, 1);
    mfc::userSetText(general.m_hWnd, IDC_OPT_RESULT_NAME, "Thin");
    mfc::userClick(sheet.m_hWnd, IDOK);
  });
  EXPECT_EQ(UIOptSubmitShape(opt, 0), 1) << Shown();
  EXPECT_TRUE(Printed("\nAnalysis submitted\n"));
  ASSERT_EQ(LiveJobs(), 1);
  AnlJob* job = opt->Job(0);
  EXPECT_EQ(std::string(job->Name().Text()), "StudyJob1");
  EXPECT_TRUE(std::filesystem::exists(job->DeckName().Str()));
  ASSERT_EQ(LiveResultSets(), 1);
  OptResultCase* set = opt->FirstOptResultCase(1);
  EXPECT_EQ(std::string(set->Name().Text()), "Thin");
  EXPECT_EQ(set->AnlJobName(), job->BaseName());
  EXPECT_EQ(set->Initialized(), 0) << "nothing read yet";
}

// A delayed start on a day that does not exist is refused before anything changes.
TEST_F(OptSubmitTest, AnImpossibleStartTimeIsRefused) {
  Study(CaeOptShape);
  const OptParameters before = opt->Parameters();
  Then([](CWnd& sheet) {
    CPropertyPage& general = Show(sheet, 1);
    mfc::userSetText(general.m_hWnd, IDC_OPT_CYCLES, "9");
    CPropertyPage& exec = Show(sheet, 2);
    mfc::userCheck(exec.m_hWnd, IDC_EXEC_DELAYED, true);
    mfc::userSetText(exec.m_hWnd, IDC_EXEC_YEAR, "2030");
    mfc::userSetText(exec.m_hWnd, IDC_EXEC_MONTH, "4");
    mfc::userSetText(exec.m_hWnd, IDC_EXEC_DAY, "31");
    mfc::userClick(sheet.m_hWnd, IDOK);
  });
  EXPECT_EQ(UIOptSubmitShape(opt, 0), 0);
  EXPECT_TRUE(Boxed("do not exist on the calendar"));
  EXPECT_TRUE(opt->Parameters() == before);
  EXPECT_EQ(opt->NumJobs(), 0);
}

// A Concept job's objective scale is the meshed volume (the box: 2 x 1 x 1).
TEST_F(OptSubmitTest, AConceptJobScalesItsTargetByTheMeshedVolume) {
  Study(CaeOptConcept);
  const std::filesystem::path solver = dir / "solver.sh";
  std::ofstream(solver) << "#!/bin/sh\nexit 0\n";
  ::chmod(solver.c_str(), 0755);
  CaeConfig::SetValue(CaeString("Solver Program"), CaeString(solver.string()), 0);
  Then([](CWnd& sheet) { mfc::userClick(sheet.m_hWnd, IDOK); });
  EXPECT_EQ(UIOptSubmitConcept(opt, 0), 1);
  EXPECT_TRUE(Printed("\nAnalysis submitted\n"));
  ASSERT_EQ(LiveResultSets(), 1);
  OptResultCase* set = opt->FirstOptResultCase(1);
  EXPECT_EQ(std::string(set->Name().Text()), "OptResults1");
  EXPECT_NEAR(set->ObjectiveScale(), 2.0, 1e-9);
  ASSERT_EQ(LiveJobs(), 1);
  EXPECT_EQ(set->AnlJobName(), opt->Job(0)->BaseName());
}

// The Concept target's volume: the live solid meshes' elements, none once the mesh is erased.
TEST_F(OptSubmitTest, TheMeshedVolumeIsThatOfTheLiveMeshes) {
  Study(CaeOptConcept);
  EXPECT_NEAR(UIOptMeshedVolume(*model), 2.0, 1e-9);
  mesh->MarkAsErased();
  EXPECT_EQ(UIOptMeshedVolume(*model), 0.0);
}

}  // namespace
