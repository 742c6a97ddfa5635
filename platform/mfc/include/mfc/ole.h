// Hosting outside (ActiveX) controls: a window whose class is a class id ("{...}", from a
// CUSTOM template control or CWnd::CreateControl) gets the implementation registered for that
// id, and CWnd::InvokeHelper calls it by dispatch id. A class id nobody registered gets a
// property store: a property put keeps the value under its dispatch id and a property get returns
// it (empty before), so a control whose own stand-in does not exist yet still holds its texts.
// Nothing here throws on a failed call: InvokeHelper logs it and leaves the result alone.
//
// A control's sub-objects are counted automation objects (IDispatch) handed out as VT_DISPATCH
// values; COleDispatchDriver holds one reference to such an object and calls it by dispatch id.
// A control fires events to its parent window, whose event-sink map (ON_EVENT) routes them.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "mfc/cmdtarget.h"

#include "mfc/wintypes.h"

using OLECHAR = wchar_t;
using BSTR = OLECHAR*;
using DISPID = LONG;
using VARTYPE = unsigned short;

// Strings with their length kept before the text; null is the empty string.
BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);

enum : VARTYPE {
  VT_EMPTY = 0,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R8 = 5,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_MFCBYREF = 0x40
};
enum : WORD { DISPATCH_METHOD = 0x1, DISPATCH_PROPERTYGET = 0x2, DISPATCH_PROPERTYPUT = 0x4 };

// Parameter lists for InvokeHelper, one type byte per argument.
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"  // LONG (32 bits)
#define VTS_R8 "\x05"
#define VTS_BSTR "\x08"  // const char*
#define VTS_BOOL "\x0B"
#define VTS_VARIANT "\x0C"   // const VARIANT*
#define VTS_DISPATCH "\x09"  // LPDISPATCH (the callee adds its own reference when it keeps it)
#define VTS_PI2 "\x42"
#define VTS_PI4 "\x43"
#define VTS_PR8 "\x45"
#define VTS_PBSTR "\x48"  // BSTR*
#define VTS_NONE ""

// A value passed to or returned from a hosted control. Owns its string (copy and assign copy it).
// A VT_DISPATCH pointer is not counted by the VARIANT: a result holds the one reference the
// callee handed out, which the receiver (InvokeHelper's caller) then owns.
struct VARIANT {
  VARTYPE vt = VT_EMPTY;
  LONG lVal = 0;            // VT_I2, VT_I4, VT_BOOL
  double dblVal = 0.0;      // VT_R8
  std::wstring text;        // VT_BSTR
  void* pointer = nullptr;  // VT_DISPATCH: an IDispatch*
};

// A counted automation object. It starts with one reference, held by whoever made it; Release
// deletes it when the last reference goes.
class IDispatch {
 public:
  IDispatch() = default;
  IDispatch(const IDispatch&) = delete;
  IDispatch& operator=(const IDispatch&) = delete;
  ULONG AddRef() { return ++references_; }
  ULONG Release();
  // Carries out a call; false when the object has no such member or the arguments do not fit.
  // By-reference arguments are written back into `arguments`.
  virtual bool Invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& arguments, VARIANT& result) = 0;

 protected:
  virtual ~IDispatch() = default;

 private:
  ULONG references_ = 1;
};
using LPDISPATCH = IDispatch*;

// A driver over one counted automation object. Destroying or re-attaching it releases the
// reference it holds (when auto-release is on); copying adds a reference.
class COleDispatchDriver {
 public:
  COleDispatchDriver() = default;
  explicit COleDispatchDriver(LPDISPATCH dispatch, BOOL autoRelease = TRUE);
  COleDispatchDriver(const COleDispatchDriver& other);
  COleDispatchDriver& operator=(const COleDispatchDriver& other);
  virtual ~COleDispatchDriver();

  void AttachDispatch(LPDISPATCH dispatch, BOOL autoRelease = TRUE);
  LPDISPATCH DetachDispatch();
  void ReleaseDispatch();
  // Calls member `dispid` as CWnd::InvokeHelper does; a call without an object is logged.
  void InvokeHelper(DISPID dispid, WORD flags, VARTYPE returnType, void* result, const char* params, ...);

  LPDISPATCH m_lpDispatch = nullptr;
  BOOL m_bAutoRelease = TRUE;
};

