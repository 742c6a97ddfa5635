// The dynamic linker: loads and unloads application modules and sends them the host's
// application messages.
//
// An application module is a shared library exporting
//     extern "C" int acrxEntryPoint(int msg, void* appPkt);   // returns AcRx::kRetOK or kRetError
// and optionally
//     extern "C" int acrxModuleAttach(void);   // non-zero accepts the load (stands in for process attach)
//     extern "C" void acrxModuleDetach(void);  // stands in for process detach
// `appPkt` is the module's package: pass it back to unlockApplication / registerAppMDIAware.
//
// Loading (loadModule): dlopen; a library without acrxEntryPoint is closed again and refused;
// attach (a refusal closes the module at once, it never sees a message); message 1 (init app;
// kRetError unloads it again: detach, dlclose); then message 3 (load drawing) once, for the
// current document when there is one.
// Unloading (unloadModule): refused while a command runs, while the application is locked (every
// application starts locked; unlockApplication releases it) or when message 2 answers kRetError;
// otherwise message 2, detach, dlclose.
// The host sends, to every application in load order: 3 after a drawing is created or opened and
// has become current; 4 before a drawing is closed, while it is still current. When the host quits:
// 8 to every application, then every drawing is closed (4 each), then 2 to every application in
// reverse load order, each followed by its detach and dlclose. So 8 always comes before 2 at quit.
// A message that throws counts as kRetError; the host goes on.
#pragma once

#include <string>
#include <vector>

#include "arx/adscodes.h"
#include "arx/rxobject.h"

namespace AcRx {
enum AppMsgCode : int {
  kNullMsg = 0,
  kInitAppMsg = 1,
  kUnloadAppMsg = 2,
  kLoadDwgMsg = 3,
  kUnloadDwgMsg = 4,
  kQuitMsg = 8,
};
enum AppRetCode : int { kRetOK = 0, kRetError = 3 };
}  // namespace AcRx

using AcRxEntryPointFunc = int (*)(int msg, void* appPkt);
using AcRxModuleAttachFunc = int (*)();
using AcRxModuleDetachFunc = void (*)();

class AcRxDynamicLinker : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcRxDynamicLinker);

  // Loads a module by path or file name (a bare name is looked up on the support path first,
  // see acedFindFile). Known built-in libraries of the host ("acbr15.dll") load successfully
  // without a file. With `printIt`, a failure is explained on the command line. True when loaded.
  bool loadModule(const char* fileName, bool printIt, bool asCmd = false);
  // Unloads by module name (case-insensitive file name) or path; true when unloaded.
  bool unloadModule(const char* fileName, bool asCmd = false);
  // Lets the application be unloaded (applications start locked).
  bool unlockApplication(void* appPkt) const;
  bool lockApplication(void* appPkt) const;
  bool isApplicationLocked(const char* moduleName) const;
  // Records that the application copes with several open drawings.
  bool registerAppMDIAware(void* appPkt) const;
  bool isAppMDIAware(const char* moduleName) const;
  // True for a loaded module or library of that name.
  bool isModuleLoaded(const char* moduleName) const;

  // ---- host side ----
  // Lists an application that is linked into the program under `moduleName` (no dlopen) and
  // sends it message 1 (and 3 for the current drawing). False when the name is taken or init fails.
  bool loadBuiltinApplication(const char* moduleName, AcRxEntryPointFunc entryPoint);
  // Names of the loaded applications in load order (built-in libraries are not applications).
  std::vector<std::string> applicationNames() const;
  // Sends a message to every application in load order.
  void sendToAll(AcRx::AppMsgCode msg);
  // Quit: message 8 to all was sent by the caller; sends 2 to every application in reverse load
  // order and unloads it, locked or not.
  void unloadAll();
};

// The "DynamicLinker" entry of the system registry (created on first use).
AcRxDynamicLinker* acrxDynamicLinkerPtr();
#define acrxDynamicLinker acrxDynamicLinkerPtr()

// The loaded application modules as a list of RTSTR result buffers, in load order (release it
// with acutRelRb); null when none is loaded.
resbuf* acedArxLoaded();
