// PNGOUT: a picture of the current drawing, so that a person can look at it; SHADEMODE, which
// chooses the display entities are drawn for (standard, or shaded: hide and shade); and REGENALL,
// which also redraws the drawing's display list.
#include <charconv>
#include <cstring>
#include <filesystem>
#include <string>

#include "arx/acdocman.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/gidisplay.h"
#include "arx/hostcmds.h"
#include "host_internal.h"
#include "kestrum/text.h"
#include "text_util.h"

namespace {

constexpr std::size_t kAnswerBuffer = 4096;
constexpr int kImageWidth = 800, kImageHeight = 600;

int askText(const char* prompt, std::string& answer) {
  char buffer[kAnswerBuffer];
  int status = acedGetString(1, prompt, buffer, sizeof buffer);
  if (status != RTNORM) return status;
  answer = kestrum::Trim(buffer);
  return answer.empty() ? RTNONE : RTNORM;
}

// "x,y,z" in the C locale's number format; false for anything else or a zero vector.
bool parseDirection(const std::string& text, AcGeVector3d& direction) {
  double values[3];
  const char* at = text.data();
  const char* end = text.data() + text.size();
  for (int i = 0; i < 3; ++i) {
    while (at < end && *at == ' ') ++at;
    auto [next, error] = std::from_chars(at, end, values[i]);
    if (error != std::errc()) return false;
    at = next;
    while (at < end && *at == ' ') ++at;
    if (i < 2) {
      if (at >= end || *at != ',') return false;
      ++at;
    }
  }
  if (at != end) return false;
  direction = AcGeVector3d(values[0], values[1], values[2]);
  return !direction.isZeroLength();
}

int pngOutCommand() {
  AcApDocument* document = acDocManagerPtr()->curDocument();
  std::string suggested = std::filesystem::path(document->fileName()).replace_extension(".png").string();
  std::string prompt = "\nEnter name of PNG file <" + suggested + ">: ";
  std::string path;
  int status = askText(prompt.c_str(), path);
  if (status == RTCAN || status == RTERROR) return status;
  if (status == RTNONE) path = suggested;

  AcGiDisplayList& list = acgiDisplayOf(document->database());
  AcGiView view;
  view.width = kImageWidth, view.height = kImageHeight;
  view.regenType = list.view().regenType;
  std::string answer;
  status = askText("\nEnter view direction <1,-1,1>: ", answer);
  if (status == RTCAN || status == RTERROR) return status;
  if (status == RTNORM && !parseDirection(answer, view.direction)) {
    acutPrintf("\nThe view direction must be three numbers x,y,z, not all zero (\"%s\").\n", answer.c_str());
    return RTERROR;
  }

  list.setView(view);
  list.regenerate();
  std::string error;
  if (!acgiWritePng(acgiRender(list), path, error)) {
    acutPrintf("\nCannot write \"%s\" (%s).\n", path.c_str(), error.c_str());
    return RTERROR;
  }
  acutPrintf("\nPNG image written: %s (%dx%d)\n", path.c_str(), view.width, view.height);
  return RTNORM;
}

int shadeModeCommand() {
  std::string answer;
  const int status = askText("\nEnter display [Standard/Shaded] <Standard>: ", answer);
  if (status == RTCAN || status == RTERROR) return status;
  const std::string choice = cadhost::upperCase(answer);
  AcGi::RegenType type = AcGi::kAcGiStandardDisplay;
  if (status == RTNORM && (choice == "SH" || choice == "SHADED")) {
    type = AcGi::kAcGiShadedDisplay;
  } else if (status == RTNORM && choice != "S" && choice != "STANDARD") {
    acutPrintf("\nThe display is Standard or Shaded, not \"%s\".\n", answer.c_str());
    return RTERROR;
  }
  AcDbDatabase* database = acDocManagerPtr()->curDocument()->database();
  AcGiDisplayList& list = acgiDisplayOf(database);
  AcGiView view = list.view();
  view.regenType = type;
  list.setView(view);
  list.regenerate();
  return RTNORM;
}

int regenAllCommand() {
  AcDbDatabase* database = acDocManagerPtr()->curDocument()->database();
  acgiDisplayOf(database).regenerate();
  database->takeGraphicsModified();
  acutPrintf("\nRegenerating model.\n");
  acedUpdateDisplay();
  return RTNORM;
}

}  // namespace

namespace cadhost {

// Registered after the built-in commands: REGENALL here replaces the built-in one, doing the same
// and redrawing the display list as well.
void registerDrawingCommands() {
  addHostCommand("PNGOUT", CommandContext::kDocument, pngOutCommand);
  addHostCommand("SHADEMODE", CommandContext::kDocument, shadeModeCommand);
  addHostCommand("REGENALL", CommandContext::kDocument, regenAllCommand);
}

}  // namespace cadhost
