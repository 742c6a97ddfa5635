#include "mcad/amikey.h"

#include <TopAbs_ShapeEnum.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS_Shape.hxx>

#include <algorithm>
#include <cstring>
#include <memory>

#include "arx/brbrep.h"
#include "arx/brocct.h"
#include "arx/dbdatabase.h"
#include "arx/dbfiler.h"
#include "mcad/amipart.h"

AmiSceneKey* AmiSceneKey::cast(AmiObject* object) { return dynamic_cast<AmiSceneKey*>(object); }

namespace {

// Marks the start of a filed key, so that a record that is not one is refused.
constexpr Adesk::Int32 kKeyRecordTag = 0x4b4d4131;

bool isGeometryType(Ami::KeyType type) {
  return type == Ami::kVertexKey || type == Ami::kEdgeKey || type == Ami::kFaceKey;
}

bool isPartLevelType(Ami::KeyType type) {
  return type == Ami::kBodyKey || type == Ami::kPartKey || type == Ami::kCompKey;
}

bool isKnownObjectKeyType(Ami::KeyType type) {
  return isGeometryType(type) || isPartLevelType(type) || type == Ami::kObjectKey;
}

TopAbs_ShapeEnum shapeTypeOf(AcDb::SubentType type) {
  switch (type) {
    case AcDb::kFaceSubentType: return TopAbs_FACE;
    case AcDb::kEdgeSubentType: return TopAbs_EDGE;
    case AcDb::kVertexSubentType: return TopAbs_VERTEX;
    default: return TopAbs_SHAPE;
  }
}

Ami::KeyType keyTypeOf(TopAbs_ShapeEnum type) {
  switch (type) {
    case TopAbs_FACE: return Ami::kFaceKey;
    case TopAbs_EDGE: return Ami::kEdgeKey;
    default: return Ami::kVertexKey;
  }
}

AcDb::SubentType subentTypeOf(Ami::KeyType type) {
  switch (type) {
    case Ami::kFaceKey: return AcDb::kFaceSubentType;
    case Ami::kEdgeKey: return AcDb::kEdgeSubentType;
    case Ami::kVertexKey: return AcDb::kVertexSubentType;
    default: return AcDb::kNullSubentType;
  }
}

// Opens a key's part entity for read; eStaleKey when it is erased or gone, eWrongKeyType when the
// object is not a part entity.
AmiStatus openPart(AcDbObjectId id, AmiPartEntity*& entity) {
  entity = nullptr;
  if (id.isNull()) return Ami::eBadInput;
  Acad::ErrorStatus status = acdbOpenObject(entity, id, AcDb::kForRead);
  if (status == Acad::eNotThatKindOfClass) return Ami::eWrongKeyType;
  return status == Acad::eOk ? Ami::eOk : Ami::eStaleKey;
}

const AmiObjectKey* asObjectKey(const AmiKey* key) { return dynamic_cast<const AmiObjectKey*>(key); }

// The key's world shape and its entity's whole shape, with the entity closed again.
AmiStatus resolveKey(const AmiObjectKey& key, TopoDS_Shape& shape, TopoDS_Shape* whole = nullptr) {
  AmiPartEntity* entity = nullptr;
  AmiStatus status = openPart(key.objectId(), entity);
  if (status != Ami::eOk) return status;
  const TopoDS_Shape* solid = entity->brepShape();
  if (solid && whole) *whole = *solid;
  if (key.isGeometryKey())
    shape = entity->resolve(key.name());
  else
    shape = solid ? *solid : TopoDS_Shape();
  entity->close();
  return shape.IsNull() ? Ami::eStaleKey : Ami::eOk;
}

}  // namespace

AmiObjectKey::AmiObjectKey(Ami::KeyType type, AcDbObjectId object, std::string name)
    : type_(type), object_(object), name_(std::move(name)) {}

bool AmiObjectKey::isGeometryKey() const { return isGeometryType(type_); }

