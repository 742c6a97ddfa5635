#include "db/dbMeshUse.h"

#include "amg/CaeMsgCall.h"
#include "db/dbFiling.h"
#include "db/dbOpen.h"

namespace {

constexpr char kClassName[] = "CaepMeshUse";

// The host entity's part, with a failed call turned into the consistency check and its exception
// into the filer-error status.
template <class Call>
Acad::ErrorStatus fileEntityPart(Call&& call) {
  return dbGuardedFiling([&] {
    const Acad::ErrorStatus status = call();
    CAE_CHECK(status == Acad::eOk);
    return status;
  });
}

}  // namespace

AcRxClass* CaepMeshUse::desc() { return acrxFindClass(kClassName); }
AcRxClass* CaepMeshUse::isA() const { return desc(); }
void CaepMeshUse::rxInit() {
  constexpr int kDrawingVersion = 23;
  constexpr int kMaintenanceVersion = 6;
  if (!acrxFindClass(kClassName))
    newAcRxClass(kClassName, "AcDbEntity", kDrawingVersion, kMaintenanceVersion, 0, dbMakeObject<CaepMeshUse>,
                 "CAEPMESHUSE", "TLXARX");
}

CaepMeshUse::CaepMeshUse(CaeTopoRef* ref, AmgMesh* mesh) : AmgMeshUse(ref) { SetMesh(mesh); }

void CaepMeshUse::SetMesh(AmgMesh* mesh) {
  auto* entity = dynamic_cast<AcDbObject*>(mesh);
  meshId_ = entity ? entity->objectId() : AcDbObjectId();
}

AmgMesh* CaepMeshUse::Mesh() {
  if (meshId_.isNull() || !database()) return nullptr;
  return dynamic_cast<AmgMesh*>(dbOpenLive(database(), meshId_, AcDb::kForWrite));
}

Acad::ErrorStatus CaepMeshUse::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbEntity::subErase(erasing); status != Acad::eOk) return status;
  if (erasing) {
    MarkAsErased();
  } else {
    MarkAsNotErased();
    // The mark is not filed: undo and redo keep it, so that a redone erase of the mesh is
    // still undone by unerasing the mesh.
    if (!isUndoing()) erasedWithMesh_ = false;
  }
  return Acad::eOk;
}

Acad::ErrorStatus CaepMeshUse::dwgOutFields(AcDbDwgFiler* filer) const {
  assertReadEnabled();
  return fileEntityPart([&] { return AcDbEntity::dwgOutFields(filer); });
}

Acad::ErrorStatus CaepMeshUse::dwgInFields(AcDbDwgFiler* filer) {
  assertWriteEnabled();
  return fileEntityPart([&] { return AcDbEntity::dwgInFields(filer); });
}

Acad::ErrorStatus CaepMeshUse::dxfOutFields(AcDbDxfFiler* filer) const {
  assertReadEnabled();
  return fileEntityPart([&] { return AcDbEntity::dxfOutFields(filer); });
}

Acad::ErrorStatus CaepMeshUse::dxfInFields(AcDbDxfFiler* filer) {
  assertWriteEnabled();
  return fileEntityPart([&] { return AcDbEntity::dxfInFields(filer); });
}
