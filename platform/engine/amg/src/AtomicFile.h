// Writing a whole file so that readers see either the old or the new content, never a mix.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace amg_file {
// Writes `content` to a temporary file beside `file`, syncs it, renames it over `file` and syncs
// the folder. On failure `file` is untouched, the temporary file is removed and `error` says why.
bool WriteAtomically(const std::filesystem::path& file, std::string_view content, std::string& error);
}  // namespace amg_file
