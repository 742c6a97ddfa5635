// Meshing OpenCASCADE bodies with gmsh: element kinds, numbering, what lies on each sub-shape,
// local sizes and failures.
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <gp_Ax2.hxx>
#include <gp_Pln.hxx>
#include <gp_Trsf.hxx>

#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "ShapeRefs.h"
#include "amg/CaeUnit.h"
#include "fea/AmgMesh.h"
#include "fea_fixture.h"

namespace {

class MeshGenerationTest : public FeaTest {
 protected:
  // A 2 x 1 x 1 box: TopExp numbers its faces x=0, x=2, y=0, y=1, z=0, z=1.
  TopoDS_Shape box = BRepPrimAPI_MakeBox(2.0, 1.0, 1.0).Shape();

  static AmgMesh* Mesh(AmgMesh& mesh, const TopoDS_Shape& shape, double size, int order) {
    mesh.SetShape(shape);
    mesh.SetDefaultSize(size);
    mesh.SetElementOrder(order);
    return &mesh;
  }

  static double FaceArea(const AmgMesh& mesh, int face) {
    std::vector<CaeElemRef> faces;
    mesh.ElemFacesOnFace(face, faces);
    double area = 0;
    for (const CaeElemRef& f : faces)
      area += 0.5 * (f.Node(1)->Coordinate() - f.Node(0)->Coordinate())
                        .Cross(f.Node(2)->Coordinate() - f.Node(0)->Coordinate())
                        .Length();
    return area;
  }

