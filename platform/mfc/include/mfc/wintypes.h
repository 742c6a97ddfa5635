// Basic types and constants of the windowing toolkit: the Win32 names the add-in is written
// against (messages, notification codes, styles, button ids, message-box flags). Values are the
// ones the add-in's code and files rely on; nothing here has behaviour.
#pragma once
#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using DWORD_PTR = std::uintptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using LPSTR = char*;
using LPCSTR = const char*;
using LPCTSTR = const char*;
using COLORREF = DWORD;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

struct HWND__;
using HWND = HWND__*;
// A loaded resource module (see resources.h).
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using HRSRC = const void*;
using HGLOBAL = void*;
using HICON = struct HICON__*;
using HBITMAP = struct HBITMAP__*;
using HMENU = struct HMENU__*;

struct POINT {
  LONG x = 0;
  LONG y = 0;
};
struct SIZE {
  LONG cx = 0;
  LONG cy = 0;
};
struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
};

constexpr WORD LOWORD(DWORD_PTR v) { return static_cast<WORD>(v & 0xffff); }
constexpr WORD HIWORD(DWORD_PTR v) { return static_cast<WORD>((v >> 16) & 0xffff); }
constexpr DWORD MAKELONG(WORD low, WORD high) { return static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16); }
constexpr WPARAM MAKEWPARAM(WORD low, WORD high) { return MAKELONG(low, high); }
constexpr LPARAM MAKELPARAM(WORD low, WORD high) { return static_cast<LPARAM>(MAKELONG(low, high)); }
constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) { return r | (g << 8) | (static_cast<DWORD>(b) << 16); }

// Window messages.
enum : UINT {
  WM_NULL = 0x0000,
  WM_CREATE = 0x0001,
  WM_DESTROY = 0x0002,
  WM_MOVE = 0x0003,
  WM_SIZE = 0x0005,
  WM_ACTIVATE = 0x0006,
  WM_SETFOCUS = 0x0007,
  WM_KILLFOCUS = 0x0008,
  WM_ENABLE = 0x000A,
  WM_SETTEXT = 0x000C,
  WM_GETTEXT = 0x000D,
  WM_GETTEXTLENGTH = 0x000E,
  WM_PAINT = 0x000F,
  WM_CLOSE = 0x0010,
  WM_QUIT = 0x0012,
  WM_SHOWWINDOW = 0x0018,
  WM_COPYDATA = 0x004A,
  WM_NOTIFY = 0x004E,
  WM_NCDESTROY = 0x0082,
  WM_NCLBUTTONDBLCLK = 0x00A3,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_INITDIALOG = 0x0110,
  WM_COMMAND = 0x0111,
  WM_SYSCOMMAND = 0x0112,
  WM_TIMER = 0x0113,
  WM_HSCROLL = 0x0114,
  WM_VSCROLL = 0x0115,
  WM_MOUSEMOVE = 0x0200,
  WM_LBUTTONDOWN = 0x0201,
  WM_LBUTTONUP = 0x0202,
  WM_LBUTTONDBLCLK = 0x0203,
  WM_RBUTTONDOWN = 0x0204,
  WM_RBUTTONUP = 0x0205,
  WM_QUERYNEWPALETTE = 0x030F,
  WM_PALETTECHANGED = 0x0311,
  WM_USER = 0x0400,
  WM_APP = 0x8000,
};
// Private messages of the add-in that the toolkit must carry like any other.
enum : UINT { MSG_GUIDE_PAGE_SHOWN = 0x8002, WM_BRING_TO_TOP_PRIVATE = 0x7101 };

