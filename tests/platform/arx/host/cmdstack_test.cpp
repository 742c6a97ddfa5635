#include "arx/accmd.h"
#include "arx/acutads.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "host_fixture.h"

namespace {

int calls = 0;
void countCall() { ++calls; }
void otherCall() { calls += 100; }
void needsPoint() {
  ads_point p;
  acedGetPoint(nullptr, "\nPoint: ", p);
}

class CommandStackTest : public HostTest {
 protected:
  void TearDown() override {
    acedRegCmds->removeGroup("CAEP");
    acedRegCmds->removeGroup("OTHER");
    HostTest::TearDown();
  }
};

TEST_F(CommandStackTest, AddLookupAndRemoveGroup) {
  AcEdCommand* added = nullptr;
  ASSERT_EQ(acedRegCmds->addCommand("CAEP", "CAEP_MESH", "CAEP_MESH", ACRX_CMD_MODAL, countCall, nullptr, -1, nullptr,
                                    &added),
            Acad::eOk);
  ASSERT_EQ(acedRegCmds->addCommand("CAEP", "CAEP_MODEL", "caep_modell", ACRX_CMD_MODAL, countCall), Acad::eOk);
  EXPECT_EQ(acedRegCmds->lookupGlobalCmd("caep_mesh"), added);
  EXPECT_STREQ(acedRegCmds->lookupLocalCmd("CAEP_MODELL")->globalName(), "CAEP_MODEL");
  EXPECT_EQ(acedRegCmds->lookupGlobalCmd("caep_modell"), nullptr);
  EXPECT_EQ(acedRegCmds->commandsOfGroup("caep").size(), 2u);

  EXPECT_EQ(acedRegCmds->removeGroup("CAEP"), Acad::eOk);
  EXPECT_EQ(acedRegCmds->lookupCmd("CAEP_MESH"), nullptr);
  EXPECT_EQ(acedRegCmds->removeGroup("CAEP"), Acad::eKeyNotFound);
}

TEST_F(CommandStackTest, RefusesDuplicatesAndMissingParts) {
  struct Case {
    const char* group;
    const char* global;
    const char* local;
    AcRxFunctionPtr function;
    Acad::ErrorStatus expected;
  };
  ASSERT_EQ(acedRegCmds->addCommand("CAEP", "ONE", "EINS", 0, countCall), Acad::eOk);
  const Case cases[] = {
      {"caep", "one", "other", countCall, Acad::eDuplicateKey},
      {"CAEP", "TWO", "eins", countCall, Acad::eDuplicateKey},
      {"OTHER", "ONE", "EINS", otherCall, Acad::eOk},  // another group may reuse names
      {"", "THREE", "THREE", countCall, Acad::eInvalidInput},
      {"CAEP", nullptr, "THREE", countCall, Acad::eInvalidInput},
      {"CAEP", "THREE", "THREE", nullptr, Acad::eInvalidInput},
  };
  for (const Case& c : cases)
    EXPECT_EQ(acedRegCmds->addCommand(c.group, c.global, c.local, 0, c.function), c.expected)
        << c.group << " " << (c.global ? c.global : "(null)");
  // The group registered last is on top of the stack.
  EXPECT_STREQ(acedRegCmds->lookupCmd("ONE")->groupName(), "OTHER");
  acedRegCmds->removeGroup("OTHER");
  EXPECT_STREQ(acedRegCmds->lookupCmd("ONE")->groupName(), "CAEP");
}

TEST_F(CommandStackTest, RegisteredCommandRunsByNameInsideCommandNotifications) {
  acDocManagerPtr()->newDocument();
  ASSERT_EQ(acedRegCmds->addCommand("CAEP", "CAEP_MESH", "CAEP_MESH", 0, countCall), Acad::eOk);
  NotificationLog log;
  calls = 0;
  EXPECT_EQ(cadhost::runCommand("_caep_mesh"), RTNORM);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(log.entries, (std::vector<std::string>{"E:commandWillStart CAEP_MESH", "E:commandEnded CAEP_MESH"}));
  EXPECT_EQ(cadhost::runCommand("CAEP_NOPE"), RTERROR);
  EXPECT_NE(cadhost::printedText().find("Unknown command \"CAEP_NOPE\""), std::string::npos);
}

TEST_F(CommandStackTest, BuiltinNamesWinOverRegisteredOnes) {
  acDocManagerPtr()->newDocument();
  ASSERT_EQ(acedRegCmds->addCommand("CAEP", "REGENALL", "REGENALL", 0, countCall), Acad::eOk);
  calls = 0;
  EXPECT_EQ(cadhost::runCommand("REGENALL"), RTNORM);
  EXPECT_EQ(calls, 0);
}

TEST_F(CommandStackTest, CommandWaitingForInputIsNotQuiescent) {
  AcApDocument* doc = acDocManagerPtr()->newDocument();
  ASSERT_EQ(acedRegCmds->addCommand("CAEP", "ASK", "ASK", 0, needsPoint), Acad::eOk);
  bool quiescentWhileAsking = true;
  AcAp::DocLockMode lockWhileAsking = AcAp::kNotLocked;
  cadhost::setInputSource([&](std::string& line) {
    quiescentWhileAsking = doc->isQuiescent();
    lockWhileAsking = doc->myLockMode();
    line = "1,2";
    return true;
  });
  EXPECT_TRUE(doc->isQuiescent());
  EXPECT_EQ(cadhost::runCommand("ASK"), RTNORM);
  EXPECT_FALSE(quiescentWhileAsking);
  EXPECT_EQ(lockWhileAsking, AcAp::kWrite);
  EXPECT_TRUE(doc->isQuiescent());
  EXPECT_EQ(doc->myLockMode(), AcAp::kNotLocked);
}

}  // namespace