  // The mean length of the element edges on a face.
  static double MeanEdge(const AmgMesh& mesh, int face) {
    std::vector<CaeElemRef> faces;
    mesh.ElemFacesOnFace(face, faces);
    double total = 0;
    for (const CaeElemRef& f : faces)
      for (int k = 0; k < 3; ++k) total += (f.Node((k + 1) % 3)->Coordinate() - f.Node(k)->Coordinate()).Length();
    return faces.empty() ? 0.0 : total / (3.0 * faces.size());
  }
};

// The solver's quadratic tetrahedron: corners 0-3, then the mid-edge nodes of 01, 12, 20, 03, 13, 23.
constexpr int kTet10Edges[6][2] = {{0, 1}, {1, 2}, {2, 0}, {0, 3}, {1, 3}, {2, 3}};

TEST_F(MeshGenerationTest, QuadraticTetrahedraUseTheSolversNodeOrderAndTheGivenIds) {
  AmgMesh mesh;
  Mesh(mesh, box, 0.5, 2)->SetFirstIds(101, 51);
  ASSERT_EQ(mesh.MeshIt(), 1);
  EXPECT_EQ(mesh.Successful(), 1);
  EXPECT_EQ(mesh.Generated(), 1);
  EXPECT_EQ(mesh.ErrorCode(), AmgMeshOk);
  CaeList<CaeElem> elements;
  mesh.Elements(elements);
  std::set<long> elementIds;
  for (CaeElem* e : elements) {
    ASSERT_EQ(e->NumNodes(), 10);
    EXPECT_EQ(e->Order(), CaeElemQuadratic);
    elementIds.insert(e->Id());
    for (int k = 0; k < 6; ++k) {
      const CaeVector middle =
          (e->Node(kTet10Edges[k][0])->Coordinate() + e->Node(kTet10Edges[k][1])->Coordinate()) * 0.5;
      EXPECT_TRUE(e->Node(4 + k)->Coordinate().Equal(middle, 1e-9)) << "element " << e->Id() << " edge " << k;
    }
    // Positive volume in the solver's orientation.
    const CaeVector a = e->Node(0)->Coordinate();
    EXPECT_GT((e->Node(1)->Coordinate() - a).Cross(e->Node(2)->Coordinate() - a).Dot(e->Node(3)->Coordinate() - a), 0);
  }
  EXPECT_EQ(*elementIds.begin(), 51);
  EXPECT_EQ(*elementIds.rbegin(), 50 + mesh.NumElements());
  CaeList<CaeNode> nodes;
  mesh.Nodes(nodes);
  long lowest = 1 << 30, highest = 0;
  for (CaeNode* n : nodes) lowest = std::min(lowest, n->Id()), highest = std::max(highest, n->Id());
  EXPECT_EQ(lowest, 101);
  EXPECT_EQ(highest, 100 + mesh.NumNodes());
}

TEST_F(MeshGenerationTest, LinearTetrahedraHaveFourNodes) {
  AmgMesh mesh;
  ASSERT_EQ(Mesh(mesh, box, 0.5, 1)->MeshIt(), 1);
  CaeList<CaeElem> elements;
  mesh.Elements(elements);
  for (CaeElem* e : elements) ASSERT_EQ(e->NumNodes(), 4);
}

TEST_F(MeshGenerationTest, EachFaceListsItsNodesAndElementFaces) {
  struct Row {
    int face, axis;
    double at, area;
  };
  const Row rows[] = {{1, 0, 0.0, 1.0}, {2, 0, 2.0, 1.0}, {3, 1, 0.0, 2.0},
                      {4, 1, 1.0, 2.0}, {5, 2, 0.0, 2.0}, {6, 2, 1.0, 2.0}};
  AmgMesh mesh;
  ASSERT_EQ(Mesh(mesh, box, 0.4, 2)->MeshIt(), 1);
  double allFaces = 0;
  for (const Row& r : rows) {
    std::vector<CaeNode*> nodes;
    ASSERT_GT(mesh.NodesOnShape(CaeTopoRef::kFace, r.face, nodes), 0) << r.face;
    for (CaeNode* n : nodes) EXPECT_NEAR(n->Coordinate()[r.axis], r.at, 1e-9) << "face " << r.face;
    std::vector<CaeElemRef> faces;
    mesh.ElemFacesOnFace(r.face, faces);
    for (const CaeElemRef& f : faces)
      for (int k = 0; k < f.NumNodes(); ++k) EXPECT_NEAR(f.Node(k)->Coordinate()[r.axis], r.at, 1e-9);
    EXPECT_NEAR(FaceArea(mesh, r.face), r.area, 1e-9) << "face " << r.face;
    allFaces += faces.size();
  }
  CaePrimaryList<CaeElemRef> exterior;
  EXPECT_EQ(mesh.ExteriorElemRefs(exterior, 0, 0), allFaces) << "every exterior element face lies on a face";
}

TEST_F(MeshGenerationTest, VerticesAndEdgesListTheirNodesAndSegments) {
  AmgMesh mesh;
  ASSERT_EQ(Mesh(mesh, box, 0.4, 2)->MeshIt(), 1);
  for (int vertex = 1; vertex <= 8; ++vertex) {
    std::vector<CaeNode*> nodes;
    ASSERT_EQ(mesh.NodesOnShape(CaeTopoRef::kVertex, vertex, nodes), 1);
    EXPECT_EQ(nodes[0]->Location(), CaeTopoRef::kVertex);
  }
  double total = 0;
  for (int edge = 1; edge <= 12; ++edge) {
    std::vector<std::vector<CaeNode*>> segments;
    ASSERT_GT(mesh.SegmentsOnEdge(edge, segments), 0);
    for (const auto& s : segments) {
      ASSERT_EQ(s.size(), 3u);
      total += (s[1]->Coordinate() - s[0]->Coordinate()).Length();
    }
  }
  EXPECT_NEAR(total, 4 * (2.0 + 1.0 + 1.0), 1e-9);
}

TEST_F(MeshGenerationTest, LocalSizesRefineTheMeshWhereAsked) {
  AmgMesh coarse, refined, point;
  ASSERT_EQ(Mesh(coarse, box, 0.5, 1)->MeshIt(), 1);
  Mesh(refined, box, 0.5, 1)->AddLocalSize(CaeTopoRef::kFace, 2, 0.1);
  ASSERT_EQ(refined.MeshIt(), 1);
  EXPECT_GT(MeanEdge(coarse, 2), 0.3);
  EXPECT_LT(MeanEdge(refined, 2), 0.15) << "the face gets its own size";
  EXPECT_GT(MeanEdge(refined, 1), 0.3) << "the far face keeps the default size";

  Mesh(point, box, 0.5, 1)->AddPointSize(CaeVector(2.0, 0.5, 0.5), 0.05);
  ASSERT_EQ(point.MeshIt(), 1);
  EXPECT_GT(point.NumNodes(), coarse.NumNodes());
}

// A size field on an earlier mesh's tetrahedra (what h-adaptation gives): small at the corners near
// x = 2, the default elsewhere; clearing the local sizes clears it.
TEST_F(MeshGenerationTest, ASizeFieldOnTetrahedraRefinesWhereItIsSmall) {
  AmgMesh mesh;
  ASSERT_EQ(Mesh(mesh, box, 0.5, 1)->MeshIt(), 1);
  std::vector<AmgMesh::SizeTet> field;
  CaeList<CaeElem> elements;
  mesh.Elements(elements);
  for (CaeElem* e : elements) {
    AmgMesh::SizeTet& tet = field.emplace_back();
    for (int i = 0; i < 4; ++i) {
      tet.corners[i] = e->Node(i)->Coordinate();
      tet.sizes[i] = tet.corners[i][0] > 1.5 ? 0.1 : 0.5;
    }
  }
  mesh.SetSizeField(std::move(field));
  EXPECT_TRUE(mesh.HasSizeField());
  ASSERT_EQ(mesh.MeshIt(), 1);
  EXPECT_LT(MeanEdge(mesh, 2), 0.2) << "x = 2 follows the field";
  EXPECT_GT(MeanEdge(mesh, 1), 0.3) << "x = 0 keeps the default size";
  mesh.ClearLocalSizes();
  EXPECT_FALSE(mesh.HasSizeField());
  ASSERT_EQ(mesh.MeshIt(), 1);
  EXPECT_GT(MeanEdge(mesh, 2), 0.3);
}

TEST_F(MeshGenerationTest, CurvatureScalingRefinesCurvedFaces) {
  const TopoDS_Shape cylinder = BRepPrimAPI_MakeCylinder(1.0, 0.5).Shape();
  AmgMesh plain, scaled;
  Mesh(plain, cylinder, 1.0, 1)->SetCurvatureScaling(CaeOff);
  Mesh(scaled, cylinder, 1.0, 1)->SetCurvatureScaling(CaeOn);
  scaled.SetAnglePerElement(M_PI / 16);
  ASSERT_EQ(plain.MeshIt(), 1);
  ASSERT_EQ(scaled.MeshIt(), 1);
  EXPECT_GT(scaled.NumNodes(), 2 * plain.NumNodes());
}

TEST_F(MeshGenerationTest, ShellMeshesAreTrianglesOnTheFaces) {
  AmgMesh mesh;
  Mesh(mesh, box, 0.5, 2)->SetElementType(CaeElemShell);
  ASSERT_EQ(mesh.MeshIt(), 1);
  CaeList<CaeElem> elements;
  mesh.Elements(elements);
  for (CaeElem* e : elements) {
    ASSERT_EQ(e->Type(), CaeElemShell);
    ASSERT_EQ(e->NumNodes(), 6);
  }
  EXPECT_NEAR(FaceArea(mesh, 3), 2.0, 1e-9);
  std::vector<CaeElemRef> faces;
  mesh.ElemFacesOnFace(3, faces);
  for (const CaeElemRef& f : faces) EXPECT_EQ(f.Face(), 0);
}

TEST_F(MeshGenerationTest, TheShapeSourceGivesGeometryAndLocatesReferences) {
  study::ShapeBody body(box);
  AmgMesh mesh(body.BodyRef());
  mesh.SetDefaultSize(0.5);
  ASSERT_EQ(mesh.MeshIt(), 1) << "no shape was set: the source gives it";
  CaeList<CaeNode> onFace;
  EXPECT_GT(mesh.NodesOnTopo(body.Ref(CaeTopoRef::kFace, 2), onFace, 0), 0);
  for (CaeNode* n : onFace) EXPECT_NEAR(n->Coordinate().X(), 2.0, 1e-9);
}

TEST_F(MeshGenerationTest, JoinedMeshingRefusesSettingsItCannotHonourByName) {
  struct Row {
    const char* name;
    void (*set)(AmgMesh& second);
    const char* said;
  };
  const Row rows[] = {
      {"local size", [](AmgMesh& m) { m.AddLocalSize(2, 1, 0.1); }, "mesh 2 of 2 has local sizes"},
      {"point size", [](AmgMesh& m) { m.AddPointSize(CaeVector(1.5, 0.5, 0.5), 0.1); }, "mesh 2 of 2 has local sizes"},
      {"size field",
       [](AmgMesh& m) {
         AmgMesh::SizeTet tet{{CaeVector(1, 0, 0), CaeVector(2, 0, 0), CaeVector(1, 1, 0), CaeVector(1, 0, 1)},
                              {0.1, 0.1, 0.1, 0.1}};
         m.SetSizeField({tet});
       },
       "mesh 2 of 2 has a size field"},
      {"shell", [](AmgMesh& m) { m.SetElementType(CaeElemShell); }, "mesh 2 of 2 asks for shell elements"},
      {"own size", [](AmgMesh& m) { m.SetDefaultSize(0.2); },
       "mesh 2 of 2 has element sizes or an element order of its own"},
      {"own order", [](AmgMesh& m) { m.SetElementOrder(1); },
       "mesh 2 of 2 has element sizes or an element order of its own"},
  };
  for (const Row& r : rows) {
    AmgMesh left, right;
    Mesh(left, BRepPrimAPI_MakeBox(1.0, 1.0, 1.0).Shape(), 0.4, 2);
    Mesh(right, BRepPrimAPI_MakeBox(gp_Pnt(1, 0, 0), 1.0, 1.0, 1.0).Shape(), 0.4, 2);
    r.set(right);
    EXPECT_EQ(AmgMesh::MeshJoined({&left, &right}), 0) << r.name;
    EXPECT_EQ(left.NumElements() + right.NumElements(), 0) << r.name << ": nothing meshed without the setting";
    EXPECT_NE(right.ErrorText().Str().find(r.said), std::string::npos) << r.name << ": " << right.ErrorText().Str();
    EXPECT_TRUE(Logged(1, std::string("The meshes cannot be made together: ") + r.said)) << r.name;
  }
}

TEST_F(MeshGenerationTest, JoinedBodiesShareTheNodesWhereTheyTouch) {
  // Two unit cubes side by side: the first one's face x=1 (index 2) is the second one's x=1
  // (index 1).
  AmgMesh left, right;
  Mesh(left, BRepPrimAPI_MakeBox(1.0, 1.0, 1.0).Shape(), 0.4, 2)->SetFirstIds(11, 21);
  Mesh(right, BRepPrimAPI_MakeBox(gp_Pnt(1, 0, 0), 1.0, 1.0, 1.0).Shape(), 0.4, 2);
  ASSERT_EQ(AmgMesh::MeshJoined({&left, &right}), 1);
  std::vector<CaeNode*> leftFace, rightFace;
  left.NodesOnShape(CaeTopoRef::kFace, 2, leftFace);
  right.NodesOnShape(CaeTopoRef::kFace, 1, rightFace);
  ASSERT_FALSE(leftFace.empty());
  std::map<long, CaeVector> shared;
  for (CaeNode* n : leftFace) shared[n->Id()] = n->Coordinate();
  ASSERT_EQ(rightFace.size(), leftFace.size());
  for (CaeNode* n : rightFace) {
    ASSERT_EQ(shared.count(n->Id()), 1u) << "node " << n->Id();
    EXPECT_TRUE(shared[n->Id()].Equal(n->Coordinate(), 1e-12));
  }
  // Elsewhere the ids differ, and elements number on from the left mesh to the right one.
  std::set<long> leftIds, rightIds;
  CaeList<CaeNode> nodes;
  left.Nodes(nodes);
  for (CaeNode* n : nodes) leftIds.insert(n->Id());
  EXPECT_EQ(*leftIds.begin(), 11);
  CaeList<CaeNode> others;
  right.Nodes(others);
  int common = 0;
  for (CaeNode* n : others) common += leftIds.count(n->Id());
  EXPECT_EQ(common, static_cast<int>(rightFace.size()));
  long leftLast = 0, rightFirst = 1 << 30;
  CaeList<CaeElem> a, b;
  left.Elements(a);
  right.Elements(b);
  for (CaeElem* e : a) leftLast = std::max(leftLast, e->Id());
  for (CaeElem* e : b) rightFirst = std::min(rightFirst, e->Id());
  EXPECT_EQ(rightFirst, leftLast + 1);
  EXPECT_EQ(leftLast, 20 + left.NumElements());
}

// A 200 x 100 x 10 plate with a hole of radius 15 at its centre.
TopoDS_Shape PlateWithHole() {
  const TopoDS_Shape plate = BRepPrimAPI_MakeBox(200, 100, 10).Shape();
  const gp_Ax2 axis(gp_Pnt(100, 50, -1), gp_Dir(0, 0, 1));
  return BRepAlgoAPI_Cut(plate, BRepPrimAPI_MakeCylinder(axis, 15, 12).Shape()).Shape();
}

// The shape with every length multiplied by `factor`, the way a part read in one unit is taken to
// another.
TopoDS_Shape Scaled(const TopoDS_Shape& shape, double factor) {
  gp_Trsf scale;
  scale.SetScale(gp_Pnt(0, 0, 0), factor);
  return BRepBuilderAPI_Transform(shape, scale, true).Shape();
}

// Every node's coordinates times `scale`, in micrometres, rounded and sorted: nodes a rounding
// error apart compare equal.
std::vector<std::array<long long, 3>> SortedMicrometres(const AmgMesh& mesh, double scale) {
  CaeList<CaeNode> nodes;
  mesh.Nodes(nodes);
  std::vector<std::array<long long, 3>> at;
  for (CaeNode* n : nodes) {
    std::array<long long, 3>& p = at.emplace_back();
    for (int k = 0; k < 3; ++k) p[k] = std::llround(n->Coordinate()[k] * scale * 1e6);
  }
  std::sort(at.begin(), at.end());
  return at;
}

// gmsh's surface meshing depends on the size of the numbers it is given, so the mesher works in
// metres: the same plate taken to metres and kept in millimetres (then the native unit) gets the
// same mesh, node for node, and a local size given in millimetres refines the same way.
TEST_F(MeshGenerationTest, TheSameBodyGetsTheSameMeshInMetresAndInMillimetres) {
  AmgMesh inMetres;
  Mesh(inMetres, Scaled(PlateWithHole(), 1e-3), 0.012, 2)->AddLocalSize(CaeTopoRef::kFace, 7, 0.004);
  ASSERT_EQ(inMetres.MeshIt(), 1);

  CaeUnitSystem millimetres;
  millimetres.SetUnit(CaeUtLength, CaeMillimeter);
  CaeUnitSystem::SetNativeSystem(&millimetres);
  AmgMesh inMillimetres;
  Mesh(inMillimetres, PlateWithHole(), 12.0, 2)->AddLocalSize(CaeTopoRef::kFace, 7, 4.0);
  const int made = inMillimetres.MeshIt();
  CaeUnitSystem::SetNativeSystem(nullptr);
  ASSERT_EQ(made, 1);

  ASSERT_EQ(inMillimetres.NumNodes(), inMetres.NumNodes());
  EXPECT_EQ(inMillimetres.NumElements(), inMetres.NumElements());
  EXPECT_EQ(SortedMicrometres(inMillimetres, 1e-3), SortedMicrometres(inMetres, 1.0))
      << "the nodes are the same, handed back in millimetres";
}

TEST_F(MeshGenerationTest, AFailedMeshSaysWhyAndKeepsWhatWasThere) {
  AmgMesh mesh;
  ASSERT_EQ(Mesh(mesh, box, 0.5, 1)->MeshIt(), 1);
  const int nodes = mesh.NumNodes();
  // A lone face has no volume to fill with tetrahedra.
  mesh.SetShape(BRepBuilderAPI_MakeFace(gp_Pln(), 0, 1, 0, 1).Shape());
  EXPECT_EQ(mesh.MeshIt(), 0);
  EXPECT_EQ(mesh.Successful(), 0);
  EXPECT_EQ(mesh.ErrorCode(), AmgMeshFailed);
  EXPECT_FALSE(mesh.ErrorText().IsEmpty());
  EXPECT_EQ(mesh.NumNodes(), nodes);
  EXPECT_TRUE(Logged(1, "could not be generated"));
  // The mesher is usable again afterwards.
  mesh.SetShape(box);
  EXPECT_EQ(mesh.MeshIt(), 1);
}

}  // namespace

