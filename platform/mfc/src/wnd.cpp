#include "mfc/wnd.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>

#include "mfc/ddx.h"
#include "mfc/log.h"
#include "mfc/menu.h"
#include "mfc/ole.h"
#include "mfc/services.h"
#include "mfc/winapi.h"
#include "text_format.h"
#include "window_internal.h"

namespace mfc::detail {
namespace {

std::mutex liveMutex;
std::set<HWND>& liveWindows() {
  static std::set<HWND> live;
  return live;
}

// The message each nested WindowProc is handling, for Default().
struct CurrentMessage {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
thread_local std::vector<CurrentMessage> currentMessages;

struct CurrentMessageScope {
  CurrentMessageScope(HWND h, UINT m, WPARAM w, LPARAM l) { currentMessages.push_back({h, m, w, l}); }
  ~CurrentMessageScope() { currentMessages.pop_back(); }
};

}  // namespace

std::atomic<std::uintptr_t> currentDocumentTag{0};

bool isLive(HWND hwnd) {
  if (!hwnd) return false;
  std::lock_guard lock(liveMutex);
  return liveWindows().count(hwnd) && !hwnd->destroying;
}

std::vector<HWND> liveTopLevelWindows() {
  std::vector<HWND> windows;
  {
    std::lock_guard lock(liveMutex);
    for (HWND hwnd : liveWindows())
      if (!hwnd->destroying && !(hwnd->style & WS_CHILD)) windows.push_back(hwnd);
  }
  std::sort(windows.begin(), windows.end(), [](HWND a, HWND b) { return a->serial < b->serial; });
  return windows;
}

WindowKind kindOfClass(const std::string& c) {
  if (c == "Static") return WindowKind::Static;
  if (c == "Edit") return WindowKind::Edit;
  if (c == "Button") return WindowKind::Button;
  if (c == "ComboBox") return WindowKind::ComboBox;
  if (c == "ListBox") return WindowKind::ListBox;
  if (c == "msctls_progress32") return WindowKind::Progress;
  if (c == "msctls_trackbar32") return WindowKind::Slider;
  if (c == "msctls_updown32") return WindowKind::Spin;
  if (c == "SysListView32") return WindowKind::ListView;
  if (c == "SysTreeView32") return WindowKind::TreeView;
  if (c == "SysTabControl32") return WindowKind::Tab;
  if (c == "#32770") return WindowKind::Dialog;
  if (!c.empty() && c[0] == '{') return WindowKind::Hosted;
  return WindowKind::Generic;
}

HWND createWindow(const std::string& className, const std::string& text, DWORD style, DWORD exStyle, const RECT& rect,
                  HWND parent, int id, CWnd* object) {
  static std::atomic<std::uint64_t> created{0};
  auto* hwnd = new HWND__;
  hwnd->serial = ++created;
  hwnd->thread = std::this_thread::get_id();
  hwnd->className = className;
  hwnd->kind = kindOfClass(className);
  hwnd->text = text;
  hwnd->style = style;
  hwnd->exStyle = exStyle;
  hwnd->rect = rect;
  hwnd->parent = parent;
  hwnd->id = id;
  hwnd->object = object;
  if (!(style & WS_CHILD)) hwnd->documentTag = currentDocumentTag;
  if (hwnd->kind == WindowKind::Button && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && parent) parent->defId = id;
  if (hwnd->kind == WindowKind::Edit) hwnd->readOnly = (style & ES_READONLY) != 0;
  if (hwnd->kind == WindowKind::Spin) {
    hwnd->rangeMin = 100;  // the platform's default up-down range runs downwards
    hwnd->rangeMax = 0;
  }
  if (hwnd->kind == WindowKind::Progress || hwnd->kind == WindowKind::Slider) hwnd->rangeMax = 100;
  {
    std::lock_guard lock(liveMutex);
    liveWindows().insert(hwnd);
  }
  if (parent) parent->children.push_back(hwnd);
  if (object) object->m_hWnd = hwnd;
  return hwnd;
}

void destroyWindow(HWND hwnd) {
  if (!isLive(hwnd) || hwnd->destroyStarted) return;
  hwnd->destroyStarted = true;
  dropFocusWithin(hwnd);
  deliver(hwnd, WM_DESTROY, 0, 0);
  std::vector<HWND> children = hwnd->children;
  for (HWND child : children) destroyWindow(child);
  hwnd->destroying = true;
  killWindowTimers(hwnd);
  if (GetActiveWindow() == hwnd) SetActiveWindow(hwnd->parent);
  if (GetCapture() == hwnd) ReleaseCapture();
  CWnd* object = hwnd->object;
  {
    CurrentMessageScope scope(hwnd, WM_NCDESTROY, 0, 0);
    if (object) object->WindowProc(WM_NCDESTROY, 0, 0);
  }
  // As on the platform the object is detached before PostNcDestroy, which may delete it.
  hwnd->object = nullptr;
  if (object) {
    object->m_hWnd = nullptr;
    object->PostNcDestroy();
  }
  if (hwnd->parent) {
    auto& siblings = hwnd->parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), hwnd), siblings.end());
  }
  {
    std::lock_guard lock(liveMutex);
    liveWindows().erase(hwnd);
  }
  delete hwnd;
}

