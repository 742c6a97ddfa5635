// List view, tree view, tab control, image lists and tooltips.
#include <strings.h>
#include <algorithm>
#include <map>
#include <mutex>

#include "mfc/controls.h"
#include "mfc/gdi.h"
#include "mfc/log.h"
#include "mfc/resources.h"
#include "mfc/winapi.h"
#include "window_internal.h"

using namespace mfc::detail;

struct ImageListData {
  int cx = 16;
  int cy = 16;
  UINT flags = 0;
  std::vector<std::string> images;
  CImageList* owner = nullptr;
};

namespace {

bool live(const CWnd* w) { return isLive(w->m_hWnd); }
bool rowInRange(const CWnd* w, int index) {
  return live(w) && index >= 0 && index < static_cast<int>(w->m_hWnd->items.size());
}
constexpr int kCharWidth = 6;
constexpr int kRowHeight = 16;
constexpr int kIndent = 19;

}  // namespace

// ---- CListCtrl ----

int CListCtrl::InsertColumn(int index, const char* heading, int, int width, int) {
  if (!live(this)) return -1;
  auto& columns = m_hWnd->columns;
  index = std::clamp(index, 0, static_cast<int>(columns.size()));
  columns.insert(columns.begin() + index, heading ? heading : "");
  m_hWnd->columnWidths.insert(m_hWnd->columnWidths.begin() + index, width < 0 ? GetStringWidth(heading) + 12 : width);
  for (ListEntry& row : m_hWnd->items)
    if (index > 0 && static_cast<size_t>(index - 1) <= row.subItems.size())
      row.subItems.insert(row.subItems.begin() + (index - 1), "");
  return index;
}

BOOL CListCtrl::DeleteColumn(int index) {
  if (!live(this) || index < 0 || index >= static_cast<int>(m_hWnd->columns.size())) return FALSE;
  m_hWnd->columns.erase(m_hWnd->columns.begin() + index);
  m_hWnd->columnWidths.erase(m_hWnd->columnWidths.begin() + index);
  for (ListEntry& row : m_hWnd->items) {
    if (index == 0) continue;
    if (static_cast<size_t>(index - 1) < row.subItems.size()) row.subItems.erase(row.subItems.begin() + (index - 1));
  }
  return TRUE;
}

BOOL CListCtrl::SetColumnWidth(int index, int width) {
  if (!live(this) || index < 0 || index >= static_cast<int>(m_hWnd->columns.size())) return FALSE;
  if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
    int widest =
        width == LVSCW_AUTOSIZE_USEHEADER ? GetStringWidth(m_hWnd->columns[static_cast<size_t>(index)].c_str()) : 0;
    for (int row = 0; row < GetItemCount(); ++row) widest = std::max(widest, GetStringWidth(GetItemText(row, index)));
    width = widest + 12;
  }
  m_hWnd->columnWidths[static_cast<size_t>(index)] = width;
  return TRUE;
}

int CListCtrl::GetColumnWidth(int index) const {
  if (!live(this) || index < 0 || index >= static_cast<int>(m_hWnd->columnWidths.size())) return 0;
  return m_hWnd->columnWidths[static_cast<size_t>(index)];
}

int CListCtrl::InsertItem(int index, const char* text, int image) {
  if (!live(this)) return -1;
  auto& rows = m_hWnd->items;
  index = std::clamp(index, 0, static_cast<int>(rows.size()));
  ListEntry row;
  row.text = text ? text : "";
  row.image = image;
  rows.insert(rows.begin() + index, row);
  return index;
}

BOOL CListCtrl::SetItem(int index, int subItem, UINT mask, const char* text, int image, UINT state, UINT stateMask,
                        LPARAM param) {
  if (!rowInRange(this, index)) return FALSE;
  ListEntry& row = m_hWnd->items[static_cast<size_t>(index)];
  if (mask & LVIF_TEXT) SetItemText(index, subItem, text);
  if (mask & LVIF_IMAGE) row.image = image;
  if (mask & LVIF_STATE) SetItemState(index, state, stateMask);
  if (mask & LVIF_PARAM) row.data = static_cast<DWORD_PTR>(param);
  return TRUE;
}

