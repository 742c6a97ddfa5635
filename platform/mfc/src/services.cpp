#include "mfc/services.h"

#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>

#include "mfc/driver.h"
#include "mfc/gdi.h"
#include "mfc/log.h"
#include "mfc/resources.h"
#include "mfc/win32_files.h"
#include "text_format.h"

namespace {

std::string typeHex(UINT type) { return mfc::detail::format("0x%x", type); }

bool validAnswer(UINT type, int answer) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: return answer == IDOK;
    case MB_OKCANCEL: return answer == IDOK || answer == IDCANCEL;
    case MB_ABORTRETRYIGNORE: return answer == IDABORT || answer == IDRETRY || answer == IDIGNORE;
    case MB_YESNOCANCEL: return answer == IDYES || answer == IDNO || answer == IDCANCEL;
    case MB_YESNO: return answer == IDYES || answer == IDNO;
    case MB_RETRYCANCEL: return answer == IDRETRY || answer == IDCANCEL;
    default: return answer == IDOK;
  }
}

CWinApp*& currentApp() {
  static CWinApp* app = nullptr;
  return app;
}

std::mutex systemInfoMutex;
OSVERSIONINFO systemVersion = [] {
  OSVERSIONINFO v;
  v.dwMajorVersion = 5;
  v.dwMinorVersion = 0;
  v.dwBuildNumber = 2195;
  v.dwPlatformId = VER_PLATFORM_WIN32_NT;
  std::strcpy(v.szCSDVersion, "");
  return v;
}();
SYSTEM_INFO systemProcessor = [] {
  SYSTEM_INFO s;
  s.dwNumberOfProcessors = 1;
  s.dwProcessorType = 586;
  s.wProcessorLevel = 5;
  s.wProcessorRevision = 0x0201;
  return s;
}();

}  // namespace

int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  mfc::MessageBoxRequest box{owner, text ? text : "", caption ? caption : "Error", type};
  int answer = 0;
  if (mfc::UserDriver* driver = mfc::userDriver()) answer = driver->onMessageBox(box);
  if (answer != 0 && !validAnswer(type, answer)) {
    mfc::log("message box: answer " + std::to_string(answer) + " is not one of its buttons");
    answer = 0;
  }
  if (answer == 0) answer = mfc::cancellingAnswer(type);
  mfc::log("message box [" + box.caption + "] " + box.text + " (type " + typeHex(type) + ") -> " +
           std::to_string(answer));
  return answer;
}

int AfxMessageBox(const char* text, UINT type, UINT) {
  CWnd* main = AfxGetMainWnd();
  return MessageBox(main ? main->m_hWnd : nullptr, text, AfxGetApp()->m_pszAppName.c_str(), type);
}

int AfxMessageBox(UINT textId, UINT type, UINT helpId) {
  CString text;
  text.LoadString(textId);
  return AfxMessageBox(text, type, helpId);
}

// ---- application ----

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName ? appName : "Kestrum Inside"), previous_(currentApp()) {
  currentApp() = this;
}

CWinApp::~CWinApp() {
  if (currentApp() == this) currentApp() = previous_;
}

CWinApp* AfxGetApp() {
  if (CWinApp* app = currentApp()) return app;
  static CWinApp fallback;  // made only when no application exists, so it never displaces one
  return &fallback;
}

CWnd* AfxGetMainWnd() { return AfxGetApp()->m_pMainWnd; }

void CWinApp::BeginWaitCursor() { ++waitDepth_; }

void CWinApp::EndWaitCursor() {
  if (waitDepth_ > 0) --waitDepth_;
}

HICON CWinApp::LoadIcon(UINT id) const { return ::LoadIcon(nullptr, id); }

void CWinApp::WinHelp(DWORD_PTR data, UINT command) {
  ::WinHelp(m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr, m_pszHelpFilePath.c_str(), command, data);
}

// ---- file dialogs ----

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExtension, const char* fileName, DWORD flags,
                         const char* filter, CWnd*)
    : open_(openFileDialog),
      defaultExtension_(defaultExtension ? defaultExtension : ""),
      fileName_(fileName ? fileName : ""),
      filter_(filter ? filter : "") {
  m_ofn.Flags = flags;
}

