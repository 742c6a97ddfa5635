#include "mfc/propsheet.h"

#include <algorithm>

#include "mfc/log.h"
#include "mfc/resources.h"
#include "mfc/winapi.h"
#include "window_internal.h"

using namespace mfc::detail;

namespace {

constexpr int kTabHeight = 24;
constexpr int kButtonBar = 40;
constexpr int kMargin = 7;

struct SheetButton {
  int id;
  const char* text;
};

const SheetButton kTabbedButtons[] = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}, {ID_APPLY_NOW, "&Apply"}, {IDHELP, "Help"}};
const SheetButton kWizardButtons[] = {
    {ID_WIZBACK, "< &Back"}, {ID_WIZNEXT, "&Next >"}, {ID_WIZFINISH, "Finish"}, {IDCANCEL, "Cancel"}, {IDHELP, "Help"}};

}  // namespace

// ---- CPropertyPage ----

CPropertyPage::CPropertyPage() = default;

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId) { Construct(templateId, captionId); }

void CPropertyPage::Construct(UINT templateId, UINT captionId) {
  m_nIDTemplate = templateId;
  m_nIDHelp = templateId;
  captionId_ = captionId;
}

const mfc::DialogTemplate* CPropertyPage::pageTemplate() const {
  if ((m_psp.dwFlags & PSP_DLGINDIRECT) && m_psp.pResource) {
    auto* self = const_cast<CPropertyPage*>(this);
    return self->useTemplateBytes(m_psp.pResource) ? indirectTemplate_.get() : nullptr;
  }
  return mfc::findDialogTemplate(m_nIDTemplate);
}

std::string CPropertyPage::caption() const {
  if (captionId_) return mfc::loadResourceString(AfxGetResourceHandle(), captionId_, nullptr);
  const mfc::DialogTemplate* t = pageTemplate();
  return t ? t->caption : std::string();
}

bool CPropertyPage::createWindow(CPropertySheet& sheet) {
  if ((m_psp.dwFlags & PSP_DLGINDIRECT) && !pageTemplate()) return false;
  firstSetActive_ = true;
  modified_ = false;
  HWND hwnd = createFromTemplate(sheet.m_hWnd, true);
  if (!hwnd) return false;
  RECT sheetClient;
  sheet.GetClientRect(&sheetClient);
  int top = sheet.IsWizard() ? kMargin : kTabHeight + kMargin;
  hwnd->rect = RECT{kMargin, top, sheetClient.right - kMargin, sheetClient.bottom - kButtonBar};
  return true;
}

void CPropertyPage::SetModified(BOOL changed) {
  modified_ = changed;
  if (sheet_) sheet_->pageModified();
}

void CPropertyPage::CancelToClose() {
  if (sheet_ && sheet_->m_hWnd) ::SendMessage(sheet_->m_hWnd, PSM_CANCELTOCLOSE, 0, 0);
}

BOOL CPropertyPage::OnSetActive() {
  if (firstSetActive_)
    firstSetActive_ = false;
  else
    UpdateData(FALSE);
  return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }
void CPropertyPage::OnOK() {}
void CPropertyPage::OnCancel() {}

BOOL CPropertyPage::OnApply() {
  OnOK();
  return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }
BOOL CPropertyPage::OnQueryCancel() { return TRUE; }
LRESULT CPropertyPage::OnWizardBack() { return 0; }
LRESULT CPropertyPage::OnWizardNext() { return 0; }
BOOL CPropertyPage::OnWizardFinish() { return TRUE; }

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (!header || !sheet_ || header->hwndFrom != sheet_->m_hWnd) return CDialog::OnNotify(wParam, lParam, result);
  switch (static_cast<int>(header->code)) {
    case PSN_SETACTIVE: *result = OnSetActive() ? 0 : -1; return TRUE;
    case PSN_KILLACTIVE: *result = OnKillActive() ? FALSE : TRUE; return TRUE;
    case PSN_APPLY: *result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE; return TRUE;
    case PSN_RESET:
      OnReset();
      *result = 0;
      return TRUE;
    case PSN_QUERYCANCEL: *result = OnQueryCancel() ? FALSE : TRUE; return TRUE;
    case PSN_WIZBACK: *result = OnWizardBack(); return TRUE;
    case PSN_WIZNEXT: *result = OnWizardNext(); return TRUE;
    case PSN_WIZFINISH: *result = OnWizardFinish() ? FALSE : TRUE; return TRUE;
    default: return CDialog::OnNotify(wParam, lParam, result);
  }
}

