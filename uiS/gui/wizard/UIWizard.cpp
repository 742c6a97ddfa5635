#include "gui/wizard/UIWizard.h"

#include "gui/dialogs/units/UIMaterialPP.h"

namespace {

constexpr int kSteps = 8;
GuideDocState guide;

bool IsStep(int step) { return step >= 0 && step < kSteps; }

}  // namespace

int UISetWizardTabState(int step, int done, int) {
  if (IsStep(step)) guide.steps[step] = done ? 1 : 0;
  return 0;
}

int UIGetWizardTabState(int step) { return IsStep(step) ? guide.steps[step] : 0; }

void UIResetWizardSteps(int problemDefinitionState) {
  guide.steps[1] = problemDefinitionState ? 1 : 0;
  for (int step = 2; step < kSteps; ++step) guide.steps[step] = 0;
  if (guide.page != 0) guide.page = 1;
}

// The material last chosen on the Materials page belongs to the drawing it was chosen in.
void UISaveWizardState(GuideDocState& state) {
  state = guide;
  state.currentMaterial = UICurrentMaterialName;
}
void UIRestoreWizardState(const GuideDocState& state) {
  guide = state;
  UICurrentMaterialName = state.currentMaterial;
}
void UIClearWizardState() {
  guide = GuideDocState();
  UICurrentMaterialName.Empty();
}

CPropertySheet* UIGetWizardSheet() { return nullptr; }
void UIDestroyWizardSheet() {}
int UIShowWizardSheet(int) { return 0; }
bool UIIsWizardModeless() { return false; }