BOOL CListCtrl::SetItemText(int index, int subItem, const char* text) {
  if (!rowInRange(this, index) || subItem < 0) return FALSE;
  ListEntry& row = m_hWnd->items[static_cast<size_t>(index)];
  if (subItem == 0) {
    row.text = text ? text : "";
    return TRUE;
  }
  if (row.subItems.size() < static_cast<size_t>(subItem)) row.subItems.resize(static_cast<size_t>(subItem));
  row.subItems[static_cast<size_t>(subItem - 1)] = text ? text : "";
  return TRUE;
}

CString CListCtrl::GetItemText(int index, int subItem) const {
  if (!rowInRange(this, index) || subItem < 0) return CString();
  const ListEntry& row = m_hWnd->items[static_cast<size_t>(index)];
  if (subItem == 0) return CString(row.text);
  return static_cast<size_t>(subItem) <= row.subItems.size() ? CString(row.subItems[static_cast<size_t>(subItem - 1)])
                                                             : CString();
}

BOOL CListCtrl::DeleteItem(int index) {
  if (!rowInRange(this, index)) return FALSE;
  m_hWnd->items.erase(m_hWnd->items.begin() + index);
  return TRUE;
}

BOOL CListCtrl::DeleteAllItems() {
  if (!live(this)) return FALSE;
  m_hWnd->items.clear();
  return TRUE;
}

int CListCtrl::GetItemCount() const { return live(this) ? static_cast<int>(m_hWnd->items.size()) : 0; }

int CListCtrl::GetCountPerPage() const {
  if (!live(this)) return 0;
  int header = (m_hWnd->style & LVS_NOCOLUMNHEADER) ? 0 : 20;
  return std::max(1, (m_hWnd->rect.bottom - m_hWnd->rect.top - header) / kRowHeight);
}

int CListCtrl::GetNextItem(int start, int flags) const {
  int n = GetItemCount();
  for (int i = start + 1; i < n; ++i) {
    UINT state = m_hWnd->items[static_cast<size_t>(i)].state;
    bool wanted = true;
    if ((flags & LVNI_SELECTED) && !(state & LVIS_SELECTED)) wanted = false;
    if ((flags & LVNI_FOCUSED) && !(state & LVIS_FOCUSED)) wanted = false;
    if (wanted) return i;
  }
  return -1;
}

BOOL CListCtrl::SetItemState(int index, UINT state, UINT mask) {
  if (!live(this)) return FALSE;
  auto apply = [&](ListEntry& row) { row.state = (row.state & ~mask) | (state & mask); };
  if (index == -1) {
    for (ListEntry& row : m_hWnd->items) apply(row);
    return TRUE;
  }
  if (!rowInRange(this, index)) return FALSE;
  // One focused item at a time; single selection keeps one selected item.
  if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED))
    for (ListEntry& row : m_hWnd->items) row.state &= ~LVIS_FOCUSED;
  if ((mask & LVIS_SELECTED) && (state & LVIS_SELECTED) && (m_hWnd->style & LVS_SINGLESEL))
    for (ListEntry& row : m_hWnd->items) row.state &= ~LVIS_SELECTED;
  apply(m_hWnd->items[static_cast<size_t>(index)]);
  return TRUE;
}

UINT CListCtrl::GetItemState(int index, UINT mask) const {
  return rowInRange(this, index) ? (m_hWnd->items[static_cast<size_t>(index)].state & mask) : 0;
}

BOOL CListCtrl::SetItemData(int index, DWORD_PTR data) {
  if (!rowInRange(this, index)) return FALSE;
  m_hWnd->items[static_cast<size_t>(index)].data = data;
  return TRUE;
}

DWORD_PTR CListCtrl::GetItemData(int index) const {
  return rowInRange(this, index) ? m_hWnd->items[static_cast<size_t>(index)].data : 0;
}

CImageList* CListCtrl::SetImageList(CImageList* list, int) {
  if (!live(this)) return nullptr;
  auto* previous = static_cast<CImageList*>(m_hWnd->imageList);
  m_hWnd->imageList = list;
  return previous;
}

int CListCtrl::GetStringWidth(const char* text) const {
  return text ? static_cast<int>(std::string(text).size()) * kCharWidth : 0;
}

DWORD CListCtrl::SetExtendedStyle(DWORD style) {
  DWORD previous = extendedStyle_;
  extendedStyle_ = style;
  return previous;
}

