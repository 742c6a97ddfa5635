#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

std::string describe(const char* action, const std::string& path) {
  return std::string("Cannot ") + action + " \"" + path + "\": " + std::strerror(errno) + ".";
}

bool writeAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t written = ::write(fd, data.data() + done, data.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// The replaced file keeps its permissions; a new one gets the usual ones (mkstemp makes 0600).
mode_t permissionsFor(const std::string& path) {
  struct stat existing;
  if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

void syncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool writeFileAtomically(const std::string& path, const std::string& data, std::string* error) {
  std::filesystem::path target(path);
  std::filesystem::path folder = target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
  std::string name = ".";
  name += target.filename().string();
  name += ".XXXXXX";
  std::string temporary = (folder / name).string();
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    *error = describe("write", path);
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
  errno = savedErrno;
  *error = describe("write", path);
  return false;
}

bool readWholeFile(const std::string& path, std::string* data, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = describe("open", path);
    return false;
  }
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  data->resize(static_cast<std::size_t>(size > 0 ? size : 0));
  if (size > 0 && !in.read(data->data(), size)) {
    *error = describe("read", path);
    return false;
  }
  return true;
}
