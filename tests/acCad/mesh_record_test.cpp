// The mesh entity's record: round trips of a mesh generated on the sample plate, the older
// version branches, filer failures at every call, damaged records and the undo re-read.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "amg/CaeStamp.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbfiler.h"
#include "arx/dbsymtb.h"
#include "arx/hostcmds.h"
#include "db/dbControl.h"
#include "db/dbMesh.h"
#include "db/dbMeshUse.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "db/dbSubModel.h"
#include "mcad/amikey.h"
#include "topo/acTopoRef.h"
#include "topo_fixture.h"
#include "util/acLayer.h"
#include "util/acPost.h"

namespace {

using topotest::TopoTest;

// Node id -> coordinate, and each element as its id and node ids.
struct MeshImage {
  std::map<long, std::vector<double>> nodes;
  std::map<long, std::vector<long>> elements;
  friend bool operator==(const MeshImage&, const MeshImage&) = default;
};

MeshImage imageOf(AmgMesh& mesh) {
  MeshImage image;
  CaeList<CaeNode> nodes;
  mesh.Nodes(nodes);
  for (CaeNode* node : nodes) {
    const CaeVector& p = node->Coordinate();
    image.nodes[node->Id()] = {p[0], p[1], p[2]};
  }
  CaeList<CaeElem> elements;
  mesh.Elements(elements);
  for (CaeElem* element : elements) {
    std::vector<long>& ids = image.elements[element->Id()];
    for (int i = 0; i < element->NumNodes(); ++i) ids.push_back(element->Node(i)->Id());
  }
  return image;
}

std::set<long> idsOnTopo(AmgMesh& mesh, CaeTopoRef* ref) {
  std::set<long> ids;
  for (CaeNode* node = mesh.FirstNodeOnTopo(ref); node; node = mesh.NextNodeOnTopo(ref)) ids.insert(node->Id());
  return ids;
}

// What a mesh answers per sub-shape of the plate, as the deck reads it: node ids on each vertex,
// edge and face (closure included), each face's element faces as (element id, face) and each
// edge's segments as node ids, all in the order given.
struct ShapeImage {
  std::map<std::pair<int, int>, std::vector<long>> nodes;
  std::map<int, std::vector<std::pair<long, int>>> faces;
  std::map<int, std::vector<std::vector<long>>> segments;
  friend bool operator==(const ShapeImage&, const ShapeImage&) = default;
};

ShapeImage shapeImageOf(const AmgMesh& mesh) {
  ShapeImage image;
  for (int kind = CaeTopoRef::kVertex; kind <= CaeTopoRef::kFace; ++kind)
    for (int index = 1; index < 64; ++index) {
      std::vector<CaeNode*> nodes;
      mesh.NodesOnShape(kind, index, nodes);
      for (CaeNode* node : nodes) image.nodes[{kind, index}].push_back(node->Id());
    }
  for (int index = 1; index < 64; ++index) {
    std::vector<CaeElemRef> faces;
    mesh.ElemFacesOnFace(index, faces);
    for (const CaeElemRef& face : faces) image.faces[index].emplace_back(face.Element()->Id(), face.Face());
    std::vector<std::vector<CaeNode*>> segments;
    mesh.SegmentsOnEdge(index, segments);
    for (const auto& segment : segments) {
      std::vector<long>& ids = image.segments[index].emplace_back();
      for (CaeNode* node : segment) ids.push_back(node->Id());
    }
  }
  return image;
}

class MeshRecordTest : public TopoTest {
 protected:
  void SetUp() override {
    TopoTest::SetUp();
    part_ = loadPart("plate_with_hole");
    body_ = bodyOf(part_);
    ASSERT_NE(body_, nullptr);
    bodyKey_ = body_->GetKey();
    if (!bodyKey_) bodyKey_ = keep(new AmiObjectKey(Ami::kBodyKey, part_, ""));
  }
  void TearDown() override {
    for (CaepMeshEnt* mesh : loose_) delete mesh;
    TopoTest::TearDown();
  }

