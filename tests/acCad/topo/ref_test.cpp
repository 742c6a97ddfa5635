// Topology references: canonical entities, the reference tree with its orientation flags, the
// reference table and its ring, parents, bodies, validity and visibility.
#include <gtest/gtest.h>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>

#include <algorithm>
#include <map>

#include "amg/CaeExcept.h"
#include "arx/brtrav.h"
#include "mcad/amipart.h"
#include "topo/acTopoNav.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoTables.h"
#include "topo_fixture.h"
#include "util/acBrEnt.h"

namespace {

using topotest::childrenOf;
using topotest::TopoTest;

class ReferenceTest : public TopoTest {};

int countKind(AcTopoTables& tables, int kind) {
  int count = 0;
  for (auto* node = tables.References().FirstNode(); node->HasItem(); node = node->Next())
    count += node->Item()->Kind() == kind;
  return count;
}

TEST_F(ReferenceTest, TheSameSubentityGivesOneCanonicalEntityAndOneReference) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcBrFace first;
  AcBrFace second;
  const AcDbFullSubentPath path(plate, AcDbSubentId(AcDb::kFaceSubentType, 3));
  ASSERT_EQ(first.setSubentPath(path), AcBr::eOk);
  ASSERT_EQ(second.setSubentPath(path), AcBr::eOk);
  AcBrEntity* canonical = acCanonicalBrEntity(&first);
  ASSERT_NE(canonical, nullptr);
  EXPECT_NE(canonical, &first);
  EXPECT_EQ(acCanonicalBrEntity(&second), canonical);
  EXPECT_EQ(acTopoRefFromBrEntity(canonical), acTopoRefFromBrEntity(acCanonicalBrEntity(&second)));

  // Same object path, another subentity kind or index: other entities.
  AcBrEdge edge;
  ASSERT_EQ(edge.setSubentPath(AcDbFullSubentPath(plate, AcDbSubentId(AcDb::kEdgeSubentType, 3))), AcBr::eOk);
  AcBrFace otherFace;
  ASSERT_EQ(otherFace.setSubentPath(AcDbFullSubentPath(plate, AcDbSubentId(AcDb::kFaceSubentType, 4))), AcBr::eOk);
  EXPECT_NE(acCanonicalBrEntity(&edge), canonical);
  EXPECT_NE(acCanonicalBrEntity(&otherFace), canonical);
  EXPECT_NE(acBrEntityCompare(&edge, &first), 0);
  EXPECT_EQ(acBrEntityCompare(&second, &first), 0);
  EXPECT_EQ(acBrEntityClassCode(&edge), kBrClassEdge);
  EXPECT_EQ(acBrEntityKind(&edge), CaeTopoRef::kEdge);
  EXPECT_EQ(acBrEntityKind(nullptr), CaeTopoRef::kNone);
}

TEST_F(ReferenceTest, ACanonicalEntityIsRefreshedInPlaceAfterTheSolidChanges) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcTopoRef* hole = refOf(plate, Ami::kFaceKey, "hole1/side");
  AcBrEntity* canonical = hole->Entity();
  command("PARAM set plate/D 40");
  AcBrFace again;
  AcDbFullSubentPath path;
  ASSERT_EQ(canonical->getSubentPath(path), AcBr::eOk);
  ASSERT_EQ(again.setSubentPath(path), AcBr::eOk);
  EXPECT_EQ(acCanonicalBrEntity(&again), canonical);
  // The kept object now holds the edited face: a cylinder of radius 20.
  AcGeSurface* surface = nullptr;
  ASSERT_EQ(static_cast<AcBrFace*>(canonical)->getSurface(surface), AcBr::eOk);
  std::unique_ptr<AcGeSurface> owned(surface);
  AcGeInterval u;
  AcGeInterval v;
  surface->getEnvelope(u, v);
  AcGePoint3d p = surface->evalPoint(AcGePoint2d(u.lowerBound(), 0.3));
  EXPECT_NEAR(std::hypot(p.x - 100.0, p.y - 50.0), 20.0, 1e-9);
}

