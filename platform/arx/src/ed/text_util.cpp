#include "text_util.h"
#include "kestrum/text.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

namespace cadhost {

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::string upperCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

std::string normalisePath(std::string_view path) {
  std::string result(path);
  for (char& c : result)
    if (c == '\\') c = '/';
  return result;
}

std::string fileNameOf(std::string_view path) {
  std::string normal = normalisePath(path);
  std::size_t slash = normal.find_last_of('/');
  return slash == std::string::npos ? normal : normal.substr(slash + 1);
}

std::vector<std::string> splitWords(std::string_view line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    std::string word;
    if (line[i] == '"') {
      ++i;
      while (i < line.size() && line[i] != '"') word += line[i++];
      if (i < line.size()) ++i;  // closing quote
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') word += line[i++];
    }
    words.push_back(word);
  }
  return words;
}

bool parseInt(std::string_view text, int& value) {
  std::string t(kestrum::Trim(text));
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  int parsed = 0;
  auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), parsed);
  if (t.empty() || error != std::errc() || end != t.data() + t.size()) return false;
  value = parsed;
  return true;
}

bool parseReal(std::string_view text, double& value) {
  std::string t(kestrum::Trim(text));
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  double parsed = 0;
  auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), parsed);  // locale-independent
  if (t.empty() || error != std::errc() || end != t.data() + t.size()) return false;
  value = parsed;
  return true;
}

bool parsePoint(std::string_view text, double point[3]) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    std::size_t comma = text.find(',', start);
    parts.push_back(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (parts.size() != 2 && parts.size() != 3) return false;
  double values[3] = {0, 0, 0};
  for (std::size_t i = 0; i < parts.size(); ++i)
    if (!parseReal(parts[i], values[i])) return false;
  for (int i = 0; i < 3; ++i) point[i] = values[i];
  return true;
}

}  // namespace cadhost