// Dialog and property-sheet messages.
enum : UINT {
  DM_GETDEFID = WM_USER + 0,
  DM_SETDEFID = WM_USER + 1,
  PSM_SETCURSEL = WM_USER + 101,
  PSM_REMOVEPAGE = WM_USER + 102,
  PSM_ADDPAGE = WM_USER + 103,
  PSM_CHANGED = WM_USER + 104,
  PSM_CANCELTOCLOSE = WM_USER + 107,
  PSM_SETTITLE = WM_USER + 111,
  PSM_SETWIZBUTTONS = WM_USER + 112,
  PSM_PRESSBUTTON = WM_USER + 113,
  PSM_GETTABCONTROL = WM_USER + 116,
  PSM_GETCURRENTPAGEHWND = WM_USER + 118,
};
// Tab-control messages (the sheet's tab window).
enum : UINT {
  TCM_FIRST = 0x1300,
  TCM_GETIMAGELIST = TCM_FIRST + 2,
  TCM_SETIMAGELIST = TCM_FIRST + 3,
  TCM_GETITEMCOUNT = TCM_FIRST + 4,
  TCM_GETITEM = TCM_FIRST + 5,
  TCM_SETITEM = TCM_FIRST + 6,
  TCM_GETITEMRECT = TCM_FIRST + 10,
  TCM_GETCURSEL = TCM_FIRST + 11,
  TCM_SETCURSEL = TCM_FIRST + 12,
  TCM_SETITEMSIZE = TCM_FIRST + 41,
  TCM_GETROWCOUNT = TCM_FIRST + 44,
  TCM_SETMINTABWIDTH = TCM_FIRST + 49,
};
enum : UINT { TCIF_TEXT = 0x0001, TCIF_IMAGE = 0x0002, TCIF_PARAM = 0x0008 };
// Static and button image messages.
enum : UINT { STM_SETIMAGE = 0x0172, BM_SETIMAGE = 0x00F7, IMAGE_BITMAP = 0, IMAGE_ICON = 1 };
// Tooltip messages used through SendMessage.
enum : UINT { TTM_RELAYEVENT = WM_USER + 7, TTM_WINDOWFROMPOINT = WM_USER + 16 };

// WM_COMMAND notification codes (HIWORD of wParam).
enum : UINT {
  BN_CLICKED = 0,
  BN_DOUBLECLICKED = 5,
  EN_SETFOCUS = 0x0100,
  EN_KILLFOCUS = 0x0200,
  EN_CHANGE = 0x0300,
  EN_UPDATE = 0x0400,
  CBN_SELCHANGE = 1,
  CBN_DBLCLK = 2,
  CBN_SETFOCUS = 3,
  CBN_KILLFOCUS = 4,
  CBN_EDITCHANGE = 5,
  CBN_EDITUPDATE = 6,
  CBN_SELENDOK = 9,
  LBN_SELCHANGE = 1,
  LBN_DBLCLK = 2,
  CLBN_CHKCHANGE = 40,
  STN_CLICKED = 0,
};

// WM_NOTIFY codes.
constexpr UINT NM_FIRST = 0u;
enum : int {
  NM_CLICK = -2,
  NM_DBLCLK = -3,
  NM_RETURN = -4,
  NM_RCLICK = -5,
  PSN_SETACTIVE = -200,
  PSN_KILLACTIVE = -201,
  PSN_APPLY = -202,
  PSN_RESET = -203,
  PSN_HELP = -205,
  PSN_WIZBACK = -206,
  PSN_WIZNEXT = -207,
  PSN_WIZFINISH = -208,
  PSN_QUERYCANCEL = -209,
  LVN_ITEMCHANGED = -101,
  LVN_COLUMNCLICK = -108,
  LVN_KEYDOWN = -155,
  TVN_SELCHANGED = -402,
  TVN_BEGINDRAG = -407,
  TVN_BEGINLABELEDIT = -410,
  TVN_ENDLABELEDIT = -411,
  TVN_KEYDOWN = -412,
  UDN_DELTAPOS = -722,
  TCN_SELCHANGE = -551,
  TCN_SELCHANGING = -552,
};
constexpr LRESULT PSNRET_NOERROR = 0, PSNRET_INVALID = 1, PSNRET_INVALID_NOCHANGEPAGE = 2;

// Dialog results and standard control ids.
enum : int {
  IDOK = 1,
  IDCANCEL = 2,
  IDABORT = 3,
  IDRETRY = 4,
  IDIGNORE = 5,
  IDYES = 6,
  IDNO = 7,
  IDCLOSE = 8,
  IDHELP = 9,
  IDC_STATIC = -1,
  ID_APPLY_NOW = 0x3021,
  ID_WIZBACK = 0x3023,
  ID_WIZNEXT = 0x3024,
  ID_WIZFINISH = 0x3025,
  AFX_IDC_TAB_CONTROL = 0x3020,
};

