// Meshing through the interface: a generated mesh gets its sub-model and numbers on from the
// model's highest ids; a failed one is reported once and leaves nothing behind (a mesh already in
// the drawing is erased, never deleted); the mesh pick refuses meshed geometry with its messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/hostinput.h"
#include "cadInterface/CadInterface.h"
#include "db/dbCon.h"
#include "db/dbMesh.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "db/dbSubModel.h"
#include "fea/AmgMesh.h"
#include "fea/CaeElem.h"
#include "meshcon_fixture.h"
#include "mfc/driver.h"
#include "topo/acTopoRef.h"
#include "util/acLayer.h"
#include "util/acPost.h"

namespace meshcontest {
namespace {

// Answers message boxes with OK and keeps their texts.
class RecordingDriver : public topotest::QuietDriver {
 public:
  int onMessageBox(const mfc::MessageBoxRequest& request) override {
    texts.push_back(request.text);
    return 1;
  }
  std::vector<std::string> texts;
};

int countOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

class MeshGenTest : public MeshConTest {
 protected:
  // A new mesh entity on `body` (linear, default size 20) generated through the interface.
  AmgMesh* generate(CaeTopoRef* body, const char* material = "S275") {
    AmgMesh* mesh = nullptr;
    asCommand([&] {
      mesh = cad().CreateMeshEntity(body);
      ASSERT_NE(mesh, nullptr);
      mesh->SetDefaultSize(20.0);
      mesh->SetElementOrder(1);
      cad().GenerateMesh(mesh, material, 1, 3, 0.05, 0.0);
    });
    return mesh;
  }
  static int liveSubModels() {
    int live = 0;
    inspect([&] { live = model()->NumLiveSubModels(); });
    return live;
  }
  static std::pair<long, long> nodeIdRange(AmgMesh* mesh) {
    CaeList<CaeNode> nodes;
    mesh->Nodes(nodes);
    long low = 0, high = 0;
    for (CaeNode* node : nodes) {
      low = low == 0 ? node->Id() : std::min(low, node->Id());
      high = std::max(high, node->Id());
    }
    return {low, high};
  }
};

TEST_F(MeshGenTest, GeneratedMeshesGetTheirSubModelAndNumberOnFromTheModel) {
  cadhost::clearPrintedText();
  AmgMesh* first = generate(bodyOf(plate));
  ASSERT_NE(first, nullptr) << cadhost::printedText();
  // The counts are reported once per mesh, on a line of their own.
  const std::string report = "Generated " + std::to_string(first->NumNodes()) + " nodes and " +
                             std::to_string(first->NumElements()) + " elements.\n";
  EXPECT_EQ(countOf(cadhost::printedText(), "Generated "), 1) << cadhost::printedText();
  EXPECT_EQ(countOf(cadhost::printedText(), report), 1) << cadhost::printedText();
  EXPECT_EQ(liveSubModels(), 1);
  auto* entity = dynamic_cast<CaepMeshEnt*>(first);
  ASSERT_NE(entity, nullptr);
  EXPECT_FALSE(entity->objectId().isNull());
  inspect([&] {
    CaepAnlSubModelObj* sub = entity->FindSubModel();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->MaterialName(), CaeString("S275"));
    EXPECT_EQ(std::string(entity->layer()), acCaeLayerName(kCaeLayerMesh));
    EXPECT_EQ(entity->PStartOrder(), 1);
    EXPECT_EQ(entity->PMaxOrder(), 3);
    EXPECT_EQ(cad().IsTopologyMeshed(bodyOf(plate)), 1);
  });
  EXPECT_EQ(nodeIdRange(first).first, 1);

