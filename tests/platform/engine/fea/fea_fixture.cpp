#include "fea_fixture.h"

#include <memory>

#include "amg/CaeEngine.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeMsgCall.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AnlWriter.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/AttLbcDescript.h"
#include "fea/CaeFunc.h"
#include "fea/FerResult.h"
#include "fea/FrdReader.h"
#include "test_env.h"

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

testing::AssertionResult Succeeded(const kestrum::Status& status) {
  if (status) return testing::AssertionSuccess();
  return testing::AssertionFailure() << status.problem().Describe();
}

std::string ProblemText(const kestrum::Status& status) { return status ? std::string() : status.problem().Describe(); }

CaeFunc* ConstantFunc(const CaeVector& value) {
  auto* f = new CaeFuncLinear;
  f->SetDefiningValuesVec(1, &value, nullptr, nullptr, nullptr);
  return f;
}

CaeMaterial* NewSteel() {
  auto* steel = new CaeMaterial(CaeString("Steel"));
  steel->AddProp(293.15, 7850, 2.1e11, 0.3, 2.5e8, 4e8, 50, 1.2e-5, 450);
  return steel;
}

AttBaseLbc* AddCondition(std::vector<std::unique_ptr<AttBaseLbc>>& owner, const AttLbcDescriptTable& table,
                         AttCode code, CaeTopoRef* where, CaeFunc* value, AttLbcCase& set, CaeCoordSys* axes) {
  owner.push_back(std::make_unique<AttLbc>(table.Find(ToAttType(code)), where, value, axes, nullptr));
  set.AddLbc(owner.back().get());
  return owner.back().get();
}

bool SolveAndRead(AnlModel& model, AnlResltCase& resultCase, const std::filesystem::path& deck, FerResultSet& set) {
  std::unique_ptr<AnlWriter> writer(model.DeckWriter(AnlCodeSolve));
  writer->AddResltCase(&resultCase);
  CaeString message;
  AnlJob* job = model.SubmitAnalysis(writer.get(), CaeString(deck.string()), nullptr, 0, message, AnlCodeSolve);
  if (!job) {
    ADD_FAILURE() << message.Str();
    return false;
  }
  if (job->Wait() != 1) {
    ADD_FAILURE() << kestrum::test::readFile(job->ErrorFile().Str());
    return false;
  }
  if (const kestrum::Status read = FrdReader::Read(job->ResultsFile().Str(), AnlStress, job->UnitSystem(), set);
      !read) {
    ADD_FAILURE() << read.problem().Describe();
    return false;
  }
  return true;
}
