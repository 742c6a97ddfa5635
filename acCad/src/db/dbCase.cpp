#include "db/dbCase.h"

#include <cmath>
#include <new>
#include <utility>

#include "amg/CaeMsgCall.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbdxffiler.h"
#include "arx/dbfiler.h"
#include "db/dbFiling.h"
#include "db/dbLbcSet.h"
#include "db/dbOpen.h"
#include "fea/AttLbcCase.h"

namespace {

// Far above any real case, low enough that a damaged count cannot run away.
constexpr Adesk::Int32 kMaxStoredIds = 1 << 24;

bool isCategory(int category) { return category == AttLbcCase::kLoadSet || category == AttLbcCase::kRestraintSet; }

}  // namespace

// ---- CaepAnlLbcCase ---------------------------------------------------------------------------

AcRxClass* CaepAnlLbcCase::desc() {
  static AcRxClassLookup record("CaepAnlLbcCase");
  return record.get();
}
AcRxClass* CaepAnlLbcCase::isA() const { return desc(); }
void CaepAnlLbcCase::rxInit() { dbRegisterClass("CaepAnlLbcCase", "CAEPANLLBCCASE", dbMakeObject<CaepAnlLbcCase>); }

CaepAnlLbcCase::CaepAnlLbcCase() : AnlLbcCase(nullptr, 1.0, AttLbcCase::kLoadSet) {}

CaepAnlLbcCase::CaepAnlLbcCase(AttLbcCase* set, double scale, int category)
    : AnlLbcCase(nullptr, scale, category), category_(category) {
  auto* object = dynamic_cast<AcDbObject*>(set);
  CAE_CHECK(object != nullptr && !object->objectId().isNull());
  setId_ = object->objectId();
}

AttLbcCase* CaepAnlLbcCase::LbcCase() const {
  if (setId_.isNull()) return nullptr;
  AcDbObject* set = dbOpenMember(database(), setId_, AcDb::kForWrite, false);
  if (!set) return nullptr;
  auto* engine = dynamic_cast<AttLbcCase*>(set);
  CAE_CHECK(engine != nullptr);
  return engine;
}

Acad::ErrorStatus CaepAnlLbcCase::subOpen(AcDb::OpenMode mode) {
  dbFollowErasedState(*this, *this);
  return AcDbObject::subOpen(mode);
}

Acad::ErrorStatus CaepAnlLbcCase::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbObject::subErase(erasing); status != Acad::eOk) return status;
  if (erasing)
    MarkAsErased();
  else
    MarkAsNotErased();
  return Acad::eOk;
}

void CaepAnlLbcCase::Adopt(int id, double scale, int category, AcDbObjectId setId) {
  CAE_CHECK(std::isfinite(scale));
  CAE_CHECK(isCategory(category));
  Id(id);
  Scale(scale);
  category_ = category;
  setId_ = setId;
  dbFollowErasedState(*this, *this);
}

Acad::ErrorStatus CaepAnlLbcCase::dwgOutFields(AcDbDwgFiler* filer) const {
  return dbFileDwg(this, filer, false, [&](DbFields&) {
    DB_CHECK_FILER(filer->writeUInt16(kDbDataVersion));
    DB_CHECK_FILER(filer->writeInt16(static_cast<Adesk::Int16>(Id())));
    DB_CHECK_FILER(filer->writeDouble(Scale()));
    DB_CHECK_FILER(filer->writeInt16(static_cast<Adesk::Int16>(category_)));
    DB_CHECK_FILER(filer->writeSoftPointerId(setId_));
    return filer->filerStatus();
  });
}

Acad::ErrorStatus CaepAnlLbcCase::dwgInFields(AcDbDwgFiler* filer) {
  return dbFileDwg(this, filer, true, [&](DbFields&) {
    Adesk::UInt16 version = 0;
    Adesk::Int16 id = 0, category = 0;
    double scale = 0;
    AcDbSoftPointerId setId;
    DB_CHECK_FILER(filer->readUInt16(&version));
    DB_CHECK_FILER(filer->readInt16(&id));
    DB_CHECK_FILER(filer->readDouble(&scale));
    DB_CHECK_FILER(filer->readInt16(&category));
    DB_CHECK_FILER(filer->readSoftPointerId(&setId));
    Adopt(id, scale, category, setId);
    return filer->filerStatus();
  });
}

