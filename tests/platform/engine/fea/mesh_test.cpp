// Meshes: settings, items handed over, items on topology, exterior faces, copies, and the
// operations that wait for the mesher.
#include "fake_topo_ref.h"
#include "fea/AmgMesh.h"
#include "fea/CaeElem.h"
#include "fea_fixture.h"

namespace {

using MeshTest = FeaTest;

// Two linear tetrahedra sharing the face (1, 2, 3).
struct TwoTets {
  std::vector<CaeNode*> nodes;
  CaeList<CaeNode> nodeList;
  CaeList<CaeElem> elementList;
  TwoTets() {
    const CaeVector points[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}};
    for (int i = 0; i < 5; ++i) {
      nodes.push_back(new CaeNode(points[i], i + 1));
      nodeList.Append(nodes.back());
    }
    CaeNode* first[] = {nodes[0], nodes[1], nodes[2], nodes[3]};
    CaeNode* second[] = {nodes[4], nodes[1], nodes[3], nodes[2]};
    elementList.Append(CaeElem::Create(first, 4, CaeElemSolid, CaeShapeTri, CaeElemLinear, 1));
    elementList.Append(CaeElem::Create(second, 4, CaeElemSolid, CaeShapeTri, CaeElemLinear, 2));
  }
};

TEST_F(MeshTest, NewMeshSettings) {
  AmgMesh mesh;
  EXPECT_EQ(mesh.GetElementOrder(), 2);
  EXPECT_EQ(mesh.GetMeshEngine(), 4);
  EXPECT_EQ(mesh.Generated(), 0);
  EXPECT_EQ(mesh.NumNodes(), 0);

  mesh.SetDefaultSize(0.01);
  mesh.SetMinSize(0.001);
  mesh.SetMaxSize(0.05);
  mesh.SetAnglePerElement(0.3);
  mesh.SetElementShape(CaeShapeQuad);
  mesh.SetEdgeShape(CaeEdgeStraight);
  mesh.SetAutoconstraints(CaeOff);
  mesh.SetMSNRefinement(CaeOn);
  mesh.SetElementOrder(1);
  AmgMesh copy;
  copy.SetControlValues(mesh);
  EXPECT_EQ(copy.GetDefaultSize(), 0.01);
  EXPECT_EQ(copy.GetMinSize(), 0.001);
  EXPECT_EQ(copy.GetMaxSize(), 0.05);
  EXPECT_EQ(copy.GetAnglePerElement(), 0.3);
  EXPECT_EQ(copy.GetElementShape(), CaeShapeQuad);
  EXPECT_EQ(copy.GetEdgeShape(), CaeEdgeStraight);
  EXPECT_EQ(copy.GetAutoconstraints(), CaeOff);
  EXPECT_EQ(copy.GetMSNRefinement(), CaeOn);
  EXPECT_EQ(copy.GetElementOrder(), 1);
}

struct ElemCase {
  int count;
  CaeElemType type;
  CaeElemShape shape;
  CaeElemOrder order;
  bool made;
};

class ElementFactory : public testing::TestWithParam<ElemCase> {};

