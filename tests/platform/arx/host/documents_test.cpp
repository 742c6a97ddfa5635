#include <algorithm>
#include <fstream>
#include <functional>
#include <stdexcept>

#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "host_fixture.h"
#include "test_env.h"

namespace {

using Log = std::vector<std::string>;
using kestrum::test::TempDir;

AcApDocManager& docs() { return *acDocManagerPtr(); }

// Runs a command with its answers, as typed.
int type(const std::string& command, const std::vector<std::string>& answers = {}) {
  cadhost::pushFrontWords(answers);
  return cadhost::runCommand(command);
}

struct SequenceCase {
  const char* name;
  std::function<void(const TempDir&)> prepare;
  std::function<void(const TempDir&)> act;
  Log expected;
};

void PrintTo(const SequenceCase& c, std::ostream* os) { *os << c.name; }

const Log kNewFromOther = {
    "D:documentCreateStarted", "D:documentToBeDeactivated", "D:documentToBeActivated", "D:documentBecameCurrent",
    "E:databaseConstructed",   "D:documentCreated",         "D:documentActivated",     "M:3"};

class DocumentSequenceTest : public HostTest, public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(DocumentSequenceTest, NotifiesInTheDocumentedOrder) {
  const SequenceCase& c = GetParam();
  TempDir dir;
  NotificationLog log;
  log.loadLoggingApplication();
  c.prepare(dir);
  log.take();
  c.act(dir);
  EXPECT_EQ(log.take(), c.expected) << cadhost::printedText();
}

void saveAs(const TempDir& dir, const char* name) { ASSERT_EQ(type("SAVEAS", {(dir / name).string()}), RTNORM); }

const SequenceCase kSequences[] = {
    {"NewAsFirstDrawing",
     [](const TempDir&) {},
     [](const TempDir&) { docs().newDocument(); },
     {"D:documentCreateStarted", "D:documentToBeActivated", "D:documentBecameCurrent", "E:databaseConstructed",
      "D:documentCreated", "D:documentActivated", "M:3"}},
    {"NewBesideAnother", [](const TempDir&) { docs().newDocument(); }, [](const TempDir&) { docs().newDocument(); },
     kNewFromOther},
    {"Open",
     [](const TempDir& dir) {
       docs().newDocument();
       saveAs(dir, "a.dwg");
       docs().closeDocument(docs().curDocument());
       docs().newDocument();
     },
     [](const TempDir& dir) { ASSERT_TRUE(docs().openDocument((dir / "a.dwg").string())); },
     {"D:documentCreateStarted", "D:documentToBeDeactivated", "D:documentToBeActivated", "D:documentBecameCurrent",
      "E:databaseConstructed", "E:dwgFileOpened", "E:initialDwgFileOpenComplete", "D:documentCreated",
      "D:documentActivated", "M:3"}},
    {"Switch",
     [](const TempDir&) {
       docs().newDocument();
       docs().newDocument();
     },
     [](const TempDir&) {
       AcApDocumentIterator* it = docs().newAcApDocumentIterator();
       AcApDocument* first = it->document();
       delete it;
       docs().activateDocument(first);
     },
     {"D:documentToBeDeactivated", "D:documentToBeActivated", "D:documentBecameCurrent", "D:documentActivated"}},
    {"Qsave",
     [](const TempDir& dir) {
       docs().newDocument();
       saveAs(dir, "q.dwg");
     },
     [](const TempDir&) { EXPECT_EQ(type("QSAVE"), RTNORM); },
     {"E:commandWillStart QSAVE", "E:beginSave", "E:saveComplete", "E:commandEnded QSAVE"}},
    {"SaveAs",
     [](const TempDir&) { docs().newDocument(); },
     [](const TempDir& dir) { saveAs(dir, "s.dwg"); },
     {"E:commandWillStart SAVEAS", "E:beginSave", "E:saveComplete", "E:commandEnded SAVEAS"}},
    {"SaveAsCancelled",
     [](const TempDir&) { docs().newDocument(); },
     [](const TempDir&) {
       cadhost::queueEscape();
       EXPECT_EQ(cadhost::runCommand("SAVEAS"), RTCAN);
     },
     {"E:commandWillStart SAVEAS", "E:commandCancelled SAVEAS"}},
    {"SaveAsIntoMissingFolder",
     [](const TempDir&) { docs().newDocument(); },
     [](const TempDir& dir) { EXPECT_EQ(type("SAVEAS", {(dir / "no/such/folder/x.dwg").string()}), RTERROR); },
     {"E:commandWillStart SAVEAS", "E:beginSave", "E:abortSave", "E:commandFailed SAVEAS"}},
    {"CloseWithAnotherOpen",
     [](const TempDir&) {
       docs().newDocument();
       docs().newDocument();
     },
     [](const TempDir&) { docs().closeDocument(docs().curDocument()); },
     {"E:beginClose", "M:4", "D:documentToBeDestroyed", "E:databaseToBeDestroyed", "D:documentDestroyed",
      "D:documentToBeActivated", "D:documentBecameCurrent", "D:documentActivated"}},
    {"CloseLast",
     [](const TempDir&) { docs().newDocument(); },
     [](const TempDir&) { docs().closeDocument(docs().curDocument()); },
     {"E:beginClose", "M:4", "D:documentToBeDestroyed", "E:databaseToBeDestroyed", "D:documentDestroyed"}},
    {"Quit",
     [](const TempDir&) { docs().newDocument(); },
     [](const TempDir&) { docs().quit(); },
     {"M:8", "E:beginClose", "M:4", "D:documentToBeDestroyed", "E:databaseToBeDestroyed", "D:documentDestroyed",
      "M:2"}},
};

INSTANTIATE_TEST_SUITE_P(Sequences, DocumentSequenceTest, ::testing::ValuesIn(kSequences),
                         [](const auto& info) { return std::string(info.param.name); });

using DocumentTest = HostTest;

TEST_F(DocumentTest, NewDrawingIsCurrentWhenItsDatabaseIsConstructed) {
  TempDir dir;
  NotificationLog log;
  docs().newDocument();
  saveAs(dir, "a.dwg");
  docs().newDocument();
  ASSERT_TRUE(docs().openDocument((dir / "a.dwg").string()));  // a drawing already open is only activated
  docs().closeDocument(docs().curDocument());
  ASSERT_TRUE(docs().openDocument((dir / "a.dwg").string()));
  EXPECT_EQ(log.constructedWhileCurrent, (std::vector<bool>{true, true, true}));
}

TEST_F(DocumentTest, WorkingDatabaseFollowsTheCurrentDocument) {
  AcApDocument* first = docs().newDocument();
  AcApDocument* second = docs().newDocument();
  EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), second->database());
  docs().activateDocument(first);
  EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), first->database());
  EXPECT_EQ(docs().document(first->database()), first);
  docs().closeDocument(first);
  EXPECT_EQ(docs().curDocument(), second);
  EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), second->database());
  docs().closeDocument(second);
  EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), nullptr);
  EXPECT_EQ(docs().curDocument(), nullptr);
}

