#include "mfc/user_actions.h"

#include <strings.h>

#include "mfc/controls.h"
#include "mfc/menu.h"
#include "mfc/propsheet.h"
#include "mfc/winapi.h"
#include "text_format.h"
#include "window_internal.h"

using namespace mfc::detail;

namespace mfc {
namespace {

std::string kindName(HWND h) {
  switch (h->kind) {
    case WindowKind::Static: return "static text";
    case WindowKind::Edit: return "edit box";
    case WindowKind::Button: return "button";
    case WindowKind::ComboBox: return "combo box";
    case WindowKind::ListBox: return "list box";
    case WindowKind::Progress: return "progress bar";
    case WindowKind::Slider: return "slider";
    case WindowKind::Spin: return "up-down control";
    case WindowKind::ListView: return "list control";
    case WindowKind::TreeView: return "tree control";
    case WindowKind::Tab: return "tab control";
    case WindowKind::Dialog: return "dialog";
    default: return "window";
  }
}

// The control, or why it cannot be acted on.
std::string reachable(HWND window, int id, HWND& control) {
  control = findControl(window, id);
  if (!control) return "the window has no control " + std::to_string(id);
  if (!IsWindowVisible(control)) return "control " + std::to_string(id) + " is hidden";
  if (!IsWindowEnabled(control)) return "control " + std::to_string(id) + " is disabled";
  return {};
}

bool equalNoCase(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

int findEntry(const std::vector<ListEntry>& items, const std::string& text) {
  for (size_t i = 0; i < items.size(); ++i)
    if (equalNoCase(items[i].text, text)) return static_cast<int>(i);
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].text.size() >= text.size() && strncasecmp(items[i].text.c_str(), text.c_str(), text.size()) == 0)
      return static_cast<int>(i);
  return -1;
}

// Labels compare without case and without trailing blanks (value lines end in one).
std::string rtrim(const std::string& text) {
  size_t end = text.find_last_not_of(" \t");
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

bool sameLabel(const TreeNode* node, const std::string& label, bool exactCase) {
  const std::string text = rtrim(node->text);
  return exactCase ? text == rtrim(label) : equalNoCase(text, rtrim(label));
}

// The first item, depth first, whose whole label is `label` (a label may hold "/").
TreeNode* findLabel(const std::vector<TreeNode*>& nodes, const std::string& label, bool exactCase) {
  for (TreeNode* node : nodes) {
    if (sameLabel(node, label, exactCase)) return node;
    if (TreeNode* deeper = findLabel(node->children, label, exactCase)) return deeper;
  }
  return nullptr;
}

// A path "A/B/C" whose first step is an item at any depth; each step takes a whole label that
// the rest of the path begins with, so labels holding "/" are reached too.
TreeNode* findPath(const std::vector<TreeNode*>& nodes, const std::string& path, bool exactCase, bool anyDepth) {
  for (TreeNode* node : nodes) {
    if (sameLabel(node, path, exactCase)) return node;
    const std::string label = rtrim(node->text);
    const std::string head = path.substr(0, label.size());
    if (path.size() > label.size() && path[label.size()] == '/' &&
        (exactCase ? head == label : equalNoCase(head, label)))
      if (TreeNode* found = findPath(node->children, path.substr(label.size() + 1), exactCase, false)) return found;
    if (anyDepth)
      if (TreeNode* deeper = findPath(node->children, path, exactCase, true)) return deeper;
  }
  return nullptr;
}

// Exact case first, so that items whose labels differ only in case are told apart.
TreeNode* findTreeItem(const std::vector<TreeNode*>& nodes, const std::string& path) {
  for (bool exactCase : {true, false}) {
    if (TreeNode* node = findLabel(nodes, path, exactCase)) return node;
    if (TreeNode* node = findPath(nodes, path, exactCase, true)) return node;
  }
  return nullptr;
}

bool isRadio(HWND h) {
  DWORD type = h->style & BS_TYPEMASK;
  return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

const CMenu::Item* findMenuText(const CMenu& menu, const std::string& text) {
  for (const CMenu::Item& item : menu.items()) {
    if (item.popup) {
      if (const CMenu::Item* inner = findMenuText(*item.popup, text)) return inner;
    } else if (!(item.flags & MF_SEPARATOR) && equalNoCase(menuTextPlain(item.text), text)) {
      return &item;
    }
  }
  return nullptr;
}

}  // namespace

std::string menuTextPlain(const std::string& text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') plain += text[++i];
      continue;
    }
    if (text[i] == '\t') break;  // accelerator text
    plain += text[i];
  }
  return plain;
}

