// Key binding for drawing objects that sit on part geometry, the engine attributes those objects
// carry, and the re-resolution of the drawing's references after the part changes.
//
// Binding: a drawing object binds itself to the key of its subentity, tells the key when it is
// erased or un-erased, and gives the key up without releasing it when it moves to another key.
// A key that refuses twice is a consistency check (MSG_GENERAL_ERROR, then CaeExcept).
//
// Attributes: every load, restraint, thermal condition, mesh, mesh-size constraint, mating
// relation and mesh use is one object that joins a host drawing object (AcDbObject) with its
// engine attribute (CaeAttrib) and with AcTopoAttribObject below. A reference lists its
// attributes by the ids of their drawing objects (AcTopoRef::AddAttribute and the walks).
//
// Re-resolution: host notifications only raise flags (acDeferredPasses.h); the pass runs once at
// the next command boundary, or when a reference is used while a change is pending. It
// re-validates every reference from its key, tells the attributes of references whose key went
// stale (they erase themselves and note that their topology was lost), re-attaches every
// attribute of the drawing to the reference its key names (reviving those whose topology came
// back) and tells the attributes that their topology was modified. Nothing of this runs while the
// drawing is being filed (saved, read, or its history replayed); the flags then wait.
#pragma once

#include <memory>
#include <vector>

#include "arx/dbobject.h"
#include "mcad/amikey.h"

class AcBrEntity;
class AcTopoRef;
class CaeAttrib;

// Binds `object` to `key` (a geometry or a parameter key); a null object unbinds every object. A
// null key does nothing. A refused bind is tried once more; an object the user erased is never
// un-erased for it.
void acBindObjectToKey(AmiKey* key, AcDbObject* object);
// Tells a non-null key that its bound object is erased (true) or un-erased (false).
void acNotifyKeyErased(AmiKey* key, int erasing);
// The drawing object gives up its key: the key hears that its object is erased (when it has a
// bound object) and the pointer is set to null; the key itself is not released.
void acReleaseBoundKey(AmiObjectKey** key);
// The key of an attribute's reference; null for a null attribute or one without reference. A
// reference without key is a consistency check.
AmiObjectKey* acKeyOfAttrib(CaeAttrib* attribute);
// A drawing object whose attribute just got its reference moves from the key it held (given up
// with acReleaseBoundKey) to the reference's own key and binds to it, so that every object on a
// subentity shares one key. An attribute without reference leaves the object without a key; an
// attribute that is not also a drawing object binds nothing.
void acRebindAttribToKey(AmiObjectKey** key, CaeAttrib* attribute);

// ---- engine attributes and their drawing objects ----

// What the drawing object of an engine attribute answers to re-resolution. A class that carries
// an attribute on part geometry derives from AcDbObject (or AcDbEntity), from its engine
// attribute class and from this, and implements:
//   - CaeAttrib::UponTopoRefErase: its topology went away. Erase the object (erase(true), open
//     for write: the pass opened it) and then set the topology-lost flag.
//   - CaeAttrib::UponTopoRefModify: its topology changed. Redraw (recordGraphicsModified) or mark
//     the engine object as needing an update.
//   - TopoKey, TopologyLost and ReviveTopology below.
// Its subErase clears the topology-lost flag (after UponTopoRefErase set it, only revival or the
// user's un-erase clears it). When the object resolves its key (after reading) or is created, it
// lists itself with AcTopoRef::AddAttribute and sets its reference with CaeAttrib::SetTopoRef.
class AcTopoAttribObject {
 public:
  virtual ~AcTopoAttribObject() = default;
  // The key the object is bound to: the filed key until it resolved, then its reference's key.
  // Null when it has none.
  virtual AmiObjectKey* TopoKey() const = 0;
  // True while the object is erased because its topology went away (UponTopoRefErase).
  virtual bool TopologyLost() const = 0;
  // Its topology is back: bring the object back (it is open for write). Most classes un-erase
  // themselves (erase(false)); a mesh or a mating relation brings its companions back with it.
  virtual void ReviveTopology() = 0;
};

