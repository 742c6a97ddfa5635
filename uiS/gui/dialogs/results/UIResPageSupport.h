// What the results sheet's pages share: the results state and its interface (each a consistency
// check when missing), the view's settings and the set they display, the Frame and Type combos,
// the component list of a dataset, the results colour list, and the host unit text of a quantity.
#pragma once
#include <string>

#include "fea/FerSettings.h"
#include "fea/FerState.h"
#include "gui/dialogs/units/UISymbolPP.h"
#include "mfc/afx.h"

FerState& ResState();
CaeFerInterface& ResInterface();

// The view's settings and the display they belong to.
struct ResView {
  FerDisplay* display = nullptr;
  FerDispSettings settings;
};
ResView ResGetView();
void ResStoreView(const ResView& view);
// The displayed result set; it must be the one the settings name (consistency check).
FerResultSet* ResDisplayedSet(const FerDispSettings& settings);

// The results colour list: eight names with their engine colour codes, in combo order.
class CColorNameList : public CIdCodeList {
 public:
  CColorNameList();
};
// Fills a combo with the list's names and selects `index` (none when out of range).
void ResFillColorCombo(CWnd& dialog, int comboId, int index);

// Frame ("Global", "Local") and Type ("Cartesian", "Cylindrical") combos.
void ResFillFrameAndType(CWnd& page, int frameId, int typeId);
// Shows a setting's coordinate system: Cylindrical when the kind is neither 0 nor -1, Local when
// the transform is not the identity.
void ResShowCS(CWnd& page, int frameId, int typeId, const FerDispSetting& setting);
// The coordinate system chosen: the identity, or with "Local" the CAD's user coordinate system.
void ResReadCS(CWnd& page, int frameId, int typeId, CaeTransform& transform, int& cylindrical);

// Lists the results of `set` that `accepts` in a dataset combo and selects the one of `quantity`.
void ResFillDatasets(CWnd& page, int comboId, FerResultSet* set, int (FerResult::*accepts)() const, int quantity);
// The displayed set's result named by the dataset combo's selection; null when none.
FerResult* ResSelectedResult(CWnd& page, int comboId, FerResultSet* set);
// The quantity type of the dataset selection; `fallback` when nothing is selected.
int ResSelectedQuantity(CWnd& page, int comboId, FerResultSet* set, int fallback);

// Rebuilds the component combo for the selected dataset and the Type choice, keeping the
// selected index where it still exists (the last one stays the last); disabled when empty.
void ResRebuildComponents(CWnd& page, int datasetId, int componentId, int typeId, FerResultSet* set);
// Selects the lowest bit of `mask` among bits 0 to 10 (no change when none is set).
void ResSelectComponent(CWnd& page, int componentId, int mask);
// The component bit of the selection (1 shifted by its index); `fallback` when none is selected.
int ResSelectedComponentBit(CWnd& page, int componentId, int fallback);

// Reads a dialog's controls back after the user changed a value edit (not while `exchanging`):
// a non-number gets the standard message and `value` keeps its last valid value, as does a
// value of 0 or less. True when `value` holds a new valid value.
bool ResReadBackPositive(CDialog& dialog, bool& exchanging, double& value);

// The short host unit name of a quantity's unit type; "units" when there is no unit table.
std::string ResUnitText(CaeUnitType type);

// Whether any mesh of the current model has shells.
bool ResAnyShells();

// Answers the property-sheet help notification with the page's context; true when handled.
bool ResPageHelp(LPARAM lParam, LRESULT* result, DWORD_PTR context);
