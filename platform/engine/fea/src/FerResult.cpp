#include "fea/FerResult.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "UnitText.h"
#include "amg/CaeMsgCall.h"
#include "fea/FeaMessages.h"
#include "fea/FerResultData.h"
#include "fea/FerSettings.h"

namespace {

struct Quantity {
  int type;
  const char* name;
  CaeUnitType unit;
  const char* components[FerResult::kMaxComponents];
  const char* cylindrical[FerResult::kMaxComponents];  // the names in a cylindrical system; null: as above
  bool average, colors, deformation, symbol;
};

// Element quantities can be averaged at nodes; vectors can be shown as symbols; only the
// displacement deforms the shape.
constexpr Quantity kQuantities[] = {
    {FerQtyStress,
     "Stress",
     CaeUtStress,
     {"Von Mises", "P1", "P2", "P3", "XX", "YY", "ZZ", "XY", "YZ", "ZX"},
     {"Von Mises", "P1", "P2", "P3", "RR", "TT", "ZZ", "RT", "TZ", "ZR"},
     true,
     true,
     false,
     false},
    {FerQtyStrain,
     "Strain",
     CaeUtStrain,
     {"Equivalent", "P1", "P2", "P3", "XX", "YY", "ZZ", "XY", "YZ", "ZX"},
     {"Equivalent", "P1", "P2", "P3", "RR", "TT", "ZZ", "RT", "TZ", "ZR"},
     true,
     true,
     false,
     false},
    {FerQtyDisplacement,
     "Displacement",
     CaeUtLength,
     {"X", "Y", "Z", "Magnitude"},
     {"R", "T", "Z", "Magnitude"},
     false,
     true,
     true,
     true},
    {FerQtyTemperature, "Temperature", CaeUtTemperature, {"Temperature"}, {}, false, true, false, false},
    {FerQtyHeatFlux,
     "Heat Flux",
     CaeUtHeatFlux,
     {"X", "Y", "Z", "Magnitude"},
     {"R", "T", "Z", "Magnitude"},
     true,
     true,
     false,
     true},
    {FerQtyStrainEnergy, "Strain Energy", CaeUtStress, {"Density"}, {}, true, true, false, false},
    {FerQtyErrorEstimate, "Error Estimate", CaeUtNone, {"Stress Error"}, {}, false, true, false, false},
    {FerQtyElementEnergy, "Element Strain Energy", CaeUtEnergy, {"Energy"}, {}, false, true, false, false},
    {FerQtyMaterial, "Material", CaeUtNone, {"Density"}, {}, false, true, false, false},
};

const Quantity* FindQuantity(int type) {
  for (const Quantity& q : kQuantities)
    if (q.type == type) return &q;
  return nullptr;
}

}  // namespace

int FerIsNodalOnly(int quantityType) {
  return quantityType == FerQtyDisplacement || quantityType == FerQtyTemperature ||
         quantityType == FerQtyStrainEnergy || quantityType == FerQtyErrorEstimate;
}

FerResult::FerResult(int quantityType) { SetQuantityType(quantityType); }

int FerResult::GetInfo(FerInfo& info, int infoType, int, const FerDataSetting& data, int subset, double scale) const {
  info.Clear();
  if (infoType != kInfoMinMax) return 0;
  int component = 0;
  while (component < kMaxComponents && !(data.component & (1 << component))) ++component;
  if (component == kMaxComponents) component = 0;
  const int index = subset - 1;
  if (index < 0 || index >= NumNodalSubsets() || component >= NumComponents()) return 0;
  const std::vector<long>& ids = NodeIds(index);
  const std::vector<double>& values = NodeValues(index);
  const int components = NumComponents();
  std::size_t low = ids.size(), high = ids.size();
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const double v = values[i * components + component];
    if (!std::isfinite(v)) continue;
    if (low == ids.size() || v < values[low * components + component]) low = i;
    if (high == ids.size() || v > values[high * components + component]) high = i;
  }
  if (low == ids.size()) return 0;
  info.Add(values[low * components + component] * scale, ids[low]);
  info.Add(values[high * components + component] * scale, ids[high]);
  return info.NumItems();
}

int FerResult::NameToType(const CaeString& name) {
  for (const Quantity& q : kQuantities)
    if (name == q.name) return q.type;
  return 0;
}

void FerResultSubSet::SetValue(double value) {
  if (set_) set_->AboutToChange();
  value_ = value;
}

void FerResult::AboutToChange() {
  if (set_) set_->AboutToChange();
}

void FerResult::SetCountsOfValues(int entities, int subsets) {
  entityCount_ = entities;
  subSetCount_ = subsets;
}

