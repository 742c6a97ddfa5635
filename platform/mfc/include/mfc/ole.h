// Hosting outside (ActiveX) controls: a window whose class is a class id ("{...}", from a
// CUSTOM template control or CWnd::CreateControl) gets the implementation registered for that
// id, and CWnd::InvokeHelper calls it by dispatch id. A class id nobody registered gets a
// property store: a property put keeps the value under its dispatch id and a property get returns
// it (empty before), so a control whose own stand-in does not exist yet still holds its texts.
// Nothing here throws on a failed call: InvokeHelper logs it and leaves the result alone.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

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
#define VTS_VARIANT "\x0C"  // const VARIANT*
#define VTS_PI2 "\x42"
#define VTS_PI4 "\x43"
#define VTS_PR8 "\x45"
#define VTS_PBSTR "\x48"  // BSTR*
#define VTS_NONE ""

// A value passed to or returned from a hosted control. Owns its string (copy and assign copy it).
struct VARIANT {
  VARTYPE vt = VT_EMPTY;
  LONG lVal = 0;            // VT_I2, VT_I4, VT_BOOL
  double dblVal = 0.0;      // VT_R8
  std::wstring text;        // VT_BSTR
  void* pointer = nullptr;  // VT_DISPATCH
};

namespace mfc {

// The behaviour of one hosted control instance.
class HostedControl {
 public:
  virtual ~HostedControl() = default;
  // Carries out a call; false when the control has no such member (logged by the caller).
  virtual bool invoke(DISPID dispid, WORD flags, const std::vector<VARIANT>& arguments, VARIANT& result) = 0;
};

// Registers the implementation made for windows of class `classId` (later registrations win).
void registerHostedControl(const std::string& classId, std::function<std::unique_ptr<HostedControl>()> factory);
// The implementation behind a hosted window, or null for any other window.
HostedControl* hostedControl(HWND window);

}  // namespace mfc
