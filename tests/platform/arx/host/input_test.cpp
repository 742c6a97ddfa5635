#include <cstdio>

#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbsymtb.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "host_fixture.h"

namespace {

enum class Ask { kInt, kReal, kString, kPoint };

// Queues inputs written as text: "<ESC>" is ESC, "<PT x y z>" a point, anything else a typed line.
void queueAll(const std::vector<std::string>& inputs) {
  for (const std::string& input : inputs) {
    double x, y, z;
    if (input == "<ESC>")
      cadhost::queueEscape();
    else if (std::sscanf(input.c_str(), "<PT %lf %lf %lf>", &x, &y, &z) == 3)
      cadhost::queuePoint(x, y, z);
    else
      cadhost::queueText(input.empty() ? "\n" : input);
  }
}

// Asks once; the value comes back as text so that every kind compares the same way.
int ask(Ask kind, std::string& value) {
  char text[64];
  switch (kind) {
    case Ask::kInt: {
      int v = 0;
      int status = acedGetInt("?", &v);
      value = std::to_string(v);
      return status;
    }
    case Ask::kReal: {
      double v = 0;
      int status = acedGetReal("?", &v);
      std::snprintf(text, sizeof text, "%g", v);
      value = text;
      return status;
    }
    case Ask::kString: {
      char buffer[133] = "";
      int status = acedGetString(1, "?", buffer);
      value = buffer;
      return status;
    }
    case Ask::kPoint: {
      ads_point p = {0, 0, 0};
      int status = acedGetPoint(nullptr, "?", p);
      std::snprintf(text, sizeof text, "%g,%g,%g", p[0], p[1], p[2]);
      value = text;
      return status;
    }
  }
  return RTERROR;
}

struct GetCase {
  const char* name;
  Ask kind;
  std::vector<std::string> inputs;
  int status;
  std::string value;      // checked when status is RTNORM
  const char* complaint;  // printed when the first answer did not fit, or null
};

void PrintTo(const GetCase& c, std::ostream* os) { *os << c.name; }

class GetFunctionTest : public HostTest, public ::testing::WithParamInterface<GetCase> {};

TEST_P(GetFunctionTest, ReturnsStatusAndValue) {
  const GetCase& c = GetParam();
  queueAll(c.inputs);
  std::string value;
  EXPECT_EQ(ask(c.kind, value), c.status);
  if (c.status == RTNORM) {
    EXPECT_EQ(value, c.value);
  }
  if (c.complaint) {
    EXPECT_NE(cadhost::printedText().find(c.complaint), std::string::npos) << cadhost::printedText();
  }
  EXPECT_EQ(cadhost::queuedInputCount(), 0u);
}

const GetCase kGetCases[] = {
    {"IntTyped", Ask::kInt, {"12"}, RTNORM, "12", nullptr},
    {"IntNegative", Ask::kInt, {" -7 "}, RTNORM, "-7", nullptr},
    {"IntEmptyIsNone", Ask::kInt, {""}, RTNONE, "", nullptr},
    {"IntEscapeCancels", Ask::kInt, {"<ESC>"}, RTCAN, "", nullptr},
    {"IntEndOfInputCancels", Ask::kInt, {}, RTCAN, "", nullptr},
    {"IntEscapeTypedAsCaret", Ask::kInt, {" ^[ "}, RTCAN, "", nullptr},
    {"IntEscapeTypedAsCharacter", Ask::kInt, {"\x1b"}, RTCAN, "", nullptr},
    {"IntReasksAfterText", Ask::kInt, {"abc", "7"}, RTNORM, "7", "Requires an integer value."},
    {"IntReasksAfterFraction", Ask::kInt, {"1.5", "2"}, RTNORM, "2", "Requires an integer value."},
    {"IntReasksOutOfRange", Ask::kInt, {"40000", "5"}, RTNORM, "5", "Requires an integer value."},
    {"IntReasksAfterPoint", Ask::kInt, {"<PT 1 2 3>", "4"}, RTNORM, "4", "Requires an integer value."},
    {"RealTyped", Ask::kReal, {"2.5"}, RTNORM, "2.5", nullptr},
    {"RealExponent", Ask::kReal, {"-1e3"}, RTNORM, "-1000", nullptr},
    {"RealCommaIsNotADecimalPoint", Ask::kReal, {"2,5", "3"}, RTNORM, "3", "Requires numeric value."},
    {"RealEscape", Ask::kReal, {"<ESC>"}, RTCAN, "", nullptr},
    {"StringWithBlanks", Ask::kString, {"hello big world"}, RTNORM, "hello big world", nullptr},
    {"StringEmpty", Ask::kString, {""}, RTNORM, "", nullptr},
    {"StringTooLong", Ask::kString, {std::string(200, 'x')}, RTERROR, "", "too long"},
    {"StringEscape", Ask::kString, {"<ESC>"}, RTCAN, "", nullptr},
    {"PointTyped2d", Ask::kPoint, {"1,2"}, RTNORM, "1,2,0", nullptr},
    {"PointTyped3d", Ask::kPoint, {"1.5,-2,3"}, RTNORM, "1.5,-2,3", nullptr},
    {"PointPicked", Ask::kPoint, {"<PT 4 5 6>"}, RTNORM, "4,5,6", nullptr},
    {"PointReasks", Ask::kPoint, {"1,2,3,4", "7,8"}, RTNORM, "7,8,0", "Invalid point."},
    {"PointEmpty", Ask::kPoint, {""}, RTNONE, "", nullptr},
    {"PointEscape", Ask::kPoint, {"<ESC>"}, RTCAN, "", nullptr},
    {"PointEscapeTypedAsCaret", Ask::kPoint, {"^["}, RTCAN, "", nullptr},
    {"StringEscapeTypedAsCaret", Ask::kString, {"^["}, RTCAN, "", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Cases, GetFunctionTest, ::testing::ValuesIn(kGetCases),
                         [](const auto& info) { return std::string(info.param.name); });

using InputQueueTest = HostTest;

TEST_F(InputQueueTest, InputSourceFillsAnEmptyQueue) {
  std::vector<std::string> lines = {"3", "4"};
  std::size_t next = 0;
  cadhost::setInputSource([&](std::string& line) {
    if (next == lines.size()) return false;
    line = lines[next++];
    return true;
  });
  int a = 0, b = 0, c = 0;
  EXPECT_EQ(acedGetInt("a", &a), RTNORM);
  EXPECT_EQ(acedGetInt("b", &b), RTNORM);
  EXPECT_EQ(acedGetInt("c", &c), RTCAN);
  EXPECT_EQ(a + b, 7);
}

TEST_F(InputQueueTest, PicksComeBackWithTheirPath) {
  AcDbFullSubentPath picked(AcDbObjectId(), AcDbSubentId(AcDb::kFaceSubentType, 4));
  cadhost::queueText("oops");
  cadhost::queuePick(picked, 1, 2, 3);
  AcDbFullSubentPath path;
  double point[3];
  EXPECT_EQ(cadhost::getPick("\nSelect face: ", path, point), RTNORM);
  EXPECT_EQ(path, picked);
  EXPECT_EQ(point[2], 3.0);
  EXPECT_NE(cadhost::printedText().find("Select an object."), std::string::npos);
  cadhost::queueText("\n");
  EXPECT_EQ(cadhost::getPick("", path, point), RTNONE);
}

TEST_F(InputQueueTest, UserActionLinesGoToTheWaitingWindowNotToPrompts) {
  cadhost::queueText("@click 1001\n5");
  int value = 0;
  EXPECT_EQ(acedGetInt("?", &value), RTNORM);
  EXPECT_EQ(value, 5);
  EXPECT_NE(cadhost::printedText().find("No window is waiting for user actions; ignored: @click 1001"),
            std::string::npos);

  std::vector<std::string> taken;
  cadhost::setUserActionHandler([&](const std::string& line) {
    taken.push_back(line);
    return true;
  });
  cadhost::queueText("@type 12 abc\n6");
  EXPECT_EQ(acedGetInt("?", &value), RTNORM);
  cadhost::setUserActionHandler(nullptr);
  EXPECT_EQ(taken, std::vector<std::string>{"@type 12 abc"});
  EXPECT_EQ(value, 6);
}

// ---- the main window's copy-data ----

using MainWindowTest = HostTest;

bool hasLayer(const char* name) {
  AcDbLayerTable* table = nullptr;
  if (acdbHostApplicationServices()->workingDatabase()->getLayerTable(table, AcDb::kForRead) != Acad::eOk) return false;
  bool has = table->has(name);
  table->close();
  return has;
}

TEST_F(MainWindowTest, CopiedUndoTextUndoesOneCommand) {
  acDocManagerPtr()->newDocument();
  cadhost::pushFrontWords({"new", "Walls"});
  ASSERT_EQ(cadhost::runCommand("LAYER"), RTNORM);
  cadhost::pushFrontWords({"new", "Doors"});
  ASSERT_EQ(cadhost::runCommand("LAYER"), RTNORM);
  const char text[] = "_.UNDO 1\n";
  ASSERT_TRUE(adsw_acadMainWnd()->copyData(1, text, 10));
  EXPECT_TRUE(hasLayer("Doors"));  // typed input waits for the command line
  EXPECT_TRUE(cadhost::runNextCommand());
  EXPECT_FALSE(hasLayer("Doors"));
  EXPECT_TRUE(hasLayer("Walls"));
}

TEST_F(MainWindowTest, EscapeCancelsARunningPick) {
  const char escape[] = {27, 0};
  bool sent = false;
  int calls = 0;
  cadhost::setInputSource([&](std::string& line) {
    if (calls++) return false;
    // The pick is waiting: this is when a window's button sends ESC to the main window. The
    // empty line typed after it would end the pick with RTNONE if ESC were not honoured.
    sent = adsw_acadMainWnd()->copyData(1, escape, 2);
    line.clear();
    return true;
  });
  AcDbFullSubentPath path;
  double point[3];
  EXPECT_EQ(cadhost::getPick("\nSelect face: ", path, point), RTCAN);
  EXPECT_TRUE(sent);
}

TEST_F(MainWindowTest, EscapeWithNothingWaitingAndOtherDataAreDropped) {
  const char escape[] = {27, 0};
  EXPECT_TRUE(adsw_acadMainWnd()->copyData(1, escape, 2));
  EXPECT_EQ(cadhost::queuedInputCount(), 0u);
  EXPECT_FALSE(adsw_acadMainWnd()->copyData(2, "U\n", 2));
  EXPECT_EQ(cadhost::queuedInputCount(), 0u);
}

}  // namespace
