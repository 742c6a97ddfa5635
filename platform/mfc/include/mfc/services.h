// Common services: message boxes, file dialogs, the application object and its wait cursor, help
// and shell documents (recorded, not opened), locale and system information.
#pragma once
#include <string>
#include <vector>

#include "mfc/cstring.h"
#include "mfc/wnd.h"

// Shows a message box through the user driver; returns the button that ended it. Each box is
// logged as "message box [caption] text (type 0x...) -> answer".
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
// With the application's name as caption; the string-id form loads the text first.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT textId, UINT type = MB_OK, UINT helpId = 0);

class CWinApp : public CCmdTarget {
 public:
  // The newest CWinApp made is the application (AfxGetApp); until then a default one serves.
  explicit CWinApp(const char* appName = nullptr);
  ~CWinApp() override;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  CWnd* m_pMainWnd = nullptr;
  std::string m_pszAppName;
  std::string m_pszHelpFilePath;

  // The wait cursor nests: it shows while the count is above 0.
  void BeginWaitCursor();
  void EndWaitCursor();
  void RestoreWaitCursor() {}
  int waitCursorDepth() const { return waitDepth_; }
  HICON LoadIcon(UINT id) const;
  // WinHelp with the application's help file.
  void WinHelp(DWORD_PTR data, UINT command = HELP_CONTEXT);

 private:
  int waitDepth_ = 0;
  CWinApp* previous_ = nullptr;
};
CWinApp* AfxGetApp();

// Scoped wait cursor.
class CWaitCursor {
 public:
  CWaitCursor() { AfxGetApp()->BeginWaitCursor(); }
  ~CWaitCursor() { AfxGetApp()->EndWaitCursor(); }
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
  void Restore() {}
};

enum : DWORD {
  OFN_READONLY = 0x1,
  OFN_OVERWRITEPROMPT = 0x2,
  OFN_HIDEREADONLY = 0x4,
  OFN_NOCHANGEDIR = 0x8,
  OFN_PATHMUSTEXIST = 0x800,
  OFN_FILEMUSTEXIST = 0x1000,
  OFN_EXPLORER = 0x80000,
};

struct OPENFILENAME {
  DWORD Flags = 0;
  DWORD nFilterIndex = 1;
  std::string lpstrInitialDir;
  std::string lpstrTitle;
};

// Open and save dialogs through the user driver. A missing file for OFN_FILEMUSTEXIST, or a
// refused overwrite for OFN_OVERWRITEPROMPT, shows the platform's box and asks again (three
// times at most, then Cancel).
class CFileDialog {
 public:
  CFileDialog(BOOL openFileDialog, const char* defaultExtension = nullptr, const char* fileName = nullptr,
              DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
              CWnd* parent = nullptr);
  virtual ~CFileDialog() = default;
  virtual INT_PTR DoModal();
  CString GetPathName() const;
  // The name with extension, the extension without dot, and the name without extension.
  CString GetFileName() const;
  CString GetFileExt() const;
  CString GetFileTitle() const;
  OPENFILENAME m_ofn;

 private:
  bool open_;
  std::string defaultExtension_;
  std::string fileName_;
  std::string filter_;
  std::string path_;
};

// Help and shell documents are recorded in the log, not opened:
// "WinHelp <file> command <n> data 0x<hex>" and "ShellExecute <verb> <file>". WinHelp with
// HELP_CONTEXT on a readable help file in the stand-in's text form ("TOPIC <context> <title>" lines,
// each followed by its text) also logs that topic; FALSE when the file cannot be read or lacks it.
BOOL WinHelp(HWND owner, const char* helpFile, UINT command, DWORD_PTR data);
#define WinHelpA WinHelp
// Returns 42 (success, above 32).
INT_PTR ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters, const char* folder,
                     int show);
#define ShellExecuteA ShellExecute

enum : DWORD { LOCALE_USER_DEFAULT = 0x400, LOCALE_SABBREVLANGNAME = 0x3 };
// The user's language: "ENU" (from KESTRUM_LANGUAGE when set, three letters).
int GetLocaleInfoA(DWORD locale, DWORD type, char* buffer, int size);

// System information reported for this machine, in the platform's structures.
struct OSVERSIONINFO {
  DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFO);
  DWORD dwMajorVersion = 0;
  DWORD dwMinorVersion = 0;
  DWORD dwBuildNumber = 0;
  DWORD dwPlatformId = 0;
  char szCSDVersion[128] = {};
};
enum : DWORD { VER_PLATFORM_WIN32s = 0, VER_PLATFORM_WIN32_WINDOWS = 1, VER_PLATFORM_WIN32_NT = 2 };
BOOL GetVersionExA(OSVERSIONINFO* info);
#define GetVersionEx GetVersionExA

struct SYSTEM_INFO {
  DWORD dwNumberOfProcessors = 0;
  DWORD dwProcessorType = 0;
  WORD wProcessorLevel = 0;
  WORD wProcessorRevision = 0;
};
void GetSystemInfo(SYSTEM_INFO* info);

struct MEMORYSTATUS {
  DWORD dwLength = sizeof(MEMORYSTATUS);
  DWORD dwMemoryLoad = 0;
  UINT_PTR dwTotalPhys = 0;
  UINT_PTR dwAvailPhys = 0;
  UINT_PTR dwTotalPageFile = 0;
  UINT_PTR dwAvailPageFile = 0;
  UINT_PTR dwTotalVirtual = 0;
  UINT_PTR dwAvailVirtual = 0;
};
void GlobalMemoryStatus(MEMORYSTATUS* status);

namespace mfc {
// Installs the values the system-information calls report (tests fix them).
void setSystemInfo(const OSVERSIONINFO& version, const SYSTEM_INFO& processor);
}  // namespace mfc
