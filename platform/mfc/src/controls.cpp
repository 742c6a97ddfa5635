#include "mfc/controls.h"

#include <strings.h>
#include <algorithm>

#include "mfc/gdi.h"
#include "mfc/log.h"
#include "mfc/resources.h"
#include "mfc/winapi.h"
#include "window_internal.h"

using namespace mfc::detail;

namespace {

bool live(const CWnd* w) { return isLive(w->m_hWnd); }

int count(const CWnd* w) { return live(w) ? static_cast<int>(w->m_hWnd->items.size()) : 0; }

bool inRange(const CWnd* w, int index) { return index >= 0 && index < count(w); }

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && strncasecmp(text.c_str(), prefix.c_str(), prefix.size()) == 0;
}

// The sorted insertion point: after every entry that does not compare greater.
int sortedPosition(const std::vector<ListEntry>& items, const std::string& text) {
  int i = 0;
  for (; i < static_cast<int>(items.size()); ++i)
    if (strcasecmp(items[static_cast<size_t>(i)].text.c_str(), text.c_str()) > 0) break;
  return i;
}

int insertEntry(CWnd* w, int index, const char* text, bool sorted) {
  if (!live(w)) return -1;
  auto& items = w->m_hWnd->items;
  std::string value = text ? text : "";
  if (sorted)
    index = sortedPosition(items, value);
  else if (index < 0 || index > static_cast<int>(items.size()))
    index = static_cast<int>(items.size());
  ListEntry entry;
  entry.text = value;
  items.insert(items.begin() + index, entry);
  if (w->m_hWnd->curSel >= index) ++w->m_hWnd->curSel;
  return index;
}

int deleteEntry(CWnd* w, int index) {
  if (!inRange(w, index)) return -1;
  HWND h = w->m_hWnd;
  h->items.erase(h->items.begin() + index);
  if (h->curSel == index)
    h->curSel = -1;
  else if (h->curSel > index)
    --h->curSel;
  return static_cast<int>(h->items.size());
}

// Case-insensitive search starting after `start`, wrapping round once.
int findEntry(const CWnd* w, int start, const char* text, bool exact) {
  int n = count(w);
  if (n == 0) return -1;
  std::string wanted = text ? text : "";
  int first = (start < 0 || start >= n) ? 0 : start + 1;
  for (int k = 0; k < n; ++k) {
    int i = (first + k) % n;
    const std::string& entry = w->m_hWnd->items[static_cast<size_t>(i)].text;
    if (exact ? strcasecmp(entry.c_str(), wanted.c_str()) == 0 : startsWithNoCase(entry, wanted)) return i;
  }
  return -1;
}

bool isRadio(HWND h) {
  DWORD type = h->style & BS_TYPEMASK;
  return h->kind == WindowKind::Button && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

// The radio buttons of `button`'s group: from the WS_GROUP before it to the next WS_GROUP.
std::vector<HWND> radioGroup(HWND button) {
  std::vector<HWND> group;
  if (!button->parent) return {button};
  auto& siblings = button->parent->children;
  auto at = std::find(siblings.begin(), siblings.end(), button);
  auto begin = at;
  while (begin != siblings.begin() && !((*begin)->style & WS_GROUP)) --begin;
  for (auto it = begin; it != siblings.end(); ++it) {
    if (it != begin && ((*it)->style & WS_GROUP)) break;
    if (isRadio(*it)) group.push_back(*it);
  }
  return group;
}

int clampToRange(HWND h, int pos) {
  int low = std::min(h->rangeMin, h->rangeMax);
  int high = std::max(h->rangeMin, h->rangeMax);
  return std::clamp(pos, low, high);
}

}  // namespace

// ---- built-in behaviour of control windows ----

