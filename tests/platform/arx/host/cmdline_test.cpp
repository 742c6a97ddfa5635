#include <cmath>
#include <fstream>

#include "arx/accmd.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "host_fixture.h"
#include "test_env.h"

namespace {

class CommandLineTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    acDocManagerPtr()->newDocument();
  }
  void TearDown() override {
    acedRegCmds->removeGroup("TEST");
    HostTest::TearDown();
  }
};

int regenResult = 0;
void regenInside() { regenResult = acedCommand(RTSTR, "_.REGENALL", RTNONE); }

TEST_F(CommandLineTest, AcedCommandRunsAHostCommandInsideACommand) {
  ASSERT_EQ(acedRegCmds->addCommand("TEST", "TEST_REGEN", "TEST_REGEN", 0, regenInside), Acad::eOk);
  NotificationLog log;
  int updatesBefore = cadhost::displayUpdates();
  EXPECT_EQ(cadhost::runCommand("TEST_REGEN"), RTNORM);
  EXPECT_EQ(regenResult, RTNORM);
  EXPECT_EQ(cadhost::displayUpdates(), updatesBefore + 1);
  EXPECT_EQ(log.entries, (std::vector<std::string>{"E:commandWillStart TEST_REGEN", "E:commandWillStart REGENALL",
                                                   "E:commandEnded REGENALL", "E:commandEnded TEST_REGEN"}));
  EXPECT_EQ(acedCommand(RTSTR, "NO_SUCH_COMMAND", RTNONE), RTERROR);
  EXPECT_EQ(acedCommand(RTNONE), RTERROR);
}

void transformUcsAxes(ads_point xAxis, ads_point origin) {
  resbuf ucs, wcs;
  ucs.restype = wcs.restype = RTSHORT;
  ucs.resval.rint = 1;
  wcs.resval.rint = 0;
  ads_point unitX = {1, 0, 0}, zero = {0, 0, 0};
  ASSERT_EQ(acedTrans(unitX, &ucs, &wcs, 1, xAxis), RTNORM);
  ASSERT_EQ(acedTrans(zero, &ucs, &wcs, 0, origin), RTNORM);
}

TEST_F(CommandLineTest, UcsTurnedAndTurnedBackIsAsItWas) {
  EXPECT_EQ(acedCommand(RTSTR, "_.ucs", RTSTR, "_Y", RTREAL, 90.0, RTNONE), RTNORM);
  ads_point xAxis, origin;
  transformUcsAxes(xAxis, origin);
  EXPECT_NEAR(xAxis[0], 0.0, 1e-12);  // x turned about y by 90 degrees points along -z
  EXPECT_NEAR(xAxis[2], -1.0, 1e-12);

  EXPECT_EQ(acedCommand(RTSTR, "_.ucs", RTSTR, "_Y", RTREAL, -90.0, RTNONE), RTNORM);
  EXPECT_EQ(acedCommand(RTSTR, "_.ucs", RTSTR, "_Y", RTREAL, 1.0, RTNONE), RTNORM);
  EXPECT_EQ(acedCommand(RTSTR, "_.ucs", RTSTR, "_Y", RTREAL, -1.0, RTNONE), RTNORM);
  transformUcsAxes(xAxis, origin);
  EXPECT_NEAR(xAxis[0], 1.0, 1e-12);
  EXPECT_NEAR(xAxis[1], 0.0, 1e-12);
  EXPECT_NEAR(xAxis[2], 0.0, 1e-12);
  EXPECT_EQ(cadhost::queuedInputCount(), 0u);
}

TEST_F(CommandLineTest, TransRoundTripsAndRefusesUnknownSystems) {
  EXPECT_EQ(acedCommand(RTSTR, "UCS", RTSTR, "Z", RTREAL, 90.0, RTNONE), RTNORM);
  resbuf ucs, wcs, display;
  ucs.restype = wcs.restype = display.restype = RTSHORT;
  ucs.resval.rint = 1;
  wcs.resval.rint = 0;
  display.resval.rint = 2;
  ads_point p = {1, 2, 3}, world, back;
  ASSERT_EQ(acedTrans(p, &ucs, &wcs, 0, world), RTNORM);
  EXPECT_NEAR(world[0], -2.0, 1e-12);
  EXPECT_NEAR(world[1], 1.0, 1e-12);
  ASSERT_EQ(acedTrans(world, &wcs, &ucs, 0, back), RTNORM);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(back[i], p[i], 1e-12);
  EXPECT_EQ(acedTrans(p, &display, &wcs, 0, world), RTERROR);
}

