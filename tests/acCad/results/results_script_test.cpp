// Results in the host program, driven by scripts through the add-in and the results test module:
// the three shipped results pairs imported, the results window shown as text and saved as PNGs,
// the import's refusals, and printing.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "test_env.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::TempDir;
const auto runScript = kestrum::test::runHostScript;

std::string loadLines() {
  return "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() + "\nARXLOAD " +
         kestrum::test::buildPath("tests/modules/results_module.so").string() + "\n";
}

std::string pair(const std::string& name) {
  const std::string base = kestrum::test::sourcePath("data/results/" + name).string();
  return "RESIMPORT\n@file " + base + ".frd\n@file " + base + ".inp\n";
}

std::string windowLines(const std::string& png) {
  return "WINDOWS show \"Results Processor\"\nWINDOWS png \"Results Processor\" " + png + "\n";
}

// The n-th (0-based) "Min A  Max B" line of the output.
bool rangeOf(const std::string& output, int n, double& minimum, double& maximum) {
  static const std::regex line(R"(Min (\S+)  Max (\S+))");
  auto it = std::sregex_iterator(output.begin(), output.end(), line);
  for (int i = 0; i < n && it != std::sregex_iterator(); ++i) ++it;
  if (it == std::sregex_iterator()) return false;
  minimum = std::stod((*it)[1]), maximum = std::stod((*it)[2]);
  return true;
}

bool isPng(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  char signature[8] = {};
  in.read(signature, 8);
  return in && std::string(signature + 1, 3) == "PNG";
}

TEST(ResultsScript, TheThreePairsShowVonMisesTemperatureAndTheFirstMode) {
  TempDir dir;
  const ProgramRun run = runScript(dir, loadLines() + pair("static_beam") + windowLines("static.png") +
                                            pair("heat_block") + windowLines("heat.png") + pair("vibration_beam") +
                                            windowLines("modes.png") + "WINDOWS list\nQUIT\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("Results imported from"), std::string::npos) << run.output;
  // The static bar: von Mises in the host's stress unit; the root's bending stress, F L / (b h^2 / 6)
  // = 120 MPa, is the largest.
  std::smatch unit;
  ASSERT_TRUE(std::regex_search(run.output, unit, std::regex(R"(Stress \(Von Mises\) \[(\S+)\])"))) << run.output;
  const double pascals = unit[1] == "N/m^2" ? 1.0 : unit[1] == "N/mm^2" ? 1e6 : 0.0;
  ASSERT_GT(pascals, 0.0) << unit[1];
  double minimum = 0, maximum = 0;
  ASSERT_TRUE(rangeOf(run.output, 0, minimum, maximum)) << run.output;
  EXPECT_NEAR(maximum * pascals, 120e6, 0.005 * 120e6);
  // The block between 300 K and 400 K.
  EXPECT_NE(run.output.find("Temperature [degK]"), std::string::npos) << run.output;
  ASSERT_TRUE(rangeOf(run.output, 1, minimum, maximum));
  EXPECT_NEAR(minimum, 300.0, 1e-6 * 300);
  EXPECT_NEAR(maximum, 400.0, 1e-6 * 400);
  // The bar's first bending mode: f1 = 1.875^2 / (2 pi L^2) sqrt(E I / (rho A)) = 818 Hz.
  const std::smatch mode = [&] {
    std::smatch m;
    std::regex_search(run.output, m, std::regex(R"(Mode 1: (\S+) Hz)"));
    return m;
  }();
  ASSERT_FALSE(mode.empty()) << run.output;
  EXPECT_NEAR(std::stod(mode[1]), 818.0, 0.03 * 818.0);
  EXPECT_NE(run.output.find("Displacement (Magnitude)"), std::string::npos);
  for (const char* png : {"static.png", "heat.png", "modes.png"}) EXPECT_TRUE(isPng(dir / png)) << png;
  EXPECT_NE(run.output.find("\"Results Processor\" shown"), std::string::npos) << run.output;
}

TEST(ResultsScript, AnImportThatCannotBeMadeSaysWhyAndLeavesTheFilesAlone) {
  TempDir dir;
  const std::string heat = kestrum::test::sourcePath("data/results/heat_block").string();
  const std::string statics = kestrum::test::sourcePath("data/results/static_beam").string();
  std::filesystem::copy_file(heat + ".frd", dir / "mine.frd");
  std::filesystem::copy_file(heat + ".inp", dir / "mine.inp");
  std::ofstream(dir / "nostep.inp") << "*NODE\n1, 0, 0, 0\n";
  std::ofstream(dir / "broken.frd") << "    1C\n    2C                             1\n -1         1 0.0";
  const std::string mine = (dir / "mine").string();
  const ProgramRun run =
      runScript(dir, loadLines() +
                         // A deck of another mesh, a deck without a step, a damaged results file, a wrong
                         // extension and a cancelled deck dialog.
                         "RESIMPORT\n@file " + mine + ".frd\n@file " + statics + ".inp\n" + "RESIMPORT\n@file " + mine +
                         ".frd\n@file " + (dir / "nostep.inp").string() + "\n" + "RESIMPORT\n@file " +
                         (dir / "broken.frd").string() + "\n@file " + mine + ".inp\n" + "RESIMPORT\n@file " + mine +
                         ".inp\n" + "RESIMPORT\n@file " + mine + ".frd\n@file cancel\n" + "WINDOWS list\nQUIT\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  for (const char* why : {"the deck's nodes are not the nodes of the results file", "the deck has no analysis step",
                          "the results file is damaged", "the file is not a results file", "no input deck was chosen"})
    EXPECT_NE(run.output.find(why), std::string::npos) << why << "\n" << run.output;
  EXPECT_EQ(run.output.find("Results imported from"), std::string::npos) << run.output;
  // The person's files are where they were, as they were.
  EXPECT_EQ(kestrum::test::readFile(dir / "mine.frd"), kestrum::test::readFile(heat + ".frd"));
  EXPECT_EQ(kestrum::test::readFile(dir / "mine.inp"), kestrum::test::readFile(heat + ".inp"));
}

