// The drawing's analysis control: what the engine and the user interface reach the drawing's
// stored objects through. It is never filed; the stored records hand it what it knows.
//
// This part holds the drawing's length unit and the ids of its two drawing records. The length
// unit is CaeUnitNone (33) until one is chosen or read; the control's own native unit system
// carries it (metre while none is chosen) and becomes the engine's native system when the
// drawing is activated.
#pragma once

#include "amg/CaeUnit.h"
#include "arx/dbid.h"
#include "fea/AnlControl.h"

class CaepUnitsObj;
class CaepVersionObj;

class CaepAnlControl : public AnlControl {
 public:
  CaepAnlControl();
  explicit CaepAnlControl(const CaeString& name);
  ~CaepAnlControl() override;

  // Stores the drawing's length unit (0 metre .. 4 foot) and makes it the length of the native
  // system. Another code is refused: false, nothing changed.
  bool SetLengthUnit(int unit);
  int LengthUnit() const { return lengthUnit_; }
  // The native system of this drawing: its length unit, or metre while none is chosen.
  CaeUnitSystem& NativeUnits() { return nativeUnits_; }
  // Makes the drawing's native system the engine's (activation of the drawing).
  void ApplyNativeUnits();

  void SetVersionRecordId(const CaepVersionObj* record);
  void SetLengthUnitRecordId(const CaepUnitsObj* record);
  AcDbObjectId VersionRecordId() const { return versionRecordId_; }
  AcDbObjectId LengthUnitRecordId() const { return lengthUnitRecordId_; }

 private:
  int lengthUnit_ = CaeUnitNone;
  CaeUnitSystem nativeUnits_;
  AcDbObjectId versionRecordId_;
  AcDbObjectId lengthUnitRecordId_;
};

// True for the length codes a drawing may choose (metre, centimetre, millimetre, inch, foot).
constexpr bool dbIsDrawingLengthUnit(int unit) { return unit >= 0 && unit <= 4; }
