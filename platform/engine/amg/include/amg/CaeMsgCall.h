// Engine messages: texts by 32-bit code, the message routine, message levels.
//
// Levels: 0 information (command line), 1 warning, 2 error. CaeMsgCall::Message formats the code's
// text (through the installed text override, else the engine's own table), hands level and text to
// the installed message routine when that level is enabled (level 2 always is: no error is ever
// silent), and at level 2 then raises CaeExcept with the same text: code after a level-2 message
// may assume that it never runs. Without a routine, the text goes to the standard error stream.
//
// Texts follow the FormatMessage convention: "%1" to "%99" take the arguments (argument 1 first;
// a missing argument gives an empty insert), "%%" is "%", "%n" is "\r\n", "%r" "\r", "%t" a tab,
// "%." ".", "%!" "!", "%0" ends the text; a "!fmt!" after an insert number is skipped.
#pragma once
#include <cstdint>
#include <initializer_list>

#include "amg/CaeArray.h"
#include "amg/CaeString.h"

// Codes of the engine's own message table that the engine itself raises.
enum : std::uint32_t {
  kCaeMsgGeneralError = 0xc0000fa2,    // "General Error in %1 at line %2\r\n"
  kCaeMsgCannotOpenFile = 0xc0000fa6,  // "Could not open file %1 \r\n"
};

class CaeMsgTxt {
 public:
  // The system's text source: code and arguments (null when none) give the formatted text.
  using OverrideRoutine = CaeString (*)(std::uint32_t code, const CaeArray<CaeString>* args);

  // Installs the text override (null removes it); returns the previous one.
  static OverrideRoutine SetOverrideMsgRtn(OverrideRoutine routine);
  static OverrideRoutine GetOverrideMsgRtn();

  // The formatted text of a code: the override's answer when one is installed and it is not empty,
  // else the engine's table entry formatted with the arguments. A code in neither gives
  // "Message 0x........" with the arguments appended, so no message is ever empty for want of a
  // text.
  static CaeString GetMessage(std::uint32_t code);
  static CaeString GetMessage(std::uint32_t code, const CaeArray<CaeString>& args);

  // The engine table's unformatted text of a code, or null when the table has none.
  static const char* TableText(std::uint32_t code);
  // Formats `pattern` with the FormatMessage convention above.
  static CaeString Format(const char* pattern, const CaeArray<CaeString>* args);
};

class CaeMsgCall {
 public:
  using Routine = void (*)(int level, const CaeString& text);

  // Installs the message routine (null removes it); returns the previous one.
  static Routine SetMsgRoutine(Routine routine);
  // Enables or disables delivery of a level (0 .. 31) to the routine. Levels 0 to 3 start enabled,
  // the others disabled. Level 2 is delivered and raised even when disabled.
  static void SetMsgLevel(int level);
  static void ClearMsgLevel(int level);
  static bool IsMsgLevelSet(int level);

  static void Message(int level, std::uint32_t code);
  static void Message(int level, std::uint32_t code, const CaeArray<CaeString>& args);
  static void Message(int level, std::uint32_t code, std::initializer_list<CaeString> args);

  // A level-2 report that does not raise: the routine shows it and the caller goes on.
  static void Error(std::uint32_t code);
  // Level 0 (command line): the text of `id` through the text override (string-table texts).
  static void Info(std::uint32_t id);

  // The consistency check: message 0xc0000fa2 at level 2 with the source file and line, then
  // CaeExcept. Use CAE_GENERAL_ERROR() or CAE_CHECK(condition) rather than calling it directly.
  [[noreturn]] static void GeneralError(const char* sourceFile, int line);
};

// Reports a consistency check at the current source file and line and raises CaeExcept.
#define CAE_GENERAL_ERROR() CaeMsgCall::GeneralError(__FILE__, __LINE__)
// Reports a consistency check when `condition` does not hold.
#define CAE_CHECK(condition)                                        \
  do {                                                              \
    if (!(condition)) CaeMsgCall::GeneralError(__FILE__, __LINE__); \
  } while (0)
