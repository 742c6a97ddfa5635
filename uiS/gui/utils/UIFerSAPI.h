// Results display and print entry points that the frame calls.
//
// The handlers say on the command line that they are not available yet until the results
// dialogs are part of the system; the services do what they can without them.
#pragma once
#include "amg/CaeString.h"
#include "cadInterface/CadUiServices.h"

int UIWriteVrml();     // "CAEP_WRITE_VRML"
int UIPrintSetup();    // command-table entry 48
int UIPrintResults();  // command-table entry 49
// "CAEP_RESULTS_TAB"'s work.
void UIShowResultsSheet();
// Makes the current simulation model's result set of that name the current one, or clears the
// current result set when there is none of that name (or no model).
void UISetResultSet(const CaeString& name);
