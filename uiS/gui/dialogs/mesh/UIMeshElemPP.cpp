#include "gui/dialogs/mesh/UIMeshElemPP.h"

#include <cmath>
#include <cstdlib>
#include <memory>

#include "amg/CaeExcept.h"
#include "amg/CaeTopoRef.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "gui/dialogs/common/UISelectPromptDlg.h"
#include "gui/dialogs/mesh/UIMeshPS.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kPageHelpBase = 0x20000;
constexpr int kSpinDigits = 2;
constexpr int kFaceRequest = 2;  // the parked pick request of a face
constexpr int kPickFaceKind = 2;
constexpr int kAngleControls[] = {IDC_ELEM_ANGLE, IDC_ELEM_ANGLE_LABEL, IDC_ELEM_ANGLE_UNIT};

CString HostUnitName(int unitType) {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  return table ? CString(table->IdToShortString(CaeUnitSystem::GetHostUnit(unitType)).Text()) : CString();
}

bool ShowsHelp(LPARAM lParam, LRESULT* result, UINT templateId) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header || static_cast<int>(header->code) != PSN_HELP) return false;
  UIShowHelp(kPageHelpBase + templateId, HELP_CONTEXT);
  if (result) *result = 1;
  return true;
}

}  // namespace

// ---- Shell Element Properties ----

BEGIN_MESSAGE_MAP(CShellPropDlg, CDialog)
ON_BN_CLICKED(IDC_SHELL_HELP, OnHelp)
END_MESSAGE_MAP()

CShellPropDlg::CShellPropDlg() : CDialog(IDD_MESH_SHELL) {}

void CShellPropDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Text(dx, IDC_SHELL_THICKNESS, m_dThickness);
  DDV_MinMaxDouble(dx, m_dThickness, kThinnest, kThickest);
  DDX_Text(dx, IDC_SHELL_UNIT, m_strUnit);
}

BOOL CShellPropDlg::OnInitDialog() {
  m_strUnit = HostUnitName(CaeUtLength);
  return CDialog::OnInitDialog();
}

BOOL CShellPropDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->idFrom) == IDC_SHELL_SPIN && static_cast<int>(header->code) == UDN_DELTAPOS) {
    Step(reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta);
    if (result) *result = 0;  // the control's own step goes on
    return TRUE;
  }
  return CDialog::OnNotify(wParam, lParam, result);
}

void CShellPropDlg::Step(int delta) {
  CWnd* edit = GetDlgItem(IDC_SHELL_THICKNESS);
  if (!edit) return;
  CString text;
  edit->GetWindowText(text);
  const char* begin = static_cast<const char*>(text);
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  // Only a whole number moves: text the edit holds that is not one is left for OK to refuse.
  if (end == begin || *end != '\0' || !std::isfinite(value)) return;
  CString shown;
  CadSetDlgItemValue(shown, this, IDC_SHELL_THICKNESS, delta <= 0 ? value + kSpinStep : value - kSpinStep, kSpinDigits);
}

void CShellPropDlg::OnHelp() { UIShowHelp(kPageHelpBase + IDD_MESH_SHELL, HELP_CONTEXT); }

// ---- Elements page ----

BEGIN_MESSAGE_MAP(CMeshElemPP, CPropertyPage)
ON_BN_CLICKED(IDC_ELEM_SCALING_NO, OnScalingNo)
ON_BN_CLICKED(IDC_ELEM_SCALING_YES, OnScalingYes)
ON_BN_CLICKED(IDC_ELEM_STRAIGHT, OnChanged)
ON_BN_CLICKED(IDC_ELEM_CURVED, OnChanged)
ON_EN_CHANGE(IDC_ELEM_ANGLE, OnChanged)
ON_BN_CLICKED(IDC_ELEM_SOLID, OnSolid)
ON_BN_CLICKED(IDC_ELEM_SHELL, OnShell)
ON_BN_CLICKED(IDC_ELEM_CHANGE_VIEW, OnChangeView)
ON_BN_CLICKED(IDC_ELEM_PICK_FACE, OnPickFace)
ON_BN_CLICKED(IDC_ELEM_PROPERTIES, OnShellProperties)
END_MESSAGE_MAP()

