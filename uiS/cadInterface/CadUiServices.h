// The user-interface services the frame in this folder calls. They are defined in gui/, which
// builds on this folder: declaring them here keeps the folders' dependency one way (gui includes
// cadInterface, never the reverse).
#pragma once
#include "mfc/cstring.h"

class AnlJob;
class CaeString;
class CPropertySheet;
class FerResultSet;
class OptModel;

// ---- the guide (gui/wizard) ----

// A drawing's saved guide state: remembered page, material name (UICurrentMaterialName while
// the drawing is current) and the eight step states.
struct GuideDocState {
  int page = 0;
  CString partName;
  int steps[8] = {};
};

// Step 1 takes `problemDefinitionState`, steps 2 to 7 are cleared, a remembered page other than 0
// goes back to 1.
void UIResetWizardSteps(int problemDefinitionState);
void UISaveWizardState(GuideDocState& state);
void UIRestoreWizardState(const GuideDocState& state);
// The guide sheet, or null.
CPropertySheet* UIGetWizardSheet();
void UIDestroyWizardSheet();
// Shows or hides the guide sheet; answers whether it was visible (0 without one).
int UIShowWizardSheet(int show);
bool UIIsWizardModeless();

// ---- progress and print settings (gui/utils) ----

int UIProgressControl(int code, void* argument);
// Code 2: closes the dialog when there is one and resets the flags.
void UIProgressClose();
// Frees the kept print settings; there are none until print setup exists.
void UIFreePrintSetup();

// ---- the results window (gui/utils) ----

// Prepares the current results display: the popup-menu callback, the localised resource module
// with the window's tool bitmaps, and the CAD main window as the parent of what it opens.
// Nothing without a results window.
void UISetupResultsDisplay();

// ---- the design doctor (gui/doctor) ----

// 1 when the design doctor has a subject, with the subject in the outputs; 0 (outputs null and
// empty) when there is none. The subject is a job: the last submitted one when it failed, is
// pending or has results, else the current model's first such job, else the current
// optimisation model's first failed job; without a job, the current result set unless it is a
// model-shape set.
int UIFindDoctorTarget(AnlJob*& job, FerResultSet*& resultSet, CaeString& name);

// ---- the Explorer's model and job choices (gui/explorer) ----

// An optimisation model of `kind` (0 shape, 1 concept, 2 any) of the current analysis control:
// the current one when it is of the kind; else the first live one of the kind when there is only
// one or flags bit 0 (may ask) is clear; else the user's choice in "Select Model", asked again
// after a model of the other kind; null when there is none or the user cancels. Flags bit 1
// makes the answer current.
OptModel* UIPickOptModel(int kind, int flags);
// The newest job that has not failed: of the current optimisation model when `flag` is non-zero,
// else of the current simulation model; erased jobs are passed over and each job's status is
// refreshed before it is asked. Null without such a job or model.
AnlJob* UINewestJob(int flag);
