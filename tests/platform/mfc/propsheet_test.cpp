// The property sheet and wizard lifecycle: the exact order of page notifications for each button,
// and the code DoModal returns.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

#include "mfc_fixture.h"

namespace {

const char* const kPages = R"(
DIALOG 301 "Alpha" SIZE 120 60
  EDITTEXT 1001 "" 5 5 60 12
END
DIALOG 302 "Beta" SIZE 120 60
  EDITTEXT 1001 "" 5 5 60 12
END
DIALOG 303 "Gamma" SIZE 120 60
END
DIALOG 304 "Delta" SIZE 120 60
END
)";

using Events = std::vector<std::string>;

// A page that records every notification it gets, and answers as configured.
class RecordingPage : public CPropertyPage {
 public:
  RecordingPage(UINT id, const std::string& name, Events& events) : CPropertyPage(id), name_(name), events_(events) {}

  int refuseKill = 0;  // how many kill-actives to refuse
  bool refuseSetActive = false;
  bool modifyOnInit = false;
  DWORD wizardButtons = 0;  // set on the sheet at every activation when not 0
  LRESULT nextResult = 0;
  LRESULT backResult = 0;
  std::function<void(RecordingPage&)> onNext;
  std::function<void(RecordingPage&)> onBack;

  BOOL OnInitDialog() override {
    events_.push_back("init " + name_);
    BOOL result = CPropertyPage::OnInitDialog();
    if (modifyOnInit) SetModified(TRUE);
    return result;
  }
  BOOL OnSetActive() override {
    events_.push_back("set " + name_);
    if (wizardButtons && sheet()) sheet()->SetWizardButtons(wizardButtons);
    return refuseSetActive ? FALSE : CPropertyPage::OnSetActive();
  }
  BOOL OnKillActive() override {
    events_.push_back("kill " + name_);
    if (refuseKill > 0) {
      --refuseKill;
      return FALSE;
    }
    return CPropertyPage::OnKillActive();
  }
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (static_cast<int>(header->code) == PSN_APPLY) applyFromOK_ = reinterpret_cast<PSHNOTIFY*>(lParam)->lParam != 0;
    return CPropertyPage::OnNotify(wParam, lParam, result);
  }
  BOOL OnApply() override {
    events_.push_back("apply " + name_ + (applyFromOK_ ? " ok" : " now"));
    return CPropertyPage::OnApply();
  }
  void OnReset() override { events_.push_back("reset " + name_); }
  BOOL OnQueryCancel() override {
    events_.push_back("query " + name_);
    return TRUE;
  }
  LRESULT OnWizardNext() override {
    events_.push_back("next " + name_);
    if (onNext) onNext(*this);
    return nextResult;
  }
  LRESULT OnWizardBack() override {
    events_.push_back("back " + name_);
    if (onBack) onBack(*this);
    return backResult;
  }
  BOOL OnWizardFinish() override {
    events_.push_back("finish " + name_);
    return TRUE;
  }
  void PostNcDestroy() override { events_.push_back("destroy " + name_); }

 private:
  std::string name_;
  Events& events_;
  bool applyFromOK_ = false;
};

struct LifecycleCase {
  const char* name;
  bool wizard;
  // What a person does, in order: a sheet button id, or "tab NAME" to pick a tab.
  std::vector<std::string> actions;
  std::function<void(std::map<std::string, RecordingPage*>&, CPropertySheet&)> setup;
  Events expected;
  INT_PTR result;
  friend void PrintTo(const LifecycleCase& c, std::ostream* os) { *os << c.name; }
};

class SheetLifecycle : public ::testing::TestWithParam<LifecycleCase> {};

