#include <charconv>
#include <cstdarg>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "arx/accmd.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "host_internal.h"
#include "text_util.h"

namespace {

struct HostCommand {
  cadhost::CommandContext context;
  cadhost::HostCommandFunc work;
};

struct CommandLineState {
  std::map<std::string, HostCommand> commands;  // by upper-case name
  bool quit = false;
};

CommandLineState& commandLine() {
  static auto* instance = new CommandLineState();
  return *instance;
}

// "_.undo" -> "UNDO": the prefixes only choose the global, built-in name.
std::string commandNameOf(const std::string& typed) {
  std::size_t start = typed.find_first_not_of("_.'");
  return cadhost::upperCase(start == std::string::npos ? "" : typed.substr(start));
}

bool recordsUndo(const std::string& name) {
  return name != "UNDO" && name != "U" && name != "REDO" && name != "QSAVE" && name != "SAVEAS";
}

// Runs the work of a command inside the document's command bracket.
int runInDocument(const std::string& name, const std::function<int()>& work) {
  AcApDocument* doc = acDocManagerPtr()->curDocument();
  if (!doc) {
    acutPrintf("\nNo drawing is open; %s needs one.\n", name.c_str());
    return RTERROR;
  }
  AcDbDatabase* db = doc->database();
  bool outermost = cadhost::commandDepthOf(doc) == 0;
  bool undoGroup = outermost && recordsUndo(name) && !db->isUndoGroupOpen();
  if (undoGroup) db->beginUndoGroup(name);
  ++cadhost::commandDepthOf(doc);
  acDocManagerPtr()->lockDocument(doc, AcAp::kWrite, name.c_str());
  cadhost::notifyEditorReactors("commandWillStart", [&](AcEditorReactor& r) { r.commandWillStart(name.c_str()); });
  int result = RTERROR;
  try {
    result = work();
  } catch (const std::exception& error) {
    acutPrintf("\n%s failed: %s\n", name.c_str(), error.what());
  } catch (...) {
    acutPrintf("\n%s failed.\n", name.c_str());
  }
  // The document is still open: document commands cannot close it.
  acDocManagerPtr()->unlockDocument(doc);
  --cadhost::commandDepthOf(doc);
  if (result == RTNORM)
    cadhost::notifyEditorReactors("commandEnded", [&](AcEditorReactor& r) { r.commandEnded(name.c_str()); });
  else if (result == RTCAN)
    cadhost::notifyEditorReactors("commandCancelled", [&](AcEditorReactor& r) { r.commandCancelled(name.c_str()); });
  else
    cadhost::notifyEditorReactors("commandFailed", [&](AcEditorReactor& r) { r.commandFailed(name.c_str()); });
  if (undoGroup && db->isUndoGroupOpen()) db->endUndoGroup();
  return result;
}

int runRegisteredCommand(AcEdCommand* command) {
  AcRxFunctionPtr function = command->functionAddr();
  return runInDocument(command->globalName(), [function] {
    function();
    return RTNORM;
  });
}

}  // namespace

