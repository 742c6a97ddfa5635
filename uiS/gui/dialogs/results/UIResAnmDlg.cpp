#include "gui/dialogs/results/UIResAnmDlg.h"

#include "cadInterface/CadAppControl.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "gui/dialogs/results/UIResColDlg.h"
#include "gui/dialogs/results/UIResPageSupport.h"
#include "gui/dialogs/results/UIResTabPS.h"
#include "gui/utils/UIFerSAPI.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kHelpContext = 0x20000 + IDD_RES_ANIMATION;
constexpr int kEndless = -1;
// Quantities of the optimisation displays: the model's shapes and the Concept material.
constexpr int kShapeQuantity = 3, kConceptQuantity = 29, kMagnitude = 8;

CSliderCtrl* Slider(CWnd& page, int id) { return static_cast<CSliderCtrl*>(page.GetDlgItem(id)); }

}  // namespace

BEGIN_MESSAGE_MAP(CResAnmDlg, CPropertyPage)
ON_BN_CLICKED(IDC_ANM_PLAY, OnPlay)
ON_BN_CLICKED(IDC_ANM_STOP, OnStop)
ON_BN_CLICKED(IDC_ANM_NEXT, OnForward)
ON_BN_CLICKED(IDC_ANM_BACK, OnBack)
END_MESSAGE_MAP()

CResAnmDlg::CResAnmDlg() : CPropertyPage(IDD_RES_ANIMATION) {
  ResState().AnimateInit();
  ResInterface();
}

CResAnmDlg::~CResAnmDlg() {
  if (finished_) return;
  FerState* state = FerState::GetState();
  if (!state || !state->IsAnimationInitialized()) return;
  state->AnimateStop();
  state->AnimateDone();
  state->UpdateImage();
}

void CResAnmDlg::StoreSettings() {
  if (!m_hWnd) return;
  UISetAnimationSettings(kEndless, Slider(*this, IDC_ANM_STEP)->GetPos(),
                         static_cast<double>(Slider(*this, IDC_ANM_SPEED)->GetPos()));
}

void CResAnmDlg::StopAnimation() {
  FerState& state = ResState();
  state.AnimateStop();
  StoreSettings();
  state.AnimateStop();
  state.AnimateDone();
  finished_ = true;
}

BOOL CResAnmDlg::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  SetupOptimisationDisplay();
  m_nActivations = 1;
  CheckRadioButton(IDC_ANM_FULL, IDC_ANM_FORWARD, IDC_ANM_FULL);
  int repetitions = 0, frames = 0, kind = 0, modal = 0;
  double speed = 0;
  UIGetAnimationSettings(repetitions, frames, speed, kind, modal);
  Slider(*this, IDC_ANM_SPEED)->SetRange(kMinSpeed, kMaxSpeed);
  Slider(*this, IDC_ANM_SPEED)->SetPos(static_cast<int>(speed));
  Slider(*this, IDC_ANM_STEP)->SetRange(kMinFrames, kMaxFrames);
  Slider(*this, IDC_ANM_STEP)->SetPos(frames);
  return TRUE;
}

BOOL CResAnmDlg::OnSetActive() {
  if (m_nActivations >= 2) SetupOptimisationDisplay();
  if (m_nActivations >= 1) m_nActivations = 2;
  finished_ = false;
  return CPropertyPage::OnSetActive();
}

BOOL CResAnmDlg::OnKillActive() {
  StopAnimation();
  GetDlgItem(IDC_ANM_PLAY)->EnableWindow(TRUE);
  return CPropertyPage::OnKillActive();
}

void CResAnmDlg::OnCancel() { StopAnimation(); }

void CResAnmDlg::SetupOptimisationDisplay() {
  if (!m_pResultSet || !m_pModel) return;
  UIShowResultSet(m_pResultSet, m_pModel, 0);
  ResState().AnimateInit();
  const bool shape = m_pResultSet->IsModelShape() != 0;
  const int quantity = shape ? kShapeQuantity : kConceptQuantity;
  ResView view = ResGetView();
  FerDeformedSetting deformed = view.settings.GetDeformedSettings();
  deformed.SetResult(quantity);
  deformed.Visible(shape ? 1 : 0);
  deformed.SetComponent(kMagnitude);
  deformed.SetMethod(FerScaleFactor);
  deformed.SetFactor(1.0);
  deformed.ShowUndeformed(0);
  view.settings.SetDeformedSettings(deformed);
  FerColorSetting color = view.settings.GetColorSettings();
  color.SetResult(quantity);
  color.Visible(m_pResultSet->IsModelConcept() ? 1 : 0);
  color.Average(0);
  color.Error(0);
  color.SetComponent(0);
  color.UseFactorOfSafety(0);
  view.settings.SetColorSettings(color);
  ResStoreView(view);
  UISetResultSubSet(m_pResultSet->NumSubSets());
  if (auto* sheet = dynamic_cast<CResTabPS*>(this->sheet())) {
    sheet->Redraw(0);
    sheet->m_colorPage.LoadSettings();
  }
}

void CResAnmDlg::OnPlay() {
  StoreSettings();
  const bool full = IsDlgButtonChecked(IDC_ANM_FULL) == BST_CHECKED;
  GetDlgItem(IDC_ANM_PLAY)->EnableWindow(FALSE);
  CadWaitCursor wait;
  UIAnimate(full ? 1 : 0);
}

void CResAnmDlg::OnStop() {
  ResState().AnimateStop();
  GetDlgItem(IDC_ANM_PLAY)->EnableWindow(TRUE);
}

void CResAnmDlg::OnForward() {
  StoreSettings();
  ResState().AnimateStep(1);
  ResState().UpdateImage();
}

void CResAnmDlg::OnBack() {
  StoreSettings();
  ResState().AnimateStep(-1);
  ResState().UpdateImage();
}

BOOL CResAnmDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (ResPageHelp(lParam, result, kHelpContext)) return TRUE;
  return CPropertyPage::OnNotify(wParam, lParam, result);
}
