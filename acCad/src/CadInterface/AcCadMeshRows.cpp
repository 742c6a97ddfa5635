// The mesh rows of the AutoCAD interface: mesh-size constraints, mesh entities, mesh picks and the
// geometry questions of the mesh pages.
#include <memory>
#include <new>

#include "CadInterface/AcCadEntry.h"
#include "CadInterface/AcCadInterface.h"
#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "amg/acConCmd.h"
#include "arx/brbrep.h"
#include "arx/gesurf.h"
#include "cadInterface/CadAppControl.h"
#include "db/dbCon.h"
#include "db/dbMesh.h"
#include "db/dbOpen.h"
#include "db/dbSubModel.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "res/ResourceIds.h"
#include "topo/acTopoRef.h"
#include "util/acSelect.h"
#include "util/acString.h"

namespace {

// The CAD-neutral kind codes of the interface.
enum CadKind { kCadNone = 0, kCadBody = 1, kCadFace = 2, kCadEdge = 3, kCadVertex = 4 };

AcTopoRef* referenceOf(AcBrEntity* entity) { return entity ? acTopoRefFromBrEntity(entity) : nullptr; }

bool currentModelHasShellMesh() {
  AnlControl* control = AnlControl::GetCurrent();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  return model && model->HasShellMesh();
}

// 1 when the face's surface is a cylinder in the modeller's own form, else 0; anything but a face
// answers -1.
int cylindricalFace(AcBrFace* face) {
  AcTopoRef* ref = referenceOf(face);
  if (!ref || ref->Kind() != CaeTopoRef::kFace) return -1;
  AcGeSurface* surface = nullptr;
  if (face->getSurface(surface) != AcBr::eOk || !surface) CAE_GENERAL_ERROR();
  std::unique_ptr<AcGeSurface> bounded(surface);
  auto* external = dynamic_cast<AcGeExternalBoundedSurface*>(bounded.get());
  if (!external) return 0;
  AcGeSurface* base = nullptr;
  external->getBaseSurface(base);
  std::unique_ptr<AcGeSurface> baseOwner(base);
  auto* unbounded = dynamic_cast<AcGeExternalSurface*>(base);
  AcGeSurface* native = nullptr;
  if (!unbounded || !unbounded->isNativeSurface(native) || !native) return 0;
  std::unique_ptr<AcGeSurface> nativeOwner(native);
  return native->isKindOf(AcGe::kCylinder) ? 1 : 0;
}

}  // namespace

// ---- mesh-size constraints ------------------------------------------------------------------------

int AcCadInterface::CreateMeshConstraint(int colour, double symbolScale, int pickKind, double elementSize, double locX,
                                         double locY, double locZ, int pointFlag, AcBrEntity* entity) {
  return acCreateMeshConstraint(colour, symbolScale, pickKind, elementSize, CaeVector(locX, locY, locZ), pointFlag,
                                entity);
}

void AcCadInterface::RecreateMeshConstraint(AmgConstraint* old, int colour, double symbolScale, double elementSize,
                                            AnlModel* model) {
  CaepConEnt* oldEntity = dbConstraintEntity(old);
  if (!oldEntity) CAE_GENERAL_ERROR();
  const int pointFlag = old->Type() == AmgConstrPoint ? 1 : 0;
  auto* ref = dynamic_cast<AcTopoRef*>(old->GetTopoRef());
  AcBrEntity* entity = ref ? ref->GetBrEntity() : nullptr;
  constexpr int kPickFaceWhenMissing = 1;
  if (!acRecreateMeshConstraint(colour, symbolScale, kPickFaceWhenMissing, elementSize, old->Location(), pointFlag,
                                entity, model))
    return;  // cancelled or refused: the old constraint stays
  DbTransaction transaction(oldEntity->database());
  if (AcDbObject* open = dbOpenMember(oldEntity->database(), oldEntity->objectId(), AcDb::kForWrite)) open->erase();
}

void AcCadInterface::GetConstraintColorAndScale(AmgConstraint* constraint, int* colour, double* scale) {
  const CaepConEnt* entity = dbConstraintEntity(constraint);
  if (!entity) return;
  if (colour) *colour = entity->Color();
  if (scale) *scale = entity->SymbolScale();
}

// ---- meshes -----------------------------------------------------------------------------------------

AmgMesh* AcCadInterface::CreateMeshEntity(CaeTopoRef* ref) { return new (std::nothrow) CaepMeshEnt(ref); }

