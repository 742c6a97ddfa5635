// What every stored class of the add-in shares when it files itself: the data version, which
// filer types carry the class fields, the guarded block that turns a consistency check into the
// filer-error status, and the drawing (document data and analysis control) being filed.
#pragma once

#include <string>

#include "amg/CaeExcept.h"
#include "arx/adesk.h"
#include "arx/dbid.h"
#include "arx/status.h"

class AcCadDocData;
class AcDbDatabase;
class AcDbDxfFiler;
class AcDbObject;
class CaepAnlControl;

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
