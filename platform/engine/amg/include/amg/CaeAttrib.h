// CaeAttrib: an engine object attached to a piece of topology (conditions, meshes, mesh uses,
// constraints, mating relations). It holds the topology reference it sits on (not owned) and
// reacts to what happens to it.
//
// Virtual operations, in this order: destructor, UponTopoRefDelete, UponTopoRefModify,
// UponTopoRefErase, GetInfo. The engine's own reactions: Delete forgets the reference; Modify does
// nothing; Erase marks the attribute erased. Derived classes override Modify and Erase.
#pragma once
#include "amg/CaeActive.h"
#include "amg/CaeTypeInfo.h"

class CaeTopoRef;

class CaeAttrib : public virtual CaeActive {
 public:
  CAE_DECLARE_TYPE_INFO;

  CaeAttrib() = default;
  explicit CaeAttrib(CaeTopoRef* ref) : ref_(ref) {}
  ~CaeAttrib() override = default;

  // The reference is only stored: attaching the attribute to the reference's list is the caller's
  // (CaeTopoRef::AddAttribute).
  void SetTopoRef(CaeTopoRef* ref) { ref_ = ref; }
  CaeTopoRef* GetTopoRef() const { return ref_; }

  virtual void UponTopoRefDelete();
  virtual void UponTopoRefModify();
  virtual void UponTopoRefErase();
  virtual CaeTypeId GetInfo() const;

 private:
  CaeTopoRef* ref_ = nullptr;
};
