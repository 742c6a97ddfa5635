// The "Geometry" page: says on which geometry a condition or a design constraint acts. Outside a
// wizard each geometry button picks at once in the CAD with the sheet hidden; "&Change View"
// ends the sheet so that the user can change the view, and the command that owns the sheet runs
// again from the select prompt and finds the sheet (and this page's choice) still alive.
#pragma once

#include "mfc/afx.h"
#include "mfc/propsheet.h"
#include "res/ResourceIds.h"

class AcBrEntity;

class COptSelGeomPP : public CPropertyPage {
 public:
  // Geometry kinds, also the bit positions of the button masks.
  enum Kind { kAllSolids = 0, kSolid = 1, kFace = 2, kEdge = 3, kVertex = 4 };
  static constexpr int kAllButtons = 31;

  explicit COptSelGeomPP(UINT templateId = IDD_ATT_GEOMETRY);

  // Kind 0 clears the pick; the others pick in the CAD (a solid may come from the preselection).
  // False when nothing was picked: kind and geometry stay as they were.
  BOOL PickGeometry(int kind);

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  UINT m_nTemplateId;
  int m_nKind = kAllSolids;
  int m_nEnableMask = kAllButtons;
  int m_nShowMask = kAllButtons;
  BOOL m_bShowChangeView = TRUE;
  int m_nResumeCommand = 0;
  AcBrEntity* m_pGeometry = nullptr;  // null: all solids, or nothing chosen yet
  CString m_strPrompt;
  CString m_strSelection;

 protected:
  void OnSolid() { PickGeometry(kSolid); }
  void OnFace() { PickGeometry(kFace); }
  void OnEdge() { PickGeometry(kEdge); }
  void OnVertex() { PickGeometry(kVertex); }
  void OnChangeView();
  DECLARE_MESSAGE_MAP()

 private:
  void ShowButton(int id, int pictureId, int kind);
};
