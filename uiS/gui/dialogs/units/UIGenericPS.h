// The common property sheet of the user interface: a tooltip control fed the sheet's mouse
// moves, icons on the tabs, a window position remembered per first-page template while the
// add-in stays loaded, and one scrolling tab row where the tabs would wrap.
#pragma once
#include <memory>

#include "mfc/afx.h"
#include "mfc/propsheet.h"

class CGenericPS : public CPropertySheet {
 public:
  CGenericPS(UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);
  CGenericPS(const char* caption, CWnd* parent = nullptr, UINT selectPage = 0);
  ~CGenericPS() override;

  // (Re)creates the tab image list, size x size pixels, masked, initial 1, growth 1.
  BOOL CreateTabImageList(int size);
  // Appends an icon (or a bitmap, light grey transparent with `greyMask`, else black) to the
  // tab image list; the new image's index, -1 without a list or when it cannot be loaded.
  int AddTabIcon(UINT iconId);
  int AddTabBitmap(UINT bitmapId, BOOL greyMask);
  void DeleteTabImageList();
  // Sets a tab's image (none when `show` is 0); nothing without an image list, a tab control or
  // a list on the tab control.
  void SetTabImage(int tab, int image, BOOL show);
  void SetTabImage(int tab, BOOL show) { SetTabImage(tab, tab, show); }
  // Tab i shows image i - m_nFirstIconTab, for every tab from m_nFirstIconTab on.
  void SetAllTabImages(BOOL show);
  // One tool per tab on the tab control, with the text of m_tabTips at that index.
  void AddTabTooltips();
  // Lays a derived sheet's contents out for a new client size; nonzero records the rectangle.
  virtual BOOL ResizeContents(int width, int height);

  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* msg) override;

  BOOL m_bInitialized = FALSE;
  int m_nPositionKey = 0;  // the first page's template id unless a sheet sets another
  int m_nFirstIconTab = 0;
  BOOL m_bShowTabIcons = FALSE;
  std::unique_ptr<CImageList> m_pTabImages;
  BOOL m_bSquareTabs = FALSE;
  CToolTipCtrl m_toolTip;
  CStringArray m_tabTips;

 protected:
  void OnActivate(UINT state, CWnd* other, BOOL minimized);
  void OnMove(int x, int y);
  void OnSize(UINT type, int width, int height);
  DECLARE_MESSAGE_MAP()

 private:
  void MakeOneTabRow();
  void PlaceAtRememberedPosition();
  void RecordPosition();
  int position_ = -1;  // index of this sheet's entry in the position table
};

// Remembered sheet rectangles (screen coordinates) by key, for tests and the reset hook.
bool UISheetPosition(int key, RECT& rect);
// Forgets every remembered position (add-in load and unload, tests).
void UIResetSheetPositions();
