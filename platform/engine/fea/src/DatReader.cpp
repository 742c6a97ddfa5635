#include "DatReader.h"

#include <charconv>
#include <map>
#include <string_view>

namespace fea_detail {

namespace {

constexpr std::string_view kEnergyHead = " internal energy (element, energy) for set ";

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\r')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// "   12  3.4E-05": an element and its value.
bool ElementLine(std::string_view line, long& id, double& value) {
  line = Trim(line);
  const std::size_t gap = line.find(' ');
  if (gap == std::string_view::npos) return false;
  const std::string_view first = line.substr(0, gap), second = Trim(line.substr(gap));
  auto [idEnd, idError] = std::from_chars(first.data(), first.data() + first.size(), id);
  auto [valueEnd, valueError] = std::from_chars(second.data(), second.data() + second.size(), value);
  return idError == std::errc() && idEnd == first.data() + first.size() && valueError == std::errc() &&
         valueEnd == second.data() + second.size();
}

}  // namespace

bool ReadElementEnergies(const std::string& text, std::vector<ElementValues>& steps, std::string& error) {
  std::vector<ElementValues> read;
  std::map<std::string, std::size_t> seen;  // blocks of each set so far
  std::string_view rest(text);
  long lineNumber = 0;
  bool inBlock = false;
  std::size_t blockValues = 0;
  ElementValues* into = nullptr;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    ++lineNumber;
    if (line.rfind(kEnergyHead, 0) == 0) {
      const std::string_view tail = line.substr(kEnergyHead.size());
      const std::string set(tail.substr(0, tail.find(' ')));
      const std::size_t step = seen[set]++;
      if (read.size() <= step) read.resize(step + 1);
      into = &read[step];
      inBlock = true;
      blockValues = 0;
      continue;
    }
    if (!inBlock) continue;
    // A blank line follows the head; the next one ends the block.
    if (Trim(line).empty()) {
      inBlock = blockValues == 0;
      continue;
    }
    long id = 0;
    double value = 0;
    if (!ElementLine(line, id, value)) {
      error = "line " + std::to_string(lineNumber) + ": an element's energy cannot be read";
      return false;
    }
    into->ids.push_back(id);
    into->values.push_back(value);
    ++blockValues;
  }
  steps = std::move(read);
  return true;
}

}  // namespace fea_detail
