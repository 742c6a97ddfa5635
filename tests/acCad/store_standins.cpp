#include "store_standins.h"

#include <new>

#include "arx/dbdxffiler.h"
#include "arx/dbfiler.h"
#include "db/dbFiling.h"
#include "db/dbOpen.h"
#include "db/dbSubModel.h"
#include "fea/AttLbcDescript.h"

namespace {

const AttLbcDescriptTable& descriptors() {
  static const AttLbcDescriptTable table;
  return table;
}

AcRxClass* registered(const char* name, AcRxPseudoConstructor make, const char* dxfName) {
  if (AcRxClass* found = acrxFindClass(name)) return found;
  AcDbEntity::desc();
  AcRxClass* made = newAcRxClass(name, "AcDbEntity", 23, 6, 0, make, dxfName, "STOREWIDE");
  acrxBuildClassHierarchy();
  return made;
}

}  // namespace

AcRxClass* StoreMeshStandIn::desc() {
  return registered(
      "StoreMeshStandIn", [] { return static_cast<AcRxObject*>(new (std::nothrow) StoreMeshStandIn()); },
      "STOREMESHSTANDIN");
}
AcRxClass* StoreMeshStandIn::isA() const { return desc(); }

Acad::ErrorStatus StoreMeshStandIn::dwgOutFields(AcDbDwgFiler* filer) const {
  if (Acad::ErrorStatus status = AcDbEntity::dwgOutFields(filer); status != Acad::eOk) return status;
  if (dbFilerWritesFields(filer->filerType())) filer->writeHardPointerId(AcDbHardPointerId(subModel));
  return filer->filerStatus();
}

Acad::ErrorStatus StoreMeshStandIn::dwgInFields(AcDbDwgFiler* filer) {
  assertWriteEnabled();
  if (Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer); status != Acad::eOk) return status;
  if (!dbFilerReadsFields(filer->filerType())) return filer->filerStatus();
  AcDbHardPointerId id;
  if (filer->readHardPointerId(&id) == Acad::eOk) subModel = id;
  return filer->filerStatus();
}

Acad::ErrorStatus StoreMeshStandIn::dxfOutFields(AcDbDxfFiler* filer) const {
  if (Acad::ErrorStatus status = AcDbEntity::dxfOutFields(filer); status != Acad::eOk) return status;
  dbWriteDxfMarker(filer, "StoreMeshStandIn");
  return filer->writeObjectId(340, subModel);
}

Acad::ErrorStatus StoreMeshStandIn::dxfInFields(AcDbDxfFiler* filer) {
  assertWriteEnabled();
  if (Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer); status != Acad::eOk) return status;
  if (dbReadDxfMarker(filer, "StoreMeshStandIn")) filer->readObjectId(340, &subModel);
  return filer->filerStatus();
}

// As the mesh entity will: its sub-model goes with it and comes back with it. History replay
// restores the sub-model by itself.
Acad::ErrorStatus StoreMeshStandIn::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbEntity::subErase(erasing); status != Acad::eOk) return status;
  erasing ? MarkAsErased() : MarkAsNotErased();
  if (isUndoing()) return Acad::eOk;
  DbTransaction transaction(database());
  auto* sub = CaepAnlSubModelObj::cast(dbOpenMember(database(), subModel, AcDb::kForWrite, true));
  if (!sub) return Acad::eOk;
  if (erasing) {
    sub->SetErasedWithMesh();
    sub->erase();
  } else if (sub->isErased()) {
    sub->Unerase();
  }
  return Acad::eOk;
}

AcRxClass* StoreLbcStandIn::desc() {
  return registered(
      "StoreLbcStandIn", [] { return static_cast<AcRxObject*>(new (std::nothrow) StoreLbcStandIn()); },
      "STORELBCSTANDIN");
}
AcRxClass* StoreLbcStandIn::isA() const { return desc(); }

StoreLbcStandIn::StoreLbcStandIn(AttType type) : AttLbc(descriptors().Find(type), nullptr, nullptr, nullptr, nullptr) {}

Acad::ErrorStatus StoreLbcStandIn::dwgOutFields(AcDbDwgFiler* filer) const {
  if (Acad::ErrorStatus status = AcDbEntity::dwgOutFields(filer); status != Acad::eOk) return status;
  if (dbFilerWritesFields(filer->filerType())) filer->writeInt16(static_cast<Adesk::Int16>(Type()));
  return filer->filerStatus();
}

Acad::ErrorStatus StoreLbcStandIn::dwgInFields(AcDbDwgFiler* filer) {
  assertWriteEnabled();
  if (Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer); status != Acad::eOk) return status;
  Adesk::Int16 type = 0;
  if (dbFilerReadsFields(filer->filerType()) && filer->readInt16(&type) == Acad::eOk)
    SetDescriptor(descriptors().Find(type));
  return filer->filerStatus();
}

Acad::ErrorStatus StoreLbcStandIn::dxfOutFields(AcDbDxfFiler* filer) const {
  if (Acad::ErrorStatus status = AcDbEntity::dxfOutFields(filer); status != Acad::eOk) return status;
  dbWriteDxfMarker(filer, "StoreLbcStandIn");
  return filer->writeInt16(70, static_cast<Adesk::Int16>(Type()));
}

Acad::ErrorStatus StoreLbcStandIn::dxfInFields(AcDbDxfFiler* filer) {
  assertWriteEnabled();
  if (Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer); status != Acad::eOk) return status;
  Adesk::Int16 type = 0;
  if (dbReadDxfMarker(filer, "StoreLbcStandIn") && filer->readInt16(70, &type) == Acad::eOk)
    SetDescriptor(descriptors().Find(type));
  return filer->filerStatus();
}

Acad::ErrorStatus StoreLbcStandIn::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbEntity::subErase(erasing); status != Acad::eOk) return status;
  erasing ? MarkAsErased() : MarkAsNotErased();
  return Acad::eOk;
}

void registerStoreStandIns() {
  StoreMeshStandIn::desc();
  StoreLbcStandIn::desc();
}

void unregisterStoreStandIns() {
  for (const char* name : {"StoreLbcStandIn", "StoreMeshStandIn"})
    if (AcRxClass* record = acrxFindClass(name)) deleteAcRxClass(record);
}

AttType storeFirstTypeOfKind(int kind) {
  for (AttType type = 1; type <= 29; ++type)
    if (const AttLbcDescript* found = descriptors().Find(type); found && found->kind == kind) return type;
  return 0;
}
