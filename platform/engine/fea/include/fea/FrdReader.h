// Reading CalculiX's results file (.frd, ASCII) into a result set.
//
// Each numbered result block of the file (a load case, a vibration mode or a buckling mode) becomes
// a subset: its value is the case number, the mode's frequency (native frequency units) or the
// buckling factor (the state under the applied loads that a buckling run writes before its modes is
// not a subset). The blocks become results by node: displacements, stresses and strains (with
// the equivalent value and principal values computed from the six components), temperatures,
// heat fluxes, strain energy densities and the solver's stress error estimate (its "ERROR"
// block, from the jumps of the element stresses met at each node), which is kept as a percentage
// of the subset's largest von Mises stress (the file has it relative to each node's own stress);
// blocks of other quantities are passed over. The solver's printed output beside the file (same
// name, ".dat"), when there is one, gives the strain energy of each element (a result by
// element) and, when printed there, each element's stresses and strains averaged over its
// integration points: these are the element values of the stress and strain results, with the
// same components (von Mises or equivalent strain first) and units as their nodal values, one
// element subset per step or mode. Values are converted from the file's unit system to the native one.
//
// The file is read whole and parsed by plain character scanning. A damaged file (a truncated block,
// an unreadable number, a missing end record, an unreadable element energy, stress or strain) is
// a problem naming the file and its line, and the result set is left exactly as it was: nothing
// half-read is kept.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "amg/CaeString.h"
#include "fea/AnlTypes.h"
#include "kestrum/result.h"

#include "fea/FerResult.h"

class CaeUnitSystem;

namespace FrdReader {

// Reads `path` into `set` (which should have no subsets or results yet) for an analysis of `type`.
// A problem (and `set` unchanged) when the file cannot be read or is damaged.
kestrum::Status Read(const std::string& path, AnlType type, const CaeUnitSystem& fileUnits, FerResultSet& set);
// The same, asking `target` for the set only once the whole file has been read well (so a model
// gets a new result set only for a good file).
kestrum::Status Read(const std::string& path, AnlType type, const CaeUnitSystem& fileUnits,
                     const std::function<FerResultSet*()>& target);

// Vectors by node as the file has them (file units): three values per id.
struct NodalVectors {
  std::vector<long> ids;
  std::vector<double> values;
};
// One per result block of the file, in the file's order: its displacements and the solver's
// nodal forces (empty when the block has none).
struct StepVectors {
  NodalVectors displacements;
  NodalVectors forces;
};
kestrum::Result<std::vector<StepVectors>> ReadNodalVectors(const std::string& path);

// The file's mesh (nodes and elements, file units); a problem when the file is damaged.
kestrum::Result<FerMesh> ReadMesh(const std::string& path);

// Checks a results file against the input deck it was computed from: the deck's first analysis
// step keyword gives the type (*STATIC, *FREQUENCY, *BUCKLE, *HEAT TRANSFER), and the ids of
// its *NODE and *ELEMENT lines must be those of the file's mesh. A problem says what differs.
kestrum::Result<AnlType> CheckAgainstDeck(const std::string& frdPath, const std::string& deckPath);

}  // namespace FrdReader
