// The results window's popup menu, its preparation when a drawing's results display is stored,
// and the newest results of the current simulation model.
#pragma once
#include "cadInterface/CadUiServices.h"
#include "mfc/wintypes.h"

// The popup-menu callback of the results display. Command 0 tracks the menu's first submenu
// at `point` (client coordinates of `window`); any other command is a chosen item: view
// dynamics, print, copy to the clipboard, the nine standard views, or close (the CAD main
// window becomes active and the results window is hidden). The first argument is not used.
void UIResultsPopupCommand(void* unused, POINT point, HWND window, UINT command);

// Shows the newest results of the current simulation model: a job that has results before a
// stored result set; `applyDefaults` goes to the display. Answers 1 when something was shown.
int UIShowLatestResults(int applyDefaults);
