#include "kestrum/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <mutex>
#include <random>

namespace kestrum {
namespace {

constexpr std::size_t kSuffixLength = 6;  // as mkstemp's XXXXXX
constexpr std::string_view kSuffixAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

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

// The process umask, read once. /proc says it without changing it; only where /proc cannot is it
// read by setting and restoring it, and then only at the first write.
mode_t processUmask() {
  static std::once_flag once;
  static mode_t mask = 022;
  std::call_once(once, [] {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("Umask:", 0) == 0) {
        mask = static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8) & 0777);
        return;
      }
    }
    mask = ::umask(022);
    ::umask(mask);
  });
  return mask;
}

// Temporary files are created 0600; readers of reports and drawings expect the usual permissions.
mode_t permissionsFor(const std::filesystem::path& path) {
  struct stat existing;
  if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
  return 0666 & ~processUmask();
}

void syncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::string temporaryPrefix(const std::filesystem::path& path) { return "." + path.filename().string() + "."; }

bool isOurTemporaryName(const std::string& name, const std::string& prefix) {
  if (name.size() != prefix.size() + kSuffixLength || name.compare(0, prefix.size(), prefix) != 0) return false;
  for (std::size_t i = prefix.size(); i < name.size(); ++i)
    if (kSuffixAlphabet.find(name[i]) == std::string_view::npos) return false;
  return true;
}

// A save that was killed leaves its named temporary behind: remove those of this target that are
// older than this save (a newer one may be another save under way).
void removeStaleTemporaries(const std::filesystem::path& folder, const std::filesystem::path& path,
                            std::filesystem::file_time_type saveStarted) {
  const std::string prefix = temporaryPrefix(path);
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!isOurTemporaryName(name, prefix)) continue;
    std::error_code entryError;
    if (!it->is_regular_file(entryError) || it->is_symlink(entryError)) continue;
    auto written = it->last_write_time(entryError);
    if (entryError || written >= saveStarted) continue;
    std::filesystem::remove(it->path(), entryError);
  }
}

std::string randomTemporaryName(const std::filesystem::path& path) {
  static std::mutex mutex;
  static std::mt19937_64 generator{std::random_device{}()};
  std::lock_guard lock(mutex);
  std::string name = temporaryPrefix(path);
  std::uniform_int_distribution<std::size_t> pick(0, kSuffixAlphabet.size() - 1);
  for (std::size_t i = 0; i < kSuffixLength; ++i) name += kSuffixAlphabet[pick(generator)];
  return name;
}

// Gives the unnamed file `fd` a temporary name in `folder` (to be renamed over the target at once).
bool linkUnnamed(int fd, const std::filesystem::path& folder, const std::filesystem::path& path,
                 std::string* temporary) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = (folder / randomTemporaryName(path)).string();
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      *temporary = candidate;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

std::string failure(const std::filesystem::path& path, int error) {
  return "Cannot write \"" + path.string() + "\": " + std::strerror(error) + ".";
}

}  // namespace

namespace {

enum class Attempt { kDone, kFailed, kNoUnnamedFile };

// One try at writing the temporary file and renaming it over the target. With `unnamed`, an
// O_TMPFILE file linked under a temporary name only just before the rename; kNoUnnamedFile when
// the file system or /proc cannot give one, so that the caller falls back to a named file.
Attempt writeThroughTemporary(const std::filesystem::path& path, const std::filesystem::path& folder,
                              const FileWriter& write, bool unnamed, int* failedErrno) {
  std::string temporary;
  int fd = -1;
  if (unnamed) {
    fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL || errno == ENOENT))
      return Attempt::kNoUnnamedFile;
  } else {
    temporary = (folder / (temporaryPrefix(path) + "XXXXXX")).string();
    fd = ::mkstemp(temporary.data());
  }
  if (fd < 0) {
    *failedErrno = errno;
    return Attempt::kFailed;
  }
  bool ok = ::fchmod(fd, permissionsFor(path)) == 0 && write(fd) && ::fsync(fd) == 0;
  if (ok && unnamed && !linkUnnamed(fd, folder, path, &temporary)) {
    const int linkErrno = errno;
    ::close(fd);
    if (linkErrno == ENOENT || linkErrno == EXDEV || linkErrno == EPERM) return Attempt::kNoUnnamedFile;
    *failedErrno = linkErrno;
    return Attempt::kFailed;
  }
  int savedErrno = errno;
  ok = ::close(fd) == 0 && ok;
  if (ok && ::rename(temporary.c_str(), path.c_str()) == 0) {
    syncFolder(folder);
    return Attempt::kDone;
  }
  if (ok) savedErrno = errno;
  if (!temporary.empty()) ::unlink(temporary.c_str());
  *failedErrno = savedErrno;
  return Attempt::kFailed;
}

}  // namespace

bool writeFileAtomically(const std::filesystem::path& path, std::string_view data, std::string* error) {
  return writeFileAtomically(
      path, [data](int fd) { return writeAll(fd, data); }, error);
}

bool writeFileAtomically(const std::filesystem::path& path, const FileWriter& write, std::string* error) {
  const auto saveStarted = std::filesystem::file_time_type::clock::now();
  std::filesystem::path folder = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
  removeStaleTemporaries(folder, path, saveStarted);
  // An unnamed file vanishes by itself if the program dies before it is linked; without one, a
  // named temporary, which the next save removes if it is left over.
  int failedErrno = 0;
  Attempt attempt = writeThroughTemporary(path, folder, write, true, &failedErrno);
  if (attempt == Attempt::kNoUnnamedFile) attempt = writeThroughTemporary(path, folder, write, false, &failedErrno);
  if (attempt == Attempt::kDone) return true;
  if (error) *error = failure(path, failedErrno);
  return false;
}

bool writeAllTo(int fd, std::string_view data) { return writeAll(fd, data); }

}  // namespace kestrum
