// A result set's data file: a set written and read back into the drawing's description of it has
// the same mesh and values bit for bit; a damaged, foreign or mismatched file is refused with the
// reason and leaves the set as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "fea/FerResult.h"
#include "fea/FerResultData.h"
#include "fea_fixture.h"
#include "test_env.h"

namespace {

using ResultDataTest = FeaTest;

// Two tetrahedra on five nodes; displacement by node over two subsets, stress by element.
void fill(FerResultSet& set) {
  auto mesh = std::make_shared<FerMesh>();
  mesh->nodeIds = {1, 2, 3, 4, 5};
  mesh->coordinates = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 1};
  mesh->elementIds = {10, 11};
  mesh->elementTypes = {FerMesh::kTet4, FerMesh::kTet4};
  mesh->elementStarts = {0, 4, 8};
  mesh->elementNodes = {1, 2, 3, 4, 2, 3, 4, 5};
  set.SetMesh(mesh);
  auto* displacement = new FerResult(FerQtyDisplacement);
  displacement->SetName(CaeString("Displacement"));
  std::vector<double> values;
  for (int i = 0; i < 5 * 4; ++i) values.push_back(0.1 * i + 1e-17);
  displacement->SetNodalData(0, {1, 2, 3, 4, 5}, values);
  for (double& v : values) v = -v / 3.0;
  displacement->SetNodalData(1, {1, 2, 3, 4, 5}, values);
  set.AddResult(displacement);
  auto* stress = new FerResult(FerQtyStress);
  stress->SetName(CaeString("Stress"));
  std::vector<double> tensor(2 * 10);
  for (std::size_t i = 0; i < tensor.size(); ++i) tensor[i] = 1e6 * std::sqrt(static_cast<double>(i + 1));
  stress->SetElementData(0, {10, 11}, tensor);
  set.AddResult(stress);
}

// The set as the drawing describes it: the same results by name and type, no values, no mesh.
void describe(FerResultSet& set) {
  for (const char* name : {"Displacement", "Stress"}) {
    auto* result = new FerFileResult(FerResult::NameToType(CaeString(name)));
    result->SetName(CaeString(name));
    set.AddResult(result);
  }
}

std::string bytesOf(const std::filesystem::path& path) { return kestrum::test::readFile(path); }

void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The FNV-1a checksum the file ends with, recomputed after a change to the body.
void reseal(std::string& bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (std::size_t i = 0; i < bytes.size() - 8; ++i) {
    hash ^= static_cast<unsigned char>(bytes[i]);
    hash *= 1099511628211ull;
  }
  std::memcpy(bytes.data() + bytes.size() - 8, &hash, 8);
}

TEST_F(ResultDataTest, ASetWrittenAndReadBackHasTheSameMeshAndValues) {
  kestrum::test::TempDir dir;
  FerResultSet original(CaeString("Static"));
  fill(original);
  ASSERT_TRUE(FerResultData::Write(dir / "static.kres", original));

  FerResultSet restored(CaeString("Static"));
  describe(restored);
  const kestrum::Status read = FerResultData::Read(dir / "static.kres", restored);
  ASSERT_TRUE(read) << read.problem().Describe();
  ASSERT_NE(restored.Mesh(), nullptr);
  EXPECT_EQ(restored.Mesh()->nodeIds, original.Mesh()->nodeIds);
  EXPECT_EQ(restored.Mesh()->coordinates, original.Mesh()->coordinates);
  EXPECT_EQ(restored.Mesh()->elementTypes, original.Mesh()->elementTypes);
  EXPECT_EQ(restored.Mesh()->elementStarts, original.Mesh()->elementStarts);
  EXPECT_EQ(restored.Mesh()->elementNodes, original.Mesh()->elementNodes);
  FerResult* d0 = original.FindResult(FerQtyDisplacement);
  FerResult* d1 = restored.FindResult(FerQtyDisplacement);
  ASSERT_EQ(d1->NumNodalSubsets(), 2);
  for (int s = 0; s < 2; ++s) {
    EXPECT_EQ(d1->NodeIds(s), d0->NodeIds(s));
    EXPECT_EQ(d1->NodeValues(s), d0->NodeValues(s)) << "exact, not rounded";
  }
  FerResult* s1 = restored.FindResult(FerQtyStress);
  ASSERT_EQ(s1->NumElementSubsets(), 1);
  EXPECT_EQ(s1->ElementIds(0), original.FindResult(FerQtyStress)->ElementIds(0));
  EXPECT_EQ(s1->ElementValues(0), original.FindResult(FerQtyStress)->ElementValues(0));
}

