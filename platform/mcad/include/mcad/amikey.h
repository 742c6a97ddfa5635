// Keys: handles the part modeller gives out for things in a drawing.
//
// An object key names a face, edge or vertex of a part (a geometry key), a part's body, its part
// definition or its component (the placed part), or a plain drawing object. A geometry key holds the
// part entity's id and the persistent name of the subentity in its part ("hole1/side",
// "box1/front|box1/top"), so it follows the subentity through regenerations, undo and save/reopen:
// while the name resolves in the part as it is now, the key resolves to that subentity; once the
// feature or face is gone (or the part entity is erased) calls on the key answer eStaleKey (2096),
// and after undo brings the subentity back the same key resolves again.
//
// A key's text name is "<component>/<name in the part>" ("plate/hole1/side"); a body, part or
// component key's name is the component name alone.
//
// Keys are heap objects owned by whoever obtained them. Release one with its own release
// operation when isReleasable() says it may go (a key with live bound objects stays alive for them).
//
// Binding: drawing objects that depend on a key bind to it; several may bind to the same key and
// each tells it when it is erased or un-erased (notifyErased). The key counts its live bound
// objects and remembers the one bound last ("the object the key holds by id").
//
// Subentity paths: a part entity's subentity ids are (face, edge or vertex type, index) where the
// index is the 1-based position of the subentity in OpenCASCADE's TopExp::MapShapes of the
// entity's world shape (AcDbBrepSource::brepShape) for that shape type; the null subentity id names
// the whole body. Indices change with regeneration; keys do not.
#pragma once

#include <string>
#include <vector>

#include "arx/dbid.h"
#include "arx/dbsubent.h"
#include "mcad/amistatus.h"

class AcBrEntity;
class AcDbDwgFiler;
class AcDbObject;
class AcGePoint3d;
class TopoDS_Shape;

namespace Ami {
enum KeyType : int {
  kAnyKey = 0,     // any geometry key (asked for in picks)
  kObjectKey = 1,  // a plain drawing object
  kVertexKey = 2,
  kEdgeKey = 3,
  kFaceKey = 10,
  kParamKey = 20,
  kBodyKey = 23,  // the solid of a placed part
  kPartKey = 25,  // a part definition (what a component places)
  kCompKey = 26,  // a component: one placed part
};
}  // namespace Ami

class AmiObject {
 public:
  virtual ~AmiObject() = default;
};

class AmiKey : public AmiObject {
 public:
  virtual Ami::KeyType keyType() const { return Ami::kAnyKey; }
  // Release protocol: releasable while no bound object is live, so release() may delete it.
  virtual bool isReleasable() const { return liveBindings_ <= 0; }
  // Deletes the key. Call it only when isReleasable() answers true.
  void release() { delete this; }

  // True while at least one bound object is live (bound and not notified as erased).
  bool hasBoundObject() const { return liveBindings_ > 0; }
  // Binds a drawing object (it must be in a database): eOk, or eKeyRefused for an object that is
  // not in a database. Binding the same object again does not count it twice.
  AmiStatus bind(AcDbObject* object);
  // Forgets every bound object.
  AmiStatus unbind();
  // A bound object was erased (true) or un-erased (false).
  void notifyErased(bool erasing);
  // The object bound last, whether it is erased or not; null when none was bound.
  AcDbObjectId boundObjectId() const { return lastBound_; }

 private:
  std::vector<AcDbObjectId> bound_;
  int liveBindings_ = 0;
  AcDbObjectId lastBound_;
};

// Names a scene (an assembly view of the parts). Scene events pass scene keys.
class AmiSceneKey : public AmiKey {
 public:
  // The object as a scene key, or null when it is not one (null gives null).
  static AmiSceneKey* cast(AmiObject* object);
};

class AmiObjectKey : public AmiKey {
 public:
  // type: kVertexKey, kEdgeKey, kFaceKey (name = the subentity's name in its part), kBodyKey,
  // kPartKey, kCompKey (the part entity, empty name) or kObjectKey (any drawing object).
  AmiObjectKey(Ami::KeyType type, AcDbObjectId object, std::string name = {});

  Ami::KeyType keyType() const override { return type_; }
  // The part entity (or, for kObjectKey, the drawing object) the key refers to.
  AcDbObjectId objectId() const { return object_; }
  // The subentity's persistent name in its part; empty for whole-object keys.
  const std::string& name() const { return name_; }
  bool isGeometryKey() const;

 private:
  Ami::KeyType type_;
  AcDbObjectId object_;
  std::string name_;
};