void FerResult::SetQuantityType(int type) {
  AboutToChange();
  quantityType_ = type;
  if (name_.IsEmpty())
    if (const Quantity* q = FindQuantity(type)) name_ = CaeString(q->name);
}

CaeUnitType FerResult::UnitType() const {
  const Quantity* q = FindQuantity(quantityType_);
  return q ? q->unit : CaeUtNone;
}

CaeString FerResult::CompName(int i) const {
  const Quantity* q = FindQuantity(quantityType_);
  if (!q || i < 0 || i >= kMaxComponents || !q->components[i]) return CaeString();
  return CaeString(q->components[i]);
}

int FerResult::GetComponentNames(CaeString names[kMaxComponents], int cylindrical) const {
  const Quantity* q = FindQuantity(quantityType_);
  int count = 0;
  for (int i = 0; i < kMaxComponents; ++i) {
    const char* name = nullptr;
    if (q) name = (cylindrical && q->cylindrical[0]) ? q->cylindrical[i] : q->components[i];
    names[i] = CaeString(name);
    if (name && count == i) ++count;
  }
  return count;
}

int FerResult::CanAverage() const {
  const Quantity* q = FindQuantity(quantityType_);
  return q && q->average;
}

int FerResult::CanShowAsColors() const {
  const Quantity* q = FindQuantity(quantityType_);
  return q && q->colors;
}

int FerResult::CanShowAsDeformation() const {
  const Quantity* q = FindQuantity(quantityType_);
  return q && q->deformation;
}

int FerResult::CanShowAsSymbol() const {
  const Quantity* q = FindQuantity(quantityType_);
  return q && q->symbol;
}

int FerResult::NumComponents() const {
  int count = 0;
  while (count < kMaxComponents && !CompName(count).IsEmpty()) ++count;
  return count;
}

void FerResult::SetNodalData(int subset, std::vector<long> ids, std::vector<double> values) {
  CAE_CHECK(subset >= 0 && values.size() == ids.size() * static_cast<std::size_t>(NumComponents()));
  if (static_cast<int>(nodal_.size()) <= subset) nodal_.resize(subset + 1);
  nodal_[subset].ids = std::move(ids);
  nodal_[subset].values = std::move(values);
  nodal_[subset].index.clear();
  nodal_[subset].indexed = std::make_shared<std::once_flag>();
  // Values are not filed with the set: loading them is no change of its record.
  SetCountsOfValues(static_cast<int>(nodal_[subset].ids.size()), NumNodalSubsets());
}

const std::vector<long>& FerResult::NodeIds(int subset) const {
  static const std::vector<long> none;
  return subset >= 0 && subset < NumNodalSubsets() ? nodal_[subset].ids : none;
}

const std::vector<double>& FerResult::NodeValues(int subset) const {
  static const std::vector<double> none;
  return subset >= 0 && subset < NumNodalSubsets() ? nodal_[subset].values : none;
}

bool FerResult::NodeValue(int subset, long id, int component, double& value) const {
  if (subset < 0 || subset >= NumNodalSubsets() || component < 0 || component >= NumComponents()) return false;
  return Lookup(nodal_[subset], NumComponents(), id, component, value);
}

bool FerResult::Lookup(const Nodal& data, int components, long id, int component, double& value) {
  std::call_once(*data.indexed, [&data] {
    for (std::size_t i = 0; i < data.ids.size(); ++i) data.index[data.ids[i]] = i;
  });
  auto found = data.index.find(id);
  if (found == data.index.end()) return false;
  value = data.values[found->second * components + component];
  return true;
}

void FerResult::SetElementData(int subset, std::vector<long> ids, std::vector<double> values) {
  CAE_CHECK(subset >= 0 && values.size() == ids.size() * static_cast<std::size_t>(NumComponents()));
  if (static_cast<int>(elemental_.size()) <= subset) elemental_.resize(subset + 1);
  elemental_[subset].ids = std::move(ids);
  elemental_[subset].values = std::move(values);
  elemental_[subset].index.clear();
  elemental_[subset].indexed = std::make_shared<std::once_flag>();
  // Values are not filed with the set: loading them is no change of its record.
  SetCountsOfValues(static_cast<int>(elemental_[subset].ids.size()), NumElementSubsets());
}

const std::vector<double>& FerResult::ElementValues(int subset) const {
  static const std::vector<double> none;
  return subset >= 0 && subset < NumElementSubsets() ? elemental_[subset].values : none;
}

