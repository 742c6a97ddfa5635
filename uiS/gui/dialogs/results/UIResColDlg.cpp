#include "gui/dialogs/results/UIResColDlg.h"

#include "amg/CaeMsgCall.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "gui/dialogs/results/UIResPageSupport.h"
#include "gui/dialogs/results/UIResTabPS.h"
#include "gui/utils/UIFerSAPI.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kHelpContext = 0x20000 + IDD_RES_COLOR;
constexpr int kByValue = 4, kContours = 0;
constexpr int kTop = 0, kBottom = 2;

CButton* Button(CWnd& page, int id) { return static_cast<CButton*>(page.GetDlgItem(id)); }
bool Checked(CWnd& page, int id) { return Button(page, id)->GetCheck() == BST_CHECKED; }

}  // namespace

BEGIN_MESSAGE_MAP(CResColDlg, CPropertyPage)
ON_CBN_SELCHANGE(IDC_RES_DATASET, OnDatasetChange)
ON_CBN_SELCHANGE(IDC_RES_TYPE, OnTypeChange)
ON_CBN_SELCHANGE(IDC_RES_SETS, OnResultSetChange)
ON_BN_CLICKED(IDC_RES_AVERAGE, OnAverage)
ON_BN_CLICKED(IDC_RES_ERROR, OnError)
ON_BN_CLICKED(IDC_RES_ADVANCED, OnAdvanced)
END_MESSAGE_MAP()

CResColDlg::CResColDlg() : CPropertyPage(IDD_RES_COLOR) { ResInterface(); }

FerResultSet* CResColDlg::DisplayedSet() const { return ResInterface().GetResultSet(); }

void CResColDlg::LoadSettings() {
  if (!m_nInitialized || !m_hWnd) return;
  const ResView view = ResGetView();
  const FerColorSetting color = view.settings.GetColorSettings();
  FerResultSet* set = ResDisplayedSet(view.settings);
  const FerResult* result = set->FindResult(color.GetResult());
  const bool canAverage = result && result->CanAverage();
  Button(*this, IDC_RES_AVERAGE)->SetCheck(color.IsAveraged() ? BST_CHECKED : BST_UNCHECKED);
  Button(*this, IDC_RES_ERROR)->SetCheck(color.IsError() ? BST_CHECKED : BST_UNCHECKED);
  GetDlgItem(IDC_RES_AVERAGE)->EnableWindow(canAverage ? TRUE : FALSE);
  GetDlgItem(IDC_RES_ERROR)->EnableWindow(canAverage ? TRUE : FALSE);
  Button(*this, IDC_RES_SHOW)->SetCheck(color.IsVisible() ? BST_CHECKED : BST_UNCHECKED);
  Button(*this, IDC_RES_BY_VALUE)->SetCheck(color.GetMethod() == kByValue ? BST_CHECKED : BST_UNCHECKED);
  Button(*this, IDC_RES_CONTOURS)->SetCheck(color.GetMethod() == kByValue ? BST_UNCHECKED : BST_CHECKED);
  ResFillDatasets(*this, IDC_RES_DATASET, set, &FerResult::CanShowAsColors, color.GetResult());
  const bool shells = ResAnyShells();
  GetDlgItem(IDC_RES_TOP)->EnableWindow(shells ? TRUE : FALSE);
  GetDlgItem(IDC_RES_BOTTOM)->EnableWindow(shells ? TRUE : FALSE);
  if (shells && (color.GetSurface() == kTop || color.GetSurface() == kBottom)) {
    Button(*this, IDC_RES_TOP)->SetCheck(color.GetSurface() == kTop ? BST_CHECKED : BST_UNCHECKED);
    Button(*this, IDC_RES_BOTTOM)->SetCheck(color.GetSurface() == kBottom ? BST_CHECKED : BST_UNCHECKED);
  }
  ResShowCS(*this, IDC_RES_FRAME, IDC_RES_TYPE, color);
  ResRebuildComponents(*this, IDC_RES_DATASET, IDC_RES_COMPONENT, IDC_RES_TYPE, set);
  ResSelectComponent(*this, IDC_RES_COMPONENT, color.GetComponent());
}

