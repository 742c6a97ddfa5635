// The chart control itself: its own properties and methods by dispatch id, its mouse events, its
// picture, printing, the clipboard and the property editor.
#include <algorithm>
#include <cstring>
#include <optional>

#include "kestrum/atomic_file.h"
#include "kestrum/text.h"
#include "mfc/afx.h"
#include "mfc/ddx.h"
#include "mfc/global_memory.h"
#include "mfc/log.h"
#include "mfc/print.h"
#include "objects.h"

namespace chart {
namespace {

using namespace args;

constexpr std::uintmax_t kMaxStateBytes = std::uintmax_t{1} << 30;

// Dispatch ids of the control's own members.
enum : DISPID {
  kHeader = 1,
  kFooter = 2,
  kLegend = 3,
  kProperty6 = 6,
  kProperty7 = 7,
  kChartArea = 8,
  kChartGroups = 9,
  kUserChanges = 13,
  kLoadState = 14,
  kSaveState = 15,
  kPropertyEditor = 16,
  kPrint = 18,
  kCopy = 19,
  kDrawToFile = 20,
  kClearTexts = 22,
  kSaveJpeg = 27,
  kSavePng = 28,
  kWindowHandle = -515,
  kRefresh = -550,
};

// Standard events.
enum : DISPID { kClick = -600, kDoubleClick = -601, kMouseDown = -605, kMouseMove = -606, kMouseUp = -607 };

// Output formats of print, copy and draw-to-file.
enum Format { kBitmap = 1, kMetafile = 2, kEnhancedMetafile = 3, kStandardMetafile = 4 };

// Page geometry of the toolkit's printer: Letter at 96 device units an inch, 0.25 in margins.
constexpr int kPageWidth = 816, kPageHeight = 1056, kPageMargin = 24;
// Print size modes.
enum SizeMode { kFixedWidth = 2, kFixedHeight = 3, kFullPage = 5 };

// The property editor's template (made in memory: the control brings no resource library).
const char* const kEditorTemplate =
    "DIALOG 1 \"Chart Properties\" SIZE 230 128\n"
    "  LTEXT -1 \"&Header:\" 7 9 60 8\n"
    "  EDITTEXT 101 \"\" 70 7 153 12\n"
    "  LTEXT -1 \"Header &font:\" 7 27 60 8\n"
    "  EDITTEXT 102 \"\" 70 25 153 12\n"
    "  LTEXT -1 \"&Axis font:\" 7 45 60 8\n"
    "  EDITTEXT 103 \"\" 70 43 153 12\n"
    "  LTEXT -1 \"&X-axis title:\" 7 63 60 8\n"
    "  EDITTEXT 104 \"\" 70 61 153 12\n"
    "  LTEXT -1 \"&Y-axis title:\" 7 81 60 8\n"
    "  EDITTEXT 105 \"\" 70 79 153 12\n"
    "  DEFPUSHBUTTON 1 \"OK\" 118 106 50 14\n"
    "  PUSHBUTTON 2 \"Cancel\" 173 106 50 14\n"
    "END\n";

class PropertyEditor : public CDialog {
 public:
  PropertyEditor(Model& model, CWnd* parent)
      : model_(model),
        header_(model.header.text.c_str()),
        headerFont_(model.header.font.name.c_str()),
        axisFont_(model.x.font.name.c_str()),
        xTitle_(model.x.title.c_str()),
        yTitle_(model.y.title.c_str()) {
    InitModalIndirect(kEditorTemplate, parent);
  }
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, 101, header_);
    DDX_Text(dx, 102, headerFont_);
    DDX_Text(dx, 103, axisFont_);
    DDX_Text(dx, 104, xTitle_);
    DDX_Text(dx, 105, yTitle_);
  }
  void OnOK() override {
    if (!UpdateData(TRUE)) return;
    const std::string headerFont(kestrum::Trim(static_cast<const char*>(headerFont_)));
    const std::string axisFont(kestrum::Trim(static_cast<const char*>(axisFont_)));
    if (headerFont.empty() || axisFont.empty()) {
      MessageBox("A font needs a name.", "Chart Properties", MB_OK | MB_ICONEXCLAMATION);
      return;
    }
    model_.header.text = static_cast<const char*>(header_);
    model_.header.font.name = headerFont;
    model_.footer.font.name = headerFont;
    model_.legendFont.name = headerFont;
    model_.x.font.name = axisFont;
    model_.y.font.name = axisFont;
    model_.x.title = static_cast<const char*>(xTitle_);
    model_.y.title = static_cast<const char*>(yTitle_);
    EndDialog(IDOK);
  }

