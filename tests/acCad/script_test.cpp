// The add-in in the host program, driven by scripts: load, run, unload and load again; two
// drawings opened, switched, saved under a new name and closed.
#include <gtest/gtest.h>

#include <string>

#include "test_env.h"

namespace {

using kestrum::test::countOf;
using kestrum::test::ProgramRun;
using kestrum::test::runHostScript;
using kestrum::test::TempDir;

std::string moduleLine() { return "ARXLOAD " + kestrum::test::buildPath("lib/kestrum.arx").string() + "\n"; }

// The text between the first `from` and the next `to` (to the end when `to` is absent).
std::string between(const std::string& text, const std::string& from, const std::string& to) {
  const std::size_t start = text.find(from);
  if (start == std::string::npos) return "";
  const std::size_t end = text.find(to, start + from.size());
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

TEST(AddInScript, LoadsRunsUnloadsAndLoadsAgainCleanly) {
  TempDir dir;
  const ProgramRun run = runHostScript(dir, moduleLine() +
                                                "CAEP_ABOUT\n"
                                                "@click IDOK\n"
                                                "ARXUNLOAD kestrum.arx\n"
                                                "CAEP_ABOUT\n" +
                                                moduleLine() +
                                                "CAEP_ABOUT\n"
                                                "@click IDOK\n"
                                                "CAEP_LOAD_IMPORT\n"
                                                "ARXUNLOAD kestrum.arx\n"
                                                "SAVEAS after.dwg\n"
                                                "QUIT\n");
  EXPECT_EQ(run.exitCode, 1) << run.output;  // CAEP_ABOUT while unloaded is an unknown command
  EXPECT_EQ(countOf(run.output, "kestrum.arx loaded."), 2) << run.output;
  EXPECT_EQ(countOf(run.output, "kestrum.arx unloaded."), 2) << run.output;
  // Between the loads the command is gone.
  EXPECT_NE(between(run.output, "kestrum.arx unloaded.", "kestrum.arx loaded.").find("Unknown command"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("This command is not yet supported."), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("A transaction was left open"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("Transactions are out of sync"), std::string::npos) << run.output;
  // After the last unload no reactor follows the drawing.
  EXPECT_EQ(between(run.output, "Command: SAVEAS after.dwg", "Command: QUIT").find("Control object reinitialized"),
            std::string::npos)
      << run.output;
}

TEST(AddInScript, TwoDrawingsOpenedSwitchedSavedAndClosed) {
  TempDir dir;
  const ProgramRun made = runHostScript(dir, "SAVEAS first.dwg\nNEW\nSAVEAS second.dwg\nQUIT\n");
  ASSERT_EQ(made.exitCode, 0) << made.output;

  const ProgramRun run = runHostScript(dir, moduleLine() +
                                                "OPEN first.dwg\n"
                                                "OPEN second.dwg\n"
                                                "OPEN first.dwg\n"
                                                "SAVEAS renamed.dwg\n"
                                                "CLOSE\n"
                                                "CLOSE\n"
                                                "QUIT\n");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const std::string reinit = "\nControl object reinitialized\n";
  EXPECT_EQ(countOf(between(run.output, "Command: OPEN first.dwg", "Command: OPEN second.dwg"), reinit), 1)
      << run.output;
  EXPECT_EQ(countOf(between(run.output, "Command: OPEN second.dwg", "Command: OPEN first.dwg"), reinit), 1)
      << run.output;
  // Activating an open drawing again reads no file.
  EXPECT_EQ(countOf(between(run.output, "Command: OPEN first.dwg\n\nfirst.dwg", "Command: SAVEAS"), reinit), 0)
      << run.output;
  EXPECT_EQ(countOf(between(run.output, "Command: SAVEAS renamed.dwg", "Command: CLOSE"), reinit), 1) << run.output;
  EXPECT_EQ(countOf(run.output, reinit), 3) << run.output;
  EXPECT_EQ(run.output.find("General Error"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("ERROR: AddressSanitizer"), std::string::npos) << run.output;
}

}  // namespace
