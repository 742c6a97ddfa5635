// The main of every test program: isolates configuration and per-user folders in a temporary
// folder, so tests never read or write the real user's files and never see each other's.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "test_env.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const fs::path& dir = kestrum::test::programDir();
  fs::create_directories(dir / "home");
  setenv("KESTRUM_CONFIG", (dir / "kestrum.ini").c_str(), 1);
  setenv("KESTRUM_USER_DIR", (dir / "user").c_str(), 1);
  setenv("HOME", (dir / "home").c_str(), 1);
  setenv("LC_ALL", "C", 1);

  testing::InitGoogleTest(&argc, argv);
  int result = RUN_ALL_TESTS();

  std::error_code ignored;
  fs::remove_all(dir, ignored);
  return result;
}
