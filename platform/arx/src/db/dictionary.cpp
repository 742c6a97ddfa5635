#include "arx/dbdict.h"
#include "arx/dbdxffiler.h"
#include "arx/dbfiler.h"
#include "database_impl.h"
#include "text_compare.h"

ACRX_CONS_DEFINE_MEMBERS(AcDbDictionary, AcDbObject, "DICTIONARY")

Acad::ErrorStatus AcDbDictionaryIterator::getObject(AcDbObject*& object, AcDb::OpenMode mode) {
  object = nullptr;
  if (done()) return Acad::eInvalidContext;
  return acdbOpenObject(object, objectId(), mode);
}

std::size_t AcDbDictionary::indexOf(const char* key) const {
  if (!key) return entries_.size();
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (equalsIgnoringCase(entries_[i].first, key)) return i;
  return entries_.size();
}

Acad::ErrorStatus AcDbDictionary::getAt(const char* key, AcDbObjectId& id) const {
  id.setNull();
  std::size_t index = indexOf(key);
  if (index == entries_.size() || entries_[index].second.isErased()) return Acad::eKeyNotFound;
  id = entries_[index].second;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::getAt(const char* key, AcDbObject*& object, AcDb::OpenMode mode) const {
  object = nullptr;
  AcDbObjectId id;
  Acad::ErrorStatus status = getAt(key, id);
  return status != Acad::eOk ? status : acdbOpenObject(object, id, mode);
}

bool AcDbDictionary::has(const char* key) const {
  AcDbObjectId id;
  return getAt(key, id) == Acad::eOk;
}

bool AcDbDictionary::has(AcDbObjectId id) const {
  for (const auto& entry : entries_)
    if (entry.second == id) return true;
  return false;
}

Acad::ErrorStatus AcDbDictionary::nameAt(AcDbObjectId id, std::string& key) const {
  for (const auto& entry : entries_) {
    if (entry.second == id) {
      key = entry.first;
      return Acad::eOk;
    }
  }
  return Acad::eKeyNotFound;
}

Acad::ErrorStatus AcDbDictionary::setAt(const char* key, AcDbObject* object, AcDbObjectId& id) {
  id.setNull();
  if (!object) return Acad::eNullObjectPointer;
  if (!key || !*key) return Acad::eInvalidKey;
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  AcDbDatabase* db = database();
  if (!db) return Acad::eNotInDatabase;
  if (object->database() && object->database() != db) return Acad::eInvalidInput;
  std::size_t index = indexOf(key);
  if (index != entries_.size() && entries_[index].second.isErased()) {
    assertWriteEnabled();  // an erased entry gives its key up to the new object
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    index = entries_.size();
  }
  if (index != entries_.size()) {
    if (entries_[index].second == object->objectId()) {
      id = object->objectId();
      return Acad::eOk;
    }
    return Acad::eDuplicateKey;
  }
  assertWriteEnabled();
  bool isNew = !object->database();
  id = isNew ? db->impl().add(object) : object->objectId();
  if (isNew || object->isWriteEnabled()) AcDbObjectAccess::setOwner(object, objectId());
  entries_.emplace_back(key, id);
  if (isNew) AcDbObjectAccess::notifyAppended(object);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::remove(const char* key, AcDbObjectId& removedId) {
  removedId.setNull();
  if (!isWriteEnabled()) return Acad::eNotOpenForWrite;
  std::size_t index = indexOf(key);
  if (index == entries_.size()) return Acad::eKeyNotFound;
  assertWriteEnabled();
  removedId = entries_[index].second;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::remove(const char* key) {
  AcDbObjectId removed;
  return remove(key, removed);
}

Acad::ErrorStatus AcDbDictionary::remove(AcDbObjectId id) {
  std::string key;
  if (nameAt(id, key) != Acad::eOk) return Acad::eKeyNotFound;
  return remove(key.c_str());
}

AcDbDictionaryIterator* AcDbDictionary::newIterator() const {
  std::vector<std::pair<std::string, AcDbObjectId>> live;
  for (const auto& entry : entries_)
    if (!entry.second.isErased()) live.push_back(entry);
  return new AcDbDictionaryIterator(std::move(live));
}

Acad::ErrorStatus AcDbDictionary::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  Adesk::UInt32 count = 0;
  if (filer->readUInt32(&count) != Acad::eOk) return filer->filerStatus();
  std::vector<std::pair<std::string, AcDbObjectId>> entries;
  for (Adesk::UInt32 i = 0; i < count; ++i) {
    std::string key;
    AcDbSoftOwnershipId id;
    filer->readString(&key);
    if (filer->readSoftOwnershipId(&id) != Acad::eOk) return filer->filerStatus();
    if (!id.isNull()) entries.emplace_back(key, id);
  }
  entries_ = std::move(entries);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::dwgOutFields(AcDbDwgFiler* filer) const {
  Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer);
  if (status != Acad::eOk) return status;
  filer->writeUInt32(static_cast<Adesk::UInt32>(entries_.size()));
  for (const auto& [key, id] : entries_) {
    filer->writeString(key);
    filer->writeSoftOwnershipId(id);
  }
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbDictionary::dxfInFields(AcDbDxfFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
  if (status != Acad::eOk) return status;
  std::vector<std::pair<std::string, AcDbObjectId>> entries;
  AcDbDxfItem item;
  std::string key;
  while (filer->peek(&item)) {
    if (item.code == 3) {
      filer->readString(3, &key);
    } else if (item.code == 350 || item.code == 360) {
      AcDbObjectId id;
      if (filer->readObjectId(item.code, &id) != Acad::eOk) return filer->filerStatus();
      if (!id.isNull() && !key.empty()) entries.emplace_back(key, id);
    } else {
      filer->readItem(&item);
    }
  }
  entries_ = std::move(entries);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbDictionary::dxfOutFields(AcDbDxfFiler* filer) const {
  Acad::ErrorStatus status = AcDbObject::dxfOutFields(filer);
  if (status != Acad::eOk) return status;
  filer->writeString(100, "AcDbDictionary");
  filer->writeInt16(281, 1);
  for (const auto& [key, id] : entries_) {
    if (!writtenToDxf(id)) continue;  // erased objects and those without a DXF form are not in the file
    filer->writeString(3, key);
    filer->writeObjectId(350, id);
  }
  return filer->filerStatus();
}
