#include "designer_params.h"

#include <map>

#include "arx/dbdatabase.h"
#include "arx/dbdict.h"
#include "arx/dbfiler.h"
#include "mcadkernel/error.h"

// No DXF name, like the parts that use these parameters.
ACRX_CONS_DEFINE_MEMBERS(AmiDesignerParams, AcDbObject, nullptr)

namespace {

constexpr const char* kDictionaryKey = "AMI_DESIGNER_PARAMETERS";

std::map<const AcDbDatabase*, AmiDesignerParams*>& registry() {
  static auto* instance = new std::map<const AcDbDatabase*, AmiDesignerParams*>();
  return *instance;
}

unsigned long long nextStamp() {
  static unsigned long long counter = 0;
  return ++counter;
}

}  // namespace

AmiDesignerParams::AmiDesignerParams()
    : set_(std::make_unique<mcadkernel::ParameterSet>("Designer")), stamp_(nextStamp()) {}

AmiDesignerParams::~AmiDesignerParams() {
  auto found = registry().find(registered_);
  if (found != registry().end() && found->second == this) registry().erase(found);
}

void AmiDesignerParams::registerWith(AcDbDatabase* db) {
  if (!db || registered_ == db) return;
  registered_ = db;
  registry()[db] = this;
}

void AmiDesignerParams::assign(const mcadkernel::ParameterSet& set) {
  assertWriteEnabled();
  *set_ = set;
  stamp_ = nextStamp();
}

Acad::ErrorStatus AmiDesignerParams::dwgOutFields(AcDbDwgFiler* filer) const {
  Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer);
  if (status != Acad::eOk) return status;
  std::vector<std::string> names = set_->names();
  filer->writeUInt32(static_cast<Adesk::UInt32>(names.size()));
  for (const std::string& name : names) {
    filer->writeString(name);
    filer->writeString(set_->expressionText(name));
  }
  return filer->filerStatus();
}

Acad::ErrorStatus AmiDesignerParams::dwgInFields(AcDbDwgFiler* filer) {
  Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
  if (status != Acad::eOk) return status;
  Adesk::UInt32 count = 0;
  filer->readUInt32(&count);
  std::vector<std::pair<std::string, std::string>> definitions;
  for (Adesk::UInt32 i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
    std::string name, expression;
    filer->readString(&name);
    filer->readString(&expression);
    definitions.emplace_back(name, expression);
  }
  if (filer->filerStatus() != Acad::eOk) return filer->filerStatus();
  mcadkernel::ParameterSet restored("Designer");
  try {
    restored.define(definitions);
  } catch (const mcadkernel::KernelError&) {
    return Acad::eFilerError;  // a damaged record: keep what we have
  }
  *set_ = restored;
  stamp_ = nextStamp();
  registerWith(filer->database());
  return Acad::eOk;
}

AmiDesignerParams* designerParamsOf(AcDbDatabase* db) {
  auto found = registry().find(db);
  if (found == registry().end() || found->second->isErased()) return nullptr;
  return found->second;
}

unsigned long long designerStamp(AcDbDatabase* db) {
  AmiDesignerParams* params = designerParamsOf(db);
  return params ? params->stamp() : 0;
}

AmiDesignerParams* openDesignerParamsForWrite(AcDbDatabase* db) {
  AcDbObject* object = nullptr;
  if (AmiDesignerParams* existing = designerParamsOf(db)) {
    if (acdbOpenObject(object, existing->objectId(), AcDb::kForWrite) != Acad::eOk) return nullptr;
    return AmiDesignerParams::cast(object);
  }
  AcDbDictionary* dictionary = nullptr;
  if (db->getNamedObjectsDictionary(dictionary, AcDb::kForWrite) != Acad::eOk) return nullptr;
  auto* params = new AmiDesignerParams();
  AcDbObjectId id;
  Acad::ErrorStatus status = dictionary->setAt(kDictionaryKey, params, id);
  dictionary->close();
  if (status != Acad::eOk) {
    delete params;
    return nullptr;
  }
  params->registerWith(db);
  return params;  // still open for write from setAt
}
