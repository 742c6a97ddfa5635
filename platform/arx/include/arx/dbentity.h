// Entities: objects with graphics, placed in a block (model space) and on a layer.
#pragma once

#include <string>

#include "arx/dbobject.h"

class AcGiViewportDraw;
class AcGiWorldDraw;

class AcDbEntity : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(AcDbEntity);
  AcDbEntity() = default;

  AcDbObjectId blockId() const { return ownerId(); }
  // The layer; a null id means layer "0" of the entity's database.
  AcDbObjectId layerId() const { return layerId_; }
  Acad::ErrorStatus setLayer(AcDbObjectId layer, Adesk::Boolean doSubents = true);
  // Sets the layer by name; eKeyNotFound when the entity's database has no such layer.
  Acad::ErrorStatus setLayer(const char* layerName, Adesk::Boolean doSubents = true);
  // The layer's name ("0" when unset or unknown).
  std::string layer() const;
  // The colour index: 0 by block, 256 by layer (the default), 1..255 a colour.
  Adesk::UInt16 colorIndex() const { return colorIndex_; }
  Acad::ErrorStatus setColorIndex(Adesk::UInt16 color, Adesk::Boolean doSubents = true);
  AcDb::Visibility visibility() const { return visibility_; }
  Acad::ErrorStatus setVisibility(AcDb::Visibility visibility, Adesk::Boolean doSubents = true);

  // Asks for the entity to be drawn again: the database counts it and the transaction manager
  // queues it for the next graphics flush.
  void recordGraphicsModified(Adesk::Boolean setModified = true);
  bool isGraphicsModified() const { return graphicsModified_; }
  void clearGraphicsModified() { graphicsModified_ = false; }

  // Draws the entity; true when the drawing is complete. The base draws nothing.
  virtual Adesk::Boolean worldDraw(AcGiWorldDraw* mode);
  // Draws what depends on the viewport's view; the host calls it per viewport when worldDraw
  // answered false. The base draws nothing.
  virtual void viewportDraw(AcGiViewportDraw* mode);

  // The base object's fields, then layer, colour index and visibility.
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  // The base object's fields, then 100 "AcDbEntity", 8 layer name, 62 colour, 60 visibility.
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 private:
  AcDbObjectId layerId_;
  Adesk::UInt16 colorIndex_ = 256;
  AcDb::Visibility visibility_ = AcDb::kVisible;
  bool graphicsModified_ = false;
};

// Opens an entity directly; eNotThatKindOfClass when the object is not an entity.
Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& entity, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false);
