// Mating relations: two faces (or edges) of an assembly that the analysis joins, as a named pair
// of relations. Each relation is an attribute on one of the two references.
#pragma once

#include "amg/CaeAttrib.h"
#include "amg/CaeName.h"

class AnlMateRelPair;

class AttMateRel : public CaeAttrib {
 public:
  CAE_DECLARE_TYPE_INFO;
  AttMateRel() = default;
  explicit AttMateRel(CaeTopoRef* ref) : CaeAttrib(ref) {}
  CaeTypeId GetInfo() const override { return Info; }
  virtual void SetPair(AnlMateRelPair* pair) { pair_ = pair; }
  virtual AnlMateRelPair* Pair() { return pair_; }

 private:
  AnlMateRelPair* pair_ = nullptr;
};

// The pair; it refers to its relations without owning them.
class AnlMateRelPair : public virtual CaeActive, public virtual CaeName {
 public:
  AnlMateRelPair() = default;
  AnlMateRelPair(AttMateRel* first, AttMateRel* second);
  // Both relations (either may be null).
  virtual void GetMateRels(AttMateRel*& first, AttMateRel*& second);
  virtual AttMateRel* MateRel1() { return first_; }
  virtual AttMateRel* MateRel2() { return second_; }
  // Erasing the pair erases its relations too.
  void MarkAsErased() override;

 private:
  AttMateRel* first_ = nullptr;
  AttMateRel* second_ = nullptr;
};
