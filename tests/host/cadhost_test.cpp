// The host program end to end: scripts run by the real cadhost binary.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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
  EXPECT_EQ(run.exitCode, 1) << run.output;  // the unknown command and the failed opens
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

// The drawing's layers as LAYER list shows them after `marker`, up to the next command.
std::string layersAfter(const std::string& output, const std::string& marker) {
  std::string rest = after(after(output, marker), "Layers of ");
  return rest.substr(0, rest.find("Command:"));
}

// CLOSE and QUIT on a changed drawing ask "Save changes to NAME?"; the next script line answers.
TEST(CadhostProgram, ClosingAChangedDrawingAsksToSaveIt) {
  struct Case {
    const char* name;
    const char* script;
    int exitCode;
    std::vector<const char*> shown;   // in the output, in this order
    std::vector<const char*> absent;  // nowhere in the output
    const char* savedFile;            // written by the run, or null
  };
  const Case cases[] = {
      {"yes saves, asking for a name",
       "LAYER new Walls\nCLOSE\nYes\nplan.dwg\nOPEN plan.dwg\nLAYER list\n",
       0,
       {"Save changes to Drawing1.dwg? [Yes/No/Cancel]: Yes", "Enter file name", "Drawing saved as", "Opened", "Walls"},
       {},
       "plan.dwg"},
      {"no discards",
       "LAYER new Walls\nCLOSE\nNo\nNEW\nLAYER list\n",
       0,
       {"Save changes to Drawing1.dwg?"},
       {"Walls                    on", "Drawing saved"},
       nullptr},
      {"cancel keeps the drawing open",
       "LAYER new Walls\nCLOSE\nCancel\nLAYER list\n",
       0,
       {"Save changes to Drawing1.dwg?", "Walls                    on"},
       {},
       nullptr},
      {"a saved drawing closes without asking",
       "LAYER new Walls\nSAVEAS plan.dwg\nCLOSE\nNEW\n",
       0,
       {"Drawing saved"},
       {"Save changes"},
       "plan.dwg"},
      {"a drawing changed after saving asks again",
       "SAVEAS plan.dwg\nLAYER new Walls\nQUIT\nyes\n",
       0,
       {"Save changes to plan.dwg? [Yes/No/Cancel]: yes", "Drawing saved"},
       {},
       "plan.dwg"},  // no name asked: the script has no line left to give one
      {"cancel stops quitting",
       "LAYER new Walls\nQUIT\nCancel\nLAYER list\nQUIT\nNo\n",
       0,
       {"Save changes", "Command: LAYER list", "Walls                    on", "Command: QUIT", "Save changes"},
       {},
       nullptr},
      {"a refused answer ends CLOSE and the script goes on",
       "LAYER new Walls\nCLOSE\nMaybe\nLAYER list\nQUIT\nNo\n",
       1,
       {"Answer Yes, No or Cancel.", "Command: LAYER list", "Walls                    on", "Command: QUIT"},
       {},
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    ProgramRun run = runScript(dir, c.script);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    std::size_t from = 0;
    for (const char* text : c.shown) {
      std::size_t at = run.output.find(text, from);
      ASSERT_NE(at, std::string::npos) << "missing (in order): " << text << "\n" << run.output;
      from = at + 1;
    }
    for (const char* text : c.absent) EXPECT_FALSE(contains(run.output, text)) << text << "\n" << run.output;
    if (c.savedFile) {
      EXPECT_TRUE(std::filesystem::exists(dir / c.savedFile)) << run.output;
    }
  }
}

// In a script, a refused answer ends its command with the message rather than taking the lines
// after it as further answers; any failed line makes the exit status non-zero.
TEST(CadhostProgram, ScriptsStopNoCommandOnABadAnswerAndReportFailures) {
  struct Case {
    const char* name;
    const char* script;
    int exitCode;
    const char* message;
  };
  const Case cases[] = {
      {"clean run", "LAYER new Walls\nLAYER list\nQUIT\nNo\n", 0, nullptr},
      {"not a number", "UNDO\nmany\nLAYER new Walls\nLAYER list\nQUIT\nNo\n", 1, "Requires an integer value."},
      {"not a number after a change", "LAYER new Walls\nUNDO\nmany\nLAYER list\nQUIT\nNo\n", 1,
       "Requires an integer value."},  // UNDO ends: it does not go on with its default and undo the layer
      {"unknown command", "FROBNICATE\nLAYER new Walls\nLAYER list\nQUIT\nNo\n", 1, "Unknown command"},
      {"failed command", "LAYER new Walls\nLAYER new Walls\nLAYER list\nQUIT\nNo\n", 1, "already exists"},
      {"ESC cancels a prompt", "LAYER\n\x1b\nLAYER new Walls\nLAYER list\nQUIT\nNo\n", 0, "*Cancel*"},
      {"ESC typed as ^[", "LAYER\n ^[ \nLAYER new Walls\nLAYER list\nQUIT\nNo\n", 0, "*Cancel*"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    ProgramRun run = runScript(dir, c.script);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    if (c.message) {
      EXPECT_TRUE(contains(run.output, c.message)) << run.output;
    }
    // The lines after the bad one still ran, QUIT included.
    EXPECT_TRUE(contains(layersAfter(run.output, "Command: LAYER list"), "Walls")) << run.output;
    EXPECT_TRUE(contains(run.output, "Save changes to Drawing1.dwg? [Yes/No/Cancel]: No")) << run.output;
  }
}

// The shipped demo, run as ./run demo runs it: from an empty folder, the script given by path.
TEST(CadhostProgram, TheDemoScriptListsItsDrawingAndWritesDxf) {
  TempDir dir;
  ProgramRun run = runIn(dir, "'" + kestrum::test::buildPath("bin/cadhost").string() + "' --script '" +
                                  kestrum::test::sourcePath("data/demo/demo.scr").string() + "'");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const std::string reopened = after(run.output, "Command: OPEN demo.dwg");
  const std::string layers = layersAfter(reopened, "Command: LAYER list");
  EXPECT_TRUE(contains(layers, "Walls                    on")) << run.output;
  EXPECT_TRUE(contains(layers, "Doors                    off")) << run.output;
  const std::string objects = after(reopened, "Objects of demo.dwg:");
  EXPECT_TRUE(contains(objects, "AcDbLayerTableRecord (3)")) << run.output;
  EXPECT_TRUE(contains(objects, "name \"Doors\"")) << run.output;
  EXPECT_TRUE(contains(after(run.output, "Command: DXFOUT demo.dxf"), "DXF file written: demo.dxf")) << run.output;
  EXPECT_TRUE(std::filesystem::is_regular_file(dir / "demo.dxf"));
  EXPECT_TRUE(std::filesystem::is_regular_file(dir / "demo.dwg"));
  EXPECT_FALSE(contains(run.output, "Save changes")) << run.output;  // saved before it closes
}

// The lines of `output` that start with `prefix`, in order.
std::vector<std::string> linesStartingWith(const std::string& output, const std::string& prefix) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < output.size()) {
    std::size_t end = output.find('\n', at);
    if (end == std::string::npos) end = output.size();
    std::string line = output.substr(at, end - at);
    if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    at = end + 1;
  }
  return lines;
}

