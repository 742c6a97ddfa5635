// The "Restraint" page of the attribute sheet: type, name, six fixed-component flags labelled by
// the coordinate type, and the coordinate frame and type. Its flags are also the sheet's
// component-use flags on a load sheet, so the sheet always constructs it.
#pragma once

#include "mfc/afx.h"
#include "mfc/propsheet.h"

class CAttPS;

class CAttRestPP : public CPropertyPage {
 public:
  CAttRestPP();

  void UpdateControls();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  BOOL m_bNameEdited = FALSE;
  CString m_strCoordType;
  int m_nFrame = -1;
  int m_nCoordType = -1;
  BOOL m_bFixed[6] = {FALSE, FALSE, FALSE, FALSE, FALSE, FALSE};  // x, y, z, then rotations
  int m_nType = 0;
  CString m_strName;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnTypeChange();
  void OnCoordTypeChange();
  void OnNameKillFocus() { m_bNameEdited = TRUE; }
  DECLARE_MESSAGE_MAP()

 private:
  CAttPS* AttSheet() const;
  bool IsShellModel() const;
};
