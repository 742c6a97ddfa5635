#include "MeshAdapt.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "amg/CaeList.h"
#include "fea/AmgMesh.h"
#include "fea/CaeElem.h"
#include "fea/FerResult.h"

namespace fea_detail {

namespace {

double Distance(const CaeVector& a, const CaeVector& b) {
  const double dx = a.X() - b.X(), dy = a.Y() - b.Y(), dz = a.Z() - b.Z();
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The mean edge length of a tetrahedron, as a size the mesher understands.
double SizeOf(const CaeElem& tet) {
  double total = 0.0;
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j) total += Distance(tet.Node(i)->Coordinate(), tet.Node(j)->Coordinate());
  return total / 6;
}

}  // namespace

int SetSizesFromError(AmgMesh& mesh, const FerResult& errors, double targetPercent) {
  if (errors.NumNodalSubsets() == 0 || !(targetPercent > 0)) return 0;
  CaeList<CaeElem> elements;
  mesh.Elements(elements);
  std::vector<CaeElem*> tets;
  for (CaeElem* e : elements)
    if (e->NumNodes() == 4 || e->NumNodes() == 10) tets.push_back(e);
  const double order = mesh.GetElementOrder() == 1 ? 1.0 : 2.0;
  // Each tetrahedron shrinks by its worst node's error, and each corner takes the smallest size of
  // the tetrahedra around it, so a poor node refines its whole neighbourhood.
  std::unordered_map<long, double> wanted;
  int above = 0;
  for (const CaeElem* tet : tets) {
    double worst = 0.0;
    for (int i = 0; i < tet->NumNodes(); ++i) {
      double error = 0.0;
      if (errors.NodeValue(0, tet->Node(i)->Id(), 0, error)) worst = std::max(worst, error);
    }
    double factor = 1.0;
    if (worst > targetPercent) {
      // At most a factor 4 per pass and at least 0.7, so that one pass neither overshoots wildly
      // nor leaves the mesh practically as it was.
      factor = std::clamp(std::pow(targetPercent / worst, 1.0 / order), 0.25, 0.7);
      ++above;
    }
    const double size = SizeOf(*tet) * factor;
    for (int i = 0; i < 4; ++i) {
      const auto [it, added] = wanted.emplace(tet->Node(i)->Id(), size);
      if (!added) it->second = std::min(it->second, size);
    }
  }
  if (above == 0) return 0;
  std::vector<AmgMesh::SizeTet> field;
  field.reserve(tets.size());
  for (const CaeElem* tet : tets) {
    AmgMesh::SizeTet& t = field.emplace_back();
    for (int i = 0; i < 4; ++i) {
      t.corners[i] = tet->Node(i)->Coordinate();
      t.sizes[i] = wanted[tet->Node(i)->Id()];
    }
  }
  mesh.SetSizeField(std::move(field));
  return above;
}

}  // namespace fea_detail
