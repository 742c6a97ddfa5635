#include "gui/wizard/UIWizard.h"

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

void UISaveWizardState(GuideDocState& state) { state = guide; }
void UIRestoreWizardState(const GuideDocState& state) { guide = state; }
void UIClearWizardState() { guide = GuideDocState(); }

CPropertySheet* UIGetWizardSheet() { return nullptr; }
void UIDestroyWizardSheet() {}
int UIShowWizardSheet(int) { return 0; }
bool UIIsWizardModeless() { return false; }
