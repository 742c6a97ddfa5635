// The condition entities with the add-in loaded and the sample plate in the drawing: creation on
// the plate's keys, set membership, erase marks and guide steps, the records of every class at
// every version its reader knows, failures at each filer call, and the road through QSAVE,
// SAVEAS, OPEN, UNDO and REDO.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CadInterface/AcCadApplication.h"
#include "amg/CaeCoordSys.h"
#include "amg/CaeExcept.h"
#include "amg/CaeTransform.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbfiler.h"
#include "arx/dbtrans.h"
#include "arx/hostinput.h"
#include "cadInterface/CadInterface.h"
#include "db/dbControl.h"
#include "db/dbFiling.h"
#include "db/dbLbc.h"
#include "db/dbLbcConv.h"
#include "db/dbLbcHtGen.h"
#include "db/dbLbcSet.h"
#include "db/dbModelLbc.h"
#include "db/dbModelTemp.h"
#include "fea/AttCodes.h"
#include "fea/CaeFunc.h"
#include "gui/wizard/UIWizard.h"
#include "mcad/amikey.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoUtil.h"
#include "topo/topo_fixture.h"

namespace {

using topotest::TopoTest;

constexpr int kPressure = ToAttType(AttCode::Pressure);
constexpr int kFaceRestraint = ToAttType(AttCode::FaceRestraint);
constexpr int kGravity = ToAttType(AttCode::Gravity);
constexpr int kConvection = ToAttType(AttCode::FaceConvection);
constexpr int kHeatGeneration = ToAttType(AttCode::VolumetricHeatFlow);

const AttLbcDescript* descriptorOf(int type) { return CadInterface::GetCurrent()->FindLbcDescript(type); }

class LbcEntityTest : public TopoTest {
 protected:
  void SetUp() override {
    TopoTest::SetUp();
    plate = loadPart("plate_with_hole");
    asCommand([&] {
      loads = control()->NewLoadCase("Loads");
      restraints = control()->NewRestraintCase("Fixed");
      control()->SetCurrentLoadCase(loads);
      control()->SetCurrentRestraintCase(restraints);
    });
    UIClearWizardState();
  }

  static CaepAnlControl* control() { return dbControlOf(db()); }

  // One command: an undo group around one transaction.
  static void asCommand(const std::function<void()>& body) {
    db()->beginUndoGroup("command");
    AcDbTransactionManager* transactions = db()->transactionManager();
    transactions->startTransaction();
    try {
      body();
    } catch (...) {
      transactions->abortTransaction();
      db()->endUndoGroup();
      throw;
    }
    transactions->endTransaction();
    db()->endUndoGroup();
  }

  template <class T>
  static T* open(AcDbObjectId id, bool erased = true) {
    AcDbObject* object = nullptr;
    EXPECT_EQ(db()->transactionManager()->getObject(object, id, AcDb::kForWrite, erased), Acad::eOk);
    return dynamic_cast<T*>(object);
  }

  // Lists a new entity in the current set of its kind, bound to the reference's key as the
  // creation commands do.
  AcDbObjectId post(CaepBaseLbcEnt* entity, AcTopoRef* ref) {
    AcDbObjectId id;
    asCommand([&] {
      entity->Condition().AddToCurrentCase();
      id = entity->objectId();
      if (ref) {
        ref->AddAttribute(dynamic_cast<CaeAttrib*>(entity));
        acBindObjectToKey(ref->GetKey(), entity);
      }
      entity->close();
    });
    return id;
  }

  // A pressure of `p` in face axes on the plate's top face.
  AcDbObjectId addPressure(double p = 2.0, const std::string& face = "plate/top") {
    AcTopoRef* ref = refOf(plate, Ami::kFaceKey, face);
    auto* axes = new CaeCoordSysFace(CaeTransform());
    axes->SetTopoRef(ref);
    CaeFunc* function = dbConstantFunction(kPressure, *descriptorOf(kPressure), axes, CaeVector(0, 0, p));
    auto* entity = new CaepLbcEnt(3, 10.0, descriptorOf(kPressure), ref, function, axes, nullptr);
    entity->Name("Pressure_1");
    return post(entity, ref);
  }
  AcDbObjectId addFixed(const std::string& face = "plate/left") {
    AcTopoRef* ref = refOf(plate, Ami::kFaceKey, face);
    CaeFunc* function = dbConstantFunction(kFaceRestraint, *descriptorOf(kFaceRestraint), nullptr, CaeVector());
    AttLbcComponents fixed;
    auto* entity = new CaepLbcEnt(4, 10.0, descriptorOf(kFaceRestraint), ref, function, nullptr, &fixed);
    entity->Name("Fixed_1");
    return post(entity, ref);
  }
  AcDbObjectId addConvection() {
    AcTopoRef* ref = refOf(plate, Ami::kFaceKey, "plate/top");
    return post(new CaepLbcConvEnt(5, 1.0, descriptorOf(kConvection), ref, 25.0, 293.0), ref);
  }

  CaepLbcSetObj* loadSet() { return dynamic_cast<CaepLbcSetObj*>(loads); }

