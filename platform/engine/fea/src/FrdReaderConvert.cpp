// Checking a results file against the input deck it was computed from (see FrdReader.h).
#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "fea/FrdReader.h"
#include "kestrum/text.h"

namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The keyword of a "*KEYWORD, PARAM=..." line, in capitals, without the star.
std::string KeywordOf(std::string_view line) {
  std::string_view rest = kestrum::Trim(line.substr(1));
  const std::size_t comma = rest.find(',');
  return Upper(kestrum::Trim(rest.substr(0, comma)));
}

bool LeadingId(std::string_view line, long& id) {
  line = kestrum::Trim(line);
  const std::size_t comma = line.find(',');
  const std::string_view field = kestrum::Trim(line.substr(0, comma));
  auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), id);
  return error == std::errc() && end == field.data() + field.size() && !field.empty();
}

struct DeckContents {
  int type = -1;
  std::vector<long> nodes, elements;
};

// The first analysis step's type and the ids of the deck's *NODE and *ELEMENT data lines. An
// element whose nodes continue on the next line (a line ending with a comma) has its id on the
// first line only.
kestrum::Result<DeckContents> ScanDeck(const std::string& path) {
  const kestrum::Result<std::string> text = kestrum::ReadWholeFile(path);
  if (!text) return text.problem();
  DeckContents deck;
  enum class Section { kOther, kNodes, kElements } section = Section::kOther;
  bool continued = false;
  std::size_t position = 0;
  int lineNumber = 0;
  while (position < text->size()) {
    std::size_t end = text->find('\n', position);
    if (end == std::string::npos) end = text->size();
    const std::string_view line = kestrum::Trim(std::string_view(*text).substr(position, end - position));
    position = end + 1;
    ++lineNumber;
    if (line.empty() || line.rfind("**", 0) == 0) continue;
    if (line.front() == '*') {
      const std::string keyword = KeywordOf(line);
      section = keyword == "NODE" ? Section::kNodes : keyword == "ELEMENT" ? Section::kElements : Section::kOther;
      continued = false;
      if (deck.type < 0) {
        if (keyword == "STATIC") deck.type = AnlStress;
        if (keyword == "FREQUENCY") deck.type = AnlVibration;
        if (keyword == "BUCKLE") deck.type = AnlBuckling;
        if (keyword == "HEAT TRANSFER") deck.type = AnlHeatTransfer;
      }
      continue;
    }
    if (section == Section::kOther) continue;
    if (section == Section::kElements && continued) {
      continued = line.back() == ',';
      continue;
    }
    long id = 0;
    if (!LeadingId(line, id)) return kestrum::Problem{"the deck has a data line without a number", path, lineNumber};
    (section == Section::kNodes ? deck.nodes : deck.elements).push_back(id);
    if (section == Section::kElements) continued = line.back() == ',';
  }
  if (deck.type < 0) return kestrum::Problem{"the deck has no analysis step", path, 0};
  return deck;
}

bool SameIds(std::vector<long> a, std::vector<long> b) {
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  a.erase(std::unique(a.begin(), a.end()), a.end());
  b.erase(std::unique(b.begin(), b.end()), b.end());
  return a == b;
}

}  // namespace

namespace FrdReader {

kestrum::Result<AnlType> CheckAgainstDeck(const std::string& frdPath, const std::string& deckPath) {
  kestrum::Result<DeckContents> deck = ScanDeck(deckPath);
  if (!deck) return deck.problem();
  kestrum::Result<FerMesh> mesh = ReadMesh(frdPath);
  if (!mesh) return mesh.problem();
  if (!SameIds(deck->nodes, mesh->nodeIds))
    return kestrum::Problem{"the deck's nodes are not the nodes of the results file", deckPath, 0};
  if (!SameIds(deck->elements, mesh->elementIds))
    return kestrum::Problem{"the deck's elements are not the elements of the results file", deckPath, 0};
  return static_cast<AnlType>(deck->type);
}

}  // namespace FrdReader
