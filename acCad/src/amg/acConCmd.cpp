#include "amg/acConCmd.h"

#include <cmath>
#include <memory>

#include "amg/CaeMaterial.h"
#include "amg/CaeMsgCall.h"
#include "arx/acutads.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadApplication.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "db/dbCon.h"
#include "db/dbControl.h"
#include "db/dbMesh.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "db/dbSubModel.h"
#include "fea/AnlModel.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoUtil.h"
#include "util/acSelect.h"

namespace {

CaepAnlModelObj* currentModel() {
  AnlControl* control = AnlControl::GetCurrent();
  return control ? dynamic_cast<CaepAnlModelObj*>(control->CurrentAnlModel()) : nullptr;
}

// The drawing's reference of picked or given geometry; none is a consistency check.
AcTopoRef* referenceOf(AcBrEntity* entity) {
  AcTopoRef* ref = entity ? acTopoRefFromBrEntity(entity) : nullptr;
  if (!ref) CAE_GENERAL_ERROR();
  return ref;
}

// `model` null: the current one. No model is a consistency check.
CaepConEnt* newConstraint(int colour, double scale, double size, const CaeVector& location, int pointFlag,
                          AcBrEntity* entity, CaepAnlModelObj* model) {
  if (!model) model = currentModel();
  if (!model) CAE_GENERAL_ERROR();
  AcTopoRef* ref = referenceOf(entity);
  auto pending =
      std::make_unique<CaepConEnt>(colour, scale, size, location.X(), location.Y(), location.Z(), pointFlag != 0, ref);
  CaepConEnt* constraint = pending.get();
  try {
    model->AddConstraint(constraint);  // posts it to model space on "CAE_MESH" and closes it
  } catch (...) {
    if (!constraint->objectId().isNull()) pending.release();  // the drawing holds it now
    throw;
  }
  pending.release();
  ref->AddAttribute(constraint);
  acBindObjectToKey(constraint->TopoRef(), constraint);
  return constraint;
}

int createConstraint(int colour, double scale, int pickKind, double size, const CaeVector& location, int pointFlag,
                     AcBrEntity* entity, CaepAnlModelObj* model) {
  if (!acCheckElementSize(size)) return 0;
  if (!entity) entity = acPickConstraintEntity(pickKind);
  if (!entity) return 0;
  newConstraint(colour, scale, size, location, pointFlag, entity, model);
  return 1;
}

// The sub-model of a newly generated mesh with its element property and a copy of the named
// library material (an empty material of the name when the library has none). A mesh that a
// sub-model holds already keeps it.
void assignProperties(CaepMeshEnt& mesh, const char* materialName, CaepAnlModelObj& model) {
  std::unique_ptr<CaeMaterial> material;
  if (materialName && *materialName) {
    DbMaterialSource source;
    material = source.Find(CaeString(materialName));
    if (!material) material = std::make_unique<CaeMaterial>(CaeString(materialName));
  }
  const bool shell = mesh.GetElementType() == CaeElemShell;
  const DbElemDesc desc{mesh.GetElementOrder(), CaeShapeTri, mesh.GetElementType(),
                        mesh.GetMeshPElements() == CaeOn ? 1 : 0};
  const double value = shell ? mesh.ShellThickness() : 0.0;
  auto* body = dynamic_cast<AcTopoRef*>(mesh.GetTopoRef());
  AmiObjectKey* key = body ? body->GetKey() : nullptr;
  CaepAnlSubModelObj* sub = mesh.FindSubModel();
  if (!sub) {
    mesh.AssignProperties(material.get(), key, model, desc, value);
    return;
  }
  if (key) mesh.SetBodyKey(key);
  sub->AssignElement(desc, value);
  delete sub->GetMaterial();
  sub->AssignMaterial(material.release());
}

// A failed generation keeps nothing: the sub-model holding the mesh goes, else the mesh itself.
void removeFailedMesh(CaepMeshEnt*& mesh, CaepAnlModelObj& model) {
  for (int i = 0; i < model.NumSubModels(); ++i) {
    AnlSubModel* sub = model.GetSubModel(i);
    if (sub && !sub->IsMarkedAsErased() && sub->Mesh() == mesh) {
      model.DeleteSubModel(sub);
      mesh = nullptr;
      return;
    }
  }
  if (mesh->objectId().isNull()) {
    delete mesh;  // never posted: nobody else holds it
  } else {
    // The drawing owns a posted mesh: it is erased, never deleted.
    DbTransaction transaction(mesh->database());
    if (AcDbObject* open = dbOpenMember(mesh->database(), mesh->objectId(), AcDb::kForWrite)) open->erase();
  }
  mesh = nullptr;
}

// Holds the engine's warnings back while the document's generation meshes: it reports a failure
// itself, once.
class EngineWarningsHeld {
 public:
  EngineWarningsHeld() : wasSet_(CaeMsgCall::IsMsgLevelSet(kWarningLevel)) {
    if (wasSet_) CaeMsgCall::ClearMsgLevel(kWarningLevel);
  }
  ~EngineWarningsHeld() {
    if (wasSet_) CaeMsgCall::SetMsgLevel(kWarningLevel);
  }
  EngineWarningsHeld(const EngineWarningsHeld&) = delete;
  EngineWarningsHeld& operator=(const EngineWarningsHeld&) = delete;

