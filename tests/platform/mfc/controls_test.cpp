// Controls beyond combos: check lists, sliders, up-down controls, list and tree controls, image
// lists, menus and popup menus, and the text rendering of a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mfc_fixture.h"

namespace {

const char* const kControls = R"(
DIALOG 240 "Controls" SIZE 200 160 MENU 304
  CHECKLISTBOX 1001 "" 5 5 80 40
  SLIDER 1002 "" 5 50 80 12
  SPIN 1003 "" 90 50 10 12
  LISTVIEW 1004 "" 5 65 120 50 LVS_REPORT|LVS_SINGLESEL
  TREEVIEW 1005 "" 130 5 60 100
  CHECKBOX 1006 "Grid" 5 120 40 10
  PUSHBUTTON 1007 "Apply" 50 120 40 14 WS_DISABLED
END
MENU 304
  POPUP "&File"
    MENUITEM 40060 "&Print..."
    SEPARATOR
    MENUITEM 40062 "&Grid" CHECKED
  END
  MENUITEM 40111 "&Help" GRAYED
END
ICON 152 SIZE 16 16
ICON 290 SIZE 16 16
BITMAP 235 SIZE 48 16 BITS 8
)";

class ControlsDialog : public CDialog {
 public:
  ControlsDialog() : CDialog(240) {}
  std::vector<std::string> seen;

