// The typed binary filer: objects write their fields into it with dwgOutFields and read them
// back, in the same order, with dwgInFields. Every call returns a status. Each value is stored
// with a one-byte type tag, so reading a field as another type than it was written fails
// (eFilerError) instead of producing garbage; reading past the end fails the same way.
//
// The filer type tells objects what the filing is for (drawing file, undo, copy ...). A failing
// call sets filerStatus() and every later call fails too, so a caller may check only at the end.
// setFailAt(n) makes the n-th call (counting from 1, over reads and writes) and every later call
// fail with eFilerError, so that callers' error paths can be tested.
//
// Ids are filed as the object's handle. On reading, handles are turned back into ids of the
// filer's database; a handle that names no object there reads back as the null id.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "arx/adesk.h"
#include "arx/dbid.h"
#include "arx/gebasic.h"
#include "arx/status.h"

class AcDbDwgFiler {
 public:
  // A filer that writes into an empty buffer.
  AcDbDwgFiler(AcDb::FilerType type, AcDbDatabase* database);
  // A filer that reads `data`, which must outlive the filer (it is not copied).
  AcDbDwgFiler(AcDb::FilerType type, AcDbDatabase* database, std::string_view data);
  AcDbDwgFiler(const AcDbDwgFiler&) = delete;
  AcDbDwgFiler& operator=(const AcDbDwgFiler&) = delete;

  AcDb::FilerType filerType() const { return type_; }
  Acad::ErrorStatus filerStatus() const { return status_; }
  void resetFilerStatus() { status_ = Acad::eOk; }
  AcDbDatabase* database() const { return database_; }
  // Makes call number `callNumber` (1-based) and all later calls fail; 0 turns this off.
  void setFailAt(long callNumber) { failAt_ = callNumber; }
  long callCount() const { return calls_; }

  // What a writing filer has written (valid until its next write).
  std::string_view buffer() const { return std::string_view(buffer_.data(), used_); }
  std::string takeBuffer();
  // Empties a writing filer for the next record, keeping its memory, and clears its status.
  void clearBuffer();
  // True when a reading filer has consumed every byte.
  bool atEnd() const { return position_ == input_.size(); }

  Acad::ErrorStatus writeBool(bool value);
  Acad::ErrorStatus writeInt8(Adesk::Int8 value);
  Acad::ErrorStatus writeInt16(Adesk::Int16 value);
  Acad::ErrorStatus writeUInt16(Adesk::UInt16 value);
  Acad::ErrorStatus writeInt32(Adesk::Int32 value);
  Acad::ErrorStatus writeUInt32(Adesk::UInt32 value);
  Acad::ErrorStatus writeUInt64(Adesk::UInt64 value);
  Acad::ErrorStatus writeDouble(double value);
  Acad::ErrorStatus writeString(const char* text);  // null writes an empty string
  Acad::ErrorStatus writeString(const std::string& text);
  Acad::ErrorStatus writeBytes(const void* data, Adesk::UInt32 size);
  Acad::ErrorStatus writeHardOwnershipId(const AcDbHardOwnershipId& id);
  Acad::ErrorStatus writeSoftOwnershipId(const AcDbSoftOwnershipId& id);
  Acad::ErrorStatus writeHardPointerId(const AcDbHardPointerId& id);
  Acad::ErrorStatus writeSoftPointerId(const AcDbSoftPointerId& id);
  Acad::ErrorStatus writePoint3d(const AcGePoint3d& point);
  Acad::ErrorStatus writeVector3d(const AcGeVector3d& vector);

  Acad::ErrorStatus readBool(bool* value);
  Acad::ErrorStatus readInt8(Adesk::Int8* value);
  Acad::ErrorStatus readInt16(Adesk::Int16* value);
  Acad::ErrorStatus readUInt16(Adesk::UInt16* value);
  Acad::ErrorStatus readInt32(Adesk::Int32* value);
  Acad::ErrorStatus readUInt32(Adesk::UInt32* value);
  Acad::ErrorStatus readUInt64(Adesk::UInt64* value);
  Acad::ErrorStatus readDouble(double* value);
  // The caller owns the text (a std::string here, where the host would allocate a buffer).
  Acad::ErrorStatus readString(std::string* text);
  // Reads bytes written by writeBytes; the stored size must equal `size`.
  Acad::ErrorStatus readBytes(void* data, Adesk::UInt32 size);
  Acad::ErrorStatus readHardOwnershipId(AcDbHardOwnershipId* id);
  Acad::ErrorStatus readSoftOwnershipId(AcDbSoftOwnershipId* id);
  Acad::ErrorStatus readHardPointerId(AcDbHardPointerId* id);
  Acad::ErrorStatus readSoftPointerId(AcDbSoftPointerId* id);
  Acad::ErrorStatus readPoint3d(AcGePoint3d* point);
  Acad::ErrorStatus readVector3d(AcGeVector3d* vector);

 private:
  friend class AcDbFilerAccess;  // the drawing writer frames records inside one filer
  bool beginCall();
  Acad::ErrorStatus fail();
  void putTagged(Adesk::UInt8 tag, const void* data, std::size_t size);
  void appendRaw(const void* data, std::size_t size);
  Acad::ErrorStatus getTagged(Adesk::UInt8 tag, void* data, std::size_t size);
  Acad::ErrorStatus writeId(Adesk::UInt8 tag, const AcDbObjectId& id);
  Acad::ErrorStatus readId(Adesk::UInt8 tag, AcDbObjectId* id);

  AcDb::FilerType type_;
  AcDbDatabase* database_;
  std::string buffer_;  // written data: the first used_ bytes; grown ahead in steps
  std::size_t used_ = 0;
  std::string_view input_;  // data being read
  std::size_t position_ = 0;
  bool reading_;
  Acad::ErrorStatus status_ = Acad::eOk;
  long calls_ = 0;
  long failAt_ = 0;
};
