#include "db/dbLbcSet.h"

#include <new>
#include <utility>
#include <vector>

#include "amg/CaeMsgCall.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbdxffiler.h"
#include "arx/dbentity.h"
#include "arx/dbfiler.h"
#include "arx/dbtrans.h"
#include "cadInterface/UIDefaultNames.h"
#include "db/dbFiling.h"
#include "db/dbLbc.h"
#include "db/dbLbcConv.h"
#include "db/dbLbcHtGen.h"
#include "db/dbModelLbc.h"
#include "db/dbModelTemp.h"
#include "db/dbOpen.h"
#include "fea/AttLbc.h"
#include "util/acLayer.h"
#include "util/acPost.h"

namespace {

// Far above any real set, low enough that a damaged count cannot run away.
constexpr Adesk::Int32 kMaxStoredIds = 1 << 24;

// The names of the live sets of a kind in a drawing's control, other than `self`.
std::vector<CaeString> liveSetNames(AcDbDatabase* database, DbStoredKind kind, AcDbObjectId self) {
  std::vector<CaeString> names;
  CaepAnlControl* control = dbControlOf(database);
  if (!control) return names;
  for (const AcDbObjectId& id : control->Ids(kind)) {
    if (id == self) continue;
    AcDbObject* object = nullptr;
    if (acdbOpenObject(object, id, AcDb::kForRead) != Acad::eOk) continue;
    if (auto* set = dynamic_cast<AttLbcCase*>(object)) names.push_back(set->GetName());
    object->close();
  }
  return names;
}

}  // namespace

DbLbcRoute dbLbcRouteOf(const AttBaseLbc* condition, AttLbcCase::Category category) {
  if (category == AttLbcCase::kRestraintSet || !condition) return DbLbcRoute::Lbc;
  const CaeTypeId type = condition->GetInfo();
  if (type == AttModelLbc::Info) return DbLbcRoute::ModelLbc;
  if (type == AttModelTemp::Info) return DbLbcRoute::ModelTemp;
  if (type == AttLbcConv::Info) return DbLbcRoute::Convection;
  if (type == AttLbcHgen::Info) return DbLbcRoute::HeatGeneration;
  return DbLbcRoute::Lbc;
}

namespace {

// Each condition entity finishes its restoration through its own resolver; a condition of another
// kind of entity has nothing to restore.
void restoreModelLbc(AttBaseLbc* condition) {
  if (auto* entity = dynamic_cast<CaepModelLbcEnt*>(condition)) entity->ResolveTopoRef();
}
void restoreModelTemp(AttBaseLbc* condition) {
  if (auto* entity = dynamic_cast<CaepModelTempEnt*>(condition)) entity->RebuildNodalTemps();
}
void restoreConvection(AttBaseLbc* condition) {
  if (auto* entity = dynamic_cast<CaepLbcConvEnt*>(condition)) entity->ResolveTopoRef();
}
void restoreHeatGeneration(AttBaseLbc* condition) {
  if (auto* entity = dynamic_cast<CaepLbcHtGenEnt*>(condition)) entity->ResolveTopoRef();
}
void restoreLbc(AttBaseLbc* condition) {
  if (auto* entity = dynamic_cast<CaepLbcEnt*>(condition)) entity->ResolveTopoRef();
}

void restore(AttBaseLbc* condition, AttLbcCase::Category category) {
  switch (dbLbcRouteOf(condition, category)) {
    case DbLbcRoute::ModelLbc: return restoreModelLbc(condition);
    case DbLbcRoute::ModelTemp: return restoreModelTemp(condition);
    case DbLbcRoute::Convection: return restoreConvection(condition);
    case DbLbcRoute::HeatGeneration: return restoreHeatGeneration(condition);
    case DbLbcRoute::Lbc: return restoreLbc(condition);
  }
}

}  // namespace

// ---- CaepLbcSetObj ----------------------------------------------------------------------------

CaepLbcSetObj::CaepLbcSetObj(Category category) : AttLbcCase(category) {}

CaepLbcSetObj::CaepLbcSetObj(const CaeString& name, Category category) : AttLbcCase(name, category) {}

CaepLbcSetObj::~CaepLbcSetObj() { lbcs_.RemoveAll(); }

std::string CaepLbcSetObj::Label() const { return dbObjectLabel(this, ClassName()); }

