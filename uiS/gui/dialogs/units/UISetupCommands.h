// Setup-dialog entry points that the frame calls. Those whose dialogs are not part of the system
// yet say on the command line that they are not available.
#pragma once

#include "gui/dialogs/units/UISetupPS.h"  // UICmdSetupTab, "CAEP_SETUP_TAB"

// "Add Mesh".
void UIMeshAdd();
