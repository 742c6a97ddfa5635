// The add-in linked into the test and listed with the host as an application: start-up,
// per-drawing load, the reactors over the host's document sequences, and shut-down.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CadInterface/AcCadApplication.h"
#include "CadInterface/AcCadDocControl.h"
#include "CadInterface/AcCadEntry.h"
#include "amg/CaeEngine.h"
#include "amg/CaeGraph.h"
#include "arx/accmd.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "cadInterface/CadApplication.h"
#include "cadInterface/CadDocControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "chart/chart.h"
#include "fea/AnlControl.h"
#include "frame_support.h"
#include "gui/graph2d/UIGraphDlg.h"
#include "gui/utils/UIPickers.h"
#include "gui/wizard/UIWizard.h"
#include "mcad/amiapp.h"
#include "mfc/log.h"
#include "test_env.h"
#include "util/acDeferredPasses.h"
#include "util/acEditor.h"
#include "util/acLayer.h"

namespace {

std::vector<std::string> passes;
void recordPass(const char* pass) { passes.emplace_back(pass); }

std::vector<std::string> commandNames() {
  std::vector<std::string> names;
  for (const AcEdCommand* command : acedRegCmds->commandsOfGroup(kAcCommandGroup))
    names.emplace_back(command->globalName());
  return names;
}

bool contains(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

int countOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    startFreshHostWithPartModeller();
    passes.clear();
    acSetPassObserver(recordPass);
    ASSERT_TRUE(acrxModuleAttach());
    ASSERT_TRUE(acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint)) << cadhost::printedText();
  }
  void TearDown() override {
    cadhost::shutdownHost();
    acrxModuleDetach();
    acSetPassObserver(nullptr);
    mcadResetServices();
    cadhost::clearInput();
    cadhost::clearPrintedText();
  }

  static AcApDocument* current() { return acDocManagerPtr()->curDocument(); }
  static CadDocControl* controlOf(AcApDocument* doc) { return CadGetApplication()->FindDocControl(doc); }
  static AnlControl* anlControlOf(AcApDocument* doc) { return controlOf(doc)->GetData()->GetAnlControl(); }

  RecordingDriver driver;
  mfc::ScopedUserDriver scopedDriver{&driver};
  kestrum::test::TempDir dir;
};

TEST_F(ModuleTest, StartUpRegistersTheCommandGroupControlsAndTab) {
  const auto names = commandNames();
  ASSERT_EQ(names.size(), 40u);
  EXPECT_EQ(names.front(), "CAEP_STRESS_WIZARD");
  EXPECT_EQ(names[9], "CAEP_ABOUT");
  EXPECT_EQ(names[37], "CAEP_SIM_DOCTOR");
  EXPECT_EQ(names[38], "CAEP_RESET_MENUS");
  EXPECT_EQ(names[39], "CAEP_INSTALL_MENUS");

  EXPECT_NE(CadInterface::GetCurrent(), nullptr);
  EXPECT_TRUE(acIsInitialised());
  ASSERT_NE(acCurrentVersionInfo(), nullptr);
  EXPECT_EQ(acCurrentVersionInfo()->version, 630);
  EXPECT_EQ(acCurrentVersionInfo()->buildText, "Oct  3 2000");
  EXPECT_TRUE(acReactorsAttached());

  CadDocControl* control = controlOf(current());
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(CadCurrentDocControl(), control);
  EXPECT_EQ(AnlControl::GetCurrent(), anlControlOf(current()));
  const auto tabs = amiBrowserTabs();
  ASSERT_EQ(tabs.size(), 1u);
  EXPECT_EQ(tabs[0].title, "kS.Inside");
  EXPECT_EQ(tabs[0].group, "MApiSys");
}

