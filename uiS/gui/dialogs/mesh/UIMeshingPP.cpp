#include "gui/dialogs/mesh/UIMeshingPP.h"

#include <cmath>
#include <memory>

#include "amg/CaeList.h"
#include "amg/CaeString.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "gui/dialogs/mesh/UIMeshPS.h"
#include "gui/dialogs/units/UIMaterialPP.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD_PTR kPageHelpBase = 0x20000;
constexpr int kCountControls[] = {IDC_MESH_NODES_LABEL, IDC_MESH_ELEMENTS_LABEL, IDC_MESH_NODES, IDC_MESH_ELEMENTS};

double ToHost(double native) { return CaeUnit(CaeUtLength).NativeToHost(native); }

// Hands a library back to the CAD that made it (its DeleteObject knows the real type).
struct ReturnLibrary {
  CadInterface* cad;
  void operator()(MaterialLibrary* library) const { cad->DeleteObject(library); }
};

CString HostLengthName() {
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  return table ? CString(table->IdToShortString(CaeUnitSystem::GetHostUnit(CaeUtLength)).Text()) : CString();
}

}  // namespace

BOOL& UIMeshDeferDefault() {
  static BOOL defer = TRUE;
  return defer;
}

BEGIN_MESSAGE_MAP(CMeshingPP, CPropertyPage)
ON_WM_HSCROLL()
ON_EN_KILLFOCUS(IDC_MESH_SIZE, OnSizeKillFocus)
ON_EN_CHANGE(IDC_MESH_SIZE, OnChanged)
ON_EN_CHANGE(IDC_MESH_NAME, OnChanged)
ON_BN_CLICKED(IDC_MESH_DEFER, OnDefer)
ON_CBN_SELCHANGE(IDC_MESH_MATERIAL, OnMaterialChange)
END_MESSAGE_MAP()

CMeshingPP::CMeshingPP() : CPropertyPage(IDD_MESH_MESHING), m_bDefer(UIMeshDeferDefault()) {
  m_psp.dwFlags |= PSP_HASHELP;
}

CMeshPS* CMeshingPP::MeshSheet() const { return dynamic_cast<CMeshPS*>(sheet()); }

void CMeshingPP::DoDataExchange(CDataExchange* dx) {
  CPropertyPage::DoDataExchange(dx);
  DDX_Text(dx, IDC_MESH_SIZE, m_dDefaultSize);
  // A size must be positive (and finite): the mesher has nothing to make of any other.
  DDV_MinMaxDouble(dx, m_dDefaultSize, CShellPropDlg::kThinnest, CShellPropDlg::kThickest);
  DDX_Check(dx, IDC_MESH_DEFER, m_bDefer);
  DDX_Text(dx, IDC_MESH_NAME, m_strName);
}

void CMeshingPP::TakeSizeRange() {
  CMeshPS* ps = MeshSheet();
  if (m_bExisting) {
    AmgMesh* mesh = ps ? ps->m_pMesh : nullptr;
    if (mesh) {
      m_dSliderValue = mesh->GetDefaultSize();
      m_dMaxSize = mesh->GetMaxSize();
      m_dMinSize = mesh->GetMinSize();
    }
  } else if (ps && !ps->m_topology.IsEmpty()) {
    // A mesh made only to ask the engine what sizes suit the geometry.
    const AmgMesh estimate(ps->m_topology.FirstNode()->Item(), 1);
    estimate.EstimateSize(m_dSliderValue, m_dMinSize, m_dMaxSize);
  }
  m_dSliderValue = ToHost(m_dSliderValue);
  m_dMaxSize = ToHost(m_dMaxSize);
  m_dMinSize = ToHost(m_dMinSize);
  if (m_dSliderValue > m_dMaxSize) m_dMaxSize = m_dSliderValue;
  if (m_dSliderValue < m_dMinSize) m_dMinSize = m_dSliderValue;
}

void CMeshingPP::FillMaterials() {
  auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_MESH_MATERIAL));
  CadInterface* cad = CadInterface::GetCurrent();
  if (!combo || !cad) return;
  combo->ResetContent();
  CaeString path;
  cad->MaterialLibraryLocation(path);
  const std::unique_ptr<MaterialLibrary, ReturnLibrary> library(cad->OpenMaterialLibrary(path), ReturnLibrary{cad});
  if (library) {
    CaeOwningList<CaeString> names;
    library->ListNames(names);
    for (CaeString* name : names) combo->AddString(name->Text());
  }
  if (!m_bExisting && m_strMaterial.IsEmpty()) m_strMaterial = UICurrentMaterialName;
  int selected = CB_ERR;
  if (!m_strMaterial.IsEmpty()) {
    selected = combo->FindString(-1, m_strMaterial);
    if (selected == CB_ERR) {
      CString text;
      text.Format(resLoadString(IDS_MATERIAL_NOT_FOUND).Text(), static_cast<const char*>(m_strMaterial));
      CadMessageBoxText(text, MB_TASKMODAL);
    }
  } else if (!m_bExisting && combo->GetCount() > 0) {
    selected = 0;
  }
  combo->SetCurSel(selected);
  if (selected != CB_ERR) combo->GetLBText(selected, m_strMaterial);
}

