// A temperature result made the body temperature of the current load set, node by node: what
// CreateEnv takes, what it refuses, what the deck then says, and what the solver makes of it.
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRep_Tool.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <string>

#include "ShapeRefs.h"
#include "amg/CaeConfig.h"
#include "amg/CaeList.h"
#include "amg/CaeMaterial.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/CaeElem.h"
#include "fea/CaeFunc.h"
#include "fea/FerResult.h"
#include "fea_fixture.h"
#include "test_env.h"

namespace {

constexpr double kLength = 1.0, kDepth = 0.1;
constexpr double kModelTemp = 400.0, kRefTemp = 300.0;
// The result's field: T = kAtStart + kSlope x, a free bar's stress-free temperature.
constexpr double kAtStart = 320.0, kSlope = 60.0;
constexpr double kExpansion = 1.2e-5;  // NewSteel's

double FieldAt(const CaeVector& p) { return kAtStart + kSlope * p[0]; }

// A steel bar along x, held only against rigid motion at three corners of its end x = 0: the
// origin fixed, (0, d, 0) in x and z, (0, 0, d) in x. Current model and load set of a current
// control.
class ResultEnvTest : public FeaTest {
 protected:
  void SetUp() override {
    FeaTest::SetUp();
    CaeConfig::SetValue(CaeString("Solver Threads"), CaeString("1"), 0);
    AnlSubModel* sub = model.NewSubModelForBody(body.BodyRef());
    sub->AssignMaterial(NewSteel());
    mesh = model.NewMesh(body.BodyRef());
    mesh->SetDefaultSize(0.05);
    mesh->SetElementOrder(2);
    sub->SetMesh(mesh);
    ASSERT_EQ(mesh->MeshIt(), 1);
    Hold(Vertex(CaeVector(0, 0, 0)), {0, 0, 0});
    Hold(Vertex(CaeVector(0, kDepth, 0)), {0, 1, 0});
    Hold(Vertex(CaeVector(0, 0, kDepth)), {0, 1, 1});
    temperature = new AttModelTemp(table.Find(ToAttType(AttCode::BodyTemperature)), nullptr, kModelTemp, kRefTemp);
    conditions.emplace_back(temperature);
    loads.AddLbc(temperature);
    rc.AddLoadCase(&loads, 1.0);
    rc.AddBoundaryCase(&restraints, 1.0);
    control.AddAnlModel(&model);
    control.SetCurrentAnlModel(&model);
    control.AddLoadCase(&loads);
    control.SetCurrentLoadCase(&loads);
    control.SetCurrent();
  }

  // The reference of the vertex at p (found by place).
  CaeTopoRef* Vertex(const CaeVector& p) {
    return Find(TopAbs_VERTEX, 0, [&](const TopoDS_Shape& s) {
      const gp_Pnt q = BRep_Tool::Pnt(TopoDS::Vertex(s));
      return std::fabs(q.X() - p[0]) + std::fabs(q.Y() - p[1]) + std::fabs(q.Z() - p[2]) < 1e-9;
    });
  }
  template <class Test>
  CaeTopoRef* Find(TopAbs_ShapeEnum kind, int refKind, Test test) {
    TopTools_IndexedMapOfShape shapes;
    TopExp::MapShapes(body.Shape(), kind, shapes);
    for (int i = 1; i <= shapes.Extent(); ++i)
      if (test(shapes(i))) return body.Ref(refKind, i);
    ADD_FAILURE() << "no such shape";
    return nullptr;
  }
  // A restraint on the vertex `where` fixing the components that are 0 in `free` (x, y, z).
  void Hold(CaeTopoRef* where, std::array<int, 3> free) {
    AttBaseLbc* c =
        AddCondition(conditions, table, AttCode::VertexRestraint, where, ConstantFunc(CaeVector()), restraints);
    const int flags[6] = {free[0], free[1], free[2], 1, 1, 1};
    c->SetFreeComponents(flags);
  }

  // A temperature result (owned by `set`, made the current result set) with the field's value at
  // every node of the mesh; with `withMesh` the set also keeps where those nodes were.
  FerResult* TemperatureResult(FerResultSet& set, bool withMesh = true) {
    std::vector<long> ids;
    std::vector<double> values;
    auto resultMesh = std::make_shared<FerMesh>();
    CaeList<CaeNode> nodes;
    mesh->Nodes(nodes);
    for (CaeNode* n : nodes) {
      ids.push_back(n->Id());
      values.push_back(FieldAt(n->Coordinate()));
      resultMesh->nodeIds.push_back(n->Id());
      for (int k = 0; k < 3; ++k) resultMesh->coordinates.push_back(n->Coordinate()[k]);
    }
    auto* result = new FerResult(FerQtyTemperature);
    result->SetNodalData(0, ids, values);
    set.AddResult(result);
    if (withMesh) set.SetMesh(resultMesh);
    control.SetCurrentResultSet(&set);
    return result;
  }

