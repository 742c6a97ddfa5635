// Submitting an optimisation model: "CAEP_OPT_SUBMIT" (shape) and "CAEP_OPT_SUBMIT_TOPO"
// (Concept). A parameter sheet edits the model's run settings; then the deferred meshes are made,
// the model and its deck are checked, and either the deck goes to a file the person named or a
// job of the model is made, its deck written and started, with the optimisation result set that
// will receive the run.
#pragma once
#include <ctime>
#include <memory>
#include <vector>

#include "amg/CaeString.h"

class AnlControl;
class AnlModel;
class AnlResltCase;
class OptModel;

// Kind 0 shape, 1 Concept: the model of that kind (asked for when there are several) is made
// current and submitted from the command (the shape one inside update mode 2).
int UIOptSubmit(int kind);
// 1 when a deck was written or a job made and started, else 0. `wizard` runs the sheet as the
// optimisation wizard's last step (shape: with the result sets the responses need).
int UIOptSubmitShape(OptModel* model, int wizard);
int UIOptSubmitConcept(OptModel* model, int wizard);

// The proposed name of the model's next optimisation result set: "OptResults<n>" with the first
// n from the model's count + 1 that no optimisation model of the drawing uses, the word cut so
// that the name and the simulation model's name fit the CAD's name length. Empty when even one
// letter of the word cannot fit.
CaeString UIOptNewResultSetName(OptModel* model);

// Whether a local date and time exists on the calendar as given (no 31 April, no hour 24).
bool UIOptStartTimeExists(const std::tm& when);

// The volume of the solid elements of the model's live meshes, in the engine's units; 0 without
// any.
double UIOptMeshedVolume(AnlModel& model);

// The in-memory result sets a wizard shape submission offers: for each analysis type the
// objective's and constraints' responses need (static, modal, buckling), copies of the model's
// cases of that type (their sets at scale 1) and, for a type the model has no case of, a new
// StressResultSet, VibrationResultSet or BucklingResultSet with the current (else first) restraint
// set and, unless modal, load set. Empty when no response needs an analysis.
std::vector<std::unique_ptr<AnlResltCase>> UIOptDefaultResultSets(OptModel& model, AnlControl& control);
