// Shell models: triangles with a thickness, solved; a shell cantilever bends as beam theory says.
#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <Bnd_Box.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <gp_Pln.hxx>

#include <cmath>
#include <memory>

#include "ShapeRefs.h"
#include "amg/CaeConfig.h"
#include "amg/CaeMaterial.h"
#include "fea/AmgMesh.h"
#include "fea/AnlJob.h"
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

// The TopExp index of the edge of `shape` lying at x = `x`.
int EdgeAt(const TopoDS_Shape& shape, double x) {
  TopTools_IndexedMapOfShape edges;
  TopExp::MapShapes(shape, TopAbs_EDGE, edges);
  for (int i = 1; i <= edges.Extent(); ++i) {
    Bnd_Box box;
    BRepBndLib::Add(edges(i), box, false);
    double x0, y0, z0, x1, y1, z1;
    box.Get(x0, y0, z0, x1, y1, z1);
    if (std::fabs(x0 - x) < 1e-6 && std::fabs(x1 - x) < 1e-6) return i;
  }
  return 0;
}

class ShellTest : public FeaTest {
 protected:
  void SetUp() override {
    FeaTest::SetUp();
    CaeConfig::SetValue(CaeString("Solver Threads"), CaeString("1"), 0);
  }
  kestrum::test::TempDir dir;
};

// A 1 m x 0.1 m steel strip, 10 mm thick, clamped along one short edge, 1 N across its plane at
// the other: deflection P L^3 / (3 E b t^3 / 12).
TEST_F(ShellTest, AShellCantileverBendsAsBeamTheorySays) {
  study::ShapeBody body(BRepBuilderAPI_MakeFace(gp_Pln(), 0, 1, 0, 0.1).Shape());
  AnlModel model(CaeString("Strip"), AnlStress);
  AnlSubModel* sub = model.NewSubModelForBody(body.BodyRef());
  sub->AssignMaterial(NewSteel());
  AmgMesh* mesh = model.NewMesh(body.BodyRef());
  mesh->SetElementType(CaeElemShell);
  mesh->SetDefaultSize(0.025);
  sub->SetMesh(mesh);

  AnlResltCase rc(CaeString("Case 1"));
  AttLbcCase loads(CaeString("Loads"), AttLbcCase::kLoadSet),
      restraints(CaeString("Restraints"), AttLbcCase::kRestraintSet);
  AttLbcDescriptTable table;
  AttLbc clamp(table.Find(ToAttType(AttCode::EdgeRestraint)), body.Ref(CaeTopoRef::kEdge, EdgeAt(body.Shape(), 0.0)),
               ConstantFunc(CaeVector()), nullptr, nullptr);
  AttLbc tip(table.Find(ToAttType(AttCode::EdgeTotalForce)), body.Ref(CaeTopoRef::kEdge, EdgeAt(body.Shape(), 1.0)),
             ConstantFunc(CaeVector(0, 0, -1)), nullptr, nullptr);
  restraints.AddLbc(&clamp);
  loads.AddLbc(&tip);
  rc.AddLoadCase(&loads, 1.0);
  rc.AddBoundaryCase(&restraints, 1.0);
  std::unique_ptr<AnlWriter> writer(model.DeckWriter(AnlCodeSolve));
  writer->AddResltCase(&rc);

  CaeArray<CaeString> reasons;
  EXPECT_EQ(writer->Check(reasons), 0) << "a shell needs its thickness";
  auto* thickness = new CaeElemProp;
  thickness->SetPropValue(CaeElemProp::kThickness, 0.01);
  sub->AssignProp(thickness);

  CaeString message;
  AnlJob* job =
      model.SubmitAnalysis(writer.get(), CaeString((dir / "strip.inp").string()), nullptr, 0, message, AnlCodeSolve);
  ASSERT_NE(job, nullptr) << message.Str();
  EXPECT_NE(kestrum::test::readFile(job->DeckName().Str()).find("*SHELL SECTION, ELSET=P1, MATERIAL=M1\n0.01\n"),
            std::string::npos);
  ASSERT_EQ(job->Wait(), 1) << kestrum::test::readFile(job->ErrorFile().Str());
  FerResultSet set(CaeString("strip"));
  ASSERT_TRUE(Succeeded(FrdReader::Read(job->ResultsFile().Str(), AnlStress, job->UnitSystem(), set)));
  double low = 0, high = 0;
  ASSERT_TRUE(set.FindResult(FerQtyDisplacement)->Range(0, 3, low, high));
  const double expected = 1.0 / (3 * 2.1e11 * 0.1 * std::pow(0.01, 3) / 12);
  EXPECT_NEAR(high, expected, 0.03 * expected);
}

}  // namespace
