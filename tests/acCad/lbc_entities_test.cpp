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
  kestrum::test::TempDir dir;
  const std::string path = (dir / "gone.dwg").string();
  command("SAVEAS " + path);
  command("CLOSE");
  command("OPEN " + path);
  command("LIST");
  AcDbObjectId reopened;
  ASSERT_EQ(db()->getAcDbObjectId(reopened, false, handle), Acad::eOk);
  loads = control()->FirstLoadCase();
  asCommand([&] {
    auto* entity = open<CaepLbcEnt>(reopened);
    EXPECT_EQ(entity->IsUnresolved(), 0);
    EXPECT_EQ(entity->GetTopoRef(), nullptr);
    EXPECT_TRUE(entity->GeometryMissing());
    EXPECT_TRUE(entity->IsMarkedAsErased());
    EXPECT_FALSE(entity->isErased());
    ASSERT_NE(entity->TopoKey(), nullptr);
    EXPECT_EQ(entity->TopoKey()->name(), "pocket/bottom");
    // The deck's walk passes over it.
    EXPECT_EQ(loads->FirstLbc(), nullptr);
    EXPECT_EQ(loadSet()->CountLbcs(1), 0);
  });
  // Saving keeps the key; with the floor back, the next reopen finds it again.
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

}  // namespace