 private:
  Model& model_;
  CString header_, headerFont_, axisFont_, xTitle_, yTitle_;
};

// Where the chart goes on the printed page, in device units of the whole page.
RECT PlaceOnPage(int mode, int left, int top, int width, int height, double aspect) {
  const int printableWidth = kPageWidth - 2 * kPageMargin, printableHeight = kPageHeight - 2 * kPageMargin;
  width = std::clamp(width, 0, printableWidth);
  height = std::clamp(height, 0, printableHeight);
  int w = width, h = height;
  if (mode == kFixedWidth) {
    if (w == 0) w = std::min(printableWidth, static_cast<int>(printableHeight / aspect));
    h = static_cast<int>(w * aspect + 0.5);
  } else if (mode == kFixedHeight) {
    if (h == 0) h = std::min(printableHeight, static_cast<int>(printableWidth * aspect));
    w = static_cast<int>(h / aspect + 0.5);
  } else if (w == 0 || h == 0) {
    w = printableWidth;
    h = printableHeight;
  }
  w = std::clamp(w, 1, printableWidth);
  h = std::clamp(h, 1, printableHeight);
  left = std::clamp(left, 0, printableWidth - w);
  top = std::clamp(top, 0, printableHeight - h);
  return RECT{kPageMargin + left, kPageMargin + top, kPageMargin + left + w, kPageMargin + top + h};
}

class ChartControl : public mfc::HostedControl {
 public:
  ChartControl() : shared_(std::make_shared<Shared>()) {
    Model& m = shared_->model;
    m.header.font.size = 140000;
    m.footer.font.size = 80000;
  }

