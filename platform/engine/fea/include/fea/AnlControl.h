// The analysis control: the one place through which the engine reaches the analysis models,
// optimisation models, design variables, load sets and restraint sets of a drawing, and knows
// which one of each is current.
//
// One control is current per process (the active drawing's). A control that is destroyed while
// current unsets itself, so GetCurrent never answers a destroyed control.
//
// The list operations are virtual: a drawing's control overrides them to keep its objects in the
// drawing and refills the engine lists from there whenever the first element is asked for. The
// engine's own implementations keep the objects in the engine lists. Objects marked erased stay
// listed (an undone deletion needs no bookkeeping) but counts and walks pass over them.
#pragma once

#include <memory>
#include <vector>

#include "amg/CaeList.h"
#include "amg/CaeString.h"
#include "fea/AnlTypes.h"

class AnlModel;
class AttLbcCase;
class FerResultSet;
class OptModel;
class OptVariable;
class OptVariableSet;

class AnlControl {
 public:
  AnlControl();
  explicit AnlControl(const CaeString& name);
  // Unsets the current control when it is this one; frees what the engine's own New operations
  // made. Never raises.
  virtual ~AnlControl();
  AnlControl(const AnlControl&) = delete;
  AnlControl& operator=(const AnlControl&) = delete;

  // The current control, or null.
  static AnlControl* GetCurrent();
  // Makes this control the current one.
  void SetCurrent();
  // Leaves the process without a current control.
  static void UnsetCurrent();

  // The drawing's base name and the folder prefix of its external files.
  const CaeString& Name() const { return name_; }
  void Name(const CaeString& name) { name_ = name; }
  const CaeString& Location() const { return location_; }
  void Location(const CaeString& location) { location_ = location; }

  // The database that owns the control's objects (opaque to the engine).
  void SetOwner(void* database) { owner_ = database; }
  void* Owner() const { return owner_; }

  // Loaded: the drawing's objects have all been read. Saved: the drawing has been written since
  // the last change of location.
  void MarkAsLoaded() { loaded_ = true; }
  bool IsLoaded() const { return loaded_; }
  void MarkAsSaved() { saved_ = true; }
  bool IsSaved() const { return saved_; }

  // The document closes: the current objects of every kind are cleared.
  void OnExit();

  // Moves the external analysis files kept in the folder `oldLocation` to the folder
  // `newLocation` (the drawing was saved under a new name). Identical locations (either path
  // separator) change nothing. Answers 1 on success; a file that cannot be moved is reported as a
  // warning, the rest are still moved, and the answer is 0.
  int MoveExternalFiles(const CaeString& oldLocation, const CaeString& newLocation);

  // --- virtual list operations, in a stable order ----------------------------------------
  // Puts `moved` at the list position `reference` has before the move (a variable moved from
  // before it ends up just after it); 0, nothing changed, when either is not listed.
  virtual int MoveOptVariable(OptVariable* moved, OptVariable* reference);
  // Add lists an object made elsewhere (once); New makes one, owned by the control, and passes
  // it to the matching Add so that an override takes part. Null objects are consistency checks.
  // The design-variable operations answer a status, 0 on success.
  virtual void AddOptModel(OptModel* model);
  virtual int AddOptVariable(OptVariable* variable);
  virtual void AddAnlModel(AnlModel* model);
  virtual void AddLoadCase(AttLbcCase* loadSet);
  virtual void AddRestraintCase(AttLbcCase* restraintSet);
  virtual OptModel* NewOptModel(const CaeString& name);
  virtual OptVariable* NewOptVariable(const CaeString& name);
  virtual AnlModel* NewAnlModel(const CaeString& name, AnlType type);
  virtual AttLbcCase* NewLoadCase(const CaeString& name);
  virtual AttLbcCase* NewRestraintCase(const CaeString& name);
  // Delete clears the object as current (or only marks it not current) and marks it erased; it
  // stays listed. Deleting an analysis model unlinks the optimisation models that use it.
  virtual void DeleteOptModel(OptModel* model);
  virtual int DeleteOptVariable(OptVariable* variable);
  virtual void DeleteAnlModel(AnlModel* model);
  virtual void DeleteLoadCase(AttLbcCase* loadSet);
  virtual void DeleteRestraintCase(AttLbcCase* restraintSet);
  // Listed objects not marked erased.
  virtual int NumOptModels();
  virtual int NumOptVariables();
  virtual int NumAnlModels();
  virtual int NumLoadCases();
  virtual int NumRestraintCases();
  // Walks: the First operations start the walk, the Next operations continue it; both pass over
  // objects marked erased and answer null at the end.
  virtual OptModel* FirstOptModel();
  virtual OptVariable* FirstOptVariable();
  virtual AnlModel* FirstAnlModel();
  virtual AttLbcCase* FirstLoadCase();
  virtual AttLbcCase* FirstRestraintCase();
  // Current objects: Set makes the previous one uncurrent and the new one current; Current
  // answers null when none is set or the one set is marked erased.
  virtual void SetCurrentOptModel(OptModel* model);
  virtual void ClearCurrentOptModel();
  virtual OptModel* CurrentOptModel();
  virtual void SetCurrentAnlModel(AnlModel* model);
  virtual void ClearCurrentAnlModel();
  virtual AnlModel* CurrentAnlModel();
  virtual void SetCurrentLoadCase(AttLbcCase* loadSet);
  virtual void ClearCurrentLoadCase();
  virtual AttLbcCase* CurrentLoadCase();
  virtual void SetCurrentRestraintCase(AttLbcCase* restraintSet);
  virtual void ClearCurrentRestraintCase();
  virtual AttLbcCase* CurrentRestraintCase();
  // The current set that holds conditions of a descriptor kind: the restraint set for kind 1,
  // the load set for any other kind.
  virtual AttLbcCase* GetCurrentLbcCase(int kind);
  virtual void SetCurrentResultSet(FerResultSet* resultSet);
  virtual void ClearCurrentResultSet();
  virtual FerResultSet* CurrentResultSet();

  // --- walks over the engine lists (after a First operation) ------------------------------
  OptModel* NextOptModel();
  OptVariable* NextOptVariable();
  AnlModel* NextAnlModel();
  AttLbcCase* NextLoadCase();
  AttLbcCase* NextRestraintCase();

  // A new set of the listed design variables that are not erased; the caller deletes it.
  OptVariableSet* GetDesignVariables(OptModel* model = nullptr);

 protected:
  // The engine lists that the First operations walk. An override refills them (clear, then
  // append) before calling the engine's First operation.
  CaeCursorList<OptModel> optModels_;
  CaeCursorList<OptVariable> optVariables_;
  CaeCursorList<AnlModel> anlModels_;
  CaeCursorList<AttLbcCase> loadCases_;
  CaeCursorList<AttLbcCase> restraintCases_;

 private:
  CaeString name_;
  CaeString location_;
  void* owner_ = nullptr;
  bool loaded_ = false;
  bool saved_ = false;
  OptModel* currentOptModel_ = nullptr;
  AnlModel* currentAnlModel_ = nullptr;
  AttLbcCase* currentLoadCase_ = nullptr;
  AttLbcCase* currentRestraintCase_ = nullptr;
  FerResultSet* currentResultSet_ = nullptr;
  // Objects made by the engine's own New operations.
  std::vector<std::unique_ptr<OptModel>> ownedOptModels_;
  std::vector<std::unique_ptr<OptVariable>> ownedOptVariables_;
  std::vector<std::unique_ptr<AnlModel>> ownedAnlModels_;
  std::vector<std::unique_ptr<AttLbcCase>> ownedLbcCases_;
};
