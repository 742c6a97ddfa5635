// Creating, editing and replacing conditions through the CAD interface on the sample plate: the
// pick-kind prompt, creation by pick and with geometry, set membership and the current mark of
// edits, the input that is refused, and the colour and scale answers.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "CadInterface/AcCadInterface.h"
#include "amg/CaeCoordSys.h"
#include "amg/CaeExcept.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbtrans.h"
#include "arx/hostinput.h"
#include "cadInterface/CadTransactionScope.h"
#include "db/dbBaseLbc.h"
#include "db/dbLbcSet.h"
#include "db/dbOpen.h"
#include "fea/AnlControl.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "lbc/acLbcCmd.h"
#include "lbc_deck_fixture.h"
#include "topo/acTopoRef.h"

namespace lbctest {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class TempRows : public CaeList<AttTableTempValue> {
 public:
  // The base's destructor cannot reach DeleteItem: the rows go here.
  ~TempRows() override { RemoveAll(); }

 protected:
  void DeleteItem(AttTableTempValue* item) override { delete item; }
};

class LbcCmdTest : public DeckFixture {
 protected:
  void SetUp() override {
    DeckFixture::SetUp();
    asCommand([&] {
      cad().SelectOrCreateModel("Plate", 0);
      cad().SelectOrCreateLoadCase("Loads");
      cad().SelectOrCreateRestraintCase("Fixed");
    });
    cadhost::clearPrintedText();
  }

  static CadInterface& cad() { return *CadInterface::GetCurrent(); }
  static AnlControl& control() { return *AnlControl::GetCurrent(); }

  static CaepLbcSetObj* loads() { return dynamic_cast<CaepLbcSetObj*>(control().CurrentLoadCase()); }
  static CaepLbcSetObj* restraints() { return dynamic_cast<CaepLbcSetObj*>(control().CurrentRestraintCase()); }
  static int live(CaepLbcSetObj* set) {
    int count = 0;
    asCommand([&] { count = set->CountLbcs(0); });
    return count;
  }

