// Object keys of part geometry: from keys to B-rep entities and back, staleness and release.
//
// Keys come from the part modeller and belong to whoever obtained them; release them with
// acReleaseKey. A key is stale once the geometry it names is gone (its feature deleted, its part
// erased); undo can make it live again. Consistency checks report MSG_GENERAL_ERROR and raise CaeExcept.
#pragma once

class AcBrEntity;
class AmiObjectKey;

// A new B-rep entity (owned by the caller) for the subentity or body a key names; a body key that
// no longer yields a B-rep falls back to the key's object ids. Null for a null key or a key that
// does not resolve.
AcBrEntity* acBrepFromKey(const AmiObjectKey* key);
// The current drawing's canonical entity for a key, or null when the key does not resolve.
AcBrEntity* acBrEntityFromKey(const AmiObjectKey* key);
// A new key (owned by the caller) for a B-rep entity: a face, edge or vertex key, or for a body
// the component key of its first face. Null when the modeller gives no key for the entity, and for
// a body without faces (reported on the command line).
AmiObjectKey* acKeyFromBrep(const AcBrEntity* entity);
// A new key through the entity's object ids: geometry keys as acKeyFromBrep, a body by the key of
// the first object of its path (body key, else part key). A final failure is a consistency check.
AmiObjectKey* acKeyFromBrepById(const AcBrEntity* entity);
// True when the key no longer names live geometry (object keys: their object erased; component
// keys: name or B-rep gone; geometry keys: the modeller answers stale).
bool acKeyIsStale(const AmiObjectKey* key);
// True for a key that names something.
bool acKeyNotNull(const AmiObjectKey* key);
// Releases the key when nothing bound to it still needs it; the pointer becomes null in any case.
void acReleaseKey(AmiObjectKey** key);
