#include "gui/dialogs/units/UISetupCommands.h"

#include "gui/utils/UINotAvailable.h"

int UICmdSetupTab() { return UINotAvailableYet("CAEP_SETUP_TAB"); }
void UIMeshAdd() { UINotAvailableYet("Add Mesh"); }
