// The Symbol page and the symbol colour list: sizes shown and typed in host units and handed on
// in native ones, the scaled size against a reference in host units, the refusal of sizes and
// scales of 0 or less, the shared defaults, masks, titles and help.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "amg/CaeUnit.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadResources.h"
#include "gui/dialogs/units/UISymbolPP.h"
#include "gui/optwizard/UIOptWizardKind.h"
#include "mfc/log.h"
#include "uis_fixture.h"

namespace {

constexpr double kMetresPerInch = 0.0254;
constexpr double kNewtonsPerPoundForce = 4.4482216152605;

// The native system of the add-in (metres, SI) with English host units while the object lives.
class EnglishHost {
 public:
  EnglishHost()
      : system_(CaeInch, CaeDegree, CaeFahrenheit, CaePoundForce, CaePoundMass, CaeSecond, CaeBtu, CaeHertz),
        previous_(CaeUnitSystem::SetHostSystem(&system_)) {}
  ~EnglishHost() { CaeUnitSystem::SetHostSystem(previous_); }
  EnglishHost(const EnglishHost&) = delete;
  EnglishHost& operator=(const EnglishHost&) = delete;

 private:
  CaeUnitSystem system_;
  CaeUnitSystem* previous_;
};

bool PageEnabled(CWnd& page, int id) { return page.GetDlgItem(id)->IsWindowEnabled(); }
bool PageVisible(CWnd& page, int id) { return (page.GetDlgItem(id)->GetStyle() & WS_VISIBLE) != 0; }

class SymbolPageTest : public uistest::FrameTest {
 protected:
  std::optional<ResourceSetter> productResources_;  // the product library for templates and texts
  void SetUp() override {
    FrameTest::SetUp();
    productResources_.emplace(1);
    appControl_ = std::make_unique<CadAppControl>();  // unit names and the native system
  }
  void TearDown() override {
    appControl_.reset();
    productResources_.reset();
    FrameTest::TearDown();
  }
  // Runs `page` alone in a sheet; `steps` act on the running sheet one after another.
  INT_PTR RunPage(CSymbolPP& page, std::vector<uistest::RecordingDriver::Step> steps) {
    CPropertySheet sheet("Sheet");
    sheet.AddPage(&page);
    for (auto& step : steps) driver.add(std::move(step));
    return sheet.DoModal();
  }
  static std::string Text(CWnd& page, int id) {
    CString text;
    page.GetDlgItem(id)->GetWindowText(text);
    return static_cast<const char*>(text);
  }
  static void Type(CWnd& page, int id, const char* text) { page.GetDlgItem(id)->SetWindowText(text); }
  static void Press(CWnd& sheet, int id) { sheet.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

 private:
  std::unique_ptr<CadAppControl> appControl_;
};

TEST_F(SymbolPageTest, ColourListMapsComboIndicesToColourCodes) {
  const CSymbolColorList colors;
  const char* const names[] = {"Red",     "Yellow", "Green", "Light Blue", "Blue",
                               "Magenta", "Black",  "Gray",  "Light Gray"};
  ASSERT_EQ(colors.GetCount(), 9);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(colors.GetText(i), names[i]);
    EXPECT_EQ(colors.CodeAtIndex(i), i + 1);
    EXPECT_EQ(colors.IndexOfCode(i + 1), i);
  }
  for (int index : {-1, 9, 100}) {
    EXPECT_EQ(colors.GetText(index), "");
    EXPECT_EQ(colors.CodeAtIndex(index), -1);
  }
  for (int code : {0, 10, -3}) EXPECT_EQ(colors.IndexOfCode(code), -1);

