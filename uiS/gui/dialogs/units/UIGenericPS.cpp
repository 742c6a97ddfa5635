#include "gui/dialogs/units/UIGenericPS.h"

#include <deque>

#include "mfc/gdi.h"
#include "mfc/resources.h"
#include "mfc/winapi.h"

namespace {

constexpr COLORREF kLightGreyMask = RGB(192, 192, 192);
constexpr COLORREF kBlackMask = RGB(0, 0, 0);
constexpr UINT kFirstTabToolId = 2;

struct SheetPosition {
  int key;
  RECT rect;
};

// One table for the module, never filed; entries are only appended, and a sheet refers to its
// entry by index, so later appends never move it.
std::deque<SheetPosition>& PositionTable() {
  static std::deque<SheetPosition> table;
  return table;
}

int FindPosition(int key) {
  const auto& table = PositionTable();
  for (size_t i = 0; i < table.size(); ++i)
    if (table[i].key == key) return static_cast<int>(i);
  return -1;
}

}  // namespace

bool UISheetPosition(int key, RECT& rect) {
  const int index = FindPosition(key);
  if (index < 0) return false;
  rect = PositionTable()[static_cast<size_t>(index)].rect;
  return true;
}

void UIResetSheetPositions() { std::deque<SheetPosition>().swap(PositionTable()); }

BEGIN_MESSAGE_MAP(CGenericPS, CPropertySheet)
ON_WM_ACTIVATE()
ON_WM_MOVE()
ON_WM_SIZE()
END_MESSAGE_MAP()

CGenericPS::CGenericPS(UINT captionId, CWnd* parent, UINT selectPage) : CPropertySheet(captionId, parent, selectPage) {}

CGenericPS::CGenericPS(const char* caption, CWnd* parent, UINT selectPage)
    : CPropertySheet(caption, parent, selectPage) {}

CGenericPS::~CGenericPS() { DeleteTabImageList(); }

BOOL CGenericPS::CreateTabImageList(int size) {
  DeleteTabImageList();
  m_pTabImages = std::make_unique<CImageList>();
  return m_pTabImages->Create(size, size, ILC_MASK, 1, 1);
}

int CGenericPS::AddTabIcon(UINT iconId) {
  if (!m_pTabImages) return -1;
  HICON icon = ::LoadIcon(AfxFindResourceHandle(iconId, RT_GROUP_ICON), iconId);
  if (!icon) return -1;
  const int index = m_pTabImages->Add(icon);
  ::DestroyIcon(icon);
  return index;
}

int CGenericPS::AddTabBitmap(UINT bitmapId, BOOL greyMask) {
  if (!m_pTabImages) return -1;
  CBitmap bitmap;
  if (!bitmap.LoadBitmap(bitmapId)) return -1;
  const int index = m_pTabImages->Add(&bitmap, greyMask ? kLightGreyMask : kBlackMask);
  bitmap.DeleteObject();
  return index;
}

void CGenericPS::DeleteTabImageList() {
  if (!m_pTabImages) return;
  if (m_pTabImages->GetSafeHandle()) m_pTabImages->DeleteImageList();
  m_pTabImages.reset();
}

void CGenericPS::SetTabImage(int tab, int image, BOOL show) {
  CTabCtrl* tabs = m_pTabImages ? GetTabControl() : nullptr;
  if (!tabs || !tabs->GetImageList()) return;
  TCITEM item;
  item.mask = TCIF_IMAGE;
  item.iImage = show ? image : -1;
  tabs->SetItem(tab, &item);
}

void CGenericPS::SetAllTabImages(BOOL show) {
  for (int tab = m_nFirstIconTab; tab < GetPageCount(); ++tab) SetTabImage(tab, tab - m_nFirstIconTab, show);
}

