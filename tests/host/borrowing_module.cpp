// An application linked against another one (attach_module) without attach or detach functions
// of its own: loading it must not run the other application's.
#include "arx/acutads.h"
#include "arx/rxdlinkr.h"

extern "C" __attribute__((visibility("default"))) int acrxEntryPoint(int msg, void* appPkt) {
  if (msg == AcRx::kInitAppMsg) {
    acrxDynamicLinker->unlockApplication(appPkt);
    acutPrintf("\nborrowing_module loaded");
  }
  return AcRx::kRetOK;
}
