// PNGOUT and REGENALL run as a person would run them, from typed lines.
#include <gtest/gtest.h>

#include <BRepPrimAPI_MakeBox.hxx>

#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/gidisplay.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "test_env.h"
#include "test_solid.h"

namespace {

class PngOutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cadhost::clearPrintedText();
    cadhost::startHost(true);
    database_ = acDocManagerPtr()->curDocument()->database();
    box_ = addSolid(*database_, BRepPrimAPI_MakeBox(10, 20, 30).Shape(), 1);
  }
  void TearDown() override {
    acgiForgetDisplay(database_);
    cadhost::shutdownHost();
    cadhost::setInputSource(nullptr);
    cadhost::clearPrintedText();
  }
  void run(const std::string& lines) {
    cadhost::queueText(lines);
    while (cadhost::queuedInputCount() > 0) cadhost::runNextCommand();
  }
  AcDbDatabase* database_ = nullptr;
  AcDbObjectId box_;
  kestrum::test::TempDir dir_;
};

TEST_F(PngOutTest, WritesAPictureOfTheDrawing) {
  std::filesystem::path file = dir_ / "drawing.png";
  run("PNGOUT " + file.string() + " 0,0,1\n");
  ASSERT_TRUE(std::filesystem::exists(file)) << cadhost::printedText();
  EXPECT_NE(cadhost::printedText().find("PNG image written: " + file.string() + " (800x600)"), std::string::npos);
  std::string bytes = kestrum::test::readFile(file);
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  // Looking down z, the box's top fills the middle of the picture in red.
  const AcGiDisplayList& list = acgiDisplayOf(database_);
  AcGiImage image = acgiRender(list);
  AcGiImage::Pixel centre = image.at(400, 300);
  EXPECT_EQ(centre, (AcGiImage::Pixel{255, 0, 0}));
  EXPECT_EQ(image.at(5, 5), kAcGiBackground);
}

TEST_F(PngOutTest, BadDirectionsAreRefusedAndNothingIsWritten) {
  for (const char* direction : {"0,0,0", "1,2", "1;2;3", "a,b,c", "1,2,3,4"}) {
    SCOPED_TRACE(direction);
    cadhost::clearPrintedText();
    std::filesystem::path file = dir_ / "refused.png";
    run("PNGOUT " + file.string() + " " + direction + "\n");
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_NE(cadhost::printedText().find("The view direction must be three numbers"), std::string::npos)
        << cadhost::printedText();
  }
}

TEST_F(PngOutTest, RegenAllRedrawsTheDisplayList) {
  run("REGENALL\n");
  const AcGiDisplayList& list = acgiDisplayOf(database_);
  EXPECT_EQ(list.drawCount(box_), 1);
  EXPECT_EQ(list.primitivesOf(box_).size(), 1u);
  run("REGENALL\n");
  EXPECT_EQ(list.drawCount(box_), 2);
  EXPECT_NE(cadhost::printedText().find("Regenerating model."), std::string::npos);
}

}  // namespace