// The engine attribute of a drawing object: the object's own CaeAttrib part when the object is
// one of the pairs (mesh, model temperature, convection, heat generation, load or restraint,
// mesh-size constraint, mating relation, mesh use); null otherwise (model-level loads included).
CaeAttrib* acAttribFromDbObject(AcDbObject* object);
// The drawing object of an engine attribute, tested by engine type (mesh, model temperature,
// mesh-size constraint, heat generation, convection, load or restraint, mating relation, mesh
// use); null for any other attribute or one without drawing object.
AcDbObject* acDbObjectFromAttrib(CaeAttrib* attribute);
// The id of an attribute's drawing object; null for none.
AcDbObjectId acAttribObjectId(CaeAttrib* attribute);

// ---- re-resolution ----

// The one object reactor on the drawing objects that carry watched solids: a modification raises
// the solid-modified flag, an undone one the undo-modified flag (and solid-modified: the host
// tells undo only through modifyUndone), an erase the solid-erased flag, an un-erase (undo or
// redo of an erase) the solid-modified flag, so that what the solid took along comes back.
class AcTopoSolidReactor : public AcDbObjectReactor {
 public:
  void erased(const AcDbObject* object, Adesk::Boolean erasing) override;
  void modified(const AcDbObject* object) override;
  void modifyUndone(const AcDbObject* object) override;
};

// Watches the solid a canonical entity lies on: attaches the reactor (created on first use) to
// every drawing object of the entity's path. An object that does not open, or that does not hold
// the reactor afterwards, is a consistency check.
void acWatchSolid(AcBrEntity* entity);
// Watches the part a key names (the solid of its object), so that the part's next change runs the
// re-resolution pass; nothing for a null key or a part that does not open.
void acWatchPartOfKey(AmiObjectKey* key);
// The reactor, or null while nothing is watched.
AcTopoSolidReactor* acTopoSolidReactor();
// True when the reactor is attached to `object`.
bool acIsSolidWatched(const AcDbObject* object);
// Takes the reactor off every object of every open drawing (erased ones too) and destroys it
// (unload, tests).
void acReleaseSolidReactor();

// The module-wide state of re-resolution, kept in one place so that it can be reset as a whole
// (unload, tests; acTopoResetFlags). The reactor is released on its own (acReleaseSolidReactor).
struct AcTopoContext {
  // The flags of acDeferredPasses.h.
  int solidModified = 0;
  int sceneChanged = 0;
  int undoModified = 0;
  int solidErased = 0;
  bool reresolving = false;  // acReresolveAllTopology is running
  int building = 0;          // references are building their children (evaluating them as they go)
  // The attribute cursor: the reference whose list it walks, the attribute it answered last and
  // that attribute's index in the list.
  const AcTopoRef* cursorReference = nullptr;
  const CaeAttrib* cursorAttribute = nullptr;
  int cursorIndex = 0;
  // The watched solid changed by undo or redo since the last pass (an edit clears it).
  bool solidFromHistory = false;
};
AcTopoContext& acTopoContext();

// True while re-resolution cannot run now: the current drawing is being filed, references are
// being built, or the pass is running already. Pending flags then wait.
bool acTopoReresolutionHeld();
// Re-resolves every reference of the current drawing against the parts as they are now (see
// above). A call from inside the pass, or while held, returns at once.
void acReresolveAllTopology();
// Opens an attribute's drawing object for write (erased included) in the current transaction,
// before the attribute is changed; attribute walks only read.
void acOpenAttribForWrite(CaeAttrib* attribute);
// Re-attaches every engine attribute of the current drawing to the reference its key names.
void acReattachAttributes();
// The engine attributes of the current drawing in re-attachment order: restraint sets' members,
// load sets' members (model-level loads passed over), each live model's meshes and mesh-size
// constraints, optimisation constraints, then each live model's mating relations.
void acReattachCollectAttributes(std::vector<CaeAttrib*>& attributes);
// Through the attribute's drawing object (AcTopoAttribObject): its key, its topology-lost flag,
// its revival. A null attribute gives null (false, nothing); an attribute whose drawing object is
// not an AcTopoAttribObject is a consistency check.
AmiObjectKey* acKeyOfAttributeObject(CaeAttrib* attribute);
bool acAttributeTopologyLost(CaeAttrib* attribute);
void acUneraseAttributeObject(CaeAttrib* attribute);
