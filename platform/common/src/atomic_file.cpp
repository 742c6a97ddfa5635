#include "kestrum/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kestrum {
namespace {

bool writeAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t written = ::write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// mkstemp makes 0600; readers of reports and drawings expect the usual permissions.
mode_t permissionsFor(const std::filesystem::path& path) {
  struct stat existing;
  if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

void syncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool writeFileAtomically(const std::filesystem::path& path, std::string_view data, std::string* error) {
  std::filesystem::path folder = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
  std::string temporary = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    if (error) *error = "Cannot write \"" + path.string() + "\": " + std::strerror(errno) + ".";
    return false;
  }
  bool ok = ::fchmod(fd, permissionsFor(path)) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
  int savedErrno = errno;
  ok = ::close(fd) == 0 && ok;
  if (ok && ::rename(temporary.c_str(), path.c_str()) == 0) {
    syncFolder(folder);
    return true;
  }
  if (ok) savedErrno = errno;
  ::unlink(temporary.c_str());
  if (error) *error = "Cannot write \"" + path.string() + "\": " + std::strerror(savedErrno) + ".";
  return false;
}

}  // namespace kestrum
