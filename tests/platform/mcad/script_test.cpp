// The part commands end to end: a script run by the cadhost program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "test_env.h"

namespace {

using kestrum::test::TempDir;

struct ProgramRun {
  int exitCode = -1;
  std::string output;
};

ProgramRun runScript(const TempDir& dir, const std::string& script) {
  std::ofstream(dir / "test.scr") << script;
  std::string outFile = (dir / "output.txt").string();
  std::string command = "cd '" + dir.path().string() + "' && '" + kestrum::test::buildPath("bin/cadhost").string() +
                        "' --script test.scr > '" + outFile + "' 2>&1";
  int status = std::system(command.c_str());
  return ProgramRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, kestrum::test::readFile(outFile)};
}

// What the command typed as `marker` printed (up to the next command prompt).
std::string answerOf(const std::string& output, const std::string& marker, int occurrence = 1) {
  std::size_t at = 0;
  for (int i = 0; i < occurrence; ++i) {
    at = output.find("Command: " + marker, i == 0 ? 0 : at + 1);
    if (at == std::string::npos) return "";
  }
  std::size_t end = output.find("Command: ", at + 1);
  return output.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(PartScript, KeysFollowEditsUndoAndASavedDrawing) {
  TempDir dir;
  std::string pocket = kestrum::test::sourcePath("tests/platform/mcad/fixtures/pocket_block.part").string();
  ProgramRun run = runScript(dir,
                             "PART plate_with_hole\n"
                             "PART \"" +
                                 pocket +
                                 "\"\n"
                                 "KEY plate/hole1/side\n"
                                 "PARAM set plate/D 40\n"
                                 "KEY plate/hole1/side\n"
                                 "PARAM set plate/D 500\n"
                                 "KEY block/pocket/bottom\n"
                                 "PARAM set block/Depth 12\n"
                                 "KEY block/pocket/bottom\n"
                                 "KEY block/pocket/side\n"
                                 "UNDO 1\n"
                                 "KEY block/pocket/bottom\n"
                                 "SAVEAS parts.dwg\n"
                                 "CLOSE\n"
                                 "OPEN parts.dwg\n"
                                 "KEY plate/hole1/side\n"
                                 "KEY block/pocket/bottom\n"
                                 "PARAM list\n"
                                 "PARTS\n");
  ASSERT_EQ(run.exitCode, 1) << run.output;  // the refused PARAM set plate/D 500 failed its line
  const std::string& out = run.output;
  EXPECT_TRUE(contains(answerOf(out, "PART plate_with_hole"), "Part plate: 7 faces, 15 edges, 10 vertices")) << out;
  EXPECT_TRUE(contains(answerOf(out, "KEY plate/hole1/side", 1), "cylinder radius 15,")) << out;
  EXPECT_TRUE(contains(answerOf(out, "KEY plate/hole1/side", 2), "cylinder radius 20,")) << out;
  std::string refused = answerOf(out, "PARAM set plate/D 500");
  EXPECT_TRUE(contains(refused, "does not fit")) << out;
  EXPECT_TRUE(contains(refused, "The parameter was not changed.")) << out;
  EXPECT_TRUE(contains(answerOf(out, "KEY block/pocket/bottom", 1), "face, plane, area 50.26")) << out;
  EXPECT_TRUE(contains(answerOf(out, "KEY block/pocket/bottom", 2), "stale")) << out;
  EXPECT_TRUE(contains(answerOf(out, "KEY block/pocket/side"), "area 251.32")) << out;  // through: 8 * pi * 10
  EXPECT_TRUE(contains(answerOf(out, "KEY block/pocket/bottom", 3), "face, plane, area 50.26")) << out;
  // After reopening: the edited plate and the pocket as UNDO left it.
  EXPECT_TRUE(contains(answerOf(out, "KEY plate/hole1/side", 3), "cylinder radius 20,")) << out;
  EXPECT_TRUE(contains(answerOf(out, "KEY block/pocket/bottom", 4), "centre (20, 15, 6")) << out;
  std::string listed = answerOf(out, "PARAM list");
  EXPECT_TRUE(contains(listed, "plate/D = 40 (40)")) << out;
  EXPECT_TRUE(contains(listed, "block/Depth = 4 (4)")) << out;
  std::string parts = answerOf(out, "PARTS");
  EXPECT_TRUE(contains(parts, "feature hole1 hole")) << out;
  EXPECT_TRUE(contains(parts, "face block/pocket/bottom")) << out;
}

TEST(PartScript, AssemblyGlobalsAndBadCommands) {
  TempDir dir;
  std::ofstream(dir / "broken.part") << "part p\nwedge w corner=(0,0,0)\n";
  ProgramRun run = runScript(dir,
                             "PART plate_and_bracket.asm\n"
                             "PARAM set Lift 20\n"
                             "PARAM set base/T -1\n"
                             "PARAM set arm/Nope 3\n"
                             "PART broken.part\n"
                             "PART no_such_part\n"
                             "PARTS\n"
                             "SAVEAS pair.dwg\n"
                             "CLOSE\n"
                             "OPEN pair.dwg\n"
                             "PARAM list\n");
  ASSERT_EQ(run.exitCode, 1) << run.output;  // the bad commands failed their lines
  const std::string& out = run.output;
  EXPECT_TRUE(contains(answerOf(out, "PART plate_and_bracket.asm"), "Part arm: 14 faces")) << out;
  std::string reopened = answerOf(out, "PARAM list");
  EXPECT_TRUE(contains(reopened, "Designer Lift = 20 (20)")) << out;
  EXPECT_TRUE(contains(reopened, "base/T = 10 (10)")) << out;
  EXPECT_TRUE(contains(answerOf(out, "PARAM set Lift 20"), "Designer Lift = 20")) << out;
  std::string refused = answerOf(out, "PARAM set base/T -1");
  EXPECT_TRUE(contains(refused, "must be positive")) << out;
  EXPECT_FALSE(contains(refused, "regenerated")) << out;
  EXPECT_TRUE(contains(answerOf(out, "PARAM set arm/Nope 3"), "The parameter was not changed.")) << out;
  std::string broken = answerOf(out, "PART broken.part");
  EXPECT_TRUE(contains(broken, "broken.part:2")) << out;
  EXPECT_TRUE(contains(broken, "Nothing was added.")) << out;
  EXPECT_TRUE(contains(answerOf(out, "PART no_such_part"), "No part file no_such_part")) << out;
  EXPECT_TRUE(contains(answerOf(out, "PARTS"), "Parts in the drawing: 2")) << out;
}

}  // namespace
