#include "gui/dialogs/results/UIResSymDlg.h"

#include "amg/CaeUnit.h"
#include "fea/FerResult.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kHelpContext = 0x200A7;
constexpr int kLocationRadios[] = {IDC_SYM_NODES, IDC_SYM_CENTROID, IDC_SYM_FACES};  // locations 1, 2, 3
constexpr int kMethodFixed = 0, kMethodPercent = 2;
constexpr int kPercentUnit = 17;

CButton* Button(CWnd& page, int id) { return static_cast<CButton*>(page.GetDlgItem(id)); }

}  // namespace

BEGIN_MESSAGE_MAP(CResSymDlg, CPropertyPage)
ON_CBN_SELCHANGE(IDC_RES_DATASET, OnDatasetChange)
ON_CBN_SELCHANGE(IDC_RES_TYPE, OnTypeChange)
ON_BN_CLICKED(IDC_RES_ADVANCED, OnAdvanced)
END_MESSAGE_MAP()

CResSymDlg::CResSymDlg() : CPropertyPage(IDD_RES_SYMBOL) { ResInterface(); }

FerResult* CResSymDlg::GetSelectedResult() {
  return ResSelectedResult(*this, IDC_RES_DATASET, ResInterface().GetResultSet());
}

void CResSymDlg::ShowLocation(const FerSymbolSetting& setting) {
  for (int id : kLocationRadios) Button(*this, id)->SetCheck(BST_UNCHECKED);
  if (setting.NodalOnly()) {
    Button(*this, IDC_SYM_NODES)->SetCheck(BST_CHECKED);
    GetDlgItem(IDC_SYM_CENTROID)->EnableWindow(FALSE);
    GetDlgItem(IDC_SYM_FACES)->EnableWindow(FALSE);
    return;
  }
  GetDlgItem(IDC_SYM_CENTROID)->EnableWindow(TRUE);
  GetDlgItem(IDC_SYM_FACES)->EnableWindow(TRUE);
  const int location = setting.GetLocation();
  if (location >= 1 && location <= 3) Button(*this, kLocationRadios[location - 1])->SetCheck(BST_CHECKED);
}

void CResSymDlg::LoadSettings() {
  const ResView view = ResGetView();
  const FerSymbolSetting symbol = view.settings.GetSymbolSettings();
  FerResultSet* set = ResDisplayedSet(view.settings);
  const FerResult* result = set->FindResult(symbol.GetResult());
  ShowLocation(symbol);
  Button(*this, IDC_RES_AVERAGE)->SetCheck(symbol.IsAveraged() ? BST_CHECKED : BST_UNCHECKED);
  GetDlgItem(IDC_RES_AVERAGE)->EnableWindow(result && result->CanAverage() ? TRUE : FALSE);
  Button(*this, IDC_RES_SHOW)->SetCheck(symbol.IsVisible() ? BST_CHECKED : BST_UNCHECKED);
  ResFillDatasets(*this, IDC_RES_DATASET, set, &FerResult::CanShowAsSymbol, symbol.GetResult());
  ResShowCS(*this, IDC_RES_FRAME, IDC_RES_TYPE, symbol);
  ResRebuildComponents(*this, IDC_RES_DATASET, IDC_RES_COMPONENT, IDC_RES_TYPE, set);
  ResSelectComponent(*this, IDC_RES_COMPONENT, symbol.GetComponent());
}

void CResSymDlg::StoreControls(FerSymbolSetting& setting) {
  FerResultSet* set = ResInterface().GetResultSet();
  CaeTransform transform;
  int cylindrical = 0;
  ResReadCS(*this, IDC_RES_FRAME, IDC_RES_TYPE, transform, cylindrical);
  setting.SetResult(ResSelectedQuantity(*this, IDC_RES_DATASET, set, setting.GetResult()));
  setting.Visible(Button(*this, IDC_RES_SHOW)->GetCheck() == BST_CHECKED);
  setting.Average(Button(*this, IDC_RES_AVERAGE)->GetCheck() == BST_CHECKED);
  setting.SetComponent(ResSelectedComponentBit(*this, IDC_RES_COMPONENT, setting.GetComponent()));
  setting.SetCS(transform, cylindrical);
  // No location chosen keeps the setting's own.
  for (int i = 0; i < 3; ++i)
    if (Button(*this, kLocationRadios[i])->GetCheck() == BST_CHECKED) setting.SetLocation(i + 1);
  if (!m_bOptionsConfirmed) return;
  setting.SetMethod(m_optionsDlg.m_nSizeMode == CResSymOptDlg::kFixed ? kMethodFixed : kMethodPercent);
  setting.SetFactor(m_optionsDlg.m_dFactor);
  setting.SetPercent(CaeUnit::HostToNative(kPercentUnit, m_optionsDlg.m_dPercent));
  setting.SetFixedSize(CaeUnit::HostToNative(CaeUtLength, m_optionsDlg.m_dFixedSize));
  // A colour outside the list keeps the setting's own.
  const int code = CColorNameList().CodeAtIndex(m_optionsDlg.m_nColor);
  if (code >= 0) setting.SetColor(static_cast<FerColor>(code));
}

void CResSymDlg::Apply() {
  ResView view = ResGetView();
  FerSymbolSetting symbol = view.settings.GetSymbolSettings();
  StoreControls(symbol);
  view.settings.SetSymbolSettings(symbol);
  ResStoreView(view);
}

BOOL CResSymDlg::OnApply() {
  if (m_hWnd) Apply();
  return TRUE;
}

void CResSymDlg::OnAdvanced() {
  const ResView view = ResGetView();
  FerSymbolSetting symbol = view.settings.GetSymbolSettings();
  StoreControls(symbol);
  m_optionsDlg.SetSymbolSetting(symbol);
  if (m_optionsDlg.DoModal() == IDOK) m_bOptionsConfirmed = 1;
}

BOOL CResSymDlg::OnInitDialog() {
  ResFillFrameAndType(*this, IDC_RES_FRAME, IDC_RES_TYPE);
  CPropertyPage::OnInitDialog();
  LoadSettings();
  m_nInitialized = 1;
  return TRUE;
}

void CResSymDlg::OnDatasetChange() {
  FerResult* result = GetSelectedResult();
  FerSymbolSetting copy = ResGetView().settings.GetSymbolSettings();
  if (result) copy.SetResult(result->QuantityType());
  ShowLocation(copy);
  const bool canAverage = result && result->CanAverage();
  if (!canAverage) Button(*this, IDC_RES_AVERAGE)->SetCheck(BST_UNCHECKED);
  GetDlgItem(IDC_RES_AVERAGE)->EnableWindow(canAverage ? TRUE : FALSE);
  OnTypeChange();
}

void CResSymDlg::OnTypeChange() {
  ResRebuildComponents(*this, IDC_RES_DATASET, IDC_RES_COMPONENT, IDC_RES_TYPE, ResInterface().GetResultSet());
}

BOOL CResSymDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (ResPageHelp(lParam, result, kHelpContext)) return TRUE;
  return CPropertyPage::OnNotify(wParam, lParam, result);
}
