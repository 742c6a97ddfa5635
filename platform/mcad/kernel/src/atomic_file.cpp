#include "atomic_file.h"

#include "kestrum/atomic_file.h"
#include "mcadkernel/error.h"

namespace mcadkernel {

void writeFileAtomically(const std::filesystem::path& path, const std::string& contents) {
  std::string error;
  if (!kestrum::writeFileAtomically(path, contents, &error)) throw KernelError(error);
}

}  // namespace mcadkernel
