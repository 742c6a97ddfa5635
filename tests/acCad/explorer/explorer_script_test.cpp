// The Explorer in the host program as a person uses it: the tab in the browser (objects made from
// its context menu, Delete and U as one undo step, a refused label edit, Enter and Esc, the same
// tree after saving and reopening) and the Explorer dialog (Refresh, Close, and "Open File..."
// importing the shipped results pairs under a simulation model).
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "test_env.h"

namespace {

using kestrum::test::ProgramRun;
using kestrum::test::TempDir;

// The part of `output` after the first occurrence of `mark` up to the next "Command:" prompt.
std::string after(const std::string& output, const std::string& mark) {
  const std::size_t start = output.find(mark);
  if (start == std::string::npos) return "";
  const std::size_t end = output.find("\nCommand:", start + mark.size());
  return output.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ExplorerScript, TheTabMakesDeletesAndUndoesAndTheDialogShowsTheSameTree) {
  TempDir dir;
  const std::string script = "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() +
                             "\n"
                             "NEW\n"
                             "SAVEAS bracket.dwg\n"
                             "@show\n"
                             "@rclick 1198 bracket\n@menu Simulation Model\n@click IDOK\n@click IDOK\n"
                             "@rclick 1198 bracket\n@menu Load Set\n@click IDOK\n"
                             "@rclick 1198 bracket\n@menu Restraint Set\n@click IDOK\n"
                             "BROWSERTABS show\n"
                             "@select 1198 bracket/bracket_LS*\n"
                             "@key 1198 Delete\n"
                             "BROWSERTABS show\n"
                             "U\n"
                             "BROWSERTABS show\n"
                             "@edit 1198 bracket/bracket_Model* Renamed\n"
                             "@key 1198 Enter\n"
                             "@key 1198 Escape\n"
                             "BROWSERTABS show\n"
                             "QSAVE\n"
                             "CLOSE\n"
                             "OPEN bracket.dwg\n"
                             "BROWSERTABS show\n"
                             "CAEP_EXPLORER\n"
                             "@show\n"
                             "@menu Refresh\n"
                             "@show\n"
                             "@menu Close\n"
                             "QUIT\n";
  const ProgramRun run = kestrum::test::runHostScript(dir, script);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string& out = run.output;

  // The new drawing's tab shows its root only.
  const std::string first = after(out, "Command: @show");
  EXPECT_TRUE(has(first, "page 408")) << first;
  EXPECT_TRUE(has(first, "bracket [icon 108]")) << first;
  EXPECT_FALSE(has(first, "bracket_Model")) << first;

  // The three objects, each made current (marked) with its icon.
  const std::string made = after(out, "Command: BROWSERTABS show");
  for (const char* line : {"bracket_Model* [icon 275]", "bracket_LS* [icon 110]", "bracket_RS* [icon 106]"})
    EXPECT_TRUE(has(made, line)) << line << "\n" << made;

  // Delete asks nothing and the set goes; U brings it back and the tab shows it again.
  const std::size_t deleted = out.find("Command: @key 1198 Delete");
  ASSERT_NE(deleted, std::string::npos) << out;
  const std::string afterDelete = after(out.substr(deleted), "Command: BROWSERTABS show");
  EXPECT_FALSE(has(afterDelete, "bracket_LS")) << afterDelete;
  EXPECT_TRUE(has(afterDelete, "bracket_RS*")) << afterDelete;
  const std::size_t undone = out.find("Command: U\n", deleted);
  ASSERT_NE(undone, std::string::npos) << out;
  EXPECT_TRUE(has(out.substr(undone, 200), "FEA_EXPLORER undone")) << out.substr(undone, 200);
  const std::string afterUndo = after(out.substr(undone), "Command: BROWSERTABS show");
  // The set was current when it was deleted, and is current again.
  EXPECT_TRUE(has(afterUndo, "bracket_LS* [icon 110]")) << afterUndo;
  EXPECT_TRUE(has(afterUndo, "bracket_Model* [icon 275]")) << afterUndo;

  // A model's label is not edited; Enter and Esc leave the tab where it was.
  const std::size_t keys = out.find("Command: @key 1198 Escape");
  ASSERT_NE(keys, std::string::npos) << out;
  const std::string afterKeys = after(out.substr(keys), "Command: BROWSERTABS show");
  EXPECT_TRUE(has(afterKeys, "\"kS.Inside\" group MApiSys")) << afterKeys;
  EXPECT_TRUE(has(afterKeys, "bracket_Model* [icon 275]")) << afterKeys;
  EXPECT_FALSE(has(afterKeys, "Renamed")) << afterKeys;

  // Saved, closed and opened: the same objects in the tab and in the dialog.
  const std::size_t opened = out.find("Command: OPEN bracket.dwg");
  ASSERT_NE(opened, std::string::npos) << out;
  const std::string reopened = after(out.substr(opened), "Command: BROWSERTABS show");
  const std::string dialog = out.substr(out.find("dialog 234 \"Kestrum Inside Explorer\"", opened));
  // The current marks come back with the drawing.
  for (const char* object :
       {"bracket [icon 108]", "bracket_Model* [icon 275]", "bracket_LS* [icon 110]", "bracket_RS* [icon 106]"}) {
    EXPECT_TRUE(has(reopened, object)) << object << "\n" << reopened;
    EXPECT_TRUE(has(dialog, object)) << object << "\n" << dialog;
  }
  EXPECT_FALSE(has(out, "; ignored")) << "every line reached its window:\n" << out;
  EXPECT_FALSE(has(out, "General Error")) << out;
}

// The shipped example: three results pairs imported through the Explorer dialog's "Open File..."
// under a simulation model; each picture shows the quantity its analysis is judged by.
// The shipped results example with the build and data folders filled in, as ./run demo prepares it.
std::string ResultsScript() {
  std::string script = kestrum::test::readFile(kestrum::test::sourcePath("data/demo/results.scr"));
  const std::string build = kestrum::test::buildPath("lib").parent_path().string();
  script = std::regex_replace(script, std::regex("@BUILD@"), build);
  return std::regex_replace(script, std::regex("@DATA@"), kestrum::test::sourcePath("data/results").string());
}

TEST(ExplorerScript, OpenFileImportsTheShippedPairsUnderTheCurrentModel) {
  TempDir dir;
  const std::string script = ResultsScript();
  ASSERT_FALSE(script.empty());
  const ProgramRun run = kestrum::test::runHostScript(dir, script);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string& out = run.output;
  EXPECT_FALSE(has(out, "Nothing was imported")) << out;
  EXPECT_FALSE(has(out, "; ignored")) << out;

  // The static bar's root: F L / (b h^2 / 6) = 120 MPa, the largest von Mises stress.
  std::smatch range;
  ASSERT_TRUE(std::regex_search(out, range, std::regex(R"(Stress \(Von Mises\) \[N/m\^2\]\s+Min \S+  Max (\S+))")))
      << out;
  EXPECT_NEAR(std::stod(range[1]), 120e6, 0.005 * 120e6);
  // The block between its two held temperatures, 300 K and 400 K.
  ASSERT_TRUE(std::regex_search(out, range, std::regex(R"(Temperature \[degK\]\s+Min (\S+)  Max (\S+))"))) << out;
  EXPECT_NEAR(std::stod(range[1]), 300.0, 1e-3);
  EXPECT_NEAR(std::stod(range[2]), 400.0, 1e-3);
  // The bar's first bending mode: 1.875^2 / (2 pi L^2) sqrt(E I / (rho A)) = 818 Hz.
  ASSERT_TRUE(std::regex_search(out, range, std::regex(R"(Mode 1: (\S+) Hz)"))) << out;
  EXPECT_NEAR(std::stod(range[1]), 818.0, 0.03 * 818.0);

  // With a current model each set is listed under it, the last one shown marked.
  const std::string tree = after(out, "dialog 234 \"Kestrum Inside Explorer\"");
  for (const char* line : {"beam_Model* [icon 275]", "static_beam [icon 105]", "heat_block [icon 105]",
                           "vibration_beam* [icon 105]", "Hz * [icon 104]"})
    EXPECT_TRUE(has(tree, line)) << line << "\n" << tree;
  for (const char* picture : {"results-static.png", "results-heat.png", "results-modes.png"})
    EXPECT_GT(std::filesystem::file_size(dir / picture), 1000u) << picture;
}

// The imported sets are filed with the drawing: after saving, closing and opening it they are
// listed under the model again, and a double click on the static set draws the very picture its
// import drew.
TEST(ExplorerScript, ImportedSetsSurviveReopeningAndShowTheSamePicture) {
  TempDir dir;
  std::string script = ResultsScript();
  const std::size_t quit = script.rfind("QUIT");
  ASSERT_NE(quit, std::string::npos);
  script.replace(quit, std::string::npos,
                 "QSAVE\nCLOSE\nOPEN beam.dwg\nCAEP_EXPLORER\n@show\n"
                 "@dblclick 1198 \"beam/beam_Model*/static_beam\"\n@menu Close\n"
                 "WINDOWS png \"Results Processor\" reopened-static.png\nQUIT\n");
  const ProgramRun run = kestrum::test::runHostScript(dir, script);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::size_t opened = run.output.find("Command: OPEN beam.dwg");
  ASSERT_NE(opened, std::string::npos) << run.output;
  const std::string tree = after(run.output.substr(opened), "dialog 234 \"Kestrum Inside Explorer\"");
  for (const char* line : {"beam_Model* [icon 275]", "static_beam [icon 105]", "heat_block [icon 105]",
                           "vibration_beam* [icon 105]", "Hz * [icon 104]"})
    EXPECT_TRUE(has(tree, line)) << line << "\n" << tree;
  const std::string imported = kestrum::test::readFile(dir / "results-static.png");
  ASSERT_GT(imported.size(), 1000u);
  EXPECT_TRUE(imported == kestrum::test::readFile(dir / "reopened-static.png")) << "the same picture";
  EXPECT_FALSE(has(run.output, "; ignored")) << run.output;
}

}  // namespace

