#include "db/dbModel.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <optional>
#include <vector>

#include "CadInterface/AcCadDocControl.h"
#include "amg/CaeExcept.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbentity.h"
#include "arx/dbsymtb.h"
#include "arx/dbtrans.h"
#include "cadInterface/UIDefaultNames.h"
#include "db/dbCon.h"
#include "db/dbControl.h"
#include "db/dbJob.h"
#include "db/dbOpen.h"
#include "db/dbResultSet.h"
#include "db/dbSubModel.h"
#include "fea/AmgMesh.h"
#include "fea/AnlMateRel.h"
#include "res/ResourceIds.h"
#include "util/acLayer.h"
#include "util/acString.h"

// ---- opening members --------------------------------------------------------------------------

// ---- registration -----------------------------------------------------------------------------

namespace {

// The engine model's own default, kept by drawings filed before the tolerance was.
double defaultMateTolerance() { return AnlModel().GetMateRelTolerance(); }

// The model's name, kept by the engine; an empty one read from a drawing is replaced.
CaeString defaultModelName(AcDbDatabase* database, const CaepAnlModelObj* self) {
  CaeString base;
  std::vector<CaeString> taken;
  if (CaepAnlControl* control = dbControlOf(database)) {
    base = control->Name();
    for (AcDbObjectId id : control->Ids(DbStoredKind::AnlModel)) {
      CaepAnlModelObj* other = nullptr;
      if (id == self->objectId() || acdbOpenObject(other, id, AcDb::kForRead) != Acad::eOk) continue;
      taken.push_back(other->Name());
      other->close();
    }
  }
  return UIDefaultNameAvoiding(base, UIDefaultNameKind::SimModel, taken);
}

}  // namespace

AcRxClass* CaepAnlModelObj::desc() {
  static AcRxClassLookup record("CaepAnlModelObj");
  return record.get();
}
AcRxClass* CaepAnlModelObj::isA() const { return desc(); }
void CaepAnlModelObj::rxInit() { dbRegisterClass("CaepAnlModelObj", "CAEPANLMODELOBJ", dbMakeObject<CaepAnlModelObj>); }

CaepAnlModelObj::CaepAnlModelObj() : AnlModel(CaeString(), AnlStress) {}

// CaeName is a virtual base: the most-derived class names the object.
CaepAnlModelObj::CaepAnlModelObj(const CaeString& name, AnlType type) : AnlModel(name, type) { Name(name); }

CaepAnlModelObj::~CaepAnlModelObj() = default;

// ---- members ----------------------------------------------------------------------------------

template <class T>
T* CaepAnlModelObj::Member(const std::vector<AcDbObjectId>& ids, int index, bool openErased) {
  CAE_CHECK(index >= 0 && index < static_cast<int>(ids.size()));
  AcDbObject* object = dbOpenMember(database(), ids[static_cast<std::size_t>(index)], AcDb::kForRead, openErased);
  return dynamic_cast<T*>(object);
}

template <class T>
T* CaepAnlModelObj::LiveMember(const std::vector<AcDbObjectId>& ids, int index) {
  int live = 0;
  for (AcDbObjectId id : ids)
    if (auto* member = dynamic_cast<T*>(dbOpenLive(database(), id, AcDb::kForRead))) {
      if (live == index) return member;
      ++live;
    }
  return nullptr;
}

template <class T>
int CaepAnlModelObj::CountMarked(const std::vector<AcDbObjectId>& ids) {
  int live = 0;
  for (AcDbObjectId id : ids)
    if (dynamic_cast<T*>(dbOpenLive(database(), id, AcDb::kForRead))) ++live;
  return live;
}

AcDbObjectId CaepAnlModelObj::Append(std::vector<AcDbObjectId>& ids, AcDbObject* object) {
  CAE_CHECK(object != nullptr && database() != nullptr);
  AcDbObjectId id = object->objectId();
  if (id.isNull()) {
    CAE_CHECK(database()->addAcDbObject(id, object) == Acad::eOk && !id.isNull());
    CAE_CHECK(object->close() == Acad::eOk);
  }
  dbWriteEnable(*this);
  if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
  return id;
}

void CaepAnlModelObj::AboutToChange() {
  if (database()) dbWriteEnable(*this);
}

