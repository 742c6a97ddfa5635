// Mating relations in the host program, driven by scripts through the test modules: a relation
// picked by key names (the same face twice refused and picked again), listed on its layer with
// its pair, kept through a part edit, undo and redo, save and reopen, and erased as a whole.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "test_env.h"

namespace {

using kestrum::test::countOf;
using kestrum::test::ProgramRun;
using kestrum::test::TempDir;
const auto runScript = kestrum::test::runHostScript;

std::string loadLines() {
  return "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() + "\nARXLOAD " +
         kestrum::test::buildPath("tests/modules/lbc_module.so").string() + "\nARXLOAD " +
         kestrum::test::buildPath("tests/modules/mate_module.so").string() + "\n";
}

// The text each command printed, in order, by the command line that started it.
std::vector<std::string> outputsOf(const std::string& output, const std::string& command) {
  std::vector<std::string> found;
  const std::string start = "Command: " + command + "\n";
  for (std::size_t at = output.find(start); at != std::string::npos; at = output.find(start, at + 1)) {
    const std::size_t end = output.find("\nCommand:", at + start.size());
    found.push_back(output.substr(at, end == std::string::npos ? std::string::npos : end - at));
  }
  return found;
}

// A relation refused for its empty name; picked on the plate's top and the bracket's bottom (the
// top picked twice is refused with a box and picked again); undone and redone; kept through a
// hole edit and its undo (listings are no undo steps: UNDO 1 takes back the edit); erased as a whole
// through one relation and brought back by UNDO; saved,
// closed and reopened.
const char kJoint[] =
    "PART plate_and_bracket.asm\n"
    "LBCMODEL Assembly 0\n"
    "MATEREL\n"
    "\n"
    "3\n"
    "5\n"
    "MATEREL Joint 3 5\n"
    "base/plate/top\n"
    "base/plate/top\n"
    "@click IDOK\n"
    "arm/base/bottom\n"
    "U\n"
    "REDO\n"
    "LIST\n"
    "MATELIST\n"
    "PNGOUT before.png\n"
    "0,-1,0.3\n"
    "PARAM set base/D 50\n"
    "KEY base/plate/top\n"
    "MATELIST\n"
    "UNDO 1\n"
    "KEY base/hole1/side\n"
    "MATEERASE 1 first\n"
    "MATELIST\n"
    "UNDO 1\n"
    "MATELIST\n"
    "SAVEAS joint.dwg\n"
    "CLOSE\n"
    "OPEN joint.dwg\n"
    "LBCMODEL Assembly 0\n"
    "LIST\n"
    "MATELIST\n"
    "PNGOUT after.png\n"
    "0,-1,0.3\n"
    "QUIT\n";

constexpr char kLiveJoint[] =
    "Pair 1 \"Joint\" live, colour 3, scale 5\n  first: plate/top live, resolves\n  second: base/bottom live, resolves";

TEST(MateScript, APickedRelationSurvivesEditsUndoEraseAndReopen) {
  TempDir dir;
  const ProgramRun run = runScript(dir, loadLines() + kJoint);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("General Error"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("TLX Exception"), std::string::npos) << run.output;
  EXPECT_EQ(countOf(run.output, "A mating relation needs a name."), 1) << run.output;
  EXPECT_EQ(countOf(run.output, "You have selected the same face twice.  Please re-select the second face.\n(Hint:"), 1)
      << run.output;

  const std::vector<std::string> lists = outputsOf(run.output, "LIST");
  ASSERT_EQ(lists.size(), 2u) << run.output;
  for (const std::string& list : lists) {
    EXPECT_NE(list.find("CaepMateRelEnt (2)"), std::string::npos) << list;
    EXPECT_NE(list.find("CaepMateRelPair (1)"), std::string::npos) << list;
    EXPECT_EQ(countOf(list, "layer \"CAE_MATEREL\""), 2) << list;
  }
  const std::vector<std::string> states = outputsOf(run.output, "MATELIST");
  ASSERT_EQ(states.size(), 5u) << run.output;
  // Made (after U and REDO), after the edit, erased through its first relation, back by UNDO,
  // and reopened.
  for (int i : {0, 1, 3, 4}) EXPECT_NE(states[i].find(kLiveJoint), std::string::npos) << i << states[i];
  EXPECT_NE(states[2].find("\"Joint\" erased"), std::string::npos) << states[2];
  EXPECT_NE(states[2].find("first: plate/top erased"), std::string::npos) << states[2];
  EXPECT_NE(states[2].find("second: base/bottom erased"), std::string::npos) << states[2];
  // The edit gave the top face its new geometry (a 50 mm hole) and its undo the old one.
  EXPECT_NE(run.output.find("base/plate/top: face, plane, area 18036.5"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("base/hole1/side: face, cylinder radius 15,"), std::string::npos) << run.output;
  EXPECT_TRUE(std::filesystem::exists(dir / "before.png")) << run.output;
  EXPECT_TRUE(std::filesystem::exists(dir / "after.png")) << run.output;
}

// DXF carries no parts, so a relation's key names nothing there: the relations are skipped with a
// message when the file is read, and the pair stays, inactive, without a further error.
const char kJointThroughDxf[] =
    "PART plate_and_bracket.asm\n"
    "LBCMODEL Assembly 0\n"
    "MATEREL Joint 3 5\n"
    "base/plate/top\n"
    "arm/base/bottom\n"
    "DXFOUT joint.dxf\n"
    "DXFIN joint.dxf\n"
    "LBCMODEL Assembly 0\n"
    "LIST\n"
    "MATELIST\n"
    "REGENALL\n"
    "SAVEAS joint.dwg\n"
    "QUIT\n";

TEST(MateScript, ThroughDxfThePairStaysInactive) {
  TempDir dir;
  const ProgramRun run = runScript(dir, loadLines() + kJointThroughDxf);
  EXPECT_EQ(countOf(run.output, "Skipped a DXF CAEPMATERELENT"), 2) << run.output;
  const std::size_t read = run.output.find("Opened ");
  ASSERT_NE(read, std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("General Error", read), std::string::npos) << run.output.substr(read);
  const std::vector<std::string> states = outputsOf(run.output, "MATELIST");
  ASSERT_EQ(states.size(), 1u) << run.output;
  EXPECT_NE(states[0].find("Pair 1 \"Joint\" inactive"), std::string::npos) << states[0];
  EXPECT_NE(states[0].find("first: none"), std::string::npos) << states[0];
  EXPECT_TRUE(std::filesystem::exists(dir / "joint.dwg")) << run.output;
}

// A relation between the block's top and its pocket's floor: the pocket deepened through the
// block takes the floor, and the relation with it; saved so and reopened, the edit that brings
// the floor back brings the relation back, U takes the edit and the return back, REDO both again.
const char kPocketThroughReopen[] =
    "LBCMODEL Block 0\n"
    "MATEREL Pocket 3 1\n"
    "block/pocket/bottom\n"
    "block/body/top\n"
    "MATELIST\n"
    "PARAM set block/Depth 12\n"
    "MATELIST\n"
    "SAVEAS gone.dwg\n"
    "CLOSE\n"
    "OPEN gone.dwg\n"
    "LBCMODEL Block 0\n"
    "MATELIST\n"
    "PARAM set block/Depth 6\n"
    "MATELIST\n"
    "U\n"
    "MATELIST\n"
    "REDO\n"
    "MATELIST\n"
    "QUIT\nN\n";

TEST(MateScript, ARelationItsFaceTookComesBackWithTheFaceAfterAReopenAndFollowsUAndRedo) {
  TempDir dir;
  const std::string part = kestrum::test::sourcePath("tests/platform/mcad/fixtures/pocket_block.part").string();
  const ProgramRun run = runScript(dir, loadLines() + "PART " + part + "\n" + kPocketThroughReopen);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(run.output.find("General Error"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("Exception"), std::string::npos) << run.output;
  const std::vector<std::string> states = outputsOf(run.output, "MATELIST");
  ASSERT_EQ(states.size(), 6u) << run.output;
  const bool live[] = {true, false, false, true, false, true};
  for (std::size_t i = 0; i < states.size(); ++i) {
    SCOPED_TRACE(i);
    if (live[i]) {
      EXPECT_NE(states[i].find("Pair 1 \"Pocket\" live"), std::string::npos) << states[i];
      EXPECT_NE(states[i].find("first: pocket/bottom live, resolves"), std::string::npos) << states[i];
      EXPECT_NE(states[i].find("second: body/top live, resolves"), std::string::npos) << states[i];
    } else {
      EXPECT_NE(states[i].find("Pair 1 \"Pocket\" erased"), std::string::npos) << states[i];
      EXPECT_NE(states[i].find("first: pocket/bottom erased, stale"), std::string::npos) << states[i];
      EXPECT_NE(states[i].find("second: body/top erased"), std::string::npos) << states[i];
    }
  }
}

}  // namespace