  CSymbolPP page;
  page.SetColor(4);
  EXPECT_EQ(page.m_nColor, 3);
  EXPECT_EQ(page.GetColor(), 4);
  page.SetColor(12);  // outside 1-9: no selection
  EXPECT_EQ(page.m_nColor, -1);
  EXPECT_EQ(page.GetColor(), -1);
}

TEST_F(SymbolPageTest, ComboShowsTheColoursWithTheSetOneSelectedAndOkReadsTheChoice) {
  CSymbolPP page;
  page.SetColor(6);
  std::vector<std::string> entries;
  std::string selected;
  EXPECT_EQ(RunPage(page, {[&](CWnd& sheet) {
                      auto* combo = static_cast<CComboBox*>(page.GetDlgItem(IDC_SYMBOL_COLOR));
                      for (int i = 0; i < combo->GetCount(); ++i) {
                        CString text;
                        combo->GetLBText(i, text);
                        entries.emplace_back(static_cast<const char*>(text));
                      }
                      CString text;
                      combo->GetLBText(combo->GetCurSel(), text);
                      selected = static_cast<const char*>(text);
                      combo->SetCurSel(8);
                      Press(sheet, IDOK);
                    }}),
            IDOK);
  EXPECT_EQ(entries.size(), 9u);
  EXPECT_EQ(selected, "Magenta");
  EXPECT_EQ(page.GetColor(), 9);
}

// Sizes cross the page in native metres and are shown in the host's inches; a scaled size is a
// reference (here a force, shown in lbf) per inch of symbol.
TEST_F(SymbolPageTest, SizesAreShownInHostUnitsAndHandedOnNative) {
  EnglishHost english;
  const double referenceNewtons = 10 * kNewtonsPerPoundForce;  // 10 lbf
  const struct {
    const char* name;
    int mode;
    double nativeIn;   // handed to the page
    double shown;      // the page shows
    double typed;      // then the user types
    double nativeOut;  // the page hands back
  } cases[] = {
      {"fixed 2 in", CSymbolPP::kFixed, 2 * kMetresPerInch, 2.0, 3.0, 3 * kMetresPerInch},
      // 10 lbf per 5 in shows a scale of 2 lbf/in; a scale of 4 gives 10 / 4 = 2.5 in.
      {"scaled 5 in", CSymbolPP::kScaled, 5 * kMetresPerInch, 2.0, 4.0, 2.5 * kMetresPerInch},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CSymbolPP page;
    page.m_nRefUnitType = CaeUtForce;
    page.m_refVector = CaeVector(0, referenceNewtons * 0.6, referenceNewtons * 0.8);  // length 10 lbf
    page.m_nSizeMode = c.mode;
    page.SetSymbolSize(c.nativeIn);
    EXPECT_NEAR(page.m_dSize, c.shown, 1e-12);
    EXPECT_NEAR(page.GetSymbolSize(), c.nativeIn, 1e-15);  // the same size back
    std::string shownText;
    const char* typed = c.typed == 3.0 ? "3" : "4";
    EXPECT_EQ(RunPage(page, {[&](CWnd& sheet) {
                        shownText = Text(page, IDC_SYMBOL_SIZE);
                        Type(page, IDC_SYMBOL_SIZE, typed);
                        Press(sheet, IDOK);
                      }}),
              IDOK);
    EXPECT_EQ(shownText, "2");
    EXPECT_NEAR(page.GetSymbolSize(), c.nativeOut, 1e-15);
  }
}

TEST_F(SymbolPageTest, FixedSizeInNativeHostUnitsIsTheTypedNumber) {
  CSymbolPP page;  // host = native (metres)
  page.SetSymbolSize(0.125);
  EXPECT_EQ(page.m_dSize, 0.125);
  EXPECT_EQ(page.GetSymbolSize(), 0.125);
}

TEST_F(SymbolPageTest, SizesAndScalesOfZeroOrLessAreRefusedAndThePageStays) {
  EnglishHost english;
  const struct {
    const char* typed;
    int mode;
    const char* message;  // "" for the platform's own number message
  } cases[] = {
      {"0", CSymbolPP::kFixed, "The symbol size must be greater than 0."},
      {"-2", CSymbolPP::kFixed, "The symbol size must be greater than 0."},
      {"0", CSymbolPP::kScaled, "The symbol scale must be greater than 0."},
      {"-0.5", CSymbolPP::kScaled, "The symbol scale must be greater than 0."},
      {"big", CSymbolPP::kFixed, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    CSymbolPP page;
    page.m_nRefUnitType = CaeUtForce;
    page.m_refVector = CaeVector(kNewtonsPerPoundForce, 0, 0);
    page.m_nSizeMode = c.mode;
    page.m_dSize = 2.0;
    const size_t boxesBefore = driver.boxes().size();
    bool stayed = false;
    const INT_PTR result = RunPage(page, {[&](CWnd& sheet) {
                                     Type(page, IDC_SYMBOL_SIZE, c.typed);
                                     Press(sheet, IDOK);
                                     stayed = sheet.m_hWnd != nullptr;
                                     Type(page, IDC_SYMBOL_SIZE, "0.5");
                                     Press(sheet, IDOK);
                                   }});
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(stayed);
    ASSERT_EQ(driver.boxes().size(), boxesBefore + 1);
    if (*c.message) {
      EXPECT_EQ(driver.boxes().back().text, c.message);
    }
    const double expected = c.mode == CSymbolPP::kFixed ? 0.5 * kMetresPerInch : 2 * kMetresPerInch;  // 1 lbf / 0.5
    EXPECT_NEAR(page.GetSymbolSize(), expected, 1e-15);
  }

  // Sizes of 0 or less handed in leave the shown value alone.
  CSymbolPP page;
  page.m_dSize = 3.0;
  for (double size : {0.0, -1.0}) {
    page.SetSymbolSize(size);
    EXPECT_EQ(page.m_dSize, 3.0);
  }
  page.m_nSizeMode = CSymbolPP::kScaled;  // with no reference a scale would be 0
  page.SetSymbolSize(0.1);
  EXPECT_EQ(page.m_dSize, 3.0);
}

TEST_F(SymbolPageTest, DefaultsAreSharedAndScaledOnlyWhereAllowed) {
  CSymbolPP first;
  first.m_dSize = 7.5;
  first.m_nSizeMode = CSymbolPP::kScaled;
  first.StoreDefaults();

  CSymbolPP next;
  next.LoadDefaults();
  EXPECT_EQ(next.m_dSize, 7.5);
  EXPECT_EQ(next.m_nSizeMode, CSymbolPP::kScaled);

  // A page that forbids scaling leaves the mode alone, and initialisation forces Fixed.
  CSymbolPP fixedOnly;
  fixedOnly.m_bScaledAllowed = FALSE;
  fixedOnly.m_nSizeMode = CSymbolPP::kScaled;
  fixedOnly.LoadDefaults();
  EXPECT_EQ(fixedOnly.m_dSize, 7.5);
  bool scaledEnabled = true;
  EXPECT_EQ(RunPage(fixedOnly, {[&](CWnd& sheet) {
                      scaledEnabled = PageEnabled(fixedOnly, IDC_SYMBOL_SCALED);
                      Press(sheet, IDOK);
                    }}),
            IDOK);
  EXPECT_FALSE(scaledEnabled);
  EXPECT_EQ(fixedOnly.m_nSizeMode, CSymbolPP::kFixed);
  EXPECT_EQ(fixedOnly.GetSymbolSize(), 7.5);

  // A refused value never becomes a default; the reset hook restores 1.0 and Fixed.
  CSymbolPP bad;
  bad.m_dSize = -1.0;
  bad.StoreDefaults();
  EXPECT_EQ(UISymbolDefaults().size, 7.5);
  UIResetSymbolDefaults();
  EXPECT_EQ(UISymbolDefaults().size, 1.0);
  EXPECT_EQ(UISymbolDefaults().sizeMode, CSymbolPP::kFixed);
}

TEST_F(SymbolPageTest, UnitLabelFollowsTheModeAndTheNumberKeepsItsText) {
  EnglishHost english;
  CSymbolPP page;
  page.m_nRefUnitType = CaeUtForce;
  page.m_refVector = CaeVector(1, 0, 0);
  std::string fixedLabel, scaledLabel, sizeAfter;
  EXPECT_EQ(RunPage(page, {[&](CWnd& sheet) {
                      fixedLabel = Text(page, IDC_SYMBOL_UNITS);
                      Type(page, IDC_SYMBOL_SIZE, "6");
                      page.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SYMBOL_SCALED, BN_CLICKED),
                                       reinterpret_cast<LPARAM>(page.GetDlgItem(IDC_SYMBOL_SCALED)->m_hWnd));
                      scaledLabel = Text(page, IDC_SYMBOL_UNITS);
                      sizeAfter = Text(page, IDC_SYMBOL_SIZE);
                      Press(sheet, IDCANCEL);
                    }}),
            IDCANCEL);
  EXPECT_EQ(fixedLabel, "in");
  EXPECT_EQ(scaledLabel, "lbf/in");
  EXPECT_EQ(sizeAfter, "6");
}

