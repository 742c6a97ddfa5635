#include "db/dbSubModel.h"

#include <memory>
#include <new>
#include <optional>

#include "amg/CaeArray.h"
#include "amg/CaeConfig.h"
#include "amg/CaeCoordSys.h"
#include "amg/CaeExcept.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeTransform.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbentity.h"
#include "arx/dbsymtb.h"
#include "arx/dbtrans.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "db/dbControl.h"
#include "db/dbJob.h"
#include "db/dbMatLib.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "db/dbResultSet.h"
#include "fea/AmgMesh.h"
#include "mfc/win32_files.h"
#include "res/ResourceIds.h"
#include "util/acLayer.h"
#include "util/acString.h"

// ---- registration -----------------------------------------------------------------------------

namespace {

// The job or result set of a model that a sub-model's erase takes with it, and its mark.
void setErasedWithSubModel(AcDbObject* object, bool mark) {
  if (auto* job = CaepAnlDrvJobObj::cast(object)) job->SetErasedWithSubModel(mark);
  if (auto* job = CaepAnlConstrJobObj::cast(object)) job->SetErasedWithSubModel(mark);
  if (auto* set = CaepResultCaseObj::cast(object)) set->SetErasedWithSubModel(mark);
}

bool erasedWithSubModel(AcDbObject* object) {
  if (auto* job = CaepAnlDrvJobObj::cast(object)) return job->ErasedWithSubModel();
  if (auto* job = CaepAnlConstrJobObj::cast(object)) return job->ErasedWithSubModel();
  if (auto* set = CaepResultCaseObj::cast(object)) return set->ErasedWithSubModel();
  return false;
}

CaeCoordSys* makeCoordSys(int kind, const CaeTransform& transform) {
  switch (kind) {
    case kDbCoordCartesian: return new CaeCoordSysCartesian(transform);
    case kDbCoordCylindric: return new CaeCoordSysCylindric(transform);
    default: return new CaeCoordSysSpheric(transform);
  }
}

}  // namespace

AcRxClass* CaepAnlSubModelObj::desc() {
  static AcRxClassLookup record("CaepAnlSubModelObj");
  return record.get();
}
AcRxClass* CaepAnlSubModelObj::isA() const { return desc(); }
void CaepAnlSubModelObj::rxInit() {
  dbRegisterClass("CaepAnlSubModelObj", "CAEPANLSUBMODELOBJ", dbMakeObject<CaepAnlSubModelObj>);
}

// ---- mesh -------------------------------------------------------------------------------------

AmgMesh* CaepAnlSubModelObj::Mesh() {
  return dynamic_cast<AmgMesh*>(dbOpenMember(database(), meshId_, AcDb::kForRead, true));
}

void CaepAnlSubModelObj::SetMesh(AmgMesh* mesh) {
  auto* entity = dynamic_cast<AcDbEntity*>(mesh);
  CAE_CHECK(entity != nullptr && database() != nullptr);
  AcDbObjectId id = entity->objectId();
  AcDbObjectId layer;
  acGetLayer(acCaeLayerName(kCaeLayerMesh), layer);
  if (id.isNull()) {
    AcDbBlockTable* blocks = nullptr;
    CAE_CHECK(database()->getBlockTable(blocks, AcDb::kForRead) == Acad::eOk);
    AcDbBlockTableRecord* modelSpace = nullptr;
    const Acad::ErrorStatus opened = blocks->getAt(ACDB_MODEL_SPACE, modelSpace, AcDb::kForWrite);
    blocks->close();
    CAE_CHECK(opened == Acad::eOk);
    const Acad::ErrorStatus appended = modelSpace->appendAcDbEntity(id, entity);
    modelSpace->close();
    CAE_CHECK(appended == Acad::eOk && !id.isNull());
    entity->setLayer(layer, true);
    CAE_CHECK(entity->close() == Acad::eOk);
  } else if (auto* open = AcDbEntity::cast(dbOpenMember(database(), id, AcDb::kForWrite))) {
    open->setLayer(layer, true);
  }
  dbWriteEnable(*this);
  meshId_ = id;
  SetMeshProps(mesh);
}

Acad::ErrorStatus CaepAnlSubModelObj::SetMeshId(AcDbObjectId id) {
  if (id.isNull()) return Acad::eInvalidInput;
  dbWriteEnable(*this);
  meshId_ = id;
  return Acad::eOk;
}