 protected:
  void OnCheckChange() { seen.push_back("chkchange"); }
  void OnListSelChange() { seen.push_back("lbn selchange"); }
  void OnHScroll(UINT code, UINT pos, CScrollBar*) {
    seen.push_back("hscroll " + std::to_string(code) + " " + std::to_string(pos));
  }
  void OnDeltaPos(NMHDR* header, LRESULT* result) {
    auto* info = reinterpret_cast<NMUPDOWN*>(header);
    seen.push_back("deltapos " + std::to_string(info->iDelta));
    *result = 0;
  }
  void OnTreeSelChanged(NMHDR* header, LRESULT*) {
    auto* info = reinterpret_cast<NMTREEVIEW*>(header);
    auto* tree = static_cast<CTreeCtrl*>(GetDlgItem(1005));
    seen.push_back("tree selchanged " + tree->GetItemText(info->itemNew.hItem).str());
  }
  void OnListClick(NMHDR*, LRESULT*) { seen.push_back("list click"); }
  void OnPrint() { seen.push_back("print"); }
  void OnBeginLabelEdit(NMHDR*, LRESULT* result) {
    auto* tree = static_cast<CTreeCtrl*>(GetDlgItem(1005));
    ASSERT_NE(tree->GetEditControl(), nullptr);
    tree->GetEditControl()->LimitText(8);
    seen.push_back("begin edit");
    *result = 0;
  }
  void OnEndLabelEdit(NMHDR* header, LRESULT* result) {
    auto* info = reinterpret_cast<NMTVDISPINFO*>(header);
    seen.push_back(info->item.pszText ? "end edit " + std::string(info->item.pszText) : "end edit cancelled");
    *result = info->item.pszText && std::string(info->item.pszText) != "Refused";
  }
  void OnListKey(NMHDR* header, LRESULT*) {
    seen.push_back("list key " + std::to_string(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey));
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ControlsDialog, CDialog)
ON_CLBN_CHKCHANGE(1001, OnCheckChange)
ON_LBN_SELCHANGE(1001, OnListSelChange)
ON_WM_HSCROLL()
ON_NOTIFY(UDN_DELTAPOS, 1003, OnDeltaPos)
ON_NOTIFY(TVN_SELCHANGED, 1005, OnTreeSelChanged)
ON_NOTIFY(NM_CLICK, 1004, OnListClick)
ON_COMMAND(40060, OnPrint)
ON_NOTIFY(TVN_BEGINLABELEDIT, 1005, OnBeginLabelEdit)
ON_NOTIFY(TVN_ENDLABELEDIT, 1005, OnEndLabelEdit)
ON_NOTIFY(LVN_KEYDOWN, 1004, OnListKey)
END_MESSAGE_MAP()

class ControlsTest : public ::testing::Test {
 protected:
  ControlsTest() : resources(kControls) {}
  void SetUp() override {
    ASSERT_TRUE(dialog.Create(240));
    dialog.ShowWindow(SW_SHOW);
  }
  void TearDown() override { dialog.DestroyWindow(); }
  mfctest::ResourceScope resources;
  ControlsDialog dialog;
};

TEST_F(ControlsTest, CheckListTickingNotifiesAndDisabledLinesRefuse) {
  CCheckListBox checks;
  ASSERT_TRUE(checks.SubclassDlgItem(1001, &dialog));
  checks.AddString("Stress");
  checks.AddString("Displacement");
  checks.Enable(1, FALSE);
  EXPECT_EQ(mfc::userCheckEntry(dialog.m_hWnd, 1001, "stress", true), "");
  EXPECT_EQ(checks.GetCheck(0), 1);
  EXPECT_NE(mfc::userCheckEntry(dialog.m_hWnd, 1001, "Displacement", true), "");
  EXPECT_EQ(checks.GetCheck(1), 0);
  EXPECT_EQ(dialog.seen, (std::vector<std::string>{"lbn selchange", "chkchange"}));
  checks.UnsubclassWindow();
}

TEST_F(ControlsTest, SliderClampsAndReportsScrolls) {
  auto* slider = static_cast<CSliderCtrl*>(dialog.GetDlgItem(1002));
  slider->SetRange(1, 5);
  slider->SetPos(9);
  EXPECT_EQ(slider->GetPos(), 5);
  EXPECT_EQ(mfc::userSetText(dialog.m_hWnd, 1002, "3"), "");
  EXPECT_EQ(slider->GetPos(), 3);
  EXPECT_EQ(dialog.seen, (std::vector<std::string>{"hscroll 4 3", "hscroll 8 0"}));
  EXPECT_NE(mfc::userSetText(dialog.m_hWnd, 1002, "three"), "");
}

TEST_F(ControlsTest, SpinUpArrowDeltaFollowsTheRangeDirection) {
  auto* spin = static_cast<CSpinButtonCtrl*>(dialog.GetDlgItem(1003));
  int low = 0, high = 0;
  spin->GetRange(low, high);
  EXPECT_EQ(low, 100);
  EXPECT_EQ(high, 0);
  spin->SetPos(50);
  EXPECT_EQ(mfc::userSpin(dialog.m_hWnd, 1003, true), "");
  EXPECT_EQ(spin->GetPos(), 49);
  spin->SetRange(1, 300);
  EXPECT_EQ(mfc::userSpin(dialog.m_hWnd, 1003, true), "");
  EXPECT_EQ(spin->GetPos(), 50);
  EXPECT_EQ(dialog.seen, (std::vector<std::string>{"deltapos -1", "deltapos 1"}));
}

TEST_F(ControlsTest, ListControlRowsStatesAndSelection) {
  auto* list = static_cast<CListCtrl*>(dialog.GetDlgItem(1004));
  list->InsertColumn(0, "Name", LVCFMT_LEFT, 60);
  list->InsertColumn(1, "Value");
  EXPECT_EQ(list->GetColumnWidth(1), 42) << "6 pixels a character plus margins";
  for (const char* row : {"Mass", "Volume", "Area"}) list->InsertItem(list->GetItemCount(), row);
  list->SetItemText(1, 1, "2.5");
  EXPECT_EQ(list->GetItemText(1, 1), "2.5");
  EXPECT_EQ(list->GetNextItem(-1, LVNI_SELECTED), -1);
  EXPECT_EQ(mfc::userSelect(dialog.m_hWnd, 1004, "Area"), "");
  EXPECT_EQ(list->GetNextItem(-1, LVNI_SELECTED), 2);
  EXPECT_EQ(list->GetNextItem(-1, LVNI_FOCUSED), 2);
  list->SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(list->GetNextItem(-1, LVNI_SELECTED), 0) << "single selection moves";
  EXPECT_EQ(list->GetNextItem(0, LVNI_SELECTED), -1);
  EXPECT_EQ(list->GetStringWidth("abc"), 18);
  EXPECT_EQ(dialog.seen, (std::vector<std::string>{"list click"}));
}

TEST_F(ControlsTest, TreeNavigationSelectionAndHitTest) {
  auto* tree = static_cast<CTreeCtrl*>(dialog.GetDlgItem(1005));
  HTREEITEM model = tree->InsertItem("Model", 0, 0);
  HTREEITEM loads = tree->InsertItem("Loads", 1, 1, model);
  HTREEITEM mesh = tree->InsertItem("Mesh", 2, 2, model, TVI_FIRST);
  HTREEITEM force = tree->InsertItem("Force 1", 3, 3, loads);
  EXPECT_EQ(tree->GetChildItem(model), mesh);
  EXPECT_EQ(tree->GetNextSiblingItem(mesh), loads);
  EXPECT_EQ(tree->GetPrevSiblingItem(loads), mesh);
  EXPECT_EQ(tree->GetParentItem(force), loads);
  EXPECT_EQ(tree->GetCount(), 4u);

  UINT flags = 0;
  EXPECT_EQ(tree->HitTest(CPoint(40, 20), &flags), nullptr) << "collapsed: only the root row is shown";
  tree->Expand(model, TVE_EXPAND);
  EXPECT_EQ(tree->HitTest(CPoint(40, 20), &flags), mesh);
  EXPECT_EQ(flags, UINT{TVHT_ONITEMICON});
  EXPECT_EQ(tree->HitTest(CPoint(60, 36), &flags), loads);
  EXPECT_EQ(flags, UINT{TVHT_ONITEMLABEL});

  EXPECT_EQ(mfc::userSelect(dialog.m_hWnd, 1005, "Model/Loads/Force 1"), "");
  EXPECT_EQ(tree->GetSelectedItem(), force);
  EXPECT_TRUE(tree->DeleteItem(loads));
  EXPECT_EQ(tree->GetSelectedItem(), nullptr);
  EXPECT_FALSE(tree->contains(force));
  EXPECT_EQ(tree->GetCount(), 2u);
  EXPECT_EQ(dialog.seen, (std::vector<std::string>{"tree selchanged Force 1"}));
}

// A tree as large as a drawing's Explorer, with items deleted here and there: every item left is
// still found by its handle (its parent answers, its children are reached), none deleted is, and
// the tree is emptied and filled again.
TEST_F(ControlsTest, ManyItemsStayFoundByHandleAfterDeletionsAndARefill) {
  auto* tree = static_cast<CTreeCtrl*>(dialog.GetDlgItem(1005));
  for (int fill = 0; fill < 2; ++fill) {
    std::vector<HTREEITEM> sets, members;
    for (int set = 0; set < 2000; ++set) {
      sets.push_back(tree->InsertItem(("Set " + std::to_string(set)).c_str(), 0, 0));
      for (int member = 0; member < 3; ++member) members.push_back(tree->InsertItem("Member", 1, 1, sets.back()));
    }
    std::vector<bool> setGone(sets.size(), false), memberGone(members.size(), false);
    for (std::size_t set = 0; set < sets.size(); set += 3) {
      ASSERT_TRUE(tree->DeleteItem(sets[set]));
      setGone[set] = true;
      for (int member = 0; member < 3; ++member) memberGone[set * 3 + static_cast<std::size_t>(member)] = true;
    }
    for (std::size_t member = 1; member < members.size(); member += 7) {
      if (memberGone[member]) continue;
      ASSERT_TRUE(tree->DeleteItem(members[member]));
      memberGone[member] = true;
    }
    UINT left = 0;
    for (std::size_t set = 0; set < sets.size(); ++set) {
      EXPECT_EQ(tree->contains(sets[set]), !setGone[set]) << "set " << set;
      left += setGone[set] ? 0 : 1;
    }
    for (std::size_t member = 0; member < members.size(); ++member) {
      EXPECT_EQ(tree->contains(members[member]), !memberGone[member]) << "member " << member;
      if (memberGone[member]) continue;
      ++left;
      EXPECT_EQ(tree->GetParentItem(members[member]), sets[member / 3]) << "member " << member;
    }
    EXPECT_EQ(tree->GetCount(), left);
    EXPECT_EQ(tree->GetRootItem(), sets[1]) << "set 0 went";
    EXPECT_EQ(tree->GetNextSiblingItem(sets[2]), sets[4]) << "set 3 went";
    EXPECT_EQ(tree->GetChildItem(sets[1]), members[3]);
    ASSERT_TRUE(tree->DeleteAllItems());
    EXPECT_EQ(tree->GetCount(), 0u);
    EXPECT_FALSE(tree->contains(sets[1]));
  }
}

TEST_F(ControlsTest, TreeItemsAreFoundThroughLabelsWithSlashesTrailingBlanksAndCase) {
  auto* tree = static_cast<CTreeCtrl*>(dialog.GetDlgItem(1005));
  HTREEITEM modes = tree->InsertItem("Modes", 0, 0);
  HTREEITEM line = tree->InsertItem("1.000e+02 rad/sec ", 1, 1, modes);
  HTREEITEM upper = tree->InsertItem("Part", 0, 0);
  HTREEITEM lower = tree->InsertItem("part", 0, 0);
  struct PathCase {
    const char* path;
    HTREEITEM expected;
  } cases[] = {
      {"Modes/1.000e+02 rad/sec", line},  // a step takes a whole label holding "/"
      {"1.000e+02 rad/sec", line},        // the label alone, trailing blank left out
      {"part", lower},                    // the exact case first
      {"Part", upper},
      {"PART", upper},  // then any case
  };
  for (const PathCase& c : cases) {
    EXPECT_EQ(mfc::userSelect(dialog.m_hWnd, 1005, c.path), "") << c.path;
    EXPECT_EQ(tree->GetSelectedItem(), c.expected) << c.path;
  }
  EXPECT_NE(mfc::userSelect(dialog.m_hWnd, 1005, "Modes/2.000e+02 rad/sec"), "");
}

TEST_F(ControlsTest, TreeLabelEditingAcceptsLimitsAndCancels) {
  auto* tree = static_cast<CTreeCtrl*>(dialog.GetDlgItem(1005));
  HTREEITEM item = tree->InsertItem("Load 1");
  EXPECT_EQ(mfc::userEditTreeLabel(dialog.m_hWnd, 1005, "Load 1", std::string("Pressure on top")), "");
  EXPECT_EQ(tree->GetItemText(item), "Pressure") << "the parent limited the editor to 8 characters";
  EXPECT_EQ(mfc::userEditTreeLabel(dialog.m_hWnd, 1005, "Pressure", std::nullopt), "");
  EXPECT_EQ(mfc::userEditTreeLabel(dialog.m_hWnd, 1005, "Pressure", std::string("Refused")), "");
  EXPECT_EQ(tree->GetItemText(item), "Pressure");
  EXPECT_EQ(tree->GetEditControl(), nullptr) << "the editor goes when the edit ends";
  EXPECT_EQ(dialog.seen, (std::vector<std::string>{"begin edit", "end edit Pressure", "begin edit",
                                                   "end edit cancelled", "begin edit", "end edit Refused"}));
}

TEST_F(ControlsTest, KeysOnAListControlNotifyItsParent) {
  EXPECT_EQ(mfc::userKey(dialog.m_hWnd, 1004, VK_NEXT), "");
  EXPECT_EQ(mfc::userKey(dialog.m_hWnd, 1004, VK_DELETE), "");
  EXPECT_EQ(dialog.seen, (std::vector<std::string>{"list key 34", "list key 46"}));
}

TEST_F(ControlsTest, ImageListIndicesFollowTheOrderImagesAreAdded) {
  CImageList images;
  ASSERT_TRUE(images.Create(16, 16, ILC_MASK, 4, 4));
  HICON app = LoadIcon(nullptr, 290);
  HICON other = LoadIcon(nullptr, 152);
  CBitmap strip;
  ASSERT_TRUE(strip.LoadBitmap(235));
  EXPECT_EQ(images.Add(app), 0);
  EXPECT_EQ(images.Add(&strip, RGB(192, 192, 192)), 1);
  EXPECT_EQ(images.Add(other), 4);
  EXPECT_EQ(images.GetImageCount(), 5);
  EXPECT_EQ(images.imageName(3), "bitmap 235/2");
  EXPECT_EQ(images.imageName(4), "icon 152");
  EXPECT_EQ(LoadIcon(nullptr, 999), nullptr);
  DestroyIcon(app);
  DestroyIcon(other);
}

TEST_F(ControlsTest, DialogMenuAndPopupMenuCommands) {
  CMenu* menu = dialog.GetMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->GetMenuItemCount(), 2);
  EXPECT_EQ(menu->GetMenuItemID(0), static_cast<UINT>(-1));
  EXPECT_EQ(menu->GetMenuState(40062, MF_BYCOMMAND) & MF_CHECKED, UINT{MF_CHECKED});
  EXPECT_EQ(menu->GetSubMenu(0)->GetMenuState(1, MF_BYPOSITION) & MF_SEPARATOR, UINT{MF_SEPARATOR});
  EXPECT_EQ(mfc::userMenu(dialog.m_hWnd, "Print..."), "");
  EXPECT_NE(mfc::userMenu(dialog.m_hWnd, "Help"), "") << "a greyed item cannot be picked";
  menu->EnableMenuItem(40111, MF_ENABLED);
  EXPECT_EQ(menu->GetMenuState(40111, MF_BYCOMMAND) & MF_GRAYED, 0u);

