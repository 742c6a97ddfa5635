// Load sets and restraint sets: named groups of conditions, one of each kind current per control.
//
// The set keeps an engine list of its conditions (not owned). Its list operations are virtual: a
// drawing's set keeps its members in the drawing and refills the engine list before the engine's
// FirstLbc. GetLbc counts every listed member (erased ones included); NumLbcs and the walks pass
// over members marked erased.
#pragma once

#include <vector>

#include "amg/CaeActive.h"
#include "amg/CaeList.h"
#include "amg/CaeName.h"
#include "fea/AttTypes.h"

class AttBaseLbc;

class AttLbcCase : public virtual CaeActive, public virtual CaeName {
 public:
  enum Category : int { kLoadSet = 0, kRestraintSet = 1 };

  explicit AttLbcCase(Category category = kLoadSet);
  AttLbcCase(const CaeString& name, Category category);
  ~AttLbcCase() override;
  AttLbcCase(const AttLbcCase&) = delete;
  AttLbcCase& operator=(const AttLbcCase&) = delete;

  const CaeString& GetName() const { return Name(); }
  Category GetCategory() const { return category_; }
  void MakeCurrent() { MarkAsCurrent(); }
  void MakeUncurrent() { MarkAsNotCurrent(); }
  // Whether the set is erased: its mark here; a set kept in a drawing answers from the drawing.
  virtual bool IsErased() const { return IsMarkedAsErased(); }

  // The first live member of a model-level type (descriptor kind 2 or 3) with that type code,
  // or null. A restraint set has none.
  virtual AttBaseLbc* GetModelLbc(AttType type);

  // --- virtual operations ----------------------------------------------------------------
  virtual AttBaseLbc* FirstLbc();
  virtual void AddLbc(AttBaseLbc* condition);
  // Marks the member erased; it stays listed.
  virtual void DeleteLbc(AttBaseLbc* condition);
  virtual int NumLbcs();
  // The member at a 1-based position, erased ones included; null out of range.
  virtual AttBaseLbc* GetLbc(int position);

  // The live members' names in order, for listing them: a set kept in a drawing reads its members
  // without opening them for change (each such open keeps a copy for undo).
  virtual std::vector<CaeString> LiveLbcNames();

  // Continues the walk of FirstLbc.
  AttBaseLbc* NextLbc();
  // With liveOnly: the members not marked erased; else every listed member.
  int CountLbcs(int liveOnly);

 protected:
  CaeCursorList<AttBaseLbc> lbcs_;

 private:
  Category category_;
};
