// The standard controls. Each class is a CWnd over a control window (made by a dialog template,
// by Create, or attached with DDX_Control / SubclassDlgItem); its operations change the window's
// state directly and, like the platform's, send no notification: notifications (BN_CLICKED,
// EN_CHANGE, CBN_SELCHANGE, LBN_SELCHANGE, CLBN_CHKCHANGE, WM_HSCROLL, UDN_DELTAPOS, NM_CLICK,
// LVN_ITEMCHANGED, TVN_SELCHANGED ...) come from what a person does (see user_actions.h), except
// where noted (CTreeCtrl::SelectItem notifies, as on the platform).
#pragma once
#include <string>
#include <vector>

#include "mfc/cstring.h"
#include "mfc/wnd.h"

struct TreeNode;
using HTREEITEM = TreeNode*;
struct ImageListData;
using HIMAGELIST = ImageListData*;
class CBitmap;

enum : UINT { BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1, BM_GETSTATE = 0x00F2, BM_CLICK = 0x00F5 };

class CStatic : public CWnd {
 public:
  // Pictures placed into a static (STM_SETIMAGE); the previous one is returned.
  HBITMAP SetBitmap(HBITMAP bitmap);
  HBITMAP GetBitmap() const;
  HICON SetIcon(HICON icon);
};

class CEdit : public CWnd {
 public:
  void LimitText(int count = 0);
  void SetReadOnly(BOOL readOnly = TRUE);
  void SetSel(int start, int end, BOOL noScroll = FALSE);
  void ReplaceSel(const char* text);
};

class CButton : public CWnd {
 public:
  int GetCheck() const;
  void SetCheck(int state);
  UINT GetState() const;
  UINT GetButtonStyle() const;
  void SetButtonStyle(UINT style, BOOL redraw = TRUE);
  HICON SetIcon(HICON icon);
  HBITMAP SetBitmap(HBITMAP bitmap);
};

// A push button drawn with four bitmaps (up, down, focused, disabled) from the resource module.
class CBitmapButton : public CButton {
 public:
  // Missing bitmaps are logged; FALSE when the "up" bitmap is missing.
  BOOL LoadBitmaps(const char* up, const char* down = nullptr, const char* focus = nullptr,
                   const char* disabled = nullptr);
  // Attaches to button `id` and loads the bitmaps named by its text + "U", "D", "F", "X".
  BOOL AutoLoad(UINT id, CWnd* parent);
  const std::vector<std::string>& bitmapNames() const { return names_; }
  void SizeToContent() {}

 private:
  std::vector<std::string> names_;
};

// Simple, drop-down and drop-list combo boxes (CBS_SIMPLE, CBS_DROPDOWN, CBS_DROPDOWNLIST),
// sorted case-insensitively with CBS_SORT. The window text is the edit part (for a drop list,
// the selected entry). Searches compare case-insensitively; FindString and SelectString match
// entries that begin with the text, starting after `start` (-1: from the top) and wrapping.
class CComboBox : public CWnd {
 public:
  int AddString(const char* text);
  int InsertString(int index, const char* text);
  int DeleteString(int index);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  // Selects an entry and shows it in the edit part; -1 clears both. CB_ERR when out of range.
  int SetCurSel(int index);
  int GetLBText(int index, CString& text) const;
  int GetLBText(int index, char* buffer) const;
  int GetLBTextLen(int index) const;
  int FindString(int start, const char* text) const;
  int FindStringExact(int start, const char* text) const;
  int SelectString(int start, const char* text);
  BOOL LimitText(int count);
  int SetItemData(int index, DWORD_PTR data);
  DWORD_PTR GetItemData(int index) const;
  void Clear() {}
};

// List boxes; with LBS_SORT entries are sorted case-insensitively.
class CListBox : public CWnd {
 public:
  int AddString(const char* text);
  int InsertString(int index, const char* text);
  int DeleteString(int index);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int index);
  int GetSel(int index) const;
  int SetSel(int index, BOOL select = TRUE);
  int GetSelCount() const;
  void GetText(int index, CString& text) const;
  int GetTextLen(int index) const;
  int FindString(int start, const char* text) const;
  int FindStringExact(int start, const char* text) const;
  int SelectString(int start, const char* text);
  int SetItemData(int index, DWORD_PTR data);
  DWORD_PTR GetItemData(int index) const;
  void SetHorizontalExtent(int extent);
  int GetHorizontalExtent() const;
  int SetTopIndex(int index);
  int GetTopIndex() const;
  virtual int CompareItem(void*) { return 0; }

 private:
  int horizontalExtent_ = 0;
};

