// CaeMaterial: a named material with property rows by temperature.
//
// Each row holds, at one temperature (native units), the density, Young's modulus, Poisson's ratio,
// yield and ultimate stress, thermal conductivity, expansion and specific heat. Rows stay in the
// order they were added; adding a row at a temperature that already has one replaces that row in
// place. Temperatures match when they differ by at most 1e-9 of their size (at least 1e-9).
// GetProp answers nine values in the order of the Prop enumeration: the shear modulus is derived,
// G = E / (2 (1 + nu)).
#pragma once
#include <vector>

#include "amg/CaeArray.h"
#include "amg/CaeName.h"
#include "amg/CaeString.h"

class CaeMaterial : public CaeName {
 public:
  enum Prop {
    kDensity = 0,
    kModulus = 1,
    kShearModulus = 2,
    kPoisson = 3,
    kYield = 4,
    kUltimate = 5,
    kConductivity = 6,
    kExpansion = 7,
    kSpecificHeat = 8,
    kPropCount = 9,
  };

  CaeMaterial() = default;
  explicit CaeMaterial(const CaeString& name) : CaeName(name) {}
  CaeMaterial(const CaeMaterial&) = default;
  CaeMaterial& operator=(const CaeMaterial&) = default;
  ~CaeMaterial() override = default;

  void AddProp(double temperature, double density, double modulus, double poisson, double yield, double ultimate,
               double conductivity, double expansion, double specificHeat);
  // Fills values[0 .. 8] from the row at `temperature` and answers 1; answers 0 and leaves `values`
  // untouched when there is no such row.
  int GetProp(double temperature, double values[kPropCount]) const;
  // Removes the row at `temperature`; 1 when there was one, else 0.
  int DeleteProp(double temperature);
  int NumProp() const { return static_cast<int>(rows_.size()); }
  // The row temperatures in row order; returns their number.
  int GetTemps(CaeArray<double>& temperatures) const;

  // Value checks for input: modulus (also yield and ultimate), density, conductivity and specific
  // heat must be > 0; Poisson's ratio must lie strictly between 0 and 0.5.
  static bool VerifyModulus(double value) { return value > 0.0; }
  static bool VerifyPoisson(double value) { return value > 0.0 && value < 0.5; }
  static bool VerifyDensity(double value) { return value > 0.0; }
  static bool VerifyConductivity(double value) { return value > 0.0; }
  static bool VerifySpecificHeat(double value) { return value > 0.0; }
  // The name of a property ("Poisson's ratio").
  static const char* PropName(int prop);
  // What makes `value` unfit for `prop`, naming the property, the value and the rule it breaks
  // ("Poisson's ratio 0.5 must be below 0.5"); empty when it is fit. Every value must be finite;
  // the Verify rules above apply to their properties.
  static CaeString ValueProblem(int prop, double value);

 private:
  struct Row {
    double temperature;
    double density, modulus, poisson, yield, ultimate, conductivity, expansion, specificHeat;
  };
  int FindRow(double temperature) const;

  std::vector<Row> rows_;
};
