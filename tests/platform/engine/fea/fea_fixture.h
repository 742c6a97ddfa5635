// A test fixture that records the engine's messages and resets the engine state after each test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
