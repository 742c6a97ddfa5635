// The entry points of the mesh sheet: "CAEP_MESH" (first and resumed runs), and the Explorer's
// Properties of a mesh and of a mesh refinement.
#include <memory>

#include "amg/CaeMsgCall.h"
#include "amg/CaeTopoRef.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadInterface.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "gui/dialogs/mesh/UIMeshPS.h"
#include "res/ResourceIds.h"

namespace {

constexpr int kTabIconSize = 16;
constexpr int kElementsPage = 1;
constexpr int kRefinementPage = 2;

CadInterface& Cad() {
  CadInterface* cad = CadInterface::GetCurrent();
  CAE_CHECK(cad != nullptr);
  return *cad;
}

std::unique_ptr<CMeshPS>& Pending() {
  static std::unique_ptr<CMeshPS> sheet;
  return sheet;
}

// The drawing (its analysis control) the sheet was parked in; compared, never used.
const AnlControl*& ParkedIn() {
  static const AnlControl* control = nullptr;
  return control;
}

// Destroys the Add Mesh sheet when the command leaves, by any path, unless it was parked for a
// pick: an exception can never leave a sheet behind.
class PendingRun {
 public:
  PendingRun() = default;
  ~PendingRun() {
    if (!parked_) Pending().reset();
  }
  PendingRun(const PendingRun&) = delete;
  PendingRun& operator=(const PendingRun&) = delete;
  void Park() {
    parked_ = true;
    ParkedIn() = CadCurrentAnlControl();
  }

 private:
  bool parked_ = false;
};

void AddTabIcons(CGenericPS& sheet, std::initializer_list<UINT> icons) {
  sheet.CreateTabImageList(kTabIconSize);
  for (UINT icon : icons) sheet.AddTabIcon(icon);
  sheet.m_bShowTabIcons = TRUE;
}

// A new sheet for the picked geometry; false (nothing made) when nothing was picked.
bool StartSheet(CadInterface& cad) {
  CaeList<CaeTopoRef> picked;
  if (!cad.PickMesh(picked)) return false;
  if (picked.IsEmpty()) {
    CadMessageBoxId(IDS_GEOMETRY_SELECTION_FAILED, MB_TASKMODAL);
    return false;
  }
  Pending() = std::make_unique<CMeshPS>(IDS_ADD_MESH);
  CMeshPS& sheet = *Pending();
  sheet.m_topology.AppendList(picked);
  bool body = false;
  for (CaeTopoRef* ref : sheet.m_topology) body = body || ref->Kind() == CaeTopoRef::kBody;
  if (!body) sheet.m_elemPage.m_nElementType = CMeshElemPP::kShell;
  return true;
}

// A parked pick came back: a face for the Elements page, or the geometry of a refinement.
void ResumeSheet(CadInterface& cad, CMeshPS& sheet) {
  AcBrEntity* entity = nullptr;
  int cancelled = 0;
  cad.GetCommandResult(&entity, &cancelled);
  const bool picked = entity && !cancelled;
  if (sheet.m_bFacePickPending) {
    if (picked) cad.CollectMeshesOfTopology(sheet.m_topology, entity);
    sheet.m_psh.nStartPage = kElementsPage;
    sheet.m_bFacePickPending = FALSE;
    return;
  }
  if (picked) {
    const CMeshRefinePP& refine = sheet.m_refinePage;
    cad.CreateMeshConstraint(sheet.m_symbolPage.GetColor(), sheet.m_symbolPage.GetSymbolSize(), refine.m_nParkedKind,
                             refine.NativeSize(), refine.m_location[0], refine.m_location[1], refine.m_location[2],
                             refine.m_nDistribution == CMeshRefinePP::kConcentrated, entity);
  }
  sheet.m_psh.nStartPage = kRefinementPage;
}

}  // namespace

CMeshPS* UIMeshPendingSheet() { return Pending().get(); }

