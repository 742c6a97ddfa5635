#include "fea/CaeFunc.h"

#include "fea/FeaMessages.h"

void CaeFuncLinear::SetDefiningValuesVec(int n, const CaeVector* values, const CaeVector*, const CaeVector*,
                                         const double*) {
  value_ = (n > 0 && values) ? values[0] : CaeVector();
}

CaeVector CaeFuncLinear::EvaluateVecAtPointLocal(const CaeVector&) const { return value_; }

CaeFuncCoordLinear::CaeFuncCoordLinear(CaeFuncVariable* variable, const CaeCoordSys* coordSys,
                                       const int coordinateFlags[3])
    : variable_(variable), coordSys_(coordSys) {
  if (coordinateFlags && (coordinateFlags[0] || coordinateFlags[1] || coordinateFlags[2]))
    FeaReportNotAvailable("A value that varies with position");
}

CaeFuncCoordLinear::~CaeFuncCoordLinear() { delete variable_; }

CaeFuncCoordLinear::CaeFuncCoordLinear(const CaeFuncCoordLinear& other)
    : CaeFuncLinear(other),
      variable_(other.variable_ ? new CaeFuncVariable(*other.variable_) : nullptr),
      coordSys_(other.coordSys_) {}
