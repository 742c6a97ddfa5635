// Re-resolution after the part changes, driven through the command line in the host's own
// notification order: attributes follow their faces through PARAM, UNDO, U, REDO, saving and
// reopening; a vanished face's attributes erase themselves and come back exactly when the face
// does; one pass per boundary, none while filing, none of the modify reactions in part-update
// mode 2; the transaction depth balances.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "amg/CaeString.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/hostcmds.h"
#include "arx/rxdlinkr.h"
#include "attrib_fixture.h"
#include "cadInterface/CadInterface.h"
#include "db/dbControl.h"
#include "db/dbLbcSet.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "mcad/amipart.h"
#include "test_env.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoTables.h"
#include "util/acDeferredPasses.h"

namespace {

using topotest::AttribTest;
using topotest::Mischief;
using topotest::TestAttribHost;
using topotest::TestLoad;
using topotest::TestModelLoad;
using topotest::TestRefinement;

// The distance from the hole's axis (vertical through (100, 50)) of the face's closest point to
// a probe beside it: the hole's radius.
double holeRadius(CaeTopoRef* hole) {
  CaeVector closest, params;
  hole->Project(CaeVector(160, 50, 5), closest, params);
  return std::hypot(closest[0] - 100, closest[1] - 50);
}

// The height of a horizontal face under (20, 15).
double floorHeight(CaeTopoRef* floor) {
  CaeVector closest, params;
  floor->Project(CaeVector(20, 15, 100), closest, params);
  return closest[2];
}

class ReresolveTest : public AttribTest {
 protected:
  // The drawing's analysis control, a restraint set, a load set and a model to hold stand-ins
  // the way conditions and refinements are held.
  void makeStore() {
    DbTransaction transaction(db());
    CaepAnlControl* control = dbControlOf(db());
    ASSERT_NE(control, nullptr);
    restraints = dynamic_cast<CaepLbcSetObj*>(control->NewRestraintCase(CaeString("Fixed")));
    loads = dynamic_cast<CaepLbcSetObj*>(control->NewLoadCase(CaeString("Loads")));
    model = dynamic_cast<CaepAnlModelObj*>(control->NewAnlModel(CaeString("Stress"), AnlStress));
    ASSERT_NE(restraints, nullptr);
    ASSERT_NE(loads, nullptr);
    ASSERT_NE(model, nullptr);
  }

  // A condition stand-in in `set` on the named face of `part`, listed by its reference.
  TestLoad* addLoad(CaepLbcSetObj* set, AcDbObjectId part, const std::string& face) {
    auto* load = new TestLoad();
    {
      DbTransaction transaction(db());
      set->AddLbc(load);
      load->close();
    }
    load->SetKey(new AmiObjectKey(Ami::kFaceKey, part, face));
    listOn(refOf(part, Ami::kFaceKey, face), load);
    return load;
  }

  TestRefinement* addRefinement(AcDbObjectId part, const std::string& face) {
    auto* refinement = new TestRefinement();
    {
      DbTransaction transaction(db());
      model->AddConstraint(refinement);
    }
    refinement->SetKey(new AmiObjectKey(Ami::kFaceKey, part, face));
    listOn(refOf(part, Ami::kFaceKey, face), refinement);
    return refinement;
  }

  static void eraseByUser(AcDbEntity* entity) {
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, entity->objectId(), AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(object->erase(), Acad::eOk);
    object->close();
  }

  // Runs one command line and answers how many re-resolutions it ran.
  static int passesOf(const std::string& line) {
    takePasses();
    command(line);
    return count(takePasses(), "reresolve");
  }

  // The reference the attribute's key names now, which must be the one it sits on and lists it.
  static CaeTopoRef* sitsOnItsKey(TestAttribHost* entity, CaeAttrib* attribute) {
    AcTopoRef* named = acTopoRefFromKey(entity->TopoKey());
    EXPECT_NE(named, nullptr);
    EXPECT_EQ(attribute->GetTopoRef(), named);
    if (named) {
      EXPECT_TRUE(named->HasAttributeId(entity->objectId()));
    }
    return named;
  }

