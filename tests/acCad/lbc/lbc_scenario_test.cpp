// Conditions through a user's session: an erased last load and undo, saving with an erased and an
// unresolved condition, a load that follows its face through a parameter edit and a reopen, and
// symbols drawn from kept placements through a parameter edit, its undo and its redo.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeString.h"
#include "amg/CaeVector.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbtrans.h"
#include "arx/gidisplay.h"
#include "cadInterface/CadInterface.h"
#include "db/dbBaseLbc.h"
#include "db/dbLbcSet.h"
#include "db/dbOpen.h"
#include "fea/AnlControl.h"
#include "fea/AttLbc.h"
#include "gui/wizard/UIWizard.h"
#include "lbc_deck_fixture.h"
#include "mcad/amikey.h"
#include "test_env.h"
#include "topo/acTopoRef.h"

namespace lbctest {
namespace {

constexpr int kLoadsStep = 3;

class LbcScenarioTest : public DeckFixture {
 protected:
  // The drawing's first load set (a reopened drawing has no current one).
  static CaepLbcSetObj* loads() { return dynamic_cast<CaepLbcSetObj*>(AnlControl::GetCurrent()->FirstLoadCase()); }

  // A pressure on a named face of `part`, with geometry.
  static void pressureOn(AcTopoRef* face) {
    int flags[6] = {0, 0, 0, 0, 0, 0};
    double value[3] = {1, 0, 0};
    int made = 0;
    asCommand([&] {
      made = CadInterface::GetCurrent()->CreateLbc(CaeString("Pressure"), 3, 5.0, 4, flags, value, nullptr,
                                                   face->GetBrEntity());
    });
    EXPECT_EQ(made, 1) << cadhost::printedText();
  }
  // Every member id of the current load set, erased ones included.
  static std::vector<AcDbObjectId> memberIds() {
    std::vector<AcDbObjectId> ids;
    const AcDbObjectIdArray& listed = loads()->ConditionIds();
    for (int i = 0; i < listed.length(); ++i) ids.push_back(listed[i]);
    return ids;
  }
  // Runs `work` on a member opened for read, erased or not.
  static void withMember(AcDbObjectId id, const std::function<void(CaepBaseLbcEnt&)>& work) {
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForRead, true), Acad::eOk);
    auto* entity = dynamic_cast<CaepBaseLbcEnt*>(object);
    ASSERT_NE(entity, nullptr);
    work(*entity);
    object->close();
  }
  static AcGiView pictureView() {
    AcGiView view;
    view.direction = AcGeVector3d(-1, -1, 1);
    view.width = 800;
    view.height = 600;
    return view;
  }
  static std::vector<AcGiPrimitive> drawnBy(AcDbObjectId id) {
    AcGiDisplayList display(db(), pictureView());
    display.regenerate();
    return display.primitivesOf(id);
  }
  // The points of each primitive a condition draws in a new regeneration.
  using Picture = std::vector<std::vector<AcGePoint3d>>;
  static Picture pictureOf(AcDbObjectId id) {
    Picture picture;
    for (const AcGiPrimitive& primitive : drawnBy(id)) picture.push_back(primitive.points);
    return picture;
  }
  // The same, found afresh: an open for write makes the condition forget the placements it kept.
  static Picture freshPictureOf(AcDbObjectId id) {
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenObject(object, id, AcDb::kForWrite), Acad::eOk);
    if (object) object->close();
    return pictureOf(id);
  }
  static bool samePicture(const Picture& a, const Picture& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (a[i].size() != b[i].size()) return false;
      for (std::size_t j = 0; j < a[i].size(); ++j)
        if (a[i][j].distanceTo(b[i][j]) > 1e-9) return false;
    }
    return true;
  }
};

TEST_F(LbcScenarioTest, ErasingTheLastLoadClearsTheLoadsStepAndUndoBringsItBack) {
  makeDrawingSets("Plate", AnlStress, "Loads", "Fixed");
  pressureOn(TopoTest::refOf(plate, Ami::kFaceKey, "plate/top"));
  UISetWizardTabState(kLoadsStep, 1);  // as the load page marks it
  const AcDbObjectId id = memberIds().front();
  // The picture as the host keeps it: redrawn after each command where something changed.
  AcGiDisplayList display(db(), pictureView());
  display.regenerate();
  ASSERT_FALSE(display.primitivesOf(id).empty());

  asCommand([&] { loads()->DeleteLbc(loads()->LiveLbc(1)); });
  display.update();
  EXPECT_EQ(UIGetWizardTabState(kLoadsStep), 0);
  EXPECT_TRUE(display.primitivesOf(id).empty());

  command("U");
  display.update();
  EXPECT_EQ(UIGetWizardTabState(kLoadsStep), 1);
  EXPECT_FALSE(dbIsErasedOrGone(id));
  EXPECT_FALSE(display.primitivesOf(id).empty()) << "the load is drawn again after U";
}

