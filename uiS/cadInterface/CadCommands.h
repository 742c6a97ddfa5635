// The command table and the guarded dispatcher. The table's rows are CadCommands.def; the table
// is built where the handlers live (gui/commands/UICommandTable.cpp), the dispatcher is here.
//
// Every user command runs through one table of 53 records (indices 0 to 52): the string id of
// its host name (0 for the 15 entries reached only from windows), the entry stub the host or a
// window calls, and the handler that does the work. The dispatcher refuses re-entry, switches to
// the localised resources, brackets the handler in one host transaction, refreshes the drawing and
// the Explorer, and recovers from engine exceptions (CaeExcept) and from faults (any other
// exception, CadFault among them).
//
// Re-entry: while a command runs (busy) every index beeps. While a pick is pending and no command
// runs, only the resume entry 52 passes: it clears the pending pick and runs the saved index.
// Entry 52 with nothing pending runs as an ordinary command that clears the (already clear) flag.
//
// Transactions: the number of open transactions at the start is kept; after the handler it must
// be the same again ("A transaction was left open!" otherwise). Recovery aborts back to that
// number and never below it, also for a fault raised before the dispatcher took it.
#pragma once

#include <cstdint>
#include <exception>

using CadCommandStub = void (*)();
using CadCommandHandler = int (*)();

struct CommandRecord {
  unsigned nameId = 0;                  // string id of the host name; 0: not registered
  CadCommandStub stub = nullptr;        // what the host (or a window) calls
  CadCommandHandler handler = nullptr;  // the command's work; its result is not used
};

// The commands by name, in table order (CadCommands.def).
enum class CadCommand : int {
#define CAD_COMMAND(name, nameId, entry, handler) name,
#include "cadInterface/CadCommands.def"
#undef CAD_COMMAND
  Count
};

// A command's table index.
constexpr int cmdIndex(CadCommand command) { return static_cast<int>(command); }

inline constexpr int kCmdCount = cmdIndex(CadCommand::Count);
inline constexpr int kCmdModel = cmdIndex(CadCommand::Model);
inline constexpr int kCmdExplorer = cmdIndex(CadCommand::Explorer);
inline constexpr int kCmdUndo = cmdIndex(CadCommand::Undo);
inline constexpr int kCmdResume = cmdIndex(CadCommand::Resume);
// The fault code reported for an exception that carries none (a C++ exception).
inline constexpr std::uint32_t kCmdForeignExceptionCode = 0xE06D7363;

// A fault inside a command: what a processor exception (access violation and the like) becomes
// here. Tests raise it to exercise the fault guard.
class CadFault : public std::exception {
 public:
  explicit CadFault(std::uint32_t code) : code_(code) {}
  std::uint32_t Code() const { return code_; }
  const char* what() const noexcept override { return "fault"; }

 private:
  std::uint32_t code_;
};

// The table: kCmdCount records and a terminating all-zero record.
const CommandRecord* cmdTable();

// Fills the entries that are known only at run time (37's handler, 38 to 52) and puts back every
// handler replaced by cmdReplaceHandler. Idempotent; start-up calls it before registering.
void cmdInitRunTimeEntries();
// Replaces the handler of `index` (0 .. 52); answers the previous one.
CadCommandHandler cmdReplaceHandler(int index, CadCommandHandler handler);

// Runs `index` through cmdDispatch under the fault guard: a fault is shown with message
// MSG_UNHANDLED_EXCEPTION and recovered from; a CaeExcept escaping the recovery itself travels on.
void cmdRun(int index);
// The guarded run; `depth` receives the transaction count taken at the start. An index outside
// 0 .. 52 is a consistency check.
void cmdDispatch(int index, int& depth);
// Route of the guide's wizard-page buttons: the handler directly while the guide is modal, else
// cmdRun between the current interface's LockDocument and UnlockDocument. The unlock also runs
// when cmdRun passes an exception on, so the drawing is never left locked.
void cmdRoute(int index);

int cmdIsBusy();  // busy or pick pending
int cmdIsPickPending();
int cmdSetPickPending();    // sets the flag; answers the previous value
int cmdClearPickPending();  // clears the flag; answers 0
int cmdSavedIndex();
int cmdSaveIndex(int index);  // answers the previous saved index

// Aborts open transactions down to `depth` (never below), re-activates and re-enables the host
// window, clears the busy flag, closes the progress dialog and ends the command.
void cmdRecover(int depth);
// Shows "A transaction was left open!" when the counts differ.
void cmdCheckTransactions(int depthAtStart, int depthNow);
// Shows MSG_UNHANDLED_EXCEPTION with the code in upper-case hexadecimal (at most 127 characters) and
// answers the box's result; 0 without showing anything when the text is empty.
int cmdReportException(std::uint32_t code);

// Clears the busy and pick-pending flags and the saved index (unload, tests).
void cmdResetState();
