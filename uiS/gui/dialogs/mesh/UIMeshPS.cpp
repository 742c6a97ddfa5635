#include "gui/dialogs/mesh/UIMeshPS.h"

#include <cmath>
#include <memory>
#include <vector>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeTopoRef.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/CadUiServices.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "gui/dialogs/units/UIMaterialPP.h"
#include "gui/wizard/UIWizard.h"
#include "res/ResourceIds.h"

namespace {

constexpr std::uint32_t kResultsOnMesh = 0xc0000fe7;  // "Results are associated with this mesh ..."
constexpr int kMeshGuideStep = 6;
constexpr int kNewMeshColour = 4;        // Light Blue
constexpr double kRemeshFraction = 0.1;  // a default size changed by this much is meshed again
constexpr double kSameAngle = 1e-9;      // relative: an angle converted there and back is the same
constexpr double kPercent = 0.01;

CadInterface& Cad() {
  CadInterface* cad = CadInterface::GetCurrent();
  CAE_CHECK(cad != nullptr);
  return *cad;
}

AnlModel* CurrentModel() {
  AnlControl* control = CadCurrentAnlControl();
  return control ? control->CurrentAnlModel() : nullptr;
}

double LengthToHost(double native) { return CaeUnit(CaeUtLength).NativeToHost(native); }
double LengthToNative(double host) { return CaeUnit(CaeUtLength).HostToNative(host); }

// Hands a library back to the CAD that made it.
struct ReturnLibrary {
  CadInterface* cad;
  void operator()(MaterialLibrary* library) const { cad->DeleteObject(library); }
};
using LibraryHandle = std::unique_ptr<MaterialLibrary, ReturnLibrary>;

LibraryHandle OpenLibrary(CadInterface& cad) {
  CaeString path;
  cad.MaterialLibraryLocation(path);
  return LibraryHandle(cad.OpenMaterialLibrary(path), ReturnLibrary{&cad});
}

// The sub-model of the model that holds the mesh, or null.
AnlSubModel* SubModelOf(AnlModel* model, const AmgMesh* mesh) {
  if (!model || !mesh) return nullptr;
  for (int i = 0; i < model->NumSubModels(); ++i) {
    AnlSubModel* sub = model->GetSubModel(i);
    if (sub && !sub->IsMarkedAsErased() && sub->Mesh() == mesh) return sub;
  }
  return nullptr;
}

}  // namespace

// ---- stepping aside for a pick ----

SheetAside::SheetAside(CWnd* sheet) : sheet_(sheet) {
  CadInterface* cad = CadInterface::GetCurrent();
  if (HWND main = cad ? cad->GetMainWindow() : nullptr) {
    ::EnableWindow(main, TRUE);
    ::SetActiveWindow(main);
  }
  if (sheet_ && sheet_->GetSafeHwnd()) sheet_->ShowWindow(SW_HIDE);
}

SheetAside::~SheetAside() {
  if (sheet_ && sheet_->GetSafeHwnd()) sheet_->ShowWindow(SW_SHOW);
}

// ---- construction ----

CMeshPS::CMeshPS(UINT captionId) : CGenericPS(captionId), m_symbolPage(IDD_SYMBOL_MESH) {
  AddPage(&m_meshPage);
  AddPage(&m_elemPage);
  AddPage(&m_refinePage);
  AddPage(&m_symbolPage);
  m_refinePage.m_pSymbolPage = &m_symbolPage;
  CString name;
  AnlModel* model = CurrentModel();
  name.Format("%s%d", resLoadString(IDS_SUBMODEL_NAME).Text(), (model ? model->NumSubModels() : 0) + 1);
  m_meshPage.m_strName = name;
  m_symbolPage.SetColor(kNewMeshColour);
  m_symbolPage.m_dSize = 1.0;
  m_symbolPage.m_bScaledAllowed = FALSE;
}

