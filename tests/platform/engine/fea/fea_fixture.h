// A test fixture that records the engine's messages and resets the engine state after each test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

class AnlModel;
class AnlResltCase;
class CaeFunc;
class CaeVector;
class FerResultSet;

struct LoggedMessage {
  int level;
  std::string text;
};

class FeaTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Messages the engine delivered since the test started.
  static const std::vector<LoggedMessage>& Messages();
  // Whether a message of `level` whose text contains `fragment` was delivered.
  static bool Logged(int level, const std::string& fragment);
};

// A constant value function (the caller's condition takes ownership).
CaeFunc* ConstantFunc(const CaeVector& value);

// Writes the model's static deck to `deck` with one result case, runs the solver to its end and
// reads the results into `set`; false (with the reason added as a test failure) when any step fails.
bool SolveAndRead(AnlModel& model, AnlResltCase& resultCase, const std::filesystem::path& deck, FerResultSet& set);