namespace mfc {

// The mouse input a hosted control receives (the "@mouse" action line).
enum class MouseAction { Down, Move, Up, DoubleClick };

// The behaviour of one hosted control instance.
class HostedControl {
 public:
  virtual ~HostedControl() = default;
  // Carries out a call; false when the control has no such member (logged by the caller).
  // By-reference arguments are written back into `arguments`.
  virtual bool invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& arguments, VARIANT& result) = 0;
  // Mouse input at (x, y) in the control's client pixels; false when the control takes none.
  virtual bool mouse(MouseAction /*action*/, int /*x*/, int /*y*/, bool /*shift*/) { return false; }
  // The control's picture as a PNG file; false (with the reason) when it has none.
  virtual bool savePicture(const std::string& /*path*/, std::string& error) {
    error = "the control has no picture";
    return false;
  }
  // The window the control lives in (set when the control is made for it).
  HWND window() const { return window_; }
  void attachWindow(HWND window) { window_ = window; }

 protected:
  // Sends event `dispid` to the parent window's event-sink map; false when nothing handled it.
  bool fireEvent(DISPID dispid, const std::vector<VARIANT>& arguments) const;

 private:
  HWND window_ = nullptr;
};

// Registers the implementation made for windows of class `classId` (later registrations win).
void registerHostedControl(const std::string& classId, std::function<std::unique_ptr<HostedControl>()> factory);
// The implementation behind a hosted window, or null for any other window.
HostedControl* hostedControl(HWND window);

// Event-sink maps: a window that hosts controls routes their events by control id and event
// dispatch id to handlers, which take the event's arguments by their declared types.
using EventHandler = bool (*)(CCmdTarget* target, const std::vector<VARIANT>& arguments);
struct EventSinkEntry {
  UINT id;
  DISPID dispid;
  EventHandler handler;
};
struct EventSinkMap {
  const EventSinkMap* (*baseMap)();
  const EventSinkEntry* entries;
};

template <class T>
T fromVariant(const VARIANT& value) {
  if constexpr (std::is_floating_point_v<T>)
    return static_cast<T>(value.vt == VT_R8 ? value.dblVal : value.lVal);
  else
    return static_cast<T>(value.vt == VT_R8 ? static_cast<LONG>(value.dblVal) : value.lVal);
}

template <class Target, class Result, class... Args, std::size_t... I>
void callWithArguments(Target* target, Result (Target::*handler)(Args...), const std::vector<VARIANT>& arguments,
                       std::index_sequence<I...>) {
  (target->*handler)(fromVariant<std::decay_t<Args>>(arguments[I])...);
}

// Calls `handler` with the event's arguments; false when their number does not fit.
template <class Target, class Result, class... Args>
bool callEventHandler(Target* target, Result (Target::*handler)(Args...), const std::vector<VARIANT>& arguments) {
  if (arguments.size() != sizeof...(Args)) return false;
  callWithArguments(target, handler, arguments, std::index_sequence_for<Args...>{});
  return true;
}

// Routes an event of control `id` through the target's event-sink map (its class's, then its
// bases'); false when no entry takes it.
bool dispatchEvent(CCmdTarget* target, UINT id, DISPID dispid, const std::vector<VARIANT>& arguments);

}  // namespace mfc

// In the class: DECLARE_EVENTSINK_MAP(). In the source: BEGIN_EVENTSINK_MAP(Class, Base),
// ON_EVENT(Class, id, dispid, Handler, VTS_...) lines, END_EVENTSINK_MAP().
#define DECLARE_EVENTSINK_MAP()                          \
 protected:                                              \
  static const mfc::EventSinkMap* GetThisEventSinkMap(); \
  const mfc::EventSinkMap* GetEventSinkMap() const override;

#define BEGIN_EVENTSINK_MAP(theClass, baseClass)                                               \
  const mfc::EventSinkMap* theClass::GetEventSinkMap() const { return GetThisEventSinkMap(); } \
  const mfc::EventSinkMap* theClass::GetThisEventSinkMap() {                                   \
    using TheBaseClass = baseClass;                                                            \
    static const mfc::EventSinkEntry entries[] = {
#define ON_EVENT(theClass, id, dispid, handler, params)                                             \
  {static_cast<UINT>(id), static_cast<DISPID>(dispid),                                              \
   [](CCmdTarget* target_, const std::vector<VARIANT>& arguments_) {                                \
     return mfc::callEventHandler(static_cast<theClass*>(target_), &theClass::handler, arguments_); \
   }},
#define END_EVENTSINK_MAP()                                                           \
  { 0, 0, nullptr }                                                                   \
  }                                                                                   \
  ;                                                                                   \
  static const mfc::EventSinkMap map = {&TheBaseClass::GetThisEventSinkMap, entries}; \
  return &map;                                                                        \
  }

namespace mfc {}  // namespace mfc
