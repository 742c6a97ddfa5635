// Picking part geometry on the command line: every pick kind against every kind of answer, with
// the condition and mesh layers hidden during the pick and put back as they were afterwards.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "amg/CaeExcept.h"
#include "amg/CaeString.h"
#include "arx/acutads.h"
#include "arx/brbrep.h"
#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadTransactionScope.h"
#include "fea/AnlControl.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "topo_fixture.h"
#include "util/acBrEnt.h"
#include "util/acLayer.h"
#include "util/acObjKey.h"
#include "util/acSelect.h"

namespace {

using topotest::TopoTest;

constexpr char kFailed[] = "Geometry selection failed.";

// -1 when the layer does not exist, else 1 on, 0 off.
int layerState(const char* name) {
  AcDbLayerTable* layers = nullptr;
  if (TopoTest::db()->getLayerTable(layers, AcDb::kForRead) != Acad::eOk) return -1;
  AcDbLayerTableRecord* layer = nullptr;
  const Acad::ErrorStatus found = layers->getAt(name, layer, AcDb::kForRead);
  layers->close();
  if (found != Acad::eOk) return -1;
  const int on = layer->isOff() ? 0 : 1;
  layer->close();
  return on;
}

// Makes a layer exist (or not) in a given state: -1 missing, 0 off, 1 on.
void prepareLayer(int number, int state) {
  if (state < 0) return;
  AcDbObjectId id;
  acGetLayer(acCaeLayerName(number), id);
  acShowCaeLayer(number, state);
}

int countOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

// What the picked entity must be: a subentity by kind and name in the part, or its body.
struct Expected {
  Ami::KeyType type = Ami::kAnyKey;  // kAnyKey: nothing picked
  const char* name = "";             // the name in the part; empty with kBodyKey
};

struct PickCase {
  const char* label;
  int kind;
  std::vector<std::string> answers;  // lines; "<PATH n>" is a pick of face n of the part
  Expected expected;
  int failures;  // "Geometry selection failed." lines
  const char* prompt;
};

const PickCase kPickCases[] = {
    {"FacePointOnTop", kPickFace, {"150,20,10"}, {Ami::kFaceKey, "plate/top"}, 0, "Select geometry (face):"},
    {"FaceByKeyName", kPickFace, {"plate/plate/left"}, {Ami::kFaceKey, "plate/left"}, 0, "Select geometry (face):"},
    {"FacePointOnHoleWall", kPickFace, {"115,50,5"}, {Ami::kFaceKey, "hole1/side"}, 0, "Select geometry (face):"},
    {"FaceOffThePartAsksAgain", kPickFace, {"500,500,500", "150,20,10"}, {Ami::kFaceKey, "plate/top"}, 1, nullptr},
    {"FaceGivenAnEdgeAsksAgain",
     kPickFace,
     {"plate/plate/front|plate/top", "plate/plate/top"},
     {Ami::kFaceKey, "plate/top"},
     1,
     nullptr},
    {"FaceUnknownKeyAsksAgain", kPickFace, {"plate/plate/nowhere", "^["}, {}, 1, nullptr},
    {"FaceUnknownPartAsksAgain", kPickFace, {"gear/plate/top", "^["}, {}, 1, nullptr},
    {"FaceStalePathAsksAgain", kPickFace, {"<PATH 99>", "<PATH 3>"}, {Ami::kFaceKey, "plate/top"}, 1, nullptr},
    {"FaceEscapeEndsQuietly", kPickFace, {"^["}, {}, 0, nullptr},
    {"FaceEndOfInputEndsQuietly", kPickFace, {}, {}, 0, nullptr},
    {"EdgePointOnTopFront",
     kPickEdge,
     {"100,0,10"},
     {Ami::kEdgeKey, "plate/front|plate/top"},
     0,
     "Select geometry (edge):"},
    {"EdgeByKeyName", kPickEdge, {"plate/hole1/side|plate/top"}, {Ami::kEdgeKey, "hole1/side|plate/top"}, 0, nullptr},
    {"EdgeGivenAFaceAsksAgain", kPickEdge, {"plate/plate/top", "^["}, {}, 1, nullptr},
    {"EdgeOffThePartAsksAgain", kPickEdge, {"100,40,10", "^["}, {}, 1, nullptr},
    {"VertexPointOnCorner",
     kPickVertex,
     {"0,0,10"},
     {Ami::kVertexKey, "plate/front&plate/left&plate/top"},
     0,
     "Select geometry (vertex):"},
    {"VertexByKeyName",
     kPickVertex,
     {"plate/plate/back&plate/left&plate/top"},
     {Ami::kVertexKey, "plate/back&plate/left&plate/top"},
     0,
     nullptr},
    {"VertexGivenAnEdgeAsksAgain", kPickVertex, {"plate/plate/front|plate/top", "^["}, {}, 1, nullptr},
    {"VertexOffThePartAsksAgain", kPickVertex, {"100,0,10", "^["}, {}, 1, nullptr},
    {"SolidThroughAnEdgePoint", kPickSolid, {"100,0,10"}, {Ami::kBodyKey, ""}, 0, "Select geometry (solid):"},
    {"SolidThroughAnEdgeName", kPickSolid, {"plate/hole1/side|plate/bottom"}, {Ami::kBodyKey, ""}, 0, nullptr},
    // The solid is picked through its edges: a face name or a point inside a face is another kind.
    {"SolidGivenAFaceAsksAgain",
     kPickSolid,
     {"plate/plate/top", "150,20,10", "0,50,0"},
     {Ami::kBodyKey, ""},
     2,
     nullptr},
    {"SolidEscapeEndsQuietly", kPickSolid, {"^["}, {}, 0, nullptr},
    {"AnyKindPointGivesTheFace", 7, {"150,20,10"}, {Ami::kFaceKey, "plate/top"}, 0, "Select geometry:"},
};

// The layers as they are before the pick: condition layer, mesh layer (-1 missing, 0 off, 1 on).
struct LayerSetup {
  const char* label;
  int conditions;
  int mesh;
  int hideMesh;
};

const LayerSetup kLayerSetups[] = {
    {"BothOn", 1, 1, 1},
    {"ConditionsOff", 0, 1, 1},
    {"MeshMissing", 1, -1, 1},
    {"MeshShownWhenNotHidden", 1, 1, 0},
};

void PrintTo(const PickCase& c, std::ostream* out) { *out << c.label; }
void PrintTo(const LayerSetup& s, std::ostream* out) { *out << s.label; }

class PickTest : public TopoTest, public ::testing::WithParamInterface<std::tuple<PickCase, LayerSetup>> {
 protected:
  void SetUp() override {
    TopoTest::SetUp();
    part_ = loadPart("plate_with_hole");
    cadhost::clearPrintedText();
  }

