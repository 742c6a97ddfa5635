// Pictures of display lists: background, shaded solids, entity colours, what hides what.
#include <gtest/gtest.h>

#include <BRepPrimAPI_MakeBox.hxx>

#include <cstdio>
#include <set>

#include "arx/dbdatabase.h"
#include "arx/gidisplay.h"
#include "png_image.h"
#include "test_env.h"
#include "test_solid.h"

namespace {

// A flat square at height z, 10 wide, in its colour.
class Square : public AcDbEntity {
 public:
  ACRX_DECLARE_MEMBERS(Square);
  double z = 0;
  Adesk::Boolean worldDraw(AcGiWorldDraw* draw) override {
    AcGePoint3d corners[4] = {{0, 0, z}, {10, 0, z}, {10, 10, z}, {0, 10, z}};
    Adesk::Int32 faces[5] = {4, 0, 1, 2, 3};
    draw->geometry().shell(4, corners, 5, faces);
    return true;
  }
};
ACRX_CONS_DEFINE_MEMBERS(Square, AcDbEntity, "KESTRUM_TEST_SQUARE")

// A line in its colour across the top of the box drawn in the tests below.
class Line : public AcDbEntity {
 public:
  ACRX_DECLARE_MEMBERS(Line);
  Adesk::Boolean worldDraw(AcGiWorldDraw* draw) override {
    AcGePoint3d ends[2] = {{0, 0, 40}, {10, 20, 40}};
    draw->geometry().polyline(2, ends);
    return true;
  }
};
ACRX_CONS_DEFINE_MEMBERS(Line, AcDbEntity, "KESTRUM_TEST_LINE")

class RenderTest : public ::testing::Test {
 protected:
  AcDbObjectId add(AcDbEntity* entity, Adesk::UInt16 color) {
    entity->setColorIndex(color);
    AcDbObjectId id;
    db_.addAcDbObject(id, entity);
    entity->setOwnerId(db_.modelSpaceId());
    entity->close();
    return id;
  }
  AcDbDatabase db_;
};

bool isRedShade(const AcGiImage::Pixel& p) { return p.r > 50 && p.g == 0 && p.b == 0; }

TEST_F(RenderTest, ShadedBoxOnBackgroundWithADrawnLine) {
  addSolid(db_, BRepPrimAPI_MakeBox(10, 20, 30).Shape(), 1);
  add(new Line(), 3);
  AcGiView view;
  view.direction = AcGeVector3d(1, -2, 3);  // three faces seen at three different angles
  view.width = 200, view.height = 160;
  AcGiDisplayList list(&db_, view);
  list.regenerate();
  AcGiImage image = acgiRender(list);
  ASSERT_EQ(image.width, 200);
  ASSERT_EQ(image.height, 160);

  EXPECT_EQ(image.at(0, 0), kAcGiBackground);
  EXPECT_EQ(image.at(199, 159), kAcGiBackground);
  std::set<int> redLevels;
  int red = 0, green = 0, other = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      AcGiImage::Pixel p = image.at(x, y);
      if (isRedShade(p))
        ++red, redLevels.insert(p.r);
      else if (p == AcGiImage::Pixel{0, 255, 0})
        ++green;
      else if (!(p == kAcGiBackground))
        ++other;
    }
  EXPECT_GT(red, 2000);  // the box covers a good part of the picture
  EXPECT_EQ(redLevels.size(), 3u) << "one flat shade per visible face";
  EXPECT_GT(green, 20);  // the line is drawn in its own colour
  EXPECT_EQ(other, 0);
}

TEST_F(RenderTest, TheNearerOfTwoFacesShowsWhateverTheOrder) {
  struct Case {
    const char* name;
    bool blueFirst;
  };
  for (const Case& c : {Case{"blue first", true}, Case{"red first", false}}) {
    SCOPED_TRACE(c.name);
    AcDbDatabase db;
    auto square = [&](double z, Adesk::UInt16 color) {
      auto* entity = new Square();
      entity->z = z;
      entity->setColorIndex(color);
      db.addAcDbObject(entity);
      entity->setOwnerId(db.modelSpaceId());
      entity->close();
    };
    if (c.blueFirst)
      square(5, 5), square(0, 1);
    else
      square(0, 1), square(5, 5);
    AcGiView view;
    view.direction = AcGeVector3d(0, 0, 1);
    view.width = view.height = 50;
    AcGiDisplayList list(&db, view);
    list.regenerate();
    AcGiImage image = acgiRender(list);
    AcGiImage::Pixel centre = image.at(25, 25);
    EXPECT_EQ(centre.r, 0);
    EXPECT_EQ(centre.g, 0);
    EXPECT_GT(centre.b, 200);  // blue, at z = 5, is nearer the viewer
  }
}

TEST_F(RenderTest, PngFilesHoldThePictureAndFailuresLeaveNothing) {
  addSolid(db_, BRepPrimAPI_MakeBox(10, 20, 30).Shape(), 1);
  AcGiView view;
  view.width = 64, view.height = 48;
  AcGiDisplayList list(&db_, view);
  list.regenerate();
  AcGiImage image = acgiRender(list);
  kestrum::test::TempDir dir;
  std::string error;
  ASSERT_TRUE(acgiWritePng(image, (dir / "box.png").string(), error)) << error;
  AcGiImage back;
  ASSERT_TRUE(kestrum::test::readPng(dir / "box.png", back));
  EXPECT_EQ(back.width, 64);
  EXPECT_EQ(back.height, 48);
  EXPECT_EQ(back.rgb, image.rgb);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1)
      << "no temporary file is left behind";

  EXPECT_FALSE(acgiWritePng(image, (dir / "missing" / "box.png").string(), error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

}  // namespace
