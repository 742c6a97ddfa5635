#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "arx/acdocman.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "kestrum/text.h"
#include "text_util.h"

namespace {

// One line of a pull-down: a label with its macro ("^C^CCOMMAND"), or a separator.
struct MenuItem {
  std::string label;
  std::string macro;
  bool separator = false;
};

struct Pulldown {
  std::string title;
  std::vector<MenuItem> items;
};

constexpr std::size_t kMostItemsPerPulldown = 500;
constexpr int kMostPulldownsPerGroup = 16;

struct MenuState {
  std::vector<std::string> groups;            // upper-case group names
  std::vector<std::string> bar;               // "group.popN", lower-case, by position
  std::map<std::string, Pulldown> pulldowns;  // by "group.popN", lower-case, of loaded menu files
  std::vector<std::string> supportPath;
  bool supportPathSet = false;
};

std::vector<std::string> defaultBar() {
  std::vector<std::string> bar;
  for (int i = 1; i <= 10; ++i) bar.push_back("acad.pop" + std::to_string(i));
  bar.push_back("acad.pop16");  // help comes last
  return bar;
}

MenuState& menus() {
  static auto* instance = [] {
    auto* created = new MenuState();
    created->groups = {"ACAD"};
    created->bar = defaultBar();
    return created;
  }();
  return *instance;
}

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::vector<std::string> foldersFromEnvironment() {
  std::vector<std::string> folders;
  if (const char* path = std::getenv("KESTRUM_SUPPORT_PATH")) {
    std::string all = path;
    std::size_t start = 0;
    while (start <= all.size()) {
      std::size_t colon = all.find(':', start);
      std::string folder = all.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
      if (!folder.empty()) folders.push_back(folder);
      if (colon == std::string::npos) break;
      start = colon + 1;
    }
  }
  folders.push_back(".");
  return folders;
}

void removeFromBar(const std::string& pulldown) {
  auto& bar = menus().bar;
  bar.erase(std::remove(bar.begin(), bar.end(), pulldown), bar.end());
}

bool groupLoaded(const std::string& group) {
  const auto& groups = menus().groups;
  return std::find(groups.begin(), groups.end(), cadhost::upperCase(group)) != groups.end();
}

// "Pn=+group.popM": insert a pull-down (another copy when it is on the bar already).
int insertPulldown(const std::string& text) {
  std::size_t equals = text.find("=+");
  int position = 0;
  if (equals == std::string::npos || !cadhost::parseInt(text.substr(1, equals - 1), position) || position < 1)
    return RTERROR;
  std::string pulldown = lowerCase(text.substr(equals + 2));
  std::size_t dot = pulldown.find('.');
  if (dot == std::string::npos || !groupLoaded(pulldown.substr(0, dot))) return RTERROR;
  auto& bar = menus().bar;
  std::size_t index = std::min<std::size_t>(static_cast<std::size_t>(position - 1), bar.size());
  bar.insert(bar.begin() + static_cast<std::ptrdiff_t>(index), pulldown);
  return RTNORM;
}

// "[label]macro" -> label and macro; false when the line holds no bracketed label.
bool splitItem(const std::string& text, std::string& label, std::string& macro) {
  std::size_t open = text.find('[');
  std::size_t close = open == std::string::npos ? std::string::npos : text.find(']', open);
  if (close == std::string::npos) return false;
  label = text.substr(open + 1, close - open - 1);
  macro = std::string(kestrum::Trim(std::string_view(text).substr(close + 1)));
  return true;
}

// The "***MENUGROUP=" name and the "***POPn" sections of a menu file: each section's first
// bracketed line is its title, the others its items ("[--]" a separator). Sections and items
// beyond the host's limits are left out.
std::map<int, Pulldown> readPulldowns(std::istream& in, std::string& group) {
  std::map<int, Pulldown> pulldowns;
  Pulldown* current = nullptr;
  bool titled = false;
  std::string line;
  while (std::getline(in, line)) {
    std::string text(kestrum::Trim(line));
    std::string upper = cadhost::upperCase(text);
    if (upper.rfind("***MENUGROUP=", 0) == 0) {
      group = cadhost::upperCase(std::string(kestrum::Trim(std::string_view(text).substr(13))));
      continue;
    }
    if (upper.rfind("***", 0) == 0) {
      int number = 0;
      current = nullptr;
      if (upper.rfind("***POP", 0) == 0 && cadhost::parseInt(upper.substr(6), number) && number >= 1 &&
          number <= kMostPulldownsPerGroup) {
        current = &pulldowns[number];
        titled = false;
      }
      continue;
    }
    std::string label, macro;
    if (!current || !splitItem(text, label, macro)) continue;
    if (!titled) {
      current->title = label;
      titled = true;
    } else if (current->items.size() < kMostItemsPerPulldown) {
      current->items.push_back(MenuItem{label, macro, label == "--"});
    }
  }
  return pulldowns;
}

std::string plainLabel(const std::string& label) {
  std::string plain;
  for (char c : label)
    if (c != '&') plain += c;
  return plain;
}

// The command words of a macro: "^C^CCAEP_EXPLORER" -> CAEP_EXPLORER (cancels dropped).
std::string macroCommand(std::string macro) {
  while (macro.rfind("^C", 0) == 0 || macro.rfind("^c", 0) == 0) macro.erase(0, 2);
  return std::string(kestrum::Trim(macro));
}

void listMenuBar() {
  const auto& bar = menus().bar;
  acutPrintf("\nMenu bar: %zu pull-down(s)\n", bar.size());
  for (std::size_t i = 0; i < bar.size(); ++i) {
    auto found = menus().pulldowns.find(bar[i]);
    if (found == menus().pulldowns.end()) {
      acutPrintf("  P%zu %s\n", i + 1, bar[i].c_str());
      continue;
    }
    acutPrintf("  P%zu %s \"%s\"\n", i + 1, bar[i].c_str(), plainLabel(found->second.title).c_str());
    for (const MenuItem& item : found->second.items) {
      if (item.separator)
        acutPrintf("    --\n");
      else
        acutPrintf("    \"%s\" %s\n", plainLabel(item.label).c_str(), macroCommand(item.macro).c_str());
    }
  }
}

// The item labelled `label` (without '&', ignoring case) of a pull-down of `group` on the bar.
const MenuItem* findBarItem(const std::string& group, const std::string& label) {
  std::string prefix = lowerCase(group) + ".";
  for (const std::string& name : menus().bar) {
    if (name.rfind(prefix, 0) != 0) continue;
    auto found = menus().pulldowns.find(name);
    if (found == menus().pulldowns.end()) continue;
    for (const MenuItem& item : found->second.items)
      if (!item.separator && lowerCase(plainLabel(item.label)) == lowerCase(plainLabel(label))) return &item;
  }
  return nullptr;
}

}  // namespace

