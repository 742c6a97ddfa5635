// The study description parser: a description, or a problem with a message. It reads nothing from
// the disk; part files named by the input are only looked up when a study runs.
#include <string>

#include "Study.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const kestrum::Result<study::Description> parsed =
      study::ParseStudy(kestrum::fuzz::Text(data, size), kestrum::fuzz::ScratchDir() / "input.study");
  if (!parsed && parsed.problem().message.empty()) kestrum::fuzz::Fail("a refused study gave no message");
  return 0;
}
