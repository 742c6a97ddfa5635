// The configuration file reader: any file can be read, and a value set on top of it reads back
// after the file is read again.
#include <cstdlib>

#include "amg/CaeConfig.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto path = kestrum::fuzz::WriteInput(data, size, "kestrum.ini");
  setenv("KESTRUM_CONFIG", path.c_str(), 1);
  CaeConfig::Reset();
  for (int scope : {0, 1}) {
    (void)CaeConfig::GetValue(CaeString("Root Directory"), scope);
    long number = 0;
    (void)CaeConfig::GetValue(CaeString("EnableBrowserRebuild"), scope, number);
  }
  if (CaeConfig::SetValue(CaeString("Fuzz Value"), CaeString("42"), 0)) {
    CaeConfig::Reset();
    const auto value = CaeConfig::GetValue(CaeString("Fuzz Value"), 0);
    if (!value || value->Str() != "42") kestrum::fuzz::Fail("a value written does not read back");
  }
  return 0;
}