  // Uses the attribute's reference as a drawing object would; answers the passes that ran.
  static int firstUse(TestLoad* load) {
    takePasses();
    static_cast<AcTopoRef*>(load->GetTopoRef())->Reresolve();
    return count(takePasses(), "reresolve");
  }

  static void expectBalancedAndQuiet() {
    EXPECT_EQ(CadInterface::GetCurrent()->NumActiveTransactions(), 0);
    const std::string printed = cadhost::printedText();
    EXPECT_EQ(printed.find("out of sync"), std::string::npos);
    EXPECT_EQ(printed.find("left open"), std::string::npos);
    EXPECT_EQ(printed.find("General Error"), std::string::npos) << printed;
  }

  CaepLbcSetObj* restraints = nullptr;
  CaepLbcSetObj* loads = nullptr;
  CaepAnlModelObj* model = nullptr;
};

TEST_F(ReresolveTest, TheBoundaryPassRunsOnTheFlagsItIsMeantFor) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  refOf(plate, Ami::kFaceKey, "hole1/side");
  struct Case {
    const char* name;
    int undoModified, solidModified, solidErased, scene;
    int runs;                                   // the pass ran
    int undoAfter, modifiedAfter, erasedAfter;  // the flags it leaves
  };
  const Case cases[] = {
      {"nothing pending", 0, 0, 0, 0, 0, 0, 0, 0},
      {"a modified solid", 0, 1, 0, 0, 1, 0, 0, 0},
      {"a modified solid while the scene changed", 0, 1, 0, 1, 0, 0, 0, 0},
      {"an erased solid, scene or not", 0, 0, 1, 1, 1, 0, 0, 0},
      {"an undo swallows the boundary; the rest waits", 1, 1, 1, 0, 0, 0, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    acTopoResetFlags();
    if (c.undoModified) acTopoSetUndoModified();
    if (c.solidModified) acTopoSetSolidModified();
    if (c.solidErased) acTopoSetSolidErased();
    takePasses();
    EXPECT_EQ(acTopoResolvePending(c.scene), c.runs);
    EXPECT_EQ(count(takePasses(), "reresolve"), c.runs);
    EXPECT_EQ(acTopoUndoModified(), c.undoAfter);
    EXPECT_EQ(acTopoSolidModified(), c.modifiedAfter);
    EXPECT_EQ(acTopoSolidErased(), c.erasedAfter);
    expectBalancedAndQuiet();
  }
  // The command's end: a changed scene clears the pending modification, and itself unless the
  // command was a regeneration.
  struct AfterCase {
    const char* command;
    int scene, sceneAfter, modifiedAfter;
  };
  const AfterCase after[] = {{"LIST", 1, 0, 0}, {"REGENALL", 1, 1, 0}, {"LIST", 0, 0, 1}};
  for (const AfterCase& c : after) {
    SCOPED_TRACE(c.command);
    acTopoResetFlags();
    acTopoSetSolidModified();
    if (c.scene) acTopoSetSceneChanged();
    acTopoAfterCommand(c.command);
    EXPECT_EQ(acTopoSceneChanged(), c.sceneAfter);
    EXPECT_EQ(acTopoSolidModified(), c.modifiedAfter);
  }
}

TEST_F(ReresolveTest, AfterAnUndoOfOurCommandTheFirstInvalidReferenceStartsOnePass) {
  AcDbObjectId block = loadPart(fixturePath("pocket_block.part"));
  makeStore();
  TestLoad* bottomLoad = addLoad(restraints, block, "pocket/bottom");
  // The part changes while the scene flag keeps the command's end from re-resolving.
  acTopoSetSceneChanged();
  EXPECT_EQ(passesOf("PARAM set block/Depth 12"), 0);
  EXPECT_FALSE(bottomLoad->isErased());
  takePasses();
  EXPECT_EQ(acTopoRevalidateAfterUndo(), 1);
  EXPECT_EQ(count(takePasses(), "reresolve"), 1);
  EXPECT_TRUE(bottomLoad->isErased());
  EXPECT_TRUE(bottomLoad->TopologyLost());
  // Every reference is valid now: nothing more to do.
  EXPECT_EQ(acTopoRevalidateAfterUndo(), 0);
  expectBalancedAndQuiet();
}

TEST_F(ReresolveTest, AttributesFollowTheirFacesThroughEditsUndoAndRedoOnePassPerBoundary) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  makeStore();
  TestLoad* load = addLoad(restraints, plate, "hole1/side");
  TestRefinement* refinement = addRefinement(plate, "plate/top");
  TestLoad* erasedByUser = addLoad(loads, plate, "hole1/side");
  eraseByUser(erasedByUser);

