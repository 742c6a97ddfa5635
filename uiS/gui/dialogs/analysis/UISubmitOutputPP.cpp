#include "gui/dialogs/analysis/UISubmitOutputPP.h"

#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlModel.h"
#include "gui/dialogs/analysis/UISubmitAnalysis.h"
#include "mfc/controls.h"
#include "mfc/ddx.h"

namespace {

constexpr DWORD_PTR kHelpBase = 0x20000;
constexpr int kMaxIterations = 10;
constexpr double kMaxTargetError = 10000.0;
constexpr int kTargetErrorSpinTop = 25;
constexpr double kMaxMateTolerance = 10000.0;

// One output request: its check box, its member and, by type (stress, vibration, buckling,
// heat transfer), whether it is offered and whether it starts checked.
struct Request {
  int control;
  BOOL CSubmitOutputPP::*member;
  unsigned bit;
  bool offered[4];
  bool byDefault[4];
};

const Request kRequests[] = {
    {IDC_OUT_DISPLACEMENTS, &CSubmitOutputPP::m_bDisplacements, kUIOutDisplacements, {1, 1, 1, 0}, {1, 1, 1, 0}},
    {IDC_OUT_ELEMENT_FORCES, &CSubmitOutputPP::m_bElementForces, kUIOutElementForces, {1, 1, 1, 0}, {0, 0, 0, 0}},
    {IDC_OUT_FLUX, &CSubmitOutputPP::m_bFlux, kUIOutFlux, {0, 0, 0, 1}, {0, 0, 0, 1}},
    {IDC_OUT_APPLIED_LOADS, &CSubmitOutputPP::m_bAppliedLoads, kUIOutAppliedLoads, {1, 0, 1, 1}, {0, 0, 0, 1}},
    {IDC_OUT_REACTION_FORCES, &CSubmitOutputPP::m_bReactionForces, kUIOutReactionForces, {1, 1, 1, 1}, {1, 0, 0, 1}},
    {IDC_OUT_STRAIN, &CSubmitOutputPP::m_bStrain, kUIOutStrain, {1, 1, 1, 0}, {0, 0, 0, 0}},
    {IDC_OUT_STRAIN_ENERGY, &CSubmitOutputPP::m_bStrainEnergy, kUIOutStrainEnergy, {1, 0, 0, 0}, {0, 0, 0, 0}},
    {IDC_OUT_STRESS, &CSubmitOutputPP::m_bStress, kUIOutStress, {1, 1, 1, 0}, {1, 1, 1, 0}},
    {IDC_OUT_TEMPERATURE, &CSubmitOutputPP::m_bTemperature, kUIOutTemperature, {0, 0, 0, 1}, {0, 0, 0, 1}},
};

bool KnownType(int type) { return type >= 0 && type <= 3; }

void Enable(CWnd& page, int id, bool on) {
  if (CWnd* control = page.GetDlgItem(id)) control->EnableWindow(on);
}

void SetSpin(CWnd& page, int id, int low, int high) {
  if (auto* spin = static_cast<CSpinButtonCtrl*>(page.GetDlgItem(id))) spin->SetRange32(low, high);
}

void EnableAdaptivityFields(CWnd& page, bool on) {
  for (int id : {IDC_ADAPT_ITERATIONS, IDC_ADAPT_ITERATIONS_SPIN, IDC_ADAPT_ITERATIONS_LABEL, IDC_ADAPT_TARGET,
                 IDC_ADAPT_TARGET_SPIN, IDC_ADAPT_TARGET_LABEL, IDC_ADAPT_TARGET_PERCENT})
    Enable(page, id, on);
}

bool ShowHelpOn(LPARAM lParam, LRESULT* result, DWORD_PTR context) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header || static_cast<int>(header->code) != PSN_HELP) return false;
  UIShowHelp(context, HELP_CONTEXT);
  if (result) *result = 1;
  return true;
}

std::string ShortUnitName(int unit) {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  return table ? table->IdToShortString(unit).c_str() : std::string();
}

}  // namespace

// ---- CSubmitOutputPP ----

BEGIN_MESSAGE_MAP(CSubmitOutputPP, CPropertyPage)
ON_BN_CLICKED(IDC_ADAPT_USE, OnUseAdaptivity)
END_MESSAGE_MAP()

CSubmitOutputPP::CSubmitOutputPP() : CPropertyPage(IDD_SUBMIT_OUTPUT) { m_psp.dwFlags |= PSP_HASHELP; }

void CSubmitOutputPP::SetAnalysisType(int type) {
  m_nAnalysisType = type;
  if (!KnownType(type)) return;
  for (const Request& r : kRequests) this->*r.member = r.byDefault[type] ? TRUE : FALSE;
}

unsigned CSubmitOutputPP::RequestWord() const {
  unsigned word = 0;
  for (const Request& r : kRequests)
    if (this->*r.member) word |= r.bit;
  return word;
}

void CSubmitOutputPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  for (const Request& r : kRequests) DDX_Check(dx, r.control, this->*r.member);
  DDX_Check(dx, IDC_ADAPT_USE, m_bUseHAdaptivity);
  DDX_Text(dx, IDC_ADAPT_ITERATIONS, m_nMaxIterations);
  DDV_MinMaxInt(dx, m_nMaxIterations, 1, kMaxIterations);
  DDX_Text(dx, IDC_ADAPT_TARGET, m_dTargetError);
  DDV_MinMaxDouble(dx, m_dTargetError, 1.0, kMaxTargetError);
  DDX_Text(dx, IDC_OUT_MATE_TOLERANCE, m_dMateTolerance);
  DDV_MinMaxDouble(dx, m_dMateTolerance, 0.0, kMaxMateTolerance);
  DDX_Text(dx, IDC_OUT_TEMP_CONVERGENCE, m_dTempConvergence);
}

