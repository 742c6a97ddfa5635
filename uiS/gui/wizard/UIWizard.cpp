#include "gui/wizard/UIWizard.h"

#include "gui/dialogs/units/UIMaterialPP.h"
#include "gui/wizard/UIWizPS.h"

namespace {

struct GuideState {
  CAnlWizPS* sheet = nullptr;
  int step = 0;
  int states[kGuideSteps] = {};
  int kind = -1;
};
GuideState guide;

bool IsStep(int step) { return step >= 0 && step < kGuideSteps; }

}  // namespace

int UIWizardTabIndex(int step, int kind) {
  if (kind != kGuideKindVibration || step < 3) return step;
  return step == 3 ? -1 : step - 1;
}
int UIWizardTabIndex(int step) { return UIWizardTabIndex(step, guide.kind); }

int UIWizardStepOfTab(int tab, int kind) { return kind == kGuideKindVibration && tab >= 3 ? tab + 1 : tab; }

int UIGetWizardKind() { return guide.kind; }
int UIGetWizardKind(const CAnlWizPS* sheet) { return sheet ? sheet->Kind() : guide.kind; }
void UISetWizardKind(int kind) { guide.kind = kind; }

int UIGetWizardStep() { return guide.step; }
void UISetWizardStep(int step) {
  if (IsStep(step)) guide.step = step;
}

int UISetWizardTabState(int step, int done, int) {
  if (!IsStep(step)) return 0;
  guide.states[step] = done ? 1 : 0;
  if (!guide.sheet || (guide.kind == kGuideKindVibration && step == 3)) return 0;
  guide.sheet->ShowStepMark(step, guide.states[step] != 0);
  guide.sheet->RequestPageRefresh();
  return 0;
}

int UIGetWizardTabState(int step) { return IsStep(step) ? guide.states[step] : 0; }

void UIRecordWizardStepState(int step, int done) {
  if (!IsStep(step)) return;
  guide.states[step] = done ? 1 : 0;
  if (step != 1) return;
  for (int later = 2; later < kGuideSteps; ++later) guide.states[later] = 0;
  if (guide.step != 0) guide.step = 1;
}

void UIResetWizardSteps(int problemDefinitionState) {
  UISetWizardTabState(1, problemDefinitionState);
  if (guide.step != 0) guide.step = 1;
  if (guide.sheet) guide.sheet->ShowStep(guide.step);
  for (int step = 2; step < kGuideSteps; ++step) UISetWizardTabState(step, 0);
}

void UISaveWizardState(GuideDocState& state) {
  state.page = guide.step;
  state.partName = UICurrentMaterialName;
  for (int step = 0; step < kGuideSteps; ++step) state.steps[step] = guide.states[step];
}

void UIRestoreWizardState(const GuideDocState& state) {
  guide.step = IsStep(state.page) ? state.page : 0;
  UICurrentMaterialName = state.partName;
  for (int step = 0; step < kGuideSteps; ++step) guide.states[step] = state.steps[step] ? 1 : 0;
  if (guide.sheet) {
    guide.sheet->RenewTabImages();
    UIApplyWizardState(*guide.sheet);
  }
}

void UIApplyWizardState(CAnlWizPS& sheet) {
  for (int step = 0; step < kGuideSteps; ++step) UISetWizardTabState(step, guide.states[step]);
  sheet.ShowStep(guide.step);
}

void UIClearWizardState() {
  UIDestroyWizardSheet();
  guide = GuideState();
  UICurrentMaterialName.Empty();
}

CAnlWizPS* UIGetGuideSheet() { return guide.sheet; }
CPropertySheet* UIGetWizardSheet() { return guide.sheet; }

void UIEnterGuideSheet(CAnlWizPS* sheet) { guide.sheet = sheet; }
void UILeaveGuideSheet(const CAnlWizPS* sheet) {
  if (guide.sheet == sheet) guide.sheet = nullptr;
}

void UIDestroyWizardSheet() {
  if (CAnlWizPS* sheet = guide.sheet) sheet->Destroy();
}

int UIShowWizardSheet(int show) {
  CAnlWizPS* sheet = guide.sheet;
  if (!sheet || !sheet->m_hWnd) return 0;
  const int wasVisible = sheet->IsWindowVisible() ? 1 : 0;
  sheet->ShowWindow(show ? SW_SHOW : SW_HIDE);
  return wasVisible;
}

bool UIIsWizardModeless() { return guide.sheet && guide.sheet->IsModeless(); }