AnlJob* CaepAnlModelObj::NewJob() {
  const AcDbObjectId id = Append(jobIds_, new CaepAnlDrvJobObj());
  return dynamic_cast<AnlJob*>(dbOpenMember(database(), id, AcDb::kForWrite));
}

void CaepAnlModelObj::AddJob(AnlJob* job) {
  auto* object = dynamic_cast<AcDbObject*>(job);
  CAE_CHECK(object != nullptr);
  Append(jobIds_, object);
}

void CaepAnlModelObj::DeleteJob(AnlJob* job) {
  auto* object = dynamic_cast<AcDbObject*>(job);
  CAE_CHECK(object != nullptr);
  DbTransaction transaction(database());
  if (AcDbObject* open = dbOpenMember(database(), object->objectId(), AcDb::kForWrite)) open->erase();
}

AnlJob* CaepAnlModelObj::GetJob(int index) { return Member<AnlJob>(jobIds_, index, true); }

AnlJob* CaepAnlModelObj::FindJobByDeck(const CaeString& deckName) {
  for (AcDbObjectId id : jobIds_)
    if (auto* job = dynamic_cast<AnlJob*>(dbOpenLive(database(), id, AcDb::kForRead)))
      if (job->DeckName() == deckName) return job;
  return nullptr;
}

FerResultSet* CaepAnlModelObj::NewResultSet(const CaeString& name) {
  auto* set = new CaepResultCaseObj();
  set->Create(name);
  const AcDbObjectId id = Append(resultSetIds_, set);
  return dynamic_cast<FerResultSet*>(dbOpenMember(database(), id, AcDb::kForWrite));
}

void CaepAnlModelObj::AddResultSet(FerResultSet* resultSet) {
  auto* object = dynamic_cast<AcDbObject*>(resultSet);
  CAE_CHECK(object != nullptr);
  Append(resultSetIds_, object);
}

int CaepAnlModelObj::DeleteResultSet(const CaeString& name) {
  DbTransaction transaction(database());
  for (AcDbObjectId id : resultSetIds_) {
    AcDbObject* object = dbOpenLive(database(), id, AcDb::kForWrite);
    auto* set = dynamic_cast<FerResultSet*>(object);
    if (!set || !(set->Name() == name)) continue;
    set->MarkAsErased();
    object->erase();
    return 1;
  }
  return 0;
}

FerResultSet* CaepAnlModelObj::GetResultSet(int index) { return Member<FerResultSet>(resultSetIds_, index, true); }

FerResultSet* CaepAnlModelObj::FindResultSet(const CaeString& name) {
  for (AcDbObjectId id : resultSetIds_)
    if (auto* set = dynamic_cast<FerResultSet*>(dbOpenLive(database(), id, AcDb::kForRead)))
      if (set->Name() == name) return set;
  return nullptr;
}

AmgMesh* CaepAnlModelObj::NewMesh(CaeTopoRef* body) {
  AmgMesh* mesh = dbNewMeshEntity(body);
  CAE_CHECK(mesh != nullptr);
  NewSubModelFor(mesh);
  return mesh;
}

AnlSubModel* CaepAnlModelObj::NewSubModelForBody(CaeTopoRef* body) {
  AmgMesh* mesh = dbNewMeshEntity(body);
  CAE_CHECK(mesh != nullptr);
  return NewSubModelFor(mesh);
}

AnlSubModel* CaepAnlModelObj::NewSubModel() { return NewSubModelForBody(nullptr); }

AnlSubModel* CaepAnlModelObj::NewSubModelFor(AmgMesh* mesh) {
  CAE_CHECK(database() != nullptr && !objectId().isNull());
  auto* sub = new CaepAnlSubModelObj();
  AcDbObjectId id;
  if (database()->addAcDbObject(id, sub) != Acad::eOk || id.isNull()) {
    delete sub;
    CAE_GENERAL_ERROR();
  }
  CAE_CHECK(sub->setOwnerId(objectId()) == Acad::eOk);
  CAE_CHECK(sub->close() == Acad::eOk);
  Append(subModelIds_, sub);
  sub = CaepAnlSubModelObj::cast(dbOpenMember(database(), id, AcDb::kForWrite));
  CAE_CHECK(sub != nullptr);
  CaeString stem;
  acLoadString(IDS_SUBMODEL_NAME, stem);
  sub->Name(CaeString::Format("%s %d", stem.Text(), NumSubModels()));
  if (mesh) sub->SetMesh(mesh);
  sub->Id(AnlSubModel::NextSubModelId());
  return sub;
}

