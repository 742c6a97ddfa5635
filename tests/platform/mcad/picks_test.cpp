// Picks on the command line: by point, by key name, by subentity path; ESC and failed picks.
#include "mcad/amiparam.h"
#include "mcad/amipick.h"
#include "part_fixture.h"

namespace {

using mcadtest::PartDrawingTest;

class PicksTest : public PartDrawingTest {
 protected:
  void SetUp() override {
    PartDrawingTest::SetUp();
    plate = loadShipped("plate_with_hole.part");  // 200 x 100 x 10, hole of diameter 30 at (100, 50)
  }
  // Runs one pick and answers the picked key's name, or "" when there is no key.
  std::string pickName(Ami::KeyType type, AmiStatus& status) {
    AmiPickObj pick;
    status = amiPick("\nSelect: ", type, nullptr, pick);
    if (status != Ami::eOk) return {};
    AmiKey* key = nullptr;
    EXPECT_EQ(amiGetKeyFromPick(pick, type == Ami::kAnyKey ? pick.pickedType() : type, key), Ami::eOk);
    std::string name = amiKeyName(key);
    if (key) key->release();
    return name;
  }
  AcDbObjectId plate;
};

TEST_F(PicksTest, TypedPointsAndNamesPickTheNearestSubentityOfTheAskedKind) {
  struct Case {
    const char* typed;
    Ami::KeyType type;
    AmiStatus status;
    const char* picked;
  } cases[] = {
      {"50,10,10", Ami::kFaceKey, Ami::eOk, "plate/plate/top"},
      {"50,10,11", Ami::kFaceKey, Ami::eOk, "plate/plate/top"},  // within 1% of the part's size
      {"50,10,13", Ami::kFaceKey, Ami::eFailedPick, ""},         // too far above
      {"115,50,5", Ami::kFaceKey, Ami::eOk, "plate/hole1/side"},
      {"50,0,10", Ami::kEdgeKey, Ami::eOk, "plate/plate/front|plate/top"},
      {"1,1,0.5", Ami::kVertexKey, Ami::eOk, "plate/plate/bottom&plate/front&plate/left"},
      {"50,10,10", Ami::kAnyKey, Ami::eOk, "plate/plate/top"},
      {"50,10,10", Ami::kBodyKey, Ami::eOk, "plate"},
      {"50, 10", Ami::kFaceKey, Ami::eOk, "plate/plate/bottom"},  // z defaults to 0
      {"plate/hole1/side", Ami::kFaceKey, Ami::eOk, "plate/hole1/side"},
      {"plate/hole1/side|plate/top", Ami::kEdgeKey, Ami::eOk, "plate/hole1/side|plate/top"},
      {"plate/hole1/side", Ami::kEdgeKey, Ami::eFailedPick, ""},  // a face, not an edge
      {"plate", Ami::kBodyKey, Ami::eOk, "plate"},
      {"plate", Ami::kCompKey, Ami::eOk, "plate"},
      {"150,50,0", Ami::kCompKey, Ami::eOk, "plate"},
      {"plate", Ami::kFaceKey, Ami::eFailedPick, ""},
      {"plate/D", Ami::kParamKey, Ami::eOk, "plate/D"},
      {"50,10,10", Ami::kParamKey, Ami::eFailedPick, ""},
      {"plate/hole2/side", Ami::kFaceKey, Ami::eFailedPick, ""},
      {"column/shaft/top", Ami::kFaceKey, Ami::eFailedPick, ""},
      {"500,500,500", Ami::kFaceKey, Ami::eFailedPick, ""},
      {"  ", Ami::kFaceKey, Ami::eFailedPick, ""},
      {"50,10,x", Ami::kFaceKey, Ami::eFailedPick, ""},
  };
  for (const Case& c : cases) {
    cadhost::queueText(c.typed);
    cadhost::clearPrintedText();
    AmiStatus status = Ami::eOk;
    EXPECT_EQ(pickName(c.type, status), c.picked) << c.typed;
    EXPECT_EQ(status, c.status) << c.typed;
    // A failed pick says why (every message is a sentence).
    if (status == Ami::eFailedPick) {
      EXPECT_NE(cadhost::printedText().find(".\n"), std::string::npos) << c.typed;
    }
    EXPECT_EQ(cadhost::queuedInputCount(), 0u) << c.typed;
  }
}

TEST_F(PicksTest, PointsAndSubentityPicksFromAPointingDevice) {
  AmiStatus status = Ami::eFailedPick;
  cadhost::queuePoint(150, 100, 5);
  EXPECT_EQ(pickName(Ami::kFaceKey, status), "plate/plate/back");
  EXPECT_EQ(status, Ami::eOk);

  AcDbFullSubentPath path;
  AmiObjectKey hole(Ami::kFaceKey, plate, "hole1/side");
  ASSERT_EQ(amiGetPathFromKey(&hole, path), Ami::eOk);
  cadhost::queuePick(path, 115, 50, 5);
  EXPECT_EQ(pickName(Ami::kFaceKey, status), "plate/hole1/side");
  cadhost::queuePick(path);
  EXPECT_EQ(pickName(Ami::kBodyKey, status), "plate");
  cadhost::queuePick(path);
  EXPECT_EQ(pickName(Ami::kEdgeKey, status), "");
  EXPECT_EQ(status, Ami::eFailedPick);
  cadhost::queuePick(AcDbFullSubentPath(db()->layerZero(), kNullSubent));
  EXPECT_EQ(pickName(Ami::kFaceKey, status), "");
  EXPECT_EQ(status, Ami::eFailedPick);
}

TEST_F(PicksTest, EscapeOrTheEndOfInputEndsThePick) {
  AmiPickObj pick;
  cadhost::queueEscape();
  EXPECT_EQ(amiPick("\nSelect: ", Ami::kFaceKey, nullptr, pick), Ami::eUserEnded);
  EXPECT_TRUE(pick.isEmpty());
  EXPECT_EQ(amiPick("\nSelect: ", Ami::kFaceKey, nullptr, pick), Ami::eUserEnded);  // nothing queued
  AmiKey* key = nullptr;
  EXPECT_EQ(amiGetKeyFromPick(pick, key), Ami::eBadInput);
}

TEST_F(PicksTest, KeysFromAPickByKindAndTheVertexRoute) {
  AmiPickObj pick;
  cadhost::queueText("0,0,10");
  ASSERT_EQ(amiPick("\nSelect: ", Ami::kVertexKey, nullptr, pick), Ami::eOk);
  AmiObjectKey* vertex = nullptr;
  ASSERT_EQ(amiGetGeomKey(Ami::kVertexKey, 1, vertex, pick), Ami::eOk);
  EXPECT_EQ(vertex->name(), "plate/front&plate/left&plate/top");
  vertex->release();
  AmiObjectKey* other = nullptr;
  EXPECT_EQ(amiGetGeomKey(Ami::kFaceKey, 1, other, pick), Ami::eWrongKeyType);
  EXPECT_EQ(amiGetGeomKey(Ami::kBodyKey, 1, other, pick), Ami::eBadInput);

  struct Case {
    Ami::KeyType asked;
    AmiStatus status;
    Ami::KeyType given;
  } cases[] = {
      {Ami::kVertexKey, Ami::eOk, Ami::kVertexKey},      {Ami::kAnyKey, Ami::eOk, Ami::kVertexKey},
      {Ami::kBodyKey, Ami::eOk, Ami::kBodyKey},          {Ami::kCompKey, Ami::eOk, Ami::kCompKey},
      {Ami::kEdgeKey, Ami::eWrongKeyType, Ami::kAnyKey}, {Ami::kParamKey, Ami::eWrongKeyType, Ami::kAnyKey},
  };
  for (const Case& c : cases) {
    AmiKey* key = nullptr;
    EXPECT_EQ(amiGetKeyFromPick(pick, c.asked, key), c.status) << c.asked;
    EXPECT_EQ(key ? key->keyType() : Ami::kAnyKey, c.given) << c.asked;
    if (key) key->release();
  }

  cadhost::queueText("plate/T");
  ASSERT_EQ(amiPick("\nSelect a parameter: ", Ami::kParamKey, nullptr, pick), Ami::eOk);
  AmiKey* param = nullptr;
  ASSERT_EQ(amiGetKeyFromPick(pick, param), Ami::eOk);
  ASSERT_EQ(param->keyType(), Ami::kParamKey);
  double value = 0.0;
  EXPECT_EQ(amiGetParamValue(static_cast<AmiParamKey*>(param), value), Ami::eOk);
  EXPECT_DOUBLE_EQ(value, 10.0);
  param->release();
}

}  // namespace