LRESULT deliver(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!hwnd) return 0;
  {
    std::lock_guard lock(liveMutex);
    if (!liveWindows().count(hwnd)) return 0;
  }
  CurrentMessageScope scope(hwnd, message, wParam, lParam);
  if (hwnd->object) return hwnd->object->WindowProc(message, wParam, lParam);
  bool handled = false;
  LRESULT result = controlProc(hwnd, message, wParam, lParam, handled);
  if (handled) return result;
  CWnd* wrapper = CWnd::FromHandle(hwnd);
  return wrapper ? wrapper->DefWindowProc(message, wParam, lParam) : 0;
}

void notifyParent(HWND control, UINT code) {
  if (!isLive(control) || !control->parent) return;
  SendMessage(control->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(control->id), static_cast<WORD>(code)),
              reinterpret_cast<LPARAM>(control));
}

LRESULT notifyParent(HWND control, NMHDR* header, int code) {
  if (!isLive(control) || !control->parent) return 0;
  header->hwndFrom = control;
  header->idFrom = static_cast<UINT_PTR>(control->id);
  header->code = static_cast<UINT>(code);
  return SendMessage(control->parent, WM_NOTIFY, static_cast<WPARAM>(control->id), reinterpret_cast<LPARAM>(header));
}

HWND findDescendant(HWND root, int id, bool visibleOnly) {
  if (!isLive(root)) return nullptr;
  for (HWND child : root->children) {
    if (visibleOnly && !(child->style & WS_VISIBLE)) continue;
    if (child->id == id) return child;
  }
  for (HWND child : root->children) {
    if (visibleOnly && !(child->style & WS_VISIBLE)) continue;
    if (HWND found = findDescendant(child, id, visibleOnly)) return found;
  }
  return nullptr;
}

std::string describe(HWND hwnd) {
  if (!isLive(hwnd)) return "a destroyed window";
  std::string kind = hwnd->kind == WindowKind::Dialog ? "dialog" : "window";
  std::string id = hwnd->templateId ? " " + std::to_string(hwnd->templateId) : "";
  return kind + id + " '" + hwnd->text + "'";
}

void setText(HWND hwnd, const std::string& text) {
  if (!isLive(hwnd)) return;
  std::string value = text;
  if (hwnd->textLimit > 0 && static_cast<int>(value.size()) > hwnd->textLimit &&
      (hwnd->kind == WindowKind::Edit || hwnd->kind == WindowKind::ComboBox))
    value.resize(static_cast<size_t>(hwnd->textLimit));
  hwnd->text = value;
}

HWND newestModelessDialog() {
  std::lock_guard lock(liveMutex);
  HWND newest = nullptr;
  for (HWND h : liveWindows()) {
    if (h->destroying || h->thread != std::this_thread::get_id() || h->kind != WindowKind::Dialog) continue;
    if ((h->style & WS_CHILD) || !(h->style & WS_VISIBLE) || (h->style & WS_DISABLED) || h->inModalLoop) continue;
    if (!newest || h->serial > newest->serial) newest = h;
  }
  return newest;
}

HWND windowNeedingPaint() {
  std::lock_guard lock(liveMutex);
  for (HWND h : liveWindows())
    if (h->needsPaint && !h->destroying && h->thread == std::this_thread::get_id()) return h;
  return nullptr;
}

LRESULT currentDefault(CWnd* wnd) {
  if (currentMessages.empty()) return 0;
  const CurrentMessage& m = currentMessages.back();
  return wnd->DefWindowProc(m.message, m.wParam, m.lParam);
}

}  // namespace mfc::detail

using namespace mfc::detail;

int dialogUnitsToPixelsX(int du) { return du * 3 / 2; }
int dialogUnitsToPixelsY(int du) { return du * 3 / 2; }

// ---- message maps ----

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, entries};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

