// Object identity in a drawing database.
//
// AcDbObjectId names an object while its database lives: ids compare, hash and stay valid
// across erase, un-erase, undo and transaction abort (an id whose object was removed by an abort
// stays a valid value but opens with ePermanentlyErased). AcDbHandle is the persistent name of an
// object inside its database; it is what drawing files store, and ids are re-made from handles
// when a drawing is read. The four id kinds (hard/soft, ownership/pointer) are the same value with
// a different meaning for filing; converting between them keeps the object.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "arx/adesk.h"

class AcDbDatabase;
class AcDbStub;  // the database's record of one object; opaque to callers

namespace AcDb {
enum OpenMode { kForRead = 0, kForWrite = 1, kForNotify = 2 };
// What a filer is filing for; objects decide by this which fields to file.
enum FilerType {
  kFileFiler = 0,
  kCopyFiler = 1,
  kUndoFiler = 2,
  kBagFiler = 3,
  kIdXlateFiler = 4,
  kPageFiler = 5,
  kDeepCloneFiler = 6,
  kIdFiler = 7,
  kPurgeFiler = 8,
  kWblockCloneFiler = 9,
};
enum Visibility { kVisible = 0, kInvisible = 1 };
}  // namespace AcDb

// A persistent 64-bit object name, unique within one database; 0 is the null handle.
class AcDbHandle {
 public:
  AcDbHandle() = default;
  explicit AcDbHandle(Adesk::UInt64 value) : value_(value) {}
  bool isNull() const { return value_ == 0; }
  Adesk::UInt64 value() const { return value_; }
  // Upper-case hexadecimal without leading zeros ("0" for null), as files and messages show it.
  std::string text() const;
  auto operator<=>(const AcDbHandle&) const = default;

 private:
  Adesk::UInt64 value_ = 0;
};

class AcDbObjectId {
 public:
  AcDbObjectId() = default;
  static const AcDbObjectId kNull;

  bool isNull() const { return stub_ == nullptr; }
  void setNull() { stub_ = nullptr; }
  // The database the object lives in, or null for the null id.
  AcDbDatabase* database() const;
  // The object's persistent handle (null handle for the null id).
  AcDbHandle handle() const;
  // True when the id names an object that still exists (erased objects exist).
  bool isValid() const;
  bool isErased() const;

  bool operator==(const AcDbObjectId& other) const { return stub_ == other.stub_; }
  bool operator<(const AcDbObjectId& other) const { return std::less<const AcDbStub*>()(stub_, other.stub_); }
  bool operator!=(const AcDbObjectId& other) const { return stub_ != other.stub_; }
  std::size_t hash() const { return std::hash<const AcDbStub*>()(stub_); }

  // For the database's own use.
  explicit AcDbObjectId(AcDbStub* stub) : stub_(stub) {}
  AcDbStub* stub() const { return stub_; }

 private:
  AcDbStub* stub_ = nullptr;
};

// The four filing kinds of id. Ownership ids say the referring object owns the target (an owned
// object is filed, cloned and erased with its owner); pointer ids only refer.
class AcDbHardOwnershipId : public AcDbObjectId {
 public:
  AcDbHardOwnershipId() = default;
  AcDbHardOwnershipId(const AcDbObjectId& id) : AcDbObjectId(id) {}
};
class AcDbSoftOwnershipId : public AcDbObjectId {
 public:
  AcDbSoftOwnershipId() = default;
  AcDbSoftOwnershipId(const AcDbObjectId& id) : AcDbObjectId(id) {}
};
class AcDbHardPointerId : public AcDbObjectId {
 public:
  AcDbHardPointerId() = default;
  AcDbHardPointerId(const AcDbObjectId& id) : AcDbObjectId(id) {}
};
class AcDbSoftPointerId : public AcDbObjectId {
 public:
  AcDbSoftPointerId() = default;
  AcDbSoftPointerId(const AcDbObjectId& id) : AcDbObjectId(id) {}
};

template <>
struct std::hash<AcDbObjectId> {
  std::size_t operator()(const AcDbObjectId& id) const noexcept { return id.hash(); }
};

// An ordered list of ids with the operations callers use on member lists. Grows by 8 entries
// at a time by default.
class AcDbObjectIdArray {
 public:
  explicit AcDbObjectIdArray(int initialCapacity = 0, int growLength = 8);
  int length() const { return static_cast<int>(ids_.size()); }
  bool isEmpty() const { return ids_.empty(); }
  int growLength() const { return growLength_; }
  AcDbObjectId& operator[](int index) { return ids_[static_cast<std::size_t>(index)]; }
  const AcDbObjectId& operator[](int index) const { return ids_[static_cast<std::size_t>(index)]; }
  const AcDbObjectId& at(int index) const { return ids_.at(static_cast<std::size_t>(index)); }
  // Appends; returns the new entry's index.
  int append(const AcDbObjectId& id);
  // Inserts before `index` (0..length()); false when the index is out of range.
  bool insertAt(int index, const AcDbObjectId& id);
  // True when found; `index` receives the first position at or after `start`.
  bool find(const AcDbObjectId& id, int& index, int start = 0) const;
  bool contains(const AcDbObjectId& id) const;
  // Removes the first occurrence; false when absent.
  bool remove(const AcDbObjectId& id);
  // Removes the entry at `index`; false when out of range.
  bool removeAt(int index);
  void setLogicalLength(int length);
  void removeAll() { ids_.clear(); }
  auto begin() const { return ids_.begin(); }
  auto end() const { return ids_.end(); }
  bool operator==(const AcDbObjectIdArray& other) const { return ids_ == other.ids_; }

 private:
  std::vector<AcDbObjectId> ids_;
  int growLength_;
};
