#include "fea_fixture.h"

#include "amg/CaeEngine.h"
#include "amg/CaeMsgCall.h"

namespace {

std::vector<LoggedMessage> g_messages;

void Record(int level, const CaeString& text) { g_messages.push_back({level, text.Str()}); }

}  // namespace

void FeaTest::SetUp() {
  CaeEngine::ResetState();
  g_messages.clear();
  CaeMsgCall::SetMsgRoutine(&Record);
}

void FeaTest::TearDown() {
  CaeEngine::ResetState();
  g_messages.clear();
}

const std::vector<LoggedMessage>& FeaTest::Messages() { return g_messages; }

bool FeaTest::Logged(int level, const std::string& fragment) {
  for (const LoggedMessage& m : g_messages)
    if (m.level == level && m.text.find(fragment) != std::string::npos) return true;
  return false;
}
