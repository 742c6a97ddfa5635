// Reading the solver's results file: subsets, quantities by node, derived stress values, units,
// and damaged files that must leave nothing behind.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeUnit.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "fea/FrdReader.h"
#include "fea_fixture.h"
#include "test_env.h"

namespace {

// One value line in the solver's fixed columns: " -1", the node in 10, each value in 12.
std::string Values(long node, std::initializer_list<double> values) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, " -1%10ld", node);
  std::string line = buffer;
  for (double v : values) {
    std::snprintf(buffer, sizeof buffer, "%12.5E", v);
    line += buffer;
  }
  return line + "\n";
}

std::string Header(int set, double value) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "  100CL  %3d%12.5E           2                     0    1           1\n", set,
                value);
  return std::string("    1PSTEP                         1           1           1\n") + buffer;
}

const char* kDisplacementHead =
    " -4  DISP        4    1\n -5  D1          1    2    1    0\n -5  D2          1    2    2    0\n"
    " -5  D3          1    2    3    0\n -5  ALL         1    2    0    0    1ALL\n";
const char* kStressHead =
    " -4  STRESS      6    1\n -5  SXX         1    4    1    1\n -5  SYY         1    4    2    2\n"
    " -5  SZZ         1    4    3    3\n -5  SXY         1    4    1    2\n -5  SYZ         1    4    2    3\n"
    " -5  SZX         1    4    3    1\n";

// Two nodes, one case with displacements and stresses, then a second case with displacements.
std::string TwoCases() {
  std::string text = "    1C\n    2C                             2                                     1\n";
  text += Values(1, {0, 0, 0}) + Values(2, {1, 0, 0}) + " -3\n";
  text += Header(101, 1.0) + kDisplacementHead + Values(1, {0, 0, 0}) + Values(2, {3e-3, 0, 4e-3}) + " -3\n";
  text += Header(101, 1.0) + kStressHead + Values(1, {100, 0, 0, 0, 0, 0}) + Values(2, {0, 0, 0, 50, 0, 0}) + " -3\n";
  text += Header(102, 2.0) + kDisplacementHead + Values(1, {0, 0, 0}) + Values(2, {-1e-3, 0, 0}) + " -3\n";
  return text + " 9999\n";
}

