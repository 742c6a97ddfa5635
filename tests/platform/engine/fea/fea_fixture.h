// A test fixture that records the engine's messages and resets the engine state after each test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "fea/AttCodes.h"
#include "kestrum/result.h"

// Condition codes print by name in test messages.
inline std::ostream& operator<<(std::ostream& os, AttCode code) { return os << AttCodeName(ToAttType(code)); }

class AnlModel;
class AttBaseLbc;
class AttLbcCase;
class AttLbcDescriptTable;
class CaeCoordSys;
class CaeMaterial;
class CaeTopoRef;
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

// Success, or a failure that says the problem (file, line and message).
testing::AssertionResult Succeeded(const kestrum::Status& status);
// The problem's description; empty on success.
std::string ProblemText(const kestrum::Status& status);

// A constant value function (the caller's condition takes ownership).
CaeFunc* ConstantFunc(const CaeVector& value);

// Writes the model's static deck to `deck` with one result case, runs the solver to its end and
// reads the results into `set`; false (with the reason added as a test failure) when any step fails.
bool SolveAndRead(AnlModel& model, AnlResltCase& resultCase, const std::filesystem::path& deck, FerResultSet& set);

// Steel in SI units at 293.15 K: density 7850, modulus 2.1e11, Poisson's ratio 0.3, yield 2.5e8,
// ultimate 4e8, conductivity 50, expansion 1.2e-5, specific heat 450. The caller takes ownership
// (a sub-model does when the material is assigned).
CaeMaterial* NewSteel();

// Makes a condition of `code` on `where` with `value`, kept in `owner`, and puts it in `set`.
AttBaseLbc* AddCondition(std::vector<std::unique_ptr<AttBaseLbc>>& owner, const AttLbcDescriptTable& table,
                         AttCode code, CaeTopoRef* where, CaeFunc* value, AttLbcCase& set, CaeCoordSys* axes = nullptr);
