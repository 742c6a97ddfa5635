// Default names proposed for new simulation models, load sets, restraint sets and optimisation
// models: a stem from the drawing's name, the kind's suffix and, when the name is taken, a
// counter. The four UIDefault*Name functions take the names in use from the current analysis
// control; UIDefaultNameAvoiding, under them, takes them from its caller.
#pragma once
#include <vector>

#include "amg/CaeString.h"

enum class UIDefaultNameKind { SimModel, LoadSet, RestraintSet, OptModel };

// The kind's suffix (a string-table id) and the characters kept free below the CAD's name
// limit (simulation-model names are six shorter than the limit where they are typed).
struct UIDefaultNameRule {
  unsigned suffixId;
  int reserve;
};
UIDefaultNameRule UIDefaultNameRuleOf(UIDefaultNameKind kind);

// CadIsValidName for an engine text.
int UIIsValidDefaultName(const CaeString& name);

// The first candidate: an empty or invalid base becomes "Model", the base is cut so that it,
// the suffix and the reserve fit within CadInterface::MaxNameLength, and the suffix follows.
void UINormalizeDefaultName(CaeString& base, unsigned suffixId, int reserve);

// The first candidate that none of `taken` bears, compared ignoring case (as models and sets
// are looked up): the normalised base, then with 1, 2, ... appended. The stem is cut further
// as the counter grows, so every candidate keeps within the limit less the reserve.
CaeString UIDefaultNameAvoiding(CaeString base, UIDefaultNameKind kind, const std::vector<CaeString>& taken);

// The proposal for a new object of the kind, unique among the current analysis control's objects
// of that kind that are not marked erased (all of them free without a control). For load and
// restraint sets an empty base is first replaced by the current simulation model's name.
CaeString UIDefaultSimModelName(CaeString base);
CaeString UIDefaultLoadSetName(CaeString base);
CaeString UIDefaultRestraintSetName(CaeString base);
CaeString UIDefaultOptModelName(CaeString base);
