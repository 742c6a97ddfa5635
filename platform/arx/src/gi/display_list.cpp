#include <map>

#include "arx/dbbrep.h"
#include "arx/dbdatabase.h"
#include "arx/dbentity.h"
#include "arx/dbsymtb.h"
#include "recorder.h"

namespace {

class RecordingWorldDraw : public AcGiWorldDraw {
 public:
  RecordingWorldDraw(acgi::Recording& recording, acgi::Traits& traits, AcGi::RegenType type)
      : geometry_(recording), traits_(traits), type_(type) {}
  AcGi::RegenType regenType() const override { return type_; }
  AcGiSubEntityTraits& subEntityTraits() const override { return traits_; }
  AcGiWorldGeometry& geometry() const override { return geometry_; }

 private:
  mutable acgi::RecordingGeometry<AcGiWorldGeometry> geometry_;
  acgi::Traits& traits_;
  AcGi::RegenType type_;
};

class ViewportOfView : public AcGiViewport {
 public:
  explicit ViewportOfView(const AcGiView& view) : view_(view) {}
  void getModelToEyeTransform(AcGeMatrix3d& matrix) const override { matrix = acgiModelToEye(view_.direction); }
  void getEyeToModelTransform(AcGeMatrix3d& matrix) const override {
    matrix = acgiModelToEye(view_.direction).transpose();  // a rotation: its inverse is its transpose
  }
  void getViewportDcCorners(AcGePoint2d& lowerLeft, AcGePoint2d& upperRight) const override {
    lowerLeft = {0.0, 0.0};
    upperRight = {static_cast<double>(view_.width), static_cast<double>(view_.height)};
  }
  Adesk::Int32 viewportId() const override { return view_.viewportId; }

 private:
  AcGiView view_;
};

class RecordingViewportDraw : public AcGiViewportDraw {
 public:
  RecordingViewportDraw(acgi::Recording& recording, acgi::Traits& traits, const AcGiView& view)
      : geometry_(recording), traits_(traits), viewport_(view), type_(view.regenType) {}
  AcGi::RegenType regenType() const override { return type_; }
  AcGiSubEntityTraits& subEntityTraits() const override { return traits_; }
  AcGiViewportGeometry& geometry() const override { return geometry_; }
  const AcGiViewport& viewport() const override { return viewport_; }

 private:
  mutable acgi::RecordingGeometry<AcGiViewportGeometry> geometry_;
  acgi::Traits& traits_;
  ViewportOfView viewport_;
  AcGi::RegenType type_;
};

// The colour an entity draws in: its own, or its layer's when by layer (or by block: model
// space has no block reference to inherit from).
Adesk::UInt16 entityColor(const AcDbEntity& entity) {
  Adesk::UInt16 color = entity.colorIndex();
  if (color >= 1 && color <= 255) return color;
  AcDbLayerTableRecord* layer = nullptr;
  AcDbObjectId layerId =
      entity.layerId().isNull() && entity.database() ? entity.database()->layerZero() : entity.layerId();
  if (acdbOpenObject(layer, layerId, AcDb::kForRead) != Acad::eOk) return 7;
  int layerColor = layer->colorIndex();
  layer->close();
  return layerColor >= 1 && layerColor <= 255 ? static_cast<Adesk::UInt16>(layerColor) : 7;
}

bool layerIsOff(const AcDbEntity& entity) {
  AcDbLayerTableRecord* layer = nullptr;
  if (entity.layerId().isNull() || acdbOpenObject(layer, entity.layerId(), AcDb::kForRead) != Acad::eOk) return false;
  bool off = layer->isOff() || layer->isFrozen();
  layer->close();
  return off;
}

}  // namespace

AcGeMatrix3d acgiModelToEye(const AcGeVector3d& direction) {
  AcGeVector3d z = direction.isZeroLength() ? AcGeVector3d::kZAxis : direction.normal();
  AcGeVector3d x = AcGeVector3d::kZAxis.crossProduct(z);
  if (x.length() < 1e-9) x = AcGeVector3d::kXAxis;  // looking along the world z axis
  x.normalize();
  AcGeVector3d y = z.crossProduct(x);
  AcGeMatrix3d matrix;
  const AcGeVector3d rows[3] = {x, y, z};
  for (int r = 0; r < 3; ++r)
    matrix.entry[r][0] = rows[r].x, matrix.entry[r][1] = rows[r].y, matrix.entry[r][2] = rows[r].z;
  return matrix;
}

AcGiDisplayList::AcGiDisplayList(AcDbDatabase* database, const AcGiView& view) : database_(database), view_(view) {}

