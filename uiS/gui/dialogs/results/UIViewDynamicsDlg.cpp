#include "gui/dialogs/results/UIViewDynamicsDlg.h"

#include "amg/CaeMsgCall.h"
#include "cadInterface/CadResources.h"
#include "fea/FerState.h"
#include "fev/FerWndOGLDisp.h"

namespace {

FerWndOGLDisp* CurrentResultsWindow() { return dynamic_cast<FerWndOGLDisp*>(FerDisplay::GetCurrent()); }

void EndDynamics(int keep, UINT message) {
  if (FerWndOGLDisp* display = CurrentResultsWindow()) display->EndDynamics(keep);
  CaeMsgCall::Info(message);
}

}  // namespace

BEGIN_MESSAGE_MAP(CViewDynamicsDlg, CDialog)
ON_BN_CLICKED(IDC_DYN_ROTATE, OnRotate)
ON_BN_CLICKED(IDC_DYN_ROTATE_Z, OnRotateZ)
ON_BN_CLICKED(IDC_DYN_MOVE, OnMove)
ON_BN_CLICKED(IDC_DYN_ZOOM, OnZoom)
ON_BN_CLICKED(IDC_MODEL_HELP, OnHelp)
END_MESSAGE_MAP()

CViewDynamicsDlg::CViewDynamicsDlg(CWnd* parent) : CDialog(kTemplateId, parent) {}

INT_PTR CViewDynamicsDlg::DoModal() {
  if (FerWndOGLDisp* display = CurrentResultsWindow()) display->StartDynamics();
  return CDialog::DoModal();
}

void CViewDynamicsDlg::SetMode(int mode) {
  CaeMsgCall::Info(IDS_VIEW_DYNAMICS_PROMPT);
  if (FerWndOGLDisp* display = CurrentResultsWindow()) display->DoDynamics(mode);
}

void CViewDynamicsDlg::ChooseMode(int mode) {
  EndDialog(IDOK);
  SetMode(mode);
}

void CViewDynamicsDlg::OnRotate() { ChooseMode(kRotate); }
void CViewDynamicsDlg::OnRotateZ() { ChooseMode(kRotateZ); }
void CViewDynamicsDlg::OnMove() { ChooseMode(kMove); }
void CViewDynamicsDlg::OnZoom() { ChooseMode(kZoom); }

void CViewDynamicsDlg::OnOK() {
  EndDynamics(1, IDS_VIEW_DYNAMICS_DONE);
  CDialog::OnOK();
}

void CViewDynamicsDlg::OnCancel() {
  EndDynamics(0, IDS_VIEW_DYNAMICS_CANCELLED);
  CDialog::OnCancel();
}

void CViewDynamicsDlg::OnHelp() { UIShowHelp(kHelpContext, HELP_CONTEXT); }
