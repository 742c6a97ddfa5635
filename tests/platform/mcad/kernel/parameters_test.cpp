#include <gtest/gtest.h>

#include "mcadkernel/error.h"
#include "mcadkernel/parameters.h"

using mcadkernel::KernelError;
using mcadkernel::ParameterError;
using mcadkernel::ParameterSet;

namespace {

// L <- W <- {T, area}; H stands alone.
ParameterSet sampleSet(const ParameterSet* outer = nullptr) {
  ParameterSet set("part1", outer);
  set.define({{"area", "W * T"}, {"T", "W / 4"}, {"W", "L / 5"}, {"L", "100"}, {"H", "7"}});
  return set;
}

TEST(Parameters, DefinitionsInAnyOrderAreEvaluatedInDependencyOrder) {
  ParameterSet set = sampleSet();
  EXPECT_DOUBLE_EQ(set.value("W"), 20);
  EXPECT_DOUBLE_EQ(set.value("T"), 5);
  EXPECT_DOUBLE_EQ(set.value("area"), 100);
  EXPECT_EQ(set.names(), (std::vector<std::string>{"area", "T", "W", "L", "H"}));

  std::vector<std::string> order = set.evaluationOrder();
  auto position = [&](const std::string& name) { return std::find(order.begin(), order.end(), name) - order.begin(); };
  EXPECT_LT(position("L"), position("W"));
  EXPECT_LT(position("W"), position("T"));
  EXPECT_LT(position("T"), position("area"));
  EXPECT_EQ(order.size(), 5u);
}

TEST(Parameters, DependenciesAndUsers) {
  ParameterSet set = sampleSet();
  EXPECT_EQ(set.dependencies("area"), (std::vector<std::string>{"W", "T"}));
  EXPECT_TRUE(set.dependencies("L").empty());
  EXPECT_EQ(set.users("W"), (std::vector<std::string>{"area", "T"}));
  EXPECT_EQ(set.users("L"), (std::vector<std::string>{"W"}));
  EXPECT_TRUE(set.users("H").empty());
}

TEST(Parameters, ChangingAValueUpdatesEveryDependant) {
  ParameterSet set = sampleSet();
  set.setValue("L", 200);
  EXPECT_EQ(set.expressionText("L"), "200");
  EXPECT_DOUBLE_EQ(set.value("W"), 40);
  EXPECT_DOUBLE_EQ(set.value("area"), 400);
}

TEST(Parameters, RefusedChangesLeaveTheSetAsItWas) {
  struct Case {
    const char* name;
    const char* expression;
    const char* fragment;
  };
  const Case cases[] = {
      {"L", "L + 1", "parameter L refers to itself (L -> L)"},
      {"L", "area * 2", "refers to itself"},  // L -> area -> W -> L
      {"L", "W", "refers to itself"},
      {"H", "L +", "parameter H: expression \"L +\""},
      {"H", "Nope * 2", "unknown parameter 'Nope'"},
      {"L", "0", "division by zero"},  // ratio divides by L
      {"1x", "3", "not a valid parameter name"},
  };
  ParameterSet base = sampleSet();
  base.define("ratio", "W / L");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " = " + c.expression);
    ParameterSet set = base;
    auto revision = set.revision();
    try {
      set.define(c.name, c.expression);
      ADD_FAILURE() << "accepted";
    } catch (const ParameterError& e) {
      EXPECT_NE(std::string(e.what()).find(c.fragment), std::string::npos) << e.what();
    }
    EXPECT_EQ(set.revision(), revision);
    EXPECT_EQ(set.expressionText("L"), "100");
    EXPECT_DOUBLE_EQ(set.value("area"), 100);
    EXPECT_EQ(set.names(), base.names());
  }
}

TEST(Parameters, CycleNamesTheParameterThatCloses) {
  ParameterSet set = sampleSet();
  try {
    set.define("L", "T * 4");
    FAIL() << "accepted";
  } catch (const ParameterError& e) {
    EXPECT_EQ(e.parameter(), "L");
  }
}

TEST(Parameters, RemoveIsRefusedWhileUsed) {
  ParameterSet set = sampleSet();
  EXPECT_THROW(set.remove("W"), KernelError);
  EXPECT_TRUE(set.contains("W"));
  set.remove("H");
  EXPECT_FALSE(set.contains("H"));
  EXPECT_THROW(set.value("H"), KernelError);
}

TEST(Parameters, PartParametersSeeGlobalsAndTheirOwnNamesFirst) {
  ParameterSet globals("Designer");
  globals.define({{"Gap", "5"}, {"H", "1000"}});
  ParameterSet set = sampleSet(&globals);
  set.define("offset", "Gap * 2 + H");  // H is the part's own (7), not the global
  EXPECT_DOUBLE_EQ(set.value("offset"), 17);

  globals.setValue("Gap", 10);
  EXPECT_DOUBLE_EQ(set.value("offset"), 17);  // values are kept until re-evaluated
  set.reevaluate();
  EXPECT_DOUBLE_EQ(set.value("offset"), 27);

  // Globals see only globals: a part's parameter name is unknown to them.
  EXPECT_THROW(globals.define("Gap", "L"), ParameterError);
  EXPECT_EQ(globals.scope(), "Designer");
}

}  // namespace