  AcDbObjectId plate;
  AttLbcCase* loads = nullptr;
  AttLbcCase* restraints = nullptr;
};

// ---- registration -----------------------------------------------------------------------------

TEST_F(LbcEntityTest, TheFiveClassesFollowTheSetsInTheTableAsEntitiesOfTheApplication) {
  std::vector<std::string> names;
  for (const AcCustomClassEntry& entry : acCustomClasses()) names.emplace_back(entry.name);
  const std::vector<std::string> expected{"CaepLoadCaseObj", "CaepRestraintCaseObj", "CaepLbcEnt",
                                          "CaepModelLbcEnt", "CaepModelTempEnt",     "CaepLbcConvEnt",
                                          "CaepLbcHtGenEnt"};
  auto first = std::find(names.begin(), names.end(), "CaepLoadCaseObj");
  ASSERT_NE(first, names.end());
  EXPECT_EQ(std::vector<std::string>(first, first + 7), expected);
  const std::vector<std::pair<AcRxClass*, const char*>> classes{{CaepLbcEnt::desc(), "CAEPLBCENT"},
                                                                {CaepModelLbcEnt::desc(), "CAEPMODELLBCENT"},
                                                                {CaepModelTempEnt::desc(), "CAEPMODELTEMPENT"},
                                                                {CaepLbcConvEnt::desc(), "CAEPLBCCONVENT"},
                                                                {CaepLbcHtGenEnt::desc(), "CAEPLBCHTGENENT"}};
  for (const auto& [cls, dxf] : classes) {
    ASSERT_NE(cls, nullptr) << dxf;
    EXPECT_TRUE(cls->isDerivedFrom(AcDbEntity::desc())) << dxf;
    EXPECT_EQ(cls->dxfName(), std::string(dxf));
    std::unique_ptr<AcRxObject> made(cls->create());
    auto* entity = dynamic_cast<CaepBaseLbcEnt*>(made.get());
    ASSERT_NE(entity, nullptr) << dxf;
    EXPECT_EQ(entity->DataVersion(), 0);
    EXPECT_EQ(entity->isA(), cls);
  }
}

// ---- creation and membership ------------------------------------------------------------------

TEST_F(LbcEntityTest, AConditionIsAModelSpaceEntityOnItsLayerWhoseEngineObjectTheSetHands) {
  const AcDbObjectId id = addPressure();
  AcTopoRef* top = refOf(plate, Ami::kFaceKey, "plate/top");
  asCommand([&] {
    auto* entity = open<CaepLbcEnt>(id);
    ASSERT_NE(entity, nullptr);
    EXPECT_EQ(entity->layer(), "CAE_LBC");
    EXPECT_EQ(entity->blockId(), db()->modelSpaceId());
    EXPECT_EQ(entity->TopoKey(), top->GetKey());
    EXPECT_EQ(entity->GetTopoRef(), top);
    EXPECT_EQ(entity->colorIndex(), 3);
    // The set walks the very engine object the entity is.
    EXPECT_EQ(loads->FirstLbc(), static_cast<AttBaseLbc*>(entity));
    EXPECT_EQ(entity->Case(), loads);
    EXPECT_EQ(entity->IsInCurrentCase(), 1);
  });
  // A restraint joins the restraint set.
  const AcDbObjectId fixed = addFixed();
  asCommand([&] { EXPECT_EQ(open<CaepLbcEnt>(fixed)->Case(), restraints); });
}

TEST_F(LbcEntityTest, ACaseOtherThanTheCurrentOneHoldsTheConditionButItIsNotInTheCurrentSet) {
  const AcDbObjectId id = addPressure();
  asCommand([&] { control()->SetCurrentLoadCase(control()->NewLoadCase("Other")); });
  asCommand([&] {
    auto* entity = open<CaepLbcEnt>(id);
    EXPECT_EQ(entity->Case(), loads);
    EXPECT_EQ(entity->IsInCurrentCase(), 0);
  });
  // Erasing it changes no guide step.
  UISetWizardTabState(3, 1);
  asCommand([&] { ASSERT_EQ(open<AcDbObject>(id)->erase(), Acad::eOk); });
  EXPECT_EQ(UIGetWizardTabState(3), 1);
}

// ---- erase marks and the guide ----------------------------------------------------------------

// Every class counts as gone once erased: the loads step clears with the last live load and comes
// back with the undo.
class EraseCase : public LbcEntityTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(EraseCase, ErasingTheLastLoadClearsTheLoadsStepAndUndoBringsItBack) {
  const std::string kind = GetParam();
  AcDbObjectId id;
  if (kind == "pressure") id = addPressure();
  if (kind == "convection") id = addConvection();
  if (kind == "heat") {
    AcTopoRef* body = bodyOf(plate);
    id = post(new CaepLbcHtGenEnt(6, 1.0, descriptorOf(kHeatGeneration), body, 1e3), body);
  }
  if (kind == "gravity")
    id =
        post(new CaepModelLbcEnt(2, 1.0, descriptorOf(kGravity),
                                 dbConstantFunction(kGravity, *descriptorOf(kGravity), nullptr, CaeVector(0, 0, -9810)),
                                 nullptr, nullptr),
             nullptr);
  if (kind == "temperature")
    id = post(new CaepModelTempEnt(1, 1.0, descriptorOf(ToAttType(AttCode::BodyTemperature)), nullptr, 350.0, 293.0),
              nullptr);
  ASSERT_FALSE(id.isNull());
  asCommand([&] { EXPECT_EQ(loadSet()->CountLbcs(1), 1); });
  UISetWizardTabState(3, 1);

  asCommand([&] { ASSERT_EQ(open<AcDbObject>(id)->erase(), Acad::eOk); });
  EXPECT_EQ(UIGetWizardTabState(3), 0);
  asCommand([&] {
    EXPECT_EQ(loadSet()->CountLbcs(1), 0);
    auto* entity = open<CaepBaseLbcEnt>(id);
    EXPECT_TRUE(entity->Condition().IsMarkedAsErased());
    EXPECT_FALSE(entity->Condition().IsActive());
  });

