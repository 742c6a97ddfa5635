#include "gui/wizard/UIMeshPages.h"

#include <cmath>
#include <string>

#include "amg/CaeExcept.h"
#include "amg/CaeList.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeTopoRef.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "gui/dialogs/units/UIMaterialPP.h"
#include "gui/wizard/UIAnalysisWizard.h"
#include "gui/wizard/UIMeshWizard.h"
#include "gui/wizard/UIWizard.h"
#include "mfc/ddx.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD kHelpTemplateBase = 0x20000;
constexpr DWORD kBackNext = PSWIZB_BACK | PSWIZB_NEXT;
constexpr int kStepAnalyze = 6;
constexpr int kWizardElementOrder = 2;
constexpr int kGeomPickCheckLine = 85;

double ToNativeLength(double host) { return CaeUnit::HostToNative(CaeUtLength, host); }

}  // namespace

// ---- the geometry page ----

CAMG_GeomPickPP::CAMG_GeomPickPP()
    : CCondWizPage(IDD_AMG_GEOM_PICK, kBackNext, kHelpTemplateBase + IDD_AMG_GEOM_PICK) {}

CAMG_GeomPickPP::~CAMG_GeomPickPP() { DeleteWorkingMesh(); }

void CAMG_GeomPickPP::DeleteWorkingMesh() {
  delete mesh_;  // deleting the mesh deletes its entity, never placed in the drawing
  mesh_ = nullptr;
}

BOOL CAMG_GeomPickPP::OnInitDialog() {
  CWizBasePP::OnInitDialog();
  AttachPicture(IDC_AMG_GEOM_PICTURE, IDB_AMG_GEOMETRY);
  return TRUE;
}

void CAMG_GeomPickPP::PickGeometry() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad) return;
  CaeList<CaeTopoRef> picked;  // the references belong to the part
  if (!cad->PickMesh(picked)) return;
  CaeTopoRef* first = nullptr;
  for (CaeTopoRef* ref : picked) {
    first = ref;
    break;
  }
  if (!first) return;
  if (first->Kind() != CaeTopoRef::kBody)
    CaeMsgCall::GeneralError("uiS/gui/wizard/mesh/UIMeshGeomPickPP", kGeomPickCheckLine);
  DeleteWorkingMesh();
  mesh_ = cad->CreateMeshEntity(first);
}

LRESULT CAMG_GeomPickPP::OnWizardNext() {
  CadInterface* cad = CadInterface::GetCurrent();
  CPropertySheet* owner = sheet();
  if (!cad || !owner) return -1;
  if (HWND main = cad->GetMainWindow()) ::SetActiveWindow(main);
  if (HWND parent = cad->GetParentWindow()) ::EnableWindow(parent, TRUE);
  owner->ShowWindow(SW_HIDE);
  try {
    PickGeometry();
  } catch (const CaeExcept& error) {
    cad->PrintMessage((std::string("\n") + error.String().Text()).c_str());
  }
  owner->ShowWindow(SW_SHOW);
  // Nothing picked (ESC, the end of the input, a refused solid): the page stays.
  if (!mesh_) return -1;
  return CWizBasePP::OnWizardNext();
}

// ---- the element-size page ----

BEGIN_MESSAGE_MAP(CAMG_ElemSizePP, CCondWizPage)
ON_WM_HSCROLL()
END_MESSAGE_MAP()

CAMG_ElemSizePP::CAMG_ElemSizePP()
    : CCondWizPage(IDD_AMG_ELEM_SIZE, kBackNext, kHelpTemplateBase + IDD_AMG_ELEM_SIZE) {}

CAMGWizPS* CAMG_ElemSizePP::Sheet() const { return dynamic_cast<CAMGWizPS*>(sheet()); }

CSliderCtrl* CAMG_ElemSizePP::SliderControl() { return static_cast<CSliderCtrl*>(GetDlgItem(IDC_AMG_SIZE_SLIDER)); }

void CAMG_ElemSizePP::DoDataExchange(CDataExchange* dx) {
  CWizBasePP::DoDataExchange(dx);
  DDX_Text(dx, IDC_AMG_ELEM_SIZE, size);
}

void CAMG_ElemSizePP::SetMeshSize() const {
  if (CAMGWizPS* sheet = Sheet())
    if (AmgMesh* mesh = sheet->WorkingMesh()) mesh->SetDefaultSize(ToNativeLength(size));
}

