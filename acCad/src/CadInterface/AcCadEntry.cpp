#include "CadInterface/AcCadEntry.h"

#include <cstring>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "CadInterface/AcCadApplication.h"
#include "CadInterface/AcCadDocControl.h"
#include "CadInterface/AcCadInterface.h"
#include "amg/CaeConfig.h"
#include "amg/CaeExcept.h"
#include "arx/accmd.h"
#include "arx/acdocman.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/hostcmds.h"
#include "arx/rxdlinkr.h"
#include "arx/rxobject.h"
#include "cadInterface/CadApplication.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadEvents.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/CadTransactionScope.h"
#include "db/dbTransform.h"
#include "fea/AnlControl.h"
#include "gui/dialogs/common/UIPickDlg.h"
#include "gui/dialogs/model/UIModDlg.h"
#include "gui/dialogs/units/UISetupState.h"
#include "gui/doctor/UIDocTests.h"
#include "gui/explorer/CExpTab.h"
#include "gui/graph2d/UIGraphDlg.h"
#include "gui/optwizard/results/UIResOptVRMLPP.h"
#include "gui/utils/UIResults.h"
#include "gui/wizard/UIWizard.h"
#include "mcad/amiapp.h"
#include "mfc/afx.h"
#include "res/ResourceIds.h"
#include "topo/acTopoUtil.h"
#include "util/acDeferredPasses.h"
#include "util/acEditor.h"
#include "util/acMenu.h"
#include "util/acSymbol.h"

