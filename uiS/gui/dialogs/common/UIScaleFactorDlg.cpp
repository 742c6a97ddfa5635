#include "gui/dialogs/common/UIScaleFactorDlg.h"

#include "cadInterface/CadResources.h"

BEGIN_MESSAGE_MAP(CScaleFactorDlg, CDialog)
ON_BN_CLICKED(IDC_SCALE_FACTOR_HELP, OnHelp)
END_MESSAGE_MAP()

CScaleFactorDlg::CScaleFactorDlg(CWnd* parent) : CDialog(kTemplateId, parent) {}

void CScaleFactorDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Text(dx, IDC_SCALE_FACTOR, m_value);  // the toolkit refuses text that is not a number
}

void CScaleFactorDlg::OnHelp() { UIShowHelp(kHelpContext, HELP_CONTEXT); }

double UIGetScaleFactor(double value) {
  ResourceSetter resources(1);
  CScaleFactorDlg dialog;
  dialog.m_value = value;
  return dialog.DoModal() == IDOK ? dialog.m_value : value;
}
