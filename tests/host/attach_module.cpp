// An application with attach and detach functions of its own, which say when they run.
#include "arx/acutads.h"
#include "arx/rxdlinkr.h"

extern "C" __attribute__((visibility("default"))) int acrxModuleAttach() {
  acutPrintf("\nattach_module attached");
  return 1;
}

extern "C" __attribute__((visibility("default"))) void acrxModuleDetach() { acutPrintf("\nattach_module detached"); }

extern "C" __attribute__((visibility("default"))) int acrxEntryPoint(int msg, void* appPkt) {
  if (msg == AcRx::kInitAppMsg) acrxDynamicLinker->unlockApplication(appPkt);
  return AcRx::kRetOK;
}
