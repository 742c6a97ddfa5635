#include "gui/dialogs/common/UIPickDlg.h"

#include <algorithm>
#include <utility>

#include "amg/CaeExcept.h"
#include "amg/CaeString.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"

namespace {

CPickDlg* openPanel = nullptr;

// Where the last panel was when it closed; nothing is remembered at load.
struct RememberedPosition {
  bool remembered = false;
  int left = 0;
  int top = 0;
};
RememberedPosition position;

HWND cadMainWindow() {
  CadInterface* cad = CadInterface::GetCurrent();
  return cad ? cad->GetMainWindow() : nullptr;
}

}  // namespace

AcBrEntity* CPickDlg::PickedEntity = nullptr;

BEGIN_MESSAGE_MAP(CPickDlg, CDialog)
ON_WM_CLOSE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CPickDlg::CPickDlg(CWnd* parent) : CDialog(kTemplateId, parent), parent_(parent) { PickedEntity = nullptr; }

CPickDlg::~CPickDlg() {
  if (openPanel == this) openPanel = nullptr;
}

int CPickDlg::SetMode(int state) { return std::exchange(state_, state); }

int CPickDlg::Create() {
  if (!CDialog::Create(kTemplateId, parent_)) return 0;
  openPanel = this;
  if (!position.remembered) {
    RECT main{};
    if (HWND window = cadMainWindow()) ::GetWindowRect(window, &main);
    position = {true, std::max(0, static_cast<int>(main.left)), std::max(0, static_cast<int>(main.top))};
  }
  SetWindowPos(nullptr, position.left, position.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  return 1;
}

void CPickDlg::CancelUnlessDone() {
  if (openPanel && !openPanel->done_) openPanel->OnCancel();
}

void CPickDlg::Abandon() {
  PickedEntity = nullptr;
  CPickDlg* panel = openPanel;
  if (!panel) return;
  panel->done_ = true;
  panel->DestroyWindow();  // deletes the object
}

CPickDlg* CPickDlg::OpenPanel() { return openPanel; }

void CPickDlg::ResetModuleState() {
  position = {};
  PickedEntity = nullptr;
}

void CPickDlg::DoDataExchange(CDataExchange*) {}

void CPickDlg::PostNcDestroy() { delete this; }

BOOL CPickDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (cmdSavedIndex() == cmdIndex(CadCommand::OptWizardVariable))
    SetDlgItemText(kUpperTextId, resLoadString(IDS_SELECT_PARAMETER_PROMPT).Text());
  return TRUE;
}

void CPickDlg::OnOK() {
  switch (state_) {
    case kViewChange: StartPick(); return;
    case kSelecting: ChangeView(); return;
    default: {
      CadInterface* cad = CadInterface::GetCurrent();
      if (cad && cad->ProcessPendingRequest(0)) Finish();
    }
  }
}

void CPickDlg::OnCancel() {
  done_ = true;
  CadInterface* cad = CadInterface::GetCurrent();
  if (state_ == kSelecting) {
    // The pick that runs inside OnOK must end first; the reposted Cancel completes the request.
    if (cad) cad->CancelCadCommand();
    PostMessage(WM_COMMAND, IDCANCEL, 0);
    state_ = kViewChange;
    return;
  }
  if (cad) cad->ProcessPendingRequest(1);
  Finish();
}

void CPickDlg::OnClose() { OnCancel(); }

void CPickDlg::OnDestroy() {
  RECT own{};
  GetWindowRect(&own);
  position = {true, static_cast<int>(own.left), static_cast<int>(own.top)};
  CDialog::OnDestroy();
}

void CPickDlg::StartPick() {
  state_ = kSelecting;
  ShowTexts(IDS_CHANGE_VIEW_BUTTON, IDS_PICK_SELECTING_TEXT, IDS_PICK_SELECTING_HINT);
  CadInterface* cad = CadInterface::GetCurrent();
  const std::weak_ptr<char> alive = alive_;
  AcBrEntity* entity = nullptr;
  try {
    entity = cad ? cad->ExecutePendingRequest() : nullptr;
  } catch (const CaeExcept&) {
    // Already reported by the pick; it ends as if the user had ended it.
  }
  // The nested pick loop may have closed and deleted the panel (a Cancel handled meanwhile).
  if (alive.expired() || done_) return;
  if (entity) {
    PickedEntity = entity;
    if (cad->ProcessPendingRequest(0)) Finish();
    return;
  }
  // Nothing picked: the user ended the pick in the CAD window, unless "Change View" ended it.
  if (state_ == kSelecting) {
    state_ = kViewChange;
    OnCancel();
  }
}

void CPickDlg::ChangeView() {
  state_ = kViewChange;
  ShowTexts(IDS_PICK_BUTTON, IDS_PICK_VIEWING_TEXT, IDS_PICK_VIEWING_HINT);
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->CancelCadCommand();
}

void CPickDlg::ShowTexts(UINT button, UINT upper, UINT lower) {
  SetDlgItemText(IDOK, resLoadString(button).Text());
  SetDlgItemText(kUpperTextId, resLoadString(upper).Text());
  SetDlgItemText(kLowerTextId, resLoadString(lower).Text());
}

void CPickDlg::Finish() {
  if (HWND main = cadMainWindow()) ::SetActiveWindow(main);
  ShowWindow(SW_HIDE);
  DestroyWindow();  // deletes the object: nothing below may touch it
  cmdRun(kCmdResume);
}
