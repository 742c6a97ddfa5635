// Importing results computed elsewhere: the solver's results file (".frd") and the input deck
// (".inp") it was computed from are converted by a job in a folder of its own and read into the
// results state, then the results window shows the default display. The Explorer dialog, whose
// "Open File..." runs the import, is opened from here too: "CAEP_EXPLORER" (UICmdExplorer, declared
// with the other commands in UICommands.h) runs it modally, then refreshes the host.
#pragma once

#include "fea/AnlJob.h"

// The conversion job used when no simulation model is current ("XdbJob99"); it lives for one import.
class UIXdbJob : public AnlDrvJob {
 public:
  UIXdbJob() : AnlDrvJob(1) {}
  ~UIXdbJob() override;
};

// Asks for the results file and then the deck. 1 when the first dialog was confirmed (whether or
// not anything was imported), 0 when it was cancelled. Nothing imported says why.
int UIImportResultsDatabase();