  AcBrEntity* entityOf(Ami::KeyType type, const char* name) {
    return TopoTest::refOf(plate, type, name)->GetBrEntity();
  }
  // A pressure on the top face, with geometry; 1 when made.
  int pressure(CaeString name = CaeString("Pressure"), const CaeCoordSys* axes = nullptr, double p = 2.0) {
    int flags[6] = {0, 0, 0, 0, 0, 0};
    double value[3] = {p, 0, 0};
    int made = 0;
    asCommand([&] {
      made = cad().CreateLbc(name, 3, 10.0, 4, flags, value, const_cast<CaeCoordSys*>(axes),
                             entityOf(Ami::kFaceKey, "plate/top"));
    });
    return made;
  }
};

TEST_F(LbcCmdTest, PickKindPromptOffersTheAllowedKindsAndEndsOnEscape) {
  struct Case {
    const char* name;
    int v, e, f, o;
    const char* answers;  // queued lines; empty: none
    int result;
    int kind;
    const char* prompt;  // empty: no prompt expected
  } cases[] = {
      {"face only", 0, 0, 1, 0, "", 1, 1, ""},
      {"vertex only", 1, 0, 0, 0, "", 1, 3, ""},
      {"object only", 0, 0, 0, 1, "", 1, 0, ""},
      {"edge and face", 0, 1, 1, 0, "1", 1, 1, "Enter Pick Type (2 = edge, 1 = face, ): "},
      {"a vertex though not offered", 0, 1, 1, 0, "3", 1, 3, "Enter Pick Type (2 = edge, 1 = face, ): "},
      {"all four, bad answers first", 1, 1, 1, 1, "7\nabc\n-1\n0", 1, 0,
       "Enter Pick Type (3 = vertex, 2 = edge, 1 = face, 0 = object, ): "},
      {"escape", 1, 0, 1, 0, "^[", 0, -1, "Enter Pick Type (3 = vertex, 1 = face, ): "},
      {"end of input", 1, 1, 0, 0, "", 0, -1, "Enter Pick Type (3 = vertex, 2 = edge, ): "},
  };
  for (const Case& c : cases) {
    cadhost::clearInput();
    cadhost::clearPrintedText();
    if (*c.answers) cadhost::queueText(c.answers);
    int kind = 99;
    EXPECT_EQ(acAskPickType(c.v, c.e, c.f, c.o, &kind), c.result) << c.name;
    EXPECT_EQ(kind, c.kind) << c.name;
    if (*c.prompt)
      EXPECT_NE(cadhost::printedText().find(c.prompt), std::string::npos) << c.name << ": " << cadhost::printedText();
    else
      EXPECT_EQ(cadhost::printedText().find("Enter Pick Type"), std::string::npos) << c.name;
  }
  int kind = 0;
  EXPECT_THROW(acAskPickType(0, 0, 0, 0, &kind), CaeExcept);
}

TEST_F(LbcCmdTest, APickedPressureJoinsTheCurrentLoadSetOnItsFace) {
  CaeCoordSysFace* axes = new CaeCoordSysFace();
  int flags[6] = {0, 0, 0, 0, 0, 0};
  double value[3] = {0, 0, 2};
  cadhost::queueText("150,20,10");
  int made = 0;
  asCommand([&] { made = cad().CreateLbc(CaeString("Top pressure"), 3, 10.0, 4, flags, value, axes, nullptr); });
  delete axes;  // the caller's own: the condition keeps a copy
  ASSERT_EQ(made, 1) << cadhost::printedText();
  ASSERT_EQ(live(loads()), 1);
  AcTopoRef* top = TopoTest::refOf(plate, Ami::kFaceKey, "plate/top");
  asCommand([&] {
    AttBaseLbc* condition = loads()->LiveLbc(1);
    auto* entity = dynamic_cast<CaepBaseLbcEnt*>(condition);
    ASSERT_NE(entity, nullptr);
    EXPECT_EQ(entity->layer(), "CAE_LBC");
    EXPECT_EQ(entity->colorIndex(), 3);
    EXPECT_EQ(entity->Scale(), 10.0);
    EXPECT_EQ(condition->Name(), CaeString("Top pressure"));
    EXPECT_TRUE(condition->IsMarkedAsCurrent());
    auto* lbc = dynamic_cast<AttLbc*>(condition);
    ASSERT_NE(lbc, nullptr);
    EXPECT_EQ(lbc->GetTopoRef(), top);
    EXPECT_EQ(entity->TopoKey(), top->GetKey());
    EXPECT_TRUE(top->GetKey()->hasBoundObject());
    auto* face = dynamic_cast<CaeCoordSysFace*>(condition->CoordSys());
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->GetTopoRef(), top);
    EXPECT_EQ(condition->EvaluateVecAtPointLocal(CaeVector()), CaeVector(0, 0, 2));
  });

  // Without axes the condition is in global axes.
  ASSERT_EQ(pressure(CaeString("Global")), 1);
  asCommand([&] { EXPECT_EQ(loads()->LiveLbc(2)->CoordSys(), nullptr); });
}

TEST_F(LbcCmdTest, EndingThePickMakesNothingAndSaysNothing) {
  int flags[6] = {0, 0, 0, 0, 0, 0};
  double value[3] = {1, 0, 0};
  TempRows rows;
  for (const char* ending : {"^[", ""}) {
    cadhost::clearInput();
    if (*ending) cadhost::queueText(ending);
    cadhost::clearPrintedText();
    int made = -1;
    asCommand([&] { made = cad().CreateLbc(CaeString("None"), 3, 1.0, 1, flags, value, nullptr, nullptr); });
    EXPECT_EQ(made, 0);
    asCommand([&] { made = cad().CreateConvection(CaeString("None"), 3, 1.0, 18, 1, 10, 290, rows, nullptr); });
    EXPECT_EQ(made, 0);
    EXPECT_EQ(cadhost::printedText().find("General Error"), std::string::npos);
  }
  EXPECT_EQ(live(loads()), 0);
}

