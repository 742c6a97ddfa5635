#include "mfc/resource_module.h"

#include <cstdlib>
#include <memory>
#include <sstream>

#include "text_format.h"

namespace mfc {

ResourceError::ResourceError(const std::string& origin, int line, const std::string& what)
    : std::runtime_error(origin + ":" + std::to_string(line) + ": " + what), line_(line) {}

std::string pictureKey(UINT id) { return "#" + std::to_string(id); }

namespace {

const std::map<std::string, long long>& knownNames() {
  static const std::map<std::string, long long> names = {
      {"IDOK", IDOK},
      {"IDCANCEL", IDCANCEL},
      {"IDABORT", IDABORT},
      {"IDRETRY", IDRETRY},
      {"IDIGNORE", IDIGNORE},
      {"IDYES", IDYES},
      {"IDNO", IDNO},
      {"IDCLOSE", IDCLOSE},
      {"IDHELP", IDHELP},
      {"IDC_STATIC", IDC_STATIC},
      {"ID_APPLY_NOW", ID_APPLY_NOW},
      {"ID_WIZBACK", ID_WIZBACK},
      {"ID_WIZNEXT", ID_WIZNEXT},
      {"ID_WIZFINISH", ID_WIZFINISH},
      {"IDC_SHEET_TABS", AFX_IDC_TAB_CONTROL},  // a property sheet's tab strip, for "@select"
      {"WS_POPUP", WS_POPUP},
      {"WS_CHILD", WS_CHILD},
      {"WS_VISIBLE", WS_VISIBLE},
      {"WS_DISABLED", WS_DISABLED},
      {"WS_CAPTION", WS_CAPTION},
      {"WS_BORDER", WS_BORDER},
      {"WS_SYSMENU", WS_SYSMENU},
      {"WS_GROUP", WS_GROUP},
      {"WS_TABSTOP", WS_TABSTOP},
      {"WS_VSCROLL", WS_VSCROLL},
      {"WS_HSCROLL", WS_HSCROLL},
      {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX},
      {"BS_CHECKBOX", BS_CHECKBOX},
      {"BS_RADIOBUTTON", BS_RADIOBUTTON},
      {"BS_AUTORADIOBUTTON", BS_AUTORADIOBUTTON},
      {"BS_3STATE", BS_3STATE},
      {"BS_AUTO3STATE", BS_AUTO3STATE},
      {"BS_OWNERDRAW", BS_OWNERDRAW},
      {"BS_ICON", BS_ICON},
      {"BS_BITMAP", BS_BITMAP},
      {"ES_MULTILINE", ES_MULTILINE},
      {"ES_AUTOHSCROLL", ES_AUTOHSCROLL},
      {"ES_READONLY", ES_READONLY},
      {"ES_NUMBER", ES_NUMBER},
      {"CBS_SIMPLE", CBS_SIMPLE},
      {"CBS_DROPDOWN", CBS_DROPDOWN},
      {"CBS_DROPDOWNLIST", CBS_DROPDOWNLIST},
      {"CBS_SORT", CBS_SORT},
      {"LBS_NOTIFY", LBS_NOTIFY},
      {"LBS_SORT", LBS_SORT},
      {"LBS_MULTIPLESEL", LBS_MULTIPLESEL},
      {"LBS_EXTENDEDSEL", LBS_EXTENDEDSEL},
      {"LBS_HASSTRINGS", LBS_HASSTRINGS},
      {"LBS_OWNERDRAWFIXED", LBS_OWNERDRAWFIXED},
      {"TCS_MULTILINE", TCS_MULTILINE},
      {"LVS_REPORT", LVS_REPORT},
      {"LVS_SINGLESEL", LVS_SINGLESEL},
      {"LVS_SHOWSELALWAYS", LVS_SHOWSELALWAYS},
      {"LVS_NOCOLUMNHEADER", LVS_NOCOLUMNHEADER},
      {"TVS_HASBUTTONS", TVS_HASBUTTONS},
      {"TVS_HASLINES", TVS_HASLINES},
      {"TVS_LINESATROOT", TVS_LINESATROOT},
      {"TVS_EDITLABELS", TVS_EDITLABELS},
  };
  return names;
}

const char* const kControlKinds[] = {"LTEXT",         "CTEXT",        "RTEXT",       "EDITTEXT", "PUSHBUTTON",
                                     "DEFPUSHBUTTON", "CHECKBOX",     "RADIOBUTTON", "GROUPBOX", "COMBOBOX",
                                     "LISTBOX",       "CHECKLISTBOX", "PROGRESS",    "SLIDER",   "SPIN",
                                     "LISTVIEW",      "TREEVIEW",     "TAB",         "PICTURE",  "CUSTOM"};

bool isControlKind(const std::string& word) {
  for (const char* kind : kControlKinds)
    if (word == kind) return true;
  return false;
}

// What number() would read as a number when no name stands in its way.
bool isNumeral(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  std::strtoll(begin, &end, 0);
  return end != begin && *end == '\0';
}

struct Token {
  std::string text;
  bool quoted = false;
};

std::string quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

}  // namespace

// Reads statements line by line; keeps the state of open DIALOG and MENU blocks.
class ResourceParser {
 public:
  ResourceParser(ResourceModule& module, const std::string& origin) : module_(module), origin_(origin) {}