// Erased meshes, meshes that never open and meshes held open for write outside any transaction
// (an erase of the mesh itself under way) are not opened.
AcDbObject* CaepAnlSubModelObj::OpenMeshEntity(AcDb::OpenMode mode) {
  if (meshId_.isNull()) return nullptr;
  AcDbTransactionManager* transactions = database()->transactionManager();
  AcDbObject* mesh = nullptr;
  const Acad::ErrorStatus status = transactions->getObject(mesh, meshId_, mode);
  if (status == Acad::eWasErased || status == Acad::ePermanentlyErased || status == Acad::eWasOpenForWrite)
    return nullptr;
  CAE_CHECK(status == Acad::eOk);
  return mesh;
}

CaepAnlModelObj* CaepAnlSubModelObj::FindOwnerModel() {
  AcDbDatabase* db = database();
  if (!db || objectId().isNull()) return nullptr;
  auto lists = [&](AcDbObjectId id) -> CaepAnlModelObj* {
    AcDbObject* object = nullptr;
    if (db->transactionManager()->getObject(object, id, AcDb::kForRead) != Acad::eOk) return nullptr;
    auto* model = CaepAnlModelObj::cast(object);
    if (!model) return nullptr;
    for (AcDbObjectId listed : model->SubModelIds())
      if (listed == objectId()) return model;
    return nullptr;
  };
  if (CaepAnlModelObj* owner = ownerId().isNull() ? nullptr : lists(ownerId())) return owner;
  if (CaepAnlControl* control = dbControlOf(db))
    for (AcDbObjectId id : control->Ids(DbStoredKind::AnlModel))
      if (CaepAnlModelObj* model = lists(id)) return model;
  return nullptr;
}

// ---- erase ------------------------------------------------------------------------------------

void CaepAnlSubModelObj::Cascade(bool erasing) {
  CaepAnlModelObj* owner = FindOwnerModel();
  if (!owner) return;
  for (const std::vector<AcDbObjectId>* ids : {&owner->JobIds(), &owner->ResultSetIds()})
    for (AcDbObjectId id : *ids) {
      if (erasing) {
        AcDbObject* member = dbOpenLive(database(), id, AcDb::kForWrite);
        if (!member) continue;
        if (erasedWithMesh_) setErasedWithSubModel(member, true);
        member->erase();
      } else {
        AcDbObject* member = dbOpenMember(database(), id, AcDb::kForWrite, true);
        if (member && member->isErased() && erasedWithSubModel(member)) member->erase(false);
      }
    }
}

Acad::ErrorStatus CaepAnlSubModelObj::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbObject::subErase(erasing); status != Acad::eOk) return status;
  if (!erasing) {
    MarkAsNotErased();
    return Acad::eOk;
  }
  MarkAsErased();
  // Undo and redo replay the erasures of the mesh, jobs and result sets themselves.
  if (isUndoing()) return Acad::eOk;
  try {
    DbTransaction transaction(database());
    AcDbObject* mesh = OpenMeshEntity();
    auto* marks = dynamic_cast<CaeActive*>(mesh);
    if (mesh && !(marks && marks->IsMarkedAsErased())) mesh->erase();
    if (!mesh || !dbMeshIsEngineCopy(mesh)) Cascade(true);
  } catch (const CaeExcept& error) {
    acutPrintf("\nTLX Exception: %s", error.String().Text());
  }
  return Acad::eOk;
}

CaepAnlSubModelObj* CaepAnlSubModelObj::Unerase() {
  const Acad::ErrorStatus status = erase(false);
  CAE_CHECK(status == Acad::eOk || status == Acad::eWasNotErased);
  {
    DbTransaction transaction(database());
    AcDbObject* mesh = OpenMeshEntity();
    if (!mesh || !dbMeshIsEngineCopy(mesh)) Cascade(false);
  }
  erasedWithMesh_ = false;
  return this;
}

// ---- element property and material ------------------------------------------------------------

double CaepAnlSubModelObj::PropValue() const {
  return GetProp() ? GetProp()->GetPropValue(CaeElemProp::kThickness) : propValue_;
}

bool CaepAnlSubModelObj::ReconcileWrites(CaepAnlModelObj* model) const {
  if (ownerId() != model->objectId() || Name().IsEmpty() || !elemDesc_) return true;
  return !model->GetDescTab().Find(elemDesc_->order, elemDesc_->shape, elemDesc_->type, elemDesc_->subType);
}

