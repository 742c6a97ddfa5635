#include "CadInterface/AcCadEntry.h"

#include <cstring>
#include <exception>

#include "CadInterface/AcCadApplication.h"
#include "CadInterface/AcCadInterface.h"
#include "amg/CaeConfig.h"
#include "amg/CaeExcept.h"
#include "arx/accmd.h"
#include "arx/acdocman.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/rxdlinkr.h"
#include "arx/rxobject.h"
#include "cadInterface/CadApplication.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadEvents.h"
#include "cadInterface/CadResources.h"
#include "gui/wizard/UIWizard.h"
#include "mcad/amiapp.h"
#include "mfc/afx.h"
#include "res/ResourceIds.h"
#include "util/acDeferredPasses.h"
#include "util/acEditor.h"

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
  acedRegCmds->addCommand(kAcCommandGroup, "CAEP_RESET_MENUS", "CAEP_RESET_MENUS", ACRX_CMD_MODAL, acResetMenus);
  acedRegCmds->addCommand(kAcCommandGroup, "CAEP_INSTALL_MENUS", "CAEP_INSTALL_MENUS", ACRX_CMD_MODAL, acInstallMenus);
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
    activateOpenDocuments(*CadGetApplication());
    registerCommands();
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
  if (sceneReactionRegistered) {
    // The callback lives in this module: it must not outlive the unload.
    amiRemoveEventReactions(applicationId);
    sceneReactionRegistered = false;
  }
  undoStartUp();
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
  acResetReactorState();
  acTopoResetFlags();
}

extern "C" int acrxModuleAttach() {
  if (!partModellerLoaded()) {
    acutPrintf("Mechanical Desktop does not appear to be loaded.  Kestrum Inside cannot be used.\n");
    return 0;
  }
  acResetModuleState();
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
  acResetModuleState();
}

extern "C" int acrxEntryPoint(int msg, void* appPkt) {
  switch (msg) {
    case AcRx::kInitAppMsg: loadBrepLibrary(appPkt); return acOnInitApp() ? AcRx::kRetOK : AcRx::kRetError;
    case AcRx::kUnloadAppMsg:
      if (!hostQuitting) acResetMenus();
      acOnUnloadApp();
      return AcRx::kRetOK;
    case AcRx::kLoadDwgMsg: acOnLoadDwg(); return AcRx::kRetOK;
    case AcRx::kUnloadDwgMsg: acOnUnloadDwg(); return AcRx::kRetOK;
    case AcRx::kQuitMsg: hostQuitting = true; return AcRx::kRetOK;
    default: return AcRx::kRetOK;
  }
}