  // The deck of the model's result case; empty (and a failure) when it cannot be written.
  std::string Deck(const char* name) {
    AnlWriter writer(&model);
    writer.AddResltCase(&rc);
    CaeString message;
    const auto path = dir / name;
    if (writer.Write(CaeString(path.string()), message) != 1) {
      ADD_FAILURE() << message.Str();
      return {};
    }
    return kestrum::test::readFile(path);
  }

  // Open to the table rows' spoilers.
 public:
  study::ShapeBody body{BRepPrimAPI_MakeBox(kLength, kDepth, kDepth).Shape()};
  AnlModel model{CaeString("Bar"), AnlStress};
  AmgMesh* mesh = nullptr;
  AttLbcDescriptTable table;
  AttLbcCase loads{CaeString("Loads"), AttLbcCase::kLoadSet};
  AttLbcCase restraints{CaeString("Restraints"), AttLbcCase::kRestraintSet};
  AnlResltCase rc{CaeString("Case 1")};
  std::vector<std::unique_ptr<AttBaseLbc>> conditions;
  AttModelTemp* temperature = nullptr;
  FerResultSet results{CaeString("Heat")};
  AnlControl control;  // after the sets it points to: goes first
  kestrum::test::TempDir dir;
};

TEST_F(ResultEnvTest, EveryNodeTakesTheResultsValueAndTheTemperatureBecomesResultsBased) {
  EXPECT_EQ(temperature->IsResultsBased(), 0);
  FerResult* result = TemperatureResult(results);
  EXPECT_EQ(result->EnvNodeCount(), mesh->NumNodes());
  ASSERT_EQ(result->CreateEnv(), mesh->NumNodes());
  EXPECT_EQ(temperature->IsResultsBased(), 1);
  ASSERT_EQ(temperature->NumFlbcs(), mesh->NumNodes());
  for (AttFlbc* f = temperature->FirstFlbc(); f; f = temperature->NextFlbc()) {
    EXPECT_DOUBLE_EQ(f->Value()[0], FieldAt(f->GetNode()->Coordinate()));
    EXPECT_EQ(f->Owner(), temperature);
    ASSERT_NE(f->Descript(), nullptr);
    EXPECT_EQ(f->Descript()->unitType, CaeUtTemperature);
  }
  // Made again, the values replace the ones there (no node twice).
  EXPECT_EQ(result->CreateEnv(), mesh->NumNodes());
  EXPECT_EQ(temperature->NumFlbcs(), mesh->NumNodes());
}

// What CreateEnv refuses leaves the nodal values that were there.
TEST_F(ResultEnvTest, ANonMatchingResultChangesNothing) {
  FerResult* good = TemperatureResult(results);
  ASSERT_GT(good->CreateEnv(), 0);
  const int before = temperature->NumFlbcs();
  struct Row {
    const char* what;
    void (*spoil)(ResultEnvTest& t, FerResult& r);
  };
  const Row rows[] = {
      {"not a temperature", [](ResultEnvTest&, FerResult& r) { r.SetQuantityType(FerQtyStress); }},
      {"nodes moved since",
       [](ResultEnvTest& t, FerResult&) {
         FerResultSet* set = t.control.CurrentResultSet();
         auto moved = std::make_shared<FerMesh>(*set->Mesh());
         for (std::size_t i = 0; i < moved->coordinates.size(); i += 3) moved->coordinates[i] += 0.01;
         set->SetMesh(moved);
       }},
      {"no values at all", [](ResultEnvTest&, FerResult& r) { r.SetNodalData(0, {}, {}); }},
      {"not finite",
       [](ResultEnvTest&, FerResult& r) {
         std::vector<double> values(r.NodeValues(0).size(), std::numeric_limits<double>::quiet_NaN());
         r.SetNodalData(0, r.NodeIds(0), values);
       }},
      {"no load set", [](ResultEnvTest& t, FerResult&) { t.control.ClearCurrentLoadCase(); }},
      {"no current model", [](ResultEnvTest& t, FerResult&) { t.control.ClearCurrentAnlModel(); }},
  };
  for (const Row& row : rows) {
    FerResultSet set(CaeString("Heat"));
    FerResult* result = TemperatureResult(set);
    row.spoil(*this, *result);
    EXPECT_EQ(result->CreateEnv(), 0) << row.what;
    EXPECT_EQ(temperature->NumFlbcs(), before) << row.what;
    control.ClearCurrentResultSet();
    control.SetCurrentLoadCase(&loads);
    control.SetCurrentAnlModel(&model);
  }
}

TEST_F(ResultEnvTest, NodesTheResultDoesNotHaveKeepTheUniformTemperature) {
  FerResult* result = TemperatureResult(results, false);
  // Only the nodes of the first half of the bar have values.
  std::vector<long> ids;
  std::vector<double> values;
  CaeList<CaeNode> nodes;
  mesh->Nodes(nodes);
  for (CaeNode* n : nodes)
    if (n->Coordinate()[0] < kLength / 2) {
      ids.push_back(n->Id());
      values.push_back(FieldAt(n->Coordinate()));
    }
  result->SetNodalData(0, ids, values);
  ASSERT_EQ(result->CreateEnv(), static_cast<int>(ids.size()));

  const std::string deck = Deck("deck.inp");
  const std::size_t block = deck.find("*TEMPERATURE\nNALL,400\n");
  ASSERT_NE(block, std::string::npos) << deck;
  // One line per node with a value, after the uniform one, none for the others.
  std::size_t lines = 0;
  const std::size_t uniformEnd = deck.find('\n', deck.find("NALL,400", block));
  for (std::size_t at = uniformEnd; at != std::string::npos && deck[at + 1] != '*'; at = deck.find('\n', at + 1))
    ++lines;
  EXPECT_EQ(lines, ids.size());
  const std::string first = std::to_string(ids.front()) + ",";
  EXPECT_NE(deck.find("\n" + first, block), std::string::npos);
}

// The oracle: a free bar at T = a + b x expands by alpha L (a + b L / 2 - Tref) without stress;
// a uniform model temperature would give alpha L (400 - Tref), three times as much.
TEST_F(ResultEnvTest, AFreeBarExpandsByTheResultsTemperatureNotTheUniformOne) {
  ASSERT_GT(TemperatureResult(results)->CreateEnv(), 0);
  FerResultSet solved(CaeString("bar"));
  ASSERT_TRUE(SolveAndRead(model, rc, dir / "bar.inp", solved));
  FerResult* displacement = solved.FindResult(FerQtyDisplacement);
  ASSERT_NE(displacement, nullptr);
  // Along the axis: ux(L) = alpha (a + b L / 2 - Tref) L. Across each end: it widens by its own
  // temperature, uy(x, d, 0) - uy(x, 0, 0) = alpha (T(x) - Tref) d, the far end four times as much
  // as the near one. Both are free of rigid motion.
  auto corner = [&](double x, double y, int component) {
    CaeList<CaeNode> nodes;
    mesh->Nodes(nodes);
    for (CaeNode* n : nodes) {
      const CaeVector p = n->Coordinate();
      double u = 0.0;
      if (std::fabs(p[0] - x) + std::fabs(p[1] - y) + std::fabs(p[2]) < 1e-9 &&
          displacement->NodeValue(0, n->Id(), component, u))
        return u;
    }
    ADD_FAILURE() << "no node at (" << x << ", " << y << ", 0)";
    return 0.0;
  };
  const double alongBar = kExpansion * kLength * (kAtStart + kSlope * kLength / 2 - kRefTemp);
  EXPECT_NEAR(corner(kLength, 0, 0) - corner(0, 0, 0), alongBar, 1e-3 * alongBar);
  for (double x : {0.0, kLength}) {
    const double across = kExpansion * (FieldAt(CaeVector(x, 0, 0)) - kRefTemp) * kDepth;
    EXPECT_NEAR(corner(x, kDepth, 1) - corner(x, 0, 1), across, 1e-3 * across) << "end at x = " << x;
  }
  // Stress free: von Mises far below what the same temperatures held fixed would give.
  FerResult* stress = solved.FindResult(FerQtyStress);
  ASSERT_NE(stress, nullptr);
  double low = 0.0, high = 0.0;
  ASSERT_TRUE(stress->Range(0, 0, low, high));
  EXPECT_LT(high, 1e-3 * 2.1e11 * kExpansion * kSlope * kLength);
}

}  // namespace