Acad::ErrorStatus CaepAnlLbcCase::dxfOutFields(AcDbDxfFiler* filer) const {
  return dbFileDxf(this, filer, false, "CaepAnlLbcCase", [&](DbFields&) {
    DB_CHECK_FILER(filer->writeInt32(90, kDbDataVersion));
    DB_CHECK_FILER(filer->writeInt16(70, static_cast<Adesk::Int16>(Id())));
    DB_CHECK_FILER(filer->writeDouble(40, Scale()));
    DB_CHECK_FILER(filer->writeInt16(71, static_cast<Adesk::Int16>(category_)));
    DB_CHECK_FILER(filer->writeObjectId(331, setId_));
    return filer->filerStatus();
  });
}

Acad::ErrorStatus CaepAnlLbcCase::dxfInFields(AcDbDxfFiler* filer) {
  return dbFileDxf(this, filer, true, "CaepAnlLbcCase", [&](DbFields&) {
    Adesk::Int32 version = 0;
    Adesk::Int16 id = 0, category = 0;
    double scale = 0;
    AcDbObjectId setId;
    DB_CHECK_FILER(filer->readInt32(90, &version));
    DB_CHECK_FILER(filer->readInt16(70, &id));
    DB_CHECK_FILER(filer->readDouble(40, &scale));
    DB_CHECK_FILER(filer->readInt16(71, &category));
    DB_CHECK_FILER(filer->readObjectId(331, &setId));
    Adopt(id, scale, category, setId);
    return filer->filerStatus();
  });
}

// ---- CaepAnlResultCase ------------------------------------------------------------------------

AcRxClass* CaepAnlResultCase::desc() {
  static AcRxClassLookup record("CaepAnlResultCase");
  return record.get();
}
AcRxClass* CaepAnlResultCase::isA() const { return desc(); }
void CaepAnlResultCase::rxInit() {
  dbRegisterClass("CaepAnlResultCase", "CAEPANLRESULTCASE", dbMakeObject<CaepAnlResultCase>);
}

CaepAnlResultCase::~CaepAnlResultCase() = default;

AnlLbcCase* CaepAnlResultCase::AddEntry(AttLbcCase* set, double scale, int category, AcDbObjectIdArray& ids) {
  CAE_CHECK(set != nullptr);
  dbWriteEnable(*this);
  auto* entry = new CaepAnlLbcCase(set, scale, category);
  AcDbDatabase* db = database() ? database() : acdbHostApplicationServices()->workingDatabase();
  AcDbObjectId id;
  const Acad::ErrorStatus added = db ? db->addAcDbObject(id, entry) : Acad::eNoDatabase;
  if (added != Acad::eOk) {
    delete entry;
    CAE_GENERAL_ERROR();
  }
  CAE_CHECK(!id.isNull());
  ids.append(id);
  CAE_CHECK(entry->close() == Acad::eOk);
  return entry;
}

AnlLbcCase* CaepAnlResultCase::AddLoadCase(AttLbcCase* set, double scale) {
  return AddEntry(set, scale, AttLbcCase::kLoadSet, loadIds_);
}

AnlLbcCase* CaepAnlResultCase::AddBoundaryCase(AttLbcCase* set, double scale) {
  return AddEntry(set, scale, AttLbcCase::kRestraintSet, restraintIds_);
}

int CaepAnlResultCase::RemoveEntry(AnlLbcCase* entry, const AcDbObjectIdArray& ids) {
  CAE_CHECK(entry != nullptr);
  auto* object = dynamic_cast<AcDbObject*>(entry);
  CAE_CHECK(object != nullptr);
  if (!ids.contains(object->objectId())) return 0;
  walked_.clear();
  position_ = 0;
  DbTransaction transaction(database());
  if (AcDbObject* opened = dbOpenMember(database(), object->objectId(), AcDb::kForWrite, false))
    CAE_CHECK(opened->erase() == Acad::eOk);
  return 1;
}

