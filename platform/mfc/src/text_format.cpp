#include "text_format.h"

#include <locale.h>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace mfc::detail {
namespace {

// Switches this thread to the "C" locale for the lifetime of the object.
class CLocaleScope {
 public:
  CLocaleScope() : c_(newlocale(LC_ALL_MASK, "C", nullptr)), previous_(c_ ? uselocale(c_) : nullptr) {}
  ~CLocaleScope() {
    if (c_) {
      uselocale(previous_);
      freelocale(c_);
    }
  }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  locale_t c_;
  locale_t previous_;
};

bool onlyBlanks(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return *p == '\0';
}

}  // namespace

std::string formatV(const char* format, va_list args) {
  CLocaleScope cLocale;
  va_list copy;
  va_copy(copy, args);
  int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (size <= 0) return {};
  std::vector<char> buffer(static_cast<size_t>(size) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  return std::string(buffer.data(), static_cast<size_t>(size));
}

std::string format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = formatV(format, args);
  va_end(args);
  return text;
}

std::optional<double> parseDouble(const std::string& text) {
  CLocaleScope cLocale;
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  double value = std::strtod(begin, &end);
  if (end == begin || errno == ERANGE || !onlyBlanks(end)) return std::nullopt;
  return value;
}

std::optional<long> parseLong(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  long value = std::strtol(begin, &end, 10);
  if (end == begin || errno == ERANGE || !onlyBlanks(end)) return std::nullopt;
  return value;
}

}  // namespace mfc::detail