void CaepAnlModelObj::DeleteSubModel(AnlSubModel* subModel) {
  auto* object = dynamic_cast<AcDbObject*>(subModel);
  CAE_CHECK(object != nullptr);
  DbTransaction transaction(database());
  AcDbObject* open = dbOpenMember(database(), object->objectId(), AcDb::kForWrite);
  if (!open) return;
  subModel->MarkAsErased();
  open->erase();
}

AnlSubModel* CaepAnlModelObj::GetSubModel(int index) { return Member<AnlSubModel>(subModelIds_, index, true); }

void CaepAnlModelObj::EraseSubModel(AnlSubModel* subModel) {
  auto* object = dynamic_cast<AcDbObject*>(subModel);
  CAE_CHECK(object != nullptr);
  if (subModel->IsMarkedAsErased()) return;
  DbTransaction transaction(database());
  if (AcDbObject* open = dbOpenMember(database(), object->objectId(), AcDb::kForWrite)) open->erase();
  subModel->MarkAsErased();
}

int CaepAnlModelObj::NumLiveSubModels() { return CountMarked<AnlSubModel>(subModelIds_); }

void CaepAnlModelObj::AddConstraint(AmgConstraint* constraint) {
  auto* entity = dynamic_cast<AcDbEntity*>(constraint);
  CAE_CHECK(entity != nullptr && database() != nullptr);
  AcDbObjectId id = entity->objectId();
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
    AcDbObjectId layer;
    acGetLayer(acCaeLayerName(kCaeLayerMesh), layer);
    entity->setLayer(layer, true);
    CAE_CHECK(entity->close() == Acad::eOk);
  }
  dbWriteEnable(*this);
  if (std::find(constraintIds_.begin(), constraintIds_.end(), id) == constraintIds_.end()) constraintIds_.push_back(id);
}

void CaepAnlModelObj::DeleteConstraint(AmgConstraint* constraint) {
  auto* entity = dynamic_cast<AcDbObject*>(constraint);
  CAE_CHECK(entity != nullptr);
  DbTransaction transaction(database());
  if (AcDbObject* open = dbOpenMember(database(), entity->objectId(), AcDb::kForWrite)) open->erase();
}

int CaepAnlModelObj::NumLiveConstraints() { return CountMarked<AmgConstraint>(constraintIds_); }

AmgConstraint* CaepAnlModelObj::GetConstraint(int index) { return Member<AmgConstraint>(constraintIds_, index, true); }

void CaepAnlModelObj::AddMateRelPair(AnlMateRelPair* pair) {
  auto* object = dynamic_cast<AcDbObject*>(pair);
  CAE_CHECK(object != nullptr && database() != nullptr);
  AcDbObjectId id = object->objectId();
  if (id.isNull()) {
    CAE_CHECK(database()->addAcDbObject(id, object) == Acad::eOk && !id.isNull());
    CAE_CHECK(object->setOwnerId(objectId()) == Acad::eOk);
    CAE_CHECK(object->close() == Acad::eOk);
  }
  dbWriteEnable(*this);
  if (std::find(pairIds_.begin(), pairIds_.end(), id) == pairIds_.end()) pairIds_.push_back(id);
  dbAttachPairToEntities(pair);
}

void CaepAnlModelObj::DeleteMateRelPair(AnlMateRelPair* pair) {
  auto* object = dynamic_cast<AcDbObject*>(pair);
  CAE_CHECK(object != nullptr);
  DbTransaction transaction(database());
  AttMateRel* first = nullptr;
  AttMateRel* second = nullptr;
  pair->GetMateRels(first, second);
  for (AttMateRel* relation : {first, second})
    if (auto* entity = dynamic_cast<AcDbObject*>(relation)) {
      relation->MarkAsErased();
      if (AcDbObject* open = dbOpenMember(database(), entity->objectId(), AcDb::kForWrite)) open->erase();
    }
  pair->MarkAsErased();
  if (AcDbObject* open = dbOpenMember(database(), object->objectId(), AcDb::kForWrite)) open->erase();
}

int CaepAnlModelObj::NumLiveMateRelPairs() { return CountMarked<AnlMateRelPair>(pairIds_); }