  void parse(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
      ++lineNo_;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::vector<Token> tokens = tokenize(line);
      if (!tokens.empty()) statement(tokens);
    }
    if (dialog_) fail("DIALOG " + std::to_string(dialog_->id) + " has no END");
    if (!menuStack_.empty()) fail("MENU " + std::to_string(menu_.id) + " has no END");
  }

 private:
  [[noreturn]] void fail(const std::string& what) const { throw ResourceError(origin_, lineNo_, what); }

  std::vector<Token> tokenize(const std::string& line) const {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
      char c = line[i];
      if (c == ' ' || c == '\t') {
        ++i;
        continue;
      }
      if (c == '#') break;
      Token token;
      if (c == '"') {
        token.quoted = true;
        ++i;
        bool closed = false;
        while (i < line.size()) {
          char d = line[i++];
          if (d == '"') {
            closed = true;
            break;
          }
          if (d == '\\') {
            if (i >= line.size()) fail("a text ends with a lone backslash");
            char e = line[i++];
            switch (e) {
              case 'n': token.text += '\n'; break;
              case 'r': token.text += '\r'; break;
              case 't': token.text += '\t'; break;
              case '"': token.text += '"'; break;
              case '\\': token.text += '\\'; break;
              default: fail(std::string("unknown escape \\") + e);
            }
          } else {
            token.text += d;
          }
        }
        if (!closed) fail("a text has no closing quote");
      } else {
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') token.text += line[i++];
      }
      tokens.push_back(token);
    }
    return tokens;
  }

  long long number(const Token& token) const {
    if (token.quoted) fail("expected a number, found the text " + quote(token.text));
    auto named = module_.names_.find(token.text);
    if (named != module_.names_.end()) return named->second;
    auto known = knownNames().find(token.text);
    if (known != knownNames().end()) return known->second;
    const char* begin = token.text.c_str();
    char* end = nullptr;
    long long value = std::strtoll(begin, &end, 0);
    if (end == begin || *end != '\0') fail("expected a number or a known name, found '" + token.text + "'");
    return value;
  }

  DWORD styleExpression(const Token& token) const {
    DWORD style = 0;
    std::string part;
    std::istringstream parts(token.text);
    while (std::getline(parts, part, '|')) style |= static_cast<DWORD>(number(Token{part, false}));
    return style;
  }

  const Token& at(const std::vector<Token>& tokens, size_t index, const char* what) const {
    if (index >= tokens.size()) fail(std::string("missing ") + what);
    return tokens[index];
  }

  const std::string& text(const std::vector<Token>& tokens, size_t index, const char* what) const {
    const Token& token = at(tokens, index, what);
    if (!token.quoted) fail(std::string("expected ") + what + " in double quotes");
    return token.text;
  }

  void expectEnd(const std::vector<Token>& tokens, size_t count) const {
    if (tokens.size() > count) fail("unexpected '" + tokens[count].text + "'");
  }

  void statement(const std::vector<Token>& tokens) {
    const std::string& word = tokens[0].text;
    if (dialog_) return dialogLine(tokens);
    if (!menuStack_.empty()) return menuLine(tokens);
    if (word == "NAME") return nameLine(tokens);
    if (word == "STRING") return stringLine(tokens);
    if (word == "MESSAGE") return messageLine(tokens);
    if (word == "DIALOG") return dialogHeader(tokens);
    if (word == "MENU") return menuHeader(tokens);
    if (word == "ICON" || word == "BITMAP") return pictureLine(tokens);
    fail("unknown statement '" + word + "'");
  }

  void nameLine(const std::vector<Token>& tokens) {
    const Token& name = at(tokens, 1, "a name");
    if (name.quoted || name.text.empty()) fail("a NAME needs a bare word");
    // Names are looked up before numbers: a numeral as a name would change what the numeral means.
    if (isNumeral(name.text)) fail("a NAME cannot be a number: '" + name.text + "'");
    if (module_.names_.count(name.text) || knownNames().count(name.text))
      fail("name " + name.text + " is defined twice");
    module_.names_[name.text] = static_cast<int>(number(at(tokens, 2, "the id")));
    expectEnd(tokens, 3);
  }

  void stringLine(const std::vector<Token>& tokens) {
    UINT id = static_cast<UINT>(number(at(tokens, 1, "the string id")));
    if (module_.strings_.count(id)) fail("string " + std::to_string(id) + " is defined twice");
    module_.strings_[id] = text(tokens, 2, "the string");
    expectEnd(tokens, 3);
  }

  void messageLine(const std::vector<Token>& tokens) {
    DWORD code = static_cast<DWORD>(number(at(tokens, 1, "the message code")));
    if (module_.messages_.count(code)) fail(detail::format("message 0x%08x is defined twice", code));
    module_.messages_[code] = text(tokens, 2, "the message text");
    expectEnd(tokens, 3);
  }

  void dialogHeader(const std::vector<Token>& tokens) {
    DialogTemplate dialog;
    dialog.id = static_cast<UINT>(number(at(tokens, 1, "the dialog id")));
    if (module_.dialogs_.count(dialog.id)) fail("dialog " + std::to_string(dialog.id) + " is defined twice");
    dialog.caption = text(tokens, 2, "the caption");
    size_t i = 3;
    while (i < tokens.size()) {
      const std::string& key = tokens[i].text;
      if (key == "SIZE") {
        dialog.cx = static_cast<int>(number(at(tokens, i + 1, "the width")));
        dialog.cy = static_cast<int>(number(at(tokens, i + 2, "the height")));
        i += 3;
      } else if (key == "FONT") {
        dialog.fontSize = static_cast<int>(number(at(tokens, i + 1, "the font size")));
        dialog.fontName = text(tokens, i + 2, "the font name");
        i += 3;
      } else if (key == "STYLE") {
        dialog.style = styleExpression(at(tokens, i + 1, "the style"));
        i += 2;
      } else if (key == "MENU") {
        dialog.menuId = static_cast<UINT>(number(at(tokens, i + 1, "the menu id")));
        i += 2;
      } else {
        fail("unexpected '" + key + "' in a DIALOG line");
      }
    }
    dialog_ = std::make_unique<DialogTemplate>(dialog);
  }

  void dialogLine(const std::vector<Token>& tokens) {
    const std::string& kind = tokens[0].text;
    if (kind == "END") {
      expectEnd(tokens, 1);
      UINT id = dialog_->id;
      module_.dialogs_[id] = std::move(*dialog_);
      dialog_.reset();
      return;
    }
    if (!isControlKind(kind)) fail("unknown control kind '" + kind + "'");
    ControlTemplate control;
    control.kind = kind;
    control.id = static_cast<int>(number(at(tokens, 1, "the control id")));
    control.text = text(tokens, 2, "the control text");
    control.x = static_cast<int>(number(at(tokens, 3, "x")));
    control.y = static_cast<int>(number(at(tokens, 4, "y")));
    control.cx = static_cast<int>(number(at(tokens, 5, "the width")));
    control.cy = static_cast<int>(number(at(tokens, 6, "the height")));
    if (tokens.size() > 7) control.style = styleExpression(tokens[7]);
    expectEnd(tokens, 8);
    if (control.id != IDC_STATIC)
      for (const ControlTemplate& other : dialog_->controls)
        if (other.id == control.id) fail("control " + std::to_string(control.id) + " appears twice in the dialog");
    dialog_->controls.push_back(control);
  }

  void menuHeader(const std::vector<Token>& tokens) {
    menu_ = MenuTemplate{};
    menu_.id = static_cast<UINT>(number(at(tokens, 1, "the menu id")));
    if (module_.menus_.count(menu_.id)) fail("menu " + std::to_string(menu_.id) + " is defined twice");
    expectEnd(tokens, 2);
    menuStack_.push_back(&menu_.items);
  }

  void menuLine(const std::vector<Token>& tokens) {
    const std::string& word = tokens[0].text;
    std::vector<MenuItemTemplate>& items = *menuStack_.back();
    if (word == "END") {
      expectEnd(tokens, 1);
      menuStack_.pop_back();
      if (menuStack_.empty()) module_.menus_[menu_.id] = menu_;
      return;
    }
    MenuItemTemplate item;
    if (word == "SEPARATOR") {
      item.kind = MenuItemTemplate::Kind::Separator;
      expectEnd(tokens, 1);
      items.push_back(item);
    } else if (word == "POPUP") {
      item.kind = MenuItemTemplate::Kind::Popup;
      item.text = text(tokens, 1, "the popup text");
      expectEnd(tokens, 2);
      items.push_back(item);
      menuStack_.push_back(&items.back().children);
    } else if (word == "MENUITEM") {
      item.id = static_cast<UINT>(number(at(tokens, 1, "the command id")));
      item.text = text(tokens, 2, "the item text");
      for (size_t i = 3; i < tokens.size(); ++i) {
        if (tokens[i].text == "GRAYED")
          item.flags |= MF_GRAYED;
        else if (tokens[i].text == "CHECKED")
          item.flags |= MF_CHECKED;
        else
          fail("unexpected '" + tokens[i].text + "' in a MENUITEM line");
      }
      items.push_back(item);
    } else {
      fail("unknown menu statement '" + word + "'");
    }
  }

  void pictureLine(const std::vector<Token>& tokens) {
    bool isIcon = tokens[0].text == "ICON";
    const Token& idToken = at(tokens, 1, "the picture id");
    std::string key = idToken.quoted ? idToken.text : pictureKey(static_cast<UINT>(number(idToken)));
    auto& table = isIcon ? module_.icons_ : module_.bitmaps_;
    if (table.count(key)) fail(tokens[0].text + " " + key + " is defined twice");
    PictureTemplate picture;
    picture.bitsPerPixel = isIcon ? 32 : 8;
    size_t i = 2;
    while (i < tokens.size()) {
      if (tokens[i].text == "SIZE") {
        picture.width = static_cast<int>(number(at(tokens, i + 1, "the width")));
        picture.height = static_cast<int>(number(at(tokens, i + 2, "the height")));
        i += 3;
      } else if (tokens[i].text == "BITS") {
        picture.bitsPerPixel = static_cast<int>(number(at(tokens, i + 1, "the colour depth")));
        i += 2;
      } else {
        fail("unexpected '" + tokens[i].text + "' in a picture line");
      }
    }
    if (picture.width <= 0 || picture.height <= 0) fail("a picture needs a SIZE");
    table[key] = picture;
  }

  ResourceModule& module_;
  std::string origin_;
  int lineNo_ = 0;
  std::unique_ptr<DialogTemplate> dialog_;
  MenuTemplate menu_;
  std::vector<std::vector<MenuItemTemplate>*> menuStack_;
};

