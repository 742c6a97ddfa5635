// What every stored class of the add-in shares when it files itself: the data version, which
// filer types carry the class fields, the guarded block that turns a consistency check into the
// filer-error status, and the drawing (document data and analysis control) being filed.
#pragma once

#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeString.h"
#include "arx/adesk.h"
#include "arx/dbdxffiler.h"
#include "arx/dbentity.h"
#include "arx/dbfiler.h"
#include "arx/dbid.h"
#include "arx/dbobject.h"
#include "arx/rxobject.h"
#include "arx/status.h"

class AcCadDocData;
class AcDbDatabase;
class CaepAnlControl;

// Registers a stored class with the host's runtime, once: parent "AcDbObject" (or `parent`),
// drawing version 23, maintenance version 6, application "TLXARX".
void dbRegisterClass(const char* name, const char* dxfName, AcRxPseudoConstructor make,
                     const char* parent = "AcDbObject");
// The pseudo-constructor of a stored class: a default-constructed object (null when out of memory).
template <class T>
AcRxObject* dbMakeObject() {
  return new (std::nothrow) T();
}

// A filer call that fails is a consistency check; dbGuardedFiling turns it into the filer status.
#define DB_CHECK_FILER(status) CAE_CHECK((status) == Acad::eOk)

// Written first by every class with fields of its own.
inline constexpr Adesk::UInt16 kDbDataVersion = 630;

// Copying, id translation, cloning and wblock carry only the host part; the purge filer reads
// the fields but is never given them.
constexpr bool dbFilerWritesFields(AcDb::FilerType type) {
  return type == AcDb::kFileFiler || type == AcDb::kUndoFiler || type == AcDb::kBagFiler || type == AcDb::kPageFiler ||
         type == AcDb::kIdFiler;
}
constexpr bool dbFilerReadsFields(AcDb::FilerType type) {
  return dbFilerWritesFields(type) || type == AcDb::kPurgeFiler;
}

// Runs `body`, which answers the filer's status; an engine exception raised inside is printed as
// "\nTLX Exception: %s" and answered with eFilerError.
template <class Body>
Acad::ErrorStatus dbGuardedFiling(Body&& body);

// Prints the exception text and answers eFilerError (the catch half of dbGuardedFiling).
Acad::ErrorStatus dbReportFilingException(const char* text);

template <class Body>
Acad::ErrorStatus dbGuardedFiling(Body&& body) {
  try {
    return body();
  } catch (const CaeExcept& error) {
    return dbReportFilingException(error.String().Text());
  }
}

// The document data and analysis control of the drawing that owns `database`, or null when no
// open document holds it (a database read outside any drawing).
AcCadDocData* dbDocDataOf(const AcDbDatabase* database);
CaepAnlControl* dbControlOf(const AcDbDatabase* database);

// "CLASS HANDLE" of a stored object, to name it in messages.
std::string dbObjectLabel(const AcDbObject* object, const char* className);

// DXF: each class writes its fields after a "100" marker with its class name. True when the
// marker is next (and consumed); false when the file carries no fields for the class.
Acad::ErrorStatus dbWriteDxfMarker(AcDbDxfFiler* filer, const char* className);
bool dbReadDxfMarker(AcDbDxfFiler* filer, const char* className);

// One pass over a class's fields, to or from a DWG or a DXF filer, in the same order both ways.
// Every failed filer call is a consistency check. DXF takes one group code per kind of value.
class DbFields {
 public:
  enum class Ref { HardOwner, SoftOwner, HardPointer, SoftPointer };
  DbFields(AcDbDwgFiler* filer, bool reading) : dwg_(filer), reading_(reading) {}
  DbFields(AcDbDxfFiler* filer, bool reading) : dxf_(filer), reading_(reading) {}

  bool Reading() const { return reading_; }
  // The filer behind the pass (one of the two is null), for values the pass does not cover.
  AcDbDwgFiler* DwgFiler() const { return dwg_; }
  AcDbDxfFiler* DxfFiler() const { return dxf_; }
  void UInt16(Adesk::UInt16& value);
  void Int16(Adesk::Int16& value);
  void Int32(Adesk::Int32& value);
  void UInt32(Adesk::UInt32& value);
  // A value read must be finite.
  void Double(double& value);
  void String(CaeString& text);
  void Id(AcDbObjectId& id, Ref kind);
  // A count read must lie in 0..kMaxCount.
  void Count(Adesk::Int32& count);
  // A list as a count and its ids; null ids read are dropped.
  void Ids(std::vector<AcDbObjectId>& ids, Ref kind);

  static constexpr Adesk::Int32 kMaxCount = 1 << 20;

 private:
  AcDbDwgFiler* dwg_ = nullptr;
  AcDbDxfFiler* dxf_ = nullptr;
  bool reading_;
};

// Reads or writes a class's fields behind the filer-type test, the parent's filing, the DXF
// marker and the guarded block that turns a consistency check into the filer-error status.
template <class Object, class Body>
Acad::ErrorStatus dbFileDwg(const Object* object, AcDbDwgFiler* filer, bool reading, Body&& body);
template <class Object, class Body>
Acad::ErrorStatus dbFileDxf(const Object* object, AcDbDxfFiler* filer, bool reading, const char* className,
                            Body&& body);

// The host class whose filing runs first: AcDbEntity for entities, else AcDbObject.
template <class Object>
using DbHostParent = std::conditional_t<std::is_base_of_v<AcDbEntity, Object>, AcDbEntity, AcDbObject>;

template <class Object, class Body>
Acad::ErrorStatus dbFileDwg(const Object* object, AcDbDwgFiler* filer, bool reading, Body&& body) {
  using Parent = DbHostParent<Object>;
  auto* self = const_cast<Object*>(object);
  if (reading) {
    self->assertWriteEnabled();
    if (Acad::ErrorStatus status = self->Parent::dwgInFields(filer); status != Acad::eOk) return status;
    if (!dbFilerReadsFields(filer->filerType())) return filer->filerStatus();
  } else {
    object->assertReadEnabled();
    if (Acad::ErrorStatus status = object->Parent::dwgOutFields(filer); status != Acad::eOk) return status;
    if (!dbFilerWritesFields(filer->filerType())) return filer->filerStatus();
  }
  return dbGuardedFiling([&] {
    DbFields fields(filer, reading);
    body(fields);
    return filer->filerStatus();
  });
}

template <class Object, class Body>
Acad::ErrorStatus dbFileDxf(const Object* object, AcDbDxfFiler* filer, bool reading, const char* className,
                            Body&& body) {
  using Parent = DbHostParent<Object>;
  auto* self = const_cast<Object*>(object);
  if (reading) {
    self->assertWriteEnabled();
    if (Acad::ErrorStatus status = self->Parent::dxfInFields(filer); status != Acad::eOk) return status;
    if (!dbReadDxfMarker(filer, className)) return filer->filerStatus();
  } else {
    object->assertReadEnabled();
    if (Acad::ErrorStatus status = object->Parent::dxfOutFields(filer); status != Acad::eOk) return status;
  }
  return dbGuardedFiling([&] {
    if (!reading) CAE_CHECK(dbWriteDxfMarker(filer, className) == Acad::eOk);
    DbFields fields(filer, reading);
    body(fields);
    return filer->filerStatus();
  });
}
