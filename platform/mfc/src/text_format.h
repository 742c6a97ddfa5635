// printf-style formatting and number parsing in the "C" locale, whatever the process locale.
#pragma once
#include <cstdarg>
#include <optional>
#include <string>

namespace mfc::detail {

std::string formatV(const char* format, va_list args);
std::string format(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Whole text must be a number (surrounding blanks allowed), as the platform's DDX parses.
std::optional<double> parseDouble(const std::string& text);
std::optional<long> parseLong(const std::string& text);

}  // namespace mfc::detail