bool CCmdTarget::DispatchToMap(UINT message, UINT code, UINT id, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  bool byId = message == WM_COMMAND || message == WM_NOTIFY || message == WM_REFLECT_BASE + WM_NOTIFY ||
              message == WM_REFLECT_BASE + WM_COMMAND;
  LRESULT ignored = 0;
  AfxMessage msg{message, wParam, lParam, result ? result : &ignored};
  for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->handler; ++e) {
      if (e->message != message) continue;
      if (byId && (e->code != code || id < e->id || id > e->lastId)) continue;
      e->handler(this, msg);
      return true;
    }
  }
  return false;
}

// ---- CWnd ----

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() = default;

CWnd::~CWnd() {
  if (m_hWnd && isLive(m_hWnd) && m_hWnd->object == this) {
    HWND hwnd = m_hWnd;
    hwnd->object = nullptr;
    destroyWindow(hwnd);
  }
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  if (!isLive(hwnd)) return nullptr;
  if (hwnd->object) return hwnd->object;
  if (!hwnd->temporary) {
    hwnd->temporary = makeTemporaryWrapper(hwnd);
    hwnd->temporary->m_hWnd = hwnd;
  }
  return hwnd->temporary.get();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) { return isLive(hwnd) ? hwnd->object : nullptr; }

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CreateEx(0, className, windowName, style, rect, parent, id);
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id) {
  if (m_hWnd) return FALSE;
  HWND parentHwnd = parent ? parent->m_hWnd : nullptr;
  if (parent && !isLive(parentHwnd)) return FALSE;
  HWND hwnd = createWindow(className ? className : "", windowName ? windowName : "", style, exStyle, rect, parentHwnd,
                           static_cast<int>(id), this);
  CREATESTRUCT cs{
      parentHwnd, rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top, style, windowName, className,
      exStyle};
  if (deliver(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    destroyWindow(hwnd);
    return FALSE;
  }
  return TRUE;
}

BOOL CWnd::CreateControl(const char* classId, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                         UINT id) {
  return Create(classId, windowName, style, rect, parent, id);
}

BOOL CWnd::DestroyWindow() {
  if (!isLive(m_hWnd)) return FALSE;
  destroyWindow(m_hWnd);
  return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
  if (!isLive(hwnd) || (hwnd->object && hwnd->object != this) || m_hWnd) return FALSE;
  hwnd->object = this;
  m_hWnd = hwnd;
  PreSubclassWindow();
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  if (!parent) return FALSE;
  HWND control = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
  return control ? SubclassWindow(control) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  HWND hwnd = m_hWnd;
  if (isLive(hwnd) && hwnd->object == this) hwnd->object = nullptr;
  m_hWnd = nullptr;
  return hwnd;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessage(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessage(m_hWnd, message, wParam, lParam);
}
LRESULT CWnd::Default() { return currentDefault(this); }

int CWnd::GetDlgCtrlID() const { return isLive(m_hWnd) ? m_hWnd->id : 0; }

void CWnd::SetWindowText(const char* text) { ::SetWindowText(m_hWnd, text); }

void CWnd::GetWindowText(CString& text) const { text = isLive(m_hWnd) ? m_hWnd->text : std::string(); }

int CWnd::GetWindowText(char* buffer, int size) const { return ::GetWindowText(m_hWnd, buffer, size); }

int CWnd::GetWindowTextLength() const { return isLive(m_hWnd) ? static_cast<int>(m_hWnd->text.size()) : 0; }

CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }

void CWnd::SetDlgItemText(int id, const char* text) { ::SetDlgItemText(m_hWnd, id, text); }

int CWnd::GetDlgItemText(int id, CString& text) const {
  HWND item = ::GetDlgItem(m_hWnd, id);
  text = item ? item->text : std::string();
  return text.GetLength();
}

void CWnd::SetDlgItemInt(int id, UINT value, BOOL isSigned) {
  SetDlgItemText(id, isSigned ? std::to_string(static_cast<int>(value)).c_str() : std::to_string(value).c_str());
}

UINT CWnd::GetDlgItemInt(int id, BOOL* translated, BOOL) const {
  HWND item = ::GetDlgItem(m_hWnd, id);
  auto value = item ? mfc::detail::parseLong(item->text) : std::nullopt;
  if (translated) *translated = value ? TRUE : FALSE;
  return value ? static_cast<UINT>(*value) : 0;
}

void CWnd::CheckDlgButton(int id, UINT check) {
  if (HWND item = ::GetDlgItem(m_hWnd, id)) ::SendMessage(item, 0x00F1 /*BM_SETCHECK*/, check, 0);
}

UINT CWnd::IsDlgButtonChecked(int id) const {
  HWND item = ::GetDlgItem(m_hWnd, id);
  return item ? static_cast<UINT>(item->check) : 0;
}

void CWnd::CheckRadioButton(int firstId, int lastId, int checkId) {
  for (int id = firstId; id <= lastId; ++id) CheckDlgButton(id, id == checkId ? BST_CHECKED : BST_UNCHECKED);
}

int CWnd::GetCheckedRadioButton(int firstId, int lastId) const {
  for (int id = firstId; id <= lastId; ++id)
    if (IsDlgButtonChecked(id)) return id;
  return 0;
}

BOOL CWnd::ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::IsWindow() const { return ::IsWindow(m_hWnd); }
DWORD CWnd::GetStyle() const { return isLive(m_hWnd) ? m_hWnd->style : 0; }
DWORD CWnd::GetExStyle() const { return isLive(m_hWnd) ? m_hWnd->exStyle : 0; }

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT) {
  if (!isLive(m_hWnd)) return FALSE;
  DWORD before = m_hWnd->style;
  m_hWnd->style = (before & ~remove) | add;
  return before != m_hWnd->style;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT) {
  if (!isLive(m_hWnd)) return FALSE;
  DWORD before = m_hWnd->exStyle;
  m_hWnd->exStyle = (before & ~remove) | add;
  return before != m_hWnd->exStyle;
}

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

