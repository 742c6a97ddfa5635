// The results window: the drawing's results display as a window of the windowing toolkit.
//
// Every redraw renders the view headless (FerRender.h) from the display's settings and the
// displayed result set, so the window always holds the picture of what it shows; the window
// hands it out (its description and a PNG) to whoever asks the toolkit. It also records what is
// done with it: its creation (place, size, title, owner, styles), each time it is shown or
// hidden, print requests, redraws and view dynamics. The window exists from CreateResultsView
// until Close or the object's destruction; GetDisplayHandle is null otherwise.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "fea/FerState.h"
#include "fev/FerRender.h"
#include "mfc/wintypes.h"

class CWnd;

// What the window was created with.
struct FerViewCreation {
  int x = 0, y = 0, width = 0, height = 0;
  std::string title;
  HWND parent = nullptr;
  DWORD exStyle = 0;
  DWORD style = 0;
};

class FerWndOGLDisp : public FerDisplay {
 public:
  // The picture's size while the window has never been created.
  static constexpr int kDefaultWidth = 800, kDefaultHeight = 400;

  FerWndOGLDisp();
  ~FerWndOGLDisp() override;

  // Creates the window, hidden. While it exists a second call changes nothing. Answers 1 when
  // the window exists afterwards, 0 when the toolkit refused it (for example a dead owner).
  int CreateResultsView(int x, int y, int width, int height, const char* title, HWND parent, DWORD exStyle,
                        DWORD style);
  // The window's handle; null while there is no window.
  HWND GetDisplayHandle() const;

  // Renders the view again from the settings and the displayed set (while the results state's
  // animation is initialised, its current frame).
  void Redraw() override;

  // The animation runs on the window's own toolkit timer, one frame per tick, no faster than the
  // animation settings' speed limit (frames per second); without a window there is no timer.
  static constexpr UINT_PTR kAnimationTimer = 1;
  void StartAnimation() override;
  void StopAnimation() override;
  bool AnimationTimerRunning() const { return animationTimer_; }
  int AnimationFramesShown() const { return framesShown_; }
  const FerPicture& Picture() const { return picture_; }
  // The picture as a PNG file, written atomically; false and the reason when it cannot be.
  bool SavePng(const std::string& path, std::string& error) const;
  // The displayed set drawn with other settings, at the window's size, as a PNG file.
  bool SaveViewPicture(const FerDispSettings& settings, const std::string& path, std::string& error) override;

  // Where printing puts the picture (the output of the printer chosen in print setup).
  void SetPrintOutput(const std::string& path) { printOutput_ = path; }
  const std::string& PrintOutput() const { return printOutput_; }
  // Prints the picture as a PNG to the print output; reports and answers 0 when there is none
  // or it cannot be written, 1 when printed.
  int PrintDisplay();

  // Interactive view change: mode 0 rotate, 1 move, 2 zoom, 3 rotate about z. A mode keeps
  // running until EndDynamics (1 keeps the new view, 0 drops it).
  void StartDynamics();
  void DoDynamics(int mode);
  void EndDynamics(int keep);
  int DynamicsMode() const { return dynamicsMode_; }  // -1 when none is running
  int KeptViewChanges() const { return keptViews_; }

  // The popup-menu command callback (the first argument is unused): a right click on the window
  // calls it with command 0 and the click point in client coordinates; a menu item chosen from
  // a popup menu tracked for the window calls it with the item's id. Kept with it: the resource
  // module the callback's menu and the window's tool bitmaps come from, and the parent of what
  // the callback opens.
  using PopupCommand = void (*)(void* unused, POINT point, HWND window, UINT command);
  void SetPopupCommand(PopupCommand callback) { popupCommand_ = callback; }
  PopupCommand GetPopupCommand() const { return popupCommand_; }
  void SetResourceModule(HINSTANCE module, const std::array<UINT, 4>& bitmaps);
  HINSTANCE ResourceModule() const { return resourceModule_; }
  const std::array<UINT, 4>& ToolBitmaps() const { return toolBitmaps_; }
  void SetParentWindow(HWND parent) { parentWindow_ = parent; }
  HWND ParentWindow() const { return parentWindow_; }

  // The picture to the clipboard (recorded) and the standard views 0 front, 1 back, 2 left,
  // 3 right, 4 top, 5 bottom, 6 isometric, 7 dimetric, 8 trimetric (recorded, then redrawn).
  void CopyToClipboard() { ++copies_; }
  int CopyCount() const { return copies_; }
  void ShowStandardView(int view);
  int StandardView() const { return standardView_; }  // -1 until one is chosen

  // Destroys the window; the display object stays and can create it again.
  void Close() override;
  // Rebuilds the window with its creation values when it exists (after a change of host units).
  void ForceRecreate() override;

  // Records.
  const FerViewCreation& Creation() const { return creation_; }
  int CreationCount() const { return creations_; }
  int ShowCount() const { return shows_; }
  int HideCount() const { return hides_; }
  int PrintCount() const { return prints_; }

 private:
  class Window;
  friend class Window;
  bool Open();
  void AnimationTick();
  std::unique_ptr<Window> window_;
  FerViewCreation creation_;
  FerPicture picture_;
  std::string printOutput_;
  int creations_ = 0;
  int shows_ = 0;
  int hides_ = 0;
  int prints_ = 0;
  int dynamicsMode_ = -1;
  bool dynamicsStarted_ = false;
  int keptViews_ = 0;
  PopupCommand popupCommand_ = nullptr;
  HINSTANCE resourceModule_ = nullptr;
  std::array<UINT, 4> toolBitmaps_{};
  HWND parentWindow_ = nullptr;
  int copies_ = 0;
  int standardView_ = -1;
  bool animationTimer_ = false;
  int framesShown_ = 0;
};
