#include <locale.h>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "arx/acutads.h"

namespace {

struct Transcript {
  std::string text;
  std::function<void(std::string_view)> echo;
};

Transcript& transcript() {
  static Transcript* instance = new Transcript();  // lives for the process: printing may outlive statics
  return *instance;
}

// Formats with the "C" locale whatever the process locale is, so numbers always use '.'.
std::string formatInCLocale(const char* format, va_list args) {
  static locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
  locale_t previous = uselocale(cLocale);
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (length > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    text.assign(buffer.data(), static_cast<std::size_t>(length));
  }
  uselocale(previous);
  return text;
}

}  // namespace

int acutPrintf(const char* format, ...) {
  if (!format) return 0;
  va_list args;
  va_start(args, format);
  std::string text = formatInCLocale(format, args);
  va_end(args);
  transcript().text += text;
  if (transcript().echo) transcript().echo(text);
  return static_cast<int>(text.size());
}

resbuf* acutNewRb(int type) {
  auto* rb = new (std::nothrow) resbuf();
  if (rb) rb->restype = static_cast<short>(type);
  return rb;
}

int acutRelRb(resbuf* list) {
  while (list) {
    resbuf* next = list->rbnext;
    if (list->restype == RTSTR) std::free(list->resval.rstring);
    delete list;
    list = next;
  }
  return RTNORM;
}

namespace cadhost {

std::string printedText() { return transcript().text; }
void clearPrintedText() { transcript().text.clear(); }
void setPrintEcho(std::function<void(std::string_view)> echo) { transcript().echo = std::move(echo); }

}  // namespace cadhost
