// The design variable page's number rules: the spin step from the shown precision of the initial
// value (which is rounded to it) and the order the bounds must have.
#include <gtest/gtest.h>

#include <string>

#include "amg/CaeMaterial.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/dialogs/optimization/UIOptVarPP.h"

namespace {

TEST(OptVariableRules, SpinStepFollowsTheShownPrecision) {
  struct Row {
    double value, rounded, step;
  };
  const Row rows[] = {{1.5, 1.5, 0.1},        {10.0, 10.0, 1.0}, {123.456, 123.0, 10.0},
                      {0.0123, 0.012, 0.001}, {30.0, 30.0, 1.0}, {0.5, 0.5, 0.01}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    double value = row.value;
    EXPECT_DOUBLE_EQ(UIOptVariableSpinStep(value), row.step);
    EXPECT_DOUBLE_EQ(value, row.rounded);
  }
}

TEST(OptVariableRules, BoundsMustSurroundTheInitialValueInOrder) {
  struct Row {
    double lower, initial, upper;
    bool accepted;
  };
  const Row rows[] = {{9.0, 10.0, 11.0, true},     {10.0, 10.0, 11.0, true},  {9.0, 11.0, 11.0, true},
                      {11.0, 10.0, 9.0, false},    {10.0, 10.0, 10.0, false}, {0.0, 0.0, 0.0, false},
                      {-9.0, -10.0, -11.0, false}, {10.5, 10.0, 11.0, false}, {9.0, 12.0, 11.0, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.lower);
    EXPECT_EQ(UIOptBoundsInOrder(row.lower, row.initial, row.upper), row.accepted) << row.initial << " " << row.upper;
  }
}

}  // namespace

namespace {

// Without a host system the host unit is the native one.
TEST(OptConstraintRules, DefaultStressLimitIsWholeAboveOneHundredAndNeverZero) {
  struct Row {
    double ultimate, limit;
  };
  const Row rows[] = {{250.4, 250.0}, {123.6, 124.0}, {99.75, 99.75}, {100.0, 100.0},
                      {1e-11, 1.0},   {0.0, 1.0},     {-1e-11, 1.0},  {-250.4, -250.4}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.ultimate);
    EXPECT_DOUBLE_EQ(UIOptStressLimitFromUltimate(row.ultimate), row.limit);
  }
}

TEST(OptConstraintRules, WithoutAnyMaterialTheDefaultStressLimitIsOne) {
  EXPECT_DOUBLE_EQ(UIOptDefaultStressLimit(), 1.0);
}

// The material the part is analysed with gives the limit: the current model's first sub-model that
// has one, else the first model's.
TEST(OptConstraintRules, DefaultStressLimitComesFromTheModelsMaterial) {
  struct Row {
    bool current;           // the model is the current one
    bool firstHasMaterial;  // its first sub-model has a material (else only the second)
  };
  const Row rows[] = {{true, true}, {true, false}, {false, true}, {false, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.current) + std::to_string(row.firstHasMaterial));
    AnlControl control("part");
    control.SetCurrent();
    AnlModel* model = control.NewAnlModel("Model", AnlStress);
    AnlSubModel* first = model->NewSubModel();
    AnlSubModel* second = model->NewSubModel();
    auto* steel = new CaeMaterial("Steel");
    steel->AddProp(293.0, 7800.0, 2.0e11, 0.3, 200.0, 250.4, 45.0, 1.2e-5, 460.0);
    (row.firstHasMaterial ? first : second)->AssignMaterial(steel);
    if (row.current) control.SetCurrentAnlModel(model);
    EXPECT_DOUBLE_EQ(UIOptDefaultStressLimit(), 250.0);
  }
}

}  // namespace
