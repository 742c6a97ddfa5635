#include "ErrorEstimate.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "fea/AnlTypes.h"
#include "fea/FerResult.h"

namespace fea_detail {

namespace {

// Which component carries the field's size: the equivalent stress, a vector's magnitude, the
// temperature itself.
int FieldComponent(int quantityType) {
  return quantityType == FerQtyDisplacement || quantityType == FerQtyHeatFlux ? 3 : 0;
}

// Positions of a subset's values by node id.
std::unordered_map<long, std::size_t> IndexOf(const std::vector<long>& ids) {
  std::unordered_map<long, std::size_t> index;
  index.reserve(ids.size());
  for (std::size_t i = 0; i < ids.size(); ++i) index.emplace(ids[i], i);
  return index;
}

bool AnyNonZero(const FerResult& result) {
  for (int s = 0; s < result.NumNodalSubsets(); ++s)
    for (double v : result.NodeValues(s))
      if (v != 0.0) return true;
  return false;
}

void Centroid(const FerMesh& mesh, const std::unordered_map<long, std::size_t>& index, int element, double centre[3],
              double& size) {
  const std::size_t first = mesh.elementStarts[element];
  const int corners = std::max(1, CornersOf(mesh.elementTypes[element]));
  centre[0] = centre[1] = centre[2] = 0.0;
  std::vector<const double*> points;
  for (int k = 0; k < corners; ++k) {
    const auto found = index.find(mesh.elementNodes[first + k]);
    if (found == index.end()) continue;
    points.push_back(&mesh.coordinates[found->second * 3]);
  }
  for (const double* p : points)
    for (int a = 0; a < 3; ++a) centre[a] += p[a] / static_cast<double>(points.size());
  double total = 0.0;
  int edges = 0;
  for (std::size_t i = 0; i < points.size(); ++i)
    for (std::size_t j = i + 1; j < points.size(); ++j) {
      const double dx = points[i][0] - points[j][0], dy = points[i][1] - points[j][1], dz = points[i][2] - points[j][2];
      total += std::sqrt(dx * dx + dy * dy + dz * dz);
      ++edges;
    }
  size = edges ? total / edges : 0.0;
}

// The error of each element from the solver's nodal estimate: the largest at its nodes.
void FromSolver(const FerMesh& mesh, const FerResult& estimate, std::vector<double>& percent) {
  for (int s = 0; s < estimate.NumNodalSubsets(); ++s) {
    const std::vector<long>& ids = estimate.NodeIds(s);
    const std::vector<double>& values = estimate.NodeValues(s);
    const auto index = IndexOf(ids);
    for (int e = 0; e < mesh.NumElements(); ++e)
      for (std::size_t k = mesh.elementStarts[e]; k < mesh.elementStarts[e + 1]; ++k) {
        const auto found = index.find(mesh.elementNodes[k]);
        if (found != index.end()) percent[e] = std::max(percent[e], values[found->second]);
      }
  }
}

// The error of each element from the field: the largest difference between the averaged value at
// a node and the element's own value (the solver's element value where it gives one, else the
// mean at its nodes), in percent of the subset's peak. Answers false when the field is zero.
bool FromField(const FerMesh& mesh, const FerResult& field, std::vector<double>& percent) {
  const int components = field.NumComponents();
  const int component = FieldComponent(field.QuantityType());
  bool judged = false;
  for (int s = 0; s < field.NumNodalSubsets(); ++s) {
    const std::vector<double>& values = field.NodeValues(s);
    double peak = 0.0;
    for (std::size_t i = component; i < values.size(); i += components) peak = std::max(peak, std::fabs(values[i]));
    if (!(peak > 0.0)) continue;
    judged = true;
    const auto index = IndexOf(field.NodeIds(s));
    const bool byElement = s < field.NumElementSubsets() && !field.ElementIds(s).empty();
    const std::unordered_map<long, std::size_t> elementIndex =
        byElement ? IndexOf(field.ElementIds(s)) : std::unordered_map<long, std::size_t>();
    std::vector<double> atNodes;
    for (int e = 0; e < mesh.NumElements(); ++e) {
      atNodes.clear();
      for (std::size_t k = mesh.elementStarts[e]; k < mesh.elementStarts[e + 1]; ++k) {
        const auto found = index.find(mesh.elementNodes[k]);
        if (found != index.end()) atNodes.push_back(values[found->second * components + component]);
      }
      if (atNodes.empty()) continue;
      double own = 0.0;
      const auto found = byElement ? elementIndex.find(mesh.elementIds[e]) : elementIndex.end();
      if (found != elementIndex.end()) {
        own = field.ElementValues(s)[found->second * components + component];
      } else {
        for (double v : atNodes) own += v;
        own /= static_cast<double>(atNodes.size());
      }
      double jump = 0.0;
      for (double v : atNodes) jump = std::max(jump, std::fabs(v - own));
      percent[e] = std::max(percent[e], 100.0 * jump / peak);
    }
  }
  return judged;
}

}  // namespace

int CornersOf(int elementType) {
  switch (elementType) {
    case FerMesh::kTet4:
    case FerMesh::kTet10: return 4;
    case FerMesh::kHex8:
    case FerMesh::kHex20: return 8;
    case FerMesh::kWedge6:
    case FerMesh::kWedge15: return 6;
    case FerMesh::kTri3:
    case FerMesh::kTri6: return 3;
    case FerMesh::kQuad4:
    case FerMesh::kQuad8: return 4;
    case FerMesh::kBeam2:
    case FerMesh::kBeam3: return 2;
    default: return 0;
  }
}

bool QuadraticSolids(const FerMesh& mesh) {
  if (mesh.NumElements() == 0) return false;
  for (int type : mesh.elementTypes)
    if (type != FerMesh::kTet10 && type != FerMesh::kHex20 && type != FerMesh::kWedge15) return false;
  return true;
}

int ErrorQuantity(const FerResultSet& set) {
  const int order[2][2] = {{FerQtyStress, FerQtyDisplacement}, {FerQtyHeatFlux, FerQtyTemperature}};
  const int* wanted = order[set.AnalType() == AnlHeatTransfer ? 1 : 0];
  for (int i = 0; i < 2; ++i)
    if (const FerResult* r = set.FindResult(wanted[i]); r && r->NumNodalSubsets() > 0) return wanted[i];
  return 0;
}

bool EstimateErrors(const FerResultSet& set, int quantityType, ElementErrors& out) {
  out = ElementErrors();
  out.quantityType = quantityType;
  const FerMesh* mesh = set.Mesh();
  const FerResult* field = set.FindResult(quantityType);
  if (!mesh || mesh->NumElements() == 0 || !field || field->NumNodalSubsets() == 0) return false;
  std::vector<double> percent(mesh->NumElements(), 0.0);
  // The solver's estimate is zero throughout for linear elements: no estimate then.
  const FerResult* estimate = quantityType == FerQtyStress ? set.FindResult(FerQtyErrorEstimate) : nullptr;
  if (estimate && set.AnalType() == AnlStress && AnyNonZero(*estimate)) {
    out.fromSolver = true;
    FromSolver(*mesh, *estimate, percent);
  } else if (!FromField(*mesh, *field, percent)) {
    return false;
  }
  out.elementIds = mesh->elementIds;
  out.percent = std::move(percent);
  const auto worst = std::max_element(out.percent.begin(), out.percent.end());
  out.worst = static_cast<int>(worst - out.percent.begin());
  out.maxPercent = *worst;
  const auto nodeIndex = IndexOf(mesh->nodeIds);
  Centroid(*mesh, nodeIndex, out.worst, out.worstPlace, out.worstSize);
  // Each node takes the largest error of the elements around it (what a size field needs).
  out.nodeIds = mesh->nodeIds;
  out.nodePercent.assign(mesh->nodeIds.size(), 0.0);
  for (int e = 0; e < mesh->NumElements(); ++e)
    for (std::size_t k = mesh->elementStarts[e]; k < mesh->elementStarts[e + 1]; ++k)
      if (const auto found = nodeIndex.find(mesh->elementNodes[k]); found != nodeIndex.end())
        out.nodePercent[found->second] = std::max(out.nodePercent[found->second], out.percent[e]);
  // The field's size at the worst element, to tell a singular point from a region the mesh resolves.
  const int components = field->NumComponents();
  const int component = FieldComponent(quantityType);
  for (int s = 0; s < field->NumNodalSubsets(); ++s) {
    const auto index = IndexOf(field->NodeIds(s));
    for (std::size_t k = mesh->elementStarts[out.worst]; k < mesh->elementStarts[out.worst + 1]; ++k)
      if (const auto found = index.find(mesh->elementNodes[k]); found != index.end())
        out.worstField =
            std::max(out.worstField, std::fabs(field->NodeValues(s)[found->second * components + component]));
  }
  return true;
}

}  // namespace fea_detail
