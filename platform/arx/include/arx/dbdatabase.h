// The drawing database: the objects of one drawing, its symbol tables, its named-objects
// dictionary, its transactions and its undo history, and reading and writing drawing files.
//
// Drawing files are our own binary format: a header (magic, format version, payload length,
// checksum) and then one record per object, framed with its length, class name and handle. On
// reading, each object is re-created through the class registry by class name and its ids are
// re-made from handles. A truncated, damaged or foreign file fails as a whole with a clear
// message and leaves the database untouched; a record that cannot be read (the object's
// dwgInFields fails, or a record of an unknown class is not made of whole fields) is reported by
// class and handle and skipped, and the rest loads. A record of a class that is not registered is
// kept as an AcDbProxyObject (arx/dbproxy.h) and reported once per class; saving writes it back
// unchanged.
// saveAs is atomic: the file is written to a temporary file in the same folder, synced and
// renamed over the target, so an interrupted save leaves the previous file as it was.
//
// DXF: dxfOut writes a standard R2000 DXF text file (HEADER, CLASSES, TABLES, BLOCKS, ENTITIES,
// OBJECTS, in that order) through the objects' dxfOutFields; erased objects, proxies and classes
// without a DXF name are left out. dxfIn reads such a file into an empty database built without the default
// drawing: the linetype, layer and block-record tables, the entities (into their blocks) and the
// objects, re-created by DXF name; entries of unknown types are reported and skipped, standard
// objects the file lacks are created. A file that is not DXF or has a section other than the
// standard ones fails as a whole (eBadDxfFile) and loads nothing.
//
// Problems found while reading or writing are appended to the `messages` list given by the
// caller, one sentence each; the database itself never prints.
//
// Undo: the host begins an undo group when a command starts and ends it when the command ends.
// While a group is open, the first write-open of each object snapshots it (undo filer), and
// objects added, erased or un-erased are recorded. undo(n) rolls back the last n groups, newest
// first: modified objects get their fields back through dwgInFields with the undo filer and their
// reactors receive modifyUndone, added objects are erased, erased ones un-erased (subErase is called
// for each). redo() re-applies the group undone last. Recording into a new group forgets what
// could be redone. Nothing is recorded while no group is open. Do not open a group around UNDO,
// U or REDO themselves; undo() and redo() end a group that is still open first.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "arx/dbdict.h"
#include "arx/dbobject.h"
#include "arx/dbsymtb.h"
#include "arx/dbtrans.h"

class AcDbDatabase;

// Receives notifications about every object of the databases it is attached to.
class AcDbDatabaseReactor : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbDatabaseReactor);
  virtual void objectAppended(const AcDbDatabase* db, const AcDbObject* object);
  virtual void objectModified(const AcDbDatabase* db, const AcDbObject* object);
  virtual void objectErased(const AcDbDatabase* db, const AcDbObject* object, Adesk::Boolean erased = true);
};