void CaepAnlSubModelObj::AssignElement(const DbElemDesc& desc, double value) {
  dbWriteEnable(*this);
  RestoreElement(desc, value);
}

void CaepAnlSubModelObj::RestoreElement(const DbElemDesc& desc, double value) {
  auto prop = std::make_unique<CaeElemProp>();
  if (desc.type == CaeElemShell) prop->SetPropValue(CaeElemProp::kThickness, value);
  AssignProp(prop.release());
  elemDesc_ = desc;
  propValue_ = desc.type == CaeElemShell ? value : 0.0;
}

CaeString CaepAnlSubModelObj::MaterialName() const { return GetMaterial() ? GetMaterial()->Name() : storedMaterial_; }

int CaepAnlSubModelObj::CoordSysKind(const CaeCoordSys* system) {
  if (!system) return kDbCoordNone;
  if (dynamic_cast<const CaeCoordSysCartesian*>(system)) return kDbCoordCartesian;
  if (dynamic_cast<const CaeCoordSysCylindric*>(system)) return kDbCoordCylindric;
  if (dynamic_cast<const CaeCoordSysSpheric*>(system)) return kDbCoordSpheric;
  CAE_GENERAL_ERROR();
}

// ---- the post-load material lookup ------------------------------------------------------------

DbMaterialSource::DbMaterialSource() : cad_(CadInterface::GetCurrent()) { CAE_CHECK(cad_ != nullptr); }

DbMaterialSource::~DbMaterialSource() { cad_->DeleteObject(library_); }

MaterialLibrary* DbMaterialSource::Library() {
  if (!libraryOpened_) {
    libraryOpened_ = true;
    CaeString location;
    cad_->MaterialLibraryLocation(location);
    library_ = cad_->OpenMaterialLibrary(location);
  }
  return library_;
}

AcMatLibrary* DbMaterialSource::ModellerFile() {
  if (!modellerOpened_) {
    modellerOpened_ = true;
    CaeString root;
    CaeConfig::GetValue(1, "Root Directory", root);
    const CaeString path = root + "\\MDT\\zq_fea.mat";
    if (_access(path.c_str(), 0) == 0) modeller_ = std::make_unique<AcMatLibrary>(path);
  }
  return modeller_.get();
}

std::unique_ptr<CaeMaterial> DbMaterialSource::Find(const CaeString& name) {
  if (MaterialLibrary* library = Library())
    if (CaeMaterial* held = library->Find(name)) return std::make_unique<CaeMaterial>(*held);
  AcMatLibrary* modeller = ModellerFile();
  CaeMaterial* held = modeller ? modeller->Find(name) : nullptr;
  if (!held) return nullptr;
  if (MaterialLibrary* library = Library()) library->Store(new CaeMaterial(*held));
  return std::make_unique<CaeMaterial>(*held);
}

void CaepAnlSubModelObj::LoadMaterial(CaepAnlModelObj* model) {
  DbMaterialSource source;
  LoadMaterial(model, source);
}

void CaepAnlSubModelObj::LoadMaterial(CaepAnlModelObj* model, DbMaterialSource& source) {
  try {
    CAE_CHECK(model != nullptr && !meshId_.isNull());
    if (ownerId() != model->objectId()) {
      dbWriteEnable(*this);
      CAE_CHECK(setOwnerId(model->objectId()) == Acad::eOk);
    }
    const AnlElemDescTable& table = model->GetDescTab();
    const AnlElemDesc* found = nullptr;
    if (elemDesc_) found = table.Find(elemDesc_->order, elemDesc_->shape, elemDesc_->type, elemDesc_->subType);
    const bool shell = found && elemDesc_->type == CaeElemShell;
    // The mesh is opened for write only when its restore or the shell thickness changes what it
    // files: a write-open keeps a copy of the mesh for undo and for a transaction abort.
    AcDbObject* mesh = OpenMeshEntity(AcDb::kForRead);
    if (mesh && dbMeshRestoreWrites(mesh, shell ? std::optional<double>(propValue_) : std::nullopt))
      mesh = OpenMeshEntity(AcDb::kForWrite);
    if (mesh) {
      dbRestoreEngineMesh(mesh);
      if (auto* marks = dynamic_cast<CaeActive*>(mesh)) marks->MarkAsNotCurrent();
    }

    if (found) {
      RestoreElement(*elemDesc_, propValue_);
      if (shell && mesh) dbSetShellThickness(mesh, propValue_);
    } else if (const AnlElemDesc* fallback = table.Find(CaeElemQuadratic, CaeShapeTri, 0)) {
      AssignElement(DbElemDesc{fallback->order, fallback->shape, fallback->type, fallback->pElement}, 0.0);
    }

    // A material is already held when the sub-model was made in this session or re-read under
    // the same name: it stays (the libraries may not even have it).
    if (GetMaterial()) return;
    const CaeString name = storedMaterial_;
    std::unique_ptr<CaeMaterial> material = source.Find(name);
    if (material) {
      AssignMaterial(material.release());
    } else {
      AssignMaterial(new CaeMaterial(name));
      CaeString text;
      acLoadString(IDS_MATERIAL_NOT_FOUND, text);
      CadMessageBox(nullptr, CaeString::Format(text.Text(), name.Text()).Text(), MB_OK | MB_TASKMODAL);
    }
  } catch (const CaeExcept& error) {
    acutPrintf("\nTLX Exception: %s", error.String().Text());
  }
}

