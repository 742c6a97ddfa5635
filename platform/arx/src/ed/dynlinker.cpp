#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "arx/acdocman.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/rxdlinkr.h"
#include "host_internal.h"
#include "text_util.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcRxDynamicLinker, AcRxObject);

namespace {

// `name` as the module itself defines it: dlsym on a handle also searches the module's
// dependencies, and a module linked against another application would otherwise be handed that
// application's entry points.
void* ownSymbol(void* handle, const char* name) {
  void* symbol = dlsym(handle, name);
  if (!symbol) return nullptr;
  link_map* module = nullptr;
  link_map* owner = nullptr;
  Dl_info info;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &module) != 0 ||
      dladdr1(symbol, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) == 0)
    return nullptr;
  return owner == module ? symbol : nullptr;
}

// Libraries the real host ships inside itself; loading them needs no file.
constexpr const char* kBuiltinLibraries[] = {"acbr15.dll"};

struct Module {
  std::string name;  // file name, as acedArxLoaded lists it
  std::string path;
  void* handle = nullptr;  // null for modules linked into the program
  AcRxEntryPointFunc entry = nullptr;
  AcRxModuleDetachFunc detach = nullptr;
  bool isApplication = true;
  bool locked = true;
  bool mdiAware = false;
};

std::vector<std::unique_ptr<Module>>& modules() {
  static auto* list = new std::vector<std::unique_ptr<Module>>();
  return *list;
}

Module* findModule(const char* nameOrPath) {
  if (!nameOrPath) return nullptr;
  std::string wanted = cadhost::fileNameOf(nameOrPath);
  for (auto& module : modules())
    if (cadhost::equalsNoCase(module->name, wanted) || module->path == nameOrPath) return module.get();
  return nullptr;
}

Module* moduleOfPacket(void* appPkt) {
  for (auto& module : modules())
    if (module.get() == appPkt) return module.get();
  return nullptr;
}

int sendMessage(Module& module, AcRx::AppMsgCode msg) {
  if (!module.entry) return AcRx::kRetOK;
  try {
    return module.entry(msg, &module);
  } catch (const std::exception& error) {
    acutPrintf("\n%s failed on message %d: %s\n", module.name.c_str(), static_cast<int>(msg), error.what());
  } catch (...) {
    acutPrintf("\n%s failed on message %d.\n", module.name.c_str(), static_cast<int>(msg));
  }
  return AcRx::kRetError;
}

void closeModule(Module& module) {
  if (module.detach) {
    try {
      module.detach();
    } catch (...) {
      acutPrintf("\n%s failed while detaching.\n", module.name.c_str());
    }
  }
  if (module.handle) dlclose(module.handle);
  module.handle = nullptr;
}

void eraseModule(Module* module) {
  auto& list = modules();
  list.erase(std::remove_if(list.begin(), list.end(), [&](const auto& m) { return m.get() == module; }), list.end());
}

void report(bool printIt, const std::string& text) {
  if (printIt) acutPrintf("\n%s\n", text.c_str());
}

std::string resolveModulePath(const char* fileName) {
  if (std::strchr(fileName, '/')) return fileName;
  char found[4096];
  if (acedFindFile(fileName, found, sizeof found) == RTNORM) return found;
  return fileName;  // let dlopen search the library path
}

// Starts an application that is already in the list: message 1, then 3 for the current drawing.
bool startApplication(Module* module, bool printIt) {
  if (sendMessage(*module, AcRx::kInitAppMsg) != AcRx::kRetOK) {
    report(printIt, module->name + ": the application refused to initialise and was unloaded.");
    closeModule(*module);
    eraseModule(module);
    return false;
  }
  if (acDocManagerPtr()->curDocument()) sendMessage(*module, AcRx::kLoadDwgMsg);
  return true;
}

}  // namespace

bool AcRxDynamicLinker::loadModule(const char* fileName, bool printIt, bool) {
  if (!fileName || !*fileName) return false;
  if (findModule(fileName)) {
    report(printIt, cadhost::fileNameOf(fileName) + " is already loaded.");
    return false;
  }
  for (const char* builtin : kBuiltinLibraries) {
    if (cadhost::equalsNoCase(cadhost::fileNameOf(fileName), builtin)) {
      auto module = std::make_unique<Module>();
      module->name = builtin;
      module->isApplication = false;
      modules().push_back(std::move(module));
      return true;
    }
  }
  std::string path = resolveModulePath(fileName);
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    report(printIt, "Cannot load " + std::string(fileName) + ": " + (why ? why : "unknown error"));
    return false;
  }
  auto entry = reinterpret_cast<AcRxEntryPointFunc>(ownSymbol(handle, "acrxEntryPoint"));
  if (!entry) {
    dlclose(handle);
    report(printIt, std::string(fileName) + " is not an application module (no acrxEntryPoint).");
    return false;
  }
  auto attach = reinterpret_cast<AcRxModuleAttachFunc>(ownSymbol(handle, "acrxModuleAttach"));
  auto detach = reinterpret_cast<AcRxModuleDetachFunc>(ownSymbol(handle, "acrxModuleDetach"));
  auto module = std::make_unique<Module>();
  module->name = cadhost::fileNameOf(path);
  module->path = path;
  module->handle = handle;
  module->entry = entry;
  module->detach = detach;
  if (attach) {
    int accepted = 0;
    try {
      accepted = attach();
    } catch (...) {
      accepted = 0;
    }
    if (!accepted) {
      dlclose(handle);  // a refused attach never gets a detach
      report(printIt, module->name + " refused to load.");
      return false;
    }
  }
  Module* started = module.get();
  modules().push_back(std::move(module));
  return startApplication(started, printIt);
}

