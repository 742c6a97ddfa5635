#include "mfc/dialog.h"

#include <memory>

#include "mfc/log.h"
#include "mfc/menu.h"
#include "mfc/resources.h"
#include "mfc/services.h"
#include "mfc/winapi.h"
#include "window_internal.h"

using namespace mfc::detail;

namespace mfc {
namespace {

struct ControlClass {
  const char* className;
  DWORD style;
};

ControlClass controlClass(const ControlTemplate& c) {
  const std::string& k = c.kind;
  if (k == "LTEXT" || k == "CTEXT" || k == "RTEXT" || k == "PICTURE") return {"Static", 0};
  if (k == "EDITTEXT") return {"Edit", WS_TABSTOP};
  if (k == "PUSHBUTTON") return {"Button", BS_PUSHBUTTON | WS_TABSTOP};
  if (k == "DEFPUSHBUTTON") return {"Button", BS_DEFPUSHBUTTON | WS_TABSTOP};
  if (k == "CHECKBOX") return {"Button", (c.style & BS_TYPEMASK) ? 0u : BS_AUTOCHECKBOX | WS_TABSTOP};
  if (k == "RADIOBUTTON") return {"Button", (c.style & BS_TYPEMASK) ? 0u : BS_AUTORADIOBUTTON};
  if (k == "GROUPBOX") return {"Button", BS_GROUPBOX};
  if (k == "COMBOBOX") return {"ComboBox", ((c.style & CBS_TYPEMASK) ? 0u : CBS_DROPDOWN) | WS_TABSTOP};
  if (k == "LISTBOX") return {"ListBox", LBS_NOTIFY | WS_TABSTOP};
  if (k == "CHECKLISTBOX") return {"ListBox", LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | WS_TABSTOP};
  if (k == "PROGRESS") return {"msctls_progress32", 0};
  if (k == "SLIDER") return {"msctls_trackbar32", WS_TABSTOP};
  if (k == "SPIN") return {"msctls_updown32", 0};
  if (k == "LISTVIEW") return {"SysListView32", WS_TABSTOP};
  if (k == "TREEVIEW") return {"SysTreeView32", WS_TABSTOP};
  if (k == "TAB") return {"SysTabControl32", 0};
  return {nullptr, 0};  // CUSTOM: the class is the text
}

}  // namespace

void createTemplateControls(HWND dialog, const DialogTemplate& dialogTemplate) {
  for (const ControlTemplate& c : dialogTemplate.controls) {
    ControlClass cls = controlClass(c);
    std::string className = cls.className ? cls.className : c.text;
    std::string text = cls.className ? c.text : "";
    RECT rect{dialogUnitsToPixelsX(c.x), dialogUnitsToPixelsY(c.y), dialogUnitsToPixelsX(c.x + c.cx),
              dialogUnitsToPixelsY(c.y + c.cy)};
    HWND control =
        createWindow(className, text, WS_CHILD | WS_VISIBLE | cls.style | c.style, 0, rect, dialog, c.id, nullptr);
    if (c.kind == "CHECKLISTBOX") control->style |= LBS_OWNERDRAWFIXED;
  }
}

const DialogTemplate* findDialogTemplate(UINT id) {
  HINSTANCE holder = AfxFindResourceHandle(id, RT_DIALOG);
  auto module = moduleOf(holder);
  const DialogTemplate* found = module ? module->dialog(id) : nullptr;
  if (!found) log("warning: dialog template " + std::to_string(id) + " is not in the resource module");
  return found;
}

}  // namespace mfc

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_nIDHelp(templateId), m_nIDTemplate(templateId), m_pParentWnd(parent) {}

bool CDialog::useTemplateBytes(const void* templateBytes) {
  indirectTemplate_.reset();
  if (!templateBytes) return false;
  try {
    indirectTemplate_ =
        std::make_unique<mfc::DialogTemplate>(mfc::parseDialogTemplate(static_cast<const char*>(templateBytes)));
  } catch (const mfc::ResourceError& e) {
    mfc::log(std::string("warning: bad dialog template in memory: ") + e.what());
    return false;
  }
  m_nIDTemplate = indirectTemplate_->id;
  return true;
}

BOOL CDialog::InitModalIndirect(const void* templateBytes, CWnd* parent) {
  if (parent) m_pParentWnd = parent;
  return useTemplateBytes(templateBytes) ? TRUE : FALSE;
}

