#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeCoordSys.h"
#include "amg/CaeTransform.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/UIDefaultNames.h"
#include "fea/AttCodes.h"
#include "mfc/ddx.h"
#include "mfc/wnd.h"
#include "uis_fixture.h"

namespace {

using uistest::FrameTest;
using uistest::RecordingCad;

// A CAD whose name rule, name limit and user coordinate system a test chooses.
class RuleCad : public RecordingCad {
 public:
  int MaxNameLength() override { return limit; }
  int AcceptsFreeNames() override { return freeNames; }
  void GetUcsTransform(CaeTransform& transform) override { transform = ucs; }

  int limit = 255;
  int freeNames = 0;
  CaeTransform ucs;
};

// ---- numbers ----

struct RoundCase {
  const char* name;
  double value;
  int digits;
  double rounded;
  int decimals;
};

TEST(CadNumbers, RoundToDigitsKeepsTheAskedDigits) {
  const RoundCase cases[] = {
      {"small fraction", 0.012345, 3, 0.0123, 4},
      {"negative small fraction", -0.012345, 3, -0.0123, 4},
      {"hundreds to one digit", 654.3, 1, 650.0, 0},
      {"rounds half up", 0.125, 2, 0.13, 2},
      {"units", 2.5, 3, 2.5, 3},
      {"zero keeps digits", 0.0, 3, 0.0, 3},
      {"tens of thousands", 12345.678, 3, 12350.0, 0},
      // Scaled magnitudes beyond a 32-bit integer part.
      {"ten digits kept", 9876543210.0, 9, 9876543210.0, 0},
      {"decimals of billions", 3000000000.4, 12, 3000000000.4, 3},
      {"negative with decimals", -1099511627776.7, 15, -1099511627776.7, 3},
      {"quadrillions to ten digits", 4321098765432109.0, 10, 4321098765400000.0, 0},
      // The scale for the smallest values is beyond double's range.
      {"subnormal", 1e-310, 3, 1e-310, 313},
  };
  for (const RoundCase& c : cases) {
    SCOPED_TRACE(c.name);
    double value = c.value;
    EXPECT_EQ(CadRoundToDigits(value, c.digits), c.decimals);
    EXPECT_DOUBLE_EQ(value, c.rounded);
  }
}

TEST(CadNumbers, ValuesThatAreNotFiniteStayAndAnswerTheDigits) {
  for (double start : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}) {
    double value = start;
    EXPECT_EQ(CadRoundToDigits(value, 4), 4);
    EXPECT_EQ(value, start);
  }
  double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(CadRoundToDigits(nan, 2), 2);
  EXPECT_TRUE(std::isnan(nan));
}

TEST(CadNumbers, FormatAndDecimals) {
  struct Case {
    double value;
    int digits;
    const char* formatted;  // rounded, with the decimals rounding answers
    int decimals;           // CadDecimalsFor
    const char* unrounded;  // printed with CadDecimalsFor's decimals
  };
  const Case cases[] = {
      {2.5, 3, "2.500", 3, "2.500"},
      {0.012345, 3, "0.0123", 3, "0.012"},
      {-0.012345, 3, "-0.0123", 3, "-0.012"},
      {654.3, 1, "650", 0, "654"},
      {123.456, 4, "123.46", 2, "123.46"},
      {0.0, 2, "0.00", 0, "0"},
      {9876543210.0, 9, "9876543210", 0, "9876543210"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.formatted);
    CString text("stale");
    EXPECT_STREQ(CadFormatValue(text, c.value, c.digits), c.formatted);
    EXPECT_STREQ(text, c.formatted);
    EXPECT_EQ(CadDecimalsFor(c.value, c.digits), c.decimals);
  }

  CWnd dialog;
  ASSERT_TRUE(dialog.Create("Frame", "Values", WS_POPUP, RECT{0, 0, 200, 100}, nullptr, 0));
  CWnd edit;
  ASSERT_TRUE(edit.Create("Edit", "", WS_CHILD, RECT{10, 10, 90, 30}, &dialog, 1001));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.formatted);
    CString text;
    CString shown;
    EXPECT_STREQ(CadSetDlgItemValue(text, &dialog, 1001, c.value, c.digits), c.formatted);
    dialog.GetDlgItemText(1001, shown);
    EXPECT_STREQ(shown, c.formatted);
    EXPECT_STREQ(CadSetDlgItemDecimals(text, &dialog, 1001, c.value, c.digits), c.unrounded);
    dialog.GetDlgItemText(1001, shown);
    EXPECT_STREQ(shown, c.unrounded);
  }
  dialog.DestroyWindow();
}

