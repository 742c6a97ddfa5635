// The options sheet in the host program, driven by "@" lines: a copy of the shipped material
// library chosen with Browse, a value edited, a temperature added, the material renamed, Apply
// Now, English units, OK; the drawing saved, closed and opened again shows English units, and the
// library file holds the edits in SI.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "test_env.h"

namespace {

namespace fs = std::filesystem;
using kestrum::test::ProgramRun;
using kestrum::test::runHostScript;
using kestrum::test::TempDir;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The row lines of material `name` (each follows a "Material: NAME" header), in file order.
std::string Rows(const std::string& library, const std::string& name) {
  std::istringstream lines(library);
  std::string line;
  std::string rows;
  bool take = false;
  while (std::getline(lines, line)) {
    if (take && !line.empty() && line[0] == ' ') rows += line + "\n";
    take = line == "Material: " + name;
  }
  return rows;
}

TEST(OptionsScript, MaterialEditsReachTheLibraryAndUnitsStayWithTheDrawing) {
  TempDir dir;
  const fs::path library = dir / "lib.mat";
  fs::copy_file(kestrum::test::sourcePath("data/zq_fea.mat"), library);
  const std::string original = ReadFile(library);
  ASSERT_NE(Rows(original, "S275"), "");
  const std::string arx = kestrum::test::buildPath("lib/kestrum.arx").string();
  // The drawing files its units with its analysis records: it gets a model first.
  const ProgramRun run = runHostScript(dir, "ARXLOAD " + arx +
                                                "\n"
                                                "CAEP_MODEL\n"
                                                "@click IDOK\n"
                                                "CAEP_SETUP_TAB\n"
                                                "@click IDC_MAT_BROWSE\n"
                                                "@file " +
                                                library.string() +
                                                "\n"
                                                "@select IDC_MAT_NAME S275\n"
                                                "@set IDC_MAT_MODULUS 2.05e11\n"
                                                "@click ID_APPLY_NOW\n"
                                                "@click IDC_MAT_TEMP_NEW\n"
                                                "@set IDC_MAT_POISSON 0.29\n"
                                                "@set IDC_MAT_NAME \"S275 mended\"\n"
                                                "@set IDC_MAT_DENSITY 7860\n"
                                                "@click ID_APPLY_NOW\n"
                                                "@select IDC_SHEET_TABS Units\n"
                                                "@click IDC_UNITS_ENGLISH\n"
                                                "@click IDOK\n"
                                                "SAVEAS options.dwg\n"
                                                "CLOSE\n"
                                                "OPEN options.dwg\n"
                                                "CAEP_SETUP_TAB\n"
                                                "@select IDC_SHEET_TABS Units\n"
                                                "@show\n"
                                                "@click IDCANCEL\n"
                                                "QUIT\n");
  EXPECT_EQ(run.exitCode, 0) << run.output;
  const std::string after = ReadFile(library);
  EXPECT_EQ(Rows(after, "S275"), "") << "renamed";
  const std::string mended = Rows(after, "S275 mended");
  EXPECT_EQ(mended.substr(0, mended.find('\n')),
            " 2.050000e+11 0.300000 7.850000e+03 1.216000e-05 4.300000e+08 2.750000e+08 5.333400e+01 4.398018e+02 "
            "293.150000");
  ASSERT_NE(mended, "") << after;
  // The added row at 298.15 K with the values typed on it, in SI.
  EXPECT_NE(mended.find(" 0.290000 7.860000e+03"), std::string::npos) << mended;
  EXPECT_NE(mended.find("298.150000"), std::string::npos) << mended;
  EXPECT_EQ(Rows(after, "Al_6061-T6"), Rows(original, "Al_6061-T6")) << "other materials untouched";
  // Reopened, the drawing's units are English: the page shows them as text.
  const std::size_t reopened = run.output.find("Command: OPEN options.dwg");
  ASSERT_NE(reopened, std::string::npos) << run.output;
  const std::string shown = run.output.substr(reopened);
  EXPECT_NE(shown.find("\" inch\""), std::string::npos) << shown;
  EXPECT_NE(shown.find("\" pound force\""), std::string::npos) << shown;
}

}  // namespace