// A list box with a check box per line. Ticking a line (a person's act) sends CLBN_CHKCHANGE.
class CCheckListBox : public CListBox {
 public:
  void SetCheckStyle(UINT style);
  UINT GetCheckStyle() const { return checkStyle_; }
  void SetCheck(int index, int state);
  int GetCheck(int index) const;
  void Enable(int index, BOOL enable = TRUE);
  BOOL IsEnabled(int index) const;

 private:
  UINT checkStyle_ = BS_AUTOCHECKBOX;
};

class CProgressCtrl : public CWnd {
 public:
  void SetRange(short low, short high);
  void SetRange32(int low, int high);
  void GetRange(int& low, int& high) const;
  // Clamped to the range; returns the previous position.
  int SetPos(int pos);
  int GetPos() const;
  int OffsetPos(int delta);
  int SetStep(int step);
  int StepIt();

 private:
  int step_ = 10;
};

enum : UINT { TB_LINEUP = 0, TB_LINEDOWN = 1, TB_THUMBPOSITION = 4, TB_ENDSCROLL = 8 };

class CSliderCtrl : public CWnd {
 public:
  void SetRange(int minimum, int maximum, BOOL redraw = FALSE);
  void SetRangeMin(int minimum, BOOL redraw = FALSE);
  void SetRangeMax(int maximum, BOOL redraw = FALSE);
  int GetRangeMin() const;
  int GetRangeMax() const;
  // Clamped to the range.
  void SetPos(int pos);
  int GetPos() const;
  BOOL SetTic(int pos);
  void SetTicFreq(int frequency);
  void ClearTics(BOOL redraw = FALSE);
  int GetNumTics() const;
};

// Up-down control. The range may run downwards (the default is 100 to 0), so the up arrow then
// lowers the value: its UDN_DELTAPOS carries iDelta -1.
class CSpinButtonCtrl : public CWnd {
 public:
  void SetRange(short low, short high);
  void SetRange32(int low, int high);
  void GetRange(int& low, int& high) const;
  int SetPos(int pos);
  int GetPos() const;
  CWnd* SetBuddy(CWnd* buddy);
  CWnd* GetBuddy() const;
  int SetBase(int base) { return base; }
};

enum : UINT { LVSIL_NORMAL = 0, LVSIL_SMALL = 1, LVSIL_STATE = 2 };
enum : UINT { LVIS_FOCUSED = 0x1, LVIS_SELECTED = 0x2 };
enum : int { LVNI_ALL = 0x0, LVNI_FOCUSED = 0x1, LVNI_SELECTED = 0x2 };
enum : int { LVCFMT_LEFT = 0, LVCFMT_RIGHT = 1, LVCFMT_CENTER = 2, LVSCW_AUTOSIZE = -1, LVSCW_AUTOSIZE_USEHEADER = -2 };
enum : UINT { LVIF_TEXT = 0x1, LVIF_IMAGE = 0x2, LVIF_PARAM = 0x4, LVIF_STATE = 0x8 };

