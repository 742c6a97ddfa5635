// What the user last chose on the history, sensitivity and local-trend graph pages, kept for the
// module's life so that each opens as it was left and a graph can be redrawn without asking, and
// the graphs of the current optimisation result set built from those choices.
#pragma once
#include <vector>

class CaeGraph;

enum UIOptGraphPage : int { kOptHistoryPage = 0, kOptSensitivityPage = 1, kOptLocalTrendPage = 2 };

struct UIOptGraphRecord {
  // History: 0 objective, 1 design variables, 2 design constraints, 3 maximum constraint.
  // Sensitivity and local trend: 0 the objective, 1 a single constraint, 2 several constraints.
  int data = 0;
  int scaling = 0;     // the engine's scaling method
  int constraint = 0;  // position of the single constraint (sensitivity, local trend)
  int variable = 0;    // position of the one variable (several constraints)
  double normalization = 1.0;
  std::vector<int> marks;            // marked variables (history: variables or constraints)
  std::vector<int> constraintMarks;  // marked constraints (sensitivity, local trend)
};

UIOptGraphRecord& UIOptGraphState(UIOptGraphPage page);
// The graph page last shown (0 history, 1 sensitivity, 2 local trend).
int& UIOptGraphPageIndex();
// Resets the three records and the page index; for type 1 (Concept) history graphs the objective
// without scaling.
void UIOptResetGraphState(int type);
// The graph of the current optimisation result set from the remembered record. With `show` it
// goes to a graph window and null is answered; otherwise the caller owns it. Null after a message
// when there is no model, no result set, no data of the kind, or nothing to draw.
CaeGraph* UIOptShowHistoryGraph(int show);
CaeGraph* UIOptShowSensitivityGraph(int show);
CaeGraph* UIOptShowLocalTrendGraph(int show);

class OptModel;
class OptResultCase;
// The optimisation graph sheet over the result set (picked when null) of the model (picked when
// null): 1 when the user asked for a graph or a report (done before answering), else 0.
int UIOptResultSheet(OptModel* model, OptResultCase* resultCase);
