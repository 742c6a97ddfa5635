#include "gui/dialogs/results/UIResDGDlg.h"

#include "fea/FerResult.h"
#include "gui/dialogs/results/UIResPageSupport.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kHelpContext = 0x200A5;

}  // namespace

BEGIN_MESSAGE_MAP(CResDGDlg, CPropertyPage)
ON_CBN_SELCHANGE(IDC_RES_DATASET, OnDatasetChange)
ON_CBN_SELCHANGE(IDC_RES_TYPE, OnDatasetChange)
ON_BN_CLICKED(IDC_RES_ADVANCED, OnAdvanced)
END_MESSAGE_MAP()

CResDGDlg::CResDGDlg() : CPropertyPage(IDD_RES_DEFORMED) { ResInterface(); }

void CResDGDlg::LoadSettings() {
  const ResView view = ResGetView();
  const FerDeformedSetting deformed = view.settings.GetDeformedSettings();
  FerResultSet* set = ResDisplayedSet(view.settings);
  static_cast<CButton*>(GetDlgItem(IDC_RES_SHOW))->SetCheck(deformed.IsVisible() ? BST_CHECKED : BST_UNCHECKED);
  ResFillDatasets(*this, IDC_RES_DATASET, set, &FerResult::CanShowAsDeformation, deformed.GetResult());
  ResShowCS(*this, IDC_RES_FRAME, IDC_RES_TYPE, deformed);
  ResRebuildComponents(*this, IDC_RES_DATASET, IDC_RES_COMPONENT, IDC_RES_TYPE, set);
  ResSelectComponent(*this, IDC_RES_COMPONENT, deformed.GetComponent());
}

void CResDGDlg::StoreControls(FerDeformedSetting& setting) {
  FerResultSet* set = ResInterface().GetResultSet();
  CaeTransform transform;
  int cylindrical = 0;
  ResReadCS(*this, IDC_RES_FRAME, IDC_RES_TYPE, transform, cylindrical);
  setting.SetResult(ResSelectedQuantity(*this, IDC_RES_DATASET, set, setting.GetResult()));
  setting.Visible(static_cast<CButton*>(GetDlgItem(IDC_RES_SHOW))->GetCheck() == BST_CHECKED);
  setting.SetComponent(ResSelectedComponentBit(*this, IDC_RES_COMPONENT, setting.GetComponent()));
  setting.SetCS(transform, cylindrical);
  // Options the dialog never read from the view (a deformed quantity without scale values) are
  // not written: the setting keeps its own.
  if (!m_bOptionsConfirmed || !m_optionsDlg.Loaded()) return;
  setting.SetMethod(m_optionsDlg.m_nScaleMethod == CResDGOptDlg::kPercentage ? FerScalePercent : FerScaleFactor);
  setting.SetFactor(m_optionsDlg.m_dFactor);
  setting.SetPercent(m_optionsDlg.m_dPercent);
  setting.ShowUndeformed(m_optionsDlg.m_bSuperimpose);
  // A colour outside the list keeps the setting's own.
  const int code = CColorNameList().CodeAtIndex(m_optionsDlg.m_nColor);
  if (code >= 0) setting.SetUndeformedColor(static_cast<FerColor>(code));
}

void CResDGDlg::Apply() {
  ResView view = ResGetView();
  FerDeformedSetting deformed = view.settings.GetDeformedSettings();
  StoreControls(deformed);
  view.settings.SetDeformedSettings(deformed);
  ResStoreView(view);
}

BOOL CResDGDlg::OnApply() {
  if (m_hWnd) Apply();
  return TRUE;
}

void CResDGDlg::OnAdvanced() {
  const ResView view = ResGetView();
  FerDeformedSetting deformed = view.settings.GetDeformedSettings();
  StoreControls(deformed);
  m_optionsDlg.SetDeformedSetting(deformed);
  if (m_optionsDlg.DoModal() == IDOK) m_bOptionsConfirmed = 1;
}

BOOL CResDGDlg::OnInitDialog() {
  ResFillFrameAndType(*this, IDC_RES_FRAME, IDC_RES_TYPE);
  CPropertyPage::OnInitDialog();
  LoadSettings();
  m_nInitialized = 1;
  return TRUE;
}

void CResDGDlg::OnDatasetChange() {
  ResRebuildComponents(*this, IDC_RES_DATASET, IDC_RES_COMPONENT, IDC_RES_TYPE, ResInterface().GetResultSet());
}

BOOL CResDGDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (ResPageHelp(lParam, result, kHelpContext)) return TRUE;
  return CPropertyPage::OnNotify(wParam, lParam, result);
}