TEST_F(ReferenceTest, ABodyReferenceBuildsTheWholeTreeOnceWithFlags) {
  AcDbObjectId plate = loadPart("plate_with_hole");  // 7 faces, 15 edges, 10 vertices
  AcTopoRef* body = bodyOf(plate);
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->Kind(), CaeTopoRef::kBody);
  AcTopoTables& tables = *AcTopoTables::Current();
  EXPECT_EQ(countKind(tables, CaeTopoRef::kBody), 1);
  EXPECT_EQ(countKind(tables, CaeTopoRef::kFace), 7);
  EXPECT_EQ(countKind(tables, CaeTopoRef::kEdge), 15);
  EXPECT_EQ(countKind(tables, CaeTopoRef::kVertex), 10);
  EXPECT_EQ(childrenOf(body).size(), 7u);
  EXPECT_EQ(bodyOf(plate), body);
  EXPECT_EQ(tables.References().Count(), 33);

  // Every face is a child exactly once; every child knows its key.
  std::map<AcTopoRef*, int> seen;
  for (auto [face, flag] : childrenOf(body)) {
    EXPECT_EQ(face->Kind(), CaeTopoRef::kFace);
    EXPECT_TRUE(flag == 0 || flag == 1);
    EXPECT_NE(face->GetKey(), nullptr);
    ++seen[face];
  }
  EXPECT_EQ(seen.size(), 7u);
}

TEST_F(ReferenceTest, SeamsAndClosedEdgesComeOutOncePerFlag) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcTopoRef* hole = refOf(plate, Ami::kFaceKey, "hole1/side");
  const auto edges = childrenOf(hole);
  // Top circle, bottom circle, and the seam on both sides.
  ASSERT_EQ(edges.size(), 4u);
  std::map<AcTopoRef*, std::vector<int>> flagsOf;
  for (auto [edge, flag] : edges) flagsOf[edge].push_back(flag);
  ASSERT_EQ(flagsOf.size(), 3u);
  int seams = 0;
  for (auto& [edge, flags] : flagsOf) {
    std::sort(flags.begin(), flags.end());
    if (flags.size() == 2) {
      ++seams;
      EXPECT_EQ(flags, (std::vector<int>{0, 1}));
      EXPECT_FALSE(edge->IsClosed(0));
      continue;
    }
    // A circle: one vertex, listed with flag 0 and then with flag 1; NextChild crosses lists.
    EXPECT_TRUE(edge->IsClosed(0));
    const auto vertices = childrenOf(edge);
    ASSERT_EQ(vertices.size(), 2u);
    EXPECT_EQ(vertices[0].first, vertices[1].first);
    EXPECT_EQ(vertices[0].second, 0);
    EXPECT_EQ(vertices[1].second, 1);
  }
  EXPECT_EQ(seams, 1);
}

// A walk steps from the child it was given last; asked about any other child it still answers
// that child's successor.
TEST_F(ReferenceTest, NextChildAnswersTheSuccessorOfAnyChildAskedInAnyOrder) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  for (const char* name : {"plate/top", "hole1/side"}) {
    SCOPED_TRACE(name);
    AcTopoRef* face = refOf(plate, Ami::kFaceKey, name);
    const auto walked = childrenOf(face);
    ASSERT_GE(walked.size(), 4u);
    for (int round = 0; round < 2; ++round) {
      // From the last child back to the first, so that no question follows the answer before it.
      for (std::size_t i = walked.size(); i-- > 0;) {
        int nextFlag = -1;
        CaeTopoRef* next = face->NextChild(walked[i].first, walked[i].second, nextFlag);
        if (i + 1 == walked.size()) {
          EXPECT_EQ(next, nullptr);
          continue;
        }
        EXPECT_EQ(next, walked[i + 1].first) << i;
        EXPECT_EQ(nextFlag, walked[i + 1].second) << i;
      }
      // Rebuilt children: the walk gives the same list again.
      face->ClearChildren();
      face->EnsureChildren(AcTopoTables::Current());
      EXPECT_EQ(childrenOf(face), walked);
    }
  }
}

