#include "DatReader.h"

#include <charconv>
#include <map>
#include <string_view>

#include "kestrum/text.h"

namespace fea_detail {

namespace {

constexpr std::string_view kEnergyHead = " internal energy (element, energy) for set ";

using kestrum::Trim;

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

// "   12   3  1.0E+00 ... (six values)": an element, its integration point and the tensor there.
bool TensorLine(std::string_view line, long& id, double values[6]) {
  auto next = [&line](std::string_view& word) {
    line = Trim(line);
    if (line.empty()) return false;
    const std::size_t gap = line.find(' ');
    word = line.substr(0, gap);
    line = gap == std::string_view::npos ? std::string_view() : line.substr(gap);
    return true;
  };
  std::string_view word;
  if (!next(word)) return false;
  auto [idEnd, idError] = std::from_chars(word.data(), word.data() + word.size(), id);
  if (idError != std::errc() || idEnd != word.data() + word.size()) return false;
  long point = 0;
  if (!next(word)) return false;
  auto [pointEnd, pointError] = std::from_chars(word.data(), word.data() + word.size(), point);
  if (pointError != std::errc() || pointEnd != word.data() + word.size()) return false;
  for (int k = 0; k < 6; ++k) {
    if (!next(word)) return false;
    auto [end, valueError] = std::from_chars(word.data(), word.data() + word.size(), values[k]);
    if (valueError != std::errc() || end != word.data() + word.size()) return false;
  }
  return Trim(line).empty();
}

// The running sums of one step's integration points, element by element in the file's order.
struct TensorSums {
  std::vector<long> ids;
  std::vector<double> sums;  // six per element
  std::vector<int> points;
  std::map<long, std::size_t> index;

  void Add(long id, const double v[6]) {
    auto [found, added] = index.try_emplace(id, ids.size());
    if (added) {
      ids.push_back(id);
      sums.insert(sums.end(), 6, 0.0);
      points.push_back(0);
    }
    // The file's XY XZ YZ become XY YZ ZX.
    const double ordered[6] = {v[0], v[1], v[2], v[3], v[5], v[4]};
    for (int k = 0; k < 6; ++k) sums[found->second * 6 + k] += ordered[k];
    ++points[found->second];
  }

  ElementValues Averages() const {
    ElementValues out{ids, sums};
    for (std::size_t i = 0; i < ids.size(); ++i)
      for (int k = 0; k < 6; ++k) out.values[i * 6 + k] /= points[i];
    return out;
  }
};

}  // namespace

kestrum::Result<std::vector<ElementValues>> ReadElementTensors(const std::string& text, ElementTensor tensor,
                                                               const std::string& file) {
  const std::string_view head = tensor == ElementTensor::Stress
                                    ? " stresses (elem, integ.pnt.,sxx,syy,szz,sxy,sxz,syz) for set "
                                    : " strains (elem, integ.pnt.,exx,eyy,ezz,exy,exz,eyz) for set ";
  std::vector<TensorSums> read;
  std::map<std::string, std::size_t> seen;  // blocks of each set so far
  std::string_view rest(text);
  long lineNumber = 0;
  bool inBlock = false;
  std::size_t blockLines = 0;
  TensorSums* into = nullptr;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    ++lineNumber;
    if (line.rfind(head, 0) == 0) {
      const std::string_view tail = line.substr(head.size());
      const std::string set(tail.substr(0, tail.find(' ')));
      const std::size_t step = seen[set]++;
      if (read.size() <= step) read.resize(step + 1);
      into = &read[step];
      inBlock = true;
      blockLines = 0;
      continue;
    }
    if (!inBlock) continue;
    // A blank line follows the head; the next one ends the block.
    if (Trim(line).empty()) {
      inBlock = blockLines == 0;
      continue;
    }
    long id = 0;
    double values[6];
    if (!TensorLine(line, id, values)) {
      return kestrum::Problem{
          std::string("an element's ") + (tensor == ElementTensor::Stress ? "stress" : "strain") + " cannot be read",
          file, static_cast<int>(lineNumber)};
    }
    into->Add(id, values);
    ++blockLines;
  }
  std::vector<ElementValues> averaged;
  for (const TensorSums& step : read) averaged.push_back(step.Averages());
  return averaged;
}

kestrum::Result<std::vector<ElementValues>> ReadElementEnergies(const std::string& text, const std::string& file) {
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
      return kestrum::Problem{"an element's energy cannot be read", file, static_cast<int>(lineNumber)};
    }
    into->ids.push_back(id);
    into->values.push_back(value);
    ++blockValues;
  }
  return read;
}

}  // namespace fea_detail
