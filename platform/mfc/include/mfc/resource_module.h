// A resource module's contents and its readable source form.
//
// Source form (one statement a line, '#' starts a comment, texts in double quotes with the
// escapes \" \\ \r \n \t):
//   NAME IDC_UNITS 1000                         symbolic id, usable wherever an id is expected
//   STRING 508 "Kestrum Inside"                 string-table text
//   MESSAGE 0xC0000FA2 "Error in %1\r\n"        message-table text by 32-bit code
//   DIALOG 103 "Caption" SIZE 200 80 [FONT 8 "MS Sans Serif"] [STYLE expr] [MENU id]
//     KIND ID "TEXT" X Y W H [STYLE expr]       one control; KIND below
//   END
//   MENU 235
//     POPUP "&Tree"  ... END                    nested popups
//     MENUITEM 40060 "&Open" [GRAYED] [CHECKED]
//     SEPARATOR
//   END
//   ICON 152 SIZE 16 16                         pictures: bookkeeping of size and colour depth
//   BITMAP 451 SIZE 64 48 BITS 8                (ids may also be quoted names: BITMAP "NEWU" ...)
// Control kinds: LTEXT CTEXT RTEXT EDITTEXT PUSHBUTTON DEFPUSHBUTTON CHECKBOX RADIOBUTTON GROUPBOX
// COMBOBOX LISTBOX CHECKLISTBOX PROGRESS SLIDER SPIN LISTVIEW TREEVIEW TAB PICTURE CUSTOM; CUSTOM
// takes the hosted control's class (for example a class id) as its text.
// Style expressions join names (WS_*, BS_*, ES_*, CBS_*, LBS_*, ...) or numbers with '|'.
#pragma once
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "mfc/wintypes.h"

namespace mfc {

// A syntax or consistency error in resource source, with the line it was found on.
class ResourceError : public std::runtime_error {
 public:
  ResourceError(const std::string& origin, int line, const std::string& what);
  int line() const { return line_; }

 private:
  int line_;
};

struct ControlTemplate {
  std::string kind;  // one of the control kinds above
  int id = 0;
  std::string text;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  DWORD style = 0;
};

struct DialogTemplate {
  UINT id = 0;
  std::string caption;
  int cx = 0, cy = 0;  // dialog units
  int fontSize = 8;
  std::string fontName = "MS Sans Serif";
  DWORD style = 0;
  UINT menuId = 0;
  std::vector<ControlTemplate> controls;
};

struct MenuItemTemplate {
  enum class Kind { Item, Popup, Separator };
  Kind kind = Kind::Item;
  UINT id = 0;
  std::string text;
  UINT flags = 0;  // MF_GRAYED, MF_CHECKED
  std::vector<MenuItemTemplate> children;
};

struct MenuTemplate {
  UINT id = 0;
  std::vector<MenuItemTemplate> items;
};

// An icon or bitmap: only its size and depth are kept (pictures are bookkeeping here).
struct PictureTemplate {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 8;
};

class ResourceModule {
 public:
  // Parses source text; throws ResourceError naming `origin` and the line. Later statements may
  // not redefine an id already defined in the same table.
  void parse(const std::string& text, const std::string& origin);
  // The canonical source form of everything in the module (parse of it gives the same module).
  std::string serialize() const;

  // Lookups: null when absent.
  const std::string* string(UINT id) const;
  const std::string* message(DWORD code) const;
  const DialogTemplate* dialog(UINT id) const;
  const MenuTemplate* menu(UINT id) const;
  const PictureTemplate* icon(const std::string& key) const;
  const PictureTemplate* bitmap(const std::string& key) const;
  // A symbolic id defined with NAME, or the standard ids (IDOK ...); false when unknown.
  bool idOfName(const std::string& name, int& id) const;
  const std::map<std::string, int>& names() const { return names_; }

 private:
  std::map<UINT, std::string> strings_;
  std::map<DWORD, std::string> messages_;
  std::map<UINT, DialogTemplate> dialogs_;
  std::map<UINT, MenuTemplate> menus_;
  std::map<std::string, PictureTemplate> icons_;
  std::map<std::string, PictureTemplate> bitmaps_;
  std::map<std::string, int> names_;

  friend class ResourceParser;
  friend DialogTemplate parseDialogTemplate(const std::string& text);
};

// The key under which a picture with a numeric id is stored ("#152"), as opposed to a named one.
std::string pictureKey(UINT id);
// One template in the source form ("DIALOG ... END"): the bytes of a dialog resource, which
// callers may copy as they like; parseDialogTemplate reads them back (ResourceError if damaged).
std::string serializeDialog(const DialogTemplate& dialog);
DialogTemplate parseDialogTemplate(const std::string& text);

}  // namespace mfc