void AcGiDisplayList::setView(const AcGiView& view) {
  view_ = view;
  stale_ = true;
}

void AcGiDisplayList::draw(const AcDbObjectId& id) {
  entries_.erase(id);
  AcDbEntity* entity = nullptr;
  if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk) return;  // erased or busy: nothing shown
  if (entity->blockId() != database_->modelSpaceId() || entity->visibility() != AcDb::kVisible || layerIsOff(*entity)) {
    entity->clearGraphicsModified();
    entity->close();
    return;
  }
  std::vector<AcGiPrimitive>& primitives = entries_[id];
  acgi::ColorContext colors{entityColor(*entity)};
  acgi::Traits traits(colors.entityColor);
  acgi::Recording world(primitives, traits, colors, false);
  RecordingWorldDraw worldDraw(world, traits, view_.regenType);
  ++drawCounts_[id];
  if (!entity->worldDraw(&worldDraw)) {
    // The viewport part starts from the entity's own colour, not from what worldDraw left set.
    acgi::Traits viewportTraits(colors.entityColor);
    acgi::Recording viewport(primitives, viewportTraits, colors, true);
    RecordingViewportDraw viewportDraw(viewport, viewportTraits, view_);
    entity->viewportDraw(&viewportDraw);
  }
  const auto* solid = dynamic_cast<const AcDbBrepSource*>(entity);
  if (primitives.empty() && solid && solid->brepShape()) {
    AcGiPrimitive shell;
    if (acgi::solidShell(*solid->brepShape(), colors.entityColor, shell)) primitives.push_back(std::move(shell));
  }
  entity->clearGraphicsModified();
  entity->close();
}

namespace {
std::uint64_t lastRegeneration = 0;
std::uint64_t regenerationUnderWay = 0;

// Numbers a regeneration for its length; an inner one gets its own and the outer one resumes.
class RegenerationScope {
 public:
  RegenerationScope() : outer_(regenerationUnderWay) { regenerationUnderWay = ++lastRegeneration; }
  ~RegenerationScope() { regenerationUnderWay = outer_; }
  RegenerationScope(const RegenerationScope&) = delete;
  RegenerationScope& operator=(const RegenerationScope&) = delete;

 private:
  std::uint64_t outer_;
};
}  // namespace

std::uint64_t acgiRegenerationNumber() { return regenerationUnderWay; }

void AcGiDisplayList::regenerate() {
  RegenerationScope numbered;
  entries_.clear();
  for (const AcDbObjectId& id : database_->objectIds()) draw(id);
  stale_ = false;
}

void AcGiDisplayList::update() {
  if (stale_) return regenerate();
  RegenerationScope numbered;
  std::vector<AcDbObjectId> live = database_->objectIds();
  std::map<AcDbObjectId, bool> isLive;
  for (const AcDbObjectId& id : live) isLive[id] = true;
  for (auto it = entries_.begin(); it != entries_.end();)
    it = isLive.count(it->first) ? std::next(it) : entries_.erase(it);
  for (const AcDbObjectId& id : live) {
    bool known = entries_.count(id) > 0;
    AcDbEntity* entity = nullptr;
    if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk) continue;
    bool modified = entity->isGraphicsModified();
    entity->close();
    if (!known || modified) draw(id);
  }
}

void AcGiDisplayList::drawInViewport(const AcDbObjectId& id, const std::function<void(AcGiViewportDraw&)>& drawing) {
  AcDbEntity* entity = nullptr;
  if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk) return;
  acgi::ColorContext colors{entityColor(*entity)};
  entity->close();
  acgi::Traits traits(colors.entityColor);
  acgi::Recording recording(entries_[id], traits, colors, true);
  RecordingViewportDraw viewportDraw(recording, traits, view_);
  drawing(viewportDraw);
}

const std::vector<AcGiPrimitive>& AcGiDisplayList::primitivesOf(const AcDbObjectId& entity) const {
  static const std::vector<AcGiPrimitive> none;
  auto found = entries_.find(entity);
  return found == entries_.end() ? none : found->second;
}

int AcGiDisplayList::drawCount(const AcDbObjectId& entity) const {
  auto found = drawCounts_.find(entity);
  return found == drawCounts_.end() ? 0 : found->second;
}

namespace {
std::map<AcDbDatabase*, AcGiDisplayList>& displays() {
  static std::map<AcDbDatabase*, AcGiDisplayList> lists;
  return lists;
}
}  // namespace

AcGiDisplayList& acgiDisplayOf(AcDbDatabase* database) {
  return displays().try_emplace(database, database).first->second;
}

void acgiForgetDisplay(AcDbDatabase* database) { displays().erase(database); }
