#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "amg/CaeCoordSys.h"
#include "amg/CaeTopoRef.h"
#include "amg/CaeTransform.h"
#include "topo_ref_stub.h"

namespace {

void ExpectNear(const CaeVector& actual, const CaeVector& expected, double tolerance = 1e-12) {
  EXPECT_TRUE(actual.Equal(expected, tolerance))
      << "(" << actual.X() << ", " << actual.Y() << ", " << actual.Z() << ") vs (" << expected.X() << ", "
      << expected.Y() << ", " << expected.Z() << ")";
}

TEST(VectorTest, Arithmetic) {
  CaeVector x(1, 0, 0), y(0, 1, 0);
  ExpectNear(x.Cross(y), CaeVector(0, 0, 1));
  CaeVector v(3, 4, 0);
  EXPECT_EQ(v.Length(), 5.0);
  ASSERT_TRUE(v.Normalize());
  ExpectNear(v, CaeVector(0.6, 0.8, 0));
  CaeVector zero;
  EXPECT_FALSE(zero.Normalize());
  EXPECT_EQ(zero, CaeVector(0, 0, 0));
  EXPECT_TRUE(CaeVector(1, 1, 1).Equal(CaeVector(1 + 1e-9, 1, 1), 1e-8));
  EXPECT_FALSE(CaeVector(1, 1, 1).Equal(CaeVector(1 + 1e-7, 1, 1), 1e-8));
}

TEST(TransformTest, IdentityAndComponents) {
  CaeTransform t;
  EXPECT_TRUE(t.IsIdentity());
  t.SetTranslation(CaeVector(1, 2, 3));
  EXPECT_FALSE(t.IsIdentity());
  EXPECT_EQ(t.Component(1, 3), 2.0);
  t.Set(0, 3, 9.0);
  ExpectNear(t.TranslationVector(), CaeVector(9, 2, 3));
  double array[16];
  t.ToArray(array);
  EXPECT_EQ(array[3], 9.0);
  EXPECT_EQ(array[15], 1.0);
  EXPECT_EQ(CaeTransform::FromArray(array), t);
}

TEST(TransformTest, PlacementFromOriginAndDirection) {
  const CaeVector directions[] = {{1, 0, 0}, {0, 0, 5}, {0, 0, -1}, {1, 2, 3}, {-4, 0.5, 0}};
  for (const CaeVector& d : directions) {
    CaeTransform t(CaeVector(1, 2, 3), d);
    CaeVector x = t.UnitVector(0), y = t.UnitVector(1), z = t.UnitVector(2);
    CaeVector unit = d;
    unit.Normalize();
    ExpectNear(x, unit);
    EXPECT_NEAR(x.Dot(y), 0.0, 1e-12);
    EXPECT_NEAR(y.Length(), 1.0, 1e-12);
    ExpectNear(x.Cross(y), z);  // right-handed
    ExpectNear(t.TransformPoint(CaeVector(0, 0, 0)), CaeVector(1, 2, 3));
  }
  CaeTransform zero(CaeVector(1, 2, 3), CaeVector());
  ExpectNear(zero.UnitVector(0), CaeVector(1, 0, 0));
  ExpectNear(zero.TranslationVector(), CaeVector(1, 2, 3));
}

TEST(TransformTest, InverseUndoesTheTransform) {
  CaeTransform t(CaeVector(5, -1, 2), CaeVector(1, 1, 0));
  CaeVector p(0.3, -2, 7);
  ExpectNear(t.Inverse().TransformPoint(t.TransformPoint(p)), p);
  EXPECT_TRUE((t * t.Inverse()).IsIdentity(1e-12));
}

TEST(TransformTest, NormalizeMakesAxesOrthonormalKeepingX) {
  CaeTransform t(CaeVector(2, 0, 0), CaeVector(1, 1, 0), CaeVector(0, 0, 7), CaeVector(4, 5, 6));
  t.Normalize();
  ExpectNear(t.UnitVector(0), CaeVector(1, 0, 0));
  ExpectNear(t.UnitVector(1), CaeVector(0, 1, 0));
  ExpectNear(t.UnitVector(2), CaeVector(0, 0, 1));
  ExpectNear(t.TranslationVector(), CaeVector(4, 5, 6));
  CaeTransform degenerate(CaeVector(0, 0, 0), CaeVector(0, 0, 0), CaeVector(0, 0, 0), CaeVector());
  degenerate.Normalize();
  EXPECT_NEAR(degenerate.UnitVector(0).Cross(degenerate.UnitVector(1)).Length(), 1.0, 1e-12);
}

// A placement rotated 90 degrees about z and moved to (10, 0, 0).
CaeTransform Rotated() {
  return CaeTransform(CaeVector(0, 1, 0), CaeVector(-1, 0, 0), CaeVector(0, 0, 1), CaeVector(10, 0, 0));
}

TEST(CoordSysTest, KindsReportTheirTextsAndTypes) {
  std::unique_ptr<CaeCoordSys> systems[] = {
      std::make_unique<CaeCoordSysCartesian>(), std::make_unique<CaeCoordSysCylindric>(),
      std::make_unique<CaeCoordSysSpheric>(), std::make_unique<CaeCoordSysFace>()};
  const char* names[] = {"cartesian", "cylindric", "spheric", "face"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_STREQ(systems[i]->KindName(), names[i]);
    EXPECT_TRUE(systems[i]->GetInfo().CanCast(CaeCoordSys::Info));
    std::unique_ptr<CaeCoordSys> clone(systems[i]->Clone());
    EXPECT_EQ(clone->GetInfo(), systems[i]->GetInfo());
  }
  EXPECT_TRUE(systems[3]->GetInfo() == CaeCoordSysFace::Info);
  EXPECT_FALSE(CaeTypeId(CaeCoordSys::Info).CanCast(CaeCoordSysFace::Info));
}

TEST(CoordSysTest, EqualityNeedsTheSameKindAndPlacement) {
  CaeCoordSysCartesian global, moved(Rotated());
  CaeCoordSysCylindric cylinder;
  EXPECT_TRUE(global.IsEqual(CaeCoordSysCartesian()));
  EXPECT_FALSE(global.IsEqual(moved));
  EXPECT_FALSE(global.IsEqual(cylinder));
}

struct AxesCase {
  const char* name;
  std::shared_ptr<CaeCoordSys> system;
  CaeVector point;
  CaeVector axes[3];
};

TEST(CoordSysTest, LocalDirectionsAtPoints) {
  auto cartesian = std::make_shared<CaeCoordSysCartesian>(Rotated());
  auto cylinder = std::make_shared<CaeCoordSysCylindric>(Rotated());
  auto sphere = std::make_shared<CaeCoordSysSpheric>();
  const double h = std::sqrt(0.5);
  const AxesCase cases[] = {
      {"cartesian anywhere", cartesian, {3, 3, 3}, {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}},
      // Local point (2, 0, 0) of the rotated cylinder is global (10, 2, 0).
      {"cylinder", cylinder, {10, 2, 0}, {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}},
      {"cylinder on its axis", cylinder, {10, 0, 4}, {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}},
      {"sphere on the equator", sphere, {0, 3, 0}, {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}},
      {"sphere at 45 degrees", sphere, {1, 0, 1}, {{h, 0, h}, {0, 1, 0}, {-h, 0, h}}},
      {"sphere at its centre", sphere, {0, 0, 0}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
  };
  for (const AxesCase& c : cases) {
    SCOPED_TRACE(c.name);
    CaeVector axes[3];
    c.system->LocalAxesAt(c.point, axes);
    for (int i = 0; i < 3; ++i) ExpectNear(axes[i], c.axes[i]);
  }
}

TEST(CoordSysTest, VectorsToGlobalAndBack) {
  CaeCoordSysCylindric cylinder(Rotated());
  CaeVector points[] = {{10, 2, 0}, {10, 0, 0}, {7, 0, 1}};
  CaeVector vectors[] = {{1, 0, 0}, {1, 2, 3}, {0, 1, 0}};
  CaeVector original[3] = {vectors[0], vectors[1], vectors[2]};
  cylinder.VectorsToGlobal(3, points, vectors);
  ExpectNear(vectors[0], CaeVector(0, 1, 0));   // radial at local (2, 0, 0)
  ExpectNear(vectors[1], CaeVector(-2, 1, 3));  // at the origin: the placement's axes
  ExpectNear(vectors[2], CaeVector(0, -1, 0));  // tangential at local (0, 3, 0)
  cylinder.VectorsToLocal(3, points, vectors);
  for (int i = 0; i < 3; ++i) ExpectNear(vectors[i], original[i]);
  ExpectNear(cylinder.CoordinatesOf(CaeVector(10, 2, 5)), CaeVector(2, 0, 5));
  CaeVector spherical = CaeCoordSysSpheric().CoordinatesOf(CaeVector(0, 1, 1));
  ExpectNear(spherical, CaeVector(std::sqrt(2.0), std::numbers::pi / 2, std::numbers::pi / 4));
}

// A unit square in the plane z = h, with u along x and v along y.
class PlaneFace : public kestrum::test::TopoRefStub {
 public:
  explicit PlaneFace(double h, int kind = kFace) : TopoRefStub(kind), h_(h) {}
  void Feval(const CaeVector& uv, CaeVector& p) override { p = CaeVector(uv[0], uv[1], h_); }
  using CaeTopoRef::Feval;
  void Reval(const CaeVector& p, CaeVector& uv) override { uv = CaeVector(p[0], p[1], 0); }
  using CaeTopoRef::Reval;
  void Project(const CaeVector& p, CaeVector& closest, CaeVector& uv) override {
    uv = CaeVector(std::clamp(p[0], 0.0, 1.0), std::clamp(p[1], 0.0, 1.0), 0);
    Feval(uv, closest);
  }
  using CaeTopoRef::Project;
  void FirstDerivs(const CaeVector&, CaeVector& du, CaeVector& dv) override { du = {1, 0, 0}, dv = {0, 1, 0}; }
  void SecondDerivs(const CaeVector&, CaeVector& a, CaeVector& b, CaeVector& c) override { a = b = c = CaeVector(); }
  void AddAttribute(CaeAttrib* a) override { attributes_.push_back(a); }
  CaeAttrib* FirstAttribute(CaeTypeId type, int activeOnly) override { return From(0, type, activeOnly); }
  CaeAttrib* NextAttribute(CaeTypeId type, CaeAttrib* previous, int activeOnly) override {
    for (std::size_t i = 0; i < attributes_.size(); ++i)
      if (attributes_[i] == previous) return From(i + 1, type, activeOnly);
    return nullptr;
  }
  void ParamRange(CaeVector& lower, CaeVector& upper) override { lower = {0, 0, 0}, upper = {1, 1, 0}; }

 private:
  CaeAttrib* From(std::size_t start, CaeTypeId type, int activeOnly) {
    for (std::size_t i = start; i < attributes_.size(); ++i) {
      CaeAttrib* a = attributes_[i];
      if (a->GetInfo().CanCast(type) && (!activeOnly || a->IsActive())) return a;
    }
    return nullptr;
  }
  double h_;
  std::vector<CaeAttrib*> attributes_;
};

TEST(CoordSysTest, FaceSystemTakesTheFaceNormalAsZ) {
  PlaneFace face(2.0);
  CaeCoordSysFace onFace(Rotated());
  CaeVector axes[3];
  onFace.LocalAxesAt(CaeVector(0.5, 0.5, 2.0), axes);  // no face yet: the placement's axes
  ExpectNear(axes[0], CaeVector(0, 1, 0));
  onFace.SetTopoRef(&face);
  onFace.LocalAxesAt(CaeVector(0.5, 0.5, 2.0), axes);
  ExpectNear(axes[0], CaeVector(1, 0, 0));
  ExpectNear(axes[1], CaeVector(0, 1, 0));
  ExpectNear(axes[2], CaeVector(0, 0, 1));
}

TEST(TopoRefTest, EngineOperationsBuiltOnTheHostOnes) {
  PlaneFace face(0.0);
  CaeVector params[2] = {{0.5, 0.5, 0}, {1, 0, 0}}, points[2];
  face.Feval(2, params, points);
  ExpectNear(points[1], CaeVector(1, 0, 0));
  CaeVector normal, uv;
  ASSERT_TRUE(face.PerpUv(CaeVector(0.2, 0.3, 9), normal, uv));
  ExpectNear(normal, CaeVector(0, 0, 1));
  ExpectNear(uv, CaeVector(0.2, 0.3, 0));

  CaeAttrib active, erased, deactivated;
  erased.MarkAsErased();
  deactivated.Deactivate();
  face.AddAttribute(&active);
  face.AddAttribute(&erased);
  face.AddAttribute(&deactivated);
  CaeList<CaeAttrib> all, live;
  EXPECT_EQ(face.Attributes(all), 3);
  EXPECT_EQ(face.Attributes(live, CaeAttrib::Info, 1), 1);
  EXPECT_EQ(live.FirstNode()->Item(), &active);

  PlaneFace touching(1e-9), apart(0.5), edge(0.0, CaeTopoRef::kEdge);
  CaeList<CaeTopoRef> candidates, mates;
  candidates.Append(&face);
  candidates.Append(&touching);
  candidates.Append(&apart);
  candidates.Append(&edge);
  EXPECT_EQ(face.GetTopoRefsToMate(candidates, 1e-6, mates), 1);
  EXPECT_EQ(mates.FirstNode()->Item(), &touching);
}

}  // namespace
