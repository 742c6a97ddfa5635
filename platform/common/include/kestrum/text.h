// Small text and file helpers every layer shares.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "kestrum/result.h"

namespace kestrum {

// The largest file ReadWholeFile reads unless told otherwise (1 GiB).
inline constexpr std::uintmax_t kMaxReadFileBytes = std::uintmax_t{1} << 30;

// `text` without leading and trailing blanks (space, tab, CR, LF, FF, VT).
std::string_view Trim(std::string_view text);

// The whole file as bytes; a Problem naming the file when it cannot be read. Files larger than
// `limit` bytes are refused rather than read.
Result<std::string> ReadWholeFile(const std::filesystem::path& path, std::uintmax_t limit = kMaxReadFileBytes);

}  // namespace kestrum
