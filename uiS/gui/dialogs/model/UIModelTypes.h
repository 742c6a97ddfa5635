// The names of the analysis types (0 stress, 1 vibration, 2 buckling, 3 heat transfer) and of
// their guides, as string-table ids.
#pragma once
#include "mfc/wintypes.h"

// 0 for a type outside 0 to 3.
UINT UIModelTypeNameId(int type);
UINT UIGuideNameId(int type);
bool UIIsModelType(int type);
