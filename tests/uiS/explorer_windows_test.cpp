// The Explorer's two windows: the tab docked in the browser (Enter and Esc kept from ending it, the
// job poll that rebuilds only when the number of pending jobs changes, a fault in the poll) and the
// Explorer dialog (its File menu's enabling and routing, its own poll, a fault while it opens).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "amg/CaeConfig.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadResources.h"
#include "explorer_fixture.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "gui/explorer/CExpTab.h"
#include "gui/explorer/CExplorerDlg.h"
#include "mfc/menu.h"
#include "mfc/user_actions.h"
#include "mfc/winapi.h"
#include "res/ResourceIds.h"
#include "test_env.h"

namespace {

using uistest::ExplorerTest;
using uistest::kTreeId;

// A job whose status check meets a damaged drawing.
class DamagedJob : public AnlDrvJob {
 public:
  void Check() override { CAE_GENERAL_ERROR(); }
};

// A model whose job list has a hole where a job should be.
class ModelWithMissingJob : public AnlModel {
 public:
  ModelWithMissingJob() : AnlModel(CaeString("Holed"), AnlStress) {}
  int NumJobs() override { return 1; }
  AnlJob* GetJob(int) override { return nullptr; }
};

class ExplorerWindowsTest : public ExplorerTest {
 protected:
  void SetUp() override {
    ExplorerTest::SetUp();
    mfc::useTestClock(true);
    model = control.NewAnlModel("Bracket", AnlStress);
    control.SetCurrentAnlModel(model);
    AddMesh(model, "Part1", "S275");  // each rebuild reads the material library once
  }
  void TearDown() override {
    if (tab && ::IsWindow(tab->m_hWnd)) tab->DestroyWindow();
    tab.reset();
    CaeConfig::SetValue(CaeString("Solver Program"), CaeString("ccx"), 0);
    mfc::useTestClock(false);
    ExplorerTest::TearDown();
  }

  void OpenTab() {
    tab = std::make_unique<CExpTab>();
    tab->SetAnlControl(&control);
    ResourceSetter resources(1);
    ASSERT_TRUE(tab->Create(CExpTab::kTemplateId));
    ShowTree(tab->Tree(), *tab);
  }

  // One poll period of the toolkit's clock.
  static void Tick() {
    mfc::advanceClock(3000);
    mfc::pumpMessages();
  }

  int Rebuilds() const { return cad.libraryOpens; }

  // A job of the model with its files under the test folder.
  AnlJob* FileJob(const char* name, AnlStatus status) {
    AnlJob* job = Job(model, name, status);
    job->Create(CaeString((dir.path() / name).string()));
    return job;
  }

  // Writes a complete results file for a job whose solver ran elsewhere.
  void Finish(const char* name) { std::ofstream(dir.path() / (std::string(name) + ".frd")) << "    1C\n 9999\n"; }

  bool Printed(const std::string& part) const {
    for (const std::string& line : cad.printed)
      if (line.find(part) != std::string::npos) return true;
    return false;
  }