  // The check above was a command of its own.
  command("UNDO 2");
  EXPECT_EQ(UIGetWizardTabState(3), 1);
  asCommand([&] {
    EXPECT_EQ(loadSet()->CountLbcs(1), 1);
    auto* entity = open<CaepBaseLbcEnt>(id);
    EXPECT_TRUE(entity->Condition().IsActive());
    EXPECT_EQ(entity->IsUnresolved(), 0);
  });
}

INSTANTIATE_TEST_SUITE_P(EveryClass, EraseCase,
                         ::testing::Values("pressure", "convection", "heat", "gravity", "temperature"));

TEST_F(LbcEntityTest, ErasingTheOnlyRestraintClearsTheRestraintsStepNotTheLoads) {
  addPressure();
  const AcDbObjectId fixed = addFixed();
  UISetWizardTabState(3, 1);
  UISetWizardTabState(4, 1);
  asCommand([&] { ASSERT_EQ(open<AcDbObject>(fixed)->erase(), Acad::eOk); });
  EXPECT_EQ(UIGetWizardTabState(4), 0);
  EXPECT_EQ(UIGetWizardTabState(3), 1);
}

// ---- undo keeps a condition drawn -------------------------------------------------------------

TEST_F(LbcEntityTest, AnUndoThatReReadsAConditionLeavesItResolvedOnItsFace) {
  const AcDbObjectId id = addPressure();
  AcTopoRef* top = refOf(plate, Ami::kFaceKey, "plate/top");
  asCommand([&] { open<CaepLbcEnt>(id)->setColorIndex(1); });
  command("UNDO 1");
  asCommand([&] {
    auto* entity = open<CaepLbcEnt>(id);
    EXPECT_EQ(entity->colorIndex(), 3);
    EXPECT_EQ(entity->IsUnresolved(), 0);
    EXPECT_EQ(entity->GetTopoRef(), top);
    EXPECT_EQ(entity->TopoKey(), top->GetKey());
    EXPECT_TRUE(entity->IsActive());
    auto* axes = dynamic_cast<CaeCoordSysFace*>(entity->AttLbc::CoordSys());
    ASSERT_NE(axes, nullptr);
    EXPECT_EQ(axes->GetTopoRef(), top);
  });
}

TEST_F(LbcEntityTest, UndoAndRedoOfACreationEraseAndBringBackTheCondition) {
  const AcDbObjectId id = addPressure();
  command("UNDO 1");
  asCommand([&] { EXPECT_EQ(loadSet()->CountLbcs(1), 0); });
  command("REDO");
  asCommand([&] {
    EXPECT_EQ(loadSet()->CountLbcs(1), 1);
    auto* entity = open<CaepLbcEnt>(id, false);
    ASSERT_NE(entity, nullptr);
    EXPECT_EQ(entity->IsUnresolved(), 0);
    EXPECT_NE(entity->GetTopoRef(), nullptr);
  });
}

// ---- the road through the drawing file ---------------------------------------------------------

TEST_F(LbcEntityTest, SaveAndReopenKeepEveryConditionOnItsLayerResolvedOnItsGeometry) {
  const AcDbObjectId pressure = addPressure(-2.5);
  const AcDbObjectId fixed = addFixed();
  const AcDbObjectId erasedOne = addFixed("plate/right");
  asCommand([&] { ASSERT_EQ(open<AcDbObject>(erasedOne)->erase(), Acad::eOk); });
  const AcDbHandle handles[4] = {plate.handle(), pressure.handle(), fixed.handle(), erasedOne.handle()};
  kestrum::test::TempDir dir;
  const std::string path = (dir / "plate_loads.dwg").string();
  cadhost::clearPrintedText();
  command("SAVEAS " + path);
  EXPECT_EQ(cadhost::printedText().find("General Error"), std::string::npos) << cadhost::printedText();
  command("CLOSE");
  command("OPEN " + path);
  command("LIST");  // the first command: the post-load pass has run before it
  EXPECT_EQ(cadhost::printedText().find("General Error"), std::string::npos) << cadhost::printedText();

  auto id = [&](int which) {
    AcDbObjectId found;
    EXPECT_EQ(db()->getAcDbObjectId(found, false, handles[which]), Acad::eOk);
    return found;
  };
  const AcDbObjectId reopenedPlate = id(0);
  AcTopoRef* top = refOf(reopenedPlate, Ami::kFaceKey, "plate/top");
  AcTopoRef* left = refOf(reopenedPlate, Ami::kFaceKey, "plate/left");
  asCommand([&] {
    auto* entity = open<CaepLbcEnt>(id(1));
    ASSERT_NE(entity, nullptr);
    EXPECT_EQ(entity->layer(), "CAE_LBC");
    EXPECT_EQ(entity->IsUnresolved(), 0);
    EXPECT_EQ(entity->GetTopoRef(), top);
    EXPECT_EQ(entity->TopoKey(), top->GetKey());
    EXPECT_EQ(std::string(entity->AttLbc::Name().Text()), "Pressure_1");
    EXPECT_EQ(entity->colorIndex(), 3);
    EXPECT_DOUBLE_EQ(entity->Scale(), 10.0);
    EXPECT_EQ(entity->EvaluateVecAtPointLocal(CaeVector()), CaeVector(0, 0, -2.5));
    auto* axes = dynamic_cast<CaeCoordSysFace*>(entity->AttLbc::CoordSys());
    ASSERT_NE(axes, nullptr);
    EXPECT_EQ(axes->GetTopoRef(), top);

    auto* restraint = open<CaepLbcEnt>(id(2));
    EXPECT_EQ(restraint->GetTopoRef(), left);
    EXPECT_EQ(restraint->Case(), control()->FirstRestraintCase());
    // The erased one was filed whole and keeps its key.
    auto* erased = open<CaepLbcEnt>(id(3));
    EXPECT_TRUE(erased->isErased());
    EXPECT_EQ(erased->AttLbc::Type(), kFaceRestraint);
    ASSERT_NE(erased->TopoKey(), nullptr);
  });
  // Saving again with the erased condition works.
  cadhost::clearPrintedText();
  command("QSAVE");
  EXPECT_EQ(cadhost::printedText().find("not saved"), std::string::npos) << cadhost::printedText();
}

TEST_F(LbcEntityTest, AConditionWhoseFaceIsGoneKeepsItsKeyDrawsNothingAndComesBackWithTheFace) {
  const AcDbObjectId block = loadPart(fixturePath("pocket_block.part"));
  AcTopoRef* bottom = refOf(block, Ami::kFaceKey, "pocket/bottom");
  CaeFunc* function = dbConstantFunction(kPressure, *descriptorOf(kPressure), nullptr, CaeVector(1, 0, 0));
  const AcDbObjectId id =
      post(new CaepLbcEnt(3, 1.0, descriptorOf(kPressure), bottom, function, nullptr, nullptr), bottom);
  const AcDbHandle handle = id.handle();
  command("PARAM set block/Depth 12");  // the pocket goes through: its floor is gone
  // The condition went with its face: erased, marked as taken by the topology, its key kept.
  AcDbObjectId reopened = id;
  loads = control()->FirstLoadCase();
  asCommand([&] {
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForRead, true), Acad::eOk);
    auto* entity = dynamic_cast<CaepLbcEnt*>(object);
    ASSERT_NE(entity, nullptr);
    EXPECT_TRUE(entity->isErased());
    EXPECT_TRUE(entity->TopologyLost());
    ASSERT_NE(entity->TopoKey(), nullptr);
    EXPECT_EQ(entity->TopoKey()->name(), "pocket/bottom");
    // The deck's walk passes over it.
    EXPECT_EQ(loads->FirstLbc(), nullptr);
    object->close();
  });
  kestrum::test::TempDir dir;
  command("SAVEAS " + (dir / "gone.dwg").string());
  EXPECT_EQ(cadhost::printedText().find("not saved"), std::string::npos) << cadhost::printedText();
  // With the floor back the condition comes back, and the next reopen finds it on its face.
  command("PARAM set block/Depth 6");
  const std::string again = (dir / "back.dwg").string();
  command("SAVEAS " + again);
  command("CLOSE");
  command("OPEN " + again);
  command("LIST");
  ASSERT_EQ(db()->getAcDbObjectId(reopened, false, handle), Acad::eOk);
  loads = control()->FirstLoadCase();
  asCommand([&] {
    auto* entity = open<CaepLbcEnt>(reopened);
    ASSERT_NE(entity, nullptr);
    EXPECT_NE(entity->GetTopoRef(), nullptr);
    EXPECT_FALSE(entity->GeometryMissing());
    EXPECT_TRUE(entity->IsActive());
    EXPECT_EQ(loadSet()->CountLbcs(1), 1);
  });
}

