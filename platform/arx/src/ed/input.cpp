#include <cstring>
#include <deque>
#include <string>
#include <string_view>

#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/hostinput.h"
#include "host_internal.h"
#include "kestrum/text.h"
#include "text_util.h"

namespace {

struct InputState {
  std::deque<cadhost::InputItem> queue;
  cadhost::InputSource source;
  cadhost::UserActionHandler userAction;
  int waiting = 0;
  int displayUpdates = 0;
  bool scriptMode = false;
  bool refusedAnswer = false;
  int failedLines = 0;
};

InputState& input() {
  static auto* instance = new InputState();
  return *instance;
}

bool takeFromSource(std::string& line) { return input().source && input().source(line); }

// Hands "@" lines to the waiting window; true when the item was such a line (and is consumed).
bool isUserAction(const cadhost::InputItem& item) {
  if (item.kind != cadhost::InputItem::kLine || item.text.empty() || item.text[0] != '@') return false;
  bool taken = input().userAction && input().userAction(item.text);
  if (!taken) acutPrintf("\nNo window is waiting for user actions; ignored: %s\n", item.text.c_str());
  return true;
}

// ESC on a line of its own: the character, or the caret notation a script can hold.
bool isEscapeLine(const std::string& line) {
  std::string_view text = kestrum::Trim(line);
  return text == "\x1b" || text == "^[";
}

struct WaitScope {
  WaitScope() { ++input().waiting; }
  ~WaitScope() { --input().waiting; }
};

enum class Answer { kValue, kNone, kCancel, kRetry };

// One answer as text, for the typed-value functions.
Answer nextTextAnswer(const char* prompt, std::string& text, cadhost::InputItem* item = nullptr) {
  std::optional<cadhost::InputItem> next = cadhost::nextInput(prompt);
  if (!next || next->kind == cadhost::InputItem::kEscape) return Answer::kCancel;
  if (item) *item = *next;
  if (next->kind == cadhost::InputItem::kLine || next->kind == cadhost::InputItem::kWord) {
    text = next->text;
    return kestrum::Trim(text).empty() ? Answer::kNone : Answer::kValue;
  }
  return item ? Answer::kValue : Answer::kRetry;
}

}  // namespace

namespace cadhost {

void queueText(const std::string& text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    InputItem item;
    item.text = line;
    if (isEscapeLine(line)) {
      item.kind = InputItem::kEscape;
      item.text.clear();
    }
    input().queue.push_back(item);
    if (end == std::string::npos) break;
    start = end + 1;
  }
}

void queuePoint(double x, double y, double z) {
  InputItem item;
  item.kind = InputItem::kPoint;
  item.point[0] = x, item.point[1] = y, item.point[2] = z;
  input().queue.push_back(item);
}

void queuePick(const AcDbFullSubentPath& path, double x, double y, double z) {
  InputItem item;
  item.kind = InputItem::kPick;
  item.path = path;
  item.point[0] = x, item.point[1] = y, item.point[2] = z;
  input().queue.push_back(item);
}

void queueEscape() {
  InputItem item;
  item.kind = InputItem::kEscape;
  input().queue.push_back(item);
}

void pushFrontWords(const std::vector<std::string>& words) {
  for (auto it = words.rbegin(); it != words.rend(); ++it) {
    InputItem item;
    item.kind = InputItem::kWord;
    item.text = *it;
    input().queue.push_front(item);
  }
}

void clearInput() { input().queue.clear(); }
std::size_t queuedInputCount() { return input().queue.size(); }
std::size_t queuedWordCount() {
  std::size_t count = 0;
  for (const InputItem& item : input().queue) {
    if (item.kind != InputItem::kWord) break;
    ++count;
  }
  return count;
}
void setInputSource(InputSource source) { input().source = std::move(source); }
void setUserActionHandler(UserActionHandler handler) { input().userAction = std::move(handler); }
int inputWaitDepth() { return input().waiting; }

void setScriptMode(bool on) { input().scriptMode = on; }
bool scriptMode() { return input().scriptMode; }

bool refuseAnswer(const char* message) {
  acutPrintf("%s", message);
  if (!input().scriptMode) return false;
  acutPrintf("The command ends here.\n");
  input().refusedAnswer = true;
  return true;
}

int failedLines() { return input().failedLines; }
void noteFailedLine() { ++input().failedLines; }

bool takeRefusedAnswer() {
  bool refused = input().refusedAnswer;
  input().refusedAnswer = false;
  return refused;
}
int displayUpdates() { return input().displayUpdates; }

namespace {

std::optional<InputItem> takeInput(const char* prompt) {
  if (prompt && *prompt) acutPrintf("%s", prompt);
  while (true) {
    if (input().queue.empty()) {
      // The source may also deliver input of its own (copy-data sent while we wait).
      std::string line;
      bool gotLine = takeFromSource(line);
      if (gotLine) queueText(line.empty() ? std::string("\n") : line);
      if (input().queue.empty()) return std::nullopt;
    }
    InputItem item = input().queue.front();
    input().queue.pop_front();
    if (isUserAction(item)) {
      if (prompt && *prompt) acutPrintf("%s", prompt);
      continue;
    }
    // Answers split from a typed line show after their prompt, as if typed there.
    if (item.kind == InputItem::kWord && prompt && *prompt) acutPrintf("%s\n", item.text.c_str());
    if (item.kind == InputItem::kEscape && prompt && *prompt) acutPrintf("*Cancel*\n");
    return item;
  }
}

}  // namespace

