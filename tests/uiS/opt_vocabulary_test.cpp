// The response vocabulary of objectives and constraints over the edge cases of its tables, and the
// objective defaults of each optimisation kind.
#include <gtest/gtest.h>

#include <string>

#include "fea/OptModel.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/dialogs/optimization/UIOptVocabulary.h"
#include "uis_fixture.h"

namespace {

using OptVocabularyTest = uistest::FrameTest;

constexpr int kCartesian = 0, kCylindrical = 1, kSpherical = 2;

TEST_F(OptVocabularyTest, ResponseTypesNamesAndListPositions) {
  struct Row {
    int type;
    const char* name;
    int listIndex;
  };
  const Row rows[] = {{0, "mass", 0},   {1, "volume", 1}, {2, "frequency", 2},    {3, "load factor", 3},
                      {4, "stress", 4}, {5, "strain", 5}, {6, "displacement", 6}, {7, "displacement", 6},
                      {8, "", -1},      {-1, "", -1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.type);
    EXPECT_STREQ(UIOptResponseTypeName(row.type).c_str(), row.name);
    EXPECT_EQ(UIOptResponseTypeToListIndex(row.type), row.listIndex);
  }
  EXPECT_EQ(UIOptListIndexToResponseType(6), 6) << "position 6 reads back as the component displacement";
  EXPECT_EQ(UIOptListIndexToResponseType(7), 7);
  EXPECT_EQ(UIOptListIndexToResponseType(8), 0);
  EXPECT_EQ(UIOptListIndexToResponseType(-1), 0);
  EXPECT_EQ(UIOptNumResponseTypes(1), 7);
  EXPECT_EQ(UIOptNumResponseTypes(0), 4);
}

TEST_F(OptVocabularyTest, ComponentFlagsAndListPositionsBothWays) {
  struct Row {
    int flags, type, listIndex;
  };
  const Row toIndex[] = {{1, 4, 0}, {2, 4, 1}, {4, 4, 2},   {3, 4, 3},  {6, 4, 4},  {5, 4, 5},
                         {7, 4, 6}, {8, 4, 6}, {16, 5, 7},  {32, 4, 8}, {64, 4, 9}, {128, 4, 10},
                         {0, 6, 0}, {7, 6, 6}, {128, 7, 3}, {1, 7, 3}};
  for (const Row& row : toIndex) {
    SCOPED_TRACE(std::to_string(row.flags) + " type " + std::to_string(row.type));
    EXPECT_EQ(UIOptComponentsToListIndex(row.flags, row.type), row.listIndex);
  }
  const Row toFlags[] = {{1, 4, 0},    {5, 5, 5}, {7, 6, 6}, {8, 4, 6},  {8, 5, 6}, {16, 4, 7},
                         {128, 5, 10}, {0, 0, 0}, {0, 7, 3}, {0, 4, 11}, {0, 4, -1}};
  for (const Row& row : toFlags) {
    SCOPED_TRACE(std::to_string(row.listIndex) + " type " + std::to_string(row.type));
    EXPECT_EQ(UIOptListIndexToComponents(row.listIndex, row.type), row.flags);
  }
}

TEST_F(OptVocabularyTest, LabelsAndTitlesOfResponses) {
  struct Row {
    int type, flags, kind;
    const char* label;
    int named;
    const char* title;
  };
  const Row rows[] = {
      {4, 1 + 4, kCylindrical, "zr", 0, "- stress - sigma zr"},
      {6, 2 + 4, kSpherical, "theta+phi", 0, "- displacement - delta theta+phi"},
      {6, 7, kCartesian, "x+y+z", 0, "- displacement - delta x+y+z"},
      {4, 1 + 2, kCartesian, "xy", 0, "- stress - sigma xy"},
      {5, 4, kCartesian, "z", 0, "- strain - epsilon z"},
      {4, 128, kCartesian, "von Mises", 1, "- stress - von Mises"},
      {5, 64, kCartesian, "max shear", 1, "- strain - max shear"},
      {7, 0, kCartesian, "magnitude", 0, "- displacement - magnitude"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.title);
    CaeString label;
    EXPECT_EQ(UIOptResponseLabel(row.type, row.flags, row.kind, label), row.named);
    EXPECT_STREQ(label.c_str(), row.label);
    EXPECT_STREQ(UIOptFunctionTitle(row.type, row.flags, row.kind, 1).c_str(), row.title);
  }
  EXPECT_STREQ(UIOptFunctionTitle(0, 0, kCartesian, 1).c_str(), "- mass");
  EXPECT_STREQ(UIOptFunctionTitle(2, 0, kCartesian, 2).c_str(), "- frequency - mode 2");
  EXPECT_STREQ(UIOptFunctionTitle(3, 0, kCartesian, 1).c_str(), "- load factor - mode 1");
  EXPECT_STREQ(UIOptFunctionTitle(9, 0, kCartesian, 1).c_str(), "");
}

TEST_F(OptVocabularyTest, GeometryScopeNames) {
  const char* names[] = {"applies to several geometry types",
                         "applies to all solids",
                         "applies to a solid",
                         "applies to a face",
                         "applies to an edge",
                         "applies to a vertex"};
  for (int kind = -1; kind <= 4; ++kind) EXPECT_STREQ(UIOptComponentName(kind).c_str(), names[kind + 1]) << kind;
  EXPECT_STREQ(UIOptComponentName(5).c_str(), "");
  EXPECT_STREQ(UIOptComponentName(-2).c_str(), "");
}

TEST_F(OptVocabularyTest, DefaultObjectiveFollowsItsModelsKind) {
  OptModel shape, conceptModel;
  conceptModel.Type(CaeOptConcept);
  OptObjective forShape(CaeString(), OptStress), forConcept(CaeString(), OptStress), orphan(CaeString(), OptStress);
  forShape.Owner(&shape);
  forConcept.Owner(&conceptModel);
  forShape.GenericIVal(1);
  UIOptDefaultObjective(&forShape);
  UIOptDefaultObjective(&forConcept);
  UIOptDefaultObjective(&orphan);
  EXPECT_EQ(forShape.ResponseType(), OptMass);
  EXPECT_EQ(forShape.GenericIVal(), 0);
  EXPECT_EQ(forConcept.ResponseType(), OptVolume);
  EXPECT_EQ(forConcept.GenericFVal(), 0.75);
  EXPECT_EQ(orphan.ResponseType(), OptStress) << "without an owner nothing changes";
}

}  // namespace
