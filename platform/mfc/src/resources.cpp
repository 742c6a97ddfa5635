#include "mfc/resources.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "kestrum/text.h"
#include "mfc/gdi.h"
#include "mfc/log.h"
#include "text_format.h"

namespace fs = std::filesystem;

struct HINSTANCE__ {
  std::shared_ptr<const mfc::ResourceModule> module;
  std::string name;
  std::string file;
  int references = 1;
  // The bytes of dialog and bitmap resources handed out, kept while the module is loaded.
  std::map<UINT, std::string> dialogBytes;
  std::map<std::string, std::string> bitmapBytes;
};

namespace mfc {
namespace {

constexpr const char* kModuleHeader = "KESTRUM-RESOURCES 1";

struct Registry {
  std::recursive_mutex mutex;
  std::vector<std::unique_ptr<HINSTANCE__>> live;
  std::vector<fs::path> searchPath;
  std::vector<HINSTANCE> extensionChain;
};

Registry& registry() {
  static Registry r;
  return r;
}

thread_local DWORD lastError = 0;

HINSTANCE findLive(HINSTANCE handle) {
  for (auto& h : registry().live)
    if (h.get() == handle) return h.get();
  return nullptr;
}

std::string normalisePath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::vector<fs::path> candidates(const std::string& name) {
  std::string path = normalisePath(name);
  std::vector<std::string> forms;
  if (fs::path(path).extension().empty()) forms.push_back(path + ".dll");
  forms.push_back(path);
  std::vector<fs::path> result;
  bool hasFolder = path.find('/') != std::string::npos;
  for (const std::string& form : forms) {
    if (hasFolder) {
      result.emplace_back(form);
    } else {
      for (const fs::path& folder : registry().searchPath) result.push_back(folder / form);
      result.emplace_back(form);
    }
  }
  return result;
}

}  // namespace

void setLibrarySearchPath(std::vector<fs::path> folders) {
  std::lock_guard lock(registry().mutex);
  registry().searchPath = std::move(folders);
}

HINSTANCE registerModule(std::shared_ptr<const ResourceModule> module, const std::string& name) {
  std::lock_guard lock(registry().mutex);
  auto handle = std::make_unique<HINSTANCE__>();
  handle->module = std::move(module);
  handle->name = name;
  registry().live.push_back(std::move(handle));
  return registry().live.back().get();
}

std::shared_ptr<const ResourceModule> moduleOf(HINSTANCE handle) {
  std::lock_guard lock(registry().mutex);
  HINSTANCE live = findLive(handle);
  return live ? live->module : nullptr;
}

std::string moduleFileName(HINSTANCE handle) {
  std::lock_guard lock(registry().mutex);
  HINSTANCE live = findLive(handle);
  return live ? live->file : std::string();
}

std::string loadResourceString(HINSTANCE handle, UINT id, bool* found) {
  auto module = moduleOf(handle);
  const std::string* text = module ? module->string(id) : nullptr;
  if (found) *found = text != nullptr;
  if (!text) {
    log("warning: string " + std::to_string(id) + " is not in the resource module");
    return {};
  }
  return *text;
}

bool resolveId(const std::string& text, int& id) {
  if (auto number = detail::parseLong(text);
      number && !text.empty() && text.find_first_of(" \t") == std::string::npos) {
    id = static_cast<int>(*number);
    return true;
  }
  std::vector<std::shared_ptr<const ResourceModule>> modules;
  {
    std::lock_guard lock(registry().mutex);
    if (HINSTANCE current = findLive(AfxGetResourceHandle())) modules.push_back(current->module);
    for (auto& h : registry().live) modules.push_back(h->module);
  }
  for (auto& module : modules)
    if (module && module->idOfName(text, id)) return true;
  return ResourceModule().idOfName(text, id);
}

}  // namespace mfc

using mfc::registry;

DWORD GetLastError() { return mfc::lastError; }
void SetLastError(DWORD code) { mfc::lastError = code; }