BOOL CListCtrl::EnsureVisible(int index, BOOL) { return rowInRange(this, index) ? TRUE : FALSE; }

// ---- CTreeCtrl ----

namespace {

std::vector<TreeNode*>& siblingsOf(HWND tree, TreeNode* parent) { return parent ? parent->children : tree->treeRoots; }

void collectVisible(const std::vector<TreeNode*>& nodes, int depth, std::vector<std::pair<TreeNode*, int>>& out) {
  for (TreeNode* node : nodes) {
    out.emplace_back(node, depth);
    if (node->expanded) collectVisible(node->children, depth + 1, out);
  }
}

void eraseSubtree(HWND tree, TreeNode* node) {
  for (TreeNode* child : std::vector<TreeNode*>(node->children)) eraseSubtree(tree, child);
  if (tree->treeSelected == node) tree->treeSelected = nullptr;
  tree->treeNodes.erase(node);
}

}  // namespace

bool CTreeCtrl::contains(HTREEITEM item) const { return live(this) && item && m_hWnd->treeNodes.contains(item); }

HTREEITEM CTreeCtrl::InsertItem(const char* text, int image, int selectedImage, HTREEITEM parent, HTREEITEM after) {
  if (!live(this)) return nullptr;
  TreeNode* parentNode = (parent == TVI_ROOT || parent == nullptr) ? nullptr : parent;
  if (parentNode && !contains(parentNode)) return nullptr;
  auto node = std::make_unique<TreeNode>();
  node->text = text ? text : "";
  node->image = image;
  node->selectedImage = selectedImage;
  node->parent = parentNode;
  auto& siblings = siblingsOf(m_hWnd, parentNode);
  auto position = siblings.end();
  if (after == TVI_FIRST) {
    position = siblings.begin();
  } else if (after == TVI_SORT) {
    position = std::find_if(siblings.begin(), siblings.end(),
                            [&](TreeNode* s) { return strcasecmp(s->text.c_str(), node->text.c_str()) > 0; });
  } else if (after != TVI_LAST) {
    auto it = std::find(siblings.begin(), siblings.end(), after);
    if (it != siblings.end()) position = it + 1;
  }
  TreeNode* raw = m_hWnd->treeNodes.add(std::move(node));
  siblings.insert(position, raw);
  return raw;
}

HTREEITEM CTreeCtrl::InsertItem(const char* text, HTREEITEM parent, HTREEITEM after) {
  return InsertItem(text, 0, 0, parent, after);
}

BOOL CTreeCtrl::DeleteItem(HTREEITEM item) {
  if (item == TVI_ROOT) return DeleteAllItems();
  if (!contains(item)) return FALSE;
  auto& siblings = siblingsOf(m_hWnd, item->parent);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), item), siblings.end());
  eraseSubtree(m_hWnd, item);
  return TRUE;
}

BOOL CTreeCtrl::DeleteAllItems() {
  if (!live(this)) return FALSE;
  m_hWnd->treeRoots.clear();
  m_hWnd->treeSelected = nullptr;
  m_hWnd->treeNodes.clear();
  return TRUE;
}

HTREEITEM CTreeCtrl::GetRootItem() const {
  return live(this) && !m_hWnd->treeRoots.empty() ? m_hWnd->treeRoots.front() : nullptr;
}

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM item) const {
  if (item == TVI_ROOT || item == nullptr) return GetRootItem();
  return contains(item) && !item->children.empty() ? item->children.front() : nullptr;
}

HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM item) const {
  if (!contains(item)) return nullptr;
  auto& siblings = siblingsOf(m_hWnd, item->parent);
  auto it = std::find(siblings.begin(), siblings.end(), item);
  return it != siblings.end() && it + 1 != siblings.end() ? *(it + 1) : nullptr;
}

HTREEITEM CTreeCtrl::GetPrevSiblingItem(HTREEITEM item) const {
  if (!contains(item)) return nullptr;
  auto& siblings = siblingsOf(m_hWnd, item->parent);
  auto it = std::find(siblings.begin(), siblings.end(), item);
  return it != siblings.begin() && it != siblings.end() ? *(it - 1) : nullptr;
}

HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM item) const { return contains(item) ? item->parent : nullptr; }

