// The host's input queue and command line: what a person types, picks or cancels, in order.
//
// Input items are typed lines, points, picks (an entity or subentity path with the picked point)
// and ESC. At the command prompt a typed line is split into words ("double quotes" keep blanks):
// the first word is the command, the others answer its prompts in order. At a prompt, a whole
// typed line is one answer. When the queue is empty the input source is asked for the next line
// (the program reads standard input or its script); when it has none the input has ended and
// waiting functions return RTCAN. Lines starting with "@" are user actions for a waiting window:
// they go to the user-action handler, never to the command line. A line holding only ESC (the
// character, or "^[" as typed in a script) is ESC.
//
// A refused answer (not a number, not a point, not one of the choices offered) asks again when a
// person types; in script mode it ends the command with its message instead, so that one bad
// line cannot swallow the lines after it. Script mode also counts the lines that failed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "arx/dbsubent.h"

namespace cadhost {

struct InputItem {
  enum Kind { kLine, kWord, kPoint, kPick, kEscape };
  Kind kind = kLine;
  std::string text;             // kLine, kWord
  double point[3] = {0, 0, 0};  // kPoint, kPick
  AcDbFullSubentPath path;      // kPick
};

// Appends to the queue. queueText splits its text at line ends ("\n", "\r\n"), one line each; a line
// holding only ESC (or "^[") is ESC, as when it comes from the input source.
void queueText(const std::string& text);
void queuePoint(double x, double y, double z = 0.0);
void queuePick(const AcDbFullSubentPath& path, double x = 0, double y = 0, double z = 0);
void queueEscape();
// Puts words at the front of the queue, in order (the answers that follow a command name).
void pushFrontWords(const std::vector<std::string>& words);
void clearInput();
std::size_t queuedInputCount();
// The words typed on the running command's own line that it has not read yet (the words at the
// front of the queue): a command with optional answers reads only these, never a further line.
std::size_t queuedWordCount();

// Where lines come from when the queue is empty; returns false when the input has ended.
using InputSource = std::function<bool(std::string& line)>;
void setInputSource(InputSource source);
// Handles a "@..." line; returns true when a window took it. By default the host prints that
// no window is waiting.
using UserActionHandler = std::function<bool(const std::string& line)>;
void setUserActionHandler(UserActionHandler handler);

// Prints `prompt` and waits for the next item; nullopt when the input has ended.
std::optional<InputItem> nextInput(const char* prompt);
// The same at the idle "Command:" prompt: no input wait is counted, so a document waiting there is
// quiescent (a modeless window's action line may then start work of its own).
std::optional<InputItem> nextCommandInput(const char* prompt);
// Waits for a pick: RTNORM with the path and point, RTCAN on ESC or end of input, RTNONE for
// an empty line; any other input is refused with a message and asked again.
int getPick(const char* prompt, AcDbFullSubentPath& path, double point[3]);

// Script mode (see above); off by default.
void setScriptMode(bool on);
bool scriptMode();
// Prints `message` for a refused answer and, in script mode, marks the running line as failed:
// true when the caller should end the command (RTERROR) rather than ask again.
bool refuseAnswer(const char* message);
// Lines that failed so far (unknown or failed commands, refused answers), and whether the
// running line had a refused answer (then cleared).
int failedLines();
void noteFailedLine();
bool takeRefusedAnswer();

// Number of acedUpdateDisplay calls since start.
int displayUpdates();

}  // namespace cadhost
