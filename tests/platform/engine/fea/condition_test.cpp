// Conditions and condition sets: kinds told apart by the engine's type test, values in own and
// global axes, temperature tables, set membership and walks.
#include <cmath>
#include <memory>

#include "amg/CaeCoordSys.h"
#include "fea/AnlControl.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/CaeFunc.h"
#include "fea_fixture.h"

namespace {

using ConditionTest = FeaTest;

const AttLbcDescript* Descriptor(AttCode code) {
  static const AttLbcDescriptTable table;
  return table.Find(ToAttType(code));
}

CaeFunc* Constant(const CaeVector& value) {
  static const int kConstant[3] = {0, 0, 0};
  auto* f = new CaeFuncCoordLinear(new CaeFuncVariable(CaeString("Vertex Force"), CaeUtForce), nullptr, kConstant);
  f->SetDefiningValuesVec(1, &value, nullptr, nullptr, nullptr);
  return f;
}

TEST_F(ConditionTest, KindsAreToldApartByTheEngineTypeTest) {
  AttLbc load(Descriptor(AttCode::VertexForce), nullptr, Constant({1, 0, 0}), nullptr, nullptr);
  AttModelLbc gravity(Descriptor(AttCode::Gravity), Constant({0, 0, -9.81}), nullptr, nullptr);
  AttLbcConv convection(Descriptor(AttCode::FaceConvection), nullptr, 25.0, 293.0);
  AttLbcHgen heat(Descriptor(AttCode::VolumetricHeatFlow), nullptr, 1.0e4);
  AttModelTemp temperature(Descriptor(AttCode::BodyTemperature), nullptr, 350.0, 293.0);

  struct Row {
    const AttBaseLbc* condition;
    CaeTypeId type;
    bool attribute;
  };
  const Row rows[] = {
      {&load, AttLbc::Info, true},     {&gravity, AttModelLbc::Info, false},     {&convection, AttLbcConv::Info, true},
      {&heat, AttLbcHgen::Info, true}, {&temperature, AttModelTemp::Info, true},
  };
  for (const Row& row : rows) {
    const CaeTypeId info = row.condition->GetInfo();
    EXPECT_EQ(info, row.type) << info.GetTypeInfo()->Name();
    EXPECT_TRUE(info.CanCast(AttBaseLbc::Info));
    EXPECT_EQ(info.CanCast(CaeAttrib::Info), row.attribute) << info.GetTypeInfo()->Name();
    for (const Row& other : rows) {
      if (&other != &row) {
        EXPECT_NE(info, other.type);
      }
    }
  }
  EXPECT_EQ(gravity.Type(), AttCode::Gravity);
  EXPECT_EQ(dynamic_cast<const CaeAttrib*>(static_cast<const AttBaseLbc*>(&load)), &load);
}

// The value at the origin is what gets filed: it must come back exactly, also where a
// cylindrical or spherical system is singular.
TEST_F(ConditionTest, LocalValueAtTheOriginIsTheDefiningVector) {
  const CaeVector v(0.1, -2.5, 1.0e-7);
  const CaeCoordSys* systems[] = {
      new CaeCoordSysCartesian(),
      new CaeCoordSysCylindric(),
      new CaeCoordSysSpheric(),
  };
  for (const CaeCoordSys* cs : systems) {
    AttLbc lbc(Descriptor(AttCode::VertexForce), nullptr, Constant(v), cs->Clone(), nullptr);
    EXPECT_EQ(lbc.EvaluateVecAtPointLocal(CaeVector(0, 0, 0)), v) << cs->KindName();
    delete cs;
  }
}

TEST_F(ConditionTest, GlobalValueFollowsTheCoordinateSystem) {
  // A system turned by 90 degrees about z: local x is global y.
  CaeTransform turned;
  turned.SetUnitVector(0, CaeVector(0, 1, 0));
  turned.SetUnitVector(1, CaeVector(-1, 0, 0));
  AttLbc lbc(Descriptor(AttCode::VertexForce), nullptr, Constant({5, 0, 0}), new CaeCoordSysCartesian(turned), nullptr);
  EXPECT_TRUE(lbc.EvaluateVecAtPoint(CaeVector(1, 2, 3)).Equal(CaeVector(0, 5, 0), 1e-12));
  AttLbc global(Descriptor(AttCode::VertexForce), nullptr, Constant({5, 0, 0}), nullptr, nullptr);
  EXPECT_EQ(global.EvaluateVecAtPoint(CaeVector(1, 2, 3)), CaeVector(5, 0, 0));
  AttBaseLbc scratch(Descriptor(AttCode::VertexRestraint), 1);
  EXPECT_EQ(scratch.EvaluateVecAtPoint(CaeVector(1, 1, 1)), CaeVector(0, 0, 0)) << "no function, no value";
}

TEST_F(ConditionTest, CoordinateLinearValueFollowsTheFlaggedCoordinates) {
  // value = (10, 0, 0) at the anchor, + (2, 0, 0) per unit of coordinate 0, + (0, 0, -1) per unit
  // of coordinate 2; only flagged coordinates count.
  const CaeVector value(10, 0, 0), anchor(1, 0, 0);
  const CaeVector gradients[3] = {{2, 0, 0}, {0, 7, 0}, {0, 0, -1}};
  const CaeTransform shifted(CaeVector(1, 0, 0), CaeVector(0, 1, 0), CaeVector(0, 0, 1), CaeVector(0, 0, 5));
  const CaeCoordSysCartesian moved(shifted);
  const CaeCoordSysCylindric cylinder;
  struct Row {
    const char* what;
    const CaeCoordSys* system;
    int flags[3];
    CaeVector point, expected;
  };
  const Row rows[] = {
      {"global x", nullptr, {1, 0, 0}, {3, 9, 9}, {14, 0, 0}},
      {"global x and z", nullptr, {1, 0, 1}, {3, 9, 2}, {14, 0, -2}},
      {"z of a system raised by 5", &moved, {0, 0, 1}, {0, 0, 7}, {10, 0, -2}},
      {"radius of a cylinder", &cylinder, {1, 0, 0}, {0, 4, 1}, {16, 0, 0}},
      {"no flag", nullptr, {0, 0, 0}, {3, 9, 9}, {10, 0, 0}},
  };
  for (const Row& r : rows) {
    CaeFuncCoordLinear f(new CaeFuncVariable(CaeString("Pressure"), CaeUtStress), r.system, r.flags);
    f.SetDefiningValuesVec(1, &value, &anchor, gradients, nullptr);
    EXPECT_TRUE(f.EvaluateVecAtPointLocal(r.point).Equal(r.expected, 1e-12)) << r.what;
    EXPECT_EQ(f.VariesInSpace(), r.flags[0] || r.flags[1] || r.flags[2]) << r.what;
    std::unique_ptr<CaeFunc> copy(f.Clone());
    EXPECT_TRUE(copy->EvaluateVecAtPointLocal(r.point).Equal(r.expected, 1e-12)) << r.what << " (copy)";
  }

  const int flagged[3] = {1, 1, 1};
  CaeFuncCoordLinear noGradients(new CaeFuncVariable(CaeString("Force"), CaeUtForce), &cylinder, flagged);
  noGradients.SetDefiningValuesVec(1, &value, nullptr, nullptr, nullptr);
  EXPECT_FALSE(noGradients.VariesInSpace());
  EXPECT_EQ(noGradients.EvaluateVecAtPointLocal(CaeVector()), value) << "no coordinates asked at the axis";
}

TEST_F(ConditionTest, FreeComponentsAndFunctionReplacement) {
  AttLbcComponents free;
  free.flag[3] = free.flag[4] = free.flag[5] = 1;
  AttLbc restraint(Descriptor(AttCode::VertexRestraint), nullptr, nullptr, nullptr, &free);
  int out[6];
  restraint.FreeComponents(out);
  EXPECT_EQ(std::vector<int>(out, out + 6), (std::vector<int>{0, 0, 0, 1, 1, 1}));
  const int all[6] = {1, 1, 1, 1, 1, 1};
  restraint.SetFreeComponents(all);
  EXPECT_EQ(restraint.FreeComponents()[0], 1);
  restraint.SetFunction(Constant({1, 2, 3}));
  restraint.SetFunction(Constant({4, 5, 6}));  // the first one is freed (checked by the sanitizer)
  EXPECT_EQ(restraint.EvaluateVecAtPointLocal({}), CaeVector(4, 5, 6));
}

TEST_F(ConditionTest, TemperatureRowsKeepInsertionOrder) {
  AttLbcConv convection(Descriptor(AttCode::FaceConvection), nullptr, 25.0, 293.0);
  EXPECT_EQ(convection.Constant(), 1);
  EXPECT_EQ(convection.FirstFilmValue(), nullptr);
  convection.Constant(0);
  convection.AddFilmValue(400.0, 30.0);
  convection.AddFilmValue(300.0, 20.0);
  convection.AddFilmValue(350.0, 25.0);
  std::vector<double> temps;
  for (AttTableTempValue* row = convection.FirstFilmValue(); row; row = convection.NextFilmValue())
    temps.push_back(row->Temp());
  EXPECT_EQ(temps, (std::vector<double>{400.0, 300.0, 350.0}));
  EXPECT_EQ(convection.NumValues(), 3);
  EXPECT_EQ(convection.NextFilmValue(), nullptr);

  AttLbcHgen heat(Descriptor(AttCode::VolumetricHeatFlow), nullptr, 1.0e4);
  heat.AddHGenValue(300.0, 1.0);
  ASSERT_NE(heat.FirstHGenValue(), nullptr);
  EXPECT_EQ(heat.FirstHGenValue()->Value(), 1.0);
  EXPECT_EQ(heat.NextHGenValue(), nullptr);

  AttModelTemp temperature(Descriptor(AttCode::BodyTemperature), nullptr, 350.0, 293.0);
  EXPECT_EQ(temperature.ModelTemp(), 350.0);
  EXPECT_EQ(temperature.RefTemp(), 293.0);
}

TEST_F(ConditionTest, NodalValuesAreOwnedAndWalkedInOrder) {
  AttModelTemp temperature(Descriptor(AttCode::BodyTemperature), nullptr, 350.0, 293.0);
  AttFlbcDescriptTable table;
  temperature.SetFDesc(table.Find(AttFlbcTemperature));
  for (int i = 0; i < 3; ++i)
    temperature.AddFlbc(new AttFlbc(nullptr, temperature.GetFDesc(), &temperature, CaeVector(i, 0, 0), {}));
  std::vector<double> values;
  for (AttFlbc* f = temperature.FirstFlbc(); f; f = temperature.NextFlbc()) values.push_back(f->Value().X());
  EXPECT_EQ(values, (std::vector<double>{0, 1, 2}));
  temperature.ClearFlbcs();
  EXPECT_EQ(temperature.NumFlbcs(), 0);
  EXPECT_EQ(temperature.FirstFlbc(), nullptr);
}

TEST_F(ConditionTest, SetMembersByPositionCountAndWalk) {
  AttLbcCase set(CaeString("Loads"), AttLbcCase::kLoadSet);
  AttLbc a(Descriptor(AttCode::VertexForce), nullptr, nullptr, nullptr, nullptr);
  AttLbc b(Descriptor(AttCode::FaceDistributedForce), nullptr, nullptr, nullptr, nullptr);
  AttLbc c(Descriptor(AttCode::Pressure), nullptr, nullptr, nullptr, nullptr);
  for (AttBaseLbc* m : std::initializer_list<AttBaseLbc*>{&a, &b, &c}) set.AddLbc(m);
  set.AddLbc(&a);  // listed once
  set.DeleteLbc(&b);
  EXPECT_EQ(set.NumLbcs(), 2);
  EXPECT_EQ(set.CountLbcs(1), 2);
  EXPECT_EQ(set.CountLbcs(0), 3);
  EXPECT_EQ(set.GetLbc(2), &b) << "positions count erased members";
  EXPECT_EQ(set.GetLbc(0), nullptr);
  EXPECT_EQ(set.GetLbc(4), nullptr);
  EXPECT_EQ(set.FirstLbc(), &a);
  EXPECT_EQ(set.NextLbc(), &c);
  EXPECT_EQ(set.NextLbc(), nullptr);
  EXPECT_EQ(set.GetName(), "Loads");
}

TEST_F(ConditionTest, ModelLevelConditionsByType) {
  AttLbcCase loads(CaeString("Loads"), AttLbcCase::kLoadSet);
  AttLbc force(Descriptor(AttCode::Gravity), nullptr, nullptr, nullptr,
               nullptr);  // type 12 but given a load kind below
  AttModelLbc erasedGravity(Descriptor(AttCode::Gravity), nullptr, nullptr, nullptr);
  AttModelLbc gravity(Descriptor(AttCode::Gravity), nullptr, nullptr, nullptr);
  AttModelTemp temperature(Descriptor(AttCode::BodyTemperature), nullptr, 300.0, 293.0);
  erasedGravity.MarkAsErased();
  AttLbcDescript loadLike = *Descriptor(AttCode::Gravity);
  loadLike.kind = AttKindLoad;
  force.SetDescriptor(&loadLike);
  for (AttBaseLbc* m : std::initializer_list<AttBaseLbc*>{&force, &erasedGravity, &gravity, &temperature})
    loads.AddLbc(m);
  EXPECT_EQ(loads.GetModelLbc(12), &gravity);
  EXPECT_EQ(loads.GetModelLbc(14), &temperature);
  EXPECT_EQ(loads.GetModelLbc(13), nullptr);

  AttLbcCase restraints(CaeString("Restraints"), AttLbcCase::kRestraintSet);
  restraints.AddLbc(&gravity);
  EXPECT_EQ(restraints.GetModelLbc(12), nullptr) << "a restraint set holds no model-level loads";
}

TEST_F(ConditionTest, AddingToTheCurrentSetFollowsTheDescriptorKind) {
  AttLbc force(Descriptor(AttCode::VertexForce), nullptr, nullptr, nullptr, nullptr);
  force.AddToCurrentCase();  // no control: nothing happens
  EXPECT_EQ(force.Case(), nullptr);

  AnlControl control;
  control.SetCurrent();
  AttLbcCase* loads = control.NewLoadCase(CaeString("Loads"));
  AttLbcCase* restraints = control.NewRestraintCase(CaeString("Restraints"));
  control.SetCurrentLoadCase(loads);
  control.SetCurrentRestraintCase(restraints);
  AttLbc fixed(Descriptor(AttCode::FaceRestraint), nullptr, nullptr, nullptr, nullptr);
  force.AddToCurrentCase();
  fixed.AddToCurrentCase();
  EXPECT_EQ(force.Case(), loads);
  EXPECT_EQ(fixed.Case(), restraints);
  EXPECT_EQ(force.IsInCurrentCase(), 1);
  EXPECT_EQ(loads->FirstLbc(), &force);
  EXPECT_EQ(restraints->FirstLbc(), &fixed);
  control.SetCurrentLoadCase(control.NewLoadCase(CaeString("Other")));
  EXPECT_EQ(force.IsInCurrentCase(), 0);
}

}  // namespace