  kestrum::test::TempDir dir;
  AnlModel* model = nullptr;
  std::unique_ptr<CExpTab> tab;
};

// ---- the tab ----

TEST_F(ExplorerWindowsTest, EnterAndEscInTheTabsTreeLeaveTheTabOpen) {
  OpenTab();
  for (UINT key : {VK_RETURN, VK_ESCAPE}) {
    EXPECT_EQ(mfc::userKey(tab->m_hWnd, kTreeId, key), "");
    EXPECT_TRUE(::IsWindow(tab->m_hWnd)) << key;
    EXPECT_TRUE(tab->IsWindowVisible()) << key;
  }
  // The same keys do reach a dialog: a plain one from the same template is hidden by Esc.
  CDialog plain(CExpTab::kTemplateId);
  {
    ResourceSetter resources(1);
    ASSERT_TRUE(plain.Create(CExpTab::kTemplateId));
  }
  ASSERT_TRUE(plain.IsWindowVisible());
  mfc::userKey(plain.m_hWnd, kTreeId, VK_ESCAPE);
  EXPECT_FALSE(plain.IsWindowVisible());
  plain.DestroyWindow();
}

TEST_F(ExplorerWindowsTest, TheTabIsDockedAndItsTreeFillsIt) {
  OpenTab();
  EXPECT_EQ(tab->Tree().Docked, 1);
  RECT client{}, tree{};
  tab->GetClientRect(&client);
  tab->Tree().GetWindowRect(&tree);
  EXPECT_EQ(tree.right - tree.left, client.right);
  EXPECT_EQ(tree.bottom - tree.top, client.bottom);
  tab->MoveWindow(0, 0, 300, 500);
  tab->Tree().GetWindowRect(&tree);
  EXPECT_EQ(tree.right - tree.left, 300);
  EXPECT_EQ(tree.bottom - tree.top, 500);
}

// Two jobs run by a solver that waits for its go-ahead and then writes a prepared results file.
TEST_F(ExplorerWindowsTest, TheTabsPollRebuildsOnlyWhenThePendingCountChanges) {
  const std::filesystem::path solver = dir.path() / "solver.sh";
  const std::string prepared = kestrum::test::sourcePath("data/results/static_beam.frd").string();
  std::ofstream(solver) << "#!/bin/sh\nwhile [ ! -e \"$2.go\" ]; do sleep 0.02; done\ncp '" << prepared
                        << "' \"$2.frd\"\n";
  ::chmod(solver.c_str(), 0755);
  CaeConfig::SetValue(CaeString("Solver Program"), CaeString(solver.string()), 0);
  AnlJob* first = FileJob("first", AnlStatusNew);
  AnlJob* second = FileJob("second", AnlStatusNew);
  ASSERT_EQ(first->Run(), 1);
  ASSERT_EQ(second->Run(), 1);

  OpenTab();
  EXPECT_EQ(tab->PendingJobs(), 2);
  EXPECT_NE(TreeText().find("Analysis Job first: Pending"), std::string::npos) << TreeText();
  int rebuilds = Rebuilds();
  for (int i = 0; i < 3; ++i) Tick();
  EXPECT_EQ(Rebuilds(), rebuilds) << "nothing ended: no rebuild";

  // Ticks until the count changes; only that tick rebuilds.
  const auto tickUntil = [&](int pending) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (tab->PendingJobs() != pending && std::chrono::steady_clock::now() < limit) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      Tick();
    }
    return tab->PendingJobs() == pending;
  };
  std::ofstream(dir.path() / "first.go") << "go\n";
  ASSERT_TRUE(tickUntil(1));
  EXPECT_EQ(Rebuilds(), rebuilds + 1);
  EXPECT_NE(TreeText().find("Analysis Job first: Completed"), std::string::npos) << TreeText();
  EXPECT_NE(TreeText().find("Analysis Job second: Pending"), std::string::npos) << TreeText();

  std::ofstream(dir.path() / "second.go") << "go\n";
  ASSERT_TRUE(tickUntil(0));
  EXPECT_EQ(Rebuilds(), rebuilds + 2);
  EXPECT_NE(TreeText().find("Analysis Job second: Completed"), std::string::npos) << TreeText();

  // Nothing pending: the poll sleeps, without even a transaction.
  cad.calls.clear();
  for (int i = 0; i < 3; ++i) Tick();
  EXPECT_EQ(Rebuilds(), rebuilds + 2);
  EXPECT_TRUE(cad.calls.empty());
}

TEST_F(ExplorerWindowsTest, TheTabLeavesTheJobsOfAnotherDrawingAlone) {
  FileJob("run", AnlStatusPending);
  OpenTab();
  ASSERT_EQ(tab->PendingJobs(), 1);
  AnlControl other("other");
  tab->SetAnlControl(&other);  // the tab's drawing is in the background
  Finish("run");
  const int rebuilds = Rebuilds();
  Tick();
  EXPECT_EQ(tab->PendingJobs(), 1);
  EXPECT_EQ(Rebuilds(), rebuilds);
  tab->SetAnlControl(&control);  // current again: picked up at the next tick
  Tick();
  EXPECT_EQ(tab->PendingJobs(), 0);
  EXPECT_EQ(Rebuilds(), rebuilds + 1);
}