HWND CDialog::createFromTemplate(HWND owner, bool child) {
  const mfc::DialogTemplate* t = indirectTemplate_ ? indirectTemplate_.get() : mfc::findDialogTemplate(m_nIDTemplate);
  if (!t) return nullptr;
  int width = dialogUnitsToPixelsX(t->cx);
  int height = dialogUnitsToPixelsY(t->cy);
  RECT rect{0, 0, width, height};
  DWORD style =
      (child ? WS_CHILD : WS_POPUP | WS_CAPTION | WS_SYSMENU) | (t->style & ~(WS_VISIBLE | WS_CHILD | WS_POPUP));
  if (!child) {
    // Centred on the screen until the dialog places itself.
    rect = RECT{(1024 - width) / 2, (768 - height) / 2, (1024 + width) / 2, (768 + height) / 2};
  }
  HWND hwnd = createWindow("#32770", t->caption, style, 0, rect, owner, child ? static_cast<int>(t->id) : 0, this);
  hwnd->templateId = t->id;
  hwnd->kind = WindowKind::Dialog;
  mfc::createTemplateControls(hwnd, *t);
  if (t->menuId) {
    auto menu = std::make_unique<CMenu>();
    if (menu->LoadMenu(t->menuId)) {
      hwnd->ownedMenu = std::move(menu);
      hwnd->menu = hwnd->ownedMenu.get();
    }
  }
  if (::SendMessage(hwnd, WM_INITDIALOG, 0, 0) && isLive(hwnd)) {
    for (HWND c : hwnd->children) {
      if ((c->style & WS_TABSTOP) && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED)) {
        ::SetFocus(c);
        break;
      }
    }
  }
  return isLive(hwnd) ? hwnd : nullptr;
}

namespace {

// Re-enables and re-activates the owner when a modal dialog ends, however it ends.
class ModalOwnerGuard {
 public:
  explicit ModalOwnerGuard(HWND owner) : owner_(owner), previousActive_(GetActiveWindow()) {
    if (isLive(owner_)) wasEnabled_ = !::EnableWindow(owner_, FALSE);
  }
  ~ModalOwnerGuard() {
    if (isLive(owner_) && wasEnabled_) ::EnableWindow(owner_, TRUE);
    if (isLive(previousActive_)) ::SetActiveWindow(previousActive_);
  }
  ModalOwnerGuard(const ModalOwnerGuard&) = delete;
  ModalOwnerGuard& operator=(const ModalOwnerGuard&) = delete;

 private:
  HWND owner_;
  HWND previousActive_;
  bool wasEnabled_ = false;
};

// Destroys the dialog's window when DoModal is left, also by an exception.
class WindowGuard {
 public:
  explicit WindowGuard(CWnd& wnd) : wnd_(wnd) {}
  ~WindowGuard() {
    if (isLive(wnd_.m_hWnd)) wnd_.DestroyWindow();
  }
  WindowGuard(const WindowGuard&) = delete;
  WindowGuard& operator=(const WindowGuard&) = delete;

 private:
  CWnd& wnd_;
};

HWND topLevelOf(HWND hwnd) {
  while (isLive(hwnd) && (hwnd->style & WS_CHILD) && hwnd->parent) hwnd = hwnd->parent;
  return isLive(hwnd) ? hwnd : nullptr;
}

}  // namespace

INT_PTR CDialog::DoModal() {
  if (m_hWnd) return -1;
  HWND owner = topLevelOf(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr);
  if (!owner && AfxGetMainWnd()) owner = topLevelOf(AfxGetMainWnd()->m_hWnd);
  ModalOwnerGuard ownerGuard(owner);
  WindowGuard windowGuard(*this);
  HWND hwnd = createFromTemplate(owner, false);
  if (!hwnd) return -1;
  if (hwnd->modalEnded) return hwnd->modalResult;  // ended inside OnInitDialog
  ::ShowWindow(hwnd, SW_SHOW);
  ::SetActiveWindow(hwnd);
  int result = RunModalLoop();
  if (isLive(hwnd)) ::ShowWindow(hwnd, SW_HIDE);
  return result;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  if (m_hWnd) return FALSE;
  m_nIDTemplate = templateId;
  if (!m_nIDHelp) m_nIDHelp = templateId;
  if (parent) m_pParentWnd = parent;
  const mfc::DialogTemplate* t = indirectTemplate_ ? indirectTemplate_.get() : mfc::findDialogTemplate(templateId);
  if (!t) return FALSE;
  bool child = (t->style & WS_CHILD) != 0;
  HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
  HWND hwnd = createFromTemplate(owner, child);
  if (!hwnd) return FALSE;
  if (t->style & WS_VISIBLE) ::ShowWindow(hwnd, SW_SHOW);
  return TRUE;
}

BOOL CDialog::CreateIndirect(const void* templateBytes, CWnd* parent) {
  return useTemplateBytes(templateBytes) ? Create(indirectTemplate_->id, parent) : FALSE;
}

void CDialog::EndDialog(int result) {
  if (!isLive(m_hWnd)) return;
  if (m_hWnd->inModalLoop || !m_hWnd->modalEnded) EndModalLoop(result);
  ::ShowWindow(m_hWnd, SW_HIDE);
}

void CDialog::MapDialogRect(RECT* rect) const {
  if (!rect) return;
  rect->left = dialogUnitsToPixelsX(rect->left);
  rect->right = dialogUnitsToPixelsX(rect->right);
  rect->top = dialogUnitsToPixelsY(rect->top);
  rect->bottom = dialogUnitsToPixelsY(rect->bottom);
}

void CDialog::SetDefID(UINT id) { ::SendMessage(m_hWnd, DM_SETDEFID, id, 0); }

DWORD CDialog::GetDefID() const { return isLive(m_hWnd) ? MAKELONG(static_cast<WORD>(m_hWnd->defId), 0x534B) : 0; }

void CDialog::GotoDlgCtrl(CWnd* control) {
  if (control) control->SetFocus();
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
