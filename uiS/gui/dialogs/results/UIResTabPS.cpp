#include "gui/dialogs/results/UIResTabPS.h"

#include <memory>
#include <string>

#include "amg/CaeGraph.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fev/FerWndOGLDisp.h"
#include "gui/dialogs/results/UIResPageSupport.h"
#include "gui/utils/UIPickers.h"
#include "gui/utils/UIResultsPopup.h"
#include "mfc/services.h"
#include "mfc/winapi.h"
#include "res/ResourceIds.h"

namespace {

// The page the next simulation-results sheet opens on.
int g_rememberedPage = 0;

}  // namespace

int UIResultsSheetPage() { return g_rememberedPage; }
void UIResetResultsSheetPage() { g_rememberedPage = 0; }

CResTabPS::CResTabPS(const char* caption, CWnd* parent, UINT selectPage) : CGenericPS(caption, parent, selectPage) {
  const std::string title = caption ? caption : "";
  if (title == resLoadString(IDS_RESULTS_SHAPE_OPT).Str()) {
    AddPage(&m_graphPage);
    AddPage(&m_colorPage);
    AddPage(&m_animationPage);
    g_rememberedPage = 0;
  } else if (title == resLoadString(IDS_RESULTS_CONCEPT_OPT).Str()) {
    // The VRML page (template 923, optimisation-model mode, versions 1.0 and 2.0) comes first.
    m_vrmlPage.m_enableMask = 3;
    m_vrmlPage.m_optModelMode = true;
    AddPage(&m_vrmlPage);
    m_hasVrmlPage = true;
    AddPage(&m_animationPage);
    g_rememberedPage = 0;
  } else {
    AddPage(&m_colorPage);
    AddPage(&m_deformedPage);
    AddPage(&m_symbolPage);
    AddPage(&m_animationPage);
  }
  m_bApplied = 0;
  for (CPropertyPage* page :
       {static_cast<CPropertyPage*>(&m_colorPage), static_cast<CPropertyPage*>(&m_deformedPage),
        static_cast<CPropertyPage*>(&m_symbolPage), static_cast<CPropertyPage*>(&m_animationPage)})
    page->m_psp.dwFlags |= PSP_HASHELP;
  m_psh.dwFlags |= PSH_HASHELP;
}

// The pages are members: they leave the sheet, last first, before they are destroyed.
CResTabPS::~CResTabPS() {
  for (int i = GetPageCount() - 1; i >= 0; --i) RemovePage(i);
}

BOOL CResTabPS::OnInitDialog() {
  const BOOL result = CGenericPS::OnInitDialog();
  GetDlgItem(ID_APPLY_NOW)->EnableWindow(TRUE);
  GetDlgItem(IDCANCEL)->SetWindowText(resLoadString(IDS_RESULTS_OFF).Str().c_str());
  if (g_rememberedPage > 0 && g_rememberedPage < GetPageCount()) SetActivePage(g_rememberedPage);
  return result;
}

void CResTabPS::Redraw(UINT command) {
  const HWND active = ::GetActiveWindow();
  auto* display = dynamic_cast<FerWndOGLDisp*>(FerDisplay::GetCurrent());
  if (display && display->GetDisplayHandle()) ::SetActiveWindow(display->GetDisplayHandle());
  FerState& state = ResState();
  if (command == IDOK) state.AnimateStop();
  state.UpdateImage();
  ::SetActiveWindow(active);
}

void CResTabPS::OutputGraph() {
  std::unique_ptr<CaeGraph> graph(m_graphPage.MakeGraph());
  if (!graph) return;
  if (m_graphPage.m_nOutput != CResGraphPP::kSaveText) {
    UIShowGraphWindow(graph.release());  // the graph window owns it
    return;
  }
  const CaeString extension = resLoadString(IDS_GRAPH_TEXT_EXT);
  const CaeString filter = resLoadString(IDS_GRAPH_TEXT_FILTER);
  CFileDialog dialog(FALSE, extension.Str().c_str(), "", OFN_HIDEREADONLY, filter.Str().c_str(), nullptr);
  if (dialog.DoModal() != IDOK) return;
  graph->Report(std::string(static_cast<const char*>(dialog.GetPathName())));
}

void CResTabPS::ApplyAndShow(UINT command) {
  CadWaitCursor wait;
  m_colorPage.ApplyIfModified();
  m_deformedPage.ApplyIfModified();
  m_symbolPage.ApplyIfModified();
  m_graphPage.ReadBack();
  if (m_hasVrmlPage) {
    m_vrmlPage.UpdateIfInitialised();
    if (m_vrmlPage.m_view)
      m_vrmlPage.ExportAndView();
    else
      m_vrmlPage.Export();
  }
  if (GetActivePage() == &m_graphPage)
    OutputGraph();
  else
    Redraw(command);
}

BOOL CResTabPS::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT command = LOWORD(wParam);
  if (HIWORD(wParam) == BN_CLICKED) {
    if ((command == IDOK && !m_bApplied) || command == ID_APPLY_NOW) ApplyAndShow(command);
    if (command == IDCANCEL)
      if (CadInterface* cad = CadInterface::GetCurrent()) cad->ShowResultsWindow(0);
    if (command == ID_APPLY_NOW) {
      if (!m_bApplied) GetDlgItem(IDOK)->SetWindowText(resLoadString(IDS_RESULTS_CLOSE).Str().c_str());
      m_bApplied = 1;
      return TRUE;
    }
    if (command == IDOK || command == IDCANCEL) g_rememberedPage = GetActiveIndex();
  }
  return CGenericPS::OnCommand(wParam, lParam);
}

void UIShowResultsSheet() {
  UIShowLatestResults(0);
  if (!CadHasCurrentResultSet()) {
    CadMessageBoxId(IDS_MODEL_WITH_RESULTS_REQUIRED, MB_OK | MB_TASKMODAL);
    return;
  }
  CResTabPS sheet(resLoadString(IDS_RESULTS_SIMULATION).Str().c_str(), nullptr, 0);
  sheet.DoModal();
}