CMeshPS::CMeshPS(UINT captionId, AnlSubModel* subModel)
    : CGenericPS(captionId), m_symbolPage(IDD_SYMBOL_MESH), m_pSubModel(subModel), m_bExisting(TRUE) {
  AddPage(&m_meshPage);
  AddPage(&m_elemPage);
  m_refinePage.m_pSymbolPage = &m_symbolPage;
  m_pMesh = subModel ? subModel->Mesh() : nullptr;
  m_meshPage.m_bExisting = TRUE;
  m_elemPage.m_bExisting = TRUE;
  if (!subModel || !m_pMesh) return;
  m_meshPage.m_strName = subModel->Name().Text();
  m_meshPage.m_bDefer = m_pMesh->GetDeferred();
  if (const CaeMaterial* material = subModel->GetMaterial()) m_meshPage.m_strMaterial = material->Name().Text();
  m_elemPage.m_nCurvatureScaling = m_pMesh->GetCurvatureScaling() == CaeOn ? 1 : 0;
  m_elemPage.m_nEdgeShape = m_pMesh->GetEdgeShape() != CaeEdgeStraight ? CMeshElemPP::kCurved : CMeshElemPP::kStraight;
  m_elemPage.m_dAnglePerElement = CaeUnit(CaeUtAngle).NativeToHost(m_pMesh->GetAnglePerElement());
  if (IsShellMesh()) {
    m_elemPage.m_nElementType = CMeshElemPP::kShell;
    if (const CaeElemProp* prop = subModel->GetProp())
      m_elemPage.SetShellThickness(prop->GetPropValue(CaeElemProp::kThickness));
  }
}

CMeshPS::~CMeshPS() {
  while (GetPageCount() > 0) RemovePage(GetPageCount() - 1);
}

int CMeshPS::IsShellMesh() const { return m_pSubModel ? m_pSubModel->MeshIsShell() : 0; }

int CMeshPS::CurrentConstraintCount() {
  AnlModel* model = CurrentModel();
  return model ? model->NumConstraints() : 0;
}

void CMeshPS::EndSheet(int code) {
  m_nEndCode = code;
  EndDialog(code);
}

bool CMeshPS::AnyPageModified() const {
  for (int i = 0; i < GetPageCount(); ++i)
    if (GetPage(i)->IsModified()) return true;
  return false;
}

BOOL CMeshPS::OnInitDialog() {
  m_nEndCode = 1;
  // Counted once: a sheet brought back after a pick keeps the count it opened with, so Cancel
  // still removes every refinement made since.
  if (!counted_ && !Cad().IsRequestPending()) {
    m_nConstraintsAtOpen = CurrentConstraintCount();
    counted_ = true;
  }
  return CGenericPS::OnInitDialog();
}

// ---- commands ----

BOOL CMeshPS::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (HIWORD(wParam) != BN_CLICKED || (id != IDOK && id != ID_APPLY_NOW && id != IDCANCEL))
    return CGenericPS::OnCommand(wParam, lParam);
  if (id == IDCANCEL) {
    CancelConstraints();
    return CGenericPS::OnCommand(wParam, lParam);
  }
  // OK after Apply Now applies only what changed since; an unchanged sheet just closes.
  if (id == IDOK && m_bAppliedNow && !AnyPageModified()) return CGenericPS::OnCommand(wParam, lParam);
  if (id == ID_APPLY_NOW) m_bAppliedNow = TRUE;
  const int result = Apply();
  if (m_nEndCode != 1) return TRUE;  // a failed meshing ended the sheet
  if (!result) {
    m_bAppliedNow = FALSE;
    return TRUE;
  }
  if (id == ID_APPLY_NOW) {
    AfterApplyNow();
    return TRUE;
  }
  return CGenericPS::OnCommand(wParam, lParam);
}

void CMeshPS::CancelConstraints() {
  const int count = CurrentConstraintCount();
  AnlModel* model = CurrentModel();
  if (model && count > m_nConstraintsAtOpen) {
    for (int i = m_nConstraintsAtOpen; i < count; ++i)
      if (AmgConstraint* constraint = model->GetConstraint(i); constraint && !constraint->IsMarkedAsErased())
        model->DeleteConstraint(constraint);
    Cad().FlushGraphics();
  }
  m_nConstraintsAtOpen = count;
}

