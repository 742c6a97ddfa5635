#include "util/acEditor.h"

#include <cstring>
#include <memory>
#include <string>

#include "CadInterface/AcCadDocControl.h"
#include "CadInterface/AcCadInterface.h"
#include "amg/CaeConfig.h"
#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeStamp.h"
#include "arx/acdocman.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "cadInterface/CadApplication.h"
#include "cadInterface/CadDocControl.h"
#include "cadInterface/CadEvents.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/CadTransactionScope.h"
#include "db/dbResultSet.h"
#include "fea/AnlControl.h"
#include "mcad/amikey.h"
#include "util/acDeferredPasses.h"
#include "util/acLayer.h"
#include "util/acMenu.h"

namespace {

bool reactorsInstalled = false;
bool reconcilePending = true;
bool partCommandRunning = false;
int browserRebuild = -1;
bool previousCommandWasOurs = false;
// The file of the current drawing when SAVEAS started: saved onto its own file, the drawing keeps
// its name and place, and the Explorer shows what it showed.
std::string fileBeforeSaveAs;

std::string currentFileName() {
  AcApDocument* document = acDocManagerPtr()->curDocument();
  return document ? document->fileName() : std::string();
}

bool equals(const char* a, const char* b) { return a && std::strcmp(a, b) == 0; }

// Pushes the resource library on the document manager's resource stack for the scope.
class ResourceScope {
 public:
  ResourceScope() { acDocManagerPtr()->pushResourceHandle(ResourceSetter::ResourceModule()); }
  ~ResourceScope() { acDocManagerPtr()->popResourceHandle(); }
  ResourceScope(const ResourceScope&) = delete;
  ResourceScope& operator=(const ResourceScope&) = delete;
};

CadDocControl* controlOfDatabase(AcDbDatabase* db) {
  CadApplication* application = CadGetApplication();
  AcApDocument* document = acDocManagerPtr()->document(db);
  return application && document ? application->FindDocControl(document) : nullptr;
}

// Reports (never repairs) an imbalance the notification's work left.
void reportImbalance(CadInterface& cad, int depth) {
  const int now = cad.NumActiveTransactions();
  if (now < depth) acutPrintf("\nTransactions are out of sync.\n\n");
  if (now > depth) acutPrintf("\nA transaction was left open.\n\n");
}

void recover(CadInterface& cad, int depth, const CaeExcept& error) {
  CadTransactionScope::AbortDownTo(cad, depth);
  acutPrintf("\n%s", error.String().Text());
}

// Runs `work` inside one transaction of its own, with the checks above; an engine exception is
// printed and the transactions are aborted back to where the work found them.
template <class Work>
void inTransaction(int& depth, Work work) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return;
  CadTransactionScope transaction(*cad);
  depth = transaction.Depth();
  try {
    transaction.Start();
    work();
    transaction.Commit();
    reportImbalance(*cad, depth);
  } catch (const CaeExcept& error) {
    recover(*cad, depth, error);
  }
}

void readBrowserRebuildSetting() {
  long value = -1;
  if (CaeConfig::GetValue("EnableBrowserRebuild", 0, value)) browserRebuild = static_cast<int>(value);
}

void rebuildExplorer() {
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->RebuildExplorer();
}

// The drawing's post-load pass, once per drawing read: the stored objects finish their restoration
// (the conditions find their geometry and ask to be drawn again).
void runPostLoadPass(int& depth) {
  inTransaction(depth, [] {
    reconcilePending = false;
    dbReconcileDrawing();
    acInstallMenus();
    rebuildExplorer();
    if (AnlControl* control = AnlControl::GetCurrent()) control->MarkAsLoaded();
    dbUpdateRecords(1);
  });
}

