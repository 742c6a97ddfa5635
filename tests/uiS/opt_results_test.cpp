// A finished optimisation run kept, discarded or applied: the completed dialog's state by exit
// code, what its OK (and nothing else) does, the design cycle written to the part with the mesh
// question answered each way, and the Update Model dialog's cycles.
#include <gtest/gtest.h>

#include <filesystem>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "amg/CaeGraph.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadResources.h"
#include "explorer_fixture.h"
#include "fea/AmgMesh.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "fea/OptModel.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/dialogs/optimization/UIOptCompletedDlg.h"
#include "gui/dialogs/optimization/UIOptResultGraphs.h"
#include "gui/dialogs/optimization/UIOptResults.h"
#include "gui/dialogs/units/UISetupState.h"
#include "mfc/propsheet.h"
#include "mfc/user_actions.h"
#include "res/ResourceIds.h"
#include "test_env.h"

namespace {

std::string engineMessages;
void RecordEngineMessage(int, const CaeString& text) { engineMessages += text.Text(); }

using uistest::ExplorerCad;
using uistest::ExplorerTest;

// The part's side: the values each write found on the live variables, the update modes, the
// meshes remade; a write may be refused (a part that cannot be built) or throw.
class ResultsCad : public ExplorerCad {
 public:
  int SetDesignVariableValues(OptVariable*) override {
    if (throwOnWrite) throw std::runtime_error("the modeller failed");
    if (refuseWrite) return 0;
    std::vector<double> values;
    for (OptVariable* v : *variables) values.push_back(v->InitialValue());
    written.push_back(values);
    return 1;
  }
  void SetDocControl(int mode) override { modes.push_back(mode); }
  int UpdateMesh(AmgMesh*&) override { return ++meshesRemade; }
  std::vector<OptVariable*>* variables = nullptr;
  bool refuseWrite = false;
  bool throwOnWrite = false;
  std::vector<std::vector<double>> written;
  std::vector<int> modes;
  int meshesRemade = 0;
};

// Two design variables T and W at 1 and 2; a run "A1" of three cycles (T 1->4, W 2->5) whose result
// model holds its model-shape set "A1" and another run's "BA1"; a second model with results.
class OptResultsTest : public ExplorerTest {
 protected:
  void SetUp() override {
    ExplorerTest::SetUp();
    resources_.emplace(1);
    opt = control.NewOptModel(CaeString("Study"));
    control.SetCurrentOptModel(opt);
    for (const char* name : {"T", "W"}) variables.push_back(control.NewOptVariable(CaeString(name)));
    resultsCad.variables = &variables;
    working = control.NewAnlModel("Working", AnlStress);
    Build();
  }
  // A fresh run, result model and second model; the variables back at 1 and 2.
  void Build() {
    variables[0]->Name(CaeString("T"));
    variables[0]->InitialValue(1.0);
    variables[1]->Name(CaeString("W"));
    variables[1]->InitialValue(2.0);
    resultsCad.written.clear();
    resultsCad.modes.clear();
    resultsCad.meshesRemade = 0;
    resultsCad.refuseWrite = resultsCad.throwOnWrite = false;
    driver.answers.clear();
    control.SetCurrentAnlModel(working);
    resultModel = control.NewAnlModel("Results", AnlStress);
    AddMesh(resultModel, "plate", "Steel");
    for (const char* name : {"A1", "BA1"}) resultModel->NewResultSet(CaeString(name))->SetModelShape(1);
    second = control.NewAnlModel("Second", AnlStress);
    second->NewResultSet(CaeString("Static"));
    run = Keep(new OptResultCase(CaeString("A1")));
    run->SetOwner(opt);
    run->SetResultAnlModel(resultModel);
    run->SetSecondAnlModel(second);
    OptResultData* objective = run->NewObjective();
    objective->unitText = CaeString("kg");
    for (int cycle = 0; cycle <= kCycles; ++cycle) {
      objective->SetValue(cycle, 10.0 - cycle);
      for (int i = 0; i < 2; ++i) Record(i)->SetValue(cycle, variables[i]->InitialValue() + cycle);
    }
    run->NumCycles(kCycles);
    run->SetHasHistory(1);
    run->SetInitialized(1);
    run->SetExitCode(1);
    run->SetExitMessage(CaeString("Converged."));
  }
  void TearDown() override {
    EXPECT_TRUE(driver.steps.empty()) << "a window the test drives never opened";
    resources_.reset();
    ExplorerTest::TearDown();
  }
  OptResultData* Record(int i) {
    while (run->NumResultVariable() <= i) {
      OptResultData* record = run->NewResVariable();
      record->Name(variables[run->NumResultVariable() - 1]->Name());
    }
    return run->ResultVariable(i);
  }
  std::vector<double> Values() const { return {variables[0]->InitialValue(), variables[1]->InitialValue()}; }
  std::vector<std::string> LiveSets(AnlModel* model) const {
    std::vector<std::string> names;
    for (int i = 0; i < model->NumResultSets(); ++i)
      if (FerResultSet* set = model->GetResultSet(i); set && !set->IsMarkedAsErased())
        names.emplace_back(set->Name().Text());
    return names;
  }
  bool SecondDeleted() {
    for (AnlModel* m = control.FirstAnlModel(); m; m = control.NextAnlModel())
      if (m == second) return m->IsMarkedAsErased();
    return true;
  }
  void Then(std::function<void(CWnd&)> step) { driver.steps.push_back(std::move(step)); }
  static bool Enabled(CWnd& window, int id) {
    return window.GetDlgItem(id) && window.GetDlgItem(id)->IsWindowEnabled();
  }
  static bool Checked(CWnd& window, int id) { return static_cast<CButton*>(window.GetDlgItem(id))->GetCheck() != 0; }
  static std::string Text(CWnd& window, int id) {
    CString text;
    window.GetDlgItemText(id, text);
    return static_cast<const char*>(text);
  }
  static std::vector<std::string> Lines(CWnd& window, int id) {
    auto* list = static_cast<CListBox*>(window.GetDlgItem(id));
    std::vector<std::string> lines;
    for (int i = 0; i < list->GetCount(); ++i) {
      CString line;
      list->GetText(i, line);
      lines.emplace_back(static_cast<const char*>(line));
    }
    return lines;
  }

