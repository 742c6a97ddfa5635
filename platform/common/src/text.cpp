#include "kestrum/text.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace kestrum {

std::string_view Trim(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n\f\v";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

Result<std::string> ReadWholeFile(const std::filesystem::path& path, std::uintmax_t limit) {
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return Problem{"cannot be read: " + ec.message(), path.string()};
  if (size > limit) {
    return Problem{"is too large to read (" + std::to_string(size) + " bytes, at most " + std::to_string(limit) + ")",
                   path.string()};
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return Problem{std::string("cannot be opened: ") + std::strerror(errno), path.string()};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  if (in.bad() || in.gcount() != static_cast<std::streamsize>(size))
    return Problem{"could not be read to the end", path.string()};
  return bytes;
}

}  // namespace kestrum
