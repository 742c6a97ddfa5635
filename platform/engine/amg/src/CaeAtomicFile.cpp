#include "amg/CaeAtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace CaeFile {

namespace {

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool WriteAtomically(const std::filesystem::path& file, std::string_view content, std::string& error) {
  std::string pattern = file.string() + ".tmpXXXXXX";
  int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  ::fchmod(fd, 0644);  // mkstemp's 0600 would hide reports from other readers
  bool ok = WriteAll(fd, content) && ::fsync(fd) == 0;
  if (!ok) error = std::strerror(errno);
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = std::strerror(errno);
  }
  if (ok && ::rename(pattern.c_str(), file.c_str()) != 0) {
    ok = false;
    error = std::strerror(errno);
  }
  if (!ok) {
    ::unlink(pattern.c_str());
    return false;
  }
  SyncFolder(file.parent_path());
  return true;
}

}  // namespace CaeFile
