// The "VRML export" dialog of "CAEP_WRITE_VRML": the VRML version, an animation by interpolation
// or by frames, the number of frames and the file; OK writes the scene of the results view
// (FerState::ExportVRML) and opens it.
//
// A failed export (no file name, a folder that is not there, frames outside 1 to 100, no view)
// has been reported by the engine: nothing is opened and the dialog stays for another try.
#pragma once

#include "mfc/afx.h"
#include "mfc/controls.h"
#include "res/ResourceIds.h"

// What the four version choices (0 to 3, in the order of their radio buttons) pass to the engine.
struct VrmlChoice {
  int animate = 0;
  int frameMethod = 0;
  int version1 = 0;
};
// Index 0 VRML 1.0, 1 VRML 2.0, 2 animated by interpolation, 3 animated by frames; any other
// index counts as 1.
VrmlChoice UIVrmlChoice(int index);
// The number of frames a scene may have, and the default.
constexpr int kVrmlMinFrames = 1, kVrmlMaxFrames = 100, kVrmlDefaultFrames = 10;
// The default file: the current result set's name (the current model's without one) + ".wrl".
CString UIVrmlDefaultFile();

class CVrmlDlg : public CDialog {
 public:
  static constexpr UINT kTemplateId = IDD_VRML_EXPORT;
  static constexpr DWORD_PTR kHelpContext = 0x20000 + IDD_VRML_EXPORT;

  explicit CVrmlDlg(CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;

  CString m_file;
  int m_version = 1;
  int m_frames = kVrmlDefaultFrames;

 protected:
  void OnChoice();
  void OnBrowse();
  void OnHelp();
  DECLARE_MESSAGE_MAP()

 private:
  // Enables the frames edit and spin exactly when the frame method is chosen.
  void EnableFrames();
  CSpinButtonCtrl m_spin;
};

// "CAEP_WRITE_VRML": without a current result set message 87 and 1; else the dialog and 0.
int UIWriteVrml();
