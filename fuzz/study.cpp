// The study description parser: a description, or false with a message. Part files named by the
// input are looked up in an empty folder.
#include <string>

#include "Study.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  study::Description description;
  std::string error;
  if (!study::Parse(kestrum::fuzz::Text(data, size), description, error, kestrum::fuzz::ScratchDir()) && error.empty())
    kestrum::fuzz::Fail("a refused study gave no message");
  return 0;
}
