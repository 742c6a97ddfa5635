// Test environment: every test program runs with its own temporary configuration file and
// per-user folders, and can make fresh scratch folders of its own.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace kestrum::test {

// The folder that this test program owns for its whole run (removed at exit).
const std::filesystem::path& programDir();

// A path inside the source tree (for fixtures and shipped data).
std::filesystem::path sourcePath(const std::string& relative);

// A path inside the build tree (for modules and programs built beside the tests).
std::filesystem::path buildPath(const std::string& relative);

// A fresh, empty folder that is removed when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Reads a whole file; empty when it cannot be read.
std::string readFile(const std::filesystem::path& file);

// How a run of the host program ended: its exit code (-1 when it did not exit) and everything it
// printed.
struct ProgramRun {
  int exitCode = -1;
  std::string output;
};
// Runs the host program in `dir` on `script` (written there as test.scr).
ProgramRun runHostScript(const TempDir& dir, const std::string& script);
// How often `part` occurs in `text`, overlaps included.
int countOf(const std::string& text, const std::string& part);
// What each "@show" of a host run printed, in order (each from its "@show" line to the next "@" line).
std::vector<std::string> shownWindows(const std::string& output);

}  // namespace kestrum::test
