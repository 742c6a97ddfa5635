#include "test_env.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace kestrum::test {
namespace {

fs::path makeUniqueDir(const fs::path& parent, const std::string& prefix) {
  std::string pattern = (parent / (prefix + "XXXXXX")).string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder in " + parent.string());
  return fs::path(pattern);
}

fs::path envPath(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return fs::path(value && *value ? value : fallback);
}

}  // namespace

const fs::path& programDir() {
  static const fs::path dir = makeUniqueDir(fs::temp_directory_path(), "kestrum-test-");
  return dir;
}

fs::path sourcePath(const std::string& relative) {
  return envPath("KESTRUM_SOURCE_DIR", KESTRUM_TEST_SOURCE_DIR) / relative;
}

fs::path buildPath(const std::string& relative) {
  return envPath("KESTRUM_BUILD_DIR", KESTRUM_TEST_BUILD_DIR) / relative;
}

TempDir::TempDir() : path_(makeUniqueDir(programDir(), "t")) {}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

ProgramRun runHostScript(const TempDir& dir, const std::string& script) {
  std::ofstream(dir / "test.scr") << script;
  const std::string out = (dir / "output.txt").string();
  const std::string command = "cd '" + dir.path().string() + "' && '" + buildPath("bin/cadhost").string() +
                              "' --script test.scr > '" + out + "' 2>&1";
  const int status = std::system(command.c_str());
  return ProgramRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out)};
}

int countOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

std::vector<std::string> shownWindows(const std::string& output) {
  std::vector<std::string> shown;
  const std::string start = "@show\n";
  for (std::size_t at = output.find(start); at != std::string::npos; at = output.find(start, at + 1)) {
    const std::size_t end = output.find("\n@", at + start.size());
    shown.push_back(output.substr(at, end == std::string::npos ? std::string::npos : end - at));
  }
  return shown;
}

}  // namespace kestrum::test