// Range-tested like GetSubModel: the engine never asks past the count it was given.
AnlMateRelPair* CaepAnlModelObj::GetMateRelPair(int index) { return Member<AnlMateRelPair>(pairIds_, index, true); }

AnlMateRelPair* CaepAnlModelObj::FirstLiveMateRelPair() {
  pairCursor_ = 0;
  return NextLiveMateRelPair();
}

AnlMateRelPair* CaepAnlModelObj::NextLiveMateRelPair() {
  while (pairCursor_ < pairIds_.size()) {
    auto* pair = dynamic_cast<AnlMateRelPair*>(dbOpenLive(database(), pairIds_[pairCursor_++], AcDb::kForRead));
    if (pair) return pair;
  }
  return nullptr;
}

int CaepAnlModelObj::CountLiveJobs(int mode) {
  if (mode == 0) return CountMarked<AnlJob>(jobIds_);
  int live = 0;
  for (int i = 0; i < NumJobs(); ++i)
    if (AnlJob* job = GetJob(i); job && !job->IsMarkedAsErased()) ++live;
  return live;
}

int CaepAnlModelObj::CountLiveResultSets(int mode) {
  if (mode == 0) return CountMarked<FerResultSet>(resultSetIds_);
  int live = 0;
  for (int i = 0; i < NumResultSets(); ++i)
    if (FerResultSet* set = GetResultSet(i); set && !set->IsMarkedAsErased()) ++live;
  return live;
}

AnlSubModel* CaepAnlModelObj::LiveSubModel(int index) {
  CAE_CHECK(index >= 0 && index < NumLiveSubModels());
  return LiveMember<AnlSubModel>(subModelIds_, index);
}

AmgConstraint* CaepAnlModelObj::LiveConstraint(int index) {
  CAE_CHECK(index >= 0 && index < NumLiveConstraints());
  return LiveMember<AmgConstraint>(constraintIds_, index);
}

AnlJob* CaepAnlModelObj::LiveJob(int index) {
  CAE_CHECK(index >= 0 && index < CountLiveJobs(0));
  return LiveMember<AnlJob>(jobIds_, index);
}

FerResultSet* CaepAnlModelObj::LiveResultSet(int index) {
  CAE_CHECK(index >= 0 && index < CountLiveResultSets(0));
  return LiveMember<FerResultSet>(resultSetIds_, index);
}

void CaepAnlModelObj::MarkGraphicsModified() {
  DbTransaction transaction(database());
  for (AcDbObjectId id : subModelIds_)
    if (auto* sub = CaepAnlSubModelObj::cast(dbOpenLive(database(), id, AcDb::kForWrite)))
      if (auto* mesh = AcDbEntity::cast(dbOpenMember(database(), sub->MeshId(), AcDb::kForWrite)))
        mesh->recordGraphicsModified(true);
  for (AcDbObjectId id : constraintIds_)
    if (auto* entity = AcDbEntity::cast(dbOpenLive(database(), id, AcDb::kForWrite)))
      entity->recordGraphicsModified(true);
  for (AcDbObjectId id : pairIds_) {
    auto* pair = dynamic_cast<AnlMateRelPair*>(dbOpenLive(database(), id, AcDb::kForWrite));
    if (!pair) continue;
    AttMateRel* first = nullptr;
    AttMateRel* second = nullptr;
    pair->GetMateRels(first, second);
    for (AttMateRel* relation : {first, second})
      if (auto* entity = dynamic_cast<AcDbEntity*>(relation))
        if (AcDbObject* open = dbOpenLive(database(), entity->objectId(), AcDb::kForWrite))
          AcDbEntity::cast(open)->recordGraphicsModified(true);
  }
}

void CaepAnlModelObj::Reconcile() {
  DbMaterialSource materials;
  Reconcile(materials);
}

