#include "gui/dialogs/optimization/UIOptSelGeomPP.h"

#include <memory>

#include "cadInterface/CadCommands.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "gui/dialogs/common/UISelectPromptDlg.h"

namespace {

constexpr DWORD_PTR kHelpBase = 0x20000;
constexpr UINT kGeometryHelpTemplate = 300;

bool HasBit(int mask, int kind) { return (mask & (1 << kind)) != 0; }

}  // namespace

BEGIN_MESSAGE_MAP(COptSelGeomPP, CPropertyPage)
ON_BN_CLICKED(IDC_GEOM_SOLID, OnSolid)
ON_BN_CLICKED(IDC_GEOM_FACE, OnFace)
ON_BN_CLICKED(IDC_GEOM_EDGE, OnEdge)
ON_BN_CLICKED(IDC_GEOM_VERTEX, OnVertex)
ON_BN_CLICKED(IDC_GEOM_CHANGE_VIEW, OnChangeView)
END_MESSAGE_MAP()

COptSelGeomPP::COptSelGeomPP(UINT templateId) : CPropertyPage(templateId), m_nTemplateId(templateId) {
  m_psp.dwFlags |= PSP_HASHELP;
}

BOOL COptSelGeomPP::PickGeometry(int kind) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (kind == kAllSolids) {
    m_pGeometry = nullptr;
  } else {
    if (!cad) return FALSE;
    // The sheet steps aside while the user picks in the CAD window.
    if (HWND main = cad->GetMainWindow()) {
      ::EnableWindow(main, TRUE);
      ::SetActiveWindow(main);
    }
    CPropertySheet* owner = sheet();
    if (owner) owner->ShowWindow(SW_HIDE);
    AcBrEntity* picked = cad->PickEntity(kind);
    if (owner) owner->ShowWindow(SW_SHOW);
    if (!picked) return FALSE;
    m_pGeometry = picked;
  }
  m_nKind = kind;
  if (CPropertySheet* owner = sheet()) owner->SetActivePage(0);
  return TRUE;
}

BOOL COptSelGeomPP::OnInitDialog() {
  if (CWnd* changeView = GetDlgItem(IDC_GEOM_CHANGE_VIEW))
    changeView->ShowWindow(m_bShowChangeView ? SW_SHOW : SW_HIDE);
  return CPropertyPage::OnInitDialog();
}

void COptSelGeomPP::ShowButton(int id, int pictureId, int kind) {
  if (CWnd* button = GetDlgItem(id)) {
    button->EnableWindow(HasBit(m_nEnableMask, kind));
    button->ShowWindow(HasBit(m_nShowMask, kind) ? SW_SHOW : SW_HIDE);
  }
  if (CWnd* picture = GetDlgItem(pictureId)) picture->ShowWindow(HasBit(m_nShowMask, kind) ? SW_SHOW : SW_HIDE);
}

BOOL COptSelGeomPP::OnSetActive() {
  ShowButton(IDC_GEOM_SOLID, IDC_GEOM_SOLID_PICTURE, kSolid);
  ShowButton(IDC_GEOM_FACE, IDC_GEOM_FACE_PICTURE, kFace);
  ShowButton(IDC_GEOM_EDGE, IDC_GEOM_EDGE_PICTURE, kEdge);
  ShowButton(IDC_GEOM_VERTEX, IDC_GEOM_VERTEX_PICTURE, kVertex);
  if (CWnd* prompt = GetDlgItem(IDC_GEOM_PROMPT)) prompt->SetWindowText(m_strPrompt);
  if (CWnd* selection = GetDlgItem(IDC_GEOM_SELECTION)) selection->SetWindowText(m_strSelection);
  return CPropertyPage::OnSetActive();
}

BOOL COptSelGeomPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(kHelpBase + kGeometryHelpTemplate, HELP_CONTEXT);
    if (result) *result = 1;
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}

// The sheet ends as if OK was pressed; its command keeps it for the run the prompt's OK starts.
void COptSelGeomPP::OnChangeView() {
  UpdateData(TRUE);
  CadInterface* cad = CadInterface::GetCurrent();
  CWnd* main = cad ? CWnd::FromHandle(cad->GetMainWindow()) : nullptr;
  cmdSaveIndex(m_nResumeCommand);
  cmdSetPickPending();
  if (CPropertySheet* owner = sheet()) owner->EndDialog(IDOK);
  auto prompt = std::make_unique<CSelectPromptDlg>(main);
  if (prompt->Show()) prompt.release();  // it deletes itself with its window
}
