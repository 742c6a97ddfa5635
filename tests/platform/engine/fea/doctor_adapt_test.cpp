// The design doctor's element shape measures, and refinement that changes every mesh or none.
#include <BRepPrimAPI_MakeBox.hxx>

#include <cmath>
#include <limits>
#include <memory>

#include "ShapeRefs.h"
#include "amg/CaeList.h"
#include "fea/AmgMesh.h"
#include "fea/AnlModel.h"
#include "fea/FerDoctor.h"
#include "fea/FerResult.h"
#include "fea_fixture.h"

namespace {

class DoctorAdaptTest : public FeaTest {};

// Regular, flattened and inverted tetrahedra, and a quadratic one with a midside node pushed off
// its edge.
TEST_F(DoctorAdaptTest, ShapeMeasuresOfRegularFlatAndInvertedTetrahedra) {
  const double s = std::sqrt(2.0);
  // A regular tetrahedron: alternate corners of a cube, edge sqrt(2).
  const double regular[4][3] = {{0, 0, 0}, {1, 0, 1}, {1, 1, 0}, {0, 1, 1}};
  const FerElementShape r = FerDoctor::MeasureTet(regular, 4);
  EXPECT_NEAR(r.aspectRatio, 1.0, 1e-12);
  EXPECT_NEAR(r.scaledJacobian, 1.0, 1e-12);
  EXPECT_EQ(r.midsideDistortion, 0.0);

  // Its fourth corner pressed almost into the opposite face, just above that face's centroid.
  const double flat[4][3] = {{0, 0, 0}, {1, 0, 1}, {1, 1, 0}, {2.0 / 3 - 0.01, 1.0 / 3 + 0.01, 1.0 / 3 + 0.01}};
  const FerElementShape f = FerDoctor::MeasureTet(flat, 4);
  EXPECT_GT(f.aspectRatio, 10.0);
  EXPECT_GT(f.scaledJacobian, 0.0);
  EXPECT_LT(f.scaledJacobian, 0.05);

  // Two corners swapped: the same shape turned inside out.
  const double inverted[4][3] = {{1, 0, 1}, {0, 0, 0}, {1, 1, 0}, {0, 1, 1}};
  const FerElementShape i = FerDoctor::MeasureTet(inverted, 4);
  EXPECT_NEAR(i.scaledJacobian, -1.0, 1e-12);
  EXPECT_NEAR(i.aspectRatio, 1.0, 1e-12) << "the aspect ratio does not see the orientation";

  // Ten nodes: midsides at their edges' middles except the first, moved off by a tenth of the edge.
  double quadratic[10][3];
  const int edges[6][2] = {{0, 1}, {1, 2}, {2, 0}, {0, 3}, {1, 3}, {2, 3}};
  for (int k = 0; k < 4; ++k)
    for (int a = 0; a < 3; ++a) quadratic[k][a] = regular[k][a];
  for (int e = 0; e < 6; ++e)
    for (int a = 0; a < 3; ++a) quadratic[4 + e][a] = (regular[edges[e][0]][a] + regular[edges[e][1]][a]) / 2;
  EXPECT_EQ(FerDoctor::MeasureTet(quadratic, 10).midsideDistortion, 0.0);
  quadratic[4][2] += 0.1 * s;
  EXPECT_NEAR(FerDoctor::MeasureTet(quadratic, 10).midsideDistortion, 0.1, 1e-12);
}

// Two bodies meshed; the second's geometry is gone by the time it is refined. The first mesh
// must not be remade either: results would otherwise be shown on a mesh they were not computed on.
TEST_F(DoctorAdaptTest, RefinementChangesEveryMeshOrNone) {
  study::ShapeBody first(BRepPrimAPI_MakeBox(0.1, 0.05, 0.05).Shape());
  AnlModel model(CaeString("Two"), AnlStress);
  AmgMesh* meshes[2];
  for (int i = 0; i < 2; ++i) {
    AnlSubModel* sub = model.NewSubModelForBody(i == 0 ? first.BodyRef() : nullptr);
    meshes[i] = model.NewMesh(i == 0 ? first.BodyRef() : nullptr);
    if (i == 1) meshes[i]->SetShape(BRepPrimAPI_MakeBox(gp_Pnt(0.2, 0, 0), 0.1, 0.05, 0.05).Shape());
    meshes[i]->SetDefaultSize(0.025);
    meshes[i]->SetFirstIds(1 + 100000 * i, 1 + 100000 * i);
    ASSERT_TRUE(meshes[i]->MeshIt());
    sub->SetMesh(meshes[i]);
  }
  // Results on both meshes with a large error everywhere.
  auto mesh = std::make_shared<FerMesh>();
  std::vector<long> ids;
  std::vector<double> errors, stresses;
  for (AmgMesh* m : meshes) {
    CaeList<CaeNode> nodes;
    m->Nodes(nodes);
    for (CaeNode* n : nodes) {
      mesh->nodeIds.push_back(n->Id());
      for (int a = 0; a < 3; ++a) mesh->coordinates.push_back(n->Coordinate()[a]);
      ids.push_back(n->Id());
      errors.push_back(40.0);
      for (int c = 0; c < 10; ++c) stresses.push_back(1e6);
    }
    CaeList<CaeElem> elements;
    m->Elements(elements);
    mesh->elementStarts.push_back(mesh->elementNodes.size());
    for (CaeElem* e : elements) {
      mesh->elementIds.push_back(e->Id());
      mesh->elementTypes.push_back(FerMesh::kTet10);
      for (int k = 0; k < e->NumNodes(); ++k) mesh->elementNodes.push_back(e->Node(k)->Id());
      mesh->elementStarts.push_back(mesh->elementNodes.size());
    }
    mesh->elementStarts.pop_back();
  }
  mesh->elementStarts.push_back(mesh->elementNodes.size());
  FerResultSet results(CaeString("Case 1"));
  results.SetMesh(mesh);
  auto* estimate = new FerResult(FerQtyErrorEstimate);
  estimate->SetNodalData(0, ids, errors);
  results.AddResult(estimate);
  auto* stress = new FerResult(FerQtyStress);
  stress->SetNodalData(0, ids, stresses);
  results.AddResult(stress);

  const int firstNodes = meshes[0]->NumNodes();
  CaeList<CaeNode> before;
  meshes[0]->Nodes(before);
  const CaeVector firstPlace = before.FirstNode()->Item()->Coordinate();
  meshes[1]->SetShape(TopoDS_Shape());  // the second body's geometry is gone
  model.SetAdaptTargetError(10.0);
  CaeString message;
  int stop = 0;
  EXPECT_EQ(model.AdaptMeshes(&results, FerQtyStress, message, stop), 1);
  EXPECT_EQ(stop, 1);
  EXPECT_EQ(model.LastAdaptOutcome(), AnlModel::kAdaptMeshFailed);
  EXPECT_NE(message.Str().find("could not be made"), std::string::npos) << message.Str();
  EXPECT_EQ(meshes[0]->NumNodes(), firstNodes) << "the first mesh was not remade";
  CaeList<CaeNode> after;
  meshes[0]->Nodes(after);
  EXPECT_EQ(after.FirstNode()->Item()->Coordinate()[0], firstPlace[0]);
  EXPECT_FALSE(meshes[0]->HasSizeField()) << "nor given a size field for later";
  EXPECT_EQ(model.AdaptPasses(), 0);

  // With the geometry back both are refined together.
  meshes[1]->SetShape(BRepPrimAPI_MakeBox(gp_Pnt(0.2, 0, 0), 0.1, 0.05, 0.05).Shape());
  const int secondNodes = meshes[1]->NumNodes();
  EXPECT_EQ(model.AdaptMeshes(&results, FerQtyStress, message, stop), 0) << message.Str();
  EXPECT_EQ(stop, 0);
  EXPECT_GT(meshes[0]->NumNodes(), firstNodes);
  EXPECT_GT(meshes[1]->NumNodes(), secondNodes);
  EXPECT_EQ(model.AdaptPasses(), 1);

  // Linear elements carry no estimate to refine by: the engine says so and changes nothing.
  meshes[0]->SetElementOrder(1);
  const int refined = meshes[0]->NumNodes();
  EXPECT_EQ(model.AdaptMeshes(&results, FerQtyStress, message, stop), 1);
  EXPECT_EQ(model.LastAdaptOutcome(), AnlModel::kAdaptNoEstimate);
  EXPECT_NE(message.Str().find("no error estimate"), std::string::npos) << message.Str();
  EXPECT_EQ(meshes[0]->NumNodes(), refined);
}

}  // namespace