// Report-view list control. Text widths are 6 pixels a character; rows are 16 pixels high.
class CListCtrl : public CWnd {
 public:
  int InsertColumn(int index, const char* heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
  BOOL DeleteColumn(int index);
  BOOL SetColumnWidth(int index, int width);
  int GetColumnWidth(int index) const;
  int InsertItem(int index, const char* text, int image = -1);
  BOOL SetItem(int index, int subItem, UINT mask, const char* text, int image, UINT state, UINT stateMask,
               LPARAM param);
  BOOL SetItemText(int index, int subItem, const char* text);
  CString GetItemText(int index, int subItem) const;
  BOOL DeleteItem(int index);
  BOOL DeleteAllItems();
  int GetItemCount() const;
  int GetCountPerPage() const;
  // The next item after `start` (-1: from the top) whose state has all of `flags`.
  int GetNextItem(int start, int flags) const;
  BOOL SetItemState(int index, UINT state, UINT mask);
  UINT GetItemState(int index, UINT mask) const;
  BOOL SetItemData(int index, DWORD_PTR data);
  DWORD_PTR GetItemData(int index) const;
  class CImageList* SetImageList(class CImageList* list, int kind);
  int GetStringWidth(const char* text) const;
  DWORD SetExtendedStyle(DWORD style);
  DWORD GetExtendedStyle() const { return extendedStyle_; }
  BOOL EnsureVisible(int index, BOOL partialOk);

 private:
  DWORD extendedStyle_ = 0;
};

#define TVI_ROOT reinterpret_cast<HTREEITEM>(static_cast<uintptr_t>(-0x10000))
#define TVI_FIRST reinterpret_cast<HTREEITEM>(static_cast<uintptr_t>(-0x0FFFF))
#define TVI_LAST reinterpret_cast<HTREEITEM>(static_cast<uintptr_t>(-0x0FFFE))
#define TVI_SORT reinterpret_cast<HTREEITEM>(static_cast<uintptr_t>(-0x0FFFD))
enum : UINT { TVE_COLLAPSE = 0x1, TVE_EXPAND = 0x2, TVE_TOGGLE = 0x3 };
enum : UINT {
  TVGN_ROOT = 0x0,
  TVGN_NEXT = 0x1,
  TVGN_PREVIOUS = 0x2,
  TVGN_PARENT = 0x3,
  TVGN_CHILD = 0x4,
  TVGN_DROPHILITE = 0x8,
  TVGN_CARET = 0x9
};
enum : UINT {
  TVHT_NOWHERE = 0x1,
  TVHT_ONITEMICON = 0x2,
  TVHT_ONITEMLABEL = 0x4,
  TVHT_ONITEMINDENT = 0x8,
  TVHT_ONITEMBUTTON = 0x10,
  TVHT_ONITEMRIGHT = 0x20,
  TVHT_ONITEMSTATEICON = 0x40,
  TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON
};
enum : UINT { TVSIL_NORMAL = 0, TVSIL_STATE = 2 };
enum : UINT { TVC_UNKNOWN = 0, TVC_BYMOUSE = 1, TVC_BYKEYBOARD = 2 };

struct TVITEM {
  UINT mask = 0;
  HTREEITEM hItem = nullptr;
  UINT state = 0;
  UINT stateMask = 0;
  char* pszText = nullptr;  // null in TVN_ENDLABELEDIT when the edit was cancelled
  int cchTextMax = 0;
  int iImage = 0;
  int iSelectedImage = 0;
  LPARAM lParam = 0;
};
struct NMTREEVIEW {
  NMHDR hdr;
  UINT action = 0;
  TVITEM itemOld;
  TVITEM itemNew;
  POINT ptDrag;
};
struct NMTVDISPINFO {
  NMHDR hdr;
  TVITEM item;
};
struct NMTVKEYDOWN {
  NMHDR hdr;
  WORD wVKey = 0;
  UINT flags = 0;
};

// Tree control. Items are laid out one per 16-pixel row in display order (children of expanded
// items follow their parent); each level indents 19 pixels, then a 16-pixel icon, then the label
// at 6 pixels a character.
class CTreeCtrl : public CWnd {
 public:
  HTREEITEM InsertItem(const char* text, int image, int selectedImage, HTREEITEM parent = TVI_ROOT,
                       HTREEITEM after = TVI_LAST);
  HTREEITEM InsertItem(const char* text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST);
  BOOL DeleteItem(HTREEITEM item);
  BOOL DeleteAllItems();
  HTREEITEM GetRootItem() const;
  HTREEITEM GetChildItem(HTREEITEM item) const;
  HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
  HTREEITEM GetPrevSiblingItem(HTREEITEM item) const;
  HTREEITEM GetParentItem(HTREEITEM item) const;
  HTREEITEM GetNextItem(HTREEITEM item, UINT code) const;
  HTREEITEM GetSelectedItem() const;
  HTREEITEM GetDropHilightItem() const;
  // Selects (and notifies TVN_SELCHANGED with TVC_UNKNOWN); null clears the selection.
  BOOL SelectItem(HTREEITEM item);
  BOOL SelectDropTarget(HTREEITEM item);
  BOOL Expand(HTREEITEM item, UINT code);
  BOOL EnsureVisible(HTREEITEM item);
  CString GetItemText(HTREEITEM item) const;
  BOOL SetItemText(HTREEITEM item, const char* text);
  BOOL GetItemImage(HTREEITEM item, int& image, int& selectedImage) const;
  BOOL SetItemImage(HTREEITEM item, int image, int selectedImage);
  DWORD_PTR GetItemData(HTREEITEM item) const;
  BOOL SetItemData(HTREEITEM item, DWORD_PTR data);
  BOOL ItemHasChildren(HTREEITEM item) const;
  UINT GetCount() const;
  class CImageList* SetImageList(class CImageList* list, int kind);
  class CImageList* GetImageList(int kind) const;
  HTREEITEM HitTest(CPoint point, UINT* flags = nullptr) const;
  // The label editor while a label is being edited (see user_actions.h), else null.
  CEdit* GetEditControl() const;
  // A drag image of the item: a new image list the caller deletes.
  class CImageList* CreateDragImage(HTREEITEM item);
  BOOL GetItemRect(HTREEITEM item, RECT* rect, BOOL textOnly) const;
  // Whether `item` is a live item of this tree.
  bool contains(HTREEITEM item) const;