// Message-box flags.
enum : UINT {
  MB_OK = 0x0,
  MB_OKCANCEL = 0x1,
  MB_ABORTRETRYIGNORE = 0x2,
  MB_YESNOCANCEL = 0x3,
  MB_YESNO = 0x4,
  MB_RETRYCANCEL = 0x5,
  MB_TYPEMASK = 0xF,
  MB_ICONHAND = 0x10,
  MB_ICONERROR = 0x10,
  MB_ICONSTOP = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONEXCLAMATION = 0x30,
  MB_ICONWARNING = 0x30,
  MB_ICONASTERISK = 0x40,
  MB_ICONINFORMATION = 0x40,
  MB_ICONMASK = 0xF0,
  MB_DEFBUTTON2 = 0x100,
  MB_DEFBUTTON3 = 0x200,
  MB_DEFMASK = 0xF00,
  MB_APPLMODAL = 0x0,
  MB_SYSTEMMODAL = 0x1000,
  MB_TASKMODAL = 0x2000,
};

// Window styles.
enum : DWORD {
  WS_OVERLAPPED = 0x00000000,
  WS_POPUP = 0x80000000,
  WS_CHILD = 0x40000000,
  WS_VISIBLE = 0x10000000,
  WS_DISABLED = 0x08000000,
  WS_CAPTION = 0x00C00000,
  WS_BORDER = 0x00800000,
  WS_SYSMENU = 0x00080000,
  WS_GROUP = 0x00020000,
  WS_TABSTOP = 0x00010000,
  WS_VSCROLL = 0x00200000,
  WS_HSCROLL = 0x00100000,
  WS_EX_CONTROLPARENT = 0x00010000,
  // Button styles.
  BS_PUSHBUTTON = 0x0,
  BS_DEFPUSHBUTTON = 0x1,
  BS_CHECKBOX = 0x2,
  BS_AUTOCHECKBOX = 0x3,
  BS_RADIOBUTTON = 0x4,
  BS_3STATE = 0x5,
  BS_AUTO3STATE = 0x6,
  BS_GROUPBOX = 0x7,
  BS_AUTORADIOBUTTON = 0x9,
  BS_OWNERDRAW = 0xB,
  BS_TYPEMASK = 0xF,
  BS_ICON = 0x40,
  BS_BITMAP = 0x80,
  // Edit styles.
  ES_MULTILINE = 0x4,
  ES_AUTOHSCROLL = 0x80,
  ES_READONLY = 0x800,
  ES_NUMBER = 0x2000,
  // Combo-box styles.
  CBS_SIMPLE = 0x1,
  CBS_DROPDOWN = 0x2,
  CBS_DROPDOWNLIST = 0x3,
  CBS_TYPEMASK = 0x3,
  CBS_SORT = 0x100,
  // List-box styles.
  LBS_NOTIFY = 0x1,
  LBS_SORT = 0x2,
  LBS_MULTIPLESEL = 0x8,
  LBS_OWNERDRAWFIXED = 0x10,
  LBS_HASSTRINGS = 0x40,
  LBS_EXTENDEDSEL = 0x800,
  // Tab control.
  TCS_MULTILINE = 0x0200,
  // List view.
  LVS_REPORT = 0x1,
  LVS_SINGLESEL = 0x4,
  LVS_SHOWSELALWAYS = 0x8,
  LVS_NOCOLUMNHEADER = 0x4000,
  LVS_EX_GRIDLINES = 0x1,
  LVS_EX_FULLROWSELECT = 0x20,
  // Tree view.
  TVS_HASBUTTONS = 0x1,
  TVS_HASLINES = 0x2,
  TVS_LINESATROOT = 0x4,
  TVS_EDITLABELS = 0x8,
};