class FrdReaderTest : public FeaTest {
 protected:
  std::string Write(const std::string& text) {
    const std::string path = (dir / "job.frd").string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  kestrum::test::TempDir dir;
};

TEST_F(FrdReaderTest, CasesBecomeSubsetsAndBlocksBecomeNodalResults) {
  FerResultSet set(CaeString("Static"));
  ASSERT_TRUE(Succeeded(FrdReader::Read(Write(TwoCases()), AnlStress, CaeUnitSystem(), set)));
  ASSERT_EQ(set.NumSubSets(), 2);
  EXPECT_EQ(set.GetSubSet(0)->GetValue(), 1.0);
  EXPECT_EQ(set.GetSubSet(1)->GetValue(), 2.0);
  EXPECT_EQ(set.SubSetName(), "Load Case");
  EXPECT_EQ(set.IsModal(), 0);
  ASSERT_EQ(set.NumResults(), 2);

  FerResult* u = set.FindResult(FerQtyDisplacement);
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(u->UnitType(), CaeUtLength);
  double value = 0;
  ASSERT_TRUE(u->NodeValue(0, 2, 3, value));
  EXPECT_DOUBLE_EQ(value, 5e-3) << "magnitude of (3, 0, 4) mm";
  ASSERT_TRUE(u->NodeValue(1, 2, 0, value));
  EXPECT_DOUBLE_EQ(value, -1e-3);
  EXPECT_FALSE(u->NodeValue(0, 3, 0, value)) << "no node 3";

  FerResult* stress = set.FindResult(FerQtyStress);
  ASSERT_NE(stress, nullptr);
  EXPECT_EQ(stress->NumNodalSubsets(), 1) << "the second case has no stresses";
  // Uniaxial 100: von Mises 100, principal 100, 0, 0.
  struct Row {
    long node;
    double mises, p1, p2, p3;
  };
  // Pure shear 50: von Mises 50 sqrt 3, principal 50, 0, -50.
  const Row rows[] = {{1, 100, 100, 0, 0}, {2, 50 * std::sqrt(3.0), 50, 0, -50}};
  for (const Row& r : rows) {
    double v[4];
    for (int k = 0; k < 4; ++k) ASSERT_TRUE(stress->NodeValue(0, r.node, k, v[k]));
    EXPECT_NEAR(v[0], r.mises, 1e-9) << r.node;
    EXPECT_NEAR(v[1], r.p1, 1e-9) << r.node;
    EXPECT_NEAR(v[2], r.p2, 1e-9) << r.node;
    EXPECT_NEAR(v[3], r.p3, 1e-9) << r.node;
  }
  double low = 0, high = 0;
  ASSERT_TRUE(stress->Range(0, 0, low, high));
  EXPECT_NEAR(high, 100, 1e-9);
}

TEST_F(FrdReaderTest, ValuesComeInNativeUnits) {
  CaeUnitSystem millimetres;
  millimetres.SetUnit(CaeUtLength, CaeMillimeter);
  CaeUnitSystem::SetNativeSystem(&millimetres);
  FerResultSet set(CaeString("Static"));
  const kestrum::Status read = FrdReader::Read(Write(TwoCases()), AnlStress, CaeUnitSystem(), set);
  CaeUnitSystem::SetNativeSystem(nullptr);
  ASSERT_TRUE(Succeeded(read));
  double value = 0;
  ASSERT_TRUE(set.FindResult(FerQtyDisplacement)->NodeValue(0, 2, 3, value));
  EXPECT_NEAR(value, 5.0, 1e-12) << "5e-3 m is 5 mm";
  ASSERT_TRUE(set.FindResult(FerQtyStress)->NodeValue(0, 1, 0, value));
  EXPECT_NEAR(value, 100e-6, 1e-15) << "100 Pa is 1e-4 N/mm2";
}

TEST_F(FrdReaderTest, ModesCarryTheirFrequenciesAndBucklingSkipsThePreloadState) {
  const std::string modes = Header(101, 0.0) + kDisplacementHead + Values(1, {0, 0, 1}) + " -3\n" + Header(102, 42.5) +
                            kDisplacementHead + Values(1, {0, 1, 0}) + " -3\n 9999\n";
  FerResultSet vibration(CaeString("Modes")), buckling(CaeString("Buckling"));
  ASSERT_TRUE(Succeeded(FrdReader::Read(Write(modes), AnlVibration, CaeUnitSystem(), vibration)));
  EXPECT_EQ(vibration.NumSubSets(), 2);
  EXPECT_EQ(vibration.GetSubSet(1)->GetValue(), 42.5);
  EXPECT_EQ(vibration.SubSetUnits(), CaeUtFrequency);
  EXPECT_EQ(vibration.IsModal(), 1);
  ASSERT_TRUE(Succeeded(FrdReader::Read(Write(modes), AnlBuckling, CaeUnitSystem(), buckling)));
  ASSERT_EQ(buckling.NumSubSets(), 1);
  EXPECT_EQ(buckling.GetSubSet(0)->GetValue(), 42.5);
  double value = 0;
  ASSERT_TRUE(buckling.FindResult(FerQtyDisplacement)->NodeValue(0, 1, 1, value));
  EXPECT_EQ(value, 1.0) << "the mode's shape, not the preload's";
}

TEST_F(FrdReaderTest, DamagedFilesAreReportedWithTheirLineAndLeaveTheSetEmpty) {
  const std::string good = TwoCases();
  struct Row {
    std::string text;
    const char* why;
  };
  std::string badNumber = good;
  badNumber.replace(badNumber.find("4.00000E-03"), 11, "4.000x0E-03");
  std::string shortLine = good;
  shortLine.replace(shortLine.find(" 4.00000E-03"), 12, "");
  const Row rows[] = {
      {good.substr(0, good.size() / 2), "ends before"},
      {good.substr(0, good.find(" 9999")), "ends before"},
      {badNumber, "number cannot be read"},
      {shortLine, "cut short"},
      {std::string(Header(101, 1.0)) + " -4  DISP        4    1\n -5  D1          1    2    1    0\n" + Values(1, {1}) +
           " -3\n 9999\n",
       "unexpected number of components"},
      {"", "ends before"},
  };
  for (const Row& r : rows) {
    FerResultSet set(CaeString("Static"));
    const kestrum::Status read = FrdReader::Read(Write(r.text), AnlStress, CaeUnitSystem(), set);
    EXPECT_FALSE(read);
    EXPECT_NE(ProblemText(read).find(r.why), std::string::npos) << ProblemText(read);
    EXPECT_EQ(set.NumSubSets(), 0);
    EXPECT_EQ(set.NumResults(), 0);
  }
  FerResultSet set(CaeString("Static"));
  const kestrum::Status missing = FrdReader::Read((dir / "missing.frd").string(), AnlStress, CaeUnitSystem(), set);
  EXPECT_NE(ProblemText(missing).find("cannot be opened"), std::string::npos) << ProblemText(missing);
  EXPECT_NE(ProblemText(missing).find("missing.frd"), std::string::npos) << "the problem names the file";
}

TEST_F(FrdReaderTest, TheReaderGivesTheModelAResultSetOnlyForAGoodFile) {
  AnlModel model(CaeString("Stress"), AnlStress);
  CaeFerInterface ferInterface;
  std::unique_ptr<FerReader> damaged(ferInterface.Reader(CaeString(Write("    1C\n")), 0));
  damaged->SetModel(&model);
  EXPECT_EQ(damaged->Read(CaeUnitSystem()), 0);
  EXPECT_EQ(model.NumResultSets(), 0);
  EXPECT_TRUE(Logged(1, "damaged"));

  std::unique_ptr<FerReader> reader(ferInterface.Reader(CaeString(Write(TwoCases())), 0));
  reader->SetModel(&model);
  reader->AddResltCaseNames(CaeString("Run 1"), CaeString("Case"));
  ASSERT_EQ(reader->Read(CaeUnitSystem()), 1);
  ASSERT_EQ(model.NumResultSets(), 1);
  EXPECT_EQ(reader->ResultSet(), model.GetResultSet(0));
  EXPECT_EQ(model.GetResultSet(0)->Name(), "Run 1");
  EXPECT_EQ(model.GetResultSet(0)->NumSubSets(), 2);
}

// Strain energy density keeps its value (energy per volume, converted as a stress); the error
// estimate becomes a share of the case's peak von Mises stress: node 1 (von Mises 100) keeps its
// 20 %, node 2 (von Mises 50 sqrt 3) counts 0.866 of its 40 %.
TEST_F(FrdReaderTest, EnergyAndErrorEstimateAreReadByNode) {
  std::string text = "    1C\n    2C                             2                                     1\n";
  text += Values(1, {0, 0, 0}) + Values(2, {1, 0, 0}) + " -3\n";
  text += Header(101, 1.0) + kStressHead + Values(1, {100, 0, 0, 0, 0, 0}) + Values(2, {0, 0, 0, 50, 0, 0}) + " -3\n";
  text += Header(101, 1.0) + " -4  ENER        1    1\n -5  ENER        1    1    0    0\n" + Values(1, {2.5}) +
          Values(2, {0.5}) + " -3\n";
  text += Header(101, 1.0) + " -4  ERROR       1    1\n -5  STR(%)      1    1    0    0\n" + Values(1, {20}) +
          Values(2, {40}) + " -3\n 9999\n";
  FerResultSet set(CaeString("Static"));
  ASSERT_TRUE(Succeeded(FrdReader::Read(Write(text), AnlStress, CaeUnitSystem(), set)));
  FerResult* energy = set.FindResult(FerQtyStrainEnergy);
  FerResult* estimate = set.FindResult(FerQtyErrorEstimate);
  ASSERT_NE(energy, nullptr);
  ASSERT_NE(estimate, nullptr);
  EXPECT_EQ(energy->UnitType(), CaeUtStress);
  EXPECT_EQ(energy->Name(), "Strain Energy");
  EXPECT_EQ(estimate->UnitType(), CaeUtNone);
  EXPECT_EQ(estimate->NumComponents(), 1);
  double value = 0;
  ASSERT_TRUE(energy->NodeValue(0, 1, 0, value));
  EXPECT_DOUBLE_EQ(value, 2.5);
  ASSERT_TRUE(estimate->NodeValue(0, 1, 0, value));
  EXPECT_NEAR(value, 20.0, 1e-9);
  ASSERT_TRUE(estimate->NodeValue(0, 2, 0, value));
  EXPECT_NEAR(value, 40.0 * 50 * std::sqrt(3.0) / 100, 1e-4);
}

// The printed output beside the results file gives each element's energy: the blocks of two
// element sets in one step merge, a set named again starts the next step, totals are passed over.
TEST_F(FrdReaderTest, ElementEnergiesComeFromThePrintedOutput) {
  const std::string frd = Write(TwoCases());
  const char* dat =
      "\n internal energy (element, energy) for set P1 and time  0.1000000E+01\n\n"
      "         1  2.000000E-03\n         2  1.000000E-03\n\n"
      " internal energy (element, energy) for set P2 and time  0.1000000E+01\n\n"
      "         7  5.000000E-04\n\n"
      " total internal energy for set P1 and time  0.1000000E+01\n\n        3.000000E-03\n\n"
      " internal energy (element, energy) for set P1 and time  0.2000000E+01\n\n"
      "         1  4.000000E-03\n";
  std::ofstream(dir / "job.dat", std::ios::binary) << dat;
  FerResultSet set(CaeString("Static"));
  ASSERT_TRUE(Succeeded(FrdReader::Read(frd, AnlStress, CaeUnitSystem(), set)));
  FerResult* energy = set.FindResult(FerQtyElementEnergy);
  ASSERT_NE(energy, nullptr);
  EXPECT_EQ(energy->UnitType(), CaeUtEnergy);
  ASSERT_EQ(energy->NumElementSubsets(), 2);
  EXPECT_EQ(energy->ElementIds(0), (std::vector<long>{1, 2, 7}));
  double value = 0;
  ASSERT_TRUE(energy->ElementValue(1, 1, 0, value));
  EXPECT_DOUBLE_EQ(value, 4e-3);
  EXPECT_FALSE(energy->ElementValue(1, 7, 0, value));
  EXPECT_FALSE(energy->NodeValue(0, 1, 0, value)) << "element values are not node values";

  std::ofstream(dir / "job.dat", std::ios::binary)
      << " internal energy (element, energy) for set P1 and time  0.1000000E+01\n\n         1  2.0E-0x\n";
  FerResultSet untouched(CaeString("Static"));
  const kestrum::Status damaged = FrdReader::Read(frd, AnlStress, CaeUnitSystem(), untouched);
  ASSERT_FALSE(damaged);
  EXPECT_EQ(damaged.problem().line, 3) << ProblemText(damaged);
  EXPECT_NE(damaged.problem().file.find("job.dat"), std::string::npos) << ProblemText(damaged);
  EXPECT_EQ(untouched.NumResults(), 0);
  EXPECT_EQ(untouched.NumSubSets(), 0);
}

// Stresses and strains printed at the integration points become element values: each
// element's points averaged, the file's XY XZ YZ order put as XY YZ ZX, von Mises first; a
// second step starts when the set's name comes back.
TEST_F(FrdReaderTest, ElementStressesAndStrainsAreAveragedOverTheirPoints) {
  const std::string frd = Write(TwoCases());
  const char* dat =
      "\n stresses (elem, integ.pnt.,sxx,syy,szz,sxy,sxz,syz) for set P1 and time  0.1000000E+01\n\n"
      "         4   1  1.000000E+02  0.000000E+00  0.000000E+00  0.000000E+00  2.000000E+00  6.000000E+00\n"
      "         4   2  3.000000E+02  0.000000E+00  0.000000E+00  0.000000E+00  4.000000E+00  8.000000E+00\n"
      "         9   1  0.000000E+00  0.000000E+00  0.000000E+00  5.000000E+01  0.000000E+00  0.000000E+00\n\n"
      " strains (elem, integ.pnt.,exx,eyy,ezz,exy,exz,eyz) for set P1 and time  0.1000000E+01\n\n"
      "         4   1  1.000000E-03 -3.000000E-04 -3.000000E-04  0.000000E+00  0.000000E+00  0.000000E+00\n\n"
      " stresses (elem, integ.pnt.,sxx,syy,szz,sxy,sxz,syz) for set P1 and time  0.2000000E+01\n\n"
      "         4   1 -1.000000E+01  0.000000E+00  0.000000E+00  0.000000E+00  0.000000E+00  0.000000E+00\n";
  std::ofstream(dir / "job.dat", std::ios::binary) << dat;
  FerResultSet set(CaeString("Static"));
  ASSERT_TRUE(Succeeded(FrdReader::Read(frd, AnlStress, CaeUnitSystem(), set)));

  FerResult* stress = set.FindResult(FerQtyStress);
  ASSERT_NE(stress, nullptr);
  EXPECT_EQ(stress->NumNodalSubsets(), 1) << "the nodal values stay";
  ASSERT_EQ(stress->NumElementSubsets(), 2);
  EXPECT_EQ(stress->ElementIds(0), (std::vector<long>{4, 9}));
  struct Expected {
    int subset;
    long element;
    int component;
    double value;
  };
  const double mises4 = std::sqrt(200.0 * 200.0 + 3 * (7.0 * 7.0 + 3.0 * 3.0));
  const Expected stresses[] = {
      {0, 4, 0, mises4},
      {0, 4, 4, 200.0},
      {0, 4, 8, 7.0},  // YZ from the file's sixth value
      {0, 4, 9, 3.0},  // ZX from the file's fifth
      {0, 9, 0, 50.0 * std::sqrt(3.0)},
      {0, 9, 1, 50.0},
      {0, 9, 3, -50.0},
      {1, 4, 0, 10.0},
      {1, 4, 4, -10.0},
  };
  for (const Expected& e : stresses) {
    double value = 0;
    ASSERT_TRUE(stress->ElementValue(e.subset, e.element, e.component, value)) << e.element;
    EXPECT_NEAR(value, e.value, 1e-9 * std::max(1.0, std::abs(e.value)))
        << "subset " << e.subset << " element " << e.element << " component " << e.component;
  }

  FerResult* strain = set.FindResult(FerQtyStrain);
  ASSERT_NE(strain, nullptr) << "made though the results file had no strains";
  EXPECT_EQ(strain->UnitType(), CaeUtStrain);
  EXPECT_EQ(strain->NumNodalSubsets(), 0);
  double value = 0;
  ASSERT_TRUE(strain->ElementValue(0, 4, 0, value));
  const double mean = (1e-3 - 6e-4) / 3, axial = 1e-3 - mean, lateral = -3e-4 - mean;
  EXPECT_NEAR(value, std::sqrt(2.0 / 3.0 * (axial * axial + 2 * lateral * lateral)), 1e-12) << "the equivalent strain";
  EXPECT_FALSE(strain->ElementValue(0, 9, 0, value));
}

TEST_F(FrdReaderTest, ADamagedElementStressLineLeavesTheSetEmpty) {
  const std::string frd = Write(TwoCases());
  const char* damaged[] = {
      "         4   1  1.0E+02  0.0E+00  0.0E+00  0.0E+00  2.0E+00\n",           // a value short
      "         4  1.0E+02  0.0E+00  0.0E+00  0.0E+00  2.0E+00  6.0E+00\n",      // no point
      "         4   1  1.0E+02  0.0E+00  0.0E+00  0.0E+00  2.0E+00  6.0E+0x\n",  // unreadable
  };
  for (const char* line : damaged) {
    std::ofstream(dir / "job.dat", std::ios::binary)
        << " stresses (elem, integ.pnt.,sxx,syy,szz,sxy,sxz,syz) for set P1 and time  0.1E+01\n\n"
        << line;
    FerResultSet untouched(CaeString("Static"));
    const kestrum::Status damaged = FrdReader::Read(frd, AnlStress, CaeUnitSystem(), untouched);
    ASSERT_FALSE(damaged) << line;
    EXPECT_EQ(damaged.problem().line, 3) << ProblemText(damaged);
    EXPECT_NE(damaged.problem().message.find("an element's stress"), std::string::npos) << ProblemText(damaged);
    EXPECT_EQ(untouched.NumResults(), 0);
    EXPECT_EQ(untouched.NumSubSets(), 0);
  }
}

}  // namespace

