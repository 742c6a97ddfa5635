// The drawing's analysis control: what the engine and the user interface reach the drawing's
// stored objects through. It is not an object of the drawing itself: the stored records hand it
// what it knows, the units record also the ids of the current objects (FiledCurrentIds).
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
#include <cstddef>
#include <vector>

#include "amg/CaeUnit.h"
#include "arx/dbid.h"
#include "fea/AnlControl.h"

class AcDbObject;
class CaepUnitsObj;
class CaepVersionObj;

// A stored object that draws something for itself: the control redraws it when it becomes or
// stops being current.
class DbShownObject {
 public:
  virtual ~DbShownObject() = default;
  // Marks the graphics of everything drawn for the object modified.
  virtual void MarkGraphicsModified() = 0;
};

// The kinds of stored objects the control lists.
enum class DbStoredKind : int { OptVariable, OptModel, AnlModel, LoadCase, RestraintCase };
inline constexpr int kDbStoredKinds = 5;

class CaepAnlControl : public AnlControl {
 public:
  CaepAnlControl();
  explicit CaepAnlControl(const CaeString& name);
  ~CaepAnlControl() override;

  AnlModel* NewAnlModel(const CaeString& name, AnlType type) override;
  // A shape optimisation model of that name entered in "OPTIMIZATION_MODELS" (null, with the
  // reason printed, for a refused name), and a design variable of unit type 0 in model space.
  OptModel* NewOptModel(const CaeString& name) override;
  OptVariable* NewOptVariable(const CaeString& name) override;

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
  // Whether any listed object of the kind still opens: erased and permanently erased ones do not
  // (stops at the first). The Num operations count engine objects; this asks the drawing alone.
  bool HasLive(DbStoredKind kind) const;

  AttLbcCase* NewLoadCase(const CaeString& name) override;
  AttLbcCase* NewRestraintCase(const CaeString& name) override;

  // Clears the current analysis model, optimisation model, load set, restraint set and result
  // set, in this order; answers 1.
  int ClearCurrentObjects();

  // What the New operations check first: a name that is not empty, at most
  // kDbMaxStoredNameLength long and not taken (ignoring case) by a live entry of the kind's
  // dictionary. A refused name is reported on the command line; false, nothing changed.
  bool AcceptsNewName(DbStoredKind kind, const CaeString& name);
  // Re-keys the dictionary entry of the stored object `id` under `name` (checked as for New).
  // The caller renames the engine object; false when the name was refused.
  bool RenameEntry(DbStoredKind kind, AcDbObjectId id, const CaeString& name);

  // --- the engine's list operations over the drawing's objects ----------------------------
  // Add enters a new drawing object in its kind's dictionary (the object must not be in the
  // drawing yet) and hands it back open for write in the command's transaction. Delete erases
  // the object (its own erase cascades) and removes its entry; the id stays listed so that an
  // undone deletion needs no bookkeeping. Counts and walks pass over erased objects.
  int MoveOptVariable(OptVariable* moved, OptVariable* reference) override;
  void AddOptModel(OptModel* model) override;
  int AddOptVariable(OptVariable* variable) override;
  void AddAnlModel(AnlModel* model) override;
  void AddLoadCase(AttLbcCase* loadSet) override;
  void AddRestraintCase(AttLbcCase* restraintSet) override;
  void DeleteOptModel(OptModel* model) override;
  int DeleteOptVariable(OptVariable* variable) override;
  void DeleteAnlModel(AnlModel* model) override;
  void DeleteLoadCase(AttLbcCase* loadSet) override;
  void DeleteRestraintCase(AttLbcCase* restraintSet) override;
  int NumOptModels() override;
  int NumOptVariables() override;
  int NumAnlModels() override;
  int NumLoadCases() override;
  int NumRestraintCases() override;
  OptModel* FirstOptModel() override;
  OptVariable* FirstOptVariable() override;
  AnlModel* FirstAnlModel() override;
  AttLbcCase* FirstLoadCase() override;
  AttLbcCase* FirstRestraintCase() override;
  void SetCurrentOptModel(OptModel* model) override;
  void ClearCurrentOptModel() override;
  OptModel* CurrentOptModel() override;
  void SetCurrentAnlModel(AnlModel* model) override;
  void ClearCurrentAnlModel() override;
  AnlModel* CurrentAnlModel() override;
  void SetCurrentLoadCase(AttLbcCase* loadSet) override;
  void ClearCurrentLoadCase() override;
  AttLbcCase* CurrentLoadCase() override;
  void SetCurrentRestraintCase(AttLbcCase* restraintSet) override;
  void ClearCurrentRestraintCase() override;
  AttLbcCase* CurrentRestraintCase() override;
  void SetCurrentResultSet(FerResultSet* resultSet) override;
  void ClearCurrentResultSet() override;
  FerResultSet* CurrentResultSet() override;
  // The id of the current object of a kind (null when none); design variables have none.
  AcDbObjectId CurrentId(DbStoredKind kind) const { return currentIds_[index(kind)]; }
  AcDbObjectId CurrentResultSetId() const { return currentResultSetId_; }

  // The current objects as the drawing's units record files them, so that a reopened drawing
  // and an undo find the same objects current.
  struct CurrentIds {
    AcDbObjectId anlModel, optModel, loadSet, restraintSet, resultSet;
  };
  CurrentIds FiledCurrentIds() const;
  // Takes the ids a units record read (a reopened drawing, an undo): ids only, nothing is opened,
  // since the objects they name may not be read yet.
  void RestoreCurrentIds(const CurrentIds& ids);

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

  // The ids of one kind's list, for the membership test of RegisterId: open addressing in one
  // array, so that reading a drawing of many objects allocates nothing per id.
  class ListedIds {
   public:
    // False when `id` is in the set already.
    bool Insert(AcDbObjectId id);

   private:
    std::size_t SlotOf(AcDbObjectId id) const;
    void Grow();

    std::vector<AcDbObjectId> slots_;  // null ids are free slots; the size is a power of two
    std::size_t count_ = 0;
    int shift_ = 64;  // 64 - log2(slots_.size())
  };

  void addStored(DbStoredKind kind, AcDbObject* object, const CaeString& name);
  void deleteStored(DbStoredKind kind, AcDbObject* object);
  // Opens every listed id of the kind and hands each live object to `append`.
  template <class Engine, class Append>
  void refill(DbStoredKind kind, Append&& append);
  template <class Engine>
  Engine* current(DbStoredKind kind);
  // Stores `object` (null: none) as the kind's current id, marking the engine objects and
  // redrawing both the old and the new one.
  template <class Engine>
  void setCurrent(DbStoredKind kind, Engine* object);
  // Opens the units record for write before a current id changes, so that the undo of the
  // command keeps the ids as they were.
  void noteCurrentChange();

  std::array<std::vector<AcDbObjectId>, kDbStoredKinds> ids_;
  std::array<ListedIds, kDbStoredKinds> listed_;
  int lengthUnit_ = CaeUnitNone;
  CaeUnitSystem nativeUnits_;
  AcDbObjectId versionRecordId_;
  AcDbObjectId lengthUnitRecordId_;
  std::array<AcDbObjectId, kDbStoredKinds> currentIds_;
  AcDbObjectId currentResultSetId_;
};

// The longest name a stored model or set may have.
inline constexpr int kDbMaxStoredNameLength = 255;

// True for the length codes a drawing may choose (metre, centimetre, millimetre, inch, foot).
constexpr bool dbIsDrawingLengthUnit(int unit) { return unit >= 0 && unit <= 4; }
