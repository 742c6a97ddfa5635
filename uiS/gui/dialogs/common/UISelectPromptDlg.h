// The small modeless prompt that stays on screen while the user changes the view in the CAD
// window before a pick, for a page that had to close for it. Its OK completes the parked request
// and resumes the command saved when the pick began (the command table's resume entry).
//
// The caller creates it on the heap with the CAD main window as parent and calls Show; the
// object deletes itself once its window is destroyed (Show failing leaves it to the caller).
#pragma once

#include "mfc/afx.h"
#include "res/ResourceIds.h"

class CSelectPromptDlg : public CDialog {
 public:
  static constexpr UINT kTemplateId = IDD_SELECT_PROMPT;

  explicit CSelectPromptDlg(CWnd* parent);
  // Creates the window from the template, places its top-left corner at the CAD main window's
  // (negative coordinates clamped to 0) and shows it; answers the creation's result.
  BOOL Show();

  // Asks the CAD interface to complete the parked request; refused: the prompt stays open.
  // Otherwise the CAD window becomes active, the prompt goes and the resume entry runs.
  void OnOK() override;
  void PostNcDestroy() override;

 private:
  CWnd* parent_;
};
