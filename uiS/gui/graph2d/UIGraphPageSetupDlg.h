// CGraphPageSetupDlg: where and how large a graph is printed on the default printer's page, and
// in which picture format it goes to the printer and the clipboard, with a scaled preview of the
// chart on the page.
#pragma once

#include "gui/graph2d/UIGraphCtl.h"
#include "mfc/print.h"

class CGraphPageSetupDlg : public CDialog {
 public:
  // Asks the platform for the default printer without showing anything.
  explicit CGraphPageSetupDlg(CGraphCtl* owner);
  ~CGraphPageSetupDlg() override;

  BOOL HasPrinter() const;
  // Recomputes size and margins; with `marginsAreLimits` the current margins become the minimum.
  void UpdatePreview(BOOL marginsAreLimits);

  // In: the owner's client rectangle; out (after OK): the placement in printer device units.
  RECT m_imageRect{0, 0, 0, 0};
  int m_formatIndex = -1;  // 0 bitmap, 1 metafile, 2 enhanced, 3 standard metafile
  int m_sizeIndex = -1;    // 0 full page, 1 width, 2 height
  double m_width = 0, m_height = 0;
  CGraphCtl m_preview;

  // The centring choices shared by every page setup while the add-in is loaded.
  static void ResetModule();

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCenter();
  void OnFullPage();
  void OnByWidth();
  void OnByHeight();
  void OnWidthChange();
  void OnHeightChange();
  void OnPaper();
  void OnHelp();
  void OnMove(int x, int y);
  void OnPaint();
  DECLARE_MESSAGE_MAP()

 private:
  void PageGeometry();
  void PlacePreview();
  void PlacePage();
  void FillPreview();
  void SetBox(int id, double value);
  int Divisor() const { return m_inches ? 1000 : 100; }
  int Decimals() const { return m_inches ? 3 : 2; }

  CPageSetupDialog m_pageSetup;
  RECT m_page{0, 0, 0, 0};
  double m_top = 0, m_left = 0, m_right = 0, m_bottom = 0;
  double m_aspect = 1;
  double m_scale = 1;
  BOOL m_inches = TRUE;
  int m_echo = 0;  // 0 writing the boxes, 1 normal, 2 width typed, 3 height typed
  int m_shadow = 10;
  CGraphCtl* m_owner;
};