namespace {

constexpr unsigned short kDataVersion = 630;
constexpr char kBuildText[] = "Oct  3 2000";
constexpr char kPlatformText[] = "For AutoCAD 2000";
constexpr char kApplicationName[] = "TLXARX";

int resourceLibraryLoaded = 1;
int initialised = 0;
bool hostQuitting = false;
int firstDrawing = 1;
HINSTANCE resourceModule = nullptr;
AcCadVersionInfo* versionInfo = nullptr;
AmiAppId applicationId = 0;
bool sceneReactionRegistered = false;
AFX_EXTENSION_MODULE extensionModule;
CDynLinkLibrary* extensionLibrary = nullptr;

bool partModellerLoaded() {
  resbuf* loaded = acedArxLoaded();
  bool found = false;
  for (resbuf* entry = loaded; entry; entry = entry->rbnext)
    if (entry->restype == RTSTR && entry->resval.rstring && std::strcmp(entry->resval.rstring, "mcadapi.arx") == 0)
      found = true;
  acutRelRb(loaded);
  return found;
}

void registerCommands() {
  cmdInitRunTimeEntries();
  const CommandRecord* table = cmdTable();
  for (int i = 0; table[i].nameId != 0; ++i) {
    const CaeString name = resLoadString(table[i].nameId);
    if (name.IsEmpty()) continue;
    acedRegCmds->addCommand(kAcCommandGroup, name.Text(), name.Text(), ACRX_CMD_MODAL, table[i].stub, nullptr, -1,
                            nullptr);
  }
  acedRegCmds->addCommand(kAcCommandGroup, "CAEP_RESET_MENUS", "CAEP_RESET_MENUS", ACRX_CMD_MODAL,
                          [] { acResetMenus(); });
  acedRegCmds->addCommand(kAcCommandGroup, "CAEP_INSTALL_MENUS", "CAEP_INSTALL_MENUS", ACRX_CMD_MODAL,
                          [] { acInstallMenus(); });
}

void activateOpenDocuments(CadApplication& application) {
  AcApDocumentIterator* documents = acDocManagerPtr()->newAcApDocumentIterator();
  try {
    for (; !documents->done(); documents->step()) application.ActivateDocument(documents->document());
  } catch (...) {
    delete documents;
    throw;
  }
  delete documents;
}

// Takes back everything start-up may have registered, in shut-down order.
void undoStartUp() {
  if (CadGetApplication()) {
    try {
      CadEvents::ApplicationUnloading();
    } catch (const CaeExcept& error) {
      acutPrintf("\n%s", error.String().Text());
    }
  }
  acedRegCmds->removeGroup(kAcCommandGroup);
  delete versionInfo;
  initialised = 0;
  cmdResetState();
  delete CadInterface::GetCurrent();
}

// What unloading would do to the objects of the open drawings.
struct UnloadSurvey {
  std::vector<std::string> holdingDrawings;  // drawings with objects that need this module
  std::vector<AcDbObjectId> erasedObjects;   // erased objects of the add-in's classes
};

bool isAddInObject(const AcDbObject& object) {
  for (const AcCustomClassEntry& entry : acCustomClasses())
    if (const AcRxClass* record = entry.desc(); record && object.isKindOf(record)) return true;
  return false;
}

// Live objects of the add-in's classes and live objects the shared reactor watches keep the
// module: they would be left without code, and the next UNDO, save or CLOSE would call it.
// Erased objects of its classes come back only through undo, so they can go with the module.
UnloadSurvey surveyOpenDrawings() {
  UnloadSurvey survey;
  AcApDocumentIterator* documents = acDocManagerPtr()->newAcApDocumentIterator();
  for (; !documents->done(); documents->step()) {
    AcApDocument* document = documents->document();
    AcDbDatabase* db = document->database();
    if (!db) continue;
    bool holds = false;
    for (const AcDbObjectId& id : db->objectIds(true)) {
      AcDbObject* object = nullptr;
      if (acdbOpenObject(object, id, AcDb::kForRead, true) != Acad::eOk) continue;
      const bool ours = isAddInObject(*object);
      if (!object->isErased() && (ours || dbIsWatchedForUndo(object)))
        holds = true;
      else if (ours)
        survey.erasedObjects.push_back(id);
      object->close();
    }
    if (holds) survey.holdingDrawings.emplace_back(document->fileName());
  }
  delete documents;
  return survey;
}

// Erased objects of the add-in's classes, to be deleted once the document controls (which may
// still point at them) are gone.
std::vector<AcDbObjectId> erasedObjectsToDelete;

// Answers false, naming each drawing on the command line, while a drawing holds objects that need
// the module; otherwise notes the erased objects that go with it and answers true.
bool drawingsLetTheModuleGo() {
  UnloadSurvey survey = surveyOpenDrawings();
  if (!survey.holdingDrawings.empty()) {
    for (const std::string& drawing : survey.holdingDrawings)
      acutPrintf(
          "\nKestrum Inside cannot be unloaded: the drawing %s holds its objects. Erase them or close the "
          "drawing first.",
          drawing.c_str());
    return false;
  }
  erasedObjectsToDelete = std::move(survey.erasedObjects);
  return true;
}

// Their ids then open as permanently erased, as after a transaction abort.
void deleteErasedAddInObjects() {
  for (const AcDbObjectId& id : erasedObjectsToDelete) {
    AcDbObject* object = nullptr;
    if (acdbOpenObject(object, id, AcDb::kForRead, true) != Acad::eOk) continue;
    object->close();
    delete object;
  }
  erasedObjectsToDelete.clear();
}

// Whether the current drawing's Explorer tab still shows a job as pending: its poll has not yet
// seen the job end and rebuilt the tree.
bool explorerTabShowsPending() {
  auto* control = dynamic_cast<AcCadDocControl*>(CadCurrentDocControl());
  const CExpTab* tab = control ? control->ExplorerTab() : nullptr;
  return tab && tab->PendingJobs() > 0;
}

// The host's WAIT pumps while the current model has a job that runs, and until the Explorer has
// shown its end; asking polls the job. The jobs are drawing objects: they are read in a
// transaction of their own.
int pendingJobs() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad || !AnlControl::GetCurrent()) return 0;
  CadTransactionScope scope(*cad);
  scope.Start();
  const bool running = UIFindModelJob(kUIJobPending) != nullptr;
  scope.Commit();
  return running || explorerTabShowsPending() ? 1 : 0;
}

void loadBrepLibrary(void* appPkt) {
  if (!acrxClassDictionary()->has("AcBrEntity")) acrxDynamicLinker->loadModule("acbr15.dll", true);
  acrxDynamicLinker->unlockApplication(appPkt);
  acrxDynamicLinker->registerAppMDIAware(appPkt);
}

}  // namespace

AcCadVersionInfo::AcCadVersionInfo(unsigned short versionNumber, const CaeString& build, const CaeString& platform)
    : version(versionNumber), buildText(build), platformText(platform) {
  versionInfo = this;
}

AcCadVersionInfo::~AcCadVersionInfo() {
  if (versionInfo == this) versionInfo = nullptr;
}

AcCadVersionInfo* acCurrentVersionInfo() { return versionInfo; }
bool acIsInitialised() { return initialised != 0; }

bool acOnInitApp() {
  try {
    new AcCadInterface();
    CadSetApplication(new AcCadApplication());
    acMenuBaseName();
    activateOpenDocuments(*CadGetApplication());
    registerCommands();
    cadhost::addPendingWorkReporter(kApplicationName, pendingJobs);
    initialised = 1;
    new AcCadVersionInfo(kDataVersion, kBuildText, kPlatformText);
    return true;
  } catch (const CaeExcept& error) {
    acutPrintf("\n%s", error.String().Text());
  } catch (const std::exception& error) {
    acutPrintf("\n%s", error.what());
  }
  undoStartUp();
  return false;
}