CMeshElemPP::CMeshElemPP() : CPropertyPage(IDD_MESH_ELEMENTS) { m_psp.dwFlags |= PSP_HASHELP; }

CMeshPS* CMeshElemPP::MeshSheet() const { return dynamic_cast<CMeshPS*>(sheet()); }

void CMeshElemPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Radio(dx, IDC_ELEM_SCALING_NO, m_nCurvatureScaling);
  DDX_Radio(dx, IDC_ELEM_STRAIGHT, m_nEdgeShape);
  DDX_Text(dx, IDC_ELEM_ANGLE, m_dAnglePerElement);
  DDV_MinMaxDouble(dx, m_dAnglePerElement, 0.0, kLargestAngle);
  // An angle of 0 has no elements per arc: refused while curvature scaling is on.
  if (dx->m_bSaveAndValidate && m_nCurvatureScaling == 1 && !(m_dAnglePerElement > 0.0)) {
    CadMessageBoxText(resLoadString(IDS_ANGLE_MUST_BE_POSITIVE).Text(), MB_TASKMODAL | MB_ICONEXCLAMATION);
    dx->PrepareEditCtrl(IDC_ELEM_ANGLE);
    dx->Fail();
  }
  DDX_Text(dx, IDC_ELEM_ANGLE_UNIT, m_strAngleUnit);
  DDX_Radio(dx, IDC_ELEM_SOLID, m_nElementType);
}

double CMeshElemPP::GetShellThickness() const { return CaeUnit(CaeUtLength).HostToNative(m_shellDlg.m_dThickness); }

void CMeshElemPP::SetShellThickness(double nativeThickness) {
  m_shellDlg.m_dThickness = CaeUnit(CaeUtLength).NativeToHost(nativeThickness);
}

BOOL CMeshElemPP::OnInitDialog() {
  m_strAngleUnit = HostUnitName(CaeUtAngle);
  CPropertyPage::OnInitDialog();
  EnableAngle(m_nCurvatureScaling == 1);
  CadInterface* cad = CadInterface::GetCurrent();
  if (CWnd* changeView = GetDlgItem(IDC_ELEM_CHANGE_VIEW))
    changeView->ShowWindow(cad && cad->UsesPickRequests() == 0 ? SW_SHOW : SW_HIDE);
  m_bShown = TRUE;
  return TRUE;
}

BOOL CMeshElemPP::OnSetActive() {
  m_bShown = TRUE;
  UpdateElementTypes();
  if (!m_bExisting) SetModified(TRUE);
  return CPropertyPage::OnSetActive();
}

BOOL CMeshElemPP::OnKillActive() {
  if (!UpdateData(TRUE)) return FALSE;
  return CPropertyPage::OnKillActive();
}

BOOL CMeshElemPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (ShowsHelp(lParam, result, IDD_MESH_ELEMENTS)) return TRUE;
  return CPropertyPage::OnNotify(wParam, lParam, result);
}

bool CMeshElemPP::SaveIfInitialised() { return !m_bShown || !GetSafeHwnd() || UpdateData(TRUE); }

void CMeshElemPP::MarkInitialised() {
  m_bShown = TRUE;
  UpdateElementTypes();
  SetModified(FALSE);
}

void CMeshElemPP::Enable(int id, bool enabled) {
  if (CWnd* control = GetDlgItem(id)) control->EnableWindow(enabled);
}

void CMeshElemPP::EnableAngle(bool enabled) {
  for (int id : kAngleControls) Enable(id, enabled);
}