TEST_F(ModuleTest, UnloadResetsMenusFirstAndLeavesNothingRegistered) {
  static bool interfaceAliveAtReset = false;
  acSetPassObserver([](const char* pass) {
    if (std::string(pass) == "menus-reset") interfaceAliveAtReset = CadInterface::GetCurrent() != nullptr;
    passes.emplace_back(pass);
  });
  ASSERT_TRUE(acrxDynamicLinker->unloadModule("kestrum.arx"));
  EXPECT_TRUE(contains(passes, "menus-reset"));
  EXPECT_TRUE(interfaceAliveAtReset);
  EXPECT_TRUE(commandNames().empty());
  EXPECT_EQ(CadInterface::GetCurrent(), nullptr);
  EXPECT_EQ(CadGetApplication(), nullptr);
  EXPECT_EQ(CadCurrentDocControl(), nullptr);
  EXPECT_EQ(AnlControl::GetCurrent(), nullptr);
  EXPECT_FALSE(acReactorsAttached());
  EXPECT_EQ(acCurrentVersionInfo(), nullptr);
  EXPECT_TRUE(amiBrowserTabs().empty());

  // A drawing opened now is not followed by the add-in.
  cadhost::clearPrintedText();
  acDocManagerPtr()->newDocument();
  EXPECT_EQ(cadhost::printedText().find("Control object reinitialized"), std::string::npos);

  // A second unload message destroys nothing and does not fail.
  EXPECT_EQ(acrxEntryPoint(AcRx::kUnloadAppMsg, nullptr), AcRx::kRetOK);
}

TEST_F(ModuleTest, DetachForgetsTheResourceLibraryAndTheGuideState) {
  UISetWizardTabState(3, 1);
  ASSERT_NE(ResourceSetter::ResourceModule(), nullptr);
  ASSERT_TRUE(acrxDynamicLinker->unloadModule("kestrum.arx"));
  acrxModuleDetach();
  EXPECT_EQ(ResourceSetter::ResourceModule(), nullptr);
  EXPECT_EQ(ResourceSetter::NestingCount(), 0);
  EXPECT_EQ(UIGetWizardTabState(3), 0);
}

TEST_F(ModuleTest, UnloadWhileQuittingLeavesTheMenus) {
  acrxEntryPoint(AcRx::kQuitMsg, nullptr);
  ASSERT_TRUE(acrxDynamicLinker->unloadModule("kestrum.arx"));
  EXPECT_FALSE(contains(passes, "menus-reset"));
  EXPECT_EQ(CadInterface::GetCurrent(), nullptr);
}

// Two Graph windows open over the drawing.
std::vector<HWND> openGraphWindows() {
  chart::RegisterChartControl();
  std::vector<HWND> windows;
  for (const char* name : {"Young's Modulus vs. Temperature", "Conductivity vs. Temperature"}) {
    auto* graph = new CaeGraph(0);
    graph->SetName(CaeString(name));
    graph->AddPoint(0, 1);
    graph->AddPoint(1, 2);
    UIShowGraphWindow(graph);
    if (!CGraphDlg::OpenWindows().empty()) windows.push_back(CGraphDlg::OpenWindows().back()->GetSafeHwnd());
  }
  return windows;
}

// Graph windows run the add-in's code: unloading it closes them (LSan: with their graphs).
TEST_F(ModuleTest, UnloadClosesTheOpenGraphWindows) {
  const std::vector<HWND> windows = openGraphWindows();
  ASSERT_EQ(CGraphDlg::OpenWindows().size(), 2u);
  ASSERT_TRUE(acrxDynamicLinker->unloadModule("kestrum.arx"));
  EXPECT_TRUE(CGraphDlg::OpenWindows().empty());
  for (HWND window : windows) EXPECT_FALSE(::IsWindow(window));
}

// The same when the host quits.
TEST_F(ModuleTest, QuitClosesTheOpenGraphWindows) {
  const std::vector<HWND> windows = openGraphWindows();
  ASSERT_EQ(CGraphDlg::OpenWindows().size(), 2u);
  acrxEntryPoint(AcRx::kQuitMsg, nullptr);
  ASSERT_TRUE(acrxDynamicLinker->unloadModule("kestrum.arx"));
  EXPECT_TRUE(CGraphDlg::OpenWindows().empty());
  for (HWND window : windows) EXPECT_FALSE(::IsWindow(window));
}