TEST_F(ReferenceTest, AnOpenEdgeListsItsTwoVerticesAtItsEnds) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcTopoRef* edge = refOf(plate, Ami::kEdgeKey, "plate/front|plate/top");
  const auto vertices = childrenOf(edge);
  ASSERT_EQ(vertices.size(), 2u);
  EXPECT_NE(vertices[0].first, vertices[1].first);
  EXPECT_EQ(vertices[0].second, 0);
  EXPECT_EQ(vertices[1].second, 1);
  CaeVector lower, upper, start, end, v0, v1;
  edge->ParamRange(lower, upper);
  edge->Feval(lower, start);
  edge->Feval(upper, end);
  vertices[0].first->Feval(CaeVector(), v0);
  vertices[1].first->Feval(CaeVector(), v1);
  EXPECT_TRUE(start.Equal(v0, 1e-9));
  EXPECT_TRUE(end.Equal(v1, 1e-9));
  EXPECT_NEAR(edge->EdgeLength(), 200.0, 1e-6);
  EXPECT_TRUE(childrenOf(vertices[0].first).empty());
}

TEST_F(ReferenceTest, NewAndReinsertedReferencesEnterTheRingAtTheFront) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcTopoTables& tables = *AcTopoTables::Current();
  AcTopoRef* hole = refOf(plate, Ami::kFaceKey, "hole1/side");
  // The face registered itself before its edges and vertices: it is the oldest, at the end.
  EXPECT_EQ(tables.References().Prev()->Item(), hole);
  AcTopoRef* body = bodyOf(plate);
  EXPECT_EQ(tables.References().Prev()->Item(), hole);
  int position = 0;
  int bodyAt = -1;
  int holeAt = -1;
  for (auto* node = tables.References().FirstNode(); node->HasItem(); node = node->Next(), ++position) {
    if (node->Item() == body) bodyAt = position;
    if (node->Item() == hole) holeAt = position;
  }
  EXPECT_LT(bodyAt, holeAt);
  // Re-inserting (what re-validation does) moves a reference to the front, still findable.
  tables.UnlinkReference(hole);
  EXPECT_EQ(tables.FindReference(hole->Entity()), nullptr);
  tables.InsertReference(hole);
  EXPECT_EQ(tables.References().FirstNode()->Item(), hole);
  EXPECT_EQ(tables.FindReference(hole->Entity()), hole);
  EXPECT_EQ(tables.References().Count(), 33);
}

TEST_F(ReferenceTest, BodyAndParentGoOneLevelUp) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcTopoRef* vertex = refOf(plate, Ami::kVertexKey, "plate/front&plate/left&plate/top");
  EXPECT_EQ(AcTopoTables::Current()->References().Count(), 1);
  auto* body = static_cast<AcTopoRef*>(vertex->Body());
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->Kind(), CaeTopoRef::kBody);
  EXPECT_EQ(body->Body(), nullptr);
  EXPECT_EQ(AcTopoTables::Current()->References().Count(), 33);
  EXPECT_EQ(body->Parent(), nullptr);

  AcTopoRef* edge = vertex->Parent();
  ASSERT_NE(edge, nullptr);
  EXPECT_EQ(edge->Kind(), CaeTopoRef::kEdge);
  AcTopoRef* face = edge->Parent();
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->Kind(), CaeTopoRef::kFace);
  EXPECT_EQ(face->Parent(), body);
  bool listed = false;
  for (auto [child, flag] : childrenOf(face)) listed = listed || child == edge;
  EXPECT_TRUE(listed);
}

