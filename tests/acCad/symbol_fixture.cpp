#include "symbol_fixture.h"

#include <cmath>

#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"
#include "fea/AttLbcDescript.h"
#include "fea/CaeFunc.h"

namespace symboltest {

ACRX_CONS_DEFINE_MEMBERS(DrawProbe, AcDbEntity, "DRAWPROBE")

Adesk::Boolean DrawProbe::worldDraw(AcGiWorldDraw* mode) {
  if (drawing) drawing(mode);
  return true;
}

namespace {

const AttLbcDescript* descriptorOf(AttCode code) {
  static const AttLbcDescriptTable table;
  return table.Find(ToAttType(code));
}

CaeFunc* constant(const CaeVector& value) {
  auto* f = new CaeFuncLinear;
  f->SetDefiningValuesVec(1, &value, nullptr, nullptr, nullptr);
  return f;
}

AttLbcComponents componentsOf(const int* free) {
  AttLbcComponents components;
  if (free)
    for (int i = 0; i < 6; ++i) components.flag[i] = free[i];
  return components;
}

}  // namespace

TestCondition::TestCondition(AttCode code, CaeTopoRef* ref, const CaeVector& value, CaeCoordSys* axes, const int* free,
                             int color, double scale)
    : AttLbc(descriptorOf(code), ref, constant(value), axes, nullptr), CaepLbcVis(scale), color_(color) {
  const AttLbcComponents components = componentsOf(free);
  SetFreeComponents(components.flag);
}

int* TestCondition::FreeComponents(int* buffer) const {
  AttBaseLbc::FreeComponents(buffer);
  return buffer;
}

CaeCoordSysFace* FaceAxes(CaeTopoRef* face) {
  auto* axes = new CaeCoordSysFace();
  axes->SetTopoRef(face);
  return axes;
}

std::vector<Ring> RingsOf(const AcGiPrimitive& shell) {
  std::vector<Ring> rings;
  for (std::size_t at = 0; at + 5 <= shell.points.size(); at += 5) {
    CaeVector centre;
    for (int i = 0; i < 4; ++i) centre += ToCae(shell.points[at + i]) * 0.25;
    rings.push_back({centre, (ToCae(shell.points[at]) - centre).Length()});
  }
  return rings;
}

void SymbolTest::SetUp() {
  TopoTest::SetUp();
  DrawProbe::desc();
}

void SymbolTest::TearDown() {
  displays_.clear();
  TopoTest::TearDown();
}

AcDbObjectId SymbolTest::addProbe(std::function<void(AcGiWorldDraw*)> drawing, Adesk::UInt16 color) {
  auto* probe = new DrawProbe();
  probe->drawing = std::move(drawing);
  probe->setColorIndex(color);
  AcDbBlockTableRecord* modelSpace = nullptr;
  EXPECT_EQ(acdbOpenObject(modelSpace, db()->modelSpaceId(), AcDb::kForWrite), Acad::eOk);
  AcDbObjectId id;
  EXPECT_EQ(modelSpace->appendAcDbEntity(id, probe), Acad::eOk);
  modelSpace->close();
  probe->close();
  return id;
}

AcGiDisplayList& SymbolTest::display(const AcGeVector3d& direction) {
  AcGiView view;
  view.direction = direction;
  view.width = 800;
  view.height = 600;
  displays_.push_back(std::make_unique<AcGiDisplayList>(db(), view));
  displays_.back()->regenerate();
  return *displays_.back();
}

std::vector<AcGiPrimitive> SymbolTest::drawnBy(AcDbObjectId entity, const AcGeVector3d& direction) {
  return display(direction).primitivesOf(entity);
}

std::vector<AcGiPrimitive> SymbolTest::drawn(std::function<void(AcGiWorldDraw*)> drawing, Adesk::UInt16 color) {
  return drawnBy(addProbe(std::move(drawing), color));
}

bool Near(const CaeVector& a, const CaeVector& b, double tolerance) { return (a - b).Length() <= tolerance; }

CaeVector ToCae(const AcGePoint3d& p) { return {p.x, p.y, p.z}; }

}  // namespace symboltest
