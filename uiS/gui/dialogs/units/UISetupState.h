// Module-wide memory of the setup dialogs: remembered sheet positions, the symbol defaults and
// the optimisation wizard kind, the options sheet's last page and the last material chosen. Nothing
// of it is filed.
#pragma once

// Forgets all of it and frees what it holds (add-in load and unload, tests).
void UISetupResetModuleState();