void CaepAnlModelObj::Reconcile(DbMaterialSource& materials) {
  try {
    // Within the caller's transaction (the pass over the whole drawing) a frame of its own would
    // only be merged back into the caller's when it ends: objects stay open until then either way.
    std::optional<DbTransaction> own;
    if (database()->transactionManager()->numActiveTransactions() == 0) own.emplace(database());
    CaeString stem;
    acLoadString(IDS_SUBMODEL_NAME, stem);
    // The sub-models stay open until the transaction ends: the mesh loop below reuses them.
    std::vector<CaepAnlSubModelObj*> opened;
    opened.reserve(subModelIds_.size());
    for (std::size_t p = 0; p < subModelIds_.size(); ++p) {
      // Open for write only where the pass changes what the sub-model files; the rest is engine state.
      auto* sub = CaepAnlSubModelObj::cast(dbOpenLive(database(), subModelIds_[p], AcDb::kForRead));
      if (!sub) continue;
      if (sub->ReconcileWrites(this))
        sub = CaepAnlSubModelObj::cast(dbOpenLive(database(), subModelIds_[p], AcDb::kForWrite));
      sub->LoadMaterial(this, materials);
      if (sub->Name().IsEmpty()) sub->Name(CaeString::Format("%s%d", stem.Text(), static_cast<int>(p + 1)));
      opened.push_back(sub);
    }
    for (CaepAnlSubModelObj* sub : opened)
      if (!sub->isErased())
        if (auto* mesh = dynamic_cast<AmgMesh*>(dbOpenMember(database(), sub->MeshId(), AcDb::kForRead)))
          mesh->MakeUncurrent();  // the engine part only
    for (AcDbObjectId id : constraintIds_) {
      // One its topology took was filed so: the part is watched, so that its return brings it back.
      auto* filed =
          dbConstraintEntity(dynamic_cast<AmgConstraint*>(dbOpenMember(database(), id, AcDb::kForRead, true)));
      if (filed && filed->isErased()) {
        if (filed->TopologyLost()) acWatchPartOfKey(filed->TopoKey());
        continue;
      }
      if (auto* constraint = dynamic_cast<AmgConstraint*>(dbOpenLive(database(), id, AcDb::kForWrite))) {
        dbResolveConstraint(constraint);
        constraint->MarkAsNotCurrent();
      }
    }
    // Erased pairs too: one its face took watches the part (see dbResolvePair).
    for (AcDbObjectId id : pairIds_)
      if (auto* pair = dynamic_cast<AnlMateRelPair*>(dbOpenMember(database(), id, AcDb::kForWrite, true)))
        dbResolvePair(pair, this);
  } catch (const CaeExcept& error) {
    acutPrintf("\nTLX Exception: %s", error.String().Text());
  }
}

void CaepAnlModelObj::RegenerateMeshes() {
  for (std::size_t i = subModelIds_.size(); i-- > 0;) {
    DbTransaction transaction(database());
    auto* sub = CaepAnlSubModelObj::cast(dbOpenLive(database(), subModelIds_[i], AcDb::kForWrite));
    if (!sub) continue;
    auto* mesh = dynamic_cast<AmgMesh*>(dbOpenLive(database(), sub->MeshId(), AcDb::kForWrite));
    if (mesh && mesh->NeedsUpdate()) dbRegenerateMesh(mesh, this);
  }
}

// ---- erase ------------------------------------------------------------------------------------

Acad::ErrorStatus CaepAnlModelObj::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbObject::subErase(erasing); status != Acad::eOk) return status;
  if (!erasing) {
    MarkAsNotErased();
    return Acad::eOk;
  }
  MarkAsErased();
  // Undo and redo replay the members' own erasures, recorded when the cascade first ran.
  if (isUndoing()) return Acad::eOk;
  try {
    DbTransaction transaction(database());
    for (const std::vector<AcDbObjectId>* ids : {&subModelIds_, &constraintIds_, &jobIds_, &resultSetIds_, &pairIds_})
      for (AcDbObjectId id : *ids)
        if (AcDbObject* member = dbOpenLive(database(), id, AcDb::kForWrite)) member->erase();
  } catch (const CaeExcept& error) {
    acutPrintf("\nTLX Exception: %s", error.String().Text());
  }
  return Acad::eOk;
}

// ---- filing -----------------------------------------------------------------------------------

