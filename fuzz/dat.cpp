// The solver's printed output reader (element energies, stresses and strains).
#include <string>
#include <vector>

#include "DatReader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace fea_detail;
  const std::string text = kestrum::fuzz::Text(data, size);
  std::vector<ElementValues> steps;
  std::string error;
  if (!ReadElementEnergies(text, steps, error) && error.empty())
    kestrum::fuzz::Fail("energies refused without a reason");
  for (ElementTensor tensor : {ElementTensor::Stress, ElementTensor::Strain}) {
    steps.clear();
    error.clear();
    if (!ReadElementTensors(text, tensor, steps, error) && error.empty())
      kestrum::fuzz::Fail("tensors refused without a reason");
  }
  return 0;
}
