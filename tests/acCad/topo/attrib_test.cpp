// The attribute lists of references: the two conversions between an attribute and its drawing
// object, and the First/Next walks by type and by activity, over one list and two.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "amg/CaeAttrib.h"
#include "attrib_fixture.h"
#include "db/dbOpen.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoUtil.h"

namespace {

using topotest::AttribTest;
using topotest::TestLoad;
using topotest::TestModelLoad;
using topotest::TestRefinement;

// The plate's hole and top face, with attributes listed on them:
//   hole: load, refinement, inactive load, erased load, shared load
//   top:  shared load, refinement
class AttribListTest : public AttribTest {
 protected:
  void SetUp() override {
    AttribTest::SetUp();
    plate = loadPart("plate_with_hole");
    hole = refOf(plate, Ami::kFaceKey, "hole1/side");
    top = refOf(plate, Ami::kFaceKey, "plate/top");
    load = attachNew<TestLoad>(plate, Ami::kFaceKey, "hole1/side");
    refinement = attachNew<TestRefinement>(plate, Ami::kFaceKey, "hole1/side");
    inactive = attachNew<TestLoad>(plate, Ami::kFaceKey, "hole1/side");
    inactive->Deactivate();
    erased = attachNew<TestLoad>(plate, Ami::kFaceKey, "hole1/side");
    {
      DbTransaction transaction(db());
      eraseEntity(erased);
    }
    shared = attachNew<TestLoad>(plate, Ami::kFaceKey, "hole1/side");
    listOn(top, shared);
    topRefinement = attachNew<TestRefinement>(plate, Ami::kFaceKey, "plate/top");
  }

  static void eraseEntity(TestLoad* entity) {
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, entity->objectId(), AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(object->erase(), Acad::eOk);
    object->close();
  }

  AcDbObjectId plate;
  AcTopoRef* hole = nullptr;
  AcTopoRef* top = nullptr;
  TestLoad* load = nullptr;
  TestRefinement* refinement = nullptr;
  TestLoad* inactive = nullptr;
  TestLoad* erased = nullptr;
  TestLoad* shared = nullptr;
  TestRefinement* topRefinement = nullptr;
};

CaeAttrib* asAttrib(CaeAttrib* attribute) { return attribute; }

TEST_F(AttribListTest, WalksAnswerByTypeAndActivityInTheOrderAdded) {
  struct Case {
    const char* name;
    AcTopoRef* reference;
    CaeTypeId type;
    int activeOnly;
    std::vector<CaeAttrib*> expected;
  };
  const Case cases[] = {
      {"every attribute of the hole (the erased one passed over)",
       hole,
       CaeAttrib::Info,
       0,
       {load, refinement, inactive, shared}},
      {"active ones only", hole, CaeAttrib::Info, 1, {load, refinement, shared}},
      {"loads only", hole, AttLbc::Info, 0, {load, inactive, shared}},
      {"active loads", hole, AttLbc::Info, 1, {load, shared}},
      {"refinements", hole, AmgConstraint::Info, 0, {refinement}},
      {"no attribute of that type", hole, AmgMesh::Info, 0, {}},
      {"the other reference", top, CaeAttrib::Info, 0, {shared, topRefinement}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(walk(c.reference, c.type, c.activeOnly), c.expected);
  }
}

TEST_F(AttribListTest, TheCursorContinuesOnlyTheListItCameFrom) {
  DbTransaction transaction(db());
  // The hole's walk leaves the cursor on the shared load at its index there (4); the top face
  // lists the same load at index 0, and its successor there is the refinement.
  CaeAttrib* last = nullptr;
  for (CaeAttrib* a = hole->FirstAttribute(CaeAttrib::Info, 0); a; a = hole->NextAttribute(CaeAttrib::Info, a, 0))
    last = a;
  EXPECT_EQ(last, asAttrib(shared));
  EXPECT_EQ(top->NextAttribute(CaeAttrib::Info, shared, 0), asAttrib(topRefinement));
  // A previous attribute the cursor does not hold: the scan starts at the front.
  EXPECT_EQ(hole->NextAttribute(CaeAttrib::Info, refinement, 0), asAttrib(inactive));
  // One the list does not hold at all: nothing.
  EXPECT_EQ(hole->NextAttribute(CaeAttrib::Info, topRefinement, 0), nullptr);
  EXPECT_EQ(hole->NextAttribute(CaeAttrib::Info, nullptr, 0), nullptr);
}

TEST_F(AttribListTest, RemovingTakesTheFirstOccurrenceAndAnAttributeAddedTwiceIsWalkedTwice) {
  hole->AddAttribute(load);
  EXPECT_EQ(walk(hole, AttLbc::Info, 1), (std::vector<CaeAttrib*>{load, shared, load}));
  EXPECT_TRUE(hole->RemoveAttribute(load));
  EXPECT_EQ(walk(hole, AttLbc::Info, 1), (std::vector<CaeAttrib*>{shared, load}));
  EXPECT_TRUE(hole->RemoveAttribute(refinement));
  EXPECT_FALSE(hole->RemoveAttribute(refinement));
  EXPECT_EQ(walk(hole, CaeAttrib::Info, 0), (std::vector<CaeAttrib*>{inactive, shared, load}));
}

TEST_F(AttribListTest, ConversionsJoinOnlyThePairs) {
  EXPECT_EQ(acAttribFromDbObject(load), asAttrib(load));
  EXPECT_EQ(acAttribFromDbObject(refinement), asAttrib(refinement));
  EXPECT_EQ(acDbObjectFromAttrib(load), static_cast<AcDbObject*>(load));
  EXPECT_EQ(acDbObjectFromAttrib(refinement), static_cast<AcDbObject*>(refinement));
  // A model-level load is no attribute; a host object is none either.
  auto* modelLoad = post(new TestModelLoad());
  EXPECT_EQ(acAttribFromDbObject(modelLoad), nullptr);
  EXPECT_EQ(acAttribFromDbObject(nullptr), nullptr);
  // An engine attribute without drawing object has no id to be listed by.
  AmgConstraint bare;
  EXPECT_EQ(acDbObjectFromAttrib(&bare), nullptr);
  const int before = hole->AttributeIds().length();
  hole->AddAttribute(&bare);
  EXPECT_EQ(hole->AttributeIds().length(), before);
  EXPECT_FALSE(hole->RemoveAttribute(&bare));
}

}  // namespace