  // The canonical entity the case expects, or null.
  AcBrEntity* expectedEntity(const Expected& expected) {
    if (expected.type == Ami::kAnyKey) return nullptr;
    if (expected.type == Ami::kBodyKey) {
      AcBrBrep body;
      EXPECT_EQ(body.setSubentPath(AcDbFullSubentPath(part_, AcDbSubentId())), AcBr::eOk);
      return acCanonicalBrEntity(&body);
    }
    AcBrEntity* entity = acBrEntityFromKey(keep(new AmiObjectKey(expected.type, part_, expected.name)));
    EXPECT_NE(entity, nullptr) << expected.name;
    return entity;
  }

  // Serves the answers one per prompt, recording the layers each time the pick waits.
  void serve(const std::vector<std::string>& answers) {
    next_ = 0;
    cadhost::setInputSource([this, answers](std::string& line) {
      seenDuringPick_.push_back({layerState("CAE_LBC"), layerState("CAE_MESH")});
      while (next_ < answers.size()) {
        const std::string& answer = answers[next_++];
        int index = 0;
        if (std::sscanf(answer.c_str(), "<PATH %d>", &index) == 1) {
          cadhost::queuePick(AcDbFullSubentPath(part_, AcDbSubentId(AcDb::kFaceSubentType, index)));
          return false;  // no line: the queue has the pick
        }
        line = answer;
        return true;
      }
      return false;
    });
  }

  void TearDown() override {
    cadhost::setInputSource(nullptr);
    TopoTest::TearDown();
  }

  AcDbObjectId part_;
  std::size_t next_ = 0;
  std::vector<std::pair<int, int>> seenDuringPick_;
};

TEST_P(PickTest, AnswersAndLayers) {
  const auto& [c, layers] = GetParam();
  prepareLayer(kCaeLayerLbc, layers.conditions);
  prepareLayer(kCaeLayerMesh, layers.mesh);
  AcBrEntity* expected = expectedEntity(c.expected);
  serve(c.answers);

  AcBrEntity* picked = acPickTopology(c.kind, layers.hideMesh);

  const std::string printed = cadhost::printedText();
  EXPECT_EQ(picked, expected) << printed;
  EXPECT_EQ(countOf(printed, kFailed), c.failures) << printed;
  if (c.prompt) {
    EXPECT_NE(printed.find(c.prompt), std::string::npos) << printed;
  }
  // During the pick: conditions hidden (when the layer exists), the mesh hidden only when asked.
  ASSERT_FALSE(seenDuringPick_.empty());
  for (const auto& [conditions, mesh] : seenDuringPick_) {
    EXPECT_EQ(conditions, layers.conditions < 0 ? -1 : 0);
    EXPECT_EQ(mesh, layers.mesh < 0 ? -1 : (layers.hideMesh ? 0 : layers.mesh));
  }
  // Afterwards: as before, a missing layer still missing.
  EXPECT_EQ(layerState("CAE_LBC"), layers.conditions);
  EXPECT_EQ(layerState("CAE_MESH"), layers.mesh);
}

INSTANTIATE_TEST_SUITE_P(Table, PickTest,
                         ::testing::Combine(::testing::ValuesIn(kPickCases), ::testing::ValuesIn(kLayerSetups)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).label) + "_" + std::get<1>(info.param).label;
                         });