  const AcDbObjectId block = loadPart(kestrum::test::sourcePath("tests/platform/mcad/fixtures/pocket_block.part"));
  AmgMesh* second = generate(bodyOf(block));
  ASSERT_NE(second, nullptr) << cadhost::printedText();
  EXPECT_EQ(nodeIdRange(second).first, nodeIdRange(first).second + 1);
  EXPECT_EQ(liveSubModels(), 2);
}

TEST_F(MeshGenTest, FailedGenerationIsReportedOnceAndKeepsNothing) {
  RecordingDriver driver;
  mfc::ScopedUserDriver scope(&driver);
  struct Case {
    const char* name;
    bool posted;   // in model space before meshing
    bool withSub;  // held by a sub-model of the model
  };
  const Case cases[] = {
      {"never posted", false, false},
      {"posted without sub-model", true, false},
      {"held by a sub-model", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    driver.texts.clear();
    cadhost::clearPrintedText();
    const int subsBefore = liveSubModels();
    AcDbObjectId id;
    AmgMesh* mesh = nullptr;
    asCommand([&] {
      auto* entity = new CaepMeshEnt(nullptr);  // no geometry: the mesher cannot mesh it
      if (c.withSub) {
        model()->NewSubModelFor(entity);
      } else if (c.posted) {
        acPostToModelSpaceAndClose(entity, id);
      }
      id = entity->objectId();
      mesh = entity;
      cad().GenerateMesh(mesh, "S275", 0, 0, 0.0, 0.0);
    });
    EXPECT_EQ(mesh, nullptr);
    EXPECT_EQ(driver.texts.size(), 1u);
    EXPECT_EQ(countOf(cadhost::printedText(), "Meshing failed"), 1) << cadhost::printedText();
    EXPECT_EQ(countOf(cadhost::printedText(), "Generated "), 0);
    EXPECT_EQ(liveSubModels(), subsBefore);
    if (c.posted) {
      // The drawing still holds the object, erased.
      inspect([&] {
        AcDbObject* object = dbOpenMember(db(), id, AcDb::kForRead, true);
        ASSERT_NE(object, nullptr);
        EXPECT_TRUE(object->isErased());
      });
    }
  }
}

TEST_F(MeshGenTest, MeshPickRefusesMeshedGeometry) {
  RecordingDriver driver;
  mfc::ScopedUserDriver scope(&driver);
  const char kBodyEdge[] = "plate/hole1/side|plate/bottom";
  // Before meshing: the body is the one reference.
  cadhost::clearInput();
  cadhost::queueText(kBodyEdge);
  CaeList<CaeTopoRef> refs;
  int picked = -1;
  asCommand([&] { picked = cad().PickMesh(refs); });
  EXPECT_EQ(picked, 1);
  ASSERT_EQ(refs.Count(), 1);
  for (CaeTopoRef* ref : refs) EXPECT_EQ(ref, bodyOf(plate));
  refs.RemoveAll();

  // A cancelled pick answers 0.
  cadhost::clearInput();
  cadhost::queueEscape();
  asCommand([&] { picked = cad().PickMesh(refs); });
  EXPECT_EQ(picked, 0);
  EXPECT_TRUE(refs.IsEmpty());

  // A meshed body: string 235 in a box, nothing picked.
  ASSERT_NE(generate(bodyOf(plate)), nullptr);
  cadhost::clearInput();
  cadhost::queueText(kBodyEdge);
  driver.texts.clear();
  asCommand([&] { picked = cad().PickMesh(refs); });
  EXPECT_EQ(picked, 0);
  EXPECT_TRUE(refs.IsEmpty());
  ASSERT_EQ(driver.texts.size(), 1u);
  EXPECT_EQ(driver.texts[0], "A mesh already exists.  Delete mesh before remeshing.");
}

}  // namespace
}  // namespace meshcontest

namespace meshcontest {
namespace {

// UpdateMesh regenerates through the mesh entity: the replacement takes the model's live
// refinements on its body and passes over an erased one.
TEST_F(MeshGenTest, UpdateMeshFollowsTheLiveRefinements) {
  constexpr double kSize = 2.5;
  AcTopoRef* side = named(Ami::kFaceKey, "hole1/side");
  AmgMesh* mesh = generate(bodyOf(plate));
  ASSERT_NE(mesh, nullptr);
  const auto medianOnSide = [&](AmgMesh* current) {
    int kind = 0, index = 0;
    EXPECT_TRUE(current->LocateRef(side, kind, index));
    return median(edgeLengthsOn(*current, kind, index));
  };
  const double plain = medianOnSide(mesh);
  EXPECT_GT(plain, 2.0 * kSize);

  const AcDbObjectId refinement = constrain(Ami::kFaceKey, "hole1/side", kSize, false);
  ASSERT_FALSE(refinement.isNull());
  AmgMesh* before = mesh;
  AnlSubModel* sub = nullptr;
  int updated = 0;
  asCommand([&] { updated = cad().FindSubModelOfMesh(mesh, sub); });
  ASSERT_EQ(updated, 1) << cadhost::printedText();
  EXPECT_NE(mesh, before);
  ASSERT_NE(sub, nullptr);
  inspect([&] { EXPECT_EQ(sub->Mesh(), mesh); });
  EXPECT_LE(medianOnSide(mesh), 1.5 * kSize);

  asCommand([&] { openConstraint(refinement)->erase(); });
  asCommand([&] { updated = cad().UpdateMesh(mesh); });
  ASSERT_EQ(updated, 1);
  EXPECT_GT(medianOnSide(mesh), 1.5 * kSize);
  EXPECT_EQ(liveSubModels(), 1);
}

}  // namespace
}  // namespace meshcontest
