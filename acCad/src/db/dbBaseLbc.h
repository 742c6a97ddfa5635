// The drawing entities of loads, restraints and thermal conditions: what the five classes share.
//
// Each condition is one C++ object that is both the host's entity and the engine's condition
// (AttLbc, AttLbcConv, AttLbcHgen, AttModelLbc or AttModelTemp): the deck writer and the sets take
// the very engine object that the drawing files. CaepBaseLbcEnt holds the entity-side fields; the
// template CaepLbcEntOf joins it to one engine class and answers the engine's set questions, the
// erase and unerase marks, the drawing gate and the filing frame. The five classes give their own
// record, their own rebuild of the engine part after reading and their own resolver.
//
// Erase marks: the engine part of an erased condition is marked erased (every class, so that the
// sets' live count and the deck pass over it), and kept marked while its filed topology no longer
// resolves: such a condition keeps its key, draws nothing, is skipped by the deck, and comes back
// when the key resolves again.
//
// Filing frame: the object-level fields of the host (the entity-level ones are not filed; every
// record carries its colour, and a condition read from a drawing is put back on "CAE_LBC"), then
// for the filer types that carry class fields a UInt16 record version: 0 for an entity without
// data (nothing follows, it reads back empty), else the class's record and the topology-lost
// flag. DXF carries the same record after a "100" marker with the class name. A failed filer call, a damaged record or
// a type without a descriptor is a consistency check: the text is printed and the status is eFilerError; the object
// alone is skipped.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "amg/CaeString.h"
#include "amg/CaeTypeInfo.h"
#include "amg/CaeVector.h"
#include "arx/adesk.h"
#include "arx/dbentity.h"
#include "db/dbLbcVis.h"
#include "fea/AttLbc.h"
#include "topo/acTopoUtil.h"

class AcDbDwgFiler;
class AcDbDxfFiler;
class AcGiWorldDraw;
class AmiObjectKey;
class AttLbcCase;
class CaeTopoRef;
class CaeTransform;

// The record version written by the classes whose layout did not change.
inline constexpr Adesk::UInt16 kLbcRecordVersion = 630;
// Records from this version on carry a convection table's ambient temperature and the model
// temperature's nodal count and model id in 32 bits.
inline constexpr Adesk::UInt16 kLbcWideRecordVersion = 631;
// Records from this version on end with the topology-lost flag (32-bit, 0 or 1); older records
// read it as 0. Every class writes this version.
inline constexpr Adesk::UInt16 kLbcLostFlagRecordVersion = 632;
// Record versions at which the layouts changed.
inline constexpr int kLbcVersionNamed = 310;       // the name is filed
inline constexpr int kLbcVersionSixFlags = 300;    // six free-component flags; no model-temperature key
inline constexpr int kLbcVersionNodalTemps = 200;  // the model temperature's nodal values

// One nodal temperature between reading and the rebuild of the nodal loads.
struct NodalTempRecord {
  long nodeId = 0;
  CaeVector value;
  AttLbcComponents components;
};

// One pass over a record, written or read, to a DWG or a DXF filer. Every failed call is a
// consistency check naming `source`.
class DbLbcFields {
 public:
  DbLbcFields(AcDbDwgFiler* filer, bool reading, const char* source)
      : dwg_(filer), reading_(reading), source_(source) {}
  DbLbcFields(AcDbDxfFiler* filer, bool reading, const char* source)
      : dxf_(filer), reading_(reading), source_(source) {}

  bool Reading() const { return reading_; }
  // A consistency check naming the record's source when `condition` does not hold.
  void Check(bool condition, int line) const;
  void Int16(Adesk::Int16& value);
  void Int32(Adesk::Int32& value);
  // A value read must be finite.
  void Double(double& value);
  void Vector(CaeVector& value);
  void String(CaeString& text);
  // The 16 components of a transform in row order.
  void Transform(CaeTransform& transform);
  // A topology key: written it must not be null; read, the success status and a non-null key are
  // required and the new key belongs to the caller.
  void Key(AmiObjectKey*& key);

 private:
  AcDbDwgFiler* dwg_ = nullptr;
  AcDbDxfFiler* dxf_ = nullptr;
  bool reading_;
  const char* source_;
};

