// study: runs one analysis described in a text file through the engine and prints its summary.
//   study FILE [WORK_FOLDER]
// The work folder keeps the deck, the solver's files and results; by default it is FILE's name with
// ".work" in the engine's scratch folder (shipped studies under data/ are only read). Phases and the
// solver's progress go to the error stream, the summary to the output. Exit status: 0 done, 1 bad
// input, 2 the analysis failed.
#include <filesystem>
#include <iostream>
#include <optional>

#include "Study.h"
#include "amg/CaeConfig.h"
#include "kestrum/text.h"

namespace {

// Study files are a few lines; anything near this is not one.
constexpr std::uintmax_t kMaxStudyBytes = 1 << 20;

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::cerr << "usage: study FILE [WORK_FOLDER]\n";
    return 1;
  }
  const std::filesystem::path file = argv[1];
  const kestrum::Result<std::string> text = kestrum::ReadWholeFile(file, kMaxStudyBytes);
  if (!text) {
    std::cerr << "study: " << text.problem().Describe() << "\n";
    return 1;
  }
  const kestrum::Result<study::Description> description = study::ParseStudy(*text, file);
  if (!description) {
    std::cerr << "study: " << description.problem().Describe() << "\n";
    return 1;
  }
  std::filesystem::path work;
  if (argc == 3) {
    work = argv[2];
  } else {
    std::optional<CaeString> scratch = CaeConfig::GetValue("Scratch Directory");
    std::filesystem::path folder =
        scratch ? std::filesystem::path(scratch->Str()) : std::filesystem::temp_directory_path();
    work = folder / (file.filename().string() + ".work");
  }
  std::cout << "Work folder: " << work.string() << "\n" << std::flush;
  const kestrum::Result<study::Summary> summary = study::Run(*description, work, &std::cerr);
  if (!summary) {
    std::cout << "Study failed: " << summary.problem().Describe() << "\n";
    return 2;
  }
  std::cout << study::Format(*summary);
  return 0;
}