TEST_P(ElementFactory, NodeCountMustFitTypeAndOrder) {
  std::vector<CaeNode> storage;
  for (int i = 0; i < 16; ++i) storage.emplace_back(CaeVector(i, 0, 0), i + 1);
  std::vector<CaeNode*> nodes;
  for (CaeNode& n : storage) nodes.push_back(&n);
  const ElemCase& c = GetParam();
  std::unique_ptr<CaeElem> e(CaeElem::Create(nodes.data(), c.count, c.type, c.shape, c.order, 7));
  EXPECT_EQ(e != nullptr, c.made);
  if (e) {
    EXPECT_EQ(e->NumNodes(), c.count);
    EXPECT_EQ(e->Id(), 7);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ElementFactory,
                         testing::Values(ElemCase{4, CaeElemSolid, CaeShapeTri, CaeElemLinear, true},
                                         ElemCase{10, CaeElemSolid, CaeShapeTri, CaeElemQuadratic, true},
                                         ElemCase{3, CaeElemShell, CaeShapeTri, CaeElemLinear, true},
                                         ElemCase{6, CaeElemShell, CaeShapeTri, CaeElemQuadratic, true},
                                         ElemCase{10, CaeElemSolid, CaeShapeTri, CaeElemLinear, false},
                                         ElemCase{4, CaeElemShell, CaeShapeTri, CaeElemLinear, false},
                                         ElemCase{8, CaeElemSolid, CaeShapeQuad, CaeElemLinear, false},
                                         ElemCase{17, CaeElemSolid, CaeShapeTri, CaeElemQuadratic, false}));

TEST_F(MeshTest, QuadraticFaceNodesAreCornersThenMidEdges) {
  std::vector<CaeNode> storage;
  for (int i = 0; i < 10; ++i) storage.emplace_back(CaeVector(i, 0, 0), i);
  std::vector<CaeNode*> nodes;
  for (CaeNode& n : storage) nodes.push_back(&n);
  std::unique_ptr<CaeElem> tet(CaeElem::Create(nodes.data(), 10, CaeElemSolid, CaeShapeTri, CaeElemQuadratic, 1));
  ASSERT_NE(tet, nullptr);
  ASSERT_EQ(tet->NumFaces(), 4);
  ASSERT_EQ(tet->NumFaceNodes(), 6);
  // Every face's mid-edge nodes sit between its corners (node i lies at x = i: check by ids).
  const int expected[4][6] = {{0, 1, 2, 4, 5, 6}, {0, 3, 1, 7, 8, 4}, {1, 3, 2, 8, 9, 5}, {2, 3, 0, 9, 7, 6}};
  for (int f = 0; f < 4; ++f)
    for (int k = 0; k < 6; ++k) EXPECT_EQ(tet->FaceNode(f, k)->Id(), expected[f][k]) << f << "," << k;
  EXPECT_EQ(tet->FaceNode(4, 0), nullptr);
}

TEST_F(MeshTest, HandedOverItemsBelongToTheMesh) {
  TwoTets model;
  AmgMesh mesh;
  mesh.AddNodes(model.nodeList);
  mesh.AddElements(model.elementList);
  EXPECT_TRUE(model.nodeList.IsEmpty());
  EXPECT_EQ(mesh.NumNodes(), 5);
  EXPECT_EQ(mesh.NumElements(), 2);
  // An owning list hands its items over too, without deleting them.
  CaeOwningList<CaeNode> owned;
  owned.Append(new CaeNode(CaeVector(2, 2, 2), 6));
  mesh.AddNodes(owned);
  EXPECT_EQ(mesh.NumNodes(), 6);
  CaeList<CaeNode> all;
  EXPECT_EQ(mesh.Nodes(all), 6);
}

TEST_F(MeshTest, ExteriorFacesLeaveOutSharedOnes) {
  TwoTets model;
  AmgMesh mesh;
  mesh.AddNodes(model.nodeList);
  mesh.AddElements(model.elementList);
  CaePrimaryList<CaeElemRef> faces;
  EXPECT_EQ(mesh.ExteriorElemRefs(faces, 4, 4), 6);
  EXPECT_EQ(faces.Count(), 6);
  for (CaeElemRef* ref : faces) {
    EXPECT_EQ(ref->NumNodes(), 3);
    std::vector<long> ids{ref->Node(0)->Id(), ref->Node(1)->Id(), ref->Node(2)->Id()};
    std::sort(ids.begin(), ids.end());
    EXPECT_NE(ids, (std::vector<long>{2, 3, 4})) << "the shared face is interior";
  }
}

TEST_F(MeshTest, ACopyHasItsOwnNodes) {
  TwoTets model;
  AmgMesh mesh;
  mesh.AddNodes(model.nodeList);
  mesh.AddElements(model.elementList);
  mesh.SetDefaultSize(0.2);
  AmgMesh copy;
  copy.Create(mesh, 1);
  EXPECT_EQ(copy.NumNodes(), 5);
  EXPECT_EQ(copy.GetDefaultSize(), 0.2);
  CaeList<CaeElem> elements;
  copy.Elements(elements);
  CaeList<CaeNode> originals;
  mesh.Nodes(originals);
  for (CaeElem* e : elements)
    for (CaeNode* original : originals) EXPECT_NE(e->Node(0), original);
}

TEST_F(MeshTest, MeshingWithoutGeometryFailsWithItsCode) {
  AmgMesh mesh;
  EXPECT_EQ(mesh.MeshIt(), 0);
  EXPECT_EQ(mesh.Successful(), 0);
  EXPECT_EQ(mesh.Generated(), 0);
  EXPECT_EQ(mesh.ErrorCode(), AmgMeshNoGeometry);
  EXPECT_EQ(mesh.Update(1), 0);
  EXPECT_EQ(Messages().size(), 2u);
  EXPECT_TRUE(Logged(1, "no geometry"));
}

TEST_F(MeshTest, RestoringOnAReferenceListsTheMeshAndItsItems) {
  FakeTopoRef body, face;
  AmgMesh mesh;
  mesh.SetTopology(&body, 1);
  EXPECT_EQ(mesh.GetTopoRef(), &body);
  EXPECT_EQ(body.attributes, (std::vector<CaeAttrib*>{&mesh})) << "the mesh is listed on its reference";
  EXPECT_EQ(mesh.Successful(), 1);

  TwoTets model;
  CaeNode* onFace = model.nodes[1];
  CaeList<CaeNode> faceNodes;
  faceNodes.Append(onFace);
  model.nodeList.Find(onFace)->RemoveNode();
  mesh.AddNodes(&face, faceNodes);
  mesh.AddNodes(model.nodeList);
  mesh.AddElements(&body, model.elementList);
  EXPECT_EQ(mesh.FirstNodeOnTopo(&face), onFace);
  EXPECT_EQ(mesh.NextNodeOnTopo(&face), nullptr);
  CaeList<CaeNode> listed;
  EXPECT_EQ(mesh.NodesOnTopo(&face, listed, 0), 1);
  EXPECT_EQ(mesh.NodesOnTopo(&body, listed, 0), 0);
  ASSERT_NE(mesh.FirstElementOnTopo(&body), nullptr);
  EXPECT_NE(mesh.NextElementOnTopo(&body), nullptr);
  EXPECT_EQ(mesh.NextElementOnTopo(&body), nullptr);

  mesh.SetDeferred(1);
  EXPECT_EQ(mesh.Deferred(), 1);
  AmgMeshUse factory;
  std::unique_ptr<AmgMeshUse> use(factory.Create(&mesh));
  EXPECT_EQ(use->GetTopoRef(), &body) << "a new use sits on its user's reference";
}

TEST_F(MeshTest, MeshUsesSkipErasedOnes) {
  AmgMesh mesh;
  AmgMeshUse* a = mesh.NewMeshUse(nullptr);
  AmgMeshUse* b = mesh.NewMeshUse(nullptr);
  EXPECT_EQ(a->Mesh(), &mesh);
  mesh.DeleteMeshUse(a);
  EXPECT_EQ(mesh.NumMeshUses(), 1);
  EXPECT_EQ(mesh.FirstMeshUse(), b);
  EXPECT_EQ(mesh.NextMeshUse(), nullptr);
  EXPECT_EQ(mesh.GetMeshUse(0), b);
}

TEST_F(MeshTest, ModifiedTopologyMarksTheMeshForUpdate) {
  AmgMesh mesh;
  EXPECT_EQ(mesh.NeedsUpdate(), 0);
  mesh.UponTopoRefModify();
  EXPECT_EQ(mesh.NeedsUpdate(), 1);
  mesh.UponTopoRefErase();
  EXPECT_TRUE(mesh.IsMarkedAsErased());
}

TEST_F(MeshTest, ConstraintSettings) {
  AmgConstraint c(0, 0.005, AmgConstrSpread, CaeVector(1, 2, 3), nullptr);
  EXPECT_EQ(c.Size(), 0.005);
  EXPECT_EQ(c.Type(), AmgConstrSpread);
  EXPECT_EQ(c.Location(), CaeVector(1, 2, 3));
  c.SetId(4);
  EXPECT_EQ(c.Id(), 4);
  EXPECT_EQ(c.GetInfo(), AmgConstraint::Info);
}

TEST_F(MeshTest, ElementPropertiesByNumber) {
  CaeElemProp prop;
  EXPECT_EQ(prop.SetPropValue(CaeElemProp::kThickness, 0.002), 1);
  EXPECT_EQ(prop.SetPropValue(CaeElemProp::kPMaxOrder, 6), 1);
  EXPECT_EQ(prop.SetPropValue(3, 1.0), 0);
  EXPECT_EQ(prop.GetPropValue(CaeElemProp::kThickness), 0.002);
  EXPECT_EQ(prop.GetPropValue(CaeElemProp::kPMaxOrder), 6.0);
  AnlElemDescTable table;
  EXPECT_NE(table.Find(2, 0, CaeElemShell, 0), nullptr);
  EXPECT_NE(table.Find(1, 0, 0), nullptr);
  EXPECT_EQ(table.Find(2, 0, 1), nullptr) << "no p-elements";
}

}  // namespace