namespace {

// A tetrahedron of four nodes (coordinates in mm) and its element, with one displacement case.
std::string OneTet(
    const std::string& elementLines = " -1         7    3    0    1\n -2         1         2         3         4\n") {
  std::string text = "    1C\n    2C                             4                                     1\n";
  text += Values(1, {0, 0, 0}) + Values(2, {10, 0, 0}) + Values(3, {0, 10, 0}) + Values(4, {0, 0, 10}) + " -3\n";
  text += "    3C                             1                                     1\n" + elementLines + " -3\n";
  text += Header(101, 1.0) + kDisplacementHead + Values(1, {0, 0, 0}) + Values(2, {1, 0, 0}) + Values(3, {0, 0, 0}) +
          Values(4, {0, 0, 0}) + " -3\n";
  return text + " 9999\n";
}

// The deck the tetrahedron was computed from, with the given step keyword and ids.
std::string Deck(const char* step, const char* nodes = "1, 0, 0, 0\n2, 10, 0, 0\n3, 0, 10, 0\n4, 0, 0, 10\n",
                 const char* elements = "7, 1, 2, 3, 4\n") {
  return std::string("** a deck\n*NODE, NSET=NALL\n") + nodes + "*ELEMENT, TYPE=C3D4, ELSET=P1\n" + elements +
         "*MATERIAL, NAME=M1\n*ELASTIC\n210000, 0.3\n*STEP\n" + step + "\n*END STEP\n";
}

}  // namespace