HWND findControl(HWND window, int id) {
  if (!isLive(window)) return nullptr;
  if (HWND direct = ::GetDlgItem(window, id)) return direct;
  return findDescendant(window, id, true);
}

std::string userSetText(HWND window, int id, const std::string& text) {
  HWND control = nullptr;
  if (std::string why = reachable(window, id, control); !why.empty()) return why;
  switch (control->kind) {
    case WindowKind::Edit:
      if (control->readOnly) return "edit box " + std::to_string(id) + " is read-only";
      ::SetFocus(control);
      setText(control, text);
      notifyParent(control, EN_UPDATE);
      notifyParent(control, EN_CHANGE);
      return {};
    case WindowKind::ComboBox:
      if ((control->style & CBS_TYPEMASK) == CBS_DROPDOWNLIST)
        return "combo box " + std::to_string(id) + " is a drop-down list: select an entry";
      ::SetFocus(control);
      setText(control, text);
      notifyParent(control, CBN_EDITUPDATE);
      notifyParent(control, CBN_EDITCHANGE);
      return {};
    case WindowKind::Slider: {
      auto value = detail::parseLong(text);
      if (!value) return "a slider takes a whole number, not '" + text + "'";
      auto* slider = static_cast<CSliderCtrl*>(CWnd::FromHandle(control));
      slider->SetPos(static_cast<int>(*value));
      HWND parent = control->parent;
      LPARAM from = reinterpret_cast<LPARAM>(control);
      ::SendMessage(parent, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, static_cast<WORD>(slider->GetPos())), from);
      if (isLive(control)) ::SendMessage(parent, WM_HSCROLL, MAKEWPARAM(TB_ENDSCROLL, 0), from);
      return {};
    }
    default: return "control " + std::to_string(id) + " is a " + kindName(control) + ": text cannot be typed into it";
  }
}

std::string userSelect(HWND window, int id, const std::string& text) {
  HWND control = nullptr;
  if (std::string why = reachable(window, id, control); !why.empty()) return why;
  switch (control->kind) {
    case WindowKind::ComboBox: {
      int index = findEntry(control->items, text);
      if (index < 0) return "combo box " + std::to_string(id) + " has no entry '" + text + "'";
      ::SetFocus(control);
      control->curSel = index;
      notifyParent(control, CBN_SELCHANGE);
      if (!isLive(control)) return {};
      if (control->curSel >= 0 && control->curSel < static_cast<int>(control->items.size()))
        control->text = control->items[static_cast<size_t>(control->curSel)].text;
      notifyParent(control, CBN_SELENDOK);
      return {};
    }
    case WindowKind::ListBox: {
      int index = findEntry(control->items, text);
      if (index < 0) return "list box " + std::to_string(id) + " has no line '" + text + "'";
      ::SetFocus(control);
      static_cast<CListBox*>(CWnd::FromHandle(control))->SetCurSel(index);
      if (control->style & LBS_NOTIFY) notifyParent(control, LBN_SELCHANGE);
      return {};
    }
    case WindowKind::ListView: {
      int index = findEntry(control->items, text);
      if (index < 0) return "list control " + std::to_string(id) + " has no row '" + text + "'";
      ::SetFocus(control);
      auto* list = static_cast<CListCtrl*>(CWnd::FromHandle(control));
      list->SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
      list->SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      NMHDR changed;
      notifyParent(control, &changed, LVN_ITEMCHANGED);
      NMHDR click;
      if (isLive(control)) notifyParent(control, &click, NM_CLICK);
      return {};
    }
    case WindowKind::TreeView: {
      TreeNode* item = findTreeItem(control->treeRoots, text);
      if (!item) return "tree control " + std::to_string(id) + " has no item '" + text + "'";
      ::SetFocus(control);
      static_cast<CTreeCtrl*>(CWnd::FromHandle(control))->SelectItem(item);
      return {};
    }
    case WindowKind::Tab: {
      int index = -1;
      for (size_t i = 0; i < control->tabs.size(); ++i)
        if (equalNoCase(menuTextPlain(control->tabs[i].text), menuTextPlain(text))) index = static_cast<int>(i);
      if (index < 0) return "tab control " + std::to_string(id) + " has no tab '" + text + "'";
      if (auto* sheet = dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(control->parent))) {
        sheet->SetActivePage(index);
        return {};
      }
      NMHDR changing;
      if (notifyParent(control, &changing, TCN_SELCHANGING) != 0) return {};
      control->curSel = index;
      NMHDR change;
      notifyParent(control, &change, TCN_SELCHANGE);
      return {};
    }
    default: return "control " + std::to_string(id) + " is a " + kindName(control) + ": it has nothing to select";
  }
}

