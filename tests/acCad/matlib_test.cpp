// The material library files: reading, writing, two objects on one file, bad input, the shipped
// libraries and the interface that hands libraries out.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CadInterface/AcCadAppControl.h"
#include "CadInterface/AcCadInterface.h"
#include "amg/CaeConfig.h"
#include "amg/CaeEngine.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeStringList.h"
#include "arx/hostcmds.h"
#include "cadInterface/CadResources.h"
#include "db/dbMatLib.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "mfc/win32_files.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string>& Messages() {
  static std::vector<std::string> messages;
  return messages;
}
void Record(int, const CaeString& text) { Messages().push_back(text.Str()); }

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// One row in file terms, as the system's own library writes it: E nu rho alpha ult yield k c.
constexpr char kSteelRow[] = " 2e11 0.3 7850 1.2e-5 4e8 2.5e8 45 460";

class MatLibTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CaeEngine::ResetState();
    Messages().clear();
    CaeMsgCall::SetMsgRoutine(&Record);
    dir = fs::temp_directory_path() / ("matlib-" + std::to_string(getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    CaeMsgCall::SetMsgRoutine(nullptr);
    fs::remove_all(dir);
    CaeEngine::ResetState();
  }
  fs::path File(const std::string& text, const char* name = "lib.mat") {
    fs::path path = dir / name;
    WriteFile(path, text);
    return path;
  }
  static bool Said(const std::string& part) {
    for (const std::string& m : Messages())
      if (m.find(part) != std::string::npos) return true;
    return false;
  }
  static std::vector<double> Temps(const CaeMaterial& material) {
    CaeArray<double> temps;
    material.GetTemps(temps);
    std::vector<double> out;
    for (int i = 0; i < temps.Count(); ++i) out.push_back(temps[i]);
    return out;
  }
  static std::vector<std::string> Names(MaterialLibrary& library) {
    CaeStringList list;
    library.ListNames(list);
    std::vector<std::string> names;
    for (CaeString* name : list) names.push_back(name->Str());
    return names;
  }
  static double Prop(const CaeMaterial& material, double temperature, int prop) {
    double values[CaeMaterial::kPropCount] = {};
    EXPECT_EQ(material.GetProp(temperature, values), 1) << material.Name().Str() << " at " << temperature;
    return values[prop];
  }

  fs::path dir;
};

// --- reading the system's own format -------------------------------------------------------------

struct ReadCase {
  const char* name;
  std::string text;
  std::vector<std::pair<std::string, std::vector<double>>> materials;  // name and its temperatures
};

