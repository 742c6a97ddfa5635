#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "mcadkernel/error.h"

namespace mcadkernel {

namespace {

[[noreturn]] void failWrite(const std::filesystem::path& path, const char* step) {
  throw KernelError("cannot write " + path.string() + ": " + step + " failed (" + std::strerror(errno) + ")");
}

}  // namespace

void writeFileAtomically(const std::filesystem::path& path, const std::string& contents) {
  std::filesystem::path directory = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
  std::string pattern = (directory / ("." + path.filename().string() + ".XXXXXX")).string();
  int fd = mkstemp(pattern.data());
  if (fd < 0) failWrite(path, "creating a temporary file");
  auto abandon = [&](const char* step) {
    int saved = errno;
    close(fd);
    unlink(pattern.c_str());
    errno = saved;
    failWrite(path, step);
  };
  size_t written = 0;
  while (written < contents.size()) {
    ssize_t n = write(fd, contents.data() + written, contents.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      abandon("writing");
    }
    written += static_cast<size_t>(n);
  }
  if (fchmod(fd, 0644) != 0) abandon("setting permissions");
  if (fsync(fd) != 0) abandon("syncing");
  if (close(fd) != 0) {
    unlink(pattern.c_str());
    failWrite(path, "closing");
  }
  if (rename(pattern.c_str(), path.c_str()) != 0) {
    int saved = errno;
    unlink(pattern.c_str());
    errno = saved;
    failWrite(path, "renaming");
  }
  // Sync the folder too, so that the rename itself survives a crash.
  int dirFd = open(directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (dirFd >= 0) {
    fsync(dirFd);
    close(dirFd);
  }
}

}  // namespace mcadkernel