TEST_F(DocumentTest, IteratorVisitsDocumentsInOpeningOrder) {
  AcApDocument* a = docs().newDocument();
  AcApDocument* b = docs().newDocument();
  docs().activateDocument(a);
  std::vector<AcApDocument*> seen;
  AcApDocumentIterator* it = docs().newAcApDocumentIterator();
  for (; !it->done(); it->step()) seen.push_back(it->document());
  delete it;
  EXPECT_EQ(seen, (std::vector<AcApDocument*>{a, b}));
  EXPECT_STREQ(a->fileName(), "Drawing1.dwg");
  EXPECT_STREQ(b->fileName(), "Drawing2.dwg");
  EXPECT_EQ(a->transactionManager(), a->database()->transactionManager());
}

TEST_F(DocumentTest, DamagedDrawingOpensNothingAndLeavesTheFileAlone) {
  TempDir dir;
  const std::string bytes = "not a drawing at all\n";
  std::string path = (dir / "bad.dwg").string();
  { std::ofstream(path, std::ios::binary) << bytes; }
  AcApDocument* before = docs().newDocument();
  NotificationLog log;
  EXPECT_EQ(docs().openDocument(path), nullptr);
  EXPECT_EQ(docs().documentCount(), 1);
  EXPECT_EQ(docs().curDocument(), before);
  EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), before->database());
  EXPECT_EQ(kestrum::test::readFile(path), bytes);
  EXPECT_NE(cadhost::printedText().find("nothing was opened"), std::string::npos);
  EXPECT_EQ(log.entries, (Log{"D:documentCreateStarted", "D:documentToBeDeactivated", "D:documentToBeActivated",
                              "D:documentBecameCurrent", "E:databaseConstructed", "D:documentToBeDestroyed",
                              "E:databaseToBeDestroyed", "D:documentDestroyed", "D:documentToBeActivated",
                              "D:documentBecameCurrent", "D:documentActivated"}));
}

