#include "mcad/amiapp.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "amicommands.h"
#include "arx/accmd.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/rxdlinkr.h"
#include "designer_params.h"
#include "mcad/amipart.h"

namespace {

struct Services {
  std::vector<std::string> apps;  // index + 1 is the id
  std::vector<std::pair<AmiAppId, AmiReactDescrip>> reactions;
  std::map<const AcApDocument*, std::vector<AmiBrowserTab>> tabs;
};

Services& services() {
  static auto* instance = new Services();
  return *instance;
}

bool sameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

AcApDocument* documentOrCurrent(AcApDocument* doc) { return doc ? doc : acDocManagerPtr()->curDocument(); }

// Forgets a drawing's tabs when it closes.
class DocumentWatch : public AcApDocManagerReactor {
 public:
  void documentToBeDestroyed(AcApDocument* doc) override { services().tabs.erase(doc); }
};

DocumentWatch& documentWatch() {
  static DocumentWatch watch;
  return watch;
}

int mcadEntryPoint(int msg, void*) {
  if (msg == AcRx::kInitAppMsg) {
    acDocManagerPtr()->addReactor(&documentWatch());
    acedRegCmds->addCommand("MCAD", "BROWSERTABS", "BROWSERTABS", ACRX_CMD_MODAL, amiPrintBrowserTabs);
    // Registered before any drawing is read, so that filed parts are re-created by class name.
    AmiPartEntity::desc();
    AmiDesignerParams::desc();
    mcadRegisterPartCommands();
  } else if (msg == AcRx::kUnloadAppMsg) {
    acDocManagerPtr()->removeReactor(&documentWatch());
    acedRegCmds->removeGroup("MCAD");
  }
  return AcRx::kRetOK;
}

}  // namespace

AmiStatus AmiReactDescrip::make(AmiReactDescrip*& descrip, AmiEventCallback callback, int eventCode, void* context) {
  descrip = nullptr;
  if (!callback) return Ami::eBadInput;
  descrip = new AmiReactDescrip();
  descrip->callback_ = callback;
  descrip->eventCode_ = eventCode;
  descrip->context_ = context;
  return Ami::eOk;
}

AmiStatus amiRegisterApp(const char* appName, AmiAppId& appId) {
  if (!appName || !*appName) return Ami::eBadInput;
  auto& apps = services().apps;
  for (std::size_t i = 0; i < apps.size(); ++i) {
    if (sameName(apps[i], appName)) {
      appId = static_cast<AmiAppId>(i + 1);
      return Ami::eAlreadyExists;
    }
  }
  apps.push_back(appName);
  appId = static_cast<AmiAppId>(apps.size());
  return Ami::eOk;
}

AmiStatus amiRegisterEventReaction(AmiAppId appId, AmiReactDescrip* descrip) {
  if (!descrip) return Ami::eBadInput;
  if (appId < 1 || static_cast<std::size_t>(appId) > services().apps.size()) return Ami::eNotFound;
  services().reactions.emplace_back(appId, *descrip);
  return Ami::eOk;
}

AmiStatus amiRemoveEventReactions(AmiAppId appId) {
  auto& reactions = services().reactions;
  auto before = reactions.size();
  reactions.erase(std::remove_if(reactions.begin(), reactions.end(), [&](const auto& r) { return r.first == appId; }),
                  reactions.end());
  return reactions.size() == before ? Ami::eNotFound : Ami::eOk;
}

int amiSendEvent(int eventCode, AmiObject* key1, AmiObject* key2) {
  // A callback may register or remove reactions: call a snapshot.
  std::vector<AmiReactDescrip> due;
  for (const auto& [app, descrip] : services().reactions)
    if (descrip.eventCode() == eventCode) due.push_back(descrip);
  for (const AmiReactDescrip& descrip : due) {
    try {
      descrip.callback()(key1, key2, descrip.context());
    } catch (const std::exception& error) {
      acutPrintf("\nAn event reaction failed: %s\n", error.what());
    } catch (...) {
      acutPrintf("\nAn event reaction failed.\n");
    }
  }
  return static_cast<int>(due.size());
}

AmiStatus amiAddBrowserTab(const char* title, void* window, int pageDisplay, AcApDocument* doc, const char* group) {
  if (!window || !group || !*group) return Ami::eBadInput;
  AcApDocument* target = documentOrCurrent(doc);
  if (!target) return Ami::eNoDocument;
  auto& list = services().tabs[target];
  for (const AmiBrowserTab& tab : list)
    if (tab.window == window && tab.group == group) return Ami::eAlreadyExists;
  list.push_back(AmiBrowserTab{title ? title : "", window, pageDisplay, group});
  return Ami::eOk;
}

AmiStatus amiRemoveBrowserTab(void* window, AcApDocument* doc, const char* group) {
  AcApDocument* target = documentOrCurrent(doc);
  auto found = services().tabs.find(target);
  if (!window || !group || found == services().tabs.end()) return Ami::eNotFound;
  auto& list = found->second;
  auto it = std::find_if(list.begin(), list.end(),
                         [&](const AmiBrowserTab& t) { return t.window == window && t.group == group; });
  if (it == list.end()) return Ami::eNotFound;
  list.erase(it);
  return Ami::eOk;
}

std::vector<AmiBrowserTab> amiBrowserTabs(AcApDocument* doc) {
  auto found = services().tabs.find(documentOrCurrent(doc));
  return found == services().tabs.end() ? std::vector<AmiBrowserTab>{} : found->second;
}

void amiPrintBrowserTabs() {
  AcApDocument* doc = acDocManagerPtr()->curDocument();
  if (!doc) {
    acutPrintf("\nNo drawing is open.\n");
    return;
  }
  std::vector<AmiBrowserTab> tabs = amiBrowserTabs(doc);
  acutPrintf("\nBrowser tabs of %s: %zu\n", doc->docTitle().c_str(), tabs.size());
  for (const AmiBrowserTab& tab : tabs)
    acutPrintf("  \"%s\" group %s, page display %d\n", tab.title.c_str(), tab.group.c_str(), tab.pageDisplay);
}

bool mcadLoadApiModule() {
  if (acrxDynamicLinker->isModuleLoaded("mcadapi.arx")) return true;
  return acrxDynamicLinker->loadBuiltinApplication("mcadapi.arx", mcadEntryPoint);
}

void mcadResetServices() {
  services().apps.clear();
  services().reactions.clear();
  services().tabs.clear();
}
