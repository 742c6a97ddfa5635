#include "mfc/action_lines.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <utility>

#include "kestrum/text.h"
#include "mfc/log.h"
#include "mfc/menu.h"
#include "mfc/ole.h"
#include "mfc/render.h"
#include "mfc/resources.h"
#include "mfc/user_actions.h"
#include "mfc/winapi.h"
#include "window_internal.h"

namespace mfc {
namespace {

struct Parsed {
  std::string verb;     // "set", "select" ...
  std::string first;    // the word after the verb
  std::string rest;     // everything after the first word
  std::string all;      // everything after the verb
  std::string restRaw;  // everything after the first word, quotes kept
  std::string allRaw;   // everything after the verb, quotes kept
};

std::string trim(std::string_view text) { return std::string(kestrum::Trim(text)); }

std::string unquote(const std::string& text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  return text;
}

Parsed parse(const std::string& line) {
  Parsed p;
  std::string body = trim(line).substr(1);
  size_t space = body.find_first_of(" \t");
  p.verb = body.substr(0, space);
  p.all = space == std::string::npos ? std::string() : trim(body.substr(space));
  size_t next = p.all.find_first_of(" \t");
  p.first = p.all.substr(0, next);
  p.restRaw = next == std::string::npos ? std::string() : trim(p.all.substr(next));
  p.rest = unquote(p.restRaw);
  p.allRaw = p.all;
  p.all = unquote(p.all);
  return p;
}

bool isActionLine(const std::string& text) {
  std::string t = trim(text);
  return !t.empty() && t[0] == '@';
}

const char* const kVerbs[] = {"set", "select", "check", "click", "menu",  "file",   "show", "dblclick", "rclick",
                              "key", "edit",   "drag",  "spin",  "mouse", "window", "png",  "wait",     "sys"};

// The first word of `text` (a double-quoted one may hold blanks) and the rest, unquoted.
std::pair<std::string, std::optional<std::string>> firstAndRest(const std::string& text) {
  std::string first;
  size_t end = 0;
  if (!text.empty() && text[0] == '"') {
    size_t close = text.find('"', 1);
    first = text.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    end = close == std::string::npos ? text.size() : close + 1;
  } else {
    end = text.find_first_of(" \t");
    first = text.substr(0, end);
    if (end == std::string::npos) end = text.size();
  }
  std::string rest = trim(text.substr(end));
  if (rest.empty()) return {first, std::nullopt};
  return {first, unquote(rest)};
}

// Key names of "@key": Delete, Enter, Escape, or a virtual-key number.
bool keyCode(const std::string& name, UINT& key) {
  if (strcasecmp(name.c_str(), "Delete") == 0)
    key = VK_DELETE;
  else if (strcasecmp(name.c_str(), "Enter") == 0)
    key = VK_RETURN;
  else if (strcasecmp(name.c_str(), "Escape") == 0 || strcasecmp(name.c_str(), "Esc") == 0)
    key = VK_ESCAPE;
  else if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos && name.size() < 4)
    key = static_cast<UINT>(std::stoi(name));
  else
    return false;
  return true;
}

bool knownVerb(const std::string& verb) {
  for (const char* v : kVerbs)
    if (verb == v) return true;
  return false;
}

// ---- modeless windows, pictures, mouse input and waiting ----

constexpr int kLongestWait = 600000;  // ms

std::string titleOf(HWND window) {
  char text[512] = {};
  ::GetWindowText(window, text, sizeof text);
  return text;
}

// The newest visible top-level window with that title.
HWND windowTitled(const std::string& title) {
  HWND found = nullptr;
  for (HWND window : topLevelWindows())
    if (::IsWindowVisible(window) && titleOf(window) == title) found = window;
  return found;
}

// The first hosted control among a window's descendants that has a picture, written to `path`.
bool saveHostedPicture(HWND window, const std::string& path, std::string& error) {
  for (HWND child : window->children) {
    if (HostedControl* control = hostedControl(child)) {
      if (control->savePicture(path, error)) return true;
    } else if (saveHostedPicture(child, path, error)) {
      return true;
    }
  }
  return false;
}

// "@png TITLE FILE": the window's own picture, else that of a control it hosts.
std::string userPicture(const std::string& arguments) {
  auto [title, file] = firstAndRest(arguments);
  if (!file || file->empty()) return "@png needs a window title and a file";
  HWND window = windowTitled(title);
  if (!window) return "there is no window \"" + title + "\"";
  std::string error = "the window has no picture";
  const CWnd* object = CWnd::FromHandlePermanent(window);
  if (object && object->SavePicture(*file, error)) return std::string();
  if (saveHostedPicture(window, *file, error)) return std::string();
  return "the picture was not saved: " + error;
}

// "@mouse ID down|move|up|dblclick X Y [shift]" on a hosted control of the window.
std::string userMouse(HWND window, int id, const std::string& rest) {
  char action[16] = {}, shift[16] = {};
  int x = 0, y = 0;
  const int read = std::sscanf(rest.c_str(), "%15s %d %d %15s", action, &x, &y, shift);
  const std::string verb = action;
  if (read < 3 || (read == 4 && std::string(shift) != "shift"))
    return "@mouse needs down, move, up or dblclick, x and y in pixels, and maybe 'shift'";
  MouseAction kind;
  if (verb == "down")
    kind = MouseAction::Down;
  else if (verb == "move")
    kind = MouseAction::Move;
  else if (verb == "up")
    kind = MouseAction::Up;
  else if (verb == "dblclick")
    kind = MouseAction::DoubleClick;
  else
    return "@mouse needs down, move, up or dblclick, not '" + verb + "'";
  HWND control = detail::findDescendant(window, id, false);
  HostedControl* hosted = control ? hostedControl(control) : nullptr;
  if (!hosted) return "control " + std::to_string(id) + " is not a hosted control";
  if (!hosted->mouse(kind, x, y, read == 4)) return "control " + std::to_string(id) + " takes no mouse input";
  return std::string();
}

// "@wait MS": lets the toolkit run (timers, posted messages) for that long.
std::string userWait(const std::string& text) {
  char* end = nullptr;
  const long ms = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || ms < 0 || ms > kLongestWait)
    return "@wait needs milliseconds 0 to " + std::to_string(kLongestWait);
  const std::uint64_t until = clockNow() + static_cast<std::uint64_t>(ms);
  if (usingTestClock()) {
    advanceClock(static_cast<std::uint64_t>(ms));
    pumpMessages();
    return std::string();
  }
  while (clockNow() < until) {
    pumpMessages();
    waitForMessage(static_cast<int>(std::min<std::uint64_t>(until - clockNow(), 20)));
  }
  pumpMessages();
  return std::string();
}

}  // namespace

