// The pick panel: a small modeless window that runs a parked pick request in the CAD window, lets
// the user switch between picking and changing the view, and, when the pick is done or abandoned,
// completes the request and resumes the interrupted command (the command table's resume entry).
//
// States: 0 a pick is running in the CAD window (the OK button reads "Change View"), 1 accept on
// OK, 2 view changing (the OK button reads "Pick"; the panel opens in this state and the CAD
// interface posts an OK click so that the first pick starts at once).
//
// The pick inside OnOK runs a nested message loop, so the panel's own buttons work meanwhile:
// Cancel during a pick ends the CAD pick and posts a second Cancel, which completes the request as
// cancelled, closes the panel (the object deletes itself with its window) and resumes. Either the
// ending pick or the posted Cancel may be handled first; the OnOK that started the pick learns
// from a liveness token whether the panel still exists and never touches it once it is gone.
//
// At most one panel is open; its remembered position (where the last one was when it closed) and
// the last picked entity are kept while the add-in is loaded.
#pragma once

#include <memory>

#include "mfc/afx.h"
#include "res/ResourceIds.h"

class AcBrEntity;

class CPickDlg : public CDialog {
 public:
  enum State { kSelecting = 0, kAcceptOnOK = 1, kViewChange = 2 };
  static constexpr UINT kTemplateId = IDD_PICK;
  static constexpr int kUpperTextId = IDC_PICK_UPPER_TEXT;
  static constexpr int kLowerTextId = IDC_PICK_LOWER_TEXT;

  // The entity picked by the last executed request; cleared when a panel is constructed.
  static AcBrEntity* PickedEntity;

  // State 1, not done; clears PickedEntity.
  explicit CPickDlg(CWnd* parent);
  ~CPickDlg() override;

  // Stores the state and answers the previous one.
  int SetMode(int state);
  // Creates the modeless window, registers it as the open panel and places it where the last
  // panel was (the first time: the CAD main window's top-left corner, clamped to 0). Answers
  // the creation's result; without a window the caller still owns the object.
  int Create();
  using CDialog::Create;

  // Runs OnCancel on the open panel unless it has ended; nothing without an open panel.
  static void CancelUnlessDone();
  // Closes the open panel without completing its request or resuming anything (its drawing is
  // going, or the add-in unloads) and forgets PickedEntity.
  static void Abandon();
  // The open panel, or null.
  static CPickDlg* OpenPanel();
  // Forgets the remembered position and PickedEntity (module load, tests).
  static void ResetModuleState();

  int Mode() const { return state_; }
  bool IsDone() const { return done_; }

  void DoDataExchange(CDataExchange* dx) override;
  void PostNcDestroy() override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

 protected:
  void OnClose();
  void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  void StartPick();
  void ChangeView();
  void ShowTexts(UINT button, UINT upper, UINT lower);
  // Activates the CAD window, destroys the panel (which deletes it) and runs the resume entry.
  void Finish();

  int state_ = kAcceptOnOK;
  bool done_ = false;
  CWnd* parent_ = nullptr;
  std::shared_ptr<char> alive_ = std::make_shared<char>(0);  // expires when the object is deleted
};