TEST_F(ResultDataTest, ASetWithoutAMeshIsNotWrittenAndAnUnwritableFileLeavesNothing) {
  kestrum::test::TempDir dir;
  FerResultSet empty(CaeString("Empty"));
  describe(empty);
  EXPECT_FALSE(FerResultData::Write(dir / "empty.kres", empty));
  EXPECT_FALSE(std::filesystem::exists(dir / "empty.kres"));
  FerResultSet full(CaeString("Full"));
  fill(full);
  EXPECT_FALSE(FerResultData::Write(dir / "no" / "such" / "full.kres", full));
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

// Where each damage lies in a file written from fill(): the header is 12 bytes, then the node
// count (8), the five node ids (40) and fifteen coordinates (120).
struct Damage {
  const char* what;
  std::function<void(std::string&)> apply;
  const char* reason;
};

TEST_F(ResultDataTest, ADamagedFileIsRefusedWithItsReasonAndTheSetStaysAsItWas) {
  kestrum::test::TempDir dir;
  FerResultSet original(CaeString("Static"));
  fill(original);
  ASSERT_TRUE(FerResultData::Write(dir / "good.kres", original));
  const std::string good = bytesOf(dir / "good.kres");
  auto put64 = [](std::string& b, std::size_t at, std::uint64_t v) { std::memcpy(b.data() + at, &v, 8); };
  const Damage damages[] = {
      {"empty", [](std::string& b) { b.clear(); }, "not a result data file"},
      {"another kind of file", [](std::string& b) { b[0] = 'X'; }, "not a result data file"},
      {"a flipped byte", [](std::string& b) { b[100] ^= 0x10; }, "checksum"},
      {"cut short", [](std::string& b) { b.resize(b.size() / 2); }, "checksum"},
      {"a later version",
       [&](std::string& b) {
         b[8] = 2;
         reseal(b);
       },
       "version"},
      {"a node count past the file",
       [&](std::string& b) {
         put64(b, 12, std::uint64_t{1} << 60);
         reseal(b);
       },
       "count is larger than the file"},
      {"an infinite coordinate",
       [&](std::string& b) {
         const double inf = std::numeric_limits<double>::infinity();
         std::memcpy(b.data() + 12 + 8 + 40, &inf, 8);
         reseal(b);
       },
       "not a finite number"},
      {"a not-a-number coordinate",
       [&](std::string& b) {
         const double nan = std::numeric_limits<double>::quiet_NaN();
         std::memcpy(b.data() + 12 + 8 + 40 + 16, &nan, 8);
         reseal(b);
       },
       "not a finite number"},
      {"an unknown element type",
       [&](std::string& b) {
         const std::size_t types = 12 + 8 + 40 + 120 + 8 + 16;
         const std::int32_t unknown = 99;
         std::memcpy(b.data() + types, &unknown, 4);
         reseal(b);
       },
       "type the engine does not know"},
      {"bytes after the results",
       [&](std::string& b) {
         b.insert(b.size() - 8, "extra");
         reseal(b);
       },
       "more than its results"},
  };
  for (const Damage& damage : damages) {
    std::string bytes = good;
    damage.apply(bytes);
    writeBytes(dir / "bad.kres", bytes);
    FerResultSet set(CaeString("Static"));
    describe(set);
    const kestrum::Status read = FerResultData::Read(dir / "bad.kres", set);
    ASSERT_FALSE(read) << damage.what;
    EXPECT_NE(read.problem().message.find(damage.reason), std::string::npos)
        << damage.what << ": " << read.problem().message;
    EXPECT_EQ(set.Mesh(), nullptr) << damage.what;
    EXPECT_EQ(set.FindResult(FerQtyDisplacement)->NumNodalSubsets(), 0) << damage.what;
  }
}

TEST_F(ResultDataTest, AFileOfOtherResultsThanTheDrawingListsIsRefused) {
  kestrum::test::TempDir dir;
  FerResultSet original(CaeString("Static"));
  fill(original);
  ASSERT_TRUE(FerResultData::Write(dir / "good.kres", original));
  struct Case {
    const char* what;
    std::vector<const char*> names;
  };
  const Case cases[] = {{"one result fewer", {"Displacement"}},
                        {"one result more", {"Displacement", "Stress", "Temperature"}},
                        {"another order", {"Stress", "Displacement"}},
                        {"another quantity", {"Displacement", "Strain"}}};
  for (const Case& c : cases) {
    FerResultSet set(CaeString("Static"));
    for (const char* name : c.names) {
      auto* result = new FerFileResult(FerResult::NameToType(CaeString(name)));
      result->SetName(CaeString(name));
      set.AddResult(result);
    }
    const kestrum::Status read = FerResultData::Read(dir / "good.kres", set);
    ASSERT_FALSE(read) << c.what;
    EXPECT_NE(read.problem().message.find("other results than the drawing lists"), std::string::npos)
        << c.what << ": " << read.problem().message;
    EXPECT_EQ(set.Mesh(), nullptr) << c.what;
  }
}

TEST_F(ResultDataTest, ASetLoadsItsDataOnceAndSaysWhyWhenItCannot) {
  kestrum::test::TempDir dir;
  FerResultSet original(CaeString("Static"));
  fill(original);
  ASSERT_TRUE(FerResultData::Write(dir / "static.kres", original));

  FerResultSet unfiled(CaeString("Old"));
  describe(unfiled);
  EXPECT_FALSE(unfiled.LoadData());
  EXPECT_NE(unfiled.DataProblem().find("has no data filed with the drawing"), std::string::npos);

  FerResultSet missing(CaeString("Gone"));
  describe(missing);
  missing.SetDataFile(CaeString("gone.kres"));
  missing.SetDataFolder(dir.path().string());
  EXPECT_FALSE(missing.LoadData());
  EXPECT_NE(missing.DataProblem().find("could not be read"), std::string::npos) << missing.DataProblem();
  // Once the file is there and the folder is given again, the set loads.
  std::filesystem::copy_file(dir / "static.kres", dir / "gone.kres");
  EXPECT_FALSE(missing.LoadData()) << "a failure is not retried until the folder is set anew";
  missing.SetDataFolder(dir.path().string());
  EXPECT_TRUE(missing.LoadData()) << missing.DataProblem();
  EXPECT_EQ(missing.Mesh()->NumNodes(), 5);
  EXPECT_TRUE(missing.DataProblem().empty());
}

}  // namespace
