// Drawing symbols and conditions without the condition entities: a probe entity whose world
// drawing is a function of the test, recorded on a display list of the current drawing, and an
// engine condition that carries the visual part as the entities do.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "amg/CaeCoordSys.h"
#include "arx/gidisplay.h"
#include "db/dbLbcVis.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "topo/topo_fixture.h"

namespace symboltest {

// An entity whose worldDraw runs `drawing` (nothing when empty).
class DrawProbe : public AcDbEntity {
  ACRX_DECLARE_MEMBERS(DrawProbe);

 public:
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;
  std::function<void(AcGiWorldDraw*)> drawing;
};

// A load or restraint on topology with its visual part, answering the seven accessors from the
// engine condition as a condition entity does.
class TestCondition : public AttLbc, public CaepLbcVis {
 public:
  // Value `value` (constant) in `axes` (owned; null for global axes), free components `free`
  // (null: all fixed), colour and symbol scale.
  TestCondition(AttCode code, CaeTopoRef* ref, const CaeVector& value, CaeCoordSys* axes, const int* free, int color,
                double scale);
  int TypeCode() const override { return Type(); }
  CaeCoordSys* CoordSys() const override { return AttBaseLbc::CoordSys(); }
  int ValueKind() const override { return Descriptor() ? Descriptor()->valueKind : 0; }
  CaeVector ValueAt(const CaeVector& point) const override { return EvaluateVecAtPoint(point); }
  CaeVector LocalValueAt(const CaeVector& point) const override { return EvaluateVecAtPointLocal(point); }
  int* FreeComponents(int* buffer) const override;
  int ColorIndex() const override { return color_; }
  // Set: the placements found by one drawing are kept for the next, as an entity keeps them
  // while no one writes it.
  bool keepsPlacements = false;
  bool MayKeepPlacements() const override { return keepsPlacements; }

 private:
  int color_;
};

// A face coordinate system on `face` (z into the material on a solid).
CaeCoordSysFace* FaceAxes(CaeTopoRef* face);

// One shell primitive read as a shape of square rings: ring i's centre and half-width.
struct Ring {
  CaeVector centre;
  double radius;
};
std::vector<Ring> RingsOf(const AcGiPrimitive& shell);

class SymbolTest : public topotest::TopoTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A probe entity in model space that draws `drawing`, in colour `color`.
  AcDbObjectId addProbe(std::function<void(AcGiWorldDraw*)> drawing, Adesk::UInt16 color = 7);
  // What `entity` records when the drawing is regenerated (seen along `direction`).
  std::vector<AcGiPrimitive> drawnBy(AcDbObjectId entity, const AcGeVector3d& direction = {-1, -1, 1});
  // Draws `drawing` through a new probe and answers what it recorded.
  std::vector<AcGiPrimitive> drawn(std::function<void(AcGiWorldDraw*)> drawing, Adesk::UInt16 color = 7);
  // A display list of the current drawing seen along `direction`, 800 x 600, regenerated.
  AcGiDisplayList& display(const AcGeVector3d& direction = {-1, -1, 1});

 private:
  std::vector<std::unique_ptr<AcGiDisplayList>> displays_;
};

bool Near(const CaeVector& a, const CaeVector& b, double tolerance = 1e-9);
CaeVector ToCae(const AcGePoint3d& p);

}  // namespace symboltest
