#include "amg/CaeConfig.h"

#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "EngineMessages.h"
#include "amg/CaeAtomicFile.h"
#include "amg/CaeMsgCall.h"
#include "kestrum/text.h"

namespace fs = std::filesystem;

namespace {

constexpr int kNoSection = -1;
constexpr int kOtherSection = 2;

struct ParsedLine {
  enum Kind { kBlank, kSection, kSetting, kMalformed } kind = kBlank;
  int section = kNoSection;  // for kSection: the scope it opens
  std::string key;
  std::string value;
};

struct Store {
  bool loaded = false;
  fs::path path;
  std::vector<std::string> lines;  // the file as read, kept verbatim so a rewrite loses nothing
};

std::mutex mutex;
Store store;

std::string Trim(std::string_view text) { return std::string(kestrum::Trim(text)); }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

const char* SectionName(int scope) { return scope == 0 ? "User" : "Common"; }

int ScopeOfSection(std::string_view name) {
  if (SameName(name, "User")) return 0;
  if (SameName(name, "Common")) return 1;
  return kOtherSection;
}

ParsedLine Parse(const std::string& raw) {
  ParsedLine line;
  std::string text = Trim(raw);
  if (text.empty() || text[0] == ';' || text[0] == '#') return line;
  if (text.front() == '[') {
    if (text.back() != ']') {
      line.kind = ParsedLine::kMalformed;
      return line;
    }
    line.kind = ParsedLine::kSection;
    line.section = ScopeOfSection(Trim(std::string_view(text).substr(1, text.size() - 2)));
    return line;
  }
  std::size_t equals = text.find('=');
  std::string key = equals == std::string::npos ? std::string() : Trim(std::string_view(text).substr(0, equals));
  if (key.empty()) {
    line.kind = ParsedLine::kMalformed;
    return line;
  }
  line.kind = ParsedLine::kSetting;
  line.key = key;
  line.value = Trim(std::string_view(text).substr(equals + 1));
  return line;
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : fallback;
}

fs::path UserFolder() {
  if (const char* dir = std::getenv("KESTRUM_USER_DIR"); dir && *dir) return fs::path(dir);
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) return fs::path(xdg) / "kestrum";
  return fs::path(EnvOr("HOME", ".")) / ".config" / "kestrum";
}

fs::path ConfigPath() {
  if (const char* file = std::getenv("KESTRUM_CONFIG"); file && *file) return fs::path(file);
  return UserFolder() / "kestrum.ini";
}

// Warnings are collected while the store is locked and shown after it is released, so a message
// routine that reads the configuration cannot deadlock.
struct Warning {
  std::uint32_t code;
  CaeArray<CaeString> args;
};
using Warnings = std::vector<Warning>;

void Show(const Warnings& warnings) {
  for (const Warning& w : warnings) CaeMsgCall::Message(1, w.code, w.args);
}

// Reads the file into the store (lines verbatim) and reports the lines it cannot use.
void LoadLocked(Warnings& warnings) {
  store = Store();
  store.loaded = true;
  store.path = ConfigPath();
  std::error_code error;
  if (!fs::exists(store.path, error)) {
    fs::path folder = store.path.parent_path();
    if (std::getenv("KESTRUM_CONFIG") && !folder.empty() && !fs::is_directory(folder, error))
      warnings.push_back({amg_msg::kConfigNoFolder, {CaeString(store.path.string())}});
    return;
  }
  std::ifstream in(store.path, std::ios::binary);
  if (!in) {
    warnings.push_back({kCaeMsgCannotOpenFile, {CaeString(store.path.string())}});
    return;
  }
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    ++number;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    if (Parse(raw).kind == ParsedLine::kMalformed)
      warnings.push_back(
          {amg_msg::kConfigBadLine, {CaeString(store.path.string()), CaeString::FromInt(number), CaeString(raw)}});
    store.lines.push_back(raw);
  }
}

void EnsureLoaded(Warnings& warnings) {
  if (!store.loaded) LoadLocked(warnings);
}

// Index of the first setting `name` in the section of `scope`, or -1.
int FindSetting(const std::string& name, int scope) {
  int section = kNoSection;
  for (std::size_t i = 0; i < store.lines.size(); ++i) {
    ParsedLine line = Parse(store.lines[i]);
    if (line.kind == ParsedLine::kSection) section = line.section;
    if (line.kind == ParsedLine::kSetting && section == scope && SameName(line.key, name)) return static_cast<int>(i);
  }
  return -1;
}

// Where a new setting of `scope` goes: after the last non-blank line of its section; -1 when the
// file has no such section.
int InsertionPoint(int scope) {
  int section = kNoSection;
  int point = -1;
  for (std::size_t i = 0; i < store.lines.size(); ++i) {
    ParsedLine line = Parse(store.lines[i]);
    if (line.kind == ParsedLine::kSection) {
      section = line.section;
      if (section == scope && point < 0) point = static_cast<int>(i) + 1;
      continue;
    }
    if (section == scope && line.kind != ParsedLine::kBlank) point = static_cast<int>(i) + 1;
  }
  return point;
}