TEST_F(ExplorerWindowsTest, AFaultInTheTabsPollIsPrintedAndThePollGoesOn) {
  auto* damaged = Keep(new DamagedJob());
  damaged->SetName("Damaged");
  damaged->SetStatus(AnlStatusPending);
  model->AddJob(damaged);
  OpenTab();
  ASSERT_EQ(tab->PendingJobs(), 1);
  for (int tick = 1; tick <= 2; ++tick) {
    cad.printed.clear();
    Tick();
    EXPECT_TRUE(Printed("General Error")) << "tick " << tick;
    EXPECT_EQ(cad.depth, 0) << "the poll's transaction is aborted, tick " << tick;
  }
  EXPECT_TRUE(::IsWindow(tab->m_hWnd));
}

TEST_F(ExplorerWindowsTest, AJobWhoseStatusCheckFailsIsListedAndTheFillGoesOn) {
  auto* damaged = Keep(new DamagedJob());
  damaged->SetName("Damaged");
  damaged->SetStatus(AnlStatusPending);
  model->AddJob(damaged);
  Job(model, "After", AnlStatusFailed);
  control.NewAnlModel("Later", AnlVibration);
  cad.printed.clear();
  OpenTab();
  EXPECT_TRUE(Printed("General Error"));
  const std::string tree = TreeText();
  for (const char* line : {"Analysis Job Damaged: Pending", "Analysis Job After: Failed", "Later"})
    EXPECT_NE(tree.find(line), std::string::npos) << line << "\n" << tree;
}

// ---- the dialog ----

class ExplorerDialogTest : public ExplorerWindowsTest {
 protected:
  // Runs the dialog modally; `steps` act on it while it waits.
  INT_PTR RunDialog(std::vector<std::function<void(CExplorerDlg&)>> steps) {
    CExplorerDlg dialog;
    for (auto& step : steps)
      driver.steps.push_back([&dialog, step](CWnd&) {
        if (::IsWindow(dialog.m_hWnd)) step(dialog);
      });
    ResourceSetter resources(1);
    return dialog.DoModal();
  }

