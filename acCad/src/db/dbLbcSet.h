// Load sets and restraint sets kept in the drawing: entries of "LOAD_CASES" and
// "RESTRAINT_CASES", each one object that is both the host's drawing object and the engine's
// AttLbcCase.
//
// A set keeps its members as soft-pointer ids of condition entities in model space. Deleting a
// member erases its entity and leaves the id listed, so that undo needs no bookkeeping: counts
// and walks that refuse erased members pass over it, and so over ids that never open again (a
// record skipped on OPEN, an object removed by an aborted transaction).
//
// Members are opened in the innermost transaction of the set's drawing; every engine-side
// operation that opens members needs one to be active.
#pragma once

#include "amg/CaeString.h"
#include "arx/dbid.h"
#include "arx/dbobject.h"
#include "db/dbControl.h"
#include "fea/AttLbcCase.h"

class AcDbDatabase;
class AcDbTransactionManager;
class AttBaseLbc;

// Which entity restores a member after loading; the engine class of its condition decides.
enum class DbLbcRoute { ModelLbc, ModelTemp, Convection, HeatGeneration, Lbc };
// A restraint set always takes the Lbc route.
DbLbcRoute dbLbcRouteOf(const AttBaseLbc* condition, AttLbcCase::Category category);

// CaepAnlControl::NewLoadCase and NewRestraintCase, defined with the sets, make a set of that name
// and hand it to the control's Add. A name that the control does not accept for a new set is
// printed and nothing is made: null.

class CaepLbcSetObj : public AcDbObject, public AttLbcCase, public DbShownObject {
 public:
  ~CaepLbcSetObj() override;

  const AcDbObjectIdArray& ConditionIds() const { return conditionIds_; }
  // The drawing's erased state, which an aborted transaction restores without telling the set.
  bool IsErased() const override { return isErased(); }

  // --- engine side -----------------------------------------------------------------------
  // Rebuilds the engine list from the live members and starts the engine's walk.
  AttBaseLbc* FirstLbc() override;
  std::vector<CaeString> LiveLbcNames() override;
  // Posts the condition's entity to model space (left open for the caller to close) on layer
  // "CAE_LBC" and lists it. An entity already in the drawing is only listed.
  void AddLbc(AttBaseLbc* condition) override;
  // Erases the condition's entity; its id stays listed.
  void DeleteLbc(AttBaseLbc* condition) override;
  // Every listed id, erased members included.
  int NumLbcs() override;
  // The member at a 1-based position, erased ones included; null for one that never opens.
  // A position outside 1..NumLbcs is a consistency check.
  AttBaseLbc* GetLbc(int position) override;

  // Flag 0: the members that open (erased ones refused); flag 1: the members whose engine part
  // is not marked erased.
  int CountLbcs(int flag);
  // The n-th live member (1-based), or null when there are fewer; n outside 1..CountLbcs(0) is
  // a consistency check.
  AttBaseLbc* LiveLbc(int n);
  // Marks every member's graphics modified, erased members included (the set became current or
  // stopped being current).
  void RedrawConditions();
  // What the control calls when the set becomes or stops being current.
  void MarkGraphicsModified() override { RedrawConditions(); }
  // After loading: each member's entity finishes its restoration and is marked not current. An
  // engine exception ends this set's pass with its text printed; members that never open are
  // named once.
  void Reconcile();

  // Renames the set and re-keys its dictionary entry. A name that the control does not accept
  // for a new set is printed and changes nothing: false.
  bool Rename(const CaeString& name);

  // --- host side -------------------------------------------------------------------------
  // Every open brings the engine's erased mark in step with the drawing: an aborted transaction
  // restores the drawing's erased state without calling subErase.
  Acad::ErrorStatus subOpen(AcDb::OpenMode mode) override;
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;

 protected:
  explicit CaepLbcSetObj(Category category);
  CaepLbcSetObj(const CaeString& name, Category category);

  virtual const char* ClassName() const = 0;
  DbStoredKind Kind() const { return GetCategory() == kLoadSet ? DbStoredKind::LoadCase : DbStoredKind::RestraintCase; }
  // The members' entities opened in turn: each id with `visit(entity, condition)`, where both
  // are null for a member that does not open.
  template <class Visit>
  void ForEachMember(AcDb::OpenMode mode, bool openErased, Visit&& visit);

 private:
  AttBaseLbc* ConditionOf(AcDbObjectId id, AcDb::OpenMode mode, bool openErased);
  // What was read, applied at once: the name (a default one when empty), the member ids and
  // the registration with the drawing's control.
  void Adopt(std::string name, const AcDbObjectIdArray& ids, int nullIds);
  std::string Label() const;

  AcDbObjectIdArray conditionIds_{0, 8};
};

class CaepLoadCaseObj final : public CaepLbcSetObj {
 public:
  ACRX_DECLARE_MEMBERS(CaepLoadCaseObj);
  static void rxInit();

  CaepLoadCaseObj() : CaepLbcSetObj(kLoadSet) {}
  explicit CaepLoadCaseObj(const CaeString& name) : CaepLbcSetObj(name, kLoadSet) {}

  // The first live member of that type whose descriptor kind is model-level (2 or 3), or null.
  AttBaseLbc* GetModelLbc(AttType type) override;

 protected:
  const char* ClassName() const override { return "CaepLoadCaseObj"; }
};

class CaepRestraintCaseObj final : public CaepLbcSetObj {
 public:
  ACRX_DECLARE_MEMBERS(CaepRestraintCaseObj);
  static void rxInit();

  CaepRestraintCaseObj() : CaepLbcSetObj(kRestraintSet) {}
  explicit CaepRestraintCaseObj(const CaeString& name) : CaepLbcSetObj(name, kRestraintSet) {}

 protected:
  const char* ClassName() const override { return "CaepRestraintCaseObj"; }
};