  mfctest::StepDriver driver;
  driver.menuChoice(40060);
  driver.menuChoice(40062);
  mfc::ScopedUserDriver installed(&driver);
  EXPECT_TRUE(menu->GetSubMenu(0)->TrackPopupMenu(TPM_RIGHTBUTTON, 0, 0, &dialog));
  mfc::pumpMessages();
  EXPECT_EQ(menu->GetSubMenu(0)->TrackPopupMenu(TPM_RETURNCMD, 0, 0, &dialog), 40062);
  EXPECT_EQ(dialog.seen, (std::vector<std::string>{"print", "print"}));
}

TEST_F(ControlsTest, RenderShowsKindsIdsValuesAndStates) {
  static_cast<CButton*>(dialog.GetDlgItem(1006))->SetCheck(BST_CHECKED);
  auto* spin = static_cast<CSpinButtonCtrl*>(dialog.GetDlgItem(1003));
  spin->SetPos(7);
  std::string text = mfc::renderWindow(dialog.m_hWnd);
  EXPECT_EQ(text.substr(0, text.find('\n')), "dialog 240 \"Controls\"");
  EXPECT_NE(text.find("\n  check 1006 \"Grid\" checked\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n  button 1007 \"Apply\" disabled\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n  spin 1003 \"\" pos 7 range 100..0\n"), std::string::npos) << text;
}

}  // namespace

