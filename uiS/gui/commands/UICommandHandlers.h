// The command handlers of the frame's own command-table entries, and the declarations of the
// other subsystems' handlers the table names. Each answers an int the dispatcher does not use.
#pragma once

#include "gui/dialogs/common/UIAboutDlg.h"
#include "gui/dialogs/lbc/UIAttCommands.h"
#include "gui/dialogs/mesh/UIMeshPS.h"
#include "gui/dialogs/model/UIModDlg.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/dialogs/results/UIResTabPS.h"
#include "gui/dialogs/results/UIVrmlDlg.h"
#include "gui/dialogs/units/UISetupPS.h"
#include "gui/doctor/UIDoctor.h"
#include "gui/explorer/UICommands.h"
#include "gui/utils/UIFerSAPI.h"
#include "gui/utils/UIProgressDlg.h"
#include "gui/utils/UIResultsPopup.h"
#include "gui/wizard/UIAnalysisWizard.h"
#include "gui/wizard/UIWizard.h"

// "CAEP_MESH": needs a current model without result sets (IDS_MODEL_WITHOUT_RESULTS_REQUIRED),
// a material library with at least one material (IDS_MATERIAL_LIBRARY_REQUIRED) and valid
// geometry (IDS_INVALID_GEOMETRY); then "Add Mesh".
int UICmdMesh();
int UICmdTopics();      // help contents
int UICmdUndo();        // the host undoes the current command's last step
int UICmdLoadTab();     // new structural load
int UICmdRestTab();     // new structural restraint
int UICmdThermTab();    // new heat-transfer condition
int UICmdLoadImport();  // IDS_NOT_YET_SUPPORTED: not supported
int UICmdResultsTab();  // the results sheet
// Optimisation commands: kind 0 shape, the "_TOPO" forms kind 1 Concept.
int UICmdOptWizard();
int UICmdOptWizardTopo();
int UICmdOptModel();
int UICmdOptModelTopo();
int UICmdOptObjective();
int UICmdOptObjectiveTopo();
int UICmdOptVariable();
int UICmdOptAnlResCase();
int UICmdOptConstraint();
int UICmdOptConstraintTopo();
int UICmdOptSubmit();
int UICmdOptSubmitTopo();
int UICmdOptUpdateModel();
int UICmdOptHistoryGraph();
int UICmdOptSensitivityGraph();
int UICmdOptLocalTrendGraph();
int UICmdOptResTab();
int UICmdOptResTabTopo();