TEST_P(SheetLifecycle, NotifiesPagesInThePlatformsOrder) {
  const LifecycleCase& c = GetParam();
  mfctest::ResourceScope resources(kPages);
  Events events;
  RecordingPage a(301, "A", events), b(302, "B", events), cPage(303, "C", events);
  std::map<std::string, RecordingPage*> pages{{"A", &a}, {"B", &b}, {"C", &cPage}};
  CPropertySheet sheet("Sheet");
  sheet.AddPage(&a);
  sheet.AddPage(&b);
  sheet.AddPage(&cPage);
  if (c.wizard) sheet.SetWizardMode();
  if (c.setup) c.setup(pages, sheet);
  mfctest::StepDriver driver;
  for (const std::string& action : c.actions) {
    if (action.rfind("tab ", 0) == 0) {
      std::string tab = action.substr(4);
      driver.add([tab](CWnd& w) { EXPECT_EQ(mfc::userSelect(w.m_hWnd, AFX_IDC_TAB_CONTROL, tab), ""); });
    } else {
      driver.click(std::stoi(action));
    }
  }
  mfc::ScopedUserDriver installed(&driver);

  INT_PTR result = sheet.DoModal();

  EXPECT_EQ(result, c.result);
  EXPECT_EQ(events, c.expected);
  EXPECT_TRUE(driver.finished()) << "the sheet ended before every action was done";
  EXPECT_EQ(sheet.m_hWnd, nullptr);
}

const std::string kOk = std::to_string(IDOK);
const std::string kCancel = std::to_string(IDCANCEL);
const std::string kApply = std::to_string(ID_APPLY_NOW);
const std::string kNext = std::to_string(ID_WIZNEXT);
const std::string kBack = std::to_string(ID_WIZBACK);
const std::string kFinish = std::to_string(ID_WIZFINISH);

const LifecycleCase kLifecycleCases[] = {
    {"OkAppliesOnlyCreatedPages",
     false,
     {kOk},
     nullptr,
     {"init A", "set A", "kill A", "apply A ok", "destroy A"},
     IDOK},
    {"TabThenOkAppliesBothVisitedPages",
     false,
     {"tab Beta", kOk},
     nullptr,
     {"init A", "set A", "kill A", "init B", "set B", "kill B", "apply A ok", "apply B ok", "destroy A", "destroy B"},
     IDOK},
    {"SecondVisitSetsActiveWithoutInit",
     false,
     {"tab Beta", "tab Alpha", "tab Beta", kOk},
     nullptr,
     {"init A", "set A", "kill A", "init B", "set B", "kill B", "set A", "kill A", "set B", "kill B", "apply A ok",
      "apply B ok", "destroy A", "destroy B"},
     IDOK},
    {"ApplyNowThenCancel",
     false,
     {kApply, kCancel},
     [](auto& p, CPropertySheet&) { p["A"]->modifyOnInit = true; },
     {"init A", "set A", "kill A", "apply A now", "set A", "query A", "reset A", "destroy A"},
     IDCANCEL},
    {"CancelResetsCreatedPages",
     false,
     {"tab Gamma", kCancel},
     nullptr,
     {"init A", "set A", "kill A", "init C", "set C", "query C", "reset A", "reset C", "destroy A", "destroy C"},
     IDCANCEL},
    {"RefusedKillActiveKeepsTheSheetOpen",
     false,
     {kOk, kOk},
     [](auto& p, CPropertySheet&) { p["A"]->refuseKill = 1; },
     {"init A", "set A", "kill A", "kill A", "apply A ok", "destroy A"},
     IDOK},
    {"RefusedKillActiveKeepsTheTab",
     false,
     {"tab Beta", kCancel},
     [](auto& p, CPropertySheet&) { p["A"]->refuseKill = 1; },
     {"init A", "set A", "kill A", "query A", "reset A", "destroy A"},
     IDCANCEL},
    {"WizardNextNextFinish",
     true,
     {kNext, kNext, kFinish},
     [](auto& p, CPropertySheet&) { p["C"]->wizardButtons = PSWIZB_BACK | PSWIZB_FINISH; },
     {"init A", "set A", "kill A", "next A", "init B", "set B", "kill B", "next B", "init C", "set C", "kill C",
      "finish C", "destroy A", "destroy B", "destroy C"},
     ID_WIZFINISH},
    {"WizardBackReusesThePageWindow",
     true,
     {kNext, kBack, kNext, kCancel},
     nullptr,
     {"init A", "set A", "kill A", "next A", "init B", "set B", "kill B", "back B", "set A", "kill A", "next A",
      "set B", "query B", "reset A", "reset B", "destroy A", "destroy B"},
     IDCANCEL},
    {"WizardNextMinusOneStays",
     true,
     {kNext, kCancel},
     [](auto& p, CPropertySheet&) { p["A"]->nextResult = -1; },
     {"init A", "set A", "kill A", "next A", "query A", "reset A", "destroy A"},
     IDCANCEL},
    {"WizardNextJumpsToATemplate",
     true,
     {kNext, kCancel},
     [](auto& p, CPropertySheet&) { p["A"]->nextResult = 303; },
     {"init A", "set A", "kill A", "next A", "init C", "set C", "query C", "reset A", "reset C", "destroy A",
      "destroy C"},
     IDCANCEL},
    {"RefusedSetActiveSkipsToTheNextPage",
     true,
     {kNext, kCancel},
     [](auto& p, CPropertySheet&) { p["B"]->refuseSetActive = true; },
     {"init A", "set A", "kill A", "next A", "init B", "set B", "init C", "set C", "query C", "reset A", "reset B",
      "reset C", "destroy A", "destroy B", "destroy C"},
     IDCANCEL},
    {"RefusedKillActiveStopsFinish",
     true,
     {kFinish, kFinish},
     [](auto& p, CPropertySheet&) {
       p["A"]->wizardButtons = PSWIZB_FINISH;
       p["A"]->refuseKill = 1;
     },
     {"init A", "set A", "kill A", "kill A", "finish A", "destroy A"},
     ID_WIZFINISH},
    {"EndDialogFromBackEndsWithItsCode",
     true,
     {kBack},
     [](auto& p, CPropertySheet& s) {
       p["A"]->wizardButtons = PSWIZB_BACK | PSWIZB_NEXT;
       p["A"]->onBack = [&s](RecordingPage&) { s.EndDialog(-1); };
       p["A"]->backResult = -1;
     },
     {"init A", "set A", "kill A", "back A", "destroy A"},
     -1},
    {"EndDialogFromNextKeepsACustomCode",
     true,
     {kNext},
     [](auto& p, CPropertySheet& s) { p["A"]->onNext = [&s](RecordingPage&) { s.EndDialog(-2); }; },
     {"init A", "set A", "kill A", "next A", "destroy A"},
     -2},
};