BOOL CMeshingPP::OnInitDialog() {
  const double typed = m_dDefaultSize;
  if (m_dMinSize == 0.0 && m_dMaxSize == 0.0 && m_dSliderValue == 0.0) TakeSizeRange();
  // Shown again after a pick: the size the user had is kept.
  if (typed != 0.0) m_dSliderValue = typed;
  auto* slider = static_cast<CSliderCtrl*>(GetDlgItem(IDC_MESH_SIZE_SLIDER));
  m_slider.Init(slider, m_dSliderValue, m_dMinSize, m_dMaxSize);
  // A new mesh starts at the slider's rounded size; an existing mesh's size stays exactly its own,
  // so that an untouched size goes back unchanged.
  if (typed == 0.0) m_dDefaultSize = m_slider.ready && !m_bExisting ? m_slider.At(slider->GetPos()) : m_dSliderValue;
  if (CWnd* label = GetDlgItem(IDC_MESH_SIZE_MIN)) label->SetWindowText(m_slider.Show(m_dMinSize));
  if (CWnd* label = GetDlgItem(IDC_MESH_SIZE_MAX)) label->SetWindowText(m_slider.Show(m_dMaxSize));
  FillMaterials();
  if (CWnd* unit = GetDlgItem(IDC_MESH_SIZE_UNIT)) unit->SetWindowText(HostLengthName());
  ShowMeshInfo();
  m_bShown = TRUE;
  return CPropertyPage::OnInitDialog();
}

void CMeshingPP::ShowMeshInfo() {
  if (!GetSafeHwnd()) return;
  CMeshPS* ps = MeshSheet();
  AmgMesh* mesh = ps ? ps->m_pMesh : nullptr;
  const bool counts = m_bExisting && mesh && mesh->Generated();
  if (counts) {
    CString text;
    text.Format("%ld", mesh->NumberElements());
    GetDlgItem(IDC_MESH_ELEMENTS)->SetWindowText(text);
    text.Format("%ld", mesh->NumberNodes());
    GetDlgItem(IDC_MESH_NODES)->SetWindowText(text);
    if (CWnd* defer = GetDlgItem(IDC_MESH_DEFER)) defer->EnableWindow(FALSE);
  }
  for (int id : kCountControls)
    if (CWnd* control = GetDlgItem(id)) control->ShowWindow(counts ? SW_SHOW : SW_HIDE);
}

void CMeshingPP::ShowNote(bool shown) {
  if (CWnd* note = GetDlgItem(IDC_MESH_NOTE)) note->ShowWindow(shown ? SW_SHOW : SW_HIDE);
}

BOOL CMeshingPP::OnSetActive() {
  m_bShown = TRUE;
  bool needsUpdate = false;
  if (m_bExisting) {
    CMeshPS* ps = MeshSheet();
    needsUpdate = ps && ps->m_pMesh && ps->m_pMesh->NeedsUpdate();
  }
  ShowNote(needsUpdate);
  if (!m_bExisting || needsUpdate) SetModified(TRUE);
  return CPropertyPage::OnSetActive();
}

void CMeshingPP::MarkInitialised() {
  m_bShown = TRUE;
  ShowNote(false);
  SetModified(FALSE);
}

bool CMeshingPP::SaveIfInitialised() { return !m_bShown || !GetSafeHwnd() || UpdateData(TRUE); }

BOOL CMeshingPP::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && static_cast<int>(header->code) == PSN_HELP) {
    UIShowHelp(kPageHelpBase + IDD_MESH_MESHING, HELP_CONTEXT);
    if (result) *result = 1;
    return TRUE;
  }
  return CPropertyPage::OnNotify(wParam, lParam, result);
}

void CMeshingPP::OnHScroll(UINT, UINT, CScrollBar*) {
  auto* slider = static_cast<CSliderCtrl*>(GetDlgItem(IDC_MESH_SIZE_SLIDER));
  if (!slider || !m_slider.ready) return;
  // A text that is not a number in another field must not stop the slider.
  UpdateData(TRUE);
  m_dDefaultSize = m_slider.At(slider->GetPos());
  SetModified(TRUE);
  UpdateData(FALSE);
}

void CMeshingPP::OnSizeKillFocus() {
  if (!UpdateData(TRUE) || !m_slider.ready) return;
  if (!(m_dMinSize < m_dDefaultSize && m_dDefaultSize < m_dMaxSize)) return;  // kept as typed
  const double step = (std::log(m_dMaxSize) - std::log(m_dMinSize)) / (UISizeSlider::kPositions - 1);
  if (!(step > 0.0)) return;
  if (auto* slider = static_cast<CSliderCtrl*>(GetDlgItem(IDC_MESH_SIZE_SLIDER)))
    slider->SetPos(static_cast<int>((std::log(m_dDefaultSize) - std::log(m_dMinSize)) / step + 0.5));
}

void CMeshingPP::OnChanged() { SetModified(TRUE); }

void CMeshingPP::OnDefer() {
  BOOL& remembered = UIMeshDeferDefault();
  remembered = !remembered;
  SetModified(TRUE);
}

void CMeshingPP::OnMaterialChange() {
  auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_MESH_MATERIAL));
  if (combo && combo->GetCurSel() >= 0) combo->GetLBText(combo->GetCurSel(), m_strMaterial);
  SetModified(TRUE);
}