  // Each step: the command, the passes it runs, then the hole's radius read through the load's
  // own reference (NAN: not read) and the passes that reading ran (a change the command's end
  // left pending is resolved on first use).
  struct Step {
    const char* line;
    int passes;
    double radius;
    int lazyPasses;
  };
  const Step steps[] = {
      {"PARAM set plate/D 40", 1, 20.0, 0},  // at the command's end
      {"PARAM set plate/D 35", 1, 17.5, 0},
      {"REGENALL", 0, 17.5, 0},  // nothing pending
      {"UNDO 1", 0, 20.0, 1},    // the undo swallows its own end
      {"U", 0, 15.0, 1},
      {"REDO", 0, 20.0, 1},
      {"PARAM set plate/D 45", 1, 22.5, 0},
      {"U", 0, NAN, 0},
      {"LIST", 1, 20.0, 0},  // the next boundary runs what the undo left
      {"REGENALL", 0, 20.0, 0},
  };
  int passes = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.line);
    EXPECT_EQ(passesOf(step.line), step.passes);
    passes += step.passes;
    if (std::isnan(step.radius)) continue;
    EXPECT_NEAR(holeRadius(load->GetTopoRef()), step.radius, 1e-9);
    EXPECT_EQ(count(takePasses(), "reresolve"), step.lazyPasses);
    passes += step.lazyPasses;
    sitsOnItsKey(load, load);
    sitsOnItsKey(refinement, refinement);
    expectBalancedAndQuiet();
  }
  // The pass after each edit told both attributes; those after undo and redo told nothing (the
  // history puts objects back as they were with that geometry). The one the user erased heard
  // nothing and stays erased.
  int edits = 0;
  for (const Step& step : steps) edits += std::string(step.line).rfind("PARAM", 0) == 0 ? 1 : 0;
  EXPECT_GT(passes, edits);
  EXPECT_EQ(load->Modifications(), edits);
  EXPECT_EQ(refinement->Modifications(), edits);
  EXPECT_TRUE(erasedByUser->isErased());
  EXPECT_EQ(erasedByUser->Modifications(), 0);
  EXPECT_EQ(erasedByUser->Revivals(), 0);
  EXPECT_EQ(load->Erasures() + refinement->Erasures(), 0);
}

// Only what an edit changed hears of it: an attribute on another part keeps its state (a mesh
// there stays up to date), and so does one whose geometry an undo or redo put back.
TEST_F(ReresolveTest, AnEditTellsOnlyTheAttributesOnTheShapesItChanged) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  AcDbObjectId block = loadPart(fixturePath("pocket_block.part"));
  makeStore();
  TestLoad* holeLoad = addLoad(restraints, plate, "hole1/side");
  TestRefinement* blockRefinement = addRefinement(block, "pocket/bottom");
  const struct {
    const char* line;
    int holeTold;   // the hole load's modifications after the step
    int blockTold;  // the block refinement's
  } steps[] = {
      {"PARAM set plate/D 40", 1, 0},
      {"PARAM set block/Depth 6", 1, 1},
      {"UNDO 1", 1, 1},
      {"LIST", 1, 1},  // the pass the undo left runs here and tells nobody
      {"REDO", 1, 1},
      {"LIST", 1, 1},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.line);
    command(step.line);
    EXPECT_NEAR(holeRadius(holeLoad->GetTopoRef()), 20.0, 1e-9);  // also runs what is pending
    sitsOnItsKey(holeLoad, holeLoad);
    sitsOnItsKey(blockRefinement, blockRefinement);
    EXPECT_EQ(holeLoad->Modifications(), step.holeTold);
    EXPECT_EQ(blockRefinement->Modifications(), step.blockTold);
    expectBalancedAndQuiet();
  }
}