// ShowWindow commands and SetWindowPos flags.
enum : int { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOW = 5, SW_MINIMIZE = 6, SW_SHOWNA = 8, SW_RESTORE = 9 };
enum : UINT {
  SWP_NOSIZE = 0x1,
  SWP_NOMOVE = 0x2,
  SWP_NOZORDER = 0x4,
  SWP_NOACTIVATE = 0x10,
  SWP_SHOWWINDOW = 0x40,
  SWP_HIDEWINDOW = 0x80,
};
// WM_ACTIVATE states and WM_SIZE types.
enum : UINT { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2, SIZE_RESTORED = 0, SIZE_MINIMIZED = 1 };
// System commands.
enum : UINT { SC_SIZE = 0xF000, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030, SC_CLOSE = 0xF060, SC_RESTORE = 0xF120 };
// Scroll codes.
enum : UINT {
  SB_LINEUP = 0,
  SB_LINEDOWN = 1,
  SB_PAGEUP = 2,
  SB_PAGEDOWN = 3,
  SB_THUMBPOSITION = 4,
  SB_THUMBTRACK = 5,
  SB_TOP = 6,
  SB_BOTTOM = 7,
  SB_ENDSCROLL = 8
};
// Virtual keys the add-in switches on.
enum : UINT {
  VK_RETURN = 0x0D,
  VK_ESCAPE = 0x1B,
  VK_PRIOR = 0x21,
  VK_NEXT = 0x22,
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_INSERT = 0x2D,
  VK_DELETE = 0x2E
};
// PeekMessage flags.
enum : UINT { PM_NOREMOVE = 0x0, PM_REMOVE = 0x1 };
// Check states.
enum : int { BST_UNCHECKED = 0, BST_CHECKED = 1, BST_INDETERMINATE = 2 };
// List and combo results.
enum : int { CB_ERR = -1, LB_ERR = -1 };
// Help commands.
enum : UINT { HELP_CONTEXT = 0x1, HELP_QUIT = 0x2, HELP_FINDER = 0xB };
// Menu flags.
enum : UINT {
  MF_BYCOMMAND = 0x0,
  MF_ENABLED = 0x0,
  MF_UNCHECKED = 0x0,
  MF_STRING = 0x0,
  MF_GRAYED = 0x1,
  MF_DISABLED = 0x2,
  MF_CHECKED = 0x8,
  MF_POPUP = 0x10,
  MF_SEPARATOR = 0x800,
  MF_BYPOSITION = 0x400,
  TPM_LEFTALIGN = 0x0,
  TPM_RIGHTBUTTON = 0x2,
  TPM_RETURNCMD = 0x100,
};
// Wizard buttons.
enum : DWORD { PSWIZB_BACK = 0x1, PSWIZB_NEXT = 0x2, PSWIZB_FINISH = 0x4, PSWIZB_DISABLEDFINISH = 0x8 };
// Property-sheet header and page flags.
enum : DWORD {
  PSH_NOAPPLYNOW = 0x80,
  PSH_HASHELP = 0x200,
  PSH_MODELESS = 0x400,
  PSH_WIZARD = 0x20,
  PSP_DLGINDIRECT = 0x1,
  PSP_HASHELP = 0x20,
};
// Timer ids are the caller's; SetTimer failure returns 0.
struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
};
// Common notification header.
struct NMHDR {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};
// The property-sheet notification: lParam is TRUE when OK (or Finish) caused an apply, FALSE for Apply Now.
struct PSHNOTIFY {
  NMHDR hdr;
  LPARAM lParam = 0;
};
struct NMUPDOWN {
  NMHDR hdr;
  int iPos = 0;
  int iDelta = 0;
};
struct COPYDATASTRUCT {
  UINT_PTR dwData = 0;
  DWORD cbData = 0;
  const void* lpData = nullptr;
};
// List-view notification of a column header click (iSubItem: the column).
struct NMLISTVIEW {
  NMHDR hdr;
  int iItem = -1;
  int iSubItem = 0;
};
// List-view key notification.
struct NMLVKEYDOWN {
  NMHDR hdr;
  WORD wVKey = 0;
  UINT flags = 0;
};