TEST_F(ModuleTest, FailedStartUpUndoesEverythingAndRefusesTheLoad) {
  ASSERT_TRUE(acrxDynamicLinker->unloadModule("kestrum.arx"));
  // The reactors' installed flag outlives an unload in the same module instance, so a second
  // start-up fails after the application object exists.
  cadhost::clearPrintedText();
  EXPECT_FALSE(acOnInitApp());
  EXPECT_NE(cadhost::printedText().find("General Error"), std::string::npos) << cadhost::printedText();
  EXPECT_TRUE(commandNames().empty());
  EXPECT_EQ(CadInterface::GetCurrent(), nullptr);
  EXPECT_EQ(CadGetApplication(), nullptr);
  EXPECT_FALSE(acReactorsAttached());
  EXPECT_FALSE(acIsInitialised());

  // Clean module state starts again.
  acResetModuleState();
  ASSERT_TRUE(acOnInitApp());
  EXPECT_EQ(commandNames().size(), 40u);
  acOnUnloadApp();
  EXPECT_EQ(CadInterface::GetCurrent(), nullptr);
}

TEST_F(ModuleTest, LaterDrawingLoadsAddTheirTabWithoutRegisteringAgain) {
  AcApDocument* first = current();
  AcApDocument* second = acDocManagerPtr()->newDocument();
  ASSERT_NE(second, first);
  EXPECT_EQ(amiBrowserTabs(second).size(), 1u);
  EXPECT_EQ(amiBrowserTabs(first).size(), 1u);
  AmiAppId id = 0;
  EXPECT_EQ(amiRegisterApp("TLXARX", id), Ami::eAlreadyExists);
}

// Documents: each has its own control and analysis control; the current follows activation.
TEST_F(ModuleTest, DocumentsHaveTheirOwnControlsAndTheCurrentFollowsActivation) {
  AcApDocument* first = current();
  AcApDocument* second = acDocManagerPtr()->newDocument();
  ASSERT_NE(controlOf(second), nullptr);
  EXPECT_NE(controlOf(second), controlOf(first));
  EXPECT_NE(anlControlOf(second), anlControlOf(first));
  EXPECT_EQ(CadCurrentDocControl(), controlOf(second));
  EXPECT_EQ(AnlControl::GetCurrent(), anlControlOf(second));

  acDocManagerPtr()->activateDocument(first);
  EXPECT_EQ(CadCurrentDocControl(), controlOf(first));
  EXPECT_EQ(AnlControl::GetCurrent(), anlControlOf(first));

  // Closing the other drawing leaves the active one's analysis control current.
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(second));
  EXPECT_EQ(current(), first);
  EXPECT_EQ(CadCurrentDocControl(), controlOf(first));
  EXPECT_EQ(AnlControl::GetCurrent(), anlControlOf(first));
  EXPECT_EQ(CadGetApplication()->DocControls().size(), 1u);

  // Closing the last one leaves no control and no current analysis control.
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(first));
  EXPECT_TRUE(CadGetApplication()->DocControls().empty());
  EXPECT_EQ(CadCurrentDocControl(), nullptr);
  EXPECT_EQ(AnlControl::GetCurrent(), nullptr);
}

// A switch is announced as became-current then activated: the current control follows, and the
// Explorer tab of the drawing switched to is rebuilt once.
TEST_F(ModuleTest, SwitchingDrawingsRebuildsTheExplorerOnce) {
  AcApDocument* first = current();
  AcApDocument* second = acDocManagerPtr()->newDocument();
  for (AcApDocument* target : {first, second, first}) {
    passes.clear();
    acDocManagerPtr()->activateDocument(target);
    EXPECT_EQ(std::count(passes.begin(), passes.end(), "explorer-rebuild"), 1);
    EXPECT_EQ(CadCurrentDocControl(), controlOf(target));
    EXPECT_EQ(AnlControl::GetCurrent(), anlControlOf(target));
  }
}

TEST_F(ModuleTest, OpenedDrawingNamesItsAnalysisControlAndOwnsTheDatabase) {
  const std::string path = (dir / "bracket.v2.dwg").string();
  AcApDocument* saved = current();
  ASSERT_EQ(acDocManagerPtr()->saveDocument(saved, path, true), Acad::eOk);
  acDocManagerPtr()->newDocument();
  ASSERT_TRUE(acDocManagerPtr()->closeDocument(saved));
  cadhost::clearPrintedText();
  AcApDocument* opened = acDocManagerPtr()->openDocument(path);
  ASSERT_NE(opened, nullptr);
  AnlControl* control = anlControlOf(opened);
  EXPECT_EQ(control->Name(), "bracket.v2");
  EXPECT_EQ(control->Location(), (dir / "bracket.v2").string());
  EXPECT_EQ(control->Owner(), opened->database());
  EXPECT_EQ(AnlControl::GetCurrent(), control);
  EXPECT_EQ(countOf(cadhost::printedText(), "\nControl object reinitialized\n"), 1) << cadhost::printedText();
}