HTREEITEM CTreeCtrl::GetNextItem(HTREEITEM item, UINT code) const {
  switch (code) {
    case TVGN_ROOT: return GetRootItem();
    case TVGN_NEXT: return GetNextSiblingItem(item);
    case TVGN_PREVIOUS: return GetPrevSiblingItem(item);
    case TVGN_PARENT: return GetParentItem(item);
    case TVGN_CHILD: return GetChildItem(item);
    case TVGN_CARET: return GetSelectedItem();
    case TVGN_DROPHILITE: return GetDropHilightItem();
    default: return nullptr;
  }
}

HTREEITEM CTreeCtrl::GetSelectedItem() const { return live(this) ? m_hWnd->treeSelected : nullptr; }

HTREEITEM CTreeCtrl::GetDropHilightItem() const { return contains(dropTarget_) ? dropTarget_ : nullptr; }

BOOL CTreeCtrl::SelectItem(HTREEITEM item) {
  if (!live(this) || (item && !contains(item))) return FALSE;
  TreeNode* old = m_hWnd->treeSelected;
  if (old == item) return TRUE;
  m_hWnd->treeSelected = item;
  for (TreeNode* p = item ? item->parent : nullptr; p; p = p->parent) p->expanded = true;
  NMTREEVIEW info{};
  info.action = TVC_UNKNOWN;
  info.itemOld.hItem = old;
  info.itemNew.hItem = item;
  if (item) info.itemNew.lParam = static_cast<LPARAM>(item->data);
  notifyParent(m_hWnd, &info.hdr, TVN_SELCHANGED);
  return TRUE;
}

BOOL CTreeCtrl::SelectDropTarget(HTREEITEM item) {
  if (!live(this) || (item && !contains(item))) return FALSE;
  dropTarget_ = item;
  return TRUE;
}

BOOL CTreeCtrl::Expand(HTREEITEM item, UINT code) {
  if (!contains(item)) return FALSE;
  switch (code & 0x3) {
    case TVE_EXPAND: item->expanded = true; break;
    case TVE_COLLAPSE: item->expanded = false; break;
    case TVE_TOGGLE: item->expanded = !item->expanded; break;
    default: return FALSE;
  }
  return TRUE;
}

BOOL CTreeCtrl::EnsureVisible(HTREEITEM item) {
  if (!contains(item)) return FALSE;
  for (TreeNode* p = item->parent; p; p = p->parent) p->expanded = true;
  return TRUE;
}

CString CTreeCtrl::GetItemText(HTREEITEM item) const { return contains(item) ? CString(item->text) : CString(); }

BOOL CTreeCtrl::SetItemText(HTREEITEM item, const char* text) {
  if (!contains(item)) return FALSE;
  item->text = text ? text : "";
  return TRUE;
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM item, int& image, int& selectedImage) const {
  if (!contains(item)) return FALSE;
  image = item->image;
  selectedImage = item->selectedImage;
  return TRUE;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM item, int image, int selectedImage) {
  if (!contains(item)) return FALSE;
  item->image = image;
  item->selectedImage = selectedImage;
  return TRUE;
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const { return contains(item) ? item->data : 0; }

BOOL CTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data) {
  if (!contains(item)) return FALSE;
  item->data = data;
  return TRUE;
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM item) const {
  return contains(item) && !item->children.empty() ? TRUE : FALSE;
}

UINT CTreeCtrl::GetCount() const { return live(this) ? static_cast<UINT>(m_hWnd->treeNodes.size()) : 0; }

CImageList* CTreeCtrl::SetImageList(CImageList* list, int) {
  if (!live(this)) return nullptr;
  auto* previous = static_cast<CImageList*>(m_hWnd->imageList);
  m_hWnd->imageList = list;
  return previous;
}

CImageList* CTreeCtrl::GetImageList(int) const {
  return live(this) ? static_cast<CImageList*>(m_hWnd->imageList) : nullptr;
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM item, RECT* rect, BOOL textOnly) const {
  if (!contains(item) || !rect) return FALSE;
  std::vector<std::pair<TreeNode*, int>> rows;
  collectVisible(m_hWnd->treeRoots, 0, rows);
  for (size_t row = 0; row < rows.size(); ++row) {
    if (rows[row].first != item) continue;
    int depth = rows[row].second;
    int labelLeft = kIndent * (depth + 1) + 16;
    int labelRight = labelLeft + static_cast<int>(item->text.size()) * kCharWidth + 4;
    rect->top = static_cast<LONG>(row) * kRowHeight;
    rect->bottom = rect->top + kRowHeight;
    rect->left = textOnly ? labelLeft : 0;
    rect->right = textOnly ? labelRight : m_hWnd->rect.right - m_hWnd->rect.left;
    return TRUE;
  }
  return FALSE;  // hidden under a collapsed parent
}