void CMeshElemPP::UpdateElementTypes() {
  CMeshPS* ps = MeshSheet();
  bool solidAllowed = true;
  bool shellAllowed = true;
  if (m_bExisting) {
    if (ps && ps->IsShellMesh()) {
      m_nElementType = kShell;
      solidAllowed = false;
    } else {
      shellAllowed = false;
    }
  } else {
    AnlControl* control = CadCurrentAnlControl();
    AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
    CaeTopoRef* first = ps ? ps->m_topology.FirstNode()->Item() : nullptr;
    if (model && model->HasSolidMesh()) {
      m_nElementType = kSolid;
      shellAllowed = false;
    } else if (first && first->Kind() == CaeTopoRef::kFace) {
      m_nElementType = kShell;
      solidAllowed = false;
    }
  }
  if (GetSafeHwnd()) {
    if (auto* solid = static_cast<CButton*>(GetDlgItem(IDC_ELEM_SOLID))) solid->SetCheck(m_nElementType == kSolid);
    if (auto* shell = static_cast<CButton*>(GetDlgItem(IDC_ELEM_SHELL))) shell->SetCheck(m_nElementType == kShell);
  }
  Enable(IDC_ELEM_SOLID, solidAllowed);
  Enable(IDC_ELEM_SHELL, shellAllowed);
  UpdateTypeControls();
}

void CMeshElemPP::UpdateTypeControls() {
  const bool shell = m_nElementType == kShell;
  Enable(IDC_ELEM_CHANGE_VIEW, shell && !m_bExisting);
  Enable(IDC_ELEM_PICK_FACE, shell && !m_bExisting);
  Enable(IDC_ELEM_PROPERTIES, shell);
  Enable(IDC_ELEM_CURVED, !shell);
  if (m_bExisting || !GetSafeHwnd()) return;
  // Shells have straight edges; a solid starts curved again. The member follows at the next read.
  if (auto* straight = static_cast<CButton*>(GetDlgItem(IDC_ELEM_STRAIGHT))) straight->SetCheck(shell);
  if (auto* curved = static_cast<CButton*>(GetDlgItem(IDC_ELEM_CURVED))) curved->SetCheck(!shell);
}

void CMeshElemPP::OnScalingNo() {
  EnableAngle(false);
  SetModified(TRUE);
}

void CMeshElemPP::OnScalingYes() {
  EnableAngle(true);
  SetModified(TRUE);
}

void CMeshElemPP::OnChanged() { SetModified(TRUE); }

void CMeshElemPP::OnSolid() {
  m_nElementType = kSolid;
  UpdateTypeControls();
}

void CMeshElemPP::OnShell() {
  m_nElementType = kShell;
  UpdateTypeControls();
}

void CMeshElemPP::OnChangeView() {
  if (!UpdateData(TRUE)) return;
  CMeshPS* ps = MeshSheet();
  if (!ps) return;
  ps->m_bFacePickPending = TRUE;
  ps->EndSheet(kSheetParked);
  CadInterface* cad = CadInterface::GetCurrent();
  CWnd* main = cad ? CWnd::FromHandle(cad->GetMainWindow()) : nullptr;
  auto prompt = std::make_unique<CSelectPromptDlg>(main);
  if (prompt->Show()) prompt.release();  // it deletes itself with its window
  cmdSaveIndex(cmdIndex(CadCommand::Mesh));
  cmdSetPickPending();
}

void CMeshElemPP::OnPickFace() {
  if (!UpdateData(TRUE)) return;
  CMeshPS* ps = MeshSheet();
  CadInterface* cad = CadInterface::GetCurrent();
  if (!ps || !cad) return;
  if (cad->UsesPickRequests() && cad->GetPreselection()) {
    ps->m_bFacePickPending = TRUE;
    ps->EndSheet(kSheetParked);
    cmdSaveIndex(cmdIndex(CadCommand::Mesh));
    cmdSetPickPending();
    cad->RequestCommand(kFaceRequest);
    cad->OpenModelessPanel();
    return;
  }
  SheetAside aside(ps);
  try {
    for (;;) {
      AcBrEntity* face = cad->PickEntity(kPickFaceKind);
      if (!face) break;
      if (cad->MeshOfTopology(face) != 0) {
        cad->PrintMessage(resLoadString(IDS_FACE_ALREADY_MESHED).Text());
        continue;
      }
      cad->CollectMeshesOfTopology(ps->m_topology, face);
      break;
    }
    cad->FlushGraphics();
    cad->RebuildExplorer();
  } catch (const CaeExcept& error) {
    cad->PrintMessage((CaeString("\n") + error.String()).Text());
  }
}

void CMeshElemPP::OnShellProperties() {
  const double before = GetShellThickness();
  m_shellDlg.DoModal();
  if (GetShellThickness() != before) SetModified(TRUE);
}