struct Step {
  const char* command;
  const char* answer;  // typed at the command's prompt; a file name is made a path in the test folder
  bool isFile;
};

struct SequenceCase {
  const char* name;
  std::vector<Step> steps;
  bool afterOurCommand;               // a "CAEP_" command runs first
  std::vector<std::string> expected;  // passes heard, in order
  int reinitialized;                  // "\nControl object reinitialized\n" printed
};

class SequenceTest : public ModuleTest, public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(SequenceTest, CommandsTriggerTheirPasses) {
  const SequenceCase& c = GetParam();
  // The first command end after loading runs the post-load pass; take it out of the way.
  cadhost::runCommand("LIST");
  if (c.afterOurCommand) cadhost::runCommand("CAEP_TOPICS");
  passes.clear();
  cadhost::clearPrintedText();
  for (const Step& step : c.steps) {
    if (step.answer) cadhost::queueText(step.isFile ? (dir / step.answer).string() : step.answer);
    cadhost::runCommand(step.command);
  }
  EXPECT_EQ(passes, c.expected);
  EXPECT_EQ(countOf(cadhost::printedText(), "\nControl object reinitialized\n"), c.reinitialized)
      << cadhost::printedText();
}

INSTANTIATE_TEST_SUITE_P(
    Table, SequenceTest,
    ::testing::Values(
        SequenceCase{"OtherCommand", {{"LIST", nullptr, false}}, false, {"resolve", "resolve"}, 0},
        SequenceCase{
            "SaveAs", {{"SAVEAS", "part.dwg", true}}, false, {"resolve", "records", "resolve", "explorer-rebuild"}, 1},
        // Onto its own file the drawing keeps its name and place: the tab stays as it is.
        SequenceCase{"SaveAsOntoItsOwnFile",
                     {{"SAVEAS", "part.dwg", true}, {"SAVEAS", "part.dwg", true}},
                     false,
                     {"resolve", "records", "resolve", "explorer-rebuild", "resolve", "records", "resolve"},
                     2},
        SequenceCase{"QuickSaveAfterSaveAs",
                     {{"SAVEAS", "part.dwg", true}, {"QSAVE", nullptr, false}},
                     false,
                     {"resolve", "records", "resolve", "explorer-rebuild", "resolve", "records", "resolve"},
                     2},
        SequenceCase{
            "UndoAfterOurCommand", {{"UNDO", "1", false}}, true, {"resolve", "explorer-rebuild", "revalidate"}, 0},
        SequenceCase{"UndoAfterOtherCommand",
                     {{"LIST", nullptr, false}, {"UNDO", "1", false}},
                     false,
                     {"resolve", "resolve", "resolve", "explorer-rebuild"},
                     0}),
    [](const ::testing::TestParamInfo<SequenceCase>& info) { return std::string(info.param.name); });

// Before the command runs, so that a first command that draws or saves sees the drawing restored.
TEST_F(ModuleTest, NewDrawingRunsThePostLoadPassBeforeItsFirstCommand) {
  cadhost::runCommand("LIST");
  passes.clear();
  acDocManagerPtr()->newDocument();
  EXPECT_EQ(acReconcilePending(), 1);
  cadhost::runCommand("LIST");
  EXPECT_EQ(passes, (std::vector<std::string>{"reconcile", "menus-install", "explorer-rebuild", "records", "resolve",
                                              "resolve"}));
  EXPECT_TRUE(AnlControl::GetCurrent()->IsLoaded());
  EXPECT_EQ(acReconcilePending(), 0);
}

