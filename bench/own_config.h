// Benchmarks that read or change settings run with a configuration file of their own, so that
// nothing they do reaches the user's file.
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

// Runs the benchmarks named on the command line with `<temp>/kestrum-<name>-<pid>.ini` as the
// configuration, removed afterwards.
inline void RunWithOwnConfig(int argc, char** argv, const std::string& name) {
  const auto config =
      std::filesystem::temp_directory_path() / ("kestrum-" + name + "-" + std::to_string(::getpid()) + ".ini");
  ::setenv("KESTRUM_CONFIG", config.c_str(), 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  std::filesystem::remove(config, ignored);
}