// Names a parameter: a part's own (scope = the part entity) or a "Designer" global of a drawing.
// Design variables bind to their parameter's key as drawing objects bind to geometry keys.
class AmiParamKey : public AmiKey {
 public:
  // part: the part entity for a part parameter; null with `database` for a global parameter.
  AmiParamKey(AcDbDatabase* database, AcDbObjectId part, std::string name);
  Ami::KeyType keyType() const override { return Ami::kParamKey; }
  AcDbDatabase* database() const { return database_; }
  AcDbObjectId partId() const { return part_; }
  bool isGlobal() const { return part_.isNull(); }
  const std::string& name() const { return name_; }

 private:
  AcDbDatabase* database_;
  AcDbObjectId part_;
  std::string name_;
};

// ---- questions about keys ----
// isNull: true for a null pointer or a key that names no object.
AmiStatus amiIsKeyNull(const AmiKey* key, bool& isNull);
// kAnyKey answers true for geometry keys; other types compare exactly. eBadInput for null.
AmiStatus amiIsKeyKindOf(const AmiKey* key, Ami::KeyType type, bool& isKind);
// Same kind, same object, same name (parameter keys: same drawing, scope and name).
AmiStatus amiAreKeysEquivalent(const AmiKey* key1, const AmiKey* key2, bool& equivalent);
// A new key naming the same thing, with no bound objects.
AmiStatus amiCopyKey(const AmiKey* key, AmiKey*& copy);
// For a kObjectKey: whether its object is erased. eWrongKeyType for other keys.
AmiStatus amiObjectWasErased(const AmiObjectKey* key, bool& erased);

// ---- filing, in a drawing object's dwgOutFields / dwgInFields ----
// Writes a non-null key (its kind, its object's handle, its name; parameter keys their scope).
// eBadInput for null, eFilerFailed when the filer refuses.
AmiStatus amiWriteKey(AcDbDwgFiler* filer, const AmiKey* key);
// Reads a key written by amiWriteKey; the new key belongs to the caller. eFilerFailed (key null)
// when the filer refuses or the record is not a key.
AmiStatus amiReadKey(AcDbDwgFiler* filer, AmiKey*& key);

// ---- resolution ----
// The object ids of the key's part entity (or object): eStaleKey when the geometry is gone or the
// entity erased; eWrongKeyType for parameter keys.
AmiStatus amiGetDbIdsFromKey(const AmiKey* key, AcDbObjectIdArray& ids);
// The subentity (or whole solid) in world coordinates; eStaleKey when it no longer resolves.
AmiStatus amiGetShapeFromKey(const AmiKey* key, TopoDS_Shape& shape);
// The key's subentity path (see above); eStaleKey when it no longer resolves.
AmiStatus amiGetPathFromKey(const AmiKey* key, AcDbFullSubentPath& path);
// A key from a full subentity path whose last id is a part entity: a geometry key for a face,
// edge or vertex id, else a key of `keyType` (kBodyKey, kPartKey or kCompKey) for the null
// subentity. eNotFound for an id that is not a part entity or an index out of range. flags and
// point are not used.
AmiStatus amiGetKeyFromPath(const AcDbFullSubentPath& path, Ami::KeyType keyType, AmiObjectKey*& key, int flags = 1,
                            const AcGePoint3d* point = nullptr);
// A key for an object: kBodyKey, kPartKey or kCompKey of a part entity, or kObjectKey of any
// object. A subentity id, when given, makes a geometry key as amiGetKeyFromPath does.
AmiStatus amiGetKeyFromId(AcDbObjectId id, Ami::KeyType keyType, int flags, const AcDbSubentId* subent,
                          const AcGePoint3d* point, AmiObjectKey*& key);

// ---- components ----
// The component key of the part a key belongs to.
AmiStatus amiGetContainingComp(const AmiKey* key, AmiObjectKey*& compKey);
// The component's name as a new C string (the caller deletes it with delete[]); eStaleKey when its
// part entity is erased.
AmiStatus amiGetCompName(const AmiObjectKey* compKey, char*& name);
// The definition (kPartKey) a component places.
AmiStatus amiGetCompDef(const AmiObjectKey* compKey, AmiObjectKey*& defKey);
// Part definitions are always leaves here (assemblies are not nested).
AmiStatus amiIsCompDefLeafNode(const AmiObjectKey* defKey, bool& isLeaf);

// ---- B-rep entities ----
// A new B-rep entity for the key's subentity (AcBrFace, AcBrEdge, AcBrVertex) or body (AcBrBrep),
// owned by the caller. eStaleKey when the key no longer resolves.
AmiStatus amiGetBrepFromKey(const AmiKey* key, AcBrEntity*& entity);
// A key for a B-rep entity's subentity (a body key for a whole solid).
AmiStatus amiGetKeyFromBrep(const AcBrEntity& entity, AmiObjectKey*& key);