TEST_F(LbcCmdTest, RefusedInputIsReportedAndMakesNothing) {
  int flags[6] = {0, 0, 0, 0, 0, 0};
  TempRows rows;
  TempRows badRows;
  badRows.Append(new AttTableTempValue(300, kNaN));
  AcBrEntity* top = entityOf(Ami::kFaceKey, "plate/top");
  AcBrEntity* body = bodyOf(plate)->GetBrEntity();
  auto lbc = [&](int type, double x, double scale, int colour) {
    double value[3] = {x, 0, 0};
    return cad().CreateLbc(CaeString("Bad"), colour, scale, type, flags, value, nullptr, top);
  };
  struct Case {
    const char* name;
    std::function<int()> make;
    const char* said;
  } cases[] = {
      {"model temperature by CreateLbc", [&] { return lbc(14, 1, 1, 3); }, "cannot be made"},
      {"convection by CreateLbc", [&] { return lbc(18, 1, 1, 3); }, "cannot be made"},
      {"heat generation by CreateLbc", [&] { return lbc(19, 1, 1, 3); }, "cannot be made"},
      {"value not a number", [&] { return lbc(4, kNaN, 1, 3); }, "finite"},
      {"value infinite", [&] { return lbc(4, kInf, 1, 3); }, "finite"},
      {"scale zero", [&] { return lbc(4, 1, 0, 3); }, "scale"},
      {"scale negative", [&] { return lbc(4, 1, -2, 3); }, "scale"},
      {"scale not a number", [&] { return lbc(4, 1, kNaN, 3); }, "scale"},
      {"colour above 256", [&] { return lbc(4, 1, 1, 257); }, "colour"},
      {"colour below 0", [&] { return lbc(4, 1, 1, -1); }, "colour"},
      {"convection of another type",
       [&] { return cad().CreateConvection(CaeString("Bad"), 3, 1, 19, 1, 10, 290, rows, top); }, "cannot be made"},
      {"convection ambient infinite",
       [&] { return cad().CreateConvection(CaeString("Bad"), 3, 1, 18, 1, 10, kInf, rows, top); }, "finite"},
      {"heat generation of another type",
       [&] { return cad().CreateHeatGeneration(CaeString("Bad"), 3, 1, 18, 1, 5, rows, body); }, "cannot be made"},
      {"heat generation table row not a number",
       [&] { return cad().CreateHeatGeneration(CaeString("Bad"), 3, 1, 19, 0, 5, badRows, body); }, "finite"},
      {"model temperature not a number",
       [&] { return cad().CreatePrescribedTemperature(CaeString("Bad"), 1, 1, kNaN, 293, 0) ? 1 : 0; }, "finite"},
  };
  for (const Case& c : cases) {
    cadhost::clearPrintedText();
    int made = -1;
    asCommand([&] { made = c.make(); });
    EXPECT_EQ(made, 0) << c.name;
    EXPECT_NE(cadhost::printedText().find(c.said), std::string::npos) << c.name << ": " << cadhost::printedText();
  }
  EXPECT_EQ(live(loads()), 0);
  EXPECT_EQ(live(restraints()), 0);

  // A type without descriptor is a consistency check: the command's transaction is aborted and
  // leaves nothing behind.
  const int objectsBefore = db()->numObjects();
  try {
    asCommand([&] { lbc(27, 1, 1, 3); });
    ADD_FAILURE() << "a type without descriptor was taken";
  } catch (const CaeExcept& error) {
    EXPECT_NE(std::string(error.String().Text()).find("General Error"), std::string::npos) << error.String().Text();
  }
  EXPECT_EQ(db()->numObjects(), objectsBefore);
  EXPECT_EQ(live(loads()), 0);
}

