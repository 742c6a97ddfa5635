#include "mfc/menu.h"

#include "mfc/driver.h"
#include "mfc/log.h"
#include "mfc/resources.h"
#include "mfc/winapi.h"

namespace {

void fillFromTemplate(CMenu& menu, const std::vector<mfc::MenuItemTemplate>& items) {
  for (const mfc::MenuItemTemplate& t : items) {
    switch (t.kind) {
      case mfc::MenuItemTemplate::Kind::Separator: menu.AppendMenu(MF_SEPARATOR); break;
      case mfc::MenuItemTemplate::Kind::Item: menu.AppendMenu(MF_STRING | t.flags, t.id, t.text.c_str()); break;
      case mfc::MenuItemTemplate::Kind::Popup: {
        menu.AppendMenu(MF_POPUP, 0, t.text.c_str());
        fillFromTemplate(*menu.GetSubMenu(menu.GetMenuItemCount() - 1), t.children);
        break;
      }
    }
  }
}

}  // namespace

BOOL CMenu::LoadMenu(UINT id) {
  auto module = mfc::moduleOf(AfxFindResourceHandle(id, RT_MENU));
  const mfc::MenuTemplate* t = module ? module->menu(id) : nullptr;
  if (!t) {
    mfc::log("warning: menu " + std::to_string(id) + " is not in the resource module");
    return FALSE;
  }
  DestroyMenu();
  exists_ = true;
  fillFromTemplate(*this, t->items);
  return TRUE;
}

BOOL CMenu::CreatePopupMenu() {
  DestroyMenu();
  exists_ = true;
  return TRUE;
}

BOOL CMenu::CreateSystemMenu() {
  CreatePopupMenu();
  AppendMenu(MF_STRING, SC_RESTORE, "&Restore");
  AppendMenu(MF_STRING, 0xF010, "&Move");
  AppendMenu(MF_STRING, SC_SIZE, "&Size");
  AppendMenu(MF_STRING, SC_MINIMIZE, "Mi&nimize");
  AppendMenu(MF_STRING, SC_MAXIMIZE, "Ma&ximize");
  AppendMenu(MF_SEPARATOR);
  AppendMenu(MF_STRING, SC_CLOSE, "&Close");
  return TRUE;
}

BOOL CMenu::DestroyMenu() {
  bool had = exists_;
  items_.clear();
  exists_ = false;
  return had ? TRUE : FALSE;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
  return InsertMenu(static_cast<UINT>(items_.size()), flags | MF_BYPOSITION, id, text);
}

BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR id, const char* text) {
  exists_ = true;
  Item item;
  item.flags = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_SEPARATOR | MF_POPUP);
  item.text = text ? text : "";
  if (flags & MF_POPUP) {
    item.popup = std::make_unique<CMenu>();
    item.popup->exists_ = true;
  } else if (!(flags & MF_SEPARATOR)) {
    item.id = static_cast<UINT>(id);
  }
  if (position > items_.size()) position = static_cast<UINT>(items_.size());
  items_.insert(items_.begin() + position, std::move(item));
  return TRUE;
}

CMenu::Item* CMenu::findCommand(UINT id) {
  for (Item& item : items_) {
    if (item.popup) {
      if (Item* inner = item.popup->findCommand(id)) return inner;
    } else if (!(item.flags & MF_SEPARATOR) && item.id == id) {
      return &item;
    }
  }
  return nullptr;
}

const CMenu::Item* CMenu::findCommand(UINT id) const { return const_cast<CMenu*>(this)->findCommand(id); }

CMenu::Item* CMenu::itemAt(UINT position, UINT flags) {
  if (flags & MF_BYPOSITION) return position < items_.size() ? &items_[position] : nullptr;
  return findCommand(position);
}

const CMenu::Item* CMenu::itemAt(UINT position, UINT flags) const {
  return const_cast<CMenu*>(this)->itemAt(position, flags);
}

BOOL CMenu::RemoveMenu(UINT position, UINT flags) {
  if (flags & MF_BYPOSITION) {
    if (position >= items_.size()) return FALSE;
    items_.erase(items_.begin() + position);
    return TRUE;
  }
  for (size_t i = 0; i < items_.size(); ++i) {
    Item& item = items_[i];
    if (item.popup && item.popup->RemoveMenu(position, flags)) return TRUE;
    if (!item.popup && !(item.flags & MF_SEPARATOR) && item.id == position) {
      items_.erase(items_.begin() + static_cast<long>(i));
      return TRUE;
    }
  }
  return FALSE;
}

CMenu* CMenu::GetSubMenu(int position) const {
  if (position < 0 || position >= static_cast<int>(items_.size())) return nullptr;
  return items_[static_cast<size_t>(position)].popup.get();
}

int CMenu::GetMenuItemCount() const { return exists_ ? static_cast<int>(items_.size()) : -1; }

UINT CMenu::GetMenuItemID(int position) const {
  if (position < 0 || position >= static_cast<int>(items_.size())) return static_cast<UINT>(-1);
  const Item& item = items_[static_cast<size_t>(position)];
  if (item.popup) return static_cast<UINT>(-1);
  return item.id;
}

UINT CMenu::GetMenuState(UINT id, UINT flags) const {
  const Item* item = itemAt(id, flags);
  if (!item) return 0xFFFFFFFFu;
  if (item->popup)
    return MF_POPUP | (static_cast<UINT>(item->popup->GetMenuItemCount()) << 8) | (item->flags & ~MF_POPUP);
  return item->flags;
}

int CMenu::GetMenuString(UINT id, CString& text, UINT flags) const {
  const Item* item = itemAt(id, flags);
  text = item ? item->text : std::string();
  return text.GetLength();
}

UINT CMenu::EnableMenuItem(UINT id, UINT enable) {
  Item* item = itemAt(id, enable & MF_BYPOSITION);
  if (!item) return 0xFFFFFFFFu;
  UINT previous = item->flags & (MF_GRAYED | MF_DISABLED);
  item->flags = (item->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  return previous;
}

DWORD CMenu::CheckMenuItem(UINT id, UINT check) {
  Item* item = itemAt(id, check & MF_BYPOSITION);
  if (!item) return 0xFFFFFFFFu;
  DWORD previous = item->flags & MF_CHECKED;
  item->flags = (item->flags & ~MF_CHECKED) | (check & MF_CHECKED);
  return previous;
}

BOOL CMenu::TrackPopupMenu(UINT flags, int, int, CWnd* owner, const RECT*) {
  UINT chosen = 0;
  if (mfc::UserDriver* driver = mfc::userDriver())
    chosen = driver->onPopupMenu(*this, owner);
  else
    mfc::log("no user driver: popup menu dismissed");
  if (chosen) {
    const Item* item = findCommand(chosen);
    if (!item || (item->flags & (MF_GRAYED | MF_DISABLED))) {
      mfc::log("popup menu: command " + std::to_string(chosen) + " is not an enabled item; dismissed");
      chosen = 0;
    }
  }
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
  if (chosen && owner) owner->PostMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
  return chosen ? TRUE : FALSE;
}
