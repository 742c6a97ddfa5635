// Building the text of a CalculiX input deck from a model and its result cases (see AnlWriter.h
// for what goes in). Kept apart from the writer so that checking and building share one pass over
// the model.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "amg/CaeString.h"
#include "fea/AnlTypes.h"

class AnlModel;
class CaeMaterial;
class AnlResltCase;

namespace fea_detail {

struct DeckRequest {
  AnlModel* model = nullptr;
  std::vector<AnlResltCase*> cases;
  std::uint32_t outputs = 0;
  int numModes = 0;
  int modeMethod = 0;  // AnlWriter::kModes*
  double lowMode = 0.0;
  double highMode = 0.0;
  double tempConv = 0.0;  // percent; 0: the solver's own criterion
};

// Builds the deck; false with the reasons (each a full message) when the solver would refuse it.
// `ignored` is set when conditions that do not apply to the analysis type were left out.
bool BuildDeck(const DeckRequest& request, std::string& text, std::vector<CaeString>& reasons, bool& ignored);

// What is wrong with the values a material gives an analysis of this type (each a full sentence);
// empty when it can be used.
std::vector<CaeString> MaterialProblems(const CaeMaterial& material, AnlType type);

// Numbers as the deck writes them: shortest round-trip form when it fits the solver's 20-character
// fields (else rounded to fit), "C" locale whatever the process's.
std::string DeckNumber(double value);

}  // namespace fea_detail
