#include "gui/dialogs/results/UIResPageSupport.h"

#include "amg/CaeMsgCall.h"
#include "amg/CaeUnit.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/FerResult.h"
#include "res/ResourceIds.h"

FerState& ResState() {
  FerState* state = FerState::GetState();
  CAE_CHECK(state != nullptr);
  return *state;
}

CaeFerInterface& ResInterface() {
  CaeFerInterface* ferInterface = ResState().GetInterface();
  CAE_CHECK(ferInterface != nullptr);
  return *ferInterface;
}

ResView ResGetView() {
  ResView view;
  ResInterface().GetFerSettings(view.display, view.settings);
  return view;
}

void ResStoreView(const ResView& view) { ResInterface().SetFerSettings(view.display, view.settings); }

FerResultSet* ResDisplayedSet(const FerDispSettings& settings) {
  FerResultSet* set = ResInterface().GetResultSet();
  CAE_CHECK(set != nullptr && set->Name() == settings.GetResultSet());
  return set;
}

CColorNameList::CColorNameList() {
  Add(IDS_COLOR_RED, FerRed);
  Add(IDS_COLOR_BLUE, FerBlue);
  Add(IDS_COLOR_LIGHT_BLUE, FerLightBlue);
  Add(IDS_COLOR_GREEN, FerGreen);
  Add(IDS_COLOR_MAGENTA, FerMagenta);
  Add(IDS_COLOR_BROWN, FerBrown);
  Add(IDS_COLOR_GRAY, FerGrey);
  Add(IDS_COLOR_YELLOW, FerYellow);
}

void ResFillColorCombo(CWnd& dialog, int comboId, int index) {
  auto* combo = static_cast<CComboBox*>(dialog.GetDlgItem(comboId));
  if (!combo) return;
  const CColorNameList colors;
  combo->ResetContent();
  for (int i = 0; i < colors.GetCount(); ++i) combo->AddString(colors.GetText(i).c_str());
  combo->SetCurSel(index >= 0 && index < colors.GetCount() ? index : -1);
}

namespace {

CComboBox* Combo(CWnd& page, int id) { return static_cast<CComboBox*>(page.GetDlgItem(id)); }

constexpr int kFrameLocal = 1;
constexpr int kTypeCylindrical = 1;

}  // namespace

void ResFillFrameAndType(CWnd& page, int frameId, int typeId) {
  CComboBox* frame = Combo(page, frameId);
  CComboBox* type = Combo(page, typeId);
  frame->ResetContent();
  frame->AddString(resLoadString(IDS_FRAME_GLOBAL).Str().c_str());
  frame->AddString(resLoadString(IDS_FRAME_LOCAL).Str().c_str());
  frame->SetCurSel(0);
  type->ResetContent();
  type->AddString(resLoadString(IDS_COORDSYS_CARTESIAN).Str().c_str());
  type->AddString(resLoadString(IDS_COORDSYS_CYLINDRICAL).Str().c_str());
  type->SetCurSel(0);
}

void ResShowCS(CWnd& page, int frameId, int typeId, const FerDispSetting& setting) {
  CaeTransform transform;
  int kind = 0;
  setting.GetCS(transform, kind);
  Combo(page, typeId)->SetCurSel(kind != 0 && kind != -1 ? kTypeCylindrical : 0);
  Combo(page, frameId)->SetCurSel(transform.IsIdentity() ? 0 : kFrameLocal);
}

void ResReadCS(CWnd& page, int frameId, int typeId, CaeTransform& transform, int& cylindrical) {
  transform = CaeTransform();
  if (Combo(page, frameId)->GetCurSel() == kFrameLocal)
    if (CadInterface* cad = CadInterface::GetCurrent()) cad->GetUcsTransform(transform);
  cylindrical = Combo(page, typeId)->GetCurSel() > 0 ? 1 : 0;
}

void ResFillDatasets(CWnd& page, int comboId, FerResultSet* set, int (FerResult::*accepts)() const, int quantity) {
  CComboBox* combo = Combo(page, comboId);
  combo->ResetContent();
  if (!set) return;
  for (FerResult* result = set->FirstResult(); result; result = set->NextResult()) {
    if (!(result->*accepts)()) continue;
    const int index = combo->AddString(result->Name().Str().c_str());
    if (result->QuantityType() == quantity) combo->SetCurSel(index);
  }
}

FerResult* ResSelectedResult(CWnd& page, int comboId, FerResultSet* set) {
  CComboBox* combo = Combo(page, comboId);
  const int selected = combo->GetCurSel();
  if (!set || selected < 0) return nullptr;
  CString name;
  combo->GetLBText(selected, name);
  return set->FindResult(FerResult::NameToType(CaeString(static_cast<const char*>(name))));
}

int ResSelectedQuantity(CWnd& page, int comboId, FerResultSet* set, int fallback) {
  FerResult* result = ResSelectedResult(page, comboId, set);
  return result ? result->QuantityType() : fallback;
}

void ResRebuildComponents(CWnd& page, int datasetId, int componentId, int typeId, FerResultSet* set) {
  FerResult* result = ResSelectedResult(page, datasetId, set);
  CaeString names[FerResult::kMaxComponents];
  if (result) result->GetComponentNames(names, Combo(page, typeId)->GetCurSel() != 0 ? 1 : 0);
  CComboBox* combo = Combo(page, componentId);
  int selected = combo->GetCurSel();
  const int oldCount = combo->GetCount();
  combo->ResetContent();
  for (const CaeString& name : names) {
    if (name.IsEmpty()) break;
    combo->AddString(name.Str().c_str());
  }
  const int count = combo->GetCount();
  if (oldCount == selected + 1) selected = count - 1;  // the last stays the last
  combo->EnableWindow(count > 0 ? TRUE : FALSE);
  if (count == 0) return;
  combo->SetCurSel(selected < 0 || selected >= count ? count - 1 : selected);
}

void ResSelectComponent(CWnd& page, int componentId, int mask) {
  for (int bit = 0; bit < FerResult::kMaxComponents; ++bit)
    if (mask & (1 << bit)) {
      Combo(page, componentId)->SetCurSel(bit);
      return;
    }
}

int ResSelectedComponentBit(CWnd& page, int componentId, int fallback) {
  const int selected = Combo(page, componentId)->GetCurSel();
  return selected >= 0 ? 1 << selected : fallback;
}

std::string ResUnitText(CaeUnitType type) {
  if (!CaeUnitStrTable::GetCurrent()) return "units";
  return FerUnitText(type).Str();
}

bool ResAnyShells() {
  CaeFerInterface& ferInterface = ResInterface();
  for (int i = 0; i < ferInterface.NumMesh(); ++i)
    if (ferInterface.MeshHasShells(ferInterface.MeshId(i))) return true;
  return false;
}

bool ResPageHelp(LPARAM lParam, LRESULT* result, DWORD_PTR context) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header || static_cast<int>(header->code) != PSN_HELP) return false;
  UIShowHelp(context, HELP_CONTEXT);
  if (result) *result = 1;
  return true;
}

bool ResReadBackPositive(CDialog& dialog, bool& exchanging, double& value) {
  if (exchanging) return false;
  const double last = value;
  exchanging = true;
  const BOOL valid = dialog.UpdateData(TRUE);
  exchanging = false;
  if (!valid) return false;
  if (!(value > 0)) {
    value = last;
    return false;
  }
  return true;
}