// ---- CPropertySheet ----

CPropertySheet::CPropertySheet() = default;

CPropertySheet::CPropertySheet(UINT captionId, CWnd* parent, UINT selectPage) {
  Construct(captionId, parent, selectPage);
}

CPropertySheet::CPropertySheet(const char* caption, CWnd* parent, UINT selectPage) {
  Construct(caption, parent, selectPage);
}

void CPropertySheet::Construct(UINT captionId, CWnd* parent, UINT selectPage) {
  Construct(mfc::loadResourceString(AfxGetResourceHandle(), captionId, nullptr).c_str(), parent, selectPage);
}

void CPropertySheet::Construct(const char* caption, CWnd* parent, UINT selectPage) {
  m_psh.pszCaption = caption ? caption : "";
  m_pParentWnd = parent;
  m_psh.nStartPage = selectPage;
}

CPropertyPage::~CPropertyPage() {
  if (sheet_) sheet_->forgetPage(this);
}

void CPropertySheet::forgetPage(CPropertyPage* page) {
  const int index = GetPageIndex(page);
  if (index < 0) return;
  pages_.erase(pages_.begin() + index);
  if (CTabCtrl* tab = isLive(m_hWnd) ? GetTabControl() : nullptr) tab->DeleteItem(index);
  if (active_ > index)
    --active_;
  else if (active_ == index)
    active_ = -1;
}

CPropertySheet::~CPropertySheet() {
  for (CPropertyPage* page : pages_)
    if (page->sheet_ == this) page->sheet_ = nullptr;
}

void CPropertySheet::AddPage(CPropertyPage* page) {
  if (!page) return;
  page->sheet_ = this;
  pages_.push_back(page);
  if (isLive(m_hWnd)) addTab(static_cast<int>(pages_.size()) - 1, page);
}

void CPropertySheet::RemovePage(CPropertyPage* page) { RemovePage(GetPageIndex(page)); }

void CPropertySheet::RemovePage(int index) {
  if (index < 0 || index >= GetPageCount()) return;
  CPropertyPage* page = pages_[static_cast<size_t>(index)];
  if (isLive(m_hWnd) && index == active_) {
    // A neighbour takes over before the page goes; the removed page is not asked to let go.
    int next = index + 1 < GetPageCount() ? index + 1 : index - 1;
    if (next >= 0 && !activate(next, next > index ? 1 : -1)) active_ = -1;
  }
  if (page->m_hWnd) page->DestroyWindow();
  pages_.erase(pages_.begin() + index);
  if (CTabCtrl* tab = GetTabControl()) tab->DeleteItem(index);
  if (active_ > index)
    --active_;
  else if (active_ == index)
    active_ = -1;
  page->sheet_ = nullptr;
  showActive();
}

int CPropertySheet::GetPageCount() const { return static_cast<int>(pages_.size()); }

CPropertyPage* CPropertySheet::GetPage(int index) const {
  return index >= 0 && index < GetPageCount() ? pages_[static_cast<size_t>(index)] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
  auto it = std::find(pages_.begin(), pages_.end(), page);
  return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

int CPropertySheet::GetActiveIndex() const { return isLive(m_hWnd) ? active_ : static_cast<int>(m_psh.nStartPage); }

CPropertyPage* CPropertySheet::GetActivePage() const { return GetPage(GetActiveIndex()); }

BOOL CPropertySheet::SetActivePage(int index) {
  if (index < 0 || index >= GetPageCount()) return FALSE;
  if (!isLive(m_hWnd)) {
    m_psh.nStartPage = static_cast<UINT>(index);
    return TRUE;
  }
  if (index == active_) return TRUE;
  if (!killActive()) return FALSE;
  return activate(index, index >= active_ ? 1 : -1) ? TRUE : FALSE;
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }

CTabCtrl* CPropertySheet::GetTabControl() const {
  return static_cast<CTabCtrl*>(CWnd::FromHandle(::GetDlgItem(m_hWnd, AFX_IDC_TAB_CONTROL)));
}

void CPropertySheet::SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }

