// The per-drawing tables of the topology references: the canonical B-rep entities ordered by
// subentity path, and the references ordered by the identity of their canonical entity.
//
// Both tables are search trees with an insertion ring; walks follow the ring from its front. New
// references enter at the front (InsertReference), so a walk meets the newest first and a walk
// that re-inserts what it visits never meets it again. The tables own what they hold: destroying
// them deletes every reference ever registered (also those unlinked since) and every canonical
// entity.
#pragma once

#include <unordered_set>

#include "amg/CaeLible.h"

class AcBrEntity;
class AcTopoRef;

class AcTopoTables {
 public:
  AcTopoTables();
  ~AcTopoTables();
  AcTopoTables(const AcTopoTables&) = delete;
  AcTopoTables& operator=(const AcTopoTables&) = delete;

  CaeLible<AcBrEntity>& Entities() { return entities_; }
  CaeLible<AcTopoRef>& References() { return references_; }

  // The reference whose canonical entity is `entity`, or null.
  AcTopoRef* FindReference(const AcBrEntity* entity);
  // Registers `reference` at the front of the ring (taking ownership the first time).
  void InsertReference(AcTopoRef* reference);
  // Takes `reference` out of the table (nothing when it is not in it); it stays alive (attributes
  // may still point to it).
  void UnlinkReference(AcTopoRef* reference);

  // The current drawing's tables, or null when there is no current drawing data.
  static AcTopoTables* Current();

 private:
  CaeLible<AcBrEntity> entities_;
  CaeLible<AcTopoRef> references_;
  std::unordered_set<AcTopoRef*> owned_;
};
