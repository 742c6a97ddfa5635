// CCmdTarget and message maps: handler tables that route a window message (or a command or
// notification from a control) to a member function of the window's class.
//
// Maps are declared with DECLARE_MESSAGE_MAP() in the class and defined with
// BEGIN_MESSAGE_MAP(Class, Base) ... END_MESSAGE_MAP(). Handlers are named bare, as in
// ON_BN_CLICKED(IDC_ADD, OnAdd). Lookup walks the class's map, then its base's, and stops at the
// first entry that matches (message; for WM_COMMAND also the notification code and control id;
// for WM_NOTIFY the notification code and the sender's id).
#pragma once
#include "mfc/wintypes.h"

class CCmdTarget;
class CWnd;
namespace mfc {
struct EventSinkMap;
}
class CScrollBar;
class CPoint;
struct CREATESTRUCT;

// The message being dispatched, as a handler thunk sees it.
struct AfxMessage {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  LRESULT* result = nullptr;
};
using AfxHandler = void (*)(CCmdTarget* target, const AfxMessage& msg);

struct AFX_MSGMAP_ENTRY {
  UINT message;
  UINT code;    // WM_COMMAND: notification code; WM_NOTIFY: notification code
  UINT id;      // first control id (WM_COMMAND, WM_NOTIFY)
  UINT lastId;  // last control id of the range
  AfxHandler handler;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Reflected notifications: a control's own map sees its parent's WM_NOTIFY / WM_COMMAND first.
constexpr UINT WM_REFLECT_BASE = 0xBC00;

class CCmdTarget {
 public:
  virtual ~CCmdTarget() = default;
  // Calls the first matching handler; false when the map has none.
  bool DispatchToMap(UINT message, UINT code, UINT id, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // The event-sink map of hosted controls' events (ole.h); the base has none.
  static const mfc::EventSinkMap* GetThisEventSinkMap() { return nullptr; }
  virtual const mfc::EventSinkMap* GetEventSinkMap() const { return nullptr; }

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

#define DECLARE_MESSAGE_MAP()                   \
 protected:                                     \
  static const AFX_MSGMAP* GetThisMessageMap(); \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
    using ThisClass [[maybe_unused]] = theClass;                                    \
    using TheBaseClass = baseClass;                                                 \
    static const AFX_MSGMAP_ENTRY entries[] = {
#define END_MESSAGE_MAP()                                                    \
  { 0, 0, 0, 0, nullptr }                                                    \
  }                                                                          \
  ;                                                                          \
  static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
  return &map;                                                               \
  }

#define AFX_MAP_ENTRY(msg, code, id, lastId, call)                                                    \
  {static_cast<UINT>(msg), static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(lastId), \
   [](CCmdTarget* target_, const AfxMessage& m_) {                                                    \
     ThisClass* self_ = static_cast<ThisClass*>(target_);                                             \
     (void)m_;                                                                                        \
     call;                                                                                            \
   }},

// Commands and control notifications (WM_COMMAND).
#define ON_COMMAND(id, fn) AFX_MAP_ENTRY(WM_COMMAND, 0, id, id, self_->fn())
#define ON_COMMAND_RANGE(id, lastId, fn) AFX_MAP_ENTRY(WM_COMMAND, 0, id, lastId, self_->fn(LOWORD(m_.wParam)))
#define ON_CONTROL(code, id, fn) AFX_MAP_ENTRY(WM_COMMAND, code, id, id, self_->fn())
#define ON_CONTROL_RANGE(code, id, lastId, fn) AFX_MAP_ENTRY(WM_COMMAND, code, id, lastId, self_->fn(LOWORD(m_.wParam)))
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_DOUBLECLICKED(id, fn) ON_CONTROL(BN_DOUBLECLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_EN_SETFOCUS(id, fn) ON_CONTROL(EN_SETFOCUS, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_CBN_EDITCHANGE(id, fn) ON_CONTROL(CBN_EDITCHANGE, id, fn)
#define ON_CBN_KILLFOCUS(id, fn) ON_CONTROL(CBN_KILLFOCUS, id, fn)
#define ON_CBN_SELENDOK(id, fn) ON_CONTROL(CBN_SELENDOK, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)
#define ON_CLBN_CHKCHANGE(id, fn) ON_CONTROL(CLBN_CHKCHANGE, id, fn)
// Notifications (WM_NOTIFY): handler(NMHDR*, LRESULT*).
#define ON_NOTIFY(code, id, fn) \
  AFX_MAP_ENTRY(WM_NOTIFY, code, id, id, self_->fn(reinterpret_cast<NMHDR*>(m_.lParam), m_.result))
#define ON_NOTIFY_RANGE(code, id, lastId, fn) \
  AFX_MAP_ENTRY(                              \
      WM_NOTIFY, code, id, lastId,            \
      self_->fn(reinterpret_cast<NMHDR*>(m_.lParam)->idFrom, reinterpret_cast<NMHDR*>(m_.lParam), m_.result))
#define ON_NOTIFY_REFLECT(code, fn)                                \
  AFX_MAP_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, code, 0, 0xFFFFFFFFu, \
                self_->fn(reinterpret_cast<NMHDR*>(m_.lParam), m_.result))
// Any message: LRESULT handler(WPARAM, LPARAM).
#define ON_MESSAGE(msg, fn) AFX_MAP_ENTRY(msg, 0, 0, 0, *m_.result = self_->fn(m_.wParam, m_.lParam))
// Window messages with their cracked arguments.
#define ON_WM_TIMER() AFX_MAP_ENTRY(WM_TIMER, 0, 0, 0, self_->OnTimer(static_cast<UINT_PTR>(m_.wParam)))
#define ON_WM_PAINT() AFX_MAP_ENTRY(WM_PAINT, 0, 0, 0, self_->OnPaint())
#define ON_WM_CLOSE() AFX_MAP_ENTRY(WM_CLOSE, 0, 0, 0, self_->OnClose())
#define ON_WM_DESTROY() AFX_MAP_ENTRY(WM_DESTROY, 0, 0, 0, self_->OnDestroy())
#define ON_WM_CREATE() \
  AFX_MAP_ENTRY(WM_CREATE, 0, 0, 0, *m_.result = self_->OnCreate(reinterpret_cast<CREATESTRUCT*>(m_.lParam)))
#define ON_WM_SIZE()                                                                               \
  AFX_MAP_ENTRY(WM_SIZE, 0, 0, 0,                                                                  \
                self_->OnSize(static_cast<UINT>(m_.wParam), static_cast<short>(LOWORD(m_.lParam)), \
                              static_cast<short>(HIWORD(m_.lParam))))
#define ON_WM_MOVE()              \
  AFX_MAP_ENTRY(WM_MOVE, 0, 0, 0, \
                self_->OnMove(static_cast<short>(LOWORD(m_.lParam)), static_cast<short>(HIWORD(m_.lParam))))
#define ON_WM_ACTIVATE()    \
  AFX_MAP_ENTRY(            \
      WM_ACTIVATE, 0, 0, 0, \
      self_->OnActivate(LOWORD(m_.wParam), CWnd::FromHandle(reinterpret_cast<HWND>(m_.lParam)), HIWORD(m_.wParam)))
#define ON_WM_HSCROLL()                                                \
  AFX_MAP_ENTRY(WM_HSCROLL, 0, 0, 0,                                   \
                self_->OnHScroll(LOWORD(m_.wParam), HIWORD(m_.wParam), \
                                 reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(m_.lParam)))))
#define ON_WM_VSCROLL()                                                \
  AFX_MAP_ENTRY(WM_VSCROLL, 0, 0, 0,                                   \
                self_->OnVScroll(LOWORD(m_.wParam), HIWORD(m_.wParam), \
                                 reinterpret_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(m_.lParam)))))