TEST_F(LbcEntityTest, AConditionItsFaceTookIsFiledSoAndRevivedAfterAReopenWhenTheFaceReturns) {
  const AcDbObjectId block = loadPart(fixturePath("pocket_block.part"));
  AcTopoRef* bottom = refOf(block, Ami::kFaceKey, "pocket/bottom");
  CaeFunc* function = dbConstantFunction(kPressure, *descriptorOf(kPressure), nullptr, CaeVector(1, 0, 0));
  const AcDbObjectId id =
      post(new CaepLbcEnt(3, 1.0, descriptorOf(kPressure), bottom, function, nullptr, nullptr), bottom);
  const AcDbHandle handle = id.handle();
  command("PARAM set block/Depth 12");  // the floor goes and takes the condition with it
  kestrum::test::TempDir dir;
  const std::string path = (dir / "gone.dwg").string();
  command("SAVEAS " + path);
  command("CLOSE");
  command("OPEN " + path);
  command("LIST");
  AcDbObjectId reopened;
  ASSERT_EQ(db()->getAcDbObjectId(reopened, false, handle), Acad::eOk);
  auto inspect = [&](bool erased, bool lost) {
    asCommand([&] {
      AcDbObject* object = nullptr;
      ASSERT_EQ(acdbOpenObject(object, reopened, AcDb::kForRead, true), Acad::eOk);
      auto* entity = dynamic_cast<CaepLbcEnt*>(object);
      ASSERT_NE(entity, nullptr);
      EXPECT_EQ(entity->isErased(), erased);
      EXPECT_EQ(entity->TopologyLost(), lost);
      ASSERT_NE(entity->TopoKey(), nullptr);
      EXPECT_EQ(entity->TopoKey()->name(), "pocket/bottom");
      object->close();
    });
  };
  // Read back as taken by the topology, not as erased by the user.
  inspect(true, true);
  // The floor returns: the condition comes back on it.
  cadhost::clearPrintedText();
  command("PARAM set block/Depth 6");
  EXPECT_EQ(cadhost::printedText().find("General Error"), std::string::npos) << cadhost::printedText();
  inspect(false, false);
  loads = control()->FirstLoadCase();
  asCommand([&] {
    auto* entity = open<CaepLbcEnt>(reopened);
    ASSERT_NE(entity, nullptr);
    auto* face = dynamic_cast<AcTopoRef*>(entity->GetTopoRef());
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->GetKey()->name(), "pocket/bottom");
    EXPECT_TRUE(entity->IsActive());
    EXPECT_EQ(loadSet()->CountLbcs(1), 1);
  });
}

TEST_F(LbcEntityTest, AConditionTheUserErasedStaysErasedAfterAReopenWhenItsFaceReturns) {
  const AcDbObjectId block = loadPart(fixturePath("pocket_block.part"));
  AcTopoRef* bottom = refOf(block, Ami::kFaceKey, "pocket/bottom");
  CaeFunc* function = dbConstantFunction(kPressure, *descriptorOf(kPressure), nullptr, CaeVector(1, 0, 0));
  const AcDbObjectId id =
      post(new CaepLbcEnt(3, 1.0, descriptorOf(kPressure), bottom, function, nullptr, nullptr), bottom);
  const AcDbHandle handle = id.handle();
  asCommand([&] { ASSERT_EQ(open<AcDbObject>(id)->erase(), Acad::eOk); });
  command("PARAM set block/Depth 12");
  kestrum::test::TempDir dir;
  const std::string path = (dir / "erased.dwg").string();
  command("SAVEAS " + path);
  command("CLOSE");
  command("OPEN " + path);
  command("LIST");
  command("PARAM set block/Depth 6");
  AcDbObjectId reopened;
  ASSERT_EQ(db()->getAcDbObjectId(reopened, false, handle), Acad::eOk);
  asCommand([&] {
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, reopened, AcDb::kForRead, true), Acad::eOk);
    auto* entity = dynamic_cast<CaepLbcEnt*>(object);
    ASSERT_NE(entity, nullptr);
    EXPECT_TRUE(entity->isErased());
    EXPECT_FALSE(entity->TopologyLost());
    object->close();
  });
}

