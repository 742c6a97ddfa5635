// The design doctor's diagnosis: the engine's finding of one test shown on the results display
// and in a small sheet (passed, failed with a recommendation, or failed with Refine, then Animate
// for the design tests), the job-error help, and the Refine road.
#pragma once
#include <memory>

#include "fea/FerSettings.h"
#include "gui/wizard/UIWizBasePP.h"
#include "mfc/afx.h"

class AnlJob;
class FerDoctor;

// Results: 37 the doctor goes on, 0 it ends, 7 it ends and the analysis sheet follows. With
// `show` 0 only the engine's diagnosis (and with it the display) is made.
int UIDocShowDiagnosis(int kind, double first, double second, int type, int show);
// The help topic of the job's failure, or message 1288 when the job left no reason.
void UIDocShowJobErrorHelp(AnlJob* job);
// Refines the current model's meshes where the error is above `maxError` percent. All or nothing:
// the jobs and sets go only when the meshes changed. 7 when the analysis sheet is to follow, else 0.
int UIDocRefine(FerDoctor& doctor, double maxError);

// "Test Passed" and "Test Failed": the diagnosis (and recommendation) texts; the display the
// page had when it was left is shown again when it comes back (after Animate).
class CDocTextPP : public CWizBasePP {
 public:
  CDocTextPP(UINT templateId, int textId, DWORD helpContext, bool keepsDisplay);
  void SetDiagnosis(const CString& text) { diagnosis_ = text; }
  void SetRecommendation(const CString& text) { recommendation_ = text; }
  const CString& Diagnosis() const { return diagnosis_; }

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void DoDataExchange(CDataExchange* dx) override;

 protected:
  void OnPaint();
  BOOL OnQueryNewPalette();
  void OnPaletteChanged(CWnd* changedBy);
  void OnRefine();
  DECLARE_MESSAGE_MAP()

 private:
  CString diagnosis_;
  CString recommendation_;
  std::unique_ptr<FerDispSettings> saved_;
  int textId_;
  DWORD helpContext_;
  bool keepsDisplay_;
};

class CDocAnimatePP : public CWizBasePP {
 public:
  CDocAnimatePP();
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void DoDataExchange(CDataExchange* dx) override;

 protected:
  void OnPlay();
  void OnStop();
  void OnBack();
  void OnForward();
  DECLARE_MESSAGE_MAP()

 private:
  void ApplySliders();
  int forwardOnly_ = 0;
  bool initialised_ = false;
};