AmiStatus AmiKey::bind(AcDbObject* object) {
  if (!object || object->objectId().isNull()) return Ami::eKeyRefused;
  AcDbObjectId id = object->objectId();
  lastBound_ = id;
  if (std::find(bound_.begin(), bound_.end(), id) != bound_.end()) return Ami::eOk;
  bound_.push_back(id);
  ++liveBindings_;
  return Ami::eOk;
}

AmiStatus AmiKey::unbind() {
  bound_.clear();
  liveBindings_ = 0;
  lastBound_ = AcDbObjectId::kNull;
  return Ami::eOk;
}

void AmiKey::notifyErased(bool erasing) {
  if (erasing)
    liveBindings_ = std::max(0, liveBindings_ - 1);
  else
    liveBindings_ = std::min(static_cast<int>(bound_.size()), liveBindings_ + 1);
}

AmiParamKey::AmiParamKey(AcDbDatabase* database, AcDbObjectId part, std::string name)
    : database_(part.isNull() ? database : part.database()), part_(part), name_(std::move(name)) {}

AmiStatus amiIsKeyNull(const AmiKey* key, bool& isNull) {
  if (const AmiObjectKey* objectKey = asObjectKey(key))
    isNull = objectKey->objectId().isNull();
  else if (const auto* paramKey = dynamic_cast<const AmiParamKey*>(key))
    isNull = !paramKey->database() || paramKey->name().empty();
  else
    isNull = key == nullptr;
  return Ami::eOk;
}

AmiStatus amiIsKeyKindOf(const AmiKey* key, Ami::KeyType type, bool& isKind) {
  if (!key) return Ami::eBadInput;
  isKind = type == Ami::kAnyKey ? isGeometryType(key->keyType()) : key->keyType() == type;
  return Ami::eOk;
}

AmiStatus amiAreKeysEquivalent(const AmiKey* key1, const AmiKey* key2, bool& equivalent) {
  if (!key1 || !key2) return Ami::eBadInput;
  equivalent = false;
  if (key1->keyType() != key2->keyType()) return Ami::eOk;
  const AmiObjectKey* a = asObjectKey(key1);
  const AmiObjectKey* b = asObjectKey(key2);
  if (a && b) {
    equivalent = a->objectId() == b->objectId() && a->name() == b->name();
    return Ami::eOk;
  }
  const auto* p = dynamic_cast<const AmiParamKey*>(key1);
  const auto* q = dynamic_cast<const AmiParamKey*>(key2);
  if (p && q) equivalent = p->database() == q->database() && p->partId() == q->partId() && p->name() == q->name();
  return Ami::eOk;
}

AmiStatus amiCopyKey(const AmiKey* key, AmiKey*& copy) {
  copy = nullptr;
  if (const AmiObjectKey* objectKey = asObjectKey(key))
    copy = new AmiObjectKey(objectKey->keyType(), objectKey->objectId(), objectKey->name());
  else if (const auto* paramKey = dynamic_cast<const AmiParamKey*>(key))
    copy = new AmiParamKey(paramKey->database(), paramKey->partId(), paramKey->name());
  return copy ? Ami::eOk : Ami::eBadInput;
}

AmiStatus amiObjectWasErased(const AmiObjectKey* key, bool& erased) {
  if (!key) return Ami::eBadInput;
  if (key->keyType() != Ami::kObjectKey) return Ami::eWrongKeyType;
  erased = !key->objectId().isValid() || key->objectId().isErased();
  return Ami::eOk;
}

AmiStatus amiWriteKey(AcDbDwgFiler* filer, const AmiKey* key) {
  const AmiObjectKey* objectKey = asObjectKey(key);
  const auto* paramKey = dynamic_cast<const AmiParamKey*>(key);
  if (!filer || (!objectKey && !paramKey)) return Ami::eBadInput;
  filer->writeInt32(kKeyRecordTag);
  filer->writeInt32(key->keyType());
  filer->writeSoftPointerId(objectKey ? objectKey->objectId() : paramKey->partId());
  filer->writeString(objectKey ? objectKey->name() : paramKey->name());
  return filer->filerStatus() == Acad::eOk ? Ami::eOk : Ami::eFilerFailed;
}

