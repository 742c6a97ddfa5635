// What a mesh knows per sub-shape of its body: shared by generation and by the index a restored
// mesh builds from the items recorded on its references.
#pragma once

#include <map>
#include <utility>
#include <vector>

#include "fea/AmgMesh.h"

// Pointers into the mesh's own nodes and elements. Every list is in a canonical order whichever
// way it was made (nodes by id, element faces by element then face, segments by their end ids
// with the lower end first), so that a generated mesh and the same mesh restored from a drawing
// give the same lists, and what is summed over them the same sums.
struct AmgMesh::ShapeItems {
  std::map<std::pair<int, int>, std::vector<CaeNode*>> nodes;  // (kind, index), closure included
  std::map<int, std::vector<std::pair<CaeElem*, int>>> faces;  // face index -> (element, its face)
  std::map<int, std::vector<std::vector<CaeNode*>>> segments;  // edge index -> ends (then middle)

  // Puts every list in the canonical order (elements by id).
  void Canonicalise();
};
