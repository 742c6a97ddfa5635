// The wizard page base, the page picture and the guarded page event: pages build from a private
// copy of their template in the localised library, pictures keep their bitmap and palette, and
// Dispatch leaves the host's transactions as it found them whatever the handler did.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "amg/CaeExcept.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadResources.h"
#include "gui/wizard/UIPageEventAdapter.h"
#include "gui/wizard/UIPagePicture.h"
#include "gui/wizard/UIWizBasePP.h"
#include "mfc/global_memory.h"
#include "mfc/window_drawing.h"
#include "res/ResourceIds.h"
#include "uis_fixture.h"

namespace {

using uistest::FrameTest;

// A transaction stack that also records what was printed.
class StackCad : public uistest::RecordingCad {
 public:
  void StartTransaction() override { ++open; }
  void EndTransaction() override { --open; }
  void AbortTransaction() override {
    ++aborts;
    --open;
  }
  int NumActiveTransactions() override { return open; }
  int open = 0;
  int aborts = 0;
};

class EventPage : public CPageEventAdapter {
 public:
  explicit EventPage(std::function<int()> handler) : handler_(std::move(handler)) {}
  int OnPageEvent(PageEventCode) override { return handler_(); }

 private:
  std::function<int()> handler_;
};

TEST_F(FrameTest, APageBuildsFromItsOwnCopyOfTheLocalisedTemplateWhateverModuleIsCurrent) {
  // The add-in's own module (no templates) is what MFC has current while the page is made.
  AfxSetResourceHandle(nullptr);
  HGLOBAL copy = nullptr;
  {
    CWizBasePP page(0x10000 | IDD_GUIDE_UNITS);  // only the low 16 bits are the id
    EXPECT_EQ(page.TemplateId(), static_cast<UINT>(IDD_GUIDE_UNITS));
    ASSERT_TRUE(page.HasTemplateCopy());
    copy = page.TemplateCopy();
    EXPECT_EQ(GlobalFlags(copy), 1u) << "locked for the page's whole life";
    EXPECT_TRUE(page.m_psp.dwFlags & PSP_DLGINDIRECT);
    EXPECT_EQ(page.caption(), "Units");
    EXPECT_FALSE(page.OnSetActive()) << "no window yet: the activation does not run";

    CPropertySheet sheet("Sheet");
    sheet.AddPage(&page);
    driver.add([](CWnd& window) {
      EXPECT_NE(static_cast<CPropertySheet&>(window).GetActivePage()->GetDlgItem(IDC_GUIDE_UNITS_BUTTON), nullptr)
          << "the page was made from the copy";
      static_cast<CPropertySheet&>(window).EndDialog(IDOK);
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
  }
  EXPECT_EQ(GlobalFlags(copy), static_cast<UINT>(GMEM_INVALID_HANDLE)) << "the copy is freed with the page";
}

TEST_F(FrameTest, APageWithoutATemplateHoldsNoCopyAndItsSheetCannotShowIt) {
  CWizBasePP page(9);  // no dialog 9 in the library
  EXPECT_FALSE(page.HasTemplateCopy());
  EXPECT_FALSE(page.m_psp.dwFlags & PSP_DLGINDIRECT);
  EXPECT_EQ(page.LoadTemplate(), 0);
}

// A module with one 8-bit and one 24-bit picture, and a window with a placeholder.
class PictureTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    auto module = std::make_shared<mfc::ResourceModule>();
    module->parse(
        "BITMAP 501 SIZE 40 30 BITS 8\n"
        "BITMAP 502 SIZE 20 10 BITS 24\n"
        "DIALOG 600 \"Page\" SIZE 200 100\n"
        "  PICTURE 1005 \"\" 30 20 40 30\n"
        "END\n",
        "pictures");
    pictures_ = mfc::registerModule(module, "pictures");
    const HINSTANCE previous = AfxGetResourceHandle();
    AfxSetResourceHandle(pictures_);
    ASSERT_TRUE(page_.Create(600, nullptr));
    AfxSetResourceHandle(previous);
  }
  void TearDown() override {
    page_.DestroyWindow();
    FreeLibrary(pictures_);
    FrameTest::TearDown();
  }
  std::vector<std::string> Drawn() { return mfc::windowDrawing(page_.m_hWnd); }

  HINSTANCE pictures_ = nullptr;
  CDialog page_;
};

TEST_F(PictureTest, AnEightBitPictureKeepsItsPaletteAndPaintsWithItAtThePlaceholder) {
  CPagePicture picture;
  picture.Attach(pictures_, &page_, 1005, 501);
  ASSERT_TRUE(picture.HasBitmap());
  ASSERT_NE(picture.Palette(), nullptr);
  EXPECT_EQ(picture.Palette()->entries, 256);
  RECT placeholder;
  page_.GetDlgItem(1005)->GetWindowRect(&placeholder);
  page_.ScreenToClient(&placeholder);
  EXPECT_EQ(picture.Position().x, placeholder.left);
  EXPECT_EQ(picture.Position().y, placeholder.top);

  picture.Paint();
  const std::string blt = "blt bitmap dib 40x30 at " + std::to_string(placeholder.left) + "," +
                          std::to_string(placeholder.top) + " size 40x30";
  EXPECT_EQ(Drawn(), (std::vector<std::string>{"select palette 256", "realize 256", blt}));
}

TEST_F(PictureTest, ATrueColourPictureHasNoPaletteAndStillPaints) {
  CPagePicture picture;
  picture.Attach(pictures_, &page_, 1005, 502);
  ASSERT_TRUE(picture.HasBitmap());
  EXPECT_EQ(picture.Palette(), nullptr);
  picture.Paint();
  const std::vector<std::string> drawn = Drawn();
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].rfind("blt bitmap dib 20x10 at ", 0), 0u) << drawn[0];
}

