// String-table texts of the localised resource library, loaded or printed on the command line.
// An id without text is a consistency check (MSG_GENERAL_ERROR, then CaeExcept).
#pragma once

#include "amg/CaeString.h"

// Puts the text of `id` into `text`; returns 1.
int acLoadString(unsigned id, CaeString& text);

// Prints the text of `id` and then "\n" on the command line; returns 1.
int acPrintString(unsigned id);
