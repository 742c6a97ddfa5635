#include <cstdlib>

#include "arx/dbdxffiler.h"
#include "arx/dbfiler.h"
#include "arx/dbsymtb.h"
#include "database_impl.h"
#include "text_compare.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbSymbolTableRecord, AcDbObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbSymbolTable, AcDbObject)
ACRX_CONS_DEFINE_MEMBERS(AcDbLayerTableRecord, AcDbSymbolTableRecord, "LAYER")
ACRX_CONS_DEFINE_MEMBERS(AcDbLinetypeTableRecord, AcDbSymbolTableRecord, "LTYPE")
ACRX_CONS_DEFINE_MEMBERS(AcDbBlockTableRecord, AcDbSymbolTableRecord, "BLOCK_RECORD")
ACRX_CONS_DEFINE_MEMBERS(AcDbLayerTable, AcDbSymbolTable, "TABLE")
ACRX_CONS_DEFINE_MEMBERS(AcDbLinetypeTable, AcDbSymbolTable, "TABLE")
ACRX_CONS_DEFINE_MEMBERS(AcDbBlockTable, AcDbSymbolTable, "TABLE")

namespace {

// Files a list of owned ids: count, then each id.
Acad::ErrorStatus writeIdList(AcDbDwgFiler* filer, const std::vector<AcDbObjectId>& ids) {
  filer->writeUInt32(static_cast<Adesk::UInt32>(ids.size()));
  for (const AcDbObjectId& id : ids) filer->writeHardOwnershipId(id);
  return filer->filerStatus();
}

Acad::ErrorStatus readIdList(AcDbDwgFiler* filer, std::vector<AcDbObjectId>* ids) {
  Adesk::UInt32 count = 0;
  if (filer->readUInt32(&count) != Acad::eOk) return filer->filerStatus();
  std::vector<AcDbObjectId> read;
  for (Adesk::UInt32 i = 0; i < count; ++i) {
    AcDbHardOwnershipId id;
    if (filer->readHardOwnershipId(&id) != Acad::eOk) return filer->filerStatus();
    if (!id.isNull()) read.push_back(id);
  }
  *ids = std::move(read);
  return Acad::eOk;
}

}  // namespace

// ---- records -------------------------------------------------------------------------------

Acad::ErrorStatus AcDbSymbolTableRecord::getName(const char*& name) const {
  name = name_.c_str();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::setName(const char* name) {
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  if (!name || !*name) return Acad::eInvalidInput;
  AcDbStub* owner = ownerId().stub();
  if (auto* table = owner ? AcDbSymbolTable::cast(owner->object) : nullptr) {
    AcDbObjectId other = table->find(name);
    if (!other.isNull() && other != objectId()) return Acad::eDuplicateKey;
  }
  assertWriteEnabled();
  name_ = name;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  std::string name;
  if (filer->readString(&name) != Acad::eOk) return filer->filerStatus();
  name_ = name;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
  Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer);
  if (status != Acad::eOk) return status;
  filer->writeString(name_);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbSymbolTableRecord::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
  if (status != Acad::eOk) return status;
  AcDbDxfItem item;
  while (filer->peek(&item) && item.code == 100) filer->readItem(&item);
  std::string name;
  if (filer->readString(2, &name) != Acad::eOk) return filer->filerStatus();
  name_ = name;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
  Acad::ErrorStatus status = AcDbObject::dxfOutFields(filer);
  if (status != Acad::eOk) return status;
  filer->writeString(100, "AcDbSymbolTableRecord");
  return filer->filerStatus();
}

void AcDbLayerTableRecord::setIsFrozen(bool frozen) {
  assertWriteEnabled();
  frozen_ = frozen;
}
void AcDbLayerTableRecord::setIsOff(bool off) {
  assertWriteEnabled();
  off_ = off;
}
void AcDbLayerTableRecord::setIsLocked(bool locked) {
  assertWriteEnabled();
  locked_ = locked;
}
void AcDbLayerTableRecord::setVPDFLT(bool frozen) {
  assertWriteEnabled();
  vpdflt_ = frozen;
}
void AcDbLayerTableRecord::setLinetypeObjectId(AcDbObjectId linetype) {
  assertWriteEnabled();
  linetypeId_ = linetype;
}
void AcDbLayerTableRecord::setColorIndex(Adesk::Int16 color) {
  assertWriteEnabled();
  colorIndex_ = color;
}

