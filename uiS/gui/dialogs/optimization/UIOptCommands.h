// Optimisation entry points that the frame's commands call. Until the optimisation dialogs are
// part of the system each says on the command line that it is not available yet and answers 0.
// Kinds: 0 shape, 1 Concept.
#pragma once
#include "gui/dialogs/optimization/UIOptSubmit.h"

class OptFunction;
class OptModel;

// The objective defaults of its owning model's kind: shape, mass (response type 0) and generic
// integer 0; Concept, volume (1), generic integer 0 and the target fraction 0.75. Without an owner
// nothing changes.
void UIOptDefaultObjective(OptFunction* objective);

int UIOptWizardCommand(int kind);
int UIOptEditModel(int kind, OptModel* model, int mode);
int UIOptEditObjective(int kind);
int UIOptDefineVariable(const char* parameterName, int unused);
int UIOptNewResultSet(int unused);
int UIOptNewConstraint(int kind);
int UIOptUpdateModel();
int UIOptHistoryGraphCommand(int unused);
int UIOptSensitivityGraphCommand();
int UIOptLocalTrendGraphCommand();
int UIOptShowResults(int kind, int unused);
// Handlers of command-table entries 46 and 47.
int UIOptWizardVariable();
int UIOptWizardConstraint();

class AttLbcCase;
// Releases a load or restraint set from the analysis result cases of the optimisation models
// that use it. With `ask`, a set in use is deleted only when the user agrees (Yes/No box listing
// the cases); No answers -1 and changes nothing. Otherwise answers the number of cases the set
// was removed from (0: not used).
int UIOptReleaseLbcCase(AttLbcCase* set, int ask);
