// The drawing's analysis control: what the engine and the user interface reach the drawing's
// stored objects through. It is never filed; the stored records hand it what it knows.
//
// It keeps object ids, never pointers, between commands: one id list per kind of stored object,
// filled by the objects' readers and by additions. An id stays listed after its object is erased,
// so an undone deletion needs no bookkeeping; counts pass over ids whose objects do not open.
//
// It also holds the drawing's length unit and the ids of its two drawing records. The length
// unit is CaeUnitNone (33) until one is chosen or read; the control's own native unit system
// carries it (metre while none is chosen) and becomes the engine's native system when the
// drawing is activated.
#pragma once

#include <array>
#include <unordered_set>
#include <vector>

#include "amg/CaeUnit.h"
#include "arx/dbid.h"
#include "fea/AnlControl.h"

class CaepUnitsObj;
class CaepVersionObj;

// The kinds of stored objects the control lists.
enum class DbStoredKind : int { OptVariable, OptModel, AnlModel, LoadCase, RestraintCase };
inline constexpr int kDbStoredKinds = 5;

class CaepAnlControl : public AnlControl {
 public:
  CaepAnlControl();
  explicit CaepAnlControl(const CaeString& name);
  ~CaepAnlControl() override;

  AnlModel* NewAnlModel(const CaeString& name, AnlType type) override;

  // Stores the drawing's length unit (0 metre .. 4 foot) and makes it the length of the native
  // system. Another code is refused: false, nothing changed.
  bool SetLengthUnit(int unit);
  int LengthUnit() const { return lengthUnit_; }
  // The native system of this drawing: its length unit, or metre while none is chosen.
  CaeUnitSystem& NativeUnits() { return nativeUnits_; }
  // Makes the drawing's native system the engine's (activation of the drawing).
  void ApplyNativeUnits();

  // Lists `id` under its kind, once: answers false when it is listed already. Constant time, so
  // that readers re-run by undo, redo and aborts may register on every read. A null id is a
  // consistency check.
  bool RegisterId(DbStoredKind kind, AcDbObjectId id);
  const std::vector<AcDbObjectId>& Ids(DbStoredKind kind) const { return ids_[index(kind)]; }
  // The listed ids whose objects still open (erased and permanently erased ones are not counted).
  int CountLive(DbStoredKind kind) const;

  // Clears the current analysis model, optimisation model, load set, restraint set and result
  // set, in this order; answers 1.
  int ClearCurrentObjects();

  // Keeps the two records in step with the drawing. Flag 1 erases both when no model, optimisation
  // model or set is left (design variables do not count); flag 0 re-creates an erased record under
  // its key. Does nothing while either record id is null.
  void UpdateRecords(int flag);

  void SetVersionRecordId(const CaepVersionObj* record);
  void SetLengthUnitRecordId(const CaepUnitsObj* record);
  AcDbObjectId VersionRecordId() const { return versionRecordId_; }
  AcDbObjectId LengthUnitRecordId() const { return lengthUnitRecordId_; }

 private:
  static std::size_t index(DbStoredKind kind) { return static_cast<std::size_t>(kind); }

  std::array<std::vector<AcDbObjectId>, kDbStoredKinds> ids_;
  std::array<std::unordered_set<AcDbObjectId>, kDbStoredKinds> listed_;
  int lengthUnit_ = CaeUnitNone;
  CaeUnitSystem nativeUnits_;
  AcDbObjectId versionRecordId_;
  AcDbObjectId lengthUnitRecordId_;
};

// True for the length codes a drawing may choose (metre, centimetre, millimetre, inch, foot).
constexpr bool dbIsDrawingLengthUnit(int unit) { return unit >= 0 && unit <= 4; }
