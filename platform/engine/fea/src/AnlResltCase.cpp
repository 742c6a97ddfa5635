#include "fea/AnlResltCase.h"

#include <algorithm>

#include "amg/CaeMsgCall.h"
#include "fea/AttLbcCase.h"

AnlResltCase::AnlResltCase() = default;

// The name is set in the body too (see AnlModel's constructor).
AnlResltCase::AnlResltCase(const CaeString& name, int) : CaeName(name) { Name(name); }

AnlResltCase::~AnlResltCase() = default;

AnlLbcCase* AnlResltCase::AddLoadCase(AttLbcCase* set, double scale) {
  CAE_CHECK(set);
  loads_.push_back(std::make_unique<AnlLbcCase>(set, scale, AttLbcCase::kLoadSet));
  return loads_.back().get();
}

AnlLbcCase* AnlResltCase::AddBoundaryCase(AttLbcCase* set, double scale) {
  CAE_CHECK(set);
  restraints_.push_back(std::make_unique<AnlLbcCase>(set, scale, AttLbcCase::kRestraintSet));
  return restraints_.back().get();
}

int AnlResltCase::Remove(std::vector<std::unique_ptr<AnlLbcCase>>& entries, AnlLbcCase* entry) {
  auto found = std::find_if(entries.begin(), entries.end(), [entry](const auto& e) { return e.get() == entry; });
  if (found == entries.end()) return 0;
  entries.erase(found);
  return 1;
}

int AnlResltCase::RemoveLoadCase(AnlLbcCase* entry) {
  walk_ = nullptr;
  return Remove(loads_, entry);
}

int AnlResltCase::RemoveBoundaryCase(AnlLbcCase* entry) {
  walk_ = nullptr;
  return Remove(restraints_, entry);
}

int AnlResltCase::NumLoadCase() { return static_cast<int>(loads_.size()); }

int AnlResltCase::NumBoundaryCase() { return static_cast<int>(restraints_.size()); }

AnlLbcCase* AnlResltCase::Advance() {
  while (walk_ && cursor_ < walk_->size()) {
    AnlLbcCase* entry = (*walk_)[cursor_].get();
    if (entry->LbcCase() && !entry->LbcCase()->IsMarkedAsErased()) return entry;
    ++cursor_;
  }
  return nullptr;
}

AnlLbcCase* AnlResltCase::FirstLbcCase(int category) {
  walk_ = category == AttLbcCase::kRestraintSet ? &restraints_ : &loads_;
  cursor_ = 0;
  return Advance();
}

AnlLbcCase* AnlResltCase::NextLbcCase() {
  if (!walk_ || cursor_ >= walk_->size()) return nullptr;
  ++cursor_;
  return Advance();
}