void CAMG_ElemSizePP::SetUpForWorkingMesh() {
  CAMGWizPS* sheet = Sheet();
  AmgMesh* mesh = sheet ? sheet->WorkingMesh() : nullptr;
  setUpFor_ = mesh;
  if (!mesh) return;
  double estimate = 0;
  double low = 0;
  double high = 0;
  mesh->EstimateSize(estimate, low, high);
  size = CaeUnit::NativeToHost(CaeUtLength, estimate);
  minimum = CaeUnit::NativeToHost(CaeUtLength, low);
  maximum = CaeUnit::NativeToHost(CaeUtLength, high);
  CSliderCtrl* slider = SliderControl();
  slider_.ready = false;
  // A range without a logarithm builds no slider: the size is typed.
  const bool range = minimum > 0 && minimum < maximum && slider_.Init(slider, size, minimum, maximum);
  if (slider) slider->EnableWindow(range ? TRUE : FALSE);
  if (range) size = slider_.At(slider->GetPos());
  SetDlgItemText(IDC_AMG_SIZE_MIN, range ? slider_.Show(minimum) : CString());
  SetDlgItemText(IDC_AMG_SIZE_MAX, range ? slider_.Show(maximum) : CString());
  if (!range) SetDlgItemText(IDC_AMG_SIZE_HINT, resLoadString(IDS_AMG_NO_SIZE_RANGE).c_str());
  SetMeshSize();
  // Automatic constraints on and curvature scaling off, as the mesh sheet meshes a part.
  mesh->SetAutoconstraints(CaeOn);
  mesh->SetCurvatureScaling(CaeOff);
  mesh->SetElementOrder(kWizardElementOrder);
  const CaeUnitStrTable* table = CaeUnitStrTable::GetCurrent();
  if (table) SetDlgItemText(IDC_AMG_SIZE_UNIT, table->IdToShortString(CaeUnitSystem::GetHostUnit(CaeUtLength)).c_str());
}

BOOL CAMG_ElemSizePP::OnSetActive() {
  SetDlgItemText(IDC_AMG_SIZE_HINT, resLoadString(IDS_AMG_NEXT_COMPLETES_MESH).c_str());
  const BOOL result = CCondWizPage::OnSetActive();
  // Each new working mesh gets its own estimate, slider and mesh controls.
  CAMGWizPS* sheet = Sheet();
  if (sheet && sheet->WorkingMesh() != setUpFor_) {
    SetUpForWorkingMesh();
    UpdateData(FALSE);
  }
  return result;
}

void CAMG_ElemSizePP::OnHScroll(UINT, UINT, CScrollBar*) {
  CSliderCtrl* slider = SliderControl();
  if (!slider || !slider_.ready) return;
  size = slider_.At(slider->GetPos());
  SetDlgItemText(IDC_AMG_ELEM_SIZE, slider_.Show(size));
  SetMeshSize();
}

LRESULT CAMG_ElemSizePP::OnWizardNext() {
  if (!UpdateData(TRUE)) return -1;
  if (!(size > 0)) {
    CadMessageBoxId(IDS_AMG_SIZE_NOT_POSITIVE, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL, m_hWnd);
    return -1;
  }
  CSliderCtrl* slider = SliderControl();
  if (slider && slider_.ready && minimum < size && size < maximum) {
    const double step = (std::log(maximum) - std::log(minimum)) / (UISizeSlider::kPositions - 1);
    slider->SetPos(static_cast<int>((std::log(size) - std::log(minimum)) / step + 0.5));
  }
  CAMGWizPS* sheet = Sheet();
  AmgMesh* mesh = sheet ? sheet->WorkingMesh() : nullptr;
  // No working mesh (a failed hand-over removed it): a new pick is needed.
  if (!mesh) return IDD_AMG_GEOM_PICK;
  mesh->SetDefaultSize(ToNativeLength(size));
  mesh->SetDeferred(1);
  AmgMesh* handed = mesh;
  // Deferred: the answer tells only whether the entity is there, not meshed yet.
  UIGenerateWizardMesh(handed, CString(UICurrentMaterialName));
  // The drawing owns the entity now, or removed it when the hand-over failed: never pass it again.
  sheet->GeomPage()->ForgetWorkingMesh();
  setUpFor_ = nullptr;
  if (!handed) return -1;
  sheet->AddIdentificationPage();
  return CWizBasePP::OnWizardNext();
}

void CAMG_ElemSizePP::ForgetWorkingMesh() {
  if (CAMGWizPS* sheet = Sheet()) sheet->DeleteWorkingMesh();
  setUpFor_ = nullptr;
}

LRESULT CAMG_ElemSizePP::OnWizardBack() {
  UISetWizardTabState(kStepAnalyze, 0);
  ForgetWorkingMesh();
  return CWizBasePP::OnWizardBack();
}

// Cancel changes nothing the wizard did not make: the step's mark stays as it was.
void CAMG_ElemSizePP::OnCancel() {
  ForgetWorkingMesh();
  CWizBasePP::OnCancel();
}
