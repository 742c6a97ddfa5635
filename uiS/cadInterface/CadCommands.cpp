#include "cadInterface/CadCommands.h"

#include <array>
#include <cstdio>
#include <utility>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommandHandlers.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "mfc/afx.h"

namespace {

int busyFlag = 0;
int pickPendingFlag = 0;
int savedIndex = 0;

template <int Index>
void runStub() {
  cmdRun(Index);
}

template <int Index>
void routeStub() {
  cmdRoute(Index);
}

// The handler of `Index` called directly, without the guard (the optimisation wizard's entries).
template <int Index>
void directStub() {
  if (CadCommandHandler handler = cmdTable()[Index].handler) handler();
}

// Handlers as the table is built; cmdInitRunTimeEntries restores the table from these.
struct InitialEntry {
  unsigned nameId;
  CadCommandStub stub;
  CadCommandHandler handler;
};

template <std::size_t... I>
constexpr std::array<CadCommandStub, sizeof...(I)> runStubs(std::index_sequence<I...>) {
  return {&runStub<static_cast<int>(I)>...};
}

std::array<CommandRecord, kCmdCount + 1> table;

const std::array<InitialEntry, kCmdCount>& initialEntries() {
  static const auto run = runStubs(std::make_index_sequence<kCmdCount>());
  static const std::array<InitialEntry, kCmdCount> entries = {{
      {43, run[0], UICmdStressWizard},
      {874, run[1], UICmdVibWizard},
      {875, run[2], UICmdBuckWizard},
      {876, run[3], UICmdThermWizard},
      {1, run[4], UICmdModel},
      {323, run[5], UICmdMateRel},
      {11, run[6], UICmdMesh},
      {12, run[7], UICmdAnalyze},
      {13, run[8], UICmdExplorer},
      {233, run[9], UICmdAbout},
      {267, run[10], UICmdTopics},
      {715, run[11], UICmdOptWizard},
      {707, run[12], UICmdOptModel},
      {927, run[13], UICmdOptObjective},
      {708, run[14], UICmdOptVariable},
      {710, run[15], UICmdOptAnlResCase},
      {709, run[16], UICmdOptConstraint},
      {711, run[17], UICmdOptSubmit},
      {712, run[18], UICmdOptUpdateModel},
      {713, run[19], UICmdOptHistoryGraph},
      {714, run[20], UICmdOptSensitivityGraph},
      {873, run[21], UICmdOptLocalTrendGraph},
      {913, run[22], UICmdOptResTab},
      {981, run[23], UICmdOptWizardTopo},
      {1137, run[24], UICmdOptModelTopo},
      {992, run[25], UICmdOptObjectiveTopo},
      {979, run[26], UICmdOptConstraintTopo},
      {980, run[27], UICmdOptSubmitTopo},
      {993, run[28], UICmdOptResTabTopo},
      {900, run[29], UIWriteVrml},
      {901, run[30], UICmdWriteSummary},
      {914, run[31], UICmdSetupTab},
      {915, run[32], UICmdLoadTab},
      {995, run[33], UICmdLoadImport},
      {916, run[34], UICmdRestTab},
      {917, run[35], UICmdThermTab},
      {918, run[36], UICmdResultsTab},
      {1206, run[37], UIRunDoctorCommand},
      {0, routeStub<38>, UIRunProblemDefinitionWizard},
      {0, routeStub<39>, UIRunUnitsWizard},
      {0, routeStub<40>, UIRunLoadWizard},
      {0, routeStub<41>, UIRunRestraintsWizard},
      {0, routeStub<42>, UIRunMaterialsWizard},
      {0, routeStub<43>, UIRunMeshStep},
      {0, routeStub<44>, UIRunAnalyzeStep},
      {0, routeStub<45>, UIRunResultsStep},
      {0, directStub<46>, UIOptWizardVariable},
      {0, directStub<47>, UIOptWizardConstraint},
      {0, run[48], UIPrintSetup},
      {0, run[49], UIPrintResults},
      {0, run[50], UICmdUndo},
      {0, run[51], UICmdResultsRequired},
      {0, run[52], cmdClearPickPending},
  }};
  return entries;
}

const CommandRecord& recordAt(int index) {
  CAE_CHECK(index >= 0 && index < kCmdCount);
  if (table[0].stub == nullptr) cmdInitRunTimeEntries();
  return table[static_cast<std::size_t>(index)];
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

const CommandRecord* cmdTable() {
  if (table[0].stub == nullptr) cmdInitRunTimeEntries();
  return table.data();
}

void cmdInitRunTimeEntries() {
  const auto& entries = initialEntries();
  for (int i = 0; i < kCmdCount; ++i) {
    const InitialEntry& entry = entries[static_cast<std::size_t>(i)];
    table[static_cast<std::size_t>(i)] = CommandRecord{entry.nameId, entry.stub, entry.handler};
  }
  table[kCmdCount] = CommandRecord{};
}

CadCommandHandler cmdReplaceHandler(int index, CadCommandHandler handler) {
  recordAt(index);
  return std::exchange(table[static_cast<std::size_t>(index)].handler, handler);
}

void cmdRun(int index) {
  CadInterface* cad = CadInterface::GetCurrent();
  // Until the dispatcher has taken the depth, recovery must not abort what was open before.
  int depth = cad ? cad->NumActiveTransactions() : 0;
  std::uint32_t faultCode = 0;
  try {
    cmdDispatch(index, depth);
    return;
  } catch (const CaeExcept&) {
    throw;
  } catch (const CadFault& fault) {
    faultCode = fault.Code();
  } catch (...) {
    faultCode = kCmdForeignExceptionCode;
  }
  if (cmdReportException(faultCode) == 0) throw CadFault(faultCode);
  cmdRecover(depth);
}

void cmdDispatch(int index, int& depth) {
  CAE_CHECK(index >= 0 && index < kCmdCount);
  CadInterface* cad = CadInterface::GetCurrent();
  CAE_CHECK(cad != nullptr);
  if (busyFlag || pickPendingFlag) {
    // A stale saved index must never run nested inside a running command.
    if (index != kCmdResume || busyFlag) {
      MessageBeep(0);
      return;
    }
    pickPendingFlag = 0;
    index = savedIndex;
    CAE_CHECK(index >= 0 && index < kCmdCount);
  } else if (index != kCmdUndo) {
    cad->PrepareCommand();
  }
  cad->CommandStarting(index);
  busyFlag = 1;
  try {
    runInsideTransaction(*cad, index, depth);
  } catch (const CaeExcept& error) {
    cad->PrintMessage(error.String().Text());
    cmdRecover(depth);
    return;
  }
  busyFlag = 0;
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

int cmdIsBusy() { return busyFlag || pickPendingFlag; }
int cmdIsPickPending() { return pickPendingFlag; }
int cmdSetPickPending() { return std::exchange(pickPendingFlag, 1); }
int cmdClearPickPending() {
  pickPendingFlag = 0;
  return 0;
}
int cmdSavedIndex() { return savedIndex; }
int cmdSaveIndex(int index) { return std::exchange(savedIndex, index); }

void cmdRecover(int depth) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (cad) {
    // Stop when an abort no longer lowers the count rather than loop for ever.
    for (int open = cad->NumActiveTransactions(); open > depth;) {
      cad->AbortTransaction();
      const int after = cad->NumActiveTransactions();
      if (after >= open) break;
      open = after;
    }
    if (HWND main = cad->GetMainWindow()) SetActiveWindow(main);
  }
  busyFlag = 0;
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
  CaeString text = CaeMsgTxt::GetMessage(kCmdFaultMessage, args);
  // The message table's line break would end the box's single line.
  if (text.View().ends_with("\r\n")) text.Truncate(text.Length() - 2);
  if (text.IsEmpty()) return 0;
  if (text.Length() > 127) text.Truncate(127);
  return CadMessageBoxText(text.Text(), MB_TASKMODAL | MB_OK);
}

void cmdResetState() {
  busyFlag = 0;
  pickPendingFlag = 0;
  savedIndex = 0;
}
