#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "host_internal.h"
#include "kestrum/text.h"
#include "text_util.h"

namespace {

struct LispState {
  std::deque<std::string> pending;
  std::vector<std::string> evaluated;
  int depth = 0;
};

LispState& lisp() {
  static auto* instance = new LispState();
  return *instance;
}

// The host understands one list of a symbol followed by string arguments:
// (command "name" "arg" ...) and (menucmd "text"). Returns false for anything else.
bool parseCall(const std::string& expression, std::string& symbol, std::vector<std::string>& strings) {
  std::string text(kestrum::Trim(expression));
  if (text.size() < 2 || text.front() != '(' || text.back() != ')') return false;
  std::size_t i = 1;
  auto skipBlanks = [&] {
    while (i < text.size() - 1 && (text[i] == ' ' || text[i] == '\t')) ++i;
  };
  skipBlanks();
  while (i < text.size() - 1 && text[i] != ' ' && text[i] != '"') symbol += text[i++];
  symbol = cadhost::upperCase(symbol);
  while (true) {
    skipBlanks();
    if (i >= text.size() - 1) return !symbol.empty();
    if (text[i] != '"') return false;
    std::string value;
    for (++i; i < text.size() - 1 && text[i] != '"'; ++i) {
      if (text[i] == '\\' && i + 1 < text.size() - 1) ++i;
      value += text[i];
    }
    if (i >= text.size() - 1) return false;  // unterminated string
    ++i;
    strings.push_back(value);
  }
}

void evaluate(const std::string& expression) {
  std::string symbol;
  std::vector<std::string> strings;
  if (!parseCall(expression, symbol, strings) || (symbol != "COMMAND" && symbol != "MENUCMD")) {
    acutPrintf("\n; error: the host cannot evaluate %s\n", expression.c_str());
    return;
  }
  if (symbol == "MENUCMD") {
    if (strings.size() != 1 || acedMenuCmd(strings[0].c_str()) != RTNORM)
      acutPrintf("\n; error: menucmd refused %s\n", expression.c_str());
    return;
  }
  if (strings.empty()) return;
  std::size_t before = cadhost::queuedInputCount();
  cadhost::pushFrontWords(std::vector<std::string>(strings.begin() + 1, strings.end()));
  cadhost::runCommand(strings[0]);
  while (cadhost::queuedInputCount() > before) cadhost::nextInput("");
}

}  // namespace

int ads_queueexpr(const char* expression) {
  if (!expression || !*expression) return RTERROR;
  lisp().pending.push_back(expression);
  return RTNORM;
}

namespace cadhost {

int lispDepth() { return lisp().depth; }

void runQueuedExpressions() {
  while (!lisp().pending.empty()) {
    std::string expression = lisp().pending.front();
    lisp().pending.pop_front();
    lisp().evaluated.push_back(expression);
    std::string firstLine = expression.substr(0, expression.find('\n'));
    ++lisp().depth;
    notifyEditorReactors("lispWillStart", [&](AcEditorReactor& r) { r.lispWillStart(firstLine.c_str()); });
    guarded("LISP", [&] { evaluate(expression); });
    --lisp().depth;
    notifyEditorReactors("lispEnded", [&](AcEditorReactor& r) { r.lispEnded(); });
  }
}

std::vector<std::string> evaluatedExpressions() { return lisp().evaluated; }
std::vector<std::string> pendingExpressions() { return {lisp().pending.begin(), lisp().pending.end()}; }
void clearEvaluatedExpressions() { lisp().evaluated.clear(); }
void dropPendingExpressions() { lisp().pending.clear(); }

}  // namespace cadhost
