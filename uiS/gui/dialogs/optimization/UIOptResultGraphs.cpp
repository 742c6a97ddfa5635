#include "gui/dialogs/optimization/UIOptResultGraphs.h"

#include <array>

#include "amg/CaeArray.h"
#include "amg/CaeGraph.h"
#include "cadInterface/CadAppControl.h"
#include "fea/AnlControl.h"
#include "fea/OptModel.h"
#include "gui/utils/UIPickers.h"
#include "res/ResourceIds.h"

namespace {

constexpr int kHistoryDefaultData = 2;  // design constraints
constexpr int kObjective = 0;
constexpr int kVariables = 1;
constexpr int kConstraints = 2;
constexpr int kMaxConstraint = 3;
constexpr int kSingleConstraint = 1;
constexpr int kSeveralConstraints = 2;

std::array<UIOptGraphRecord, 3> records;
int pageIndex = 0;

void Refuse(UINT message) { CadMessageBoxId(message, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL); }

CaeArray<int> Positions(const std::vector<int>& marks) {
  CaeArray<int> positions;
  for (int index : marks) positions.Append(index);
  return positions;
}

// The result set checked for the data a graph needs; null after a message.
OptResultCase* Checked(OptResultCase* resultCase, bool history) {
  if (!resultCase) {
    Refuse(IDS_OPT_NO_ACTIVE_RESULTS);
    return nullptr;
  }
  if (!resultCase->Initialized()) {
    Refuse(IDS_OPT_RESULTS_NOT_INITIALIZED);
    return nullptr;
  }
  if (history ? !resultCase->HasHistory() : !resultCase->HasSensitivity()) {
    Refuse(history ? IDS_OPT_NO_HISTORY_DATA : IDS_OPT_NO_SENSITIVITY_DATA);
    return nullptr;
  }
  return resultCase;
}

CaeGraph* Shown(CaeGraph* graph, int show) {
  if (!graph || !show) return graph;
  UIShowGraphWindow(graph);
  return nullptr;
}

CaeGraph* SensitivityOrTrend(UIOptGraphPage page, int show) {
  OptResultCase* resultCase = Checked(UIPickOptResultCase(), false);
  if (!resultCase) return nullptr;
  const UIOptGraphRecord& r = records[page];
  const CaeArray<int> variables = Positions(r.marks);
  const CaeArray<int> constraints = Positions(r.constraintMarks);
  const bool trend = page == kOptLocalTrendPage;
  CaeGraph* graph = nullptr;
  if (r.data == kObjective)
    graph = trend ? resultCase->ObjectiveLocalTrendGraph(&variables, r.scaling, r.normalization)
                  : resultCase->ObjectiveSensitivityGraph(&variables, r.scaling, r.normalization);
  else if (r.data == kSingleConstraint)
    graph = trend ? resultCase->ConstraintLocalTrendGraph(r.constraint, &variables, r.scaling)
                  : resultCase->ConstraintSensitivityGraph(r.constraint, &variables, r.scaling);
  else if (r.data == kSeveralConstraints)
    graph = trend ? resultCase->VariableLocalTrendGraph(r.variable, &constraints, r.scaling)
                  : resultCase->VariableSensitivityGraph(r.variable, &constraints, r.scaling);
  return Shown(graph, show);
}

}  // namespace

UIOptGraphRecord& UIOptGraphState(UIOptGraphPage page) { return records[page]; }

int& UIOptGraphPageIndex() { return pageIndex; }

void UIOptResetGraphState(int type) {
  for (UIOptGraphRecord& r : records) r = UIOptGraphRecord{};
  records[kOptHistoryPage].data = kHistoryDefaultData;
  pageIndex = 0;
  if (type == 1) {
    records[kOptHistoryPage].data = kObjective;
    records[kOptHistoryPage].scaling = 0;
  }
}

CaeGraph* UIOptShowHistoryGraph(int show) {
  AnlControl* control = AnlControl::GetCurrent();
  OptModel* model = control ? control->CurrentOptModel() : nullptr;
  if (!model) {
    Refuse(IDS_OPT_MODEL_REQUIRED);
    return nullptr;
  }
  OptResultCase* resultCase = Checked(model->CurrentOptResultCase(), true);
  if (!resultCase) return nullptr;
  const UIOptGraphRecord& r = records[kOptHistoryPage];
  const CaeArray<int> marked = Positions(r.marks);
  CaeGraph* graph = nullptr;
  if (r.data == kObjective) graph = resultCase->ObjectiveHistory(r.scaling, r.normalization);
  if (r.data == kVariables) graph = resultCase->VariableHistory(&marked, r.scaling, r.normalization);
  if (r.data == kConstraints) graph = resultCase->ConstraintHistory(&marked, r.scaling);
  if (r.data == kMaxConstraint) graph = resultCase->MaxConstraintHistory();
  return Shown(graph, show);
}

CaeGraph* UIOptShowSensitivityGraph(int show) { return SensitivityOrTrend(kOptSensitivityPage, show); }

CaeGraph* UIOptShowLocalTrendGraph(int show) { return SensitivityOrTrend(kOptLocalTrendPage, show); }