// A remesh frees the nodes the values were taken on: the deck then gives the uniform temperature
// only, even where the allocator hands a new node the address of a freed one.
TEST_F(ResultEnvTest, ValuesOfNodesARemeshFreedAreNotApplied) {
  ASSERT_GT(TemperatureResult(results)->CreateEnv(), 0);
  ASSERT_EQ(mesh->MeshIt(), 1);
  const std::string deck = Deck("remeshed.inp");
  const std::size_t block = deck.find("*TEMPERATURE\nNALL,400\n");
  ASSERT_NE(block, std::string::npos) << deck;
  EXPECT_EQ(deck[block + std::string("*TEMPERATURE\nNALL,400\n").size()], '*') << "no nodal line follows";

  alignas(CaeNode) unsigned char storage[sizeof(CaeNode)];
  CaeNode* first = new (storage) CaeNode(CaeVector(1, 2, 3), 7);
  const AttFlbc value(first, temperature->GetFDesc(), temperature, CaeVector(350, 0, 0), AttLbcComponents());
  EXPECT_TRUE(value.IsOn(*first));
  first->~CaeNode();
  CaeNode* later = new (storage) CaeNode(CaeVector(1, 2, 3), 7);
  EXPECT_FALSE(value.IsOn(*later)) << "same address, same id, another node";
  EXPECT_EQ(value.NodeId(), 7);
  later->~CaeNode();
}
