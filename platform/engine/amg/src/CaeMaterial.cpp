#include "amg/CaeMaterial.h"

#include <algorithm>
#include <cmath>

namespace {

bool SameTemperature(double a, double b) {
  return std::fabs(a - b) <= 1e-9 * std::max({1.0, std::fabs(a), std::fabs(b)});
}

}  // namespace

int CaeMaterial::FindRow(double temperature) const {
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (SameTemperature(rows_[i].temperature, temperature)) return static_cast<int>(i);
  return -1;
}

void CaeMaterial::AddProp(double temperature, double density, double modulus, double poisson, double yield,
                          double ultimate, double conductivity, double expansion, double specificHeat) {
  Row row{temperature, density, modulus, poisson, yield, ultimate, conductivity, expansion, specificHeat};
  int existing = FindRow(temperature);
  if (existing >= 0)
    rows_[static_cast<std::size_t>(existing)] = row;
  else
    rows_.push_back(row);
}

int CaeMaterial::GetProp(double temperature, double values[kPropCount]) const {
  int index = FindRow(temperature);
  if (index < 0) return 0;
  const Row& row = rows_[static_cast<std::size_t>(index)];
  values[kDensity] = row.density;
  values[kModulus] = row.modulus;
  values[kShearModulus] = row.modulus / (2.0 * (1.0 + row.poisson));
  values[kPoisson] = row.poisson;
  values[kYield] = row.yield;
  values[kUltimate] = row.ultimate;
  values[kConductivity] = row.conductivity;
  values[kExpansion] = row.expansion;
  values[kSpecificHeat] = row.specificHeat;
  return 1;
}

int CaeMaterial::DeleteProp(double temperature) {
  int index = FindRow(temperature);
  if (index < 0) return 0;
  rows_.erase(rows_.begin() + index);
  return 1;
}

int CaeMaterial::GetTemps(CaeArray<double>& temperatures) const {
  CaeArray<double> result(NumProp());
  for (int i = 0; i < NumProp(); ++i) result[i] = rows_[static_cast<std::size_t>(i)].temperature;
  temperatures = std::move(result);
  return NumProp();
}

const char* CaeMaterial::PropName(int prop) {
  static const char* const kNames[kPropCount] = {"density",         "Young's modulus",       "shear modulus",
                                                 "Poisson's ratio", "yield stress",          "ultimate stress",
                                                 "conductivity",    "expansion coefficient", "specific heat"};
  return prop >= 0 && prop < kPropCount ? kNames[prop] : "property";
}

CaeString CaeMaterial::ValueProblem(int prop, double value) {
  const CaeString what = CaeString::Format("%s %g", PropName(prop), value);
  if (!std::isfinite(value)) return what + " must be a finite number";
  const bool positive = prop == kDensity || prop == kModulus || prop == kConductivity || prop == kSpecificHeat;
  if ((positive || prop == kPoisson) && !(value > 0.0)) return what + " must be above 0";
  if (prop == kPoisson && !VerifyPoisson(value)) return what + " must be below 0.5";
  return CaeString();
}
