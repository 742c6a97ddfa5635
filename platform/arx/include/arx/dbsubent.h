// Subentity addressing (data only): a subentity id is a kind and an index inside one entity; a
// full path is the chain of object ids from the outermost container down to that entity, plus
// the subentity id. Both compare by value.
#pragma once

#include "arx/adesk.h"
#include "arx/dbid.h"

namespace AcDb {
enum SubentType { kNullSubentType = 0, kFaceSubentType = 1, kEdgeSubentType = 2, kVertexSubentType = 3 };
}

class AcDbSubentId {
 public:
  AcDbSubentId() = default;
  AcDbSubentId(AcDb::SubentType type, Adesk::Int32 index) : type_(type), index_(index) {}
  AcDb::SubentType type() const { return type_; }
  Adesk::Int32 index() const { return index_; }
  void setType(AcDb::SubentType type) { type_ = type; }
  void setIndex(Adesk::Int32 index) { index_ = index; }
  bool operator==(const AcDbSubentId&) const = default;

 private:
  AcDb::SubentType type_ = AcDb::kNullSubentType;
  Adesk::Int32 index_ = 0;
};

// The null subentity id: type 0, index 0 (the path then names the entity itself).
inline const AcDbSubentId kNullSubent{};

class AcDbFullSubentPath {
 public:
  AcDbFullSubentPath() = default;
  AcDbFullSubentPath(const AcDbObjectIdArray& objectIds, const AcDbSubentId& subentId)
      : objectIds_(objectIds), subentId_(subentId) {}
  AcDbFullSubentPath(const AcDbObjectId& entity, const AcDbSubentId& subentId) : subentId_(subentId) {
    objectIds_.append(entity);
  }
  AcDbObjectIdArray& objectIds() { return objectIds_; }
  const AcDbObjectIdArray& objectIds() const { return objectIds_; }
  AcDbSubentId& subentId() { return subentId_; }
  const AcDbSubentId& subentId() const { return subentId_; }
  bool operator==(const AcDbFullSubentPath& other) const {
    return objectIds_ == other.objectIds_ && subentId_ == other.subentId_;
  }

 private:
  AcDbObjectIdArray objectIds_;
  AcDbSubentId subentId_;
};