TEST_F(ReresolveTest, AVanishedFacesAttributesEraseThemselvesAndComeBackExactlyWithIt) {
  AcDbObjectId block = loadPart(fixturePath("pocket_block.part"));
  makeStore();
  // The load set also holds a model-level load, which sits on no topology.
  {
    auto* modelLoad = new TestModelLoad();
    DbTransaction transaction(db());
    loads->AddLbc(modelLoad);
    modelLoad->close();
  }
  TestLoad* bottomLoad = addLoad(loads, block, "pocket/bottom");
  TestRefinement* bottomRefinement = addRefinement(block, "pocket/bottom");
  TestLoad* sideLoad = addLoad(restraints, block, "pocket/side");
  TestLoad* erasedByUser = addLoad(restraints, block, "pocket/bottom");
  eraseByUser(erasedByUser);
  AcTopoRef* oldBottom = refOf(block, Ami::kFaceKey, "pocket/bottom");

  // The pocket goes through: its floor goes, and what sat on it erases itself.
  EXPECT_EQ(passesOf("PARAM set block/Depth 12"), 1);
  for (TestAttribHost* lost : std::vector<TestAttribHost*>{bottomLoad, bottomRefinement}) {
    EXPECT_TRUE(lost->isErased());
    EXPECT_TRUE(lost->TopologyLost());
    EXPECT_EQ(lost->Erasures(), 1);
  }
  EXPECT_TRUE(bottomLoad->IsMarkedAsErased());
  EXPECT_EQ(acTopoRefFromKey(bottomLoad->TopoKey()), nullptr);
  EXPECT_EQ(AcTopoTables::Current()->FindReference(oldBottom->Entity()), nullptr);
  EXPECT_FALSE(sideLoad->isErased());
  EXPECT_EQ(erasedByUser->Erasures(), 0);
  EXPECT_FALSE(erasedByUser->TopologyLost());
  expectBalancedAndQuiet();

  // UNDO puts the floor back and the history un-erases the two; the first use of a reference
  // after it attaches them to the floor's new reference.
  EXPECT_EQ(passesOf("UNDO 1"), 0);
  EXPECT_EQ(firstUse(bottomLoad), 1);
  for (TestAttribHost* back : std::vector<TestAttribHost*>{bottomLoad, bottomRefinement}) {
    EXPECT_FALSE(back->isErased());
    EXPECT_FALSE(back->TopologyLost());
  }
  EXPECT_NEAR(floorHeight(sitsOnItsKey(bottomLoad, bottomLoad)), 6.0, 1e-9);
  sitsOnItsKey(bottomRefinement, bottomRefinement);
  EXPECT_TRUE(erasedByUser->isErased());

  // REDO takes the floor again, with the two as they were then: erased, topology lost.
  EXPECT_EQ(passesOf("REDO"), 0);
  EXPECT_EQ(firstUse(sideLoad), 1);
  EXPECT_TRUE(bottomLoad->isErased());
  EXPECT_TRUE(bottomLoad->TopologyLost());
  EXPECT_TRUE(bottomRefinement->TopologyLost());

  // A new edit that brings the floor back revives exactly those whose topology was lost.
  EXPECT_EQ(passesOf("PARAM set block/Depth 4"), 1);
  for (TestAttribHost* revived : std::vector<TestAttribHost*>{bottomLoad, bottomRefinement}) {
    EXPECT_FALSE(revived->isErased());
    EXPECT_FALSE(revived->TopologyLost());
    EXPECT_EQ(revived->Revivals(), 1);
  }
  EXPECT_FALSE(bottomLoad->IsMarkedAsErased());
  EXPECT_NEAR(floorHeight(sitsOnItsKey(bottomLoad, bottomLoad)), 6.0, 1e-9);
  sitsOnItsKey(bottomRefinement, bottomRefinement);
  EXPECT_TRUE(erasedByUser->isErased());
  EXPECT_EQ(erasedByUser->Revivals(), 0);
  sitsOnItsKey(sideLoad, sideLoad);
  expectBalancedAndQuiet();
}

