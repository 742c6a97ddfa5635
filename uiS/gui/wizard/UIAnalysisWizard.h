// Entry points of the guided analysis: the four guide commands, the guide's step commands and
// the results-required entry.
//
// The guide sheet and its task sheets are not part of the system yet: a guide command does what
// precedes the guide (the CAD's leave to start, the page-template choice) and then says on the
// command line that the guide is not available yet; so do the step commands.
#pragma once

class AmgMesh;

// Kind 0 stress, 1 vibration, 2 buckling, 3 heat transfer. Answers 0.
int UIRunAnalysisWizard(int kind);
int UICmdStressWizard();  // "CAEP_STRESS_WIZARD"
int UICmdVibWizard();     // "CAEP_VIB_WIZARD"
int UICmdBuckWizard();    // "CAEP_BUCK_WIZARD"
int UICmdThermWizard();   // "CAEP_THERM_WIZARD"

// The guide's steps (run-time command entries). Each answers 0.
int UIRunProblemDefinitionWizard();
int UIRunUnitsWizard();
int UIRunLoadWizard();
int UIRunRestraintsWizard();
int UIRunMaterialsWizard();  // shows nothing
int UIRunMeshStep();
int UIRunAnalyzeStep();
int UIRunResultsStep();

// Meshes the mesh the mesh step hands over through the CAD (p-orders 3 to 10, tolerance 0.1,
// no shell thickness) and flushes the graphics. The CAD removes a mesh that fails and nulls
// `mesh`; answers 1 only for a mesh that is still there and reports success.
int UIGenerateWizardMesh(AmgMesh*& mesh, const char* material);

// With a current result set runs the CAD's results command and answers 0; otherwise says that an
// open model with results is required and answers 1.
int UICmdResultsRequired();
