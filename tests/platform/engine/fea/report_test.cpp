// The summary report: the system's title line and picture, the displayed result set, the
// details asked for, HTML and plain text, and a file that cannot be written.
#include <filesystem>

#include "fea/AnlControl.h"
#include "fea/FerReport.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "fea_fixture.h"
#include "test_env.h"

namespace {

class SystemReport : public CaeFerReport {
 public:
  using CaeFerReport::CaeFerReport;
  CaeString picture;
  int titleCalls = 0;
  void AddTitleLine(CaeTextLine& line) override {
    ++titleCalls;
    line.Add(CaeText(CaeString("Kestrum Inside"), 2, CaeString("#FF0000"), CaeString("#F8F098")));
  }
  void GetPicturePath(CaeString& path) override {
    if (!picture.IsEmpty()) path = picture;
  }
};

class DisplayedSet : public CaeFerInterface {
 public:
  FerResultSet* set = nullptr;
  FerResultSet* GetResultSet() override { return set; }
};

class ReportTest : public FeaTest {
 protected:
  void SetUp() override {
    FeaTest::SetUp();
    set_.SetAnlTypName(CaeString("Vibration"));
    set_.SetSubSetName(CaeString("Mode"));
    set_.AddSubSet(new FerResultSubSet(120.5));
    set_.AddResult(new FerResult(FerQtyDisplacement));
    displayed_.set = &set_;
    state_.SetInterface(&displayed_);
    FerState::SetState(&state_);
    control_.SetCurrent();
  }
  FerResultSet set_{CaeString("VibrationResultSet")};
  DisplayedSet displayed_;
  FerState state_;
  AnlControl control_{CaeString("bracket")};
  kestrum::test::TempDir dir_;
};

TEST_F(ReportTest, HtmlReportHasTheSystemsPartsAndTheDetailsAskedFor) {
  SystemReport report(CaeString("Bracket <rev A>"), CaeString("Ann"), CaeString("Acme"), CaeString(""),
                      CaeString("first run"));
  report.picture = CaeString("/data/logo.jpg");
  report.ShowDetails(FerQtyDisplacement);
  report.ShowDetails(FerQtyStress);
  report.ShowDetails(FerQtyDisplacement);  // asked twice, shown once
  const auto file = dir_ / "summary.htm";
  ASSERT_EQ(report.Generate(CaeString(file.string()), FerReport::kHtml), 1);
  EXPECT_EQ(report.titleCalls, 1);
  const std::string html = kestrum::test::readFile(file);
  for (const char* part :
       {"<!DOCTYPE html>", "<meta charset=\"utf-8\">", "Bracket &lt;rev A&gt;",
        "color:#FF0000;background-color:#F8F098;", "Kestrum Inside",
        "<img src=\"/data/logo.jpg\" alt=\"Product picture\">", "Engineer: Ann", "Notes: first run", "Part: bracket",
        "Result set: VibrationResultSet", "Analysis: Vibration", "Mode 1: 120.5", "Displacement", "No values.",
        "Quantity 1: no results of this quantity.", "No picture: there is no results display"}) {
    EXPECT_NE(html.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(html.find("Client:"), std::string::npos) << "empty texts are left out";
  EXPECT_EQ(html.find("Displacement"), html.rfind("Displacement"));
}

TEST_F(ReportTest, PlainTextWithoutPictureOrDetails) {
  SystemReport report(CaeString("Bracket"), CaeString(), CaeString(), CaeString(), CaeString());
  const auto file = dir_ / "summary.txt";
  ASSERT_EQ(report.Generate(CaeString(file.string()), FerReport::kText), 1);
  const std::string text = kestrum::test::readFile(file);
  EXPECT_EQ(text.find('<'), std::string::npos);
  EXPECT_EQ(text.find("Picture:"), std::string::npos);
  EXPECT_EQ(text.find("Results"), std::string::npos);
  EXPECT_NE(text.find("Bracket"), std::string::npos);
  EXPECT_NE(text.find("Result set: VibrationResultSet"), std::string::npos);
}

TEST_F(ReportTest, WithoutDisplayedResultsTheModelSectionSaysSo) {
  displayed_.set = nullptr;
  FerReport report;
  const auto file = dir_ / "empty.txt";
  ASSERT_EQ(report.Generate(CaeString(file.string()), FerReport::kText), 1);
  EXPECT_NE(kestrum::test::readFile(file).find("No results are displayed."), std::string::npos);
}

TEST_F(ReportTest, AFileThatCannotBeWrittenLeavesNothingBehind) {
  std::filesystem::create_directories(dir_ / "taken");  // a folder where the file should go
  FerReport report(CaeString("T"), CaeString(), CaeString(), CaeString(), CaeString());
  EXPECT_EQ(report.Generate(CaeString((dir_ / "taken").string()), FerReport::kHtml), 0);
  EXPECT_EQ(report.Generate(CaeString((dir_ / "missing" / "r.htm").string()), FerReport::kHtml), 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "taken"));
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
    entries += entry.path().filename() != "taken";
  EXPECT_EQ(entries, 0) << "no temporary file is left";
  EXPECT_EQ(Messages().size(), 2u);
}

}  // namespace
