// Parameters, globals, regeneration and mass properties through the part modeller's API, and
// bad input that must leave a part as it was.
#include <cmath>
#include <fstream>
#include <set>

#include "mcad/amiparam.h"
#include "mcadkernel/error.h"
#include "part_fixture.h"

namespace {

using mcadtest::PartDrawingTest;

std::set<std::string> namesOf(AmiKey** keys, int count) {
  std::set<std::string> names;
  for (int i = 0; i < count; ++i) {
    names.insert(amiKeyName(keys[i]));
    keys[i]->release();
  }
  delete[] keys;
  return names;
}

double valueOf(const AmiParamKey& key) {
  double value = NAN;
  EXPECT_EQ(amiGetParamValue(&key, value), Ami::eOk) << key.name();
  return value;
}

class ParamsTest : public PartDrawingTest {
 protected:
  // A part with dependent parameters and a global, placed twice.
  void SetUp() override {
    PartDrawingTest::SetUp();
    mcadDefineGlobals(db(), {{"Base", "50"}, {"Unused", "1"}});
    std::string text =
        "part bar\n"
        "param L = Base*2\n"
        "param W = L/5\n"
        "param H = 8\n"
        "box body corner=(0, 0, 0) size=(L, W, H)\n";
    bar = mcadAddPart(db(), "", text, gp_Trsf());
    gp_Trsf shifted;
    shifted.SetTranslation(gp_Vec(0, 100, 0));
    moved = mcadAddPart(db(), "", text, shifted);
  }
  AcDbObjectId bar, moved;
};

TEST_F(ParamsTest, GlobalsAreListedAndFoundByName) {
  int count = -1;
  AmiParamKey** keys = nullptr;
  ASSERT_EQ(amiGetGlobalParams("Designer", count, keys), Ami::eOk);
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    char* name = nullptr;
    ASSERT_EQ(amiGetParamName(keys[i], name), Ami::eOk);
    names.emplace_back(name);
    delete[] name;
    keys[i]->release();
  }
  delete[] keys;
  EXPECT_EQ(names, (std::vector<std::string>{"Base", "Unused"}));
  EXPECT_EQ(amiGetGlobalParams("Other", count, keys), Ami::eBadInput);

  AmiParamKey* found = nullptr;
  ASSERT_EQ(amiFindParam("bar_2/W", found), Ami::eOk);
  EXPECT_EQ(found->partId(), moved);
  EXPECT_DOUBLE_EQ(valueOf(*found), 20.0);
  found->release();
  for (const char* missing : {"Nope", "bar/Nope", "nobody/L", ""}) {
    EXPECT_NE(amiFindParam(missing, found), Ami::eOk) << missing;
    EXPECT_EQ(found, nullptr);
  }
}

TEST_F(ParamsTest, DrawingWithoutGlobalsAnswersNone) {
  ASSERT_EQ(cadhost::runCommand("NEW"), RTNORM);
  int count = -1;
  AmiParamKey* sentinel[1] = {nullptr};
  AmiParamKey** keys = sentinel;
  EXPECT_EQ(amiGetGlobalParams("Designer", count, keys), Ami::eOk);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(keys, nullptr);
  AmiObjectKey* part = nullptr;
  EXPECT_EQ(amiGetActivePart("Designer", part), Ami::eNotFound);
}

TEST_F(ParamsTest, DependenciesUsersAndContainingPart) {
  AmiParamKey width(nullptr, bar, "W"), length(nullptr, bar, "L"), height(nullptr, bar, "H");
  AmiParamKey base(db(), AcDbObjectId::kNull, "Base"), unused(db(), AcDbObjectId::kNull, "Unused");
  int count = -1;
  AmiParamKey** deps = nullptr;
  ASSERT_EQ(amiGetParamDeps(&width, count, deps), Ami::eOk);
  EXPECT_EQ(namesOf(reinterpret_cast<AmiKey**>(deps), count), (std::set<std::string>{"bar/L"}));
  ASSERT_EQ(amiGetParamDeps(&length, count, deps), Ami::eOk);
  EXPECT_EQ(namesOf(reinterpret_cast<AmiKey**>(deps), count), (std::set<std::string>{"Base"}));
  ASSERT_EQ(amiGetParamDeps(&height, count, deps), Ami::eOk);
  EXPECT_EQ(count, 0);

  struct Case {
    const AmiParamKey* key;
    std::set<std::string> users;
  } cases[] = {
      {&length, {"bar/W", "bar"}},  // a parameter and the part's features
      {&width, {"bar"}},
      {&base, {"bar", "bar_2"}},  // both parts, through their own L
      {&unused, {}},
  };
  for (const Case& c : cases) {
    AmiKey** users = nullptr;
    ASSERT_EQ(amiGetParamUsers(c.key, count, users), Ami::eOk);
    EXPECT_EQ(namesOf(users, count), c.users) << c.key->name();
  }

  AmiObjectKey* part = nullptr;
  ASSERT_EQ(amiGetContainingPart(&width, part), Ami::eOk);
  EXPECT_EQ(part->objectId(), bar);
  EXPECT_EQ(part->keyType(), Ami::kPartKey);
  part->release();
  EXPECT_EQ(amiGetContainingPart(&base, part), Ami::eNotFound);
}

