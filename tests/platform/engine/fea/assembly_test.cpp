// Two parts of an assembly analysed as one: joined by shared nodes or tied by a mating relation,
// a two-part cantilever bends like the one-piece beam.
#include <BRepPrimAPI_MakeBox.hxx>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "ShapeRefs.h"
#include "amg/CaeConfig.h"
#include "amg/CaeMaterial.h"
#include "fea/AmgMesh.h"
#include "fea/AnlJob.h"
#include "fea/AnlMateRel.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/CaeFunc.h"
#include "fea/FerResult.h"
#include "fea/FrdReader.h"
#include "fea_fixture.h"
#include "test_env.h"

namespace {

// Two 1 m lengths of a 0.1 m square steel beam, end to end along x; faces of each box: 1 x=min,
// 2 x=max.
class AssemblyTest : public FeaTest {
 protected:
  void SetUp() override {
    FeaTest::SetUp();
    CaeConfig::SetValue(CaeString("Solver Threads"), CaeString("1"), 0);
    for (int i = 0; i < 2; ++i) {
      AnlSubModel* sub = model.NewSubModelForBody(bodies[i]->BodyRef());
      sub->AssignMaterial(NewSteel());
      meshes[i] = model.NewMesh(bodies[i]->BodyRef());
      meshes[i]->SetDefaultSize(0.05);
      sub->SetMesh(meshes[i]);
    }
    Add(AttCode::FaceRestraint, *bodies[0], 1, CaeVector(), restraints);
    Add(AttCode::FaceTotalForce, *bodies[1], 2, CaeVector(0, 0, -1000), loads);
    rc.AddLoadCase(&loads, 1.0);
    rc.AddBoundaryCase(&restraints, 1.0);
  }

  void Add(AttCode code, study::ShapeBody& body, int face, const CaeVector& value, AttLbcCase& set) {
    AddCondition(conditions, table, code, body.Ref(CaeTopoRef::kFace, face), ConstantFunc(value), set);
  }

  double TipDeflection() {
    FerResultSet set(CaeString("beam"));
    if (!SolveAndRead(model, rc, dir / "beam.inp", set)) return 0;
    double low = 0, high = 0;
    FerResult* u = set.FindResult(FerQtyDisplacement);
    EXPECT_TRUE(u && u->Range(0, 3, low, high));
    return high;
  }

  // P L^3 / (3 E I) for the whole 2 m beam.
  static double Expected() { return 1000.0 * 8.0 / (3 * 2.1e11 * std::pow(0.1, 4) / 12); }

  std::unique_ptr<study::ShapeBody> bodies[2] = {
      std::make_unique<study::ShapeBody>(BRepPrimAPI_MakeBox(1.0, 0.1, 0.1).Shape()),
      std::make_unique<study::ShapeBody>(BRepPrimAPI_MakeBox(gp_Pnt(1, 0, 0), 1.0, 0.1, 0.1).Shape())};
  AnlModel model{CaeString("Assembly"), AnlStress};
  AmgMesh* meshes[2] = {nullptr, nullptr};
  AttLbcDescriptTable table;
  AttLbcCase loads{CaeString("Loads"), AttLbcCase::kLoadSet};
  AttLbcCase restraints{CaeString("Restraints"), AttLbcCase::kRestraintSet};
  AnlResltCase rc{CaeString("Case 1")};
  std::vector<std::unique_ptr<AttBaseLbc>> conditions;
  kestrum::test::TempDir dir;
};

TEST_F(AssemblyTest, JoinedPartsBendAsOneBeam) {
  ASSERT_EQ(AmgMesh::MeshJoined({meshes[0], meshes[1]}), 1);
  EXPECT_NEAR(TipDeflection(), Expected(), 0.02 * Expected());
}

TEST_F(AssemblyTest, TiedPartsBendAsOneBeam) {
  AttMateRel first(bodies[0]->Ref(CaeTopoRef::kFace, 2)), second(bodies[1]->Ref(CaeTopoRef::kFace, 1));
  AnlMateRelPair pair(&first, &second);
  model.AddMateRelPair(&pair);
  model.SetMateRelTolerance(1e-4);
  EXPECT_NEAR(TipDeflection(), Expected(), 0.03 * Expected());
}

TEST_F(AssemblyTest, UntiedPartsAreRefused) {
  std::unique_ptr<AnlWriter> writer(model.DeckWriter(AnlCodeSolve));
  writer->AddResltCase(&rc);
  CaeArray<CaeString> reasons;
  // The loaded part has no restraint of its own: without a join the solver would find it free.
  EXPECT_EQ(writer->Check(reasons), 0);
  ASSERT_EQ(reasons.Count(), 1);
  EXPECT_NE(reasons[0].Str().find("number 2 is neither restrained nor joined"), std::string::npos) << reasons[0].Str();
  EXPECT_GT(meshes[1]->NumNodes(), 0) << "the deferred meshes were made, numbered one after the other";
}

// A pair the deck cannot tie is refused by name, and its parts do not count as joined.
TEST_F(AssemblyTest, PairsThatCannotBeTiedAreRefusedByName) {
  struct Row {
    const char* name;
    CaeTopoRef* first;
    CaeTopoRef* second;
    const char* why;
  };
  const Row rows[] = {
      {"Same part", bodies[0]->Ref(CaeTopoRef::kFace, 2), bodies[0]->Ref(CaeTopoRef::kFace, 1),
       "both faces belong to the same part"},
      {"Face to edge", bodies[0]->Ref(CaeTopoRef::kFace, 2), bodies[1]->Ref(CaeTopoRef::kEdge, 1),
       "only faces of solid parts can be tied"},
  };
  // The model keeps the pairs it was given (a deleted one marked erased) for the test's length.
  std::vector<std::unique_ptr<AttMateRel>> relations;
  std::vector<std::unique_ptr<AnlMateRelPair>> pairs;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    relations.push_back(std::make_unique<AttMateRel>(row.first));
    relations.push_back(std::make_unique<AttMateRel>(row.second));
    pairs.push_back(std::make_unique<AnlMateRelPair>(relations[relations.size() - 2].get(), relations.back().get()));
    AnlMateRelPair& pair = *pairs.back();
    pair.SetName(CaeString(row.name));
    model.AddMateRelPair(&pair);
    std::unique_ptr<AnlWriter> writer(model.DeckWriter(AnlCodeSolve));
    writer->AddResltCase(&rc);
    CaeArray<CaeString> reasons;
    EXPECT_EQ(writer->Check(reasons), 0);
    std::string all;
    for (int i = 0; i < reasons.Count(); ++i) all += reasons[i].Str() + "\n";
    EXPECT_NE(all.find("The mating relation " + std::string(row.name) + " cannot be tied: " + row.why + "."),
              std::string::npos)
        << all;
    EXPECT_NE(all.find("number 2 is neither restrained nor joined"), std::string::npos) << all;
    model.DeleteMateRelPair(&pair);
  }
}

}  // namespace