void acOnUnloadApp() {
  if (!initialised) return;
  cadhost::removePendingWorkReporter(kApplicationName);
  if (sceneReactionRegistered) {
    // The callback lives in this module: it must not outlive the unload.
    amiRemoveEventReactions(applicationId);
    sceneReactionRegistered = false;
  }
  // Graph windows run code of this module: they close with it (also when the host quits).
  CGraphDlg::CloseAll();
  CGraphDlg::ResetModule();
  UIGraphCtlResetModule();
  undoStartUp();
  deleteErasedAddInObjects();
  dbReleaseModifyUndoneReactor();
  acReleaseSolidReactor();  // the parts stay; the reactor's code goes with the module
}

void acOnLoadDwg() {
  if (!CadGetApplication()) return;
  try {
    if (firstDrawing) {
      firstDrawing = 0;
      amiRegisterApp(kApplicationName, applicationId);
      AmiReactDescrip* reaction = nullptr;
      AmiReactDescrip::make(reaction, acSceneEventCallback, Ami::kSceneEvent);
      sceneReactionRegistered = amiRegisterEventReaction(applicationId, reaction) == Ami::eOk;
      delete reaction;
    }
    if (AcCadInterface* cad = AcCadInterface::GetCurrentAc()) cad->ShowExplorerTab();
  } catch (const CaeExcept& error) {
    acutPrintf("\n%s", error.String().Text());
  }
}

void acOnUnloadDwg() {}

bool acGetPoint(double point[3]) {
  const CaeString prompt = resLoadString(IDS_CONCENTRATION_POINT_PROMPT);
  ads_point picked = {0, 0, 0};
  if (acedGetPoint(nullptr, prompt.Text(), picked) != RTNORM) return false;
  for (int i = 0; i < 3; ++i) point[i] = picked[i];
  return true;
}

void acResetModuleState() {
  hostQuitting = false;
  firstDrawing = 1;
  sceneReactionRegistered = false;
  cmdResetState();
  CPickDlg::ResetModuleState();
  UISetupResetModuleState();
  CResOptVRMLPP::ResetModuleState();
  CModelDlg::ResetClosedFlags();
  UIDocResetModuleState();
  acResetReactorState();
  acTopoResetFlags();
}

extern "C" int acrxModuleAttach() {
  if (!partModellerLoaded()) {
    acutPrintf("Mechanical Desktop does not appear to be loaded.  Kestrum Inside cannot be used.\n");
    return 0;
  }
  acResetModuleState();
  acSymbolInit();
  CaeConfig::InitSystem(1, "TLX.Ambervale", "Pellmark\\FEA", "6.0");
  resourceModule = resLoadResourceModule();
  if (!resourceModule) {
    resourceLibraryLoaded = 0;
    resourceModule = AfxGetInstanceHandle();
  }
  resSetModuleState(resourceModule, AfxGetResourceHandle());
  if (!AfxInitExtensionModule(extensionModule, resourceModule)) return 0;
  extensionLibrary = new CDynLinkLibrary(extensionModule);
  return 1;
}

extern "C" void acrxModuleDetach() {
  delete extensionLibrary;
  extensionLibrary = nullptr;
  AfxTermExtensionModule(extensionModule);
  if (resourceLibraryLoaded && resourceModule) FreeLibrary(resourceModule);
  resourceModule = nullptr;
  resourceLibraryLoaded = 1;
  resResetModuleState();
  UIClearWizardState();
  dbReleaseModifyUndoneReactor();
  acReleaseSolidReactor();
  acResetModuleState();
  acResetMenuState();
  acSymbolTerm();
}

extern "C" int acrxEntryPoint(int msg, void* appPkt) {
  switch (msg) {
    case AcRx::kInitAppMsg: loadBrepLibrary(appPkt); return acOnInitApp() ? AcRx::kRetOK : AcRx::kRetError;
    case AcRx::kUnloadAppMsg:
      if (initialised && !drawingsLetTheModuleGo()) return AcRx::kRetError;
      if (!hostQuitting) acResetMenus();
      acOnUnloadApp();
      return AcRx::kRetOK;
    case AcRx::kLoadDwgMsg: acOnLoadDwg(); return AcRx::kRetOK;
    case AcRx::kUnloadDwgMsg: acOnUnloadDwg(); return AcRx::kRetOK;
    case AcRx::kQuitMsg: hostQuitting = true; return AcRx::kRetOK;
    default: return AcRx::kRetOK;
  }
}
