// Commands and services of the Explorer, model and solving subsystem that the frame calls.
//
// The command handlers answer an int that the dispatcher does not use. Until their dialogs are
// part of the system they only say on the command line that the command is not available yet.
#pragma once
#include "amg/CaeString.h"
#include "cadInterface/CadUiServices.h"

class AnlJob;
class OptModel;

int UICmdMateRel();       // "CAEP_MATE_REL" (gui/dialogs/model/UIMateRelPP)
int UICmdAnalyze();       // "CAEP_ANALYZE"
int UICmdExplorer();      // "CAEP_EXPLORER", the Explorer dialog (UIImportResults.cpp)
int UICmdWriteSummary();  // "CAEP_WRITE_SUMMARY" (gui/dialogs/common/UISummaryDlg)