void FerResult::TakeValues(FerResult& other) {
  nodal_ = std::move(other.nodal_);
  elemental_ = std::move(other.elemental_);
  other.nodal_.clear();
  other.elemental_.clear();
}

const std::vector<long>& FerResult::ElementIds(int subset) const {
  static const std::vector<long> none;
  return subset >= 0 && subset < NumElementSubsets() ? elemental_[subset].ids : none;
}

bool FerResult::ElementValue(int subset, long id, int component, double& value) const {
  if (subset < 0 || subset >= NumElementSubsets() || component < 0 || component >= NumComponents()) return false;
  return Lookup(elemental_[subset], NumComponents(), id, component, value);
}

bool FerResult::Range(int subset, int component, double& minimum, double& maximum) const {
  const int n = NumComponents();
  if (subset < 0 || subset >= NumNodalSubsets() || component < 0 || component >= n) return false;
  const std::vector<double>& values = nodal_[subset].values;
  if (values.empty()) return false;
  minimum = maximum = values[component];
  for (std::size_t i = component; i < values.size(); i += n) {
    minimum = std::min(minimum, values[i]);
    maximum = std::max(maximum, values[i]);
  }
  return true;
}

FerResultSet::FerResultSet() = default;

// The name is set in the body too (see AnlModel's constructor).
FerResultSet::FerResultSet(const CaeString& name) : CaeName(name) { Name(name); }

FerResultSet::~FerResultSet() = default;

int FerResultSet::Create(const CaeString& name) {
  CAE_CHECK(subSets_.empty() && results_.empty());
  AboutToChange();
  Name(name);
  return 1;
}

bool FerResultSet::LoadData() {
  if (mesh_) return true;
  if (!dataProblem_.empty()) return false;
  if (dataFile_.IsEmpty() || dataFolder_.empty()) {
    dataProblem_ = "The result set \"" + Name().Str() + "\" has no data filed with the drawing.";
  } else {
    const std::filesystem::path path = std::filesystem::path(dataFolder_) / dataFile_.Str();
    if (const kestrum::Status read = FerResultData::Read(path, *this); !read) {
      CaeMsgCall::Message(1, kFeaMsgResultsDamaged, {CaeString(path.string()), CaeString(read.problem().message)});
      dataProblem_ = "The data of the result set \"" + Name().Str() + "\" could not be read: " + read.problem().message;
    }
  }
  return mesh_ != nullptr;
}

FerResultSubSet* FerResultSet::GetSubSet(int index) const {
  return index >= 0 && index < NumSubSets() ? subSets_[index].get() : nullptr;
}

void FerResultSet::AddSubSet(FerResultSubSet* subSet) {
  CAE_CHECK(subSet);
  AboutToChange();
  subSet->set_ = this;
  subSets_.emplace_back(subSet);
}

void FerResultSet::AddResult(FerResult* result) {
  CAE_CHECK(result);
  AboutToChange();
  result->set_ = this;
  results_.emplace_back(result);
}

FerResult* FerResultSet::FirstResult() {
  cursor_ = 0;
  return results_.empty() ? nullptr : results_.front().get();
}

FerResult* FerResultSet::NextResult() {
  if (cursor_ + 1 >= results_.size()) {
    cursor_ = results_.size();
    return nullptr;
  }
  return results_[++cursor_].get();
}

FerResult* FerResultSet::FindResult(int quantityType) const {
  for (const auto& result : results_)
    if (result->QuantityType() == quantityType) return result.get();
  return nullptr;
}

// --- FerMesh -------------------------------------------------------------------------------

int FerMesh::NodesOf(int type) {
  static constexpr int kNodes[] = {0, 8, 6, 4, 20, 15, 10, 3, 6, 4, 8, 2, 3};
  return type >= 1 && type <= kBeam3 ? kNodes[type] : 0;
}

CaeString FerUnitText(CaeUnitType type) { return fea_detail::UnitTypeText(type); }

const char* FerQuantityName(int quantityType) {
  switch (quantityType) {
    case FerQtyStress: return "Stress";
    case FerQtyStrain: return "Strain";
    case FerQtyDisplacement: return "Displacement";
    case FerQtyTemperature: return "Temperature";
    case FerQtyHeatFlux: return "Heat Flux";
    case FerQtyStrainEnergy: return "Strain Energy";
    case FerQtyErrorEstimate: return "Error Estimate";
    case FerQtyElementEnergy: return "Element Energy";
    case FerQtyMaterial: return "Material";
    default: return "Result";
  }
}

int FerSymbolSetting::NodalOnly() const { return FerIsNodalOnly(GetResult()); }
