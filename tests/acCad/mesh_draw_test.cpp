// The mesh entity's drawing on the sample plate: every element face as a shell of exact layout,
// nothing for a hidden part or while the mesh display is off.
#include <gtest/gtest.h>

#include <vector>

#include "arx/dbentity.h"
#include "cadInterface/CadInterface.h"
#include "db/dbMesh.h"
#include "db/dbOpen.h"
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
