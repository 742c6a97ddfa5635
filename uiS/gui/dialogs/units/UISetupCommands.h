// Setup-dialog entry points that the frame calls. Until the setup dialogs are part of the
// system each says on the command line that it is not available yet.
#pragma once

int UICmdSetupTab();  // "CAEP_SETUP_TAB"
// "Add Mesh".
void UIMeshAdd();