HTREEITEM CTreeCtrl::HitTest(CPoint point, UINT* flags) const {
  if (flags) *flags = TVHT_NOWHERE;
  if (!live(this) || point.y < 0) return nullptr;
  std::vector<std::pair<TreeNode*, int>> rows;
  collectVisible(m_hWnd->treeRoots, 0, rows);
  size_t row = static_cast<size_t>(point.y / kRowHeight);
  if (row >= rows.size()) return nullptr;
  auto [node, depth] = rows[row];
  int iconLeft = kIndent * (depth + 1);
  int labelLeft = iconLeft + 16;
  int labelRight = labelLeft + static_cast<int>(node->text.size()) * kCharWidth + 4;
  if (flags) {
    if (point.x < iconLeft)
      *flags = TVHT_ONITEMINDENT;
    else if (point.x < labelLeft)
      *flags = TVHT_ONITEMICON;
    else if (point.x < labelRight)
      *flags = TVHT_ONITEMLABEL;
    else
      *flags = TVHT_ONITEMRIGHT;
  }
  return node;
}

CEdit* CTreeCtrl::GetEditControl() const {
  if (!live(this)) return nullptr;
  HWND editor = mfc::detail::findDescendant(m_hWnd, 1, false);
  return editor && editor->kind == WindowKind::Edit ? static_cast<CEdit*>(CWnd::FromHandle(editor)) : nullptr;
}

CImageList* CTreeCtrl::CreateDragImage(HTREEITEM item) {
  if (!contains(item)) return nullptr;
  auto* list = new CImageList;
  list->Create(16 + static_cast<int>(item->text.size()) * kCharWidth, 16, ILC_COLOR, 1, 1);
  list->m_hImageList->images.push_back("drag " + item->text);
  return list;
}

// ---- CTabCtrl ----

int CTabCtrl::InsertItem(int index, const char* text, int image) {
  if (!live(this)) return -1;
  auto& tabs = m_hWnd->tabs;
  index = std::clamp(index, 0, static_cast<int>(tabs.size()));
  tabs.insert(tabs.begin() + index, TabEntry{text ? text : "", image, 0});
  if (m_hWnd->curSel >= index) ++m_hWnd->curSel;
  if (m_hWnd->curSel < 0) m_hWnd->curSel = 0;
  return index;
}

BOOL CTabCtrl::DeleteItem(int index) {
  if (!live(this) || index < 0 || index >= static_cast<int>(m_hWnd->tabs.size())) return FALSE;
  m_hWnd->tabs.erase(m_hWnd->tabs.begin() + index);
  if (m_hWnd->curSel > index || m_hWnd->curSel >= static_cast<int>(m_hWnd->tabs.size())) --m_hWnd->curSel;
  return TRUE;
}

BOOL CTabCtrl::DeleteAllItems() {
  if (!live(this)) return FALSE;
  m_hWnd->tabs.clear();
  m_hWnd->curSel = -1;
  return TRUE;
}

int CTabCtrl::GetItemCount() const { return live(this) ? static_cast<int>(m_hWnd->tabs.size()) : 0; }
int CTabCtrl::GetCurSel() const { return live(this) ? m_hWnd->curSel : -1; }

int CTabCtrl::SetCurSel(int index) {
  if (!live(this) || index < 0 || index >= GetItemCount()) return -1;
  int previous = m_hWnd->curSel;
  m_hWnd->curSel = index;
  return previous;
}

BOOL CTabCtrl::GetItem(int index, TCITEM* item) const {
  if (!live(this) || !item || index < 0 || index >= GetItemCount()) return FALSE;
  const TabEntry& tab = m_hWnd->tabs[static_cast<size_t>(index)];
  if ((item->mask & TCIF_TEXT) && item->pszText && item->cchTextMax > 0) {
    size_t n = std::min(tab.text.size(), static_cast<size_t>(item->cchTextMax - 1));
    std::copy(tab.text.begin(), tab.text.begin() + static_cast<long>(n), item->pszText);
    item->pszText[n] = '\0';
  }
  if (item->mask & TCIF_IMAGE) item->iImage = tab.image;
  if (item->mask & TCIF_PARAM) item->lParam = tab.param;
  return TRUE;
}

