// The layers the add-in's drawing entities live on, and switching them on and off.
//
// All functions work on the working database of the host's application services and keep no
// state. A failed host call is a consistency check (MSG_GENERAL_ERROR, then CaeExcept).
#pragma once

#include "arx/dbid.h"

// Layer selectors of acShowCaeLayer; any other number selects nothing.
enum AcCaeLayer { kCaeLayerMesh = 1, kCaeLayerLbc = 2, kCaeLayerOpt = 3, kCaeLayerMateRel = 4 };

// The name of a selector ("CAE_MESH", "CAE_LBC", "CAE_OPT", "CAE_MATEREL"), or null for any
// other number.
const char* acCaeLayerName(int number);

// The id of the layer record called `name`, created when missing: thawed, on, not frozen in new
// viewports, unlocked, with the linetype "CONTINUOUS". Calling it again returns the same id. A
// null name is a consistency check.
void acGetLayer(const char* name, AcDbObjectId& id);

// Switches layer `number` (1 to 4) on (on != 0) or off when it exists. Returns 1 when the layer
// was on before the call; 0 when it was off, does not exist, its record cannot be opened, or the
// number is not 1 to 4. Never reports and never creates a layer.
int acShowCaeLayer(int number, int on);

// acShowCaeLayer for 1, 2, 3 and 4 in that order; returns the result for 4.
int acShowCaeLayers(int on);
