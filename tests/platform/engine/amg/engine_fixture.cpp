#include "engine_fixture.h"

#include "amg/CaeEngine.h"
#include "amg/CaeMsgCall.h"

namespace {
void Record(int level, const CaeString& text) { EngineTest::Messages().push_back({level, text.Str()}); }
}  // namespace

std::vector<LoggedMessage>& EngineTest::Messages() {
  static std::vector<LoggedMessage> messages;
  return messages;
}

std::vector<std::string> EngineTest::MessagesAt(int level) {
  std::vector<std::string> texts;
  for (const LoggedMessage& m : Messages())
    if (m.level == level) texts.push_back(m.text);
  return texts;
}

void EngineTest::SetUp() {
  CaeEngine::ResetState();
  Messages().clear();
  CaeMsgCall::SetMsgRoutine(&Record);
}

void EngineTest::TearDown() { CaeEngine::ResetState(); }