AmiStatus amiReadKey(AcDbDwgFiler* filer, AmiKey*& key) {
  key = nullptr;
  if (!filer) return Ami::eBadInput;
  Adesk::Int32 tag = 0, type = 0;
  AcDbSoftPointerId id;
  std::string name;
  filer->readInt32(&tag);
  filer->readInt32(&type);
  filer->readSoftPointerId(&id);
  filer->readString(&name);
  if (filer->filerStatus() != Acad::eOk || tag != kKeyRecordTag) return Ami::eFilerFailed;
  auto keyType = static_cast<Ami::KeyType>(type);
  if (keyType == Ami::kParamKey)
    key = new AmiParamKey(filer->database(), id, name);
  else if (isKnownObjectKeyType(keyType))
    key = new AmiObjectKey(keyType, id, name);
  return key ? Ami::eOk : Ami::eFilerFailed;
}

AmiStatus amiGetDbIdsFromKey(const AmiKey* key, AcDbObjectIdArray& ids) {
  const AmiObjectKey* objectKey = asObjectKey(key);
  if (!objectKey) return key ? Ami::eWrongKeyType : Ami::eBadInput;
  ids.removeAll();
  if (objectKey->keyType() == Ami::kObjectKey) {
    if (!objectKey->objectId().isValid() || objectKey->objectId().isErased()) return Ami::eStaleKey;
  } else {
    TopoDS_Shape shape;
    AmiStatus status = resolveKey(*objectKey, shape);
    if (status != Ami::eOk) return status;
  }
  ids.append(objectKey->objectId());
  return Ami::eOk;
}

AmiStatus amiGetShapeFromKey(const AmiKey* key, TopoDS_Shape& shape) {
  const AmiObjectKey* objectKey = asObjectKey(key);
  if (!objectKey) return key ? Ami::eWrongKeyType : Ami::eBadInput;
  return resolveKey(*objectKey, shape);
}

AmiStatus amiGetPathFromKey(const AmiKey* key, AcDbFullSubentPath& path) {
  const AmiObjectKey* objectKey = asObjectKey(key);
  if (!objectKey) return key ? Ami::eWrongKeyType : Ami::eBadInput;
  TopoDS_Shape shape, whole;
  AmiStatus status = resolveKey(*objectKey, shape, &whole);
  if (status != Ami::eOk) return status;
  AcDbSubentId subent;
  if (objectKey->isGeometryKey()) {
    subent = AcDbSubentId(subentTypeOf(objectKey->keyType()), acbr::subentIndexOf(whole, shape));
  }
  path = AcDbFullSubentPath(objectKey->objectId(), subent);
  return Ami::eOk;
}

AmiStatus amiGetKeyFromPath(const AcDbFullSubentPath& path, Ami::KeyType keyType, AmiObjectKey*& key, int,
                            const AcGePoint3d*) {
  key = nullptr;
  if (path.objectIds().isEmpty()) return Ami::eBadInput;
  AcDbObjectId id = path.objectIds()[path.objectIds().length() - 1];
  AmiPartEntity* entity = nullptr;
  AmiStatus status = openPart(id, entity);
  if (status != Ami::eOk) return status == Ami::eWrongKeyType ? Ami::eNotFound : status;
  TopAbs_ShapeEnum shapeType = shapeTypeOf(path.subentId().type());
  const TopoDS_Shape* solid = entity->brepShape();
  std::string name;
  if (shapeType != TopAbs_SHAPE && solid) {
    const TopTools_IndexedMapOfShape& map = acbr::subshapesOf(*solid, path.subentId().type());
    int index = path.subentId().index();
    if (index >= 1 && index <= map.Extent()) name = entity->nameOf(map(index));
  }
  entity->close();
  if (shapeType == TopAbs_SHAPE) {
    key = new AmiObjectKey(isPartLevelType(keyType) ? keyType : Ami::kBodyKey, id);
    return Ami::eOk;
  }
  if (name.empty()) return Ami::eNotFound;
  key = new AmiObjectKey(keyTypeOf(shapeType), id, name);
  return Ami::eOk;
}

