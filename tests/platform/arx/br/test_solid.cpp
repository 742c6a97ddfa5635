#include "test_solid.h"

#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"

ACRX_CONS_DEFINE_MEMBERS(TestSolid, AcDbEntity, "KESTRUM_TEST_SOLID")

AcDbObjectId addSolid(AcDbDatabase& db, const TopoDS_Shape& shape, Adesk::UInt16 color) {
  auto* solid = new TestSolid(shape);
  solid->setColorIndex(color);
  AcDbObjectId id;
  db.addAcDbObject(id, solid);
  solid->setOwnerId(db.modelSpaceId());
  solid->close();
  return id;
}