// The stand-in in the current drawing whose key names `face`.
TestLoad* loadOn(const std::string& face) {
  for (const AcDbObjectId& id : AttribTest::db()->objectIds(true)) {
    AcDbObject* object = nullptr;
    if (acdbOpenObject(object, id, AcDb::kForRead, true) != Acad::eOk) continue;
    auto* load = dynamic_cast<TestLoad*>(object);
    object->close();
    if (load && load->TopoKey() && load->TopoKey()->name() == face) return load;
  }
  return nullptr;
}

TEST_F(ReresolveTest, ALostFaceComesBackAfterSavingAndReopening) {
  AcDbObjectId block = loadPart(fixturePath("pocket_block.part"));
  makeStore();
  addLoad(restraints, block, "pocket/bottom");
  addLoad(restraints, block, "pocket/side");
  command("PARAM set block/Depth 12");
  kestrum::test::TempDir dir;
  const std::string path = (dir / "pocket.dwg").string();
  command("SAVEAS " + path);
  command("CLOSE");
  command("OPEN " + path);
  TestLoad* bottom = loadOn("pocket/bottom");
  TestLoad* side = loadOn("pocket/side");
  ASSERT_NE(bottom, nullptr);
  ASSERT_NE(side, nullptr);
  EXPECT_TRUE(bottom->isErased());
  EXPECT_TRUE(bottom->TopologyLost());
  // What the condition's own resolution does after reading: the side's reference, which watches
  // the part in this drawing.
  listOn(acTopoRefFromKey(side->TopoKey()), side);

  EXPECT_EQ(passesOf("PARAM set block/Depth 4"), 1);
  EXPECT_FALSE(bottom->isErased());
  EXPECT_EQ(bottom->Revivals(), 1);
  EXPECT_NEAR(floorHeight(sitsOnItsKey(bottom, bottom)), 6.0, 1e-9);
  expectBalancedAndQuiet();
}

TEST_F(ReresolveTest, AnErasedPartTakesItsAttributesAndBringsThemBackWithIt) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  makeStore();
  TestLoad* load = addLoad(restraints, plate, "hole1/side");
  // U takes the part away again: its references go stale and the load erases itself.
  EXPECT_EQ(passesOf("U"), 1);
  EXPECT_TRUE(load->isErased());
  EXPECT_TRUE(load->TopologyLost());
  // REDO brings the part back, and the load with it at its end.
  EXPECT_EQ(passesOf("REDO"), 1);
  EXPECT_EQ(passesOf("REGENALL"), 0);
  EXPECT_FALSE(load->isErased());
  EXPECT_EQ(load->Revivals(), 1);
  EXPECT_NEAR(holeRadius(sitsOnItsKey(load, load)), 15.0, 1e-9);
  expectBalancedAndQuiet();
}

TEST_F(ReresolveTest, NothingIsReresolvedWhileTheDrawingIsFiled) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  makeStore();
  TestLoad* load = addLoad(restraints, plate, "hole1/side");
  // The part changes outside any command (as an API caller would change it): the change waits.
  {
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, plate, AcDb::kForWrite), Acad::eOk);
    static_cast<AmiPartEntity*>(object)->setParameterValue("D", 40);
    object->close();
  }
  ASSERT_EQ(acTopoSolidModified(), 1);
  // Writing the load looks its reference up, which would run a pending re-resolution.
  TestAttribHost::resolveWhileFiling = true;
  kestrum::test::TempDir dir;
  takePasses();
  ASSERT_EQ(acDocManagerPtr()->saveDocument(acDocManagerPtr()->curDocument(), (dir / "plate.dwg").string(), true),
            Acad::eOk);
  EXPECT_EQ(count(takePasses(), "reresolve"), 0);
  EXPECT_EQ(load->Modifications(), 0);
  EXPECT_EQ(acTopoSolidModified(), 1);
  // The next boundary runs what waited, once.
  TestAttribHost::resolveWhileFiling = false;
  EXPECT_EQ(passesOf("REGENALL"), 1);
  EXPECT_EQ(load->Modifications(), 1);
  EXPECT_NEAR(holeRadius(load->GetTopoRef()), 20.0, 1e-9);
  expectBalancedAndQuiet();
}

