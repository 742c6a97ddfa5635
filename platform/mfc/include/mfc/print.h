// Printing: the print dialog, page set-up and printer device contexts. The one printer here is
// "Kestrum File Printer" (Letter paper): printing goes to a file the person names when the print
// dialog asks (the user driver's file dialog; "@file PATH" in scripts). A printer DC records its
// drawing like any CDC and writes the record, one operation a line, to that file at EndDoc
// (atomically: temporary file, sync, rename).
#pragma once
#include <string>

#include "mfc/dialog.h"
#include "mfc/gdi.h"

enum : DWORD { PD_NOSELECTION = 0x4, PD_PRINTTOFILE = 0x20, PD_RETURNDC = 0x100, PD_RETURNDEFAULT = 0x400 };

struct PRINTDLG {
  DWORD lStructSize = 66;
  HWND hwndOwner = nullptr;
  HGLOBAL hDevMode = nullptr;   // the printer's settings (a global block; GlobalFree it)
  HGLOBAL hDevNames = nullptr;  // the printer's name (a global block holding the text)
  HDC hDC = nullptr;            // with PD_RETURNDC; DeleteDC it
  DWORD Flags = 0;
  WORD nFromPage = 1, nToPage = 1, nMinPage = 1, nMaxPage = 1, nCopies = 1;
};

// With PD_RETURNDEFAULT: the default printer, without asking. Otherwise asks for the output file
// through the user driver; FALSE when cancelled.
BOOL PrintDlg(PRINTDLG* dialog);
#define PrintDlgA PrintDlg

// A printer device context: a CDC whose record goes to a file.
class CPrinterDC : public CDC {
 public:
  explicit CPrinterDC(std::string outputFile) : outputFile_(std::move(outputFile)) {}
  int StartDoc(const char* documentName);
  int StartPage();
  int EndPage();
  // Writes the record to the output file; a negative result when it cannot be written.
  int EndDoc();
  const std::string& outputFile() const { return outputFile_; }

 private:
  std::string outputFile_;
};
// The printer DC behind a handle, or null when it is another kind of DC.
CPrinterDC* printerDC(HDC dc);

enum : DWORD {
  PSD_MARGINS = 0x2,
  PSD_INTHOUSANDTHSOFINCHES = 0x4,
  PSD_INHUNDREDTHSOFMILLIMETERS = 0x8,
  PSD_RETURNDEFAULT = 0x400,
};

struct PAGESETUPDLG {
  DWORD lStructSize = 84;
  HWND hwndOwner = nullptr;
  HGLOBAL hDevMode = nullptr;
  HGLOBAL hDevNames = nullptr;
  DWORD Flags = 0;
  POINT ptPaperSize;  // in the unit of the flags
  RECT rtMinMargin;
  RECT rtMargin;  // in with PSD_MARGINS, out always
};

// Page set-up. With PSD_RETURNDEFAULT it fills the printer's paper and margins without asking;
// otherwise it runs a modal dialog (edits 1155 left, 1156 top, 1157 right, 1158 bottom, in the
// flags' unit; margins below the printer's minimum are refused) that drivers fill like any other.
// The unit is thousandths of inches unless PSD_INHUNDREDTHSOFMILLIMETERS is set.
namespace mfc {
// Whether the printer reports its lengths in hundredths of millimetres when the caller does not
// ask for a unit (a metric locale); thousandths of inches otherwise (the start).
void usePrinterMillimetres(bool on);
}  // namespace mfc

class CPageSetupDialog {
 public:
  explicit CPageSetupDialog(DWORD flags = PSD_MARGINS, CWnd* parent = nullptr);
  virtual ~CPageSetupDialog() = default;
  virtual INT_PTR DoModal();
  // A printer DC for the set-up's printer, writing to `outputFile`; DeleteDC it.
  HDC CreatePrinterDC(const std::string& outputFile = "printer-output.prn");
  PAGESETUPDLG m_psd;

 private:
  CWnd* parent_;
};