fs::path ScratchFolder() {
  if (const char* dir = std::getenv("KESTRUM_USER_DIR"); dir && *dir) return fs::path(dir) / "scratch";
  return fs::path(EnvOr("TMPDIR", "/tmp")) / ("kestrum-" + std::to_string(::getuid()));
}

std::optional<std::string> Default(const std::string& name) {
  if (SameName(name, "Root Directory")) return std::string(KESTRUM_AMG_DATA_DIR);
  if (SameName(name, "Common Directory")) return std::string(KESTRUM_AMG_COMMON_DIR);
  if (SameName(name, "Graph Font")) return std::string("Arial");
  if (SameName(name, "Scratch Directory")) {
    fs::path folder = ScratchFolder();
    std::error_code error;
    fs::create_directories(folder, error);
    return folder.string();
  }
  return std::nullopt;
}

std::optional<std::string> LookupLocked(const std::string& name, int scope) {
  for (int s = scope == 0 ? 0 : 1; s <= 1; ++s) {
    int index = FindSetting(name, s);
    if (index >= 0) return Parse(store.lines[static_cast<std::size_t>(index)]).value;
  }
  return Default(name);
}

std::optional<std::string> Lookup(const std::string& name, int scope) {
  Warnings warnings;
  std::optional<std::string> value;
  {
    std::lock_guard lock(mutex);
    EnsureLoaded(warnings);
    value = LookupLocked(name, scope);
  }
  Show(warnings);
  return value;
}

bool ValidText(const std::string& text) { return text.find_first_of("\r\n") == std::string::npos; }

bool ValidName(const std::string& name) {
  std::string trimmed = Trim(name);
  return !trimmed.empty() && trimmed == name && ValidText(name) && name.find('=') == std::string::npos &&
         name[0] != '[' && name[0] != ';' && name[0] != '#';
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string content;
  for (const std::string& line : lines) content += line + "\n";
  return content;
}

// Writes the setting into a copy of the lines and, once the file holds them, into the store.
bool StoreLocked(const std::string& key, const std::string& value, int scope, Warnings& warnings) {
  std::string text = Trim(value);
  if (!ValidName(key) || !ValidText(text)) {
    warnings.push_back(
        {amg_msg::kConfigWriteFailed, {CaeString(store.path.string()), CaeString("invalid name or value: " + key)}});
    return false;
  }
  int section = scope == 0 ? 0 : 1;
  std::vector<std::string> lines = store.lines;
  std::string setting = key + "=" + text;
  if (int index = FindSetting(key, section); index >= 0) {
    lines[static_cast<std::size_t>(index)] = setting;
  } else if (int point = InsertionPoint(section); point >= 0) {
    lines.insert(lines.begin() + point, setting);
  } else {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.push_back("");
    lines.push_back(std::string("[") + SectionName(section) + "]");
    lines.push_back(setting);
  }
  std::error_code ignored;
  if (!std::getenv("KESTRUM_CONFIG")) fs::create_directories(store.path.parent_path(), ignored);
  std::string error;
  if (!CaeFile::WriteAtomically(store.path, Joined(lines), error)) {
    warnings.push_back({amg_msg::kConfigWriteFailed, {CaeString(store.path.string()), CaeString(error)}});
    return false;
  }
  store.lines = std::move(lines);
  return true;
}

}  // namespace

void CaeConfig::InitSystem(int, const CaeString&, const CaeString&, const CaeString&) {
  Warnings warnings;
  {
    std::lock_guard lock(mutex);
    LoadLocked(warnings);
  }
  Show(warnings);
}

std::optional<CaeString> CaeConfig::GetValue(const CaeString& name, int scope) {
  std::optional<std::string> value = Lookup(name.Str(), scope);
  if (!value) return std::nullopt;
  return CaeString(*value);
}

bool CaeConfig::GetValue(int scope, const CaeString& name, CaeString& value) {
  std::optional<CaeString> found = GetValue(name, scope);
  if (!found) return false;
  value = *found;
  return true;
}

bool CaeConfig::GetValue(const CaeString& name, int scope, long& value) {
  std::optional<CaeString> found = GetValue(name, scope);
  return found && found->ToInt(value);
}

bool CaeConfig::SetValue(const CaeString& name, const CaeString& value, int scope) {
  Warnings warnings;
  bool stored;
  {
    std::lock_guard lock(mutex);
    EnsureLoaded(warnings);
    stored = StoreLocked(name.Str(), value.Str(), scope, warnings);
  }
  Show(warnings);
  return stored;
}

bool CaeConfig::SetValue(int scope, const CaeString& name, const CaeString& value) {
  return SetValue(name, value, scope);
}

CaeString CaeConfig::GetOndrelLocale() { return "ENU"; }

fs::path CaeConfig::FilePath() {
  Warnings warnings;
  fs::path path;
  {
    std::lock_guard lock(mutex);
    EnsureLoaded(warnings);
    path = store.path;
  }
  Show(warnings);
  return path;
}

void CaeConfig::Reset() {
  std::lock_guard lock(mutex);
  store = Store();
}
