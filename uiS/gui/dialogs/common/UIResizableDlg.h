// The base of dialogs the user may move and resize and that reopen where they were left: a
// tooltip control, a process-wide memory of the window rectangle per dialog template (shared by
// every dialog of the template, kept while the add-in is loaded), optional cascading of repeated
// windows, and ResizeContents, in which each subclass lays out its controls.
#pragma once

#include "mfc/afx.h"

class CResizableDlg : public CDialog {
 public:
  // Not initialised, no remembered entry, cascade off.
  CResizableDlg(UINT templateId, CWnd* parent = nullptr);

  // Lays out the subclass's controls for a client area of `width` x `height` pixels; nonzero
  // when the new window rectangle is to be remembered. The base lays out nothing and answers 0.
  virtual int ResizeContents(int width, int height);

  BOOL OnInitDialog() override;
  // Mouse moves go to the tooltip as if they were meant for the window under the cursor, so that
  // tools on disabled controls show as well.
  BOOL PreTranslateMessage(MSG* msg) override;

  // The remembered rectangle of `templateId` in screen coordinates; false when none is.
  static bool RememberedRectangle(UINT templateId, RECT& rect);
  // Forgets every remembered rectangle (the add-in unloads; tests).
  static void ForgetRectangles();

 protected:
  void OnMove(int x, int y);
  void OnSize(UINT type, int cx, int cy);
  DECLARE_MESSAGE_MAP()

  CToolTipCtrl m_toolTip;
  bool m_cascade = false;  // a subclass sets it in its constructor

 private:
  void Cascade(RECT& remembered);
  void Remember();

  UINT templateId_;
  bool initialised_ = false;
  int entry_ = -1;  // index in the rectangle table: valid while other templates are added
};
