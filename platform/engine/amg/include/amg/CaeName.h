// CaeName: the name of an engine object (a virtual base of the named engine classes).
#pragma once
#include "amg/CaeString.h"

class CaeName {
 public:
  CaeName() = default;
  explicit CaeName(const CaeString& name) : name_(name) {}
  virtual ~CaeName() = default;

  const CaeString& Name() const { return name_; }
  void Name(const CaeString& name) {
    AboutToRename();
    name_ = name;
  }
  void SetName(const CaeString& name) { Name(name); }

 protected:
  // Called before the name changes: an object kept elsewhere (a drawing's) that files its name
  // makes itself ready to record the change.
  virtual void AboutToRename() {}

 private:
  CaeString name_;
};