int CaepAnlResultCase::RemoveLoadCase(AnlLbcCase* entry) { return RemoveEntry(entry, loadIds_); }

int CaepAnlResultCase::RemoveBoundaryCase(AnlLbcCase* entry) { return RemoveEntry(entry, restraintIds_); }

int CaepAnlResultCase::CountEntries(const AcDbObjectIdArray& ids) {
  int count = 0;
  for (const AcDbObjectId& id : ids)
    if (dbOpenMember(database(), id, AcDb::kForWrite, false)) ++count;
  return count;
}

int CaepAnlResultCase::NumLoadCase() { return CountEntries(loadIds_); }

int CaepAnlResultCase::NumBoundaryCase() { return CountEntries(restraintIds_); }

AnlLbcCase* CaepAnlResultCase::FirstLbcCase(int kind) {
  walked_.clear();
  position_ = 0;
  for (const AcDbObjectId& id : kind == AttLbcCase::kLoadSet ? loadIds_ : restraintIds_) {
    AcDbObject* object = dbOpenMember(database(), id, AcDb::kForWrite, false);
    if (!object) continue;
    auto* entry = dynamic_cast<CaepAnlLbcCase*>(object);
    CAE_CHECK(entry != nullptr);
    if (!entry->IsMarkedAsErased()) walked_.push_back(entry);
  }
  return Advance();
}

AnlLbcCase* CaepAnlResultCase::NextLbcCase() {
  if (position_ >= walked_.size()) return nullptr;
  ++position_;
  return Advance();
}

// Entries whose set is gone are passed over, as the engine's own walk does.
AnlLbcCase* CaepAnlResultCase::Advance() {
  for (; position_ < walked_.size(); ++position_)
    if (walked_[position_]->LbcCase()) return walked_[position_];
  return nullptr;
}

void CaepAnlResultCase::TouchEntries() {
  try {
    DbTransaction transaction(database());
    for (const AcDbObjectIdArray* ids : {&loadIds_, &restraintIds_})
      for (const AcDbObjectId& id : *ids) dbOpenMember(database(), id, AcDb::kForWrite, false);
  } catch (const CaeExcept& error) {
    dbReportFilingException(error.String().Text());
  }
}

Acad::ErrorStatus CaepAnlResultCase::subOpen(AcDb::OpenMode mode) {
  dbFollowErasedState(*this, *this);
  return AcDbObject::subOpen(mode);
}

Acad::ErrorStatus CaepAnlResultCase::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbObject::subErase(erasing); status != Acad::eOk) return status;
  if (erasing)
    MarkAsErased();
  else
    MarkAsNotErased();
  return Acad::eOk;
}

void CaepAnlResultCase::Adopt(std::string name, int type, const AcDbObjectIdArray& loads,
                              const AcDbObjectIdArray& restraints, int nullIds) {
  CAE_CHECK(type >= AnlStress && type <= AnlHeatTransfer);
  // Made only for a message: most records are read without one.
  auto label = [this] { return dbObjectLabel(this, "CaepAnlResultCase"); };
  if (nullIds > 0) acutPrintf("\n%s: %d entry id(s) name no object; they are dropped.", label().c_str(), nullIds);
  if (name.empty()) {
    name = "Case_" + objectHandle().text();
    acutPrintf("\n%s: the case has no name; it is named %s.", label().c_str(), name.c_str());
  }
  Name(CaeString(name));
  Type(static_cast<AnlResltType>(type));
  // A second read (undo, redo, an abort) replaces the lists; it never adds to them.
  loadIds_ = loads;
  restraintIds_ = restraints;
  walked_.clear();
  position_ = 0;
  dbFollowErasedState(*this, *this);
}

