// Two small services the stored entities share: a coordinate transform on file, and the one
// object reactor that turns an undone change of a watched object into the topology references'
// undo-modified flag.
//
// On file a transform is its 16 components in row order, (0,0), (0,1) ... (3,3), as Doubles, with
// nothing before or after them; the owner's data version says whether the block is there.
//
// The reactor is created by the first watch and shared by every watched object of every drawing.
// It is never detached from a live object: the module refuses to unload while a live object is
// watched, and at unload the reactor is taken off the erased ones and destroyed.
#pragma once

#include "arx/dbobject.h"
#include "arx/status.h"

class AcDbDwgFiler;
class CaeTransform;

// Writes the 16 components; stops at the first failed write and answers its status.
Acad::ErrorStatus dbTransformToMatrix(AcDbDwgFiler* filer, const CaeTransform& transform);
// Reads the 16 components, setting each as soon as it is read; a failed read stops there (the
// components read before it stay set, the rest keep their values) and answers its status.
Acad::ErrorStatus dbMatrixToTransform(AcDbDwgFiler* filer, CaeTransform& transform);

class DbModifyUndoneReactor : public AcDbObjectReactor {
 public:
  // Raises the undo-modified flag; the next command boundary skips its re-resolution once.
  void modifyUndone(const AcDbObject* object) override;
};

// Creates the shared reactor when there is none yet and attaches it to `object` (once).
void dbWatchModifyUndone(AcDbObject* object);
// The shared reactor, or null while nothing was watched since the last release.
DbModifyUndoneReactor* dbModifyUndoneReactor();
// True when the shared reactor is attached to `object`.
bool dbIsWatchedForUndo(const AcDbObject* object);
// Takes the reactor off every object of every open drawing, erased ones included, and destroys
// it (unload, tests). The caller makes sure no live object still needs it.
void dbReleaseModifyUndoneReactor();