std::optional<InputItem> nextInput(const char* prompt) {
  WaitScope waiting;
  return takeInput(prompt);
}

std::optional<InputItem> nextCommandInput(const char* prompt) { return takeInput(prompt); }

int getPick(const char* prompt, AcDbFullSubentPath& path, double point[3]) {
  while (true) {
    std::optional<InputItem> item = nextInput(prompt);
    if (!item || item->kind == InputItem::kEscape) return RTCAN;
    if (item->kind == InputItem::kPick) {
      path = item->path;
      for (int i = 0; i < 3; ++i) point[i] = item->point[i];
      return RTNORM;
    }
    if ((item->kind == InputItem::kLine || item->kind == InputItem::kWord) && kestrum::Trim(item->text).empty())
      return RTNONE;
    if (refuseAnswer("\nSelect an object.\n")) return RTERROR;
  }
}

}  // namespace cadhost

// ---- the acedGet* functions ------------------------------------------------------------------

int acedGetPoint(const ads_point, const char* prompt, ads_point result) {
  while (true) {
    std::string text;
    cadhost::InputItem item;
    Answer answer = nextTextAnswer(prompt, text, &item);
    if (answer == Answer::kCancel) return RTCAN;
    if (answer == Answer::kNone) return RTNONE;
    if (item.kind == cadhost::InputItem::kPoint || item.kind == cadhost::InputItem::kPick) {
      for (int i = 0; i < 3; ++i) result[i] = item.point[i];
      return RTNORM;
    }
    double point[3];
    if (cadhost::parsePoint(kestrum::Trim(text), point)) {
      for (int i = 0; i < 3; ++i) result[i] = point[i];
      return RTNORM;
    }
    if (cadhost::refuseAnswer("\nInvalid point.\n")) return RTERROR;
  }
}

int acedGetInt(const char* prompt, int* result) {
  while (true) {
    std::string text;
    Answer answer = nextTextAnswer(prompt, text);
    if (answer == Answer::kCancel) return RTCAN;
    if (answer == Answer::kNone) return RTNONE;
    int value = 0;
    if (answer == Answer::kValue && cadhost::parseInt(text, value) && value >= -32768 && value <= 32767) {
      if (result) *result = value;
      return RTNORM;
    }
    if (cadhost::refuseAnswer("\nRequires an integer value.\n")) return RTERROR;
  }
}

int acedGetReal(const char* prompt, ads_real* result) {
  while (true) {
    std::string text;
    Answer answer = nextTextAnswer(prompt, text);
    if (answer == Answer::kCancel) return RTCAN;
    if (answer == Answer::kNone) return RTNONE;
    double value = 0;
    if (answer == Answer::kValue && cadhost::parseReal(text, value)) {
      if (result) *result = value;
      return RTNORM;
    }
    if (cadhost::refuseAnswer("\nRequires numeric value.\n")) return RTERROR;
  }
}

int acedGetString(int cronly, const char* prompt, char* result, std::size_t bufferSize) {
  (void)cronly;  // input is already split into answers
  if (!result || bufferSize == 0) return RTERROR;
  while (true) {
    std::string text;
    Answer answer = nextTextAnswer(prompt, text);
    if (answer == Answer::kCancel) return RTCAN;
    if (answer == Answer::kRetry) {
      if (cadhost::refuseAnswer("\nRequires a text answer.\n")) return RTERROR;
      continue;
    }
    if (text.size() >= bufferSize) {
      cadhost::refuseAnswer("\nThe answer is too long.\n");
      return RTERROR;
    }
    std::memcpy(result, text.c_str(), text.size() + 1);
    return RTNORM;
  }
}

int acedGetString(int cronly, const char* prompt, char* result) { return acedGetString(cronly, prompt, result, 133); }

void acedUpdateDisplay() { ++input().displayUpdates; }

// ---- the main window --------------------------------------------------------------------------

bool AcadMainWindow::copyData(unsigned long dwData, const void* data, unsigned long byteCount) {
  if (dwData != 1 || (!data && byteCount)) return false;
  const char* bytes = static_cast<const char*>(data);
  std::string text(bytes, strnlen(bytes, byteCount));
  std::string typed;
  for (char c : text) {
    if (c != '\x1b') {
      typed += c;
      continue;
    }
    if (!typed.empty()) cadhost::queueText(typed), typed.clear();
    if (input().waiting > 0) cadhost::queueEscape();  // nothing waits: ESC has nothing to cancel
  }
  if (!typed.empty()) cadhost::queueText(typed);
  return true;
}

AcadMainWindow* adsw_acadMainWnd() {
  static AcadMainWindow window;
  return &window;
}
