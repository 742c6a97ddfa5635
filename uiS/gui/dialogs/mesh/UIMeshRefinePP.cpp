#include "gui/dialogs/mesh/UIMeshRefinePP.h"

#include <cmath>

#include "amg/CaeExcept.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "gui/dialogs/mesh/UIMeshPS.h"
#include "gui/dialogs/units/UISymbolPP.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kPageHelpBase = 0x20000;
constexpr double kRangeBelow = 0.1;      // an existing size's range: a tenth of it ...
constexpr double kRangeAbove = 10.0;     // ... to ten times it
constexpr double kNewPerMeshSize = 0.5;  // a new refinement starts at half the mesh's sizes
constexpr int kGeometryButtons[] = {IDC_REFINE_UNIFORM, IDC_REFINE_CONCENTRATED, IDC_REFINE_POINT, IDC_REFINE_FACE,
                                    IDC_REFINE_EDGE};

// Parked pick request codes by pick kind (face 1, edge 2, vertex 3).
int RequestCode(int kind) { return kind == CMeshRefinePP::kPickVertex ? 4 : kind == CMeshRefinePP::kPickEdge ? 3 : 2; }

CString HostLengthName() {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  return table ? CString(table->IdToShortString(CaeUnitSystem::GetHostUnit(CaeUtLength)).Text()) : CString();
}

}  // namespace

BEGIN_MESSAGE_MAP(CMeshRefinePP, CPropertyPage)
ON_BN_CLICKED(IDC_REFINE_UNIFORM, OnUniform)
ON_BN_CLICKED(IDC_REFINE_CONCENTRATED, OnConcentrated)
ON_BN_CLICKED(IDC_REFINE_POINT, OnPoint)
ON_BN_CLICKED(IDC_REFINE_EDGE, OnEdge)
ON_BN_CLICKED(IDC_REFINE_FACE, OnFace)
ON_WM_HSCROLL()
ON_EN_KILLFOCUS(IDC_REFINE_SIZE, OnSizeKillFocus)
END_MESSAGE_MAP()

CMeshRefinePP::CMeshRefinePP() : CPropertyPage(IDD_MESH_REFINE) {
  m_psp.dwFlags |= PSP_HASHELP;
  CadInterface* cad = CadInterface::GetCurrent();
  m_bPointPicked = cad && cad->SupportsPointRefinement() == 0;
}

CMeshRefinePP::CMeshRefinePP(AmgConstraint* constraint) : CMeshRefinePP() {
  m_pConstraint = constraint;
  m_bExisting = TRUE;
  if (!constraint) return;
  const CaeVector& at = constraint->Location();
  for (int i = 0; i < 3; ++i) m_location[i] = at[i];
  m_nDistribution = constraint->Type() == AmgConstrPoint ? kConcentrated : kUniform;
}

void CMeshRefinePP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Radio(dx, IDC_REFINE_UNIFORM, m_nDistribution);
  DDX_Text(dx, IDC_REFINE_SIZE, m_dSize);
  DDV_MinMaxDouble(dx, m_dSize, CShellPropDlg::kThinnest, CShellPropDlg::kThickest);
}

BOOL CMeshRefinePP::OnInitDialog() {
  if (CWnd* unit = GetDlgItem(IDC_REFINE_UNIT)) unit->SetWindowText(HostLengthName());
  auto* slider = static_cast<CSliderCtrl*>(GetDlgItem(IDC_REFINE_SLIDER));
  if (slider) slider->SetRange(0, UISizeSlider::kPositions - 1);
  if (m_bExisting) {
    for (int id : kGeometryButtons)
      if (CWnd* button = GetDlgItem(id)) button->EnableWindow(FALSE);
    if (m_pConstraint) {
      existingHostSize_ = CaeUnit(CaeUtLength).NativeToHost(m_pConstraint->Size());
      m_dSize = existingHostSize_;
    }
    m_dMinSize = kRangeBelow * m_dSize;
    m_dMaxSize = kRangeAbove * m_dSize;
  } else if (auto* ps = dynamic_cast<CMeshPS*>(sheet())) {
    const CMeshingPP& mesh = ps->m_meshPage;
    m_dSize = kNewPerMeshSize * mesh.m_dSliderValue;
    m_dMinSize = kNewPerMeshSize * mesh.m_dMinSize;
    m_dMaxSize = kNewPerMeshSize * mesh.m_dMaxSize;
  }
  m_slider.Init(slider, m_dSize, m_dMinSize, m_dMaxSize);
  // An existing constraint's size stays exactly what it is until the user moves or types it.
  if (!m_bExisting && m_slider.ready && slider) m_dSize = m_slider.At(slider->GetPos());
  if (CWnd* label = GetDlgItem(IDC_REFINE_MIN)) label->SetWindowText(m_slider.Show(m_dMinSize));
  if (CWnd* label = GetDlgItem(IDC_REFINE_MAX)) label->SetWindowText(m_slider.Show(m_dMaxSize));
  if (!m_bExisting) UpdateGeometryButtons();
  CPropertyPage::OnInitDialog();
  m_bShown = TRUE;
  return TRUE;
}