TEST_F(LbcEntityTest, AParameterEditThatKeepsTheFaceKeepsTheKeyAndAReopenFindsTheNewGeometry) {
  const AcDbObjectId id = addPressure(2.0, "hole1/side");
  AmiObjectKey* before = nullptr;
  asCommand([&] { before = open<CaepLbcEnt>(id)->TopoKey(); });
  command("PARAM set plate/D 40");
  asCommand([&] { EXPECT_EQ(open<CaepLbcEnt>(id)->TopoKey(), before); });
  const AcDbHandle handle = id.handle();
  kestrum::test::TempDir dir;
  const std::string path = (dir / "hole.dwg").string();
  command("SAVEAS " + path);
  command("CLOSE");
  command("OPEN " + path);
  command("LIST");
  AcDbObjectId reopened;
  ASSERT_EQ(db()->getAcDbObjectId(reopened, false, handle), Acad::eOk);
  asCommand([&] {
    auto* entity = open<CaepLbcEnt>(reopened);
    auto* hole = dynamic_cast<AcTopoRef*>(entity->GetTopoRef());
    ASSERT_NE(hole, nullptr);
    CaeVector closest, params;
    hole->Project(CaeVector(160, 50, 5), closest, params);
    EXPECT_NEAR(std::hypot(closest[0] - 100, closest[1] - 50), 20.0, 1e-9);
  });
}

// ---- records written by hand ------------------------------------------------------------------

// A record being built: the object part as the drawing file writes it, then the class fields.
class RecordBytes {
 public:
  explicit RecordBytes(int version) : filer_(AcDb::kFileFiler, TopoTest::db()) {
    CaepLbcEnt probe;
    probe.AcDbObject::dwgOutFields(&filer_);
    filer_.writeUInt16(static_cast<Adesk::UInt16>(version));
  }
  RecordBytes& i16(int value) { return ok(filer_.writeInt16(static_cast<Adesk::Int16>(value))); }
  RecordBytes& i32(long value) { return ok(filer_.writeInt32(static_cast<Adesk::Int32>(value))); }
  RecordBytes& d(double value) { return ok(filer_.writeDouble(value)); }
  RecordBytes& str(const std::string& text) { return ok(filer_.writeString(text)); }
  RecordBytes& key(AcDbObjectId part, const std::string& name) {
    AmiObjectKey key(Ami::kFaceKey, part, name);
    EXPECT_EQ(amiWriteKey(&filer_, &key), Ami::eOk);
    return *this;
  }
  RecordBytes& transform(const CaeTransform& t) {
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) d(t.Component(i, j));
    return *this;
  }
  std::string take() { return filer_.takeBuffer(); }

 private:
  RecordBytes& ok(Acad::ErrorStatus status) {
    EXPECT_EQ(status, Acad::eOk);
    return *this;
  }
  AcDbDwgFiler filer_;
};

// Reads `bytes` into a new entity as OPEN does; the status, and whether the whole record was read.
template <class Entity>
std::unique_ptr<Entity> readRecord(const std::string& bytes, Acad::ErrorStatus* status, bool* whole = nullptr,
                                   long failAt = 0) {
  auto entity = std::make_unique<Entity>();
  AcDbDwgFiler in(AcDb::kFileFiler, TopoTest::db(), bytes);
  in.setFailAt(failAt);
  *status = entity->dwgInFields(&in);
  if (whole) *whole = in.atEnd();
  return entity;
}

std::string writeRecord(const CaepBaseLbcEnt& entity, Acad::ErrorStatus* status, long failAt = 0,
                        long* calls = nullptr) {
  AcDbDwgFiler out(AcDb::kFileFiler, TopoTest::db());
  out.setFailAt(failAt);
  *status = entity.dwgOutFields(&out);
  if (calls) *calls = out.callCount();
  return out.takeBuffer();
}

CaeTransform shifted() {
  CaeTransform t;
  t.SetTranslation(CaeVector(1, 2, 3));
  return t;
}

struct LbcRecordCase {
  int version;
  std::string name;   // expected name
  int freeRotations;  // expected value of components 4 to 6
  int lost = 0;       // the topology-lost flag filed at the end (from version 632)
};

class LbcRecordTable : public LbcEntityTest, public ::testing::WithParamInterface<LbcRecordCase> {};

TEST_P(LbcRecordTable, ALoadOrRestraintRecordReadsAtItsVersionAndIsWrittenBackWhole) {
  const LbcRecordCase c = GetParam();
  RecordBytes bytes(c.version);
  bytes.i16(kFaceRestraint);
  if (c.version >= 310) bytes.str("R1");
  bytes.i16(5).d(2.5).d(1).d(-2).d(3).key(plate, "plate/top");
  bytes.i16(1).i16(0).i16(1);
  if (c.version >= 300) bytes.i16(0).i16(0).i16(0);
  bytes.str("cylindric").transform(shifted());
  if (c.version >= 632) bytes.i32(c.lost);
  Acad::ErrorStatus status;
  bool whole = false;
  auto entity = readRecord<CaepLbcEnt>(bytes.take(), &status, &whole);
  ASSERT_EQ(status, Acad::eOk) << cadhost::printedText();
  EXPECT_TRUE(whole);
  EXPECT_EQ(entity->TopologyLost(), c.lost);
  EXPECT_EQ(entity->DataVersion(), 630);
  EXPECT_EQ(entity->IsUnresolved(), 1);
  EXPECT_EQ(std::string(entity->AttLbc::Name().Text()), c.name);
  EXPECT_EQ(entity->colorIndex(), 5);
  EXPECT_DOUBLE_EQ(entity->Scale(), 2.5);
  EXPECT_EQ(entity->EvaluateVecAtPointLocal(CaeVector()), CaeVector(1, -2, 3));
  EXPECT_EQ(entity->StoredType(), kFaceRestraint);
  EXPECT_EQ(entity->StoredCategory(), AttKindRestraint);
  const int* flags = entity->AttLbc::FreeComponents();
  EXPECT_EQ(std::vector<int>(flags, flags + 6),
            (std::vector<int>{1, 0, 1, c.freeRotations, c.freeRotations, c.freeRotations}));
  ASSERT_NE(dynamic_cast<CaeCoordSysCylindric*>(entity->AttLbc::CoordSys()), nullptr);
  EXPECT_EQ(entity->AttLbc::CoordSys()->GetTransform().TranslationVector(), CaeVector(1, 2, 3));
  ASSERT_NE(entity->TopoKey(), nullptr);
  EXPECT_EQ(entity->TopoKey()->name(), "plate/top");

  // Written again it is a full record of the current layout, which reads back the same.
  const std::string written = writeRecord(*entity, &status);
  ASSERT_EQ(status, Acad::eOk);
  auto again = readRecord<CaepLbcEnt>(written, &status, &whole);
  ASSERT_EQ(status, Acad::eOk);
  EXPECT_TRUE(whole);
  EXPECT_EQ(std::string(again->AttLbc::Name().Text()), c.name);
  EXPECT_EQ(again->TopologyLost(), c.lost);
  const int* back = again->AttLbc::FreeComponents();
  EXPECT_EQ(std::vector<int>(back, back + 6), std::vector<int>(flags, flags + 6));
}

