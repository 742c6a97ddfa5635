// What a person does to a window, with the notifications the platform sends for it. Drivers use
// these. Each returns "" when done, or why it could not be done (the window is then unchanged):
// a control the window lacks, one that is hidden or disabled, or an act that does not fit it.
//
// - setText: focus moves to the control (the previous one gets its kill-focus notification); an
//   edit gets the text (cut to its limit) and EN_UPDATE, EN_CHANGE; the edit part of a combo gets
//   CBN_EDITUPDATE, CBN_EDITCHANGE; a slider moves (clamped) and its parent gets WM_HSCROLL
//   TB_THUMBPOSITION then TB_ENDSCROLL (up-down controls: userSpin).
// - select: a combo entry equal to the text (ignoring case), else the first that begins with it:
//   CBN_SELCHANGE while the edit part still shows the old text, then the text, then CBN_SELENDOK;
//   a list-box line: LBN_SELCHANGE; a list-view row (first column): LVN_ITEMCHANGED and NM_CLICK;
//   a tree item (a path "A/B" or a label): TVN_SELCHANGED; a tab: the sheet's page or TCN_SELCHANGE.
//   Tree labels compare without case and trailing blanks; a path step takes a whole label, so
//   labels that hold "/" ("1.0e+02 rad/sec") are reached as well.
// - check: a check box or radio button is clicked when its state differs; a check-list line
//   ("ENTRY on|off") is ticked with CLBN_CHKCHANGE.
// - click: BM_CLICK on a button (auto check boxes and radios change first, then BN_CLICKED). IDOK
//   and IDCANCEL on a window without such a button act as Enter and Esc.
// - menu: the item of the window's menu whose text (without '&', ignoring case) matches: WM_COMMAND.
#pragma once
#include <optional>
#include <string>

#include "mfc/wintypes.h"

namespace mfc {

// The control `id` of `window`: its direct children first, then visible descendants.
HWND findControl(HWND window, int id);
std::string userSetText(HWND window, int id, const std::string& text);
std::string userSelect(HWND window, int id, const std::string& text);
std::string userCheck(HWND window, int id, bool on);
std::string userCheckEntry(HWND window, int id, const std::string& entry, bool on);
std::string userClick(HWND window, int id);
std::string userMenu(HWND window, const std::string& text);
// One press of an up-down control's arrow: UDN_DELTAPOS (nonzero refuses), the new position,
// WM_VSCROLL to the parent.
std::string userSpin(HWND window, int id, bool up);
// A key pressed and released on a control: WM_KEYDOWN (whose default makes a list control notify
// LVN_KEYDOWN and a tree TVN_KEYDOWN), then WM_KEYUP.
std::string userKey(HWND window, int id, UINT virtualKey);
// A click on the header of column `column` of a list control: LVN_COLUMNCLICK with NMLISTVIEW.
std::string userClickColumn(HWND window, int id, int column);
// Edits the label of tree item `item` (a path "A/B" or a label): an edit control (id 1, reached
// with CTreeCtrl::GetEditControl) holds the label, TVN_BEGINLABELEDIT (nonzero refuses), the
// new text goes into the edit (cut to its limit), then TVN_ENDLABELEDIT carries it, or a null
// text when `text` is nothing (the edit was cancelled); a nonzero answer makes it the label.
std::string userEditTreeLabel(HWND window, int id, const std::string& item, const std::optional<std::string>& text);
// Drags tree item `item` onto `target` with the left button: TVN_BEGINDRAG (with the item and
// the point on its label), then WM_MOUSEMOVE and WM_LBUTTONUP at the middle of the target's
// label, in the tree's client coordinates, to the window that has the capture (or the tree).
std::string userDragTreeItem(HWND window, int id, const std::string& item, const std::string& target);
// A double-click (WM_LBUTTONDBLCLK) and a right-button press (WM_RBUTTONDOWN) on the middle of
// tree item `item`'s label, in the tree's client coordinates.
std::string userDoubleClickTreeItem(HWND window, int id, const std::string& item);
std::string userRightClickTreeItem(HWND window, int id, const std::string& item);
// A menu item text without its '&', for matching.
std::string menuTextPlain(const std::string& text);

}  // namespace mfc