 private:
  HTREEITEM dropTarget_ = nullptr;
};

struct TCITEM {
  UINT mask = 0;
  DWORD dwState = 0;
  DWORD dwStateMask = 0;
  char* pszText = nullptr;
  int cchTextMax = 0;
  int iImage = -1;
  LPARAM lParam = 0;
};

class CTabCtrl : public CWnd {
 public:
  int InsertItem(int index, const char* text, int image = -1);
  BOOL DeleteItem(int index);
  BOOL DeleteAllItems();
  int GetItemCount() const;
  int GetCurSel() const;
  int SetCurSel(int index);
  BOOL GetItem(int index, TCITEM* item) const;
  BOOL SetItem(int index, TCITEM* item);
  // The list is kept by its handle (TCM_SETIMAGELIST); GetImageList gives the object that owns
  // that handle now, or null when none does.
  class CImageList* SetImageList(class CImageList* list);
  class CImageList* GetImageList() const;
  BOOL GetItemRect(int index, RECT* rect) const;
  // With TCS_MULTILINE the tabs wrap into as many rows as the control's width needs (at least
  // one); without it they form one scrolling row.
  int GetRowCount() const;
};

enum : UINT { ILC_MASK = 0x1, ILC_COLOR = 0x0, ILC_COLOR8 = 0x8, ILC_COLOR24 = 0x18 };

// An image list: the images are kept as the names of their sources ("icon 152", "bitmap 235/2");
// indices are handed out in the order images are added.
class CImageList {
 public:
  CImageList() = default;
  ~CImageList();
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  HIMAGELIST m_hImageList = nullptr;
  BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
  // Adds one icon; returns its index, -1 for a null icon or no list.
  int Add(HICON icon);
  // Adds width / cx images of a bitmap strip; returns the first index, -1 on failure.
  int Add(CBitmap* bitmap, COLORREF mask);
  int Add(CBitmap* bitmap, CBitmap* mask);
  BOOL Remove(int index);
  int GetImageCount() const;
  // The source name of image `index` (for tests and rendering), "" when out of range.
  std::string imageName(int index) const;
  BOOL DeleteImageList();
  BOOL Attach(HIMAGELIST list);
  HIMAGELIST Detach();
  HIMAGELIST GetSafeHandle() const { return m_hImageList; }
  static CImageList* FromHandle(HIMAGELIST list);

  // Drag images: bookkeeping of the drag in progress.
  BOOL BeginDrag(int image, CPoint hotSpot);
  static BOOL DragEnter(CWnd* lockWindow, CPoint point);
  static BOOL DragMove(CPoint point);
  static BOOL DragShowNolock(BOOL show);
  static BOOL DragLeave(CWnd* lockWindow);
  static void EndDrag();
  // Whether a drag is in progress and where it is.
  static bool dragging();
  static CPoint dragPosition();
};

enum : UINT { TTS_ALWAYSTIP = 0x1 };

class CToolTipCtrl : public CWnd {
 public:
  BOOL Create(CWnd* parent, DWORD style = 0);
  void Activate(BOOL activate);
  BOOL AddTool(CWnd* window, const char* text, const RECT* rect = nullptr, UINT toolId = 0);
  BOOL AddTool(CWnd* window, UINT textId, const RECT* rect = nullptr, UINT toolId = 0);
  void DelTool(CWnd* window, UINT toolId = 0);
  void UpdateTipText(const char* text, CWnd* window, UINT toolId = 0);
  // Hands a mouse message to the control (TTM_RELAYEVENT); the control keeps a record of them.
  void RelayEvent(MSG* msg);
  // The messages relayed so far, oldest first (what a tooltip would have tracked).
  std::vector<MSG> relayedEvents() const;
  int GetToolCount() const;
  // The text of the tool on `window`, "" when none.
  std::string toolText(HWND window) const;
  void SetMaxTipWidth(int) {}
};

class CScrollBar : public CWnd {};

namespace mfc {
// The child of `parent` (a direct child) under a point in `parent`'s client coordinates.
HWND childWindowFromPoint(HWND parent, POINT point);
// The innermost visible window of `top` (or `top` itself) under a point in screen coordinates.
HWND deepestWindowFromPoint(HWND top, POINT screenPoint);
}  // namespace mfc
