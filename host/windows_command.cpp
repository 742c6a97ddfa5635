#include "windows_command.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "arx/acdocman.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/hostcmds.h"
#include "kestrum/text.h"
#include "mfc/afx.h"
#include "mfc/render.h"
#include "mfc/winapi.h"

namespace cadhost {
namespace {

constexpr std::size_t kAnswerBuffer = 4096;

int askWord(const char* prompt, std::string& answer) {
  char buffer[kAnswerBuffer];
  const int status = acedGetString(1, prompt, buffer, sizeof buffer);
  if (status != RTNORM) return status;
  answer = kestrum::Trim(buffer);
  return answer.empty() ? RTNONE : RTNORM;
}

std::string titleOf(HWND window) {
  char text[512] = {};
  ::GetWindowText(window, text, sizeof text);
  return text;
}

// Tells the toolkit which drawing is current, so that each top-level window knows its drawing.
// Documents are numbered once each: a closed drawing's number never comes back.
class DocumentTagger : public AcApDocManagerReactor {
 public:
  void documentBecameCurrent(AcApDocument* doc) override { mfc::setCurrentDocumentTag(tagOf(doc)); }
  void documentToBeDestroyed(AcApDocument* doc) override {
    tags_.erase(doc);
    mfc::setCurrentDocumentTag(0);
  }
  std::uintptr_t tagOf(const AcApDocument* doc) {
    if (!doc) return 0;
    auto [at, added] = tags_.try_emplace(doc, next_);
    if (added) ++next_;
    return at->second;
  }

 private:
  std::map<const AcApDocument*, std::uintptr_t> tags_;
  std::uintptr_t next_ = 1;
};

DocumentTagger& tagger() {
  static DocumentTagger instance;
  return instance;
}

// The top-level window with that title (exactly): the current drawing's, else one that belongs to
// no drawing, else the first.
HWND findWindow(const std::string& title) {
  const std::uintptr_t current = tagger().tagOf(acDocManagerPtr()->curDocument());
  HWND ownerless = nullptr, first = nullptr;
  for (HWND window : mfc::topLevelWindows()) {
    if (titleOf(window) != title) continue;
    const std::uintptr_t tag = mfc::documentTagOf(window);
    if (current && tag == current) return window;
    if (!ownerless && tag == 0) ownerless = window;
    if (!first) first = window;
  }
  return ownerless ? ownerless : first;
}

int listWindows() {
  const std::vector<HWND> windows = mfc::topLevelWindows();
  acutPrintf("\nTop-level windows: %zu\n", windows.size());
  for (HWND window : windows)
    acutPrintf("  \"%s\" %s\n", titleOf(window).c_str(), ::IsWindowVisible(window) ? "shown" : "hidden");
  return RTNORM;
}

HWND askWindow() {
  std::string title;
  if (askWord("\nWindow title: ", title) != RTNORM) return nullptr;
  HWND window = findWindow(title);
  if (!window) acutPrintf("\nThere is no window \"%s\".\n", title.c_str());
  return window;
}

const CWnd* objectOf(HWND window) { return CWnd::FromHandlePermanent(window); }

int showWindow() {
  HWND window = askWindow();
  if (!window) return RTERROR;
  acutPrintf("\n%s\n", mfc::renderWindow(window).c_str());
  if (const CWnd* object = objectOf(window)) {
    const std::string picture = object->DescribePicture();
    if (!picture.empty()) acutPrintf("%s", picture.c_str());
  }
  return RTNORM;
}

int savePicture() {
  HWND window = askWindow();
  if (!window) return RTERROR;
  std::string path;
  if (askWord("\nPNG file: ", path) != RTNORM) {
    acutPrintf("\nNo file was named.\n");
    return RTERROR;
  }
  const CWnd* object = objectOf(window);
  std::string error = "the window has no picture";
  if (!object || !object->SavePicture(path, error)) {
    acutPrintf("\nThe picture was not saved: %s\n", error.c_str());
    return RTERROR;
  }
  acutPrintf("\nPNG image written: %s\n", path.c_str());
  return RTNORM;
}

int windowsCommand() {
  std::string option;
  const int status = askWord("\nEnter an option [List/Show/Png] <List>: ", option);
  if (status == RTCAN || status == RTERROR) return status;
  std::string chosen = option;
  std::transform(chosen.begin(), chosen.end(), chosen.begin(), [](unsigned char c) { return std::tolower(c); });
  if (status == RTNONE || chosen == "list" || chosen == "l") return listWindows();
  if (chosen == "show" || chosen == "s") return showWindow();
  if (chosen == "png" || chosen == "p") return savePicture();
  acutPrintf("\nWINDOWS takes List, Show or Png, not \"%s\".\n", option.c_str());
  return RTERROR;
}

}  // namespace

void registerWindowsCommand() {
  addHostCommand("WINDOWS", CommandContext::kApplication, windowsCommand);
  acDocManagerPtr()->addReactor(&tagger());
  mfc::setCurrentDocumentTag(tagger().tagOf(acDocManagerPtr()->curDocument()));
}

}  // namespace cadhost
