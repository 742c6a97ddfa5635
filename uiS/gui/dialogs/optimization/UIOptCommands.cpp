#include "gui/dialogs/optimization/UIOptCommands.h"

#include <string>
#include <vector>

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlResltCase.h"
#include "fea/AttLbcCase.h"
#include "fea/OptModel.h"
#include "gui/utils/UINotAvailable.h"
#include "res/ResourceIds.h"

namespace {

const char* KindName(int kind, const char* shape, const char* conceptText) { return kind == 1 ? conceptText : shape; }

}  // namespace

int UIOptWizardCommand(int kind) {
  return UINotAvailableYet(KindName(kind, "The shape optimization wizard", "The Concept optimization wizard"));
}
int UIOptNewConstraint(int kind) {
  return UINotAvailableYet(KindName(kind, "New design constraints", "New Concept controls"));
}
int UIOptShowResults(int kind, int) {
  return UINotAvailableYet(KindName(kind, "Shape optimization results", "Concept optimization results"));
}
int UIOptWizardVariable() { return UINotAvailableYet("Defining design variables"); }
int UIOptWizardConstraint() { return UINotAvailableYet("New design constraints"); }

namespace {

struct SetUse {
  AnlResltCase* resultCase;
  AnlLbcCase* entry;
};

// The entries of live analysis result cases of live optimisation models that name `set`.
std::vector<SetUse> UsesOfSet(AnlControl& control, AttLbcCase* set) {
  std::vector<SetUse> uses;
  const int category = set->GetCategory();
  std::vector<OptModel*> models;
  for (OptModel* model = control.FirstOptModel(); model; model = control.NextOptModel())
    if (!model->IsMarkedAsErased()) models.push_back(model);
  for (OptModel* model : models)
    for (AnlResltCase* rc = model->FirstAnlResultCase(0); rc; rc = model->NextAnlResultCase()) {
      if (rc->IsMarkedAsErased()) continue;
      for (AnlLbcCase* entry = rc->FirstLbcCase(category); entry; entry = rc->NextLbcCase())
        if (entry->LbcCase() == set) uses.push_back({rc, entry});
    }
  return uses;
}

}  // namespace

int UIOptReleaseLbcCase(AttLbcCase* set, int ask) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control || !set) return 0;
  const std::vector<SetUse> uses = UsesOfSet(*control, set);
  if (uses.empty()) return 0;
  if (ask) {
    std::string names;
    for (const SetUse& use : uses) {
      if (names.find(use.resultCase->Name().Text()) != std::string::npos) continue;
      names += (names.empty() ? "" : ", ") + std::string(use.resultCase->Name().Text());
    }
    const unsigned textId =
        set->GetCategory() == AttLbcCase::kLoadSet ? IDS_OPT_LOAD_SET_IN_USE : IDS_OPT_RESTRAINT_SET_IN_USE;
    std::string text = resLoadString(textId).Text();
    const size_t insert = text.find("%s");
    if (insert != std::string::npos) text.replace(insert, 2, names);
    if (CadMessageBoxText(text.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) return -1;
  }
  for (const SetUse& use : uses) {
    if (set->GetCategory() == AttLbcCase::kLoadSet)
      use.resultCase->RemoveLoadCase(use.entry);
    else
      use.resultCase->RemoveBoundaryCase(use.entry);
  }
  return static_cast<int>(uses.size());
}