BOOL CMeshRefinePP::OnSetActive() {
  if (!m_bExisting) SetModified(TRUE);
  return CPropertyPage::OnSetActive();
}

BOOL CMeshRefinePP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(kPageHelpBase + IDD_MESH_REFINE, HELP_CONTEXT);
    if (result) *result = 1;
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}

bool CMeshRefinePP::SaveIfInitialised() { return !m_bShown || !GetSafeHwnd() || UpdateData(TRUE); }

bool CMeshRefinePP::SizeChanged() const { return m_bExisting && m_dSize != existingHostSize_; }

double CMeshRefinePP::NativeSize() const {
  if (m_bExisting && m_pConstraint && !SizeChanged()) return m_pConstraint->Size();
  return CaeUnit(CaeUtLength).HostToNative(m_dSize);
}

void CMeshRefinePP::UpdateGeometryButtons() {
  CadInterface* cad = CadInterface::GetCurrent();
  CWnd* point = GetDlgItem(IDC_REFINE_POINT);
  bool pointEnabled = false;
  bool othersEnabled = true;
  UINT caption = IDS_REFINE_POINT;
  if (m_nDistribution == kConcentrated) {
    pointEnabled = true;
    if (m_bPointPicked) {
      caption = IDS_REFINE_VERTEX;
      othersEnabled = !(cad && cad->RestrictsVertexRefinement());
    } else {
      othersEnabled = false;
    }
  }
  if (point) {
    point->EnableWindow(pointEnabled);
    point->SetWindowText(resLoadString(caption).Text());
  }
  for (int id : {IDC_REFINE_EDGE, IDC_REFINE_FACE})
    if (CWnd* button = GetDlgItem(id)) button->EnableWindow(othersEnabled);
}

void CMeshRefinePP::ResetPoint() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (cad && cad->SupportsPointRefinement()) m_bPointPicked = FALSE;
  UpdateGeometryButtons();
}

void CMeshRefinePP::OnUniform() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (cad && cad->SupportsPointRefinement()) m_bPointPicked = FALSE;
  m_nDistribution = kUniform;
  UpdateGeometryButtons();
}

void CMeshRefinePP::OnConcentrated() {
  m_nDistribution = kConcentrated;
  UpdateGeometryButtons();
}

void CMeshRefinePP::OnPoint() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return;
  if (m_bPointPicked) {
    PickAndCreate(kPickVertex);
    cad->FlushGraphics();
    return;
  }
  {
    SheetAside aside(sheet());
    if (cad->PickPoint(m_location)) {
      m_bPointPicked = TRUE;
      UpdateGeometryButtons();
    }
    cad->FlushGraphics();
  }
}

void CMeshRefinePP::OnEdge() {
  PickAndCreate(kPickEdge);
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->FlushGraphics();
}

void CMeshRefinePP::OnFace() {
  PickAndCreate(kPickFace);
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->FlushGraphics();
}

void CMeshRefinePP::PickAndCreate(int kind) {
  if (!UpdateData(TRUE)) return;
  CadInterface* cad = CadInterface::GetCurrent();
  auto* ps = dynamic_cast<CMeshPS*>(sheet());
  if (!cad || !ps) return;
  if (cad->UsesPickRequests() && cad->GetPreselection()) {
    m_nParkedKind = kind;
    ps->EndSheet(kSheetParked);
    cmdSaveIndex(cmdIndex(CadCommand::Mesh));
    cmdSetPickPending();
    cad->RequestCommand(RequestCode(kind));
    cad->OpenModelessPanel();
    return;
  }
  try {
    SheetAside aside(ps);
    const CSymbolPP* symbol = m_pSymbolPage;
    cad->CreateMeshConstraint(symbol ? symbol->GetColor() : 0, symbol ? symbol->GetSymbolSize() : 1.0, kind,
                              NativeSize(), m_location[0], m_location[1], m_location[2],
                              m_nDistribution == kConcentrated, nullptr);
    cad->FlushGraphics();
    cad->RebuildExplorer();
  } catch (const CaeExcept& error) {
    cad->PrintMessage((CaeString("\n") + error.String()).Text());
  }
  ResetPoint();
}

void CMeshRefinePP::OnHScroll(UINT, UINT, CScrollBar*) {
  auto* slider = static_cast<CSliderCtrl*>(GetDlgItem(IDC_REFINE_SLIDER));
  if (!slider || !m_slider.ready) return;
  m_dSize = m_slider.At(slider->GetPos());
  SetModified(TRUE);
  UpdateData(FALSE);
}

void CMeshRefinePP::OnSizeKillFocus() {
  if (!UpdateData(TRUE)) return;
  if (!(m_dMinSize < m_dSize && m_dSize < m_dMaxSize)) return;  // kept as typed
  auto* slider = static_cast<CSliderCtrl*>(GetDlgItem(IDC_REFINE_SLIDER));
  m_slider.Init(slider, m_dSize, m_dMinSize, m_dMaxSize);
}