class PickOnceTest : public PickTest {};

TEST_F(PickOnceTest, TheSameFacePickedTwiceIsOneCanonicalEntity) {
  serve({"150,20,10", "plate/plate/top", "160,30,10"});
  AcBrEntity* first = acPickTopology(kPickFace, 1);
  AcBrEntity* second = acPickTopology(kPickFace, 1);
  AcBrEntity* third = acPickTopology(kPickFace, 1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(second, first);
  EXPECT_EQ(third, first);
  EXPECT_NE(dynamic_cast<AcBrFace*>(first), nullptr);
}

TEST_F(PickOnceTest, AnEngineExceptionDuringThePickPutsTheLayersBack) {
  prepareLayer(kCaeLayerLbc, 1);
  prepareLayer(kCaeLayerMesh, 1);
  cadhost::setInputSource([](std::string&) -> bool {
    EXPECT_EQ(layerState("CAE_LBC"), 0);
    throw CaeExcept(CaeString("interrupted"));
  });
  EXPECT_THROW(acPickTopology(kPickFace, 1), CaeExcept);
  EXPECT_EQ(layerState("CAE_LBC"), 1);
  EXPECT_EQ(layerState("CAE_MESH"), 1);
}

TEST(PickKeyType, ByPickKind) {
  const int expected[][2] = {{kPickSolid, Ami::kBodyKey},    {kPickFace, Ami::kFaceKey}, {kPickEdge, Ami::kEdgeKey},
                             {kPickVertex, Ami::kVertexKey}, {4, Ami::kAnyKey},          {-1, Ami::kAnyKey}};
  for (const auto& [kind, type] : expected) EXPECT_EQ(acPickKeyType(kind), type) << kind;
}

}  // namespace

namespace {

// The menu-state questions follow the current analysis control.
class MenuStateTest : public topotest::TopoTest {
 protected:
  void SetUp() override {
    TopoTest::SetUp();
    cad_ = CadInterface::GetCurrent();
    ASSERT_NE(cad_, nullptr);
    transaction_ = std::make_unique<CadTransactionScope>(*cad_);
    transaction_->Start();
  }
  void TearDown() override {
    transaction_.reset();  // aborted
    TopoTest::TearDown();
  }
  CadInterface* cad_ = nullptr;
  std::unique_ptr<CadTransactionScope> transaction_;
};

TEST_F(MenuStateTest, CurrentModelSetsJobsAndResults) {
  EXPECT_FALSE(acHasCurrentModel());
  EXPECT_FALSE(acHasCurrentLoadCase());
  EXPECT_FALSE(acHasCurrentRestraintCase());
  EXPECT_FALSE(acCurrentModelHasJobOrResult());
  EXPECT_FALSE(acHasCurrentResults());

  cad_->SelectOrCreateModel("Stress1", 0);
  cad_->SelectOrCreateLoadCase("Loads1");
  EXPECT_TRUE(acHasCurrentModel());
  EXPECT_TRUE(acHasCurrentLoadCase());
  EXPECT_FALSE(acHasCurrentRestraintCase());
  cad_->SelectOrCreateRestraintCase("Restraints1");
  EXPECT_TRUE(acHasCurrentRestraintCase());

  AnlModel* model = AnlControl::GetCurrent()->CurrentAnlModel();
  AnlJob* job = model->NewJob();
  ASSERT_NE(job, nullptr);
  EXPECT_TRUE(acCurrentModelHasJobOrResult());
  EXPECT_FALSE(acHasCurrentResults());                            // no current result set
  ASSERT_EQ(dynamic_cast<AcDbObject*>(job)->erase(), Acad::eOk);  // its mark follows the drawing
  EXPECT_FALSE(acCurrentModelHasJobOrResult());
  FerResultSet* results = model->NewResultSet(CaeString("Results1"));
  ASSERT_NE(results, nullptr);
  EXPECT_TRUE(acCurrentModelHasJobOrResult());
  AnlControl::GetCurrent()->SetCurrentResultSet(results);
  EXPECT_TRUE(acHasCurrentResults());
  EXPECT_EQ(acOptimizationAvailable(), cad_->QueryModelState(ModelQuestion::OptimizationOffered) != 0);
  EXPECT_EQ(acOptimizationResultsAvailable(), cad_->QueryModelState(ModelQuestion::ShapeResults) != 0);
}

TEST_F(MenuStateTest, QueuedExpressions) {
  cadhost::runQueuedExpressions();
  cadhost::clearEvaluatedExpressions();
  EXPECT_TRUE(acQueueStringExpression(232));     // the pull-down's menu command
  EXPECT_FALSE(acQueueStringExpression(65000));  // no text
  EXPECT_TRUE(acQueueExpression("(menucmd \"Gacad.pop16=-\")"));
  const std::vector<std::string> expected = {"(menucmd \"P11=+acad.pop16\")", "(menucmd \"Gacad.pop16=-\")"};
  EXPECT_EQ(cadhost::pendingExpressions(), expected);
  cadhost::runQueuedExpressions();
}

}  // namespace
