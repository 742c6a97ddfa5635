#include "db/dbFiling.h"

#include "CadInterface/AcCadDocControl.h"
#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/dbdxffiler.h"
#include "arx/dbobject.h"
#include "cadInterface/CadApplication.h"
#include "db/dbControl.h"

Acad::ErrorStatus dbReportFilingException(const char* text) {
  acutPrintf("\nTLX Exception: %s", text ? text : "");
  return Acad::eFilerError;
}

AcCadDocData* dbDocDataOf(const AcDbDatabase* database) {
  if (!database) return nullptr;
  CadApplication* application = CadGetApplication();
  if (!application) return nullptr;
  AcApDocument* document = acDocManagerPtr()->document(database);
  if (!document) return nullptr;
  CadDocControl* control = application->FindDocControl(document);
  return control ? dynamic_cast<AcCadDocData*>(control->GetData()) : nullptr;
}

CaepAnlControl* dbControlOf(const AcDbDatabase* database) {
  AcCadDocData* data = dbDocDataOf(database);
  return data ? dynamic_cast<CaepAnlControl*>(data->GetAnlControl()) : nullptr;
}

std::string dbObjectLabel(const AcDbObject* object, const char* className) {
  return std::string(className) + " " + object->objectHandle().text();
}

Acad::ErrorStatus dbWriteDxfMarker(AcDbDxfFiler* filer, const char* className) {
  return filer->writeString(100, className);
}

bool dbReadDxfMarker(AcDbDxfFiler* filer, const char* className) {
  AcDbDxfItem item;
  if (!filer->peek(&item) || item.code != 100 || item.value != className) return false;
  filer->readItem(&item);
  return true;
}