void CPropertySheet::SetWizardButtons(DWORD flags) {
  wizardButtons_ = flags;
  if (!isLive(m_hWnd) || !IsWizard()) return;
  bool finish = (flags & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) != 0;
  ::EnableWindow(::GetDlgItem(m_hWnd, ID_WIZBACK), (flags & PSWIZB_BACK) ? TRUE : FALSE);
  ::ShowWindow(::GetDlgItem(m_hWnd, ID_WIZNEXT), finish ? SW_HIDE : SW_SHOW);
  ::EnableWindow(::GetDlgItem(m_hWnd, ID_WIZNEXT), (flags & PSWIZB_NEXT) ? TRUE : FALSE);
  ::ShowWindow(::GetDlgItem(m_hWnd, ID_WIZFINISH), finish ? SW_SHOW : SW_HIDE);
  ::EnableWindow(::GetDlgItem(m_hWnd, ID_WIZFINISH), (flags & PSWIZB_FINISH) ? TRUE : FALSE);
}

void CPropertySheet::SetTitle(const char* title, UINT) {
  m_psh.pszCaption = title ? title : "";
  if (isLive(m_hWnd)) ::SetWindowText(m_hWnd, m_psh.pszCaption.c_str());
}

void CPropertySheet::EndDialog(int result) {
  if (!isLive(m_hWnd)) return;
  if (modeless_) {
    endedModeless_ = true;
    ::ShowWindow(m_hWnd, SW_HIDE);
    return;
  }
  EndModalLoop(result);
}

bool CPropertySheet::ended() const {
  if (!isLive(m_hWnd)) return true;
  return modeless_ ? endedModeless_ : m_hWnd->modalEnded;
}

BOOL CPropertySheet::PressButton(int button) {
  static const int ids[] = {ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH, IDOK, ID_APPLY_NOW, IDCANCEL, IDHELP};
  if (button < 0 || button > PSBTN_HELP || !isLive(m_hWnd)) return FALSE;
  HWND control = ::GetDlgItem(m_hWnd, ids[button]);
  if (!control || !::IsWindowEnabled(control)) return FALSE;
  ::SendMessage(m_hWnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(ids[button]), BN_CLICKED),
                reinterpret_cast<LPARAM>(control));
  return TRUE;
}