std::string userCheck(HWND window, int id, bool on) {
  HWND control = nullptr;
  if (std::string why = reachable(window, id, control); !why.empty()) return why;
  DWORD type = control->style & BS_TYPEMASK;
  bool checkable =
      control->kind == WindowKind::Button && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
                                              type == BS_AUTO3STATE || isRadio(control));
  if (!checkable) return "control " + std::to_string(id) + " is not a check box or radio button";
  if ((control->check == BST_CHECKED) == on) return {};
  if (isRadio(control) && !on) return "radio button " + std::to_string(id) + " is turned off by choosing another one";
  ::SetFocus(control);
  if (isLive(control)) ::SendMessage(control, BM_CLICK, 0, 0);
  return {};
}

std::string userCheckEntry(HWND window, int id, const std::string& entry, bool on) {
  HWND control = nullptr;
  if (std::string why = reachable(window, id, control); !why.empty()) return why;
  if (control->kind != WindowKind::ListBox || !(control->style & LBS_OWNERDRAWFIXED))
    return "control " + std::to_string(id) + " is not a check list";
  int index = findEntry(control->items, entry);
  if (index < 0) return "check list " + std::to_string(id) + " has no line '" + entry + "'";
  ListEntry& line = control->items[static_cast<size_t>(index)];
  if (!line.enabled) return "line '" + line.text + "' of check list " + std::to_string(id) + " is disabled";
  ::SetFocus(control);
  static_cast<CListBox*>(CWnd::FromHandle(control))->SetCurSel(index);
  notifyParent(control, LBN_SELCHANGE);
  if (!isLive(control) || index >= static_cast<int>(control->items.size())) return {};
  if ((control->items[static_cast<size_t>(index)].check != 0) != on) {
    control->items[static_cast<size_t>(index)].check = on ? 1 : 0;
    notifyParent(control, CLBN_CHKCHANGE);
  }
  return {};
}

std::string userClick(HWND window, int id) {
  if (!isLive(window)) return "no window is waiting";
  HWND control = findControl(window, id);
  if (!control && (id == IDOK || id == IDCANCEL)) {
    ::SendMessage(window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), 0);
    return {};
  }
  if (std::string why = reachable(window, id, control); !why.empty()) return why;
  if (control->kind != WindowKind::Button)
    return "control " + std::to_string(id) + " is a " + kindName(control) + ", not a button";
  ::SetFocus(control);
  if (isLive(control)) ::SendMessage(control, BM_CLICK, 0, 0);
  return {};
}

