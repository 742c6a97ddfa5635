// Command-line output and result-buffer lists.
//
// acutPrintf formats in the "C" locale and appends the text to the command-line transcript.
// The host program echoes the transcript to standard output; tests read it back with
// cadhost::printedText(). Text is never interpreted as a format unless passed as `format`.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "arx/adscodes.h"

// printf-style output to the command line; returns the number of characters printed.
int acutPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A new result buffer of the given type, zeroed; null when out of memory.
resbuf* acutNewRb(int type);
// Releases a whole list (following rbnext), including the strings of RTSTR links. Null is fine.
int acutRelRb(resbuf* list);

namespace cadhost {

// Everything printed with acutPrintf since the last clearPrintedText().
std::string printedText();
void clearPrintedText();
// Where printed text also goes as it is printed (the host program writes it to stdout);
// an empty function stops the echo.
void setPrintEcho(std::function<void(std::string_view)> echo);

}  // namespace cadhost