INSTANTIATE_TEST_SUITE_P(Cases, SheetLifecycle, ::testing::ValuesIn(kLifecycleCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SheetLifecycle, PageAddedWhileRunningIsCreatedOnItsFirstVisit) {
  mfctest::ResourceScope resources(kPages);
  Events events;
  RecordingPage a(301, "A", events), b(302, "B", events), d(304, "D", events);
  CPropertySheet sheet("Sheet");
  sheet.AddPage(&a);
  sheet.AddPage(&b);
  mfctest::StepDriver driver;
  driver.add([&](CWnd&) {
    sheet.AddPage(&d);
    events.push_back("added D");
    EXPECT_EQ(sheet.GetPageCount(), 3);
    EXPECT_EQ(sheet.GetTabControl()->GetItemCount(), 3);
  });
  driver.add([](CWnd& w) { EXPECT_EQ(mfc::userSelect(w.m_hWnd, AFX_IDC_TAB_CONTROL, "Delta"), ""); });
  driver.click(IDOK);
  mfc::ScopedUserDriver installed(&driver);

  EXPECT_EQ(sheet.DoModal(), IDOK);

  Events expected{"init A", "set A",      "added D",    "kill A",    "init D",   "set D",
                  "kill D", "apply A ok", "apply D ok", "destroy A", "destroy D"};
  EXPECT_EQ(events, expected);
}

TEST(SheetLifecycle, RemovingTheActivePageWhileRunningActivatesANeighbour) {
  mfctest::ResourceScope resources(kPages);
  Events events;
  RecordingPage a(301, "A", events), b(302, "B", events);
  CPropertySheet sheet("Sheet");
  sheet.AddPage(&a);
  sheet.AddPage(&b);
  mfctest::StepDriver driver;
  driver.add([&](CWnd&) { sheet.RemovePage(&a); });
  driver.add([&](CWnd&) {
    EXPECT_EQ(sheet.GetActivePage(), &b);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_EQ(a.m_hWnd, nullptr);
  });
  driver.click(IDOK);
  mfc::ScopedUserDriver installed(&driver);

  EXPECT_EQ(sheet.DoModal(), IDOK);
  Events expected{"init A", "set A", "init B", "set B", "destroy A", "kill B", "apply B ok", "destroy B"};
  EXPECT_EQ(events, expected);
}

TEST(SheetLifecycle, AnExceptionFromAPageLeavesTheSheetCleanly) {
  mfctest::ResourceScope resources(kPages);
  Events events;
  struct ThrowingPage : RecordingPage {
    using RecordingPage::RecordingPage;
    BOOL OnKillActive() override { throw std::runtime_error("consistency check failed"); }
  } a(301, "A", events);
  RecordingPage b(302, "B", events);
  CPropertySheet sheet("Sheet");
  sheet.AddPage(&a);
  sheet.AddPage(&b);
  mfctest::StepDriver driver;
  driver.click(IDOK);
  mfc::ScopedUserDriver installed(&driver);
  EXPECT_THROW(sheet.DoModal(), std::runtime_error);
  EXPECT_EQ(sheet.m_hWnd, nullptr);
  EXPECT_EQ(a.m_hWnd, nullptr);
  EXPECT_TRUE(mfc::modalWindows().empty());
  EXPECT_EQ(events, (Events{"init A", "set A", "destroy A"}));
}

TEST(SheetButtons, ModifiedEnablesApplyAndCancelToCloseRelabelsOk) {
  mfctest::ResourceScope resources(kPages);
  Events events;
  RecordingPage a(301, "A", events);
  CPropertySheet sheet("Sheet");
  sheet.AddPage(&a);
  mfctest::StepDriver driver;
  driver.add([&](CWnd& w) {
    CWnd* apply = w.GetDlgItem(ID_APPLY_NOW);
    ASSERT_NE(apply, nullptr);
    EXPECT_FALSE(apply->IsWindowEnabled());
    a.SetModified(TRUE);
    EXPECT_TRUE(apply->IsWindowEnabled());
    a.CancelToClose();
    EXPECT_EQ(mfctest::controlText(w, IDOK), "Close");
    EXPECT_FALSE(w.GetDlgItem(IDCANCEL)->IsWindowEnabled());
  });
  driver.click(IDOK);
  mfc::ScopedUserDriver installed(&driver);
  EXPECT_EQ(sheet.DoModal(), IDOK);
}

TEST(SheetButtons, NoApplyNowFlagRemovesTheButtonAndPostedWizardButtonsArrive) {
  mfctest::ResourceScope resources(kPages);
  Events events;
  RecordingPage a(301, "A", events);
  CPropertySheet tabbed("Sheet");
  tabbed.m_psh.dwFlags |= PSH_NOAPPLYNOW;
  tabbed.AddPage(&a);
  mfctest::StepDriver driver;
  driver.add([](CWnd& w) { EXPECT_EQ(w.GetDlgItem(ID_APPLY_NOW), nullptr); });
  driver.click(IDCANCEL);
  mfc::ScopedUserDriver installed(&driver);
  EXPECT_EQ(tabbed.DoModal(), IDCANCEL);

  RecordingPage w1(301, "W", events);
  CPropertySheet wizard("Wizard");
  wizard.AddPage(&w1);
  wizard.SetWizardMode();
  driver.add([&](CWnd& w) {
    w.PostMessage(PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_FINISH);
    EXPECT_FALSE(w.GetDlgItem(ID_WIZFINISH)->IsWindowVisible()) << "posted, so not yet handled";
  });
  driver.add([](CWnd& w) {
    EXPECT_TRUE(w.GetDlgItem(ID_WIZFINISH)->IsWindowVisible());
    EXPECT_FALSE(w.GetDlgItem(ID_WIZNEXT)->IsWindowVisible());
    EXPECT_TRUE(w.GetDlgItem(ID_WIZBACK)->IsWindowEnabled());
  });
  driver.click(ID_WIZFINISH);
  EXPECT_EQ(wizard.DoModal(), ID_WIZFINISH);
}

TEST(SheetModeless, EmbeddedChildSheetActivatesItsFirstPage) {
  mfctest::ResourceScope resources(kPages + std::string("DIALOG 500 \"Host\" SIZE 200 150\nEND\n"));
  Events events;
  CDialog host(500);
  ASSERT_TRUE(host.Create(500));
  RecordingPage a(301, "A", events);
  CPropertySheet sheet("Child");
  sheet.AddPage(&a);
  ASSERT_TRUE(sheet.Create(&host, WS_CHILD | WS_VISIBLE));
  EXPECT_EQ(sheet.GetParent(), &host);
  EXPECT_EQ(sheet.GetActivePage(), &a);
  Events expected{"init A", "set A"};
  EXPECT_EQ(events, expected);
  host.DestroyWindow();
  EXPECT_EQ(sheet.m_hWnd, nullptr);
  EXPECT_EQ(a.m_hWnd, nullptr);
}

// A sheet owning its pages frees them before the base sheet goes; the base must not reach them (ASan
// sees any touch as a use after free), with the window alive or not, and pages that outlive a sheet
// must not point back at it.
class OwningSheet : public CPropertySheet {
 public:
  explicit OwningSheet(Events& events) : CPropertySheet("Owner") {
    first = std::make_unique<RecordingPage>(301, "A", events);
    second = std::make_unique<RecordingPage>(302, "B", events);
    AddPage(first.get());
    AddPage(second.get());
  }
  std::unique_ptr<RecordingPage> first, second;
};

TEST(SheetModeless, PagesFreedBeforeTheirSheetLeaveItAndPagesOutlivingItForgetIt) {
  mfctest::ResourceScope resources(kPages);
  Events events;
  for (bool live : {false, true}) {
    auto sheet = std::make_unique<OwningSheet>(events);
    if (live) {
      ASSERT_TRUE(sheet->Create());
    }
    sheet->second.reset();
    EXPECT_EQ(sheet->GetPageCount(), 1);
    if (live) {
      EXPECT_EQ(sheet->GetActivePage(), sheet->first.get());
    }
    sheet.reset();
  }
  RecordingPage outliving(303, "C", events);
  {
    CPropertySheet brief("Brief");
    brief.AddPage(&outliving);
    EXPECT_EQ(outliving.sheet(), &brief);
  }
  EXPECT_EQ(outliving.sheet(), nullptr);
}

}  // namespace