HINSTANCE LoadLibraryA(LPCSTR name) {
  if (!name || !*name) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  std::lock_guard lock(registry().mutex);
  for (const fs::path& candidate : mfc::candidates(name)) {
    std::error_code error;
    if (!fs::is_regular_file(candidate, error)) continue;
    std::string file = fs::weakly_canonical(candidate, error).string();
    for (auto& h : registry().live) {
      if (h->file == file) {
        ++h->references;
        return h.get();
      }
    }
    kestrum::Result<std::string> bytes = kestrum::ReadWholeFile(candidate);
    if (!bytes) {
      mfc::log("warning: " + bytes.problem().Describe());
      SetLastError(ERROR_BAD_EXE_FORMAT);
      return nullptr;
    }
    const std::string_view all = *bytes;
    const std::size_t lineEnd = all.find('\n');
    std::string_view header = all.substr(0, lineEnd);
    if (!header.empty() && header.back() == '\r') header.remove_suffix(1);
    if (header != mfc::kModuleHeader) {
      mfc::log("warning: " + candidate.string() + " is not a resource module");
      SetLastError(ERROR_BAD_EXE_FORMAT);
      return nullptr;
    }
    const std::string rest(lineEnd == std::string_view::npos ? std::string_view() : all.substr(lineEnd + 1));
    auto module = std::make_shared<mfc::ResourceModule>();
    try {
      module->parse(rest, candidate.string());
    } catch (const mfc::ResourceError& e) {
      mfc::log(std::string("warning: damaged resource module: ") + e.what());
      SetLastError(ERROR_BAD_EXE_FORMAT);
      return nullptr;
    }
    HINSTANCE handle = mfc::registerModule(module, name);
    handle->file = file;
    return handle;
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

BOOL FreeLibrary(HINSTANCE handle) {
  std::lock_guard lock(registry().mutex);
  auto& live = registry().live;
  for (auto it = live.begin(); it != live.end(); ++it) {
    if (it->get() != handle) continue;
    if (--(*it)->references == 0) {
      AFX_MODULE_STATE* state = AfxGetModuleState();
      if (state->m_hCurrentResourceHandle == handle) state->m_hCurrentResourceHandle = nullptr;
      if (state->m_hCurrentInstanceHandle == handle) state->m_hCurrentInstanceHandle = nullptr;
      auto& chain = registry().extensionChain;
      chain.erase(std::remove(chain.begin(), chain.end(), handle), chain.end());
      live.erase(it);
    }
    return TRUE;
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

int LoadStringA(HINSTANCE handle, UINT id, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return 0;
  std::string text = mfc::loadResourceString(handle, id, nullptr);
  size_t count = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<int>(count);
}

namespace {

const char* systemMessage(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND: return "The system cannot find the file specified.\r\n";
    case ERROR_PATH_NOT_FOUND: return "The system cannot find the path specified.\r\n";
    case ERROR_ACCESS_DENIED: return "Access is denied.\r\n";
    default: return nullptr;
  }
}

// Expands the inserts of a message text.
std::string expandInserts(const std::string& text, DWORD flags, const DWORD_PTR* arguments) {
  if (flags & FORMAT_MESSAGE_IGNORE_INSERTS) return text;
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '%' || i + 1 >= text.size()) {
      out += c;
      continue;
    }
    char next = text[++i];
    if (next == '0') break;
    if (next == 'n') {
      out += "\r\n";
      continue;
    }
    if (next == 'r') {
      out += '\r';
      continue;
    }
    if (next == 't') {
      out += '\t';
      continue;
    }
    if (next < '1' || next > '9') {
      out += next;
      continue;
    }
    int index = next - '0';
    if (i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9') index = index * 10 + (text[++i] - '0');
    std::string conversion = "s";
    if (i + 1 < text.size() && text[i + 1] == '!') {
      size_t close = text.find('!', i + 2);
      if (close != std::string::npos) {
        conversion = text.substr(i + 2, close - i - 2);
        i = close;
      }
    }
    if (!arguments) continue;  // the caller gave no arguments: the insert is dropped
    DWORD_PTR value = arguments[index - 1];
    if (conversion == "s") {
      const char* s = reinterpret_cast<const char*>(value);
      out += s ? s : "";
    } else if (conversion == "d" || conversion == "i") {
      out += std::to_string(static_cast<long long>(static_cast<LONG_PTR>(value)));
    } else if (conversion == "u") {
      out += std::to_string(static_cast<unsigned long long>(value));
    } else if (conversion == "x" || conversion == "X") {
      out += mfc::detail::format(conversion == "x" ? "%llx" : "%llX", static_cast<unsigned long long>(value));
    } else {
      out += "%" + std::to_string(index);
    }
  }
  return out;
}

}  // namespace

namespace {

// The text of `code` from the sources the flags name, or null.
const char* messageSource(DWORD flags, const void* source, DWORD code,
                          std::shared_ptr<const mfc::ResourceModule>& keep) {
  if (flags & FORMAT_MESSAGE_FROM_STRING) return source ? static_cast<const char*>(source) : "";
  if (flags & FORMAT_MESSAGE_FROM_HMODULE) {
    keep = mfc::moduleOf(static_cast<HINSTANCE>(const_cast<void*>(source)));
    if (const std::string* text = keep ? keep->message(code) : nullptr) return text->c_str();
  }
  if (flags & FORMAT_MESSAGE_FROM_SYSTEM) return systemMessage(code);
  return nullptr;
}

}  // namespace

DWORD FormatMessageA(DWORD flags, const void* source, DWORD code, DWORD, LPSTR buffer, DWORD size,
                     const DWORD_PTR* arguments) {
  std::shared_ptr<const mfc::ResourceModule> keep;
  const char* text = messageSource(flags, source, code, keep);
  if (!text) {
    SetLastError(ERROR_MR_MID_NOT_FOUND);
    return 0;
  }
  std::string expanded = expandInserts(text, flags, (flags & FORMAT_MESSAGE_ARGUMENT_ARRAY) ? arguments : nullptr);
  if (!buffer) return 0;
  if (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
    char* block = static_cast<char*>(std::malloc(expanded.size() + 1));
    std::memcpy(block, expanded.c_str(), expanded.size() + 1);
    *reinterpret_cast<char**>(buffer) = block;
    return static_cast<DWORD>(expanded.size());
  }
  if (size == 0) return 0;
  size_t count = std::min(expanded.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, expanded.data(), count);
  buffer[count] = '\0';
  return static_cast<DWORD>(count);
}

void* LocalFree(void* block) {
  std::free(block);
  return nullptr;
}

AFX_MODULE_STATE* AfxGetModuleState() {
  static AFX_MODULE_STATE state;
  return &state;
}

HINSTANCE AfxGetResourceHandle() { return AfxGetModuleState()->m_hCurrentResourceHandle; }
void AfxSetResourceHandle(HINSTANCE handle) { AfxGetModuleState()->m_hCurrentResourceHandle = handle; }
HINSTANCE AfxGetInstanceHandle() { return AfxGetModuleState()->m_hCurrentInstanceHandle; }

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HINSTANCE module) {
  if (!module) return FALSE;
  state.hModule = module;
  state.hResource = module;
  state.bInitialized = TRUE;
  return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL) {
  state.bInitialized = FALSE;
  state.hModule = nullptr;
  state.hResource = nullptr;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state) : m_hResource(state.hResource) {
  std::lock_guard lock(registry().mutex);
  registry().extensionChain.push_back(m_hResource);
}

CDynLinkLibrary::~CDynLinkLibrary() {
  std::lock_guard lock(registry().mutex);
  auto& chain = registry().extensionChain;
  auto it = std::find(chain.begin(), chain.end(), m_hResource);
  if (it != chain.end()) chain.erase(it);
}

namespace {

bool holds(const mfc::ResourceModule& module, const std::string& key, UINT id, ResourceType type) {
  switch (type) {
    case ResourceType::Dialog: return module.dialog(id) != nullptr;
    case ResourceType::Menu: return module.menu(id) != nullptr;
    case ResourceType::Icon: return module.icon(key) != nullptr;
    case ResourceType::Bitmap: return module.bitmap(key) != nullptr;
    case ResourceType::String: return module.string(id) != nullptr;
  }
  return false;
}

HINSTANCE findHolder(const std::string& key, UINT id, ResourceType type) {
  std::lock_guard lock(registry().mutex);
  std::vector<HINSTANCE> order{AfxGetResourceHandle()};
  for (HINSTANCE h : registry().extensionChain) order.push_back(h);
  for (HINSTANCE h : order) {
    HINSTANCE live = mfc::findLive(h);
    if (live && live->module && holds(*live->module, key, id, type)) return live;
  }
  return nullptr;
}

}  // namespace

HINSTANCE AfxFindResourceHandle(UINT id, ResourceType type) { return findHolder(mfc::pictureKey(id), id, type); }

HINSTANCE AfxFindResourceHandle(const char* name, ResourceType type) { return findHolder(name ? name : "", 0, type); }

namespace {

template <typename T>
void append(std::string& bytes, const T& value) {
  bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// A device-independent bitmap for a picture: header, a grey colour table of 2^depth entries
// (depths up to 8) and rows padded to four bytes, filled with a fixed diagonal pattern.
std::string dibBytes(const mfc::PictureTemplate& picture) {
  BITMAPINFOHEADER header;
  header.biWidth = picture.width;
  header.biHeight = picture.height;
  header.biBitCount = static_cast<WORD>(picture.bitsPerPixel);
  int colours = picture.bitsPerPixel <= 8 ? 1 << picture.bitsPerPixel : 0;
  size_t rowBytes = static_cast<size_t>((picture.width * picture.bitsPerPixel + 31) / 32 * 4);
  header.biSizeImage = static_cast<DWORD>(rowBytes * static_cast<size_t>(picture.height));
  std::string bytes;
  append(bytes, header);
  for (int i = 0; i < colours; ++i) {
    BYTE grey = static_cast<BYTE>(colours > 1 ? i * 255 / (colours - 1) : 0);
    append(bytes, RGBQUAD{grey, grey, grey, 0});
  }
  for (int y = 0; y < picture.height; ++y) {
    std::string row(rowBytes, '\0');
    if (picture.bitsPerPixel == 8)
      for (int x = 0; x < picture.width; ++x) row[static_cast<size_t>(x)] = static_cast<char>((x + y) % 256);
    bytes += row;
  }
  return bytes;
}

}  // namespace

HRSRC FindResource(HINSTANCE module, LPCSTR name, ResourceType type) {
  auto id = reinterpret_cast<UINT_PTR>(name);
  bool numeric = id <= 0xFFFF;
  std::string label = numeric ? std::to_string(id) : std::string(name ? name : "");
  std::lock_guard lock(registry().mutex);
  HINSTANCE live = mfc::findLive(module);
  const mfc::ResourceModule* resources = live ? live->module.get() : nullptr;
  if (type == ResourceType::Dialog && numeric) {
    const mfc::DialogTemplate* dialog = resources ? resources->dialog(static_cast<UINT>(id)) : nullptr;
    if (dialog) {
      auto [entry, added] = live->dialogBytes.try_emplace(static_cast<UINT>(id));
      if (added) entry->second = mfc::serializeDialog(*dialog);
      return entry->second.c_str();
    }
  } else if (type == ResourceType::Bitmap) {
    std::string key = numeric ? mfc::pictureKey(static_cast<UINT>(id)) : label;
    const mfc::PictureTemplate* picture = resources ? resources->bitmap(key) : nullptr;
    if (picture) {
      auto [entry, added] = live->bitmapBytes.try_emplace(key);
      if (added) entry->second = dibBytes(*picture);
      return entry->second.data();
    }
  }
  mfc::log("warning: resource " + label + " is not in the resource module");
  SetLastError(ERROR_RESOURCE_NOT_FOUND);
  return nullptr;
}

HGLOBAL LoadResource(HINSTANCE, HRSRC resource) { return const_cast<void*>(resource); }

void* LockResource(HGLOBAL loaded) { return loaded; }

DWORD SizeofResource(HINSTANCE module, HRSRC resource) {
  if (!resource) return 0;
  std::lock_guard lock(registry().mutex);
  if (HINSTANCE live = mfc::findLive(module)) {
    for (const auto& [key, bytes] : live->bitmapBytes)
      if (bytes.data() == resource) return static_cast<DWORD>(bytes.size());
  }
  return static_cast<DWORD>(std::strlen(static_cast<const char*>(resource)) + 1);
}

BOOL FreeResource(HGLOBAL) { return FALSE; }
