#include "fev/FerWndOGLDisp.h"

#include <algorithm>

#include "amg/CaeMsgCall.h"
#include "fea/FeaMessages.h"
#include "mfc/wnd.h"

// The toolkit window; it reports showing and hiding to its display.
class FerWndOGLDisp::Window : public CWnd {
 public:
  explicit Window(FerWndOGLDisp& display) : display_(display) {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_TIMER && wParam == kAnimationTimer) {
      display_.AnimationTick();
      return 0;
    }
    if (message == WM_SHOWWINDOW) {
      if (wParam)
        ++display_.shows_;
      else
        ++display_.hides_;
    }
    if (FerWndOGLDisp::PopupCommand command = display_.popupCommand_) {
      if (message == WM_RBUTTONUP) {
        POINT point{static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lParam))),
                    static_cast<short>(HIWORD(static_cast<DWORD_PTR>(lParam)))};
        command(nullptr, point, GetSafeHwnd(), 0);
        return 0;
      }
      if (message == WM_COMMAND && LOWORD(wParam) != 0) {
        command(nullptr, POINT{0, 0}, GetSafeHwnd(), LOWORD(wParam));
        return 0;
      }
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
  std::string DescribePicture() const override {
    const std::vector<std::string> lines = display_.picture_.Describe();
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
  }
  bool SavePicture(const std::string& path, std::string& error) const override { return display_.SavePng(path, error); }

 private:
  FerWndOGLDisp& display_;
};

FerWndOGLDisp::FerWndOGLDisp() = default;

FerWndOGLDisp::~FerWndOGLDisp() { window_.reset(); }

bool FerWndOGLDisp::Open() {
  auto window = std::make_unique<Window>(*this);
  RECT rect;
  rect.left = creation_.x;
  rect.top = creation_.y;
  rect.right = creation_.x + creation_.width;
  rect.bottom = creation_.y + creation_.height;
  CWnd* owner = creation_.parent ? CWnd::FromHandle(creation_.parent) : nullptr;
  if (creation_.parent && !owner) return false;
  // Created hidden: the caller shows it when there is something to show.
  const DWORD style = creation_.style & ~static_cast<DWORD>(WS_VISIBLE);
  if (!window->CreateEx(creation_.exStyle, "FerResultsView", creation_.title.c_str(), style, rect, owner, 0))
    return false;
  window_ = std::move(window);
  ++creations_;
  return true;
}

int FerWndOGLDisp::CreateResultsView(int x, int y, int width, int height, const char* title, HWND parent, DWORD exStyle,
                                     DWORD style) {
  if (GetDisplayHandle()) return 1;
  creation_ = FerViewCreation{x, y, width, height, title ? title : "", parent, exStyle, style};
  return Open() ? 1 : 0;
}

HWND FerWndOGLDisp::GetDisplayHandle() const {
  return window_ && window_->IsWindow() ? window_->GetSafeHwnd() : nullptr;
}

void FerWndOGLDisp::Redraw() {
  FerDisplay::Redraw();
  FerState* state = FerState::GetState();
  CaeFerInterface* ferInterface = state ? state->GetInterface() : nullptr;
  // The interface answers for the current display: another display draws no set.
  const bool current = ferInterface && FerDisplay::GetCurrent() == this;
  const int width = creation_.width > 0 ? creation_.width : kDefaultWidth;
  const int height = creation_.height > 0 ? creation_.height : kDefaultHeight;
  if (current && FerShowsNoResult(Settings())) {
    CaeString modelName;
    const std::shared_ptr<const FerMesh> mesh = ferInterface->ModelMesh(modelName);
    if (!modelName.IsEmpty()) {
      picture_ = FerRenderModel(Settings(), mesh.get(), modelName.Str(), width, height);
      return;
    }
  }
  const FerResultSet* set = current ? ferInterface->GetResultSet() : nullptr;
  if (set && state->IsAnimationInitialized()) {
    const FerState::AnimationFrameView frame = FerState::FrameView(
        state->AnimationFrame(), Settings().GetAnimationSettings().GetNumberFrames(), state->IsFullCycle(), *set);
    FerDispSettings settings = Settings();
    if (frame.subset > 0) settings.SetResultSubSet(frame.subset);
    picture_ = FerRenderView(settings, set, settings.GetResultSet().Str(), width, height, frame.factor,
                             ferInterface->MaterialAllowable());
    return;
  }
  picture_ = FerRenderView(Settings(), set, Settings().GetResultSet().Str(), width, height, 1.0,
                           set ? ferInterface->MaterialAllowable() : 0.0);
}