void CMeshPS::AfterApplyNow() {
  if (CPropertyPage* active = GetActivePage()) active->CancelToClose();
  m_meshPage.m_bShown = FALSE;
  m_adaptPage.m_bShown = FALSE;
  m_elemPage.m_bShown = FALSE;
  m_refinePage.m_bShown = FALSE;
  if (GetActivePage() == &m_meshPage)
    m_meshPage.MarkInitialised();
  else
    m_meshPage.SetModified(FALSE);
  if (GetActivePage() == &m_elemPage)
    m_elemPage.MarkInitialised();
  else
    m_elemPage.SetModified(FALSE);
  if (GetActiveIndex() > 1) SetActivePage(&m_meshPage);
  m_refinePage.SetModified(FALSE);
  m_symbolPage.SetModified(FALSE);
  RemovePage(&m_refinePage);
  RemovePage(&m_symbolPage);
}

// ---- applying ----

bool CMeshPS::MaterialFound() const {
  CadInterface& cad = Cad();
  const LibraryHandle library = OpenLibrary(cad);
  return library && !m_meshPage.m_strMaterial.IsEmpty() &&
         library->Find(CaeString(static_cast<const char*>(m_meshPage.m_strMaterial))) != nullptr;
}

bool CMeshPS::SavePages() {
  struct Shown {
    CPropertyPage* page;
    bool (*save)(CMeshPS&);
  };
  const Shown pages[] = {
      {&m_meshPage, [](CMeshPS& s) { return s.m_meshPage.SaveIfInitialised(); }},
      {&m_adaptPage, [](CMeshPS& s) { return s.m_adaptPage.SaveIfInitialised(); }},
      {&m_elemPage, [](CMeshPS& s) { return s.m_elemPage.SaveIfInitialised(); }},
      {&m_refinePage, [](CMeshPS& s) { return s.m_refinePage.SaveIfInitialised(); }},
  };
  for (const Shown& shown : pages)
    if (!shown.save(*this)) {
      if (GetPageIndex(shown.page) >= 0) SetActivePage(shown.page);
      return false;
    }
  return true;
}

int CMeshPS::Apply() {
  // A value the platform refused keeps the sheet open before anything is looked at or made.
  if (!SavePages()) return 0;
  if (!MaterialFound()) {
    CadMessageBoxId(IDS_PICK_MESH_MATERIAL, MB_TASKMODAL);
    return 0;
  }
  const int result = m_bExisting ? ApplyExisting() : ApplyNew();
  // What was made is kept now: a later Cancel removes only refinements made after this.
  if (result) m_nConstraintsAtOpen = CurrentConstraintCount();
  m_meshPage.ShowMeshInfo();
  return result;
}

int CMeshPS::ApplyNew() {
  if (!cmdIsPickPending()) {
    bool shell = m_elemPage.m_nElementType == CMeshElemPP::kShell;
    bool hasFace = false;
    for (CaeTopoRef* ref : m_topology) hasFace = hasFace || ref->Kind() == CaeTopoRef::kFace;
    if (shell && !hasFace) {
      if (CadMessageBoxId(IDS_SHELL_WITHOUT_FACE, MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL) != IDYES) return 0;
      m_elemPage.m_nElementType = CMeshElemPP::kSolid;
      shell = false;
    }
    std::vector<CaeTopoRef*> refs;
    for (CaeTopoRef* ref : m_topology) refs.push_back(ref);
    for (CaeTopoRef* ref : refs) {
      const bool meshed = shell ? ref->Kind() == CaeTopoRef::kFace : ref->Kind() == CaeTopoRef::kBody;
      // The first failure stops: its undo takes back the whole command, later meshes with it.
      if (meshed && !MeshTopology(ref)) return 0;
    }
    if (!m_pMesh) return 0;
    NameSubModel();
    if (CadCurrentSubModelCount() > 0) {
      UISetWizardTabState(kMeshGuideStep, 1);
      UICurrentMaterialName = m_meshPage.m_strMaterial;
    }
  }
  m_meshPage.m_bExisting = TRUE;
  m_elemPage.m_bExisting = TRUE;
  m_bExisting = TRUE;
  return 1;
}