  bool invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& a, VARIANT& result) override {
    shared_->window = window();
    Model& m = shared_->model;
    switch (dispid) {
      case kHeader: return Hand(flags, a, result, MakeHeader);
      case kFooter: return Hand(flags, a, result, MakeFooter);
      case kLegend: return Hand(flags, a, result, MakeLegend);
      case kChartArea: return Hand(flags, a, result, MakeChartArea);
      case kChartGroups: return Hand(flags, a, result, MakeChartGroups);
      case kProperty6: return BoolMember(flags, a, result, m.property6, false);
      case kProperty7: return BoolMember(flags, a, result, m.property7, true);
      case kUserChanges: return BoolMember(flags, a, result, m.userChanges, true);
      case kWindowHandle:
        if (!IsGet(flags, a)) return false;
        SetInt(result, static_cast<long>(reinterpret_cast<std::uintptr_t>(window()) & 0x7FFFFFFF));
        return true;
      case kRefresh:
        if (!IsCall(flags, a, 0)) return false;
        ++shared_->refreshes;
        return true;
      case kLoadState:
      case kSaveState: return StateFile(dispid == kSaveState, flags, a, result);
      case kPropertyEditor: return IsCall(flags, a, 3) && RunPropertyEditor();
      case kPrint: return IsCall(flags, a, 6) && Print(a, result);
      case kCopy: return IsCall(flags, a, 1) && Copy(a, result);
      case kDrawToFile: return IsCall(flags, a, 2) && DrawToFile(a, result);
      case kClearTexts: return IsCall(flags, a, 2) && ClearTexts(a, result);
      case kSaveJpeg: return IsCall(flags, a, 5) && SaveJpeg(a, result);
      case kSavePng: return IsCall(flags, a, 2) && SavePng(a, result);
      default: return false;
    }
  }

  bool mouse(mfc::MouseAction action, int x, int y, bool shift) override {
    const auto event = [&](DISPID id, short button) {
      fireEvent(id, {Short(button), Short(shift ? 1 : 0), Long(x), Long(y)});
    };
    switch (action) {
      case mfc::MouseAction::Down:
        buttonDown_ = true;
        event(kMouseDown, 1);
        break;
      case mfc::MouseAction::Move: event(kMouseMove, buttonDown_ ? 1 : 0); break;
      case mfc::MouseAction::Up:
        buttonDown_ = false;
        event(kMouseUp, 1);
        fireEvent(kClick, {});
        break;
      case mfc::MouseAction::DoubleClick:
        // As a window sees a double click: down, up, click, double click, up.
        event(kMouseDown, 1);
        event(kMouseUp, 1);
        fireEvent(kClick, {});
        fireEvent(kDoubleClick, {});
        event(kMouseUp, 1);
        buttonDown_ = false;
        break;
    }
    return true;
  }

  bool savePicture(const std::string& path, std::string& error) override {
    shared_->window = window();
    const auto [w, h] = ClientSize(*shared_);
    return kestrum::raster::WritePng(Draw(shared_->model, w, h), path, error);
  }

 private:
  static VARIANT Short(short value) {
    VARIANT v;
    SetInt(v, value, VT_I2);
    return v;
  }
  static VARIANT Long(long value) {
    VARIANT v;
    SetInt(v, value);
    return v;
  }

  bool Hand(WORD flags, std::vector<VARIANT>& a, VARIANT& result, IDispatch* (*make)(const SharedPtr&)) {
    if (!IsGet(flags, a)) return false;
    SetObject(result, make(shared_));
    return true;
  }

  static bool BoolMember(WORD flags, std::vector<VARIANT>& a, VARIANT& result, bool& member, bool writable) {
    if (IsGet(flags, a)) {
      SetBool(result, member);
      return true;
    }
    if (!writable || !IsPut(flags, a) || !Int(a[0])) return false;
    member = *Int(a[0]) != 0;
    return true;
  }

  kestrum::raster::Image Picture() const {
    const auto [w, h] = ClientSize(*shared_);
    return Draw(shared_->model, w, h);
  }

  bool StateFile(bool save, WORD flags, std::vector<VARIANT>& a, VARIANT& result) {
    if (!IsCall(flags, a, 1)) return false;
    const auto path = Text(a[0]);
    if (!path || path->empty()) return Refuse("a state file needs a path");
    std::string error;
    bool done = false;
    if (save) {
      done = kestrum::writeFileAtomically(*path, StateText(shared_->model), &error);
    } else if (auto text = kestrum::ReadWholeFile(*path, kMaxStateBytes)) {
      if (auto model = ReadStateText(*text, error)) {
        shared_->model = std::move(*model);
        done = true;
      }
    } else {
      error = text.problem().Describe();
    }
    if (!done) mfc::log("chart: the state file " + *path + " was not " + (save ? "saved: " : "read: ") + error);
    SetBool(result, done);
    return true;
  }

  bool RunPropertyEditor() {
    CWnd* owner = window() ? CWnd::FromHandle(window()) : nullptr;
    PropertyEditor editor(shared_->model, owner);
    editor.DoModal();
    return true;
  }

  // The picture in a format: the bytes and their clipboard format.
  static std::pair<std::string, UINT> Encode(const kestrum::raster::Image& image, long format) {
    switch (format) {
      case kBitmap: return {DibBytes(image), CF_DIB};
      case kEnhancedMetafile: return {EmfBytes(image), CF_ENHMETAFILE};
      case kMetafile:
      case kStandardMetafile: return {WmfBytes(image), CF_METAFILEPICT};
      default: return {std::string(), 0};
    }
  }

  bool Copy(std::vector<VARIANT>& a, VARIANT& result) {
    const auto format = Int(a[0]);
    if (!format || *format < kBitmap || *format > kStandardMetafile) return Refuse("copy takes a format 1 to 4");
    const auto [bytes, clipboardFormat] = Encode(Picture(), *format);
    bool done = false;
    if (OpenClipboard(window())) {
      EmptyClipboard();
      HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
      if (void* p = block ? GlobalLock(block) : nullptr) {
        std::memcpy(p, bytes.data(), bytes.size());
        GlobalUnlock(block);
        done = SetClipboardData(clipboardFormat, block) != nullptr;
        if (!done) GlobalFree(block);
      }
      CloseClipboard();
    }
    if (!done) mfc::log("chart: the picture was not put on the clipboard");
    SetBool(result, done);
    return true;
  }

  bool DrawToFile(std::vector<VARIANT>& a, VARIANT& result) {
    const auto path = Text(a[0]);
    const auto format = Int(a[1]);
    if (!path || path->empty() || !format || *format < kBitmap || *format > kStandardMetafile)
      return Refuse("DrawToFile takes a path and a format 1 to 4");
    const kestrum::raster::Image image = Picture();
    const std::string bytes = *format == kBitmap ? BmpBytes(image) : Encode(image, *format).first;
    std::string error;
    const bool done = kestrum::writeFileAtomically(*path, bytes, &error);
    if (!done) mfc::log("chart: " + *path + " was not written: " + error);
    SetBool(result, done);
    return true;
  }

  bool SaveJpeg(std::vector<VARIANT>& a, VARIANT& result) {
    const auto path = Text(a[0]);
    const auto quality = Int(a[1]);
    if (!path || path->empty() || !quality) return Refuse("the JPEG save takes a path and a quality");
    std::string error;
    const bool done = WriteJpeg(Picture(), *path, static_cast<int>(*quality), error);
    if (!done) mfc::log("chart: " + *path + " was not written: " + error);
    SetBool(result, done);
    return true;
  }

  bool SavePng(std::vector<VARIANT>& a, VARIANT& result) {
    const auto path = Text(a[0]);
    if (!path || path->empty()) return Refuse("the PNG save takes a path");
    std::string error;
    const bool done = kestrum::raster::WritePng(Picture(), *path, error);
    if (!done) mfc::log("chart: " + *path + " was not written: " + error);
    SetBool(result, done);
    return true;
  }

  bool ClearTexts(std::vector<VARIANT>& a, VARIANT& result) {
    const auto code = Int(a[0]);
    Model& m = shared_->model;
    bool known = true;
    if (code == 84) {
      m.header.text.clear();
      m.footer.text.clear();
    } else if (code == 91) {
      m.labels.clear();
      m.x.title.clear();
      m.y.title.clear();
    } else {
      known = false;
    }
    SetBool(result, known);
    return true;
  }

  // The printer's output file (the print dialog asks for it); nothing when cancelled.
  static std::optional<std::string> AskPrinterFile() {
    PRINTDLG dialog;
    dialog.Flags = PD_RETURNDC;
    const bool chosen = PrintDlg(&dialog) != FALSE;
    CPrinterDC* printer = dialog.hDC ? printerDC(dialog.hDC) : nullptr;
    std::optional<std::string> output;
    if (chosen && printer) output = printer->outputFile();
    if (dialog.hDC) DeleteDC(dialog.hDC);
    if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
    return output;
  }

  // The page as a PNG in the file the printer asks for; the chart placed by the size mode.
  bool Print(std::vector<VARIANT>& a, VARIANT& result) {
    long v[6];
    for (int i = 0; i < 6; ++i) {
      const auto value = Int(a[static_cast<std::size_t>(i)]);
      if (!value) return Refuse("print takes six whole numbers");
      v[i] = *value;
    }
    // A cancelled print is not a failure: nothing was asked to be written.
    SetBool(result, true);
    const std::optional<std::string> output = AskPrinterFile();
    if (!output) {
      mfc::log("chart: printing cancelled");
      return true;
    }
    const auto [cw, ch] = ClientSize(*shared_);
    const double aspect = static_cast<double>(ch) / cw;
    const RECT place = PlaceOnPage(static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int>(v[3]),
                                   static_cast<int>(v[4]), static_cast<int>(v[5]), aspect);
    kestrum::raster::Image page(kPageWidth, kPageHeight, {255, 255, 255});
    const kestrum::raster::Image picture =
        Draw(shared_->model, static_cast<int>(place.right - place.left), static_cast<int>(place.bottom - place.top));
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x) page.Set(place.left + x, place.top + y, picture.At(x, y));
    std::string error;
    const bool done = kestrum::raster::WritePng(page, *output, error);
    if (!done) mfc::log("chart: printing failed: " + error);
    SetBool(result, done);
    return true;
  }

  SharedPtr shared_;
  bool buttonDown_ = false;
};

}  // namespace

void RegisterChartControl() {
  mfc::registerHostedControl(kClassId, [] { return std::make_unique<ChartControl>(); });
}

}  // namespace chart
