// The add-in's pull-down menu on the host's menu bar: the menu file (group "CAEP", pull-down
// "caep.pop1") is loaded and its pull-down inserted or taken off by LISP expressions queued for
// the host to evaluate when it is idle, never inside the running command.
#pragma once
#include "amg/CaeString.h"

// Computes the menu base name once (the application object is built): "caep" and the locale, or
// "caepENU" when no menu file of that name is on the host's search path.
void acMenuBaseName();
// The base name computed last ("" before the first computation).
const CaeString& acCurrentMenuBaseName();

// "CAEP_INSTALL_MENUS": queues the menu load (or, with the group loaded, the pull-down's
// removal) and the pull-down's insertion before the last pull-down of the bar. 0 without doing
// anything when the menu file is missing.
int acInstallMenus();
// "CAEP_RESET_MENUS": queues the unload of the group and puts the host's help pull-down
// ("acad.pop16") back at P11 unless it is on the bar already. 1 when everything was queued.
int acResetMenus();
// Queues the string-table text `stringId` as an expression; 0 without queueing for an empty text.
int acQueueStringExpr(unsigned stringId);

// Forgets the base name (unload, tests).
void acResetMenuState();
