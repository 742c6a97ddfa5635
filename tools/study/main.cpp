// study: runs one analysis described in a text file through the engine and prints its summary.
//   study FILE [WORK_FOLDER]
// The work folder (default: FILE's name with ".work") keeps the deck, the solver's files and
// results. Exit status: 0 done, 1 bad input, 2 the analysis failed.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "Study.h"

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
  study::Spec spec;
  std::string error;
  if (!study::Parse(text.str(), spec, error)) {
    std::cerr << "study: " << argv[1] << ": " << error << "\n";
    return 1;
  }
  const std::filesystem::path work = argc == 3 ? std::filesystem::path(argv[2]) : std::filesystem::path(std::string(argv[1]) + ".work");
  const study::Summary summary = study::Run(spec, work);
  std::cout << study::Format(summary);
  return summary.ok ? 0 : 2;
}