namespace mfc::detail {

LRESULT controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  switch (hwnd->kind) {
    case WindowKind::Button:
      if (message == BM_GETCHECK) return hwnd->check;
      if (message == BM_SETCHECK) {
        hwnd->check = static_cast<int>(wParam);
        return 0;
      }
      if (message == BM_CLICK) {
        if (!IsWindowEnabled(hwnd) || !IsWindowVisible(hwnd)) return 0;
        DWORD type = hwnd->style & BS_TYPEMASK;
        if (type == BS_AUTOCHECKBOX) hwnd->check = hwnd->check ? BST_UNCHECKED : BST_CHECKED;
        if (type == BS_AUTO3STATE) hwnd->check = (hwnd->check + 1) % 3;
        if (type == BS_AUTORADIOBUTTON)
          for (HWND other : radioGroup(hwnd)) other->check = other == hwnd ? BST_CHECKED : BST_UNCHECKED;
        notifyParent(hwnd, BN_CLICKED);
        return 0;
      }
      if (message == BM_SETIMAGE) return 0;
      break;
    case WindowKind::Static:
      if (message == STM_SETIMAGE) return 0;
      break;
    case WindowKind::ListView:
      if (message == WM_KEYDOWN) {
        NMLVKEYDOWN key;
        key.wVKey = static_cast<WORD>(wParam);
        notifyParent(hwnd, &key.hdr, LVN_KEYDOWN);
        return 0;
      }
      break;
    case WindowKind::TreeView:
      if (message == WM_KEYDOWN) {
        NMTVKEYDOWN key;
        key.wVKey = static_cast<WORD>(wParam);
        notifyParent(hwnd, &key.hdr, TVN_KEYDOWN);
        return 0;
      }
      break;
    case WindowKind::Tab: {
      auto& tabs = hwnd->tabs;
      auto index = static_cast<size_t>(wParam);
      switch (message) {
        case TCM_GETITEMCOUNT: return static_cast<LRESULT>(tabs.size());
        case TCM_GETCURSEL: return hwnd->curSel;
        case TCM_SETCURSEL: {
          int previous = hwnd->curSel;
          if (index < tabs.size()) hwnd->curSel = static_cast<int>(index);
          return previous;
        }
        case TCM_GETIMAGELIST: return reinterpret_cast<LRESULT>(hwnd->tabImages);
        case TCM_SETIMAGELIST: {
          LRESULT previous = reinterpret_cast<LRESULT>(hwnd->tabImages);
          hwnd->tabImages = reinterpret_cast<HIMAGELIST>(lParam);
          return previous;
        }
        case TCM_GETITEM:
          return CWnd::FromHandle(hwnd) ? static_cast<CTabCtrl*>(CWnd::FromHandle(hwnd))
                                              ->GetItem(static_cast<int>(index), reinterpret_cast<TCITEM*>(lParam))
                                        : FALSE;
        case TCM_SETITEM:
          return static_cast<CTabCtrl*>(CWnd::FromHandle(hwnd))
              ->SetItem(static_cast<int>(index), reinterpret_cast<TCITEM*>(lParam));
        case TCM_GETITEMRECT:
          return static_cast<CTabCtrl*>(CWnd::FromHandle(hwnd))
              ->GetItemRect(static_cast<int>(index), reinterpret_cast<RECT*>(lParam));
        case TCM_GETROWCOUNT: return static_cast<CTabCtrl*>(CWnd::FromHandle(hwnd))->GetRowCount();
        case TCM_SETMINTABWIDTH:
        case TCM_SETITEMSIZE: return 0;
        default: break;
      }
      break;
    }
    case WindowKind::Generic:
      if (message == TTM_WINDOWFROMPOINT && lParam) {
        HWND owner = hwnd->parent;
        return reinterpret_cast<LRESULT>(
            owner ? mfc::deepestWindowFromPoint(owner, *reinterpret_cast<const POINT*>(lParam)) : nullptr);
      }
      if (message == TTM_RELAYEVENT && lParam) {
        hwnd->relayed.push_back(*reinterpret_cast<const MSG*>(lParam));
        return 0;
      }
      break;
    default: break;
  }
  handled = false;
  return 0;
}

}  // namespace mfc::detail

std::unique_ptr<CWnd> mfc::detail::makeTemporaryWrapper(HWND hwnd) {
  switch (hwnd->kind) {
    case WindowKind::Static: return std::make_unique<CStatic>();
    case WindowKind::Edit: return std::make_unique<CEdit>();
    case WindowKind::Button: return std::make_unique<CButton>();
    case WindowKind::ComboBox: return std::make_unique<CComboBox>();
    case WindowKind::ListBox: return std::make_unique<CCheckListBox>();
    case WindowKind::Progress: return std::make_unique<CProgressCtrl>();
    case WindowKind::Slider: return std::make_unique<CSliderCtrl>();
    case WindowKind::Spin: return std::make_unique<CSpinButtonCtrl>();
    case WindowKind::ListView: return std::make_unique<CListCtrl>();
    case WindowKind::TreeView: return std::make_unique<CTreeCtrl>();
    case WindowKind::Tab: return std::make_unique<CTabCtrl>();
    default: return std::make_unique<CWnd>();
  }
}