bool acedIsMenuGroupLoaded(const char* groupName) { return groupName && groupLoaded(groupName); }

int acedMenuCmd(const char* text) {
  if (!text) return RTERROR;
  std::string command = text;
  if (command.size() > 2 && (command[0] == 'P' || command[0] == 'p')) {
    if (command.size() > 2 && command.substr(command.size() - 2) == "=?") {
      std::size_t dot = command.find('.');
      int position = 0;
      if (dot == std::string::npos || !cadhost::parseInt(command.substr(1, dot - 1), position)) return RTERROR;
      bool occupied = position >= 1 && static_cast<std::size_t>(position) <= menus().bar.size();
      return occupied ? RTERROR : RTNORM;
    }
    return insertPulldown(command);
  }
  const bool group = command.size() > 3 && (command[0] == 'G' || command[0] == 'g');
  if (group && command.substr(command.size() - 2) == "=?") {
    std::string pulldown = lowerCase(command.substr(1, command.size() - 3));
    const auto& bar = menus().bar;
    return std::find(bar.begin(), bar.end(), pulldown) != bar.end() ? RTNORM : RTERROR;
  }
  if (group && command.substr(command.size() - 2) == "=-") {
    std::string pulldown = lowerCase(command.substr(1, command.size() - 3));
    auto& bar = menus().bar;
    if (std::find(bar.begin(), bar.end(), pulldown) == bar.end()) return RTERROR;
    removeFromBar(pulldown);
    return RTNORM;
  }
  return RTERROR;
}

int acedFindFile(const char* fileName, char* result, int resultSize) {
  namespace fs = std::filesystem;
  if (!fileName || !*fileName || !result || resultSize <= 0) return RTERROR;
  std::string name = cadhost::normalisePath(fileName);
  std::vector<fs::path> candidates;
  fs::path given(name);
  candidates.push_back(given);
  if (!given.is_absolute()) {
    if (AcApDocument* doc = acDocManagerPtr()->curDocument(); doc && doc->isNamedDrawing())
      candidates.push_back(fs::path(doc->fileName()).parent_path() / given);
    for (const std::string& folder : cadhost::supportPath()) candidates.push_back(fs::path(folder) / given);
  }
  for (const fs::path& candidate : candidates) {
    std::error_code error;
    if (!fs::is_regular_file(candidate, error)) continue;
    std::string full = fs::absolute(candidate, error).lexically_normal().string();
    if (full.size() + 1 > static_cast<std::size_t>(resultSize)) return RTERROR;
    std::memcpy(result, full.c_str(), full.size() + 1);
    return RTNORM;
  }
  return RTERROR;
}

