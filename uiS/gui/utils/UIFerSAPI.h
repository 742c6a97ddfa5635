// The one way into the engine's results display for the rest of the user interface.
//
// Every function works on the active drawing: its analysis control, its current simulation model
// and its results display. A change of the view takes the display settings, changes one part and
// stores them back with one SetFerSettings; nothing redraws unless the function says so. The
// window that was active when a showing function was entered is active again when it returns.
//
// A result set just read (UIShowJobResults) becomes the drawing's current result set and the
// view's displayed set: the Explorer marks the current set, and the results sheet opens on it.
#pragma once
#include "amg/CaeString.h"
#include "cadInterface/CadUiServices.h"

class AnlJob;
class AnlModel;
class FerResultSet;
class OptModel;
class OptResultCase;

// ---- showing results ----

// Reads the job's results file into a new result set of `model` (made current first), erases the
// job, makes the set current and, with `show`, shows and redraws the window. When the reader made
// no set (missing or damaged results) the job is kept, the reason is reported and nothing is shown.
// Answers the set read, null without one.
FerResultSet* UIShowJobResults(AnlJob* job, AnlModel* model, int applyDefaults, int show);
// Reads an optimisation run's job into its optimisation result case and answers the case; the set
// read becomes current as above. When the reader made no set the job is kept, the reason is
// reported and the answer is null.
OptResultCase* UIShowOptJobResults(AnlJob* job, OptModel* optModel, int applyDefaults);
// Shows a stored result set of `model` (null: the one named by the view). The first set shown gets
// the default display; later ones keep the user's settings and only redraw.
void UIShowResultSet(FerResultSet* resultSet, AnlModel* model, int applyDefaults);
// Shows subset `subSet` (1-based mode or step) of the displayed set.
void UIShowResultSubSet(int subSet);
// Shows the bare mesh; the stored settings keep the user's choices for the next redraw.
void UIShowPlainModel(int edges);
// The default colour display by analysis type (static: von Mises, or the factor of safety against
// the first part's ultimate stress; vibration and buckling: displacement magnitude; heat transfer:
// temperature). Redraws when asked.
void UISetDefaultColorDisplay(int applyDefaults, int redraw);
// The ultimate stress of the first part's material at its first temperature (native units); 0.0
// when there is no part, no material or no value.
double UIGetDefaultAllowable();

// ---- what there is to show ----

// 1 the newest job has results, 2 a stored result set exists, 0 neither.
int UIGetResultsState();
// The set to show for the current model: the named current one, else the first live one.
FerResultSet* UIGetCurrentResultSet();
FerResultSet* UIGetFirstResultSet();
// The drawing's current result set's name (unchanged without one); brings the view in step.
void UIGetCurrentResultSetName(CaeString& name);
// Makes the current simulation model's result set of that name the current one, or clears the
// current result set when there is none of that name; the view displays the name in any case.
void UISetResultSet(CaeString name);
int UIGetResultSubSet();
void UISetResultSubSet(int subSet);

// ---- animation ----

void UIGetAnimationSettings(int& repetitions, int& frames, double& speedLimit, int& kind, int& modal);
void UISetAnimationSettings(int repetitions, int frames, double speedLimit);
// Redraws and starts the animation (a full cycle when `fullCycle` is 1).
void UIAnimate(int fullCycle);

// ---- printing ----

// Command-table entry 48: chooses where the results image is printed (a PNG file). Answers 1.
int UIPrintSetup();
// Command-table entry 49: prints the results image to the chosen output, else asks for one.
// Answers 1.
int UIPrintResults();
// "CAEP_RESULTS_TAB"'s work: gui/dialogs/results/UIResTabPS.h.
