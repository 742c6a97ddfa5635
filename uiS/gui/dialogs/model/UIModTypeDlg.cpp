#include "gui/dialogs/model/UIModTypeDlg.h"

#include "amg/CaeMsgCall.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "gui/dialogs/model/UIModelTypes.h"

BEGIN_MESSAGE_MAP(CModTypeDlg, CDialog)
ON_BN_CLICKED(IDC_MODEL_HELP, OnHelp)
END_MESSAGE_MAP()

CModTypeDlg::CModTypeDlg(CWnd* parent) : CDialog(kTemplateId, parent) {}

void CModTypeDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Radio(dx, IDC_TYPE_STRESS, type);
}

void CModTypeDlg::OnHelp() { UIShowHelp(kHelpContext, HELP_CONTEXT); }

void UISetModelType(AnlModel* model) {
  if (!model) return;
  CModTypeDlg dialog;
  dialog.type = static_cast<int>(model->Type());
  CAE_CHECK(UIIsModelType(dialog.type));
  if (dialog.DoModal() != IDOK) return;
  CAE_CHECK(UIIsModelType(dialog.type));
  model->SetType(static_cast<AnlType>(dialog.type));
  if (dialog.type == AnlVibration) {
    if (AnlControl* control = AnlControl::GetCurrent()) control->ClearCurrentLoadCase();
  }
}
