#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "arx/acdocman.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/hostcmds.h"
#include "kestrum/text.h"
#include "text_util.h"

namespace {

struct MenuState {
  std::vector<std::string> groups;  // upper-case group names
  std::vector<std::string> bar;     // "group.popN", lower-case, by position
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

// "Pn=+group.popM": insert (or move) a pull-down; "Ggroup.popM=-": take it off.
int insertPulldown(const std::string& text) {
  std::size_t equals = text.find("=+");
  int position = 0;
  if (equals == std::string::npos || !cadhost::parseInt(text.substr(1, equals - 1), position) || position < 1)
    return RTERROR;
  std::string pulldown = lowerCase(text.substr(equals + 2));
  std::size_t dot = pulldown.find('.');
  if (dot == std::string::npos || !groupLoaded(pulldown.substr(0, dot))) return RTERROR;
  removeFromBar(pulldown);
  auto& bar = menus().bar;
  std::size_t index = std::min<std::size_t>(static_cast<std::size_t>(position - 1), bar.size());
  bar.insert(bar.begin() + static_cast<std::ptrdiff_t>(index), pulldown);
  return RTNORM;
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
  if (command.size() > 3 && (command[0] == 'G' || command[0] == 'g') && command.substr(command.size() - 2) == "=-") {
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

void resetMenus() {
  menus().groups = {"ACAD"};
  menus().bar = defaultBar();
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
  std::string line, group;
  while (std::getline(file, line)) {
    std::string text(kestrum::Trim(line));
    if (upperCase(text).rfind("***MENUGROUP=", 0) == 0) {
      group = upperCase(kestrum::Trim(std::string_view(text).substr(13)));
      break;
    }
  }
  if (group.empty()) group = upperCase(std::filesystem::path(found).stem().string());
  if (groupLoaded(group)) {
    acutPrintf("\nThe menu group %s is already loaded.\n", group.c_str());
    return RTERROR;
  }
  menus().groups.push_back(group);
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
  auto& bar = menus().bar;
  bar.erase(std::remove_if(bar.begin(), bar.end(), [&](const std::string& p) { return p.rfind(prefix, 0) == 0; }),
            bar.end());
  acutPrintf("\nMenu group %s unloaded.\n", group.c_str());
  return RTNORM;
}

}  // namespace cadhost
