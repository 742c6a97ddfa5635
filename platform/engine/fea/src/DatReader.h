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

}  // namespace fea_detail