// A key read from a record, released unless the entity adopts it.
class DbFiledKey {
 public:
  DbFiledKey() = default;
  ~DbFiledKey();
  DbFiledKey(const DbFiledKey&) = delete;
  DbFiledKey& operator=(const DbFiledKey&) = delete;
  AmiObjectKey*& Slot() { return key_; }
  AmiObjectKey* Release() { return std::exchange(key_, nullptr); }

 private:
  AmiObjectKey* key_ = nullptr;
};

// The visual part holds the symbol scale (Scale, SetScale) and owns the display-flag check.
class CaepBaseLbcEnt : public AcDbEntity, public CaepLbcVis {
 public:
  ~CaepBaseLbcEnt() override;

  // The engine type of the condition this entity carries (the sets step from entity to engine
  // object by it).
  virtual CaeTypeId AttribInfo() const { return AttBaseLbc::Info; }
  virtual AttBaseLbc& Condition() = 0;
  const AttBaseLbc& Condition() const { return const_cast<CaepBaseLbcEnt*>(this)->Condition(); }

  // ---- plain accessors ----
  AmiObjectKey* TopoKey() const { return topoKey_; }
  int DataVersion() const { return dataVersion_; }
  int IsUnresolved() const { return unresolved_; }
  int TopologyLost() const { return topologyLost_; }
  void SetTopologyLost(int lost) { topologyLost_ = lost; }
  // Set while the filed topology key did not resolve: the condition keeps its key and stays marked
  // erased for the engine until the key resolves again.
  bool GeometryMissing() const { return geometryMissing_; }
  int StoredType() const { return type_; }
  int StoredCategory() const { return category_; }
  void SetType(int type) { type_ = type; }
  void SetCategory(int category) { category_ = category; }
  long ModelId() const { return modelId_; }
  const std::vector<NodalTempRecord>& StoredRecords() const { return storedRecords_; }

  // ---- set membership (kind: the descriptor's kind; 1 restraints, else loads) ----
  // The first set of the current control, in the control's order, that lists the condition.
  static AttLbcCase* FindCase(int kind, AttBaseLbc* condition);
  static void AddToCase(AttLbcCase* set, AttBaseLbc* condition);
  // A missing control or current set of the kind is a consistency check.
  static void AddToCurrentCase(int kind, AttBaseLbc* condition);
  // A missing control is a consistency check; no current set of the kind answers 0.
  static int IsInCurrentCase(int kind, AttBaseLbc* condition);

  // The resolver the sets' post-load pass calls, then the engine object is marked not current.
  virtual void Resolve() = 0;

  // ---- host side ----
  Acad::ErrorStatus subOpen(AcDb::OpenMode mode) override;
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;
  Acad::ErrorStatus subErase(Adesk::Boolean erasing) override;
  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
  Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
  Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

 protected:
  // An empty entity (data version 0), watched for undone changes.
  CaepBaseLbcEnt();
  // A new condition of `descriptor` on `key` (null for the model-level classes; the key stays the
  // reference's): data version 630, the colour set.
  CaepBaseLbcEnt(const AttLbcDescript* descriptor, int colorIndex, AmiObjectKey* key, double scale);

  // ---- what each class gives ----
  virtual const char* ClassName() const = 0;
  // The source named by the class's consistency checks.
  virtual const char* SourceName() const = 0;
  virtual Adesk::UInt16 RecordVersion() const { return kLbcLostFlagRecordVersion; }
  // Writes or reads the class's record at `version`; reading applies what was read only once the
  // whole record has been read (and rebuilds the engine part, data version 630).
  virtual void FileRecord(DbLbcFields& fields, int version) = 0;
  // Writes or reads the topology-lost flag that ends a record of `version` (read as 0 before it
  // was filed), so that a condition its face took is revived when the face returns after a reopen.
  void FileTopologyLost(DbLbcFields& fields, int version);
  // What the drawing shows once the gate lets it through; the display flags are checked by the
  // visual part (CaepLbcVis::SymbolsShown).
  virtual void DrawCondition(AcGiWorldDraw* mode);
  // The one symbol of a condition without topology, at the origin, when its display flag is set.
  void DrawSymbolAtOrigin(AcGiWorldDraw* mode) const;
  // Placements are kept only while no one may be changing the condition.
  bool MayKeepPlacements() const override { return !isWriteEnabled(); }
  // Whether an erase updates the restraints step (4) rather than the loads step (3).
  virtual bool IsRestraint() const { return false; }
  // The engine reactions that are not the same for every class.
  virtual void MarkEngineErased(bool erasing) = 0;

