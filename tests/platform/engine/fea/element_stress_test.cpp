// Element stresses from a solved cantilever: the solver's integration-point values, averaged per
// element, follow beam theory and agree with the nodal field.
#include <BRepPrimAPI_MakeBox.hxx>

#include <cmath>
#include <memory>

#include "ShapeRefs.h"
#include "amg/CaeConfig.h"
#include "amg/CaeMaterial.h"
#include "fea/AmgMesh.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/CaeElem.h"
#include "fea/CaeFunc.h"
#include "fea/FerResult.h"
#include "fea/FrdReader.h"
#include "fea_fixture.h"
#include "test_env.h"

namespace {

constexpr double kLength = 1.0, kDepth = 0.1, kLoad = 1000.0;

CaeVector Centroid(const CaeElem& element) {
  double sum[3] = {0, 0, 0};
  for (int i = 0; i < element.NumNodes(); ++i)
    for (int k = 0; k < 3; ++k) sum[k] += element.Node(i)->Coordinate()[k];
  const double n = element.NumNodes();
  return CaeVector(sum[0] / n, sum[1] / n, sum[2] / n);
}

double VonMises(const double s[6]) {
  const double d = (s[0] - s[1]) * (s[0] - s[1]) + (s[1] - s[2]) * (s[1] - s[2]) + (s[2] - s[0]) * (s[2] - s[0]);
  return std::sqrt(0.5 * d + 3 * (s[3] * s[3] + s[4] * s[4] + s[5] * s[5]));
}

// A steel cantilever along x, clamped at x=0 (face 1), a downward load at its tip (face 2).
class ElementStressTest : public FeaTest {
 protected:
  void SetUp() override {
    FeaTest::SetUp();
    CaeConfig::SetValue(CaeString("Solver Threads"), CaeString("1"), 0);
    AnlSubModel* sub = model.NewSubModelForBody(body.BodyRef());
    sub->AssignMaterial(NewSteel());
    mesh = model.NewMesh(body.BodyRef());
    mesh->SetDefaultSize(0.05);
    sub->SetMesh(mesh);
    Add(AttCode::FaceRestraint, 1, CaeVector(), restraints);
    Add(AttCode::FaceTotalForce, 2, CaeVector(0, 0, -kLoad), loads);
    rc.AddLoadCase(&loads, 1.0);
    rc.AddBoundaryCase(&restraints, 1.0);
  }

  void Add(AttCode code, int face, const CaeVector& value, AttLbcCase& set) {
    AddCondition(conditions, table, code, body.Ref(CaeTopoRef::kFace, face), ConstantFunc(value), set);
  }

  bool Solve(FerResultSet& set) { return SolveAndRead(model, rc, dir / "beam.inp", set); }

  study::ShapeBody body{BRepPrimAPI_MakeBox(kLength, kDepth, kDepth).Shape()};
  AnlModel model{CaeString("Beam"), AnlStress};
  AmgMesh* mesh = nullptr;
  AttLbcDescriptTable table;
  AttLbcCase loads{CaeString("Loads"), AttLbcCase::kLoadSet};
  AttLbcCase restraints{CaeString("Restraints"), AttLbcCase::kRestraintSet};
  AnlResltCase rc{CaeString("Case 1")};
  std::vector<std::unique_ptr<AttBaseLbc>> conditions;
  kestrum::test::TempDir dir;
};

TEST_F(ElementStressTest, CantileverElementStressesFollowBeamTheoryAndTheNodalField) {
  FerResultSet set(CaeString("beam"));
  ASSERT_TRUE(Solve(set));
  FerResult* stress = set.FindResult(FerQtyStress);
  ASSERT_NE(stress, nullptr);
  ASSERT_EQ(stress->NumElementSubsets(), 1);
  ASSERT_EQ(static_cast<int>(stress->ElementIds(0).size()), mesh->NumElements()) << "every element has a value";

  // Near the root, away from the clamp's own disturbance: M c / I at each element's centroid,
  // M = P (L - x), c the distance from the neutral axis (the element average of a linear field is
  // its centroid value). Only the outer fibres, where bending dominates the shear.
  const double inertia = std::pow(kDepth, 4) / 12;
  CaeList<CaeElem> elements;
  mesh->Elements(elements);
  int near = 0;
  double worst = 0, sumError = 0;
  double elementSum = 0;
  for (auto* node = elements.FirstNode(); node->HasItem(); node = node->Next()) {
    const CaeElem* element = node->Item();
    double vonMises = 0;
    ASSERT_TRUE(stress->ElementValue(0, element->Id(), 0, vonMises)) << element->Id();
    elementSum += vonMises;
    const CaeVector c = Centroid(*element);
    const double fibre = std::abs(c.Z() - kDepth / 2);
    if (c.X() < 0.15 || c.X() > 0.35 || fibre < kDepth / 4) continue;
    const double expected = kLoad * (kLength - c.X()) * fibre / inertia;
    const double error = std::abs(vonMises - expected) / expected;
    worst = std::max(worst, error);
    sumError += error;
    ++near;
  }
  ASSERT_GT(near, 10);
  EXPECT_LT(sumError / near, 0.02) << "mean relative difference from M c / I";
  EXPECT_LT(worst, 0.05) << "largest relative difference from M c / I";

  // The nodal field averaged the same way: each element's nodal tensors averaged, then von Mises
  // taken (taking it node by node first would overstate the elements that straddle the neutral
  // axis, where the stress changes sign).
  double nodalSum = 0;
  for (auto* node = elements.FirstNode(); node->HasItem(); node = node->Next()) {
    const CaeElem* element = node->Item();
    double s[6] = {0, 0, 0, 0, 0, 0};
    for (int i = 0; i < element->NumNodes(); ++i)
      for (int k = 0; k < 6; ++k) {
        double value = 0;
        ASSERT_TRUE(stress->NodeValue(0, element->Node(i)->Id(), 4 + k, value));
        s[k] += value / element->NumNodes();
      }
    nodalSum += VonMises(s);
  }
  const double elementAverage = elementSum / mesh->NumElements(), nodalAverage = nodalSum / mesh->NumElements();
  EXPECT_NEAR(elementAverage, nodalAverage, 0.02 * nodalAverage);
}

}  // namespace
