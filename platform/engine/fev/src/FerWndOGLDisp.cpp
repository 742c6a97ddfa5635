#include "fev/FerWndOGLDisp.h"

#include "fea/FeaMessages.h"
#include "mfc/wnd.h"

// The toolkit window; it reports showing and hiding to its display.
class FerWndOGLDisp::Window : public CWnd {
 public:
  explicit Window(FerWndOGLDisp& display) : display_(display) {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_SHOWWINDOW) {
      if (wParam)
        ++display_.shows_;
      else
        ++display_.hides_;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }

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

int FerWndOGLDisp::PrintDisplay() {
  ++prints_;
  FeaReportNotAvailable("Printing the results window");
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

void FerWndOGLDisp::Close() { window_.reset(); }

void FerWndOGLDisp::ForceRecreate() {
  if (!GetDisplayHandle()) return;
  const bool wasVisible = window_->IsWindowVisible();
  window_.reset();
  if (Open() && wasVisible) window_->ShowWindow(SW_SHOW);
  Redraw();
}