  // ---- for the classes ----
  // The descriptor of a type from the CAD interface; none is a consistency check.
  const AttLbcDescript* DescriptorOf(int type) const;
  // The type's display name with blanks as "_" (the name of records filed without one).
  static CaeString DefaultName(int type);
  // Takes a key read from a record: the entity owns it until it is rebound to its reference.
  void AdoptFiledKey(AmiObjectKey* key);
  // The topology resolution after reading: the reference of the key, the rebind to the
  // reference's own key and the listing by the reference; without one the filed key is kept and
  // the engine part is marked erased. Answers the reference (null when the key did not resolve).
  CaeTopoRef* ResolveTopology(CaeAttrib& attribute);
  void SetDataVersion(int version) { dataVersion_ = version; }
  void SetUnresolved(int unresolved) { unresolved_ = unresolved; }
  void SetModelId(long id) { modelId_ = id; }
  std::vector<NodalTempRecord>& MutableStoredRecords() { return storedRecords_; }
  // The colour field of every record, applied to the entity and its sub-entities.
  void ApplyColor(Adesk::Int16 color);
  // While an erase or unerase is under way the engine's erased mark holds its new value (the
  // sets reopen the entity, which would otherwise bring the mark in line with the drawing's state
  // before the change); a missing geometry holds it erased.
  bool HoldsErasedMark() const { return transition_ == Transition::Erasing || geometryMissing_; }
  bool HoldsLiveMark() const { return transition_ == Transition::Unerasing; }
  // The filed key resolves again (the re-attachment revives the condition on it).
  void GeometryFound() { geometryMissing_ = false; }

 private:
  enum class Transition { None, Erasing, Unerasing };

  void UpdateGuideStep(bool erasing);
  void PutOnConditionLayer();
  void ResolveAfterUndo();
  void ReleaseOwnedKey();
  Acad::ErrorStatus Guarded(AcDbDwgFiler* filer, bool reading);
  Acad::ErrorStatus FileDxf(AcDbDxfFiler* filer, bool reading);

  int dataVersion_ = 0;
  int unresolved_ = 0;
  int topologyLost_ = 0;
  std::vector<NodalTempRecord> storedRecords_;
  long modelId_ = 0;
  AmiObjectKey* topoKey_ = nullptr;
  bool ownsKey_ = false;  // a key read from a record, not yet handed to its reference
  bool geometryMissing_ = false;
  int type_ = 0;
  int category_ = 0;
  Transition transition_ = Transition::None;
};

// Chooses the constructor of an empty entity.
struct DbLbcEmpty {};

// The fields every condition record starts with.
struct DbRecordHead {
  Adesk::Int16 type;
  CaeString name;
  Adesk::Int16 color;
  double scale;
};

// One engine class joined to the entity: the engine's set operations go to the entity's.
template <class Engine>
class CaepLbcEntOf : public CaepBaseLbcEnt, public Engine {
 public:
  AttBaseLbc& Condition() override { return *this; }
  CaeTypeId AttribInfo() const override { return Engine::Info; }

  AttLbcCase* Case() override { return FindCase(Kind(), this); }
  void AddToCase(AttLbcCase* set) override { CaepBaseLbcEnt::AddToCase(set, this); }
  void AddToCurrentCase() override { CaepBaseLbcEnt::AddToCurrentCase(Kind(), this); }
  int IsInCurrentCase() override { return CaepBaseLbcEnt::IsInCurrentCase(Kind(), this); }

  void MarkAsErased() override {
    if (!HoldsLiveMark()) Engine::MarkAsErased();
  }
  // Every condition but the load or restraint on topology leaves the sets by being deactivated,
  // so that they count it as gone.
  void MarkEngineErased(bool erasing) override {
    if (erasing) {
      Engine::Deactivate();
      MarkAsErased();
    } else {
      Engine::Activate();
      MarkAsNotErased();
    }
  }
  void MarkAsNotErased() override {
    if (!HoldsErasedMark()) Engine::MarkAsNotErased();
  }