TEST_F(LbcCmdTest, AnEditReplacesTheConditionInItsOwnSetAndKeepsItsCurrentMark) {
  ASSERT_EQ(pressure(CaeString("First")), 1);
  ASSERT_EQ(pressure(CaeString("Second")), 1);  // now the current one
  CaepLbcSetObj* first = loads();
  // The first is no longer current, as after a reopen (the post-load pass clears every mark).
  asCommand([&] { first->LiveLbc(1)->MarkAsNotCurrent(); });
  asCommand([&] { cad().SelectOrCreateLoadCase("Other"); });
  ASSERT_NE(loads(), first);

  struct Edit {
    int position;  // in the first set, among its live conditions
    bool wasCurrent;
  } edits[] = {{2, true}, {1, false}};
  for (const Edit& e : edits) {
    AcDbObjectId oldId;
    asCommand([&] {
      AttBaseLbc* old = first->LiveLbc(e.position);
      ASSERT_EQ(old->IsMarkedAsCurrent(), e.wasCurrent);
      oldId = dynamic_cast<AcDbObject*>(old)->objectId();
      int flags[6] = {0, 0, 0, 0, 0, 0};
      double value[3] = {5, 0, 0};
      cad().EditLbc(old, CaeString("Edited"), 2, 4.0, 4, flags, value, nullptr);
    });
    asCommand([&] {
      ASSERT_EQ(first->CountLbcs(0), 2);
      EXPECT_EQ(loads()->CountLbcs(0), 0) << "the current set of the time gets nothing";
      AttBaseLbc* edited = first->LiveLbc(2);
      EXPECT_EQ(edited->Name(), CaeString("Edited"));
      EXPECT_NE(dynamic_cast<AcDbObject*>(edited)->objectId(), oldId);
      EXPECT_EQ(edited->IsMarkedAsCurrent(), e.wasCurrent);
      EXPECT_EQ(edited->EvaluateVecAtPointLocal(CaeVector()), CaeVector(5, 0, 0));
      EXPECT_EQ(dynamic_cast<CaepBaseLbcEnt*>(edited)->Scale(), 4.0);
    });
    EXPECT_TRUE(dbIsErasedOrGone(oldId));
  }
}

TEST_F(LbcCmdTest, EditsThatWouldChangeTheKindOrFindNoSetChangeNothing) {
  ASSERT_EQ(pressure(), 1);
  CaepLbcSetObj* set = loads();
  AcDbObjectId id;
  auto tryEdit = [&](int type) {
    asCommand([&] {
      AttBaseLbc* old = set->LiveLbc(1);
      id = dynamic_cast<AcDbObject*>(old)->objectId();
      int flags[6] = {0, 0, 0, 0, 0, 0};
      double value[3] = {1, 0, 0};
      cad().EditLbc(old, CaeString("Changed"), 3, 1.0, type, flags, value, nullptr);
    });
  };
  for (int type : {7, 12, 18}) {  // a restraint, a model-level load, a convection
    cadhost::clearPrintedText();
    tryEdit(type);
    EXPECT_FALSE(cadhost::printedText().empty()) << type;
    EXPECT_FALSE(dbIsErasedOrGone(id)) << type;
    EXPECT_EQ(live(set), 1);
  }

  // The set that held it is gone (its members with it) and the condition came back alone: the
  // edit is refused instead of adding the new one to nothing.
  AcDbObjectId setId = set->objectId();
  asCommand([&] {
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenObject(object, setId, AcDb::kForWrite), Acad::eOk);
    object->erase(true);
    object->close();
    ASSERT_EQ(acdbOpenObject(object, id, AcDb::kForWrite, true), Acad::eOk);
    object->erase(false);
    object->close();
  });
  cadhost::clearPrintedText();
  asCommand([&] {
    AcDbObject* object = nullptr;
    ASSERT_EQ(db()->transactionManager()->getObject(object, id, AcDb::kForWrite), Acad::eOk);
    int flags[6] = {0, 0, 0, 0, 0, 0};
    double value[3] = {1, 0, 0};
    cad().EditLbc(dynamic_cast<AttBaseLbc*>(object), CaeString("Orphan"), 3, 1.0, 4, flags, value, nullptr);
  });
  EXPECT_NE(cadhost::printedText().find("no load or restraint set"), std::string::npos) << cadhost::printedText();
  EXPECT_FALSE(dbIsErasedOrGone(id));
}

