// A size field from an error estimate: where the estimated stress error at a node exceeds the
// target, the elements there are asked to shrink so that the error (which falls as the size to
// the power of the element order) would meet the target; elsewhere they keep their size.
#pragma once

class AmgMesh;
class FerResult;

namespace fea_detail {

// Gives `mesh` a size field over its current tetrahedra from the error at its nodes (component 0
// of the first subset of `errors`, in percent). Answers how many tetrahedra have a node above
// `targetPercent` (0: nothing to refine, and the mesh is left as it was). The mesh is not regenerated.
int SetSizesFromError(AmgMesh& mesh, const FerResult& errors, double targetPercent);

}  // namespace fea_detail
