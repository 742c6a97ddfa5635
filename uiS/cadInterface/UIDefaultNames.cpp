#include "cadInterface/UIDefaultNames.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <utility>

#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttLbcCase.h"
#include "fea/OptModel.h"
#include "res/ResourceIds.h"

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// The longest name the CAD allows; without a CAD, the neutral interface's limit.
int NameLimit() {
  if (CadInterface* cad = CadInterface::GetCurrent()) return cad->MaxNameLength();
  return 9999;
}

// An empty or invalid base becomes "Model".
std::string UsableBase(const CaeString& base) {
  if (base.Length() == 0 || !UIIsValidDefaultName(base)) return resLoadString(IDS_DEFAULT_BASE_NAME).Text();
  return base.Text();
}

// The base cut so that it and `tail` fit within the limit less the reserve, then the tail.
std::string Fitted(const std::string& base, const std::string& tail, int reserve) {
  const long room = static_cast<long>(NameLimit()) - reserve - static_cast<long>(tail.size());
  const std::size_t keep = room > 0 ? std::min(base.size(), static_cast<std::size_t>(room)) : 0;
  return base.substr(0, keep) + tail;
}

// The names of the live objects a walk of the current control meets.
template <class T>
std::vector<CaeString> LiveNames(T* (AnlControl::*first)(), T* (AnlControl::*next)()) {
  std::vector<CaeString> names;
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return names;
  for (T* object = (control->*first)(); object; object = (control->*next)())
    if (!object->IsMarkedAsErased()) names.push_back(object->Name());
  return names;
}

// Sets are named after the model they serve when no base is given.
CaeString SetBase(CaeString base) {
  if (base.Length() != 0) return base;
  AnlControl* control = AnlControl::GetCurrent();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  return model ? model->Name() : base;
}

}  // namespace

UIDefaultNameRule UIDefaultNameRuleOf(UIDefaultNameKind kind) {
  switch (kind) {
    case UIDefaultNameKind::SimModel: return {IDS_DEFAULT_SUFFIX_SIM_MODEL, 6};
    case UIDefaultNameKind::LoadSet: return {IDS_DEFAULT_SUFFIX_LOAD_SET, 0};
    case UIDefaultNameKind::RestraintSet: return {IDS_DEFAULT_SUFFIX_RESTRAINT_SET, 0};
    case UIDefaultNameKind::OptModel: return {IDS_DEFAULT_SUFFIX_OPT_MODEL, 0};
  }
  return {IDS_DEFAULT_SUFFIX_SIM_MODEL, 6};
}

int UIIsValidDefaultName(const CaeString& name) { return CadIsValidName(name.Text()); }

void UINormalizeDefaultName(CaeString& base, unsigned suffixId, int reserve) {
  base = CaeString(Fitted(UsableBase(base), resLoadString(suffixId).Text(), reserve));
}

CaeString UIDefaultNameAvoiding(CaeString base, UIDefaultNameKind kind, const std::vector<CaeString>& taken) {
  const UIDefaultNameRule rule = UIDefaultNameRuleOf(kind);
  const std::string stem = UsableBase(base);
  const std::string suffix = resLoadString(rule.suffixId).Text();
  const auto isTaken = [&taken](const std::string& candidate) {
    return std::any_of(taken.begin(), taken.end(),
                       [&candidate](const CaeString& name) { return SameIgnoringCase(name.Text(), candidate); });
  };
  // Candidates whose counters have as many digits all differ and `taken` is finite: the loop ends.
  for (std::size_t counter = 0;; ++counter) {
    const std::string tail = counter == 0 ? suffix : suffix + std::to_string(counter);
    const std::string candidate = Fitted(stem, tail, rule.reserve);
    if (!isTaken(candidate)) return CaeString(candidate);
  }
}

CaeString UIDefaultSimModelName(CaeString base) {
  return UIDefaultNameAvoiding(std::move(base), UIDefaultNameKind::SimModel,
                               LiveNames(&AnlControl::FirstAnlModel, &AnlControl::NextAnlModel));
}

CaeString UIDefaultLoadSetName(CaeString base) {
  return UIDefaultNameAvoiding(SetBase(std::move(base)), UIDefaultNameKind::LoadSet,
                               LiveNames(&AnlControl::FirstLoadCase, &AnlControl::NextLoadCase));
}

CaeString UIDefaultRestraintSetName(CaeString base) {
  return UIDefaultNameAvoiding(SetBase(std::move(base)), UIDefaultNameKind::RestraintSet,
                               LiveNames(&AnlControl::FirstRestraintCase, &AnlControl::NextRestraintCase));
}

CaeString UIDefaultOptModelName(CaeString base) {
  return UIDefaultNameAvoiding(std::move(base), UIDefaultNameKind::OptModel,
                               LiveNames(&AnlControl::FirstOptModel, &AnlControl::NextOptModel));
}
