#include "fea/AttLbcCase.h"

#include "LiveWalk.h"
#include "amg/CaeMsgCall.h"
#include "fea/AttLbc.h"

AttLbcCase::AttLbcCase(Category category) : category_(category) {}

// The name is set in the body too (see AnlModel's constructor).
AttLbcCase::AttLbcCase(const CaeString& name, Category category) : CaeName(name), category_(category) { Name(name); }

AttLbcCase::~AttLbcCase() = default;

AttBaseLbc* AttLbcCase::GetModelLbc(AttType type) {
  if (category_ == kRestraintSet) return nullptr;
  for (AttBaseLbc* lbc : lbcs_.Head()) {
    if (lbc->IsMarkedAsErased() || lbc->Type() != type || !lbc->Descriptor()) continue;
    const int kind = lbc->Descriptor()->kind;
    if (kind == AttKindModelLoad || kind == AttKindModelTemp) return lbc;
  }
  return nullptr;
}

AttBaseLbc* AttLbcCase::FirstLbc() { return fea_detail::FirstLive(lbcs_); }

AttBaseLbc* AttLbcCase::NextLbc() { return fea_detail::NextLive(lbcs_); }

std::vector<CaeString> AttLbcCase::LiveLbcNames() {
  std::vector<CaeString> names;
  for (AttBaseLbc* condition = FirstLbc(); condition; condition = NextLbc()) names.push_back(condition->Name());
  return names;
}

void AttLbcCase::AddLbc(AttBaseLbc* condition) {
  CAE_CHECK(condition);
  fea_detail::AppendOnce(lbcs_, condition);
}

void AttLbcCase::DeleteLbc(AttBaseLbc* condition) {
  CAE_CHECK(condition);
  condition->MarkAsErased();
}

int AttLbcCase::NumLbcs() { return CountLbcs(1); }

AttBaseLbc* AttLbcCase::GetLbc(int position) {
  int index = 1;
  for (AttBaseLbc* lbc : lbcs_.Head()) {
    if (index == position) return lbc;
    ++index;
  }
  return nullptr;
}

int AttLbcCase::CountLbcs(int liveOnly) { return liveOnly ? fea_detail::CountLive(lbcs_.Head()) : lbcs_.Count(); }
