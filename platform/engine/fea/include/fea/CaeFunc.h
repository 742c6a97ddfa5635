// Value functions of conditions: the value of a load or restraint at a point.
//
// A condition owns its function. The functions here are constant in space: their value at any
// point is the defining vector exactly (conditions file that value, so it must come back
// unchanged, also on cylindrical and spherical systems whose origin is singular).
#pragma once

#include "amg/CaeString.h"
#include "amg/CaeUnit.h"
#include "amg/CaeVector.h"

class CaeCoordSys;

// The independent variable of a function: a display name and its unit type.
class CaeFuncVariable {
 public:
  CaeFuncVariable(const CaeString& name, CaeUnitType unitType) : name_(name), unitType_(unitType) {}
  const CaeString& Name() const { return name_; }
  CaeUnitType UnitType() const { return unitType_; }

 private:
  CaeString name_;
  CaeUnitType unitType_;
};

class CaeFunc {
 public:
  virtual ~CaeFunc() = default;
  // The value at a point, in the function's own axes.
  virtual CaeVector EvaluateVecAtPointLocal(const CaeVector& point) const = 0;
  // A copy of the same kind (conditions that are copied copy their function).
  virtual CaeFunc* Clone() const = 0;
};

// A function defined by values. Only the first defining vector is used: the value everywhere.
class CaeFuncLinear : public CaeFunc {
 public:
  // n defining vectors; the engine uses the first. The other arguments are the optional
  // positions and gradients of the defining values, not used by constant functions.
  void SetDefiningValuesVec(int n, const CaeVector* values, const CaeVector* positions,
                            const CaeVector* gradients, const double* weights);
  const CaeVector& DefiningValue() const { return value_; }
  CaeVector EvaluateVecAtPointLocal(const CaeVector& point) const override;
  CaeFunc* Clone() const override { return new CaeFuncLinear(*this); }

 private:
  CaeVector value_;
};

// A linear function of the coordinates of a coordinate system. Only the constant form (all
// coordinate flags 0) is supported: a coordinate flag that is set reports "not available yet"
// and the function stays constant.
class CaeFuncCoordLinear : public CaeFuncLinear {
 public:
  // The function owns the variable; the coordinate system stays the caller's.
  CaeFuncCoordLinear(CaeFuncVariable* variable, const CaeCoordSys* coordSys, const int coordinateFlags[3]);
  ~CaeFuncCoordLinear() override;
  CaeFuncCoordLinear(const CaeFuncCoordLinear& other);
  CaeFuncCoordLinear& operator=(const CaeFuncCoordLinear&) = delete;
  const CaeFuncVariable* Variable() const { return variable_; }
  CaeFunc* Clone() const override { return new CaeFuncCoordLinear(*this); }

 private:
  CaeFuncVariable* variable_;
  const CaeCoordSys* coordSys_;
};
