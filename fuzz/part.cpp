// The part file reader: a part, or a KernelError naming what is wrong.
#include "fuzz_support.h"
#include "mcadkernel/error.h"
#include "mcadkernel/partfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    auto part = mcadkernel::readPart(kestrum::fuzz::Text(data, size), "input.part");
    if (!part) kestrum::fuzz::Fail("readPart answered no part and no error");
  } catch (const mcadkernel::KernelError&) {}
  return 0;
}
