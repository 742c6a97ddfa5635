#include "util/acDeferredPasses.h"

#include <cstring>
#include <utility>

#include "amg/CaeExcept.h"
#include "arx/acutads.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"
#include "db/dbControl.h"
#include "db/dbDict.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoTables.h"
#include "topo/acTopoUtil.h"

namespace {
AcPassObserver observer = nullptr;

void heard(const char* pass) {
  if (observer) observer(pass);
}

AcTopoContext& flags() { return acTopoContext(); }

// The pass itself, with the transaction depth checked around it.
void resolveInTransaction(CadInterface& cad) {
  const int depth = cad.NumActiveTransactions();
  CadTransactionScope transaction(cad);
  transaction.Start();
  flags().solidModified = 0;
  acReresolveAllTopology();
  flags().solidErased = 0;
  cad.UpdateDesignVariables();
  cad.RebuildExplorer();
  if (cad.NumActiveTransactions() > depth)
    transaction.Commit();
  else
    acutPrintf("\nTransactions are out of sync.\n\n");
  if (cad.NumActiveTransactions() != depth) acutPrintf("\nA transaction was left open.\n\n");
}
}  // namespace

AcPassObserver acSetPassObserver(AcPassObserver newObserver) { return std::exchange(observer, newObserver); }
void acNotePass(const char* passName) { heard(passName); }

void acTopoSetSolidModified() { flags().solidModified = 1; }
int acTopoSolidModified() { return flags().solidModified; }
void acTopoClearSolidModified() { flags().solidModified = 0; }
void acTopoSetSceneChanged() { flags().sceneChanged = 1; }
int acTopoSceneChanged() { return flags().sceneChanged; }
void acTopoClearSceneChanged() { flags().sceneChanged = 0; }
void acTopoSetUndoModified() { flags().undoModified = 1; }
int acTopoUndoModified() { return flags().undoModified; }
void acTopoClearUndoModified() { flags().undoModified = 0; }
void acTopoSetSolidErased() { flags().solidErased = 1; }
int acTopoSolidErased() { return flags().solidErased; }
void acTopoClearSolidErased() { flags().solidErased = 0; }

void acTopoAfterCommand(const char* commandName) {
  if (!flags().sceneChanged) return;
  // A regeneration is part of the change the flag announces: the next command still re-resolves.
  if (!commandName || std::strcmp(commandName, "REGENALL") != 0) flags().sceneChanged = 0;
  flags().solidModified = 0;
}

void acTopoResetFlags() { flags() = AcTopoContext(); }

int acTopoResolvePending(int sceneChanged) {
  heard("resolve");
  if (acTopoReresolutionHeld()) return 0;  // the flags wait for a boundary after the filing
  AcTopoContext& state = flags();
  if (state.undoModified) {
    state.undoModified = 0;  // the other flags wait for the next boundary
    return 0;
  }
  if (!((sceneChanged == 0 && state.solidModified) || state.solidErased)) {
    state.solidModified = 0;
    state.solidErased = 0;
    return 0;
  }
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return 0;
  try {
    resolveInTransaction(*cad);
  } catch (const CaeExcept& error) {
    // Reported once; the flags do not ask for the same failure again at every boundary.
    state.solidModified = 0;
    state.solidErased = 0;
    acutPrintf("\n%s", error.String().Text());
  }
  return 1;
}

int acTopoRevalidateAfterUndo() {
  heard("revalidate");
  AcTopoTables* tables = AcTopoTables::Current();
  CadInterface* cad = CadInterface::GetCurrent();
  if (acTopoReresolutionHeld() || !tables || !cad) return 0;
  CadTransactionScope transaction(*cad);
  transaction.Start();
  // One pass is enough: a reference still invalid after it would restart the walk for ever.
  int passes = 0;
  for (auto* node = tables->References().FirstNode(); node->HasItem(); node = node->Next()) {
    if (!node->Item()->StillValid()) {
      acReresolveAllTopology();
      passes = 1;
      break;
    }
  }
  transaction.Commit();
  return passes;
}

void dbReconcileDrawing() {
  heard("reconcile");
  dbReconcileStoredObjects();
}
void dbUpdateRecords(int force) {
  heard("records");
  if (auto* control = dynamic_cast<CaepAnlControl*>(AnlControl::GetCurrent())) control->UpdateRecords(force);
}
