// A minimal application module: it reports each call on the command line, so tests can read the
// order from the transcript. KESTRUM_TEST_MODULE_LOCKED keeps it locked (not unloadable).
#include <cstdlib>

#include "arx/acutads.h"
#include "arx/rxdlinkr.h"

extern "C" __attribute__((visibility("default"))) int acrxModuleAttach() {
  acutPrintf("[attach]");
#ifdef TEST_MODULE_REFUSES_ATTACH
  return 0;
#else
  return 1;
#endif
}

extern "C" __attribute__((visibility("default"))) void acrxModuleDetach() { acutPrintf("[detach]"); }

extern "C" __attribute__((visibility("default"))) int acrxEntryPoint(int msg, void* appPkt) {
  acutPrintf("[msg %d]", msg);
  if (msg == AcRx::kInitAppMsg && !std::getenv("KESTRUM_TEST_MODULE_LOCKED")) {
    acrxDynamicLinker->unlockApplication(appPkt);
    acrxDynamicLinker->registerAppMDIAware(appPkt);
  }
  return AcRx::kRetOK;
}