void ResourceModule::parse(const std::string& text, const std::string& origin) {
  ResourceParser(*this, origin).parse(text);
}

namespace {

void serializeMenuItems(std::ostringstream& out, const std::vector<MenuItemTemplate>& items, int depth) {
  std::string indent(static_cast<size_t>(depth) * 2, ' ');
  for (const MenuItemTemplate& item : items) {
    switch (item.kind) {
      case MenuItemTemplate::Kind::Separator: out << indent << "SEPARATOR\n"; break;
      case MenuItemTemplate::Kind::Popup:
        out << indent << "POPUP " << quote(item.text) << "\n";
        serializeMenuItems(out, item.children, depth + 1);
        out << indent << "END\n";
        break;
      case MenuItemTemplate::Kind::Item:
        out << indent << "MENUITEM " << item.id << " " << quote(item.text);
        if (item.flags & MF_GRAYED) out << " GRAYED";
        if (item.flags & MF_CHECKED) out << " CHECKED";
        out << "\n";
        break;
    }
  }
}

void serializePictures(std::ostringstream& out, const char* word, const std::map<std::string, PictureTemplate>& table) {
  for (const auto& [key, picture] : table) {
    out << word << " " << (key[0] == '#' ? key.substr(1) : quote(key)) << " SIZE " << picture.width << " "
        << picture.height << " BITS " << picture.bitsPerPixel << "\n";
  }
}

}  // namespace