HWND CPropertySheet::createSheetWindow(HWND owner, DWORD style, bool child) {
  int pageWidth = 0;
  int pageHeight = 0;
  for (CPropertyPage* page : pages_) {
    const mfc::DialogTemplate* t = page->pageTemplate();
    if (!t) continue;
    pageWidth = std::max(pageWidth, dialogUnitsToPixelsX(t->cx));
    pageHeight = std::max(pageHeight, dialogUnitsToPixelsY(t->cy));
  }
  int width = pageWidth + 2 * kMargin;
  int height = pageHeight + (IsWizard() ? kMargin : kTabHeight + kMargin) + kButtonBar;
  RECT rect = child ? RECT{0, 0, width, height}
                    : RECT{(1024 - width) / 2, (768 - height) / 2, (1024 + width) / 2, (768 + height) / 2};
  HWND hwnd = createWindow("#32770", m_psh.pszCaption, style & ~WS_VISIBLE, 0, rect, owner, 0, this);
  hwnd->kind = WindowKind::Dialog;
  RECT tabRect{kMargin, kMargin, width - kMargin, height - kButtonBar};
  // Stacked tabs wrap into rows (TCS_MULTILINE) until a sheet turns them off.
  const DWORD tabStyle =
      WS_CHILD | (IsWizard() ? DWORD{0} : DWORD{WS_VISIBLE}) | (stackedTabs_ ? DWORD{TCS_MULTILINE} : 0);
  createWindow("SysTabControl32", "", tabStyle, 0, tabRect, hwnd, AFX_IDC_TAB_CONTROL, nullptr);
  int x = kMargin;
  bool hasHelp = (m_psh.dwFlags & PSH_HASHELP) != 0;
  for (CPropertyPage* page : pages_) hasHelp = hasHelp || (page->m_psp.dwFlags & PSP_HASHELP);
  auto addButton = [&](const SheetButton& b, bool visible) {
    RECT r{x, height - kButtonBar + 8, x + 75, height - kButtonBar + 30};
    x += 81;
    DWORD buttonStyle = WS_CHILD | WS_TABSTOP | (visible ? DWORD{WS_VISIBLE} : DWORD{0}) |
                        (b.id == IDOK ? DWORD{BS_DEFPUSHBUTTON} : DWORD{BS_PUSHBUTTON});
    createWindow("Button", b.text, buttonStyle, 0, r, hwnd, b.id, nullptr);
  };
  if (IsWizard()) {
    for (const SheetButton& b : kWizardButtons) addButton(b, b.id != ID_WIZFINISH && (b.id != IDHELP || hasHelp));
  } else {
    for (const SheetButton& b : kTabbedButtons) {
      if (b.id == ID_APPLY_NOW && (m_psh.dwFlags & PSH_NOAPPLYNOW)) continue;
      addButton(b, b.id != IDHELP || hasHelp);
    }
    ::EnableWindow(::GetDlgItem(hwnd, ID_APPLY_NOW), FALSE);
  }
  for (int i = 0; i < GetPageCount(); ++i) addTab(i, pages_[static_cast<size_t>(i)]);
  return hwnd;
}

void CPropertySheet::addTab(int index, CPropertyPage* page) {
  if (CTabCtrl* tab = GetTabControl()) {
    tab->InsertItem(index, page->caption().c_str());
    tab->SetCurSel(active_ >= 0 ? active_ : 0);
  }
}