HWND mfc::childWindowFromPoint(HWND parent, POINT point) {
  if (!isLive(parent)) return nullptr;
  for (HWND child : parent->children) {
    if (!(child->style & WS_VISIBLE)) continue;
    const RECT& r = child->rect;
    if (point.x >= r.left && point.x < r.right && point.y >= r.top && point.y < r.bottom) return child;
  }
  return parent;
}

HWND mfc::deepestWindowFromPoint(HWND top, POINT screenPoint) {
  if (!isLive(top)) return nullptr;
  HWND window = top;
  for (;;) {
    POINT local = screenPoint;
    CWnd::FromHandle(window)->ScreenToClient(&local);
    // Later children lie on top (a sheet's pages over its tab strip); group boxes are transparent
    // to the mouse, so the control inside one is what lies under it.
    HWND child = nullptr;
    for (auto it = window->children.rbegin(); it != window->children.rend(); ++it) {
      HWND candidate = *it;
      const RECT& r = candidate->rect;
      const bool inside = local.x >= r.left && local.x < r.right && local.y >= r.top && local.y < r.bottom;
      const bool groupBox = candidate->kind == WindowKind::Button && (candidate->style & 0xF) == BS_GROUPBOX;
      if ((candidate->style & WS_VISIBLE) && inside && !groupBox) {
        child = candidate;
        break;
      }
    }
    if (!child) return window;
    window = child;
  }
}

// ---- CStatic, CEdit, CButton ----