// The dialog manager: Enter and Esc in a control that does not take them itself (all but a
// multi-line edit) reach the control's dialog as the command of its default button (IDOK when it
// has none) and as IDCANCEL.
static void sendDialogKeyCommand(HWND control, UINT virtualKey) {
  if (virtualKey != VK_RETURN && virtualKey != VK_ESCAPE) return;
  if (!isLive(control) || (control->kind == WindowKind::Edit && (control->style & ES_MULTILINE))) return;
  HWND dialog = control->parent;
  if (!isLive(dialog) || dialog->kind != WindowKind::Dialog) return;
  const int id = virtualKey == VK_ESCAPE ? IDCANCEL : dialog->defId;
  ::SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
}

std::string userMenu(HWND window, const std::string& text) {
  CWnd* wnd = CWnd::FromHandle(window);
  CMenu* menu = wnd ? wnd->GetMenu() : nullptr;
  if (!menu) return "the window has no menu";
  const CMenu::Item* item = findMenuText(*menu, menuTextPlain(text));
  if (!item) return "the menu has no item '" + text + "'";
  if (item->flags & (MF_GRAYED | MF_DISABLED)) return "menu item '" + text + "' is disabled";
  ::SendMessage(window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(item->id), 0), 0);
  return {};
}

std::string userKey(HWND window, int id, UINT virtualKey) {
  HWND control = nullptr;
  if (std::string why = reachable(window, id, control); !why.empty()) return why;
  ::SetFocus(control);
  if (isLive(control)) ::SendMessage(control, WM_KEYDOWN, virtualKey, 1);
  if (isLive(control)) ::SendMessage(control, WM_KEYUP, virtualKey, 1);
  sendDialogKeyCommand(control, virtualKey);
  return {};
}

std::string userClickColumn(HWND window, int id, int column) {
  HWND control = nullptr;
  if (std::string why = reachable(window, id, control); !why.empty()) return why;
  if (control->kind != WindowKind::ListView) return "control " + std::to_string(id) + " is not a list control";
  NMLISTVIEW click;
  click.iSubItem = column;
  notifyParent(control, &click.hdr, LVN_COLUMNCLICK);
  return {};
}

std::string userEditTreeLabel(HWND window, int id, const std::string& item, const std::optional<std::string>& text) {
  HWND control = nullptr;
  if (std::string why = reachable(window, id, control); !why.empty()) return why;
  if (control->kind != WindowKind::TreeView) return "control " + std::to_string(id) + " is not a tree control";
  TreeNode* node = findTreeItem(control->treeRoots, item);
  if (!node) return "tree control " + std::to_string(id) + " has no item '" + item + "'";
  RECT rect{};
  static_cast<CTreeCtrl*>(CWnd::FromHandle(control))->GetItemRect(node, &rect, TRUE);
  HWND editor = createWindow("Edit", node->text, WS_CHILD | WS_VISIBLE, 0, rect, control, 1, nullptr);
  struct EditorGuard {
    HWND editor;
    ~EditorGuard() { destroyWindow(editor); }
  } guard{editor};
  NMTVDISPINFO begin;
  begin.item.hItem = node;
  begin.item.pszText = node->text.data();
  if (notifyParent(control, &begin.hdr, TVN_BEGINLABELEDIT) != 0) return {};
  if (!isLive(control) || !static_cast<CTreeCtrl*>(CWnd::FromHandle(control))->contains(node)) return {};
  std::string label;
  if (text) {
    setText(editor, *text);
    label = editor->text;
  }
  NMTVDISPINFO end;
  end.item.hItem = node;
  end.item.pszText = text ? label.data() : nullptr;
  if (notifyParent(control, &end.hdr, TVN_ENDLABELEDIT) != 0 && text && isLive(control) &&
      static_cast<CTreeCtrl*>(CWnd::FromHandle(control))->contains(node))
    node->text = label;
  return {};
}