TEST_F(MatLibTest, ReadsMaterialsWhateverTheLineEndsAndBlankLines) {
  const std::string row = kSteelRow;
  const std::string longName(300, 'x');
  const std::vector<ReadCase> cases = {
      {"no ninth value", "Material: Steel\n" + row + "\n", {{"Steel", {298.15}}}},
      {"two temperatures", "Material: Al\n" + row + " 300\nMaterial: Al\n" + row + " 400\n", {{"Al", {300, 400}}}},
      {"blank line before a header", "# c\n\nMaterial: A\n" + row + "\n", {{"A", {298.15}}}},
      {"CRLF",
       "# c\r\nMaterial: A\r\n" + row + "\r\n\r\nMaterial: B\r\n" + row + " 300\r\n",
       {{"A", {298.15}}, {"B", {300}}}},
      {"row ending in blanks",
       "Material: A\n" + row + "   \nMaterial: B\n" + row + " 310\n",
       {{"A", {298.15}}, {"B", {310}}}},
      {"row ending in CR without ninth value",
       "Material: A\n" + row + "\r\nMaterial: B\n" + row + "\n",
       {{"A", {298.15}}, {"B", {298.15}}}},
      {"byte 255 in a comment",
       "# caf\xff\nMaterial: A\n" + row + "\nMaterial: B\n" + row + "\n",
       {{"A", {298.15}}, {"B", {298.15}}}},
      {"long name", "Material: " + longName + "\n" + row + " 300\n", {{longName, {300}}}},
      {"values over two lines", "Material: A\n 2e11 0.3 7850 1.2e-5\n 4e8 2.5e8 45 460 350\n", {{"A", {350}}}},
      {"no final line end", "Material: A\n" + row + " 320", {{"A", {320}}}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    Messages().clear();
    MaterialLibrary library(File(c.text).c_str());
    std::vector<std::string> expectedNames;
    for (const auto& [name, temps] : c.materials) {
      expectedNames.push_back(name);
      CaeMaterial* material = library.Find(name.c_str());
      ASSERT_NE(material, nullptr) << name;
      EXPECT_EQ(Temps(*material), temps);
      EXPECT_DOUBLE_EQ(Prop(*material, temps[0], CaeMaterial::kModulus), 2e11);
      EXPECT_DOUBLE_EQ(Prop(*material, temps[0], CaeMaterial::kSpecificHeat), 460);
    }
    EXPECT_EQ(Names(library), expectedNames);
    EXPECT_TRUE(Messages().empty()) << Messages().front();
  }
}

TEST_F(MatLibTest, ColumnsGoToTheirProperties) {
  MaterialLibrary library(File("Material: Steel\n 2e11 0.3 7850 1.2e-5 4e8 2.5e8 45 460 293.15\n").c_str());
  CaeMaterial* steel = library.Find("Steel");
  ASSERT_NE(steel, nullptr);
  const double expected[] = {7850, 2e11, 2e11 / 2.6, 0.3, 2.5e8, 4e8, 45, 1.2e-5, 460};
  for (int p = 0; p < CaeMaterial::kPropCount; ++p)
    EXPECT_DOUBLE_EQ(Prop(*steel, 293.15, p), expected[p]) << CaeMaterial::PropName(p);
}

// --- bad lines are reported with file and line and kept ---------------------------------------------

struct BadCase {
  const char* name;
  std::string block;  // starts at line 2 of the file
  int line;           // the line the report names
  const char* reason;
};

TEST_F(MatLibTest, ReportsAndKeepsBadMaterialLines) {
  const std::vector<BadCase> cases = {
      {"non-numeric value", "Material: A\n 2e11 0.3 heavy 1.2e-5 4e8 2.5e8 45 460\n", 3, "\"heavy\" is not a number"},
      {"seven values", "Material: A\n 2e11 0.3 7850 1.2e-5 4e8 2.5e8 45\n", 3, "fewer than eight values"},
      {"zero modulus", "Material: A\n 0 0.3 7850 1.2e-5 4e8 2.5e8 45 460\n", 3, "Young's modulus 0"},
      {"negative density", "Material: A\n 2e11 0.3 -7850 1.2e-5 4e8 2.5e8 45 460\n", 3, "density -7850"},
      {"Poisson 0.5", "Material: A\n 2e11 0.5 7850 1.2e-5 4e8 2.5e8 45 460\n", 3, "Poisson's ratio 0.5"},
      {"Poisson -1", "Material: A\n 2e11 -1 7850 1.2e-5 4e8 2.5e8 45 460\n", 3, "Poisson's ratio -1"},
      {"zero kelvin", "Material: A\n 2e11 0.3 7850 1.2e-5 4e8 2.5e8 45 460 0\n", 3, "temperature 0 K"},
      {"temperature not a number", "Material: A\n 2e11 0.3 7850 1.2e-5 4e8 2.5e8 45 460 warm\n", 3,
       "temperature \"warm\""},
      {"header without a name", "Material:\n 2e11 0.3 7850 1.2e-5 4e8 2.5e8 45 460\n", 2, "without a name"},
      {"nothing after the header", "Material: A\n", 2, "fewer than eight values"},
      {"values without a header", " 2e11 0.3 7850 1.2e-5 4e8 2.5e8 45 460\n", 2, "values without a material header"},
      {"infinite value", "Material: A\n inf 0.3 7850 1.2e-5 4e8 2.5e8 45 460\n", 3, "\"inf\" is not a number"},
      {"control character in the name", std::string("Material: A\x01") + '\0' + "x\n" + kSteelRow + "\n", 2,
       "control character"},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.name);
    Messages().clear();
    const std::string text = "# first\n" + c.block + "Material: B\n" + kSteelRow + "\n";
    const fs::path path = File(text);
    {
      MaterialLibrary library(path.c_str());
      EXPECT_EQ(library.Find("A"), nullptr);
      EXPECT_NE(library.Find("B"), nullptr);
      ASSERT_EQ(Messages().size(), 1u);
      EXPECT_NE(Messages()[0].find(path.string() + ":" + std::to_string(c.line) + ": "), std::string::npos)
          << Messages()[0];
      EXPECT_NE(Messages()[0].find(c.reason), std::string::npos) << Messages()[0];
      ASSERT_EQ(library.Remove("B"), 1);
    }
    // The save after the removal keeps the bad block as it was.
    const std::string saved = ReadFile(path);
    EXPECT_EQ(saved.find("Material: B"), std::string::npos);
    EXPECT_EQ(saved, "# first\n" + c.block);
  }
}

// --- writing -------------------------------------------------------------------------------------------

// Kept text keeps its neighbours: each row goes back where it was read, a row added later after the
// material's last row, a new material after everything.
TEST_F(MatLibTest, SaveWritesEachRowWhereItWasRead) {
  const fs::path path = File("# kept first\nMaterial: Al\n" + std::string(kSteelRow) + " 300\nMaterial: Cu\n" +
                             kSteelRow + "\n# between\nMaterial: Al\n" + kSteelRow + " 400\n# end\n");
  {
    MaterialLibrary library(path.c_str());
    CaeMaterial copper = *library.Find("Cu");
    copper.AddProp(298.15, 8900, 1.15e11, 0.31, 6.9e7, 2.2e8, 388, 1.7e-5, 385);
    ASSERT_EQ(library.Replace("Cu", copper), 1);
    CaeMaterial aluminium = *library.Find("Al");
    ASSERT_EQ(aluminium.DeleteProp(300), 1);
    aluminium.AddProp(500, 7850, 2e11, 0.3, 2.5e8, 4e8, 45, 1.2e-5, 460);
    ASSERT_EQ(library.Replace("Al", aluminium), 1);
    auto* brass = new CaeMaterial("Brass");
    brass->AddProp(298.15, 7850, 2e11, 0.3, 2.5e8, 4e8, 45, 1.2e-5, 460);
    ASSERT_EQ(library.Store(brass), 1);
  }
  const std::string steel =
      " 2.000000e+11 0.300000 7.850000e+03 1.200000e-05 4.000000e+08 2.500000e+08 4.500000e+01 4.600000e+02 ";
  EXPECT_EQ(ReadFile(path),
            "# kept first\n"
            "Material: Cu\n 1.150000e+11 0.310000 8.900000e+03 1.700000e-05 2.200000e+08 6.900000e+07 3.880000e+02 "
            "3.850000e+02 298.150000\n"
            "# between\n"
            "Material: Al\n" +
                steel + "400.000000\nMaterial: Al\n" + steel + "500.000000\n# end\nMaterial: Brass\n" + steel +
                "298.150000\n");
  MaterialLibrary again(path.c_str());
  EXPECT_EQ(Names(again), (std::vector<std::string>{"Cu", "Al", "Brass"}));
  EXPECT_EQ(Temps(*again.Find("Al")), (std::vector<double>{400, 500}));
  EXPECT_DOUBLE_EQ(Prop(*again.Find("Cu"), 298.15, CaeMaterial::kConductivity), 388);
  EXPECT_TRUE(Messages().empty()) << Messages().front();
}

