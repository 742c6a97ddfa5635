// The solver's printed output reader (element energies, stresses and strains).
#include <string>

#include "DatReader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace fea_detail;
  const std::string text = kestrum::fuzz::Text(data, size);
  if (const auto read = ReadElementEnergies(text, "input.dat"); !read && read.problem().message.empty())
    kestrum::fuzz::Fail("energies refused without a reason");
  for (ElementTensor tensor : {ElementTensor::Stress, ElementTensor::Strain}) {
    if (const auto read = ReadElementTensors(text, tensor, "input.dat"); !read && read.problem().message.empty())
      kestrum::fuzz::Fail("tensors refused without a reason");
  }
  return 0;
}
