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
  bool invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& arguments, VARIANT& result) override {
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

// The by-reference arguments of a call, written back once the callee answered.
struct Outputs {
  std::vector<std::pair<std::size_t, void*>> places;  // argument index, the caller's variable
};

// Reads the arguments InvokeHelper was given, by their type bytes.
std::vector<VARIANT> readArguments(const char* params, va_list args, Outputs& outputs) {
  std::vector<VARIANT> values;
  for (const char* p = params ? params : ""; *p; ++p) {
    VARIANT v;
    auto type = static_cast<VARTYPE>(static_cast<unsigned char>(*p));
    v.vt = static_cast<VARTYPE>(type & ~VT_MFCBYREF);
    bool byReference = (type & VT_MFCBYREF) != 0;
    void* place = nullptr;
    switch (v.vt) {
      case VT_I2:
        if (byReference) place = va_arg(args, short*);
        v.lVal = byReference ? (place ? *static_cast<short*>(place) : 0) : static_cast<short>(va_arg(args, int));
        break;
      case VT_I4:
        if (byReference) place = va_arg(args, LONG*);
        v.lVal = byReference ? (place ? *static_cast<LONG*>(place) : 0) : va_arg(args, LONG);
        break;
      case VT_BOOL: v.lVal = va_arg(args, int) ? 1 : 0; break;
      case VT_R8:
        if (byReference) place = va_arg(args, double*);
        v.dblVal = byReference ? (place ? *static_cast<double*>(place) : 0.0) : va_arg(args, double);
        break;
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
      case VT_DISPATCH: v.pointer = va_arg(args, IDispatch*); break;
      default: v.vt = VT_EMPTY; break;
    }
    if (place) outputs.places.emplace_back(values.size(), place);
    values.push_back(v);
  }
  return values;
}

void writeOutputs(const std::vector<VARIANT>& values, const Outputs& outputs) {
  for (const auto& [index, place] : outputs.places) {
    const VARIANT& v = values[index];
    switch (v.vt) {
      case VT_I2: *static_cast<short*>(place) = static_cast<short>(v.lVal); break;
      case VT_I4: *static_cast<LONG*>(place) = v.lVal; break;
      case VT_R8: *static_cast<double*>(place) = v.dblVal; break;
      default: break;
    }
  }
}

// Stores a call's result; a handed-out object nobody takes is released, so no reference leaks.
void storeResult(const VARIANT& value, VARTYPE type, void* result) {
  if (value.vt == VT_DISPATCH && value.pointer && (!result || type != VT_DISPATCH)) {
    static_cast<IDispatch*>(value.pointer)->Release();
    return;
  }
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
    case VT_DISPATCH: *static_cast<void**>(result) = value.vt == VT_DISPATCH ? value.pointer : nullptr; break;
    default: break;
  }
}

void logFailedCall(DISPID dispid, const char* what) {
  mfc::log(mfc::detail::format("warning: call 0x%x is not a member of the %s", static_cast<unsigned>(dispid), what));
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
    window->hosted->attachWindow(window);
  }
  return window->hosted.get();
}

}  // namespace mfc

namespace mfc {

bool HostedControl::fireEvent(DISPID dispid, const std::vector<VARIANT>& arguments) const {
  if (!detail::isLive(window_)) return false;
  CWnd* parent = CWnd::FromHandlePermanent(window_->parent);
  return parent && dispatchEvent(parent, static_cast<UINT>(window_->id), dispid, arguments);
}

bool dispatchEvent(CCmdTarget* target, UINT id, DISPID dispid, const std::vector<VARIANT>& arguments) {
  if (!target) return false;
  for (const EventSinkMap* map = target->GetEventSinkMap(); map; map = map->baseMap ? map->baseMap() : nullptr)
    for (const EventSinkEntry* e = map->entries; e->handler; ++e)
      if (e->id == id && e->dispid == dispid) return e->handler(target, arguments);
  return false;
}

}  // namespace mfc

// ---- counted objects and their drivers ----

ULONG IDispatch::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

COleDispatchDriver::COleDispatchDriver(LPDISPATCH dispatch, BOOL autoRelease)
    : m_lpDispatch(dispatch), m_bAutoRelease(autoRelease) {}

COleDispatchDriver::COleDispatchDriver(const COleDispatchDriver& other) : m_lpDispatch(other.m_lpDispatch) {
  if (m_lpDispatch) m_lpDispatch->AddRef();
}

COleDispatchDriver& COleDispatchDriver::operator=(const COleDispatchDriver& other) {
  if (this == &other) return *this;
  if (other.m_lpDispatch) other.m_lpDispatch->AddRef();
  ReleaseDispatch();
  m_lpDispatch = other.m_lpDispatch;
  m_bAutoRelease = TRUE;
  return *this;
}

COleDispatchDriver::~COleDispatchDriver() { ReleaseDispatch(); }

void COleDispatchDriver::AttachDispatch(LPDISPATCH dispatch, BOOL autoRelease) {
  ReleaseDispatch();
  m_lpDispatch = dispatch;
  m_bAutoRelease = autoRelease;
}

LPDISPATCH COleDispatchDriver::DetachDispatch() {
  LPDISPATCH dispatch = m_lpDispatch;
  m_lpDispatch = nullptr;
  return dispatch;
}

void COleDispatchDriver::ReleaseDispatch() {
  if (m_lpDispatch && m_bAutoRelease) m_lpDispatch->Release();
  m_lpDispatch = nullptr;
}

void COleDispatchDriver::InvokeHelper(DISPID dispid, WORD flags, VARTYPE returnType, void* result, const char* params,
                                      ...) {
  va_list args;
  va_start(args, params);
  Outputs outputs;
  std::vector<VARIANT> arguments = readArguments(params, args, outputs);
  va_end(args);
  VARIANT value;
  if (!m_lpDispatch || !m_lpDispatch->Invoke(dispid, flags, arguments, value)) {
    logFailedCall(dispid, "automation object");
    storeResult(value, VT_EMPTY, nullptr);
    return;
  }
  writeOutputs(arguments, outputs);
  storeResult(value, returnType, result);
}

void CWnd::InvokeHelper(LONG dispid, WORD flags, unsigned short returnType, void* result, const char* params, ...) {
  va_list args;
  va_start(args, params);
  Outputs outputs;
  std::vector<VARIANT> arguments = readArguments(params, args, outputs);
  va_end(args);
  mfc::HostedControl* control = mfc::hostedControl(m_hWnd);
  VARIANT value;
  if (!control || !control->invoke(dispid, flags, arguments, value)) {
    logFailedCall(dispid, "hosted control");
    storeResult(value, VT_EMPTY, nullptr);
    return;
  }
  writeOutputs(arguments, outputs);
  storeResult(value, returnType, result);
}