  // A linear mesh of the plate, generated and given its keys; not in the drawing.
  CaepMeshEnt* generated(int order = 1) {
    auto* mesh = keepMesh(new CaepMeshEnt(body_));
    mesh->SetDefaultSize(8.0);
    mesh->SetElementOrder(order);
    EXPECT_EQ(mesh->MeshIt(), 1) << cadhost::printedText();
    mesh->SetBodyKey(bodyKey_);
    return mesh;
  }
  CaepMeshEnt* keepMesh(CaepMeshEnt* mesh) {
    loose_.push_back(mesh);
    return mesh;
  }

  std::string write(const CaepMeshEnt& mesh, AcDb::FilerType type = AcDb::kFileFiler) {
    CaeStamp::New();
    AcDbDwgFiler filer(type, db());
    EXPECT_EQ(mesh.dwgOutFields(&filer), Acad::eOk) << cadhost::printedText();
    return filer.takeBuffer();
  }
  Acad::ErrorStatus read(CaepMeshEnt& mesh, const std::string& data, AcDb::FilerType type = AcDb::kFileFiler) {
    AcDbDwgFiler filer(type, db(), data);
    return mesh.dwgInFields(&filer);
  }

  AcDbObjectId part_;
  AcTopoRef* body_ = nullptr;
  AmiObjectKey* bodyKey_ = nullptr;
  std::vector<CaepMeshEnt*> loose_;
};

TEST_F(MeshRecordTest, GeneratedMeshRoundTripsWithEachNodeInTheGroupOfItsTopology) {
  for (int order : {1, 2}) {
    SCOPED_TRACE(order);
    CaepMeshEnt* mesh = generated(order);
    ASSERT_GT(mesh->FaceKeys().Count(), 0);
    ASSERT_GT(mesh->EdgeKeys().Count(), 0);
    ASSERT_GT(mesh->VertexKeys().Count(), 0);
    const std::string data = write(*mesh);

    auto* copy = keepMesh(new CaepMeshEnt());
    ASSERT_EQ(read(*copy, data), Acad::eOk) << cadhost::printedText();
    EXPECT_EQ(copy->DataVersion(), 630);
    EXPECT_TRUE(copy->AwaitingRestore());
    EXPECT_EQ(copy->NumNodes(), 0);  // the engine mesh waits for the restore
    EXPECT_EQ(copy->ReadNodeCount(), mesh->NumNodes());
    EXPECT_EQ(copy->NodeGroupCount(), mesh->FaceKeys().Count() + mesh->EdgeKeys().Count() + mesh->VertexKeys().Count());
    EXPECT_EQ(copy->GetDefaultSize(), 8.0);
    EXPECT_EQ(copy->GetElementOrder(), order);

    copy->RestoreEngineMesh();
    EXPECT_FALSE(copy->AwaitingRestore());
    EXPECT_EQ(copy->Modified(), 0);
    EXPECT_EQ(copy->ReadNodeCount(), 0);
    EXPECT_TRUE(imageOf(*copy) == imageOf(*mesh));
    // Restored on the same faces: each face lists the nodes the generated mesh had on it.
    int facesWithNodes = 0;
    for (int i = 0; i < mesh->FaceKeys().Count(); ++i) {
      AcTopoRef* face = acTopoRefFromKey(mesh->FaceKeys().At(i));
      ASSERT_NE(face, nullptr);
      const std::set<long> before = idsOnTopo(*mesh, face);
      EXPECT_EQ(idsOnTopo(*copy, face), before) << "face " << i;
      if (!before.empty()) ++facesWithNodes;
    }
    EXPECT_GT(facesWithNodes, 0);
    // It answers per vertex, edge and face exactly as the generated mesh did, in the same order.
    const ShapeImage generatedShapes = shapeImageOf(*mesh);
    ASSERT_FALSE(generatedShapes.faces.empty());
    ASSERT_FALSE(generatedShapes.segments.empty());
    const ShapeImage restoredShapes = shapeImageOf(*copy);
    EXPECT_TRUE(restoredShapes.nodes == generatedShapes.nodes);
    EXPECT_TRUE(restoredShapes.faces == generatedShapes.faces);
    EXPECT_TRUE(restoredShapes.segments == generatedShapes.segments);
    // Written again, the restored mesh gives the same record.
    EXPECT_EQ(write(*copy), data);
  }
}

// A record of an older version, written by hand: one node on the body, no groups, one free
// node... enough for a linear shell triangle.
std::string oldRecord(AcDbDatabase* database, int version, const AmiObjectKey* key) {
  AcDbDwgFiler filer(AcDb::kFileFiler, database);
  filer.writeHardPointerId(AcDbHardPointerId());  // the object base: its owner
  filer.writeUInt16(static_cast<Adesk::UInt16>(version));
  if (version == 0) return filer.takeBuffer();
  if (version > 200) filer.writeInt16(1);
  amiWriteKey(&filer, key);
  filer.writeDouble(5.0);
  if (version > 200) {
    filer.writeDouble(1.0);
    filer.writeDouble(9.0);
  }
  for (int i = 0; i < 4; ++i) filer.writeInt16(static_cast<Adesk::Int16>(i == 0 ? CaeShapeTri : 1));
  filer.writeDouble(0.25);
  filer.writeInt16(1);
  filer.writeInt16(1);
  filer.writeInt16(1);  // state: modified
  for (int i = 0; i < 3; ++i) filer.writeInt32(0);
  filer.writeInt32(0);  // body nodes
  filer.writeInt32(3);  // free nodes
  for (int id = 1; id <= 3; ++id) {
    filer.writeInt32(id);
    filer.writeDouble(id == 2 ? 1.0 : 0.0);
    filer.writeDouble(id == 3 ? 1.0 : 0.0);
    filer.writeDouble(0.0);
    if (version > 100) filer.writeInt32(3);
  }
  filer.writeInt32(1);
  filer.writeInt32(7);
  filer.writeInt16(CaeElemShell);
  filer.writeInt16(CaeShapeTri);
  filer.writeInt16(CaeElemLinear);
  filer.writeInt32(3);
  for (int id = 1; id <= 3; ++id) filer.writeInt32(id);
  if (version > 100) {
    filer.writeInt32(0);
    filer.writeInt32(0);
  }
  return filer.takeBuffer();
}

TEST_F(MeshRecordTest, OlderVersionBranchesRead) {
  struct Case {
    int version;
    double minSize, maxSize;
  };
  for (const Case& c : {Case{100, 0.0, 0.0}, Case{200, 0.0, 0.0}, Case{630, 1.0, 9.0}}) {
    SCOPED_TRACE(c.version);
    auto* mesh = keepMesh(new CaepMeshEnt());
    ASSERT_EQ(read(*mesh, oldRecord(db(), c.version, bodyKey_)), Acad::eOk) << cadhost::printedText();
    EXPECT_EQ(mesh->DataVersion(), c.version);
    EXPECT_EQ(mesh->GetDefaultSize(), 5.0);
    EXPECT_EQ(mesh->GetMinSize(), c.minSize);
    EXPECT_EQ(mesh->GetMaxSize(), c.maxSize);
    EXPECT_EQ(mesh->GetAnglePerElement(), 0.25);
    EXPECT_EQ(mesh->Modified(), 1);
    EXPECT_EQ(mesh->GetElementOrder(), CaeElemLinear);
    mesh->RestoreEngineMesh();
    EXPECT_EQ(mesh->NumNodes(), 3);
    EXPECT_EQ(mesh->NumElements(), 1);
    EXPECT_TRUE(mesh->NeedsUpdate());
  }
}

TEST_F(MeshRecordTest, VersionZeroIsTheWordAloneBothWays) {
  auto* mesh = keepMesh(new CaepMeshEnt());
  const std::string record = oldRecord(db(), 0, nullptr);
  ASSERT_EQ(read(*mesh, record), Acad::eOk);
  EXPECT_EQ(mesh->DataVersion(), 0);
  EXPECT_FALSE(mesh->AwaitingRestore());
  EXPECT_EQ(write(*mesh), record);
}

TEST_F(MeshRecordTest, FilerFailureAtAnyCallAnswers53AndLeavesNothingHalfRead) {
  CaepMeshEnt* mesh = generated();
  const std::string data = write(*mesh);
  long calls = 0;
  {
    AcDbDwgFiler filer(AcDb::kFileFiler, db());
    CaeStamp::New();
    ASSERT_EQ(mesh->dwgOutFields(&filer), Acad::eOk);
    calls = filer.callCount();
  }
  ASSERT_GT(calls, 100);
  std::vector<long> failAt;
  for (long n = 1; n <= 60; ++n) failAt.push_back(n);
  for (long n = 61; n < calls; n += calls / 40) failAt.push_back(n);
  failAt.push_back(calls);
  for (long n : failAt) {
    SCOPED_TRACE(n);
    cadhost::clearPrintedText();
    AcDbDwgFiler out(AcDb::kFileFiler, db());
    out.setFailAt(n);
    CaeStamp::New();
    EXPECT_EQ(mesh->dwgOutFields(&out), Acad::eFilerError);
    AcDbDwgFiler in(AcDb::kFileFiler, db(), data);
    in.setFailAt(n);
    CaepMeshEnt copy;
    EXPECT_EQ(copy.dwgInFields(&in), Acad::eFilerError);
    EXPECT_FALSE(copy.AwaitingRestore());
    EXPECT_EQ(copy.ReadNodeCount(), 0);
  }
}

// Patches the Int32 at a byte offset of a record (past its one-byte type tag).
std::string patched(std::string data, std::size_t tagOffset, Adesk::Int32 value) {
  std::memcpy(&data[tagOffset + 1], &value, sizeof value);
  return data;
}

TEST_F(MeshRecordTest, DamagedRecordsFailWith53) {
  auto* mesh = keepMesh(new CaepMeshEnt());
  const std::string good = oldRecord(db(), 630, bodyKey_);
  ASSERT_EQ(read(*mesh, good), Acad::eOk);
  // Offsets found from the end of the record: element node count, a node id, the element count.
  const std::size_t int32Size = 5;
  const std::size_t tail = good.size() - 2 * int32Size;                // P, Q
  const std::size_t lastNodeId = tail - int32Size;                     // third node id
  const std::size_t nodeCount = lastNodeId - 3 * int32Size + 0;        // n, before the three ids
  const std::size_t elementCount = nodeCount - 3 * 3 - 2 * int32Size;  // M, before id and 3 Int16
  struct Case {
    const char* what;
    std::string record;
  };
  const Case cases[] = {
      {"17 node ids", patched(good, nodeCount, 17)},
      {"a node id naming no node", patched(good, lastNodeId, 99)},
      {"a negative element count", patched(good, elementCount, -1)},
      {"a count past the frame", patched(good, elementCount, 1000)},
      {"the record cut short", good.substr(0, good.size() - 3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CaepMeshEnt copy;
    EXPECT_EQ(read(copy, c.record), Acad::eFilerError);
    EXPECT_FALSE(copy.AwaitingRestore());
    EXPECT_EQ(copy.ReadNodeCount(), 0);
  }
}

TEST_F(MeshRecordTest, UndoReReadOfALiveMeshReplacesItsStateAndStaysRestored) {
  CaepMeshEnt* mesh = generated();
  const MeshImage before = imageOf(*mesh);
  const int faces = mesh->FaceKeys().Count();
  const std::string undo = write(*mesh, AcDb::kUndoFiler);
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(read(*mesh, undo, AcDb::kUndoFiler), Acad::eOk) << cadhost::printedText();
    EXPECT_FALSE(mesh->AwaitingRestore());
    EXPECT_EQ(mesh->FaceKeys().Count(), faces);
    EXPECT_EQ(mesh->NodeGroupCount(), 0);
    EXPECT_TRUE(imageOf(*mesh) == before);
  }
  // Saved afterwards, each group is written once.
  auto* copy = keepMesh(new CaepMeshEnt());
  ASSERT_EQ(read(*copy, write(*mesh)), Acad::eOk);
  EXPECT_EQ(copy->NodeGroupCount(), faces + mesh->EdgeKeys().Count() + mesh->VertexKeys().Count());
  EXPECT_EQ(copy->ReadNodeCount(), mesh->NumNodes());
}

TEST_F(MeshRecordTest, MeshUseFilersCatchTheEngineException) {
  CaepMeshUse use;
  for (bool reading : {false, true}) {
    SCOPED_TRACE(reading);
    cadhost::clearPrintedText();
    AcDbDwgFiler filer(AcDb::kFileFiler, db(), "");
    filer.setFailAt(1);
    AcDbDwgFiler out(AcDb::kFileFiler, db());
    out.setFailAt(1);
    const Acad::ErrorStatus status = reading ? use.dwgInFields(&filer) : use.dwgOutFields(&out);
    EXPECT_EQ(status, Acad::eFilerError);
    EXPECT_NE(cadhost::printedText().find("\nTLX Exception: "), std::string::npos) << cadhost::printedText();
  }
}

// The mesh of the first sub-model of the drawing's first model, opened for write in the caller's
// transaction; null when there is none.
CaepMeshEnt* firstMesh(AcDbDatabase* database, CaepAnlSubModelObj** subModel = nullptr) {
  CaepAnlControl* control = dbControlOf(database);
  auto* model = control ? dynamic_cast<CaepAnlModelObj*>(control->FirstAnlModel()) : nullptr;
  if (!model || model->SubModelIds().empty()) return nullptr;
  auto* sub = CaepAnlSubModelObj::cast(dbOpenMember(database, model->SubModelIds().front(), AcDb::kForWrite, true));
  if (subModel) *subModel = sub;
  return sub ? CaepMeshEnt::cast(dbOpenMember(database, sub->MeshId(), AcDb::kForWrite, true)) : nullptr;
}

std::string layerName(AcDbEntity* entity) {
  AcDbObjectId layer;
  acGetLayer(acCaeLayerName(kCaeLayerMesh), layer);
  return entity->layerId() == layer ? "CAE_MESH" : "other";
}

TEST_F(MeshRecordTest, ReopenedDrawingRestoresTheMeshOnItsLayerAndEraseTakesTheSubModel) {
  MeshImage before;
  std::map<int, std::set<long>> onFaces;
  {
    DbTransaction transaction(db());
    auto* model = dynamic_cast<CaepAnlModelObj*>(dbControlOf(db())->NewAnlModel(CaeString("Stress"), AnlStress));
    ASSERT_NE(model, nullptr);
    model->NewMesh(body_);
    CaepMeshEnt* mesh = firstMesh(db());
    ASSERT_NE(mesh, nullptr);
    mesh->SetDefaultSize(8.0);
    mesh->SetElementOrder(1);
    ASSERT_EQ(mesh->MeshIt(), 1) << cadhost::printedText();
    mesh->SetBodyKey(bodyKey_);
    before = imageOf(*mesh);
    for (int i = 0; i < mesh->FaceKeys().Count(); ++i)
      onFaces[i] = idsOnTopo(*mesh, acTopoRefFromKey(mesh->FaceKeys().At(i)));
  }
  kestrum::test::TempDir dir;
  const std::string path = (dir / "mesh.dwg").string();
  command("SAVEAS " + path);
  command("CLOSE");
  command("OPEN " + path);
  ASSERT_NE(acDocManagerPtr()->curDocument(), nullptr);
  command("REGENALL");  // the drawing's post-load pass runs by its first command
  DbTransaction transaction(db());
  CaepAnlSubModelObj* sub = nullptr;
  CaepMeshEnt* mesh = firstMesh(db(), &sub);
  ASSERT_NE(mesh, nullptr) << cadhost::printedText();
  EXPECT_FALSE(mesh->AwaitingRestore());
  EXPECT_EQ(mesh->Modified(), 0);
  EXPECT_EQ(mesh->NeedsUpdate(), 0);
  EXPECT_EQ(layerName(mesh), "CAE_MESH");
  EXPECT_TRUE(imageOf(*mesh) == before);
  for (const auto& [i, ids] : onFaces) EXPECT_EQ(idsOnTopo(*mesh, acTopoRefFromKey(mesh->FaceKeys().At(i))), ids) << i;

  ASSERT_EQ(mesh->erase(), Acad::eOk);
  EXPECT_TRUE(mesh->IsMarkedAsErased());
  EXPECT_TRUE(sub->isErased());
  EXPECT_TRUE(sub->ErasedWithMesh());
  ASSERT_EQ(mesh->erase(false), Acad::eOk);
  EXPECT_FALSE(mesh->IsMarkedAsErased());
  EXPECT_FALSE(sub->isErased());
}

}  // namespace