void CaepAnlModelObj::File(DbFields& fields, Adesk::UInt16 version) const {
  CAE_CHECK(!Name().IsEmpty());
  auto type = static_cast<Adesk::Int16>(Type());
  Adesk::Int16 reserved = 0;
  CaeString name = Name();
  auto id = static_cast<Adesk::Int32>(Id());
  fields.Int16(type);
  fields.Int16(reserved);
  fields.String(name);
  fields.Int32(id);
  auto subs = subModelIds_, sets = resultSetIds_, jobs = jobIds_, constraints = constraintIds_, pairs = pairIds_;
  fields.Ids(subs, DbFields::Ref::HardOwner);
  fields.Ids(sets, DbFields::Ref::HardOwner);
  fields.Ids(jobs, DbFields::Ref::HardOwner);
  fields.Ids(constraints, DbFields::Ref::HardPointer);
  if (version > 200) fields.Ids(pairs, DbFields::Ref::SoftOwner);
  double tolerance = GetMateRelTolerance();
  if (version >= 630) fields.Double(tolerance);
}

void CaepAnlModelObj::Read(DbFields& fields) {
  Adesk::UInt16 version = 0;
  fields.UInt16(version);
  Adesk::Int16 type = 0, reserved = 0;
  CaeString name;
  Adesk::Int32 id = 0;
  fields.Int16(type);
  fields.Int16(reserved);
  fields.String(name);
  fields.Int32(id);
  std::vector<AcDbObjectId> subs, sets, jobs, constraints, pairs;
  fields.Ids(subs, DbFields::Ref::HardOwner);
  fields.Ids(sets, DbFields::Ref::HardOwner);
  fields.Ids(jobs, DbFields::Ref::HardOwner);
  fields.Ids(constraints, DbFields::Ref::HardPointer);
  if (version > 200) fields.Ids(pairs, DbFields::Ref::SoftOwner);
  double tolerance = defaultMateTolerance();
  if (version >= 630) fields.Double(tolerance);
  if (type < AnlStress || type > AnlHeatTransfer) {
    acutPrintf("\n%s: analysis type %d is not one of 0 to 3.", dbObjectLabel(this, "CaepAnlModelObj").c_str(), type);
    CAE_GENERAL_ERROR();
  }
  CAE_CHECK(tolerance > 0.0);

  SetType(static_cast<AnlType>(type));
  if (name.IsEmpty()) {
    name = defaultModelName(database(), this);
    acutPrintf("\n%s: the model had no name; it is now called \"%s\".", dbObjectLabel(this, "CaepAnlModelObj").c_str(),
               name.Text());
  }
  Name(name);
  SetId(id);
  subModelIds_ = std::move(subs);
  resultSetIds_ = std::move(sets);
  jobIds_ = std::move(jobs);
  constraintIds_ = std::move(constraints);
  pairIds_ = std::move(pairs);
  SetMateRelTolerance(tolerance);
  if (CaepAnlControl* control = dbControlOf(database())) {
    CAE_CHECK(!objectId().isNull());
    control->RegisterId(DbStoredKind::AnlModel, objectId());
  }
}

Acad::ErrorStatus CaepAnlModelObj::dwgOutFields(AcDbDwgFiler* filer) const {
  return dbFileDwg(this, filer, false, [&](DbFields& fields) {
    Adesk::UInt16 version = kDbDataVersion;
    fields.UInt16(version);
    File(fields, version);
  });
}

Acad::ErrorStatus CaepAnlModelObj::dwgInFields(AcDbDwgFiler* filer) {
  return dbFileDwg(this, filer, true, [&](DbFields& fields) { Read(fields); });
}

Acad::ErrorStatus CaepAnlModelObj::dxfOutFields(AcDbDxfFiler* filer) const {
  return dbFileDxf(this, filer, false, "CaepAnlModelObj", [&](DbFields& fields) {
    Adesk::UInt16 version = kDbDataVersion;
    fields.UInt16(version);
    File(fields, version);
  });
}

Acad::ErrorStatus CaepAnlModelObj::dxfInFields(AcDbDxfFiler* filer) {
  return dbFileDxf(this, filer, true, "CaepAnlModelObj", [&](DbFields& fields) { Read(fields); });
}

// ---- the control's creation of models -----------------------------------------------------------

// A name that is empty, too long or taken is reported and nothing is made (null).
AnlModel* CaepAnlControl::NewAnlModel(const CaeString& name, AnlType type) {
  if (!AcceptsNewName(DbStoredKind::AnlModel, name)) return nullptr;
  auto* model = new CaepAnlModelObj(name, type);
  try {
    AddAnlModel(model);
  } catch (...) {
    if (model->objectId().isNull()) delete model;  // never reached the drawing, which would own it
    throw;
  }
  return model;
}