bool CMeshPS::RemeshRuleMet() const {
  const AmgMesh& mesh = *m_pMesh;
  const double current = LengthToHost(mesh.GetDefaultSize());
  const double typed = m_meshPage.m_dDefaultSize;
  if (std::fabs(current - typed) >= kRemeshFraction * current * (1.0 - 1e-12)) return true;
  const double angle = CaeUnit(CaeUtAngle).NativeToHost(mesh.GetAnglePerElement());
  if (std::fabs(angle - m_elemPage.m_dAnglePerElement) > kSameAngle * std::fabs(angle)) return true;
  const bool curved = mesh.GetEdgeShape() != CaeEdgeStraight;
  if (curved != (m_elemPage.m_nEdgeShape == CMeshElemPP::kCurved)) return true;
  const bool scaling = mesh.GetCurvatureScaling() == CaeOn;
  return scaling != (m_elemPage.m_nCurvatureScaling == 1);
}

int CMeshPS::ApplyExisting() {
  if (!m_pModel) m_pModel = CurrentModel();
  if (!m_pMesh || !m_pSubModel) return 0;
  bool constraintsOnly = m_pMesh->NeedsUpdate() && m_bAppliedNow;
  bool remesh = m_pMesh->GetRemeshRequired() != 0;
  CaeElemProp* prop = m_pSubModel->GetProp();
  const double thickness = m_elemPage.GetShellThickness();
  bool thicknessChanged = IsShellMesh() && prop && prop->GetPropValue(CaeElemProp::kThickness) != thickness;
  if (RemeshRuleMet()) {
    remesh = true;
    constraintsOnly = thicknessChanged = false;
  }
  if (m_pMesh->GetDeferred() && !m_pMesh->Generated() && !m_meshPage.m_bDefer) {
    remesh = true;
    constraintsOnly = false;
  }
  if (constraintsOnly && !UpdateMesh()) return 0;
  if (thicknessChanged) prop->SetPropValue(CaeElemProp::kThickness, thickness);
  AssignMaterial();
  if (remesh) {
    if (!ResultsAllowChange()) return 0;
    int index = 0;
    while (index < m_pModel->NumSubModels() && m_pModel->GetSubModel(index) != m_pSubModel) ++index;
    CaeTopoRef* ref = m_pMesh->GetTopoRef();
    Cad().RemoveSubModel(m_pModel, index + 1);
    m_pMesh = nullptr;
    m_pSubModel = nullptr;
    if (!ref || !MeshTopology(ref)) return 0;
  }
  NameSubModel();
  return 1;
}

void CMeshPS::AssignMaterial() {
  CadInterface& cad = Cad();
  const LibraryHandle library = OpenLibrary(cad);
  const CaeMaterial* found =
      library ? library->Find(CaeString(static_cast<const char*>(m_meshPage.m_strMaterial))) : nullptr;
  if (!found || !m_pSubModel) return;
  auto copy = std::make_unique<CaeMaterial>(*found);
  delete m_pSubModel->GetMaterial();
  m_pSubModel->AssignMaterial(copy.release());
}

void CMeshPS::NameSubModel() {
  if (m_pSubModel) m_pSubModel->Name(CaeString(static_cast<const char*>(m_meshPage.m_strName)));
}

bool CMeshPS::ResultsAllowChange() {
  AnlModel* model = m_pModel;
  bool results = false;
  for (int i = 0; model && i < model->NumJobs(); ++i)
    if (AnlJob* job = model->GetJob(i); job && !job->IsMarkedAsErased()) results = true;
  for (int i = 0; model && i < model->NumResultSets(); ++i)
    if (FerResultSet* set = model->GetResultSet(i); set && !set->IsMarkedAsErased()) results = true;
  if (!results) return true;
  CadMessageBoxText(CaeMsgTxt::GetMessage(kResultsOnMesh).Text(), MB_TASKMODAL);
  return false;
}

