// Writing a whole file so that a crash never leaves it half-written.
#pragma once
#include <filesystem>
#include <string>

namespace mcadkernel {

// Writes contents to a temporary file beside path, syncs it, and renames it over path. Throws
// KernelError (and leaves any existing file untouched) when any step fails.
void writeFileAtomically(const std::filesystem::path& path, const std::string& contents);

}  // namespace mcadkernel