CWnd* CWnd::GetTopLevelParent() const {
  HWND h = m_hWnd;
  while (isLive(h) && h->parent && (h->style & WS_CHILD)) h = h->parent;
  return FromHandle(h);
}

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
CWnd* CWnd::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
void CWnd::BringWindowToTop() { ::SetActiveWindow(m_hWnd); }

void CWnd::GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }

void CWnd::GetClientRect(RECT* rect) const {
  if (!rect) return;
  *rect = RECT{};
  if (!isLive(m_hWnd)) return;
  rect->right = m_hWnd->rect.right - m_hWnd->rect.left;
  rect->bottom = m_hWnd->rect.bottom - m_hWnd->rect.top;
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL) {
  SetWindowPos(nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::MoveWindow(const RECT* rect, BOOL repaint) {
  if (rect) MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL CWnd::SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags) {
  return ::SetWindowPos(m_hWnd, after ? after->m_hWnd : nullptr, x, y, cx, cy, flags);
}

namespace {
POINT screenOrigin(HWND hwnd) {
  POINT origin;
  for (HWND h = hwnd; isLive(h); h = (h->style & WS_CHILD) ? h->parent : nullptr) {
    origin.x += h->rect.left;
    origin.y += h->rect.top;
  }
  return origin;
}
}  // namespace

void CWnd::ClientToScreen(POINT* point) const {
  POINT o = screenOrigin(m_hWnd);
  point->x += o.x;
  point->y += o.y;
}

void CWnd::ClientToScreen(RECT* rect) const {
  POINT o = screenOrigin(m_hWnd);
  rect->left += o.x;
  rect->right += o.x;
  rect->top += o.y;
  rect->bottom += o.y;
}

void CWnd::ScreenToClient(POINT* point) const {
  POINT o = screenOrigin(m_hWnd);
  point->x -= o.x;
  point->y -= o.y;
}

void CWnd::ScreenToClient(RECT* rect) const {
  POINT o = screenOrigin(m_hWnd);
  rect->left -= o.x;
  rect->right -= o.x;
  rect->top -= o.y;
  rect->bottom -= o.y;
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
  if (!isLive(m_hWnd)) return;
  RECT area{0, 0, 1024, 768};
  CWnd* owner = alternateOwner ? alternateOwner : GetParent();
  if (owner && owner->IsWindow()) owner->GetWindowRect(&area);
  int w = m_hWnd->rect.right - m_hWnd->rect.left;
  int h = m_hWnd->rect.bottom - m_hWnd->rect.top;
  POINT topLeft{area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2};
  if ((m_hWnd->style & WS_CHILD) && m_hWnd->parent) FromHandle(m_hWnd->parent)->ScreenToClient(&topLeft);
  SetWindowPos(nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void CWnd::Invalidate(BOOL) {
  if (isLive(m_hWnd)) m_hWnd->needsPaint = true;
}

void CWnd::UpdateWindow() {
  if (isLive(m_hWnd) && m_hWnd->needsPaint) {
    m_hWnd->needsPaint = false;
    ::SendMessage(m_hWnd, WM_PAINT, 0, 0);
  }
}

void CWnd::ValidateRect(const RECT*) {
  if (isLive(m_hWnd)) m_hWnd->needsPaint = false;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, void (*callback)(HWND, UINT, UINT_PTR, DWORD)) {
  return ::SetTimer(m_hWnd, id, elapseMs, callback);
}

BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

CMenu* CWnd::GetMenu() const { return isLive(m_hWnd) ? m_hWnd->menu : nullptr; }

BOOL CWnd::SetMenu(CMenu* menu) {
  if (!isLive(m_hWnd)) return FALSE;
  m_hWnd->menu = menu;
  return TRUE;
}

CMenu* CWnd::GetSystemMenu(BOOL) const {
  if (!isLive(m_hWnd)) return nullptr;
  if (!m_hWnd->ownedMenu) {
    m_hWnd->ownedMenu = std::make_unique<CMenu>();
    m_hWnd->ownedMenu->CreateSystemMenu();
  }
  return m_hWnd->ownedMenu.get();
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (const CUserException&) {
    return FALSE;
  }
  return TRUE;
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
  return ::MessageBox(m_hWnd, text, caption, type);
}

void CWnd::BeginModalState() {
  if (!isLive(m_hWnd) || m_hWnd->modalState) return;
  m_hWnd->modalState = true;
  EnableWindow(FALSE);
}

void CWnd::EndModalState() {
  if (!isLive(m_hWnd) || !m_hWnd->modalState) return;
  m_hWnd->modalState = false;
  EnableWindow(TRUE);
}

BOOL CWnd::InModalState() const { return isLive(m_hWnd) && m_hWnd->modalState; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_COMMAND) {
    if (OnCommand(wParam, lParam)) {
      *result = 1;
      return TRUE;
    }
    return FALSE;
  }
  if (message == WM_NOTIFY) {
    LRESULT notifyResult = 0;
    if (OnNotify(wParam, lParam, &notifyResult)) {
      *result = notifyResult;
      return TRUE;
    }
    return FALSE;
  }
  return DispatchToMap(message, 0, 0, wParam, lParam, result) ? TRUE : FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!isLive(m_hWnd)) return 0;
  bool handled = false;
  LRESULT result = controlProc(m_hWnd, message, wParam, lParam, handled);
  if (handled) return result;
  switch (message) {
    case WM_SETTEXT: setText(m_hWnd, lParam ? reinterpret_cast<const char*>(lParam) : ""); return TRUE;
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(m_hWnd->text.size());
    case WM_CLOSE:
      if (m_hWnd->kind == WindowKind::Dialog)
        ::SendMessage(m_hWnd, WM_COMMAND, IDCANCEL, 0);
      else
        DestroyWindow();
      return 0;
    case WM_PAINT: m_hWnd->needsPaint = false; return 0;
    case WM_QUERYNEWPALETTE: return FALSE;
    case DM_SETDEFID: m_hWnd->defId = static_cast<int>(wParam); return TRUE;
    case DM_GETDEFID: return MAKELONG(static_cast<WORD>(m_hWnd->defId), 0x534B);
    default: return 0;
  }
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT id = LOWORD(wParam);
  UINT code = HIWORD(wParam);
  HWND control = reinterpret_cast<HWND>(lParam);
  // The control's own map may handle its notification first (reflection).
  if (isLive(control) && control->parent == m_hWnd && control->object && control->object != this &&
      control->object->DispatchToMap(WM_REFLECT_BASE + WM_COMMAND, code, 0, wParam, lParam, nullptr))
    return TRUE;
  return DispatchToMap(WM_COMMAND, code, id, wParam, lParam, nullptr) ? TRUE : FALSE;
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (!header) return FALSE;
  HWND from = header->hwndFrom;
  if (isLive(from) && from->parent == m_hWnd && from->object && from->object != this &&
      from->object->DispatchToMap(WM_REFLECT_BASE + WM_NOTIFY, header->code, 0, 0, lParam, result))
    return TRUE;
  return DispatchToMap(WM_NOTIFY, header->code, static_cast<UINT>(header->idFrom), 0, lParam, result) ? TRUE : FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }
void CWnd::DoDataExchange(CDataExchange*) {}
void CWnd::PreSubclassWindow() {}
void CWnd::PostNcDestroy() {}

void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnDestroy() { Default(); }
int CWnd::OnCreate(CREATESTRUCT*) { return static_cast<int>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
BOOL CWnd::OnQueryNewPalette() { return static_cast<BOOL>(Default()); }
void CWnd::OnPaletteChanged(CWnd*) { Default(); }
BOOL CWnd::OnCopyData(CWnd*, COPYDATASTRUCT*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }

bool CWnd::SavePicture(const std::string&, std::string& error) const {
  error = "the window has no picture";
  return false;
}
