// Symbol tables: the layer, linetype and block tables of a database, each a list of named
// records. Names compare case-insensitively ("Continuous" finds "CONTINUOUS"). A table owns its
// records. Reading a table or record needs it open; add() needs the table open for write.
#pragma once

#include <string>
#include <vector>

#include "arx/dbentity.h"
#include "arx/dbobject.h"

class AcDbSymbolTableRecord : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbSymbolTableRecord);
  Acad::ErrorStatus getName(const char*& name) const;
  const std::string& name() const { return name_; }
  // eInvalidInput for an empty name. Renaming a record that is in a table to a name the table
  // already uses fails with eDuplicateKey.
  Acad::ErrorStatus setName(const char* name);

  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 private:
  std::string name_;
};

class AcDbSymbolTable : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbSymbolTable);
  // The id of the record named `name`; eKeyNotFound when absent (or erased, unless getErased).
  Acad::ErrorStatus getAt(const char* name, AcDbObjectId& id, bool getErased = false) const;
  // Opens the named record directly (the caller closes it).
  Acad::ErrorStatus getAt(const char* name, AcDbSymbolTableRecord*& record, AcDb::OpenMode mode,
                          bool openErased = false) const;
  bool has(const char* name) const;
  bool has(AcDbObjectId id) const;
  // Adds a new record (not yet in a database) to the table's database and to the table; the
  // record stays open for write, as after an open. eDuplicateKey when the name is taken (nothing
  // changes), eInvalidInput for an unnamed record, eAlreadyInDb for a record already added.
  Acad::ErrorStatus add(AcDbObjectId& id, AcDbSymbolTableRecord* record);
  Acad::ErrorStatus add(AcDbSymbolTableRecord* record);
  // The record ids in the order they were added (erased ones included).
  std::vector<AcDbObjectId> recordIds() const;

  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;

 protected:
  // The kind of record this table accepts.
  virtual AcRxClass* recordClass() const = 0;

 private:
  friend class AcDbSymbolTableRecord;
  friend class AcDbContainerAccess;  // reading DXF links records the file placed
  AcDbObjectId find(const std::string& name) const;
  std::vector<AcDbObjectId> records_;
};

class AcDbLayerTableRecord : public AcDbSymbolTableRecord {
 public:
  ACRX_DECLARE_MEMBERS(AcDbLayerTableRecord);
  bool isFrozen() const { return frozen_; }
  void setIsFrozen(bool frozen);
  bool isOff() const { return off_; }
  void setIsOff(bool off);
  bool isLocked() const { return locked_; }
  void setIsLocked(bool locked);
  // Frozen in new viewports.
  bool VPDFLT() const { return vpdflt_; }
  void setVPDFLT(bool frozenInNewViewports);
  AcDbObjectId linetypeObjectId() const { return linetypeId_; }
  void setLinetypeObjectId(AcDbObjectId linetype);
  Adesk::Int16 colorIndex() const { return colorIndex_; }
  void setColorIndex(Adesk::Int16 color);

  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 private:
  bool frozen_ = false, off_ = false, locked_ = false, vpdflt_ = false;
  AcDbObjectId linetypeId_;
  Adesk::Int16 colorIndex_ = 7;
};

class AcDbLinetypeTableRecord : public AcDbSymbolTableRecord {
 public:
  ACRX_DECLARE_MEMBERS(AcDbLinetypeTableRecord);
  const std::string& comments() const { return comments_; }
  void setComments(const char* text);

  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;

 private:
  std::string comments_;
};

class AcDbBlockTableRecord : public AcDbSymbolTableRecord {
 public:
  ACRX_DECLARE_MEMBERS(AcDbBlockTableRecord);
  // Adds a new entity (not yet in a database) to the record's database and to this block; the
  // entity stays open for write. Needs the record open for write. A new entity without a layer
  // goes on the database's current layer.
  Acad::ErrorStatus appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity);
  Acad::ErrorStatus appendAcDbEntity(AcDbEntity* entity);
  // The entities of the block in the order they were appended (erased ones included).
  std::vector<AcDbObjectId> entityIds() const;

  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;

 private:
  friend class AcDbContainerAccess;
  std::vector<AcDbObjectId> entities_;
};

class AcDbLayerTable : public AcDbSymbolTable {
 public:
  ACRX_DECLARE_MEMBERS(AcDbLayerTable);
  using AcDbSymbolTable::getAt;
  Acad::ErrorStatus getAt(const char* name, AcDbLayerTableRecord*& record, AcDb::OpenMode mode,
                          bool openErased = false) const;

 protected:
  AcRxClass* recordClass() const override { return AcDbLayerTableRecord::desc(); }
};

class AcDbLinetypeTable : public AcDbSymbolTable {
 public:
  ACRX_DECLARE_MEMBERS(AcDbLinetypeTable);
  using AcDbSymbolTable::getAt;
  Acad::ErrorStatus getAt(const char* name, AcDbLinetypeTableRecord*& record, AcDb::OpenMode mode,
                          bool openErased = false) const;

 protected:
  AcRxClass* recordClass() const override { return AcDbLinetypeTableRecord::desc(); }
};

class AcDbBlockTable : public AcDbSymbolTable {
 public:
  ACRX_DECLARE_MEMBERS(AcDbBlockTable);
  using AcDbSymbolTable::getAt;
  Acad::ErrorStatus getAt(const char* name, AcDbBlockTableRecord*& record, AcDb::OpenMode mode,
                          bool openErased = false) const;

 protected:
  AcRxClass* recordClass() const override { return AcDbBlockTableRecord::desc(); }
};

// The standard names.
inline constexpr const char* ACDB_MODEL_SPACE = "*Model_Space";
