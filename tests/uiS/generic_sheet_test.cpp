// The common property sheet: its position remembered per first-page template, tab icons, one
// scrolling tab row and the tooltip relay, on the product's own templates.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "cadInterface/CadResources.h"
#include "gui/dialogs/units/UIGenericPS.h"
#include "gui/dialogs/units/UISetupState.h"
#include "res/ResourceIds.h"
#include "uis_fixture.h"

namespace {

class GenericSheetTest : public uistest::FrameTest {
 protected:
  std::optional<ResourceSetter> productResources_;  // the product library for templates and texts
  void SetUp() override {
    FrameTest::SetUp();
    productResources_.emplace(1);
  }
  void TearDown() override {
    productResources_.reset();
    FrameTest::TearDown();
  }
  // Runs the sheet modally; `step` sees it running, then it is cancelled.
  void Run(CPropertySheet& sheet, const std::function<void()>& step) {
    driver.add([&](CWnd&) {
      step();
      sheet.EndDialog(IDCANCEL);
    });
    sheet.DoModal();
  }
  static RECT WindowRect(CWnd& window) {
    RECT rect{};
    window.GetWindowRect(&rect);
    return rect;
  }
};

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(GenericSheetTest, PositionIsRememberedPerFirstPageTemplate) {
  // The first sheet of a kind keeps the platform's placement and records it; a move is recorded.
  CPropertyPage first(IDD_SYMBOL_ATTRIBUTE);
  CGenericPS a("A");
  a.AddPage(&first);
  RECT placed{}, recorded{}, moved{};
  Run(a, [&] {
    placed = WindowRect(a);
    ASSERT_TRUE(UISheetPosition(IDD_SYMBOL_ATTRIBUTE, recorded));
    a.SetWindowPos(nullptr, 100, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    moved = WindowRect(a);
  });
  EXPECT_TRUE(SameRect(recorded, placed));
  EXPECT_EQ(moved.left, 100);
  EXPECT_EQ(moved.top, 50);
  RECT entry{};
  ASSERT_TRUE(UISheetPosition(IDD_SYMBOL_ATTRIBUTE, entry));
  EXPECT_TRUE(SameRect(entry, moved));

  // A larger sheet with the same first page opens there with its own size; its own placement
  // move does not rewrite the entry.
  CPropertyPage same(IDD_SYMBOL_ATTRIBUTE), wide(IDD_SYMBOL_DESIGN);
  CGenericPS b("B");
  b.AddPage(&same);
  b.AddPage(&wide);
  RECT opened{}, entryWhileOpen{};
  Run(b, [&] {
    opened = WindowRect(b);
    UISheetPosition(IDD_SYMBOL_ATTRIBUTE, entryWhileOpen);
  });
  EXPECT_EQ(opened.left, 100);
  EXPECT_EQ(opened.top, 50);
  EXPECT_GT(opened.right - opened.left, moved.right - moved.left);
  EXPECT_TRUE(SameRect(entryWhileOpen, moved));

  // Another first page has its own entry: the platform's placement.
  CPropertyPage other(IDD_SYMBOL_MATE_REL);
  CGenericPS c("C");
  c.AddPage(&other);
  RECT otherOpened{};
  Run(c, [&] { otherOpened = WindowRect(c); });
  EXPECT_TRUE(SameRect(otherOpened, placed));  // same template size, centred by the platform

  // Forgotten by the reset hook (add-in unload).
  UISetupResetModuleState();
  EXPECT_FALSE(UISheetPosition(IDD_SYMBOL_ATTRIBUTE, entry));
  CPropertyPage again(IDD_SYMBOL_ATTRIBUTE);
  CGenericPS d("D");
  d.AddPage(&again);
  RECT reopened{};
  Run(d, [&] { reopened = WindowRect(d); });
  EXPECT_TRUE(SameRect(reopened, placed));
}

TEST_F(GenericSheetTest, SheetsGivenTheSameKeyShareOnePosition) {
  // Every attribute sheet keys its position on the geometry page's template, whatever page it
  // shows first.
  constexpr int kAttributeKey = 926;
  CPropertyPage loadFirst(IDD_SYMBOL_ATTRIBUTE);
  CGenericPS a("Load");
  a.m_nPositionKey = kAttributeKey;
  a.AddPage(&loadFirst);
  Run(a, [&] { a.SetWindowPos(nullptr, 210, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER); });

  CPropertyPage meshFirst(IDD_SYMBOL_MESH);
  CGenericPS b("Restraint");
  b.m_nPositionKey = kAttributeKey;
  b.AddPage(&meshFirst);
  RECT opened{};
  Run(b, [&] { opened = WindowRect(b); });
  EXPECT_EQ(opened.left, 210);
  EXPECT_EQ(opened.top, 120);
  RECT unused{};
  EXPECT_FALSE(UISheetPosition(IDD_SYMBOL_MESH, unused));
}

// Pages whose tab captions ("Light Gray") are wide enough to wrap the strip of a sheet this size;
// made before the sheet they are added to, so that they outlive it.
struct ManyPages {
  explicit ManyPages(int count = 9) {
    for (int i = 0; i < count; ++i)
      pages.push_back(std::make_unique<CPropertyPage>(IDD_SYMBOL_MATE_REL, IDS_COLOR_LIGHT_GRAY));
  }
  void AddTo(CPropertySheet& sheet) {
    for (auto& page : pages) sheet.AddPage(page.get());
  }
  std::vector<std::unique_ptr<CPropertyPage>> pages;
};

int Rows(CPropertySheet& sheet) { return static_cast<int>(sheet.GetTabControl()->SendMessage(TCM_GETROWCOUNT, 0, 0)); }

TEST_F(GenericSheetTest, TabsThatWouldWrapBecomeOneScrollingRow) {
  // The platform's own sheet wraps these tabs: the fixture really needs the change.
  ManyPages plainPages;
  CPropertySheet plain("Plain");
  plainPages.AddTo(plain);
  int plainRows = 0;
  Run(plain, [&] { plainRows = Rows(plain); });
  ASSERT_GT(plainRows, 1);

  for (int start : {0, 3}) {
    SCOPED_TRACE(start);
    ManyPages pages;
    CGenericPS sheet("Generic", nullptr, static_cast<UINT>(start));
    pages.AddTo(sheet);
    int rows = 0, active = -1;
    DWORD style = 0;
    bool neighbourMade = false, othersUntouched = true;
    const int neighbour = start == 0 ? 1 : start - 1;
    Run(sheet, [&] {
      rows = Rows(sheet);
      style = sheet.GetTabControl()->GetStyle();
      active = sheet.GetActiveIndex();
      neighbourMade = pages.pages[static_cast<size_t>(neighbour)]->m_hWnd != nullptr;
      for (int i = 0; i < 9; ++i)
        if (i != start && i != neighbour && pages.pages[static_cast<size_t>(i)]->m_hWnd) othersUntouched = false;
    });
    EXPECT_EQ(rows, 1);
    EXPECT_FALSE(style & TCS_MULTILINE);
    EXPECT_EQ(active, start);  // the re-layout visits a neighbour and comes back
    EXPECT_TRUE(neighbourMade);
    EXPECT_TRUE(othersUntouched);
  }
}

TEST_F(GenericSheetTest, FittingTabsAndWizardsAreLeftAlone) {
  ManyPages few(2);
  CGenericPS fitting("Fits");
  few.AddTo(fitting);
  DWORD style = 0;
  bool secondMade = true;
  Run(fitting, [&] {
    style = fitting.GetTabControl()->GetStyle();
    secondMade = few.pages[1]->m_hWnd != nullptr;
  });
  EXPECT_TRUE(style & TCS_MULTILINE);
  EXPECT_FALSE(secondMade);

  ManyPages steps;
  CGenericPS wizard("Wizard");
  steps.AddTo(wizard);
  wizard.SetWizardMode();
  int rows = 0;
  bool anyOtherMade = false;
  Run(wizard, [&] {
    rows = Rows(wizard);
    for (size_t i = 1; i < steps.pages.size(); ++i) anyOtherMade = anyOtherMade || steps.pages[i]->m_hWnd;
  });
  EXPECT_GT(rows, 1);
  EXPECT_FALSE(anyOtherMade);
}

std::vector<int> TabImages(CPropertySheet& sheet) {
  std::vector<int> images;
  CTabCtrl* tabs = sheet.GetTabControl();
  for (int i = 0; i < tabs->GetItemCount(); ++i) {
    TCITEM item;
    item.mask = TCIF_IMAGE;
    tabs->GetItem(i, &item);
    images.push_back(item.iImage);
  }
  return images;
}

TEST_F(GenericSheetTest, TabIconsStartAtTheFirstIconTabOnActivation) {
  CPropertyPage p0(IDD_SYMBOL_ATTRIBUTE), p1(IDD_SYMBOL_MATE_REL), p2(IDD_SYMBOL_MESH);
  CGenericPS sheet("Icons");
  sheet.AddPage(&p0);
  sheet.AddPage(&p1);
  sheet.AddPage(&p2);
  EXPECT_EQ(sheet.AddTabIcon(IDI_ATT_LOAD), -1);  // no image list yet
  ASSERT_TRUE(sheet.CreateTabImageList(16));
  EXPECT_EQ(sheet.AddTabIcon(IDI_ATT_LOAD), 0);
  EXPECT_EQ(sheet.AddTabIcon(IDI_ATT_RESTRAINT), 1);
  EXPECT_EQ(sheet.AddTabIcon(4999), -1);  // no such icon
  EXPECT_EQ(sheet.AddTabBitmap(IDB_DESIGN_CONSTRAINT_SYMBOL, TRUE), 2);
  EXPECT_EQ(sheet.m_pTabImages->imageName(0), "icon 111");
  sheet.m_nFirstIconTab = 1;
  sheet.m_bShowTabIcons = TRUE;
  std::vector<int> shown, hidden, one;
  Run(sheet, [&] {
    shown = TabImages(sheet);
    sheet.SetAllTabImages(FALSE);
    hidden = TabImages(sheet);
    sheet.SetTabImage(2, TRUE);  // image = tab index
    one = TabImages(sheet);
  });
  EXPECT_EQ(shown, (std::vector<int>{-1, 0, 1}));
  EXPECT_EQ(hidden, (std::vector<int>{-1, -1, -1}));
  EXPECT_EQ(one, (std::vector<int>{-1, -1, 2}));
}

TEST_F(GenericSheetTest, IconsComeOnlyWithAKeyboardOrProgrammaticActivation) {
  CPropertyPage p0(IDD_SYMBOL_ATTRIBUTE), p1(IDD_SYMBOL_MATE_REL);
  CGenericPS sheet("Icons");
  sheet.AddPage(&p0);
  sheet.AddPage(&p1);
  std::vector<int> withoutList, afterClick, afterActive;
  bool listAfterClick = true;
  Run(sheet, [&] {
    // No image list: activation changes nothing and setting an image does nothing.
    sheet.SetTabImage(0, 0, TRUE);
    withoutList = TabImages(sheet);
    sheet.CreateTabImageList(16);
    sheet.AddTabIcon(IDI_ATT_LOAD);
    sheet.AddTabIcon(IDI_ATT_HEAT);
    sheet.m_bShowTabIcons = TRUE;
    sheet.SendMessage(WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 0), 0);
    listAfterClick = sheet.GetTabControl()->GetImageList() != nullptr;
    afterClick = TabImages(sheet);
    sheet.SendMessage(WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
    afterActive = TabImages(sheet);
  });
  EXPECT_EQ(withoutList, (std::vector<int>{-1, -1}));
  EXPECT_FALSE(listAfterClick);
  EXPECT_EQ(afterClick, (std::vector<int>{-1, -1}));
  EXPECT_EQ(afterActive, (std::vector<int>{0, 1}));
}

TEST_F(GenericSheetTest, MouseMovesOverPageControlsReachTheTooltip) {
  CPropertyPage p0(IDD_SYMBOL_ATTRIBUTE), p1(IDD_SYMBOL_MATE_REL), p2(IDD_SYMBOL_MESH);
  CGenericPS sheet("Tips");
  sheet.AddPage(&p0);
  sheet.AddPage(&p1);
  sheet.AddPage(&p2);
  sheet.m_tabTips.Add("Load values");
  sheet.m_tabTips.Add("Symbol");
  int tools = 0;
  std::vector<MSG> relayed;
  HWND edit = nullptr;
  Run(sheet, [&] {
    tools = sheet.m_toolTip.GetToolCount();
    CWnd* size = p0.GetDlgItem(IDC_SYMBOL_SIZE);
    edit = size->m_hWnd;
    // A move over the page, at a point inside the size edit: aimed at the edit, in its coordinates.
    RECT rect{};
    size->GetWindowRect(&rect);
    p0.ScreenToClient(&rect);
    MSG move;
    move.hwnd = p0.m_hWnd;
    move.message = WM_MOUSEMOVE;
    move.lParam = MAKELPARAM(static_cast<WORD>(rect.left + 3), static_cast<WORD>(rect.top + 4));
    sheet.PreTranslateMessage(&move);
    MSG key;
    key.hwnd = edit;
    key.message = WM_KEYDOWN;
    sheet.PreTranslateMessage(&key);  // only mouse moves are relayed
    relayed = sheet.m_toolTip.relayedEvents();
  });
  EXPECT_EQ(tools, 3);  // one per tab; the third without a text
  ASSERT_EQ(relayed.size(), 1u);
  EXPECT_EQ(relayed[0].hwnd, edit);
  EXPECT_EQ(relayed[0].lParam, MAKELPARAM(3, 4));
}

TEST_F(GenericSheetTest, WithoutTabTipsNoToolsButMovesStillRelayed) {
  CPropertyPage p0(IDD_SYMBOL_ATTRIBUTE);
  CGenericPS sheet("No tips");
  sheet.AddPage(&p0);
  int tools = -1;
  size_t relayed = 0;
  Run(sheet, [&] {
    tools = sheet.m_toolTip.GetToolCount();
    MSG move;
    move.hwnd = p0.m_hWnd;
    move.message = WM_MOUSEMOVE;
    sheet.PreTranslateMessage(&move);
    relayed = sheet.m_toolTip.relayedEvents().size();
  });
  EXPECT_EQ(tools, 0);
  EXPECT_EQ(relayed, 1u);
}

}  // namespace