TEST_F(SymbolPageTest, MasksHideOrDisableTheColourAndSizeControls) {
  const int sizeControls[] = {IDC_SYMBOL_FIXED, IDC_SYMBOL_SCALED, IDC_SYMBOL_SIZE, IDC_SYMBOL_UNITS};
  const struct {
    int enable, show;
    bool colorEnabled, colorShown, sizeEnabled, sizeShown;
  } cases[] = {
      {3, 3, true, true, true, true},   {0, 3, false, true, false, true}, {1, 3, true, true, false, true},
      {3, 0, true, false, true, false}, {3, 2, true, false, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.enable) + " " + std::to_string(c.show));
    CSymbolPP page;
    page.m_nEnableMask = c.enable;
    page.m_nShowMask = c.show;
    RunPage(page, {[&](CWnd& sheet) {
              EXPECT_EQ(PageEnabled(page, IDC_SYMBOL_COLOR), c.colorEnabled);
              EXPECT_EQ(PageVisible(page, IDC_SYMBOL_COLOR), c.colorShown);
              for (int id : sizeControls) {
                EXPECT_EQ(PageEnabled(page, id), c.sizeEnabled) << id;
                EXPECT_EQ(PageVisible(page, id), c.sizeShown) << id;
              }
              Press(sheet, IDCANCEL);
            }});
  }
}

