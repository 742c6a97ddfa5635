// The "Local Coordinate System" page of the options sheet (only with a host that has local
// coordinate systems): the plane, origin and rotation of the host's local system and its symbol.
// Shown in host length and angle units, handed to the CAD in native ones.
#pragma once
#include "amg/CaeString.h"
#include "mfc/afx.h"
#include "mfc/propsheet.h"

class CLocalCSysPP : public CPropertyPage {
 public:
  enum SizeMode { kFixed = 0, kScaled = 1 };

  CLocalCSysPP();

  // Reads the CAD's local system into the page (nothing before the page is shown).
  void Load();
  // Hands the page's system to the CAD; 1 at once when the page was never shown, 0 when a value
  // is not a number.
  BOOL Apply();

  BOOL OnInitDialog() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  BOOL m_bShown = FALSE;
  CString m_strPlane;
  double m_origin[3] = {};
  double m_rotation[3] = {};
  int m_nColor = 0;  // a colour code from the CAD, a combo index while shown
  double m_dSize = 0;
  int m_nSizeMode = kFixed;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnChange() { SetModified(TRUE); }
  DECLARE_MESSAGE_MAP()

 private:
  void LoadSystemList();
};