  static bool Enabled(CExplorerDlg& dialog, UINT command) {
    return !(dialog.GetMenu()->GetMenuState(command, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
  }
};

TEST_F(ExplorerDialogTest, TheFileMenuFollowsTheSelectedItem) {
  control.SetCurrentLoadCase(control.NewLoadCase("Loads"));
  model->NewResultSet("Stored");  // not the displayed set
  Job(model, "Done", AnlStatusDone);
  struct Row {
    const char* item;
    std::vector<UINT> enabled;  // of the entries that follow the selection
  };
  const Row rows[] = {
      {"bracket", {IDM_EXP_PROPERTIES}},
      {"bracket/Loads*", {IDM_EXP_CLOSE, IDM_EXP_DELETE}},
      {"bracket/Bracket*", {IDM_EXP_CLOSE, IDM_EXP_DELETE, IDM_EXP_PROPERTIES}},
      {"bracket/Bracket*/Stored", {IDM_EXP_OPEN, IDM_EXP_CLOSE, IDM_EXP_DELETE}},  // not displayed: no export
  };
  const UINT following[] = {IDM_EXP_OPEN,
                            IDM_EXP_CLOSE,
                            IDM_EXP_DELETE,
                            IDM_EXP_PROPERTIES,
                            IDM_EXP_NEW_RESULT_SET,
                            IDM_EXP_WRITE_VRML,
                            IDM_EXP_WRITE_NEUTRAL_FILE};
  const UINT always[] = {IDM_EXP_NEW_SIMULATION_MODEL, IDM_EXP_NEW_LOAD_SET, IDM_EXP_NEW_RESTRAINT_SET,
                         IDM_EXP_NEW_OPTIMIZATION_MODEL, IDM_EXPDLG_REFRESH};
  const UINT never[] = {IDM_EXPDLG_RENAME,  IDM_EXPDLG_CUT,        IDM_EXPDLG_COPY,     IDM_EXPDLG_PASTE,
                        IDM_EXPDLG_TOOLBAR, IDM_EXPDLG_STATUS_BAR, IDM_EXPDLG_HIGHLIGHT};
  for (const Row& row : rows) {
    RunDialog({[&](CExplorerDlg& dialog) {
                 ASSERT_EQ(mfc::userSelect(dialog.m_hWnd, kTreeId, row.item), "") << row.item;
                 for (UINT command : following) {
                   const bool expected =
                       std::find(row.enabled.begin(), row.enabled.end(), command) != row.enabled.end();
                   EXPECT_EQ(Enabled(dialog, command), expected) << row.item << " command " << command;
                 }
                 for (UINT command : always) EXPECT_TRUE(Enabled(dialog, command)) << row.item << " " << command;
                 for (UINT command : never) EXPECT_FALSE(Enabled(dialog, command)) << row.item << " " << command;
               },
               [](CExplorerDlg& dialog) { dialog.EndDialog(IDCANCEL); }});
  }
}

TEST_F(ExplorerDialogTest, TheMenuRunsTheTreesActionsRefreshesAndCloses) {
  std::string afterNew, afterRefresh;
  CExplorerDlg dialog;
  driver.steps.push_back([&](CWnd&) { EXPECT_EQ(mfc::userMenu(dialog.m_hWnd, "Load Set"), ""); });
  driver.steps.push_back([](CWnd& prompt) { EXPECT_EQ(mfc::userClick(prompt.m_hWnd, IDOK), ""); });
  driver.steps.push_back([&](CWnd&) {
    ShowTree(dialog.Tree(), dialog);
    afterNew = TreeText();
    control.NewRestraintCase("Behind");  // made without the tree knowing
    EXPECT_EQ(mfc::userMenu(dialog.m_hWnd, "Refresh"), "");
    afterRefresh = TreeText();
    EXPECT_EQ(mfc::userMenu(dialog.m_hWnd, "Close"), "");
  });
  ResourceSetter resources(1);
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_NE(afterNew.find("bracket_LS*"), std::string::npos) << afterNew;
  EXPECT_EQ(afterNew.find("Behind"), std::string::npos) << afterNew;
  EXPECT_NE(afterRefresh.find("Behind"), std::string::npos) << afterRefresh;
}

// Two pending jobs: the dialog waits for both before it rebuilds, once, and then stops polling.
TEST_F(ExplorerDialogTest, TheDialogsPollRebuildsOnceWhenNoJobIsPendingAnyMore) {
  FileJob("one", AnlStatusPending);
  FileJob("two", AnlStatusPending);
  std::vector<int> rebuilds;
  std::string last;
  RunDialog({[&](CExplorerDlg&) {
               rebuilds.push_back(Rebuilds());
               Finish("one");
               Tick();
               rebuilds.push_back(Rebuilds());
               Finish("two");
               Tick();
               rebuilds.push_back(Rebuilds());
               Tick();
               rebuilds.push_back(Rebuilds());
             },
             [&](CExplorerDlg& dialog) {
               ShowTree(dialog.Tree(), dialog);
               last = TreeText();
               dialog.EndDialog(IDOK);
             }});
  ASSERT_EQ(rebuilds.size(), 4u);
  EXPECT_EQ(rebuilds[1], rebuilds[0]) << "one job still pending";
  EXPECT_EQ(rebuilds[2], rebuilds[0] + 1) << "both ended: one rebuild";
  EXPECT_EQ(rebuilds[3], rebuilds[2]) << "the poll has stopped";
  EXPECT_NE(last.find("Analysis Job two: Completed"), std::string::npos) << last;
}

TEST_F(ExplorerDialogTest, AFaultWhileTheDialogOpensIsPrintedAndTheDialogOpensAllTheSame) {
  auto* holed = Keep(new ModelWithMissingJob());
  control.AddAnlModel(holed);
  control.SetCurrentAnlModel(holed);
  std::string shown;
  const INT_PTR result = RunDialog({[&](CExplorerDlg& dialog) {
    ShowTree(dialog.Tree(), dialog);
    shown = TreeText();
    dialog.EndDialog(IDOK);
  }});
  EXPECT_EQ(result, IDOK);
  EXPECT_TRUE(Printed("General Error"));
  EXPECT_EQ(cad.depth, 0);
  EXPECT_NE(shown.find("Holed"), std::string::npos) << shown;
}

}  // namespace
