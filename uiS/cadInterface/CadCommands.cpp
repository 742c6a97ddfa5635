#include "cadInterface/CadCommands.h"

#include <cstdio>
#include <utility>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/CadTransactionScope.h"
#include "cadInterface/CadUiServices.h"
#include "mfc/afx.h"
#include "res/ResourceIds.h"

namespace {

// The fault report box shows at most this many characters.
constexpr int kReportMaxLength = 127;

bool commandRunning = false;
bool pickPending = false;
int savedIndex = 0;

// The record of `index`; an index outside the table is a consistency check.
const CommandRecord& recordAt(int index) {
  CAE_CHECK(index >= 0 && index < kCmdCount);
  return cmdTable()[index];
}

// The handler's run between the start and the end of the command's transaction.
void runInsideTransaction(CadInterface& cad, int index, int& depth) {
  ResourceSetter resources(1);
  depth = cad.NumActiveTransactions();
  cad.SetTransactionBaseDepth(depth);
  cad.StartTransaction();
  if (CadCommandHandler handler = recordAt(index).handler) handler();
  cad.RefreshAfterCommand();
  cad.RebuildExplorer();
  cad.EndTransaction();
  const int now = cad.NumActiveTransactions();
  // A full regeneration only when the handler left the transactions balanced.
  if (now == depth && (index == kCmdModel || index == kCmdExplorer)) cad.RegenAll();
  cmdCheckTransactions(depth, now);
}

// Asked for afresh after the run rather than kept from before it: the command may have ended
// the interface it started with.
void unlockCurrentDocument() {
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->UnlockDocument();
}

}  // namespace

namespace {

// Runs the dispatcher's recovery when a command is left by an exception that nothing recovered
// from: a fault whose report declined, an engine exception raised by the recovery itself.
class RecoveryGuard {
 public:
  explicit RecoveryGuard(const int& depth) : depth_(depth) {}
  ~RecoveryGuard() {
    if (!armed_) return;
    try {
      cmdRecover(depth_);
    } catch (...) {
      // The recovery failed part way: at least the next command must not beep for ever.
      commandRunning = false;
    }
  }
  RecoveryGuard(const RecoveryGuard&) = delete;
  RecoveryGuard& operator=(const RecoveryGuard&) = delete;
  void Dismiss() { armed_ = false; }

 private:
  const int& depth_;
  bool armed_ = true;
};

}  // namespace

void cmdRun(int index) {
  // An index outside the table never becomes a command: nothing to recover (and a nested call
  // must not end the command that is running).
  CAE_CHECK(index >= 0 && index < kCmdCount);
  CadInterface* cad = CadInterface::GetCurrent();
  // Until the dispatcher has taken the depth, recovery must not abort what was open before.
  int depth = cad ? cad->NumActiveTransactions() : 0;
  RecoveryGuard guard(depth);
  std::uint32_t faultCode = 0;
  try {
    cmdDispatch(index, depth);
    guard.Dismiss();
    return;
  } catch (const CaeExcept&) {
    throw;
  } catch (const CadFault& fault) {
    faultCode = fault.Code();
  } catch (...) {
    faultCode = kCmdForeignExceptionCode;
  }
  if (cmdReportException(faultCode) == 0) throw CadFault(faultCode);
  guard.Dismiss();
  cmdRecover(depth);
}

void cmdDispatch(int index, int& depth) {
  CAE_CHECK(index >= 0 && index < kCmdCount);
  CadInterface* cad = CadInterface::GetCurrent();
  CAE_CHECK(cad != nullptr);
  if (commandRunning || pickPending) {
    // A stale saved index must never run nested inside a running command.
    if (index != kCmdResume || commandRunning) {
      MessageBeep(0);
      return;
    }
    pickPending = false;
    index = savedIndex;
    CAE_CHECK(index >= 0 && index < kCmdCount);
  } else if (index != kCmdUndo) {
    cad->PrepareCommand();
  }
  cad->CommandStarting(index);
  commandRunning = true;
  try {
    runInsideTransaction(*cad, index, depth);
  } catch (const CaeExcept& error) {
    cad->PrintMessage(error.String().Text());
    cmdRecover(depth);
    return;
  }
  commandRunning = false;
  cad->CommandEnded();
}

void cmdRoute(int index) {
  const CommandRecord& record = recordAt(index);
  if (!UIIsWizardModeless()) {
    if (record.handler) record.handler();
    return;
  }
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->LockDocument();
  try {
    cmdRun(index);
  } catch (...) {
    unlockCurrentDocument();
    throw;
  }
  unlockCurrentDocument();
}

int cmdIsBusy() { return commandRunning || pickPending ? 1 : 0; }
int cmdIsPickPending() { return pickPending ? 1 : 0; }
int cmdSetPickPending() { return std::exchange(pickPending, true) ? 1 : 0; }
int cmdClearPickPending() {
  pickPending = false;
  return 0;
}
int cmdSavedIndex() { return savedIndex; }
int cmdSaveIndex(int index) { return std::exchange(savedIndex, index); }

void cmdRecover(int depth) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (cad) {
    CadTransactionScope::AbortDownTo(*cad, depth);
    if (HWND main = cad->GetMainWindow()) SetActiveWindow(main);
  }
  commandRunning = false;
  CWnd* frame = AfxGetMainWnd();
  if (frame && frame->InModalState()) {
    if (cad && cad->GetMainWindow()) EnableWindow(cad->GetMainWindow(), TRUE);
    frame->EndModalState();
  }
  UIProgressClose();
  if (cad) cad->CommandEnded();
}

void cmdCheckTransactions(int depthAtStart, int depthNow) {
  if (depthAtStart != depthNow) CadMessageBoxText("A transaction was left open!", MB_TASKMODAL);
}

int cmdReportException(std::uint32_t code) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(code));
  CaeArray<CaeString> args;
  args.Append(CaeString(hex));
  CaeString text = CaeMsgTxt::GetMessage(MSG_UNHANDLED_EXCEPTION, args);
  // The message table's line break would end the box's single line.
  if (text.View().ends_with("\r\n")) text.Truncate(text.Length() - 2);
  if (text.IsEmpty()) return 0;
  if (text.Length() > kReportMaxLength) text.Truncate(kReportMaxLength);
  return CadMessageBoxText(text.Text(), MB_TASKMODAL | MB_OK);
}

void cmdResetState() {
  commandRunning = false;
  pickPending = false;
  savedIndex = 0;
}
