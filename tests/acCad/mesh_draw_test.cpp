// The mesh entity's drawing on the sample plate: every element face as a shell of exact layout,
// nothing for a hidden part or while the mesh display is off.
#include <gtest/gtest.h>

#include <vector>

#include "arx/dbentity.h"
#include "arx/gidisplay.h"
#include "cadInterface/CadInterface.h"
#include "db/dbMesh.h"
#include "db/dbOpen.h"
#include "fea/FerState.h"
#include "symbol_fixture.h"
#include "topo/acTopoRef.h"
#include "util/acPost.h"

namespace symboltest {
namespace {

class MeshDrawTest : public SymbolTest {
 protected:
  // A mesh of the plate with elements of `order` (shells when `shell`), posted to model space.
  AcDbObjectId postedMesh(AcDbObjectId part, int order, bool shell) {
    auto* mesh = new CaepMeshEnt(bodyOf(part));
    mesh->SetDefaultSize(10.0);
    mesh->SetElementOrder(order);
    if (shell) mesh->SetElementType(CaeElemShell);
    EXPECT_EQ(mesh->MeshIt(), 1);
    elements_ = mesh->NumElements();
    AcDbObjectId id;
    acPostToModelSpaceAndClose(mesh, id);
    return id;
  }
  int elements_ = 0;
};

TEST_F(MeshDrawTest, EveryElementFaceIsOneShellOfTheTabledLayout) {
  struct Case {
    int order;
    bool shell;
    std::size_t vertices;
    std::vector<Adesk::Int32> faces;
    std::vector<Adesk::UInt8> visibility;
    int facesPerElement;
  };
  const Case cases[] = {
      {1, true, 3, {3, 0, 1, 2}, {1, 1, 1}, 1},
      {2, true, 6, {3, 5, 0, 3, 3, 3, 1, 4, 3, 4, 2, 5, 3, 3, 4, 5}, {1, 1, 0, 1, 1, 0, 1, 1, 0, 0, 0, 0}, 1},
      {1, false, 3, {3, 0, 1, 2}, {1, 1, 1}, 4},
  };
  const AcDbObjectId part = loadPart("plate_with_hole");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.order * 10 + c.shell);
    const AcDbObjectId mesh = postedMesh(part, c.order, c.shell);
    const std::vector<AcGiPrimitive> drawn = drawnBy(mesh);
    ASSERT_EQ(static_cast<int>(drawn.size()), elements_ * c.facesPerElement);
    for (const AcGiPrimitive& shell : drawn) {
      ASSERT_EQ(shell.kind, AcGiPrimitive::kShell);
      EXPECT_EQ(shell.points.size(), c.vertices);
      EXPECT_EQ(shell.faceList, c.faces);
      EXPECT_EQ(shell.edgeVisibility, c.visibility);
      EXPECT_EQ(shell.edgeColors, std::vector<short>(c.visibility.size(), 7));
      // Faces are coloured "by block", which the display resolves to the entity's colour.
      EXPECT_EQ(shell.faceColors, std::vector<short>(c.faces.size() / 4, static_cast<short>(shell.color)));
    }
  }
}

TEST_F(MeshDrawTest, ShadedDisplayDrawsTheExteriorFacesWithEdgesThatShowOnThem) {
  const AcDbObjectId part = loadPart("plate_with_hole");
  for (int order : {1, 2}) {
    SCOPED_TRACE(order);
    const AcDbObjectId id = postedMesh(part, order, false);
    int exterior = 0;
    {
      DbTransaction transaction(db());
      auto* mesh = CaepMeshEnt::cast(dbOpenMember(db(), id, AcDb::kForRead));
      ASSERT_NE(mesh, nullptr);
      CaePrimaryList<CaeElemRef> faces;
      exterior = mesh->ExteriorElemRefs(faces, 4, 4);
    }
    ASSERT_GT(exterior, 0);
    ASSERT_LT(exterior, 4 * elements_);
    AcGiView view;
    view.width = 400;
    view.height = 300;
    view.regenType = AcGi::kAcGiShadedDisplay;
    AcGiDisplayList shaded(db(), view);
    shaded.regenerate();
    const std::vector<AcGiPrimitive>& drawn = shaded.primitivesOf(id);
    EXPECT_EQ(static_cast<int>(drawn.size()), exterior);
    for (const AcGiPrimitive& shell : drawn) EXPECT_EQ(shell.points.size(), order == 1 ? 3u : 6u);

    // Faces "by block" take the entity's colour; the edges (colour 7) must still show on them.
    ASSERT_FALSE(drawn.empty());
    ASSERT_EQ(drawn.front().faceColors.front(), 7) << "the entity's colour makes faces and edges alike";
    const AcGiImage image = acgiRender(shaded);
    const AcGiImage::Pixel white = acgiColorOf(7);
    int edgePixels = 0, facePixels = 0;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) {
        const AcGiImage::Pixel p = image.at(x, y);
        if (p == kAcGiBackground || p.r != p.g || p.g != p.b) continue;
        if (p.r < white.r / 4) {
          ++edgePixels;
        } else {
          ++facePixels;
        }
      }
    EXPECT_GT(facePixels, 0);
    EXPECT_GT(edgePixels, facePixels / 50) << "element edges are seen on the faces";
    {
      DbTransaction transaction(db());
      dbOpenMember(db(), id, AcDb::kForWrite)->erase();
    }
  }
}

TEST_F(MeshDrawTest, HiddenPartOrMeshDisplayOffDrawsNothing) {
  const AcDbObjectId part = loadPart("plate_with_hole");
  const AcDbObjectId mesh = postedMesh(part, 1, true);
  ASSERT_FALSE(drawnBy(mesh).empty());

  CadInterface* cad = CadInterface::GetCurrent();
  ASSERT_NE(cad, nullptr);
  SymbolVisibility flags;
  cad->GetSymbolVisibility(flags);
  flags.mesh = 0;
  cad->SetSymbolVisibility(flags, 0);
  EXPECT_TRUE(drawnBy(mesh).empty());
  flags.mesh = 1;
  cad->SetSymbolVisibility(flags, 0);
  EXPECT_FALSE(drawnBy(mesh).empty());
  // Results shown, with the application's results state and without one (nothing to refresh):
  // the mesh is drawn either way.
  flags.results = 1;
  cad->SetSymbolVisibility(flags, 0);
  EXPECT_FALSE(drawnBy(mesh).empty());
  FerState* state = FerState::SetState(nullptr);
  EXPECT_FALSE(drawnBy(mesh).empty());
  FerState::SetState(state);
  flags.results = 0;
  cad->SetSymbolVisibility(flags, 0);

  {
    DbTransaction transaction(db());
    auto* entity = AcDbEntity::cast(dbOpenMember(db(), part, AcDb::kForWrite));
    ASSERT_NE(entity, nullptr);
    entity->setVisibility(AcDb::kInvisible);
  }
  EXPECT_TRUE(drawnBy(mesh).empty());
}

}  // namespace
}  // namespace symboltest
