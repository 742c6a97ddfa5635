// The resource compiler's parser: a module or a ResourceError; a module's source form reads back
// into the same module.
#include "fuzz_support.h"
#include "mfc/resource_module.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  mfc::ResourceModule module;
  try {
    module.parse(kestrum::fuzz::Text(data, size), "input.txt");
  } catch (const mfc::ResourceError&) {
    return 0;
  }
  const std::string form = module.serialize();
  mfc::ResourceModule again;
  try {
    again.parse(form, "serialized");
  } catch (const mfc::ResourceError& e) {
    kestrum::fuzz::Fail(e.what());
  }
  if (again.serialize() != form) kestrum::fuzz::Fail("the source form does not read back the same");
  return 0;
}
