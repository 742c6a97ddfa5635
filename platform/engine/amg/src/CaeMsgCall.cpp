#include "amg/CaeMsgCall.h"

#include <atomic>
#include <cstdio>

#include "EngineState.h"
#include "amg/CaeExcept.h"

namespace {

constexpr std::uint32_t kDefaultLevels = 0xfu;  // levels 0 to 3

std::atomic<CaeMsgCall::Routine> routine{nullptr};
std::atomic<CaeMsgTxt::OverrideRoutine> textOverride{nullptr};
std::atomic<std::uint32_t> levels{kDefaultLevels};

bool ValidLevel(int level) { return level >= 0 && level < 32; }

const CaeString* Argument(const CaeArray<CaeString>* args, int number) {
  if (!args || number < 1 || number > args->Count()) return nullptr;
  return args->ItemAt(number - 1);
}

// Reads an insert number of one or two digits at text[i]; advances i past it and past a "!fmt!"
// that follows.
int ReadInsertNumber(const char* text, std::size_t& i) {
  int number = text[i] - '0';
  ++i;
  if (text[i] >= '0' && text[i] <= '9') {
    number = number * 10 + (text[i] - '0');
    ++i;
  }
  if (text[i] == '!') {
    std::size_t close = i + 1;
    while (text[close] && text[close] != '!') ++close;
    if (text[close] == '!') i = close + 1;
  }
  return number;
}

void Deliver(int level, const CaeString& text) {
  if (level != 2 && !CaeMsgCall::IsMsgLevelSet(level)) return;
  if (CaeMsgCall::Routine current = routine.load()) {
    current(level, text);
    return;
  }
  std::fprintf(stderr, "[engine message, level %d] %s\n", level, text.Text());
}

}  // namespace

CaeString CaeMsgTxt::Format(const char* pattern, const CaeArray<CaeString>* args) {
  CaeString out;
  if (!pattern) return out;
  for (std::size_t i = 0; pattern[i];) {
    char c = pattern[i];
    if (c != '%' || !pattern[i + 1]) {
      out += c;
      ++i;
      continue;
    }
    char next = pattern[i + 1];
    if (next >= '1' && next <= '9') {
      i += 1;
      int number = ReadInsertNumber(pattern, i);
      if (const CaeString* arg = Argument(args, number)) out += *arg;
      continue;
    }
    i += 2;
    switch (next) {
      case '0': return out;
      case 'n': out += "\r\n"; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      default: out += next; break;  // "%%", "%.", "%!" and any other escaped character
    }
  }
  return out;
}

CaeMsgTxt::OverrideRoutine CaeMsgTxt::SetOverrideMsgRtn(OverrideRoutine routineIn) {
  return textOverride.exchange(routineIn);
}

CaeMsgTxt::OverrideRoutine CaeMsgTxt::GetOverrideMsgRtn() { return textOverride.load(); }

namespace {

// The override's text, unless it has none for the code: then the engine's own, so that no message
// the engine knows ever reaches the routine empty.
CaeString TextOf(std::uint32_t code, const CaeArray<CaeString>* args) {
  if (CaeMsgTxt::OverrideRoutine current = textOverride.load()) {
    CaeString text = current(code, args);
    if (!text.IsEmpty()) return text;
  }
  if (const char* pattern = CaeMsgTxt::TableText(code)) return CaeMsgTxt::Format(pattern, args);
  CaeString text = CaeString::Format("Message 0x%08x", static_cast<unsigned>(code));
  for (int i = 0; args && i < args->Count(); ++i) text += " " + (*args)[i];
  return text;
}

}  // namespace

CaeString CaeMsgTxt::GetMessage(std::uint32_t code) { return TextOf(code, nullptr); }

CaeString CaeMsgTxt::GetMessage(std::uint32_t code, const CaeArray<CaeString>& args) { return TextOf(code, &args); }

CaeMsgCall::Routine CaeMsgCall::SetMsgRoutine(Routine routineIn) { return routine.exchange(routineIn); }

void CaeMsgCall::SetMsgLevel(int level) {
  if (ValidLevel(level)) levels.fetch_or(1u << level);
}

void CaeMsgCall::ClearMsgLevel(int level) {
  if (ValidLevel(level)) levels.fetch_and(~(1u << level));
}

bool CaeMsgCall::IsMsgLevelSet(int level) { return ValidLevel(level) && (levels.load() >> level) & 1u; }

void CaeMsgCall::Message(int level, std::uint32_t code) {
  CaeArray<CaeString> none;
  Message(level, code, none);
}

void CaeMsgCall::Message(int level, std::uint32_t code, std::initializer_list<CaeString> args) {
  Message(level, code, CaeArray<CaeString>(args));
}

void CaeMsgCall::Message(int level, std::uint32_t code, const CaeArray<CaeString>& args) {
  CaeString text = TextOf(code, args.Count() ? &args : nullptr);
  Deliver(level, text);
  if (level == 2) throw CaeExcept(text, code);
}

void CaeMsgCall::Error(std::uint32_t code) { Deliver(2, TextOf(code, nullptr)); }

void CaeMsgCall::Info(std::uint32_t id) { Deliver(0, TextOf(id, nullptr)); }

void CaeMsgCall::GeneralError(const char* sourceFile, int line) {
  Message(2, kCaeMsgGeneralError, {CaeString(sourceFile), CaeString::FromInt(line)});
  throw CaeExcept(CaeMsgTxt::GetMessage(kCaeMsgGeneralError), kCaeMsgGeneralError);  // not reached
}

void amg_state::ResetMessages() {
  routine.store(nullptr);
  textOverride.store(nullptr);
  levels.store(kDefaultLevels);
}
