// Opening the members of stored objects: through a transaction of the drawing that holds them,
// with erased objects and ids that never open again treated alike, as absent.
#pragma once

#include <cstddef>
#include <limits>
#include <typeinfo>
#include <unordered_map>

#include "arx/dbid.h"
#include "arx/dbobject.h"
#include "arx/status.h"

class AcDbDatabase;
class AcDbObject;
class CaeActive;

// A transaction on the manager of `database` for the lifetime of the object; ended (not aborted)
// when it goes, so that a caller's abort still undoes what was done inside. A drawing without a
// transaction manager is a consistency check.
class DbTransaction {
 public:
  explicit DbTransaction(AcDbDatabase* database);
  ~DbTransaction();
  DbTransaction(const DbTransaction&) = delete;
  DbTransaction& operator=(const DbTransaction&) = delete;

 private:
  AcDbDatabase* database_;
};

// `object` as its base `To` beside AcDbObject (null when it has none), as dynamic_cast gives it.
// A cast across the hierarchy walks every base class on each call, which was most of the time of
// listing a drawing's sets and models; the distance between the two bases is the same for every
// object of one dynamic type, so it is found once per type.
template <class To>
To* dbCrossCast(AcDbObject* object) {
  if (!object) return nullptr;
  constexpr std::ptrdiff_t kNoBase = std::numeric_limits<std::ptrdiff_t>::min();
  thread_local std::unordered_map<const std::type_info*, std::ptrdiff_t> distances;
  auto [entry, added] = distances.try_emplace(&typeid(*object), kNoBase);
  if (added) {
    if (To* cast = dynamic_cast<To*>(object))
      entry->second = reinterpret_cast<char*>(cast) - reinterpret_cast<char*>(object);
  }
  return entry->second == kNoBase ? nullptr : reinterpret_cast<To*>(reinterpret_cast<char*>(object) + entry->second);
}

// Opens a member through the active transaction of `database`. Null, quietly, for an id that is
// null, erased (unless `openErased`) or never opens (permanently erased); any other failure, and
// no active transaction, is a consistency check. The engine part's erased mark is brought in line
// with the drawing's (an aborted transaction restores only the drawing's).
AcDbObject* dbOpenMember(AcDbDatabase* database, AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false);
// As dbOpenMember, then null too when the engine part carries the erased mark.
AcDbObject* dbOpenLive(AcDbDatabase* database, AcDbObjectId id, AcDb::OpenMode mode);

// Makes a stored object that was opened for read writable before its fields change: through the
// active transaction when there is one (so that undo and an abort both keep the state it had),
// else by recording its undo state. Listing opens members for read; whoever changes one calls this.
void dbWriteEnable(AcDbObject& object);

// True when `id` names an erased object or one that never opens again: DXF carries neither, so
// the DXF writers leave such ids out rather than write handles that name nothing.
bool dbIsErasedOrGone(AcDbObjectId id);

// Sets the engine's erased mark of a stored object to the drawing's erased state.
void dbFollowErasedState(CaeActive& engine, const AcDbObject& object);