std::string userDragTreeItem(HWND window, int id, const std::string& item, const std::string& target) {
  HWND control = nullptr;
  if (std::string why = reachable(window, id, control); !why.empty()) return why;
  if (control->kind != WindowKind::TreeView) return "control " + std::to_string(id) + " is not a tree control";
  TreeNode* from = findTreeItem(control->treeRoots, item);
  TreeNode* to = findTreeItem(control->treeRoots, target);
  if (!from || !to) return "tree control " + std::to_string(id) + " has no item '" + (from ? target : item) + "'";
  auto* tree = static_cast<CTreeCtrl*>(CWnd::FromHandle(control));
  tree->EnsureVisible(from);
  tree->EnsureVisible(to);
  RECT fromRect{}, toRect{};
  tree->GetItemRect(from, &fromRect, TRUE);
  tree->GetItemRect(to, &toRect, TRUE);
  NMTREEVIEW begin;
  begin.action = 0;
  begin.itemNew.hItem = from;
  begin.itemNew.lParam = static_cast<LPARAM>(from->data);
  begin.ptDrag = POINT{(fromRect.left + fromRect.right) / 2, (fromRect.top + fromRect.bottom) / 2};
  notifyParent(control, &begin.hdr, TVN_BEGINDRAG);
  LPARAM point = MAKELPARAM(static_cast<WORD>((toRect.left + toRect.right) / 2),
                            static_cast<WORD>((toRect.top + toRect.bottom) / 2));
  HWND receiver = GetCapture() ? GetCapture() : control;
  ::SendMessage(receiver, WM_MOUSEMOVE, 0x0001 /*MK_LBUTTON*/, point);
  receiver = GetCapture() ? GetCapture() : control;
  if (isLive(receiver)) ::SendMessage(receiver, WM_LBUTTONUP, 0, point);
  return {};
}

namespace {

// The middle of an item's label, in the tree's client coordinates, the item made visible first.
std::string treeItemPoint(HWND window, int id, const std::string& item, HWND& control, LPARAM& point) {
  if (std::string why = reachable(window, id, control); !why.empty()) return why;
  if (control->kind != WindowKind::TreeView) return "control " + std::to_string(id) + " is not a tree control";
  TreeNode* node = findTreeItem(control->treeRoots, item);
  if (!node) return "tree control " + std::to_string(id) + " has no item '" + item + "'";
  auto* tree = static_cast<CTreeCtrl*>(CWnd::FromHandle(control));
  tree->EnsureVisible(node);
  RECT rect{};
  tree->GetItemRect(node, &rect, TRUE);
  point = MAKELPARAM(static_cast<WORD>((rect.left + rect.right) / 2), static_cast<WORD>((rect.top + rect.bottom) / 2));
  return {};
}

}  // namespace

std::string userDoubleClickTreeItem(HWND window, int id, const std::string& item) {
  HWND control = nullptr;
  LPARAM point = 0;
  if (std::string why = treeItemPoint(window, id, item, control, point); !why.empty()) return why;
  ::SetFocus(control);
  if (isLive(control)) ::SendMessage(control, WM_LBUTTONDBLCLK, 0x0001 /*MK_LBUTTON*/, point);
  return {};
}

std::string userRightClickTreeItem(HWND window, int id, const std::string& item) {
  HWND control = nullptr;
  LPARAM point = 0;
  if (std::string why = treeItemPoint(window, id, item, control, point); !why.empty()) return why;
  ::SetFocus(control);
  if (isLive(control)) ::SendMessage(control, WM_RBUTTONDOWN, 0x0002 /*MK_RBUTTON*/, point);
  return {};
}

std::string userSpin(HWND window, int id, bool up) {
  HWND control = nullptr;
  if (std::string why = reachable(window, id, control); !why.empty()) return why;
  if (control->kind != WindowKind::Spin) return "control " + std::to_string(id) + " is not an up-down control";
  int delta = control->rangeMax >= control->rangeMin ? (up ? 1 : -1) : (up ? -1 : 1);
  NMUPDOWN info;
  info.iPos = control->pos;
  info.iDelta = delta;
  if (notifyParent(control, &info.hdr, UDN_DELTAPOS) != 0 || !isLive(control)) return {};
  static_cast<CSpinButtonCtrl*>(CWnd::FromHandle(control))->SetPos(control->pos + info.iDelta);
  if (isLive(control))
    ::SendMessage(control->parent, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(control->pos)),
                  reinterpret_cast<LPARAM>(control));
  return {};
}

}  // namespace mfc
