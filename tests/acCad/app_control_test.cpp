// The host's application controller: which material library it starts with.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "CadInterface/AcCadAppControl.h"
#include "amg/CaeConfig.h"
#include "amg/CaeEngine.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "test_env.h"

namespace {

// Folders under the case's temporary folder. "lib/mine.mat" and "mcad/support/mcad.mat" exist;
// "root/zq_fea.mat" never does; "empty" holds nothing.
struct LibraryCase {
  const char* name;
  const char* matLibLoc;     // "" for none; "<tmp>" stands for the temporary folder
  const char* installation;  // "MCAD Installation Directory", same convention
  const char* expected;      // the chosen path, same convention
};

class MaterialLibraryChoiceTest : public ::testing::TestWithParam<LibraryCase> {
 protected:
  void SetUp() override {
    CaeEngine::ResetState();
    resSetModuleState(resLoadResourceModule(), nullptr);
    std::filesystem::create_directories(dir / "lib");
    std::filesystem::create_directories(dir / "mcad/support");
    std::filesystem::create_directories(dir / "empty");
    std::ofstream(dir / "lib/mine.mat") << "materials\n";
    std::ofstream(dir / "mcad/support/mcad.mat") << "materials\n";
    savedRoot = CaeConfig::GetValue("Root Directory", 1).value_or("");
    ASSERT_TRUE(CaeConfig::SetValue("Root Directory", expand("<tmp>/root"), 1));
  }
  void TearDown() override {
    // This program's configuration file outlives the case: empty values choose nothing.
    CaeConfig::SetValue("MatLibLoc", "", 0);
    CaeConfig::SetValue("MCAD Installation Directory", "", 1);
    CaeConfig::SetValue("Root Directory", savedRoot, 1);
    resResetModuleState();
    CaeEngine::ResetState();
  }
  CaeString expand(const std::string& text) const {
    std::string out = text;
    const std::string tmp = dir.path().string();
    for (std::size_t at = out.find("<tmp>"); at != std::string::npos; at = out.find("<tmp>", at + tmp.size()))
      out.replace(at, 5, tmp);
    return CaeString(out);
  }

  kestrum::test::TempDir dir;
  CaeString savedRoot;
};

TEST_P(MaterialLibraryChoiceTest, FirstExistingFileWinsElseTheRootLibrary) {
  const LibraryCase& c = GetParam();
  ASSERT_TRUE(CaeConfig::SetValue("MatLibLoc", expand(c.matLibLoc), 0));
  ASSERT_TRUE(CaeConfig::SetValue("MCAD Installation Directory", expand(c.installation), 1));
  const CaeString expected = expand(c.expected);
  EXPECT_EQ(acChooseMaterialLibraryPath(), expected);

  // The controller starts with that choice, and the interface reports it.
  AcCadAppControl control;
  EXPECT_EQ(control.MaterialLibraryPath(), expected);
  CadInterface cad;
  CaeString path;
  EXPECT_EQ(cad.MaterialLibraryLocation(path), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MaterialLibraryChoiceTest,
    ::testing::Values(
        LibraryCase{"ConfiguredFileBeforeMechanicalDesktop", "<tmp>/lib/mine.mat", "<tmp>/mcad", "<tmp>/lib/mine.mat"},
        LibraryCase{"ConfiguredFileWithBackslashes", "<tmp>\\lib\\mine.mat", "", "<tmp>\\lib\\mine.mat"},
        LibraryCase{"MissingConfiguredFileFallsToMechanicalDesktop", "<tmp>/lib/gone.mat", "<tmp>/mcad",
                    "<tmp>/mcad\\support\\mcad.mat"},
        LibraryCase{"MechanicalDesktopWithBackslashes", "", "<tmp>\\mcad", "<tmp>\\mcad\\support\\mcad.mat"},
        LibraryCase{"NoMechanicalDesktopLibraryFallsToRoot", "<tmp>/lib/gone.mat", "<tmp>/empty",
                    "<tmp>/root\\zq_fea.mat"},
        LibraryCase{"NothingConfigured", "", "", "<tmp>/root\\zq_fea.mat"}),
    [](const ::testing::TestParamInfo<LibraryCase>& info) { return std::string(info.param.name); });

}  // namespace