 private:
  static constexpr int kWarningLevel = 1;
  bool wasSet_;
};

int generateOnce(CaepMeshEnt* mesh) {
  EngineWarningsHeld held;
  return CadGenerateMesh(mesh);
}

}  // namespace

bool acCheckElementSize(double size) {
  if (std::isfinite(size) && size > 0.0) return true;
  acutPrintf("\nInvalid element size: give a number greater than 0.");
  return false;
}

AcBrEntity* acPickConstraintEntity(int pickKind) {
  if (!CadCurrentDocControl()) CAE_GENERAL_ERROR();
  return acPickTopology(pickKind, 1);
}

int acCreateMeshConstraint(int colour, double scale, int pickKind, double size, const CaeVector& location,
                           int pointFlag, AcBrEntity* entity) {
  return createConstraint(colour, scale, pickKind, size, location, pointFlag, entity, nullptr);
}

int acRecreateMeshConstraint(int colour, double scale, int pickKind, double size, const CaeVector& location,
                             int pointFlag, AcBrEntity* entity, AnlModel* model) {
  auto* stored = dynamic_cast<CaepAnlModelObj*>(model);
  if (!stored) CAE_GENERAL_ERROR();
  return createConstraint(colour, scale, pickKind, size, location, pointFlag, entity, stored);
}

CaepConEnt* acNewConstraintInModel(int colour, double scale, double size, const CaeVector& location, int pointFlag,
                                   AcBrEntity* entity) {
  return newConstraint(colour, scale, size, location, pointFlag, entity, nullptr);
}

CaepConEnt* acNewConstraintInMesh(int colour, double scale, double size, const CaeVector& location, int pointFlag,
                                  AcBrEntity* entity, AnlModel* model) {
  auto* stored = dynamic_cast<CaepAnlModelObj*>(model);
  if (!stored) CAE_GENERAL_ERROR();
  return newConstraint(colour, scale, size, location, pointFlag, entity, stored);
}

int acGenerateMeshEntity(CaepMeshEnt*& mesh, const char* materialName) {
  if (!mesh) return 0;
  CadWaitCursor waitCursor;
  CaepAnlModelObj* model = currentModel();
  if (!model) CAE_GENERAL_ERROR();  // checked before meshing: nothing is made without a model
  // Every mesh numbers on from the model's highest ids, so that the deck never sees one twice.
  mesh->NumberOnFrom(*model);
  dbApplyMeshConstraints(*mesh, *model);
  // A deferred mesh is made when first needed (a solve): until then it has nothing to succeed at.
  const bool deferred = mesh->Deferred() && !mesh->Generated();
  if (!generateOnce(mesh) || (!deferred && !mesh->Successful())) {
    removeFailedMesh(mesh, *model);
    return 0;
  }
  // The document's generation has reported the counts already; the line only ends here.
  acutPrintf("\n");
  assignProperties(*mesh, materialName, *model);
  if (CaeTopoRef* ref = mesh->GetTopoRef())
    if (auto* body = dynamic_cast<AcTopoRef*>(ref); body && !body->HasAttributeId(mesh->objectId()))
      body->AddAttribute(mesh);
  for (AmgMeshUse* use = mesh->FirstMeshUse(); use; use = mesh->NextMeshUse()) use->SetMesh(mesh);
  return 1;
}
