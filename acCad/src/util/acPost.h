// Adding objects to the working drawing and opening objects by id.
//
// Opening goes through the transaction manager of the host's current document: objects stay
// open until that transaction ends and callers never close them. Every failed host call is a
// consistency check (MSG_GENERAL_ERROR, then CaeExcept); nothing done before it is undone.
#pragma once

#include "arx/dbid.h"
#include "arx/status.h"

class AcDbEntity;
class AcDbObject;
class AcDbTransactionManager;

// The transaction manager of the host's current document, or null when no document is open.
AcDbTransactionManager* acCurrentTransactionManager();

// Appends `entity` to model space of the working database; `id` receives its id. With close != 0
// the entity is closed afterwards, otherwise it stays open for write and the caller closes it.
void acPostToModelSpace(AcDbEntity* entity, AcDbObjectId& id, int close);
void acPostToModelSpaceAndClose(AcDbEntity* entity, AcDbObjectId& id);

// Adds a non-entity object to the working database; closes it when close != 0. An object that is
// already in the database is accepted: `id` is then its existing id.
void acAddDbObject(AcDbObject* object, AcDbObjectId& id, int close);

// Opens `id` in `mode` (AcDb::kForRead or kForWrite) in the current transaction; erased objects
// open only when tolerant is 0. Tolerant: an erased object, or one that never opens again
// (permanently erased), gives null with status eWasErased and no report. Not tolerant: any failure is a consistency
// check. An object open for write directly (status eWasOpenForWrite) is re-opened for read when read was asked; a write
// request never hands back a read-only object: it is reported. No active transaction is a consistency check.
AcDbObject* acOpenObject(AcDbObjectId id, Acad::ErrorStatus& status, int tolerant, int mode);

// acOpenObject(id, status, 1, kForWrite): null, quietly, for an erased object.
AcDbObject* acOpenForWrite(AcDbObjectId id);

// acOpenObject(id, status, tolerant, kForRead): erased objects included when tolerant is 0.
AcDbObject* acOpenObjectErased(AcDbObjectId id, Acad::ErrorStatus& status, int tolerant);

// The id of an open object.
AcDbObjectId acObjectIdOf(const AcDbObject* object);

// How many ids of the array open for write without error (erased ones are not counted).
int acCountOpenableIds(AcDbObjectIdArray ids);
