// How good a solved mesh is: an estimated error for each element of a result set's mesh, in
// percent of the peak of the field judged.
//
// Static stress results of quadratic solids carry the solver's estimate at the nodes (rescaled to
// the peak von Mises stress when read); an element's error is the largest at its nodes. Where the
// solver writes none (modes, buckling, heat flux, linear elements), an estimate of the same kind
// compares each element's own value of the field with the averaged nodal field at its nodes: the
// jump that averaging smooths away, which shrinks as the elements do.
#pragma once

#include <vector>

class FerResultSet;
struct FerMesh;

namespace fea_detail {

struct ElementErrors {
  int quantityType = 0;  // the quantity judged
  bool fromSolver = false;
  std::vector<long> elementIds;  // the set's mesh's elements, in mesh order
  std::vector<double> percent;   // one per element
  // Every node of the mesh with the largest error of the elements around it.
  std::vector<long> nodeIds;
  std::vector<double> nodePercent;
  double maxPercent = 0.0;
  int worst = -1;                          // index of the element with the largest error
  double worstPlace[3] = {0.0, 0.0, 0.0};  // its centroid (native lengths)
  double worstSize = 0.0;                  // its mean corner-to-corner edge length
  double worstField = 0.0;                 // the largest magnitude of the field at its nodes
};

// The quantity a set's error is judged by: stress for stress sets and for modes that carry
// stresses, else the displacement; heat flux for heat transfer, else the temperature. 0 when the
// set holds none of them.
int ErrorQuantity(const FerResultSet& set);

// Estimates the error of every element of the set's mesh by `quantityType` (as ErrorQuantity
// answers). False when there is nothing to judge: no mesh, no values of the quantity, a field
// that is zero everywhere.
bool EstimateErrors(const FerResultSet& set, int quantityType, ElementErrors& out);

// Corner nodes of a solver element type (corners come first in every type); 0 for an unknown type.
int CornersOf(int elementType);

// Whether every element of the mesh is a quadratic solid.
bool QuadraticSolids(const FerMesh& mesh);

}  // namespace fea_detail
