// Commands and services of the Explorer, model and solving subsystem that the frame calls.
//
// The command handlers answer an int that the dispatcher does not use. Until their dialogs are
// part of the system they only say on the command line that the command is not available yet.
#pragma once
#include "amg/CaeString.h"
#include "cadInterface/CadUiServices.h"

class AnlJob;
class OptModel;

// Guides for the four analysis kinds ("CAEP_STRESS_WIZARD" ... "CAEP_THERM_WIZARD").
int UICmdStressWizard();
int UICmdVibWizard();
int UICmdBuckWizard();
int UICmdThermWizard();
int UICmdModel();         // "CAEP_MODEL"
int UICmdMateRel();       // "CAEP_MATE_REL"
int UICmdAnalyze();       // "CAEP_ANALYZE"
int UICmdExplorer();      // "CAEP_EXPLORER", the Explorer dialog (UIImportResults.cpp)
int UICmdWriteSummary();  // "CAEP_WRITE_SUMMARY"

// The guide's steps (command-table entries 38 to 45).
int UIRunProblemDefinitionWizard();
int UIRunUnitsWizard();
int UIRunLoadWizard();
int UIRunRestraintsWizard();
int UIRunMaterialsWizard();  // shows nothing, answers 0
int UIRunMeshStep();
int UIRunAnalyzeStep();
int UIRunResultsStep();

// Entry 51: answers 1 (after IDS_MODEL_WITH_RESULTS_REQUIRED) without a current result set, else runs the CAD
// interface's results command and answers 0.
int UICmdResultsRequired();
