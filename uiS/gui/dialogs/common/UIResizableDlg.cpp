#include "gui/dialogs/common/UIResizableDlg.h"

#include <vector>

namespace {

struct RememberedRect {
  UINT templateId;
  RECT rect;
};

std::vector<RememberedRect>& rectangles() {
  static std::vector<RememberedRect> table;
  return table;
}

int findEntry(UINT templateId) {
  const auto& table = rectangles();
  for (size_t i = 0; i < table.size(); ++i)
    if (table[i].templateId == templateId) return static_cast<int>(i);
  return -1;
}

int width(const RECT& r) { return r.right - r.left; }
int height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

BEGIN_MESSAGE_MAP(CResizableDlg, CDialog)
ON_WM_MOVE()
ON_WM_SIZE()
END_MESSAGE_MAP()

CResizableDlg::CResizableDlg(UINT templateId, CWnd* parent) : CDialog(templateId, parent), templateId_(templateId) {}

int CResizableDlg::ResizeContents(int, int) { return 0; }

bool CResizableDlg::RememberedRectangle(UINT templateId, RECT& rect) {
  const int entry = findEntry(templateId);
  if (entry < 0) return false;
  rect = rectangles()[static_cast<size_t>(entry)].rect;
  return true;
}

void CResizableDlg::ForgetRectangles() { rectangles().clear(); }

BOOL CResizableDlg::OnInitDialog() {
  m_toolTip.Create(this);
  m_toolTip.Activate(TRUE);
  const BOOL result = CDialog::OnInitDialog();

  entry_ = findEntry(templateId_);
  if (entry_ < 0) {
    RECT current{};
    GetWindowRect(&current);
    rectangles().push_back({templateId_, current});
    entry_ = static_cast<int>(rectangles().size()) - 1;
  } else {
    RECT& remembered = rectangles()[static_cast<size_t>(entry_)].rect;
    MoveWindow(&remembered, TRUE);
    if (m_cascade) {
      Cascade(remembered);
      MoveWindow(&remembered, TRUE);
    }
  }
  RECT client{};
  GetClientRect(&client);
  ResizeContents(width(client), height(client));
  initialised_ = true;
  return result;
}

// Shifts the remembered rectangle one caption height right and down, or back to the topmost
// ancestor's top-left corner (plus that step) once it would leave the ancestor.
void CResizableDlg::Cascade(RECT& remembered) {
  RECT client{};
  GetClientRect(&client);
  const int divisor = GetMenu() ? 2 : 1;
  const int step = (height(remembered) - height(client)) / divisor;

  CWnd* ancestor = GetParent();
  if (!ancestor) return;
  while (CWnd* up = ancestor->GetParent()) ancestor = up;
  RECT outer{};
  ancestor->GetWindowRect(&outer);

  if (remembered.right + step < outer.right && remembered.bottom < outer.bottom) {
    remembered = {remembered.left + step, remembered.top + step, remembered.right + step, remembered.bottom + step};
  } else {
    const int w = width(remembered), h = height(remembered);
    remembered = {outer.left + step, outer.top + step, outer.left + step + w, outer.top + step + h};
  }
}

void CResizableDlg::Remember() {
  if (entry_ >= 0) GetWindowRect(&rectangles()[static_cast<size_t>(entry_)].rect);
}

void CResizableDlg::OnMove(int x, int y) {
  CDialog::OnMove(x, y);
  if (initialised_) Remember();
}

void CResizableDlg::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (initialised_ && ResizeContents(cx, cy)) Remember();
}

BOOL CResizableDlg::PreTranslateMessage(MSG* msg) {
  CWnd* target = msg && msg->message == WM_MOUSEMOVE ? CWnd::FromHandle(msg->hwnd) : nullptr;
  if (target && m_toolTip.GetSafeHwnd()) {
    POINT point{static_cast<short>(LOWORD(msg->lParam)), static_cast<short>(HIWORD(msg->lParam))};
    target->ClientToScreen(&point);
    if (CWnd* under = CWnd::FromHandle(mfc::deepestWindowFromPoint(m_hWnd, point))) {
      under->ScreenToClient(&point);
      MSG relayed = *msg;
      relayed.hwnd = under->GetSafeHwnd();
      relayed.lParam = MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y));
      m_toolTip.Activate(TRUE);
      m_toolTip.RelayEvent(&relayed);
    }
  }
  return CDialog::PreTranslateMessage(msg);
}
