// Key binding for drawing objects that sit on part geometry, and the hooks of the re-resolution
// pass that runs after the part changes.
//
// Binding: a drawing object binds itself to the key of its subentity, tells the key when it is
// erased or un-erased, and gives the key up without releasing it when it moves to another key.
// A key that refuses twice is a consistency check (MSG_GENERAL_ERROR, then CaeExcept).
#pragma once

class AcBrEntity;
class AcDbObject;
class AmiObjectKey;
class CaeAttrib;

// Binds `object` to `key`; a null object unbinds every object. A null key does nothing. A refused
// bind is tried once more; an object the user erased is never un-erased for it.
void acBindObjectToKey(AmiObjectKey* key, AcDbObject* object);
// Tells a non-null key that its bound object is erased (true) or un-erased (false).
void acNotifyKeyErased(AmiObjectKey* key, int erasing);
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

// ---- re-resolution hooks (the pass itself comes with re-resolution; these do nothing yet) ----
// Watches the solid a canonical entity lies on, so that its changes raise the solid-modified flag.
void acWatchSolid(AcBrEntity* entity);
// True while a solid changed since the last re-resolution.
bool acTopoSolidModified();
void acTopoClearSolidModified();
// Re-resolves every reference of the current drawing against the parts as they are now.
void acReresolveAllTopology();
