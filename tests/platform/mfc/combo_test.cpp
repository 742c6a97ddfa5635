// Combo boxes: sorted insertion, case-insensitive prefix search with wrap-around, and the order
// of notifications when a person picks an entry (the selection changes before the edit text).
#include <gtest/gtest.h>

#include "mfc_fixture.h"

namespace {

const char* const kCombos = R"(
DIALOG 220 "Combos" SIZE 160 80
  COMBOBOX 1001 "" 5 5 80 60 CBS_DROPDOWN|CBS_SORT
  COMBOBOX 1002 "" 5 25 80 60 CBS_DROPDOWNLIST
  EDITTEXT 1003 "" 90 5 60 12
END
)";

struct SearchCase {
  const char* name;
  int start;
  const char* text;
  int find;       // FindString
  int findExact;  // FindStringExact
  friend void PrintTo(const SearchCase& c, std::ostream* os) { *os << c.name; }
};

class ComboSearch : public ::testing::TestWithParam<SearchCase> {};

TEST_P(ComboSearch, MatchesPrefixesIgnoringCase) {
  const SearchCase& c = GetParam();
  mfctest::ResourceScope resources(kCombos);
  CDialog dialog(220);
  ASSERT_TRUE(dialog.Create(220));
  CComboBox* combo = static_cast<CComboBox*>(dialog.GetDlgItem(1001));
  for (const char* m : {"steel", "Aluminium", "Stainless Steel", "aluminium 6061", "Copper"}) combo->AddString(m);
  EXPECT_EQ(combo->FindString(c.start, c.text), c.find);
  EXPECT_EQ(combo->FindStringExact(c.start, c.text), c.findExact);
  int before = combo->GetCurSel();
  int selected = combo->SelectString(c.start, c.text);
  EXPECT_EQ(selected, c.find);
  EXPECT_EQ(combo->GetCurSel(), c.find == CB_ERR ? before : c.find);
  dialog.DestroyWindow();
}

// Sorted order: Aluminium, aluminium 6061, Copper, Stainless Steel, steel.
const SearchCase kSearches[] = {
    {"PrefixFromTheTop", -1, "alu", 0, CB_ERR},  {"PrefixIgnoresCase", -1, "STAIN", 3, CB_ERR},
    {"ExactIgnoresCase", -1, "STEEL", 4, 4},     {"SearchStartsAfterStart", 0, "alu", 1, CB_ERR},
    {"SearchWrapsAround", 1, "alu", 0, CB_ERR},  {"EmptyTextMatchesTheFirstEntryAfterStart", 2, "", 3, CB_ERR},
    {"NoMatch", -1, "titanium", CB_ERR, CB_ERR}, {"PrefixMustStartTheEntry", -1, "Steel", 4, 4},
};

INSTANTIATE_TEST_SUITE_P(Cases, ComboSearch, ::testing::ValuesIn(kSearches),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ComboBox, SortedInsertionAndIndexBookkeeping) {
  mfctest::ResourceScope resources(kCombos);
  CDialog dialog(220);
  ASSERT_TRUE(dialog.Create(220));
  CComboBox* sorted = static_cast<CComboBox*>(dialog.GetDlgItem(1001));
  EXPECT_EQ(sorted->AddString("b"), 0);
  EXPECT_EQ(sorted->AddString("C"), 1);
  EXPECT_EQ(sorted->AddString("a"), 0);
  EXPECT_EQ(sorted->SetCurSel(2), 2);
  EXPECT_EQ(mfctest::controlText(dialog, 1001), "C");
  EXPECT_EQ(sorted->InsertString(0, "z"), 0) << "InsertString does not sort";
  EXPECT_EQ(sorted->GetCurSel(), 3);
  EXPECT_EQ(sorted->DeleteString(3), 3);
  EXPECT_EQ(sorted->GetCurSel(), CB_ERR);
  EXPECT_EQ(sorted->SetCurSel(7), CB_ERR);
  CString text;
  EXPECT_EQ(sorted->GetLBText(9, text), CB_ERR);
  sorted->ResetContent();
  EXPECT_EQ(sorted->GetCount(), 0);
  EXPECT_EQ(mfctest::controlText(dialog, 1001), "");
  dialog.DestroyWindow();
}

