// The guarded dispatcher over the AutoCAD interface, with test handlers in the command table.
#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "CadInterface/AcCadInterface.h"
#include "amg/CaeEngine.h"
#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbtrans.h"
#include "arx/hostcmds.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadResources.h"
#include "frame_support.h"
#include "gui/utils/UIProgressDlg.h"
#include "mfc/log.h"

namespace {

// Counts the command bracketing and, when asked, faults before the dispatcher takes the depth.
class CountingCad : public AcCadInterface {
 public:
  void PrepareCommand() override { ++prepared; }
  void CommandStarting(int index) override {
    if (faultAtStart) throw CadFault(0xC0000005);
    starts.push_back(index);
  }
  void CommandEnded() override { ++ended; }
  void AbortTransaction() override {
    if (abortFailures > 0) {
      --abortFailures;
      throw CaeExcept(CaeString("abort refused"));
    }
    AcCadInterface::AbortTransaction();
  }
  int prepared = 0;
  int ended = 0;
  bool faultAtStart = false;
  int abortFailures = 0;  // the next aborts that raise instead of aborting
  std::vector<int> starts;
};

std::vector<int> handled;
int nestedIndex = 0;
int transactionChange = 0;

template <int Index>
int recordingHandler() {
  handled.push_back(Index);
  return 0;
}

// Runs `nestedIndex` while the outer command is busy.
int nestingHandler() {
  handled.push_back(30);
  cmdRun(nestedIndex);
  return 0;
}

// Leaves one transaction open (+1) or closes one too many (-1).
int unbalancedHandler() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (transactionChange > 0) cad->StartTransaction();
  if (transactionChange < 0) cad->EndTransaction();
  return 0;
}

enum class Failure { Engine, Fault, Foreign };
Failure failure = Failure::Engine;

// Takes the document lock and opens the progress dialog, then fails.
int failingHandler() {
  CadInterface::GetCurrent()->StartTransaction();
  EXPECT_EQ(CadInterface::GetCurrent()->LockDocument(), 1);
  CaeString title("Working");
  UIProgressControl(0, &title);
  switch (failure) {
    case Failure::Engine: throw CaeExcept(CaeString("Engine gave up"));
    case Failure::Fault: throw CadFault(0xC0000005);
    case Failure::Foreign: throw std::runtime_error("library error");
  }
  return 0;
}

int lockOnlyHandler() {
  CadInterface::GetCurrent()->LockDocument();
  return 0;
}

class DispatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CaeEngine::ResetState();
    cadhost::clearPrintedText();
    mfc::clearLog();
    cadhost::startHost(true);
    resSetModuleState(resLoadResourceModule(), nullptr);
    cad = new CountingCad;
    cmdInitRunTimeEntries();
    cmdResetState();
    handled.clear();
  }
  void TearDown() override {
    cmdInitRunTimeEntries();
    cmdResetState();
    while (openTransactions() > 0) acCurrentTransactionManager()->endTransaction();
    delete cad;
    resResetModuleState();
    cadhost::shutdownHost();
    cadhost::clearPrintedText();
  }
  static int openTransactions() {
    AcDbTransactionManager* transactions = acCurrentTransactionManager();
    return transactions ? transactions->numActiveTransactions() : 0;
  }
  static AcAp::DocLockMode lockMode() { return acDocManagerPtr()->curDocument()->myLockMode(); }

  CountingCad* cad = nullptr;
  RecordingDriver driver;
  mfc::ScopedUserDriver scopedDriver{&driver};
};

struct GuardCase {
  const char* name;
  bool busy;  // the index is run from inside another command
  bool pickPending;
  int index;
  std::vector<int> expectedHandled;  // 30 is the outer command
  bool expectBeep;
  bool pendingAfter;
};

class DispatcherGuardTest : public DispatcherTest, public ::testing::WithParamInterface<GuardCase> {};

