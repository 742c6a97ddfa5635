// The command table, built from the rows of CadCommands.def: the handlers live in gui/, so the
// table that names them is built here and the dispatcher in cadInterface only reads it.
#include <algorithm>
#include <array>
#include <utility>

#include "amg/CaeMsgCall.h"
#include "cadInterface/CadCommands.h"
#include "gui/commands/UICommandHandlers.h"
#include "res/ResourceIds.h"

namespace {

// How a command's entry stub reaches its handler.
enum class Entry { Run, Route, Direct };

template <int Index, Entry How>
void entryStub() {
  if constexpr (How == Entry::Run) {
    cmdRun(Index);
  } else if constexpr (How == Entry::Route) {
    cmdRoute(Index);
  } else if (CadCommandHandler handler = cmdTable()[Index].handler) {
    // The optimisation wizard's entries: the handler directly, without the guard.
    handler();
  }
}

std::array<CommandRecord, kCmdCount + 1> table;

// The records as the table is built; cmdInitRunTimeEntries restores the table from these. Each
// row's index, stub and handler come from the one row of CadCommands.def.
constexpr std::array<CommandRecord, kCmdCount> kInitialEntries = {{
#define CAD_COMMAND(name, nameId, entry, handler) \
  {static_cast<unsigned>(nameId), &entryStub<cmdIndex(CadCommand::name), Entry::entry>, handler},
#include "cadInterface/CadCommands.def"
#undef CAD_COMMAND
}};

}  // namespace

const CommandRecord* cmdTable() {
  if (table[0].stub == nullptr) cmdInitRunTimeEntries();
  return table.data();
}

void cmdInitRunTimeEntries() {
  std::copy(kInitialEntries.begin(), kInitialEntries.end(), table.begin());
  table[kCmdCount] = CommandRecord{};
}

CadCommandHandler cmdReplaceHandler(int index, CadCommandHandler handler) {
  CAE_CHECK(index >= 0 && index < kCmdCount);
  if (table[0].stub == nullptr) cmdInitRunTimeEntries();
  return std::exchange(table[static_cast<std::size_t>(index)].handler, handler);
}
