#include "fea/FerResult.h"

#include "amg/CaeMsgCall.h"

namespace {

struct Quantity {
  int type;
  const char* name;
  CaeUnitType unit;
  const char* components[4];
  const char* cylindrical[4];  // the names in a cylindrical system; null: as above
  bool average, colors, deformation, symbol;
};

// Element quantities can be averaged at nodes; vectors can be shown as symbols; only the
// displacement deforms the shape.
constexpr Quantity kQuantities[] = {
    {FerQtyStress, "Stress", CaeUtStress, {"Von Mises", "P1", "P2", "P3"}, {}, true, true, false, false},
    {FerQtyStrain, "Strain", CaeUtStrain, {"Equivalent", "P1", "P2", "P3"}, {}, true, true, false, false},
    {FerQtyDisplacement, "Displacement", CaeUtLength, {"X", "Y", "Z", "Magnitude"}, {"R", "T", "Z", "Magnitude"},
     false, true, true, true},
    {FerQtyTemperature, "Temperature", CaeUtTemperature, {"Temperature"}, {}, false, true, false, false},
    {FerQtyHeatFlux, "Heat Flux", CaeUtHeatFlux, {"X", "Y", "Z", "Magnitude"}, {"R", "T", "Z", "Magnitude"}, true,
     true, false, true},
    {FerQtyMaterial, "Material", CaeUtNone, {"Density"}, {}, false, true, false, false},
};

const Quantity* FindQuantity(int type) {
  for (const Quantity& q : kQuantities)
    if (q.type == type) return &q;
  return nullptr;
}

}  // namespace

FerResult::FerResult(int quantityType) { SetQuantityType(quantityType); }

int FerResult::NameToType(const CaeString& name) {
  for (const Quantity& q : kQuantities)
    if (name == q.name) return q.type;
  return 0;
}

void FerResult::SetQuantityType(int type) {
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
  if (!q || i < 0 || i >= 4 || !q->components[i]) return CaeString();
  return CaeString(q->components[i]);
}

int FerResult::GetComponentNames(CaeString names[kMaxComponents], int cylindrical) const {
  const Quantity* q = FindQuantity(quantityType_);
  int count = 0;
  for (int i = 0; i < kMaxComponents; ++i) {
    const char* name = nullptr;
    if (q && i < 4) name = (cylindrical && q->cylindrical[0]) ? q->cylindrical[i] : q->components[i];
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

FerResultSet::FerResultSet() = default;

FerResultSet::FerResultSet(const CaeString& name) : CaeName(name) {}

FerResultSet::~FerResultSet() = default;

int FerResultSet::Create(const CaeString& name) {
  CAE_CHECK(subSets_.empty() && results_.empty());
  Name(name);
  return 1;
}

FerResultSubSet* FerResultSet::GetSubSet(int index) const {
  return index >= 0 && index < NumSubSets() ? subSets_[index].get() : nullptr;
}

void FerResultSet::AddSubSet(FerResultSubSet* subSet) {
  CAE_CHECK(subSet);
  subSets_.emplace_back(subSet);
}

void FerResultSet::AddResult(FerResult* result) {
  CAE_CHECK(result);
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
