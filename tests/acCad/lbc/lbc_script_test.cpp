// Conditions in the host program, driven by scripts through the test module: creation by pick,
// undo and redo, a cancelled creation, save, reopen and the picture of the symbols.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "arx/gidisplay.h"
#include "png_image.h"
#include "test_env.h"

namespace {

using kestrum::test::countOf;
using kestrum::test::GreenCyanTally;
using kestrum::test::ProgramRun;
using kestrum::test::TempDir;

// The green and cyan pixels of a picture the script wrote; none when it cannot be read.
GreenCyanTally tallyOf(const std::filesystem::path& file) {
  AcGiImage image;
  EXPECT_TRUE(kestrum::test::readPng(file, image)) << file;
  return kestrum::test::tallyGreenAndCyan(image);
}

std::string loadLines() {
  return "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() + "\nARXLOAD " +
         kestrum::test::buildPath("tests/modules/lbc_module.so").string() + "\n";
}

// The text of each LIST, in order.
std::vector<std::string> listings(const std::string& output) {
  std::vector<std::string> found;
  for (std::size_t at = output.find("Objects of "); at != std::string::npos; at = output.find("Objects of ", at + 1)) {
    const std::size_t end = output.find("\nCommand", at);
    found.push_back(output.substr(at, end == std::string::npos ? std::string::npos : end - at));
  }
  return found;
}

// A pressure picked on the top face, a fixed restraint picked by name and undone (drawn then)
// and redone, a creation ended with ESC; saved, closed, reopened and drawn.
const char kPlateLoads[] =
    "PART plate_with_hole\n"
    "LBCMODEL Plate 0\n"
    "LBCLOADSET Loads\n"
    "LBCRESTSET Fixed\n"
    "LBCCREATE 4 Pressure 0,0,2 000000 face 10 -1\n"
    "150,20,10\n"
    "LBCCREATE 7 Fixed 0,0,0 000000 global 10 -1\n"
    "plate/plate/left\n"
    "U\n"
    "PNGOUT undone.png -1,-1,1\n"
    "REDO\n"
    "LBCCREATE 1 Cancelled 0,0,10 000000 global 10 -1\n"
    "^[\n"
    "LIST\n"
    "SAVEAS plate_loads.dwg\n"
    "CLOSE\n"
    "OPEN plate_loads.dwg\n"
    "LIST\n"
    "PNGOUT plate_loads.png -1,-1,1\n"
    "QUIT\n";

TEST(LbcScript, PickedConditionsSurviveUndoSaveAndReopen) {
  TempDir dir;
  const ProgramRun run = kestrum::test::runHostScript(dir, loadLines() + kPlateLoads);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("General Error"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("*Cancel*"), std::string::npos) << run.output;
  const std::vector<std::string> lists = listings(run.output);
  ASSERT_EQ(lists.size(), 2u) << run.output;
  for (const std::string& list : lists) {
    EXPECT_NE(list.find("CaepLbcEnt (2)"), std::string::npos) << list;
    EXPECT_EQ(countOf(list, "layer \"CAE_LBC\""), 2) << list;
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "plate_loads.dwg")) << run.output;

  // Default colours: green pressure arrows, cyan bow ties. Fifteen arrows of about 35 px and
  // twelve bow ties on the left face's edges give a few hundred pixels of each; with the
  // restraint undone only the arrows show.
  const GreenCyanTally undone = tallyOf(dir / "undone.png");
  const GreenCyanTally reopened = tallyOf(dir / "plate_loads.png");
  EXPECT_GT(undone.green, 300);
  EXPECT_LT(undone.cyan, 20);
  EXPECT_GT(reopened.green, 300);
  EXPECT_GT(reopened.cyan, 300);
}

}  // namespace
