// A module for the host program that shows the results of the last submitted analysis and prints
// their maxima, so that scripts can check a solve before the Explorer's job menus and the results
// summary lead there. It is never part of the add-in.
//   SOLVEUNIT    the drawing-unit dialog, as the simulation-model dialog asks it the first time
//   SOLVESHOW    shows the results of the job of the last submission (its state when it has none)
//                and prints "Maximum displacement: U <unit>" and "Maximum von Mises stress: S <unit>"
//                in the host's units
//   SOLVEMAXIMA  prints the same maxima of the current result set (the one the results window shows)
#include <cstdio>
#include <string>

#include "amg/CaeExcept.h"
#include "amg/CaeUnit.h"
#include "arx/accmd.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/adscodes.h"
#include "arx/rxdlinkr.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "gui/dialogs/analysis/UISubmitAnalysis.h"
#include "gui/dialogs/units/UIDrawingUnitDlg.h"
#include "gui/utils/UIFerSAPI.h"

#include "../test_module_support.h"

namespace {

using kestrum::test_module::inTransaction;

constexpr char kGroup[] = "KESTRUM_SOLVE_TESTS";
constexpr int kMagnitude = 3;  // the displacement result's magnitude component

std::string HostUnit(int type) {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  return table ? table->IdToShortString(CaeUnitSystem::GetHostUnit(type)).c_str() : std::string();
}

// The shown set's values are in the host's units, printed with their names.
void printMaxima(FerResultSet& set) {
  double low = 0, high = 0;
  if (FerResult* u = set.FindResult(FerQtyDisplacement); u && u->Range(0, kMagnitude, low, high))
    acutPrintf("\nMaximum displacement: %.6g %s", high, HostUnit(CaeUtLength).c_str());
  if (FerResult* stress = set.FindResult(FerQtyStress); stress && stress->Range(0, 0, low, high))
    acutPrintf("\nMaximum von Mises stress: %.6g %s", high, HostUnit(CaeUtStress).c_str());
  acutPrintf("\n");
}

void solveUnit() {
  inTransaction([] { CadAskDrawingUnitIfUnset(); });
}

void solveShow() {
  inTransaction([] {
    AnlControl* control = AnlControl::GetCurrent();
    AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
    AnlJob* job = UISubmittedJob();
    if (!model || !job) {
      acutPrintf("\nNo submitted job.\n");
      return;
    }
    if (job->Failed()) {
      acutPrintf("\nJob %s failed: %s\n", job->Name().Text(), job->FailureReason().Text());
      return;
    }
    if (job->IsPending()) {
      acutPrintf("\nJob %s is pending.\n", job->Name().Text());
      return;
    }
    acutPrintf("\nJob %s completed.", job->Name().Text());
    UIShowJobResults(job, model, 1, 0);
    if (FerResultSet* set = UIGetCurrentResultSet()) printMaxima(*set);
  });
}

void solveMaxima() {
  inTransaction([] {
    if (FerResultSet* set = UIGetCurrentResultSet())
      printMaxima(*set);
    else
      acutPrintf("\nNo current result set.\n");
  });
}

}  // namespace

// Its own attach and detach: the linker would otherwise find the add-in's through this module.
extern "C" __attribute__((visibility("default"))) int acrxModuleAttach() { return 1; }
extern "C" __attribute__((visibility("default"))) void acrxModuleDetach() {}

extern "C" __attribute__((visibility("default"))) int acrxEntryPoint(int msg, void* appPkt) {
  if (msg == AcRx::kInitAppMsg) {
    acedRegCmds->addCommand(kGroup, "SOLVEUNIT", "SOLVEUNIT", ACRX_CMD_MODAL, solveUnit);
    acedRegCmds->addCommand(kGroup, "SOLVESHOW", "SOLVESHOW", ACRX_CMD_MODAL, solveShow);
    acedRegCmds->addCommand(kGroup, "SOLVEMAXIMA", "SOLVEMAXIMA", ACRX_CMD_MODAL, solveMaxima);
    acrxDynamicLinker->unlockApplication(appPkt);
    acrxDynamicLinker->registerAppMDIAware(appPkt);
  } else if (msg == AcRx::kUnloadAppMsg) {
    acedRegCmds->removeGroup(kGroup);
  }
  return AcRx::kRetOK;
}
