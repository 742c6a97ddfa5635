// Value functions of conditions: the value of a load or restraint at a point.
//
// A condition owns its function. A constant function's value at any point is the defining vector
// exactly (conditions file that value, so it must come back unchanged, also on cylindrical and
// spherical systems whose origin is singular). A coordinate-linear function with coordinate flags
// set varies linearly with the flagged coordinates of its coordinate system.
#pragma once

#include <memory>

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
  // Whether the value may differ from point to point (false: the value at any point is the same).
  virtual bool VariesInSpace() const { return false; }
};

// A function defined by values. Only the first defining vector is used: the value everywhere.
class CaeFuncLinear : public CaeFunc {
 public:
  // n defining vectors; the engine uses the first. The other arguments are the optional
  // positions and gradients of the defining values, not used by constant functions.
  virtual void SetDefiningValuesVec(int n, const CaeVector* values, const CaeVector* positions,
                                    const CaeVector* gradients, const double* weights);
  const CaeVector& DefiningValue() const { return value_; }
  CaeVector EvaluateVecAtPointLocal(const CaeVector& point) const override;
  CaeFunc* Clone() const override { return new CaeFuncLinear(*this); }

 private:
  CaeVector value_;
};

// A linear function of the coordinates of a coordinate system (global coordinates without one):
//   value(p) = values[0] + sum over flagged k of gradients[k] * (c[k] - positions[0][k])
// where c = the coordinates of the global point p in the system (x, y, z; r, theta, z; ...).
// With no coordinate flag set (or no gradients given) the function is constant: values[0].
class CaeFuncCoordLinear : public CaeFuncLinear {
 public:
  // The function owns the variable and keeps its own copy of the coordinate system (the
  // condition's system may be replaced or freed first). coordinateFlags may be null (constant).
  CaeFuncCoordLinear(CaeFuncVariable* variable, const CaeCoordSys* coordSys, const int coordinateFlags[3]);
  ~CaeFuncCoordLinear() override;
  CaeFuncCoordLinear(const CaeFuncCoordLinear& other);
  CaeFuncCoordLinear& operator=(const CaeFuncCoordLinear&) = delete;
  const CaeFuncVariable* Variable() const { return variable_; }
  CaeFunc* Clone() const override { return new CaeFuncCoordLinear(*this); }
  // As the base, and for a varying function: positions (may be null: the origin) gives where
  // values[0] holds, in the system's coordinates; gradients (may be null: constant) holds three
  // vectors, the change of the value per unit of coordinate 0, 1 and 2.
  void SetDefiningValuesVec(int n, const CaeVector* values, const CaeVector* positions, const CaeVector* gradients,
                            const double* weights) override;
  // `point` is global; the value is in the function's own axes.
  CaeVector EvaluateVecAtPointLocal(const CaeVector& point) const override;
  bool VariesInSpace() const override;

 private:
  CaeFuncVariable* variable_;
  std::unique_ptr<CaeCoordSys> coordSys_;
  int flags_[3] = {0, 0, 0};
  CaeVector anchor_;
  CaeVector gradients_[3];
};
