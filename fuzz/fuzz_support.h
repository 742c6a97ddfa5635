// Helpers the fuzz targets share: a scratch folder per process and files written into it, for the
// readers that only take a path.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace kestrum::fuzz {

inline const std::filesystem::path& ScratchDir();

inline void RemoveScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(ScratchDir(), ignored);
}

// A folder of this process's own, made on first use and removed at a normal exit.
inline const std::filesystem::path& ScratchDir() {
  static const std::filesystem::path dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrum-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      std::perror("mkdtemp");
      std::abort();
    }
    std::atexit(RemoveScratchDir);
    return std::filesystem::path(pattern);
  }();
  return dir;
}

// Writes the input to `name` in the scratch folder and answers its path.
inline std::filesystem::path WriteInput(const uint8_t* data, size_t size, const std::string& name) {
  const std::filesystem::path path = ScratchDir() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out.flush()) {
    std::perror(path.c_str());
    std::abort();
  }
  return path;
}

inline std::string Text(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// A broken invariant found by a target: report and abort, so the fuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

}  // namespace kestrum::fuzz
