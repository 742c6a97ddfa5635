// CaeActive: the state marks of persistent engine objects (a virtual base).
//
// Three independent marks: erased (starts clear), current (starts clear) and active (starts set).
// IsActive() is true when the object is active and not marked erased: marking an object erased
// makes it inactive until it is marked not erased again, while Deactivate() makes it inactive
// without erasing it. Every engine walk over a list passes over objects marked erased.
// The mark operations are virtual so that derived classes can extend them (for example a job
// that also drops its files when erased); overrides call the base operation.
#pragma once

class CaeActive {
 public:
  CaeActive() = default;
  virtual ~CaeActive() = default;

  virtual void MarkAsErased() { erased_ = true; }
  virtual void MarkAsNotErased() { erased_ = false; }
  bool IsMarkedAsErased() const { return erased_; }

  virtual void MarkAsCurrent() { current_ = true; }
  virtual void MarkAsNotCurrent() { current_ = false; }
  bool IsMarkedAsCurrent() const { return current_; }

  void Activate() { active_ = true; }
  void Deactivate() { active_ = false; }
  bool IsActive() const { return active_ && !erased_; }

 private:
  bool erased_ = false;
  bool current_ = false;
  bool active_ = true;
};