TEST_F(ReferenceTest, VisibilityFollowsThePlacedPartAndValidityTheKey) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcTopoRef* top = refOf(plate, Ami::kFaceKey, "plate/top");
  AcTopoRef* body = bodyOf(plate);
  EXPECT_TRUE(top->IsVisible());
  EXPECT_TRUE(body->IsVisible());
  EXPECT_TRUE(top->IsValid());
  AcDbEntity* entity = nullptr;
  ASSERT_EQ(acdbOpenAcDbEntity(entity, plate, AcDb::kForWrite), Acad::eOk);
  entity->setVisibility(AcDb::kInvisible);
  entity->close();
  EXPECT_FALSE(top->IsVisible());
  EXPECT_FALSE(body->IsVisible());

  // A solid that is no part has no key: visible, and valid while its subentity exists.
  AcDbObjectId box = addSolid(BRepPrimAPI_MakeBox(1, 2, 3).Shape());
  AcTopoRef* boxFace = faceOf(box, 1);
  EXPECT_EQ(boxFace->GetKey(), nullptr);
  EXPECT_TRUE(boxFace->IsVisible());
  EXPECT_TRUE(boxFace->IsValid());
}

TEST_F(ReferenceTest, KeyConstructorAndUnresolvedKeys) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  EXPECT_THROW(AcTopoRef(static_cast<AmiObjectKey*>(nullptr), AcTopoTables::Current()), CaeExcept);
  EXPECT_EQ(acTopoRefFromKey(faceKey(plate, "nothing/here")), nullptr);
  EXPECT_EQ(acTopoRefFromKey(nullptr), nullptr);
}

TEST_F(ReferenceTest, WalksResumeFromTheirLastAnswerAndFindTheirPlaceOtherwise) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  for (AcTopoRef* parent : {bodyOf(plate), refOf(plate, Ami::kFaceKey, "plate/top")}) {
    int firstFlag = 0;
    AcBrEntity* first = AcTopoNav::FirstSubEntity(*parent, firstFlag);
    ASSERT_NE(first, nullptr);
    int secondFlag = 0;
    AcBrEntity* second = AcTopoNav::NextSubEntity(*parent, first, firstFlag, secondFlag);
    ASSERT_NE(second, nullptr);
    int thirdFlag = 0;
    AcBrEntity* third = AcTopoNav::NextSubEntity(*parent, second, secondFlag, thirdFlag);
    ASSERT_NE(third, nullptr);
    // Asked again from an earlier position, the walk starts over and gives the same answers.
    int flag = -1;
    EXPECT_EQ(AcTopoNav::NextSubEntity(*parent, first, firstFlag, flag), second);
    EXPECT_EQ(flag, secondFlag);
    EXPECT_EQ(AcTopoNav::NextSubEntity(*parent, second, secondFlag, flag), third);
    EXPECT_EQ(flag, thirdFlag);
    // The walk matches the children the reference listed.
    std::vector<AcBrEntity*> walked;
    for (AcBrEntity* sub = AcTopoNav::FirstSubEntity(*parent, flag); sub;
         sub = AcTopoNav::NextSubEntity(*parent, sub, flag, flag))
      walked.push_back(sub);
    std::vector<AcBrEntity*> listed;
    for (auto [child, childFlag] : childrenOf(parent)) listed.push_back(child->Entity());
    std::sort(walked.begin(), walked.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(walked, listed);
  }
}

TEST(OrientationFlags, EachConditionThatHoldsTogglesTheFlagOnce) {
  EXPECT_EQ(acToggleOrientation(0), 1);
  EXPECT_EQ(acToggleOrientation(1), 0);
  EXPECT_THROW(acToggleOrientation(2), CaeExcept);
  const struct {
    bool alongCurve, alongLoop, faceAlongSurface, surfaceReversed;
    int flag;
  } cases[] = {
      {true, false, true, false, 0},  {false, false, true, false, 1}, {true, true, true, false, 1},
      {true, false, false, false, 1}, {true, false, true, true, 1},   {true, true, false, false, 0},
      {false, true, true, true, 1},   {false, true, false, true, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(acEdgeOrientationInFace(c.alongCurve, c.alongLoop, c.faceAlongSurface, c.surfaceReversed), c.flag)
        << c.alongCurve << c.alongLoop << c.faceAlongSurface << c.surfaceReversed;
}

}  // namespace
