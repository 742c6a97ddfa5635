// The "Animation" page of the results sheet: play, stop and step the results window's animation,
// full or forward cycling, the number of frames and the speed. For optimisation results it first
// sets up the display of the run's shapes or material distribution.
#pragma once
#include "mfc/propsheet.h"

class AnlModel;
class FerResultSet;

class CResAnmDlg : public CPropertyPage {
 public:
  static constexpr int kMinFrames = 3, kMaxFrames = 36, kMinSpeed = 1, kMaxSpeed = 19;

  CResAnmDlg();
  // A sheet closed without visiting this page still ends the animation its constructor began, so
  // the window shows the static picture again.
  ~CResAnmDlg() override;

  // Writes the sliders to the view's animation setting (endless repetitions).
  void StoreSettings();
  // Stops and finishes the animation; the page's Cancel.
  void StopAnimation();
  void SetupOptimisationDisplay();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  void OnCancel() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  int m_nActivations = 0;
  FerResultSet* m_pResultSet = nullptr;
  AnlModel* m_pModel = nullptr;

 protected:
  void OnPlay();
  void OnStop();
  void OnForward();
  void OnBack();
  DECLARE_MESSAGE_MAP()

 private:
  bool finished_ = false;
};
