#include "util/acDeferredPasses.h"

#include <cstring>
#include <utility>

#include "db/dbControl.h"
#include "db/dbDict.h"

namespace {
int sceneChanged = 0;
int undoModified = 0;
AcPassObserver observer = nullptr;

void heard(const char* pass) {
  if (observer) observer(pass);
}
}  // namespace

AcPassObserver acSetPassObserver(AcPassObserver newObserver) { return std::exchange(observer, newObserver); }

void acTopoSetSceneChanged() { sceneChanged = 1; }
int acTopoSceneChanged() { return sceneChanged; }

void acTopoAfterCommand(const char* commandName) {
  // A regeneration is part of the change the flag announces: the next command still re-resolves.
  if (!commandName || std::strcmp(commandName, "REGENALL") != 0) sceneChanged = 0;
}

void acTopoSetUndoModified() { undoModified = 1; }
int acTopoUndoModified() { return undoModified; }
void acTopoClearUndoModified() { undoModified = 0; }

void acTopoResetFlags() {
  sceneChanged = 0;
  undoModified = 0;
}

int acTopoResolvePending(int /*sceneChanged*/) {
  heard("resolve");
  return 0;
}

int acTopoRevalidateAfterUndo() {
  heard("revalidate");
  return 0;
}

void dbReconcileDrawing() {
  heard("reconcile");
  dbReconcileStoredObjects();
}
void dbUpdateRecords(int force) {
  heard("records");
  if (auto* control = dynamic_cast<CaepAnlControl*>(AnlControl::GetCurrent())) control->UpdateRecords(force);
}
void acInstallMenus() { heard("menus-install"); }
void acResetMenus() { heard("menus-reset"); }
