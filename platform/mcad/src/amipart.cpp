#include "mcad/amipart.h"

#include <TopLoc_Location.hxx>

#include <cmath>
#include <filesystem>
#include <set>

#include "arx/dbdatabase.h"
#include "arx/dbfiler.h"
#include "arx/dbsymtb.h"
#include "designer_params.h"
#include "kestrum/text.h"
#include "mcadkernel/error.h"
#include "mcadkernel/partfile.h"

// No DXF name: parts are kept in drawing files only, never written to DXF.
ACRX_CONS_DEFINE_MEMBERS(AmiPartEntity, AcDbEntity, nullptr)

namespace {

// Farther out than this a placement cannot be drawn or meshed by: a damaged record.
constexpr double kFarthestPlacement = 1e12;

const mcadkernel::ParameterSet* globalsOf(AcDbDatabase* db) {
  AmiDesignerParams* params = db ? designerParamsOf(db) : nullptr;
  return params ? &params->parameters() : nullptr;
}

// An identity placement gets no location, so unplaced subshapes compare equal to the part's own.
TopLoc_Location locationOf(const gp_Trsf& placement) {
  if (placement.Form() == gp_Identity) return TopLoc_Location();
  return TopLoc_Location(placement);
}

std::string readTextFile(const std::filesystem::path& path) {
  kestrum::Result<std::string> text = kestrum::ReadWholeFile(path);
  if (!text) throw mcadkernel::KernelError("Cannot read the file " + path.string() + ".");
  return std::move(text).value();
}

std::string uniqueComponentName(AcDbDatabase* db, const std::string& base, const std::set<std::string>& taken) {
  auto used = [&](const std::string& name) { return taken.count(name) || !mcadFindComponent(db, name).isNull(); };
  if (!used(base)) return base;
  for (int n = 2;; ++n) {
    std::string candidate = base + "_" + std::to_string(n);
    if (!used(candidate)) return candidate;
  }
}

AcDbObjectId appendToModelSpace(AcDbDatabase* db, AcDbEntity* entity) {
  AcDbBlockTableRecord* modelSpace = nullptr;
  if (acdbOpenObject(modelSpace, db->modelSpaceId(), AcDb::kForWrite) != Acad::eOk)
    throw mcadkernel::KernelError("The drawing's model space cannot be opened.");
  AcDbObjectId id;
  Acad::ErrorStatus status = modelSpace->appendAcDbEntity(id, entity);
  modelSpace->close();
  if (status != Acad::eOk) throw mcadkernel::KernelError("The part cannot be added to the drawing.");
  entity->close();
  return id;
}

// Part entities whose built part uses one of the names.
std::vector<AcDbObjectId> partsUsingAny(AcDbDatabase* db, const std::vector<std::string>& names) {
  std::vector<AcDbObjectId> users;
  for (AcDbObjectId id : mcadPartIds(db)) {
    AmiPartEntity* entity = nullptr;
    if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk) continue;
    const mcadkernel::Part* part = entity->part();
    for (const std::string& name : names) {
      if (part && part->usesGlobal(name)) {
        users.push_back(id);
        break;
      }
    }
    entity->close();
  }
  return users;
}

// Checks that every part using a changed global still builds with the trial globals, then keeps them.
void commitGlobals(AcDbDatabase* db, const mcadkernel::ParameterSet& before, const mcadkernel::ParameterSet& trial) {
  std::vector<std::string> changed;
  for (const std::string& name : trial.names())
    if (!before.contains(name) || before.value(name) != trial.value(name)) changed.push_back(name);
  for (AcDbObjectId id : partsUsingAny(db, changed)) {
    AmiPartEntity* entity = nullptr;
    if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk) continue;
    std::string definition = entity->definition(), name = entity->componentName();
    entity->close();
    try {
      mcadkernel::readPart(definition, name, &trial);
    } catch (const mcadkernel::KernelError& error) {
      throw mcadkernel::KernelError("Part " + name + " cannot be rebuilt: " + error.what());
    }
  }
  AmiDesignerParams* params = openDesignerParamsForWrite(db);
  if (!params) throw mcadkernel::KernelError("The drawing's global parameters cannot be changed now.");
  params->assign(trial);
  params->close();
}

}  // namespace

AmiPartEntity::AmiPartEntity() = default;
AmiPartEntity::~AmiPartEntity() = default;

void AmiPartEntity::adopt(std::unique_ptr<mcadkernel::Part> part) const {
  part_ = std::move(part);
  location_ = locationOf(placement_);
  worldShape_ = part_->shape().IsNull() ? TopoDS_Shape() : part_->shape().Moved(location_);
  buildError_.clear();
  built_ = true;
  builtGlobalsStamp_ = designerStamp(database());
}