LRESULT CPropertySheet::notifyPage(CPropertyPage* page, int code, LPARAM lParam) {
  if (!page || !isLive(page->m_hWnd)) return 0;
  PSHNOTIFY notify;
  notify.hdr.hwndFrom = m_hWnd;
  notify.hdr.idFrom = 0;
  notify.hdr.code = static_cast<UINT>(code);
  notify.lParam = lParam;
  return ::SendMessage(page->m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
}

bool CPropertySheet::killActive() {
  CPropertyPage* page = GetPage(active_);
  if (!page) return true;
  return notifyPage(page, PSN_KILLACTIVE) == 0 && !ended();
}

bool CPropertySheet::activate(int index, int direction) {
  for (int candidate = index; candidate >= 0 && candidate < GetPageCount() && !ended(); candidate += direction) {
    CPropertyPage* page = pages_[static_cast<size_t>(candidate)];
    if (!page->m_hWnd && !page->createWindow(*this)) continue;
    if (ended()) return false;
    if (notifyPage(page, PSN_SETACTIVE) != 0) continue;
    if (ended()) return false;
    active_ = GetPageIndex(page);
    showActive();
    return true;
  }
  return false;
}

void CPropertySheet::showActive() {
  if (!isLive(m_hWnd)) return;
  for (int i = 0; i < GetPageCount(); ++i) {
    CPropertyPage* page = pages_[static_cast<size_t>(i)];
    if (page->m_hWnd) ::ShowWindow(page->m_hWnd, i == active_ ? SW_SHOW : SW_HIDE);
  }
  if (CTabCtrl* tab = GetTabControl(); tab && active_ >= 0) tab->SetCurSel(active_);
}

bool CPropertySheet::applyAll(bool fromOK) {
  if (!killActive()) return false;
  for (size_t i = 0; i < pages_.size(); ++i) {
    CPropertyPage* page = pages_[i];
    if (!page->m_hWnd) continue;
    LRESULT result = notifyPage(page, PSN_APPLY, fromOK ? TRUE : FALSE);
    if (ended()) return false;
    if (result == PSNRET_INVALID) {
      activate(static_cast<int>(i), 1);
      return false;
    }
    if (result == PSNRET_INVALID_NOCHANGEPAGE) return false;
  }
  for (CPropertyPage* page : pages_) page->modified_ = false;
  pageModified();
  return true;
}

void CPropertySheet::onOK() {
  if (!applyAll(true)) return;
  if (modeless_) {
    DestroyWindow();
    return;
  }
  EndDialog(IDOK);
}

void CPropertySheet::onApplyNow() {
  if (!applyAll(false)) return;
  if (CPropertyPage* page = GetPage(active_)) notifyPage(page, PSN_SETACTIVE);
}

void CPropertySheet::onCancel() {
  CPropertyPage* page = GetPage(active_);
  if (page && notifyPage(page, PSN_QUERYCANCEL) != 0) return;
  if (ended()) return;
  for (CPropertyPage* p : std::vector<CPropertyPage*>(pages_)) {
    if (p->m_hWnd) notifyPage(p, PSN_RESET);
    if (ended()) return;
  }
  if (modeless_) {
    DestroyWindow();
    return;
  }
  EndDialog(IDCANCEL);
}

void CPropertySheet::onWizardStep(int code) {
  CPropertyPage* page = GetPage(active_);
  if (!page || !killActive()) return;
  LRESULT result = notifyPage(page, code);
  if (ended() || result == -1) return;
  int direction = code == PSN_WIZNEXT ? 1 : -1;
  int target = result == 0 ? active_ + direction : indexOfTemplate(static_cast<UINT>(result));
  if (target < 0 || target >= GetPageCount()) return;
  activate(target, target >= active_ ? 1 : -1);
}

void CPropertySheet::onFinish() {
  CPropertyPage* page = GetPage(active_);
  if (!page || !killActive()) return;
  if (notifyPage(page, PSN_WIZFINISH) != 0 || ended()) return;
  if (modeless_) {
    DestroyWindow();
    return;
  }
  EndDialog(ID_WIZFINISH);
}

void CPropertySheet::pageModified() {
  if (!isLive(m_hWnd)) return;
  bool any = std::any_of(pages_.begin(), pages_.end(), [](CPropertyPage* p) { return p->modified_; });
  ::EnableWindow(::GetDlgItem(m_hWnd, ID_APPLY_NOW), any ? TRUE : FALSE);
}

int CPropertySheet::indexOfTemplate(UINT templateId) const {
  for (int i = 0; i < GetPageCount(); ++i)
    if (pages_[static_cast<size_t>(i)]->m_nIDTemplate == templateId) return i;
  return -1;
}

BOOL CPropertySheet::OnInitDialog() {
  int start = std::clamp(static_cast<int>(m_psh.nStartPage), 0, std::max(0, GetPageCount() - 1));
  if (GetPageCount() > 0 && !activate(start, 1)) activate(start - 1, -1);
  if (IsWizard()) SetWizardButtons(wizardButtons_);
  return TRUE;
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (HIWORD(wParam) != BN_CLICKED) return CWnd::OnCommand(wParam, lParam);
  switch (LOWORD(wParam)) {
    case IDOK: onOK(); return TRUE;
    case IDCANCEL: onCancel(); return TRUE;
    case ID_APPLY_NOW: onApplyNow(); return TRUE;
    case ID_WIZBACK: onWizardStep(PSN_WIZBACK); return TRUE;
    case ID_WIZNEXT: onWizardStep(PSN_WIZNEXT); return TRUE;
    case ID_WIZFINISH: onFinish(); return TRUE;
    case IDHELP: notifyPage(GetPage(active_), PSN_HELP); return TRUE;
    default: return CWnd::OnCommand(wParam, lParam);
  }
}

LRESULT CPropertySheet::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case PSM_SETWIZBUTTONS: SetWizardButtons(static_cast<DWORD>(lParam)); return 0;
    case PSM_CHANGED: pageModified(); return 0;
    case PSM_UNCHANGED: pageModified(); return 0;
    case PSM_CANCELTOCLOSE:
      ::SetWindowText(::GetDlgItem(m_hWnd, IDOK), "Close");
      ::EnableWindow(::GetDlgItem(m_hWnd, IDCANCEL), FALSE);
      return 0;
    case PSM_SETCURSEL: return SetActivePage(static_cast<int>(wParam));
    case PSM_PRESSBUTTON: return PressButton(static_cast<int>(wParam));
    case PSM_GETTABCONTROL: return reinterpret_cast<LRESULT>(::GetDlgItem(m_hWnd, AFX_IDC_TAB_CONTROL));
    case PSM_GETCURRENTPAGEHWND:
      return reinterpret_cast<LRESULT>(GetPage(active_) ? GetPage(active_)->m_hWnd : nullptr);
    case PSM_SETTITLE: SetTitle(reinterpret_cast<const char*>(lParam)); return 0;
    case WM_CLOSE: onCancel(); return 0;
    default: return CWnd::DefWindowProc(message, wParam, lParam);
  }
}

