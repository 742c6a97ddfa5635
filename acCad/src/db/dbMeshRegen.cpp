// Regeneration of the meshes of an analysis model after the part changed, and what it needs: the
// numbering that runs on across a model's meshes, the new sub-model with the old one's
// properties, and the unerase that brings back what an erase took.
#include <memory>
#include <vector>

#include "amg/CaeExcept.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeStamp.h"
#include "amg/CaeTopoRef.h"
#include "arx/dbdatabase.h"
#include "cadInterface/CadDocServices.h"
#include "db/dbCon.h"
#include "db/dbMesh.h"
#include "db/dbMeshUse.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "db/dbSubModel.h"
#include "topo/acTopoRef.h"

namespace {

// What a replacement keeps of the mesh it replaces.
struct Kept {
  std::unique_ptr<CaeMaterial> material;
  CaeString name;
  DbElemDesc desc;
  double value = 0.0;
  double shellThickness = 0.0;
};

Kept keptOf(CaepMeshEnt& old) {
  Kept kept;
  kept.desc =
      DbElemDesc{old.GetElementOrder(), CaeShapeTri, old.GetElementType(), old.GetMeshPElements() == CaeOn ? 1 : 0};
  kept.shellThickness = old.ShellThickness();
  if (CaepAnlSubModelObj* sub = old.FindSubModel()) {
    if (const CaeMaterial* material = sub->GetMaterial()) kept.material = std::make_unique<CaeMaterial>(*material);
    kept.name = sub->Name();
    if (sub->ElementDesc()) kept.desc = *sub->ElementDesc();
    kept.value = sub->PropValue();
  }
  return kept;
}

// The live meshes of a model, in sub-model order.
std::vector<CaepMeshEnt*> liveMeshesOf(CaepAnlModelObj& model) {
  std::vector<CaepMeshEnt*> meshes;
  for (int i = 0; i < model.NumSubModels(); ++i) {
    AnlSubModel* sub = model.GetSubModel(i);
    if (!sub || sub->IsMarkedAsErased()) continue;
    auto* mesh = dynamic_cast<CaepMeshEnt*>(sub->Mesh());
    if (mesh && !mesh->IsMarkedAsErased()) meshes.push_back(mesh);
  }
  return meshes;
}

// Mesh-size constraints of the model reach the new mesh here, as local sizes: the live ones on its
// body; erased and stale ones give none.
void applyMeshConstraints(CaepMeshEnt& mesh, const CaepMeshEnt&, CaepAnlModelObj& model) {
  dbApplyMeshConstraints(mesh, model);
}

}  // namespace

void CaepMeshEnt::NumberOnFrom(AnlModel& model) {
  long node = 0, element = 0;
  model.HighestNodeElementIds(node, element);
  SetFirstIds(node + 1, element + 1);
}

CaepAnlSubModelObj* CaepMeshEnt::AssignProperties(const CaeMaterial* material, AmiObjectKey* bodyKey,
                                                  CaepAnlModelObj& model, const DbElemDesc& desc, double value) {
  AcDbDatabase* db = model.database();
  DbTransaction transaction(db);
  auto* sub = CaepAnlSubModelObj::cast(dynamic_cast<AcDbObject*>(model.NewSubModelFor(this)));
  CAE_CHECK(sub != nullptr);
  // Posting closed this entity: it is opened again for the keys.
  CAE_CHECK(dbOpenMember(db, objectId(), AcDb::kForWrite) == this);
  if (bodyKey) SetBodyKey(bodyKey);
  sub->AssignElement(desc, value);
  delete sub->GetMaterial();
  sub->AssignMaterial(material ? new CaeMaterial(*material) : nullptr);
  return sub;
}

CaepMeshEnt* CaepMeshEnt::Regenerate(CaepAnlModelObj* model) {
  CAE_CHECK(IsActive());
  auto* ref = dynamic_cast<AcTopoRef*>(GetTopoRef());
  if (!ref || !ref->IsValid()) return this;
  AcDbDatabase* db = database();
  CAE_CHECK(db != nullptr);
  DbTransaction transaction(db);
  CaepAnlSubModelObj* ownSub = FindSubModel();
  if (!ownSub) return this;
  const bool shell = ownSub->MeshIsShell() != 0;
  // New sub-models go to the model the meshes belong to, whichever model is current.
  CaepAnlModelObj* owner = model ? model : ownSub->FindOwnerModel();
  CAE_CHECK(owner != nullptr);

  const std::vector<CaepMeshEnt*> meshes = liveMeshesOf(*owner);
  if (meshes.size() > 1)
    for (CaepMeshEnt* mesh : meshes) mesh->MakeUncurrent();
  CaepMeshEnt* result = this;
  for (CaepMeshEnt* old : meshes) {
    Kept kept = keptOf(*old);
    auto* oldRef = dynamic_cast<AcTopoRef*>(old->GetTopoRef());
    dbWriteEnable(*old);  // listed for read
    if (!old->IsMarkedAsErased()) CAE_CHECK(old->erase() == Acad::eOk);

    std::unique_ptr<CaepMeshEnt> fresh;
    const bool update = old->Associated() && !(shell && meshes.size() > 1);
    if (update) {
      fresh = std::make_unique<CaepMeshEnt>();
      fresh->Create(*old, 1);
    } else {
      fresh = std::make_unique<CaepMeshEnt>(oldRef);
      fresh->SetControlValues(*old);
    }
    fresh->ClearLocalSizes();
    applyMeshConstraints(*fresh, *old, *owner);
    fresh->NumberOnFrom(*owner);
    fresh->SetShellThickness(kept.shellThickness);
    const bool made = update ? fresh->Update(1) != 0 : CadGenerateMesh(fresh.get()) != 0;

    if (!made || !fresh->Successful()) {
      old->UnErase();
      if (old == this) result = nullptr;
      continue;
    }
    CaepMeshEnt* replacement = fresh.release();
    CaepAnlSubModelObj* sub = replacement->AssignProperties(kept.material.get(), oldRef ? oldRef->GetKey() : nullptr,
                                                            *owner, kept.desc, kept.value);
    if (!kept.name.IsEmpty()) sub->Name(kept.name);
    if (oldRef) oldRef->AddAttribute(replacement);
    for (AmgMeshUse* use = replacement->FirstMeshUse(); use; use = replacement->NextMeshUse())
      use->SetMesh(replacement);
    if (old == this) result = replacement;
  }
  return result;
}

void CaepMeshEnt::UnErase() {
  if (isErased()) CAE_CHECK(erase(false) == Acad::eOk);
  AcDbDatabase* db = database();
  if (!db) return;
  DbTransaction transaction(db);
  if (CaepAnlSubModelObj* sub = FindSubModel(); sub && sub->isErased() && sub->ErasedWithMesh()) sub->Unerase();
  for (AcDbObjectId id : meshUseIds_) {
    auto* use = CaepMeshUse::cast(dbOpenMember(db, id, AcDb::kForWrite, true));
    if (use && use->isErased() && use->ErasedWithMesh()) {
      use->MarkAsNotErased();
      CAE_CHECK(use->erase(false) == Acad::eOk);
    }
  }
}

void dbRegenerateMesh(AmgMesh* mesh, CaepAnlModelObj* model) {
  if (auto* entity = dynamic_cast<CaepMeshEnt*>(mesh)) entity->Regenerate(model);
}