Acad::ErrorStatus AcDbLayerTableRecord::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbSymbolTableRecord::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  Adesk::UInt16 flags = 0;
  AcDbHardPointerId linetype;
  Adesk::Int16 color = 7;
  filer->readUInt16(&flags);
  filer->readHardPointerId(&linetype);
  filer->readInt16(&color);
  if (filer->filerStatus() != Acad::eOk) return filer->filerStatus();
  frozen_ = flags & 1;
  off_ = flags & 2;
  locked_ = flags & 4;
  vpdflt_ = flags & 8;
  linetypeId_ = linetype;
  colorIndex_ = color;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLayerTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
  Acad::ErrorStatus status = AcDbSymbolTableRecord::dwgOutFields(filer);
  if (status != Acad::eOk) return status;
  filer->writeUInt16(
      static_cast<Adesk::UInt16>((frozen_ ? 1 : 0) | (off_ ? 2 : 0) | (locked_ ? 4 : 0) | (vpdflt_ ? 8 : 0)));
  filer->writeHardPointerId(linetypeId_);
  filer->writeInt16(colorIndex_);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbLayerTableRecord::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbSymbolTableRecord::dxfInFields(filer);
  if (status != Acad::eOk) return status;
  AcDbDxfItem item;
  while (filer->peek(&item)) {
    filer->readItem(&item);
    if (item.code == 70) {
      int flags = std::atoi(item.value.c_str());
      frozen_ = flags & 1;
      vpdflt_ = flags & 2;
      locked_ = flags & 4;
    } else if (item.code == 62) {
      int color = std::atoi(item.value.c_str());
      off_ = color < 0;
      colorIndex_ = static_cast<Adesk::Int16>(color < 0 ? -color : color);
    } else if (item.code == 6) {
      AcDbLinetypeTable* table = nullptr;
      AcDbDatabase* db = database();
      if (db && db->getLinetypeTable(table, AcDb::kForRead) == Acad::eOk) {
        AcDbObjectId linetype;
        if (table->getAt(item.value.c_str(), linetype) == Acad::eOk) linetypeId_ = linetype;
        table->close();
      }
    }
  }
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbLayerTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
  Acad::ErrorStatus status = AcDbSymbolTableRecord::dxfOutFields(filer);
  if (status != Acad::eOk) return status;
  filer->writeString(100, "AcDbLayerTableRecord");
  filer->writeString(2, name());
  filer->writeInt16(70, static_cast<Adesk::Int16>((frozen_ ? 1 : 0) | (vpdflt_ ? 2 : 0) | (locked_ ? 4 : 0)));
  filer->writeInt16(62, static_cast<Adesk::Int16>(off_ ? -colorIndex_ : colorIndex_));
  AcDbStub* linetype = linetypeId_.stub();
  auto* record = linetype ? AcDbSymbolTableRecord::cast(linetype->object) : nullptr;
  filer->writeString(6, record ? record->name() : std::string("Continuous"));
  return filer->filerStatus();
}

void AcDbLinetypeTableRecord::setComments(const char* text) {
  assertWriteEnabled();
  comments_ = text ? text : "";
}

Acad::ErrorStatus AcDbLinetypeTableRecord::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbSymbolTableRecord::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  std::string comments;
  if (filer->readString(&comments) != Acad::eOk) return filer->filerStatus();
  comments_ = comments;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
  Acad::ErrorStatus status = AcDbSymbolTableRecord::dwgOutFields(filer);
  if (status != Acad::eOk) return status;
  filer->writeString(comments_);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity) {
  id.setNull();
  if (!entity) return Acad::eNullObjectPointer;
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  AcDbDatabase* db = database();
  if (!db) return Acad::eNotInDatabase;
  if (entity->database()) {
    id = entity->objectId();
    return Acad::eAlreadyInDb;
  }
  assertWriteEnabled();
  id = db->impl().add(entity);
  AcDbObjectAccess::setOwner(entity, objectId());
  if (entity->layerId().isNull() && !db->clayer().isNull()) {
    entity->setLayer(db->clayer());
    AcDbObjectAccess::clearModified(entity);  // part of the append, not a change to report
  }
  entities_.push_back(id);
  AcDbObjectAccess::notifyAppended(entity);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbEntity* entity) {
  AcDbObjectId id;
  return appendAcDbEntity(id, entity);
}

