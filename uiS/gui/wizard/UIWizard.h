// The guide's state that the frame keeps per drawing and marks as steps are done.
//
// Steps: 0 introduction, 1 problem definition, 2 units, 3 loads, 4 restraints, 5 mating
// relations, 6 analyze, 7 results. The state table lives here whether or not a guide sheet is
// open; no guide sheet exists until the guide is part of the system.
#pragma once
#include "cadInterface/CadUiServices.h"
#include "mfc/cstring.h"

class CPropertySheet;

// Records whether `step` (0 to 7) is done; other steps are ignored. The third argument is not
// used. Never fails; answers 0.
int UISetWizardTabState(int step, int done, int unused = 0);
// Whether `step` is recorded done (0 for steps outside 0 to 7).
int UIGetWizardTabState(int step);
// Clears the whole guide state (unload, and between tests).
void UIClearWizardState();