AmiStatus amiGetKeyFromId(AcDbObjectId id, Ami::KeyType keyType, int flags, const AcDbSubentId* subent,
                          const AcGePoint3d* point, AmiObjectKey*& key) {
  key = nullptr;
  if (id.isNull()) return Ami::eBadInput;
  if (keyType == Ami::kObjectKey) {
    if (!id.isValid()) return Ami::eNotFound;
    key = new AmiObjectKey(Ami::kObjectKey, id);
    return Ami::eOk;
  }
  if (subent && subent->type() != AcDb::kNullSubentType)
    return amiGetKeyFromPath(AcDbFullSubentPath(id, *subent), keyType, key, flags, point);
  if (!isPartLevelType(keyType)) return Ami::eWrongKeyType;
  return amiGetKeyFromPath(AcDbFullSubentPath(id, kNullSubent), keyType, key, flags, point);
}

AmiStatus amiGetContainingComp(const AmiKey* key, AmiObjectKey*& compKey) {
  compKey = nullptr;
  const AmiObjectKey* objectKey = asObjectKey(key);
  if (!objectKey) return key ? Ami::eWrongKeyType : Ami::eBadInput;
  AmiPartEntity* entity = nullptr;
  AmiStatus status = openPart(objectKey->objectId(), entity);
  if (status != Ami::eOk) return status;
  entity->close();
  compKey = new AmiObjectKey(Ami::kCompKey, objectKey->objectId());
  return Ami::eOk;
}

AmiStatus amiGetCompName(const AmiObjectKey* compKey, char*& name) {
  name = nullptr;
  if (!compKey) return Ami::eBadInput;
  if (compKey->keyType() != Ami::kCompKey) return Ami::eWrongKeyType;
  AmiPartEntity* entity = nullptr;
  AmiStatus status = openPart(compKey->objectId(), entity);
  if (status != Ami::eOk) return status;
  const std::string& text = entity->componentName();
  name = new char[text.size() + 1];
  std::memcpy(name, text.c_str(), text.size() + 1);
  entity->close();
  return Ami::eOk;
}

AmiStatus amiGetCompDef(const AmiObjectKey* compKey, AmiObjectKey*& defKey) {
  defKey = nullptr;
  if (!compKey) return Ami::eBadInput;
  if (compKey->keyType() != Ami::kCompKey) return Ami::eWrongKeyType;
  AmiPartEntity* entity = nullptr;
  AmiStatus status = openPart(compKey->objectId(), entity);
  if (status != Ami::eOk) return status;
  entity->close();
  defKey = new AmiObjectKey(Ami::kPartKey, compKey->objectId());
  return Ami::eOk;
}

AmiStatus amiIsCompDefLeafNode(const AmiObjectKey* defKey, bool& isLeaf) {
  if (!defKey) return Ami::eBadInput;
  if (defKey->keyType() != Ami::kPartKey) return Ami::eWrongKeyType;
  isLeaf = true;
  return Ami::eOk;
}

AmiStatus amiGetBrepFromKey(const AmiKey* key, AcBrEntity*& entity) {
  entity = nullptr;
  AcDbFullSubentPath path;
  AmiStatus status = amiGetPathFromKey(key, path);
  if (status != Ami::eOk) return status;
  std::unique_ptr<AcBrEntity> made;
  switch (path.subentId().type()) {
    case AcDb::kFaceSubentType: made = std::make_unique<AcBrFace>(); break;
    case AcDb::kEdgeSubentType: made = std::make_unique<AcBrEdge>(); break;
    case AcDb::kVertexSubentType: made = std::make_unique<AcBrVertex>(); break;
    default: made = std::make_unique<AcBrBrep>(); break;
  }
  if (made->setSubentPath(path) != AcBr::eOk) return Ami::eNotFound;
  entity = made.release();
  return Ami::eOk;
}

AmiStatus amiGetKeyFromBrep(const AcBrEntity& entity, AmiObjectKey*& key) {
  key = nullptr;
  AcDbFullSubentPath path;
  if (entity.getSubentPath(path) != AcBr::eOk) return Ami::eBadInput;
  return amiGetKeyFromPath(path, Ami::kBodyKey, key);
}