TEST_F(PictureTest, AMissingBitmapOrANeverAttachedPictureDrawsNothing) {
  CPagePicture missing;
  missing.Attach(pictures_, &page_, 1005, 599);
  EXPECT_FALSE(missing.HasBitmap());
  missing.Paint();

  CPagePicture never;
  never.Reload(pictures_, 501);  // never attached: no load, no paint
  EXPECT_FALSE(never.HasBitmap());
  EXPECT_TRUE(Drawn().empty());
}

TEST_F(PictureTest, ReloadReplacesThePictureAndDrawsItAtOnce) {
  CPagePicture picture;
  picture.Attach(pictures_, &page_, 1005, 501);
  picture.Reload(pictures_, 502);
  EXPECT_EQ(picture.Palette(), nullptr) << "the new picture's own (absent) palette";
  const std::vector<std::string> drawn = Drawn();
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].rfind("blt bitmap dib 20x10", 0), 0u) << drawn[0];
}

TEST(CPagePicture, ThePaletteCopiesTheColourTableAndHasNoneAboveEightBits) {
  // A 4-bit header with its 16-entry table.
  std::vector<unsigned char> bytes(sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD));
  auto* info = reinterpret_cast<BITMAPINFO*>(bytes.data());
  info->bmiHeader = BITMAPINFOHEADER();
  info->bmiHeader.biBitCount = 4;
  info->bmiHeader.biClrUsed = 3;  // not consulted
  int colours = -1;
  HPALETTE palette = CPagePicture::CreateDibPalette(info, colours);
  EXPECT_EQ(colours, 16);
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette->entries, 16);
  DeleteObject(palette);

  info->bmiHeader.biBitCount = 24;
  EXPECT_EQ(CPagePicture::CreateDibPalette(info, colours), nullptr);
  EXPECT_EQ(colours, 0);
}

class DispatchTest : public FrameTest {
 protected:
  StackCad cad;
};

TEST_F(DispatchTest, AnEventRunsInsideOneTransactionWithTheLocalisedResources) {
  AfxSetResourceHandle(nullptr);
  HINSTANCE during = reinterpret_cast<HINSTANCE>(1);
  int openDuring = -1;
  EventPage page([&] {
    during = AfxGetResourceHandle();
    openDuring = cad.open;
    return 7;
  });
  EXPECT_EQ(page.Dispatch(PageEventCode::Shown), 7);
  EXPECT_EQ(during, ResourceSetter::ResourceModule());
  EXPECT_EQ(openDuring, 1);
  EXPECT_EQ(cad.open, 0);
  EXPECT_EQ(AfxGetResourceHandle(), nullptr) << "the previous resource module is back";
  EXPECT_TRUE(driver.boxes().empty());
}

TEST_F(DispatchTest, EngineExceptionsFaultsAndLeftOpenTransactionsAreHandledAsByTheDispatcher) {
  const struct {
    const char* name;
    std::function<void(StackCad&)> handler;
    int result;
    int openAfter;
    int aborts;
    std::vector<std::string> printed;
    std::vector<std::string> boxes;
  } cases[] = {
      {"two transactions then an engine exception",
       [](StackCad& c) {
         c.StartTransaction();
         c.StartTransaction();
         throw CaeExcept(CaeString("Bad value"));
       },
       0,
       1,
       3,
       {"\nBad value"},
       {}},
      {"a transaction left open",
       [](StackCad& c) { c.StartTransaction(); },
       5,
       2,
       0,
       {},
       {"A transaction was left open!"}},
      {"a fault", [](StackCad&) { throw std::runtime_error("access violation"); }, 0, 1, 1, {}, {"*"}},
      {"a handler that ended more than it opened, then failed",
       [](StackCad& c) {
         c.EndTransaction();
         c.EndTransaction();
         throw CaeExcept(CaeString("Gone"));
       },
       0,
       0,
       0,
       {"\nGone"},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    cad.open = 1;  // a command's transaction is already open
    cad.aborts = 0;
    cad.printed.clear();
    const size_t boxesBefore = driver.boxes().size();
    EventPage page([&] {
      c.handler(cad);
      return 5;
    });
    EXPECT_EQ(page.Dispatch(PageEventCode::Next), c.result);
    EXPECT_EQ(cad.open, c.openAfter);
    EXPECT_EQ(cad.aborts, c.aborts) << "aborted while above the depth found, never below it";
    EXPECT_EQ(cad.printed, c.printed);
    ASSERT_EQ(driver.boxes().size() - boxesBefore, c.boxes.size());
    for (size_t i = 0; i < c.boxes.size(); ++i) {
      const std::string& text = driver.boxes()[boxesBefore + i].text;
      if (c.boxes[i] == "*") {
        EXPECT_NE(text.find("E06D7363"), std::string::npos) << text;
      } else {
        EXPECT_EQ(text, c.boxes[i]);
      }
    }
  }
}

TEST_F(DispatchTest, NestedEventsEachCheckAgainstTheirOwnDepth) {
  EventPage inner([&] {
    cad.StartTransaction();
    throw CaeExcept(CaeString("inner"));
    return 0;
  });
  EventPage outer([&] {
    EXPECT_EQ(inner.Dispatch(PageEventCode::Paint), 0);
    EXPECT_EQ(cad.open, 1) << "the inner event aborted only its own";
    return 3;
  });
  EXPECT_EQ(outer.Dispatch(PageEventCode::Activated), 3);
  EXPECT_EQ(cad.open, 0);
  EXPECT_TRUE(driver.boxes().empty());
}

}  // namespace