TEST_F(ParamsTest, SettingValuesRegeneratesAndMassPropertiesFollow) {
  AmiObjectKey* active = nullptr;
  ASSERT_EQ(amiGetActivePart("Designer", active), Ami::eOk);
  EXPECT_EQ(active->objectId(), bar);
  AmiMassProps props;
  ASSERT_EQ(amiGetMassProps(active, props), Ami::eOk);
  EXPECT_NEAR(props.volume, 100.0 * 20.0 * 8.0, 1e-6);
  EXPECT_NEAR(props.centroid.x, 50.0, 1e-9);
  EXPECT_NEAR(props.momentsOfInertia.z, props.volume * (100.0 * 100.0 + 20.0 * 20.0) / 12.0, 1e-3);
  EXPECT_NEAR(props.productsOfInertia.x, 0.0, 1e-6);

  AmiParamKey height(nullptr, bar, "H"), base(db(), AcDbObjectId::kNull, "Base");
  ASSERT_EQ(amiSetParamValue(&height, 10.0), Ami::eOk);
  ASSERT_EQ(amiSetParamValue(&base, 30.0), Ami::eOk);  // L = 60, W = 12
  EXPECT_DOUBLE_EQ(valueOf(AmiParamKey(nullptr, moved, "W")), 12.0);
  ASSERT_EQ(amiRegen(active), Ami::eOk);
  ASSERT_EQ(amiGetMassProps(active, props), Ami::eOk);
  EXPECT_NEAR(props.volume, 60.0 * 12.0 * 10.0, 1e-6);

  // The moved copy: same volume, centre shifted by its placement.
  AmiObjectKey movedKey(Ami::kCompKey, moved);
  ASSERT_EQ(amiGetMassProps(&movedKey, props), Ami::eOk);
  EXPECT_NEAR(props.volume, 60.0 * 12.0 * 8.0, 1e-6);
  EXPECT_NEAR(props.centroid.y, 106.0, 1e-9);
  AmiObjectKey face(Ami::kFaceKey, bar, "body/top");
  EXPECT_EQ(amiGetMassProps(&face, props), Ami::eWrongKeyType);
  EXPECT_EQ(amiRegen(&face), Ami::eWrongKeyType);
  active->release();
}

TEST_F(ParamsTest, RefusedValuesLeaveThePartsAsTheyWere) {
  AmiParamKey height(nullptr, bar, "H"), base(db(), AcDbObjectId::kNull, "Base"), nope(nullptr, bar, "Nope");
  struct Case {
    const AmiParamKey* key;
    double value;
    AmiStatus status;
  } cases[] = {
      {&height, 0.0, Ami::eRegenFailed},  // a box must have a positive size
      {&base, -10.0, Ami::eRegenFailed},  // every part using it would fail
      {&nope, 1.0, Ami::eNotFound},
  };
  for (const Case& c : cases) EXPECT_EQ(amiSetParamValue(c.key, c.value), c.status) << c.key->name();
  EXPECT_DOUBLE_EQ(valueOf(height), 8.0);
  EXPECT_DOUBLE_EQ(valueOf(base), 50.0);
  AmiObjectKey part(Ami::kPartKey, moved);
  AmiMassProps props;
  ASSERT_EQ(amiGetMassProps(&part, props), Ami::eOk);
  EXPECT_NEAR(props.volume, 100.0 * 20.0 * 8.0, 1e-6);
}

TEST_F(PartDrawingTest, BadPartFilesAndEditsAreRefusedWithAMessageAndChangeNothing) {
  kestrum::test::TempDir dir;
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"part p\nparam L = 10\nwedge w corner=(0,0,0)\n", "wedge"},
      {"part p\nparam L = 10 +* 2\nbox b corner=(0,0,0) size=(L,L,L)\n", "L"},
      {"part p\nparam L = L + 1\nbox b corner=(0,0,0) size=(L,L,L)\n", "L"},
      {"part p\nbox b corner=(0,0,0) size=(10,10,2)\nhole h at=(5,5,2) direction=(0,0,-1) diameter=40\n", "h"},
  };
  for (const Case& c : cases) {
    std::string path = (dir / "bad.part").string();
    std::ofstream(path) << c.text;
    try {
      mcadLoadPartFile(db(), path);
      ADD_FAILURE() << c.text;
    } catch (const mcadkernel::KernelError& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
    EXPECT_TRUE(mcadPartIds(db()).empty()) << c.text;
  }

  AcDbObjectId plate = loadShipped("plate_with_hole.part");
  AmiPartEntity* entity = nullptr;
  ASSERT_EQ(acdbOpenObject(entity, plate, AcDb::kForWrite), Acad::eOk);
  std::string before = entity->definition();
  EXPECT_THROW(entity->setParameterValue("D", 150.0), mcadkernel::KernelError);  // hole wider than the plate
  EXPECT_THROW(entity->defineParameter("D", "D * 2"), mcadkernel::KernelError);  // refers to itself
  EXPECT_THROW(entity->defineParameter("D", "30 +"), mcadkernel::KernelError);   // does not parse
  EXPECT_EQ(entity->definition(), before);
  EXPECT_NEAR(mcadtest::cylinderRadius(entity->resolve("hole1/side")), 15.0, 1e-9);
  entity->close();
}

}  // namespace
