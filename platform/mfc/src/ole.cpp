#include "mfc/ole.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "mfc/log.h"
#include "mfc/wnd.h"
#include "text_format.h"
#include "window_internal.h"

// ---- strings ----

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  auto* block = static_cast<unsigned char*>(std::malloc(sizeof(UINT) + (length + 1) * sizeof(OLECHAR)));
  std::memcpy(block, &length, sizeof(UINT));
  auto* chars = reinterpret_cast<OLECHAR*>(block + sizeof(UINT));
  if (text)
    std::memcpy(chars, text, length * sizeof(OLECHAR));
  else
    std::memset(chars, 0, length * sizeof(OLECHAR));
  chars[length] = 0;
  return chars;
}

BSTR SysAllocString(const OLECHAR* text) {
  return text ? SysAllocStringLen(text, static_cast<UINT>(std::wcslen(text))) : nullptr;
}

void SysFreeString(BSTR text) {
  if (text) std::free(reinterpret_cast<unsigned char*>(text) - sizeof(UINT));
}

UINT SysStringLen(BSTR text) {
  if (!text) return 0;
  UINT length;
  std::memcpy(&length, reinterpret_cast<unsigned char*>(text) - sizeof(UINT), sizeof(UINT));
  return length;
}

// ---- hosting ----

namespace {

std::mutex hostingMutex;
std::map<std::string, std::function<std::unique_ptr<mfc::HostedControl>()>>& factories() {
  static std::map<std::string, std::function<std::unique_ptr<mfc::HostedControl>()>> all;
  return all;
}

// The stand-in for a control nobody registered: properties by dispatch id.
class PropertyStore : public mfc::HostedControl {
 public:
  bool invoke(DISPID dispid, WORD flags, const std::vector<VARIANT>& arguments, VARIANT& result) override {
    if ((flags & DISPATCH_PROPERTYPUT) && arguments.size() == 1) {
      properties_[dispid] = arguments[0];
      return true;
    }
    if ((flags & DISPATCH_PROPERTYGET) && arguments.empty()) {
      auto it = properties_.find(dispid);
      result = it == properties_.end() ? VARIANT{} : it->second;
      return true;
    }
    return false;
  }

 private:
  std::map<DISPID, VARIANT> properties_;
};

std::wstring widen(const char* text) {
  std::wstring wide;
  for (const char* p = text ? text : ""; *p; ++p) wide += static_cast<wchar_t>(static_cast<unsigned char>(*p));
  return wide;
}

// Reads the arguments InvokeHelper was given, by their type bytes.
std::vector<VARIANT> readArguments(const char* params, va_list args) {
  std::vector<VARIANT> values;
  for (const char* p = params ? params : ""; *p; ++p) {
    VARIANT v;
    auto type = static_cast<VARTYPE>(static_cast<unsigned char>(*p));
    v.vt = static_cast<VARTYPE>(type & ~VT_MFCBYREF);
    bool byReference = (type & VT_MFCBYREF) != 0;
    switch (v.vt) {
      case VT_I2: v.lVal = byReference ? *va_arg(args, short*) : static_cast<short>(va_arg(args, int)); break;
      case VT_I4: v.lVal = byReference ? *va_arg(args, LONG*) : va_arg(args, LONG); break;
      case VT_BOOL: v.lVal = va_arg(args, int) ? 1 : 0; break;
      case VT_R8: v.dblVal = byReference ? *va_arg(args, double*) : va_arg(args, double); break;
      case VT_BSTR:
        if (byReference) {
          BSTR* text = va_arg(args, BSTR*);
          v.text = text && *text ? std::wstring(*text, SysStringLen(*text)) : std::wstring();
        } else {
          v.text = widen(va_arg(args, const char*));
        }
        break;
      case VT_VARIANT: {
        const VARIANT* given = va_arg(args, const VARIANT*);
        v = given ? *given : VARIANT{};
        break;
      }
      default: v.vt = VT_EMPTY; break;
    }
    values.push_back(v);
  }
  return values;
}

void storeResult(const VARIANT& value, VARTYPE type, void* result) {
  if (!result) return;
  switch (type) {
    case VT_I2: *static_cast<short*>(result) = static_cast<short>(value.lVal); break;
    case VT_I4: *static_cast<LONG*>(result) = value.lVal; break;
    case VT_BOOL: *static_cast<BOOL*>(result) = value.lVal ? TRUE : FALSE; break;
    case VT_R8: *static_cast<double*>(result) = value.dblVal; break;
    case VT_BSTR:
      *static_cast<BSTR*>(result) = SysAllocStringLen(value.text.c_str(), static_cast<UINT>(value.text.size()));
      break;
    case VT_VARIANT: *static_cast<VARIANT*>(result) = value; break;
    case VT_DISPATCH: *static_cast<void**>(result) = value.pointer; break;
    default: break;
  }
}

}  // namespace

namespace mfc {

void registerHostedControl(const std::string& classId, std::function<std::unique_ptr<HostedControl>()> factory) {
  std::lock_guard lock(hostingMutex);
  factories()[classId] = std::move(factory);
}

HostedControl* hostedControl(HWND window) {
  if (!detail::isLive(window) || window->kind != WindowKind::Hosted) return nullptr;
  if (!window->hosted) {
    std::function<std::unique_ptr<HostedControl>()> factory;
    {
      std::lock_guard lock(hostingMutex);
      auto it = factories().find(window->className);
      if (it != factories().end()) factory = it->second;
    }
    window->hosted = factory ? factory() : std::make_unique<PropertyStore>();
  }
  return window->hosted.get();
}

}  // namespace mfc

void CWnd::InvokeHelper(LONG dispid, WORD flags, unsigned short returnType, void* result, const char* params, ...) {
  va_list args;
  va_start(args, params);
  std::vector<VARIANT> arguments = readArguments(params, args);
  va_end(args);
  mfc::HostedControl* control = mfc::hostedControl(m_hWnd);
  VARIANT value;
  if (!control || !control->invoke(dispid, flags, arguments, value)) {
    mfc::log(
        mfc::detail::format("warning: call 0x%x is not a member of the hosted control", static_cast<unsigned>(dispid)));
    return;
  }
  storeResult(value, returnType, result);
}