AttBaseLbc* CaepLbcSetObj::ConditionOf(AcDbObjectId id, AcDb::OpenMode mode, bool openErased) {
  AcDbObject* entity = dbOpenMember(database(), id, mode, openErased);
  if (!entity) return nullptr;
  auto* condition = dbCrossCast<AttBaseLbc>(entity);
  CAE_CHECK(condition != nullptr);
  return condition;
}

template <class Visit>
void CaepLbcSetObj::ForEachMember(AcDb::OpenMode mode, bool openErased, Visit&& visit) {
  for (int i = 0; i < conditionIds_.length(); ++i)
    visit(conditionIds_[i], ConditionOf(conditionIds_[i], mode, openErased));
}

AttBaseLbc* CaepLbcSetObj::FirstLbc() {
  lbcs_.RemoveAll();
  // Listing reads; whoever changes a member write-enables it.
  ForEachMember(AcDb::kForRead, false, [&](AcDbObjectId, AttBaseLbc* condition) {
    if (condition) lbcs_.Append(condition);
  });
  return AttLbcCase::FirstLbc();
}

std::vector<CaeString> CaepLbcSetObj::LiveLbcNames() {
  std::vector<CaeString> names;
  ForEachMember(AcDb::kForRead, false, [&](AcDbObjectId, AttBaseLbc* condition) {
    if (condition && !condition->IsMarkedAsErased()) names.push_back(condition->Name());
  });
  return names;
}

void CaepLbcSetObj::AddLbc(AttBaseLbc* condition) {
  CAE_CHECK(condition != nullptr);
  auto* entity = dynamic_cast<AcDbEntity*>(condition);
  CAE_CHECK(entity != nullptr);
  dbWriteEnable(*this);  // the set may be open for read
  AcDbObjectId layer;
  acGetLayer(acCaeLayerName(kCaeLayerLbc), layer);
  AcDbObjectId id = entity->objectId();
  if (id.isNull()) acPostToModelSpace(entity, id, 0);
  CAE_CHECK(entity->setLayer(layer, true) == Acad::eOk);
  CAE_CHECK(!id.isNull());
  if (!conditionIds_.contains(id)) conditionIds_.append(id);
}

void CaepLbcSetObj::DeleteLbc(AttBaseLbc* condition) {
  CAE_CHECK(condition != nullptr);
  auto* entity = dynamic_cast<AcDbEntity*>(condition);
  CAE_CHECK(entity != nullptr);
  DbTransaction transaction(database());
  AcDbObject* opened = dbOpenMember(database(), entity->objectId(), AcDb::kForWrite, false);
  if (opened) CAE_CHECK(opened->erase() == Acad::eOk);
}

int CaepLbcSetObj::NumLbcs() { return conditionIds_.length(); }

AttBaseLbc* CaepLbcSetObj::GetLbc(int position) {
  CAE_CHECK(position >= 1 && position <= conditionIds_.length());
  return ConditionOf(conditionIds_[position - 1], AcDb::kForRead, true);
}

int CaepLbcSetObj::CountLbcs(int flag) {
  int count = 0;
  ForEachMember(AcDb::kForRead, flag != 0, [&](AcDbObjectId, AttBaseLbc* condition) {
    if (condition && (flag == 0 || !condition->IsMarkedAsErased())) ++count;
  });
  return count;
}

AttBaseLbc* CaepLbcSetObj::LiveLbc(int n) {
  CAE_CHECK(n >= 1 && n <= CountLbcs(0));
  for (const AcDbObjectId& id : conditionIds_)
    if (AttBaseLbc* condition = ConditionOf(id, AcDb::kForWrite, false); condition && --n == 0) return condition;
  return nullptr;
}

void CaepLbcSetObj::RedrawConditions() {
  DbTransaction transaction(database());
  ForEachMember(AcDb::kForWrite, true, [](AcDbObjectId, AttBaseLbc* condition) {
    if (condition) dynamic_cast<AcDbEntity*>(condition)->recordGraphicsModified(true);
  });
}

void CaepLbcSetObj::Reconcile() {
  try {
    CAE_CHECK(!GetName().IsEmpty());
    for (int i = 1; i <= NumLbcs(); ++i) {
      // Read is enough: the restoration changes the engine part only, so the drawing records nothing.
      AttBaseLbc* condition = ConditionOf(conditionIds_[i - 1], AcDb::kForRead, true);
      if (!condition) {
        acutPrintf("\n%s: member %s no longer exists; it is passed over.", Label().c_str(),
                   conditionIds_[i - 1].handle().text().c_str());
        continue;
      }
      restore(condition, GetCategory());
      condition->MarkAsNotCurrent();
    }
  } catch (const CaeExcept& error) {
    acutPrintf("\n%s", error.String().Text());
  }
}