// Records what the dialog sees in each notification.
class WatchingDialog : public CDialog {
 public:
  WatchingDialog() : CDialog(220) {}
  std::vector<std::string> seen;

 protected:
  void record(const char* what, int id) {
    CComboBox* combo = static_cast<CComboBox*>(GetDlgItem(id));
    CString text;
    combo->GetWindowText(text);
    seen.push_back(std::string(what) + " sel=" + std::to_string(combo->GetCurSel()) + " text=" + text.str());
  }
  void OnSelChange() { record("selchange", 1002); }
  void OnSelEndOk() { record("selendok", 1002); }
  void OnEditChange() { record("editchange", 1001); }
  void OnKillFocus() { record("killfocus", 1001); }
  void OnEditKillFocus() { seen.push_back("edit killfocus"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(WatchingDialog, CDialog)
ON_CBN_SELCHANGE(1002, OnSelChange)
ON_CBN_SELENDOK(1002, OnSelEndOk)
ON_CBN_EDITCHANGE(1001, OnEditChange)
ON_CBN_KILLFOCUS(1001, OnKillFocus)
ON_EN_KILLFOCUS(1003, OnEditKillFocus)
END_MESSAGE_MAP()

TEST(ComboBox, PickingAnEntryNotifiesBeforeTheTextChanges) {
  mfctest::ResourceScope resources(kCombos);
  WatchingDialog dialog;
  ASSERT_TRUE(dialog.Create(220));
  dialog.ShowWindow(SW_SHOW);
  CComboBox* list = static_cast<CComboBox*>(dialog.GetDlgItem(1002));
  for (const char* u : {"meter", "millimeter", "inch"}) list->AddString(u);
  list->SetCurSel(0);
  dialog.GetDlgItem(1003)->SetFocus();
  dialog.seen.clear();  // the dialog put the focus in its first control when it was made

  EXPECT_EQ(mfc::userSetText(dialog.m_hWnd, 1001, "Ste"), "");
  EXPECT_EQ(mfc::userSelect(dialog.m_hWnd, 1002, "INCH"), "");
  EXPECT_EQ(mfc::userSelect(dialog.m_hWnd, 1002, "milli"), "");

  std::vector<std::string> expected{
      "edit killfocus",
      "editchange sel=-1 text=Ste",
      "killfocus sel=-1 text=Ste",
      "selchange sel=2 text=meter",
      "selendok sel=2 text=inch",
      "selchange sel=1 text=inch",
      "selendok sel=1 text=millimeter",
  };
  EXPECT_EQ(dialog.seen, expected);
  EXPECT_NE(mfc::userSelect(dialog.m_hWnd, 1002, "furlong"), "");
  EXPECT_NE(mfc::userSetText(dialog.m_hWnd, 1002, "typed"), "") << "a drop list has no edit part";
  EXPECT_EQ(mfctest::controlText(dialog, 1002), "millimeter");
  dialog.DestroyWindow();
}

TEST(ComboBox, LimitTextCutsTypedText) {
  mfctest::ResourceScope resources(kCombos);
  CDialog dialog(220);
  ASSERT_TRUE(dialog.Create(220));
  dialog.ShowWindow(SW_SHOW);
  static_cast<CComboBox*>(dialog.GetDlgItem(1001))->LimitText(4);
  EXPECT_EQ(mfc::userSetText(dialog.m_hWnd, 1001, "Aluminium"), "");
  EXPECT_EQ(mfctest::controlText(dialog, 1001), "Alum");
  dialog.DestroyWindow();
}

}  // namespace