ActionLineDriver::ActionLineDriver(std::function<std::optional<ActionLine>()> next,
                                   std::function<void(const std::string&)> print)
    : next_(std::move(next)), print_(std::move(print)) {}

void ActionLineDriver::report(const ActionLine& line, const std::string& what) {
  std::string text = "line " + std::to_string(line.number) + ": " + what;
  if (print_)
    print_(text + "\n");
  else
    log(text);  // printed once: hosts often echo the log as well
}

bool ActionLineDriver::handleLineWithoutWindow(const ActionLine& line) {
  if (!isActionLine(line.text)) return false;
  if (chosen_ && !detail::isLive(chosen_)) chosen_ = nullptr;
  HWND panel = chosen_ ? chosen_ : waitingModelessWindow();
  if (!panel && fallback_) panel = fallback_();
  if (!panel) {
    report(line, "no window is waiting; ignored");
    return true;
  }
  actOnWindow(panel, line);
  pumpMessages();
  return true;
}

std::optional<ActionLine> ActionLineDriver::takePutBack() {
  std::optional<ActionLine> line = std::move(putBack_);
  putBack_.reset();
  return line;
}

std::optional<ActionLine> ActionLineDriver::nextActionLine(const std::string& waitingText) {
  if (putBack_) return std::nullopt;  // the host has a line of its own to handle first
  if (interactive_ && print_) print_(waitingText);
  std::optional<ActionLine> line = next_ ? next_() : std::nullopt;
  if (!line) return std::nullopt;
  if (!isActionLine(line->text)) {
    putBack_ = line;
    return std::nullopt;
  }
  return line;
}

