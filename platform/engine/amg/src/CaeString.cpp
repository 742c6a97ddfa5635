#include "amg/CaeString.h"

#include <cctype>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "amg/CaeLocale.h"
#include "kestrum/text.h"

CaeString::CaeString(const char* text) : bytes_(text ? text : "") {}
CaeString::CaeString(const char* bytes, std::size_t length)
    : bytes_(bytes ? std::string(bytes, length) : std::string()) {}
CaeString::CaeString(std::string_view text) : bytes_(text) {}
CaeString::CaeString(const std::string& text) : bytes_(text) {}

CaeString CaeString::Format(const char* format, ...) {
  CaeLocale::ForceDecimalPoint cLocale;
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int size = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  CaeString result;
  if (size > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, again);
    result.bytes_.assign(buffer.data(), static_cast<std::size_t>(size));
  }
  va_end(again);
  return result;
}

CaeString CaeString::FromInt(long long value) {
  char buffer[32];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return CaeString(buffer, static_cast<std::size_t>(end - buffer));
}

CaeString CaeString::FromDouble(double value) {
  // to_chars gives the shortest round-tripping text and never looks at the locale.
  char buffer[64];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return CaeString(buffer, static_cast<std::size_t>(end - buffer));
}

CaeString& CaeString::Append(std::string_view text) {
  bytes_.append(text);
  return *this;
}

CaeString& CaeString::operator+=(char c) {
  bytes_.push_back(c);
  return *this;
}

void CaeString::Truncate(std::size_t length) {
  if (length < bytes_.size()) bytes_.resize(length);
}

bool CaeString::ToDouble(double& value) const {
  std::string_view text = kestrum::Trim(bytes_);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  double parsed = 0.0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

bool CaeString::ToInt(long& value) const {
  std::string_view text = kestrum::Trim(bytes_);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  long parsed = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = parsed;
  return true;
}