// A module's code may be on the stack while a command runs: never unload under it.
static bool commandRunning() {
  AcApDocumentIterator* it = acDocManagerPtr()->newAcApDocumentIterator();
  bool running = false;
  for (; !it->done() && !running; it->step()) running = cadhost::commandDepthOf(it->document()) > 0;
  delete it;
  return running;
}

bool AcRxDynamicLinker::unloadModule(const char* fileName, bool) {
  Module* module = findModule(fileName);
  if (!module) {
    acutPrintf("\n%s is not loaded.\n", fileName ? fileName : "");
    return false;
  }
  if (commandRunning()) {
    acutPrintf("\n%s cannot be unloaded while a command runs.\n", module->name.c_str());
    return false;
  }
  if (module->isApplication && module->locked) {
    acutPrintf("\n%s is locked and cannot be unloaded.\n", module->name.c_str());
    return false;
  }
  if (sendMessage(*module, AcRx::kUnloadAppMsg) != AcRx::kRetOK) {
    acutPrintf("\n%s refused to unload.\n", module->name.c_str());
    return false;
  }
  closeModule(*module);
  eraseModule(module);
  return true;
}

bool AcRxDynamicLinker::unlockApplication(void* appPkt) const {
  Module* module = moduleOfPacket(appPkt);
  if (module) module->locked = false;
  return module != nullptr;
}

bool AcRxDynamicLinker::lockApplication(void* appPkt) const {
  Module* module = moduleOfPacket(appPkt);
  if (module) module->locked = true;
  return module != nullptr;
}

bool AcRxDynamicLinker::isApplicationLocked(const char* moduleName) const {
  Module* module = findModule(moduleName);
  return module && module->locked;
}

bool AcRxDynamicLinker::registerAppMDIAware(void* appPkt) const {
  Module* module = moduleOfPacket(appPkt);
  if (module) module->mdiAware = true;
  return module != nullptr;
}

bool AcRxDynamicLinker::isAppMDIAware(const char* moduleName) const {
  Module* module = findModule(moduleName);
  return module && module->mdiAware;
}

bool AcRxDynamicLinker::isModuleLoaded(const char* moduleName) const { return findModule(moduleName) != nullptr; }

bool AcRxDynamicLinker::loadBuiltinApplication(const char* moduleName, AcRxEntryPointFunc entryPoint) {
  if (!moduleName || !entryPoint || findModule(moduleName)) return false;
  auto module = std::make_unique<Module>();
  module->name = moduleName;
  module->entry = entryPoint;
  Module* started = module.get();
  modules().push_back(std::move(module));
  return startApplication(started, true);
}

std::vector<std::string> AcRxDynamicLinker::applicationNames() const {
  std::vector<std::string> names;
  for (const auto& module : modules())
    if (module->isApplication) names.push_back(module->name);
  return names;
}

void AcRxDynamicLinker::sendToAll(AcRx::AppMsgCode msg) {
  // A message may load or unload modules; walk a snapshot and skip the ones that went away.
  std::vector<Module*> snapshot;
  for (auto& module : modules()) snapshot.push_back(module.get());
  for (Module* module : snapshot)
    if (moduleOfPacket(module) && module->isApplication) sendMessage(*module, msg);
}

void AcRxDynamicLinker::unloadAll() {
  while (!modules().empty()) {
    Module* module = modules().back().get();
    if (module->isApplication) sendMessage(*module, AcRx::kUnloadAppMsg);
    closeModule(*module);
    eraseModule(module);
  }
}

AcRxDynamicLinker* acrxDynamicLinkerPtr() {
  static AcRxDynamicLinker* linker = [] {
    auto* created = new AcRxDynamicLinker();  // lives for the process, as the registry entry
    acrxSysRegistry()->atPut("DynamicLinker", created);
    return created;
  }();
  return linker;
}

resbuf* acedArxLoaded() {
  resbuf* head = nullptr;
  resbuf** tail = &head;
  for (const std::string& name : acrxDynamicLinker->applicationNames()) {
    resbuf* link = acutNewRb(RTSTR);
    link->resval.rstring = strdup(name.c_str());
    *tail = link;
    tail = &link->rbnext;
  }
  return head;
}