void AmiPartEntity::ensureBuilt() const {
  if (built_ && builtGlobalsStamp_ == designerStamp(database())) return;
  try {
    adopt(mcadkernel::readPart(definition_, componentName_, globalsOf(database())));
  } catch (const mcadkernel::KernelError& error) {
    part_.reset();
    worldShape_ = TopoDS_Shape();
    buildError_ = error.what();
    built_ = true;
    builtGlobalsStamp_ = designerStamp(database());
  }
}

const mcadkernel::Part* AmiPartEntity::part() const {
  ensureBuilt();
  return part_.get();
}

const std::string& AmiPartEntity::buildError() const {
  ensureBuilt();
  return buildError_;
}

const TopoDS_Shape* AmiPartEntity::brepShape() const {
  ensureBuilt();
  return worldShape_.IsNull() ? nullptr : &worldShape_;
}

TopoDS_Shape AmiPartEntity::resolve(const std::string& name) const {
  ensureBuilt();
  if (!part_) return TopoDS_Shape();
  TopoDS_Shape local = part_->resolve(name);
  return local.IsNull() ? local : local.Moved(location_);
}

std::string AmiPartEntity::nameOf(const TopoDS_Shape& worldSubshape) const {
  ensureBuilt();
  if (!part_ || worldSubshape.IsNull()) return {};
  return part_->nameOf(worldSubshape.Moved(location_.Inverted()));
}

void AmiPartEntity::changeDefinition(const std::function<void(mcadkernel::Part&)>& change) {
  ensureBuilt();
  if (!part_) throw mcadkernel::KernelError("Part " + componentName_ + " cannot be built: " + buildError_);
  assertWriteEnabled();
  change(*part_);  // the kernel leaves the part as it was when this throws
  definition_ = mcadkernel::partFileText(*part_);
  adopt(std::move(part_));
  recordGraphicsModified();
}

void AmiPartEntity::setParameterValue(const std::string& name, double value) {
  changeDefinition([&](mcadkernel::Part& part) { part.setParameterValue(name, value); });
}

void AmiPartEntity::defineParameter(const std::string& name, const std::string& expression) {
  changeDefinition([&](mcadkernel::Part& part) { part.defineParameter(name, expression); });
}

void AmiPartEntity::setPendingParameterValue(const std::string& name, double value) {
  assertWriteEnabled();
  for (auto& [pendingName, pendingValue] : pendingValues_)
    if (pendingName == name) {
      pendingValue = value;
      return;
    }
  pendingValues_.emplace_back(name, value);
}

bool AmiPartEntity::pendingParameterValue(const std::string& name, double& value) const {
  for (const auto& [pendingName, pendingValue] : pendingValues_)
    if (pendingName == name) {
      value = pendingValue;
      return true;
    }
  return false;
}

void AmiPartEntity::regenerate() {
  built_ = false;
  ensureBuilt();
  if (!part_) {
    pendingValues_.clear();
    throw mcadkernel::KernelError("Part " + componentName_ + " cannot be built: " + buildError_);
  }
  if (!pendingValues_.empty()) {
    const std::vector<std::pair<std::string, double>> values = std::move(pendingValues_);
    pendingValues_.clear();
    changeDefinition([&](mcadkernel::Part& part) { part.setParameterValues(values); });
  }
  recordGraphicsModified();
}

Acad::ErrorStatus AmiPartEntity::dwgOutFields(AcDbDwgFiler* filer) const {
  Acad::ErrorStatus status = AcDbEntity::dwgOutFields(filer);
  if (status != Acad::eOk) return status;
  filer->writeString(componentName_);
  filer->writeString(definition_);
  for (int row = 1; row <= 3; ++row)
    for (int column = 1; column <= 4; ++column) filer->writeDouble(placement_.Value(row, column));
  return filer->filerStatus();
}

Acad::ErrorStatus AmiPartEntity::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  std::string componentName, definition;
  double m[12] = {};
  filer->readString(&componentName);
  filer->readString(&definition);
  for (double& value : m) filer->readDouble(&value);
  if (filer->filerStatus() != Acad::eOk) return filer->filerStatus();
  // As the assembly reader: a placement is finite, or the record is damaged.
  for (double value : m)
    if (!std::isfinite(value) || std::fabs(value) > kFarthestPlacement) return Acad::eFilerError;
  gp_Trsf placement;
  try {
    placement.SetValues(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10], m[11]);
  } catch (const Standard_Failure&) {
    return Acad::eFilerError;  // not a rigid placement: a damaged record
  }
  componentName_ = componentName;
  definition_ = definition;
  placement_ = placement;
  built_ = false;  // rebuilt from the restored definition on next use
  return Acad::eOk;
}

