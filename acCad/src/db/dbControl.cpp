#include "db/dbControl.h"

#include "amg/CaeConfig.h"
#include "db/dbRecords.h"

namespace {

CaeString rootDirectory() {
  CaeString value;
  CaeConfig::GetValue(1, "Root Directory", value);
  return value;
}

}  // namespace

CaepAnlControl::CaepAnlControl() { Location(rootDirectory()); }

CaepAnlControl::CaepAnlControl(const CaeString& name) : AnlControl(name) { Location(rootDirectory()); }

CaepAnlControl::~CaepAnlControl() {
  if (CaeUnitSystem::GetNativeSystem() == &nativeUnits_) CaeUnitSystem::SetNativeSystem(nullptr);
}

bool CaepAnlControl::SetLengthUnit(int unit) {
  if (!dbIsDrawingLengthUnit(unit)) return false;
  lengthUnit_ = unit;
  nativeUnits_.SetUnit(CaeUtLength, unit);
  return true;
}

void CaepAnlControl::ApplyNativeUnits() { CaeUnitSystem::SetNativeSystem(&nativeUnits_); }

void CaepAnlControl::SetVersionRecordId(const CaepVersionObj* record) {
  versionRecordId_ = record ? record->objectId() : AcDbObjectId();
}

void CaepAnlControl::SetLengthUnitRecordId(const CaepUnitsObj* record) {
  lengthUnitRecordId_ = record ? record->objectId() : AcDbObjectId();
}