namespace {

TEST(TabImages, TheSheetsTabListIsTakenOverByHandle) {
  mfctest::ResourceScope resources(
      "DIALOG 250 \"Tabs\" SIZE 100 60\n  TAB 1001 \"\" 0 0 100 60\nEND\nICON 290 SIZE 16 16\n");
  CDialog dialog(250);
  ASSERT_TRUE(dialog.Create(250));
  CTabCtrl* tab = static_cast<CTabCtrl*>(dialog.GetDlgItem(1001));
  tab->InsertItem(0, "Mesh");
  tab->InsertItem(1, "Loads");
  CImageList icons;
  icons.Create(16, 16, ILC_MASK, 1, 1);
  HICON icon = LoadIcon(nullptr, 290);
  icons.Add(icon);
  tab->SendMessage(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(icons.m_hImageList));
  TCITEM item;
  item.mask = TCIF_IMAGE;
  item.iImage = 0;
  EXPECT_TRUE(tab->SendMessage(TCM_SETITEM, 1, reinterpret_cast<LPARAM>(&item)));
  item.iImage = 99;
  EXPECT_TRUE(tab->GetItem(1, &item));
  EXPECT_EQ(item.iImage, 0);
  EXPECT_EQ(tab->SendMessage(TCM_GETITEMCOUNT), 2);

  // Another object takes over the handle the tab holds; the tab still reaches the same list.
  CImageList taken;
  HIMAGELIST handle = reinterpret_cast<HIMAGELIST>(tab->SendMessage(TCM_GETIMAGELIST));
  ASSERT_TRUE(taken.Attach(icons.Detach()));
  EXPECT_EQ(handle, taken.m_hImageList);
  EXPECT_EQ(tab->GetImageList(), &taken);
  EXPECT_EQ(tab->GetImageList()->GetImageCount(), 1);
  RECT rect{2, 3, 10, 20};
  dialog.MapDialogRect(&rect);
  EXPECT_EQ(rect.left, 3);
  EXPECT_EQ(rect.bottom, 30);
  DestroyIcon(icon);
  dialog.DestroyWindow();
}

}  // namespace

