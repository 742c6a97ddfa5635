// WINDOWS: the host's top-level windows for scripts. "WINDOWS list" lists them (title, class of
// window, shown or hidden), "WINDOWS show TITLE" prints a window as text and what its picture
// shows, "WINDOWS png TITLE FILE" saves its picture as a PNG file (written whole or not at all).
#pragma once

namespace cadhost {

void registerWindowsCommand();

}  // namespace cadhost