void UIMeshResetModuleState() {
  Pending().reset();
  ParkedIn() = nullptr;
  UIMeshDeferDefault() = TRUE;
  UIMeshDebugSwitches() = MeshDebugSwitches{};
}

void UIMeshAdd() {
  CadInterface& cad = Cad();
  // A sheet parked in another drawing holds that drawing's objects: it goes.
  if (Pending() && ParkedIn() != CadCurrentAnlControl()) Pending().reset();
  PendingRun run;
  if (!Pending()) {
    if (!StartSheet(cad)) return;
  } else {
    ResumeSheet(cad, *Pending());
  }
  CMeshPS& sheet = *Pending();
  AddTabIcons(sheet, {IDI_EXP_MESH, IDI_MESH_ELEMENTS_TAB, IDI_EXP_REFINEMENT, IDI_ATT_SYMBOL_TAB, IDI_MESH_ADAPT_TAB});
  sheet.DoModal();
  if (!cmdIsPickPending()) return;
  // Kept for the run that resumes it; its windows are gone, so nothing is read from them.
  sheet.m_meshPage.m_bShown = FALSE;
  sheet.m_adaptPage.m_bShown = FALSE;
  sheet.m_elemPage.m_bShown = FALSE;
  sheet.m_refinePage.m_bShown = FALSE;
  sheet.DeleteTabImageList();
  run.Park();
}

int UIMeshModify(AnlSubModel* subModel, AnlModel* model) {
  if (!subModel || !subModel->Mesh()) return 0;
  CadInterface& cad = Cad();
  AnlControl* control = CadCurrentAnlControl();
  CAE_CHECK(control != nullptr);
  CMeshPS sheet(IDS_MODIFY_MESH, subModel);
  AddTabIcons(sheet, {IDI_EXP_MESH, IDI_MESH_ELEMENTS_TAB});
  AnlModel* previous = control->CurrentAnlModel();
  if (model) control->SetCurrentAnlModel(model);
  const INT_PTR result = sheet.DoModal();
  if (result != 0) {
    if (previous)
      control->SetCurrentAnlModel(previous);
    else
      control->ClearCurrentAnlModel();
    cad.FlushGraphics();
  } else {
    if (!previous) control->ClearCurrentAnlModel();
    cad.RebuildExplorer();
  }
  return static_cast<int>(result);
}

int UIMeshEditRefinement(AmgConstraint* constraint, AnlModel* model) {
  if (!constraint) return 0;
  CadInterface& cad = Cad();
  // The pages outlive the sheet that shows them.
  CMeshRefinePP refine(constraint);
  CSymbolPP symbol(IDD_SYMBOL_MESH);
  CGenericPS sheet(IDS_MESH_REFINEMENT);
  sheet.AddPage(&refine);
  sheet.AddPage(&symbol);
  refine.m_pSymbolPage = &symbol;
  AddTabIcons(sheet, {IDI_EXP_REFINEMENT, IDI_ATT_SYMBOL_TAB});
  sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
  int colour = 0;
  double scale = 0.0;
  cad.GetConstraintColorAndScale(constraint, &colour, &scale);
  symbol.m_bScaledAllowed = FALSE;
  symbol.SetSymbolSize(scale);
  symbol.SetColor(colour);
  const INT_PTR result = sheet.DoModal();
  while (sheet.GetPageCount() > 0) sheet.RemovePage(sheet.GetPageCount() - 1);
  if (result != IDOK) return static_cast<int>(result);
  // Read before the constraint is replaced: the old one is erased by then.
  const bool resized = refine.SizeChanged();
  cad.RecreateMeshConstraint(constraint, symbol.GetColor(), symbol.GetSymbolSize(), refine.NativeSize(), model);
  cad.FlushGraphics();
  if (resized && model)
    for (int i = 0; i < model->NumSubModels(); ++i)
      if (AnlSubModel* sub = model->GetSubModel(i); sub && !sub->IsMarkedAsErased() && sub->Mesh())
        sub->Mesh()->SetRemeshRequired(1);
  return static_cast<int>(result);
}