namespace {

// A tree that moves items by drag and drop, as the add-in's browser tree does.
class DragTree : public CTreeCtrl {
 public:
  std::vector<std::string> seen;
  HTREEITEM dragged = nullptr;

 protected:
  void OnBeginDrag(NMHDR* header, LRESULT*) {
    auto* info = reinterpret_cast<NMTREEVIEW*>(header);
    dragged = info->itemNew.hItem;
    seen.push_back("begin " + GetItemText(dragged).str());
    SetCapture(m_hWnd);
  }
  void OnMouseMove(UINT, CPoint point) {
    if (!dragged) return;
    UINT flags = 0;
    HTREEITEM over = HitTest(point, &flags);
    SelectDropTarget(over);
    seen.push_back("over " + GetItemText(over).str());
  }
  void OnLButtonUp(UINT, CPoint) {
    if (!dragged) return;
    ReleaseCapture();
    HTREEITEM target = GetDropHilightItem();
    InsertItem(GetItemText(dragged), target);
    DeleteItem(dragged);
    dragged = nullptr;
    SelectDropTarget(nullptr);
    seen.push_back("drop");
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DragTree, CTreeCtrl)
ON_NOTIFY_REFLECT(TVN_BEGINDRAG, OnBeginDrag)
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

TEST(TreeDrag, BeginDragIsReflectedAndTheDropLandsOnTheTarget) {
  mfctest::ResourceScope resources(
      "DIALOG 260 \"Browser\" SIZE 120 120 STYLE WS_VISIBLE\n  TREEVIEW 1176 \"\" 0 0 120 120\nEND\n");
  CDialog dialog(260);
  ASSERT_TRUE(dialog.Create(260));
  DragTree tree;
  ASSERT_TRUE(tree.SubclassDlgItem(1176, &dialog));
  HTREEITEM loads = tree.InsertItem("Loads");
  tree.InsertItem("Force 1", loads);
  tree.InsertItem("Restraints");
  EXPECT_EQ(mfc::userDragTreeItem(dialog.m_hWnd, 1176, "Loads/Force 1", "Restraints"), "");
  EXPECT_EQ(tree.seen, (std::vector<std::string>{"begin Force 1", "over Restraints", "drop"}));
  HTREEITEM restraints = tree.GetNextSiblingItem(loads);
  EXPECT_EQ(tree.GetItemText(tree.GetChildItem(restraints)), "Force 1");
  EXPECT_FALSE(tree.ItemHasChildren(loads));
  EXPECT_EQ(GetCapture(), nullptr);
  tree.UnsubclassWindow();
  dialog.DestroyWindow();
}

}  // namespace
