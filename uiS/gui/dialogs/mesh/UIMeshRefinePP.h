// The "Refinement" page: local mesh sizes (mesh-size constraints) at a point, vertex, edge or
// face, uniform or concentrated, with a target element size on a logarithmic slider. In the Add
// Mesh sheet each pick makes its constraint at once; in the "Mesh Refinement" sheet only the size
// of one existing constraint changes.
#pragma once
#include "gui/dialogs/mesh/UILogSlider.h"
#include "mfc/afx.h"
#include "mfc/propsheet.h"

class AmgConstraint;
class CSymbolPP;

class CMeshRefinePP : public CPropertyPage {
 public:
  enum Distribution { kUniform = 0, kConcentrated = 1 };
  // Pick kinds of a new constraint.
  enum PickKind { kPickFace = 1, kPickEdge = 2, kPickVertex = 3 };

  CMeshRefinePP();
  explicit CMeshRefinePP(AmgConstraint* constraint);

  bool SaveIfInitialised();
  // The element size in native length; an existing constraint's untouched size is its own,
  // exactly.
  double NativeSize() const;
  // Whether the size differs from the existing constraint's.
  bool SizeChanged() const;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  AmgConstraint* m_pConstraint = nullptr;
  BOOL m_bShown = FALSE;
  BOOL m_bExisting = FALSE;
  double m_location[3] = {0.0, 0.0, 0.0};
  int m_nParkedKind = kPickFace;
  double m_dMinSize = -1.0;
  double m_dMaxSize = -1.0;
  BOOL m_bAutoConstraints = TRUE;
  int m_nDistribution = kUniform;
  BOOL m_bPointPicked = FALSE;
  double m_dSize = 0.0;
  UISizeSlider m_slider;
  // The Symbol page whose colour and size new constraints take (the sheet sets it).
  CSymbolPP* m_pSymbolPage = nullptr;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnUniform();
  void OnConcentrated();
  void OnPoint();
  void OnEdge();
  void OnFace();
  void OnHScroll(UINT code, UINT position, CScrollBar* bar);
  void OnSizeKillFocus();
  DECLARE_MESSAGE_MAP()

 private:
  void UpdateGeometryButtons();
  void PickAndCreate(int kind);
  void ResetPoint();
  double existingHostSize_ = 0.0;  // the existing constraint's size as first shown
};
