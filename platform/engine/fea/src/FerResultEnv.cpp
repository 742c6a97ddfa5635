// A temperature result turned into nodal body temperatures of the current load set.
#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "amg/CaeList.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/CaeElem.h"
#include "fea/FerResult.h"

namespace {

constexpr int kLoadSetKind = 3;
// Two places closer than this share of the result mesh's extent are the same place.
constexpr double kSamePlaceShare = 1e-6;

// Where the result's nodes were, by id, when the current result set holding it has its mesh.
class ResultPlaces {
 public:
  ResultPlaces(AnlControl& control, const FerResult& result) {
    FerResultSet* set = control.CurrentResultSet();
    const FerMesh* mesh = set && set->FindResult(result.QuantityType()) == &result ? set->Mesh() : nullptr;
    if (!mesh || mesh->coordinates.size() != 3 * mesh->nodeIds.size()) return;
    mesh_ = mesh;
    double extent = 0.0;
    for (int i = 0; i < mesh->NumNodes(); ++i) {
      byId_.emplace(mesh->nodeIds[static_cast<std::size_t>(i)], static_cast<std::size_t>(i));
      for (int k = 0; k < 3; ++k)
        extent = std::max(extent, std::fabs(mesh->coordinates[3 * static_cast<std::size_t>(i) + k]));
    }
    tolerance_ = kSamePlaceShare * std::max(extent, 1.0);
  }

  // Whether the node stands where the result's node of its id stood (always, without a mesh).
  bool SamePlace(const CaeNode& node) const {
    if (!mesh_) return true;
    auto found = byId_.find(node.Id());
    if (found == byId_.end()) return false;
    const double* at = &mesh_->coordinates[3 * found->second];
    const CaeVector& p = node.Coordinate();
    for (int k = 0; k < 3; ++k)
      if (!(std::fabs(p[k] - at[k]) <= tolerance_)) return false;
    return true;
  }

 private:
  const FerMesh* mesh_ = nullptr;
  std::unordered_map<long, std::size_t> byId_;
  double tolerance_ = 0.0;
};

}  // namespace

std::vector<std::pair<CaeNode*, double>> FerResult::EnvValues() {
  std::vector<std::pair<CaeNode*, double>> values;
  if (QuantityType() != FerQtyTemperature || NumNodalSubsets() == 0) return values;
  AnlControl* control = AnlControl::GetCurrent();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  if (!model) return values;
  const ResultPlaces places(*control, *this);
  CaeList<CaeNode> nodes;
  model->Nodes(nodes, 0);
  for (CaeNode* node : nodes) {
    double value = 0.0;
    if (NodeValue(0, node->Id(), 0, value) && std::isfinite(value) && places.SamePlace(*node))
      values.emplace_back(node, value);
  }
  return values;
}

int FerResult::EnvNodeCount() { return static_cast<int>(EnvValues().size()); }

int FerResult::CreateEnv() {
  AnlControl* control = AnlControl::GetCurrent();
  AttLbcCase* loads = control ? control->GetCurrentLbcCase(kLoadSetKind) : nullptr;
  AttBaseLbc* temperature = loads ? loads->GetModelLbc(ToAttType(AttCode::BodyTemperature)) : nullptr;
  if (!temperature) return 0;
  const std::vector<std::pair<CaeNode*, double>> made = EnvValues();
  if (made.empty()) return 0;
  const AttFlbcDescript* nodal = AttFlbcDescriptTable().Find(AttFlbcTemperature);
  temperature->ClearFlbcs();
  temperature->SetFDesc(nodal);
  for (const auto& [node, value] : made)
    temperature->AddFlbc(new AttFlbc(node, nodal, temperature, CaeVector(value, 0.0, 0.0), AttLbcComponents()));
  return static_cast<int>(made.size());
}