void commandEndedWork(const char* name) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return;
  int depth = cad->NumActiveTransactions();
  if (browserRebuild == -1) readBrowserRebuildSetting();
  if (!acdbHostApplicationServices()->workingDatabase()) return;
  try {
    if (reconcilePending) runPostLoadPass(depth);
    if (equals(name, "MENULOAD") || equals(name, "AMVARS")) inTransaction(depth, [cad] { cad->RefreshAfterCommand(); });
    acTopoResolvePending(acTopoSceneChanged());
    acTopoAfterCommand(name);
    const bool undo = equals(name, "UNDO") || equals(name, "U");
    // Any undo or redo may bring back or remove simulation objects, whoever made them (a second
    // U undoes the step before the first), so the Explorer is rebuilt after each of them.
    if ((undo || equals(name, "REDO")) && browserRebuild != 0) rebuildExplorer();
    if (previousCommandWasOurs && undo) acTopoRevalidateAfterUndo();
    if (equals(name, "SAVEAS") && currentFileName() != fileBeforeSaveAs) rebuildExplorer();
  } catch (const CaeExcept& error) {
    recover(*cad, depth, error);
  }
  previousCommandWasOurs = name && std::strncmp(name, "CAEP_", 5) == 0;
}

// Opened or saved: the control of the drawing's own document hears the path.
void drawingFileWork(AcDbDatabase* db, const char* path, bool opened) {
  int depth = 0;
  inTransaction(depth, [&] {
    CadDocControl* control = controlOfDatabase(db);
    if (opened) {
      CadEvents::DrawingOpened(control, path);
      CadDocData* data = control ? control->GetData() : nullptr;
      if (AnlControl* anl = data ? data->GetAnlControl() : nullptr) anl->SetOwner(db);
    } else {
      CadEvents::DrawingSaved(control, path);
    }
    acutPrintf("\nControl object reinitialized\n");
  });
}

class AcCadEditorReactor : public AcEditorReactor {
 public:
  void dwgFileOpened(AcDbDatabase* db, const char* fileName) override {
    ResourceScope scope;
    drawingFileWork(db, fileName, true);
  }

  void databaseConstructed(AcDbDatabase* db) override {
    ResourceScope scope;
    AcApDocument* document = acDocManagerPtr()->document(db);
    CadApplication* application = CadGetApplication();
    if (!document || !application || application->FindDocControl(document)) return;
    try {
      CadEvents::DocumentActivated(document, nullptr);
    } catch (const CaeExcept& error) {
      acutPrintf("\n%s", error.String().Text());
    }
    reconcilePending = true;
  }

  // The result sets' data go beside the drawing before the drawing is written.
  void beginSave(AcDbDatabase* db, const char* intendedName) override {
    ResourceScope scope;
    int depth = 0;
    inTransaction(depth, [&] { dbFileResultData(db, intendedName ? intendedName : ""); });
  }

  // Once the drawing is written, the data files it no longer names go (never before: a failed
  // save leaves the drawing on disk naming them).
  void saveComplete(AcDbDatabase* db, const char* actualName) override {
    ResourceScope scope;
    drawingFileWork(db, actualName, false);
    int depth = 0;
    inTransaction(depth, [&] { dbRemoveUnusedResultData(db, actualName ? actualName : ""); });
  }

  void commandWillStart(const char* name) override {
    ResourceScope scope;
    if (equals(name, "REDO") || equals(name, "UNDO") || equals(name, "U")) return;
    // A drawing just read is restored before its first command runs, so that the command (a
    // picture, a save) sees its conditions drawn; the history commands leave it to their end.
    if (reconcilePending && acdbHostApplicationServices()->workingDatabase()) {
      int depth = 0;
      runPostLoadPass(depth);
    }
    acTopoResolvePending(0);
    if (equals(name, "SAVEAS")) fileBeforeSaveAs = currentFileName();
    if (equals(name, "QSAVE") || equals(name, "SAVEAS")) {
      CaeStamp::New();
      int depth = 0;
      inTransaction(depth, [] { dbUpdateRecords(1); });
    }
  }

  void commandEnded(const char* name) override {
    ResourceScope scope;
    commandEndedWork(name);
  }

  void lispWillStart(const char* firstLine) override {
    if (equals(firstLine, "(C:MNU_CONVERT_SOLID)") || equals(firstLine, "(C:MNU_NEW_PART)")) partCommandRunning = true;
  }

  void lispEnded() override {
    if (!partCommandRunning) return;
    ResourceScope scope;
    partCommandRunning = false;
    acTopoResolvePending(0);
  }

