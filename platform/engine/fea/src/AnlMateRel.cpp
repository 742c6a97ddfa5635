#include "fea/AnlMateRel.h"

CAE_DEFINE_TYPE_INFO(AttMateRel, CaeAttrib)

AnlMateRelPair::AnlMateRelPair(AttMateRel* first, AttMateRel* second) : first_(first), second_(second) {
  if (first_) first_->SetPair(this);
  if (second_) second_->SetPair(this);
}

void AnlMateRelPair::GetMateRels(AttMateRel*& first, AttMateRel*& second) {
  first = MateRel1();
  second = MateRel2();
}

void AnlMateRelPair::MarkAsErased() {
  CaeActive::MarkAsErased();
  if (AttMateRel* first = MateRel1()) first->MarkAsErased();
  if (AttMateRel* second = MateRel2()) second->MarkAsErased();
}