void FerWndOGLDisp::StartAnimation() {
  if (!window_) return;
  // The speed limit is in frames per second; a limit of 0 or less leaves the fastest the clock gives.
  const double speed = Settings().GetAnimationSettings().GetSpeedLimit();
  const UINT interval = speed > 0 ? static_cast<UINT>(std::clamp(1000.0 / speed, 10.0, 60000.0)) : 10;
  animationTimer_ = window_->SetTimer(kAnimationTimer, interval) != 0;
}

void FerWndOGLDisp::StopAnimation() {
  if (window_ && animationTimer_) window_->KillTimer(kAnimationTimer);
  animationTimer_ = false;
}

void FerWndOGLDisp::AnimationTick() {
  FerState* state = FerState::GetState();
  if (!state || FerDisplay::GetCurrent() != this || !state->AnimateTick()) {
    StopAnimation();
    return;
  }
  Redraw();
  ++framesShown_;
  if (!state->IsAnimating()) StopAnimation();
}

bool FerWndOGLDisp::SaveViewPicture(const FerDispSettings& settings, const std::string& path, std::string& error) {
  FerState* state = FerState::GetState();
  CaeFerInterface* ferInterface = state ? state->GetInterface() : nullptr;
  const FerResultSet* set = ferInterface && FerDisplay::GetCurrent() == this ? ferInterface->GetResultSet() : nullptr;
  if (!set) {
    error = "no result set is displayed";
    return false;
  }
  const int width = creation_.width > 0 ? creation_.width : kDefaultWidth;
  const int height = creation_.height > 0 ? creation_.height : kDefaultHeight;
  const FerPicture picture = FerRenderView(settings, set, settings.GetResultSet().Str(), width, height, 1.0,
                                           ferInterface->MaterialAllowable());
  return kestrum::raster::WritePng(picture.image, path, error);
}

bool FerWndOGLDisp::SavePng(const std::string& path, std::string& error) const {
  if (picture_.image.rgb.empty()) {
    error = "the results window has not been drawn";
    return false;
  }
  return kestrum::raster::WritePng(picture_.image, path, error);
}

int FerWndOGLDisp::PrintDisplay() {
  ++prints_;
  std::string error = "no printer output has been chosen";
  if (!printOutput_.empty() && SavePng(printOutput_, error)) return 1;
  CaeMsgCall::Message(1, kFeaMsgCannotWrite, {CaeString(printOutput_), CaeString(error)});
  return 0;
}

void FerWndOGLDisp::StartDynamics() {
  dynamicsStarted_ = true;
  dynamicsMode_ = -1;
}

void FerWndOGLDisp::DoDynamics(int mode) {
  if (!dynamicsStarted_) StartDynamics();
  dynamicsMode_ = (mode >= 0 && mode <= 3) ? mode : -1;
}

void FerWndOGLDisp::EndDynamics(int keep) {
  if (dynamicsStarted_ && keep) {
    ++keptViews_;
    Redraw();
  }
  dynamicsStarted_ = false;
  dynamicsMode_ = -1;
}

void FerWndOGLDisp::SetResourceModule(HINSTANCE module, const std::array<UINT, 4>& bitmaps) {
  resourceModule_ = module;
  toolBitmaps_ = bitmaps;
}

void FerWndOGLDisp::ShowStandardView(int view) {
  if (view < 0 || view > 8) return;
  standardView_ = view;
  Redraw();
}

void FerWndOGLDisp::Close() {
  StopAnimation();
  window_.reset();
}

void FerWndOGLDisp::ForceRecreate() {
  if (!GetDisplayHandle()) return;
  const bool wasVisible = window_->IsWindowVisible();
  window_.reset();
  if (Open() && wasVisible) window_->ShowWindow(SW_SHOW);
  Redraw();
}