INSTANTIATE_TEST_SUITE_P(Versions, LbcRecordTable,
                         ::testing::Values(LbcRecordCase{299, "Face_Restraint", 1},
                                           LbcRecordCase{300, "Face_Restraint", 0},
                                           LbcRecordCase{309, "Face_Restraint", 0}, LbcRecordCase{310, "R1", 0},
                                           LbcRecordCase{630, "R1", 0}, LbcRecordCase{632, "R1", 0, 0},
                                           LbcRecordCase{632, "R1", 0, 1}),
                         [](const auto& info) {
                           return "V" + std::to_string(info.param.version) + "Lost" + std::to_string(info.param.lost);
                         });

TEST_F(LbcEntityTest, ATopologyLostFlagOtherThanZeroOrOneIsRefused) {
  for (long flag : {2L, -1L}) {
    RecordBytes bytes(632);
    bytes.i16(kFaceRestraint).str("R1").i16(5).d(2.5).d(1).d(-2).d(3).key(plate, "plate/top");
    bytes.i16(1).i16(0).i16(1).i16(0).i16(0).i16(0).str("cylindric").transform(shifted()).i32(flag);
    cadhost::clearPrintedText();
    Acad::ErrorStatus status;
    readRecord<CaepLbcEnt>(bytes.take(), &status);
    EXPECT_EQ(status, Acad::eFilerError) << flag;
    EXPECT_NE(cadhost::printedText().find("dbLbc"), std::string::npos) << cadhost::printedText();
  }
}

TEST_F(LbcEntityTest, AnEntityWithoutDataWritesVersionZeroAndReadsBackEmpty) {
  const std::vector<std::function<CaepBaseLbcEnt*()>> makers{
      [] { return new CaepLbcEnt(); }, [] { return new CaepLbcConvEnt(); }, [] { return new CaepLbcHtGenEnt(); },
      [] { return new CaepModelLbcEnt(); }, [] { return new CaepModelTempEnt(); }};
  for (const auto& make : makers) {
    std::unique_ptr<CaepBaseLbcEnt> empty(make());
    Acad::ErrorStatus status;
    const std::string bytes = writeRecord(*empty, &status);
    ASSERT_EQ(status, Acad::eOk);
    std::unique_ptr<CaepBaseLbcEnt> read(make());
    AcDbDwgFiler in(AcDb::kFileFiler, db(), bytes);
    ASSERT_EQ(read->dwgInFields(&in), Acad::eOk);
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(read->DataVersion(), 0);
    EXPECT_EQ(read->IsUnresolved(), 0);
  }
}

TEST_F(LbcEntityTest, ModelLevelLoadRecordsReadWithTheirNameBranchAndRefuseFaceAxes) {
  for (int version : {309, 310, 630}) {
    RecordBytes bytes(version);
    bytes.i16(kGravity);
    if (version >= 310) bytes.str("G");
    bytes.i16(2).d(1.0).d(0).d(0).d(-9810).i16(0).i16(0).i16(0).str("spheric").transform(shifted());
    Acad::ErrorStatus status;
    bool whole = false;
    auto entity = readRecord<CaepModelLbcEnt>(bytes.take(), &status, &whole);
    ASSERT_EQ(status, Acad::eOk) << version;
    EXPECT_TRUE(whole);
    EXPECT_EQ(std::string(entity->AttModelLbc::Name().Text()), version >= 310 ? "G" : "Gravity");
    const int* flags = entity->AttModelLbc::FreeComponents();
    EXPECT_EQ(std::vector<int>(flags, flags + 6), (std::vector<int>{0, 0, 0, 1, 1, 1}));
    EXPECT_NE(dynamic_cast<CaeCoordSysSpheric*>(entity->AttModelLbc::CoordSys()), nullptr);
    EXPECT_EQ(entity->SymbolPoint(), CaeVector(1, 2, 3));
    EXPECT_EQ(entity->colorIndex(), 2);
  }
}

