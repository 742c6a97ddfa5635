// Host commands of the front end that need the windowing toolkit:
//   WAIT [seconds]     handles window messages and timers until the seconds have passed or,
//                      without a number, until no loaded application reports pending work
//                      (at most kLongestWaitSeconds, then it fails and says how much is left);
//                      with the toolkit's test clock, the clock moves as the wait goes on
//   BROWSERTABS [show] the current drawing's browser tabs; "show" also prints each tab's window
// and the window "@" lines act on while no dialog waits: the current drawing's newest tab.
#pragma once
#include "mfc/wintypes.h"

namespace cadhost {

inline constexpr int kLongestWaitSeconds = 3600;

// Registers WAIT and BROWSERTABS as built-in commands (built-in names win over the part
// modeller's BROWSERTABS, whose list this one prints first).
void addFrontEndCommands();
// The window of the current drawing's newest browser tab, or null.
HWND currentBrowserTabWindow();

}  // namespace cadhost
