#include "meshcon_fixture.h"

#include <algorithm>
#include <set>

#include "arx/dbdatabase.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"
#include "db/dbCon.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/CaeElem.h"
#include "topo/acTopoRef.h"

namespace meshcontest {

void MeshConTest::SetUp() {
  SymbolTest::SetUp();
  plate = loadPart("plate_with_hole");
  asCommand([] { cad().SelectOrCreateModel("Plate", 0); });
}

CadInterface& MeshConTest::cad() { return *CadInterface::GetCurrent(); }

void MeshConTest::asCommand(const std::function<void()>& body) {
  db()->beginUndoGroup("command");
  try {
    CadTransactionScope scope(cad());
    scope.Start();
    body();
    scope.Commit();
  } catch (...) {
    db()->endUndoGroup();
    throw;
  }
  db()->endUndoGroup();
}

void MeshConTest::inspect(const std::function<void()>& body) {
  DbTransaction transaction(db());
  body();
}

const CaepConEnt* MeshConTest::readConstraint(AcDbObjectId id) {
  return dynamic_cast<const CaepConEnt*>(dbOpenMember(db(), id, AcDb::kForRead, true));
}

CaepAnlModelObj* MeshConTest::model() {
  return dynamic_cast<CaepAnlModelObj*>(AnlControl::GetCurrent()->CurrentAnlModel());
}

std::vector<AcDbObjectId> MeshConTest::constraintIds() {
  std::vector<AcDbObjectId> ids;
  asCommand([&] { ids = model()->ConstraintIds(); });
  return ids;
}

CaepConEnt* MeshConTest::openConstraint(AcDbObjectId id) {
  return dynamic_cast<CaepConEnt*>(dbOpenMember(db(), id, AcDb::kForWrite, true));
}

AcDbObjectId MeshConTest::constrain(Ami::KeyType type, const std::string& name, double size, bool point,
                                    const CaeVector& location) {
  AcTopoRef* ref = named(type, name);
  const std::size_t before = constraintIds().size();
  int made = 0;
  asCommand([&] {
    made = cad().CreateMeshConstraint(3, 2.0, 1, size, location.X(), location.Y(), location.Z(), point ? 1 : 0,
                                      ref->GetBrEntity());
  });
  const std::vector<AcDbObjectId> ids = constraintIds();
  if (made != 1 || ids.size() != before + 1) return AcDbObjectId();
  return ids.back();
}

std::vector<double> edgeLengthsOn(AmgMesh& mesh, int kind, int index) {
  std::vector<CaeNode*> on;
  mesh.NodesOnShape(kind, index, on);
  const std::set<CaeNode*> nodes(on.begin(), on.end());
  const bool touching = kind == 0;
  std::set<std::pair<long, long>> seen;
  std::vector<double> lengths;
  CaeList<CaeElem> elements;
  mesh.Elements(elements);
  for (CaeElem* element : elements)
    for (int a = 0; a < element->NumNodes(); ++a)
      for (int b = a + 1; b < element->NumNodes(); ++b) {
        CaeNode* p = element->Node(a);
        CaeNode* q = element->Node(b);
        const int ends = static_cast<int>(nodes.count(p) + nodes.count(q));
        if (ends < (touching ? 1 : 2)) continue;
        if (!seen.insert({std::min(p->Id(), q->Id()), std::max(p->Id(), q->Id())}).second) continue;
        lengths.push_back((p->Coordinate() - q->Coordinate()).Length());
      }
  return lengths;
}

double median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace meshcontest
