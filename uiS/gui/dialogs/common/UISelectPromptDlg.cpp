#include "gui/dialogs/common/UISelectPromptDlg.h"

#include <algorithm>

#include "cadInterface/CadCommands.h"
#include "cadInterface/CadInterface.h"

CSelectPromptDlg::CSelectPromptDlg(CWnd* parent) : CDialog(kTemplateId, parent), parent_(parent) {}

BOOL CSelectPromptDlg::Show() {
  if (!CDialog::Create(kTemplateId, parent_)) return FALSE;
  RECT main{};
  CadInterface* cad = CadInterface::GetCurrent();
  if (HWND window = cad ? cad->GetMainWindow() : nullptr) ::GetWindowRect(window, &main);
  SetWindowPos(nullptr, std::max(0, static_cast<int>(main.left)), std::max(0, static_cast<int>(main.top)), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  return TRUE;
}

void CSelectPromptDlg::OnOK() {
  CadInterface* cad = CadInterface::GetCurrent();
  if (!cad || cad->ProcessPendingRequest(1) == 0) return;
  if (HWND main = cad->GetMainWindow()) ::SetActiveWindow(main);
  ShowWindow(SW_HIDE);
  DestroyWindow();  // deletes the object: nothing below may touch it
  cmdRun(kCmdResume);
}

void CSelectPromptDlg::PostNcDestroy() { delete this; }