bool CaepLbcSetObj::Rename(const CaeString& name) {
  CaepAnlControl* control = dbControlOf(database());
  CAE_CHECK(control != nullptr);
  dbWriteEnable(*this);  // the set may be open for read
  if (!control->RenameEntry(Kind(), objectId(), name)) return false;
  Name(name);
  return true;
}

Acad::ErrorStatus CaepLbcSetObj::subOpen(AcDb::OpenMode mode) {
  dbFollowErasedState(*this, *this);
  return AcDbObject::subOpen(mode);
}

Acad::ErrorStatus CaepLbcSetObj::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbObject::subErase(erasing); status != Acad::eOk) return status;
  if (!erasing) {
    MarkAsNotErased();
    return Acad::eOk;
  }
  MarkAsErased();
  // The members go with the set; un-erasing the set leaves them to their own undo.
  try {
    DbTransaction transaction(database());
    ForEachMember(AcDb::kForWrite, false, [](AcDbObjectId, AttBaseLbc* condition) {
      if (condition) CAE_CHECK(dynamic_cast<AcDbObject*>(condition)->erase() == Acad::eOk);
    });
  } catch (const CaeExcept& error) {
    dbReportFilingException(error.String().Text());
  }
  return Acad::eOk;
}

void CaepLbcSetObj::Adopt(std::string name, const AcDbObjectIdArray& ids, int nullIds) {
  CAE_CHECK(!objectId().isNull());
  if (nullIds > 0) acutPrintf("\n%s: %d member id(s) name no object; they are dropped.", Label().c_str(), nullIds);
  if (name.empty()) {
    CaepAnlControl* control = dbControlOf(database());
    CaeString base = control ? control->Name() : CaeString();
    const UIDefaultNameKind kind =
        Kind() == DbStoredKind::LoadCase ? UIDefaultNameKind::LoadSet : UIDefaultNameKind::RestraintSet;
    name = UIDefaultNameAvoiding(base, kind, liveSetNames(database(), Kind(), objectId())).Text();
    acutPrintf("\n%s: the set has no name; it is named %s.", Label().c_str(), name.c_str());
  }
  Name(CaeString(name));
  // A second read (undo, redo, an abort) replaces the members; it never adds to them.
  conditionIds_ = ids;
  lbcs_.RemoveAll();
  dbFollowErasedState(*this, *this);
  if (CaepAnlControl* control = dbControlOf(database())) control->RegisterId(Kind(), objectId());
}

Acad::ErrorStatus CaepLbcSetObj::dwgOutFields(AcDbDwgFiler* filer) const {
  return dbFileDwg(this, filer, false, [&](DbFields&) {
    DB_CHECK_FILER(filer->writeUInt16(kDbDataVersion));
    DB_CHECK_FILER(filer->writeString(GetName().Text()));
    DB_CHECK_FILER(filer->writeInt32(conditionIds_.length()));
    for (const AcDbObjectId& id : conditionIds_) DB_CHECK_FILER(filer->writeSoftPointerId(id));
    return filer->filerStatus();
  });
}

Acad::ErrorStatus CaepLbcSetObj::dwgInFields(AcDbDwgFiler* filer) {
  return dbFileDwg(this, filer, true, [&](DbFields&) {
    Adesk::UInt16 version = 0;
    std::string name;
    Adesk::Int32 count = 0;
    DB_CHECK_FILER(filer->readUInt16(&version));
    DB_CHECK_FILER(filer->readString(&name));
    DB_CHECK_FILER(filer->readInt32(&count));
    CAE_CHECK(count >= 0 && count <= kMaxStoredIds);
    AcDbObjectIdArray ids(0, 8);
    int nullIds = 0;
    for (Adesk::Int32 i = 0; i < count; ++i) {
      AcDbSoftPointerId id;
      DB_CHECK_FILER(filer->readSoftPointerId(&id));
      if (id.isNull())
        ++nullIds;
      else
        ids.append(id);
    }
    Adopt(std::move(name), ids, nullIds);
    return filer->filerStatus();
  });
}