#define ON_WM_QUERYNEWPALETTE() AFX_MAP_ENTRY(WM_QUERYNEWPALETTE, 0, 0, 0, *m_.result = self_->OnQueryNewPalette())
#define ON_WM_PALETTECHANGED()              \
  AFX_MAP_ENTRY(WM_PALETTECHANGED, 0, 0, 0, \
                self_->OnPaletteChanged(CWnd::FromHandle(reinterpret_cast<HWND>(m_.wParam))))
#define ON_WM_COPYDATA()                                                                            \
  AFX_MAP_ENTRY(WM_COPYDATA, 0, 0, 0,                                                               \
                *m_.result = self_->OnCopyData(CWnd::FromHandle(reinterpret_cast<HWND>(m_.wParam)), \
                                               reinterpret_cast<COPYDATASTRUCT*>(m_.lParam)))
#define ON_WM_SYSCOMMAND() \
  AFX_MAP_ENTRY(WM_SYSCOMMAND, 0, 0, 0, self_->OnSysCommand(static_cast<UINT>(m_.wParam), m_.lParam))
#define ON_WM_KEYUP() \
  AFX_MAP_ENTRY(WM_KEYUP, 0, 0, 0, self_->OnKeyUp(static_cast<UINT>(m_.wParam), LOWORD(m_.lParam), HIWORD(m_.lParam)))
#define ON_WM_KEYDOWN()              \
  AFX_MAP_ENTRY(WM_KEYDOWN, 0, 0, 0, \
                self_->OnKeyDown(static_cast<UINT>(m_.wParam), LOWORD(m_.lParam), HIWORD(m_.lParam)))
#define AFX_MOUSE_ENTRY(msg, fn)                        \
  AFX_MAP_ENTRY(msg, 0, 0, 0,                           \
                self_->fn(static_cast<UINT>(m_.wParam), \
                          CPoint(static_cast<short>(LOWORD(m_.lParam)), static_cast<short>(HIWORD(m_.lParam)))))
#define ON_WM_MOUSEMOVE() AFX_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_NCLBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
