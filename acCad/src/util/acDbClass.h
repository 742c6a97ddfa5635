// AcDbClass: holds the id of one entity that the holder builds and posts to model space.
//
// The entity is opened directly (not through a transaction) by Erase, Exists and MarkModified.
// Misuse (posting twice, acting on an unposted holder) is a consistency check.
#pragma once

#include "arx/dbid.h"
#include "arx/status.h"

class AcDbEntity;

class AcDbClass {
 public:
  AcDbClass() = default;
  virtual ~AcDbClass() = default;
  AcDbClass(const AcDbClass&) = delete;
  AcDbClass& operator=(const AcDbClass&) = delete;

  // Builds the entity to post; the base builds none and returns null.
  virtual AcDbEntity* MakeEntity(void* argument);

  // Makes the entity and posts it to model space (closed), keeping its id. Requires a null id;
  // a null entity from MakeEntity is a consistency check.
  void Post(void* argument);
  // Erases the posted entity; returns the close status.
  Acad::ErrorStatus Erase();
  // 1 when the posted entity can be opened for read, else 0.
  int Exists() const;
  // Marks the entity's graphics modified; the open status when it cannot be opened for write,
  // else the close status.
  Acad::ErrorStatus MarkModified();

  AcDbObjectId Id() const { return id_; }

 private:
  AcDbObjectId id_;
};
