#include "gui/dialogs/optimization/UIOptResultGraphs.h"

#include <array>
#include <filesystem>
#include <initializer_list>

#include "amg/CaeArray.h"
#include "amg/CaeGraph.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/OptModel.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/dialogs/optimization/UIOptResultPages.h"
#include "gui/dialogs/optimization/UIOptResults.h"
#include "gui/dialogs/units/UIGenericPS.h"
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

std::array<UIOptGraphRecord, 3> FreshRecords() {
  std::array<UIOptGraphRecord, 3> fresh{};
  fresh[kOptHistoryPage].data = kHistoryDefaultData;
  return fresh;
}

std::array<UIOptGraphRecord, 3> records = FreshRecords();
int pageIndex = 0;

void Refuse(UINT message) { CadMessageBoxId(message, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL); }

CaeArray<int> Positions(const std::vector<int>& marks) {
  CaeArray<int> positions;
  for (int index : marks) positions.Append(index);
  return positions;
}

// The result set checked for the data a graph needs; null after a message.
OptResultCase* Checked(OptResultCase* resultCase, bool history) {
  if (!UIOptReadyResultCase(resultCase)) return nullptr;
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
  records = FreshRecords();
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

namespace {

constexpr int kPickMayAskAndMakeCurrent = 3;
constexpr int kTabIconSize = 16;

// One zero per line, one at each remembered index below the count.
std::vector<int> MarksFor(const std::vector<int>& indices, int count) {
  std::vector<int> marks(count > 0 ? count : 0, 0);
  for (int index : indices)
    if (index >= 0 && index < count) marks[index] = 1;
  return marks;
}

std::vector<int> IndicesOf(const std::vector<int>& marks) {
  std::vector<int> indices;
  for (int i = 0; i < static_cast<int>(marks.size()); ++i)
    if (marks[i]) indices.push_back(i);
  return indices;
}

void FillSensPage(COptSensPP& page, const UIOptGraphRecord& r, OptResultCase& resultCase, UINT reportName) {
  page.m_reportName = resLoadString(reportName);
  page.m_nScaling = r.scaling;
  page.m_dNormalization = r.normalization;
  page.m_nGraphOf = r.data;
  page.m_nConstraint = r.constraint;
  page.m_nVariable = r.variable;
  page.m_variableMarks = MarksFor(r.marks, resultCase.NumResultVariable());
  page.m_constraintMarks = MarksFor(r.constraintMarks, resultCase.NumResultConstraint());
}

void ReadSensPage(const COptSensPP& page, UIOptGraphRecord& r) {
  if (!page.m_bVisited) return;
  r.scaling = page.m_nScaling;
  r.normalization = page.m_dNormalization;
  r.data = page.m_nGraphOf;
  r.constraint = page.m_nConstraint;
  r.variable = page.m_nVariable;
  r.marks = IndicesOf(page.m_variableMarks);
  r.constraintMarks = IndicesOf(page.m_constraintMarks);
}

struct GraphPages {
  COptHistPP history;
  COptSensPP sensitivity{IDD_OPT_SENSITIVITY};
  COptSensPP trend{IDD_OPT_LOCAL_TREND};
};

void AddPages(CGenericPS& sheet, GraphPages& pages, OptModel* model, OptResultCase& resultCase, int* shown) {
  for (COptGraphPageBase* page :
       std::initializer_list<COptGraphPageBase*>{&pages.history, &pages.sensitivity, &pages.trend}) {
    page->m_pModel = model;
    page->m_pResultCase = &resultCase;
    page->m_pShownPage = shown;
  }
  pages.trend.m_bLocalTrend = 1;
  if (resultCase.HasHistory()) {
    const UIOptGraphRecord& r = records[kOptHistoryPage];
    pages.history.m_reportName = resLoadString(IDS_OPT_HISTORY_REPORT);
    pages.history.m_nGraphData = r.data;
    pages.history.m_nScaling = r.scaling;
    pages.history.m_dNormalization = r.normalization;
    if (r.data == kVariables) pages.history.m_marks = MarksFor(r.marks, resultCase.NumResultVariable());
    if (r.data == kConstraints) pages.history.m_marks = MarksFor(r.marks, resultCase.NumResultConstraint());
    sheet.AddPage(&pages.history);
    sheet.AddTabIcon(IDI_EXP_HISTORY_GRAPH);
  } else {
    --pageIndex;
  }
  if (resultCase.HasSensitivity()) {
    FillSensPage(pages.sensitivity, records[kOptSensitivityPage], resultCase, IDS_OPT_SENSITIVITY_REPORT);
    FillSensPage(pages.trend, records[kOptLocalTrendPage], resultCase, IDS_OPT_LOCAL_TREND_REPORT);
    sheet.AddPage(&pages.sensitivity);
    sheet.AddTabIcon(IDI_EXP_SENSITIVITY_GRAPH);
    sheet.AddPage(&pages.trend);
    sheet.AddTabIcon(IDI_EXP_LOCAL_TREND_GRAPH);
  } else {
    pageIndex = 0;
  }
}

// Remembers the visited pages' choices; the flags and report file of the page last shown.
const COptGraphPageBase& ReadBack(GraphPages& pages, int shown) {
  if (pages.history.m_bVisited) {
    UIOptGraphRecord& r = records[kOptHistoryPage];
    r.data = pages.history.m_nGraphData;
    r.scaling = pages.history.m_nScaling;
    r.normalization = pages.history.m_dNormalization;
    if (r.data == kVariables || r.data == kConstraints) r.marks = IndicesOf(pages.history.m_marks);
  }
  ReadSensPage(pages.sensitivity, records[kOptSensitivityPage]);
  ReadSensPage(pages.trend, records[kOptLocalTrendPage]);
  if (shown == kOptSensitivityPage) return pages.sensitivity;
  if (shown == kOptLocalTrendPage) return pages.trend;
  return pages.history;
}

CaeGraph* BuildShown(int shown, int show) {
  if (shown == kOptSensitivityPage) return UIOptShowSensitivityGraph(show);
  if (shown == kOptLocalTrendPage) return UIOptShowLocalTrendGraph(show);
  return UIOptShowHistoryGraph(show);
}

int RunGraphCommand(int page, OptModel* model) {
  pageIndex = page;
  while (UIOptResultSheet(model, nullptr)) {}
  return 0;
}

}  // namespace

int UIOptResultSheet(OptModel* model, OptResultCase* resultCase) {
  if (!model) model = UIPickOptModel(CaeOptShape, kPickMayAskAndMakeCurrent);
  if (!model) {
    Refuse(IDS_OPT_MODEL_REQUIRED);
    return 0;
  }
  resultCase = UIOptReadyResultCase(resultCase ? resultCase : UIPickOptResultCase());
  if (!resultCase) return 0;
  CGenericPS sheet(IDS_RESULTS_SHAPE_OPT);
  sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
  sheet.CreateTabImageList(kTabIconSize);
  sheet.m_bShowTabIcons = TRUE;
  GraphPages pages;
  int shown = 0;
  const bool history = resultCase->HasHistory() != 0;
  AddPages(sheet, pages, model, *resultCase, &shown);
  if (sheet.GetPageCount() == 0) {
    Refuse(IDS_OPT_NO_GRAPH_DATA);
    if (!history) ++pageIndex;
    return 0;
  }
  sheet.SetActivePage(pageIndex < 0 ? 0 : pageIndex);
  if (sheet.DoModal() != IDOK) {
    if (!history) ++pageIndex;
    return 0;
  }
  pageIndex = shown;
  const COptGraphPageBase& last = ReadBack(pages, shown);
  if (!last.m_bGraph && !last.m_bReport) return 0;
  CaeGraph* graph = BuildShown(shown, last.m_bGraph);
  if (graph) {
    graph->Report(std::filesystem::path(last.m_reportName.Text()));
    delete graph;
  }
  return 1;
}

int UIOptHistoryGraphCommand(int type) {
  return RunGraphCommand(kOptHistoryPage,
                         type == 1 ? UIPickOptModel(CaeOptConcept, kPickMayAskAndMakeCurrent) : nullptr);
}
int UIOptSensitivityGraphCommand() { return RunGraphCommand(kOptSensitivityPage, nullptr); }
int UIOptLocalTrendGraphCommand() { return RunGraphCommand(kOptLocalTrendPage, nullptr); }
