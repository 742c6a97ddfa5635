// What we ship is a test: every data/studies/*.study states its closed-form value on a comment line
//   # expect QUANTITY VALUE within TOLERANCE %
// and is run here, on one solver thread, and checked against it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "Study.h"
#include "amg/CaeConfig.h"
#include "fea_fixture.h"
#include "kestrum/text.h"
#include "test_env.h"

namespace {

std::vector<std::filesystem::path> ShippedStudies() {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(kestrum::test::sourcePath("data/studies"), error))
    if (entry.path().extension() == ".study") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

struct Expectation {
  std::string quantity;
  double value = 0;
  double percent = 0;
};

// The study's "# expect" lines; a line that starts so but does not read is a test failure.
std::vector<Expectation> Expectations(const std::string& text) {
  std::vector<Expectation> found;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::istringstream words{std::string(kestrum::Trim(line))};
    std::string hash, expect, within, percent;
    Expectation e;
    if (!(words >> hash >> expect) || hash != "#" || expect != "expect") continue;
    words.imbue(std::locale::classic());
    if (!(words >> e.quantity >> e.value >> within >> e.percent >> percent) || within != "within" || percent != "%" ||
        !(e.percent > 0)) {
      ADD_FAILURE() << "unreadable: " << line;
      continue;
    }
    found.push_back(e);
  }
  return found;
}

// An optimisation's quantities: "final-VAR" (the final design's value of a variable),
// "trend-RESPONSE-VAR" (the local trend of the first constraint on that response to the variable
// at cycle 0) and "exit-code".
bool MeasuredOptimisation(const study::OptimisationSummary& o, const std::string& quantity, double& value) {
  auto variable = [&o](const std::string& name) {
    const auto at = std::find(o.variables.begin(), o.variables.end(), name);
    return at == o.variables.end() ? -1 : static_cast<int>(at - o.variables.begin());
  };
  if (quantity == "exit-code") return value = o.exitCode, true;
  if (quantity.rfind("final-", 0) == 0) {
    const int i = variable(quantity.substr(6));
    if (i < 0 || static_cast<std::size_t>(i) >= o.finalDesign.size()) return false;
    return value = o.finalDesign[static_cast<std::size_t>(i)], true;
  }
  const std::size_t dash = quantity.rfind('-');
  if (quantity.rfind("trend-", 0) != 0 || dash <= 6 || o.cycles.empty()) return false;
  const std::string response = quantity.substr(6, dash - 6);
  const int i = variable(quantity.substr(dash + 1));
  const OptCycle& first = o.cycles.front();
  for (std::size_t j = 0; j < o.constraints.size() && i >= 0; ++j)
    if (o.constraints[j].rfind(response + " ", 0) == 0 && j < first.constraintSensitivity.size())
      return value =
                 first.LocalTrend(first.constraintSensitivity[j][static_cast<std::size_t>(i)], i, first.constraints[j]),
             true;
  return false;
}

// The summary's value of a quantity an expectation names; false for a name it does not know.
bool Measured(const study::Summary& s, const std::string& quantity, double& value) {
  if (s.optimisation) return MeasuredOptimisation(*s.optimisation, quantity, value);
  if (quantity == "max-displacement")
    value = s.maxDisplacement;
  else if (quantity == "max-von-mises")
    value = s.maxVonMises;
  else if (quantity == "strain-energy")
    value = s.strainEnergy;
  else if (quantity == "buckling-factor" && !s.bucklingFactors.empty())
    value = s.bucklingFactors.front();
  else if (quantity == "frequency" && !s.frequencies.empty())
    value = s.frequencies.front();
  else if (quantity == "min-temperature")
    value = s.minTemperature;
  else if (quantity == "max-temperature")
    value = s.maxTemperature;
  else
    return false;
  return true;
}

class ShippedStudy : public FeaTest, public testing::WithParamInterface<std::filesystem::path> {
 protected:
  void SetUp() override {
    FeaTest::SetUp();
    CaeConfig::SetValue(CaeString("Solver Threads"), CaeString("1"), 0);
  }
};

TEST_P(ShippedStudy, MatchesItsClosedForm) {
  const std::filesystem::path& file = GetParam();
  const kestrum::Result<std::string> text = kestrum::ReadWholeFile(file);
  ASSERT_TRUE(text.ok()) << text.problem().Describe();
  const std::vector<Expectation> expectations = Expectations(*text);
  ASSERT_FALSE(expectations.empty()) << file << " states no \"# expect\" line";
  const kestrum::Result<study::Description> description = study::ParseStudy(*text, file);
  ASSERT_TRUE(description.ok()) << description.problem().Describe();
  kestrum::test::TempDir work;
  const kestrum::Result<study::Summary> summary = study::Run(*description, work.path());
  ASSERT_TRUE(summary.ok()) << summary.problem().Describe();
  EXPECT_LE(summary->nodes, 20000) << "shipped studies stay small";
  EXPECT_TRUE(summary->warnings.empty()) << summary->warnings.front();
  for (const Expectation& e : expectations) {
    double value = 0;
    ASSERT_TRUE(Measured(*summary, e.quantity, value)) << file << ": no quantity \"" << e.quantity << "\"";
    EXPECT_NEAR(value, e.value, e.percent / 100 * std::fabs(e.value)) << file << ": " << e.quantity;
  }
}

std::string TestName(const testing::TestParamInfo<std::filesystem::path>& info) {
  std::string name = info.param.stem().string();
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Data, ShippedStudy, testing::ValuesIn(ShippedStudies()), TestName);

}  // namespace
