// The AutoCAD document control and document data.
//
// AcCadDocData creates the drawing's analysis control (CaepAnlControl, made current) and its results window
// (FerWndOGLDisp, installed as the current display). AcCadDocControl names the analysis control
// after the drawing file, moves the external analysis files when the drawing is saved under a new
// name, and owns the Explorer tab it places in the part modeller's browser (group "MApiSys").
#pragma once

#include <memory>

#include "cadInterface/CadDocControl.h"

class AcApDocument;
class CExpTab;

class AcTopoTables;

class AcCadDocData : public CadDocData {
 public:
  AcCadDocData();
  ~AcCadDocData() override;
  // Also makes the drawing's native units (its length unit, or metre while none is chosen) the
  // engine's native system.
  void Activate() override;

  // The drawing's canonical B-rep entities and topology references (topo/acTopoTables.h),
  // deleted with the data.
  AcTopoTables& TopoTables() { return *topoTables_; }

 private:
  std::unique_ptr<AcTopoTables> topoTables_;
};

class AcCadDocControl : public CadDocControl {
 public:
  // Creates the data; with a document, names the analysis control after its file.
  explicit AcCadDocControl(AcApDocument* document);
  // Removes the Explorer tab, then deletes the data.
  ~AcCadDocControl() override;

  // The analysis control's name becomes the file name between the last folder separator ("\" or
  // "/") and the last "." after it; its location (the folder of its external files) the whole
  // path before that ".". A file name without extension gives its whole name and path. 0 without
  // an analysis control.
  int DrawingOpened(const char* path) override;
  // Renames as DrawingOpened and moves the external files from the old location to the new one
  // (not when there was none or it did not change), then marks the control saved. A path without
  // extension only renames: the files keep their location.
  int DrawingSaved(const char* path) override;

  AcApDocument* Document() { return static_cast<AcApDocument*>(GetDocument()); }

  // Adds the Explorer tab to the browser, or refreshes it when it exists already. A refused
  // tab is deleted and nothing is kept.
  void AddExplorerTab();
  // Removes the tab from the browser; 0, keeping the tab, when the browser refuses.
  int RemoveExplorerTab();
  bool HasExplorerTab() const { return explorerTab_ != nullptr; }
  CExpTab* ExplorerTab() const { return explorerTab_.get(); }
  // Rebuilds the tab's tree and counts its pending jobs again.
  void RefreshExplorerTab();

 private:
  std::unique_ptr<CExpTab> explorerTab_;
};

// The Explorer tab of the current document control: added (or refreshed) and removed.
void acAddExplorerTab();
int acRemoveExplorerTab();