  void beginClose(AcDbDatabase* db) override {
    ResourceScope scope;
    if (auto* control = controlOfDatabase(db)) {
      if (CadApplication* application = CadGetApplication(); application && application->CurrentDocControl() == control)
        acRemoveExplorerTab();
      else if (auto* ac = dynamic_cast<AcCadDocControl*>(control))
        ac->RemoveExplorerTab();
    }
  }
};

class AcCadDocReactor : public AcApDocManagerReactor {
 public:
  void documentToBeDestroyed(AcApDocument* doc) override {
    ResourceScope scope;
    // A pick panel open on this drawing ends with it; its command cannot resume on a closed drawing.
    if (AcCadInterface* cad = AcCadInterface::GetCurrentAc()) cad->AbandonPickRequest(doc);
    CadApplication* application = CadGetApplication();
    if (!application) return;
    int depth = 0;
    inTransaction(depth, [&] { CadEvents::DocumentDestroyed(application->FindDocControl(doc)); });
  }

  // An Explorer action outside a command is an undo step of ours: U after it rebuilds the Explorer
  // as U after one of our commands does.
  void documentLockModeChanged(AcApDocument*, AcAp::DocLockMode, AcAp::DocLockMode, const char* command) override {
    if (equals(command, kExplorerUndoStep)) previousCommandWasOurs = true;
  }

  // The host announces a switch as became-current then activated: the control follows at once,
  // and the Explorer is rebuilt once, at the activation.
  void documentBecameCurrent(AcApDocument* doc) override { reactivated(doc, false); }
  void documentActivated(AcApDocument* doc) override { reactivated(doc, true); }

 private:
  static void reactivated(AcApDocument* doc, bool activated) {
    ResourceScope scope;
    CadApplication* application = CadGetApplication();
    if (!application) return;
    try {
      if (activated)
        CadEvents::DocumentReactivated(doc);
      else
        application->MakeDocumentCurrent(doc);
    } catch (const CaeExcept& error) {
      acutPrintf("\n%s", error.String().Text());
    }
  }
};

AcCadEditorReactor* editorReactor = nullptr;
AcCadDocReactor* docReactor = nullptr;

}  // namespace

void acInstallReactors() {
  CAE_CHECK(!reactorsInstalled);
  reactorsInstalled = true;
  editorReactor = new AcCadEditorReactor();
  acedEditor->addReactor(editorReactor);
  docReactor = new AcCadDocReactor();
  acDocManagerPtr()->addReactor(docReactor);
}

void acRemoveReactors() {
  if (editorReactor) {
    acedEditor->removeReactor(editorReactor);
    delete editorReactor;
    editorReactor = nullptr;
  }
  if (docReactor) {
    acDocManagerPtr()->removeReactor(docReactor);
    delete docReactor;
    docReactor = nullptr;
  }
}

void acResetReactorState() {
  acRemoveReactors();
  reactorsInstalled = false;
  reconcilePending = true;
  partCommandRunning = false;
  browserRebuild = -1;
  previousCommandWasOurs = false;
}

bool acReactorsAttached() { return editorReactor && acedEditor->hasReactor(editorReactor); }
int acReconcilePending() { return reconcilePending ? 1 : 0; }

void acSceneEventCallback(AmiObject* key1, AmiObject* key2, void* /*context*/) {
  if (AmiSceneKey::cast(key1)) {
    acTopoSetSceneChanged();
    acShowCaeLayers(0);
  } else if (AmiSceneKey::cast(key2)) {
    acTopoSetSceneChanged();
    acShowCaeLayers(1);
  }
}

void acRemoveReactorFromAllDrawings(AcDbObjectReactor* reactor) {
  std::unique_ptr<AcApDocumentIterator> documents(acDocManagerPtr()->newAcApDocumentIterator());
  for (; !documents->done(); documents->step()) {
    AcDbDatabase* db = documents->document()->database();
    if (!db) continue;
    for (const AcDbObjectId& id : db->objectIds(true)) {
      AcDbObject* object = nullptr;
      if (acdbOpenObject(object, id, AcDb::kForRead, true) != Acad::eOk) continue;
      object->removeReactor(reactor);
      object->close();
    }
  }
}