TEST_F(ReresolveTest, PartUpdateModeTwoReattachesWithoutTellingModifications) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  makeStore();
  TestLoad* load = addLoad(restraints, plate, "hole1/side");
  CadInterface* cad = CadInterface::GetCurrent();
  cad->SetDocControl(2);
  // While the mode is raised, the part edit does not start the pass at the command's end; the
  // optimisation re-resolves itself once it has written the part.
  EXPECT_EQ(passesOf("PARAM set plate/D 40"), 0);
  {
    DbTransaction transaction(db());
    acReresolveAllTopology();
  }
  EXPECT_EQ(load->Modifications(), 0);
  EXPECT_NEAR(holeRadius(load->GetTopoRef()), 20.0, 1e-9);
  sitsOnItsKey(load, load);
  cad->SetDocControl(0);
  EXPECT_EQ(passesOf("PARAM set plate/D 45"), 1);
  EXPECT_EQ(load->Modifications(), 1);
  expectBalancedAndQuiet();
}

TEST_F(ReresolveTest, AReactionThatStartsThePassAgainIsIgnored) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  makeStore();
  TestLoad* load = addLoad(restraints, plate, "hole1/side");
  TestAttribHost::reenterOnModify = true;
  EXPECT_EQ(passesOf("PARAM set plate/D 40"), 1);
  EXPECT_EQ(load->Modifications(), 1);
  expectBalancedAndQuiet();
}

TEST_F(ReresolveTest, AnUnbalancedTransactionDepthIsReportedOnTheCommandLine) {
  struct Case {
    Mischief mischief;
    const char* message;
  };
  const Case cases[] = {{Mischief::LeaveTransactionOpen, "\nA transaction was left open.\n\n"},
                        {Mischief::EndOneTransactionTooMany, "\nTransactions are out of sync.\n\n"}};
  AcDbObjectId plate = loadPart("plate_with_hole");
  makeStore();
  addLoad(restraints, plate, "hole1/side");
  double diameter = 30;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    cadhost::clearPrintedText();
    TestAttribHost::mischief = c.mischief;
    diameter += 5;
    command("PARAM set plate/D " + std::to_string(diameter));
    EXPECT_NE(cadhost::printedText().find(c.message), std::string::npos) << cadhost::printedText();
    CadInterface* cad = CadInterface::GetCurrent();
    while (cad->NumActiveTransactions() > 0) cad->EndTransaction();
  }
}

TEST_F(ReresolveTest, UnloadingTakesTheSolidReactorOffTheParts) {
  AcDbObjectId plate = loadPart("plate_with_hole");
  refOf(plate, Ami::kFaceKey, "hole1/side");
  const AcDbObjectReactor* reactor = acTopoSolidReactor();
  ASSERT_NE(reactor, nullptr);
  auto watchers = [&] {
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenObject(object, plate, AcDb::kForRead), Acad::eOk);
    const std::vector<AcDbObjectReactor*> reactors = object->reactors();
    object->close();
    return std::count(reactors.begin(), reactors.end(), reactor);
  };
  EXPECT_EQ(watchers(), 1);
  ASSERT_TRUE(acrxDynamicLinker->unloadModule("kestrum.arx"));
  EXPECT_EQ(watchers(), 0);
  EXPECT_EQ(acTopoSolidReactor(), nullptr);
  // The part still changes without anyone to hear it.
  command("PARAM set plate/D 40");
  EXPECT_EQ(acTopoSolidModified(), 0);
}

}  // namespace