// ---- names ----

TEST_F(FrameTest, NameRuleFollowsTheCad) {
  RuleCad cad;
  struct Case {
    const char* name;
    int strict;  // letters, digits and underscores only
    int free;    // anything but the nine characters a file name cannot hold
  };
  const Case cases[] = {
      {"Bracket_2", 1, 1},   {"", 1, 1},    {"with blank", 0, 1}, {"dash-ed", 0, 1}, {"caf\xc3\xa9", 0, 1},
      {"back\\slash", 0, 0}, {"a/b", 0, 0}, {"star*", 0, 0},      {"q?", 0, 0},      {"c:d", 0, 0},
      {"\"quoted\"", 0, 0},  {"<a>", 0, 0}, {"a|b", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cad.freeNames = 0;
    EXPECT_EQ(CadIsValidName(c.name), c.strict);
    cad.freeNames = 1;
    EXPECT_EQ(CadIsValidName(c.name), c.free);
  }
}

TEST_F(FrameTest, ConditionTypeNamesComeFromTheStringTable) {
  // Every code the engine names reads the same from the string table; other codes read empty.
  for (int type = -1; type <= 40; ++type) {
    SCOPED_TRACE(type);
    CaeString text("previous");
    CadLbcTypeName(text, type);
    EXPECT_EQ(std::string(text.Text()), std::string(AttCodeName(type)));
  }
  CaeString text;
  EXPECT_STREQ(CadLbcTypeName(text, 2).Text(), "Face Distributed Force");
  EXPECT_STREQ(CadLbcTypeName(text, 3).Text(), "Edge Distributed Force");
  EXPECT_STREQ(CadLbcTypeName(text, 27).Text(), "");
}

TEST_F(FrameTest, EachConditionTypeIsNamedByItsOwnString) {
  // The code, the string id that names it and the text, as the resource library keeps them.
  struct Row {
    int type;
    unsigned id;
    const char* text;
  };
  const Row rows[] = {
      {1, 156, "Vertex Force"},
      {2, 158, "Face Distributed Force"},
      {3, 157, "Edge Distributed Force"},
      {4, 159, "Pressure"},
      {5, 160, "Vertex Restraint"},
      {6, 161, "Edge Restraint"},
      {7, 162, "Face Restraint"},
      {8, 163, "Vertex Enforced Displacement"},
      {9, 164, "Edge Enforced Displacement"},
      {10, 165, "Face Enforced Displacement"},
      {11, 166, "Spin"},
      {12, 167, "Gravity"},
      {13, 168, "Acceleration"},
      {14, 169, "Temperature"},
      {15, 309, "Vertex Heat Flow"},
      {16, 311, "Face Heat Flux"},
      {17, 310, "Edge Heat Flow"},
      {18, 276, "Face Convection"},
      {19, 279, "Volumetric Heat Flow"},
      {20, 312, "Vertex Fixed Temperature"},
      {21, 314, "Face Fixed Temperature"},
      {22, 313, "Edge Fixed Temperature"},
      {23, 305, "Face Total Force"},
      {24, 304, "Edge Total Force"},
      {25, 1263, "Pinned Restraint"},
      {29, 371, "Moment"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.type);
    CaeString text;
    EXPECT_STREQ(CadLbcTypeName(text, row.type).Text(), row.text);
    EXPECT_STREQ(resLoadString(row.id).Text(), row.text);
  }
  for (int type : {0, 26, 27, 28, 30, -1, 1000}) {
    CaeString text("previous");
    EXPECT_STREQ(CadLbcTypeName(text, type).Text(), "") << type;
  }
}

// ---- coordinate systems ----

TEST_F(FrameTest, CoordinateSystemsByKindName) {
  RuleCad cad;
  cad.ucs = CaeTransform(CaeVector(0, 1, 0), CaeVector(-1, 0, 0), CaeVector(0, 0, 1), CaeVector(5, 6, 7));
  enum Kind { Face, Cartesian, Cylindrical, Spherical };
  struct Case {
    const char* kind;
    Kind expected;
  };
  const Case cases[] = {
      {"Face", Face},           {"Cartesian", Cartesian}, {"Cylindrical", Cylindrical},
      {"Spherical", Spherical}, {"cartesian", Cartesian}, {"Cylindric", Cartesian},
      {"", Cartesian},
  };
  const auto kindOf = [](const CaeCoordSys* system) {
    if (dynamic_cast<const CaeCoordSysFace*>(system)) return Face;
    if (dynamic_cast<const CaeCoordSysCylindric*>(system)) return Cylindrical;
    if (dynamic_cast<const CaeCoordSysSpheric*>(system)) return Spherical;
    EXPECT_NE(dynamic_cast<const CaeCoordSysCartesian*>(system), nullptr);
    return Cartesian;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    for (int relative : {0, 1}) {
      std::unique_ptr<CaeCoordSys> system(CadMakeCoordSys(c.kind, relative));
      ASSERT_NE(system, nullptr);
      EXPECT_EQ(kindOf(system.get()), c.expected);
      // A face system is placed later, on its face.
      const bool onUcs = relative && c.expected != Face;
      EXPECT_TRUE(system->GetTransform() == (onUcs ? cad.ucs : CaeTransform())) << "relative " << relative;
    }
  }
}

// ---- the writable-file check ----

class WritableFileTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    folder = std::filesystem::temp_directory_path() /
             ("kestrum_writable_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(dialog.Create("Frame", "Output", WS_POPUP, RECT{0, 0, 200, 100}, nullptr, 0));
    ASSERT_TRUE(edit.Create("Edit", "", WS_CHILD, RECT{10, 10, 90, 30}, &dialog, 1002));
  }
  void TearDown() override {
    dialog.DestroyWindow();
    std::filesystem::remove_all(folder);
    FrameTest::TearDown();
  }
  // True when the check passed.
  bool Check(const std::filesystem::path& file) {
    CDataExchange dx(&dialog, TRUE);
    try {
      CadDDXWritableFile(&dx, 1002, file.string().c_str());
    } catch (const CUserException&) {
      return false;
    }
    return true;
  }

  std::filesystem::path folder;
  CWnd dialog;
  CWnd edit;
};

