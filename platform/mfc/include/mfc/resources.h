// Resource modules at run time: loading a compiled module file, the module state's resource and
// instance handles, and the Win32 loaders (strings, message texts, templates, menus, pictures).
//
// A module file holds a first line "KESTRUM-RESOURCES 1" followed by the source form of
// resource_module.h. LoadLibraryA looks for NAME.dll first and NAME as given second, so a name
// without extension finds "ZqFEA_ENU.dll"; a name with a folder ("\" or "/") is used as given,
// a bare name is looked for in the folders of setLibrarySearchPath, in order.
// Every lookup with a handle that is null, freed or lacks the id gives an empty result and logs a
// warning (mfc::log); nothing throws.
#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "mfc/resource_module.h"
#include "mfc/wintypes.h"

namespace mfc {

// Folders that LoadLibraryA searches for a bare module name, in order.
void setLibrarySearchPath(std::vector<std::filesystem::path> folders);
// Makes a handle for a module built in memory (tests, and a module image without resources).
// The handle stays valid until FreeLibrary.
HINSTANCE registerModule(std::shared_ptr<const ResourceModule> module, const std::string& name);
// The module behind a handle, or null when the handle is null or was freed.
std::shared_ptr<const ResourceModule> moduleOf(HINSTANCE handle);
// The file a module was loaded from ("" for one registered in memory).
std::string moduleFileName(HINSTANCE handle);
// A string-table text; empty (and a logged warning) when missing. `found` tells which it was.
std::string loadResourceString(HINSTANCE handle, UINT id, bool* found);
// Resolves a control id written as a number or as a name that a loaded module defines
// (the current resource module first); false when it is neither.
bool resolveId(const std::string& text, int& id);

}  // namespace mfc

enum : DWORD {
  ERROR_FILE_NOT_FOUND = 2,
  ERROR_PATH_NOT_FOUND = 3,
  ERROR_ACCESS_DENIED = 5,
  ERROR_INVALID_HANDLE = 6,
  ERROR_MOD_NOT_FOUND = 126,
  ERROR_BAD_EXE_FORMAT = 193,
  ERROR_RESOURCE_NOT_FOUND = 1814,
  ERROR_MR_MID_NOT_FOUND = 317
};
DWORD GetLastError();
void SetLastError(DWORD code);

// Loads a resource module (reference counted per file); null with GetLastError on failure.
HINSTANCE LoadLibraryA(LPCSTR name);
BOOL FreeLibrary(HINSTANCE handle);
// Copies at most `size` - 1 characters of string `id` into `buffer`; returns the length copied,
// 0 when the string is missing.
int LoadStringA(HINSTANCE handle, UINT id, LPSTR buffer, int size);

enum : DWORD {
  FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x0100,
  FORMAT_MESSAGE_IGNORE_INSERTS = 0x0200,
  FORMAT_MESSAGE_FROM_STRING = 0x0400,
  FORMAT_MESSAGE_FROM_HMODULE = 0x0800,
  FORMAT_MESSAGE_FROM_SYSTEM = 0x1000,
  FORMAT_MESSAGE_ARGUMENT_ARRAY = 0x2000,
};
// Formats message `code` from the module's message table (FROM_HMODULE), the system's few
// texts (FROM_SYSTEM: errors 2, 3, 5) or `source` itself (FROM_STRING). Inserts "%1".."%99" take
// `arguments[n-1]` read as const char* when ARGUMENT_ARRAY is set; "%1!d!" reads it as an
// integer; "%%" is "%", "%n" a line break, "%0" ends the text. With ALLOCATE_BUFFER `buffer` is
// a char** that receives a block to free with LocalFree; otherwise at most `size` - 1 characters
// are written. Returns the length, 0 on failure (code missing: GetLastError 317).
DWORD FormatMessageA(DWORD flags, const void* source, DWORD code, DWORD language, LPSTR buffer, DWORD size,
                     const DWORD_PTR* arguments);
void* LocalFree(void* block);

// MFC module state: the handles that resource loading uses.
struct AFX_MODULE_STATE {
  HINSTANCE m_hCurrentInstanceHandle = nullptr;
  HINSTANCE m_hCurrentResourceHandle = nullptr;
};
AFX_MODULE_STATE* AfxGetModuleState();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE handle);
HINSTANCE AfxGetInstanceHandle();

// Extension modules: their resources are searched after the current resource handle.
struct AFX_EXTENSION_MODULE {
  BOOL bInitialized = FALSE;
  HINSTANCE hModule = nullptr;
  HINSTANCE hResource = nullptr;
};
// Refuses (FALSE) a null module handle.
BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HINSTANCE module);
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL all = FALSE);
// Puts an extension module on the resource search chain while it lives.
class CDynLinkLibrary {
 public:
  explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state);
  ~CDynLinkLibrary();
  CDynLinkLibrary(const CDynLinkLibrary&) = delete;
  CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;
  HINSTANCE m_hResource;
};

enum class ResourceType { Dialog, Menu, Icon, Bitmap, String };
#define RT_DIALOG ResourceType::Dialog
#define RT_MENU ResourceType::Menu
#define RT_GROUP_ICON ResourceType::Icon
#define RT_ICON ResourceType::Icon
#define RT_BITMAP ResourceType::Bitmap
// The first module that holds the resource: the current resource handle, then the extension
// chain; null when none does.
HINSTANCE AfxFindResourceHandle(UINT id, ResourceType type);
HINSTANCE AfxFindResourceHandle(const char* name, ResourceType type);

// Raw resource access. The bytes of a dialog resource are its template in the source form
// ("DIALOG ... END", NUL-terminated), which may be copied and handed to a property page
// (PSP_DLGINDIRECT) or CDialog::InitModalIndirect. The bytes of a bitmap are a device-independent
// bitmap: BITMAPINFOHEADER, a colour table of 2^depth entries for depths up to 8 (biClrUsed 0),
// then the rows. Bitmaps may be named (FindResource(module, "NEWU", RT_BITMAP)). Icons and menus
// are not available this way (null).
#define MAKEINTRESOURCE(id) (reinterpret_cast<LPCSTR>(static_cast<UINT_PTR>(static_cast<WORD>(id))))
#define MAKEINTRESOURCEA MAKEINTRESOURCE
HRSRC FindResource(HINSTANCE module, LPCSTR name, ResourceType type);
#define FindResourceA FindResource
HGLOBAL LoadResource(HINSTANCE module, HRSRC resource);
void* LockResource(HGLOBAL loaded);
DWORD SizeofResource(HINSTANCE module, HRSRC resource);
BOOL FreeResource(HGLOBAL loaded);
