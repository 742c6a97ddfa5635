// Compiles resource sources into a resource module: rescomp OUTPUT SOURCE...
// Every source is checked (syntax, ids defined twice) before anything is written; the module is
// written to a temporary file, synced and renamed, so a failed build never leaves half a module.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "mfc/resource_module.h"

namespace {

bool writeAtomically(const std::filesystem::path& target, const std::string& content) {
  std::filesystem::create_directories(target.parent_path());
  std::string temporary = target.string() + ".tmp";
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  const char* data = content.data();
  size_t left = content.size();
  while (left > 0) {
    ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      ::unlink(temporary.c_str());
      return false;
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
  bool ok = ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (!ok || std::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: rescomp OUTPUT SOURCE...\n";
    return 2;
  }
  mfc::ResourceModule module;
  std::ostringstream combined;
  for (int i = 2; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    if (!in) {
      std::cerr << argv[i] << ": cannot be read\n";
      return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    try {
      // Each file is parsed alone for its own line numbers, then with the others for duplicates.
      mfc::ResourceModule alone;
      alone.parse(text.str(), argv[i]);
      module.parse(text.str(), argv[i]);
    } catch (const mfc::ResourceError& e) {
      std::cerr << e.what() << "\n";
      return 1;
    }
  }
  if (!writeAtomically(argv[1], "KESTRUM-RESOURCES 1\n" + module.serialize())) {
    std::cerr << argv[1] << ": cannot be written: " << std::strerror(errno) << "\n";
    return 1;
  }
  return 0;
}
