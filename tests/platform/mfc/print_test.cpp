// Printing to a file through the print dialog, and page set-up with and without a person.
#include <gtest/gtest.h>

#include "mfc_fixture.h"
#include "test_env.h"

namespace {

struct PrinterBlocks {
  HGLOBAL* devMode;
  HGLOBAL* devNames;
  ~PrinterBlocks() {
    GlobalFree(*devMode);
    GlobalFree(*devNames);
  }
};

TEST(Printing, ThePrintDialogAsksForTheFileAndTheDcWritesItsRecordAtEndDoc) {
  kestrum::test::TempDir dir;
  mfctest::StepDriver driver;
  driver.file((dir / "graph.prn").string());
  driver.file(std::nullopt);
  mfc::ScopedUserDriver installed(&driver);

  PRINTDLG print;
  PrinterBlocks blocks{&print.hDevMode, &print.hDevNames};
  print.Flags = PD_RETURNDC | PD_NOSELECTION;
  ASSERT_TRUE(PrintDlg(&print));
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(print.hDevNames)), "Kestrum File Printer");
  GlobalUnlock(print.hDevNames);
  CPrinterDC* dc = printerDC(print.hDC);
  ASSERT_NE(dc, nullptr);
  dc->StartDoc("Graph");
  dc->StartPage();
  dc->SetMapMode(MM_HIENGLISH);
  POINT corner{1000, 1000};
  dc->LPtoDP(&corner);
  EXPECT_EQ(corner.x, 96);
  EXPECT_EQ(corner.y, -96) << "logical y grows upwards in the English mapping";
  dc->EndPage();
  EXPECT_EQ(dc->EndDoc(), 1);
  EXPECT_EQ(kestrum::test::readFile(dir / "graph.prn"), "document Graph\npage\nend page\n");
  EXPECT_TRUE(DeleteDC(print.hDC));

  PRINTDLG cancelled;
  PrinterBlocks moreBlocks{&cancelled.hDevMode, &cancelled.hDevNames};
  EXPECT_FALSE(PrintDlg(&cancelled));
  EXPECT_EQ(cancelled.hDC, nullptr);
}

struct SetupCase {
  const char* name;
  DWORD flags;
  POINT paper;
  LONG minimum;
  LONG margin;
  DWORD unitFlag;
  friend void PrintTo(const SetupCase& c, std::ostream* os) { *os << c.name; }
};

class PageSetupDefaults : public ::testing::TestWithParam<SetupCase> {};

TEST_P(PageSetupDefaults, ReturnThePrintersPaperWithoutAsking) {
  const SetupCase& c = GetParam();
  mfctest::StepDriver driver;
  mfc::ScopedUserDriver installed(&driver);
  CPageSetupDialog setup(c.flags | PSD_RETURNDEFAULT);
  PrinterBlocks blocks{&setup.m_psd.hDevMode, &setup.m_psd.hDevNames};
  EXPECT_EQ(setup.DoModal(), IDOK);
  EXPECT_TRUE(driver.waited().empty());
  EXPECT_EQ(setup.m_psd.ptPaperSize.x, c.paper.x);
  EXPECT_EQ(setup.m_psd.ptPaperSize.y, c.paper.y);
  EXPECT_EQ(setup.m_psd.rtMinMargin.left, c.minimum);
  EXPECT_EQ(setup.m_psd.rtMargin.bottom, c.margin);
  EXPECT_TRUE(setup.m_psd.Flags & c.unitFlag);
  EXPECT_NE(setup.m_psd.hDevMode, nullptr);
}

const SetupCase kSetups[] = {
    {"ThousandthsOfInches", 0, POINT{8500, 11000}, 250, 1000, PSD_INTHOUSANDTHSOFINCHES},
    {"HundredthsOfMillimeters", PSD_INHUNDREDTHSOFMILLIMETERS, POINT{21590, 27940}, 635, 2540,
     PSD_INHUNDREDTHSOFMILLIMETERS},
};

INSTANTIATE_TEST_SUITE_P(Cases, PageSetupDefaults, ::testing::ValuesIn(kSetups),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Printing, PageSetupWithAPersonRefusesMarginsBelowThePrintersMinimum) {
  mfctest::ResourceScope resources("");
  mfctest::StepDriver driver;
  driver.add([](CWnd& w) {
    EXPECT_EQ(mfctest::controlText(w, 1155), "750");
    EXPECT_EQ(mfc::userSetText(w.m_hWnd, 1155, "100"), "");
  });
  driver.click(IDOK);
  driver.add([](CWnd& w) { EXPECT_EQ(mfc::userSetText(w.m_hWnd, 1155, "500"), ""); });
  driver.click(IDOK);
  mfc::ScopedUserDriver installed(&driver);
  CPageSetupDialog setup(PSD_MARGINS);
  PrinterBlocks blocks{&setup.m_psd.hDevMode, &setup.m_psd.hDevNames};
  setup.m_psd.rtMargin = RECT{750, 750, 750, 750};
  EXPECT_EQ(setup.DoModal(), IDOK);
  EXPECT_EQ(setup.m_psd.rtMargin.left, 500);
  EXPECT_EQ(setup.m_psd.rtMargin.top, 750);
  ASSERT_EQ(driver.boxes().size(), 1u);
  EXPECT_EQ(driver.boxes()[0].text, "Please enter an integer between 250 and 4250.");
}

}  // namespace