Acad::ErrorStatus CaepLbcSetObj::dxfOutFields(AcDbDxfFiler* filer) const {
  return dbFileDxf(this, filer, false, ClassName(), [&](DbFields&) {
    DB_CHECK_FILER(filer->writeInt32(90, kDbDataVersion));
    DB_CHECK_FILER(filer->writeString(1, GetName().Text()));
    AcDbObjectIdArray live(0, 8);
    for (const AcDbObjectId& id : conditionIds_)
      if (!dbIsErasedOrGone(id)) live.append(id);
    DB_CHECK_FILER(filer->writeInt32(91, live.length()));
    for (const AcDbObjectId& id : live) DB_CHECK_FILER(filer->writeObjectId(331, id));
    return filer->filerStatus();
  });
}

Acad::ErrorStatus CaepLbcSetObj::dxfInFields(AcDbDxfFiler* filer) {
  return dbFileDxf(this, filer, true, ClassName(), [&](DbFields&) {
    Adesk::Int32 version = 0;
    std::string name;
    Adesk::Int32 count = 0;
    DB_CHECK_FILER(filer->readInt32(90, &version));
    DB_CHECK_FILER(filer->readString(1, &name));
    DB_CHECK_FILER(filer->readInt32(91, &count));
    CAE_CHECK(count >= 0 && count <= kMaxStoredIds);
    AcDbObjectIdArray ids(0, 8);
    int nullIds = 0;
    for (Adesk::Int32 i = 0; i < count; ++i) {
      AcDbObjectId id;
      DB_CHECK_FILER(filer->readObjectId(331, &id));
      if (id.isNull())
        ++nullIds;
      else
        ids.append(id);
    }
    Adopt(std::move(name), ids, nullIds);
    return filer->filerStatus();
  });
}

// ---- the two classes --------------------------------------------------------------------------

AcRxClass* CaepLoadCaseObj::desc() {
  static AcRxClassLookup record("CaepLoadCaseObj");
  return record.get();
}
AcRxClass* CaepLoadCaseObj::isA() const { return desc(); }
void CaepLoadCaseObj::rxInit() { dbRegisterClass("CaepLoadCaseObj", "DBLOADCASEOBJ", dbMakeObject<CaepLoadCaseObj>); }

AttBaseLbc* CaepLoadCaseObj::GetModelLbc(AttType type) {
  for (const AcDbObjectId& id : ConditionIds()) {
    AcDbObject* entity = dbOpenMember(database(), id, AcDb::kForWrite, false);
    auto* condition = dynamic_cast<AttBaseLbc*>(entity);
    if (!condition || condition->IsMarkedAsErased() || condition->Type() != type || !condition->Descriptor()) continue;
    const int kind = condition->Descriptor()->kind;
    if (kind == AttKindModelLoad || kind == AttKindModelTemp) return condition;
  }
  return nullptr;
}

AcRxClass* CaepRestraintCaseObj::desc() {
  static AcRxClassLookup record("CaepRestraintCaseObj");
  return record.get();
}
AcRxClass* CaepRestraintCaseObj::isA() const { return desc(); }
void CaepRestraintCaseObj::rxInit() {
  dbRegisterClass("CaepRestraintCaseObj", "DBRESTRAINTCASEOBJ", dbMakeObject<CaepRestraintCaseObj>);
}

// ---- the control's New operations -------------------------------------------------------------

namespace {

template <class Set>
AttLbcCase* newSet(CaepAnlControl& control, DbStoredKind kind, const CaeString& name,
                   void (AnlControl::*add)(AttLbcCase*)) {
  if (!control.AcceptsNewName(kind, name)) return nullptr;
  auto* set = new Set(name);
  try {
    (control.*add)(set);
  } catch (...) {
    if (set->objectId().isNull()) delete set;
    throw;
  }
  // An addition that left it outside the drawing has nobody else to free it.
  if (set->objectId().isNull()) {
    delete set;
    return nullptr;
  }
  return set;
}

}  // namespace

AttLbcCase* CaepAnlControl::NewLoadCase(const CaeString& name) {
  return newSet<CaepLoadCaseObj>(*this, DbStoredKind::LoadCase, name, &AnlControl::AddLoadCase);
}

AttLbcCase* CaepAnlControl::NewRestraintCase(const CaeString& name) {
  return newSet<CaepRestraintCaseObj>(*this, DbStoredKind::RestraintCase, name, &AnlControl::AddRestraintCase);
}
