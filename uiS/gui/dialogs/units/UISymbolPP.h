// The "Symbol" page through which every sheet edits the colour and size a condition, mating
// relation, mesh refinement or design constraint is drawn with, and the small tables that fill
// and read colour combos. The page edits values only; its owner writes the drawing objects.
#pragma once
#include <string>
#include <vector>

#include "amg/CaeUnit.h"
#include "amg/CaeVector.h"
#include "mfc/afx.h"
#include "mfc/propsheet.h"
#include "res/ResourceIds.h"

// Entries (text string id, stored code) in combo order.
class CIdCodeList {
 public:
  virtual ~CIdCodeList() = default;
  void Add(UINT stringId, int code);
  int GetCount() const;
  // The entry's text from the localised resources; empty out of range.
  std::string GetText(int index) const;
  // Position of the first entry with `code`, -1 when none.
  int IndexOfCode(int code) const;
  // Code of the entry, -1 out of range.
  int CodeAtIndex(int index) const;

 private:
  struct Entry {
    UINT stringId;
    int code;
  };
  std::vector<Entry> entries_;
};

// The nine symbol colours, Red .. Light Gray, with colour codes 1 .. 9.
class CSymbolColorList : public CIdCodeList {
 public:
  CSymbolColorList();
};

// Shown size and size mode a new object's symbol starts from; module-wide, never filed.
struct SymbolDefaults {
  double size = 1.0;
  int sizeMode = 0;  // 0 Fixed, 1 Scaled
};
SymbolDefaults& UISymbolDefaults();
// Back to 1.0 and Fixed (add-in load and unload, tests).
void UIResetSymbolDefaults();

class CSymbolPP : public CPropertyPage {
 public:
  enum SizeMode { kFixed = 0, kScaled = 1 };
  enum Mask { kColorBit = 1, kSizeBit = 2 };

  explicit CSymbolPP(UINT templateId = IDD_SYMBOL_ATTRIBUTE);

  // Colour code 1-9; any other code leaves the combo without a selection.
  void SetColor(int colorCode);
  // The selected colour code, -1 when none.
  int GetColor() const;
  // A size in native length units, shown per the current mode (set the mode first): Fixed in
  // host length units; Scaled as the reference (in host units of its type) per host length unit.
  // A size of 0 or less, or a Scaled size without a reference, leaves the shown value alone.
  void SetSymbolSize(double nativeSize);
  // The size in native length units from the shown value.
  double GetSymbolSize() const;
  void StoreDefaults() const;
  void LoadDefaults();
  // The unit label: host length unit, or "<reference unit>/<length unit>" in Scaled mode.
  void UpdateSizeLabel(int mode);

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  // The help context of this page's template (and, for the design template, the wizard kind).
  DWORD_PTR HelpContext() const;

  int m_nRefUnitType = CaeUtNone;
  CaeVector m_refVector;  // only its length counts; native units of m_nRefUnitType
  BOOL m_bScaledAllowed = TRUE;
  int m_nPictureId = -1;
  UINT m_nTemplateId;
  int m_nEnableMask = kColorBit | kSizeBit;
  int m_nShowMask = kColorBit | kSizeBit;
  int m_nColor = 0;
  double m_dSize = 1.0;
  int m_nSizeMode = kFixed;
  BOOL m_bShown = FALSE;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  void OnFixed();
  void OnScaled();
  DECLARE_MESSAGE_MAP()

 private:
  // |m_refVector| in host units of its type.
  double ReferenceInHostUnits() const;
  void ShowControl(int id, bool enabled, bool shown);
};
