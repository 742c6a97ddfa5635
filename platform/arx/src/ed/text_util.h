// Small text helpers shared by the host's modules (not part of the public API).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cadhost {

bool equalsNoCase(std::string_view a, std::string_view b);
std::string upperCase(std::string_view text);
// The last component of a path; accepts "\" and "/" as separators.
std::string fileNameOf(std::string_view path);
// Turns "\" into "/", so paths typed in either form work.
std::string normalisePath(std::string_view path);
// Splits an input line into words at blanks; "double quotes" keep blanks inside one word.
std::vector<std::string> splitWords(std::string_view line);
// Parses a whole text as a number in the "C" locale; false on anything else.
bool parseInt(std::string_view text, int& value);
bool parseReal(std::string_view text, double& value);
// "x,y" or "x,y,z"; z is 0 when absent.
bool parsePoint(std::string_view text, double point[3]);

}  // namespace cadhost
