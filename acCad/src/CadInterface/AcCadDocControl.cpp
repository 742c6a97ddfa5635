#include "CadInterface/AcCadDocControl.h"

#include <memory>
#include <string_view>

#include "amg/CaeString.h"
#include "arx/acdocman.h"
#include "cadInterface/CadApplication.h"
#include "cadInterface/CadResources.h"
#include "db/dbControl.h"
#include "fea/AnlControl.h"
#include "fev/FerWndOGLDisp.h"
#include "gui/explorer/CExpTab.h"
#include "mcad/amiapp.h"
#include "mfc/afx.h"
#include "res/ResourceIds.h"
#include "topo/acTopoTables.h"

namespace {

constexpr int kBrowserPageDisplay = 2;
constexpr char kBrowserGroup[] = "MApiSys";

struct DrawingNames {
  CaeString name;
  CaeString location;
  bool hasExtension = false;
};

DrawingNames namesOfPath(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = path.rfind('.');
  // A dot in a folder name is not the file's extension.
  if (dot == std::string_view::npos || dot < nameStart)
    return DrawingNames{CaeString(path.substr(nameStart)), CaeString(path), false};
  return DrawingNames{CaeString(path.substr(nameStart, dot - nameStart)), CaeString(path.substr(0, dot)), true};
}

CaeString tabTitle() {
  CaeString text = resLoadString(IDS_EXPLORER_TAB_TITLE);
  CaeString title;
  for (char c : text.View())
    if (c != '&') title += c;
  return title;
}

}  // namespace

AcCadDocData::AcCadDocData() : topoTables_(std::make_unique<AcTopoTables>()) {
  auto* control = new CaepAnlControl();
  SetAnlControl(control);
  control->SetCurrent();
  control->ApplyNativeUnits();
  SetDisplay(new FerWndOGLDisp());
}

void AcCadDocData::Activate() {
  CadDocData::Activate();
  if (auto* control = dynamic_cast<CaepAnlControl*>(GetAnlControl())) control->ApplyNativeUnits();
}

// The control goes first: its release redraws the conditions, which still refer to the drawing's
// topology references.
AcCadDocData::~AcCadDocData() { SetAnlControl(nullptr); }

AcCadDocControl::AcCadDocControl(AcApDocument* document) : CadDocControl(document) {
  SetData(new AcCadDocData());
  if (document) DrawingOpened(document->fileName());
}

AcCadDocControl::~AcCadDocControl() {
  RemoveExplorerTab();
  // A tab the browser would not give back is still our window: it must not outlive us.
  explorerTab_.reset();
  SetData(nullptr);
}

int AcCadDocControl::DrawingOpened(const char* path) {
  AnlControl* control = GetData() ? GetData()->GetAnlControl() : nullptr;
  if (!control) return 0;
  const DrawingNames names = namesOfPath(path ? path : "");
  control->Name(names.name);
  control->Location(names.location);
  return 1;
}

int AcCadDocControl::DrawingSaved(const char* path) {
  AnlControl* control = GetData() ? GetData()->GetAnlControl() : nullptr;
  if (!control) return 0;
  const DrawingNames names = namesOfPath(path ? path : "");
  if (names.hasExtension) {
    const CaeString oldLocation = control->Location();
    DrawingOpened(path);
    if (!oldLocation.IsEmpty() && oldLocation != control->Location())
      control->MoveExternalFiles(oldLocation, control->Location());
  } else {
    // Without an extension the files' folder would be the drawing file itself: they stay put.
    control->Name(names.name);
  }
  control->MarkAsSaved();
  return 1;
}

void AcCadDocControl::AddExplorerTab() {
  if (explorerTab_) {
    RefreshExplorerTab();
    return;
  }
  const CaeString title = tabTitle();
  auto tab = std::make_unique<CExpTab>();
  tab->SetAnlControl(GetData() ? GetData()->GetAnlControl() : nullptr);
  {
    ResourceSetter resources(1);
    if (!tab->Create(CExpTab::kTemplateId)) return;
  }
  if (amiAddBrowserTab(title.Text(), tab.get(), kBrowserPageDisplay, nullptr, kBrowserGroup) != Ami::eOk) return;
  explorerTab_ = std::move(tab);
}

int AcCadDocControl::RemoveExplorerTab() {
  if (!explorerTab_) return 1;
  if (amiRemoveBrowserTab(explorerTab_.get(), Document(), kBrowserGroup) != Ami::eOk) return 0;
  explorerTab_.reset();  // destroys the tree, then the tab's window
  return 1;
}

void AcCadDocControl::RefreshExplorerTab() {
  if (explorerTab_) explorerTab_->Refresh();
}

void acAddExplorerTab() {
  if (auto* control = dynamic_cast<AcCadDocControl*>(CadCurrentDocControl())) control->AddExplorerTab();
}

int acRemoveExplorerTab() {
  auto* control = dynamic_cast<AcCadDocControl*>(CadCurrentDocControl());
  return control ? control->RemoveExplorerTab() : 0;
}