TEST_F(SymbolPageTest, DesignTemplateTitleAndHelpFollowTheOptimisationKind) {
  const struct {
    UINT templateId;
    int kind;
    DWORD_PTR help;
    const char* title;  // null: the sheet's own caption stays
  } cases[] = {
      {IDD_SYMBOL_ATTRIBUTE, 0, 0x20167, nullptr},
      {IDD_SYMBOL_MATE_REL, 0, 0x20167, nullptr},
      {IDD_SYMBOL_MESH, 1, 0x20168, nullptr},
      {IDD_SYMBOL_DESIGN, 0, 0x20356, "Design Constraint Symbol"},
      {IDD_SYMBOL_DESIGN, 1, 0x8000001B, "Concept Control Symbol"},
      {IDD_SYMBOL_DESIGN, 2, 0x20356, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.templateId) + " kind " + std::to_string(c.kind));
    UISetOptWizardKind(c.kind);
    CSymbolPP page(c.templateId);
    EXPECT_EQ(page.HelpContext(), c.help);
    std::string title;
    mfc::clearLog();
    RunPage(page, {[&](CWnd& sheet) {
              CString text;
              sheet.GetWindowText(text);
              title = static_cast<const char*>(text);
              Press(sheet, IDHELP);
              Press(sheet, IDCANCEL);
            }});
    EXPECT_EQ(title, c.title ? c.title : "Sheet");
    char expected[64];
    std::snprintf(expected, sizeof expected, " command 1 data 0x%llx", static_cast<unsigned long long>(c.help));
    bool helped = false;
    for (const std::string& line : mfc::logLines())
      if (line.find("WinHelp ") == 0 && line.find(expected) != std::string::npos) helped = true;
    EXPECT_TRUE(helped) << expected;
  }
  // The kind outlives the wizard that set it, until the add-in's state is reset.
  UISetOptWizardKind(1);
  EXPECT_EQ(UIGetOptWizardKind(), 1);
  UIResetOptWizardKind();
  EXPECT_EQ(UIGetOptWizardKind(), 0);
}

}  // namespace
