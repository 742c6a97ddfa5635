// Compiles resource sources into a resource module: rescomp OUTPUT SOURCE...
// Every source is checked (syntax, ids defined twice) before anything is written; the module is
// written to a temporary file, synced and renamed, so a failed build never leaves half a module.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "kestrum/atomic_file.h"
#include "mfc/resource_module.h"

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
  std::filesystem::create_directories(std::filesystem::path(argv[1]).parent_path());
  std::string error;
  if (!kestrum::writeFileAtomically(argv[1], "KESTRUM-RESOURCES 1\n" + module.serialize(), &error)) {
    std::cerr << error << "\n";
    return 1;
  }
  return 0;
}
