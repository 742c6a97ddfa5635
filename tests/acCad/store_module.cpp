// A module for the host program that brings the store tests' stand-in entities, so that the
// host opens, saves and converts drawings holding them as the tests made them.
#include "arx/rxdlinkr.h"
#include "store_standins.h"

// Its own attach and detach: the linker looks these up through the module's handle, which would
// otherwise find the add-in's (a dependency of this module) and attach the add-in a second time.
extern "C" __attribute__((visibility("default"))) int acrxModuleAttach() { return 1; }
extern "C" __attribute__((visibility("default"))) void acrxModuleDetach() {}

extern "C" __attribute__((visibility("default"))) int acrxEntryPoint(int msg, void* appPkt) {
  if (msg == AcRx::kInitAppMsg) {
    registerStoreStandIns();
    acrxDynamicLinker->unlockApplication(appPkt);
    acrxDynamicLinker->registerAppMDIAware(appPkt);
  } else if (msg == AcRx::kUnloadAppMsg) {
    unregisterStoreStandIns();
  }
  return AcRx::kRetOK;
}
