// "CAEP_MESH": the checks before a mesh is added, the material library's among them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "gui/commands/UICommandHandlers.h"
#include "test_env.h"
#include "uis_fixture.h"

namespace {

using uistest::FrameTest;
using uistest::RecordingCad;

// A CAD that opens real libraries at a chosen path and counts what it hands out and gets back.
class LibraryCad : public RecordingCad {
 public:
  CaeString& MaterialLibraryLocation(CaeString& path) override {
    path = CaeString(location.string());
    return path;
  }
  MaterialLibrary* OpenMaterialLibrary(const CaeString& path) override {
    ++opened;
    return new MaterialLibrary(path);
  }
  void DeleteObject(void* object) override {
    ++returned;
    delete static_cast<MaterialLibrary*>(object);
  }
  int IsGeometryValid() override { return geometryValid; }
  // The pick of "Add Mesh", abandoned: the sheet was reached and nothing is made.
  int PickMesh(CaeList<CaeTopoRef>&) override {
    ++meshPicks;
    return 0;
  }

  std::filesystem::path location;
  int geometryValid = 1;
  int opened = 0;
  int returned = 0;
  int meshPicks = 0;
};

constexpr char kModelRequired[] = "An open model without results is required prior to issuing this command";
constexpr char kLibraryRequired[] =
    "A valid materials library, containing at least 1 material is required before executing this command.";

class MeshCommandTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    resources.emplace(1);  // as the command dispatcher does
    control.SetCurrent();
    model = control.NewAnlModel("Beam", AnlStress);
    control.SetCurrentAnlModel(model);
    std::filesystem::copy_file(kestrum::test::sourcePath("data/zq_fea.mat"), folder / "shipped.mat");
    std::ofstream(folder / "empty.mat") << "# Material library: no materials yet.\n";
  }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : driver.boxes()) texts.push_back(box.text);
    return texts;
  }

  void TearDown() override {
    resources.reset();
    FrameTest::TearDown();
  }

  std::optional<ResourceSetter> resources;
  kestrum::test::TempDir folder;
  AnlControl control{"bracket"};
  AnlModel* model = nullptr;
};

TEST_F(MeshCommandTest, TheLibraryMustHoldAMaterial) {
  struct Case {
    const char* name;
    const char* file;  // in the test's folder
    int geometryValid;
    std::optional<std::string> box;
    bool meshAdded;
  };
  const Case cases[] = {
      {"no library file", "missing.mat", 1, kLibraryRequired, false},
      {"a library without materials", "empty.mat", 1, kLibraryRequired, false},
      {"materials but invalid geometry", "shipped.mat", 0, "Invalid Geometry", false},
      {"materials and valid geometry", "shipped.mat", 1, std::nullopt, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LibraryCad cad;
    cad.location = folder / c.file;
    cad.geometryValid = c.geometryValid;
    const std::size_t before = driver.boxes().size();
    EXPECT_EQ(UICmdMesh(), 0);
    EXPECT_EQ(cad.opened, 1);
    EXPECT_EQ(cad.returned, 1) << "the library goes back to the CAD on every path";
    const std::vector<std::string> boxes = BoxTexts();
    const std::vector<std::string> shown(boxes.begin() + static_cast<long>(before), boxes.end());
    if (c.box) {
      ASSERT_FALSE(shown.empty());
      EXPECT_EQ(shown.back(), *c.box);
      EXPECT_NE(driver.boxes().back().type & MB_TASKMODAL, 0u);
    } else {
      EXPECT_TRUE(shown.empty());
    }
    EXPECT_EQ(cad.meshPicks, c.meshAdded ? 1 : 0);
  }
  EXPECT_TRUE(std::filesystem::exists(folder / "shipped.mat"));
}

TEST_F(MeshCommandTest, WithoutALibraryTypeTheNeutralCadRefuses) {
  RecordingCad cad;  // the neutral interface opens no library
  EXPECT_EQ(UICmdMesh(), 0);
  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_EQ(driver.boxes()[0].text, kLibraryRequired);
  EXPECT_TRUE(cad.printed.empty());
}

TEST_F(MeshCommandTest, AModelWithResultsIsRefusedBeforeTheLibraryIsOpened) {
  LibraryCad cad;
  cad.location = folder / "shipped.mat";
  model->NewResultSet("Static");
  EXPECT_EQ(UICmdMesh(), 0);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{kModelRequired});
  EXPECT_EQ(cad.opened, 0);
  control.ClearCurrentAnlModel();
  EXPECT_EQ(UICmdMesh(), 0);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{kModelRequired, kModelRequired}));
  EXPECT_EQ(cad.opened, 0);
}

}  // namespace
