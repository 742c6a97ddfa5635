// Parts in drawing files: a damaged placement is refused on reading, the rest of the drawing opens.
#include <gp_Trsf.hxx>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "part_fixture.h"

namespace {

using mcadtest::PartDrawingTest;

TEST_F(PartDrawingTest, APartWithADamagedPlacementIsSkippedAndTheRestOpens) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    double rotation;     // first matrix entry
    double translation;  // x of the translation
  };
  const Case cases[] = {
      {"NaN translation", 1, kNaN},
      {"infinite translation", 1, kInf},
      {"NaN rotation", kNaN, 0},
      {"translation beyond any drawing", 1, 1e300},
  };
  const std::string definition = "part block\nbox base corner=(0, 0, 0) size=(10, 20, 5)\n";
  const AcDbObjectId good = loadShipped("plate_with_hole.part");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    db()->transactionManager()->startTransaction();  // its abort takes the damaged part away again
    gp_Trsf damaged;
    damaged.SetValues(c.rotation, 0, 0, c.translation, 0, 1, 0, 0, 0, 0, 1, 0);
    const AcDbObjectId bad = mcadAddPart(db(), "", definition, damaged);
    kestrum::test::TempDir dir;
    const std::string path = (dir / "damaged.dwg").string();
    const bool saved = db()->saveAs(path) == Acad::eOk;
    db()->transactionManager()->abortTransaction();

    ASSERT_TRUE(saved);
    AcDbDatabase reopened(false);
    std::vector<std::string> messages;
    ASSERT_EQ(reopened.readDwgFile(path, &messages), Acad::eOk);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("AmiPartEntity (handle " + bad.handle().text() + ")"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("damaged.dwg"), std::string::npos) << messages[0];
    const std::vector<AcDbObjectId> parts = mcadPartIds(&reopened);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0].handle().text(), good.handle().text());
  }
}

}  // namespace
