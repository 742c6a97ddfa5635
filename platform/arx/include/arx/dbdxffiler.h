// The group-code filer of DXF text: a sequence of (group code, value) items. Objects write their
// DXF fields with dxfOutFields and read them with dxfInFields. Values are kept as text formatted
// in the "C" locale, exactly as they appear in a DXF file. Like the binary filer, every call
// returns a status, a failure sticks in filerStatus(), and setFailAt(n) makes the n-th call and
// all later ones fail with eFilerError.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "arx/adesk.h"
#include "arx/dbid.h"
#include "arx/gebasic.h"
#include "arx/status.h"

struct AcDbDxfItem {
  int code = 0;
  std::string value;
};

class AcDbDxfFiler {
 public:
  // A writing filer.
  explicit AcDbDxfFiler(AcDbDatabase* database);
  // A reading filer over `items`.
  AcDbDxfFiler(AcDbDatabase* database, std::vector<AcDbDxfItem> items);
  AcDbDxfFiler(const AcDbDxfFiler&) = delete;
  AcDbDxfFiler& operator=(const AcDbDxfFiler&) = delete;

  AcDbDatabase* database() const { return database_; }
  Acad::ErrorStatus filerStatus() const { return status_; }
  void setFailAt(long callNumber) { failAt_ = callNumber; }
  const std::vector<AcDbDxfItem>& items() const { return items_; }
  bool atEnd() const { return position_ == items_.size(); }

  Acad::ErrorStatus writeString(int code, const std::string& text);
  Acad::ErrorStatus writeInt16(int code, Adesk::Int16 value);
  Acad::ErrorStatus writeInt32(int code, Adesk::Int32 value);
  Acad::ErrorStatus writeDouble(int code, double value);
  // Writes the object's handle (0 for null) in hexadecimal.
  Acad::ErrorStatus writeObjectId(int code, const AcDbObjectId& id);
  // Writes x, y and z under code, code + 10 and code + 20.
  Acad::ErrorStatus writePoint3d(int code, const AcGePoint3d& point);

  // The next item without consuming it; false at the end.
  bool peek(AcDbDxfItem* item) const;
  // The next item, whatever its code.
  Acad::ErrorStatus readItem(AcDbDxfItem* item);
  // Typed reads: the next item must carry `code` and parse as the type.
  Acad::ErrorStatus readString(int code, std::string* text);
  Acad::ErrorStatus readInt16(int code, Adesk::Int16* value);
  Acad::ErrorStatus readInt32(int code, Adesk::Int32* value);
  Acad::ErrorStatus readDouble(int code, double* value);
  Acad::ErrorStatus readObjectId(int code, AcDbObjectId* id);
  Acad::ErrorStatus readPoint3d(int code, AcGePoint3d* point);

 private:
  bool beginCall();
  Acad::ErrorStatus fail();
  Acad::ErrorStatus take(int code, std::string* value);

  AcDbDatabase* database_;
  std::vector<AcDbDxfItem> items_;
  std::size_t position_ = 0;
  Acad::ErrorStatus status_ = Acad::eOk;
  long calls_ = 0;
  long failAt_ = 0;
};
