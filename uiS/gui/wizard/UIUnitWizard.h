// The units wizard of the guide's second step: one page on which the user picks a predefined
// unit system or composes one of eight units; Finish makes it the drawing's host unit system and
// marks the step done.
#pragma once
#include "gui/wizard/UIWizBasePP.h"
#include "mfc/afx.h"

class CUnit_SetPP : public CWizBasePP {
 public:
  CUnit_SetPP();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnWizardBack() override;
  BOOL OnWizardFinish() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  int system = -1;  // 0 SI (m), 1 cgs, 2 English, 3 SI (cm), 4 custom
  CString angle;
  CString energy;
  CString force;
  CString length;
  CString mass;
  CString temperature;
  CString time;
  CString frequency;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnSystemChosen(int chosen);
  void OnSIm() { OnSystemChosen(0); }
  void OnCgs() { OnSystemChosen(1); }
  void OnEnglish() { OnSystemChosen(2); }
  void OnSIcm() { OnSystemChosen(3); }
  void OnCustom() { OnSystemChosen(4); }
  DECLARE_MESSAGE_MAP()

 private:
  // Makes the eight chosen units the host system; the drawing owns it from then on.
  void MakeHostSystem();

  BOOL endedByBack_ = FALSE;
};

class CUnitWizPS : public CPropertySheet {
 public:
  CUnitWizPS(const char* caption, CWnd* parent, UINT firstPage);

  BOOL OnInitDialog() override;

  BOOL finished = FALSE;
  CUnit_SetPP& Page() { return page_; }

 private:
  CUnit_SetPP page_;
};