namespace {

// The sizes a mesh sheet starts from: a tenth of the largest extent, and a tenth of that to five
// times it; nothing without geometry.
TEST_F(MeshGenerationTest, EstimatedSizesFollowTheLargestExtent) {
  AmgMesh mesh(nullptr, 1);
  double size = -1.0, smallest = -1.0, largest = -1.0;
  EXPECT_EQ(mesh.EstimateSize(size, smallest, largest), 0);
  EXPECT_EQ(size, 0.0);
  mesh.SetShape(box);
  ASSERT_EQ(mesh.EstimateSize(size, smallest, largest), 1);
  // The bounding box carries the shape's tolerance (1e-7) on each side.
  EXPECT_NEAR(size, 0.2, 1e-6);
  EXPECT_NEAR(smallest, 0.02, 1e-7);
  EXPECT_NEAR(largest, 1.0, 1e-5);
  // Volume 2 over a regular tetrahedron of edge 0.1 (0.1^3 / (6 sqrt 2)).
  EXPECT_NEAR(mesh.EstimateElementCount(0.1), 2.0 / (1e-3 / (6.0 * std::sqrt(2.0))), 1e-6);
}

// A size that would exhaust the memory is refused before the mesher runs, with the reason; the
// mesh keeps no items.
TEST_F(MeshGenerationTest, ASizeGivingTooManyElementsIsRefusedBeforeMeshing) {
  AmgMesh mesh;
  Mesh(mesh, box, 1e-3, 1);
  EXPECT_GT(mesh.EstimateElementCount(1e-3), AmgMesh::kMostElements);
  EXPECT_EQ(mesh.MeshIt(), 0);
  EXPECT_EQ(mesh.ErrorCode(), AmgMeshTooFine);
  EXPECT_NE(std::string(mesh.ErrorText().Text()).find("choose a larger size"), std::string::npos);
  EXPECT_EQ(mesh.NumberNodes(), 0);
  EXPECT_EQ(mesh.NumberElements(), 0);
}

}  // namespace