TEST_F(WritableFileTest, ANewFileIsOnlyChecked) {
  const std::filesystem::path file = folder / "report.txt";
  EXPECT_TRUE(Check(file));
  EXPECT_FALSE(std::filesystem::exists(file)) << "the check leaves no empty file behind";
  EXPECT_TRUE(driver.boxes().empty());
}

TEST_F(WritableFileTest, AFileThatCannotBeMadeFailsWithAMessage) {
  EXPECT_FALSE(Check(folder / "missing" / "report.txt"));
  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_EQ(driver.boxes()[0].text, "Invalid file name.");
  EXPECT_NE(driver.boxes()[0].type & MB_TASKMODAL, 0u);
  EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

TEST_F(WritableFileTest, AnExistingFileIsReplacedOnlyWhenTheUserAgrees) {
  const std::filesystem::path file = folder / "report.txt";
  std::ofstream(file) << "kept";
  const struct {
    int answer;
    bool passes;
  } cases[] = {{IDNO, false}, {IDYES, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    driver.answer(c.answer);
    const std::size_t before = driver.boxes().size();
    EXPECT_EQ(Check(file), c.passes);
    ASSERT_EQ(driver.boxes().size(), before + 1);
    EXPECT_EQ(driver.boxes().back().text, "File already exists.  Do you want to replace it?");
    EXPECT_EQ(driver.boxes().back().type & MB_YESNO, static_cast<UINT>(MB_YESNO));
    std::ifstream in(file);
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "kept") << "the check itself writes nothing";
  }
}

// ---- default names ----

TEST_F(FrameTest, DefaultNamesAvoidTakenNamesIgnoringCase) {
  RuleCad cad;
  using K = UIDefaultNameKind;
  struct Case {
    const char* base;
    K kind;
    std::vector<CaeString> taken;
    const char* expected;
  };
  const Case cases[] = {
      {"bracket", K::SimModel, {}, "bracket_Model"},
      {"bracket", K::SimModel, {"bracket_Model"}, "bracket_Model1"},
      {"bracket", K::SimModel, {"BRACKET_MODEL", "bracket_model1"}, "bracket_Model2"},
      {"bracket", K::LoadSet, {"bracket_LS", "other_LS1"}, "bracket_LS1"},
      {"bracket", K::RestraintSet, {"bracket_LS"}, "bracket_RS"},
      {"bracket", K::OptModel, {"Bracket_OptModel"}, "bracket_OptModel1"},
      {"", K::SimModel, {}, "Model_Model"},
      {"", K::OptModel, {}, "Model_OptModel"},
      {"my part", K::SimModel, {}, "Model_Model"},
      {"part-2", K::LoadSet, {"model_ls"}, "Model_LS1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_STREQ(UIDefaultNameAvoiding(c.base, c.kind, c.taken).Text(), c.expected);
  }
}

TEST_F(FrameTest, DefaultNamesKeepWithinTheNameLimit) {
  RuleCad cad;  // limit 255
  const std::string longBase(300, 'b');
  using K = UIDefaultNameKind;
  struct Case {
    K kind;
    const char* suffix;
    std::size_t longest;  // the limit less the kind's reserve
  };
  const Case cases[] = {
      {K::SimModel, "_Model", 249},
      {K::LoadSet, "_LS", 255},
      {K::RestraintSet, "_RS", 255},
      {K::OptModel, "_OptModel", 255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.suffix);
    const UIDefaultNameRule rule = UIDefaultNameRuleOf(c.kind);
    CaeString first(longBase);
    UINormalizeDefaultName(first, rule.suffixId, rule.reserve);
    EXPECT_EQ(std::string(first.Text()), longBase.substr(0, c.longest - std::string(c.suffix).size()) + c.suffix);

    // Take the first candidates one by one: each next proposal carries its counter and still fits.
    std::vector<CaeString> taken;
    for (int counter = 0; counter <= 10; ++counter) {
      const CaeString proposal = UIDefaultNameAvoiding(CaeString(longBase), c.kind, taken);
      const std::string tail = counter == 0 ? c.suffix : c.suffix + std::to_string(counter);
      EXPECT_EQ(proposal.Length(), c.longest) << "counter " << counter;
      EXPECT_EQ(std::string(proposal.Text()), longBase.substr(0, c.longest - tail.size()) + tail);
      taken.push_back(proposal);
    }
  }
  cad.limit = 20;
  EXPECT_STREQ(UIDefaultNameAvoiding("abcdefghijklmnopqrstuvwxyz", K::LoadSet, {}).Text(), "abcdefghijklmnopq_LS");
  EXPECT_STREQ(UIDefaultNameAvoiding("abcdefghijklmnopqrstuvwxyz", K::LoadSet, {"ABCDEFGHIJKLMNOPQ_ls"}).Text(),
               "abcdefghijklmnop_LS1");
}

}  // namespace