// ---- filing -----------------------------------------------------------------------------------

void CaepAnlSubModelObj::File(DbFields& fields) const {
  CaeString name = Name();
  auto id = static_cast<Adesk::Int32>(Id());
  CaeString material = MaterialName();
  CaeString location;
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->MaterialLibraryLocation(location);
  Adesk::Int16 materialFlag = !location.IsEmpty() && !material.IsEmpty() ? 1 : 0;
  AcDbObjectId mesh = meshId_;
  CAE_CHECK(!mesh.isNull());
  fields.String(name);
  fields.Int32(id);
  fields.Int16(materialFlag);
  if (materialFlag) fields.String(material);
  fields.Id(mesh, DbFields::Ref::HardPointer);
  std::optional<DbElemDesc> desc = elemDesc_;
  if (!desc && GetProp()) desc = DbElemDesc{};
  Adesk::Int16 propFlag = desc ? 1 : 0;
  fields.Int16(propFlag);
  if (desc) {
    auto shape = static_cast<Adesk::Int16>(desc->shape), order = static_cast<Adesk::Int16>(desc->order),
         type = static_cast<Adesk::Int16>(desc->type), subType = static_cast<Adesk::Int16>(desc->subType);
    fields.Int16(shape);
    fields.Int16(order);
    fields.Int16(type);
    fields.Int16(subType);
    double value = PropValue();
    if (desc->type == CaeElemShell) fields.Double(value);
  }
  auto kind = static_cast<Adesk::Int16>(CoordSysKind(GetCoordSys()));
  fields.Int16(kind);
  if (kind != kDbCoordNone) {
    double values[16];
    GetCoordSys()->GetTransform().ToArray(values);
    for (double& value : values) fields.Double(value);
  }
}

void CaepAnlSubModelObj::Read(DbFields& fields) {
  // Made only for a message: most records are read without one.
  auto label = [this] { return dbObjectLabel(this, "CaepAnlSubModelObj"); };
  Adesk::UInt16 version = 0;
  fields.UInt16(version);
  CaeString name;
  if (version >= 310) fields.String(name);
  Adesk::Int32 id = 0;
  fields.Int32(id);
  Adesk::Int16 materialFlag = 0;
  fields.Int16(materialFlag);
  CaeString material;
  if (materialFlag) fields.String(material);
  AcDbObjectId mesh;
  fields.Id(mesh, DbFields::Ref::HardPointer);
  if (mesh.isNull()) {
    acutPrintf("\n%s: the sub-model has no mesh.", label().c_str());
    CAE_GENERAL_ERROR();
  }
  std::optional<DbElemDesc> desc;
  double value = 0.0;
  Adesk::Int16 kind = kDbCoordNone;
  double transform[16] = {};
  if (version > 200) {
    Adesk::Int16 propFlag = 0;
    fields.Int16(propFlag);
    if (propFlag) {
      Adesk::Int16 shape = 0, order = 0, type = 0, subType = 0;
      fields.Int16(shape);
      fields.Int16(order);
      fields.Int16(type);
      fields.Int16(subType);
      if (order < CaeElemLinear || order > CaeElemQuadratic || shape < CaeShapeTri || shape > CaeShapeQuad ||
          type < CaeElemSolid || type > CaeElemShell || subType < 0 || subType > 1) {
        acutPrintf("\n%s: element %d %d %d %d is not one the engine knows.", label().c_str(), order, shape, type,
                   subType);
        CAE_GENERAL_ERROR();
      }
      desc = DbElemDesc{order, shape, type, subType};
      if (type == CaeElemShell) fields.Double(value);
    }
    fields.Int16(kind);
    if (kind != kDbCoordNone && kind != kDbCoordCartesian && kind != kDbCoordCylindric && kind != kDbCoordSpheric) {
      acutPrintf("\n%s: coordinate-system kind %d is not 0, 1, 2 or 4.", label().c_str(), kind);
      CAE_GENERAL_ERROR();
    }
    if (version > 600 && kind != kDbCoordNone)
      for (double& entry : transform) fields.Double(entry);
    else
      CaeTransform().ToArray(transform);
  }

  if (version >= 310) Name(name);
  Id(id);
  storedMaterial_ = material;
  // A material held under another name is not the one read; the post-load lookup finds it.
  if (GetMaterial() && GetMaterial()->Name() != material) {
    delete GetMaterial();
    AssignMaterial(nullptr);
  }
  meshId_ = mesh;
  if (version > 200) {
    elemDesc_ = desc;
    propValue_ = value;
    if (GetProp() && desc && desc->type == CaeElemShell) GetProp()->SetPropValue(CaeElemProp::kThickness, value);
    AssignCoordSys(kind == kDbCoordNone ? nullptr : makeCoordSys(kind, CaeTransform::FromArray(transform)));
  }
}