// A drawing made with a module, opened and saved by a host that does not load it, and opened
// again with the module: the objects of its class come back as they were, references included.
TEST(CadhostProgram, ObjectsOfAnUnloadedModuleSurviveOpenAndSave) {
  TempDir dir;
  const std::string load = "ARXLOAD " + kestrum::test::buildPath("tests/modules/note_module.so").string() + "\n";
  ProgramRun made = runScript(dir, load + "NOTES\nNOTEDUMP\nSAVEAS a.dwg\nQUIT\n");
  ASSERT_EQ(made.exitCode, 0) << made.output;
  const std::vector<std::string> original = linesStartingWith(made.output, "NOTE_");
  ASSERT_EQ(original.size(), 2u) << made.output;
  EXPECT_TRUE(contains(original[0], "text \"first\" weight 1.5 partner NOTE_B owner named-objects")) << made.output;

  ProgramRun kept = runScript(dir, "OPEN a.dwg\nLIST\nSAVEAS d.dwg\nQUIT\n");
  ASSERT_EQ(kept.exitCode, 0) << kept.output;
  const std::string opened = after(kept.output, "Command: OPEN a.dwg");
  const std::string notice =
      "2 object(s) of class KestrumNote kept as proxies: the application that defines it is not loaded.";
  ASSERT_TRUE(contains(opened, notice)) << kept.output;
  EXPECT_FALSE(contains(after(opened, notice), notice)) << kept.output;  // once for the class
  EXPECT_TRUE(contains(after(kept.output, "Objects of a.dwg:"), "Proxy of KestrumNote (2)")) << kept.output;
  EXPECT_EQ(kestrum::test::readFile(dir / "d.dwg"), kestrum::test::readFile(dir / "a.dwg"));

  ProgramRun restored = runScript(dir, load + "OPEN d.dwg\nNOTEDUMP\nLIST\nQUIT\n");
  ASSERT_EQ(restored.exitCode, 0) << restored.output;
  EXPECT_FALSE(contains(restored.output, "proxies")) << restored.output;
  EXPECT_EQ(linesStartingWith(after(restored.output, "Command: NOTEDUMP"), "NOTE_"), original) << restored.output;
  EXPECT_TRUE(contains(after(restored.output, "Objects of d.dwg:"), "KestrumNote (2)")) << restored.output;
}

// A module linked against another application has only its own entry points called: the other's
// attach and detach belong to that application, not to this load.
TEST(CadhostProgram, AModuleLinkedAgainstAnotherApplicationRunsOnlyItsOwnEntryPoints) {
  TempDir dir;
  const std::string borrowing = kestrum::test::buildPath("tests/modules/borrowing_module.so").string();
  const std::string own = kestrum::test::buildPath("tests/modules/attach_module.so").string();
  ProgramRun run = runScript(dir, "ARXLOAD " + borrowing + "\nARXUNLOAD borrowing_module.so\nQUIT\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_TRUE(contains(run.output, "borrowing_module loaded")) << run.output;
  EXPECT_FALSE(contains(run.output, "attach_module attached")) << run.output;
  EXPECT_FALSE(contains(run.output, "attach_module detached")) << run.output;

  ProgramRun direct = runScript(dir, "ARXLOAD " + own + "\nQUIT\n");
  ASSERT_EQ(direct.exitCode, 0) << direct.output;
  EXPECT_TRUE(contains(direct.output, "attach_module attached")) << direct.output;
}

}  // namespace
