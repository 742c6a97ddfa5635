// Optimisation entry points that the frame's commands call. Until the optimisation dialogs are
// part of the system each says on the command line that it is not available yet and answers 0.
// Kinds: 0 shape, 1 Concept.
#pragma once
#include "gui/dialogs/optimization/UIOptSubmit.h"

#include "amg/CaeString.h"
#include "gui/dialogs/optimization/UIOptDefaultObjective.h"

class AnlResltCase;
class OptFunction;
class OptModel;

int UIOptWizardCommand(int kind);
// The "Optimization Model" sheet: mode 0 every model of the drawing (one new entry when there is
// none), 1 the given model (else the current or first one), 2 one new model. 1 after OK, else 0.
int UIOptEditModel(int kind, OptModel* model, int mode);
// The objective of the picked model of the kind in its sheet; a model without one gets a first
// one (UIOptNewObjective).
int UIOptEditObjective(int kind);
int UIOptNewObjective(int kind);
// Runs the objective sheet (a wizard with `wizard`). With `replace` the values go to a new
// objective, of the old one's name, that replaces it; without, the given in-memory objective is
// filled and added to its model. 1 when accepted, else 0 and nothing changed.
int UIOptObjectiveSheet(OptFunction* objective, int replace, int wizard);
class AmiParamKey;
class COptVarPP;
class OptVariable;
// New design variables from the part's free "Designer" globals, one after the other while the
// user presses "&Add" (in the wizard: answers Yes on "More Design Variables?"). 1 after the last;
// stopped early (no free parameter, cancelled), whether the wizard added one.
int UIOptDefineVariable(int pageIndex, int wizard);
// The "Design Variable" sheet for an existing variable (its parameter's key, or null to look it
// up); with `modify` a replacement of it is made. 1 when committed, else 0.
int UIOptEditParameterVariable(OptVariable* variable, AmiParamKey* key, int modify);
// Runs the variable sheet around the prepared page and commits it; 1 when committed, else 0.
int UIOptVariableSheet(OptVariable* variable, COptVarPP* page, AmiParamKey* key, int modify, int wizard);
// Forgets that the wizard added a variable (module reset).
void UIOptResetVariableState();
// New analysis result sets of analysis type `type` (0 static, 1 modal, 2 buckling) for the picked
// shape model, one after the other while the user presses "&Add"; how many were added.
int UIOptNewResultSet(int type);
// The same for the given model (the model of the objective or constraint being edited); the
// current model stays as it is.
int UIOptNewResultSetIn(OptModel* model, int type);
// The name a new result set of the type gets in the model: "StressResultSet3" and so on.
CaeString UIOptDefaultAnalysisResultSetName(OptModel& model, int type);
// The "Add Result Set" (or, with `modify`, "Modify Result Set") dialog for the result set; 0 when
// cancelled; after OK 1 in modify mode, else 1 when the user pressed "&Add" for another.
int UIOptResultSetDialog(OptModel* model, AnlResltCase* resultCase, int modify);
int UIOptNewConstraint(int kind);
// The default upper limit (native units) of a new stress constraint: the ultimate stress of the
// current simulation model's first sub-model with a material (else of the first live model's),
// else of the material library's first material, else 1.0; UIOptStressLimitFromUltimate shapes it.
double UIOptDefaultStressLimit();
// A native stress as the limit is offered: in host units above 100 a whole number, a magnitude
// below 1e-10 becomes 1.0; answered in native units.
double UIOptStressLimitFromUltimate(double native);
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