// The tab follows every undo, also one after a command that is not the add-in's: here the second
// U takes back the tab's own load set after a test command made a restraint set.
TEST(ExplorerScript, TheTabFollowsAnUndoAfterACommandThatIsNotTheAddIns) {
  TempDir dir;
  const std::string script = "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() + "\nARXLOAD " +
                             kestrum::test::buildPath("tests/modules/lbc_module.so").string() +
                             "\n"
                             "NEW\n"
                             "SAVEAS bracket.dwg\n"
                             "@rclick 1198 bracket\n@menu Simulation Model\n@click IDOK\n@click IDOK\n"
                             "@rclick 1198 bracket\n@menu Load Set\n@click IDOK\n"
                             "LBCRESTSET Other\n"
                             "U\n"
                             "U\n"
                             "BROWSERTABS show\n"
                             "REDO\n"
                             "BROWSERTABS show\n"
                             "QUIT\n";
  const ProgramRun run = kestrum::test::runHostScript(dir, script);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string& out = run.output;
  ASSERT_TRUE(has(out, "FEA_EXPLORER undone")) << out;
  const std::string undone = after(out, "Command: BROWSERTABS show");
  EXPECT_TRUE(has(undone, "bracket_Model* [icon 275]")) << undone;
  EXPECT_FALSE(has(undone, "bracket_LS")) << undone;
  const std::size_t redone = out.find("Command: REDO");
  ASSERT_NE(redone, std::string::npos) << out;
  const std::string back = after(out.substr(redone), "Command: BROWSERTABS show");
  EXPECT_TRUE(has(back, "bracket_LS* [icon 110]")) << back;
  EXPECT_FALSE(has(out, "General Error")) << out;
}
