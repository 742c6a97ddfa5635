#include "cadInterface/CadResources.h"

#include <vector>

#include "amg/CaeConfig.h"
#include "cadInterface/CadInterface.h"
#include "mfc/afx.h"

namespace {

HINSTANCE resourceModule = nullptr;
HINSTANCE loadTimeHandle = nullptr;
HINSTANCE stringHandle = nullptr;
int nestingCount = 0;

// Strings longer than this are cut, as the fixed buffers of the resource calls do.
constexpr int kStringBufferSize = 256;

CaeString ConfiguredFolder(const char* name) {
  CaeString folder;
  CaeConfig::GetValue(1, name, folder);
  return folder;
}

void SetBothHandles(HINSTANCE handle) {
  AFX_MODULE_STATE* state = AfxGetModuleState();
  state->m_hCurrentResourceHandle = handle;
  state->m_hCurrentInstanceHandle = handle;
}

// Drops one trailing "\r\n"; a lone "\n" stays.
void TrimMessageEnd(std::string& text) {
  if (text.size() >= 2 && text.back() == '\n' && text[text.size() - 2] == '\r') text.resize(text.size() - 2);
}

}  // namespace

CaeString resResourceModuleName() {
  CaeString name;
  if (CaeConfig::GetValue("Common Directory", 1)) name = ConfiguredFolder("Common Directory") + "\\res\\";
  name += "ZqFEA_";
  name += CaeConfig::GetOndrelLocale();
  return name;
}

HINSTANCE resLoadResourceModule() {
  const CaeString name = resResourceModuleName();
  if (name.Length() >= 260) return nullptr;  // the loader's path limit
  return LoadLibraryA(name.c_str());
}

void resSetModuleState(HINSTANCE module, HINSTANCE loadTime) {
  resourceModule = module;
  stringHandle = module;
  loadTimeHandle = loadTime;
}

void resResetModuleState() {
  resourceModule = nullptr;
  stringHandle = nullptr;
  loadTimeHandle = nullptr;
  nestingCount = 0;
}

ResourceSetter::ResourceSetter(int selector)
    : savedResource_(AfxGetModuleState()->m_hCurrentResourceHandle),
      savedInstance_(AfxGetModuleState()->m_hCurrentInstanceHandle) {
  SetBothHandles(selector == 1 ? resourceModule : loadTimeHandle);
  ++nestingCount;
}

ResourceSetter::~ResourceSetter() {
  --nestingCount;
  Restore();
}

void ResourceSetter::Restore() {
  AFX_MODULE_STATE* state = AfxGetModuleState();
  state->m_hCurrentResourceHandle = savedResource_;
  state->m_hCurrentInstanceHandle = savedInstance_;
}

int ResourceSetter::NestingCount() { return nestingCount; }

HINSTANCE ResourceSetter::ResourceModule() { return resourceModule; }

HINSTANCE ResourceSetter::UseResourceModule() {
  const HINSTANCE previous = AfxGetResourceHandle();
  AfxSetResourceHandle(resourceModule);
  return previous;
}

void ResourceSetter::SetResourceHandle(HINSTANCE handle) { AfxSetResourceHandle(handle); }

CaeString& resLoadString(CaeString& text, unsigned id) {
  char buffer[kStringBufferSize];
  const int length = stringHandle ? LoadStringA(stringHandle, id, buffer, kStringBufferSize) : 0;
  text = CaeString(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
  return text;
}

CaeString resLoadString(unsigned id) {
  CaeString text;
  return resLoadString(text, id);
}

CaeString resEngineMessageText(std::uint32_t code, const CaeArray<CaeString>* args) {
  std::vector<DWORD_PTR> inserts;
  if (args) {
    for (int i = 0; i < args->Count(); ++i) inserts.push_back(reinterpret_cast<DWORD_PTR>((*args)[i].c_str()));
  }
  char* block = nullptr;
  const DWORD flags = FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER;
  const DWORD length = stringHandle ? FormatMessageA(flags, stringHandle, code, 0, reinterpret_cast<LPSTR>(&block), 0,
                                                     inserts.empty() ? nullptr : inserts.data())
                                    : 0;
  if (length > 0 && block) {
    std::string text(block, length);
    LocalFree(block);
    TrimMessageEnd(text);
    return CaeString(text);
  }
  if (block) LocalFree(block);
  // String ids are 16 bits: an engine code above them (its severity bits set) names no string.
  constexpr std::uint32_t kHighestStringId = 0xFFFF;
  if (args || code > kHighestStringId) return CaeString();
  return resLoadString(code);
}

CaeString resHelpFileName() {
  CaeString prefix;
  if (CaeConfig::GetValue("Root Directory", 1)) {
    CString cadName;
    if (CadInterface* cad = CadInterface::GetCurrent()) cad->GetCadName(cadName);
    prefix = ConfiguredFolder("Root Directory") + "\\" + CaeString(static_cast<const char*>(cadName)) + "\\Help\\";
  }
  prefix += "ZqFEA_";
  char language[4] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, language, sizeof language);
  const CaeString localised = prefix + language + ".hlp";
  if (_access(localised.c_str(), 0) == 0) return localised;
  return prefix + "ENU.hlp";
}

void UIShowHelp(DWORD_PTR data, UINT command) {
  CWnd* main = AfxGetMainWnd();
  WinHelpA(main ? main->GetSafeHwnd() : nullptr, resHelpFileName().c_str(), command, data);
}