TEST_F(FrdReaderTest, TheFilesMeshIsKeptWithTheSetInNativeUnits) {
  FerResultSet set(CaeString("Static"));
  CaeUnitSystem millimetres;
  millimetres.SetUnit(CaeUtLength, CaeMillimeter);
  ASSERT_TRUE(Succeeded(FrdReader::Read(Write(OneTet()), AnlStress, millimetres, set)));
  const FerMesh* mesh = set.Mesh();
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->nodeIds, (std::vector<long>{1, 2, 3, 4}));
  EXPECT_DOUBLE_EQ(mesh->coordinates[3], 0.01) << "10 mm";
  EXPECT_EQ(mesh->elementIds, (std::vector<long>{7}));
  EXPECT_EQ(mesh->elementTypes, (std::vector<int>{FerMesh::kTet4}));
  EXPECT_EQ(mesh->elementStarts, (std::vector<std::size_t>{0, 4}));
  EXPECT_EQ(mesh->elementNodes, (std::vector<long>{1, 2, 3, 4}));
  set.Clear();
  EXPECT_EQ(set.Mesh(), nullptr) << "a cleared set keeps no mesh";
}

TEST_F(FrdReaderTest, DamagedElementBlocksAreReportedAndLeaveTheSetEmpty) {
  struct Row {
    std::string elements;
    const char* why;
  };
  const Row rows[] = {
      {" -1         7   99    0    1\n -2         1         2         3         4\n", "type the reader does not know"},
      {" -1         7    3    0    1\n -2         1         2         3\n", "nodes are cut short"},
      {" -1         7    3    0    1\n -2         1         2         3         4         5\n", "more nodes than"},
      {" -1         7    3    0    1\n -2         1         2         3         9\n", "names node 9"},
      {" -2         1         2         3         4\n", "unexpected line in the element block"},
  };
  for (const Row& r : rows) {
    FerResultSet set(CaeString("Static"));
    const kestrum::Status read = FrdReader::Read(Write(OneTet(r.elements)), AnlStress, CaeUnitSystem(), set);
    EXPECT_FALSE(read) << r.why;
    EXPECT_NE(ProblemText(read).find(r.why), std::string::npos) << ProblemText(read);
    EXPECT_EQ(set.Mesh(), nullptr);
    EXPECT_EQ(set.NumResults(), 0);
  }
  std::string infinite = OneTet();
  infinite.replace(infinite.find(" 1.00000E+01"), 12, "         inf");
  FerResultSet set(CaeString("Static"));
  EXPECT_NE(ProblemText(FrdReader::Read(Write(infinite), AnlStress, CaeUnitSystem(), set)).find("not a finite"),
            std::string::npos);
}

