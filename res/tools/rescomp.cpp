// Compiles resource sources into a resource module: rescomp [--header IDS.h] OUTPUT SOURCE...
// Every source is checked (syntax, ids defined twice) before anything is written; the module (and
// the header of its symbolic ids when asked for) is written to a temporary file, synced and
// renamed, so a failed build never leaves half a module.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "ResourceCompiler.h"
#include "kestrum/atomic_file.h"

namespace {

bool writeOut(const std::string& path, const std::string& content) {
  // An unchanged header keeps its time, so what includes it is not rebuilt.
  if (std::ifstream old(path, std::ios::binary); old) {
    std::ostringstream existing;
    existing << old.rdbuf();
    if (existing.str() == content) return true;
  }
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent);
  std::string error;
  if (kestrum::writeFileAtomically(path, content, &error)) return true;
  std::cerr << error << "\n";
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string header;
  if (args.size() >= 2 && args[0] == "--header") {
    header = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.size() < 2) {
    std::cerr << "usage: rescomp [--header IDS.h] OUTPUT SOURCE...\n";
    return 2;
  }
  std::vector<kestrum::res::ResourceSource> sources;
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::ifstream in(args[i], std::ios::binary);
    if (!in) {
      std::cerr << args[i] << ": cannot be read\n";
      return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    sources.emplace_back(args[i], text.str());
  }
  kestrum::Result<mfc::ResourceModule> module = kestrum::res::CompileResourceSources(sources);
  if (!module) {
    std::cerr << module.problem().Describe() << "\n";
    return 1;
  }
  if (!writeOut(args[0], "KESTRUM-RESOURCES 1\n" + module->serialize())) return 1;
  if (!header.empty() && !writeOut(header, kestrum::res::ResourceIdHeader(*module))) return 1;
  return 0;
}
