// CWnd: a window of the toolkit. Every window has a handle (HWND) that stays valid until the
// window is destroyed (IsWindow tells); a C++ object may be attached to it (the "permanent"
// object, which receives its messages through WindowProc and its message map) or not (controls
// made from a template; CWnd::FromHandle then gives a temporary wrapper owned by the window).
//
// Sizes: templates are in dialog units; windows are in pixels, with the fixed conversion
// x px = x du * 3 / 2 and y px = y du * 3 / 2 (a 6 x 12 pixel base unit). Child rectangles are
// relative to the parent's client area, which is the whole window (no frames are drawn);
// top-level windows are placed on a 1024 x 768 screen.
#pragma once
#include <string>

#include "mfc/cmdtarget.h"
#include "mfc/cstring.h"
#include "mfc/geometry.h"
#include "mfc/wintypes.h"

class CDataExchange;
class CMenu;

struct CREATESTRUCT {
  HWND hwndParent = nullptr;
  int cx = 0, cy = 0, x = 0, y = 0;
  DWORD style = 0;
  const char* lpszName = nullptr;
  const char* lpszClass = nullptr;
  DWORD dwExStyle = 0;
};

// Converts dialog units to pixels (see above).
int dialogUnitsToPixelsX(int du);
int dialogUnitsToPixelsY(int du);

class CWnd : public CCmdTarget {
 public:
  CWnd();
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // The attached object, or a temporary wrapper; null for a null or dead handle.
  static CWnd* FromHandle(HWND hwnd);
  static CWnd* FromHandlePermanent(HWND hwnd);

  // Creates a window of a class: "Static", "Edit", "Button", "ComboBox", "ListBox",
  // "msctls_progress32", "msctls_trackbar32", "msctls_updown32", "SysListView32",
  // "SysTreeView32", "SysTabControl32", or any other name (a generic or hosted window).
  virtual BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                      UINT id);
  BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                CWnd* parent, UINT id);
  // Hosts an outside (ActiveX) control by its class id: a window whose class name is the id.
  BOOL CreateControl(const char* classId, const char* windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id);
  // Calls member `dispid` of a hosted control (see ole.h): `params` holds one VTS_ type byte per
  // argument that follows; the result of type `returnType` is stored at `result`.
  void InvokeHelper(LONG dispid, WORD flags, unsigned short returnType, void* result, const char* params, ...);
  // Destroys the window and its children (WM_DESTROY, then WM_NCDESTROY and PostNcDestroy).
  virtual BOOL DestroyWindow();
  // Attaches this object to an existing window (DDX_Control, SubclassDlgItem).
  BOOL SubclassWindow(HWND hwnd);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  HWND UnsubclassWindow();
  BOOL Attach(HWND hwnd) { return SubclassWindow(hwnd); }
  HWND Detach() { return UnsubclassWindow(); }

  // Messages.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Default processing of the message being handled.
  LRESULT Default();

  // Identity, text and state.
  int GetDlgCtrlID() const;
  void SetWindowText(const char* text);
  void GetWindowText(CString& text) const;
  int GetWindowText(char* buffer, int size) const;
  int GetWindowTextLength() const;
  CWnd* GetDlgItem(int id) const;
  void SetDlgItemText(int id, const char* text);
  int GetDlgItemText(int id, CString& text) const;
  void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE);
  UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const;
  void CheckDlgButton(int id, UINT check);
  UINT IsDlgButtonChecked(int id) const;
  void CheckRadioButton(int firstId, int lastId, int checkId);
  int GetCheckedRadioButton(int firstId, int lastId) const;
  // Returns the previous visibility / whether the window was disabled (Win32 results).
  BOOL ShowWindow(int command);
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowVisible() const;
  BOOL IsWindowEnabled() const;
  BOOL IsWindow() const;
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
  BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);
  CWnd* GetParent() const;
  CWnd* GetTopLevelParent() const;
  CWnd* SetFocus();
  static CWnd* GetFocus();
  CWnd* SetActiveWindow();
  static CWnd* GetActiveWindow();
  void BringWindowToTop();

  // Geometry.
  void GetWindowRect(RECT* rect) const;
  void GetClientRect(RECT* rect) const;
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
  void MoveWindow(const RECT* rect, BOOL repaint = TRUE);
  BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags);
  void ClientToScreen(POINT* point) const;
  void ClientToScreen(RECT* rect) const;
  void ScreenToClient(POINT* point) const;
  void ScreenToClient(RECT* rect) const;
  void CenterWindow(CWnd* alternateOwner = nullptr);
  void Invalidate(BOOL erase = TRUE);
  void UpdateWindow();
  void ValidateRect(const RECT* rect);

  // Timers: id (nonzero) on success, 0 on failure.
  UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, void (*callback)(HWND, UINT, UINT_PTR, DWORD) = nullptr);
  BOOL KillTimer(UINT_PTR id);

  // Menus attached to a window.
  CMenu* GetMenu() const;
  BOOL SetMenu(CMenu* menu);
  CMenu* GetSystemMenu(BOOL revert) const;

  // Data exchange (DDX): saveAndValidate TRUE reads controls into members.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);
  int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

  // Modal state of a top-level window (the main window while a modal box runs).
  void BeginModalState();
  void EndModalState();
  BOOL InModalState() const;

  // Overridables, in a stable order.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual BOOL PreTranslateMessage(MSG* msg);
  virtual void DoDataExchange(CDataExchange* dx);
  virtual void PreSubclassWindow();
  virtual void PostNcDestroy();
  // Runs a modal loop on this window until EndModalLoop; returns its code.
  virtual int RunModalLoop(DWORD flags = 0);
  virtual void EndModalLoop(int result);
  BOOL ContinueModal() const;

  // A window that draws a picture of its own hands it out: a text of what it shows (empty: none)
  // and the picture saved as a PNG file (false with the reason when it has none or cannot write).
  virtual std::string DescribePicture() const { return std::string(); }
  virtual bool SavePicture(const std::string& path, std::string& error) const;

  // Default handlers (call Default()).
  void OnTimer(UINT_PTR id);
  void OnPaint();
  void OnClose();
  void OnDestroy();
  int OnCreate(CREATESTRUCT* cs);
  void OnSize(UINT type, int cx, int cy);
  void OnMove(int x, int y);
  void OnActivate(UINT state, CWnd* other, BOOL minimized);
  void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
  void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
  BOOL OnQueryNewPalette();
  void OnPaletteChanged(CWnd* focusWnd);
  BOOL OnCopyData(CWnd* from, COPYDATASTRUCT* data);
  void OnSysCommand(UINT id, LPARAM lParam);
  void OnKeyUp(UINT ch, UINT repeat, UINT flags);
  void OnKeyDown(UINT ch, UINT repeat, UINT flags);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnRButtonDown(UINT flags, CPoint point);
  void OnNcLButtonDblClk(UINT hitTest, CPoint point);

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  const AFX_MSGMAP* GetMessageMap() const override;
};

// The main window: the application's m_pMainWnd.
CWnd* AfxGetMainWnd();
