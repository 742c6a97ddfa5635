// The guide's state that the frame keeps per drawing and marks as steps are done.
//
// Steps: 0 introduction, 1 problem definition, 2 units, 3 loads, 4 restraints, 5 mating
// relations, 6 analyze, 7 results. The state table lives here whether or not a guide sheet is
// open; no guide sheet exists until the guide is part of the system.
#pragma once
#include "mfc/cstring.h"

class CPropertySheet;

// A drawing's saved guide state: remembered page, current part name and the eight step states.
struct GuideDocState {
  int page = 0;
  CString partName;
  int steps[8] = {};
};

// Records whether `step` (0 to 7) is done; other steps are ignored. The third argument is not
// used. Never fails; answers 0.
int UISetWizardTabState(int step, int done, int unused = 0);
// Whether `step` is recorded done (0 for steps outside 0 to 7).
int UIGetWizardTabState(int step);
// Step 1 takes `problemDefinitionState`, steps 2 to 7 are cleared, a remembered page other than 0
// goes back to 1.
void UIResetWizardSteps(int problemDefinitionState);
void UISaveWizardState(GuideDocState& state);
void UIRestoreWizardState(const GuideDocState& state);
// Clears the whole guide state (unload, and between tests).
void UIClearWizardState();

// The guide sheet, or null; none exists yet.
CPropertySheet* UIGetWizardSheet();
void UIDestroyWizardSheet();
// Shows or hides the guide sheet; answers whether it was visible (0 without one).
int UIShowWizardSheet(int show);
bool UIIsWizardModeless();
