#include "gui/dialogs/results/UIResGraphPP.h"

#include "amg/CaeGraph.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlModel.h"
#include "fea/OptModel.h"
#include "gui/dialogs/results/UIResPageSupport.h"
#include "gui/utils/UIFerSAPI.h"
#include "gui/utils/UINotAvailable.h"
#include "mfc/ddx.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kHelpContext = 0x20000 + IDD_RES_GRAPHS;
// Engine scale methods.
constexpr int kNoScaling = 0, kToRange = 1, kFeasibility = 1, kToOptimum = 2;

std::string Text(UINT id) { return resLoadString(id).Str(); }

}  // namespace

BEGIN_MESSAGE_MAP(CResGraphPP, CPropertyPage)
ON_LBN_SELCHANGE(IDC_GRAPH_LIST, OnGraphChange)
ON_BN_CLICKED(IDC_RES_ADVANCED, OnAdvanced)
END_MESSAGE_MAP()

CResGraphPP::CResGraphPP() : CPropertyPage(IDD_RES_GRAPHS) { m_psp.dwFlags |= PSP_HASHELP; }

void CResGraphPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_CBIndex(dx, IDC_GRAPH_SCALING, m_nScaling);
  DDX_LBIndex(dx, IDC_GRAPH_LIST, m_nGraph);
  DDX_Radio(dx, IDC_GRAPH_DISPLAY, m_nOutput);
}

BOOL CResGraphPP::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  CAE_CHECK(m_pResultCase != nullptr);
  m_bNoCycles = m_pResultCase->NumCycles() == 0 ? 1 : 0;
  auto* list = static_cast<CListBox*>(GetDlgItem(IDC_GRAPH_LIST));
  list->ResetContent();
  if (!m_bNoCycles) {
    for (UINT id : {IDS_GRAPH_OBJ_HISTORY, IDS_GRAPH_VAR_HISTORY, IDS_GRAPH_CON_HISTORY, IDS_GRAPH_OBJ_SENSITIVITY,
                    IDS_GRAPH_OBJ_LOCAL_TREND})
      list->AddString(Text(id).c_str());
  } else {
    auto perConstraint = [&](UINT suffix) {
      for (int i = 0; i < m_pResultCase->NumResultConstraint(); ++i) {
        const OptResultData* constraint = m_pResultCase->ResultConstraint(i);
        const std::string name = constraint ? constraint->Name().Str() : std::string();
        list->AddString((name + " " + Text(suffix)).c_str());
      }
    };
    list->AddString(Text(IDS_GRAPH_OBJ_SENSITIVITY).c_str());
    perConstraint(IDS_GRAPH_SENSITIVITY);
    list->AddString(Text(IDS_GRAPH_OBJ_LOCAL_TREND).c_str());
    perConstraint(IDS_GRAPH_LOCAL_TREND);
  }
  list->SetCurSel(0);
  FillScaling();
  m_bInitialized = 1;
  return TRUE;
}

// The scalings of the selected graph, chosen by its list position (a constraint named like a
// fixed entry gets the constraint's scalings).
void CResGraphPP::FillScaling() {
  auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_GRAPH_SCALING));
  const int selected = static_cast<CListBox*>(GetDlgItem(IDC_GRAPH_LIST))->GetCurSel();
  const int constraints = m_pResultCase ? m_pResultCase->NumResultConstraint() : 0;
  const bool objective =
      m_bNoCycles ? selected == 0 || selected == constraints + 1 : selected == 0 || selected == 3 || selected == 4;
  const bool variables = !m_bNoCycles && selected == 1;
  combo->ResetContent();
  combo->AddString(Text(IDS_GRAPH_NO_SCALING).c_str());
  if (objective || variables) {
    combo->AddString(Text(IDS_GRAPH_SCALED_OPTIMUM).c_str());
    if (variables) combo->AddString(Text(IDS_GRAPH_SCALED_RANGE).c_str());
    combo->SetCurSel(0);
  } else {
    combo->AddString(Text(IDS_GRAPH_FEASIBILITY).c_str());
    combo->SetCurSel(1);
  }
}

void CResGraphPP::OnGraphChange() { FillScaling(); }

BOOL CResGraphPP::OnSetActive() {
  if (m_pResultCase)
    if (AnlModel* second = m_pResultCase->SecondAnlModel()) {
      CadOpenModel(second->Name().Str().c_str(), second->Type());
      UIShowPlainModel(0);
    }
  return CPropertyPage::OnSetActive();
}

void CResGraphPP::ReadBack() {
  if (m_hWnd) UpdateData(TRUE);
}

CaeGraph* CResGraphPP::MakeGraph() {
  if (!m_pResultCase || !m_hWnd) return nullptr;
  auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_GRAPH_SCALING));
  CString scaling;
  if (combo->GetCurSel() >= 0) combo->GetLBText(combo->GetCurSel(), scaling);
  const std::string scaleText = static_cast<const char*>(scaling);
  const int method = scaleText == Text(IDS_GRAPH_SCALED_OPTIMUM) ? kToOptimum
                     : scaleText == Text(IDS_GRAPH_SCALED_RANGE) || scaleText == Text(IDS_GRAPH_FEASIBILITY)
                         ? kToRange
                         : kNoScaling;
  static_assert(kToRange == kFeasibility, "both scale to a range");
  const int k = static_cast<CListBox*>(GetDlgItem(IDC_GRAPH_LIST))->GetCurSel();
  const OptResultCase& c = *m_pResultCase;
  // Graphs are chosen by list position: a constraint's name never stands for another graph.
  if (!m_bNoCycles) {
    switch (k) {
      case 0: return c.ObjectiveHistory(method, 1.0);
      case 1: return c.VariableHistory(nullptr, method, 1.0);
      case 2: return c.ConstraintHistory(nullptr, method);
      case 3: return c.ObjectiveSensitivityGraph(nullptr, method, 1.0);
      case 4: return c.ObjectiveLocalTrendGraph(nullptr, method, 1.0);
      default: return nullptr;
    }
  }
  const int n = c.NumResultConstraint();
  if (k == 0) return c.ObjectiveSensitivityGraph(nullptr, method, 1.0);
  if (k >= 1 && k <= n) return c.ConstraintSensitivityGraph(k - 1, nullptr, method);
  if (k == n + 1) return c.ObjectiveLocalTrendGraph(nullptr, method, 1.0);
  if (k >= n + 2 && k <= 2 * n + 1) return c.ConstraintLocalTrendGraph(k - n - 2, nullptr, method);
  return nullptr;
}

void CResGraphPP::OnAdvanced() { UINotAvailableYet("The optimization result sheet"); }

BOOL CResGraphPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (ResPageHelp(lParam, result, kHelpContext)) return TRUE;
  return CPropertyPage::OnNotify(wParam, lParam, result);
}
