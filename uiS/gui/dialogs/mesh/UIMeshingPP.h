// The "Mesh" page of the mesh sheet: name, material, default element size on a logarithmic
// slider between the size range's ends, the defer choice and, for a generated mesh, its node and
// element counts. Sizes are in the host's length unit.
#pragma once
#include "gui/dialogs/mesh/UILogSlider.h"
#include "mfc/afx.h"
#include "mfc/propsheet.h"

class CMeshPS;

// Whether a new page starts with "&Defer mesh generation" set; every click toggles it.
BOOL& UIMeshDeferDefault();

class CMeshingPP : public CPropertyPage {
 public:
  CMeshingPP();

  // Shows the node and element counts of an existing, generated mesh (the defer box is then
  // disabled); hides them otherwise.
  void ShowMeshInfo();
  // Reads the controls back when the page has been shown; false when a value is refused (the
  // platform said why).
  bool SaveIfInitialised();
  // After a successful Apply Now while this page is active: shown again, the note hidden, not
  // modified.
  void MarkInitialised();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  double m_dMinSize = 0.0;
  double m_dMaxSize = 0.0;
  double m_dSliderValue = 0.0;
  BOOL m_bExisting = FALSE;
  CString m_strMaterial;
  BOOL m_bShown = FALSE;
  double m_dDefaultSize = 0.0;
  BOOL m_bDefer;
  CString m_strName;
  // The slider's sizes and their format; rebuilt at each initialisation.
  UISizeSlider m_slider;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnHScroll(UINT code, UINT position, CScrollBar* bar);
  void OnSizeKillFocus();
  void OnChanged();
  void OnDefer();
  void OnMaterialChange();
  DECLARE_MESSAGE_MAP()

 private:
  CMeshPS* MeshSheet() const;
  // The range and slider value at the first showing: the mesh's sizes, or the engine's estimate
  // for the first picked geometry; in host units, widened to hold the slider value.
  void TakeSizeRange();
  void FillMaterials();
  void ShowNote(bool shown);
};
