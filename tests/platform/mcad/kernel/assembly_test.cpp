#include <gtest/gtest.h>

#include <BRepBuilderAPI_MakeVertex.hxx>
#include <gp_Ax1.hxx>

#include <fstream>

#include "kernel_test_helpers.h"
#include "mcadkernel/assembly.h"
#include "mcadkernel/error.h"
#include "test_env.h"

using kerneltest::bounds;
using kestrum::test::sourcePath;
using kestrum::test::TempDir;
using mcadkernel::KernelError;

namespace {

TEST(Assembly, SampleAssemblyPlacesBothParts) {
  auto assembly = mcadkernel::readAssemblyFile(sourcePath("data/parts/plate_and_bracket.asm"));
  ASSERT_EQ(assembly->components().size(), 2u);
  EXPECT_DOUBLE_EQ(assembly->globals().value("Lift"), 10);
  // The bracket's base bottom sits on the plate's top.
  auto plateTop = bounds(assembly->resolve("base/plate/top"));
  auto bracketBottom = bounds(assembly->resolve("arm/base/bottom"));
  EXPECT_NEAR(plateTop[5], 10, 1e-6);
  EXPECT_NEAR(bracketBottom[2], 10, 1e-6);
  EXPECT_NEAR(bracketBottom[0], 20, 1e-6);
  EXPECT_NEAR(bracketBottom[1], 30, 1e-6);
  EXPECT_EQ(assembly->nameOf(assembly->resolve("arm/mount/side")), "arm/mount/side");
  EXPECT_EQ(assembly->nameOf(assembly->resolve("base/plate/top")), "base/plate/top");
  EXPECT_TRUE(assembly->resolve("arm/nothing/here").IsNull());
  EXPECT_TRUE(assembly->resolve("nobody/plate/top").IsNull());
  EXPECT_TRUE(assembly->placedShape("nobody").IsNull());
}

TEST(Assembly, OnePartPlacedTwiceKeepsEachPlacementApart) {
  mcadkernel::Assembly assembly;
  mcadkernel::Part& part = assembly.newPart("block");
  part.define({{"S", "10"}},
              kerneltest::partFrom("part x\nparam S = 10\nbox b corner=(0, 0, 0) size=(S, S, S)\n")->features());
  gp_Trsf moved;
  moved.SetTranslation(gp_Vec(100, 0, 0));
  gp_Trsf turned;
  turned.SetRotation(gp_Ax1(gp_Pnt(0, 0, 0), gp_Dir(0, 0, 1)), M_PI / 2);
  assembly.addComponent("first", "block", gp_Trsf());
  assembly.addComponent("second", "block", moved);
  assembly.addComponent("third", "block", turned);
  EXPECT_NEAR(bounds(assembly.resolve("second/b/right"))[0], 110, 1e-6);
  // Turned a quarter about z, the part's +x side faces +y.
  EXPECT_NEAR(bounds(assembly.resolve("third/b/right"))[4], 10, 1e-6);
  // The same part subshape placed three times: each placement answers with its own component.
  EXPECT_EQ(assembly.nameOf(assembly.resolve("first/b/right")), "first/b/right");
  EXPECT_EQ(assembly.nameOf(assembly.resolve("second/b/right")), "second/b/right");
  EXPECT_EQ(assembly.nameOf(assembly.resolve("third/b/right|b/top")), "third/b/right|b/top");
  EXPECT_EQ(assembly.nameOf(BRepBuilderAPI_MakeVertex(gp_Pnt(0, 0, 0)).Shape()), "");

  part.setParameterValue("S", 20);  // every placement follows the part
  EXPECT_NEAR(bounds(assembly.placedShape("second"))[3], 120, 1e-6);

  gp_Trsf scaled;
  scaled.SetScale(gp_Pnt(0, 0, 0), 2);
  gp_Trsf mirrored;
  mirrored.SetMirror(gp_Pnt(0, 0, 0));
  EXPECT_THROW(assembly.addComponent("big", "block", scaled), KernelError);
  EXPECT_THROW(assembly.addComponent("flip", "block", mirrored), KernelError);
  EXPECT_THROW(assembly.addComponent("second", "block", moved), KernelError);
  EXPECT_THROW(assembly.addComponent("ghost", "nothing", moved), KernelError);
  EXPECT_EQ(assembly.components().size(), 3u);
}

TEST(Assembly, GlobalParametersDriveThePartsThatUseThem) {
  mcadkernel::Assembly assembly;
  assembly.defineGlobals({{"Thick", "5"}});
  mcadkernel::Part& user = assembly.newPart("user");
  auto read = mcadkernel::readPart("part user\nparam A = Thick * 2\nbox b corner=(0, 0, 0) size=(A, 10, Thick)\n",
                                   "user.part", &assembly.globals());
  user.define({{"A", "Thick * 2"}}, read->features());
  mcadkernel::Part& other = assembly.newPart("other");
  other.define({}, kerneltest::partFrom("part o\nbox c corner=(0, 0, 0) size=(1, 1, 1)\n")->features());

  EXPECT_EQ(assembly.partsUsingGlobal("Thick"), (std::vector<mcadkernel::Part*>{&user}));
  EXPECT_NEAR(user.massProperties().volume, 10 * 10 * 5, 1e-9);
  assembly.setGlobalValue("Thick", 2);
  EXPECT_NEAR(user.massProperties().volume, 4 * 10 * 2, 1e-9);

  // A global value the part cannot be built with is refused, and the global keeps its value.
  TopoDS_Shape shape = user.shape();
  EXPECT_THROW(assembly.setGlobalValue("Thick", -1), KernelError);
  EXPECT_DOUBLE_EQ(assembly.globals().value("Thick"), 2);
  EXPECT_TRUE(user.shape().IsSame(shape));
  EXPECT_THROW(assembly.setGlobalValue("Nope", 1), KernelError);
  EXPECT_THROW(assembly.newPart("user"), KernelError);
  EXPECT_THROW(assembly.adoptPart(kerneltest::partFrom("part loose\nbox c corner=(0, 0, 0) size=(1, 1, 1)\n")),
               KernelError);
  EXPECT_EQ(assembly.parts().size(), 2u);
}

TEST(Assembly, BadAssemblyFilesNameTheLine) {
  TempDir dir;
  std::ofstream(dir / "p.part") << "part p\nbox b corner=(0, 0, 0) size=(1, 1, 1)\n";
  std::ofstream(dir / "bad.part") << "part q\nwedge w\n";
  struct Case {
    const char* what;
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"no header", "part p.part\n", ":1: expected \"assembly NAME\" first"},
      {"missing part file", "assembly a\npart none.part\n", ":2: cannot read"},
      {"bad part file", "assembly a\npart bad.part\n", "bad.part:2: unknown feature \"wedge\""},
      {"unknown part", "assembly a\npart p.part\ncomponent c q\n", ":3: component c: no part named q"},
      {"unknown line", "assembly a\nwidget w\n", ":2: unknown line \"widget\""},
      {"bad global", "assembly a\nglobal G = G * 2\n", ":2: parameter G refers to itself"},
      {"bad placement", "assembly a\npart p.part\ncomponent c p at=(1, 2)\n", ":3: component: at needs 3 values"},
      {"part twice", "assembly a\npart p.part\npart p.part\n", ":3:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::ofstream(dir / "a.asm") << c.text;
    try {
      mcadkernel::readAssemblyFile(dir / "a.asm");
      ADD_FAILURE() << "accepted";
    } catch (const KernelError& e) {
      EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
    }
  }
}

// Assembly text from memory: problems name the assembly file and line, and a part file it names
// that is damaged is reported through the line that names it.
TEST(Assembly, AssemblyTextFromMemoryAnswersWithAProblem) {
  TempDir dir;
  std::ofstream(dir / "p.part") << "part p\nbox b corner=(0, 0, 0) size=(1, 1, 1)\n";
  std::ofstream(dir / "bad.part") << "part q\nwedge w\n";
  struct Case {
    const char* what;
    std::string text;
    int line;
    const char* says;
  };
  const Case cases[] = {
      {"empty", "", 0, "the file is empty"},
      {"missing part file", "assembly a\npart none.part\n", 2, "cannot read"},
      {"damaged part file", "assembly a\npart bad.part\n", 2, "bad.part:2: unknown feature \"wedge\""},
      {"global nested deep", "assembly a\nglobal G = " + std::string(500, '(') + "1" + std::string(500, ')') + "\n", 2,
       "nested more than"},
      {"placement not a number", "assembly a\npart p.part\ncomponent c p at=(1e999, 0, 0)\n", 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    kestrum::Result<std::unique_ptr<mcadkernel::Assembly>> assembly = mcadkernel::parseAssembly(c.text, dir / "a.asm");
    ASSERT_FALSE(assembly.ok());
    EXPECT_EQ(assembly.problem().file, (dir / "a.asm").string());
    EXPECT_EQ(assembly.problem().line, c.line) << assembly.problem().Describe();
    EXPECT_NE(assembly.problem().message.find(c.says), std::string::npos) << assembly.problem().message;
  }
  kestrum::Result<std::unique_ptr<mcadkernel::Assembly>> good =
      mcadkernel::parseAssembly("assembly a\npart p.part\ncomponent c p at=(1, 2, 3)\n", dir / "a.asm");
  ASSERT_TRUE(good.ok()) << good.problem().Describe();
  EXPECT_EQ((*good)->components().size(), 1u);
}

}  // namespace
