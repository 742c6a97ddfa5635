#include "gui/dialogs/units/UISetupCommands.h"

#include "gui/utils/UINotAvailable.h"

void UIMeshAdd() { UINotAvailableYet("Add Mesh"); }
