// Picking part geometry on the host's command line, and the menu-state questions kept beside it.
//
// acPickTopology asks the part modeller for a pick (a point near the geometry, or a key name such as
// "plate/hole1/side"), turns it into a key and the key into the drawing's canonical B-rep entity
// (util/acBrEnt.h). A failed pick prints "Geometry selection failed." and asks again; ESC or the
// end of the input ends the pick with null and no message. While the pick runs, "CAE_LBC" and,
// when asked, "CAE_MESH" are switched off; each goes back on (only if it was on) whichever way the
// pick ends, an engine exception included. An unexpected status from the modeller, or a body that
// cannot be made for a solid pick, is a consistency check (MSG_GENERAL_ERROR, then CaeExcept).
#pragma once

class AcBrEntity;

// Pick kinds, as callers pass them.
enum AcPickKind { kPickSolid = 0, kPickFace = 1, kPickEdge = 2, kPickVertex = 3 };

// The part modeller's key type for a pick kind: solid 23 (a body), face 10, edge 3, vertex 2,
// any other kind 0 (any geometry).
int acPickKeyType(int pickKind);

// The canonical entity the user picked, or null when the user ended the pick. The solid kind asks
// for an edge and answers the body it belongs to. `hideMesh` 1 also hides "CAE_MESH" meanwhile.
// The entity belongs to the drawing's canonical-entity table; no key is handed back.
AcBrEntity* acPickTopology(int pickKind, int hideMesh);

// Menu-state operations: no state of their own; they read the current analysis control or ask
// the CAD interface.
// Queues the text of `stringId` for the host as an expression; false when the text is empty.
bool acQueueStringExpression(unsigned stringId);
bool acQueueExpression(const char* text);
bool acHasCurrentModel();
bool acHasCurrentLoadCase();
bool acHasCurrentRestraintCase();
// A current model with a job, or else a result set, that is not marked erased.
bool acCurrentModelHasJobOrResult();
bool acHasCurrentResults();
bool acOptimizationAvailable();
bool acOptimizationResultsAvailable();