BOOL CTabCtrl::SetItem(int index, TCITEM* item) {
  if (!live(this) || !item || index < 0 || index >= GetItemCount()) return FALSE;
  TabEntry& tab = m_hWnd->tabs[static_cast<size_t>(index)];
  if (item->mask & TCIF_TEXT) tab.text = item->pszText ? item->pszText : "";
  if (item->mask & TCIF_IMAGE) tab.image = item->iImage;
  if (item->mask & TCIF_PARAM) tab.param = item->lParam;
  return TRUE;
}

CImageList* CTabCtrl::SetImageList(CImageList* list) {
  if (!live(this)) return nullptr;
  CImageList* previous = CImageList::FromHandle(m_hWnd->tabImages);
  m_hWnd->tabImages = list ? list->m_hImageList : nullptr;
  return previous;
}

CImageList* CTabCtrl::GetImageList() const { return live(this) ? CImageList::FromHandle(m_hWnd->tabImages) : nullptr; }

BOOL CTabCtrl::GetItemRect(int index, RECT* rect) const {
  if (!live(this) || !rect || index < 0 || index >= GetItemCount()) return FALSE;
  int left = 2;
  for (int i = 0; i < index; ++i)
    left += static_cast<int>(m_hWnd->tabs[static_cast<size_t>(i)].text.size()) * kCharWidth + 12;
  *rect = RECT{left, 2, left + static_cast<int>(m_hWnd->tabs[static_cast<size_t>(index)].text.size()) * kCharWidth + 12,
               22};
  return TRUE;
}

int CTabCtrl::GetRowCount() const {
  if (!live(this) || m_hWnd->tabs.empty()) return 1;
  if (!(m_hWnd->style & TCS_MULTILINE)) return 1;
  const int width = std::max(1, static_cast<int>(m_hWnd->rect.right - m_hWnd->rect.left) - 4);
  int rows = 1;
  int used = 0;
  for (const TabEntry& tab : m_hWnd->tabs) {
    const int tabWidth = static_cast<int>(tab.text.size()) * kCharWidth + 12;
    if (used > 0 && used + tabWidth > width) {
      ++rows;
      used = 0;
    }
    used += tabWidth;
  }
  return rows;
}

// ---- CImageList ----

namespace {

std::mutex imageListsMutex;
struct DragState {
  bool dragging = false;
  bool shown = false;
  CPoint position;
};
DragState dragState;

}  // namespace

CImageList::~CImageList() { DeleteImageList(); }

BOOL CImageList::Create(int cx, int cy, UINT flags, int, int) {
  if (m_hImageList || cx <= 0 || cy <= 0) return FALSE;
  m_hImageList = new ImageListData{cx, cy, flags, {}, this};
  return TRUE;
}

int CImageList::Add(HICON icon) {
  if (!m_hImageList || !icon) return -1;
  m_hImageList->images.push_back(icon->name);
  return static_cast<int>(m_hImageList->images.size()) - 1;
}

int CImageList::Add(CBitmap* bitmap, COLORREF) {
  if (!m_hImageList || !bitmap || !bitmap->m_hObject) return -1;
  int first = static_cast<int>(m_hImageList->images.size());
  int count = std::max(1, bitmap->m_hObject->width / m_hImageList->cx);
  for (int i = 0; i < count; ++i) m_hImageList->images.push_back(bitmap->m_hObject->name + "/" + std::to_string(i));
  return first;
}

int CImageList::Add(CBitmap* bitmap, CBitmap*) { return Add(bitmap, COLORREF{0}); }

BOOL CImageList::Remove(int index) {
  if (!m_hImageList) return FALSE;
  if (index == -1) {
    m_hImageList->images.clear();
    return TRUE;
  }
  if (index < 0 || index >= GetImageCount()) return FALSE;
  m_hImageList->images.erase(m_hImageList->images.begin() + index);
  return TRUE;
}

int CImageList::GetImageCount() const { return m_hImageList ? static_cast<int>(m_hImageList->images.size()) : 0; }

