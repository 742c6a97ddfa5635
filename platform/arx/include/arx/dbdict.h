// Dictionaries: objects that own other objects under text keys. Keys compare case-insensitively
// and keep the spelling they were added with. setAt under a key that already names another
// object returns eDuplicateKey (16) and changes nothing: the existing entry is neither replaced
// nor erased. The named-objects dictionary of every database is one of these.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "arx/dbobject.h"

class AcDbDictionary;

// Walks a dictionary's entries in the order they were added. Made by newIterator(); the caller
// deletes it. The dictionary must stay open and unchanged while the iterator is used.
class AcDbDictionaryIterator {
 public:
  bool done() const { return index_ >= entries_.size(); }
  bool next() {
    ++index_;
    return !done();
  }
  const char* name() const { return entries_[index_].first.c_str(); }
  AcDbObjectId objectId() const { return entries_[index_].second; }
  // Opens the current entry directly (the caller closes it).
  Acad::ErrorStatus getObject(AcDbObject*& object, AcDb::OpenMode mode);

 private:
  friend class AcDbDictionary;
  explicit AcDbDictionaryIterator(std::vector<std::pair<std::string, AcDbObjectId>> entries)
      : entries_(std::move(entries)) {}
  std::vector<std::pair<std::string, AcDbObjectId>> entries_;
  std::size_t index_ = 0;
};

class AcDbDictionary : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbDictionary);

  // eKeyNotFound when there is no such key. Erased entries are not found.
  Acad::ErrorStatus getAt(const char* key, AcDbObjectId& id) const;
  // Opens the entry directly (the caller closes it).
  Acad::ErrorStatus getAt(const char* key, AcDbObject*& object, AcDb::OpenMode mode) const;
  bool has(const char* key) const;
  bool has(AcDbObjectId id) const;
  // The key of an entry; eKeyNotFound when `id` is not in the dictionary.
  Acad::ErrorStatus nameAt(AcDbObjectId id, std::string& key) const;
  Adesk::UInt32 numEntries() const { return static_cast<Adesk::UInt32>(entries_.size()); }

  // Needs the dictionary open for write and in a database. A new object is added to the
  // dictionary's database first and stays open for write; the dictionary becomes its owner.
  // eDuplicateKey when the key names another object, eInvalidKey for an empty key.
  Acad::ErrorStatus setAt(const char* key, AcDbObject* object, AcDbObjectId& id);
  // Remove the entry (the object stays in the database; its owner becomes null).
  Acad::ErrorStatus remove(const char* key);
  Acad::ErrorStatus remove(const char* key, AcDbObjectId& removedId);
  Acad::ErrorStatus remove(AcDbObjectId id);

  AcDbDictionaryIterator* newIterator() const;

  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 private:
  std::size_t indexOf(const char* key) const;
  std::vector<std::pair<std::string, AcDbObjectId>> entries_;
};