namespace cadhost {

void addHostCommand(const std::string& name, CommandContext context, HostCommandFunc work) {
  commandLine().commands[upperCase(name)] = HostCommand{context, std::move(work)};
}

int runCommand(const std::string& typedName) {
  std::string name = commandNameOf(typedName);
  auto found = commandLine().commands.find(name);
  if (found != commandLine().commands.end()) {
    if (found->second.context == CommandContext::kApplication) {
      int result = RTERROR;
      guarded(name.c_str(), [&] { result = found->second.work(); });
      return result;
    }
    HostCommandFunc work = found->second.work;  // the table may change while it runs
    return runInDocument(name, work);
  }
  if (AcEdCommand* command = acedRegCmds->lookupCmd(name.c_str())) return runRegisteredCommand(command);
  acutPrintf("\nUnknown command \"%s\".\n", typedName.c_str());
  return RTERROR;
}

bool runNextCommand() {
  if (commandLine().quit) return false;
  std::optional<InputItem> item = nextCommandInput("\nCommand: ");
  if (!item) return false;
  if (item->kind == InputItem::kEscape) return true;  // nextInput showed *Cancel*
  if (item->kind == InputItem::kPoint || item->kind == InputItem::kPick) {
    acutPrintf("\nNo command is waiting for a point or a pick.\n");
    return true;
  }
  std::vector<std::string> words = splitWords(item->text);
  if (words.empty()) return true;
  pushFrontWords(std::vector<std::string>(words.begin() + 1, words.end()));
  std::size_t leftBefore = queuedInputCount() - (words.size() - 1);
  takeRefusedAnswer();
  int result = runCommand(words[0]);
  if (takeRefusedAnswer() || result == RTERROR) noteFailedLine();
  // Answers the command did not ask for are not commands: drop them with a note.
  while (queuedInputCount() > leftBefore) {
    std::optional<InputItem> extra = nextInput("");
    if (extra && (extra->kind == InputItem::kWord)) acutPrintf("\nIgnored extra input: %s\n", extra->text.c_str());
  }
  runQueuedExpressions();
  return !commandLine().quit;
}

void runCommandLoop() {
  while (runNextCommand()) {}
  if (acDocManagerPtr()->documentCount() > 0 || !acrxDynamicLinker->applicationNames().empty())
    acDocManagerPtr()->quit();
}

bool quitRequested() { return commandLine().quit; }

void requestQuit() { commandLine().quit = true; }

void registerBuiltinCommands();

void startHost(bool withDrawing) {
  acrxDynamicLinker;
  acedEditor;
  acedRegCmds;
  acDocManagerPtr();
  commandLine().quit = false;
  registerBuiltinCommands();
  if (withDrawing) acDocManagerPtr()->newDocument();
}

void shutdownHost() {
  acDocManagerPtr()->quit();
  clearInput();
  dropPendingExpressions();  // nothing may run later against a new start
  clearEvaluatedExpressions();
  resetMenus();
  resetSupportPath();
  commandLine().quit = false;
}

}  // namespace cadhost

// ---- acedCommand ------------------------------------------------------------------------------

namespace {

std::string formatReal(double value) {
  char text[64];
  auto [end, error] = std::to_chars(text, text + sizeof text, value);  // "C" whatever the locale
  return error == std::errc() ? std::string(text, end) : "0";
}

std::string formatPoint(const double* p) { return formatReal(p[0]) + "," + formatReal(p[1]) + "," + formatReal(p[2]); }

}  // namespace

int acedCommand(int rtype, ...) {
  std::vector<std::string> words;
  va_list args;
  va_start(args, rtype);
  bool bad = false;
  for (int type = rtype; type != 0 && type != RTNONE; type = va_arg(args, int)) {
    switch (type) {
      case RTSTR: {
        const char* text = va_arg(args, const char*);
        words.push_back(text ? text : "");
        break;
      }
      case RTREAL:
      case RTANG: words.push_back(formatReal(va_arg(args, double))); break;
      case RTSHORT:
      case RTLONG: words.push_back(std::to_string(va_arg(args, int))); break;
      case RTPOINT:
      case RT3DPOINT: words.push_back(formatPoint(va_arg(args, const double*))); break;
      default: bad = true; break;
    }
    if (bad) break;
  }
  va_end(args);
  if (bad || words.empty()) return RTERROR;
  std::size_t before = cadhost::queuedInputCount();
  cadhost::pushFrontWords(std::vector<std::string>(words.begin() + 1, words.end()));
  int result = cadhost::runCommand(words[0]);
  // Drop the answers the command did not take, so they never reach the outer command.
  while (cadhost::queuedInputCount() > before) cadhost::nextInput("");
  return result == RTNORM ? RTNORM : result == RTCAN ? RTCAN : RTERROR;
}
