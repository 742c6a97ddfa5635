// Using the results of an optimisation run: keep, discard or apply a finished run, set the part
// to a chosen design cycle.
#pragma once
#include "amg/CaeString.h"

class FerResultSet;
class OptResultCase;

// The completed dialog over the result set; with `choice` the user's action is carried out.
// 1 when the results are kept (also after a refusal message or when the update did not happen),
// 0 when they were discarded or applied.
int UIOptCompleted(OptResultCase* resultCase, int choice);
// Modes of UIOptApplyDesignCycle.
enum UIOptApplyMode : int { kOptApplyVariablesOnly = 0, kOptApplyAskMesh = 1, kOptApplyWithMesh = 2 };
// Writes the values of design cycle `cycle` (0: the initial design) to the design variables and
// the part; with a mesh mode also remakes the result model's meshes (their results go). Every
// variable is looked up before anything changes. 1 when the part was updated, else 0 and the
// part, the variables, the meshes and the result sets are as they were.
int UIOptApplyDesignCycle(OptResultCase* resultCase, int cycle, int mode);
// The model-shape or model-concept result set the run left in its result model: a live one whose
// name is exactly the name the run gives it (UIOptShapeResultSetName); null without.
FerResultSet* UIOptFindShapeResultSet(OptResultCase* resultCase);
CaeString UIOptShapeResultSetName(const OptResultCase& resultCase);
void UIOptDeleteShapeResultSet(OptResultCase* resultCase);
// The result set when there is one and it is initialised; otherwise null after the message
// saying which is missing.
OptResultCase* UIOptReadyResultCase(OptResultCase* resultCase);
// The remembered "&Update the mesh with the geometry" choice back to its start (unchecked).
void UIOptResetUpdateMeshChoice();
