// The few Win32 and C-runtime file calls the add-in makes, over POSIX. Paths may use "\" or "/".
// CreateFileA opens or creates a file for the checks the add-in does (existence, whether it can
// be written); the handle only needs closing.
#pragma once
#include <string>

#include "mfc/wintypes.h"

using HANDLE = void*;
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))

enum : DWORD { GENERIC_READ = 0x80000000, GENERIC_WRITE = 0x40000000 };
enum : DWORD { FILE_SHARE_READ = 0x1, FILE_SHARE_WRITE = 0x2 };
enum : DWORD { CREATE_NEW = 1, CREATE_ALWAYS = 2, OPEN_EXISTING = 3, OPEN_ALWAYS = 4 };
enum : DWORD {
  FILE_ATTRIBUTE_READONLY = 0x1,
  FILE_ATTRIBUTE_DIRECTORY = 0x10,
  FILE_ATTRIBUTE_NORMAL = 0x80,
  INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF
};
enum : DWORD { ERROR_FILE_EXISTS = 80 };

// INVALID_HANDLE_VALUE with GetLastError (ERROR_FILE_NOT_FOUND, ERROR_FILE_EXISTS,
// ERROR_ACCESS_DENIED, ERROR_PATH_NOT_FOUND) on failure.
HANDLE CreateFileA(const char* path, DWORD access, DWORD share, void* security, DWORD disposition, DWORD flags,
                   HANDLE templateFile);
BOOL CloseHandle(HANDLE handle);
BOOL DeleteFileA(const char* path);
// FILE_ATTRIBUTE_NORMAL makes the file writable; FILE_ATTRIBUTE_READONLY read-only.
BOOL SetFileAttributesA(const char* path, DWORD attributes);
DWORD GetFileAttributesA(const char* path);

// 0 when the path exists (mode 0), is readable (4) or writable (2); -1 otherwise.
int _access(const char* path, int mode);

// The current drive: 3 ("C") here, where there are no drive letters.
int _getdrive();
struct _diskfree_t {
  unsigned total_clusters = 0;
  unsigned avail_clusters = 0;
  unsigned sectors_per_cluster = 0;
  unsigned bytes_per_sector = 0;
};
// Free space of the file system holding the current folder; 0 on success.
unsigned _getdiskfree(unsigned drive, _diskfree_t* info);

namespace mfc {
// A path with "\" turned into "/".
std::string posixPath(const char* path);
}  // namespace mfc
