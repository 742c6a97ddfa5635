#include "fea/CaeFunc.h"

#include "amg/CaeCoordSys.h"

void CaeFuncLinear::SetDefiningValuesVec(int n, const CaeVector* values, const CaeVector*, const CaeVector*,
                                         const double*) {
  value_ = (n > 0 && values) ? values[0] : CaeVector();
}

CaeVector CaeFuncLinear::EvaluateVecAtPointLocal(const CaeVector&) const { return value_; }

CaeFuncCoordLinear::CaeFuncCoordLinear(CaeFuncVariable* variable, const CaeCoordSys* coordSys,
                                       const int coordinateFlags[3])
    : variable_(variable), coordSys_(coordSys ? coordSys->Clone() : nullptr) {
  if (coordinateFlags)
    for (int k = 0; k < 3; ++k) flags_[k] = coordinateFlags[k] ? 1 : 0;
}

CaeFuncCoordLinear::~CaeFuncCoordLinear() { delete variable_; }

CaeFuncCoordLinear::CaeFuncCoordLinear(const CaeFuncCoordLinear& other)
    : CaeFuncLinear(other),
      variable_(other.variable_ ? new CaeFuncVariable(*other.variable_) : nullptr),
      coordSys_(other.coordSys_ ? other.coordSys_->Clone() : nullptr),
      anchor_(other.anchor_) {
  for (int k = 0; k < 3; ++k) {
    flags_[k] = other.flags_[k];
    gradients_[k] = other.gradients_[k];
  }
}

void CaeFuncCoordLinear::SetDefiningValuesVec(int n, const CaeVector* values, const CaeVector* positions,
                                              const CaeVector* gradients, const double* weights) {
  CaeFuncLinear::SetDefiningValuesVec(n, values, positions, gradients, weights);
  anchor_ = (n > 0 && positions) ? positions[0] : CaeVector();
  for (int k = 0; k < 3; ++k) gradients_[k] = (n > 0 && gradients) ? gradients[k] : CaeVector();
}

bool CaeFuncCoordLinear::VariesInSpace() const {
  for (int k = 0; k < 3; ++k)
    if (flags_[k] && gradients_[k].Length() > 0) return true;
  return false;
}

CaeVector CaeFuncCoordLinear::EvaluateVecAtPointLocal(const CaeVector& point) const {
  // A constant function never asks for coordinates: the origin of a cylindrical or spherical
  // system has none.
  if (!VariesInSpace()) return DefiningValue();
  const CaeVector coordinates = coordSys_ ? coordSys_->CoordinatesOf(point) : point;
  CaeVector value = DefiningValue();
  for (int k = 0; k < 3; ++k)
    if (flags_[k]) value += gradients_[k] * (coordinates[k] - anchor_[k]);
  return value;
}
