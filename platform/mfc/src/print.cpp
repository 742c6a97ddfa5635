#include "mfc/print.h"
#include "kestrum/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "mfc/ddx.h"
#include "mfc/driver.h"
#include "mfc/global_memory.h"
#include "mfc/log.h"

namespace {

constexpr const char* kPrinterName = "Kestrum File Printer";
// Letter paper and the printer's margins, in thousandths of inches.
constexpr LONG kPaperWidth = 8500, kPaperHeight = 11000, kMinMargin = 250, kDefaultMargin = 1000;

LONG inUnit(LONG thousandthsOfInch, DWORD flags) {
  if (flags & PSD_INHUNDREDTHSOFMILLIMETERS) return static_cast<LONG>(thousandthsOfInch * 2.54 + 0.5);
  return thousandthsOfInch;
}

HGLOBAL textBlock(const std::string& text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  return block;
}

void fillPrinter(HGLOBAL& devMode, HGLOBAL& devNames) {
  if (!devMode) devMode = textBlock("Letter");
  if (!devNames) devNames = textBlock(kPrinterName);
}

// The page set-up dialog's template, made in memory so it needs no resource library.
const char* const kPageSetupTemplate =
    "DIALOG 1546 \"Page Setup\" SIZE 180 90\n"
    "  LTEXT -1 \"&Left:\" 7 9 40 8\n"
    "  EDITTEXT 1155 \"\" 50 7 40 12\n"
    "  LTEXT -1 \"&Top:\" 95 9 40 8\n"
    "  EDITTEXT 1156 \"\" 133 7 40 12\n"
    "  LTEXT -1 \"&Right:\" 7 27 40 8\n"
    "  EDITTEXT 1157 \"\" 50 25 40 12\n"
    "  LTEXT -1 \"&Bottom:\" 95 27 40 8\n"
    "  EDITTEXT 1158 \"\" 133 25 40 12\n"
    "  DEFPUSHBUTTON 1 \"OK\" 68 70 50 14\n"
    "  PUSHBUTTON 2 \"Cancel\" 123 70 50 14\n"
    "END\n";

class PageSetupForm : public CDialog {
 public:
  PageSetupForm(PAGESETUPDLG& psd, CWnd* parent)
      : psd_(psd), margins_{psd.rtMargin.left, psd.rtMargin.top, psd.rtMargin.right, psd.rtMargin.bottom} {
    InitModalIndirect(kPageSetupTemplate, parent);
  }
  void DoDataExchange(CDataExchange* dx) override {
    const int ids[] = {1155, 1156, 1157, 1158};
    const LONG minimums[] = {psd_.rtMinMargin.left, psd_.rtMinMargin.top, psd_.rtMinMargin.right,
                             psd_.rtMinMargin.bottom};
    for (int i = 0; i < 4; ++i) {
      DDX_Text(dx, ids[i], margins_[i]);
      DDV_MinMaxInt(dx, margins_[i], minimums[i], psd_.ptPaperSize.x / 2);
    }
  }
  void OnOK() override {
    if (!UpdateData(TRUE)) return;
    psd_.rtMargin = RECT{margins_[0], margins_[1], margins_[2], margins_[3]};
    EndDialog(IDOK);
  }

 private:
  PAGESETUPDLG& psd_;
  int margins_[4];
};

}  // namespace

BOOL PrintDlg(PRINTDLG* dialog) {
  if (!dialog) return FALSE;
  fillPrinter(dialog->hDevMode, dialog->hDevNames);
  std::string output = "printer-output.prn";
  if (!(dialog->Flags & PD_RETURNDEFAULT)) {
    mfc::UserDriver* driver = mfc::userDriver();
    if (!driver) {
      mfc::log("no user driver: print dialog cancelled");
      return FALSE;
    }
    mfc::FileDialogRequest request{false, "prn", output, "Printer Files (*.prn)|*.prn||", 0, 1};
    std::optional<std::string> chosen = driver->onFileDialog(request);
    if (!chosen) return FALSE;
    output = *chosen;
  }
  if (dialog->Flags & PD_RETURNDC) dialog->hDC = (new CPrinterDC(output))->GetSafeHdc();
  return TRUE;
}

CPrinterDC* printerDC(HDC dc) { return dynamic_cast<CPrinterDC*>(CDC::FromHandle(dc)); }

int CPrinterDC::StartDoc(const char* documentName) {
  operations_.push_back(std::string("document ") + (documentName ? documentName : ""));
  return 1;
}

int CPrinterDC::StartPage() {
  operations_.push_back("page");
  return 1;
}

int CPrinterDC::EndPage() {
  operations_.push_back("end page");
  return 1;
}

int CPrinterDC::EndDoc() {
  std::ostringstream text;
  for (const std::string& operation : operations_) text << operation << "\n";
  if (!kestrum::writeFileAtomically(outputFile_, text.str())) {
    mfc::log("printing failed: " + outputFile_ + " cannot be written");
    return -1;
  }
  return 1;
}

namespace {
bool printerMillimetres = false;
}  // namespace

void mfc::usePrinterMillimetres(bool on) { printerMillimetres = on; }

CPageSetupDialog::CPageSetupDialog(DWORD flags, CWnd* parent) : parent_(parent) { m_psd.Flags = flags; }

INT_PTR CPageSetupDialog::DoModal() {
  if (!(m_psd.Flags & (PSD_INHUNDREDTHSOFMILLIMETERS | PSD_INTHOUSANDTHSOFINCHES)))
    m_psd.Flags |= printerMillimetres ? PSD_INHUNDREDTHSOFMILLIMETERS : PSD_INTHOUSANDTHSOFINCHES;
  DWORD flags = m_psd.Flags;
  fillPrinter(m_psd.hDevMode, m_psd.hDevNames);
  m_psd.ptPaperSize = POINT{inUnit(kPaperWidth, flags), inUnit(kPaperHeight, flags)};
  LONG minimum = inUnit(kMinMargin, flags);
  m_psd.rtMinMargin = RECT{minimum, minimum, minimum, minimum};
  if (!(flags & PSD_MARGINS)) {
    LONG margin = inUnit(kDefaultMargin, flags);
    m_psd.rtMargin = RECT{margin, margin, margin, margin};
  } else {
    // Given margins below what the printer can reach are raised to its minimum.
    m_psd.rtMargin = RECT{std::max(m_psd.rtMargin.left, minimum), std::max(m_psd.rtMargin.top, minimum),
                          std::max(m_psd.rtMargin.right, minimum), std::max(m_psd.rtMargin.bottom, minimum)};
  }
  if (flags & PSD_RETURNDEFAULT) return IDOK;
  PageSetupForm form(m_psd, parent_);
  return form.DoModal();
}

HDC CPageSetupDialog::CreatePrinterDC(const std::string& outputFile) {
  fillPrinter(m_psd.hDevMode, m_psd.hDevNames);
  return (new CPrinterDC(outputFile))->GetSafeHdc();
}
