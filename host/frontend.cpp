#include "frontend.h"

#include "windows_command.h"

#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/hostinput.h"
#include "chart/chart.h"
#include "mfc/afx.h"
#include "waitcmds.h"

namespace cadhost {

// The host's main window: copy-data messages are typed input for the command line.
class FrontEnd::MainWindow : public CWnd {
 public:
  BOOL OnCopyData(CWnd* /*from*/, COPYDATASTRUCT* data) {
    if (!data) return FALSE;
    return adsw_acadMainWnd()->copyData(static_cast<unsigned long>(data->dwData), data->lpData, data->cbData);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(FrontEnd::MainWindow, CWnd)
ON_WM_COPYDATA()
END_MESSAGE_MAP()

FrontEnd::FrontEnd(std::istream& in, bool echo, bool interactive, std::function<void(const std::string&)> print)
    : in_(in), echo_(echo), print_(std::move(print)) {
  driver_ = std::make_unique<mfc::ActionLineDriver>([this] { return readLine(); }, print_);
  driver_->setInteractive(interactive);
}

FrontEnd::~FrontEnd() { uninstall(); }

std::optional<mfc::ActionLine> FrontEnd::readLine() {
  std::string text;
  if (!std::getline(in_, text)) return std::nullopt;
  if (!text.empty() && text.back() == '\r') text.pop_back();
  ++lineNumber_;
  if (echo_) print_(text + "\n");
  return mfc::ActionLine{text, lineNumber_};
}

bool FrontEnd::nextHostLine(std::string& line) {
  // A line the driver read while a window waited, but which was the command line's.
  std::optional<mfc::ActionLine> next = driver_->takePutBack();
  mfc::pumpMessages();  // windows and timers live on while the command line waits
  if (!next) next = readLine();
  if (!next) return false;
  line = next->text;
  cadhost::clearPrintedText();  // already shown; keep the transcript from growing
  return true;
}

void FrontEnd::install() {
  if (installed_) return;
  mainWindow_ = std::make_unique<MainWindow>();
  mainWindow_->CreateEx(0, "AcadMainWindow", "cadhost", WS_VISIBLE, CRect(0, 0, 1280, 800), nullptr, 0);
  AfxGetApp()->m_pMainWnd = mainWindow_.get();
  previousDriver_ = mfc::installUserDriver(driver_.get());
  mfc::setLogSink([this](const std::string& text) { print_("\n" + text + "\n"); });
  cadhost::setInputSource([this](std::string& line) { return nextHostLine(line); });
  cadhost::setUserActionHandler([this](const std::string& text) {
    return driver_->handleLineWithoutWindow({text, lineNumber_});
  });
  registerWindowsCommand();
  // The outside controls this machine has installed.
  chart::RegisterChartControl();
  driver_->setFallbackWindow(cadhost::currentBrowserTabWindow);
  cadhost::addFrontEndCommands();
  installed_ = true;
}

void FrontEnd::uninstall() {
  if (!installed_) return;
  cadhost::setUserActionHandler(nullptr);
  driver_->setFallbackWindow(nullptr);
  cadhost::setInputSource(nullptr);
  mfc::setLogSink(nullptr);
  mfc::installUserDriver(previousDriver_);
  if (AfxGetApp()->m_pMainWnd == mainWindow_.get()) AfxGetApp()->m_pMainWnd = nullptr;
  if (mainWindow_ && mainWindow_->GetSafeHwnd()) mainWindow_->DestroyWindow();
  mainWindow_.reset();
  installed_ = false;
}

}  // namespace cadhost