void CMeshPS::RecoverFromFailure() {
  UIProgressClose();
  EndSheet(0);
  DeleteTabImageList();
  CadInterface& cad = Cad();
  cad.PrepareUndo(0);
  cad.UndoLastStep();
  cad.PrepareUndo(1);
}

bool CMeshPS::MeshTopology(CaeTopoRef* ref) {
  CadInterface& cad = Cad();
  AmgMesh* mesh = nullptr;
  bool handedOver = false;  // from GenerateMesh on, the drawing holds the mesh
  try {
    mesh = cad.CreateMeshEntity(ref);
    if (!mesh) CAE_GENERAL_ERROR();
    StoreMeshSettings(mesh);
    handedOver = true;
    cad.GenerateMesh(mesh, m_meshPage.m_strMaterial, m_adaptPage.m_nStartOrder, m_adaptPage.m_nMaxOrder,
                     m_adaptPage.m_dErrorTolerance * kPercent, m_elemPage.GetShellThickness());
    cad.FlushGraphics();
    if (!m_pMesh) m_pMesh = mesh;
    m_pModel = CurrentModel();
    if (AnlSubModel* sub = SubModelOf(m_pModel, mesh)) {
      if (mesh == m_pMesh) m_pSubModel = sub;
      sub->Name(CaeString(static_cast<const char*>(m_meshPage.m_strName)));
    }
  } catch (const CaeExcept&) {
    m_pModel = CurrentModel();
    m_pSubModel = SubModelOf(m_pModel, m_pMesh);
    if (!handedOver) delete mesh;
    if (!m_pSubModel) m_pMesh = nullptr;
    RecoverFromFailure();
    return false;
  }
  if (m_pMesh) return true;
  // The meshing failed and the CAD removed what it made; an edited mesh comes back by undo.
  EndSheet(0);
  if (m_bExisting) cad.UndoLastStep();
  return false;
}

bool CMeshPS::UpdateMesh() {
  if (!ResultsAllowChange()) return false;
  CadWaitCursor wait;
  CadInterface& cad = Cad();
  if (m_pModel) cad.SelectOrCreateModel(m_pModel->Name().Text(), -1);
  const int needsUpdate = m_pMesh->NeedsUpdate();
  try {
    AnlSubModel* sub = nullptr;
    if (!cad.FindSubModelOfMesh(m_pMesh, sub)) {
      EndSheet(IDCANCEL);
      return false;
    }
    if (sub) m_pSubModel = sub;
  } catch (const CaeExcept&) {
    RecoverFromFailure();
    return false;
  }
  if (m_bExisting && m_bAppliedNow && needsUpdate) cad.RebuildExplorer();
  cad.FlushGraphics();
  return true;
}

void CMeshPS::StoreMeshSettings(AmgMesh* mesh) {
  if (!mesh) return;
  const bool shell = m_elemPage.m_nElementType == CMeshElemPP::kShell;
  mesh->SetDefaultSize(LengthToNative(m_meshPage.m_dDefaultSize));
  mesh->SetMaxSize(LengthToNative(m_meshPage.m_dMaxSize));
  mesh->SetMinSize(LengthToNative(m_meshPage.m_dMinSize));
  mesh->SetElementOrder(m_adaptPage.m_bPElements || shell ? 1 : 2);
  mesh->SetElementType(shell ? CaeElemShell : CaeElemSolid);
  mesh->SetMeshPElements(m_adaptPage.m_bPElements ? CaeOn : CaeOff);
  mesh->SetCurvatureScaling(m_elemPage.m_nCurvatureScaling == 1 ? CaeOn : CaeOff);
  mesh->SetAnglePerElement(CaeUnit(CaeUtAngle).HostToNative(m_elemPage.m_dAnglePerElement));
  mesh->SetEdgeShape(m_elemPage.m_nEdgeShape == CMeshElemPP::kCurved ? CaeEdgeCurved : CaeEdgeStraight);
  mesh->SetAutoconstraints(m_refinePage.m_bAutoConstraints ? CaeOn : CaeOff);
  mesh->SetDeferred(m_meshPage.m_bDefer);
}
