// The results window: the drawing's results display as a window of the windowing toolkit.
//
// Every redraw renders the view headless (FerRender.h) from the display's settings and the
// displayed result set, so the window always holds the picture of what it shows; the window
// hands it out (its description and a PNG) to whoever asks the toolkit. It also records what is
// done with it: its creation (place, size, title, owner, styles), each time it is shown or
// hidden, print requests, redraws and view dynamics. The window exists from CreateResultsView
// until Close or the object's destruction; GetDisplayHandle is null otherwise.
#pragma once

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
  bool animationTimer_ = false;
  int framesShown_ = 0;
};