TEST_F(DocumentTest, MissingDrawingNotifiesNothing) {
  docs().newDocument();
  NotificationLog log;
  EXPECT_EQ(docs().openDocument("/no/such/drawing.dwg"), nullptr);
  EXPECT_TRUE(log.entries.empty());
  EXPECT_NE(cadhost::printedText().find("Cannot find the file \"/no/such/drawing.dwg\""), std::string::npos);
}

// A reactor that throws from every notification it gets.
struct ThrowingReactor : AcApDocManagerReactor, AcEditorReactor {
  void documentCreated(AcApDocument*) override { throw std::runtime_error("reactor broke"); }
  void commandWillStart(const char*) override { throw 42; }
};

TEST_F(DocumentTest, ThrowingReactorDoesNotStopTheHostOrOtherReactors) {
  ThrowingReactor thrower;
  docs().addReactor(&thrower);
  acedEditor->addReactor(&thrower);
  NotificationLog log;  // registered after the thrower, so it is notified after it
  AcApDocument* doc = docs().newDocument();
  EXPECT_EQ(cadhost::runCommand("REGENALL"), RTNORM);
  docs().removeReactor(&thrower);
  acedEditor->removeReactor(&thrower);
  ASSERT_NE(doc, nullptr);
  EXPECT_NE(std::find(log.entries.begin(), log.entries.end(), "D:documentCreated"), log.entries.end());
  EXPECT_NE(std::find(log.entries.begin(), log.entries.end(), "E:commandEnded REGENALL"), log.entries.end());
  EXPECT_NE(cadhost::printedText().find("documentCreated failed: reactor broke"), std::string::npos);
  EXPECT_NE(cadhost::printedText().find("commandWillStart failed."), std::string::npos);
}

TEST_F(DocumentTest, LocksNestAndResourceHandlesStack) {
  AcApDocument* doc = docs().newDocument();
  EXPECT_EQ(doc->myLockMode(), AcAp::kNotLocked);
  EXPECT_EQ(docs().lockDocument(doc, AcAp::kRead), Acad::eOk);
  EXPECT_EQ(docs().lockDocument(doc, AcAp::kWrite, "FEA_EXPLORER", nullptr, true), Acad::eOk);
  EXPECT_EQ(docs().lockDocument(doc, AcAp::kRead), Acad::eOk);
  EXPECT_EQ(doc->myLockMode(), AcAp::kWrite);  // the strongest mode taken
  EXPECT_EQ(docs().unlockDocument(doc), Acad::eOk);
  EXPECT_EQ(docs().unlockDocument(doc), Acad::eOk);
  EXPECT_EQ(doc->myLockMode(), AcAp::kWrite);
  EXPECT_EQ(docs().unlockDocument(doc), Acad::eOk);
  EXPECT_EQ(doc->myLockMode(), AcAp::kNotLocked);
  EXPECT_EQ(docs().unlockDocument(doc), Acad::eNotFound);

  int a = 0, b = 0;
  docs().pushResourceHandle(&a);
  docs().pushResourceHandle(&b);
  EXPECT_EQ(docs().currentResourceHandle(), &b);
  docs().popResourceHandle();
  EXPECT_EQ(docs().currentResourceHandle(), &a);
  docs().popResourceHandle();
  docs().popResourceHandle();  // an extra pop changes nothing
  EXPECT_EQ(docs().resourceHandleDepth(), 0);
}

}  // namespace
