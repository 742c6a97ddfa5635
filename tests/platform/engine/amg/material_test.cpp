#include <gtest/gtest.h>

#include <vector>

#include "amg/CaeMaterial.h"

namespace {

std::vector<double> Temps(const CaeMaterial& m) {
  CaeArray<double> temps;
  int n = m.GetTemps(temps);
  EXPECT_EQ(n, temps.Count());
  return std::vector<double>(temps.Data(), temps.Data() + temps.Count());
}

// density, E, nu, yield, ultimate, k, alpha, c at a temperature
void AddSteel(CaeMaterial& m, double t, double modulus) {
  m.AddProp(t, 7850.0, modulus, 0.3, 250e6, 400e6, 50.0, 1.2e-5, 460.0);
}

TEST(MaterialTest, RowsKeepInsertionOrderAndAnExistingTemperatureIsReplaced) {
  CaeMaterial steel("Steel");
  AddSteel(steel, 400.0, 190e9);
  AddSteel(steel, 293.15, 200e9);
  AddSteel(steel, 600.0, 170e9);
  EXPECT_EQ(Temps(steel), (std::vector<double>{400.0, 293.15, 600.0}));
  AddSteel(steel, 293.15, 205e9);
  EXPECT_EQ(steel.NumProp(), 3);
  EXPECT_EQ(Temps(steel), (std::vector<double>{400.0, 293.15, 600.0}));
  double values[CaeMaterial::kPropCount] = {};
  ASSERT_EQ(steel.GetProp(293.15, values), 1);
  EXPECT_EQ(values[CaeMaterial::kModulus], 205e9);
}

TEST(MaterialTest, GetPropAnswersNineValuesWithTheDerivedShearModulus) {
  CaeMaterial m("Aluminium");
  m.AddProp(300.0, 2700.0, 70e9, 0.33, 95e6, 110e6, 237.0, 2.3e-5, 897.0);
  double v[CaeMaterial::kPropCount] = {};
  ASSERT_EQ(m.GetProp(300.0, v), 1);
  const double expected[] = {2700.0, 70e9, 70e9 / 2.66, 0.33, 95e6, 110e6, 237.0, 2.3e-5, 897.0};
  for (int i = 0; i < CaeMaterial::kPropCount; ++i) EXPECT_DOUBLE_EQ(v[i], expected[i]) << "value " << i;
  EXPECT_EQ(v[5], 110e6);  // the sixth value is the ultimate stress

  double untouched[CaeMaterial::kPropCount];
  for (double& x : untouched) x = -1.0;
  EXPECT_EQ(m.GetProp(-1000.0, untouched), 0);
  for (double x : untouched) EXPECT_EQ(x, -1.0);
}

TEST(MaterialTest, DeletingAndCopyingRows) {
  CaeMaterial m("Steel");
  AddSteel(m, 1.0, 1.0);
  AddSteel(m, 2.0, 2.0);
  AddSteel(m, 3.0, 3.0);
  EXPECT_EQ(m.DeleteProp(2.0), 1);
  EXPECT_EQ(m.DeleteProp(2.0), 0);
  EXPECT_EQ(Temps(m), (std::vector<double>{1.0, 3.0}));
  CaeMaterial copy = m;
  copy.Name("Copy");
  copy.DeleteProp(1.0);
  EXPECT_EQ(m.Name().Str(), "Steel");
  EXPECT_EQ(m.NumProp(), 2);
  EXPECT_EQ(copy.NumProp(), 1);
  m = copy;
  EXPECT_EQ(m.Name().Str(), "Copy");
  EXPECT_EQ(Temps(m), (std::vector<double>{3.0}));
}

struct CheckCase {
  bool (*check)(double);
  const char* name;
  double value;
  bool valid;
};

TEST(MaterialTest, TheFiveChecks) {
  const CheckCase cases[] = {
      {&CaeMaterial::VerifyModulus, "modulus", 200e9, true},
      {&CaeMaterial::VerifyModulus, "modulus", 0.0, false},
      {&CaeMaterial::VerifyModulus, "modulus", -1.0, false},
      {&CaeMaterial::VerifyPoisson, "poisson", 0.3, true},
      {&CaeMaterial::VerifyPoisson, "poisson", 0.0, false},
      {&CaeMaterial::VerifyPoisson, "poisson", 0.5, false},
      {&CaeMaterial::VerifyPoisson, "poisson", 0.4999, true},
      {&CaeMaterial::VerifyPoisson, "poisson", -0.1, false},
      {&CaeMaterial::VerifyDensity, "density", 1e-9, true},
      {&CaeMaterial::VerifyDensity, "density", 0.0, false},
      {&CaeMaterial::VerifyConductivity, "conductivity", 50.0, true},
      {&CaeMaterial::VerifyConductivity, "conductivity", 0.0, false},
      {&CaeMaterial::VerifySpecificHeat, "specific heat", 460.0, true},
      {&CaeMaterial::VerifySpecificHeat, "specific heat", -460.0, false},
  };
  for (const CheckCase& c : cases) EXPECT_EQ(c.check(c.value), c.valid) << c.name << " " << c.value;
}

}  // namespace