HBITMAP CStatic::SetBitmap(HBITMAP bitmap) {
  if (!live(this)) return nullptr;
  HBITMAP previous = static_cast<HBITMAP>(m_hWnd->imageList);
  m_hWnd->imageList = bitmap;
  ::SendMessage(m_hWnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  return previous;
}

HBITMAP CStatic::GetBitmap() const { return live(this) ? static_cast<HBITMAP>(m_hWnd->imageList) : nullptr; }

HICON CStatic::SetIcon(HICON icon) {
  ::SendMessage(m_hWnd, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  return nullptr;
}

void CEdit::LimitText(int count) {
  if (live(this)) m_hWnd->textLimit = std::max(count, 0);
}

void CEdit::SetReadOnly(BOOL readOnly) {
  if (!live(this)) return;
  m_hWnd->readOnly = readOnly;
  if (readOnly)
    m_hWnd->style |= ES_READONLY;
  else
    m_hWnd->style &= ~ES_READONLY;
}

void CEdit::SetSel(int, int, BOOL) {}

void CEdit::ReplaceSel(const char* text) {
  if (live(this)) setText(m_hWnd, m_hWnd->text + (text ? text : ""));
}

int CButton::GetCheck() const { return live(this) ? m_hWnd->check : 0; }

void CButton::SetCheck(int state) {
  if (live(this)) m_hWnd->check = state;
}

UINT CButton::GetState() const { return static_cast<UINT>(GetCheck()); }

UINT CButton::GetButtonStyle() const { return live(this) ? (m_hWnd->style & 0xFF) : 0; }

void CButton::SetButtonStyle(UINT style, BOOL) {
  if (!live(this)) return;
  m_hWnd->style = (m_hWnd->style & ~0xFFu) | (style & 0xFF);
  if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && m_hWnd->parent) m_hWnd->parent->defId = m_hWnd->id;
}

HICON CButton::SetIcon(HICON icon) {
  ::SendMessage(m_hWnd, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  return nullptr;
}

HBITMAP CButton::SetBitmap(HBITMAP bitmap) {
  ::SendMessage(m_hWnd, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  return nullptr;
}

BOOL CBitmapButton::LoadBitmaps(const char* up, const char* down, const char* focus, const char* disabled) {
  names_.clear();
  bool haveUp = false;
  for (const char* name : {up, down, focus, disabled}) {
    if (!name) continue;
    HINSTANCE holder = AfxFindResourceHandle(name, RT_BITMAP);
    if (!holder)
      mfc::log(std::string("warning: bitmap ") + name + " is not in the resource module");
    else if (name == up)
      haveUp = true;
    names_.push_back(name);
  }
  return haveUp ? TRUE : FALSE;
}

BOOL CBitmapButton::AutoLoad(UINT id, CWnd* parent) {
  if (!SubclassDlgItem(id, parent)) return FALSE;
  CString base;
  GetWindowText(base);
  std::string b = base.str();
  return LoadBitmaps((b + "U").c_str(), (b + "D").c_str(), (b + "F").c_str(), (b + "X").c_str());
}

// ---- CComboBox ----

int CComboBox::AddString(const char* text) {
  return insertEntry(this, -1, text, live(this) && (m_hWnd->style & CBS_SORT));
}
int CComboBox::InsertString(int index, const char* text) { return insertEntry(this, index, text, false); }
int CComboBox::DeleteString(int index) { return deleteEntry(this, index); }

void CComboBox::ResetContent() {
  if (!live(this)) return;
  m_hWnd->items.clear();
  m_hWnd->curSel = -1;
  m_hWnd->text.clear();
}

int CComboBox::GetCount() const { return count(this); }
int CComboBox::GetCurSel() const { return live(this) ? m_hWnd->curSel : CB_ERR; }

int CComboBox::SetCurSel(int index) {
  if (!live(this)) return CB_ERR;
  if (!inRange(this, index)) {
    m_hWnd->curSel = -1;
    m_hWnd->text.clear();
    return CB_ERR;
  }
  m_hWnd->curSel = index;
  m_hWnd->text = m_hWnd->items[static_cast<size_t>(index)].text;
  return index;
}

int CComboBox::GetLBText(int index, CString& text) const {
  if (!inRange(this, index)) return CB_ERR;
  text = m_hWnd->items[static_cast<size_t>(index)].text;
  return text.GetLength();
}

int CComboBox::GetLBText(int index, char* buffer) const {
  if (!inRange(this, index) || !buffer) return CB_ERR;
  const std::string& text = m_hWnd->items[static_cast<size_t>(index)].text;
  std::copy(text.begin(), text.end(), buffer);
  buffer[text.size()] = '\0';
  return static_cast<int>(text.size());
}

int CComboBox::GetLBTextLen(int index) const {
  return inRange(this, index) ? static_cast<int>(m_hWnd->items[static_cast<size_t>(index)].text.size()) : CB_ERR;
}

int CComboBox::FindString(int start, const char* text) const { return findEntry(this, start, text, false); }
int CComboBox::FindStringExact(int start, const char* text) const { return findEntry(this, start, text, true); }

int CComboBox::SelectString(int start, const char* text) {
  int index = FindString(start, text);
  if (index == CB_ERR) return CB_ERR;
  return SetCurSel(index);
}

BOOL CComboBox::LimitText(int count) {
  if (!live(this)) return FALSE;
  m_hWnd->textLimit = std::max(count, 0);
  return TRUE;
}

int CComboBox::SetItemData(int index, DWORD_PTR data) {
  if (!inRange(this, index)) return CB_ERR;
  m_hWnd->items[static_cast<size_t>(index)].data = data;
  return 0;
}

DWORD_PTR CComboBox::GetItemData(int index) const {
  return inRange(this, index) ? m_hWnd->items[static_cast<size_t>(index)].data : static_cast<DWORD_PTR>(CB_ERR);
}

// ---- CListBox, CCheckListBox ----

int CListBox::AddString(const char* text) {
  return insertEntry(this, -1, text, live(this) && (m_hWnd->style & LBS_SORT));
}
int CListBox::InsertString(int index, const char* text) { return insertEntry(this, index, text, false); }
int CListBox::DeleteString(int index) { return deleteEntry(this, index); }

void CListBox::ResetContent() {
  if (!live(this)) return;
  m_hWnd->items.clear();
  m_hWnd->curSel = -1;
  m_hWnd->topIndex = 0;
}

int CListBox::GetCount() const { return count(this); }
int CListBox::GetCurSel() const { return live(this) ? m_hWnd->curSel : LB_ERR; }

int CListBox::SetCurSel(int index) {
  if (!live(this)) return LB_ERR;
  for (ListEntry& e : m_hWnd->items) e.selected = false;
  if (!inRange(this, index)) {
    m_hWnd->curSel = -1;
    return index == -1 ? 0 : LB_ERR;
  }
  m_hWnd->curSel = index;
  m_hWnd->items[static_cast<size_t>(index)].selected = true;
  return index;
}

int CListBox::GetSel(int index) const {
  return inRange(this, index) ? (m_hWnd->items[static_cast<size_t>(index)].selected ? 1 : 0) : LB_ERR;
}

int CListBox::SetSel(int index, BOOL select) {
  if (!live(this)) return LB_ERR;
  if (index == -1) {
    for (ListEntry& e : m_hWnd->items) e.selected = select;
    return 0;
  }
  if (!inRange(this, index)) return LB_ERR;
  m_hWnd->items[static_cast<size_t>(index)].selected = select;
  if (select) m_hWnd->curSel = index;
  return 0;
}

int CListBox::GetSelCount() const {
  if (!live(this)) return LB_ERR;
  return static_cast<int>(
      std::count_if(m_hWnd->items.begin(), m_hWnd->items.end(), [](const ListEntry& e) { return e.selected; }));
}

void CListBox::GetText(int index, CString& text) const {
  text = inRange(this, index) ? m_hWnd->items[static_cast<size_t>(index)].text : std::string();
}

int CListBox::GetTextLen(int index) const {
  return inRange(this, index) ? static_cast<int>(m_hWnd->items[static_cast<size_t>(index)].text.size()) : LB_ERR;
}

int CListBox::FindString(int start, const char* text) const { return findEntry(this, start, text, false); }
int CListBox::FindStringExact(int start, const char* text) const { return findEntry(this, start, text, true); }

int CListBox::SelectString(int start, const char* text) {
  int index = FindString(start, text);
  return index == LB_ERR ? LB_ERR : SetCurSel(index);
}

int CListBox::SetItemData(int index, DWORD_PTR data) {
  if (!inRange(this, index)) return LB_ERR;
  m_hWnd->items[static_cast<size_t>(index)].data = data;
  return 0;
}

DWORD_PTR CListBox::GetItemData(int index) const {
  return inRange(this, index) ? m_hWnd->items[static_cast<size_t>(index)].data : static_cast<DWORD_PTR>(LB_ERR);
}

void CListBox::SetHorizontalExtent(int extent) { horizontalExtent_ = extent; }
int CListBox::GetHorizontalExtent() const { return horizontalExtent_; }

int CListBox::SetTopIndex(int index) {
  if (!inRange(this, index)) return LB_ERR;
  m_hWnd->topIndex = index;
  return 0;
}

int CListBox::GetTopIndex() const { return live(this) ? m_hWnd->topIndex : 0; }

void CCheckListBox::SetCheckStyle(UINT style) { checkStyle_ = style; }

void CCheckListBox::SetCheck(int index, int state) {
  if (inRange(this, index)) m_hWnd->items[static_cast<size_t>(index)].check = state;
}

int CCheckListBox::GetCheck(int index) const {
  return inRange(this, index) ? m_hWnd->items[static_cast<size_t>(index)].check : -1;
}

void CCheckListBox::Enable(int index, BOOL enable) {
  if (inRange(this, index)) m_hWnd->items[static_cast<size_t>(index)].enabled = enable;
}

BOOL CCheckListBox::IsEnabled(int index) const {
  return inRange(this, index) && m_hWnd->items[static_cast<size_t>(index)].enabled ? TRUE : FALSE;
}

// ---- progress, slider, spin ----

void CProgressCtrl::SetRange(short low, short high) { SetRange32(low, high); }

void CProgressCtrl::SetRange32(int low, int high) {
  if (!live(this)) return;
  m_hWnd->rangeMin = low;
  m_hWnd->rangeMax = high;
  m_hWnd->pos = clampToRange(m_hWnd, m_hWnd->pos);
}

void CProgressCtrl::GetRange(int& low, int& high) const {
  low = live(this) ? m_hWnd->rangeMin : 0;
  high = live(this) ? m_hWnd->rangeMax : 0;
}

int CProgressCtrl::SetPos(int pos) {
  if (!live(this)) return 0;
  int previous = m_hWnd->pos;
  m_hWnd->pos = clampToRange(m_hWnd, pos);
  return previous;
}

int CProgressCtrl::GetPos() const { return live(this) ? m_hWnd->pos : 0; }
int CProgressCtrl::OffsetPos(int delta) { return SetPos(GetPos() + delta); }

int CProgressCtrl::SetStep(int step) {
  int previous = step_;
  step_ = step;
  return previous;
}

int CProgressCtrl::StepIt() {
  if (!live(this)) return 0;
  int previous = m_hWnd->pos;
  int next = previous + step_;
  m_hWnd->pos = next > m_hWnd->rangeMax ? m_hWnd->rangeMin + (next - m_hWnd->rangeMax) : next;
  return previous;
}

void CSliderCtrl::SetRange(int minimum, int maximum, BOOL) {
  if (!live(this)) return;
  m_hWnd->rangeMin = minimum;
  m_hWnd->rangeMax = maximum;
  m_hWnd->pos = clampToRange(m_hWnd, m_hWnd->pos);
}

void CSliderCtrl::SetRangeMin(int minimum, BOOL redraw) { SetRange(minimum, GetRangeMax(), redraw); }
void CSliderCtrl::SetRangeMax(int maximum, BOOL redraw) { SetRange(GetRangeMin(), maximum, redraw); }
int CSliderCtrl::GetRangeMin() const { return live(this) ? m_hWnd->rangeMin : 0; }
int CSliderCtrl::GetRangeMax() const { return live(this) ? m_hWnd->rangeMax : 0; }

void CSliderCtrl::SetPos(int pos) {
  if (live(this)) m_hWnd->pos = clampToRange(m_hWnd, pos);
}

int CSliderCtrl::GetPos() const { return live(this) ? m_hWnd->pos : 0; }

BOOL CSliderCtrl::SetTic(int pos) {
  if (!live(this) || pos < m_hWnd->rangeMin || pos > m_hWnd->rangeMax) return FALSE;
  m_hWnd->tics.push_back(pos);
  return TRUE;
}

void CSliderCtrl::SetTicFreq(int frequency) {
  if (!live(this) || frequency <= 0) return;
  m_hWnd->tics.clear();
  for (int p = m_hWnd->rangeMin + frequency; p < m_hWnd->rangeMax; p += frequency) m_hWnd->tics.push_back(p);
}

void CSliderCtrl::ClearTics(BOOL) {
  if (live(this)) m_hWnd->tics.clear();
}

// The two ends count as tics, as on the platform.
int CSliderCtrl::GetNumTics() const { return live(this) ? static_cast<int>(m_hWnd->tics.size()) + 2 : 0; }

void CSpinButtonCtrl::SetRange(short low, short high) { SetRange32(low, high); }

void CSpinButtonCtrl::SetRange32(int low, int high) {
  if (!live(this)) return;
  m_hWnd->rangeMin = low;
  m_hWnd->rangeMax = high;
}

void CSpinButtonCtrl::GetRange(int& low, int& high) const {
  low = live(this) ? m_hWnd->rangeMin : 0;
  high = live(this) ? m_hWnd->rangeMax : 0;
}

int CSpinButtonCtrl::SetPos(int pos) {
  if (!live(this)) return 0;
  int previous = m_hWnd->pos;
  m_hWnd->pos = clampToRange(m_hWnd, pos);
  if (isLive(m_hWnd->buddy)) ::SetWindowText(m_hWnd->buddy, std::to_string(m_hWnd->pos).c_str());
  return previous;
}

int CSpinButtonCtrl::GetPos() const { return live(this) ? m_hWnd->pos : 0; }

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* buddy) {
  if (!live(this)) return nullptr;
  CWnd* previous = CWnd::FromHandle(m_hWnd->buddy);
  m_hWnd->buddy = buddy ? buddy->m_hWnd : nullptr;
  return previous;
}

CWnd* CSpinButtonCtrl::GetBuddy() const { return live(this) ? CWnd::FromHandle(m_hWnd->buddy) : nullptr; }
