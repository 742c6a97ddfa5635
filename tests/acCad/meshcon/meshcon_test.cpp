// Mesh-size constraints on the sample plate: their markers, their record (round trips, an entity
// without data, filer failures, a key that no longer resolves), the local sizes they give the
// mesher, and the interface rows that make and replace them.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "CadInterface/AcCadInterface.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbfiler.h"
#include "arx/hostinput.h"
#include "db/dbCon.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "fea/AmgMesh.h"
#include "lost_flag_table.h"
#include "meshcon_fixture.h"
#include "test_env.h"
#include "topo/acTopoMarkers.h"
#include "topo/acTopoRef.h"
#include "util/acObjKey.h"

namespace meshcontest {
namespace {

using symboltest::Near;
using symboltest::RingsOf;

// The centre of each diamond drawn: the mean of its rings' centres.
std::vector<CaeVector> diamondCentres(const std::vector<AcGiPrimitive>& drawn) {
  std::vector<CaeVector> centres;
  for (const AcGiPrimitive& shell : drawn) {
    if (shell.kind != AcGiPrimitive::kShell) continue;
    CaeVector sum;
    const std::vector<symboltest::Ring> rings = RingsOf(shell);
    for (const symboltest::Ring& ring : rings) sum = sum + ring.centre;
    centres.push_back(sum * (1.0 / static_cast<double>(rings.size())));
  }
  return centres;
}

bool contains(const std::vector<CaeVector>& points, const CaeVector& point) {
  for (const CaeVector& p : points)
    if (Near(p, point, 1e-6)) return true;
  return false;
}

std::string written(const CaepConEnt& entity, AcDbDatabase* db, AcDb::FilerType type = AcDb::kFileFiler) {
  AcDbDwgFiler filer(type, db);
  EXPECT_EQ(entity.dwgOutFields(&filer), Acad::eOk);
  return filer.takeBuffer();
}

TEST_F(MeshConTest, MarkersStandOnTheGeometryByKindAndType) {
  AcTopoRef* edge = named(Ami::kEdgeKey, "plate/front|plate/top");  // (0,0,10) to (200,0,10)
  AcTopoRef* top = named(Ami::kFaceKey, "plate/top");
  const CaeVector corner(0, 0, 10);
  const CaeVector onEdge(50, 0, 10);

  // A spread constraint on an edge: three markers at 1/6, 1/2 and 5/6 of its parameter range.
  std::vector<CaeVector> edgeThirds;
  double t[3];
  acEdgeMarkerParameters(edge, t, 3);
  for (double ti : t) {
    CaeVector p;
    edge->Feval(CaeVector(ti, 0, 0), p);
    edgeThirds.push_back(p);
  }
  EXPECT_TRUE(Near(edgeThirds[1], CaeVector(100, 0, 10), 1e-6));
  // A face: the same along every edge of the face (a point constraint: one per edge, at its location).
  int topEdges = 0;
  for (const auto& child : topotest::childrenOf(top)) topEdges += child.first ? 1 : 0;

  struct Case {
    const char* name;
    Ami::KeyType type;
    const char* geometry;
    bool point;
    CaeVector location;
    std::size_t markers;
    std::vector<CaeVector> at;
  };
  const Case cases[] = {
      {"vertex", Ami::kVertexKey, "plate/front&plate/left&plate/top", true, corner, 1, {corner}},
      {"edge point", Ami::kEdgeKey, "plate/front|plate/top", true, onEdge, 1, {onEdge}},
      {"edge spread", Ami::kEdgeKey, "plate/front|plate/top", false, onEdge, 3, edgeThirds},
      {"face spread", Ami::kFaceKey, "plate/top", false, CaeVector(), static_cast<std::size_t>(3 * topEdges),
       edgeThirds},
      {"face point", Ami::kFaceKey, "plate/top", true, onEdge, static_cast<std::size_t>(topEdges), {onEdge}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const AcDbObjectId id = constrain(c.type, c.geometry, 2.0, c.point, c.location);
    ASSERT_FALSE(id.isNull());
    const std::vector<CaeVector> centres = diamondCentres(drawnBy(id));
    EXPECT_EQ(centres.size(), c.markers);
    for (const CaeVector& p : c.at) EXPECT_TRUE(contains(centres, p)) << p.X() << "," << p.Y() << "," << p.Z();
  }
}

TEST_F(MeshConTest, HiddenPartErasedOrUnresolvedConstraintDrawsNothing) {
  const AcDbObjectId id = constrain(Ami::kFaceKey, "plate/top", 2.0, false);
  ASSERT_FALSE(drawnBy(id).empty());

  // Read back from its record, it waits for its resolution and draws nothing meanwhile.
  std::string record;
  asCommand([&] { record = written(*openConstraint(id), db()); });
  asCommand([&] {
    CaepConEnt* entity = openConstraint(id);
    AcDbDwgFiler in(AcDb::kFileFiler, db(), record);
    ASSERT_EQ(entity->dwgInFields(&in), Acad::eOk);
    EXPECT_TRUE(entity->IsUnresolved());
  });
  EXPECT_TRUE(drawnBy(id).empty());
  asCommand([&] { dbResolveConstraint(openConstraint(id)); });
  EXPECT_FALSE(drawnBy(id).empty());

  asCommand([&] { openConstraint(id)->erase(); });
  EXPECT_TRUE(drawnBy(id).empty());
  asCommand([&] { openConstraint(id)->erase(false); });
  EXPECT_FALSE(drawnBy(id).empty());

  asCommand([&] { AcDbEntity::cast(dbOpenMember(db(), plate, AcDb::kForWrite))->setVisibility(AcDb::kInvisible); });
  EXPECT_TRUE(drawnBy(id).empty());
}

TEST_F(MeshConTest, RecordRoundTripsAndAnEntityWithoutDataWritesVersionZero) {
  struct Case {
    const char* name;
    Ami::KeyType type;
    const char* geometry;
    bool point;
    CaeVector location;
  };
  const Case cases[] = {
      {"vertex point", Ami::kVertexKey, "plate/front&plate/left&plate/top", true, CaeVector(0, 0, 10)},
      {"edge spread", Ami::kEdgeKey, "plate/front|plate/top", false, CaeVector(50, 0, 10)},
      {"face spread", Ami::kFaceKey, "hole1/side", false, CaeVector(115, 50, 5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const AcDbObjectId id = constrain(c.type, c.geometry, 1.5, c.point, c.location);
    ASSERT_FALSE(id.isNull());
    asCommand([&] {
      CaepConEnt* original = openConstraint(id);
      const std::string record = written(*original, db());
      CaepConEnt copy;
      AcDbDwgFiler in(AcDb::kFileFiler, db(), record);
      ASSERT_EQ(copy.dwgInFields(&in), Acad::eOk);
      EXPECT_EQ(copy.DataVersion(), CaepConEnt::kDataVersion);
      EXPECT_EQ(copy.Color(), 3);
      EXPECT_EQ(copy.SymbolScale(), 2.0);
      EXPECT_EQ(copy.Size(), 1.5);
      EXPECT_EQ(copy.Type(), c.point ? AmgConstrPoint : AmgConstrSpread);
      EXPECT_TRUE(Near(copy.Location(), c.location));
      EXPECT_TRUE(acKeyNotNull(copy.TopoRef()));
      EXPECT_EQ(written(copy, db()), record);
    });
  }

  // Made by the default constructor: the version word 0 and nothing more, read back empty.
  CaepConEnt empty;
  AcDbDwgFiler out(AcDb::kFileFiler, db());
  ASSERT_EQ(empty.dwgOutFields(&out), Acad::eOk);
  const long calls = out.callCount();
  const std::string record = out.takeBuffer();
  CaepConEnt read;
  AcDbDwgFiler in(AcDb::kFileFiler, db(), record);
  ASSERT_EQ(read.dwgInFields(&in), Acad::eOk);
  EXPECT_EQ(read.DataVersion(), 0);
  EXPECT_EQ(written(read, db()), record);
  // The parent's fields and one version word: a record with data is longer by its nine fields.
  const AcDbObjectId id = constraintIds().front();
  asCommand([&] {
    AcDbDwgFiler full(AcDb::kFileFiler, db());
    ASSERT_EQ(openConstraint(id)->dwgOutFields(&full), Acad::eOk);
    EXPECT_GT(full.callCount(), calls + 8);
  });
}

TEST_F(MeshConTest, FilerFailureAtAnyCallIsAFilerErrorAndAppliesNothing) {
  const AcDbObjectId id = constrain(Ami::kEdgeKey, "plate/front|plate/top", 1.5, false, CaeVector(50, 0, 10));
  asCommand([&] {
    CaepConEnt* original = openConstraint(id);
    const std::string record = written(*original, db());
    AcDbDwgFiler counter(AcDb::kFileFiler, db());
    ASSERT_EQ(original->dwgOutFields(&counter), Acad::eOk);
    const long calls = counter.callCount();
    ASSERT_GT(calls, 8);
    for (long n = 1; n <= calls; ++n) {
      SCOPED_TRACE(n);
      AcDbDwgFiler out(AcDb::kFileFiler, db());
      out.setFailAt(n);
      EXPECT_NE(original->dwgOutFields(&out), Acad::eOk);
      CaepConEnt copy;
      AcDbDwgFiler in(AcDb::kFileFiler, db(), record);
      in.setFailAt(n);
      EXPECT_NE(copy.dwgInFields(&in), Acad::eOk);
      EXPECT_EQ(copy.DataVersion(), 0);
      EXPECT_EQ(copy.Size(), 0.0);
    }
  });
}

TEST_F(MeshConTest, KeyThatNoLongerResolvesIsKeptAndWrittenBackUnchanged) {
  const AcDbObjectId block = loadPart(kestrum::test::sourcePath("tests/platform/mcad/fixtures/pocket_block.part"));
  AcTopoRef* bottom = refOf(block, Ami::kFaceKey, "pocket/bottom");
  int made = 0;
  asCommand([&] { made = cad().CreateMeshConstraint(3, 1.0, 1, 1.0, 0, 0, 0, 0, bottom->GetBrEntity()); });
  ASSERT_EQ(made, 1);
  const AcDbObjectId id = constraintIds().back();
  std::string record;
  asCommand([&] { record = written(*openConstraint(id), db()); });

  command("PARAM set block/Depth 12");  // the pocket goes through: its bottom face is gone
  asCommand([&] {
    CaepConEnt copy;
    AcDbDwgFiler in(AcDb::kFileFiler, db(), record);
    ASSERT_EQ(copy.dwgInFields(&in), Acad::eOk);
    copy.ResolveTopoRef();
    EXPECT_FALSE(copy.IsUnresolved());
    EXPECT_EQ(copy.GetTopoRef(), nullptr);
    EXPECT_TRUE(copy.IsMarkedAsErased());
    EXPECT_EQ(written(copy, db()), record);
  });
}

// ---- listing and changing through listed objects ------------------------------------------------

// Walking the model's members opens them for read: no undo step. A change made through a listed
// model still records its undo state and its abort state.
TEST_F(MeshConTest, ListingIsNoUndoStepAndAChangeThroughTheListedModelIsUndoneAndAborted) {
  ASSERT_FALSE(constrain(Ami::kFaceKey, "plate/top", 2.0, false).isNull());
  const std::size_t groups = db()->undoGroupNames().size();
  asCommand([&] {
    CaepAnlModelObj* listed = model();
    ASSERT_NE(listed, nullptr);
    EXPECT_FALSE(listed->isWriteEnabled());
    ASSERT_EQ(listed->NumConstraints(), 1);
    EXPECT_NE(listed->GetConstraint(0), nullptr);
    EXPECT_EQ(listed->NumLiveConstraints(), 1);
  });
  EXPECT_EQ(db()->undoGroupNames().size(), groups) << "listing made an undo step";

  const double tolerance = model()->GetMateRelTolerance();
  asCommand([&] {
    model()->SetType(AnlVibration);
    model()->SetMateRelTolerance(2 * tolerance);
  });
  EXPECT_EQ(db()->undoGroupNames().size(), groups + 1);
  inspect([&] { EXPECT_EQ(model()->Type(), AnlVibration); });
  command("UNDO 1");
  inspect([&] {
    EXPECT_EQ(model()->Type(), AnlStress);
    EXPECT_EQ(model()->GetMateRelTolerance(), tolerance);
  });
  // A command that fails after the change leaves the model as it was.
  EXPECT_THROW(asCommand([&] {
                 model()->SetType(AnlHeatTransfer);
                 throw std::runtime_error("failed after the change");
               }),
               std::runtime_error);
  inspect([&] { EXPECT_EQ(model()->Type(), AnlStress); });
}

// ---- the topology-lost flag in the record -----------------------------------------------------

// A constraint record written by hand: the entity's own fields as the drawing file writes them,
// then the class fields of `version`, the flag only from 631.
std::string constraintRecord(int version, AcDbObjectId part, long lost) {
  AcDbDwgFiler filer(AcDb::kFileFiler, MeshConTest::db());
  kestrum::test::writeAttributeRecordHead(filer, CaepConEnt(), version, part);
  for (double value : {10.0, 20.0, 10.0, 1.5}) EXPECT_EQ(filer.writeDouble(value), Acad::eOk);
  EXPECT_EQ(filer.writeInt32(7), Acad::eOk);
  EXPECT_EQ(filer.writeInt16(AmgConstrSpread), Acad::eOk);
  if (version >= CaepConEnt::kDataVersion) {
    EXPECT_EQ(filer.writeInt32(static_cast<Adesk::Int32>(lost)), Acad::eOk);
  }
  return filer.takeBuffer();
}

TEST_F(MeshConTest, TheTopologyLostFlagIsReadFromVersion631AndBoundedToZeroOrOne) {
  kestrum::test::expectTheLostFlagTable<CaepConEnt>(
      db(), [&](int version, long lost) { return constraintRecord(version, plate, lost); }, "dbCon",
      [](const CaepConEnt& read) { EXPECT_EQ(read.Size(), 1.5); });
}

// A constraint its face took is saved so: reopened, it comes back when the face does. One the
// user erased stays erased.
TEST_F(MeshConTest, AConstraintItsFaceTookComesBackAfterAReopenWhenTheFaceReturns) {
  const AcDbObjectId block = loadPart(kestrum::test::sourcePath("tests/platform/mcad/fixtures/pocket_block.part"));
  AcTopoRef* bottom = refOf(block, Ami::kFaceKey, "pocket/bottom");
  const AcDbHandle blockHandle = block.handle();  // the id goes with the drawing at CLOSE
  for (bool userErased : {false, true}) {
    SCOPED_TRACE(userErased ? "erased by the user" : "taken by its face");
    asCommand([&] { cad().CreateMeshConstraint(3, 1.0, 1, 1.0, 0, 0, 0, 0, bottom->GetBrEntity()); });
    const AcDbHandle handle = constraintIds().back().handle();
    if (userErased) asCommand([&] { openConstraint(constraintIds().back())->erase(); });
    command("PARAM set block/Depth 12");  // the pocket goes through: its floor is gone
    kestrum::test::TempDir dir;
    const std::string path = (dir / "gone.dwg").string();
    command("SAVEAS " + path);
    command("CLOSE");
    command("OPEN " + path);
    asCommand([] { cad().SelectOrCreateModel("Plate", 0); });  // which model is current is not filed
    AcDbObjectId reopened;
    ASSERT_EQ(db()->getAcDbObjectId(reopened, false, handle), Acad::eOk);
    inspect([&] {
      const CaepConEnt* entity = readConstraint(reopened);
      ASSERT_NE(entity, nullptr);
      EXPECT_TRUE(entity->isErased());
      EXPECT_EQ(entity->TopologyLost(), !userErased);
      ASSERT_NE(entity->TopoKey(), nullptr);
      EXPECT_EQ(entity->TopoKey()->name(), "pocket/bottom");
    });

    cadhost::clearPrintedText();
    command("PARAM set block/Depth 6");  // the floor returns
    EXPECT_EQ(cadhost::printedText().find("General Error"), std::string::npos) << cadhost::printedText();
    AcDbObjectId part;
    ASSERT_EQ(db()->getAcDbObjectId(part, false, blockHandle), Acad::eOk);
    AmgMesh blockMesh(bodyOf(part));
    inspect([&] {
      const CaepConEnt* entity = readConstraint(reopened);
      ASSERT_NE(entity, nullptr);
      EXPECT_EQ(entity->isErased(), userErased);
      EXPECT_FALSE(entity->TopologyLost());
      EXPECT_EQ(dbApplyMeshConstraints(blockMesh, *model()), userErased ? 0 : 1);
      if (userErased) return;
      auto* face = dynamic_cast<AcTopoRef*>(entity->GetTopoRef());
      ASSERT_NE(face, nullptr);
      EXPECT_EQ(face->GetKey()->name(), "pocket/bottom");
    });
    EXPECT_EQ(drawnBy(reopened).empty(), userErased);
    // The next round starts from the reopened drawing: its constraint out of the way.
    if (!userErased) asCommand([&] { openConstraint(reopened)->erase(); });
    bottom = refOf(part, Ami::kFaceKey, "pocket/bottom");
  }
}

// The local sizes of constraints reach the mesher: on a constrained face, edge or point the median
// element edge is at most 1.5 times the size, and it stays near the default size elsewhere.
TEST_F(MeshConTest, LiveConstraintsOnTheBodyRefineTheMeshWhereTheyStand) {
  constexpr double kDefault = 10.0;
  constexpr double kSize = 2.5;
  struct Case {
    const char* name;
    Ami::KeyType type;
    const char* geometry;
    bool point;
    CaeVector location;
    bool erased;
    int taken;
  };
  const Case cases[] = {
      {"face", Ami::kFaceKey, "hole1/side", false, CaeVector(), false, 1},
      {"edge", Ami::kEdgeKey, "plate/front|plate/top", false, CaeVector(), false, 1},
      {"point at a vertex", Ami::kVertexKey, "plate/front&plate/left&plate/top", true, CaeVector(0, 0, 10), false, 1},
      {"erased face", Ami::kFaceKey, "hole1/side", false, CaeVector(), true, 0},
  };
  AcTopoRef* far = named(Ami::kFaceKey, "plate/back");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    asCommand([&] {
      for (AcDbObjectId old : model()->ConstraintIds())
        if (CaepConEnt* entity = openConstraint(old); entity && !entity->isErased()) entity->erase();
    });
    const AcDbObjectId id = constrain(c.type, c.geometry, kSize, c.point, c.location);
    ASSERT_FALSE(id.isNull());
    if (c.erased) asCommand([&] { openConstraint(id)->erase(); });
    AcTopoRef* ref = named(c.type, c.geometry);

    AmgMesh mesh(bodyOf(plate));
    mesh.SetDefaultSize(kDefault);
    mesh.SetElementOrder(1);
    int taken = -1;
    asCommand([&] { taken = dbApplyMeshConstraints(mesh, *model()); });
    EXPECT_EQ(taken, c.taken);
    ASSERT_EQ(mesh.MeshIt(), 1) << mesh.ErrorText().Text();

    int kind = 0, index = 0;
    ASSERT_TRUE(mesh.LocateRef(ref, kind, index));
    const double there = median(edgeLengthsOn(mesh, kind, index));
    ASSERT_TRUE(mesh.LocateRef(far, kind, index));
    const double elsewhere = median(edgeLengthsOn(mesh, kind, index));
    EXPECT_GT(elsewhere, 0.6 * kDefault);
    EXPECT_LT(elsewhere, 1.4 * kDefault);
    if (c.erased) {
      EXPECT_GT(there, 1.5 * kSize);
    } else {
      EXPECT_LE(there, 1.5 * kSize);
    }
  }
}

TEST_F(MeshConTest, ConstraintsOfAnotherBodyOrWithoutGeometryGiveNoSize) {
  const AcDbObjectId block = loadPart(kestrum::test::sourcePath("tests/platform/mcad/fixtures/pocket_block.part"));
  AcTopoRef* bottom = refOf(block, Ami::kFaceKey, "pocket/bottom");
  asCommand([&] { cad().CreateMeshConstraint(3, 1.0, 1, 1.0, 0, 0, 0, 0, bottom->GetBrEntity()); });
  const AcDbObjectId onBlock = constraintIds().back();
  AmgMesh plateMesh(bodyOf(plate));
  AmgMesh blockMesh(bodyOf(block));
  asCommand([&] {
    EXPECT_EQ(dbApplyMeshConstraints(plateMesh, *model()), 0);
    EXPECT_EQ(dbApplyMeshConstraints(blockMesh, *model()), 1);
  });
  // The bottom goes with the parameter edit; the constraint erases itself and gives no size.
  command("PARAM set block/Depth 12");
  inspect([&] {
    const CaepConEnt* entity = readConstraint(onBlock);
    EXPECT_TRUE(entity->isErased());
    EXPECT_TRUE(entity->TopologyLost());
    EXPECT_EQ(dbApplyMeshConstraints(blockMesh, *model()), 0);
  });
  EXPECT_TRUE(drawnBy(onBlock).empty());
  command("UNDO 1");
  inspect([&] {
    const CaepConEnt* entity = readConstraint(onBlock);
    EXPECT_FALSE(entity->isErased());
    EXPECT_FALSE(entity->TopologyLost());
    EXPECT_EQ(dbApplyMeshConstraints(blockMesh, *model()), 1);
  });
  EXPECT_FALSE(drawnBy(onBlock).empty());
}

// ---- the interface rows ----------------------------------------------------------------------------

TEST_F(MeshConTest, SizeThatIsNotPositiveOrACancelledPickMakesNothing) {
  const double kNaN = std::numeric_limits<double>::quiet_NaN();
  AcBrEntity* top = named(Ami::kFaceKey, "plate/top")->GetBrEntity();
  struct Case {
    const char* name;
    double size;
    AcBrEntity* entity;
    const char* printed;
  };
  const Case cases[] = {
      {"zero", 0.0, top, "Invalid element size"},
      {"negative", -2.0, top, "Invalid element size"},
      {"not a number", kNaN, top, "Invalid element size"},
      {"cancelled pick", 2.0, nullptr, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cadhost::clearInput();
    cadhost::clearPrintedText();
    if (!c.entity) cadhost::queueEscape();
    int made = -1;
    asCommand([&] { made = cad().CreateMeshConstraint(3, 1.0, 1, c.size, 0, 0, 0, 0, c.entity); });
    EXPECT_EQ(made, 0);
    EXPECT_TRUE(constraintIds().empty());
    if (*c.printed) {
      EXPECT_NE(cadhost::printedText().find(c.printed), std::string::npos) << cadhost::printedText();
    }
  }
  // Picked by name, it is made.
  cadhost::clearInput();
  cadhost::queueText("plate/plate/top");
  int made = 0;
  asCommand([&] { made = cad().CreateMeshConstraint(3, 1.0, 1, 2.0, 0, 0, 0, 0, nullptr); });
  EXPECT_EQ(made, 1) << cadhost::printedText();
  EXPECT_EQ(constraintIds().size(), 1u);
}

TEST_F(MeshConTest, RecreateErasesTheOldConstraintOnlyOnceTheNewOneExists) {
  const AcDbObjectId old = constrain(Ami::kEdgeKey, "plate/front|plate/top", 2.0, true, CaeVector(50, 0, 10));
  ASSERT_FALSE(old.isNull());
  int colour = 0;
  double scale = 0.0;
  asCommand([&] {
    cad().GetConstraintColorAndScale(openConstraint(old), &colour, &scale);
    cad().RecreateMeshConstraint(openConstraint(old), 5, 4.0, 1.25, model());
  });
  EXPECT_EQ(colour, 3);
  EXPECT_EQ(scale, 2.0);
  std::vector<AcDbObjectId> ids = constraintIds();
  ASSERT_EQ(ids.size(), 2u);
  asCommand([&] {
    EXPECT_TRUE(openConstraint(old)->isErased());
    CaepConEnt* replacement = openConstraint(ids.back());
    EXPECT_FALSE(replacement->isErased());
    EXPECT_EQ(replacement->Type(), AmgConstrPoint);
    EXPECT_TRUE(Near(replacement->Location(), CaeVector(50, 0, 10)));
    EXPECT_EQ(replacement->Size(), 1.25);
    cad().GetConstraintColorAndScale(replacement, &colour, &scale);
  });
  EXPECT_EQ(colour, 5);
  EXPECT_EQ(scale, 4.0);

  // A constraint without geometry asks for a face; a cancelled pick keeps it as it was.
  AcDbObjectId lost;
  asCommand([&] {
    auto* entity = new CaepConEnt(3, 1.0, 1.0, 0, 0, 0, false, nullptr);
    model()->AddConstraint(entity);
    lost = entity->objectId();
  });
  cadhost::clearInput();
  cadhost::queueEscape();
  asCommand([&] { cad().RecreateMeshConstraint(openConstraint(lost), 5, 4.0, 1.25, model()); });
  EXPECT_EQ(constraintIds().size(), 3u);
  asCommand([&] { EXPECT_FALSE(openConstraint(lost)->isErased()); });
}

TEST_F(MeshConTest, TopologyKindsAndCylinderFilters) {
  AcCadInterface* ac = AcCadInterface::GetCurrentAc();
  ASSERT_NE(ac, nullptr);
  struct Case {
    const char* name;
    Ami::KeyType type;
    const char* geometry;
    int kind;
    int meshState;    // MeshOfTopology
    int cylindrical;  // faces only
    int nonCylindrical;
  };
  const Case cases[] = {
      {"vertex", Ami::kVertexKey, "plate/front&plate/left&plate/top", 4, -1, 1, 1},
      {"edge", Ami::kEdgeKey, "plate/front|plate/top", 3, -1, 1, 1},
      {"planar face", Ami::kFaceKey, "plate/top", 2, 0, 0, 1},
      {"cylindrical face", Ami::kFaceKey, "hole1/side", 2, 0, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AcBrEntity* entity = named(c.type, c.geometry)->GetBrEntity();
    asCommand([&] {
      EXPECT_EQ(ac->GetTopologyKind(entity), c.kind);
      EXPECT_EQ(ac->MeshOfTopology(entity), c.meshState);
      if (c.kind == 2) {
        auto* face = dynamic_cast<AcBrFace*>(entity);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(ac->IsCylindricalFace(face), c.cylindrical);
        EXPECT_EQ(ac->IsNonCylindricalFace(face), c.nonCylindrical);
      }
    });
  }
  asCommand([&] {
    EXPECT_EQ(ac->GetTopologyKind(nullptr), 0);
    // Anything but a face passes both filters.
    EXPECT_EQ(ac->IsCylindricalFace(nullptr), 1);
    EXPECT_EQ(ac->IsNonCylindricalFace(nullptr), 1);
    EXPECT_EQ(ac->GetTopologyKind(bodyOf(plate)->GetBrEntity()), 1);
  });
}

TEST_F(MeshConTest, PickPointAnswersThePointOrNothing) {
  cadhost::clearInput();
  cadhost::queuePoint(1, 2, 3);
  double point[3] = {0, 0, 0};
  EXPECT_EQ(cad().PickPoint(point), 1);
  EXPECT_EQ(point[0], 1.0);
  EXPECT_EQ(point[2], 3.0);
  EXPECT_NE(cadhost::printedText().find("Concentration point:"), std::string::npos);
  cadhost::queueEscape();
  EXPECT_EQ(cad().PickPoint(point), 0);
  EXPECT_EQ(point[0], 1.0);
}

}  // namespace
}  // namespace meshcontest
