// A module for the host program that reaches the results functions from the command line, so
// that scripts can import, show and print results before the Explorer's menus lead there. It is
// never part of the add-in.
//
// Every command but the print entries (which bracket themselves) runs in one host transaction; an
// engine exception prints its text and aborts it.
//   RESIMPORT                 the results import (asks for the ".frd" and the ".inp")
//   RESSHOW name              shows the result set of that name (the current model's, else the
//                             first model's that has one)
//   RESMODE n                 shows subset n (mode or step) of the displayed set
//   RESPRINTSETUP, RESPRINT   the results window's print setup and print (table entries)
//   RESNF file                writes the displayed set as a neutral file
#include <string>

#include "amg/CaeExcept.h"
#include "arx/accmd.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/adscodes.h"
#include "arx/rxdlinkr.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/FerState.h"
#include "gui/explorer/UIImportResults.h"
#include "gui/utils/UIFerSAPI.h"

namespace {

constexpr char kGroup[] = "KESTRUM_RESULTS_TESTS";

template <class Work>
void inTransaction(Work work) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) {
    acutPrintf("\nThe add-in is not loaded.");
    return;
  }
  try {
    CadTransactionScope scope(*cad);
    scope.Start();
    work();
    scope.Commit();
  } catch (const CaeExcept& error) {
    acutPrintf("\n%s", error.String().Text());
  }
}

std::string word(const char* prompt) {
  char buffer[512] = {};
  return acedGetString(1, prompt, buffer, sizeof buffer) == RTNORM ? buffer : "";
}

void importResults() {
  inTransaction([] { UIImportResultsDatabase(); });
}

void showSet() {
  const std::string name = word("\nResult set: ");
  inTransaction([&] {
    AnlControl* control = AnlControl::GetCurrent();
    AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
    FerResultSet* set = model ? model->FindResultSet(CaeString(name)) : nullptr;
    // A drawing just opened has no current model: the first model holding the set is shown.
    for (AnlModel* other = control && !set ? control->FirstAnlModel() : nullptr; other && !set;
         other = control->NextAnlModel())
      if ((set = other->FindResultSet(CaeString(name)))) model = other;
    if (!set) {
      acutPrintf("\nNo model has a result set \"%s\".", name.c_str());
      return;
    }
    UIShowResultSet(set, model, 1);
  });
}

void showMode() {
  int mode = 0;
  if (acedGetInt("\nSubset: ", &mode) != RTNORM) return;
  inTransaction([&] { UIShowResultSubSet(mode); });
}

// The table's stub brackets the command itself, as when the results window's menu runs it.
void runEntry(CadCommand command) { cmdTable()[cmdIndex(command)].stub(); }

void printSetup() { runEntry(CadCommand::PrintSetup); }
void printResults() { runEntry(CadCommand::PrintResults); }

void neutralFile() {
  const std::string file = word("\nNeutral file: ");
  inTransaction([&] {
    FerState* state = FerState::GetState();
    if (state && state->ExportNF(CaeString(file), 0)) acutPrintf("\nNeutral file written: %s", file.c_str());
  });
}

struct Command {
  const char* name;
  void (*function)();
};
constexpr Command kCommands[] = {{"RESIMPORT", importResults},  {"RESSHOW", showSet},       {"RESMODE", showMode},
                                 {"RESPRINTSETUP", printSetup}, {"RESPRINT", printResults}, {"RESNF", neutralFile}};

}  // namespace

extern "C" __attribute__((visibility("default"))) int acrxEntryPoint(int msg, void* appPkt) {
  if (msg == AcRx::kInitAppMsg) {
    for (const Command& command : kCommands)
      acedRegCmds->addCommand(kGroup, command.name, command.name, ACRX_CMD_MODAL, command.function);
    acrxDynamicLinker->unlockApplication(appPkt);
    acrxDynamicLinker->registerAppMDIAware(appPkt);
  } else if (msg == AcRx::kUnloadAppMsg) {
    acedRegCmds->removeGroup(kGroup);
  }
  return AcRx::kRetOK;
}
