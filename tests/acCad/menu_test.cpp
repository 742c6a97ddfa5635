// The add-in's pull-down menu against the host's menu bar: what the install and the reset queue,
// what the bar holds once the host has evaluated it, the shipped menu file and the MENU command.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "amg/CaeEngine.h"
#include "arx/accmd.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadResources.h"
#include "mfc/afx.h"
#include "res/ResourceIds.h"
#include "test_env.h"
#include "util/acMenu.h"

namespace {

using Texts = std::vector<std::string>;

const std::string kLoad = "(command \"_.menuload\"  \"caepENU\")";
const std::string kInsert = "(menucmd \"P11=+caep.pop1\")";
const std::string kRemove = "(menucmd \"Gcaep.pop1=-\")";
const std::string kUnload = "(command  \"_.menuunload\" \"caep\")";
const std::string kHelpBack = "(menucmd \"P11=+acad.pop16\")";

Texts hostBar() {
  Texts bar;
  for (int i = 1; i <= 10; ++i) bar.push_back("acad.pop" + std::to_string(i));
  bar.push_back("acad.pop16");
  return bar;
}
Texts withPulldown() {
  Texts bar = hostBar();
  bar.insert(bar.begin() + 10, "caep.pop1");
  return bar;
}

int explorerRuns = 0;

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CaeEngine::ResetState();
    cadhost::clearPrintedText();
    cadhost::startHost(true);
    resources_ = LoadLibraryA(kestrum::test::buildPath("res/ZqFEA_ENU").string().c_str());
    ASSERT_NE(resources_, nullptr);
    resSetModuleState(resources_, AfxGetResourceHandle());
    cadhost::setSupportPath({kestrum::test::sourcePath("data/menus").string()});
    acResetMenuState();
    acMenuBaseName();
    explorerRuns = 0;
  }
  void TearDown() override {
    acedRegCmds->removeGroup("MENU_TEST");
    acResetMenuState();
    cadhost::shutdownHost();
    resResetModuleState();
    if (resources_) FreeLibrary(resources_);
    cadhost::clearPrintedText();
  }
  // Runs `step`, then what it queued; answers the queued texts.
  Texts queuedBy(int (*step)()) {
    cadhost::clearEvaluatedExpressions();
    step();
    Texts queued = cadhost::pendingExpressions();
    cadhost::runQueuedExpressions();
    return queued;
  }

 private:
  HINSTANCE resources_ = nullptr;
};

TEST_F(MenuTest, InstallAndResetQueueTheirExpressionsAndNeverStackTheHelpPulldown) {
  EXPECT_EQ(std::string(acCurrentMenuBaseName().Text()), "caepENU");
  struct Step {
    const char* name;
    int (*run)();
    Texts queued;
    Texts bar;
  };
  const Step steps[] = {
      {"first install", acInstallMenus, {kLoad, kInsert}, withPulldown()},
      {"install with the group loaded", acInstallMenus, {kRemove, kInsert}, withPulldown()},
      {"reset", acResetMenus, {kUnload}, hostBar()},
      {"reset again", acResetMenus, {kUnload}, hostBar()},
      {"install after a reset", acInstallMenus, {kLoad, kInsert}, withPulldown()},
      {"reset once more", acResetMenus, {kUnload}, hostBar()},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    EXPECT_EQ(queuedBy(step.run), step.queued);
    EXPECT_EQ(cadhost::menuBar(), step.bar) << cadhost::printedText();
  }

  // With the help pull-down taken off the bar, the reset puts it back at P11.
  ASSERT_EQ(acedMenuCmd("Gacad.pop16=-"), RTNORM);
  EXPECT_EQ(queuedBy(acResetMenus), (Texts{kUnload, kHelpBack}));
  EXPECT_EQ(cadhost::menuBar(), hostBar());
}

TEST_F(MenuTest, WithoutTheMenuFileInstallDoesNothingAndResetStillQueues) {
  cadhost::setSupportPath({kestrum::test::sourcePath("data/studies").string()});
  EXPECT_EQ(acInstallMenus(), 0);
  EXPECT_TRUE(cadhost::pendingExpressions().empty());
  EXPECT_EQ(std::string(acCurrentMenuBaseName().Text()), "caepENU");
  EXPECT_EQ(queuedBy(acResetMenus), Texts{kUnload});
  EXPECT_EQ(cadhost::menuBar(), hostBar());
}

TEST_F(MenuTest, QueueStringExprQueuesOnlyATextThatExists) {
  EXPECT_EQ(acQueueStringExpr(IDS_MENU_RESTORE_HELP_EXPR), 1);
  EXPECT_EQ(acQueueStringExpr(65000), 0);
  EXPECT_EQ(cadhost::pendingExpressions(), Texts{kHelpBack});
  cadhost::runQueuedExpressions();
}

TEST_F(MenuTest, EveryItemOfTheShippedPulldownRunsACommandOfTheAddIn) {
  cmdInitRunTimeEntries();
  std::set<std::string> commands;
  for (const CommandRecord* record = cmdTable(); record->nameId != 0; ++record)
    commands.insert(resLoadString(record->nameId).Text());
  queuedBy(acInstallMenus);
  const auto items = cadhost::menuItems("caep.pop1");
  ASSERT_GT(items.size(), 10u);
  std::set<std::string> offered;
  for (const auto& [label, command] : items) {
    if (label == "--") continue;
    EXPECT_TRUE(commands.count(command)) << label << " runs " << command;
    EXPECT_TRUE(offered.insert(command).second) << command << " offered twice";
  }
  EXPECT_TRUE(offered.count("CAEP_EXPLORER"));
}

TEST_F(MenuTest, MenuCommandListsTheBarAndRunsAnItemsCommand) {
  acedRegCmds->addCommand("MENU_TEST", "CAEP_EXPLORER", "CAEP_EXPLORER", ACRX_CMD_MODAL, [] { ++explorerRuns; });
  queuedBy(acInstallMenus);
  cadhost::clearPrintedText();
  cadhost::queueText("MENU\nMENU CAEP \"explorer...\"\nMENU CAEP \"Nothing Here\"\nMENU ACAD \"Explorer...\"\n");
  ASSERT_TRUE(cadhost::runNextCommand());
  const std::string listing = cadhost::printedText();
  EXPECT_NE(listing.find("P11 caep.pop1 \"Kestrum Inside\""), std::string::npos) << listing;
  EXPECT_NE(listing.find("\"Explorer...\" CAEP_EXPLORER"), std::string::npos) << listing;
  EXPECT_NE(listing.find("P12 acad.pop16"), std::string::npos) << listing;
  ASSERT_TRUE(cadhost::runNextCommand());
  EXPECT_EQ(explorerRuns, 1);
  for (int line = 0; line < 2; ++line) {
    cadhost::clearPrintedText();
    ASSERT_TRUE(cadhost::runNextCommand());
    EXPECT_NE(cadhost::printedText().find("No item"), std::string::npos) << cadhost::printedText();
  }
  EXPECT_EQ(explorerRuns, 1);
}

}  // namespace
