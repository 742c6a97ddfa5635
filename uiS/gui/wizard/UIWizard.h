// The guide's state: the one guide sheet, the remembered step, the eight step marks and the guide
// kind, module-wide while the add-in is loaded, and the functions through which the rest of the
// system reads and changes them. The material name is UICurrentMaterialName (the materials
// page's); each drawing keeps its own copy of step, material name and marks (GuideDocState).
//
// Steps: 0 introduction, 1 problem definition, 2 units, 3 loads, 4 restraints, 5 mating
// relations, 6 analyze, 7 results. Kinds: 0 stress, 1 vibration, 2 buckling, 3 heat transfer.
#pragma once
#include "cadInterface/CadUiServices.h"
#include "mfc/cstring.h"

class CAnlWizPS;

inline constexpr int kGuideSteps = 8;
inline constexpr int kGuideKindVibration = 1;
inline constexpr int kGuideKindHeat = 3;

// Records whether `step` (0 to 7) is done; other steps are ignored. With a guide sheet open the
// step's tab shows the check mark (vibration has no tab for step 3) at once, and the active page
// refreshes its buttons later, once for a burst of changes. The third argument is not used.
// Never fails; answers 0.
int UISetWizardTabState(int step, int done, int unused = 0);
// Whether `step` is recorded done (0 for steps outside 0 to 7).
int UIGetWizardTabState(int step);
// Records a state without touching a window; for step 1 it also clears steps 2 to 7 and moves a
// remembered step other than 0 back to 1.
void UIRecordWizardStepState(int step, int done);
// The tab of a step: the step, except for vibration, where step 3 has none (-1) and steps 4 to 7
// sit on tabs 3 to 6.
int UIWizardTabIndex(int step);
int UIWizardTabIndex(int step, int kind);
// The step a tab shows (the inverse of UIWizardTabIndex).
int UIWizardStepOfTab(int tab, int kind);
// The guide kind: that of the guide built last, -1 before any.
int UIGetWizardKind();
int UIGetWizardKind(const CAnlWizPS* sheet);
// The remembered step: the page the guide shows when it is (re)built or restored.
int UIGetWizardStep();
void UISetWizardStep(int step);
// Clears the whole guide state and destroys the guide (unload, and between tests).
void UIClearWizardState();

// The guide sheet, or null.
CAnlWizPS* UIGetGuideSheet();
// The guide sheet enters and leaves the state as it is made and destroyed.
void UIEnterGuideSheet(CAnlWizPS* sheet);
void UILeaveGuideSheet(const CAnlWizPS* sheet);
void UISetWizardKind(int kind);
// Applies the recorded marks to the tabs and shows the remembered step (first activation, a
// restored drawing state).
void UIApplyWizardState(CAnlWizPS& sheet);
