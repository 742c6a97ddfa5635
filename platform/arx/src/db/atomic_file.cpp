#include "atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

std::string describe(const char* action, const std::string& path) {
  return std::string("Cannot ") + action + " \"" + path + "\": " + std::strerror(errno) + ".";
}

}  // namespace

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