namespace {

class SheetOwnerGuard {
 public:
  explicit SheetOwnerGuard(HWND owner) : owner_(owner), previousActive_(GetActiveWindow()) {
    if (isLive(owner_)) wasEnabled_ = !::EnableWindow(owner_, FALSE);
  }
  ~SheetOwnerGuard() {
    if (isLive(owner_) && wasEnabled_) ::EnableWindow(owner_, TRUE);
    if (isLive(previousActive_)) ::SetActiveWindow(previousActive_);
  }
  SheetOwnerGuard(const SheetOwnerGuard&) = delete;
  SheetOwnerGuard& operator=(const SheetOwnerGuard&) = delete;

 private:
  HWND owner_;
  HWND previousActive_;
  bool wasEnabled_ = false;
};

class SheetWindowGuard {
 public:
  explicit SheetWindowGuard(CWnd& sheet) : sheet_(sheet) {}
  ~SheetWindowGuard() {
    if (isLive(sheet_.m_hWnd)) sheet_.DestroyWindow();
  }
  SheetWindowGuard(const SheetWindowGuard&) = delete;
  SheetWindowGuard& operator=(const SheetWindowGuard&) = delete;

 private:
  CWnd& sheet_;
};

HWND topLevel(HWND hwnd) {
  while (isLive(hwnd) && (hwnd->style & WS_CHILD) && hwnd->parent) hwnd = hwnd->parent;
  return isLive(hwnd) ? hwnd : nullptr;
}

}  // namespace

INT_PTR CPropertySheet::DoModal() {
  if (m_hWnd) return -1;
  modeless_ = false;
  HWND owner = topLevel(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr);
  if (!owner && AfxGetMainWnd()) owner = topLevel(AfxGetMainWnd()->m_hWnd);
  SheetOwnerGuard ownerGuard(owner);
  SheetWindowGuard windowGuard(*this);
  active_ = -1;
  HWND hwnd = createSheetWindow(owner, WS_POPUP | WS_CAPTION | WS_SYSMENU, false);
  hwnd->modalEnded = false;
  OnInitDialog();
  if (!isLive(hwnd)) return -1;
  if (hwnd->modalEnded) return hwnd->modalResult;
  ::ShowWindow(hwnd, SW_SHOW);
  ::SetActiveWindow(hwnd);
  int result = RunModalLoop();
  return result;
}

BOOL CPropertySheet::Create(CWnd* parent, DWORD style, DWORD) {
  if (m_hWnd) return FALSE;
  if (style == static_cast<DWORD>(-1)) style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
  modeless_ = true;
  endedModeless_ = false;
  if (parent) m_pParentWnd = parent;
  bool child = (style & WS_CHILD) != 0;
  active_ = -1;
  HWND hwnd = createSheetWindow(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, style, child);
  OnInitDialog();
  if (!isLive(hwnd)) return FALSE;
  if (style & WS_VISIBLE) ::ShowWindow(hwnd, SW_SHOW);
  return TRUE;
}
