#include "mfc/render.h"

#include <sstream>

#include "mfc/controls.h"
#include "mfc/menu.h"
#include "mfc/winapi.h"
#include "window_internal.h"

using namespace mfc::detail;

namespace mfc {
namespace {

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else if (c == '"')
      out += "\\\"";
    else
      out += c;
  }
  return out + "\"";
}

std::string kindWord(HWND h) {
  switch (h->kind) {
    case WindowKind::Static: return "static";
    case WindowKind::Edit: return "edit";
    case WindowKind::Button: {
      DWORD type = h->style & BS_TYPEMASK;
      if (type == BS_GROUPBOX) return "group";
      if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE) return "check";
      if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) return "radio";
      return "button";
    }
    case WindowKind::ComboBox: return "combo";
    case WindowKind::ListBox: return (h->style & LBS_OWNERDRAWFIXED) ? "checklist" : "list";
    case WindowKind::Progress: return "progress";
    case WindowKind::Slider: return "slider";
    case WindowKind::Spin: return "spin";
    case WindowKind::ListView: return "listview";
    case WindowKind::TreeView: return "tree";
    case WindowKind::Tab: return "tab";
    case WindowKind::Dialog: return (h->style & WS_CHILD) ? "page" : "dialog";
    case WindowKind::Hosted: return "control " + h->className;
    default: return "window";
  }
}

std::string entries(HWND h, bool checks) {
  std::string out = "[";
  for (size_t i = 0; i < h->items.size(); ++i) {
    if (i) out += "|";
    const ListEntry& e = h->items[i];
    if (static_cast<int>(i) == h->curSel || e.selected || (e.state & LVIS_SELECTED)) out += "*";
    if (checks) out += e.check ? "[x]" : "[ ]";
    out += e.text;
    for (const std::string& sub : e.subItems) out += " / " + sub;
    if (!e.enabled) out += " (disabled)";
  }
  return out + "]";
}

// A tree with an image list shows each item's image after its label: "bracket [icon 108]".
std::string treeImageText(HWND tree, const TreeNode* node) {
  const auto* images = static_cast<const CImageList*>(tree->imageList);
  if (!images) return {};
  const std::string name = images->imageName(node->image);
  return name.empty() ? std::string() : " [" + name + "]";
}

void renderTree(std::ostringstream& out, const std::vector<TreeNode*>& nodes, HWND tree, int depth,
                const std::string& indent) {
  for (TreeNode* node : nodes) {
    out << indent << std::string(static_cast<size_t>(depth + 1) * 2, ' ') << (node == tree->treeSelected ? "*" : "")
        << (!node->children.empty() && !node->expanded ? "+" : "") << node->text << treeImageText(tree, node) << "\n";
    if (node->expanded) renderTree(out, node->children, tree, depth + 1, indent);
  }
}

// The minimise box of a window's caption (WS_MINIMIZEBOX).
constexpr DWORD kMinimizeBox = 0x00020000;

void renderWindowInto(std::ostringstream& out, HWND h, const std::string& indent, bool top) {
  out << indent << kindWord(h);
  int id = top ? static_cast<int>(h->templateId) : h->id;
  if (id != 0 || !top) out << " " << id;
  out << " " << quoted(h->text);
  // A window that can be minimised may change its size: say it.
  if (top && (h->style & kMinimizeBox))
    out << " size " << (h->rect.right - h->rect.left) << "x" << (h->rect.bottom - h->rect.top);
  switch (h->kind) {
    case WindowKind::Button: {
      DWORD type = h->style & BS_TYPEMASK;
      if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON && type != BS_GROUPBOX && type != BS_OWNERDRAW)
        out << (h->check == BST_CHECKED ? " checked" : h->check == BST_INDETERMINATE ? " indeterminate" : " unchecked");
      if (h->parent && h->parent->defId == h->id && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON))
        out << " default";
      break;
    }
    case WindowKind::ComboBox:
    case WindowKind::ListBox:
      out << " " << entries(h, h->kind == WindowKind::ListBox && (h->style & LBS_OWNERDRAWFIXED));
      break;
    case WindowKind::ListView: out << " " << entries(h, false); break;
    case WindowKind::Progress:
    case WindowKind::Slider:
    case WindowKind::Spin: out << " pos " << h->pos << " range " << h->rangeMin << ".." << h->rangeMax; break;
    case WindowKind::Tab: {
      out << " [";
      for (size_t i = 0; i < h->tabs.size(); ++i)
        out << (i ? "|" : "") << (static_cast<int>(i) == h->curSel ? "*" : "") << h->tabs[i].text
            << (h->tabs[i].image >= 0 ? " (image " + std::to_string(h->tabs[i].image) + ")" : std::string());
      out << "]";
      break;
    }
    case WindowKind::Edit:
      if (h->readOnly) out << " read-only";
      break;
    default: break;
  }
  if (h->style & WS_DISABLED) out << " disabled";
  if (!(h->style & WS_VISIBLE)) out << " hidden";
  if (!top && GetFocus() == h) out << " focus";
  out << "\n";
  if (h->kind == WindowKind::TreeView) renderTree(out, h->treeRoots, h, 1, indent);
  bool collapsed = !top && h->kind == WindowKind::Dialog && !(h->style & WS_VISIBLE);
  if (collapsed) return;
  for (HWND child : h->children) {
    if (child->className == "tooltips_class32") continue;
    renderWindowInto(out, child, indent + "  ", false);
  }
}

std::string buttonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return "OK Cancel";
    case MB_ABORTRETRYIGNORE: return "Abort Retry Ignore";
    case MB_YESNOCANCEL: return "Yes No Cancel";
    case MB_YESNO: return "Yes No";
    case MB_RETRYCANCEL: return "Retry Cancel";
    default: return "OK";
  }
}

void renderMenuInto(std::ostringstream& out, const CMenu& menu, const std::string& indent) {
  for (const CMenu::Item& item : menu.items()) {
    if (item.flags & MF_SEPARATOR) {
      out << indent << "----\n";
      continue;
    }
    out << indent << quoted(item.text);
    if (!item.popup) out << " " << item.id;
    if (item.flags & (MF_GRAYED | MF_DISABLED)) out << " disabled";
    if (item.flags & MF_CHECKED) out << " checked";
    out << "\n";
    if (item.popup) renderMenuInto(out, *item.popup, indent + "  ");
  }
}

}  // namespace

std::string renderWindow(HWND window) {
  if (!isLive(window)) return "no window\n";
  std::ostringstream out;
  renderWindowInto(out, window, "", true);
  return out.str();
}

std::string renderMessageBox(const MessageBoxRequest& box) {
  return "message box " + quoted(box.caption) + " " + quoted(box.text) + " buttons " + buttonsOf(box.type) + "\n";
}

std::string renderFileDialog(const FileDialogRequest& dialog) {
  return std::string(dialog.open ? "open" : "save") + " file dialog name " + quoted(dialog.fileName) + " filter " +
         quoted(dialog.filter) + "\n";
}

std::string renderMenu(const CMenu& menu) {
  std::ostringstream out;
  out << "popup menu\n";
  renderMenuInto(out, menu, "  ");
  return out.str();
}

}  // namespace mfc
