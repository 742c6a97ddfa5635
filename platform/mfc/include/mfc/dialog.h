// CDialog: dialogs made from the resource templates of the current resource handle (searched with
// AfxFindResourceHandle).
//
// DoModal: disables the owner (the parent, or the main window) while it runs; creates the window
// and its controls; OnInitDialog (whose default transfers the members into the controls with
// UpdateData(FALSE)); then a modal loop that handles messages and, with nothing left to do, asks
// the user driver (without one, the dialog is cancelled and that is logged). Returns the code
// given to EndDialog, or -1 when the template is missing (logged) or the window was destroyed
// without EndDialog. An exception from any handler leaves DoModal after the window is destroyed
// and the owner re-enabled.
// Create: the same window, modeless, shown when its template style has WS_VISIBLE.
#pragma once
#include <memory>

#include "mfc/resource_module.h"
#include "mfc/wnd.h"

class CDialog : public CWnd {
 public:
  CDialog();
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);

  virtual INT_PTR DoModal();
  virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
  using CWnd::Create;
  // Uses template bytes in memory instead of a resource (indirect dialogs): the bytes of a dialog
  // resource (LockResource) or a copy of them. FALSE, with a logged warning, when they do not
  // hold a template.
  BOOL InitModalIndirect(const void* templateBytes, CWnd* parent = nullptr);
  BOOL CreateIndirect(const void* templateBytes, CWnd* parent = nullptr);
  // Ends a modal loop with `result` (any code), or hides a modeless dialog.
  void EndDialog(int result);
  // Dialog units to pixels, with the fixed conversion of wnd.h.
  void MapDialogRect(RECT* rect) const;
  void SetDefID(UINT id);
  DWORD GetDefID() const;
  void GotoDlgCtrl(CWnd* control);

  UINT m_nIDHelp = 0;
  UINT m_nIDTemplate = 0;
  CWnd* m_pParentWnd = nullptr;

  // Overridables, in a stable order.
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();

 protected:
  // Makes the window and its controls from the template; null on failure (logged).
  HWND createFromTemplate(HWND owner, bool child);
  // Reads template bytes into indirectTemplate_; false (logged) when they hold none.
  bool useTemplateBytes(const void* templateBytes);
  std::unique_ptr<mfc::DialogTemplate> indirectTemplate_;
  LRESULT HandleInitDialog(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()
};

namespace mfc {
// Creates the controls of `dialogTemplate` as children of `dialog`.
void createTemplateControls(HWND dialog, const DialogTemplate& dialogTemplate);
// The template `id` from the current resource handle or the extension chain; null (logged) when absent.
const DialogTemplate* findDialogTemplate(UINT id);
}  // namespace mfc
