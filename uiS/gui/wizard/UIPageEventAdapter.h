// The second base of the guide pages: every message a page handles becomes one page event, run
// through one guarded call (Dispatch) that behaves like a command of the dispatcher: the event
// runs inside a host transaction, the transaction depth is checked afterwards, an engine
// exception is printed on the command line and what it left open is aborted, and any other
// exception is reported as a fault.
#pragma once
#include "mfc/afx.h"

enum class PageEventCode : int {
  Next = 0,
  Back = 1,
  Activated = 2,
  InitDialog = 3,
  Help = 4,
  Paint = 5,
  QueryNewPalette = 6,
  PaletteChanged = 7,
  Shown = 8,
};

class CPageEventAdapter {
 public:
  virtual ~CPageEventAdapter() = default;

  // The page's handling of one event; other codes answer 0.
  virtual int OnPageEvent(PageEventCode code) = 0;

  // Runs OnPageEvent(code) with the localised resources current, inside a transaction of the
  // current CAD, and answers its result; 0 when an exception ended it. Calls may nest: each level
  // checks and aborts against the depth it found.
  int Dispatch(PageEventCode code);

  // Activate the page after or before the sheet's active page.
  static void NextPage(CPropertySheet* sheet);
  static void PrevPage(CPropertySheet* sheet);
  // Realise the palette selected in the page's context and repaint it later (posted); the first
  // answers the entries realised (0 without a context).
  static int OnQueryNewPalette(CWnd* page);
  static void OnPaletteChanged(CWnd* page);
};