TEST_P(DispatcherGuardTest, RunsResumesOrBeeps) {
  const GuardCase& c = GetParam();
  cmdReplaceHandler(5, recordingHandler<5>);
  cmdReplaceHandler(7, recordingHandler<7>);
  cmdReplaceHandler(30, nestingHandler);
  cmdSaveIndex(7);
  if (c.pickPending) cmdSetPickPending();
  if (c.busy) {
    nestedIndex = c.index;
    // A pick pending would stop the outer command itself: take it only once inside.
    if (c.pickPending) {
      cmdClearPickPending();
      cmdReplaceHandler(30, [] {
        handled.push_back(30);
        cmdSetPickPending();
        cmdRun(nestedIndex);
        return 0;
      });
    }
    cmdRun(30);
  } else {
    cmdRun(c.index);
  }
  EXPECT_EQ(handled, c.expectedHandled);
  EXPECT_EQ(beeped(), c.expectBeep);
  EXPECT_EQ(cmdIsPickPending(), c.pendingAfter ? 1 : 0);
  EXPECT_EQ(cmdIsBusy(), c.pendingAfter ? 1 : 0);
  EXPECT_EQ(openTransactions(), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, DispatcherGuardTest,
                         ::testing::Values(GuardCase{"IdleRuns", false, false, 5, {5}, false, false},
                                           GuardCase{"PickPendingBeeps", false, true, 5, {}, true, true},
                                           GuardCase{"ResumeRunsSavedIndex", false, true, 52, {7}, false, false},
                                           GuardCase{"ResumeWithoutPickIsOrdinary", false, false, 52, {}, false, false},
                                           GuardCase{"BusyBeeps", true, false, 5, {30}, true, false},
                                           GuardCase{"BusyResumeBeepsWithoutPick", true, false, 52, {30}, true, false},
                                           GuardCase{
                                               "BusyResumeNeverRunsSavedIndex", true, true, 52, {30}, true, true}),
                         [](const ::testing::TestParamInfo<GuardCase>& info) { return std::string(info.param.name); });

TEST_F(DispatcherTest, UndoEntryDoesNotPrepareACommand) {
  cmdReplaceHandler(50, recordingHandler<50>);
  cmdReplaceHandler(5, recordingHandler<5>);
  cmdRun(50);
  EXPECT_EQ(cad->prepared, 0);
  cmdRun(5);
  EXPECT_EQ(cad->prepared, 1);
  EXPECT_EQ(cad->starts, (std::vector<int>{50, 5}));
  EXPECT_EQ(cad->ended, 2);
}

TEST_F(DispatcherTest, EachCommandRunsInsideOneTransaction) {
  static int depthSeen = -1;
  cmdReplaceHandler(5, [] {
    depthSeen = acCurrentTransactionManager()->numActiveTransactions();
    return 0;
  });
  acCurrentTransactionManager()->startTransaction();
  cmdRun(5);
  EXPECT_EQ(depthSeen, 2);
  EXPECT_EQ(openTransactions(), 1);
  EXPECT_EQ(cad->TransactionBaseDepth(), 1);
  EXPECT_TRUE(driver.boxes.empty());
}

struct FailureCase {
  const char* name;
  Failure failure;
  const char* report;  // command-line text or box text that must appear
  bool inBox;
};

class DispatcherFailureTest : public DispatcherTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(DispatcherFailureTest, RecoveryRestoresDepthFlagsLockAndProgress) {
  const FailureCase& c = GetParam();
  failure = c.failure;
  cmdReplaceHandler(5, failingHandler);
  acCurrentTransactionManager()->startTransaction();
  cmdRun(5);
  EXPECT_EQ(openTransactions(), 1);
  EXPECT_EQ(cmdIsBusy(), 0);
  EXPECT_EQ(UIProgressDialog(), nullptr);
  EXPECT_EQ(cad->HoldsDocumentLock(), 0);
  EXPECT_EQ(lockMode(), AcAp::kNotLocked);
  EXPECT_EQ(cad->ended, 1);
  if (c.inBox) {
    ASSERT_EQ(driver.boxes.size(), 1u);
    EXPECT_EQ(driver.boxes[0], c.report);
  } else {
    EXPECT_TRUE(driver.boxes.empty());
    EXPECT_NE(cadhost::printedText().find(c.report), std::string::npos) << cadhost::printedText();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DispatcherFailureTest,
    ::testing::Values(FailureCase{"EngineException", Failure::Engine, "\nEngine gave up", false},
                      FailureCase{"Fault", Failure::Fault, "TLX Unhandled Exception: C0000005 ", true},
                      FailureCase{"ForeignException", Failure::Foreign, "TLX Unhandled Exception: E06D7363 ", true}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// A message table whose fault report is only a line break: the report's text comes out empty,
// so the report declines and the fault travels on to the host.
CaeString lineBreakOnly(std::uint32_t, const CaeArray<CaeString>*) { return CaeString("\r\n"); }

// Exceptions that leave the dispatcher unrecovered on their way to the host still leave the
// command idle: depth restored, busy flag clear, progress closed, command ended.
TEST_F(DispatcherTest, ExceptionsThatTravelOnLeaveTheCommandRecovered) {
  struct Case {
    const char* name;
    Failure failure;
    int abortFailures;
    bool declineReport;
  };
  const Case cases[] = {{"declined fault report", Failure::Fault, 0, true},
                        {"declined foreign exception report", Failure::Foreign, 0, true},
                        {"recovery that raises", Failure::Engine, 1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto previous =
        CaeMsgTxt::SetOverrideMsgRtn(c.declineReport ? lineBreakOnly : CaeMsgTxt::GetOverrideMsgRtn());
    failure = c.failure;
    cad->abortFailures = c.abortFailures;
    cad->ended = 0;
    cmdReplaceHandler(5, failingHandler);
    acCurrentTransactionManager()->startTransaction();
    if (c.declineReport)
      EXPECT_THROW(cmdRun(5), CadFault);
    else
      EXPECT_THROW(cmdRun(5), CaeExcept);
    CaeMsgTxt::SetOverrideMsgRtn(previous);
    EXPECT_TRUE(driver.boxes.empty());
    EXPECT_EQ(openTransactions(), 1);
    EXPECT_EQ(cmdIsBusy(), 0);
    EXPECT_EQ(UIProgressDialog(), nullptr);
    EXPECT_EQ(cad->HoldsDocumentLock(), 0);
    EXPECT_GE(cad->ended, 1);
    acCurrentTransactionManager()->endTransaction();
  }
}

TEST_F(DispatcherTest, FaultBeforeTheDepthIsTakenAbortsNothingOpenBefore) {
  cmdReplaceHandler(5, recordingHandler<5>);
  acCurrentTransactionManager()->startTransaction();
  acCurrentTransactionManager()->startTransaction();
  cad->faultAtStart = true;
  cmdRun(5);
  EXPECT_EQ(openTransactions(), 2);
  EXPECT_TRUE(handled.empty());
  EXPECT_EQ(cmdIsBusy(), 0);
  ASSERT_EQ(driver.boxes.size(), 1u);
  EXPECT_EQ(driver.boxes[0], "TLX Unhandled Exception: C0000005 ");
}

TEST_F(DispatcherTest, ExceptionTextIsPrintedVerbatim) {
  cmdReplaceHandler(5, []() -> int { throw CaeExcept(CaeString("100% %s %d done")); });
  cmdRun(5);
  EXPECT_NE(cadhost::printedText().find("\n100% %s %d done"), std::string::npos) << cadhost::printedText();
}

struct RegenCase {
  const char* name;
  int index;
  int change;  // transactions the handler leaves open (+1) or closes too many (-1)
  bool expectRegen;
};

class DispatcherRegenTest : public DispatcherTest, public ::testing::WithParamInterface<RegenCase> {};

TEST_P(DispatcherRegenTest, RegeneratesOnlyModelAndExplorerWhenBalanced) {
  const RegenCase& c = GetParam();
  transactionChange = c.change;
  cmdReplaceHandler(c.index, unbalancedHandler);
  // An outer transaction lets a handler close one too many without emptying the stack.
  acCurrentTransactionManager()->startTransaction();
  CommandRecorder commands;
  cmdRun(c.index);
  EXPECT_EQ(commands.saw("REGENALL"), c.expectRegen);
  const bool balanced = c.change == 0;
  EXPECT_EQ(driver.boxes,
            balanced ? std::vector<std::string>{} : std::vector<std::string>{"A transaction was left open!"});
  EXPECT_EQ(openTransactions(), 1 + c.change);
}

INSTANTIATE_TEST_SUITE_P(Table, DispatcherRegenTest,
                         ::testing::Values(RegenCase{"ModelBalanced", 4, 0, true},
                                           RegenCase{"ExplorerBalanced", 8, 0, true},
                                           RegenCase{"OtherCommand", 5, 0, false},
                                           RegenCase{"ModelLeftOpen", 4, 1, false},
                                           RegenCase{"ExplorerClosedTooMany", 8, -1, false}),
                         [](const ::testing::TestParamInfo<RegenCase>& info) { return std::string(info.param.name); });

TEST_F(DispatcherTest, RouteLocksAndUnlocksOnceEvenWhenRecoveryReleasedTheLock) {
  // The guide is never modeless yet, so the route runs the handler directly and takes no lock.
  cmdReplaceHandler(40, lockOnlyHandler);
  cmdRoute(40);
  EXPECT_EQ(cad->HoldsDocumentLock(), 1);
  cad->UnlockDocument();

  // The explicit pair: an unlock after recovery released the lock never locks again.
  cmdReplaceHandler(5, []() -> int { throw CaeExcept(CaeString("no")); });
  EXPECT_EQ(CadInterface::GetCurrent()->LockDocument(), 1);
  EXPECT_EQ(CadInterface::GetCurrent()->LockDocument(), 0);
  cmdRun(5);
  EXPECT_EQ(CadInterface::GetCurrent()->UnlockDocument(), 0);
  EXPECT_EQ(cad->HoldsDocumentLock(), 0);
  EXPECT_EQ(lockMode(), AcAp::kNotLocked);
}

TEST_F(DispatcherTest, ReportExceptionFormatsTheCodeInUpperCaseHex) {
  EXPECT_EQ(cmdReportException(0xdeadbeef), IDOK);
  ASSERT_EQ(driver.boxes.size(), 1u);
  EXPECT_EQ(driver.boxes[0], "TLX Unhandled Exception: DEADBEEF ");
}

template <std::size_t... I>
std::array<CadCommandHandler, sizeof...(I)> recordingHandlers(std::index_sequence<I...>) {
  return {&recordingHandler<static_cast<int>(I)>...};
}

// Every entry stub reaches the handler of its own record, whichever way it goes (dispatcher,
// wizard-page route, direct call), and the dispatcher starts the command at that index.
TEST_F(DispatcherTest, EveryEntryStubReachesItsOwnRecord) {
  const auto handlers = recordingHandlers(std::make_index_sequence<kCmdCount>());
  for (int i = 0; i < kCmdCount; ++i) cmdReplaceHandler(i, handlers[static_cast<std::size_t>(i)]);
  const CommandRecord* table = cmdTable();
  for (int i = 0; i < kCmdCount; ++i) {
    handled.clear();
    cad->starts.clear();
    table[i].stub();
    EXPECT_EQ(handled, std::vector<int>{i}) << i;
    const bool guarded = i < cmdIndex(CadCommand::ProblemDefinitionStep) || i >= cmdIndex(CadCommand::PrintSetup);
    EXPECT_EQ(cad->starts, guarded ? std::vector<int>{i} : std::vector<int>{}) << i;
  }
  EXPECT_EQ(openTransactions(), 0);
}

TEST_F(DispatcherTest, TableHasFiftyThreeRecordsAndTheRegisteredNamesFirst) {
  const CommandRecord* table = cmdTable();
  int named = 0;
  while (table[named].nameId != 0) ++named;
  EXPECT_EQ(named, 38);
  for (int i = 38; i < kCmdCount; ++i) {
    EXPECT_EQ(table[i].nameId, 0u) << i;
    EXPECT_NE(table[i].stub, nullptr) << i;
    EXPECT_NE(table[i].handler, nullptr) << i;
  }
  EXPECT_EQ(table[kCmdCount].stub, nullptr);
  EXPECT_EQ(table[kCmdCount].handler, nullptr);
  EXPECT_THROW(cmdRun(kCmdCount), CaeExcept);
}

// A bad index raised from inside a running command leaves that command running and whole.
TEST_F(DispatcherTest, ABadIndexFromInsideACommandDoesNotEndIt) {
  cmdReplaceHandler(5, [] {
    EXPECT_THROW(cmdRun(-1), CaeExcept);
    EXPECT_EQ(cmdIsBusy(), 1);
    handled.push_back(5);
    return 0;
  });
  cmdRun(5);
  EXPECT_EQ(handled, std::vector<int>{5});
  EXPECT_EQ(cad->ended, 1);
  EXPECT_EQ(cmdIsBusy(), 0);
  EXPECT_EQ(openTransactions(), 0);
}

}  // namespace
