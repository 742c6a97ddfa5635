// "View Dynamics": chooses how the results window's view follows the mouse (turn, move, zoom,
// turn about z). The view change itself is the results window's; prompts go to the command line.
#pragma once
#include "mfc/afx.h"
#include "res/ResourceIds.h"

class CViewDynamicsDlg : public CDialog {
 public:
  static constexpr UINT kTemplateId = IDD_VIEW_DYNAMICS;
  static constexpr DWORD_PTR kHelpContext = 0x80000012;
  // The results window's modes.
  enum Mode { kRotate = 0, kMove = 1, kZoom = 2, kRotateZ = 3 };

  explicit CViewDynamicsDlg(CWnd* parent = nullptr);
  // Starts the current results display's dynamics, then runs the dialog.
  INT_PTR DoModal() override;
  // The prompt for the mouse on the command line, then the display runs `mode`.
  void SetMode(int mode);

  void OnOK() override;      // keeps the new view
  void OnCancel() override;  // drops it

 protected:
  void OnRotate();
  void OnRotateZ();
  void OnMove();
  void OnZoom();
  void OnHelp();
  DECLARE_MESSAGE_MAP()

 private:
  // A mode button: the dialog ends as OK does (without OK's handler), then the mode runs.
  void ChooseMode(int mode);
};