class AcDbDatabase : public AcRxObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbDatabase);
  // With buildDefaultDrawing, the database holds the standard tables: layer "0", linetype
  // "CONTINUOUS", block "*Model_Space" and the named-objects dictionary. Without, it is empty and
  // waits for readDwgFile or dxfIn.
  explicit AcDbDatabase(bool buildDefaultDrawing = true);
  ~AcDbDatabase() override;
  AcDbDatabase(const AcDbDatabase&) = delete;
  AcDbDatabase& operator=(const AcDbDatabase&) = delete;

  // Adds a new object, which stays open for write (close it when done); its owner stays null
  // until setOwnerId. eAlreadyInDb (26) when the object is in a database already (its own id
  // is then in objectId()), eNullObjectPointer for null.
  Acad::ErrorStatus addAcDbObject(AcDbObjectId& id, AcDbObject* object);
  Acad::ErrorStatus addAcDbObject(AcDbObject* object);

  // The standard tables, opened directly (the caller closes them).
  Acad::ErrorStatus getBlockTable(AcDbBlockTable*& table, AcDb::OpenMode mode);
  Acad::ErrorStatus getLayerTable(AcDbLayerTable*& table, AcDb::OpenMode mode);
  Acad::ErrorStatus getLinetypeTable(AcDbLinetypeTable*& table, AcDb::OpenMode mode);
  Acad::ErrorStatus getNamedObjectsDictionary(AcDbDictionary*& dictionary, AcDb::OpenMode mode);
  AcDbObjectId blockTableId() const;
  AcDbObjectId layerTableId() const;
  AcDbObjectId linetypeTableId() const;
  AcDbObjectId namedObjectsDictionaryId() const;
  AcDbObjectId modelSpaceId() const;
  AcDbObjectId layerZero() const;
  AcDbObjectId continuousLinetype() const;
  // The current layer: where new entities go.
  AcDbObjectId clayer() const;
  Acad::ErrorStatus setClayer(AcDbObjectId layer);

  // Looks up an object by handle; eUnknownHandle when there is none (create is not supported).
  Acad::ErrorStatus getAcDbObjectId(AcDbObjectId& id, bool create, const AcDbHandle& handle);
  // Every object in the database, in handle order; erased ones only when asked.
  std::vector<AcDbObjectId> objectIds(bool includeErased = false) const;
  int numObjects(bool includeErased = false) const;

  AcDbTransactionManager* transactionManager() const;

  void addReactor(AcDbDatabaseReactor* reactor);
  void removeReactor(AcDbDatabaseReactor* reactor);

  // Drawing files. On success saveAs remembers the path as filename(). An object whose
  // dwgOutFields fails stops the save (eFilerError) and the previous file stays as it was; a file
  // that cannot be written gives eFileAccessErr.
  Acad::ErrorStatus saveAs(const std::string& path, std::vector<std::string>* messages = nullptr);
  // Reads into a database built without the default drawing (else eInvalidContext). Returns eOk
  // when the file was read, even if some records were skipped (each is in `messages`); a file
  // that cannot be opened gives eFileNotFound, a foreign, truncated or newer file eBadDwgHeader,
  // a damaged one eDwgCRCError.
  Acad::ErrorStatus readDwgFile(const std::string& path, std::vector<std::string>* messages = nullptr);
  // The same from the bytes of a drawing file held in memory; `path` names it in messages and
  // becomes filename().
  Acad::ErrorStatus readDwgBytes(std::string_view file, const std::string& path,
                                 std::vector<std::string>* messages = nullptr);
  const std::string& filename() const;
  // True when the drawing changed (through writes, additions, erasures, undo or redo) since it
  // was made, read or last saved with saveAs.
  bool hasUnsavedChanges() const;
  Acad::ErrorStatus dxfOut(const std::string& path, std::vector<std::string>* messages = nullptr);
  Acad::ErrorStatus dxfIn(const std::string& path, std::vector<std::string>* messages = nullptr);
  // The same from DXF text held in memory; `path` names it in messages.
  Acad::ErrorStatus dxfInText(std::string_view text, const std::string& path,
                              std::vector<std::string>* messages = nullptr);

  // Undo groups (see above).
  void beginUndoGroup(const std::string& name);
  void endUndoGroup();
  bool isUndoGroupOpen() const;
  bool canUndo() const;
  bool canRedo() const;
  // Names of the groups that can be undone, oldest first.
  std::vector<std::string> undoGroupNames() const;
  // Undoes up to `count` groups; returns how many were undone.
  int undo(int count = 1);
  // Redoes the group undone last; false when there is nothing to redo.
  bool redo();
  // True while the database writes or reads an object's fields (saving, reading, undo snapshots,
  // restores) or replays its undo history: work that must not change other objects then.
  bool isFiling() const;

  // Entities that asked to be drawn again since the last call; the list is emptied.
  std::vector<AcDbObjectId> takeGraphicsModified();

  struct Impl;
  Impl& impl() const { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

// The host's application services: the working database, the target of utilities that take no
// database argument.
class AcDbHostApplicationServices {
 public:
  AcDbDatabase* workingDatabase() const { return workingDatabase_; }
  void setWorkingDatabase(AcDbDatabase* database) { workingDatabase_ = database; }

 private:
  AcDbDatabase* workingDatabase_ = nullptr;
};

AcDbHostApplicationServices* acdbHostApplicationServices();