bool ActionLineDriver::actOnWindow(HWND hwnd, const ActionLine& line) {
  Parsed p = parse(line.text);
  if (!knownVerb(p.verb)) {
    report(line, "unknown action '@" + p.verb + "'");
    return false;
  }
  if (p.verb == "show") {
    if (print_) print_(renderWindow(hwnd));
    return false;
  }
  if (p.verb == "file") {
    report(line, "no file dialog is waiting; ignored");
    return false;
  }
  std::string error;
  if (p.verb == "window") {
    HWND chosen = windowTitled(p.all);
    if (!chosen) {
      report(line, "there is no window \"" + p.all + "\"; ignored");
      return false;
    }
    chosen_ = chosen;
    return true;
  }
  if (p.verb == "png") {
    error = userPicture(p.allRaw);
  } else if (p.verb == "wait") {
    error = userWait(p.all);
  } else if (p.verb == "sys") {
    // "@sys minimize|maximize|dblclick": the window's system menu or a double click on its title.
    if (p.all == "minimize") {
      ::SendMessage(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (p.all == "maximize") {
      ::SendMessage(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else if (p.all == "dblclick") {
      ::SendMessage(hwnd, WM_NCLBUTTONDBLCLK, 0, 0);
    } else {
      report(line, "@sys needs minimize, maximize or dblclick");
      return false;
    }
  } else if (p.verb == "menu") {
    error = userMenu(hwnd, p.all);
  } else {
    int id = 0;
    if (p.first.empty()) {
      report(line, "@" + p.verb + " needs a control id");
      return false;
    }
    if (!resolveId(p.first, id)) {
      report(line, "unknown control id '" + p.first + "'");
      return false;
    }
    if (p.verb == "set") {
      error = userSetText(hwnd, id, p.rest);
    } else if (p.verb == "select") {
      error = userSelect(hwnd, id, p.rest);
    } else if (p.verb == "click") {
      error = userClick(hwnd, id);
    } else if (p.verb == "dblclick") {
      error = userDoubleClickTreeItem(hwnd, id, p.rest);
    } else if (p.verb == "rclick") {
      error = userRightClickTreeItem(hwnd, id, p.rest);
    } else if (p.verb == "key") {
      UINT key = 0;
      if (!keyCode(p.rest, key)) {
        report(line, "@key needs Delete, Enter, Escape or a key number");
        return false;
      }
      error = userKey(hwnd, id, key);
    } else if (p.verb == "mouse") {
      error = userMouse(hwnd, id, p.rest);
    } else if (p.verb == "spin") {
      if (p.rest != "up" && p.rest != "down") {
        report(line, "@spin needs 'up' or 'down'");
        return false;
      }
      error = userSpin(hwnd, id, p.rest == "up");
    } else if (p.verb == "edit") {
      auto [item, text] = firstAndRest(p.restRaw);
      error = userEditTreeLabel(hwnd, id, item, text);
    } else if (p.verb == "drag") {
      auto [item, target] = firstAndRest(p.restRaw);
      if (!target) {
        report(line, "@drag needs an item and a target");
        return false;
      }
      error = userDragTreeItem(hwnd, id, item, *target);
    } else {  // check
      size_t lastSpace = p.rest.find_last_of(" \t");
      std::string onOff = lastSpace == std::string::npos ? p.rest : p.rest.substr(lastSpace + 1);
      std::string entry = lastSpace == std::string::npos ? std::string() : unquote(trim(p.rest.substr(0, lastSpace)));
      if (onOff != "on" && onOff != "off") {
        report(line, "@check needs 'on' or 'off'");
        return false;
      }
      error = entry.empty() ? userCheck(hwnd, id, onOff == "on") : userCheckEntry(hwnd, id, entry, onOff == "on");
    }
  }
  if (!error.empty()) {
    report(line, error + "; ignored");
    return false;
  }
  return true;
}

bool ActionLineDriver::onModalIdle(CWnd& window) {
  HWND hwnd = window.m_hWnd;
  while (detail::isLive(hwnd)) {
    std::optional<ActionLine> line = nextActionLine(renderWindow(hwnd));
    if (!line) return false;
    if (actOnWindow(hwnd, *line)) return true;
  }
  return true;
}

int ActionLineDriver::onMessageBox(const MessageBoxRequest& box) {
  while (true) {
    std::optional<ActionLine> line = nextActionLine(renderMessageBox(box));
    if (!line) return 0;
    Parsed p = parse(line->text);
    if (p.verb == "show") {
      if (print_) print_(renderMessageBox(box));
      continue;
    }
    if (p.verb != "click") {
      report(*line, "a message box is waiting: answer it with @click; ignored");
      continue;
    }
    int id = 0;
    if (!resolveId(p.first, id) || id < IDOK || id > IDNO) {
      report(*line, "'" + p.first + "' is not a message-box button; ignored");
      continue;
    }
    return id;
  }
}

std::optional<std::string> ActionLineDriver::onFileDialog(const FileDialogRequest& dialog) {
  while (true) {
    std::optional<ActionLine> line = nextActionLine(renderFileDialog(dialog));
    if (!line) return std::nullopt;
    Parsed p = parse(line->text);
    if (p.verb == "show") {
      if (print_) print_(renderFileDialog(dialog));
      continue;
    }
    if (p.verb != "file" || p.all.empty()) {
      report(*line, "a file dialog is waiting: answer it with @file PATH or @file cancel; ignored");
      continue;
    }
    if (p.all == "cancel") return std::nullopt;
    return p.all;
  }
}

UINT ActionLineDriver::onPopupMenu(const CMenu& menu, CWnd*) {
  while (true) {
    std::optional<ActionLine> line = nextActionLine(renderMenu(menu));
    if (!line) return 0;
    Parsed p = parse(line->text);
    if (p.verb == "show") {
      if (print_) print_(renderMenu(menu));
      continue;
    }
    if (p.verb != "menu" || p.all.empty()) {
      report(*line, "a popup menu is waiting: pick an item with @menu TEXT; ignored");
      continue;
    }
    std::string wanted = menuTextPlain(p.all);
    std::function<UINT(const CMenu&)> find = [&](const CMenu& m) -> UINT {
      for (const CMenu::Item& item : m.items()) {
        if (item.popup) {
          if (UINT inner = find(*item.popup)) return inner;
        } else if (!(item.flags & MF_SEPARATOR) && strcasecmp(menuTextPlain(item.text).c_str(), wanted.c_str()) == 0) {
          return item.id;
        }
      }
      return 0;
    };
    UINT id = find(menu);
    if (!id) {
      report(*line, "the menu has no item '" + p.all + "'; ignored");
      continue;
    }
    return id;
  }
}

}  // namespace mfc