std::string CImageList::imageName(int index) const {
  if (index < 0 || index >= GetImageCount()) return {};
  return m_hImageList->images[static_cast<size_t>(index)];
}

BOOL CImageList::DeleteImageList() {
  if (!m_hImageList) return FALSE;
  delete m_hImageList;
  m_hImageList = nullptr;
  return TRUE;
}

BOOL CImageList::Attach(HIMAGELIST list) {
  if (m_hImageList || !list) return FALSE;
  m_hImageList = list;
  list->owner = this;
  return TRUE;
}

HIMAGELIST CImageList::Detach() {
  HIMAGELIST list = m_hImageList;
  if (list && list->owner == this) list->owner = nullptr;
  m_hImageList = nullptr;
  return list;
}

CImageList* CImageList::FromHandle(HIMAGELIST list) { return list ? list->owner : nullptr; }

BOOL CImageList::BeginDrag(int image, CPoint hotSpot) {
  if (image < 0 || image >= GetImageCount()) return FALSE;
  std::lock_guard lock(imageListsMutex);
  dragState = DragState{true, false, hotSpot};
  return TRUE;
}

BOOL CImageList::DragEnter(CWnd*, CPoint point) {
  std::lock_guard lock(imageListsMutex);
  if (!dragState.dragging) return FALSE;
  dragState.shown = true;
  dragState.position = point;
  return TRUE;
}

BOOL CImageList::DragMove(CPoint point) {
  std::lock_guard lock(imageListsMutex);
  if (!dragState.dragging) return FALSE;
  dragState.position = point;
  return TRUE;
}

BOOL CImageList::DragShowNolock(BOOL show) {
  std::lock_guard lock(imageListsMutex);
  dragState.shown = show;
  return dragState.dragging ? TRUE : FALSE;
}

BOOL CImageList::DragLeave(CWnd*) {
  std::lock_guard lock(imageListsMutex);
  dragState.shown = false;
  return TRUE;
}

void CImageList::EndDrag() {
  std::lock_guard lock(imageListsMutex);
  dragState = DragState{};
}

bool CImageList::dragging() {
  std::lock_guard lock(imageListsMutex);
  return dragState.dragging;
}

CPoint CImageList::dragPosition() {
  std::lock_guard lock(imageListsMutex);
  return dragState.position;
}

// ---- CToolTipCtrl ----

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
  return CWnd::Create("tooltips_class32", "", WS_POPUP | style, RECT{}, parent, 0);
}

void CToolTipCtrl::Activate(BOOL activate) {
  if (live(this)) m_hWnd->tooltipActive = activate;
}

BOOL CToolTipCtrl::AddTool(CWnd* window, const char* text, const RECT*, UINT) {
  if (!live(this) || !window) return FALSE;
  m_hWnd->tools.emplace_back(window->m_hWnd, text ? text : "");
  return TRUE;
}

BOOL CToolTipCtrl::AddTool(CWnd* window, UINT textId, const RECT* rect, UINT toolId) {
  CString text;
  text.LoadString(textId);
  return AddTool(window, text, rect, toolId);
}

void CToolTipCtrl::DelTool(CWnd* window, UINT) {
  if (!live(this) || !window) return;
  auto& tools = m_hWnd->tools;
  tools.erase(std::remove_if(tools.begin(), tools.end(), [&](const auto& t) { return t.first == window->m_hWnd; }),
              tools.end());
}

void CToolTipCtrl::UpdateTipText(const char* text, CWnd* window, UINT) {
  if (!live(this) || !window) return;
  for (auto& tool : m_hWnd->tools)
    if (tool.first == window->m_hWnd) tool.second = text ? text : "";
}

void CToolTipCtrl::RelayEvent(MSG* msg) {
  if (live(this) && msg) ::SendMessage(m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}

std::vector<MSG> CToolTipCtrl::relayedEvents() const { return live(this) ? m_hWnd->relayed : std::vector<MSG>{}; }

int CToolTipCtrl::GetToolCount() const { return live(this) ? static_cast<int>(m_hWnd->tools.size()) : 0; }

std::string CToolTipCtrl::toolText(HWND window) const {
  if (!live(this)) return {};
  for (const auto& tool : m_hWnd->tools)
    if (tool.first == window) return tool.second;
  return {};
}