void CaepAnlSubModelObj::AboutToChange() {
  if (database()) dbWriteEnable(*this);
}

void CaepAnlSubModelObj::FileHeldRows(DbFields& fields) const {
  CaeArray<double> temperatures;
  GetMaterial()->GetTemps(temperatures);
  auto count = static_cast<Adesk::Int32>(temperatures.Count());
  fields.Count(count);
  for (int t = 0; t < temperatures.Count(); ++t) {
    double temperature = temperatures[t];
    double values[CaeMaterial::kPropCount] = {};
    GetMaterial()->GetProp(temperature, values);
    fields.Double(temperature);
    for (double& value : values) fields.Double(value);
  }
}

void CaepAnlSubModelObj::ReadHeldRows(DbFields& fields) {
  Adesk::Int32 count = 0;
  fields.Count(count);
  CaeMaterial rows(GetMaterial() ? GetMaterial()->Name() : CaeString());
  for (Adesk::Int32 t = 0; t < count; ++t) {
    double temperature = 0.0;
    double v[CaeMaterial::kPropCount] = {};
    fields.Double(temperature);
    for (double& value : v) fields.Double(value);
    rows.AddProp(temperature, v[CaeMaterial::kDensity], v[CaeMaterial::kModulus], v[CaeMaterial::kPoisson],
                 v[CaeMaterial::kYield], v[CaeMaterial::kUltimate], v[CaeMaterial::kConductivity],
                 v[CaeMaterial::kExpansion], v[CaeMaterial::kSpecificHeat]);
  }
  // A material not held (not loaded yet, or another name read) has nothing to take the rows.
  if (GetMaterial() && count > 0) *GetMaterial() = rows;
}

Acad::ErrorStatus CaepAnlSubModelObj::dwgOutFields(AcDbDwgFiler* filer) const {
  return dbFileDwg(this, filer, false, [&](DbFields& fields) {
    Adesk::UInt16 version = kDbDataVersion;
    fields.UInt16(version);
    File(fields);
    if (filer->filerType() == AcDb::kUndoFiler && GetMaterial()) FileHeldRows(fields);
  });
}

Acad::ErrorStatus CaepAnlSubModelObj::dwgInFields(AcDbDwgFiler* filer) {
  return dbFileDwg(this, filer, true, [&](DbFields& fields) {
    Read(fields);
    // A record without them (no material was held) ends after the filed fields.
    if (filer->filerType() == AcDb::kUndoFiler && !filer->atEnd()) ReadHeldRows(fields);
  });
}

Acad::ErrorStatus CaepAnlSubModelObj::dxfOutFields(AcDbDxfFiler* filer) const {
  return dbFileDxf(this, filer, false, "CaepAnlSubModelObj", [&](DbFields& fields) {
    Adesk::UInt16 version = kDbDataVersion;
    fields.UInt16(version);
    File(fields);
  });
}

Acad::ErrorStatus CaepAnlSubModelObj::dxfInFields(AcDbDxfFiler* filer) {
  return dbFileDxf(this, filer, true, "CaepAnlSubModelObj", [&](DbFields& fields) { Read(fields); });
}