TEST_F(LbcCmdTest, ThermalConditionsTakeTheirTablesAndTheModelTemperatureItsValues) {
  TempRows rows;
  rows.Append(new AttTableTempValue(300, 20));
  rows.Append(new AttTableTempValue(400, 30));
  int made = 0;
  asCommand([&] {
    made =
        cad().CreateConvection(CaeString("Air"), 3, 2.0, 18, 0, 25, 290, rows, entityOf(Ami::kFaceKey, "plate/bottom"));
  });
  ASSERT_EQ(made, 1) << cadhost::printedText();
  AttModelTemp* temperature = nullptr;
  asCommand([&] { temperature = cad().CreatePrescribedTemperature(CaeString("Warm"), 1, 1.0, 320, 293, 0); });
  ASSERT_NE(temperature, nullptr);
  asCommand([&] {
    ASSERT_EQ(loads()->CountLbcs(0), 2);
    auto* convection = dynamic_cast<AttLbcConv*>(loads()->LiveLbc(1));
    ASSERT_NE(convection, nullptr);
    EXPECT_EQ(convection->Constant(), 0);
    EXPECT_EQ(convection->FilmCoef(), 25);
    EXPECT_EQ(convection->AmbientTemp(), 290);
    ASSERT_EQ(convection->NumValues(), 2);
    EXPECT_EQ(convection->FirstFilmValue()->Value(), 20);
    auto* model = dynamic_cast<AttModelTemp*>(loads()->LiveLbc(2));
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->ModelTemp(), 320);
    EXPECT_EQ(model->RefTemp(), 293);
    EXPECT_EQ(model->Name(), CaeString("Warm"));
    int colour = -1;
    double scale = -1;
    cad().GetLbcColorAndScale(convection, &colour, &scale);
    EXPECT_EQ(colour, 3);
    EXPECT_EQ(scale, 2.0);
  });
  // A condition that is no drawing entity leaves the answers as they were.
  const AttLbcDescriptTable table;
  AttBaseLbc scratch(table.Find(4), 1);
  int colour = -7;
  double scale = -7;
  cad().GetLbcColorAndScale(&scratch, &colour, &scale);
  EXPECT_EQ(colour, -7);
  EXPECT_EQ(scale, -7);
}

TEST_F(LbcCmdTest, DefaultColoursFollowTypeKindAndUnit) {
  struct Case {
    int type;
    int colour;
  } cases[] = {
      {12, 8},  {13, 6},  {18, 3},                       // by type
      {5, 4},   {7, 4},   {8, 4},   {25, 4},             // restraints
      {14, 1},                                           // the model temperature
      {1, 3},   {2, 3},   {3, 3},   {4, 3},              // force, per area, per length, stress
      {29, 2},  {15, 2},  {16, 2},  {17, 2},             // moment, heat flows and flux
      {19, 1},                                           // heat generation
      {11, -1},                                          // spin: angular velocity has no colour
      {0, -1},  {26, -1}, {27, -1}, {30, -1}, {-3, -1},  // no descriptor
  };
  for (const Case& c : cases) EXPECT_EQ(cad().GetLbcDimension(c.type), c.colour) << c.type;
}

}  // namespace
}  // namespace lbctest