TEST_F(FrdReaderTest, TheDecksStepGivesTheTypeAndItsIdsMustBeTheFiles) {
  const std::string frd = Write(OneTet());
  struct Row {
    std::string deck;
    int type;  // -1: refused
    const char* why;
  };
  const Row rows[] = {
      {Deck("*STATIC"), AnlStress, ""},
      {Deck("*FREQUENCY\n3"), AnlVibration, ""},
      {Deck("*BUCKLE\n2"), AnlBuckling, ""},
      {Deck("*HEAT TRANSFER, STEADY STATE"), AnlHeatTransfer, ""},
      {Deck("*static"), AnlStress, ""},
      {Deck("*BOUNDARY"), -1, "no analysis step"},
      {Deck("*STATIC", "1, 0, 0, 0\n2, 10, 0, 0\n3, 0, 10, 0\n"), -1, "nodes are not the nodes"},
      {Deck("*STATIC", "1, 0, 0, 0\n2, 10, 0, 0\n3, 0, 10, 0\n4, 0, 0, 10\n", "8, 1, 2, 3, 4\n"), -1,
       "elements are not the elements"},
      {Deck("*STATIC", "x, 0, 0, 0\n"), -1, "without a number"},
  };
  for (const Row& r : rows) {
    const std::string deck = (dir / "job.inp").string();
    std::ofstream(deck) << r.deck;
    const kestrum::Result<AnlType> type = FrdReader::CheckAgainstDeck(frd, deck);
    if (r.type >= 0) {
      ASSERT_TRUE(type) << r.deck;
      EXPECT_EQ(*type, r.type) << r.deck;
    } else {
      ASSERT_FALSE(type) << r.deck;
      EXPECT_NE(type.problem().Describe().find(r.why), std::string::npos) << type.problem().Describe();
    }
  }
}

