// cadhost: the CAD host program. Reads commands from the terminal or from a script
// (`--script FILE`, one input per line), optionally opening a drawing first. Lines that start
// with "@" act on the window waiting for the user (see frontend.h). Reading a script or a pipe,
// a refused answer ends its command, and the exit status is 1 when any line failed, so that
// scripts can be checked by their status.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "frontend.h"
#include "mcad/amiapp.h"

namespace {

void usage() { std::cerr << "usage: cadhost [--script FILE] [drawing]\n"; }

}  // namespace

int main(int argc, char** argv) {
  std::string script, drawing;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--script" && i + 1 < argc) {
      script = argv[++i];
    } else if (arg == "--help" || arg == "-h") {
      usage();
      return 0;
    } else if (!arg.empty() && arg[0] == '-') {
      usage();
      return 2;
    } else {
      drawing = arg;
    }
  }
  std::ifstream scriptFile;
  if (!script.empty()) {
    scriptFile.open(script);
    if (!scriptFile) {
      std::cerr << "cadhost: cannot read the script \"" << script << "\"\n";
      return 1;
    }
  }
  std::istream& in = script.empty() ? std::cin : scriptFile;
  bool echoInput = !script.empty() || !isatty(STDIN_FILENO);

  cadhost::setPrintEcho([](std::string_view text) { std::cout << text << std::flush; });
  bool interactive = script.empty() && isatty(STDIN_FILENO);
  cadhost::FrontEnd frontEnd(in, echoInput, interactive,
                             [](const std::string& text) { std::cout << text << std::flush; });
  frontEnd.install();
  cadhost::setScriptMode(!interactive);
  cadhost::startHost(drawing.empty());
  mcadLoadApiModule();
  if (!drawing.empty() && !acDocManagerPtr()->openDocument(drawing)) acDocManagerPtr()->newDocument();
  cadhost::runCommandLoop();
  std::cout << std::endl;
  if (!interactive && cadhost::failedLines() > 0) {
    std::cerr << "cadhost: " << cadhost::failedLines() << " line(s) failed\n";
    return 1;
  }
  return 0;
}
