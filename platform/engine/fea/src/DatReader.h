// The solver's printed output (.dat) beside its results file: the strain energy of each element
// ("internal energy (element, energy) for set NAME" blocks, asked for with *EL PRINT ... ELSE).
#pragma once

#include <string>
#include <vector>

#include "kestrum/result.h"

namespace fea_detail {

struct ElementValues {
  std::vector<long> ids;
  std::vector<double> values;  // in the file's units
};

// One entry per step (or mode), the blocks of every element set of that step merged; a step
// begins again each time a set's name comes back. Other blocks are passed over. A problem with
// `file` and the line when a block's line cannot be read.
kestrum::Result<std::vector<ElementValues>> ReadElementEnergies(const std::string& text, const std::string& file);

enum class ElementTensor { Stress, Strain };

// The stresses or strains printed at each element's integration points (*EL PRINT with S or
// E), averaged over each element's points: six values per id, XX YY ZZ XY YZ ZX (the file's
// order XY XZ YZ is put in ours). Steps as for the energies; a problem with `file` and the line
// when a block's line cannot be read.
kestrum::Result<std::vector<ElementValues>> ReadElementTensors(const std::string& text, ElementTensor tensor,
                                                               const std::string& file);

}  // namespace fea_detail
