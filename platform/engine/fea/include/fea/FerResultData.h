// The bulk data of a result set in one file: the mesh the results were computed on and every
// result's values by node and by element, in native units, bit for bit as they are in memory.
// The drawing keeps the set's description (name, subsets, results and their codes) in its own
// record and the data here, in a file beside the drawing.
//
// Layout (little-endian): the 8 bytes "KRESDATA", a 32-bit version (1), the mesh (node count,
// node ids, x y z per node, element count, element ids, element types, the count of element node
// entries, the element nodes), the result count, then per result its name (32-bit length and
// bytes), quantity type, component count, nodal subsets and element subsets (each: entry count,
// ids, component values per entry), and last a 64-bit FNV-1a checksum of everything before it.
// Every count is bounded by what the file still holds; every value read must be finite.
#pragma once

#include <filesystem>

#include "kestrum/result.h"

class FerResultSet;

namespace FerResultData {

// Writes the set's mesh and values to `path` atomically; a Problem when the set has no mesh or
// the file cannot be written (an existing file is then left as it was).
kestrum::Status Write(const std::filesystem::path& path, FerResultSet& set);

// Reads `path` into `set`, whose results must be those the file holds: the same count, in the
// same order, with the same names and quantity types. On success the set has the file's mesh and
// every result its values; on a Problem the set is unchanged.
kestrum::Status Read(const std::filesystem::path& path, FerResultSet& set);

}  // namespace FerResultData