std::string serializeDialog(const DialogTemplate& dialog) {
  std::ostringstream out;
  out << "DIALOG " << dialog.id << " " << quote(dialog.caption) << " SIZE " << dialog.cx << " " << dialog.cy << " FONT "
      << dialog.fontSize << " " << quote(dialog.fontName) << " STYLE " << dialog.style;
  if (dialog.menuId) out << " MENU " << dialog.menuId;
  out << "\n";
  for (const ControlTemplate& c : dialog.controls)
    out << "  " << c.kind << " " << c.id << " " << quote(c.text) << " " << c.x << " " << c.y << " " << c.cx << " "
        << c.cy << " " << c.style << "\n";
  out << "END\n";
  return out.str();
}

DialogTemplate parseDialogTemplate(const std::string& text) {
  ResourceModule module;
  module.parse(text, "dialog resource");
  if (module.dialogs_.size() != 1) throw ResourceError("dialog resource", 1, "expected one DIALOG");
  return module.dialogs_.begin()->second;
}

std::string ResourceModule::serialize() const {
  std::ostringstream out;
  for (const auto& [name, id] : names_) out << "NAME " << name << " " << id << "\n";
  for (const auto& [id, text] : strings_) out << "STRING " << id << " " << quote(text) << "\n";
  for (const auto& [code, text] : messages_)
    out << "MESSAGE " << detail::format("0x%08X", code) << " " << quote(text) << "\n";
  for (const auto& entry : dialogs_) out << serializeDialog(entry.second);
  for (const auto& [id, menu] : menus_) {
    out << "MENU " << id << "\n";
    serializeMenuItems(out, menu.items, 1);
    out << "END\n";
  }
  serializePictures(out, "ICON", icons_);
  serializePictures(out, "BITMAP", bitmaps_);
  return out.str();
}

template <typename Map, typename Key>
static const typename Map::mapped_type* findIn(const Map& map, const Key& key) {
  auto it = map.find(key);
  return it == map.end() ? nullptr : &it->second;
}

const std::string* ResourceModule::string(UINT id) const { return findIn(strings_, id); }
const std::string* ResourceModule::message(DWORD code) const { return findIn(messages_, code); }
const DialogTemplate* ResourceModule::dialog(UINT id) const { return findIn(dialogs_, id); }
const MenuTemplate* ResourceModule::menu(UINT id) const { return findIn(menus_, id); }
const PictureTemplate* ResourceModule::icon(const std::string& key) const { return findIn(icons_, key); }
const PictureTemplate* ResourceModule::bitmap(const std::string& key) const { return findIn(bitmaps_, key); }

bool ResourceModule::idOfName(const std::string& name, int& id) const {
  if (auto named = names_.find(name); named != names_.end()) {
    id = named->second;
    return true;
  }
  if (auto known = knownNames().find(name); known != knownNames().end() && name.rfind("ID", 0) == 0) {
    id = static_cast<int>(known->second);
    return true;
  }
  return false;
}

}  // namespace mfc
