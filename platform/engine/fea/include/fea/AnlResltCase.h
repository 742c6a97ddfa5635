// Analysis result cases: what one analysis solves, as load sets and restraint sets with scale
// factors. Each entry (AnlLbcCase) refers to its set without owning it; the case owns its entries.
#pragma once

#include <memory>
#include <vector>

#include "amg/CaeActive.h"
#include "amg/CaeName.h"
#include "fea/AnlTypes.h"

class AttLbcCase;

// One set in a result case, with its scale factor and category (0 load, 1 restraint).
class AnlLbcCase : public virtual CaeActive {
 public:
  AnlLbcCase(AttLbcCase* set, double scale, int category, long id = 0)
      : set_(set), scale_(scale), category_(category), id_(id) {}
  // Virtual so that an entry kept in a drawing can reach its set by id.
  virtual AttLbcCase* LbcCase() const { return set_; }
  double Scale() const { return scale_; }
  void Scale(double scale) { scale_ = scale; }
  int Category() const { return category_; }
  long Id() const { return id_; }
  void Id(long id) { id_ = id; }

 private:
  AttLbcCase* set_;
  double scale_;
  int category_;
  long id_;
};

class AnlResltCase : public virtual CaeActive, public virtual CaeName {
 public:
  AnlResltCase();
  // The second argument is the engine's in-memory flag; it changes nothing here.
  explicit AnlResltCase(const CaeString& name, int inMemory = 1);
  ~AnlResltCase() override;
  AnlResltCase(const AnlResltCase&) = delete;
  AnlResltCase& operator=(const AnlResltCase&) = delete;

  AnlResltType Type() const { return type_; }
  void Type(AnlResltType type) { type_ = type; }

  // --- virtual operations ----------------------------------------------------------------
  // Adds an entry for a load set (category 0) or restraint set (category 1); answers it.
  virtual AnlLbcCase* AddLoadCase(AttLbcCase* set, double scale);
  virtual AnlLbcCase* AddBoundaryCase(AttLbcCase* set, double scale);
  // Removes and deletes the entry; 0 when it is not one of this case's.
  virtual int RemoveLoadCase(AnlLbcCase* entry);
  virtual int RemoveBoundaryCase(AnlLbcCase* entry);
  virtual int NumLoadCase();
  virtual int NumBoundaryCase();
  // Starts a walk over the entries of a category (0 load, 1 restraint); entries whose set is
  // marked erased are passed over.
  virtual AnlLbcCase* FirstLbcCase(int category);

  // Virtual so that a case whose entries live elsewhere can continue its own walk.
  virtual AnlLbcCase* NextLbcCase();

 private:
  static int Remove(std::vector<std::unique_ptr<AnlLbcCase>>& entries, AnlLbcCase* entry);
  AnlLbcCase* Advance();
  AnlResltType type_ = AnlResltStatic;
  std::vector<std::unique_ptr<AnlLbcCase>> loads_;
  std::vector<std::unique_ptr<AnlLbcCase>> restraints_;
  std::vector<std::unique_ptr<AnlLbcCase>>* walk_ = nullptr;
  std::size_t cursor_ = 0;
};