INT_PTR CFileDialog::DoModal() {
  mfc::FileDialogRequest request{static_cast<bool>(open_),
                                 defaultExtension_,
                                 fileName_,
                                 filter_,
                                 m_ofn.Flags,
                                 static_cast<int>(m_ofn.nFilterIndex)};
  mfc::UserDriver* driver = mfc::userDriver();
  if (!driver) {
    mfc::log(std::string("no user driver: ") + (open_ ? "open" : "save") + " file dialog cancelled");
    return IDCANCEL;
  }
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::optional<std::string> chosen = driver->onFileDialog(request);
    if (!chosen) return IDCANCEL;
    std::string path = *chosen;
    if (!defaultExtension_.empty() && std::filesystem::path(path).extension().empty()) path += "." + defaultExtension_;
    bool exists = std::filesystem::exists(path);
    if ((m_ofn.Flags & OFN_FILEMUSTEXIST) && !exists) {
      MessageBox(nullptr, (path + "\nFile not found.\nPlease verify the correct file name was given.").c_str(),
                 open_ ? "Open" : "Save As", MB_OK | MB_ICONEXCLAMATION);
      continue;
    }
    if (!open_ && (m_ofn.Flags & OFN_OVERWRITEPROMPT) && exists &&
        MessageBox(nullptr, (path + " already exists.\nDo you want to replace it?").c_str(), "Save As",
                   MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
      continue;
    path_ = path;
    return IDOK;
  }
  mfc::log("file dialog cancelled after three refused names");
  return IDCANCEL;
}

CString CFileDialog::GetPathName() const { return CString(path_); }

CString CFileDialog::GetFileName() const {
  std::string normal = path_;
  size_t slash = normal.find_last_of("/\\");
  return CString(slash == std::string::npos ? normal : normal.substr(slash + 1));
}

CString CFileDialog::GetFileExt() const {
  std::string name = GetFileName().str();
  size_t dot = name.rfind('.');
  return CString(dot == std::string::npos ? std::string() : name.substr(dot + 1));
}

CString CFileDialog::GetFileTitle() const {
  std::string name = GetFileName().str();
  size_t dot = name.rfind('.');
  return CString(dot == std::string::npos ? name : name.substr(0, dot));
}

// ---- help, shell, locale, system ----

namespace {

// A help file in the stand-in's text form: "TOPIC <context> <title>" starts a topic, whose text is
// the lines up to the next TOPIC. Lines before the first topic are comments. Answers false when
// the file cannot be read or has no topic of that context.
bool logHelpTopic(const char* file, unsigned long long context) {
  std::ifstream in(mfc::posixPath(file));
  if (!in) return false;
  const std::string topic = "TOPIC " + std::to_string(context) + " ";
  std::string line;
  bool inTopic = false, found = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("TOPIC ", 0) == 0) {
      inTopic = line.rfind(topic, 0) == 0;
      if (inTopic) mfc::log("help topic " + std::to_string(context) + ": " + line.substr(topic.size()));
      found = found || inTopic;
    } else if (inTopic) {
      mfc::log("  " + line);
    }
  }
  return found;
}

}  // namespace

BOOL WinHelp(HWND, const char* helpFile, UINT command, DWORD_PTR data) {
  mfc::log(mfc::detail::format("WinHelp %s command %u data 0x%llx", helpFile ? helpFile : "", command,
                               static_cast<unsigned long long>(data)));
  if (command != HELP_CONTEXT || !helpFile) return TRUE;
  return logHelpTopic(helpFile, static_cast<unsigned long long>(data)) ? TRUE : FALSE;
}

INT_PTR ShellExecute(HWND, const char* verb, const char* file, const char*, const char*, int) {
  mfc::log(std::string("ShellExecute ") + (verb && *verb ? verb : "open") + " " + (file ? file : ""));
  return 42;
}

int GetLocaleInfoA(DWORD, DWORD type, char* buffer, int size) {
  if (type != LOCALE_SABBREVLANGNAME || !buffer || size < 4) return 0;
  const char* fromEnvironment = std::getenv("KESTRUM_LANGUAGE");
  std::string language = fromEnvironment && std::strlen(fromEnvironment) == 3 ? fromEnvironment : "ENU";
  std::memcpy(buffer, language.c_str(), 4);
  return 4;
}

BOOL GetVersionExA(OSVERSIONINFO* info) {
  if (!info) return FALSE;
  std::lock_guard lock(systemInfoMutex);
  *info = systemVersion;
  return TRUE;
}

void GetSystemInfo(SYSTEM_INFO* info) {
  if (!info) return;
  std::lock_guard lock(systemInfoMutex);
  *info = systemProcessor;
}

void GlobalMemoryStatus(MEMORYSTATUS* status) {
  if (!status) return;
  *status = MEMORYSTATUS{};
  long pages = sysconf(_SC_PHYS_PAGES);
  long available = sysconf(_SC_AVPHYS_PAGES);
  long pageSize = sysconf(_SC_PAGESIZE);
  status->dwTotalPhys = static_cast<UINT_PTR>(pages) * static_cast<UINT_PTR>(pageSize);
  status->dwAvailPhys = static_cast<UINT_PTR>(available) * static_cast<UINT_PTR>(pageSize);
  status->dwTotalVirtual = status->dwTotalPhys * 2;
  status->dwAvailVirtual = status->dwAvailPhys * 2;
  status->dwTotalPageFile = status->dwTotalPhys;
  status->dwAvailPageFile = status->dwAvailPhys;
  status->dwMemoryLoad = pages > 0 ? static_cast<DWORD>(100 - available * 100 / pages) : 0;
}

namespace mfc {

void setSystemInfo(const OSVERSIONINFO& version, const SYSTEM_INFO& processor) {
  std::lock_guard lock(systemInfoMutex);
  systemVersion = version;
  systemProcessor = processor;
}

}  // namespace mfc