TEST_F(FrdReaderTest, AConversionCopiesTheResultsIntoTheJobsFolderInSiUnitsOrSaysWhyNot) {
  const std::string frd = Write(OneTet());
  const std::string deck = (dir / "user.inp").string();
  std::ofstream(deck) << Deck("*FREQUENCY\n1");
  std::filesystem::create_directories(dir / "work");
  AnlDrvJob job;
  job.Create(CaeString((dir / "work" / "XdbJob99").string()));
  job.DeckName(CaeString(deck));
  job.AnalysisDB(CaeString(frd));
  CaeUnitSystem inches;
  inches.SetUnit(CaeUtLength, CaeInch);
  job.SetUnitSystem(inches);
  CaeString message;
  ASSERT_EQ(job.DoConvert(message), 0) << message.Str();
  EXPECT_EQ(job.ConvertedType(), AnlVibration);
  EXPECT_EQ(job.UnitSystem(), CaeUnitSystem()) << "SI";
  EXPECT_EQ(kestrum::test::readFile(job.ResultsFile().Str()), kestrum::test::readFile(frd));

  AnlDrvJob refused;
  refused.Create(CaeString((dir / "work" / "Other").string()));
  refused.DeckName(CaeString(frd));  // not a deck
  refused.AnalysisDB(CaeString(frd));
  EXPECT_NE(refused.DoConvert(message), 0);
  EXPECT_NE(message.Str().find("no analysis step"), std::string::npos) << message.Str();
  EXPECT_FALSE(std::filesystem::exists(refused.ResultsFile().Str())) << "nothing copied";
  EXPECT_EQ(refused.ConvertedType(), -1);
}