namespace cadhost {

void setSupportPath(const std::vector<std::string>& folders) {
  menus().supportPath = folders;
  menus().supportPathSet = true;
}

std::vector<std::string> supportPath() {
  return menus().supportPathSet ? menus().supportPath : foldersFromEnvironment();
}

std::vector<std::string> loadedMenuGroups() { return menus().groups; }
std::vector<std::string> menuBar() { return menus().bar; }

std::vector<std::pair<std::string, std::string>> menuItems(const std::string& pulldown) {
  std::vector<std::pair<std::string, std::string>> items;
  auto found = menus().pulldowns.find(lowerCase(pulldown));
  if (found == menus().pulldowns.end()) return items;
  for (const MenuItem& item : found->second.items)
    items.emplace_back(item.label, item.separator ? std::string() : macroCommand(item.macro));
  return items;
}

void resetMenus() {
  menus().groups = {"ACAD"};
  menus().bar = defaultBar();
  menus().pulldowns.clear();
}

void resetSupportPath() {
  menus().supportPath.clear();
  menus().supportPathSet = false;
}

// MENULOAD: the group name is the file's "***MENUGROUP=" line, else the file's base name.
int loadMenuFile(const std::string& name) {
  std::string fileName = name;
  if (std::filesystem::path(fileName).extension().empty()) fileName += ".mnu";
  char found[4096];
  if (acedFindFile(fileName.c_str(), found, sizeof found) != RTNORM) {
    acutPrintf("\nCannot find the menu file \"%s\".\n", fileName.c_str());
    return RTERROR;
  }
  std::ifstream file(found);
  std::string group;
  std::map<int, Pulldown> pulldowns = readPulldowns(file, group);
  if (group.empty()) group = upperCase(std::filesystem::path(found).stem().string());
  if (groupLoaded(group)) {
    acutPrintf("\nThe menu group %s is already loaded.\n", group.c_str());
    return RTERROR;
  }
  menus().groups.push_back(group);
  for (auto& [number, pulldown] : pulldowns)
    menus().pulldowns[lowerCase(group) + ".pop" + std::to_string(number)] = std::move(pulldown);
  acutPrintf("\nMenu group %s loaded from %s.\n", group.c_str(), found);
  return RTNORM;
}

// MENUUNLOAD: the group and its pull-downs go.
int unloadMenuGroup(const std::string& name) {
  std::string group = upperCase(name);
  auto& groups = menus().groups;
  auto it = std::find(groups.begin(), groups.end(), group);
  if (it == groups.end()) {
    acutPrintf("\nThe menu group %s is not loaded.\n", group.c_str());
    return RTERROR;
  }
  groups.erase(it);
  std::string prefix = lowerCase(group) + ".";
  std::erase_if(menus().pulldowns, [&](const auto& entry) { return entry.first.rfind(prefix, 0) == 0; });
  auto& bar = menus().bar;
  bar.erase(std::remove_if(bar.begin(), bar.end(), [&](const std::string& p) { return p.rfind(prefix, 0) == 0; }),
            bar.end());
  acutPrintf("\nMenu group %s unloaded.\n", group.c_str());
  return RTNORM;
}

}  // namespace cadhost

namespace cadhost {

// MENU: without words lists the bar; "MENU GROUP LABEL" runs the command of that item.
int menuCommand() {
  if (queuedWordCount() < 2) {
    bool asked = queuedWordCount() == 1;
    if (asked) nextInput("");
    listMenuBar();
    if (asked) {
      refuseAnswer("\nMENU takes a menu group and an item label, or nothing.\n");
      return RTERROR;
    }
    return RTNORM;
  }
  std::optional<InputItem> group = nextInput("");
  std::optional<InputItem> label = nextInput("");
  if (!group || !label) return RTCAN;
  const MenuItem* item = findBarItem(group->text, label->text);
  if (!item) {
    acutPrintf("\nNo item \"%s\" in a pull-down of the menu group %s on the menu bar.\n", label->text.c_str(),
               upperCase(group->text).c_str());
    return RTERROR;
  }
  std::vector<std::string> words = splitWords(macroCommand(item->macro));
  if (words.empty()) return RTNORM;
  std::size_t before = queuedInputCount();
  pushFrontWords(std::vector<std::string>(words.begin() + 1, words.end()));
  int result = runCommand(words[0]);
  while (queuedInputCount() > before) nextInput("");
  return result;
}

}  // namespace cadhost