namespace {

// Pages made from a copy of the template bytes, as the guide's wizards do.
TEST(IndirectPages, APageFromACopiedTemplateRunsLikeAResourcePage) {
  mfctest::ResourceScope resources(kPages);
  HRSRC found = FindResource(resources.handle(), MAKEINTRESOURCE(302), RT_DIALOG);
  ASSERT_NE(found, nullptr);
  DWORD size = SizeofResource(resources.handle(), found);
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  std::memcpy(GlobalLock(copy), LockResource(LoadResource(resources.handle(), found)), size);

  Events events;
  RecordingPage page(0, "I", events);
  page.m_psp.dwFlags |= PSP_DLGINDIRECT;
  page.m_psp.pResource = GlobalLock(copy);
  CPropertySheet sheet("Sheet");
  sheet.AddPage(&page);
  mfctest::StepDriver driver;
  driver.add([](CWnd& w) {
    EXPECT_EQ(mfc::userSetText(w.m_hWnd, 1001, "from a copy"), "");
    EXPECT_EQ(static_cast<CTabCtrl*>(w.GetDlgItem(AFX_IDC_TAB_CONTROL))->GetItemCount(), 1);
  });
  driver.click(IDOK);
  mfc::ScopedUserDriver installed(&driver);
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(page.caption(), "Beta");
  EXPECT_EQ(events, (Events{"init I", "set I", "kill I", "apply I ok", "destroy I"}));

  GlobalUnlock(copy);
  GlobalUnlock(copy);
  EXPECT_EQ(GlobalFlags(copy), 0u);
  EXPECT_EQ(GlobalFree(copy), nullptr);
  EXPECT_EQ(GlobalFlags(copy), UINT{GMEM_INVALID_HANDLE});
  EXPECT_EQ(FindResource(resources.handle(), MAKEINTRESOURCE(777), RT_DIALOG), nullptr);
}

TEST(IndirectPages, DamagedTemplateBytesAreRefusedWithAWarning) {
  mfctest::ResourceScope resources(kPages);
  CDialog dialog;
  EXPECT_FALSE(dialog.InitModalIndirect("DIALOG 5 \"Broken"));
  EXPECT_EQ(mfc::logLines().back().rfind("warning: bad dialog template in memory: ", 0), 0u);
  EXPECT_EQ(dialog.DoModal(), -1);
}

// Stacked tabs wrap into rows as the tab strip needs them: the row count grows with the tabs,
// and a strip without TCS_MULTILINE is one row however many tabs it holds.
TEST(SheetTabs, StackedTabsWrapIntoMoreRowsAsTabsAreAdded) {
  mfctest::ResourceScope resources(kPages);
  Events events;
  RecordingPage page(301, "A", events);
  CPropertySheet sheet("Sheet");
  sheet.AddPage(&page);
  std::vector<int> rows;
  DWORD style = 0;
  int singleRow = 0;
  mfctest::StepDriver driver;
  driver.add([&](CWnd&) {
    CTabCtrl* tabs = sheet.GetTabControl();
    style = static_cast<DWORD>(tabs->GetStyle());
    RECT client{};
    tabs->GetWindowRect(&client);
    const int usable = client.right - client.left - 4;
    // Tabs of 60 pixels ("Tab-Tab-" is 8 characters of 6 pixels, plus 12): usable / 60 a row.
    const int perRow = usable / 60;
    ASSERT_GT(perRow, 1);
    tabs->DeleteAllItems();
    for (int count = 1; count <= 3 * perRow + 1; ++count) {
      tabs->InsertItem(count - 1, "Tab-Tab-");
      rows.push_back(static_cast<int>(tabs->SendMessage(TCM_GETROWCOUNT, 0, 0)));
      EXPECT_EQ(rows.back(), (count + perRow - 1) / perRow) << count << " tabs";
    }
    tabs->ModifyStyle(TCS_MULTILINE, 0);
    singleRow = tabs->GetRowCount();
    sheet.EndDialog(IDCANCEL);
  });
  mfc::ScopedUserDriver installed(&driver);
  sheet.DoModal();
  EXPECT_TRUE(style & TCS_MULTILINE);  // a sheet stacks its tabs until told otherwise
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.front(), 1);
  EXPECT_EQ(rows.back(), 4);
  EXPECT_EQ(singleRow, 1);
}