// Damaged lines that were apart must not meet when the file is written back: together they could
// read as a material that was never there.
TEST_F(MatLibTest, DamagedLinesStayWhereTheyWereSoTheyNeverJoinIntoAMaterial) {
  const struct {
    const char* name;
    const char* format;
    std::string text;
    std::vector<std::string> materials;
  } cases[] = {
      {"damaged rows", "modeller", " 3\n20 9\nAl\n7 2 0\n0 0 2 0\n0\n0 2 0 0 0\n0", {"l"}},
      {"around a material",
       "native",
       "Material: A\n1 2 3\nMaterial: Cu\n" + std::string(kSteelRow) + "\n4 5 6 7 8\n",
       {"Cu"}},
      {"between two temperatures of a material",
       "native",
       "Material: Al\n" + std::string(kSteelRow) + " 300\nMaterial: B\n1 0.3 3\nMaterial: Al\n" + kSteelRow +
           " 400\n4 5 6 7 8\n",
       {"Al"}},
      {"a material read twice at one temperature",
       "native",
       ": Al_6061-T6\n 6. .330000 2.73 2 28 00 2.0e2 .00\nM.e+02 400\ne Al_6061-T6\n.200e+0 0.000 2.7 2. 2. 0 92 "
       "1\n10 0.30000 2.7e0 2.5 0e+08 18 0 2.",
       {"Al_6061-T6"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path path = File(c.text);
    auto saveOnce = [&] {
      std::unique_ptr<MaterialLibrary> library(std::string(c.format) == "native" ? new MaterialLibrary(path.c_str())
                                                                                 : new AcMatLibrary(path.c_str()));
      const std::vector<std::string> names = Names(*library);
      EXPECT_TRUE(library->Save());
      return std::make_pair(names, ReadFile(path));
    };
    const auto first = saveOnce();
    const auto second = saveOnce();
    EXPECT_EQ(first.first, c.materials);
    EXPECT_EQ(second.first, first.first) << "no material appears from kept lines";
    EXPECT_EQ(second.second, first.second) << "a saved library saves back to the same bytes";
  }
}

// The first row read for a temperature is the material's; a second block for it is damaged, not
// a replacement, and stays in the file where it was.
TEST_F(MatLibTest, ASecondRowAtOneTemperatureIsReportedAndKept) {
  const struct {
    const char* format;
    std::string first, second;  // the second block starts at `line`
    int line;
  } cases[] = {
      {"native", "Material: Al\n 2e11 0.3 2700 1.2e-5 4e8 2.5e8 45 460 300\n# c\n",
       "Material: Al\n 7e10 0.3 2700 1.2e-5 4e8 2.5e8 45 460 300.0000000001\n", 4},
      {"modeller", "*Al_at_300\n 2.7 200 0.3 250 400 45 1.2 460\n", "*Al_at_300\n 2.7 70 0.3 250 400 45 1.2 460\n", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    Messages().clear();
    const fs::path path = File(c.first + c.second);
    {
      std::unique_ptr<MaterialLibrary> library(std::string(c.format) == "native" ? new MaterialLibrary(path.c_str())
                                                                                 : new AcMatLibrary(path.c_str()));
      ASSERT_NE(library->Find("Al"), nullptr);
      EXPECT_EQ(Temps(*library->Find("Al")), std::vector<double>{300});
      EXPECT_DOUBLE_EQ(Prop(*library->Find("Al"), 300, CaeMaterial::kModulus), 2e11);
      ASSERT_EQ(Messages().size(), 1u);
      EXPECT_NE(Messages()[0].find(path.string() + ":" + std::to_string(c.line) + ": material \"Al\" has a row at 300"),
                std::string::npos)
          << Messages()[0];
      ASSERT_EQ(library->Replace("Al", *library->Find("Al")), 1);
    }
    const std::string saved = ReadFile(path);
    EXPECT_EQ(saved.substr(saved.size() - std::min(saved.size(), c.second.size())), c.second) << saved;
  }
}

// Taking rows out of the file must not let the damaged lines around them join: a comment line goes
// between them where the first could run on into the second, and nowhere else.
TEST_F(MatLibTest, RemovedRowsLeaveDamagedLinesApart) {
  const std::string row = kSteelRow;
  const struct {
    const char* name;
    const char* format;
    std::string text;
    const char* remove;  // the material taken out
    double dropped;      // or, when no material is taken out, Al's row taken out by a replacement
    std::string saved;
    std::vector<std::string> materials;  // on the next read
  } cases[] = {
      {"native, removed",
       "native",
       "Material: A\n1 0.3 3\nMaterial: Cu\n" + row + "\n4 5 6 7 8\n",
       "Cu",
       0,
       "Material: A\n1 0.3 3\n#\n4 5 6 7 8\n",
       {}},
      {"modeller, removed",
       "modeller",
       "*A\n1 200 0.3\n*Cu\n 7.85 200 0.29 250 400 45 1.2 460\n250 400 45 1.2 460\n",
       "Cu",
       0,
       "*A\n1 200 0.3\n;\n250 400 45 1.2 460\n",
       {}},
      {"native, row replaced away",
       "native",
       "Material: B\n1 0.3 3\nMaterial: Al\n" + row + " 300\n4 5 6 7 8\nMaterial: Al\n" + row + " 400\n",
       nullptr,
       300,
       "Material: B\n1 0.3 3\n#\n4 5 6 7 8\nMaterial: Al\n 2.000000e+11 0.300000 7.850000e+03 1.200000e-05 "
       "4.000000e+08 2.500000e+08 4.500000e+01 4.600000e+02 400.000000\n",
       {"Al"}},
      {"between comments", "native", "# a\nMaterial: Cu\n" + row + "\n# b\n", "Cu", 0, "# a\n# b\n", {}},
      {"after a stray row",
       "native",
       "1 2 3 4 5 6 7 8\nMaterial: Cu\n" + row + "\n# b\n",
       "Cu",
       0,
       "1 2 3 4 5 6 7 8\n# b\n",
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path path = File(c.text);
    auto open = [&] {
      return std::unique_ptr<MaterialLibrary>(std::string(c.format) == "native" ? new MaterialLibrary(path.c_str())
                                                                                : new AcMatLibrary(path.c_str()));
    };
    {
      auto library = open();
      if (c.remove) {
        ASSERT_EQ(library->Remove(c.remove), 1);
      } else {
        CaeMaterial aluminium = *library->Find("Al");
        ASSERT_EQ(aluminium.DeleteProp(c.dropped), 1);
        ASSERT_EQ(library->Replace("Al", aluminium), 1);
      }
    }
    EXPECT_EQ(ReadFile(path), c.saved);
    auto library = open();
    EXPECT_EQ(Names(*library), c.materials);
    EXPECT_TRUE(library->Save());
    EXPECT_EQ(ReadFile(path), c.saved);
  }
}

TEST_F(MatLibTest, ALastLineWithoutLineEndStaysALineOfItsOwn) {
  const struct {
    const char* name;
    std::string text;
  } cases[] = {{"comment", "# end"}, {"bad row", "Material: A\n 1 2"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path path = File(c.text);
    {
      MaterialLibrary library(path.c_str());
      auto* steel = new CaeMaterial("Steel");
      steel->AddProp(298.15, 7850, 2e11, 0.3, 2.5e8, 4e8, 45, 1.2e-5, 460);
      ASSERT_EQ(library.Store(steel), 1);
    }
    EXPECT_EQ(ReadFile(path).rfind(c.text + "\nMaterial: Steel\n", 0), 0u) << ReadFile(path);
  }
}

TEST_F(MatLibTest, StoreOfANewNameReachesTheFileAtOnceAndAnExistingOneAtTheEnd) {
  const std::string original = "# lib\nMaterial: Steel\n" + std::string(kSteelRow) + "\n";
  const fs::path path = File(original);
  auto library = std::make_unique<MaterialLibrary>(path.c_str());

  auto* steel = new CaeMaterial("Steel");
  steel->AddProp(298.15, 7800, 2.1e11, 0.29, 3e8, 5e8, 50, 1.1e-5, 470);
  ASSERT_EQ(library->Store(steel), 1);
  EXPECT_TRUE(library->IsModified());
  EXPECT_EQ(ReadFile(path), original);

  auto* brass = new CaeMaterial("Brass");
  brass->AddProp(293.15, 8440, 1.1e11, 0.34, 2e8, 3.5e8, 120, 2.02e-5, 377);
  ASSERT_EQ(library->Store(brass), 1);
  EXPECT_NE(ReadFile(path).find("Material: Brass\n"), std::string::npos);

  library.reset();
  MaterialLibrary reread(path.c_str());
  EXPECT_EQ(Names(reread), (std::vector<std::string>{"Steel", "Brass"}));
  EXPECT_DOUBLE_EQ(Prop(*reread.Find("Steel"), 298.15, CaeMaterial::kDensity), 7800);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(MatLibTest, TwoLibrariesOnOneFileKeepEachOthersChanges) {
  const fs::path path = File("Material: Steel\n" + std::string(kSteelRow) + "\nMaterial: Old\n" + kSteelRow + "\n");
  auto first = std::make_unique<MaterialLibrary>(path.c_str());
  auto second = std::make_unique<MaterialLibrary>(path.c_str());

  CaeMaterial stiffer = *first->Find("Steel");
  stiffer.AddProp(298.15, 7850, 2.2e11, 0.3, 2.5e8, 4e8, 45, 1.2e-5, 460);
  ASSERT_EQ(first->Replace("Steel", stiffer), 1);
  ASSERT_EQ(first->Remove("Old"), 1);

  auto* copper = new CaeMaterial("Copper");
  copper->AddProp(293.15, 8890, 1.15e11, 0.31, 6.9e7, 2.2e8, 388, 1.7e-5, 385);
  ASSERT_EQ(second->Store(copper), 1);  // written at once
  CaeMaterial softer = *second->Find("Old");
  softer.AddProp(298.15, 7850, 1.9e11, 0.3, 2.5e8, 4e8, 45, 1.2e-5, 460);
  ASSERT_EQ(second->Replace("Old", softer), 1);

  second.reset();  // saves: Old softened, Copper added
  first.reset();   // deleted last: its own changes only, over what is on disk now

  MaterialLibrary result(path.c_str());
  EXPECT_EQ(Names(result), (std::vector<std::string>{"Steel", "Copper"}));
  EXPECT_DOUBLE_EQ(Prop(*result.Find("Steel"), 298.15, CaeMaterial::kModulus), 2.2e11);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(MatLibTest, ASaveThatCannotWriteReportsAndKeepsTheFile) {
  // /proc takes no new files, so the atomic write cannot start there, whoever runs the test.
  const fs::path path = "/proc/version";
  const std::string before = ReadFile(path);
  ASSERT_FALSE(before.empty());
  MaterialLibrary library(path.c_str());
  Messages().clear();
  auto* steel = new CaeMaterial("Steel");
  steel->AddProp(298.15, 7850, 2e11, 0.3, 2.5e8, 4e8, 45, 1.2e-5, 460);
  EXPECT_EQ(library.Store(steel), 1);
  EXPECT_FALSE(library.Save());
  EXPECT_TRUE(Said("/proc/version: not saved: ")) << (Messages().empty() ? "" : Messages().front());
  EXPECT_EQ(ReadFile(path), before);
}

TEST_F(MatLibTest, ReadOnlyLibraryIsReportedAndKept) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: file permissions do not stop writing";
  const std::string original = "Material: Steel\n" + std::string(kSteelRow) + "\n";
  const fs::path path = File(original);
  fs::permissions(path, fs::perms::owner_read);
  {
    MaterialLibrary library(path.c_str());
    ASSERT_EQ(library.Remove("Steel"), 1);
  }
  EXPECT_TRUE(Said(path.string() + ": not saved: "));
  EXPECT_EQ(ReadFile(path), original);
}

// --- bad paths and names --------------------------------------------------------------------------------

TEST_F(MatLibTest, UnusablePathsGetOneMessageAndLeaveTheDiskAlone) {
  fs::create_directories(dir / "folder");
  struct PathCase {
    const char* name;
    std::string path;
    const char* reason;
  };
  const std::vector<PathCase> cases = {
      {"empty", "", "no path given"},
      {"a folder", (dir / "folder").string(), "is a folder"},
      {"in a missing folder", (dir / "missing" / "lib.mat").string(), "does not exist"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.name);
    Messages().clear();
    {
      MaterialLibrary library(c.path.c_str());
      EXPECT_TRUE(Names(library).empty());
      auto* steel = new CaeMaterial("Steel");
      steel->AddProp(298.15, 7850, 2e11, 0.3, 2.5e8, 4e8, 45, 1.2e-5, 460);
      library.Store(steel);
    }
    ASSERT_EQ(Messages().size(), 2u);  // opening, then the store that could not be saved
    EXPECT_NE(Messages()[1].find("not saved"), std::string::npos) << Messages()[1];
    EXPECT_NE(Messages()[0].find(c.path), std::string::npos) << Messages()[0];
    EXPECT_NE(Messages()[0].find(c.reason), std::string::npos) << Messages()[0];
  }
  EXPECT_FALSE(fs::exists(dir / "missing"));
  EXPECT_TRUE(fs::is_empty(dir / "folder"));
}

TEST_F(MatLibTest, UnreadableLibraryIsReportedAndNeverOverwritten) {
  if (geteuid() == 0) GTEST_SKIP() << "running as root: file permissions do not stop reading";
  const fs::path path = File("Material: Steel\n" + std::string(kSteelRow) + "\n");
  fs::permissions(path, fs::perms::none);
  {
    MaterialLibrary library(path.c_str());
    EXPECT_TRUE(Said(path.string() + ": cannot be read"));
    library.Store(new CaeMaterial("Other"));
  }
  fs::permissions(path, fs::perms::owner_all);
  EXPECT_EQ(ReadFile(path), "Material: Steel\n" + std::string(kSteelRow) + "\n");
}

TEST_F(MatLibTest, AMissingFileIsReportedAndMadeEmpty) {
  const fs::path path = dir / "new.mat";
  MaterialLibrary library(path.c_str());
  EXPECT_TRUE(Names(library).empty());
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find(std::string(std::strerror(ENOENT)) + " " + path.string()), std::string::npos)
      << Messages()[0];
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(fs::file_size(path), 0u);
}

// A name the file could not give back unchanged is refused: the modeller's name ends at "_at_", and
// no format carries control characters.
TEST_F(MatLibTest, NamesTheFormatCannotCarryAreRefused) {
  const struct {
    const char* name;
    bool modeller;
  } cases[] = {{"A_at_B", true}, {"Tab\x01", false}, {"Tab\x01", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path path = File("");
    std::unique_ptr<MaterialLibrary> library(c.modeller ? new AcMatLibrary(path.c_str())
                                                        : new MaterialLibrary(path.c_str()));
    Messages().clear();
    auto* material = new CaeMaterial(c.name);
    material->AddProp(298.15, 7850, 2e11, 0.3, 2.5e8, 4e8, 45, 1.2e-5, 460);
    EXPECT_EQ(library->Store(material), 0);
    EXPECT_TRUE(Names(*library).empty());
    EXPECT_TRUE(Said(std::string("cannot store \"") + c.name + "\"")) << (Messages().empty() ? "" : Messages()[0]);
    EXPECT_EQ(ReadFile(path), "");
  }
}

TEST_F(MatLibTest, OperationsWithAnEmptyNameAreRefused) {
  const std::string original = "Material: Steel\n" + std::string(kSteelRow) + "\n";
  const fs::path path = File(original);
  {
    MaterialLibrary library(path.c_str());
    EXPECT_EQ(library.Store(new CaeMaterial("")), 0);
    EXPECT_EQ(library.Replace("", CaeMaterial("")), 0);
    EXPECT_EQ(library.Remove(""), 0);
    EXPECT_FALSE(library.IsModified());
    EXPECT_EQ(Names(library), (std::vector<std::string>{"Steel"}));
  }
  EXPECT_EQ(Messages().size(), 3u);
  EXPECT_TRUE(Said("cannot store a material without a name"));
  EXPECT_EQ(ReadFile(path), original);
}

// --- locale ------------------------------------------------------------------------------------------------

// A locale whose decimal separator is a comma: an installed one, else one generated into the test's
// folder from the system's locale sources; null when neither can be had.
const char* UseCommaLocale(const fs::path& folder) {
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"})
    if (std::setlocale(LC_ALL, name)) return name;
  const fs::path generated = folder / "locales";
  fs::create_directories(generated);
  const std::string command =
      "localedef -i de_DE -f UTF-8 '" + (generated / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return nullptr;
  setenv("LOCPATH", generated.c_str(), 1);
  const char* name = std::setlocale(LC_ALL, "de_DE.UTF-8") ? "de_DE.UTF-8" : nullptr;
  unsetenv("LOCPATH");
  return name;
}

TEST_F(MatLibTest, DecimalPointIsADotInACommaLocale) {
  struct RestoreLocale {
    ~RestoreLocale() { std::setlocale(LC_ALL, "C"); }
  } restore;
  if (!UseCommaLocale(dir))
    GTEST_SKIP() << "no locale with a decimal comma is installed and localedef could not make de_DE.UTF-8";
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  const fs::path path = File("Material: Steel\n 2.1e11 0.3 7850.5 1.2e-5 4e8 2.5e8 45.5 460 293.15\n");
  {
    MaterialLibrary library(path.c_str());
    ASSERT_NE(library.Find("Steel"), nullptr);
    EXPECT_DOUBLE_EQ(Prop(*library.Find("Steel"), 293.15, CaeMaterial::kPoisson), 0.3);
    EXPECT_DOUBLE_EQ(Prop(*library.Find("Steel"), 293.15, CaeMaterial::kConductivity), 45.5);
    ASSERT_EQ(library.Replace("Steel", *library.Find("Steel")), 1);
  }
  const std::string saved = ReadFile(path);
  EXPECT_NE(saved.find(" 2.100000e+11 0.300000 7.850500e+03"), std::string::npos) << saved;
  EXPECT_EQ(saved.find(','), std::string::npos) << saved;
}

// --- the part modeller's format -------------------------------------------------------------------------

TEST_F(MatLibTest, ModellerFileReadsItsUnitsAndTemperatureNames) {
  struct NameCase {
    const char* line;
    const char* name;
    double temperature;
  };
  const std::vector<NameCase> cases = {
      {"*Steel_at_293.15", "Steel", 293.15}, {"*Plain steel", "Plain steel", 298.15},
      {"*Cast_at_home_at_300", "Cast", 0},  // cut at the first "_at_": "home_at_300" is no number
      {"*Heat_at_400_at_500", "Heat", 400},  {"*Steel_at_293.15\r", "Steel", 293.15},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.line);
    Messages().clear();
    const fs::path path = File(std::string("; comment\n") + c.line + "\n 7.85 200 0.29 250 400 45 1.2 460\n");
    AcMatLibrary library(path.c_str());
    if (c.temperature == 0) {
      EXPECT_TRUE(Names(library).empty());
      EXPECT_TRUE(Said(path.string() + ":2: temperature \"home_at_300\" is not a number"));
      continue;
    }
    EXPECT_EQ(Names(library), std::vector<std::string>{c.name});
    CaeMaterial* material = library.Find(c.name);
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(Temps(*material), std::vector<double>{c.temperature});
    const double expected[] = {7850, 2e11, 2e11 / 2.58, 0.29, 2.5e8, 4e8, 45, 1.2e-5, 460};
    for (int p = 0; p < CaeMaterial::kPropCount; ++p)
      EXPECT_NEAR(Prop(*material, c.temperature, p), expected[p], 1e-9 * expected[p]) << CaeMaterial::PropName(p);
    EXPECT_TRUE(Messages().empty());
  }
}

TEST_F(MatLibTest, ModellerFileWritesSixDecimals) {
  const fs::path path = File("; kept\n*Steel_at_293.15\n 7.85 200 0.29 250 400 45 1.2 460\n");
  {
    AcMatLibrary library(path.c_str());
    auto* copper = new CaeMaterial("Copper");
    copper->AddProp(293.15, 8890, 1.15e11, 0.31, 6.9e7, 2.2e8, 388, 1.7e-5, 385);
    ASSERT_EQ(library.Store(copper), 1);
  }
  EXPECT_EQ(ReadFile(path),
            "; kept\n*Steel_at_293.150000\n 7.850000 200.000000 0.290000 250.000000 400.000000 45.000000 1.200000 "
            "460.000000\n*Copper_at_293.150000\n 8.890000 115.000000 0.310000 69.000000 220.000000 388.000000 "
            "1.700000 385.000000\n");
}

TEST_F(MatLibTest, ModellerFileReportsAndKeepsBadLines) {
  const std::string bad = "*Soft_at_293.15\n 7.85 -200 0.29 250 400 45 1.2 460\n";
  const fs::path path = File(bad + "*Steel_at_293.15\n 7.85 200 0.29 250 400 45 1.2 460\n");
  {
    AcMatLibrary library(path.c_str());
    EXPECT_EQ(Names(library), std::vector<std::string>{"Steel"});
    EXPECT_TRUE(Said(path.string() + ":2: Young's modulus -200"));
    ASSERT_EQ(library.Remove("Steel"), 1);
  }
  EXPECT_EQ(ReadFile(path), bad);
}

// --- sub-models get fresh copies ---------------------------------------------------------------------------

TEST_F(MatLibTest, ChangesReachEverySubModelUsingTheName) {
  AnlControl control;
  control.SetCurrent();
  AnlModel* model = control.NewAnlModel("Stress", AnlStress);
  AnlModel* other = control.NewAnlModel("Thermal", AnlHeatTransfer);
  AnlSubModel* a = model->NewSubModel();
  AnlSubModel* b = other->NewSubModel();
  AnlSubModel* c = model->NewSubModel();
  const fs::path path = File("Material: Steel\n" + std::string(kSteelRow) + "\nMaterial: Al\n" + kSteelRow + "\n");
  MaterialLibrary library(path.c_str());
  a->AssignMaterial(new CaeMaterial(*library.Find("Steel")));
  b->AssignMaterial(new CaeMaterial(*library.Find("Steel")));
  c->AssignMaterial(new CaeMaterial(*library.Find("Al")));
  const CaeMaterial* alBefore = c->GetMaterial();

  CaeMaterial stiffer("ignored");
  stiffer.AddProp(298.15, 7850, 2.2e11, 0.3, 2.5e8, 4e8, 45, 1.2e-5, 460);
  ASSERT_EQ(library.Replace("Steel", stiffer), 1);
  for (AnlSubModel* s : {a, b}) {
    ASSERT_NE(s->GetMaterial(), library.Find("Steel"));
    EXPECT_EQ(s->GetMaterial()->Name(), "Steel");
    EXPECT_DOUBLE_EQ(Prop(*s->GetMaterial(), 298.15, CaeMaterial::kModulus), 2.2e11);
  }

  ASSERT_EQ(library.Remove("Steel"), 1);
  for (AnlSubModel* s : {a, b}) {
    EXPECT_EQ(s->GetMaterial()->Name(), "Steel");
    EXPECT_EQ(s->GetMaterial()->NumProp(), 0);
  }
  EXPECT_EQ(c->GetMaterial(), alBefore);

  control.DeleteAnlModel(other);  // erased models are left alone
  auto* steel = new CaeMaterial("Steel");
  steel->AddProp(298.15, 7000, 2e11, 0.3, 2.5e8, 4e8, 45, 1.2e-5, 460);
  ASSERT_EQ(library.Store(steel), 1);
  EXPECT_EQ(a->GetMaterial()->NumProp(), 1);
  EXPECT_EQ(b->GetMaterial()->NumProp(), 0);
}

TEST_F(MatLibTest, WithoutAControlChangesTouchOnlyTheLibrary) {
  AnlControl::UnsetCurrent();
  const fs::path path = File("Material: Steel\n" + std::string(kSteelRow) + "\n");
  MaterialLibrary library(path.c_str());
  EXPECT_EQ(library.Remove("Steel"), 1);
  EXPECT_EQ(library.Find("Steel"), nullptr);
}

// --- the shipped libraries -----------------------------------------------------------------------------------

struct Reference {
  const char* name;
  double density, modulusGPa, poisson, yieldMPa, ultimateMPa, conductivity, expansion6, specificHeat;
};

const Reference kReferences[] = {
    {"S275", 7850, 210, 0.30, 275, 430, 53, 12, 440},
    {"Stainless_1.4301", 7930, 195, 0.29, 215, 505, 16, 17, 500},
    {"Stainless_1.4401", 8000, 195, 0.29, 250, 550, 16, 16, 500},
    {"Al_6061-T6", 2700, 68.9, 0.33, 276, 310, 167, 23.6, 896},
    {"Al_7075-T6", 2810, 71.7, 0.33, 503, 572, 130, 23.6, 960},
    {"Al_2024-T3", 2780, 73.1, 0.33, 345, 483, 121, 23.2, 875},
    {"Ti-6Al-4V", 4430, 114, 0.34, 880, 950, 6.7, 8.6, 526},
    {"Cu_C11000", 8890, 115, 0.31, 69, 220, 388, 17, 385},
    {"EN-GJL-250", 7200, 110, 0.26, 195, 250, 48, 11, 490},
    {"EN-GJS-400-15", 7100, 169, 0.275, 250, 400, 36, 12.5, 515},
    {"ABS", 1050, 2.3, 0.35, 42, 42, 0.17, 85, 1400},
    {"PC", 1200, 2.35, 0.37, 62, 65, 0.20, 68, 1200},
    {"PA66", 1140, 3.0, 0.40, 82, 82, 0.25, 85, 1670},
    {"POM-H", 1420, 3.1, 0.36, 70, 70, 0.31, 110, 1470},
};

void ExpectWithin(double value, double reference, double relative, const char* what) {
  EXPECT_NEAR(value, reference, relative * std::fabs(reference)) << what;
}

void CheckReferences(MaterialLibrary& library) {
  for (const Reference& r : kReferences) {
    SCOPED_TRACE(r.name);
    CaeMaterial* material = library.Find(r.name);
    ASSERT_NE(material, nullptr);
    double v[CaeMaterial::kPropCount] = {};
    ASSERT_EQ(material->GetProp(293.15, v), 1) << "no row at 293.15 K";
    ExpectWithin(v[CaeMaterial::kDensity], r.density, 0.03, "density");
    ExpectWithin(v[CaeMaterial::kModulus], r.modulusGPa * 1e9, 0.10, "Young's modulus");
    EXPECT_NEAR(v[CaeMaterial::kPoisson], r.poisson, 0.04) << "Poisson's ratio";
    ExpectWithin(v[CaeMaterial::kYield], r.yieldMPa * 1e6, 0.20, "yield");
    ExpectWithin(v[CaeMaterial::kUltimate], r.ultimateMPa * 1e6, 0.20, "ultimate");
    ExpectWithin(v[CaeMaterial::kConductivity], r.conductivity, 0.15, "conductivity");
    ExpectWithin(v[CaeMaterial::kExpansion], r.expansion6 * 1e-6, 0.15, "expansion");
    ExpectWithin(v[CaeMaterial::kSpecificHeat], r.specificHeat, 0.15, "specific heat");
    EXPECT_LE(v[CaeMaterial::kYield], v[CaeMaterial::kUltimate]);
  }
}

// Steel weakens and softens as it heats, conducts less and takes more heat per degree.
void CheckSteelFallsWithTemperature(const CaeMaterial& steel) {
  CaeArray<double> temps;
  ASSERT_GE(steel.GetTemps(temps), 7);
  double previous[CaeMaterial::kPropCount] = {};
  ASSERT_EQ(steel.GetProp(temps[0], previous), 1);
  EXPECT_NEAR(temps[0], 293.15, 1e-9);
  EXPECT_NEAR(temps[temps.Count() - 1], 873.15, 1e-9);
  for (int i = 1; i < temps.Count(); ++i) {
    SCOPED_TRACE(temps[i]);
    double v[CaeMaterial::kPropCount] = {};
    ASSERT_EQ(steel.GetProp(temps[i], v), 1);
    EXPECT_GT(temps[i], temps[i - 1]);
    EXPECT_LE(v[CaeMaterial::kModulus], previous[CaeMaterial::kModulus]);
    EXPECT_LE(v[CaeMaterial::kYield], previous[CaeMaterial::kYield]);
    EXPECT_LT(v[CaeMaterial::kConductivity], previous[CaeMaterial::kConductivity]);
    EXPECT_GT(v[CaeMaterial::kSpecificHeat], previous[CaeMaterial::kSpecificHeat]);
    EXPECT_GT(v[CaeMaterial::kExpansion], previous[CaeMaterial::kExpansion]);
    std::copy(v, v + CaeMaterial::kPropCount, previous);
  }
  double hot[CaeMaterial::kPropCount] = {};
  steel.GetProp(873.15, hot);  // 600 C: k_E 0.31, k_y 0.47
  EXPECT_NEAR(hot[CaeMaterial::kModulus], 0.31 * 210e9, 1e6);
  EXPECT_NEAR(hot[CaeMaterial::kYield], 0.47 * 275e6, 1e3);
}

TEST_F(MatLibTest, ShippedLibrariesHoldTheReferenceMaterials) {
  const CaeString chosen = acChooseMaterialLibraryPath();
  ASSERT_TRUE(fs::exists(mfc::posixPath(chosen.c_str()))) << chosen.Str();
  CaeString root;
  ASSERT_TRUE(CaeConfig::GetValue(1, "Root Directory", root));
  const std::string before = ReadFile(mfc::posixPath(chosen.c_str()));

  MaterialLibrary own(chosen);
  AcMatLibrary modeller((root + "\\MDT\\zq_fea.mat"));
  EXPECT_TRUE(Messages().empty()) << Messages().front();
  {
    SCOPED_TRACE("own library");
    CheckReferences(own);
    CheckSteelFallsWithTemperature(*own.Find("S275"));
  }
  {
    SCOPED_TRACE("modeller's file");
    CheckReferences(modeller);
    CheckSteelFallsWithTemperature(*modeller.Find("S275"));
  }
  // The same materials in both, with the same rows, and one more in the modeller's file.
  std::vector<std::string> ownNames = Names(own);
  std::vector<std::string> modellerNames = Names(modeller);
  ASSERT_EQ(modellerNames.size(), ownNames.size() + 1);
  modellerNames.pop_back();
  EXPECT_EQ(modellerNames, ownNames);
  for (const std::string& name : ownNames) {
    SCOPED_TRACE(name);
    const CaeMaterial& a = *own.Find(name.c_str());
    const CaeMaterial& b = *modeller.Find(name.c_str());
    ASSERT_EQ(Temps(a), Temps(b));
    for (double t : Temps(a))
      for (int p = 0; p < CaeMaterial::kPropCount; ++p)
        EXPECT_NEAR(Prop(a, t, p), Prop(b, t, p), 1e-5 * std::fabs(Prop(a, t, p)) + 1e-12) << CaeMaterial::PropName(p);
  }
  for (const char* name : {"Stainless_1.4301", "Al_6061-T6"}) EXPECT_GE(own.Find(name)->NumProp(), 3) << name;
  EXPECT_EQ(ReadFile(mfc::posixPath(chosen.c_str())), before);
}

// --- the interface hands libraries out and takes them back ---------------------------------------------

TEST_F(MatLibTest, InterfaceOpensARealLibraryAndDeletesIt) {
  cadhost::startHost(true);
  resSetModuleState(resLoadResourceModule(), nullptr);
  {
    AcCadInterface cad;
    const fs::path path = File("Material: Steel\n" + std::string(kSteelRow) + "\n");
    MaterialLibrary* library = cad.OpenMaterialLibrary(path.c_str());
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(Names(*library), std::vector<std::string>{"Steel"});
    ASSERT_EQ(library->Remove("Steel"), 1);
    cad.DeleteObject(library);  // saves the removal
    EXPECT_EQ(ReadFile(path), "");
    cad.DeleteObject(nullptr);

    // One left with the interface is saved when the interface goes.
    library = cad.OpenMaterialLibrary(path.c_str());
    auto* kept = new CaeMaterial("Kept");
    kept->AddProp(298.15, 7850, 2e11, 0.3, 2.5e8, 4e8, 45, 1.2e-5, 460);
    library->Replace("Kept", *kept);  // nothing of that name: no change
    ASSERT_EQ(library->Store(kept), 1);
    ASSERT_EQ(library->Remove("Kept"), 1);  // left unsaved until the interface goes
  }
  EXPECT_EQ(ReadFile(dir / "lib.mat"), "");
  resResetModuleState();
  cadhost::shutdownHost();
}

}  // namespace