int closeResult = 0, quitResult = 0;
void closeInside() {
  closeResult = acedCommand(RTSTR, "CLOSE", RTNONE);
  quitResult = acedCommand(RTSTR, "QUIT", RTNONE);
}

TEST_F(CommandLineTest, DrawingCannotCloseUnderItsOwnCommand) {
  ASSERT_EQ(acedRegCmds->addCommand("TEST", "TEST_CLOSE", "TEST_CLOSE", 0, closeInside), Acad::eOk);
  EXPECT_EQ(cadhost::runCommand("TEST_CLOSE"), RTNORM);
  EXPECT_EQ(closeResult, RTERROR);
  EXPECT_EQ(quitResult, RTERROR);
  EXPECT_EQ(acDocManagerPtr()->documentCount(), 1);
  EXPECT_FALSE(cadhost::quitRequested());
  EXPECT_NE(cadhost::printedText().find("CLOSE is not possible while a command runs in Drawing1.dwg."),
            std::string::npos);
}

bool layerExists(const char* name) {
  AcDbLayerTable* table = nullptr;
  if (acdbHostApplicationServices()->workingDatabase()->getLayerTable(table, AcDb::kForRead) != Acad::eOk) return false;
  bool has = table->has(name);
  table->close();
  return has;
}

TEST_F(CommandLineTest, EachCommandIsOneUndoStep) {
  cadhost::queueText("LAYER new A\nLAYER new B\nU\n");
  while (cadhost::queuedInputCount() > 0) cadhost::runNextCommand();
  EXPECT_TRUE(layerExists("A"));
  EXPECT_FALSE(layerExists("B"));
  cadhost::queueText("REDO\n");
  cadhost::runNextCommand();
  EXPECT_TRUE(layerExists("B"));
  cadhost::queueText("UNDO 2\n");
  cadhost::runNextCommand();
  EXPECT_FALSE(layerExists("A"));
  EXPECT_FALSE(layerExists("B"));
}

