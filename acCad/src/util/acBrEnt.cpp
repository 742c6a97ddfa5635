#include "util/acBrEnt.h"

#include "amg/CaeMsgCall.h"
#include "arx/brocct.h"
#include "topo/acTopoTables.h"
#include "topo/acTopoUtil.h"

namespace {

template <class T>
int compareValues(const T& first, const T& second) {
  if (first < second) return -1;
  if (second < first) return 1;
  return 0;
}

AcDbFullSubentPath storedPath(const AcBrEntity* entity) {
  return entity->isNull() ? AcDbFullSubentPath() : entity->data().path;
}

}  // namespace

int acBrEntityCompare(const AcBrEntity* first, const AcBrEntity* second) {
  const AcDbFullSubentPath a = storedPath(first);
  const AcDbFullSubentPath b = storedPath(second);
  if (int c = compareValues(static_cast<int>(a.subentId().type()), static_cast<int>(b.subentId().type()))) return c;
  if (int c = compareValues(a.subentId().index(), b.subentId().index())) return c;
  if (int c = a.objectIds().length() - b.objectIds().length()) return c;
  for (int i = 0; i < a.objectIds().length(); ++i) {
    if (int c = compareValues(a.objectIds()[i], b.objectIds()[i])) return c;
  }
  return 0;
}

int acBrEntityClassCode(const AcBrEntity* entity) {
  if (dynamic_cast<const AcBrBrep*>(entity)) return kBrClassBrep;
  if (dynamic_cast<const AcBrFace*>(entity)) return kBrClassFace;
  if (dynamic_cast<const AcBrEdge*>(entity)) return kBrClassEdge;
  if (dynamic_cast<const AcBrVertex*>(entity)) return kBrClassVertex;
  CAE_GENERAL_ERROR();
}

AcBrEntity* acNewBrEntity(int code, const AcDbFullSubentPath& path) {
  AcBrEntity* entity = nullptr;
  switch (code) {
    case kBrClassBrep: entity = new AcBrBrep(); break;
    case kBrClassFace: entity = new AcBrFace(); break;
    case kBrClassEdge: entity = new AcBrEdge(); break;
    case kBrClassVertex: entity = new AcBrVertex(); break;
    default: CAE_GENERAL_ERROR();
  }
  if (entity->setSubentPath(path) != AcBr::eOk) {
    delete entity;
    CAE_GENERAL_ERROR();
  }
  acWatchSolid(entity);
  return entity;
}

AcBrEntity* acCanonicalBrEntity(const AcBrEntity* entity) {
  AcTopoTables* tables = AcTopoTables::Current();
  if (!tables || !entity) return nullptr;
  CaeLible<AcBrEntity>& table = tables->Entities();
  CaeLible<AcBrEntity>* found = table.Find(entity);
  if (found->HasItem()) {
    // Setting the same path again makes the kept object reflect the solid as it is now.
    AcBrEntity* canonical = found->Item();
    canonical->setSubentPath(storedPath(canonical));
    return canonical;
  }
  AcDbFullSubentPath path;
  if (entity->getSubentPath(path) != AcBr::eOk) CAE_GENERAL_ERROR();
  AcBrEntity* canonical = acNewBrEntity(acBrEntityClassCode(entity), path);
  table.NewNode(canonical);
  return canonical;
}