TEST_F(LbcScenarioTest, SavingWithAnErasedAndAnUnresolvedConditionWorksAndBothKeepTheirKeys) {
  AcDbObjectId block = loadPart(fixturePath("pocket_block.part"));
  makeDrawingSets("Block", AnlStress, "Loads", "Fixed");
  pressureOn(TopoTest::refOf(block, Ami::kFaceKey, "pocket/bottom"));
  pressureOn(TopoTest::refOf(plate, Ami::kFaceKey, "plate/top"));
  asCommand([&] { loads()->DeleteLbc(loads()->LiveLbc(2)); });  // the plate's, erased
  command("PARAM set block/Depth 12");                          // the pocket goes through: its bottom is gone
  saveAs("first.dwg");
  reopen("first.dwg");

  const std::vector<AcDbObjectId> members = memberIds();
  ASSERT_EQ(members.size(), 2u);
  withMember(members[0], [](CaepBaseLbcEnt& unresolved) {
    ASSERT_NE(unresolved.TopoKey(), nullptr);
    EXPECT_EQ(unresolved.TopoKey()->name(), "pocket/bottom");
  });
  withMember(members[1], [](CaepBaseLbcEnt& erased) {
    EXPECT_TRUE(erased.isErased());
    ASSERT_NE(erased.TopoKey(), nullptr);
    EXPECT_EQ(erased.TopoKey()->name(), "plate/top");
  });
  EXPECT_TRUE(drawnBy(members[0]).empty()) << "a condition without geometry draws nothing";

  // An edit of the condition without geometry is refused with a message; it stays as it was,
  // its key kept.
  cadhost::clearPrintedText();
  asCommand([&] {
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, members[0], AcDb::kForWrite, true), Acad::eOk);
    int flags[6] = {0, 0, 0, 0, 0, 0};
    double value[3] = {7, 0, 0};
    CadInterface::GetCurrent()->EditLbc(dynamic_cast<AttBaseLbc*>(object), CaeString("Edited"), 3, 5.0, 4, flags, value,
                                        nullptr);
    object->close();
  });
  EXPECT_NE(cadhost::printedText().find("geometry of this condition is missing"), std::string::npos)
      << cadhost::printedText();
  EXPECT_EQ(memberIds(), members);
  withMember(members[0], [](CaepBaseLbcEnt& unchanged) {
    EXPECT_TRUE(unchanged.isErased()) << "erased with its face by the parameter edit, and still so";
    ASSERT_NE(unchanged.TopoKey(), nullptr);
    EXPECT_EQ(unchanged.TopoKey()->name(), "pocket/bottom");
    EXPECT_EQ(unchanged.Condition().Name(), CaeString("Pressure"));
    EXPECT_EQ(unchanged.Condition().EvaluateVecAtPointLocal(CaeVector()), CaeVector(1, 0, 0));
  });

  saveAs("second.dwg");                // every later save works too
  command("PARAM set block/Depth 4");  // the bottom comes back
  saveAs("third.dwg");
  reopen("third.dwg");
  withMember(memberIds()[0], [](CaepBaseLbcEnt& back) {
    ASSERT_NE(back.TopoKey(), nullptr);
    EXPECT_EQ(back.TopoKey()->name(), "pocket/bottom");
    EXPECT_NE(dynamic_cast<AttLbc&>(back.Condition()).GetTopoRef(), nullptr);
  });
}

TEST_F(LbcScenarioTest, ALoadOnTheHoleSitsOnTheLargerHoleAfterAnEditAndAReopen) {
  makeDrawingSets("Plate", AnlStress, "Loads", "Fixed");
  pressureOn(TopoTest::refOf(plate, Ami::kFaceKey, "hole1/side"));
  saveAs("before.dwg");
  command("PARAM set plate/D 40");
  saveAs("after.dwg");
  reopen("after.dwg");

  const AcDbObjectId id = memberIds().front();
  withMember(id, [](CaepBaseLbcEnt& entity) {
    auto* face = dynamic_cast<AcTopoRef*>(dynamic_cast<AttLbc&>(entity.Condition()).GetTopoRef());
    ASSERT_NE(face, nullptr);
    CaeVector lower, upper, point;
    face->ParamRange(lower, upper);
    face->Feval((lower + upper) * 0.5, point);
    EXPECT_NEAR(std::hypot(point[0] - 100.0, point[1] - 50.0), 20.0, 1e-6);
  });
}

// The symbols' placements are kept from one regeneration to the next: a parameter edit, its undo
// (which writes nothing to the condition) and its redo must each show the symbols where a drawing
// found afresh puts them.
TEST_F(LbcScenarioTest, KeptSymbolsFollowTheirFaceThroughAParameterEditItsUndoAndItsRedo) {
  makeDrawingSets("Plate", AnlStress, "Loads", "Fixed");
  pressureOn(TopoTest::refOf(plate, Ami::kFaceKey, "hole1/side"));
  const AcDbObjectId id = memberIds().front();
  const Picture before = pictureOf(id);
  ASSERT_FALSE(before.empty());
  EXPECT_TRUE(samePicture(pictureOf(id), before)) << "drawn again from what was kept";

  command("PARAM set plate/D 40");
  const Picture edited = pictureOf(id);
  EXPECT_FALSE(samePicture(edited, before)) << "the hole grew: its symbols moved";
  EXPECT_TRUE(samePicture(edited, freshPictureOf(id)));

  command("U");
  const Picture undone = pictureOf(id);
  EXPECT_TRUE(samePicture(undone, before));
  EXPECT_TRUE(samePicture(undone, freshPictureOf(id)));

  command("REDO");
  const Picture redone = pictureOf(id);
  EXPECT_TRUE(samePicture(redone, edited));
  EXPECT_TRUE(samePicture(redone, freshPictureOf(id)));
}

}  // namespace
}  // namespace lbctest