TEST_F(LbcEntityTest, ConvectionAndHeatGenerationRecordsKeepTheirValuesAndTablesInOrder) {
  // Version 300: no name; a constant convection.
  RecordBytes constant(300);
  constant.i16(kConvection).i16(1).d(1.0).key(plate, "plate/top").i16(1).d(25.0).d(293.5);
  Acad::ErrorStatus status;
  auto conv = readRecord<CaepLbcConvEnt>(constant.take(), &status);
  ASSERT_EQ(status, Acad::eOk);
  EXPECT_EQ(std::string(conv->AttLbcConv::Name().Text()), "Face_Convection");
  EXPECT_DOUBLE_EQ(conv->FilmCoef(), 25.0);
  EXPECT_DOUBLE_EQ(conv->AmbientTemp(), 293.5);

  // A version-630 table has no ambient temperature; it still reads.
  RecordBytes oldTable(630);
  oldTable.i16(kConvection).str("C").i16(1).d(1.0).key(plate, "plate/top").i16(0).i16(3);
  for (double t : {300.0, 400.0, 500.0}) oldTable.d(t).d(t / 10);
  bool whole = false;
  conv = readRecord<CaepLbcConvEnt>(oldTable.take(), &status, &whole);
  ASSERT_EQ(status, Acad::eOk);
  EXPECT_TRUE(whole);
  ASSERT_EQ(conv->NumValues(), 3);
  std::vector<double> temperatures;
  for (AttTableTempValue* row = conv->FirstFilmValue(); row; row = conv->NextFilmValue())
    temperatures.push_back(row->Temp());
  EXPECT_EQ(temperatures, (std::vector<double>{300, 400, 500}));

  // A table convection keeps its ambient temperature through a save.
  conv->SetAmbientTemp(310.0);
  const std::string written = writeRecord(*conv, &status);
  ASSERT_EQ(status, Acad::eOk);
  auto back = readRecord<CaepLbcConvEnt>(written, &status, &whole);
  ASSERT_EQ(status, Acad::eOk);
  EXPECT_TRUE(whole);
  EXPECT_EQ(back->Constant(), 0);
  EXPECT_DOUBLE_EQ(back->AmbientTemp(), 310.0);
  EXPECT_EQ(back->NumValues(), 3);

  for (int version : {300, 630}) {
    RecordBytes heat(version);
    heat.i16(kHeatGeneration);
    if (version >= 310) heat.str("H");
    heat.i16(6).d(1.0).key(plate, "plate/top").i16(0).i16(2).d(300).d(1e3).d(400).d(2e3);
    auto generation = readRecord<CaepLbcHtGenEnt>(heat.take(), &status, &whole);
    ASSERT_EQ(status, Acad::eOk) << version;
    EXPECT_TRUE(whole);
    EXPECT_EQ(std::string(generation->AttLbcHgen::Name().Text()), version >= 310 ? "H" : "Volumetric_Heat_Flow");
    EXPECT_EQ(generation->NumValues(), 2);
    AttTableTempValue* first = generation->FirstHGenValue();
    ASSERT_NE(first, nullptr);
    EXPECT_DOUBLE_EQ(first->Value(), 1e3);
  }
}

struct TempRecordCase {
  int version;
  int nodes;
  bool key;
};

class ModelTempRecordTable : public LbcEntityTest, public ::testing::WithParamInterface<TempRecordCase> {};

TEST_P(ModelTempRecordTable, AModelTemperatureRecordReadsAtItsVersionWithItsNodalValuesReversed) {
  const TempRecordCase c = GetParam();
  RecordBytes bytes(c.version);
  if (c.version >= 310) bytes.str("T");
  bytes.i16(1).d(1.0);
  if (c.key) bytes.key(plate, "plate/top");
  bytes.d(293.0).d(350.0);
  const bool wide = c.version >= 631;
  const long modelId = wide ? 70000 : 7;
  if (c.version >= 200) {
    wide ? bytes.i32(c.nodes) : bytes.i16(c.nodes);
    if (c.nodes > 0) {
      bytes.i16(AttFlbcTemperature);
      wide ? bytes.i32(modelId) : bytes.i16(static_cast<int>(modelId));
    }
    for (int i = 0; i < c.nodes; ++i) bytes.i32(100000 + i).d(300.0 + i).d(0).d(0).i16(0).i16(1).i16(0);
  }
  Acad::ErrorStatus status;
  bool whole = false;
  auto entity = readRecord<CaepModelTempEnt>(bytes.take(), &status, &whole);
  ASSERT_EQ(status, Acad::eOk) << cadhost::printedText();
  EXPECT_TRUE(whole);
  EXPECT_EQ(entity->TopoKey(), nullptr);
  EXPECT_DOUBLE_EQ(entity->RefTemp(), 293.0);
  EXPECT_DOUBLE_EQ(entity->ModelTemp(), 350.0);
  EXPECT_EQ(std::string(entity->AttModelTemp::Name().Text()), c.version >= 310 ? "T" : "Temperature");
  const auto& stored = entity->StoredRecords();
  ASSERT_EQ(static_cast<int>(stored.size()), c.version >= 200 ? c.nodes : 0);
  if (c.nodes == 0 || c.version < 200) return;
  EXPECT_EQ(entity->ModelId(), modelId);
  EXPECT_EQ(stored.front().nodeId, 100000 + c.nodes - 1);  // the last one read comes first
  EXPECT_EQ(stored.back().components.flag[1], 1);
  EXPECT_EQ(stored.back().components.flag[5], 1);

  // No model has these nodes: the values stay with the condition and are written back.
  entity->RebuildNodalTemps();
  EXPECT_EQ(entity->NumFlbcs(), 0);
  EXPECT_EQ(static_cast<int>(entity->StoredRecords().size()), c.nodes);
  const std::string written = writeRecord(*entity, &status);
  ASSERT_EQ(status, Acad::eOk);
  auto back = readRecord<CaepModelTempEnt>(written, &status, &whole);
  ASSERT_EQ(status, Acad::eOk);
  EXPECT_TRUE(whole);
  EXPECT_EQ(static_cast<int>(back->StoredRecords().size()), c.nodes);
  EXPECT_EQ(back->ModelId(), modelId);
}

INSTANTIATE_TEST_SUITE_P(Versions, ModelTempRecordTable,
                         ::testing::Values(TempRecordCase{150, 0, true}, TempRecordCase{250, 2, true},
                                           TempRecordCase{299, 3, true}, TempRecordCase{300, 3, false},
                                           TempRecordCase{310, 3, false}, TempRecordCase{630, 2, false},
                                           // More values and a higher model id than 16 bits hold.
                                           TempRecordCase{631, 40000, false}),
                         [](const auto& info) { return "V" + std::to_string(info.param.version); });

