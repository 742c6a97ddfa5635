// The host program end to end: scripts run by the real cadhost binary.
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

// Runs a command line in `dir`, capturing standard output and error.
ProgramRun runIn(const TempDir& dir, const std::string& commandLine) {
  std::string outFile = (dir / "output.txt").string();
  std::string full = "cd '" + dir.path().string() + "' && " + commandLine + " > '" + outFile + "' 2>&1";
  int status = std::system(full.c_str());
  return ProgramRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, kestrum::test::readFile(outFile)};
}

ProgramRun runScript(const TempDir& dir, const std::string& script) {
  std::ofstream(dir / "test.scr") << script;
  return runIn(dir, "'" + kestrum::test::buildPath("bin/cadhost").string() + "' --script test.scr");
}

// The text printed after the first occurrence of `marker` (empty when it is absent).
std::string after(const std::string& text, const std::string& marker) {
  std::size_t at = text.find(marker);
  return at == std::string::npos ? "" : text.substr(at + marker.size());
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(CadhostProgram, LayerSurvivesSaveCloseAndReopen) {
  TempDir dir;
  ProgramRun run = runScript(dir,
                      "LAYER new Walls\n"
                      "SAVEAS plan.dwg\n"
                      "CLOSE\n"
                      "OPEN plan.dwg\n"
                      "LAYER list\n"
                      "LIST\n"
                      "QUIT\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  std::string reopened = after(run.output, "Command: OPEN plan.dwg");
  EXPECT_TRUE(contains(after(reopened, "Layers of plan.dwg:"), "Walls")) << run.output;
  EXPECT_TRUE(contains(after(reopened, "Objects of plan.dwg:"), "name \"Walls\"")) << run.output;
}

TEST(CadhostProgram, UndoAfterNewLayerRemovesIt) {
  TempDir dir;
  ProgramRun run = runScript(dir,
                      "LAYER new Kept\n"
                      "LAYER new Temporary\n"
                      "UNDO 1\n"
                      "LAYER list\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  std::string listed = after(run.output, "Layers of Drawing1.dwg:");
  EXPECT_TRUE(contains(listed, "Kept")) << run.output;
  EXPECT_FALSE(contains(listed, "Temporary")) << run.output;
}

// Every handle in the file must resolve: objects without a DXF form (parts, their parameters)
// are left out together with every reference to them.
TEST(CadhostProgram, DxfOutPassesAStandardReadersAudit) {
  struct Case {
    const char* name;
    const char* script;
  };
  const Case cases[] = {
      {"layers", "LAYER new Walls\nLAYER off Walls\n"},
      {"parts", "LAYER new Walls\nPART plate_with_hole\nPART plate_and_bracket\nPARAM set plate/D 40\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    ProgramRun run = runScript(dir, std::string(c.script) + "DXFOUT plan.dxf\n");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_TRUE(contains(run.output, "DXF file written")) << run.output;
    ProgramRun audit = runIn(dir,
                             "/usr/bin/python3 -c \"import ezdxf; doc = ezdxf.readfile('plan.dxf'); "
                             "a = doc.audit(); a.print_error_report(); a.print_fixed_errors(); "
                             "assert not a.has_errors and not a.has_fixes; "
                             "assert 'Walls' in doc.layers; print('audit ok')\"");
    EXPECT_EQ(audit.exitCode, 0) << audit.output;
    EXPECT_TRUE(contains(audit.output, "audit ok")) << audit.output;
  }
}

TEST(CadhostProgram, DxfOutThenDxfInKeepsTheLayers) {
  TempDir dir;
  ProgramRun run = runScript(dir,
                             "LAYER new Walls\n"
                             "DXFOUT plan.dxf\n"
                             "DXFIN plan.dxf\n"
                             "LAYER list\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(contains(after(run.output, "Layers of plan.dxf:"), "Walls")) << run.output;
}

TEST(CadhostProgram, BadLinesAreExplainedAndTheScriptGoesOn) {
  TempDir dir;
  std::ofstream(dir / "odd.dxf") << "0\nSECTION\n2\nGADGETS\n0\nENDSEC\n0\nEOF\n";
  std::ofstream(dir / "junk.dwg") << "this is not a drawing";
  ProgramRun run = runScript(dir,
                      "FROBNICATE all\n"
                      "OPEN missing.dwg\n"
                      "OPEN junk.dwg\n"
                      "DXFIN odd.dxf\n"
                      "@click 1001\n"
                      "LAYER new Still\n"
                      "LAYER list\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(contains(run.output, "Unknown command \"FROBNICATE\".")) << run.output;
  EXPECT_TRUE(contains(run.output, "Cannot find the file \"missing.dwg\"")) << run.output;
  EXPECT_TRUE(contains(run.output, "Cannot open \"junk.dwg\"")) << run.output;
  EXPECT_TRUE(contains(run.output, "line 5: no window is waiting; ignored")) << run.output;
  EXPECT_TRUE(contains(after(run.output, "Command: LAYER list"), "Still")) << run.output;
  std::string afterDxf = after(run.output, "Command: DXFIN odd.dxf");
  EXPECT_TRUE(contains(afterDxf.substr(0, afterDxf.find("Command:")), "GADGETS")) << run.output;
}

TEST(CadhostProgram, MissingScriptIsRefused) {
  TempDir dir;
  ProgramRun run = runIn(dir, "'" + kestrum::test::buildPath("bin/cadhost").string() + "' --script nowhere.scr");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(contains(run.output, "cannot read the script \"nowhere.scr\"")) << run.output;
}

TEST(CadhostProgram, PartModellerModuleIsLoadedAtStart) {
  TempDir dir;
  ProgramRun run = runScript(dir, "BROWSERTABS\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(contains(run.output, "Browser tabs of Drawing1.dwg: 0")) << run.output;
}

}  // namespace