void CResColDlg::StoreControls(FerColorSetting& setting) {
  FerResultSet* set = DisplayedSet();
  const int quantity = ResSelectedQuantity(*this, IDC_RES_DATASET, set, setting.GetResult());
  CaeTransform transform;
  int cylindrical = 0;
  ResReadCS(*this, IDC_RES_FRAME, IDC_RES_TYPE, transform, cylindrical);
  const int oldQuantity = setting.GetResult();
  const int oldSafety = setting.FactorOfSafetyUsed();
  setting.SetResult(quantity);
  setting.Visible(Checked(*this, IDC_RES_SHOW));
  setting.Average(Checked(*this, IDC_RES_AVERAGE));
  setting.Error(Checked(*this, IDC_RES_ERROR));
  setting.SetComponent(ResSelectedComponentBit(*this, IDC_RES_COMPONENT, setting.GetComponent()));
  setting.SetCS(transform, cylindrical);
  setting.SetMethod(Checked(*this, IDC_RES_BY_VALUE) ? kByValue : kContours);
  if (ResAnyShells()) setting.SetSurface(Checked(*this, IDC_RES_TOP) ? kTop : kBottom);
  if (quantity != oldQuantity && oldSafety) setting.UseFactorOfSafety(0);
  // A range and a factor of safety hold for results of the unit type they were typed for: a
  // dataset of another type shows its full range without a factor of safety.
  const FerResult* result = set ? set->FindResult(quantity) : nullptr;
  const FerResult* previous = set ? set->FindResult(oldQuantity) : nullptr;
  const CaeUnitType rangeUnit = m_bRangeConfirmed ? m_rangeDlg.m_nUnitType
                                : previous        ? previous->UnitType()
                                                  : CaeUtNone;
  if (!result || result->UnitType() != rangeUnit) {
    setting.SetRangeType(CResColOptDlg::kFullRange + 1);
    setting.UseFactorOfSafety(0);
  }
  if (!m_bRangeConfirmed || !result || result->UnitType() != m_rangeDlg.m_nUnitType) {
    if (setting.GetColorStyle() > 3) setting.SetColorStyle(0);
    return;
  }
  const CaeUnit unit(m_rangeDlg.m_nUnitType);
  setting.SetRangeType(m_rangeDlg.m_nRangeType + 1);
  setting.SetRange(unit.HostToNative(m_rangeDlg.m_dMinimum), unit.HostToNative(m_rangeDlg.m_dMaximum),
                   unit.HostToNative(m_rangeDlg.m_dIncrement));
  setting.SetNumberIntervals(m_rangeDlg.m_nIncrements);
  setting.SetColorStyle(m_rangeDlg.m_nColorStyle);
  const int safety = !m_rangeDlg.m_bSafety ? 0 : m_rangeDlg.m_nSafetyKind == CResColOptDlg::kMaterialBased ? 2 : 1;
  setting.UseFactorOfSafety(safety);
  setting.SetFactorOfSafetyValue(unit.HostToNative(m_rangeDlg.m_dAllowable));
}

void CResColDlg::Apply() {
  ResView view = ResGetView();
  FerColorSetting color = view.settings.GetColorSettings();
  StoreControls(color);
  view.settings.SetColorSettings(color);
  ResStoreView(view);
}

BOOL CResColDlg::OnApply() {
  if (m_hWnd) Apply();
  return TRUE;
}

void CResColDlg::ShowSelectedResultSet(int applyDefaults) {
  if (!m_pModel || m_resultSets.empty()) return;
  const int selected = static_cast<CComboBox*>(GetDlgItem(IDC_RES_SETS))->GetCurSel();
  FerResultSet* set = m_resultSets[static_cast<std::size_t>(selected < 0 ? 0 : selected)];
  UIShowResultSet(set, m_pModel, 0);
  if (applyDefaults) ResState().DefaultDisplay(0);
  if (auto* sheet = dynamic_cast<CResTabPS*>(this->sheet())) sheet->Redraw(0);
  LoadSettings();
}

BOOL CResColDlg::OnInitDialog() {
  ResFillFrameAndType(*this, IDC_RES_FRAME, IDC_RES_TYPE);
  CPropertyPage::OnInitDialog();
  auto* sets = static_cast<CComboBox*>(GetDlgItem(IDC_RES_SETS));
  for (FerResultSet* set : m_resultSets) sets->AddString(set->Name().Str().c_str());
  if (!m_resultSets.empty()) sets->SetCurSel(0);
  sets->ShowWindow(m_resultSets.size() >= 2 ? SW_SHOW : SW_HIDE);
  ShowSelectedResultSet(1);
  m_nInitialized = 1;
  LoadSettings();
  return TRUE;
}

BOOL CResColDlg::OnSetActive() {
  // Other pages (animation) change the display: from the second activation on, show again.
  if (m_nInitialized == 2) ShowSelectedResultSet(1);
  if (m_nInitialized) m_nInitialized = 2;
  return CPropertyPage::OnSetActive();
}

void CResColDlg::UpdateAverageEnables(bool clear) {
  FerResult* result = ResSelectedResult(*this, IDC_RES_DATASET, DisplayedSet());
  const bool canAverage = result && result->CanAverage();
  if (!canAverage && clear) {
    Button(*this, IDC_RES_AVERAGE)->SetCheck(BST_UNCHECKED);
    Button(*this, IDC_RES_ERROR)->SetCheck(BST_UNCHECKED);
  }
  GetDlgItem(IDC_RES_AVERAGE)->EnableWindow(canAverage ? TRUE : FALSE);
  GetDlgItem(IDC_RES_ERROR)->EnableWindow(canAverage ? TRUE : FALSE);
}

void CResColDlg::OnDatasetChange() {
  UpdateAverageEnables(true);
  ResRebuildComponents(*this, IDC_RES_DATASET, IDC_RES_COMPONENT, IDC_RES_TYPE, DisplayedSet());
}

void CResColDlg::OnTypeChange() {
  ResRebuildComponents(*this, IDC_RES_DATASET, IDC_RES_COMPONENT, IDC_RES_TYPE, DisplayedSet());
}

void CResColDlg::OnAverage() {
  if (Checked(*this, IDC_RES_AVERAGE)) Button(*this, IDC_RES_ERROR)->SetCheck(BST_UNCHECKED);
}

void CResColDlg::OnError() {
  if (Checked(*this, IDC_RES_ERROR)) Button(*this, IDC_RES_AVERAGE)->SetCheck(BST_UNCHECKED);
}

void CResColDlg::OnAdvanced() {
  const ResView view = ResGetView();
  FerColorSetting color = view.settings.GetColorSettings();
  StoreControls(color);
  m_rangeDlg.SetColorSetting(color);
  if (m_rangeDlg.DoModal() == IDOK) m_bRangeConfirmed = 1;
}

void CResColDlg::OnResultSetChange() { ShowSelectedResultSet(0); }

BOOL CResColDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (ResPageHelp(lParam, result, kHelpContext)) return TRUE;
  return CPropertyPage::OnNotify(wParam, lParam, result);
}
