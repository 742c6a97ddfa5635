// A test fixture that starts every case from a reset engine and records what reaches the message
// routine.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "amg/CaeString.h"

struct LoggedMessage {
  int level;
  std::string text;
};

class EngineTest : public testing::Test {
 public:
  // Everything the message routine received since the case started.
  static std::vector<LoggedMessage>& Messages();
  // The messages of one level.
  static std::vector<std::string> MessagesAt(int level);

 protected:
  void SetUp() override;
  void TearDown() override;
};