  static constexpr int kCycles = 3;
  std::optional<ResourceSetter> resources_;
  ResultsCad resultsCad;  // made after the fixture's CAD: the current interface while the test runs
  OptModel* opt = nullptr;
  std::vector<OptVariable*> variables;
  AnlModel* working = nullptr;
  AnlModel* resultModel = nullptr;
  AnlModel* second = nullptr;
  OptResultCase* run = nullptr;
};

// Preset action and offered radios by exit code, with a choice; a Concept run offers no update
// and keeps its results preset when the engine asks for "update and discard".
TEST_F(OptResultsTest, TheCompletedDialogPresetsTheActionByExitCode) {
  struct Case {
    CaeOptType kind;
    int exitCode;
    int action;  // 0 keep, 1 discard, 2 update and discard
    bool keep, discard, update, valuesShown;
  };
  const Case cases[] = {
      {CaeOptShape, 0, 0, false, true, false, false},   {CaeOptShape, 1, 0, true, true, true, true},
      {CaeOptShape, 3, 0, true, true, true, true},      {CaeOptShape, 4, 2, true, true, true, true},
      {CaeOptShape, 5, 1, false, true, false, false},   {CaeOptShape, 6, 1, false, true, false, false},
      {CaeOptShape, 7, 0, false, true, false, false},   {CaeOptConcept, 4, 0, true, true, false, true},
      {CaeOptConcept, 6, 1, false, true, false, false},
  };
  for (const Case& c : cases) {
    opt->Type(c.kind);
    run->SetExitCode(c.exitCode);
    const int ids[] = {IDC_OPT_DONE_KEEP, IDC_OPT_DONE_DISCARD, IDC_OPT_DONE_UPDATE};
    Then([&](CWnd& w) {
      for (int a = 0; a < 3; ++a)
        if (w.GetDlgItem(ids[a])) {
          EXPECT_EQ(Checked(w, ids[a]), a == c.action) << "exit " << c.exitCode << " radio " << a;
        }
      EXPECT_EQ(Enabled(w, IDC_OPT_DONE_KEEP), c.keep) << "exit " << c.exitCode;
      EXPECT_EQ(Enabled(w, IDC_OPT_DONE_DISCARD), c.discard) << "exit " << c.exitCode;
      EXPECT_EQ(Enabled(w, IDC_OPT_DONE_UPDATE), c.update) << "exit " << c.exitCode;
      if (c.kind == CaeOptShape) {
        EXPECT_EQ(Enabled(w, IDC_OPT_DONE_VARIABLES), c.valuesShown) << "exit " << c.exitCode;
      }
      EXPECT_EQ(mfc::userClick(w.GetSafeHwnd(), IDCANCEL), "");
    });
    EXPECT_EQ(UIOptCompleted(run, 1), 1) << "Esc keeps the results, exit " << c.exitCode;
  }
  run->SetExitCode(5);
  EXPECT_EQ(UIOptCompleted(run, 1), 1) << "the end of the input keeps a run whose preset is Discard";
  EXPECT_TRUE(resultsCad.written.empty());
  EXPECT_EQ(LiveSets(resultModel), (std::vector<std::string>{"A1", "BA1"}));
  EXPECT_FALSE(SecondDeleted());
}

TEST_F(OptResultsTest, TheCompletedDialogShowsTheFinalCycleAndTheRunsMessage) {
  run->SetExitCode(2);
  Then([&](CWnd& w) {
    EXPECT_EQ(Text(w, IDC_OPT_DONE_MESSAGE), "Converged. Number of design cycles: 3.");
    EXPECT_EQ(Text(w, IDC_OPT_DONE_OBJECTIVE), " 7.00 kg");
    EXPECT_EQ(Text(w, IDC_OPT_DONE_NAME), " A1");
    EXPECT_EQ(Lines(w, IDC_OPT_DONE_VARIABLES), (std::vector<std::string>{"T  4.000 ", "W  5.000 "}));
    mfc::userClick(w.GetSafeHwnd(), IDOK);
  });
  EXPECT_EQ(UIOptCompleted(run, 0), 1) << "an informing dialog keeps the results";
  // A Concept run at 60 per cent of its initial volume.
  opt->Type(CaeOptConcept);
  run->Objective()->SetValue(0, 50.0);
  run->Objective()->SetValue(kCycles, 30.0);
  Then([&](CWnd& w) {
    EXPECT_EQ(Text(w, IDC_OPT_DONE_PERCENT), " 60.0 %");
    EXPECT_EQ(Text(w, IDC_OPT_DONE_VOLUME), " 30.0 kg");
    EXPECT_EQ(Text(w, IDOK), "Close");
    mfc::userClick(w.GetSafeHwnd(), IDOK);
  });
  EXPECT_EQ(UIOptCompleted(run, 0), 1);
}

// OK carries out the action: discard removes the run's own model-shape set (not "BA1") and the
// second model; update and discard writes the last cycle first.
TEST_F(OptResultsTest, OkCarriesOutTheChosenAction) {
  struct Case {
    int exitCode;
    int click;  // radio pressed before OK, 0 none
    int answer;
    std::vector<double> values;
    std::vector<std::string> sets;
  };
  const Case cases[] = {
      {1, 0, 1, {1, 2}, {"A1", "BA1"}},
      {1, IDC_OPT_DONE_DISCARD, 0, {1, 2}, {"BA1"}},
      {4, 0, 0, {4, 5}, {}},
  };
  for (const Case& c : cases) {
    Build();
    run->SetExitCode(c.exitCode);
    Then([&](CWnd& w) {
      if (c.click) {
        EXPECT_EQ(mfc::userClick(w.GetSafeHwnd(), c.click), "");
      }
      EXPECT_EQ(mfc::userClick(w.GetSafeHwnd(), IDOK), "");
    });
    EXPECT_EQ(UIOptCompleted(run, 1), c.answer) << "exit " << c.exitCode;
    EXPECT_EQ(Values(), c.values) << "exit " << c.exitCode;
    EXPECT_EQ(LiveSets(resultModel), c.sets) << "exit " << c.exitCode;
    EXPECT_EQ(SecondDeleted(), c.answer == 0) << "exit " << c.exitCode;
  }
}

// A part that cannot be built with the final cycle keeps everything, and the dialog's caller
// keeps the run.
TEST_F(OptResultsTest, AnUpdateThatDidNotHappenKeepsTheRun) {
  run->SetExitCode(4);
  resultsCad.refuseWrite = true;
  Then([&](CWnd& w) { mfc::userClick(w.GetSafeHwnd(), IDOK); });
  EXPECT_EQ(UIOptCompleted(run, 1), 1);
  EXPECT_EQ(Values(), (std::vector<double>{1, 2}));
  EXPECT_EQ(LiveSets(resultModel), (std::vector<std::string>{"A1", "BA1"}));
  EXPECT_FALSE(SecondDeleted());
  EXPECT_EQ(resultsCad.meshesRemade, 0);
}

TEST_F(OptResultsTest, ApplyingACycleAnswersTheMeshQuestionAndMissingVariables) {
  struct Case {
    const char* what;
    int mode;
    std::vector<int> answers;
    bool removeW;
    int applied;
    std::vector<double> values;
    std::vector<std::string> sets;
    int meshes;
  };
  const Case cases[] = {
      {"variables only", 0, {}, false, 1, {3, 4}, {"A1", "BA1"}, 0},
      {"mesh, Yes", 1, {IDYES}, false, 1, {3, 4}, {}, 1},
      {"mesh, No", 1, {IDNO}, false, 1, {3, 4}, {"A1", "BA1"}, 0},
      {"mesh, Cancel", 1, {IDCANCEL}, false, 0, {1, 2}, {"A1", "BA1"}, 0},
      {"mesh without asking", 2, {}, false, 1, {3, 4}, {}, 1},
      {"W deleted, go on", 2, {IDYES}, true, 1, {3, 2}, {}, 1},
      {"W deleted, stop", 2, {IDNO}, true, 0, {1, 2}, {"A1", "BA1"}, 0},
  };
  for (const Case& c : cases) {
    Build();
    if (c.removeW) variables[1]->Name(CaeString("Renamed"));
    for (int answer : c.answers) driver.answer(answer);
    EXPECT_EQ(UIOptApplyDesignCycle(run, 2, c.mode), c.applied) << c.what;
    EXPECT_EQ(Values(), c.values) << c.what;
    EXPECT_EQ(LiveSets(resultModel), c.sets) << c.what;
    EXPECT_EQ(resultsCad.meshesRemade, c.meshes) << c.what;
    EXPECT_EQ(control.CurrentAnlModel(), working) << c.what << ": the current model is as before";
    EXPECT_TRUE(driver.answers.empty()) << c.what;
    if (c.removeW) {
      EXPECT_TRUE(uistest::anyBoxHolds(driver.boxes(), "The design variable W was not found.")) << c.what;
    }
  }
  Build();
  EXPECT_EQ(UIOptApplyDesignCycle(run, 0, 0), 1);
  EXPECT_EQ(Values(), (std::vector<double>{1, 2})) << "cycle 0 is the initial design";
}

TEST_F(OptResultsTest, TheUpdateModeIsResetWhenTheWriteThrows) {
  resultsCad.throwOnWrite = true;
  EXPECT_THROW(UIOptApplyDesignCycle(run, 3, 2), std::runtime_error);
  EXPECT_EQ(resultsCad.modes, (std::vector<int>{2, 0}));
  EXPECT_EQ(Values(), (std::vector<double>{1, 2}));
  EXPECT_EQ(control.CurrentAnlModel(), working);
}

TEST_F(OptResultsTest, TheShapeSetIsTheOneOfTheRunsWholeName) {
  EXPECT_EQ(std::string(UIOptFindShapeResultSet(run)->Name().Text()), "A1");
  run->SetName(CaeString("1"));
  EXPECT_EQ(UIOptFindShapeResultSet(run), nullptr) << "\"A1\" and \"BA1\" only end with it";
  run->SetResultAnlModel(nullptr);
  EXPECT_EQ(UIOptFindShapeResultSet(run), nullptr);
}

TEST_F(OptResultsTest, UpdateModelListsTheCyclesAndAppliesTheChosenOne) {
  opt->SetCurrentOptResultCase(run);
  Then([&](CWnd& w) {
    EXPECT_EQ(Lines(w, IDC_OPT_UPDATE_CYCLES),
              (std::vector<std::string>{"Initial design", "Design cycle 1", "Design cycle 2", "Design cycle 3"}));
    EXPECT_EQ(Lines(w, IDC_OPT_DONE_VARIABLES), (std::vector<std::string>{"T  4.000 ", "W  5.000 "}));
    EXPECT_EQ(mfc::userSelect(w.GetSafeHwnd(), IDC_OPT_UPDATE_CYCLES, "Design cycle 1"), "");
    EXPECT_EQ(Lines(w, IDC_OPT_DONE_VARIABLES), (std::vector<std::string>{"T  2.000 ", "W  3.000 "}));
    EXPECT_TRUE(Enabled(w, IDC_OPT_UPDATE_MESH));
    mfc::userClick(w.GetSafeHwnd(), IDOK);
  });
  EXPECT_EQ(UIOptUpdateModel(), 1);
  EXPECT_EQ(Values(), (std::vector<double>{2, 3}));
  EXPECT_EQ(LiveSets(resultModel), (std::vector<std::string>{"A1", "BA1"})) << "mesh left unticked";
  // Without a result model the mesh box is off and disabled; Cancel writes nothing.
  run->SetResultAnlModel(nullptr);
  Then([&](CWnd& w) {
    EXPECT_FALSE(Enabled(w, IDC_OPT_UPDATE_MESH));
    EXPECT_FALSE(Checked(w, IDC_OPT_UPDATE_MESH));
    mfc::userClick(w.GetSafeHwnd(), IDCANCEL);
  });
  EXPECT_EQ(UIOptUpdateModel(), 0);
  EXPECT_EQ(Values(), (std::vector<double>{2, 3}));
}

TEST_F(OptResultsTest, UpdateModelRefusesRunsWithoutCycles) {
  struct Case {
    int initialized, cycles;
    const char* message;
  };
  const Case cases[] = {
      {0, 3, "has not been initialized."},
      {1, 0, "does not have design cycle history data."},
  };
  opt->SetCurrentOptResultCase(run);
  for (const Case& c : cases) {
    run->SetInitialized(c.initialized);
    run->NumCycles(c.cycles);
    EXPECT_EQ(UIOptUpdateModel(), 0);
    EXPECT_TRUE(uistest::anyBoxHolds(driver.boxes(), c.message)) << c.message;
  }
  EXPECT_EQ(Values(), (std::vector<double>{1, 2}));
  opt->SetCurrentOptResultCase(nullptr);
  control.SetCurrentOptModel(nullptr);
  EXPECT_EQ(UIOptUpdateModel(), 0);
}

// The remembered choices start as the pages' defaults: history on the constraints, a Concept
// history on the unscaled objective.
TEST_F(OptResultsTest, ResetGraphStateGivesThePagesDefaults) {
  struct Case {
    int type;
    int historyData, historyScaling;
  };
  const Case cases[] = {{0, 2, 0}, {1, 0, 0}};
  for (const Case& c : cases) {
    UIOptGraphState(kOptSensitivityPage).marks = {3};
    UIOptGraphState(kOptHistoryPage).scaling = 3;
    UIOptGraphState(kOptLocalTrendPage).normalization = 7.0;
    UIOptGraphPageIndex() = 2;
    UIOptResetGraphState(c.type);
    EXPECT_EQ(UIOptGraphState(kOptHistoryPage).data, c.historyData) << "type " << c.type;
    EXPECT_EQ(UIOptGraphState(kOptHistoryPage).scaling, c.historyScaling) << "type " << c.type;
    EXPECT_TRUE(UIOptGraphState(kOptSensitivityPage).marks.empty());
    EXPECT_EQ(UIOptGraphState(kOptLocalTrendPage).normalization, 1.0);
    EXPECT_EQ(UIOptGraphState(kOptSensitivityPage).data, 0);
    EXPECT_EQ(UIOptGraphPageIndex(), 0);
  }
  // The module's reset hook (load and unload) starts them afresh as well.
  UIOptGraphState(kOptHistoryPage).data = 0;
  UIOptGraphPageIndex() = 1;
  UISetupResetModuleState();
  EXPECT_EQ(UIOptGraphState(kOptHistoryPage).data, 2);
  EXPECT_EQ(UIOptGraphPageIndex(), 0);
}

// The history graph follows the remembered record: the marked variables only, the objective.
TEST_F(OptResultsTest, TheHistoryGraphIsBuiltFromTheRememberedChoice) {
  opt->SetCurrentOptResultCase(run);
  UIOptResetGraphState(0);
  struct Case {
    int data;
    std::vector<int> marks;
    std::vector<std::string> series;  // empty: no graph
  };
  const Case cases[] = {
      {1, {1}, {"W"}},
      {1, {0, 1}, {"T", "W"}},
      {0, {}, {"*"}},
      {7, {}, {}},
  };
  for (const Case& c : cases) {
    UIOptGraphState(kOptHistoryPage).data = c.data;
    UIOptGraphState(kOptHistoryPage).marks = c.marks;
    std::unique_ptr<CaeGraph> graph(UIOptShowHistoryGraph(0));
    if (c.series.empty()) {
      EXPECT_EQ(graph, nullptr) << "data " << c.data;
      continue;
    }
    ASSERT_NE(graph, nullptr) << "data " << c.data;
    ASSERT_EQ(graph->NumPolyLine(), static_cast<int>(c.series.size())) << "data " << c.data;
    for (int i = 0; i < graph->NumPolyLine(); ++i) {
      EXPECT_EQ(graph->GetPolyLine(i)->NumPoints(), kCycles + 1) << "data " << c.data;
      if (c.series[i] != "*") {
        EXPECT_EQ(std::string(graph->GetPolyLine(i)->Name().Text()), c.series[i]) << "data " << c.data;
      }
    }
  }
}

// Each missing piece is refused with its own message and no graph.
TEST_F(OptResultsTest, GraphsWithoutTheirDataAreRefused) {
  struct Case {
    const char* what;
    std::function<void()> arrange;
    bool history;
    const char* message;
  };
  const Case cases[] = {
      {"no result set", [&] { opt->SetCurrentOptResultCase(nullptr); }, true,
       "There are no active optimization results"},
      {"not initialised", [&] { run->SetInitialized(0); }, true, "has not been initialized."},
      {"no history", [&] { run->SetHasHistory(0); }, true, "does not have design cycle history data."},
      {"no sensitivities", [] {}, false, "does not have sensitivity data."},
      {"no model", [&] { control.SetCurrentOptModel(nullptr); }, true, "An open optimization model is required"},
  };
  for (const Case& c : cases) {
    Build();
    control.SetCurrentOptModel(opt);
    opt->SetCurrentOptResultCase(run);
    c.arrange();
    const size_t before = driver.boxes().size();
    std::unique_ptr<CaeGraph> graph(c.history ? UIOptShowHistoryGraph(0) : UIOptShowSensitivityGraph(0));
    EXPECT_EQ(graph, nullptr) << c.what;
    ASSERT_GT(driver.boxes().size(), before) << c.what;
    EXPECT_NE(driver.boxes().back().text.find(c.message), std::string::npos)
        << c.what << ": " << driver.boxes().back().text;
  }
}

CWnd& ActivePage(CWnd& sheet) { return *static_cast<CPropertySheet&>(sheet).GetActivePage(); }

// OK remembers the page's choices (and only OK); an empty choice cannot leave the page.
TEST_F(OptResultsTest, TheHistoryPageRemembersItsChoicesOnOk) {
  opt->SetCurrentOptResultCase(run);
  UIOptResetGraphState(0);
  Then([&](CWnd& sheet) {
    CWnd& page = ActivePage(sheet);
    EXPECT_EQ(mfc::userClick(page.m_hWnd, IDC_OPT_GRAPH_VARIABLES), "");
    EXPECT_EQ(Lines(page, IDC_OPT_GRAPH_LIST), (std::vector<std::string>{"T", "W"}));
    for (const char* name : {"T", "W"})
      EXPECT_EQ(mfc::userCheckEntry(page.m_hWnd, IDC_OPT_GRAPH_LIST, name, false), "");
    EXPECT_FALSE(Enabled(page, IDC_OPT_GRAPH_BUTTON)) << "nothing ticked";
    EXPECT_EQ(mfc::userClick(page.m_hWnd, IDC_OPT_SCALE_VALUE), "");
    EXPECT_TRUE(Enabled(page, IDC_OPT_SCALE_NORMALIZATION));
    EXPECT_EQ(mfc::userSetText(page.m_hWnd, IDC_OPT_SCALE_NORMALIZATION, "2.5"), "");
    EXPECT_EQ(mfc::userClick(sheet.m_hWnd, IDOK), "");
  });
  Then([&](CWnd& sheet) {
    EXPECT_TRUE(uistest::anyBoxHolds(driver.boxes(), "Insufficient input to create a valid graph."));
    CWnd& page = ActivePage(sheet);
    EXPECT_EQ(mfc::userCheckEntry(page.m_hWnd, IDC_OPT_GRAPH_LIST, "W", true), "");
    EXPECT_TRUE(Enabled(page, IDC_OPT_GRAPH_BUTTON));
    EXPECT_EQ(mfc::userClick(sheet.m_hWnd, IDOK), "");
  });
  EXPECT_EQ(UIOptResultSheet(nullptr, nullptr), 0) << "OK asks for no graph";
  const UIOptGraphRecord& r = UIOptGraphState(kOptHistoryPage);
  EXPECT_EQ(r.data, 1);
  EXPECT_EQ(r.marks, std::vector<int>{1});
  EXPECT_EQ(r.scaling, 3);
  EXPECT_EQ(r.normalization, 2.5);
  // Cancel keeps what OK remembered; the sheet opens as it was left.
  Then([&](CWnd& sheet) {
    CWnd& page = ActivePage(sheet);
    EXPECT_TRUE(Checked(page, IDC_OPT_GRAPH_VARIABLES));
    EXPECT_EQ(static_cast<CCheckListBox*>(page.GetDlgItem(IDC_OPT_GRAPH_LIST))->GetCheck(0), 0);
    EXPECT_EQ(static_cast<CCheckListBox*>(page.GetDlgItem(IDC_OPT_GRAPH_LIST))->GetCheck(1), 1);
    EXPECT_EQ(mfc::userClick(page.m_hWnd, IDC_OPT_GRAPH_OBJECTIVE), "");
    EXPECT_EQ(mfc::userClick(sheet.m_hWnd, IDCANCEL), "");
  });
  EXPECT_EQ(UIOptResultSheet(nullptr, nullptr), 0);
  EXPECT_EQ(UIOptGraphState(kOptHistoryPage).data, 1);
}

// The scaling choices each kind of graph data leaves, and the text of the second one.
TEST_F(OptResultsTest, TheHistoryScalingFollowsTheGraphData) {
  opt->SetCurrentOptResultCase(run);
  UIOptResetGraphState(0);
  struct Case {
    int radio;
    bool none, second, optimum, value;
    const char* secondText;
    int selected;  // the scaling radio checked after the switch, from 1101
  };
  const Case cases[] = {
      {IDC_OPT_GRAPH_MAX_CONSTRAINT, false, true, false, false, "Constraint &feasibility", IDC_OPT_SCALE_SECOND},
      {IDC_OPT_GRAPH_OBJECTIVE, true, false, true, true, "&Upper and lower bounds", IDC_OPT_SCALE_NONE},
      {IDC_OPT_GRAPH_VARIABLES, true, true, true, true, "&Upper and lower bounds", IDC_OPT_SCALE_NONE},
      {IDC_OPT_GRAPH_CONSTRAINTS, true, true, false, false, "Constraint &feasibility", IDC_OPT_SCALE_NONE},
  };
  Then([&](CWnd& sheet) {
    CWnd& page = ActivePage(sheet);
    for (const Case& c : cases) {
      EXPECT_EQ(mfc::userClick(page.m_hWnd, c.radio), "") << c.radio;
      EXPECT_EQ(Enabled(page, IDC_OPT_SCALE_NONE), c.none) << c.radio;
      EXPECT_EQ(Enabled(page, IDC_OPT_SCALE_SECOND), c.second) << c.radio;
      EXPECT_EQ(Enabled(page, IDC_OPT_SCALE_OPTIMUM), c.optimum) << c.radio;
      EXPECT_EQ(Enabled(page, IDC_OPT_SCALE_VALUE), c.value) << c.radio;
      EXPECT_EQ(Text(page, IDC_OPT_SCALE_SECOND), c.secondText) << c.radio;
      EXPECT_TRUE(Checked(page, c.selected)) << c.radio;
    }
    EXPECT_EQ(mfc::userClick(sheet.m_hWnd, IDCANCEL), "");
  });
  EXPECT_EQ(UIOptResultSheet(nullptr, nullptr), 0);
}

// Report... writes the chosen graph's text to the chosen file and the sheet comes back; a file
// that cannot be written is named in a message and nothing is left behind.
TEST_F(OptResultsTest, ReportWritesTheChosenGraphToTheChosenFile) {
  struct FileUser : uistest::RecordingDriver {
    std::optional<std::string> onFileDialog(const mfc::FileDialogRequest&) override { return path; }
    std::string path;
  };
  kestrum::test::TempDir dir;
  struct Case {
    std::filesystem::path file;
    bool written;
  };
  const Case cases[] = {{dir.path() / "objective.txt", true}, {dir.path() / "missing" / "objective.txt", false}};
  opt->SetCurrentOptResultCase(run);
  for (const Case& c : cases) {
    UIOptResetGraphState(0);
    FileUser user;
    user.path = c.file.string();
    mfc::ScopedUserDriver scoped(&user);
    user.add([](CWnd& sheet) {
      CWnd& page = ActivePage(sheet);
      EXPECT_EQ(mfc::userClick(page.m_hWnd, IDC_OPT_GRAPH_OBJECTIVE), "");
      EXPECT_EQ(mfc::userClick(page.m_hWnd, IDC_OPT_SCALE_NONE), "");
      EXPECT_EQ(mfc::userClick(page.m_hWnd, IDC_OPT_REPORT_BUTTON), "");
    });
    engineMessages.clear();
    CaeMsgCall::Routine previous = CaeMsgCall::SetMsgRoutine(RecordEngineMessage);
    EXPECT_EQ(UIOptResultSheet(nullptr, nullptr), 1) << c.file;
    CaeMsgCall::SetMsgRoutine(previous);
    EXPECT_EQ(std::filesystem::exists(c.file), c.written) << c.file;
    if (c.written) {
      const std::string text = kestrum::test::readFile(c.file);
      for (const char* line : {"\n0\t10\n", "\n1\t9\n", "\n3\t7\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    } else {
      EXPECT_NE(engineMessages.find(c.file.string()), std::string::npos) << "the message names the file";
    }
    EXPECT_EQ(UIOptGraphState(kOptHistoryPage).data, 0) << "the choice is remembered";
    EXPECT_EQ(UIOptGraphPageIndex(), 0);
  }
}

// The sensitivity page: several constraints swap the variable list for the variable combo and
// need a ticked constraint; a remembered variable beyond the run's falls back to the first.
TEST_F(OptResultsTest, TheSensitivityPageSwapsListsByWhatIsGraphed) {
  for (const char* name : {"stress", "deflection"}) run->NewResConstraint()->Name(CaeString(name));
  run->Objective()->SetSensitivity(1, 0, 0.5);
  run->SetHasSensitivity(1);
  opt->SetCurrentOptResultCase(run);
  UIOptResetGraphState(0);
  UIOptGraphState(kOptSensitivityPage).variable = 5;
  UIOptGraphState(kOptSensitivityPage).data = 2;
  UIOptGraphPageIndex() = kOptSensitivityPage;
  Then([&](CWnd& sheet) {
    CWnd& page = ActivePage(sheet);
    EXPECT_EQ(Text(page, IDC_OPT_SENS_CAPTION), "Graph the sensitivity of...");
    EXPECT_TRUE(Checked(page, IDC_OPT_SENS_SEVERAL));
    auto* variable = static_cast<CComboBox*>(page.GetDlgItem(IDC_OPT_SENS_VARIABLE));
    EXPECT_EQ(variable->GetCurSel(), 0) << "position 5 is beyond the two variables";
    EXPECT_TRUE(variable->IsWindowVisible());
    EXPECT_FALSE(page.GetDlgItem(IDC_OPT_SENS_VARIABLES)->IsWindowVisible());
    EXPECT_TRUE(Enabled(page, IDC_OPT_SENS_CONSTRAINTS));
    EXPECT_FALSE(Enabled(page, IDC_OPT_GRAPH_BUTTON)) << "no constraint ticked";
    EXPECT_FALSE(Enabled(page, IDC_OPT_SCALE_OPTIMUM));
    EXPECT_EQ(mfc::userCheckEntry(page.m_hWnd, IDC_OPT_SENS_CONSTRAINTS, "deflection", true), "");
    EXPECT_TRUE(Enabled(page, IDC_OPT_GRAPH_BUTTON));
    EXPECT_EQ(mfc::userClick(page.m_hWnd, IDC_OPT_SENS_OBJECTIVE), "");
    EXPECT_TRUE(page.GetDlgItem(IDC_OPT_SENS_VARIABLES)->IsWindowVisible());
    EXPECT_FALSE(Enabled(page, IDC_OPT_SENS_CONSTRAINTS));
    EXPECT_TRUE(Enabled(page, IDC_OPT_SCALE_OPTIMUM));
    EXPECT_FALSE(Enabled(page, IDC_OPT_GRAPH_BUTTON)) << "no variable ticked";
    EXPECT_EQ(mfc::userCheckEntry(page.m_hWnd, IDC_OPT_SENS_VARIABLES, "W", true), "");
    EXPECT_EQ(mfc::userClick(sheet.m_hWnd, IDOK), "");
  });
  EXPECT_EQ(UIOptResultSheet(nullptr, nullptr), 0);
  const UIOptGraphRecord& r = UIOptGraphState(kOptSensitivityPage);
  EXPECT_EQ(r.data, 0);
  EXPECT_EQ(r.marks, std::vector<int>{1});
  EXPECT_EQ(r.constraintMarks, std::vector<int>{1});
  EXPECT_EQ(UIOptGraphPageIndex(), kOptSensitivityPage);
}

// A Concept run's history offers only the objective, normalised to its initial value.
TEST_F(OptResultsTest, AConceptHistoryOffersOnlyTheObjective) {
  opt->Type(CaeOptConcept);
  opt->SetCurrentOptResultCase(run);
  UIOptResetGraphState(1);
  Then([&](CWnd& sheet) {
    CWnd& page = ActivePage(sheet);
    EXPECT_TRUE(Checked(page, IDC_OPT_GRAPH_OBJECTIVE));
    for (int id : {IDC_OPT_GRAPH_VARIABLES, IDC_OPT_GRAPH_CONSTRAINTS, IDC_OPT_GRAPH_MAX_CONSTRAINT})
      EXPECT_FALSE(Enabled(page, id)) << id;
    EXPECT_EQ(Text(page, IDC_OPT_SCALE_OPTIMUM), "Nor&malized to initial value");
    EXPECT_TRUE(Enabled(page, IDC_OPT_GRAPH_BUTTON));
    EXPECT_EQ(mfc::userClick(sheet.m_hWnd, IDCANCEL), "");
  });
  EXPECT_EQ(UIOptHistoryGraphCommand(1), 0);
}

}  // namespace