void AcCadInterface::GenerateMesh(AmgMesh*& mesh, const char* material, int pStartOrder, int pMaxOrder,
                                  double pErrorTolerance, double shellThickness) {
  try {
    auto* entity = dynamic_cast<CaepMeshEnt*>(mesh);
    if (!entity) CAE_GENERAL_ERROR();
    entity->SetPStartOrder(pStartOrder);
    entity->SetPMaxOrder(pMaxOrder);
    entity->SetPErrorTolerance(pErrorTolerance);
    entity->SetShellThickness(shellThickness);
    acGenerateMeshEntity(entity, material);
    mesh = entity;
  } catch (const CaeExcept& error) {
    PrintMessage(error.String().Text());
  }
}

int AcCadInterface::UpdateMesh(AmgMesh*& mesh) {
  auto* entity = dynamic_cast<CaepMeshEnt*>(mesh);
  if (!entity) CAE_GENERAL_ERROR();
  CaepMeshEnt* replacement = entity->Regenerate(nullptr);
  if (!replacement) return 0;
  mesh = replacement;
  return 1;
}

int AcCadInterface::FindSubModelOfMesh(AmgMesh*& mesh, AnlSubModel*& subModel) {
  if (!UpdateMesh(mesh)) return 0;
  CaepAnlSubModelObj* sub = dynamic_cast<CaepMeshEnt*>(mesh)->FindSubModel();
  subModel = sub;
  return 1;
}

int AcCadInterface::MeshOfTopology(AcBrEntity* entity) {
  AcTopoRef* ref = referenceOf(entity);
  const int kind = GetTopologyKind(entity);
  if ((kind == kCadBody || kind == kCadFace) && ref) return IsTopologyMeshed(ref);
  return -1;
}

int AcCadInterface::CollectMeshesOfTopology(CaeList<CaeTopoRef>& refs, AcBrEntity* entity) {
  CaeTopoRef* body = nullptr;
  for (CaeTopoRef* ref : refs)
    if (ref->Kind() == CaeTopoRef::kBody) {
      body = ref;
      break;
    }
  refs.RemoveAll();
  if (body) refs.Append(body);
  AcTopoRef* ref = referenceOf(entity);
  if (!ref || ref->Kind() != CaeTopoRef::kFace) return GetTopologyKind(entity);
  if (const int meshed = IsTopologyMeshed(ref)) return meshed;
  refs.Append(ref);
  return 0;
}

int AcCadInterface::PickMesh(CaeList<CaeTopoRef>& refs) {
  refs.RemoveAll();
  const bool shell = currentModelHasShellMesh();
  AcBrEntity* entity = acPickTopology(shell ? kPickFace : kPickSolid, 0);
  AcTopoRef* ref = referenceOf(entity);
  if (!ref) return 0;
  if (ref->FirstAttribute(AmgMesh::Info, 1)) {
    CaeString text;
    acLoadString(IDS_MESH_ALREADY_EXISTS, text);
    CadMessageBox(nullptr, text.Text(), MB_TASKMODAL);
    return 0;
  }
  while (IsTopologyMeshed(ref)) {
    acPrintString(ref->Kind() == CaeTopoRef::kBody ? IDS_SOLID_NEEDS_SHELLS : IDS_FACE_ALREADY_MESHED);
    entity = acPickTopology(kPickFace, 0);
    ref = referenceOf(entity);
    if (!ref) return 0;
  }
  if (ref->Kind() == CaeTopoRef::kBody) refs.Append(ref);
  CaeList<CaeTopoRef> faces;
  CollectMeshesOfTopology(faces, entity);
  if (!faces.IsEmpty()) refs.AppendList(faces);
  return 1;
}

// ---- picks and kinds ----------------------------------------------------------------------------------

int AcCadInterface::GetTopologyKind(AcBrEntity* entity) {
  AcTopoRef* ref = referenceOf(entity);
  if (!ref) return kCadNone;
  switch (ref->Kind()) {
    case CaeTopoRef::kVertex: return kCadVertex;
    case CaeTopoRef::kEdge: return kCadEdge;
    case CaeTopoRef::kFace: return kCadFace;
    case CaeTopoRef::kBody: return kCadBody;
    default: return kCadNone;
  }
}

int AcCadInterface::PickPoint(double* point) {
  double picked[3] = {0.0, 0.0, 0.0};
  if (!acGetPoint(picked)) return 0;
  for (int i = 0; i < 3; ++i) point[i] = picked[i];
  return 1;
}

int AcCadInterface::IsCylindricalFace(AcBrFace* face) { return cylindricalFace(face) != 0 ? 1 : 0; }

int AcCadInterface::IsNonCylindricalFace(AcBrFace* face) { return cylindricalFace(face) == 1 ? 0 : 1; }