std::vector<AcDbObjectId> AcDbBlockTableRecord::entityIds() const { return entities_; }

Acad::ErrorStatus AcDbBlockTableRecord::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbSymbolTableRecord::dwgInFields(filer);
  return status != Acad::eOk ? status : readIdList(filer, &entities_);
}

Acad::ErrorStatus AcDbBlockTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
  Acad::ErrorStatus status = AcDbSymbolTableRecord::dwgOutFields(filer);
  return status != Acad::eOk ? status : writeIdList(filer, entities_);
}

// ---- tables --------------------------------------------------------------------------------

AcDbObjectId AcDbSymbolTable::find(const std::string& name) const {
  for (const AcDbObjectId& id : records_) {
    AcDbStub* stub = id.stub();
    auto* record = stub ? AcDbSymbolTableRecord::cast(stub->object) : nullptr;
    if (record && equalsIgnoringCase(record->name(), name)) return id;
  }
  return AcDbObjectId();
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const char* name, AcDbObjectId& id, bool getErased) const {
  id.setNull();
  if (!name) return Acad::eInvalidInput;
  AcDbObjectId found = find(name);
  if (found.isNull() || (found.isErased() && !getErased)) return Acad::eKeyNotFound;
  id = found;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const char* name, AcDbSymbolTableRecord*& record, AcDb::OpenMode mode,
                                         bool openErased) const {
  record = nullptr;
  AcDbObjectId id;
  Acad::ErrorStatus status = getAt(name, id, openErased);
  return status != Acad::eOk ? status : acdbOpenObject(record, id, mode, openErased);
}

bool AcDbSymbolTable::has(const char* name) const {
  AcDbObjectId id;
  return getAt(name, id) == Acad::eOk;
}

bool AcDbSymbolTable::has(AcDbObjectId id) const {
  for (const AcDbObjectId& record : records_)
    if (record == id) return !id.isErased();
  return false;
}

Acad::ErrorStatus AcDbSymbolTable::add(AcDbObjectId& id, AcDbSymbolTableRecord* record) {
  id.setNull();
  if (!record) return Acad::eNullObjectPointer;
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  AcDbDatabase* db = database();
  if (!db) return Acad::eNotInDatabase;
  if (record->database()) {
    id = record->objectId();
    return Acad::eAlreadyInDb;
  }
  if (!record->isKindOf(recordClass()) || record->name().empty()) return Acad::eInvalidInput;
  if (!find(record->name()).isNull()) return Acad::eDuplicateKey;
  assertWriteEnabled();
  id = db->impl().add(record);
  AcDbObjectAccess::setOwner(record, objectId());
  records_.push_back(id);
  AcDbObjectAccess::notifyAppended(record);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::add(AcDbSymbolTableRecord* record) {
  AcDbObjectId id;
  return add(id, record);
}

std::vector<AcDbObjectId> AcDbSymbolTable::recordIds() const { return records_; }

Acad::ErrorStatus AcDbSymbolTable::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
  return status != Acad::eOk ? status : readIdList(filer, &records_);
}

Acad::ErrorStatus AcDbSymbolTable::dwgOutFields(AcDbDwgFiler* filer) const {
  Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer);
  return status != Acad::eOk ? status : writeIdList(filer, records_);
}

namespace {

template <class Record>
Acad::ErrorStatus openTyped(const AcDbSymbolTable* table, const char* name, Record*& record, AcDb::OpenMode mode,
                            bool openErased) {
  record = nullptr;
  AcDbObjectId id;
  Acad::ErrorStatus status = table->getAt(name, id, openErased);
  return status != Acad::eOk ? status : acdbOpenObject(record, id, mode, openErased);
}

}  // namespace

Acad::ErrorStatus AcDbLayerTable::getAt(const char* name, AcDbLayerTableRecord*& record, AcDb::OpenMode mode,
                                        bool openErased) const {
  return openTyped(this, name, record, mode, openErased);
}

Acad::ErrorStatus AcDbLinetypeTable::getAt(const char* name, AcDbLinetypeTableRecord*& record, AcDb::OpenMode mode,
                                           bool openErased) const {
  return openTyped(this, name, record, mode, openErased);
}

Acad::ErrorStatus AcDbBlockTable::getAt(const char* name, AcDbBlockTableRecord*& record, AcDb::OpenMode mode,
                                        bool openErased) const {
  return openTyped(this, name, record, mode, openErased);
}