TEST_F(ModuleTest, SaveAsMovesTheExternalFilesOnlyToARealNewLocation) {
  namespace fs = std::filesystem;
  AnlControl* control = anlControlOf(current());
  ASSERT_EQ(acDocManagerPtr()->saveDocument(current(), (dir / "plate.dwg").string(), true), Acad::eOk);
  EXPECT_EQ(control->Location(), (dir / "plate").string());
  EXPECT_TRUE(control->IsSaved());
  fs::create_directories(dir / "plate");
  std::ofstream(dir / "plate" / "job1.frd") << "results";

  // Same name: nothing moves.
  ASSERT_EQ(acDocManagerPtr()->saveDocument(current(), (dir / "plate.dwg").string(), true), Acad::eOk);
  EXPECT_TRUE(fs::exists(dir / "plate" / "job1.frd"));

  // No extension: renamed, but the files keep their folder (it would be the drawing file itself).
  ASSERT_EQ(acDocManagerPtr()->saveDocument(current(), (dir / "plate_copy").string(), true), Acad::eOk);
  EXPECT_EQ(control->Name(), "plate_copy");
  EXPECT_EQ(control->Location(), (dir / "plate").string());
  EXPECT_TRUE(fs::exists(dir / "plate" / "job1.frd"));

  // A new name: the files follow.
  ASSERT_EQ(acDocManagerPtr()->saveDocument(current(), (dir / "bracket.dwg").string(), true), Acad::eOk);
  EXPECT_EQ(control->Name(), "bracket");
  EXPECT_EQ(control->Location(), (dir / "bracket").string());
  EXPECT_TRUE(fs::exists(dir / "bracket" / "job1.frd"));
  EXPECT_FALSE(fs::exists(dir / "plate" / "job1.frd"));
}

TEST_F(ModuleTest, SceneEventsMarkTheSceneChangedAndSwitchTheAnalysisLayers) {
  AcDbObjectId id;
  acGetLayer("CAE_MESH", id);
  acGetLayer("CAE_OPT", id);
  acTopoResetFlags();
  AmiSceneKey sceneKey;
  AmiSceneKey* scene = &sceneKey;
  // Leaving a scene hides the layers, entering one shows them again.
  EXPECT_EQ(amiSendEvent(Ami::kSceneEvent, scene, nullptr), 1);
  EXPECT_EQ(acTopoSceneChanged(), 1);
  EXPECT_EQ(acShowCaeLayer(kCaeLayerMesh, 0), 0);
  acTopoResetFlags();
  amiSendEvent(Ami::kSceneEvent, nullptr, scene);
  EXPECT_EQ(acTopoSceneChanged(), 1);
  EXPECT_EQ(acShowCaeLayer(kCaeLayerOpt, 1), 1);
  // Neither key a scene: nothing.
  acTopoResetFlags();
  amiSendEvent(Ami::kSceneEvent, nullptr, nullptr);
  EXPECT_EQ(acTopoSceneChanged(), 0);
}

TEST_F(ModuleTest, RegenAllEndingKeepsTheSceneChangedFlagForTheNextCommand) {
  acTopoSetSceneChanged();
  cadhost::runCommand("REGENALL");
  EXPECT_EQ(acTopoSceneChanged(), 1);
  cadhost::runCommand("LIST");
  EXPECT_EQ(acTopoSceneChanged(), 0);
}

TEST_F(ModuleTest, PartUpdateModeRaisesTheSceneChangedFlag) {
  acTopoResetFlags();
  CadInterface::GetCurrent()->SetDocControl(0);
  EXPECT_EQ(acTopoSceneChanged(), 0);
  CadInterface::GetCurrent()->SetDocControl(2);
  EXPECT_EQ(acTopoSceneChanged(), 1);
  EXPECT_EQ(CadInterface::GetCurrent()->GetDocControl(), 2);
}

}  // namespace

namespace {

TEST(ModuleAttach, RefusedWithoutThePartModellerAndLeavesNothing) {
  CaeEngine::ResetState();
  cadhost::clearPrintedText();
  cadhost::startHost(true);
  EXPECT_EQ(acrxModuleAttach(), 0);
  EXPECT_EQ(cadhost::printedText(),
            "Mechanical Desktop does not appear to be loaded.  Kestrum Inside cannot be used.\n");
  EXPECT_TRUE(acedRegCmds->commandsOfGroup(kAcCommandGroup).empty());
  EXPECT_EQ(CadInterface::GetCurrent(), nullptr);
  EXPECT_FALSE(acReactorsAttached());
  cadhost::shutdownHost();
  cadhost::clearPrintedText();
}

}  // namespace
