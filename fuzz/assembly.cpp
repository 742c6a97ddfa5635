// The assembly file reader, with the shipped part files beside the input so that its components
// resolve.
#include <filesystem>

#include "fuzz_support.h"
#include "mcadkernel/assembly.h"
#include "mcadkernel/error.h"
#include "mcadkernel/partfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace fs = std::filesystem;
  static const bool copied = [] {
    for (const auto& entry : fs::directory_iterator(fs::path(KESTRUM_FUZZ_SOURCE_DIR) / "data/parts"))
      if (entry.path().extension() == ".part")
        fs::copy_file(entry.path(), kestrum::fuzz::ScratchDir() / entry.path().filename(),
                      fs::copy_options::overwrite_existing);
    return true;
  }();
  (void)copied;
  const fs::path path = kestrum::fuzz::WriteInput(data, size, "input.asm");
  try {
    auto assembly = mcadkernel::readAssemblyFile(path);
    if (!assembly) kestrum::fuzz::Fail("readAssemblyFile answered no assembly and no error");
  } catch (const mcadkernel::KernelError&) {}
  return 0;
}
