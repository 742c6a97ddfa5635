// Any window as text, for scripts, tests and debugging. One line for the window, then one
// indented line per child in creation order:
//   dialog 103 "Drawing Length Unit"
//     combo 1000 "meter" [meter|centimeter|*millimeter]
//     button 1 "OK" default
//     button 2 "Cancel" disabled
// Values: check state of check boxes and radios ("checked"), combo and list entries with the
// selected one starred, positions and ranges of sliders, spins and progress bars, rows of list
// controls, items of trees (indented by level, "*" selected, "+" collapsed with children), tabs.
// Flags: "disabled", "hidden", "default", "read-only". A hidden child dialog (an inactive
// property page) is one line without its controls. Message boxes, file dialogs and menus have
// their own forms.
#pragma once
#include <string>

#include "mfc/driver.h"

class CMenu;

namespace mfc {

std::string renderWindow(HWND window);
std::string renderMessageBox(const MessageBoxRequest& box);
std::string renderFileDialog(const FileDialogRequest& dialog);
std::string renderMenu(const CMenu& menu);

}  // namespace mfc
