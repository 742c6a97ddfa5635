// The design doctor's parameters: the yields of the model's materials as the page edits them and
// writes them back, the test parameters kept while the add-in is loaded, and the engine's test
// statuses in the doctor's numbering.
#include <gtest/gtest.h>

#include "amg/CaeArray.h"
#include "amg/CaeMaterial.h"
#include "fea/AnlModel.h"
#include "gui/doctor/UIDocOptStress.h"
#include "gui/doctor/UIDocTests.h"

namespace {

// A material whose yield falls with temperature, as the shipped S275's table does.
CaeMaterial* Tabled(const char* name, const std::vector<std::pair<double, double>>& rows) {
  auto* material = new CaeMaterial(CaeString(name));
  for (const auto& [temperature, yield] : rows)
    material->AddProp(temperature, 7850, 2.1e11, 0.3, yield, 4.3e8, 50, 1.2e-5, 450);
  return material;
}

std::vector<double> Yields(const CaeMaterial& material) {
  CaeArray<double> temperatures;
  material.GetTemps(temperatures);
  std::vector<double> yields;
  for (int t = 0; t < temperatures.Count(); ++t) {
    double v[CaeMaterial::kPropCount] = {};
    material.GetProp(temperatures[t], v);
    yields.push_back(v[CaeMaterial::kYield]);
  }
  return yields;
}

// The sub-models own their materials.
struct TwoMaterials {
  TwoMaterials() {
    model.NewSubModel()->AssignMaterial(Tabled("S275", {{293.15, 2.75e8}, {473.15, 2.4e8}, {673.15, 1.9e8}}));
    model.NewSubModel()->AssignMaterial(Tabled("Al", {{293.15, 9.5e7}}));
  }
  CaeMaterial& Material(int i) { return *model.GetSubModel(i)->GetMaterial(); }
  AnlModel model;
};

// A run without an edit leaves every row as it was: the temperature table of a material nobody
// edited is not flattened to its first row's yield.
TEST(DoctorParameters, AYieldNobodyEditedLeavesTheMaterialsRowsAlone) {
  TwoMaterials m;
  DocMaterialYields yields;
  yields.Collect(&m.model);
  ASSERT_EQ(yields.Names(), (std::vector<CaeString>{CaeString("Al"), CaeString("S275")})) << "in byte order";
  double yield = 0;
  ASSERT_TRUE(yields.Yield(CaeString("S275"), yield));
  EXPECT_EQ(yield, 2.75e8) << "the first row's";
  EXPECT_EQ(yields.WriteBack(&m.model), 0);
  EXPECT_EQ(Yields(m.Material(0)), (std::vector<double>{2.75e8, 2.4e8, 1.9e8}));

  // The same value entered again is no edit either.
  EXPECT_TRUE(yields.Edit(CaeString("S275"), 2.75e8));
  EXPECT_FALSE(yields.IsEdited(CaeString("S275")));
  EXPECT_EQ(yields.WriteBack(&m.model), 0);
  EXPECT_EQ(Yields(m.Material(0)), (std::vector<double>{2.75e8, 2.4e8, 1.9e8}));
}

// An edited material takes the new yield in every row; the other keeps its own.
TEST(DoctorParameters, AnEditedYieldGoesIntoEveryRowOfThatMaterialOnly) {
  TwoMaterials m;
  DocMaterialYields yields;
  yields.Collect(&m.model);
  EXPECT_TRUE(yields.Edit(CaeString("S275"), 9.0e8));
  EXPECT_FALSE(yields.Edit(CaeString("Brass"), 1.0e8)) << "not a material of the model";
  EXPECT_EQ(yields.WriteBack(&m.model), 1);
  EXPECT_EQ(Yields(m.Material(0)), (std::vector<double>{9.0e8, 9.0e8, 9.0e8}));
  EXPECT_EQ(Yields(m.Material(1)), (std::vector<double>{9.5e7}));
  EXPECT_EQ(yields.WriteBack(&m.model), 0) << "written already";

  // Collecting again keeps the edit.
  yields.Collect(&m.model);
  double yield = 0;
  ASSERT_TRUE(yields.Yield(CaeString("S275"), yield));
  EXPECT_EQ(yield, 9.0e8);
}

// A material the map does not hold (added to the model after the page collected) writes nothing.
TEST(DoctorParameters, AMaterialMissingFromTheListWritesNothing) {
  TwoMaterials m;
  DocMaterialYields yields;
  yields.Collect(&m.model);
  yields.Edit(CaeString("S275"), 3.0e8);
  m.model.NewSubModel()->AssignMaterial(Tabled("Ti", {{293.15, 8.8e8}}));
  EXPECT_EQ(yields.WriteBack(&m.model), -1);
  EXPECT_EQ(Yields(m.Material(0)), (std::vector<double>{2.75e8, 2.4e8, 1.9e8}));
}

TEST(DoctorParameters, EngineStatusesInTheDoctorsNumbering) {
  const std::pair<int, int> cases[] = {
      {0, kDocPassed}, {1, kDocFailed}, {2, kDocNotRun}, {3, kDocFailed}, {-1, kDocFailed}};
  for (const auto& [engine, doctor] : cases) EXPECT_EQ(UIDocStatusOfEngine(engine), doctor) << engine;
}

TEST(DoctorParameters, ParametersStayUntilTheAddInIsUnloaded) {
  UIDocParameters().maxMeshingError = 4.0;
  UIDocParameters().frequencyUpper = 120.0;
  EXPECT_EQ(UIDocParameters().maxMeshingError, 4.0);
  UIDocResetModuleState();
  EXPECT_EQ(UIDocParameters().maxMeshingError, 10.0);
  EXPECT_EQ(UIDocParameters().minFactorOfSafety, 1.0);
  EXPECT_EQ(UIDocParameters().minLoadFactor, 1.0);
  EXPECT_EQ(UIDocParameters().frequencyUpper, 0.0);
  EXPECT_EQ(UIDocParameters().rangesInitialised, 0);
}

// Without a results state the doctor has nothing to judge: no test passes by default.
TEST(DoctorParameters, ATestWithoutResultsIsNotRunAndAnUnknownKindFails) {
  EXPECT_EQ(UIDocRunTest(kDocMeshingError, 10.0, 0, 0), kDocNotRun);
  EXPECT_EQ(UIDocRunTest(kDocYieldStress, 0, 0, 0), kDocNotRun);
  EXPECT_EQ(UIDocRunTest(kDocExecution, 0, 0, 0), kDocFailed);
  EXPECT_EQ(UIDocRunTest(kDocTestKinds, 0, 0, 0), kDocFailed);
}

}  // namespace
