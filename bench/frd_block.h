// The benchmarks' large result: a static result of a block meshed with 100,800 nodes (hexahedra,
// displacements and stresses at every node) as a solver ".frd", written once per folder.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace bench {

constexpr int kNx = 70, kNy = 40, kNz = 36;  // 100,800 nodes

// A scratch folder of the bench's own under the system's temporary directory.
inline std::filesystem::path Folder(const char* name) {
  std::filesystem::path path = std::filesystem::temp_directory_path() / name;
  std::filesystem::create_directories(path);
  return path;
}

inline int NodeId(int i, int j, int k) { return 1 + i + kNx * (j + kNy * k); }

inline void Field(std::ofstream& out, int id, const double* values, int count) {
  char line[256];
  int at = std::snprintf(line, sizeof line, " -1%10d", id);
  for (int v = 0; v < count; ++v) at += std::snprintf(line + at, sizeof line - at, "%12.5E", values[v]);
  out << line << "\n";
}

// A cantilever-like field on a block 0.7 x 0.4 x 0.36 m: bending stress and a tip deflection.
inline std::filesystem::path WriteFrd(const std::filesystem::path& folder) {
  const std::filesystem::path path = folder / "block.frd";
  if (std::filesystem::exists(path)) return path;
  std::ofstream out(path);
  const int nodes = kNx * kNy * kNz, elements = (kNx - 1) * (kNy - 1) * (kNz - 1);
  out << "    1C\n";
  char line[256];
  std::snprintf(line, sizeof line, "    2C%30d%37d\n", nodes, 1);
  out << line;
  for (int k = 0; k < kNz; ++k)
    for (int j = 0; j < kNy; ++j)
      for (int i = 0; i < kNx; ++i) {
        const double xyz[3] = {0.01 * i, 0.01 * j, 0.01 * k};
        Field(out, NodeId(i, j, k), xyz, 3);
      }
  out << " -3\n";
  std::snprintf(line, sizeof line, "    3C%30d%37d\n", elements, 1);
  out << line;
  int element = 0;
  for (int k = 0; k + 1 < kNz; ++k)
    for (int j = 0; j + 1 < kNy; ++j)
      for (int i = 0; i + 1 < kNx; ++i) {
        std::snprintf(line, sizeof line, " -1%10d%5d%5d%5d\n", ++element, 1, 0, 1);
        out << line;
        const int n[8] = {
            NodeId(i, j, k),     NodeId(i + 1, j, k),     NodeId(i + 1, j + 1, k),     NodeId(i, j + 1, k),
            NodeId(i, j, k + 1), NodeId(i + 1, j, k + 1), NodeId(i + 1, j + 1, k + 1), NodeId(i, j + 1, k + 1)};
        out << " -2";
        for (int c = 0; c < 8; ++c) {
          std::snprintf(line, sizeof line, "%10d", n[c]);
          out << line;
        }
        out << "\n";
      }
  out << " -3\n";
  out << "  100CL  101 1.000000000" << std::string(12 - 1, ' ') << nodes << "                     0    1           1\n";
  out << " -4  DISP        4    1\n -5  D1          1    2    1    0\n -5  D2          1    2    2    0\n"
         " -5  D3          1    2    3    0\n -5  ALL         1    2    0    0    1ALL\n";
  for (int k = 0; k < kNz; ++k)
    for (int j = 0; j < kNy; ++j)
      for (int i = 0; i < kNx; ++i) {
        const double x = 0.01 * i;
        const double u[3] = {0.0, 0.0, -1e-3 * x * x};
        Field(out, NodeId(i, j, k), u, 3);
      }
  out << " -3\n";
  out << " -4  STRESS      6    1\n";
  for (const char* name : {"SXX", "SYY", "SZZ", "SXY", "SYZ", "SZX"})
    out << " -5  " << name << "         1    4    1    1\n";
  for (int k = 0; k < kNz; ++k)
    for (int j = 0; j < kNy; ++j)
      for (int i = 0; i < kNx; ++i) {
        const double s[6] = {1e6 * (0.7 - 0.01 * i) * (0.01 * k - 0.18), 0, 0, 1e4 * j, 0, 0};
        Field(out, NodeId(i, j, k), s, 6);
      }
  out << " -3\n 9999\n";
  return path;
}

}  // namespace bench
