// A static solve of the plate under a pressure made in the drawing, held by a restraint made in the
// drawing, gives the displacements of the same conditions made as engine objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeString.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AnlWriter.h"
#include "fea/AttLbcCase.h"
#include "fea/FerResult.h"
#include "fea/FrdReader.h"
#include "lbc_deck_fixture.h"
#include "test_env.h"

namespace lbctest {
namespace {

class LbcSolveTest : public DeckFixture {
 protected:
  // Solves one result case over the sets and answers the displacement result's node values.
  std::vector<double> displacements(AttLbcCase& loads, AttLbcCase& restraints, const std::string& name) {
    AnlResltCase resultCase(CaeString("Case 1"));
    resultCase.AddLoadCase(&loads, 1.0);
    resultCase.AddBoundaryCase(&restraints, 1.0);
    std::unique_ptr<AnlWriter> writer(model->DeckWriter(AnlCodeSolve));
    writer->AddResltCase(&resultCase);
    CaeString message;
    AnlJob* job = nullptr;
    const auto deck = dir / (name + ".inp");
    asCommand([&] {
      job = model->SubmitAnalysis(writer.get(), CaeString(deck.string()), nullptr, 0, message, AnlCodeSolve);
    });
    if (!job) {
      ADD_FAILURE() << message.Str();
      return {};
    }
    if (job->Wait() != 1) {
      ADD_FAILURE() << kestrum::test::readFile(job->ErrorFile().Str());
      return {};
    }
    FerResultSet set;
    if (const kestrum::Status read = FrdReader::Read(job->ResultsFile().Str(), AnlStress, job->UnitSystem(), set);
        !read) {
      ADD_FAILURE() << read.problem().Describe();
      return {};
    }
    const FerResult* result = set.FindResult(FerQtyDisplacement);
    if (!result || result->NumNodalSubsets() < 1) {
      ADD_FAILURE() << "no displacements";
      return {};
    }
    return result->NodeValues(0);
  }
  kestrum::test::TempDir dir;
};

TEST_F(LbcSolveTest, ThePressureAndRestraintMadeInTheDrawingGiveTheSameDisplacements) {
  makeModel(AnlStress);
  const Row restraint{AttCode::FaceRestraint, Where::Face, "plate/left", {}, "000000", Axes::Global};
  const Row pressure{AttCode::Pressure, Where::Face, "plate/top", {2, 0, 0}, "000000", Axes::Global};
  AttLbcCase loads{CaeString("Loads"), AttLbcCase::kLoadSet};
  AttLbcCase restraints{CaeString("Restraints"), AttLbcCase::kRestraintSet};
  engineCondition(restraint, loads, restraints);
  engineCondition(pressure, loads, restraints);
  const std::vector<double> engine = displacements(loads, restraints, "engine");

  makeDrawingSets("Plate", AnlStress, "Loads", "Fixed");
  drawingCondition(restraint);
  drawingCondition(pressure);
  const std::vector<double> drawing = displacements(*currentLoads(), *currentRestraints(), "drawing");

  ASSERT_FALSE(engine.empty());
  ASSERT_EQ(drawing.size(), engine.size());
  double largest = 0.0;
  for (double value : engine) largest = std::max(largest, std::abs(value));
  EXPECT_GT(largest, 0.0) << "the pressure bends the plate";
  for (std::size_t i = 0; i < engine.size(); ++i) EXPECT_NEAR(drawing[i], engine[i], 1e-9 * largest) << i;
}

}  // namespace
}  // namespace lbctest
