// The VRML page: template 923 "VRML" in the results sheet, template 922 in the optimisation
// results wizard. It writes the scene of the results view with the page's choices; in
// optimisation-model mode it shows and exports the shape of the current optimisation result
// (the second simulation model of the current optimisation model's current result case).
//
// Export puts the drawing's current model and result set back on every path, a raised engine
// error included. A failed export has been reported by the engine and opens nothing.
#pragma once

#include "mfc/afx.h"
#include "mfc/controls.h"
#include "mfc/propsheet.h"
#include "res/ResourceIds.h"

class AnlModel;

class CResOptVRMLPP : public CPropertyPage {
 public:
  // Mask bits: 1 enables (shows) index 0, 2 index 1, 4 index 2, 8 index 3 and the frames controls.
  static constexpr int kAllChoices = 15;

  explicit CResOptVRMLPP(UINT templateId = IDD_VRML_PAGE);

  // Reads the controls into the members once the page has been initialised.
  void UpdateIfInitialised();
  // Writes the file with the page's choices; answers the engine's answer (1 written, 0 not).
  int Export();
  // Export, then opens the file when it was written.
  int ExportAndView();

  // The process-wide view flag (true when the add-in loads); the check box toggles it.
  static bool ViewFlag();
  static void ResetModuleState();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  LRESULT OnWizardNext() override;
  BOOL OnWizardFinish() override;
  void DoDataExchange(CDataExchange* dx) override;

  UINT m_templateId;
  int m_enableMask = kAllChoices;
  int m_showMask = kAllChoices;
  int m_frames = 10;
  bool m_initialised = false;
  bool m_optModelMode = true;
  CString m_file;
  int m_version = 1;
  BOOL m_view;

 protected:
  void OnChoice();
  void OnBrowse();
  void OnViewCheck();
  DECLARE_MESSAGE_MAP()

 private:
  bool Full() const { return m_templateId == IDD_VRML_PAGE; }
  void EnableFrames();
  void SetHint();
  int TypedFrames() const;
  // The model whose file name the page offers: the optimisation result's second model, else the
  // current model; null without either.
  static AnlModel* SecondModel();
  CSpinButtonCtrl m_spin;
  CBitmap m_picture;
};