TEST_F(CommandLineTest, LayerCommandRefusesBadRequestsAndChangesNothing) {
  struct Case {
    const char* line;
    const char* message;
  };
  const Case cases[] = {
      {"LAYER new 0", "Layer \"0\" already exists."},
      {"LAYER on Nowhere", "No layer is named \"Nowhere\"."},
      {"LAYER paint 0", "Unknown LAYER option \"paint\"."},
      {"LAYER", ""},  // the input ends at the prompt: cancelled
  };
  for (const Case& c : cases) {
    cadhost::clearPrintedText();
    cadhost::queueText(c.line);
    cadhost::runNextCommand();
    EXPECT_NE(cadhost::printedText().find(c.message), std::string::npos) << c.line << "\n" << cadhost::printedText();
  }
  AcDbLayerTable* table = nullptr;
  ASSERT_EQ(acdbHostApplicationServices()->workingDatabase()->getLayerTable(table, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(table->recordIds().size(), 1u);
  table->close();
  AcDbLayerTableRecord* zero = nullptr;
  ASSERT_EQ(acdbOpenObject(zero, acdbHostApplicationServices()->workingDatabase()->layerZero(), AcDb::kForRead),
            Acad::eOk);
  EXPECT_FALSE(zero->isOff());
  zero->close();
}

TEST_F(CommandLineTest, LayerOffAndOnShowInTheList) {
  cadhost::queueText("LAYER new Walls\nLAYER off Walls\nLAYER list\n");
  while (cadhost::queuedInputCount() > 0) cadhost::runNextCommand();
  EXPECT_NE(cadhost::printedText().find("Walls                    off"), std::string::npos) << cadhost::printedText();
}

TEST_F(CommandLineTest, UnknownCommandIsReportedAndTheLineSkipped) {
  cadhost::queueText("FROBNICATE now please\nREGENALL\n");
  EXPECT_TRUE(cadhost::runNextCommand());
  EXPECT_NE(cadhost::printedText().find("Unknown command \"FROBNICATE\"."), std::string::npos);
  EXPECT_EQ(cadhost::queuedInputCount(), 1u);  // the rest of the line went with it
  EXPECT_TRUE(cadhost::runNextCommand());
  EXPECT_NE(cadhost::printedText().find("Regenerating model."), std::string::npos);
}

TEST_F(CommandLineTest, QueuedMenuExpressionsRunWhenIdle) {
  kestrum::test::TempDir dir;
  std::ofstream(dir / "caepENU.mnu") << "***MENUGROUP=CAEP\n***POP1\n[&Inside]\n";
  cadhost::setSupportPath({dir.path().string()});
  NotificationLog log;

  // What the add-in's menu install queues: load the group, probe the bar, insert before the last.
  ASSERT_FALSE(acedIsMenuGroupLoaded("CAEP"));
  char found[4096];
  ASSERT_EQ(acedFindFile("caepENU.mnu", found, sizeof found), RTNORM);
  EXPECT_EQ(ads_queueexpr("(command \"_.menuload\" \"caepENU\")"), RTNORM);
  int d = 1;
  while (d <= 16 && acedMenuCmd(("P" + std::to_string(d) + ".1=?").c_str()) != RTNORM) ++d;
  EXPECT_EQ(d, 12);
  EXPECT_EQ(ads_queueexpr(("(menucmd \"P" + std::to_string(d - 1) + "=+caep.pop1\")").c_str()), RTNORM);
  EXPECT_FALSE(acedIsMenuGroupLoaded("CAEP"));  // nothing runs before the command line is idle

  cadhost::runQueuedExpressions();
  EXPECT_TRUE(acedIsMenuGroupLoaded("caep"));
  std::vector<std::string> bar = cadhost::menuBar();
  ASSERT_EQ(bar.size(), 12u);
  EXPECT_EQ(bar[10], "caep.pop1");
  EXPECT_EQ(bar[11], "acad.pop16");
  EXPECT_EQ(log.entries,
            (std::vector<std::string>{"E:lispWillStart (command \"_.menuload\" \"caepENU\")",
                                      "E:commandWillStart MENULOAD", "E:commandEnded MENULOAD", "E:lispEnded",
                                      "E:lispWillStart (menucmd \"P11=+caep.pop1\")", "E:lispEnded"}));

  // The bar knows which pull-downs it holds.
  EXPECT_EQ(acedMenuCmd("Gcaep.pop1=?"), RTNORM);
  EXPECT_EQ(acedMenuCmd("Gacad.pop16=?"), RTNORM);
  EXPECT_EQ(acedMenuCmd("Gacad.pop12=?"), RTERROR);

  // And what its reset queues.
  ads_queueexpr("(menucmd \"Gcaep.pop1=-\")");
  ads_queueexpr("(command  \"_.menuunload\" \"caep\")");
  ads_queueexpr("(menucmd \"P11=+acad.pop16\")");
  ads_queueexpr("(princ \"something else\")");
  cadhost::runQueuedExpressions();
  EXPECT_FALSE(acedIsMenuGroupLoaded("CAEP"));
  EXPECT_EQ(cadhost::menuBar().size(), 12u);  // inserting a pull-down on the bar adds a copy
  EXPECT_EQ(cadhost::menuBar()[10], "acad.pop16");
  EXPECT_EQ(cadhost::menuBar()[11], "acad.pop16");
  EXPECT_NE(cadhost::printedText().find("cannot evaluate (princ"), std::string::npos);
  EXPECT_EQ(cadhost::evaluatedExpressions().size(), 6u);
}

TEST_F(CommandLineTest, FindFileReportsMissingAndTooLong) {
  kestrum::test::TempDir dir;
  std::ofstream(dir / "here.txt") << "x";
  cadhost::setSupportPath({"/no/such/folder", dir.path().string()});
  char found[4096];
  EXPECT_EQ(acedFindFile("here.txt", found, sizeof found), RTNORM);
  EXPECT_EQ(std::string(found), (dir / "here.txt").string());
  EXPECT_EQ(acedFindFile("absent.txt", found, sizeof found), RTERROR);
  char tiny[4];
  EXPECT_EQ(acedFindFile("here.txt", tiny, sizeof tiny), RTERROR);
}

TEST_F(CommandLineTest, CmdechoCanBeReadSetAndRestored) {
  resbuf value;
  ASSERT_EQ(acedGetVar("CMDECHO", &value), RTNORM);
  ASSERT_EQ(value.restype, RTSHORT);
  short saved = value.resval.rint;
  value.resval.rint = 0;
  EXPECT_EQ(acedSetVar("cmdecho", &value), RTNORM);
  resbuf check;
  acedGetVar("CMDECHO", &check);
  EXPECT_EQ(check.resval.rint, 0);
  value.resval.rint = 5;
  EXPECT_EQ(acedSetVar("CMDECHO", &value), RTERROR);
  value.resval.rint = saved;
  EXPECT_EQ(acedSetVar("CMDECHO", &value), RTNORM);
  EXPECT_EQ(acedGetVar("NO_SUCH_VARIABLE", &check), RTERROR);
}

}  // namespace
