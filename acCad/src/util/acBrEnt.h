// Canonical B-rep entities: one AcBrEntity object per full subentity path per drawing.
//
// References to part geometry are keyed by entity identity, so every caller must turn the entity
// it holds into the drawing's canonical one first (acCanonicalBrEntity). Canonical entities live in
// the current drawing's topology tables (acTopoTables.h) until its document data goes away.
// Consistency checks (a class other than brep, face, edge or vertex; a path that cannot be set on
// a new canonical entity; a lookup entity without a path) report MSG_GENERAL_ERROR and raise CaeExcept.
#pragma once

#include "arx/brbrep.h"

// Class codes of acNewBrEntity (not the reference kinds of acTopoRef.h).
enum AcBrClassCode { kBrClassBrep = 0, kBrClassFace = 1, kBrClassEdge = 2, kBrClassVertex = 3 };

// Orders entities by the full subentity path each was set on: subentity type, then index, then
// the number of object ids, then the ids. 0 means the same subentity. The stored path is used, not
// a re-validated one, so an entity keeps its place in the table while its solid changes.
int acBrEntityCompare(const AcBrEntity* first, const AcBrEntity* second);

// The class code of an entity's exact class; any other class is a consistency check.
int acBrEntityClassCode(const AcBrEntity* entity);

// A new heap entity of the class `code` set on `path` and watched for solid changes. A code
// outside 0..3 or a path that cannot be set is a consistency check.
AcBrEntity* acNewBrEntity(int code, const AcDbFullSubentPath& path);

// The current drawing's canonical entity for the subentity of `entity` (any AcBrEntity, which the
// caller keeps). An existing canonical entity is refreshed from the solid as it is now and
// returned; otherwise a new one is made and registered. Null when there is no current drawing data.
AcBrEntity* acCanonicalBrEntity(const AcBrEntity* entity);