Acad::ErrorStatus CaepAnlResultCase::dwgOutFields(AcDbDwgFiler* filer) const {
  return dbFileDwg(this, filer, false, [&](DbFields&) {
    CAE_CHECK(!Name().IsEmpty());
    DB_CHECK_FILER(filer->writeUInt16(kDbDataVersion));
    DB_CHECK_FILER(filer->writeString(Name().Text()));
    DB_CHECK_FILER(filer->writeInt16(static_cast<Adesk::Int16>(Type())));
    for (const AcDbObjectIdArray* ids : {&loadIds_, &restraintIds_}) {
      DB_CHECK_FILER(filer->writeInt32(ids->length()));
      for (const AcDbObjectId& id : *ids) DB_CHECK_FILER(filer->writeHardOwnershipId(id));
    }
    return filer->filerStatus();
  });
}

Acad::ErrorStatus CaepAnlResultCase::dwgInFields(AcDbDwgFiler* filer) {
  return dbFileDwg(this, filer, true, [&](DbFields&) {
    Adesk::UInt16 version = 0;
    std::string name;
    Adesk::Int16 type = 0;
    DB_CHECK_FILER(filer->readUInt16(&version));
    DB_CHECK_FILER(filer->readString(&name));
    DB_CHECK_FILER(filer->readInt16(&type));
    AcDbObjectIdArray lists[2] = {AcDbObjectIdArray(0, 8), AcDbObjectIdArray(0, 8)};
    int nullIds = 0;
    for (AcDbObjectIdArray& ids : lists) {
      Adesk::Int32 count = 0;
      DB_CHECK_FILER(filer->readInt32(&count));
      CAE_CHECK(count >= 0 && count <= kMaxStoredIds);
      for (Adesk::Int32 i = 0; i < count; ++i) {
        AcDbHardOwnershipId id;
        DB_CHECK_FILER(filer->readHardOwnershipId(&id));
        if (id.isNull())
          ++nullIds;
        else
          ids.append(id);
      }
    }
    Adopt(std::move(name), type, lists[0], lists[1], nullIds);
    return filer->filerStatus();
  });
}

Acad::ErrorStatus CaepAnlResultCase::dxfOutFields(AcDbDxfFiler* filer) const {
  return dbFileDxf(this, filer, false, "CaepAnlResultCase", [&](DbFields&) {
    CAE_CHECK(!Name().IsEmpty());
    DB_CHECK_FILER(filer->writeInt32(90, kDbDataVersion));
    DB_CHECK_FILER(filer->writeString(1, Name().Text()));
    DB_CHECK_FILER(filer->writeInt16(70, static_cast<Adesk::Int16>(Type())));
    int countCode = 91;
    for (const AcDbObjectIdArray* ids : {&loadIds_, &restraintIds_}) {
      AcDbObjectIdArray live(0, 8);
      for (const AcDbObjectId& id : *ids)
        if (!dbIsErasedOrGone(id)) live.append(id);
      DB_CHECK_FILER(filer->writeInt32(countCode++, live.length()));
      for (const AcDbObjectId& id : live) DB_CHECK_FILER(filer->writeObjectId(360, id));
    }
    return filer->filerStatus();
  });
}

Acad::ErrorStatus CaepAnlResultCase::dxfInFields(AcDbDxfFiler* filer) {
  return dbFileDxf(this, filer, true, "CaepAnlResultCase", [&](DbFields&) {
    Adesk::Int32 version = 0;
    std::string name;
    Adesk::Int16 type = 0;
    DB_CHECK_FILER(filer->readInt32(90, &version));
    DB_CHECK_FILER(filer->readString(1, &name));
    DB_CHECK_FILER(filer->readInt16(70, &type));
    AcDbObjectIdArray lists[2] = {AcDbObjectIdArray(0, 8), AcDbObjectIdArray(0, 8)};
    int nullIds = 0;
    int countCode = 91;
    for (AcDbObjectIdArray& ids : lists) {
      Adesk::Int32 count = 0;
      DB_CHECK_FILER(filer->readInt32(countCode++, &count));
      CAE_CHECK(count >= 0 && count <= kMaxStoredIds);
      for (Adesk::Int32 i = 0; i < count; ++i) {
        AcDbObjectId id;
        DB_CHECK_FILER(filer->readObjectId(360, &id));
        if (id.isNull())
          ++nullIds;
        else
          ids.append(id);
      }
    }
    Adopt(std::move(name), type, lists[0], lists[1], nullIds);
    return filer->filerStatus();
  });
}
