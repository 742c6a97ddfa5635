// Menus: loaded from the resource modules or built in code; popup menus are tracked through the
// user driver (a person picks an item or dismisses the menu).
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "mfc/wnd.h"

class CMenu {
 public:
  struct Item {
    UINT id = 0;       // command id (0 for a separator or popup)
    std::string text;  // with its '&'
    UINT flags = 0;    // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_SEPARATOR, MF_POPUP
    std::unique_ptr<CMenu> popup;
  };

  CMenu() = default;
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  // From the current resource search; FALSE (logged) when the menu is missing.
  BOOL LoadMenu(UINT id);
  BOOL CreatePopupMenu();
  BOOL CreateMenu() { return CreatePopupMenu(); }
  // The standard system menu: Restore, Move, Size, Minimize, Maximize, separator, Close.
  BOOL CreateSystemMenu();
  BOOL DestroyMenu();
  BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);
  BOOL InsertMenu(UINT position, UINT flags, UINT_PTR id = 0, const char* text = nullptr);
  // By command (searching popups too) or by position (MF_BYPOSITION).
  BOOL RemoveMenu(UINT position, UINT flags);
  BOOL DeleteMenu(UINT position, UINT flags) { return RemoveMenu(position, flags); }
  CMenu* GetSubMenu(int position) const;
  int GetMenuItemCount() const;
  // The command id at a position; -1 for a popup, 0 for a separator.
  UINT GetMenuItemID(int position) const;
  // Flags of an item; 0xFFFFFFFF when it does not exist.
  UINT GetMenuState(UINT id, UINT flags) const;
  int GetMenuString(UINT id, CString& text, UINT flags) const;
  // Previous state (MF_ENABLED/MF_GRAYED or MF_CHECKED/MF_UNCHECKED); 0xFFFFFFFF when missing.
  UINT EnableMenuItem(UINT id, UINT enable);
  DWORD CheckMenuItem(UINT id, UINT check);
  // Asks the user driver; without TPM_RETURNCMD the chosen command is posted to `owner` as
  // WM_COMMAND. Returns the command (TPM_RETURNCMD) or whether one was chosen.
  BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* rect = nullptr);
  const std::vector<Item>& items() const { return items_; }
  // The item with command `id`, searching popups; null when missing.
  Item* findCommand(UINT id);
  const Item* findCommand(UINT id) const;

 private:
  Item* itemAt(UINT position, UINT flags);
  const Item* itemAt(UINT position, UINT flags) const;
  std::vector<Item> items_;
  bool exists_ = false;
};
