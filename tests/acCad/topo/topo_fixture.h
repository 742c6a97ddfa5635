// An in-process host with the part modeller and the add-in loaded, so the current drawing has its
// topology tables; parts from part files, and plain solids from any OpenCASCADE shape for the
// surfaces no part feature makes (spheres, cones, tori).
#pragma once

#include <gtest/gtest.h>
#include <TopoDS_Shape.hxx>

#include <memory>
#include <string>
#include <vector>

#include "arx/brbrep.h"
#include "arx/dbbrep.h"
#include "arx/dbentity.h"
#include "mcad/amikey.h"
#include "mfc/driver.h"
#include "test_env.h"

class AcTopoRef;
class AcDbDatabase;

namespace topotest {

// A drawing entity whose B-rep is a given shape (no part, so no keys).
class TestSolid : public AcDbEntity, public AcDbBrepSource {
  ACRX_DECLARE_MEMBERS(TestSolid);

 public:
  const TopoDS_Shape* brepShape() const override { return &shape; }
  TopoDS_Shape shape;
};

// Answers every modal window and message box with OK.
class QuietDriver : public mfc::UserDriver {
 public:
  bool onModalIdle(CWnd& window) override;
  int onMessageBox(const mfc::MessageBoxRequest&) override { return 1; }
  std::optional<std::string> onFileDialog(const mfc::FileDialogRequest&) override { return std::nullopt; }
  UINT onPopupMenu(const CMenu&, CWnd*) override { return 0; }
};

class TopoTest : public ::testing::Test {
 public:
  // The current drawing's database.
  static AcDbDatabase* db();

 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs one command line as typed at the prompt (PART, PARAM, UNDO, SAVEAS, OPEN ...).
  static void command(const std::string& line);
  // Loads a part file (a shipped part's name, or a path) with the PART command; its entity.
  AcDbObjectId loadPart(const std::string& nameOrPath);
  static std::string fixturePath(const std::string& file);
  // Adds a solid for `shape` to model space.
  AcDbObjectId addSolid(const TopoDS_Shape& shape);

  // A key the test owns (freed at the end).
  AmiObjectKey* keep(AmiObjectKey* key);
  AmiObjectKey* faceKey(AcDbObjectId part, const std::string& name);
  // The reference of a named face, edge or vertex of a part; fails the test when it does not resolve.
  AcTopoRef* refOf(AcDbObjectId part, Ami::KeyType type, const std::string& name);
  // The body reference of a solid (part or TestSolid) and the reference of its face `index`
  // (1-based MapShapes order).
  AcTopoRef* bodyOf(AcDbObjectId solid);
  AcTopoRef* faceOf(AcDbObjectId solid, int index);
  AcTopoRef* edgeOf(AcDbObjectId solid, int index);

 private:
  mfc::ScopedUserDriver* driverScope_ = nullptr;
  QuietDriver driver_;
  std::vector<std::unique_ptr<AmiObjectKey>> keys_;
};

// The references among `parent`'s children, with their flags, in walk order.
std::vector<std::pair<AcTopoRef*, int>> childrenOf(AcTopoRef* parent);

}  // namespace topotest