TEST(ResultsScript, PrintingWritesThePictureToTheChosenOutputAndRefusesAnUnwritableOne) {
  TempDir dir;
  const ProgramRun run =
      runScript(dir, loadLines() + pair("heat_block") + "RESPRINTSETUP\n@file " + (dir / "printed.png").string() +
                         "\nRESPRINT\n" + "WINDOWS png \"Results Processor\" " +
                         (dir / "no" / "such" / "folder.png").string() + "\nQUIT\n");
  EXPECT_EQ(run.exitCode, 1) << "the refused PNG is a failed line: " << run.output;
  EXPECT_TRUE(isPng(dir / "printed.png")) << run.output;
  EXPECT_NE(run.output.find("The picture was not saved"), std::string::npos) << run.output;
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

// A model to hold the imported sets (the condition test module makes it).
std::string modelLines() {
  return "ARXLOAD " + kestrum::test::buildPath("tests/modules/lbc_module.so").string() + "\nLBCMODEL Beam 0\n";
}

std::string reopenAndShow(const std::string& drawing, const std::string& png) {
  return "CLOSE\nOPEN " + drawing + "\nRESSHOW static_beam\n" + windowLines(png);
}

// The picture of a result set is the same after the drawing was saved and read again, also from a
// copy saved under another name once the first drawing's data are gone.
TEST(ResultsScript, AResultSetShowsTheSamePictureAfterTheDrawingIsSavedAndReopened) {
  TempDir dir;
  const ProgramRun run =
      runScript(dir, loadLines() + modelLines() + pair("static_beam") + windowLines("before.png") +
                         "SAVEAS beam.dwg\n" + reopenAndShow("beam.dwg", "reopened.png") + "SAVEAS copy.dwg\nQUIT\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("no mesh to draw"), std::string::npos) << run.output;
  std::filesystem::remove_all(dir / "beam");
  const ProgramRun copy =
      runScript(dir, loadLines() + "OPEN copy.dwg\nRESSHOW static_beam\n" + windowLines("copy.png") + "QUIT\n");
  ASSERT_EQ(copy.exitCode, 0) << copy.output;
  const std::string before = kestrum::test::readFile(dir / "before.png");
  ASSERT_GT(before.size(), 1000u);
  EXPECT_EQ(kestrum::test::readFile(dir / "reopened.png"), before);
  EXPECT_EQ(kestrum::test::readFile(dir / "copy.png"), before);
  EXPECT_TRUE(std::filesystem::is_directory(dir / "copy")) << "the copy keeps its own data";
}

// The data files in the drawing's folder.
std::vector<std::filesystem::path> dataFiles(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    if (entry.path().extension() == ".kres") files.push_back(entry.path());
  return files;
}

const char* const kDeleteTheSet = "@select 1198 beam/Beam*/static_beam*\n@key 1198 Delete\n";

// A deleted set's data file goes with the save that no longer names it, never before: a drawing
// closed without saving still shows the set. A set brought back by U after that save (its data
// read into memory first) is filed again by the next save and shows the same picture.
TEST(ResultsScript, ADeletedSetsDataFileGoesWithTheSaveAndComesBackWithUndo) {
  TempDir dir;
  ASSERT_EQ(runScript(dir, loadLines() + modelLines() + pair("static_beam") + windowLines("before.png") +
                               "SAVEAS beam.dwg\nQUIT\n")
                .exitCode,
            0);
  ASSERT_EQ(dataFiles(dir / "beam").size(), 1u);

  const ProgramRun unsaved = runScript(dir, loadLines() + "OPEN beam.dwg\n" + kDeleteTheSet + "CLOSE\nN\nQUIT\n");
  ASSERT_EQ(unsaved.exitCode, 0) << unsaved.output;
  EXPECT_EQ(dataFiles(dir / "beam").size(), 1u) << "the drawing on disk still names it\n" << unsaved.output;

  const ProgramRun saved = runScript(dir, loadLines() + "OPEN beam.dwg\n" + kDeleteTheSet + "QSAVE\nQUIT\n");
  ASSERT_EQ(saved.exitCode, 0) << saved.output;
  EXPECT_TRUE(dataFiles(dir / "beam").empty()) << saved.output;

  std::filesystem::remove_all(dir / "beam");
  std::filesystem::remove(dir / "beam.dwg");
  const ProgramRun undone =
      runScript(dir, loadLines() + modelLines() + pair("static_beam") + "SAVEAS beam.dwg\nCLOSE\nOPEN beam.dwg\n" +
                         kDeleteTheSet + "QSAVE\nU\nQSAVE\nQUIT\n");
  ASSERT_EQ(undone.exitCode, 0) << undone.output;
  EXPECT_EQ(dataFiles(dir / "beam").size(), 1u) << undone.output;
  const ProgramRun shown =
      runScript(dir, loadLines() + "OPEN beam.dwg\nRESSHOW static_beam\n" + windowLines("after.png") + "QUIT\n");
  ASSERT_EQ(shown.exitCode, 0) << shown.output;
  const std::string before = kestrum::test::readFile(dir / "before.png");
  ASSERT_GT(before.size(), 1000u);
  EXPECT_EQ(kestrum::test::readFile(dir / "after.png"), before) << shown.output;
}

// A set whose data file is missing, damaged or of another set shows nothing and says why, on the
// command line and in the window; the drawing opens all the same.
TEST(ResultsScript, ASetWhoseDataFileIsMissingOrDamagedSaysWhy) {
  struct Case {
    const char* what;
    std::function<void(const std::filesystem::path&)> spoil;
    const char* reason;
  };
  const Case cases[] = {
      {"missing", [](const std::filesystem::path& file) { std::filesystem::remove(file); }, "cannot be read"},
      {"cut short",
       [](const std::filesystem::path& file) {
         std::filesystem::resize_file(file, std::filesystem::file_size(file) / 2);
       },
       "the result data file is damaged"},
      {"of other results",
       [](const std::filesystem::path& file) { std::ofstream(file, std::ios::trunc) << "KRESDATA"; },
       "the result data file is damaged"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const ProgramRun saved =
        runScript(dir, loadLines() + modelLines() + pair("static_beam") + "SAVEAS beam.dwg\nQUIT\n");
    ASSERT_EQ(saved.exitCode, 0) << saved.output;
    std::filesystem::path data;
    for (const auto& entry : std::filesystem::directory_iterator(dir / "beam")) data = entry.path();
    ASSERT_EQ(data.extension(), ".kres") << c.what;
    c.spoil(data);
    const ProgramRun run = runScript(
        dir, loadLines() + "OPEN beam.dwg\nRESSHOW static_beam\n" + "WINDOWS show \"Results Processor\"\nQUIT\n");
    EXPECT_EQ(run.exitCode, 0) << c.what << "\n" << run.output;
    EXPECT_NE(run.output.find("The results " + data.string() + " could not be read: "), std::string::npos)
        << c.what << "\n"
        << run.output;
    EXPECT_NE(run.output.find(c.reason), std::string::npos) << c.what << "\n" << run.output;
    EXPECT_NE(run.output.find("The data of the result set \"static_beam\" could not be read"), std::string::npos)
        << c.what << ": the window says it too\n"
        << run.output;
  }
}

// The shipped results example, prepared as ./run demo prepares it: the three imports each leave
// their picture.
TEST(ResultsScript, TheShippedExampleImportsTheThreePairsAndSavesTheirPictures) {
  TempDir dir;
  std::string script = kestrum::test::readFile(kestrum::test::sourcePath("data/demo/results.scr"));
  ASSERT_FALSE(script.empty());
  const std::string build = kestrum::test::buildPath("lib").parent_path().string();
  const std::string data = kestrum::test::sourcePath("data/results").string();
  script = std::regex_replace(script, std::regex("@BUILD@"), build);
  script = std::regex_replace(script, std::regex("@DATA@"), data);
  const ProgramRun run = runScript(dir, script);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("Nothing was imported"), std::string::npos) << run.output;
  for (const char* picture : {"results-static.png", "results-heat.png", "results-modes.png"})
    EXPECT_GT(std::filesystem::file_size(dir / picture), 1000u) << picture;
  EXPECT_NE(run.output.find("\"Results Processor\" shown"), std::string::npos) << run.output;
}

}  // namespace