AcDbObjectId mcadAddPart(AcDbDatabase* db, const std::string& componentName, const std::string& definition,
                         const gp_Trsf& placement) {
  std::unique_ptr<mcadkernel::Part> part = mcadkernel::readPart(definition, componentName, globalsOf(db));
  auto entity = std::make_unique<AmiPartEntity>();
  entity->componentName_ = uniqueComponentName(db, componentName.empty() ? part->name() : componentName, {});
  entity->definition_ = mcadkernel::partFileText(*part);
  entity->placement_ = placement;
  AcDbObjectId id = appendToModelSpace(db, entity.get());
  AmiPartEntity* added = entity.release();  // the database owns it now
  if (acdbOpenObject(added, id, AcDb::kForRead) == Acad::eOk) {
    added->adopt(std::move(part));
    added->close();
  }
  return id;
}

std::vector<AcDbObjectId> mcadLoadPartFile(AcDbDatabase* db, const std::string& path) {
  std::filesystem::path file(path);
  if (file.extension() != ".asm") {
    std::unique_ptr<mcadkernel::Part> part =
        mcadkernel::readPart(readTextFile(file), file.filename().string(), globalsOf(db));
    return {mcadAddPart(db, part->name(), mcadkernel::partFileText(*part), gp_Trsf())};
  }
  std::unique_ptr<mcadkernel::Assembly> assembly = mcadkernel::readAssemblyFile(file);
  std::vector<std::pair<std::string, std::string>> globals;
  for (const std::string& name : assembly->globals().names())
    globals.emplace_back(name, assembly->globals().expressionText(name));
  if (!globals.empty()) mcadDefineGlobals(db, globals);
  std::vector<AcDbObjectId> added;
  for (const mcadkernel::Assembly::Component& component : assembly->components())
    added.push_back(mcadAddPart(db, component.name, mcadkernel::partFileText(*component.part), component.placement));
  return added;
}

std::vector<AcDbObjectId> mcadPartIds(AcDbDatabase* db) {
  std::vector<AcDbObjectId> parts;
  if (!db) return parts;
  AcDbBlockTableRecord* modelSpace = nullptr;
  if (acdbOpenObject(modelSpace, db->modelSpaceId(), AcDb::kForRead) != Acad::eOk) return parts;
  std::vector<AcDbObjectId> ids = modelSpace->entityIds();
  modelSpace->close();
  for (AcDbObjectId id : ids) {
    if (id.isErased()) continue;
    AcDbObject* object = nullptr;
    if (acdbOpenObject(object, id, AcDb::kForRead) != Acad::eOk) continue;
    if (AmiPartEntity::cast(object)) parts.push_back(id);
    object->close();
  }
  return parts;
}

AcDbObjectId mcadFindComponent(AcDbDatabase* db, const std::string& componentName) {
  for (AcDbObjectId id : mcadPartIds(db)) {
    AmiPartEntity* entity = nullptr;
    if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk) continue;
    bool match = entity->componentName() == componentName;
    entity->close();
    if (match) return id;
  }
  return AcDbObjectId::kNull;
}

const mcadkernel::ParameterSet* mcadGlobals(AcDbDatabase* db) { return globalsOf(db); }

void mcadSetGlobal(AcDbDatabase* db, const std::string& name, double value) {
  const mcadkernel::ParameterSet* globals = globalsOf(db);
  if (!globals || !globals->contains(name)) throw mcadkernel::KernelError("No global parameter named " + name + ".");
  mcadkernel::ParameterSet trial = *globals;
  trial.setValue(name, value);
  commitGlobals(db, *globals, trial);
}

void mcadSetGlobalDeferred(AcDbDatabase* db, const std::string& name, double value) {
  const mcadkernel::ParameterSet* globals = globalsOf(db);
  if (!globals || !globals->contains(name)) throw mcadkernel::KernelError("No global parameter named " + name + ".");
  mcadkernel::ParameterSet trial = *globals;
  trial.setValue(name, value);
  AmiDesignerParams* params = openDesignerParamsForWrite(db);
  if (!params) throw mcadkernel::KernelError("The drawing's global parameters cannot be changed now.");
  params->assign(trial);
  params->close();
}

void mcadDefineGlobals(AcDbDatabase* db, const std::vector<std::pair<std::string, std::string>>& definitions) {
  const mcadkernel::ParameterSet* globals = globalsOf(db);
  mcadkernel::ParameterSet before = globals ? *globals : mcadkernel::ParameterSet("Designer");
  mcadkernel::ParameterSet trial = before;
  trial.define(definitions);
  commitGlobals(db, before, trial);
}
