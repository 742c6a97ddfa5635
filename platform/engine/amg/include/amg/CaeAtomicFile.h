// Writing a whole file so that readers see either the old or the new content, never a mix.
// Drawings, material libraries, configuration and reports are all written this way.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace CaeFile {
// Writes `content` to a temporary file beside `file`, syncs it, renames it over `file` and syncs
// the folder. On failure `file` is untouched, the temporary file is removed and `error` says why.
bool WriteAtomically(const std::filesystem::path& file, std::string_view content, std::string& error);
}  // namespace CaeFile