void CGenericPS::AddTabTooltips() {
  CTabCtrl* tabs = GetTabControl();
  if (!tabs) return;
  const int count = static_cast<int>(tabs->SendMessage(TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    RECT rect{};
    tabs->GetItemRect(i, &rect);
    const CString text = i < m_tabTips.GetSize() ? m_tabTips[i] : CString();
    m_toolTip.AddTool(tabs, text, &rect, static_cast<UINT>(i) + kFirstTabToolId);
  }
}

BOOL CGenericPS::ResizeContents(int, int) { return FALSE; }

BOOL CGenericPS::OnInitDialog() {
  m_toolTip.Create(this, 0);
  m_toolTip.Activate(TRUE);
  const BOOL result = CPropertySheet::OnInitDialog();
  if (m_bSquareTabs) {
    if (CTabCtrl* tabs = GetTabControl()) {
      RECT first{};
      tabs->GetItemRect(0, &first);
      const int height = first.bottom - first.top;
      tabs->SendMessage(TCM_SETMINTABWIDTH, 0, height);
      tabs->SendMessage(TCM_SETITEMSIZE, 0, MAKELPARAM(height, height));
    }
  }
  if (!IsWizard()) MakeOneTabRow();
  if (m_nPositionKey == 0 && GetPageCount() > 0) m_nPositionKey = static_cast<int>(GetPage(0)->m_nIDTemplate);
  PlaceAtRememberedPosition();
  RECT client{};
  GetClientRect(&client);
  ResizeContents(client.right - client.left, client.bottom - client.top);
  m_bInitialized = TRUE;
  if (m_tabTips.GetSize() > 0) AddTabTooltips();
  return result;
}

// Tabs that would wrap into several rows become one row with scroll arrows; activating another
// page and then the active one again makes the sheet lay the tabs out anew.
void CGenericPS::MakeOneTabRow() {
  CTabCtrl* tabs = GetTabControl();
  if (!tabs || tabs->SendMessage(TCM_GETROWCOUNT, 0, 0) <= 1) return;
  EnableStackedTabs(FALSE);
  if (CWnd* strip = CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(PSM_GETTABCONTROL, 0, 0))))
    strip->ModifyStyle(TCS_MULTILINE, 0);
  const int active = GetActiveIndex();
  SetActivePage(active == 0 ? 1 : active - 1);
  SetActivePage(active);
}

// The first sheet of a kind keeps the platform's placement and records it; later ones open
// where the last one was left, with their own size. This move is made before m_bInitialized is
// set, so it does not rewrite the entry.
void CGenericPS::PlaceAtRememberedPosition() {
  position_ = FindPosition(m_nPositionKey);
  if (position_ >= 0) {
    const RECT& rect = PositionTable()[static_cast<size_t>(position_)].rect;
    SetWindowPos(nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return;
  }
  RECT rect{};
  GetWindowRect(&rect);
  PositionTable().push_back(SheetPosition{m_nPositionKey, rect});
  position_ = static_cast<int>(PositionTable().size()) - 1;
}

void CGenericPS::RecordPosition() {
  if (position_ < 0 || static_cast<size_t>(position_) >= PositionTable().size()) return;
  GetWindowRect(&PositionTable()[static_cast<size_t>(position_)].rect);
}

// The pages' child controls would not show their tips otherwise: the sheet sees their mouse
// moves first and hands a copy, aimed at the window under the point, to the tooltip control.
BOOL CGenericPS::PreTranslateMessage(MSG* msg) {
  if (m_hWnd && msg && msg->message == WM_MOUSEMOVE && m_toolTip.m_hWnd) {
    MSG copy = *msg;
    POINT point{static_cast<short>(LOWORD(msg->lParam)), static_cast<short>(HIWORD(msg->lParam))};
    if (CWnd* source = CWnd::FromHandle(msg->hwnd)) source->ClientToScreen(&point);
    POINT screen = point;
    copy.hwnd =
        reinterpret_cast<HWND>(m_toolTip.SendMessage(TTM_WINDOWFROMPOINT, 0, reinterpret_cast<LPARAM>(&screen)));
    if (CWnd* target = CWnd::FromHandle(copy.hwnd)) target->ScreenToClient(&point);
    copy.lParam = MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y));
    m_toolTip.Activate(TRUE);
    m_toolTip.RelayEvent(&copy);
  }
  return CPropertySheet::PreTranslateMessage(msg);
}

void CGenericPS::OnActivate(UINT state, CWnd* other, BOOL minimized) {
  CPropertySheet::OnActivate(state, other, minimized);
  if (state != WA_ACTIVE || !m_pTabImages) return;
  CTabCtrl* tabs = GetTabControl();
  if (!tabs || tabs->GetImageList()) return;
  tabs->SetImageList(m_pTabImages.get());
  if (m_bShowTabIcons) SetAllTabImages(TRUE);
}

void CGenericPS::OnMove(int x, int y) {
  CPropertySheet::OnMove(x, y);
  if (m_bInitialized) RecordPosition();
}

void CGenericPS::OnSize(UINT type, int width, int height) {
  CPropertySheet::OnSize(type, width, height);
  if (m_bInitialized && ResizeContents(width, height)) RecordPosition();
}
