// Entry points of the guided analysis: the guide launcher behind the four guide commands, the
// guide's step commands (command-table entries 38 to 45) and the results-required entry.
//
// A step hides the guide while it runs and shows it again afterwards unless a pick is pending.
// Problem definition, units, loads, restraints and analyze run their task wizards; results opens
// the design doctor.
#pragma once

class AmgMesh;

// Kind 0 stress, 1 vibration, 2 buckling, 3 heat transfer. Offers the model conversion when the
// current model has another kind (Cancel ends the command), replaces a guide of another kind,
// builds the guide when none exists and shows it on its remembered step. Answers 0.
int UIRunAnalysisWizard(int kind);
int UICmdStressWizard();  // "CAEP_STRESS_WIZARD"
int UICmdVibWizard();     // "CAEP_VIB_WIZARD"
int UICmdBuckWizard();    // "CAEP_BUCK_WIZARD"
int UICmdThermWizard();   // "CAEP_THERM_WIZARD"

// The guide's steps (run-time command entries). Each answers 0. A step that finishes moves the
// guide to its next page and marks its step.
int UIRunProblemDefinitionWizard();
int UIRunUnitsWizard();
int UIRunLoadWizard();
int UIRunRestraintsWizard();
int UIRunMaterialsWizard();  // shows nothing
int UIRunMeshStep();         // the analyze wizard, with a current model
int UIRunAnalyzeStep();      // the mesh step's wizard
int UIRunResultsStep();

// Meshes the mesh the mesh step hands over through the CAD (p-orders 3 to 10, tolerance 0.1,
// no shell thickness) and flushes the graphics. The CAD removes a mesh that fails and nulls
// `mesh`; answers 1 only for a mesh that is still there and reports success.
int UIGenerateWizardMesh(AmgMesh*& mesh, const char* material);

// With a current result set runs the CAD's results command and answers 0; otherwise says that an
// open model with results is required and answers 1.
int UICmdResultsRequired();
