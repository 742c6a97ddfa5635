// The solver's printed output (.dat) beside its results file: the strain energy of each element
// ("internal energy (element, energy) for set NAME" blocks, asked for with *EL PRINT ... ELSE).
#pragma once

#include <string>
#include <vector>

namespace fea_detail {

struct ElementValues {
  std::vector<long> ids;
  std::vector<double> values;  // in the file's units
};

// One entry per step (or mode), the blocks of every element set of that step merged; a step
// begins again each time a set's name comes back. Other blocks are passed over. False with
// `error` naming the line when a block's line cannot be read.
bool ReadElementEnergies(const std::string& text, std::vector<ElementValues>& steps, std::string& error);

enum class ElementTensor { Stress, Strain };

// The stresses or strains printed at each element's integration points (*EL PRINT with S or
// E), averaged over each element's points: six values per id, XX YY ZZ XY YZ ZX (the file's
// order XY XZ YZ is put in ours). Steps as for the energies; false with `error` naming the line
// when a block's line cannot be read.
bool ReadElementTensors(const std::string& text, ElementTensor tensor, std::vector<ElementValues>& steps,
                        std::string& error);

}  // namespace fea_detail