  // ---- what the visual part reads, answered from the engine object ----
  using Engine::FreeComponents;
  int TypeCode() const override { return Engine::Type(); }
  CaeCoordSys* CoordSys() const override { return Engine::CoordSys(); }
  int ValueKind() const override { return Engine::Descriptor() ? Engine::Descriptor()->valueKind : 0; }
  CaeVector ValueAt(const CaeVector& point) const override { return Engine::EvaluateVecAtPoint(point); }
  CaeVector LocalValueAt(const CaeVector& point) const override { return Engine::EvaluateVecAtPointLocal(point); }
  int* FreeComponents(int* buffer) const override {
    Engine::FreeComponents(buffer);
    return buffer;
  }
  int ColorIndex() const override { return colorIndex(); }

 protected:
  // An empty entity; the engine part made from `args`.
  template <class... Args>
  explicit CaepLbcEntOf(DbLbcEmpty, Args&&... args) : Engine(std::forward<Args>(args)...) {}
  template <class... Args>
  CaepLbcEntOf(const AttLbcDescript* descriptor, int colorIndex, AmiObjectKey* key, double scale, Args&&... args)
      : CaepBaseLbcEnt(descriptor, colorIndex, key, scale), Engine(std::forward<Args>(args)...) {}

  int Kind() const { return Engine::Descriptor() ? Engine::Descriptor()->kind : AttKindLoad; }
  // The fields a record starts with: the type code (when `typed`), the name (from the version
  // that files it), the colour and the symbol scale; written from the entity, or read.
  DbRecordHead FileRecordHead(DbLbcFields& fields, int version, bool typed = true) {
    DbRecordHead head{static_cast<Adesk::Int16>(Engine::Type()), Engine::Name(),
                      static_cast<Adesk::Int16>(colorIndex()), Scale()};
    if (typed) fields.Int16(head.type);
    if (version >= kLbcVersionNamed) fields.String(head.name);
    fields.Int16(head.color);
    fields.Double(head.scale);
    return head;
  }
  // Applies a head that was read: the name (that of `type` for records without one), the colour
  // and the scale.
  void ApplyRecordHead(const DbRecordHead& head, int version, int type) {
    Engine::Name(version >= kLbcVersionNamed ? head.name : DefaultName(type));
    ApplyColor(head.color);
    SetScale(head.scale);
  }
  // The engine part takes the descriptor; the stored type and category follow; data version 630.
  void ApplyDescriptor(const AttLbcDescript* descriptor) {
    Engine::SetDescriptor(descriptor);
    SetType(descriptor->type);
    SetCategory(descriptor->kind);
    SetDataVersion(kLbcRecordVersion);
  }
};

// The conditions on topology react to their reference: erased with it, redrawn when it changes.
template <class Engine>
class CaepTopoLbcEntOf : public CaepLbcEntOf<Engine>, public AcTopoAttribObject {
 public:
  using CaepLbcEntOf<Engine>::CaepLbcEntOf;

  // ---- re-resolution (AcTopoAttribObject) ----
  AmiObjectKey* TopoKey() const override { return CaepBaseLbcEnt::TopoKey(); }
  bool TopologyLost() const override { return CaepBaseLbcEnt::TopologyLost() != 0; }
  void ReviveTopology() override {
    // Revived because its key resolves again: the erased mark no longer waits for the geometry.
    this->GeometryFound();
    this->erase(false);
  }

  // Erases the entity, then records that the topology took it.
  void UponTopoRefErase() override;
  void UponTopoRefModify() override;

 protected:
  // The condition's symbols on its reference.
  void DrawCondition(AcGiWorldDraw* mode) override { this->Draw(mode, this->GetTopoRef()); }
};

template <class Engine>
void CaepTopoLbcEntOf<Engine>::UponTopoRefErase() {
  // The erase runs subErase, which clears the flag; it is set afterwards.
  if (this->erase(true) == Acad::eOk) this->SetTopologyLost(1);
}

template <class Engine>
void CaepTopoLbcEntOf<Engine>::UponTopoRefModify() {
  if (this->IsActive()) this->recordGraphicsModified(true);
}

// (temperature, value) rows of a temperature table.
using DbTempRows = std::vector<std::pair<double, double>>;
// Int16 n, then n x (Double temperature, Double value). More rows than an Int16 holds cannot be
// written (a consistency check); a negative count read is one too.
void dbFileTempRows(DbLbcFields& fields, DbTempRows& rows);

// Registers a condition class with the host's runtime, once: parent "AcDbEntity", drawing version
// 23, maintenance version 6, application "TLXARX".
void dbRegisterLbcClass(const char* name, const char* dxfName, AcRxPseudoConstructor make);
