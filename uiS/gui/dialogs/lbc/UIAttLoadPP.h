// The "Load" page of the attribute sheet: the load's category, name, values in host units,
// coordinate frame and type, and for a body temperature its source and the stress-free
// reference temperature. It keeps the Geometry page, the Symbol page and the sheet's
// component-use flags in step with the choice.
#pragma once

#include "mfc/afx.h"
#include "mfc/propsheet.h"

class CAttPS;

class CAttLoadPP : public CPropertyPage {
 public:
  CAttLoadPP();

  void UpdateControls();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  BOOL m_bNameEdited = FALSE;
  CString m_strCoordType;
  CString m_strResultName;
  int m_nType = -1;
  int m_nFrame = -1;
  int m_nCoordType = -1;
  int m_nTempSource = 0;  // 0 constant, 1 from the current results
  double m_dValue[3] = {0.0, 0.0, 0.0};
  double m_dRefTemp = 0.0;
  BOOL m_bVaries = FALSE;
  CString m_strName;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnTypeChange();
  void OnCoordTypeChange();
  void OnNameKillFocus() { m_bNameEdited = TRUE; }
  DECLARE_MESSAGE_MAP()

 private:
  CAttPS* AttSheet() const;
  void HideVariation();
  void ShowCoordTypes(bool facePermitted, int& coordType);
  void ShowAxisLabels(int coordType);
  void ShowValueControls(int category, int coordType);
  void UpdateTemperatureSource(int category);
  void UpdateUnits(int category);
};

// The coordinate type new loads start with: the last one picked on any load page (add-in
// lifetime; 0 at load).
int& UIAttRememberedCoordType();
