// The mesh property sheet: adds a mesh to each picked body (or face of a shell part) with the
// settings of its pages, or edits an existing mesh and decides whether it must be generated
// again. Meshes, mesh-size constraints and picks are reached only through the CAD interface.
//
// End codes of a run: IDOK, IDCANCEL, 0 after a failed or interrupted meshing (the host step is
// then undone), -2 when a page parked the sheet for a pick in the CAD window.
#pragma once
#include "amg/CaeList.h"
#include "gui/dialogs/mesh/UIMeshAdaptPP.h"
#include "gui/dialogs/mesh/UIMeshElemPP.h"
#include "gui/dialogs/mesh/UIMeshRefinePP.h"
#include "gui/dialogs/mesh/UIMeshingPP.h"
#include "gui/dialogs/units/UIGenericPS.h"
#include "gui/dialogs/units/UISymbolPP.h"

class AmgMesh;
class AnlModel;
class AmgConstraint;
class AnlSubModel;
class CaeTopoRef;

// The end code of a sheet parked for a pick.
constexpr int kSheetParked = -2;

// Steps the sheet aside for a direct pick in the CAD window: the main window activated and
// enabled, the sheet hidden; shown again when this ends.
class SheetAside {
 public:
  explicit SheetAside(CWnd* sheet);
  ~SheetAside();
  SheetAside(const SheetAside&) = delete;
  SheetAside& operator=(const SheetAside&) = delete;

 private:
  CWnd* sheet_;
};

class CMeshPS : public CGenericPS {
 public:
  // A new mesh: Mesh, Elements, Refinement and Symbol pages; the name "SubModel<n>".
  explicit CMeshPS(UINT captionId);
  // An existing mesh: Mesh and Elements pages, loaded from the sub-model and its mesh.
  CMeshPS(UINT captionId, AnlSubModel* subModel);
  // The pages are members: they leave the sheet before they are destroyed.
  ~CMeshPS() override;

  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  // Meshes the picked geometry, or updates, re-meshes and renames the existing mesh; nonzero on
  // success, 0 keeps the sheet open (or it was ended after a failed meshing).
  int Apply();
  // The page values into an engine mesh (sizes converted to native length).
  void StoreMeshSettings(AmgMesh* mesh);
  int IsShellMesh() const;
  // Ends the modal run, recording the code (kept for the caller and tests).
  void EndSheet(int code);
  // Whether any page changed since the last successful apply.
  bool AnyPageModified() const;
  // The current model's mesh-size constraints, erased ones included (0 without a model).
  static int CurrentConstraintCount();

  CMeshingPP m_meshPage;
  CMeshElemPP m_elemPage;
  CMeshRefinePP m_refinePage;
  CSymbolPP m_symbolPage;
  CMeshAdaptPP m_adaptPage;
  CMeshDebug m_debugPage;
  CaeList<CaeTopoRef> m_topology;  // not owned: the references belong to the part
  AnlSubModel* m_pSubModel = nullptr;
  AmgMesh* m_pMesh = nullptr;
  AnlModel* m_pModel = nullptr;
  int m_nConstraintsAtOpen = 0;
  BOOL m_bExisting = FALSE;
  BOOL m_bFacePickPending = FALSE;
  BOOL m_bAppliedNow = FALSE;
  // The code the sheet was last ended with by its own code (0 failed meshing, -2 parked), or 1.
  int m_nEndCode = 1;

 private:
  // Every shown page takes its controls' values; false (that page active) on a refusal.
  bool SavePages();
  // Whether the library at the configured location holds the Mesh page's material.
  bool MaterialFound() const;
  int ApplyNew();
  int ApplyExisting();
  // One reference meshed (mesh entity, settings, generation, sub-model found and named); false
  // when the meshing failed or was interrupted, and the sheet was ended with 0.
  bool MeshTopology(CaeTopoRef* ref);
  bool UpdateMesh();
  bool ResultsAllowChange();
  bool RemeshRuleMet() const;
  void AssignMaterial();
  void NameSubModel();
  // After a meshing failure: progress closed, sheet ended with 0, the host step undone.
  void RecoverFromFailure();
  void AfterApplyNow();
  void CancelConstraints();
  bool counted_ = false;  // the constraint count at open is taken once per sheet
};

// "CAEP_MESH" (first and resumed runs), the Explorer's Properties of a mesh and of a mesh
// refinement.
void UIMeshAdd();
int UIMeshModify(AnlSubModel* subModel, AnlModel* model);
int UIMeshEditRefinement(AmgConstraint* constraint, AnlModel* model);
// The Add Mesh sheet while it exists (also while it waits for a pick), else null.
CMeshPS* UIMeshPendingSheet();
// Discards a parked sheet and forgets the module's memory (add-in load and unload, tests).
void UIMeshResetModuleState();