// A tooltip control keeps the mouse messages relayed to it, and finds the innermost window
// under a screen point among its owner's descendants.
TEST(SheetTabs, TooltipRecordsRelayedMessagesAndFindsTheInnermostWindow) {
  mfctest::ResourceScope resources(kPages);
  Events events;
  RecordingPage page(301, "A", events);
  CPropertySheet sheet("Sheet");
  sheet.AddPage(&page);
  HWND found = nullptr;
  HWND edit = nullptr;
  std::vector<MSG> relayed;
  mfctest::StepDriver driver;
  driver.add([&](CWnd&) {
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&sheet));
    CWnd* control = page.GetDlgItem(1001);
    edit = control->m_hWnd;
    RECT rect{};
    control->GetWindowRect(&rect);
    POINT inside{rect.left + 2, rect.top + 2};
    found = reinterpret_cast<HWND>(tip.SendMessage(TTM_WINDOWFROMPOINT, 0, reinterpret_cast<LPARAM>(&inside)));
    MSG move;
    move.hwnd = edit;
    move.message = WM_MOUSEMOVE;
    move.lParam = MAKELPARAM(2, 3);
    tip.RelayEvent(&move);
    relayed = tip.relayedEvents();
    tip.DestroyWindow();
    sheet.EndDialog(IDCANCEL);
  });
  mfc::ScopedUserDriver installed(&driver);
  sheet.DoModal();
  EXPECT_EQ(found, edit);
  ASSERT_EQ(relayed.size(), 1u);
  EXPECT_EQ(relayed[0].hwnd, edit);
  EXPECT_EQ(relayed[0].message, static_cast<UINT>(WM_MOUSEMOVE));
  EXPECT_EQ(relayed[0].lParam, MAKELPARAM(2, 3));
}

}  // namespace
