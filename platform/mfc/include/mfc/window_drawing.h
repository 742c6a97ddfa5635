// What was drawn on a window through the device contexts GetDC gave for it: each context's
// recorded operations are kept with the window when the context is released.
#pragma once
#include <string>
#include <vector>

#include "mfc/wintypes.h"

namespace mfc {
// The operations of the released GetDC contexts of `window`, oldest first (empty for a dead one).
std::vector<std::string> windowDrawing(HWND window);
void clearWindowDrawing(HWND window);
}  // namespace mfc