// ---- damaged records and failing filers --------------------------------------------------------

TEST_F(LbcEntityTest, DamagedRecordsAreRefusedWithTheFilerErrorAndAMessage) {
  auto full = [&](int type, const std::string& kind) {
    RecordBytes bytes(630);
    bytes.i16(type).str("X").i16(1).d(1.0).d(0).d(0).d(1).key(plate, "plate/top");
    for (int i = 0; i < 6; ++i) bytes.i16(0);
    bytes.str(kind).transform(CaeTransform());
    return bytes.take();
  };
  std::string truncated = full(kPressure, "face");
  truncated.pop_back();
  RecordBytes faceAxes(630);
  faceAxes.i16(kGravity).str("G").i16(1).d(1.0).d(0).d(0).d(1).i16(0).i16(0).i16(0).str("face").transform(
      CaeTransform());
  RecordBytes pastTheEnd(631);
  pastTheEnd.str("T").i16(1).d(1.0).d(293).d(350).i32(5).i16(AttFlbcTemperature).i32(1);
  pastTheEnd.i32(1).d(300).d(0).d(0).i16(0).i16(0).i16(0);
  RecordBytes future(700);
  struct Damage {
    const char* what;
    std::function<Acad::ErrorStatus(const std::string&)> read;
    std::string bytes;
  };
  auto asLbc = [](const std::string& b) {
    Acad::ErrorStatus status;
    readRecord<CaepLbcEnt>(b, &status);
    return status;
  };
  auto asModel = [](const std::string& b) {
    Acad::ErrorStatus status;
    readRecord<CaepModelLbcEnt>(b, &status);
    return status;
  };
  auto asTemp = [](const std::string& b) {
    Acad::ErrorStatus status;
    readRecord<CaepModelTempEnt>(b, &status);
    return status;
  };
  const std::vector<Damage> cases{{"truncated", asLbc, truncated},
                                  {"unknown type", asLbc, full(27, "cartesian")},
                                  {"type of another class", asLbc, full(kConvection, "cartesian")},
                                  {"face axes on a model-level load", asModel, faceAxes.take()},
                                  {"count past the record", asTemp, pastTheEnd.take()},
                                  {"unknown version", asLbc, future.take()}};
  for (const Damage& damage : cases) {
    cadhost::clearPrintedText();
    EXPECT_EQ(damage.read(damage.bytes), Acad::eFilerError) << damage.what;
    EXPECT_NE(cadhost::printedText().find("General Error"), std::string::npos) << damage.what;
  }
}

TEST_F(LbcEntityTest, AFailureAtAnyFilerCallOfAnyClassAnswersTheFilerError) {
  addPressure();
  addConvection();
  std::vector<std::unique_ptr<CaepBaseLbcEnt>> entities;
  // One entity of each class, each with a full record.
  RecordBytes lbc(630);
  lbc.i16(kPressure).str("P").i16(1).d(1.0).d(0).d(0).d(1).key(plate, "plate/top");
  for (int i = 0; i < 6; ++i) lbc.i16(0);
  lbc.str("face").transform(CaeTransform());
  RecordBytes model(630);
  model.i16(kGravity).str("G").i16(1).d(1.0).d(0).d(0).d(1).i16(0).i16(0).i16(0).str("").transform(CaeTransform());
  RecordBytes conv(631);
  conv.i16(kConvection).str("C").i16(1).d(1.0).key(plate, "plate/top").i16(0).d(293).i16(1).d(300).d(25);
  RecordBytes heat(630);
  heat.i16(kHeatGeneration).str("H").i16(1).d(1.0).key(plate, "plate/top").i16(1).d(1e3);
  RecordBytes temp(631);
  temp.str("T").i16(1).d(1.0).d(293).d(350).i32(1).i16(AttFlbcTemperature).i32(3).i32(9).d(300).d(0).d(0);
  temp.i16(0).i16(0).i16(0);
  struct Class {
    const char* name;
    std::string bytes;
    std::function<CaepBaseLbcEnt*()> make;
  };
  const std::vector<Class> classes{{"lbc", lbc.take(), [] { return new CaepLbcEnt(); }},
                                   {"model", model.take(), [] { return new CaepModelLbcEnt(); }},
                                   {"conv", conv.take(), [] { return new CaepLbcConvEnt(); }},
                                   {"heat", heat.take(), [] { return new CaepLbcHtGenEnt(); }},
                                   {"temp", temp.take(), [] { return new CaepModelTempEnt(); }}};
  for (const Class& c : classes) {
    std::unique_ptr<CaepBaseLbcEnt> entity(c.make());
    AcDbDwgFiler in(AcDb::kFileFiler, db(), c.bytes);
    ASSERT_EQ(entity->dwgInFields(&in), Acad::eOk) << c.name << cadhost::printedText();
    const long reads = in.callCount();
    Acad::ErrorStatus status;
    long writes = 0;
    writeRecord(*entity, &status, 0, &writes);
    ASSERT_EQ(status, Acad::eOk);
    ASSERT_GT(writes, 5);
    for (long call = 1; call <= writes; ++call) {
      writeRecord(*entity, &status, call);
      EXPECT_EQ(status, Acad::eFilerError) << c.name << " write call " << call;
    }
    for (long call = 1; call <= reads; ++call) {
      std::unique_ptr<CaepBaseLbcEnt> reader(c.make());
      AcDbDwgFiler failing(AcDb::kFileFiler, db(), c.bytes);
      failing.setFailAt(call);
      EXPECT_EQ(reader->dwgInFields(&failing), Acad::eFilerError) << c.name << " read call " << call;
    }
  }
  // The drawing's own conditions are untouched by all this.
  asCommand([&] { EXPECT_EQ(loadSet()->CountLbcs(1), 2); });
}

}  // namespace
