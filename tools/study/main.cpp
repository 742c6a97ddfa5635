// study: runs one analysis described in a text file through the engine and prints its summary.
//   study FILE [WORK_FOLDER]
// The work folder keeps the deck, the solver's files and results; by default it is FILE's name with
// ".work" in the engine's scratch folder (shipped studies under data/ are only read). Exit status:
// 0 done, 1 bad input, 2 the analysis failed.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "Study.h"
#include "amg/CaeConfig.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::cerr << "usage: study FILE [WORK_FOLDER]\n";
    return 1;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << "study: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();
  study::Description description;
  std::string error;
  if (!study::Parse(text.str(), description, error, std::filesystem::path(argv[1]).parent_path())) {
    std::cerr << "study: " << argv[1] << ": " << error << "\n";
    return 1;
  }
  std::filesystem::path work;
  if (argc == 3) {
    work = argv[2];
  } else {
    std::optional<CaeString> scratch = CaeConfig::GetValue("Scratch Directory");
    std::filesystem::path folder = scratch ? std::filesystem::path(scratch->Str()) : std::filesystem::temp_directory_path();
    work = folder / (std::filesystem::path(argv[1]).filename().string() + ".work");
  }
  std::cout << "Work folder: " << work.string() << "\n";
  const study::Summary summary = study::Run(description, work);
  std::cout << study::Format(summary);
  return summary.ok ? 0 : 2;
}