BOOL CSubmitOutputPP::OnInitDialog() {
  if (KnownType(m_nAnalysisType))
    for (const Request& r : kRequests) {
      if (!r.offered[m_nAnalysisType]) this->*r.member = FALSE;
      Enable(*this, r.control, r.offered[m_nAnalysisType]);
    }
  SetSpin(*this, IDC_ADAPT_ITERATIONS_SPIN, 1, kMaxIterations);
  SetSpin(*this, IDC_ADAPT_TARGET_SPIN, 1, kTargetErrorSpinTop);
  CPropertyPage::OnInitDialog();
  EnableAdaptivity();
  if (m_nAnalysisType != 3)
    for (int id : {IDC_OUT_TEMP_GROUP, IDC_OUT_TEMP_CONVERGENCE, IDC_OUT_TEMP_PERCENT})
      if (CWnd* control = GetDlgItem(id)) control->ShowWindow(SW_HIDE);
  if (CWnd* unit = GetDlgItem(IDC_OUT_MATE_UNIT))
    unit->SetWindowText(ShortUnitName(CaeUnitSystem::GetHostUnit(CaeUtLength)).c_str());
  return TRUE;
}

void CSubmitOutputPP::EnableAdaptivity() {
  auto* check = static_cast<CButton*>(GetDlgItem(IDC_ADAPT_USE));
  EnableAdaptivityFields(*this, check && check->GetCheck() == BST_CHECKED);
}

void CSubmitOutputPP::OnUseAdaptivity() { EnableAdaptivity(); }

BOOL CSubmitOutputPP::OnKillActive() {
  if (!UpdateData(TRUE)) return FALSE;
  const unsigned word = RequestWord();
  if (word == 0 || (word == kUIOutElementForces && m_nAnalysisType != 3)) {
    CadMessageBoxId(IDS_OUTPUT_INVALID, MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  return CPropertyPage::OnKillActive();
}

BOOL CSubmitOutputPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (ShowHelpOn(lParam, result, kHelpBase + IDD_SUBMIT_OUTPUT)) return TRUE;
  return CPropertyPage::OnNotify(wParam, lParam, result);
}

// ---- CSubmitAdaptivityPP ----

BEGIN_MESSAGE_MAP(CSubmitAdaptivityPP, CPropertyPage)
ON_BN_CLICKED(IDC_ADAPT_USE, OnUseAdaptivity)
END_MESSAGE_MAP()

CSubmitAdaptivityPP::CSubmitAdaptivityPP() : CPropertyPage(IDD_SUBMIT_ADAPTIVITY) { m_psp.dwFlags |= PSP_HASHELP; }

CSubmitAdaptivityPP::CSubmitAdaptivityPP(AnlModel* model) : CSubmitAdaptivityPP() {
  if (!model) return;
  m_bUseHAdaptivity = model->GetHAdaptivity() == CaeOn ? TRUE : FALSE;
  m_nMaxIterations = model->GetAdaptIterations();
  m_dTargetError = model->GetAdaptTargetError();
}

void CSubmitAdaptivityPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Check(dx, IDC_ADAPT_USE, m_bUseHAdaptivity);
  DDX_Text(dx, IDC_ADAPT_ITERATIONS, m_nMaxIterations);
  DDV_MinMaxInt(dx, m_nMaxIterations, 1, kMaxIterations);
  DDX_Text(dx, IDC_ADAPT_TARGET, m_dTargetError);
  DDV_MinMaxDouble(dx, m_dTargetError, 1.0, kMaxTargetError);
}

BOOL CSubmitAdaptivityPP::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  SetSpin(*this, IDC_ADAPT_ITERATIONS_SPIN, 1, kMaxIterations);
  SetSpin(*this, IDC_ADAPT_TARGET_SPIN, 1, kTargetErrorSpinTop);
  EnableAdaptivity();
  return TRUE;
}

void CSubmitAdaptivityPP::EnableAdaptivity() {
  auto* check = static_cast<CButton*>(GetDlgItem(IDC_ADAPT_USE));
  EnableAdaptivityFields(*this, check && check->GetCheck() == BST_CHECKED);
}

void CSubmitAdaptivityPP::OnUseAdaptivity() { EnableAdaptivity(); }

BOOL CSubmitAdaptivityPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (ShowHelpOn(lParam, result, kHelpBase + IDD_SUBMIT_ADAPTIVITY)) return TRUE;
  return CPropertyPage::OnNotify(wParam, lParam, result);
}

// ---- CSubmitTemperaturePP ----

CSubmitTemperaturePP::CSubmitTemperaturePP() : CPropertyPage(IDD_SUBMIT_TEMPERATURE) { m_psp.dwFlags |= PSP_HASHELP; }

void CSubmitTemperaturePP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Text(dx, IDC_OUT_TEMP_CONVERGENCE, m_dTempConvergence);
}

BOOL CSubmitTemperaturePP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (ShowHelpOn(lParam, result, kHelpBase + IDD_SUBMIT_TEMPERATURE)) return TRUE;
  return CPropertyPage::OnNotify(wParam, lParam, result);
}
