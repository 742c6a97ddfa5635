// A small entity class for the database tests: it files a count, a value, a label and a partner
// id, can refuse its erase, can erase its partner from inside its own erase, and can be told to
// write a record that its reader rejects.
#pragma once

#include <string>
#include <vector>

#include "arx/dbdatabase.h"
#include "arx/dbentity.h"

class TestThing : public AcDbEntity {
 public:
  ACRX_DECLARE_MEMBERS(TestThing);
  // Registers the class; safe to call more than once.
  static void registerClass();

  Adesk::Int32 count() const { return count_; }
  double value() const { return value_; }
  const std::string& label() const { return label_; }
  AcDbObjectId partner() const { return partner_; }
  void setCount(Adesk::Int32 count) {
    assertWriteEnabled();
    count_ = count;
  }
  void setValue(double value) {
    assertWriteEnabled();
    value_ = value;
  }
  void setLabel(const std::string& label) {
    assertWriteEnabled();
    label_ = label;
  }
  void setPartner(AcDbObjectId partner) {
    assertWriteEnabled();
    partner_ = partner;
  }

  // Not filed: test controls.
  Acad::ErrorStatus refuseErase = Acad::eOk;  // returned by subErase when not eOk
  bool cascadeToPartner = false;              // subErase erases (un-erases) the partner too
  bool writeUnreadableRecord = false;         // dwgOutFields writes what dwgInFields rejects
  bool failWriting = false;                   // dwgOutFields and dxfOutFields fail
  bool throwOnRestore = false;                // dwgInFields throws when undo or abort restores it
  std::vector<AcDb::FilerType> filedIn;       // filer types seen by dwgInFields

  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 private:
  Adesk::Int32 count_ = 0;
  double value_ = 0.0;
  std::string label_;
  AcDbObjectId partner_;
};

// Records every notification it receives, as text ("modified L", "erased L 1", "undone L").
class RecordingReactor : public AcDbObjectReactor {
 public:
  void modified(const AcDbObject* object) override;
  void erased(const AcDbObject* object, Adesk::Boolean erasing) override;
  void modifyUndone(const AcDbObject* object) override;
  std::vector<std::string> events;
};

// Adds a TestThing to model space and closes it; returns its id.
AcDbObjectId addThing(AcDbDatabase& db, const std::string& label, Adesk::Int32 count = 0);

// Opens a thing for read, reads it through `read`, closes it.
template <class Read>
auto readThing(AcDbObjectId id, Read read) {
  TestThing* thing = nullptr;
  acdbOpenObject(thing, id, AcDb::kForRead, true);
  auto result = read(*thing);
  thing->close();
  return result;
}
