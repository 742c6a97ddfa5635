#include "topo_fixture.h"

#include "CadInterface/AcCadEntry.h"
#include "amg/CaeEngine.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/brtrav.h"
#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "mcad/amiapp.h"
#include "mcad/amipart.h"
#include "mfc/afx.h"
#include "topo/acTopoNav.h"
#include "topo/acTopoRef.h"
#include "util/acBrEnt.h"

namespace topotest {

ACRX_CONS_DEFINE_MEMBERS(TestSolid, AcDbEntity, "TESTSOLID")

bool QuietDriver::onModalIdle(CWnd& window) {
  if (auto* dialog = dynamic_cast<CDialog*>(&window)) {
    dialog->EndDialog(IDOK);
    return true;
  }
  return false;
}

void TopoTest::SetUp() {
  CaeEngine::ResetState();
  cadhost::clearPrintedText();
  driverScope_ = new mfc::ScopedUserDriver(&driver_);
  cadhost::startHost(true);
  ASSERT_TRUE(mcadLoadApiModule());
  ASSERT_TRUE(acrxModuleAttach());
  ASSERT_TRUE(acrxDynamicLinker->loadBuiltinApplication("kestrum.arx", acrxEntryPoint)) << cadhost::printedText();
  TestSolid::desc();
}

void TopoTest::TearDown() {
  keys_.clear();
  cadhost::shutdownHost();
  acrxModuleDetach();
  mcadResetServices();
  cadhost::clearInput();
  cadhost::clearPrintedText();
  delete driverScope_;
  driverScope_ = nullptr;
}

AcDbDatabase* TopoTest::db() { return acDocManagerPtr()->curDocument()->database(); }

void TopoTest::command(const std::string& line) {
  cadhost::queueText(line);
  ASSERT_TRUE(cadhost::runNextCommand()) << line;
}

std::string TopoTest::fixturePath(const std::string& file) {
  return kestrum::test::sourcePath("tests/acCad/topo/fixtures/" + file).string();
}

AcDbObjectId TopoTest::loadPart(const std::string& nameOrPath) {
  const std::size_t before = mcadPartIds(db()).size();
  command("PART \"" + nameOrPath + "\"");
  std::vector<AcDbObjectId> parts = mcadPartIds(db());
  EXPECT_EQ(parts.size(), before + 1) << cadhost::printedText();
  return parts.empty() ? AcDbObjectId() : parts.back();
}

AcDbObjectId TopoTest::addSolid(const TopoDS_Shape& shape) {
  auto* solid = new TestSolid();
  solid->shape = shape;
  AcDbBlockTableRecord* modelSpace = nullptr;
  EXPECT_EQ(acdbOpenObject(modelSpace, db()->modelSpaceId(), AcDb::kForWrite), Acad::eOk);
  AcDbObjectId id;
  EXPECT_EQ(modelSpace->appendAcDbEntity(id, solid), Acad::eOk);
  modelSpace->close();
  solid->close();
  return id;
}

AmiObjectKey* TopoTest::keep(AmiObjectKey* key) {
  keys_.emplace_back(key);
  return key;
}

AmiObjectKey* TopoTest::faceKey(AcDbObjectId part, const std::string& name) {
  return keep(new AmiObjectKey(Ami::kFaceKey, part, name));
}

AcTopoRef* TopoTest::refOf(AcDbObjectId part, Ami::KeyType type, const std::string& name) {
  AcTopoRef* reference = acTopoRefFromKey(keep(new AmiObjectKey(type, part, name)));
  EXPECT_NE(reference, nullptr) << name;
  return reference;
}

namespace {
AcTopoRef* refAtPath(AcDbObjectId solid, AcBrEntity& probe, AcDb::SubentType type, int index) {
  EXPECT_EQ(probe.setSubentPath(AcDbFullSubentPath(solid, AcDbSubentId(type, index))), AcBr::eOk);
  AcTopoRef* reference = acTopoRefFromBrEntity(acCanonicalBrEntity(&probe));
  EXPECT_NE(reference, nullptr);
  return reference;
}
}  // namespace

AcTopoRef* TopoTest::bodyOf(AcDbObjectId solid) {
  AcBrBrep body;
  return refAtPath(solid, body, AcDb::kNullSubentType, 0);
}

AcTopoRef* TopoTest::faceOf(AcDbObjectId solid, int index) {
  AcBrFace face;
  return refAtPath(solid, face, AcDb::kFaceSubentType, index);
}

AcTopoRef* TopoTest::edgeOf(AcDbObjectId solid, int index) {
  AcBrEdge edge;
  return refAtPath(solid, edge, AcDb::kEdgeSubentType, index);
}

std::vector<std::pair<AcTopoRef*, int>> childrenOf(AcTopoRef* parent) {
  std::vector<std::pair<AcTopoRef*, int>> children;
  int flag = 0;
  for (CaeTopoRef* child = parent->FirstChild(flag); child; child = parent->NextChild(child, flag, flag))
    children.emplace_back(static_cast<AcTopoRef*>(child), flag);
  return children;
}

}  // namespace topotest
