#include "mfc/win32_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "mfc/resources.h"

namespace {

DWORD errorOf(int posixError) {
  switch (posixError) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    default: return ERROR_ACCESS_DENIED;
  }
}

// Handles carry the descriptor + 1, so descriptor 0 is not mistaken for null.
HANDLE handleOf(int fd) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd) + 1); }
int descriptorOf(HANDLE handle) { return static_cast<int>(reinterpret_cast<intptr_t>(handle) - 1); }

}  // namespace

std::string mfc::posixPath(const char* path) {
  std::string p = path ? path : "";
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

HANDLE CreateFileA(const char* path, DWORD access, DWORD, void*, DWORD disposition, DWORD, HANDLE) {
  int flags = (access & GENERIC_WRITE) ? ((access & GENERIC_READ) ? O_RDWR : O_WRONLY) : O_RDONLY;
  switch (disposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    default: break;
  }
  int fd = ::open(mfc::posixPath(path).c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0) {
    SetLastError(errorOf(errno));
    return INVALID_HANDLE_VALUE;
  }
  return handleOf(fd);
}

BOOL CloseHandle(HANDLE handle) {
  if (!handle || handle == INVALID_HANDLE_VALUE) return FALSE;
  return ::close(descriptorOf(handle)) == 0 ? TRUE : FALSE;
}

BOOL DeleteFileA(const char* path) {
  if (::unlink(mfc::posixPath(path).c_str()) == 0) return TRUE;
  SetLastError(errorOf(errno));
  return FALSE;
}

BOOL SetFileAttributesA(const char* path, DWORD attributes) {
  std::string p = mfc::posixPath(path);
  struct stat info {};
  if (::stat(p.c_str(), &info) != 0) {
    SetLastError(errorOf(errno));
    return FALSE;
  }
  mode_t mode = info.st_mode & 07777;
  mode = (attributes & FILE_ATTRIBUTE_READONLY) ? (mode & ~0222) : (mode | S_IWUSR);
  return ::chmod(p.c_str(), mode) == 0 ? TRUE : FALSE;
}

DWORD GetFileAttributesA(const char* path) {
  struct stat info {};
  if (::stat(mfc::posixPath(path).c_str(), &info) != 0) {
    SetLastError(errorOf(errno));
    return INVALID_FILE_ATTRIBUTES;
  }
  if (S_ISDIR(info.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  return (info.st_mode & S_IWUSR) ? DWORD{FILE_ATTRIBUTE_NORMAL} : DWORD{FILE_ATTRIBUTE_READONLY};
}

int _access(const char* path, int mode) {
  int how = mode == 0 ? F_OK : ((mode & 2) ? W_OK : 0) | ((mode & 4) ? R_OK : 0);
  return ::access(mfc::posixPath(path).c_str(), how) == 0 ? 0 : -1;
}

int _getdrive() { return 3; }

unsigned _getdiskfree(unsigned, _diskfree_t* info) {
  struct statvfs fs {};
  if (!info || ::statvfs(".", &fs) != 0) return static_cast<unsigned>(errno ? errno : EINVAL);
  // One "sector" per file-system block; clusters clamped to what the 32-bit fields hold.
  auto clamp = [](unsigned long long v) { return static_cast<unsigned>(std::min<unsigned long long>(v, UINT_MAX)); };
  info->bytes_per_sector = clamp(fs.f_frsize);
  info->sectors_per_cluster = 1;
  info->total_clusters = clamp(fs.f_blocks);
  info->avail_clusters = clamp(fs.f_bavail);
  return 0;
}
