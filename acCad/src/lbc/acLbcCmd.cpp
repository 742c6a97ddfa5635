#include "lbc/acLbcCmd.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>

#include "amg/CaeCoordSys.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeTransform.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/adscodes.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadApplication.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "db/dbBaseLbc.h"
#include "db/dbLbc.h"
#include "db/dbLbcConv.h"
#include "db/dbLbcHtGen.h"
#include "db/dbModelLbc.h"
#include "db/dbModelTemp.h"
#include "db/dbOpen.h"
#include "fea/AttCodes.h"
#include "fea/CaeFunc.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoUtil.h"
#include "util/acSelect.h"

namespace {

// ---- checks of what the user typed ----

bool acColourOk(int colour) {
  if (colour >= 0 && colour <= 256) return true;
  acutPrintf("\nInvalid condition colour %d: give a colour index from 0 to 256.", colour);
  return false;
}

bool acScaleOk(double scale) {
  if (std::isfinite(scale) && scale > 0.0) return true;
  acutPrintf("\nInvalid symbol scale: give a number greater than 0.");
  return false;
}

bool acNumbersOk(std::initializer_list<double> numbers) {
  for (double number : numbers)
    if (!std::isfinite(number)) {
      acutPrintf("\nInvalid condition value: every value and temperature must be a finite number.");
      return false;
    }
  return true;
}

bool acTableOk(AttTempList* table) {
  if (!table) return true;
  for (AttTableTempValue* row : *table)
    if (!acNumbersOk({row->Temp(), row->Value()})) return false;
  return true;
}

bool acCommonOk(int colour, double scale, std::initializer_list<double> numbers) {
  return acColourOk(colour) && acScaleOk(scale) && acNumbersOk(numbers);
}

void acRefuseType(int type) { acutPrintf("\nCondition type %d cannot be made by this operation.", type); }

// The descriptor of a type; none is a consistency check.
const AttLbcDescript* acDescriptorOf(int type) {
  CadInterface* cad = CadInterface::GetCurrent();
  const AttLbcDescript* descriptor = cad ? cad->FindLbcDescript(type) : nullptr;
  if (!descriptor) CAE_GENERAL_ERROR();
  return descriptor;
}

// Loads, restraints and model-level loads: not the model temperature, convection or heat generation,
// which have operations of their own.
bool acIsLbcType(const AttLbcDescript& descriptor) {
  return descriptor.kind != AttKindModelTemp && descriptor.type != AttCode::FaceConvection &&
         descriptor.type != AttCode::VolumetricHeatFlow;
}

// The entity of a condition's engine part: they are one object.
CaepBaseLbcEnt* acEntityOf(AttBaseLbc* condition) {
  auto* entity = dynamic_cast<CaepBaseLbcEnt*>(condition);
  if (!entity) CAE_GENERAL_ERROR();
  return entity;
}

// What an edit must not do: change the condition's kind, or act on a condition that no set holds
// (its replacement would belong nowhere) or whose geometry is missing (it would have none).
bool acEditAllowed(AttBaseLbc* old, const AttLbcDescript& descriptor) {
  if (!old->Descriptor() || old->Descriptor()->kind != descriptor.kind) {
    acutPrintf("\nAn edit cannot change the kind of a condition (load, restraint or model-level load).");
    return false;
  }
  if (acEntityOf(old)->GeometryMissing()) {
    acutPrintf("\nThe geometry of this condition is missing; it can be edited once the geometry is back.");
    return false;
  }
  if (!old->Case()) {
    acutPrintf("\nThe condition belongs to no load or restraint set and cannot be edited.");
    return false;
  }
  return true;
}

CaeVector acValueOf(const double* values) { return values ? CaeVector(values[0], values[1], values[2]) : CaeVector(); }

AttLbcComponents acComponentsOf(const int* flags) {
  AttLbcComponents components;
  if (flags)
    for (int i = 0; i < 6; ++i) components.flag[i] = flags[i];
  return components;
}

// The condition's own copy of the caller's system; none for global axes (null or a cartesian
// system at the identity), as the entity reads them back from its record. A face system lies on
// the condition's face.
std::unique_ptr<CaeCoordSys> acOwnCoordSys(const CaeCoordSys* given, AcTopoRef* ref) {
  if (dbIsGlobalAxes(given)) return nullptr;
  std::unique_ptr<CaeCoordSys> own(given->Clone());
  if (own->GetInfo() == CaeCoordSysFace::Info)
    if (auto* face = dynamic_cast<CaeCoordSysFace*>(own.get())) face->SetTopoRef(ref);
  return own;
}

// The value function: the value vector, constant over the condition's coordinate system, in the
// unit of the type's descriptor.
std::unique_ptr<CaeFunc> acValueFunction(const AttLbcDescript& descriptor, const CaeVector& value,
                                         const CaeCoordSys* coordSys) {
  static const int kNoCoordinates[3] = {0, 0, 0};
  CaeString name;
  CadLbcTypeName(name, descriptor.type);
  auto function =
      std::make_unique<CaeFuncCoordLinear>(new CaeFuncVariable(name, descriptor.Dimension()), coordSys, kNoCoordinates);
  function->SetDefiningValuesVec(1, &value, nullptr, nullptr, nullptr);
  return function;
}

// The drawing's reference of picked or given geometry; none is a consistency check.
AcTopoRef* acReferenceOf(AcBrEntity* entity) {
  AcTopoRef* ref = entity ? acTopoRefFromBrEntity(entity) : nullptr;
  if (!ref) CAE_GENERAL_ERROR();
  return ref;
}

// A new entity joins a set (null: the current one of its kind), which posts it to the drawing.
// An entity the set did not post is not the drawing's: it is deleted here.
template <class Entity>
Entity* acJoinSet(Entity* entity, AttLbcCase* set) {
  std::unique_ptr<Entity> pending(entity);
  try {
    if (set)
      entity->Condition().AddToCase(set);
    else
      entity->Condition().AddToCurrentCase();
  } catch (...) {
    if (!entity->objectId().isNull()) pending.release();
    throw;
  }
  if (entity->objectId().isNull()) CAE_GENERAL_ERROR();
  return pending.release();
}

// Attaches a posted entity to its reference and binds it to the reference's key.
template <class Entity>
void acAttach(Entity* entity, AcTopoRef* ref) {
  ref->AddAttribute(entity);
  acBindObjectToKey(entity->TopoKey(), entity);
}

void acCopyTable(AttTempList* table, void (*add)(AttBaseLbc&, double, double), AttBaseLbc& condition) {
  if (!table) return;
  for (AttTableTempValue* row : *table) add(condition, row->Temp(), row->Value());
}

// Names the new condition, closes it and erases the old one through the caller's open object.
template <class Entity>
void acFinishReplacement(Entity* entity, AttBaseLbc* old, const CaeString& name) {
  entity->Condition().Name(name);
  if (old->IsMarkedAsCurrent()) entity->Condition().MarkAsCurrent();
  entity->close();
  AcDbEntity* replaced = acEntityOf(old);
  dbWriteEnable(*replaced);  // listing opens conditions for read
  CAE_CHECK(replaced->erase(true) == Acad::eOk);
}

// A topology condition's reference for its replacement; the old one's.
AcTopoRef* acOldReference(CaeAttrib* old) {
  auto* ref = dynamic_cast<AcTopoRef*>(old->GetTopoRef());
  if (!ref) CAE_GENERAL_ERROR();
  return ref;
}

}  // namespace

// ---- picking ----

int acAskPickType(int vertexAllowed, int edgeAllowed, int faceAllowed, int objectAllowed, int* pickKind) {
  const int allowed = (vertexAllowed != 0) + (edgeAllowed != 0) + (faceAllowed != 0) + (objectAllowed != 0);
  if (allowed == 0) CAE_GENERAL_ERROR();
  if (allowed == 1) {
    *pickKind = vertexAllowed ? kPickVertex : edgeAllowed ? kPickEdge : faceAllowed ? kPickFace : kPickSolid;
    return 1;
  }
  char prompt[128];
  std::snprintf(prompt, sizeof prompt, "Enter Pick Type (%s%s%s%s): ", vertexAllowed ? "3 = vertex, " : "",
                edgeAllowed ? "2 = edge, " : "", faceAllowed ? "1 = face, " : "", objectAllowed ? "0 = object, " : "");
  // Any kind 0..3 is taken, offered or not; ESC or the end of the input ends the creation.
  *pickKind = -1;
  while (*pickKind < kPickSolid || *pickKind > kPickVertex) {
    *pickKind = -1;
    if (acedGetInt(prompt, pickKind) == RTCAN) {
      *pickKind = -1;
      return 0;
    }
  }
  return 1;
}

AcBrEntity* acPickLbcTopology(int type, int* pickKind) {
  if (!CadCurrentDocControl()) CAE_GENERAL_ERROR();
  const AttLbcDescript* descriptor = acDescriptorOf(type);
  if (!acAskPickType(descriptor->vertexAllowed, descriptor->edgeAllowed, descriptor->faceAllowed,
                     descriptor->objectAllowed, pickKind))
    return nullptr;
  return acPickTopology(*pickKind, 1);
}

// ---- loads, restraints and model-level loads ----

CaepLbcEnt* acNewLbcEnt(int colour, double scale, int type, const CaeVector& value, AcTopoRef* ref,
                        const AttLbcComponents& components, const CaeCoordSys* coordSys) {
  const AttLbcDescript* descriptor = acDescriptorOf(type);
  std::unique_ptr<CaeCoordSys> own = acOwnCoordSys(coordSys, ref);
  std::unique_ptr<CaeFunc> function = acValueFunction(*descriptor, value, own.get());
  auto* entity = new CaepLbcEnt(colour, scale, descriptor, ref, function.release(), own.release(), &components);
  entity->Condition().MarkAsNotCurrent();
  return entity;
}

CaepModelLbcEnt* acNewModelLbcEnt(int colour, double scale, int type, const CaeVector& value,
                                  const AttLbcComponents& components, const CaeCoordSys* coordSys) {
  const AttLbcDescript* descriptor = acDescriptorOf(type);
  std::unique_ptr<CaeCoordSys> own = acOwnCoordSys(coordSys, nullptr);
  std::unique_ptr<CaeFunc> function = acValueFunction(*descriptor, value, own.get());
  auto* entity = new CaepModelLbcEnt(colour, scale, descriptor, function.release(), own.release(), &components);
  entity->Condition().MarkAsNotCurrent();
  return entity;
}

CaepLbcEnt* acAttachNewLbcEnt(int colour, double scale, int type, const CaeVector& value, AcTopoRef* ref,
                              const AttLbcComponents& components, const CaeCoordSys* coordSys) {
  CaepLbcEnt* entity = acJoinSet(acNewLbcEnt(colour, scale, type, value, ref, components, coordSys), nullptr);
  acAttach(entity, ref);
  entity->Condition().MarkAsCurrent();
  return entity;
}

CaepModelLbcEnt* acAttachNewModelLbcEnt(int colour, double scale, int type, const CaeVector& value,
                                        const AttLbcComponents& components, const CaeCoordSys* coordSys) {
  CaepModelLbcEnt* entity = acJoinSet(acNewModelLbcEnt(colour, scale, type, value, components, coordSys), nullptr);
  entity->Condition().MarkAsCurrent();
  return entity;
}

namespace {

// The checks every create and edit of a load, restraint or model-level load runs first.
const AttLbcDescript* acLbcInputOk(int colour, double scale, int type, const double* values) {
  const AttLbcDescript* descriptor = acDescriptorOf(type);
  if (!acIsLbcType(*descriptor)) {
    acRefuseType(type);
    return nullptr;
  }
  const CaeVector value = acValueOf(values);
  if (!acCommonOk(colour, scale, {value[0], value[1], value[2]})) return nullptr;
  return descriptor;
}

void acCreateCheckedLbc(const CaeString& name, int colour, double scale, const AttLbcDescript& descriptor,
                        const int* flags, const double* values, const CaeCoordSys* coordSys, AcBrEntity* entity) {
  const CaeVector value = acValueOf(values);
  const AttLbcComponents components = acComponentsOf(flags);
  if (descriptor.kind == AttKindModelLoad) {
    CaepModelLbcEnt* made = acAttachNewModelLbcEnt(colour, scale, descriptor.type, value, components, coordSys);
    made->Condition().Name(name);
    made->close();
    return;
  }
  CaepLbcEnt* made =
      acAttachNewLbcEnt(colour, scale, descriptor.type, value, acReferenceOf(entity), components, coordSys);
  made->Condition().Name(name);
  made->close();
}

}  // namespace

int acCreateLbc(const CaeString& name, int colour, double scale, int type, const int* flags, const double* values,
                const CaeCoordSys* coordSys, AcBrEntity* entity) {
  const AttLbcDescript* descriptor = acLbcInputOk(colour, scale, type, values);
  if (!descriptor) return 0;
  acCreateCheckedLbc(name, colour, scale, *descriptor, flags, values, coordSys, entity);
  return 1;
}

int acCreateLbcByPick(const CaeString& name, int colour, double scale, int type, const int* flags, const double* values,
                      const CaeCoordSys* coordSys) {
  const AttLbcDescript* descriptor = acLbcInputOk(colour, scale, type, values);
  if (!descriptor) return 0;
  AcBrEntity* entity = nullptr;
  if (descriptor->kind != AttKindModelLoad) {
    int pickKind = -1;
    entity = acPickLbcTopology(type, &pickKind);
    if (!entity) return 0;
  }
  acCreateCheckedLbc(name, colour, scale, *descriptor, flags, values, coordSys, entity);
  return 1;
}

int acEditLbc(AttBaseLbc* old, const CaeString& name, int colour, double scale, int type, const int* flags,
              const double* values, const CaeCoordSys* coordSys) {
  if (!old) CAE_GENERAL_ERROR();
  const AttLbcDescript* descriptor = acLbcInputOk(colour, scale, type, values);
  if (!descriptor || !acEditAllowed(old, *descriptor)) return 0;
  const CaeVector value = acValueOf(values);
  const AttLbcComponents components = acComponentsOf(flags);
  AttLbcCase* set = old->Case();
  if (old->GetInfo() == AttLbc::Info) {
    AcTopoRef* ref = acOldReference(dynamic_cast<AttLbc*>(old));
    CaepLbcEnt* made = acJoinSet(acNewLbcEnt(colour, scale, type, value, ref, components, coordSys), set);
    acAttach(made, ref);
    acFinishReplacement(made, old, name);
    return 1;
  }
  if (old->GetInfo() == AttModelLbc::Info) {
    CaepModelLbcEnt* made = acJoinSet(acNewModelLbcEnt(colour, scale, type, value, components, coordSys), set);
    acFinishReplacement(made, old, name);
    return 1;
  }
  CAE_GENERAL_ERROR();
}

// ---- model temperature ----

CaepModelTempEnt* acNewModelTempEnt(int colour, double scale, double modelTemperature, double referenceTemperature) {
  const AttLbcDescript* descriptor = acDescriptorOf(ToAttType(AttCode::BodyTemperature));
  auto* entity = new CaepModelTempEnt(colour, scale, descriptor, nullptr, modelTemperature, referenceTemperature);
  entity->Condition().MarkAsNotCurrent();
  return entity;
}

CaepModelTempEnt* acAttachNewModelTempEnt(int colour, double scale, double modelTemperature,
                                          double referenceTemperature) {
  CaepModelTempEnt* entity =
      acJoinSet(acNewModelTempEnt(colour, scale, modelTemperature, referenceTemperature), nullptr);
  entity->Condition().MarkAsCurrent();
  return entity;
}

AttModelTemp* acCreateModelTemp(const CaeString& name, int colour, double scale, double modelTemperature,
                                double referenceTemperature, int /*extra*/) {
  return acCreateModelTempDefault(name, colour, scale, modelTemperature, referenceTemperature);
}

AttModelTemp* acCreateModelTempDefault(const CaeString& name, int colour, double scale, double modelTemperature,
                                       double referenceTemperature) {
  acDescriptorOf(ToAttType(AttCode::BodyTemperature));
  if (!acCommonOk(colour, scale, {modelTemperature, referenceTemperature})) return nullptr;
  CadWaitCursor wait;
  CaepModelTempEnt* entity = acAttachNewModelTempEnt(colour, scale, modelTemperature, referenceTemperature);
  entity->Condition().Name(name);
  entity->close();
  return entity;
}

int acEditModelTemp(AttModelTemp* old, const CaeString& name, int colour, double scale, double modelTemperature,
                    double referenceTemperature) {
  if (!old) CAE_GENERAL_ERROR();
  const AttLbcDescript* descriptor = acDescriptorOf(ToAttType(AttCode::BodyTemperature));
  if (!acCommonOk(colour, scale, {modelTemperature, referenceTemperature}) || !acEditAllowed(old, *descriptor))
    return 0;
  CadWaitCursor wait;
  CaepModelTempEnt* made =
      acJoinSet(acNewModelTempEnt(colour, scale, modelTemperature, referenceTemperature), old->Case());
  // The nodal temperatures go with the condition, now owned by the new one.
  if (old->GetFDesc()) made->SetFDesc(old->GetFDesc());
  for (AttFlbc* nodal = old->FirstFlbc(); nodal; nodal = old->NextFlbc()) made->AddFlbc(new AttFlbc(*nodal, made));
  acFinishReplacement(made, old, name);
  return 1;
}

// ---- convection ----

namespace {

void acAddFilm(AttBaseLbc& condition, double temperature, double value) {
  dynamic_cast<AttLbcConv&>(condition).AddFilmValue(temperature, value);
}

void acAddHeat(AttBaseLbc& condition, double temperature, double value) {
  dynamic_cast<AttLbcHgen&>(condition).AddHGenValue(temperature, value);
}

// The checks of a convection or heat generation: its own type only, then the numbers.
const AttLbcDescript* acThermalInputOk(int colour, double scale, int type, AttCode own,
                                       std::initializer_list<double> numbers, AttTempList* table) {
  const AttLbcDescript* descriptor = acDescriptorOf(type);
  if (type != ToAttType(own)) {
    acRefuseType(type);
    return nullptr;
  }
  if (!acCommonOk(colour, scale, numbers) || !acTableOk(table)) return nullptr;
  return descriptor;
}

}  // namespace

CaepLbcConvEnt* acNewConvEnt(int colour, double scale, int type, int constant, AcTopoRef* ref, double filmCoefficient,
                             double ambientTemperature, AttTempList* table) {
  const AttLbcDescript* descriptor = acDescriptorOf(type);
  auto* entity = new CaepLbcConvEnt(colour, scale, descriptor, ref, filmCoefficient, ambientTemperature);
  entity->Constant(constant);
  acCopyTable(table, &acAddFilm, entity->Condition());
  entity->Condition().MarkAsNotCurrent();
  return entity;
}

CaepLbcConvEnt* acAttachNewConvEnt(int colour, double scale, int type, int constant, AcTopoRef* ref,
                                   double filmCoefficient, double ambientTemperature, AttTempList* table) {
  CaepLbcConvEnt* entity =
      acJoinSet(acNewConvEnt(colour, scale, type, constant, ref, filmCoefficient, ambientTemperature, table), nullptr);
  acAttach(entity, ref);
  entity->Condition().MarkAsCurrent();
  return entity;
}

int acCreateConv(const CaeString& name, int colour, double scale, int type, int constant, double filmCoefficient,
                 double ambientTemperature, AttTempList* table, AcBrEntity* entity) {
  if (!acThermalInputOk(colour, scale, type, AttCode::FaceConvection, {filmCoefficient, ambientTemperature}, table))
    return 0;
  CaepLbcConvEnt* made = acAttachNewConvEnt(colour, scale, type, constant, acReferenceOf(entity), filmCoefficient,
                                            ambientTemperature, table);
  made->Condition().Name(name);
  made->close();
  return 1;
}

int acCreateConvByPick(const CaeString& name, int colour, double scale, int type, int constant, double filmCoefficient,
                       double ambientTemperature, AttTempList* table) {
  if (!acThermalInputOk(colour, scale, type, AttCode::FaceConvection, {filmCoefficient, ambientTemperature}, table))
    return 0;
  int pickKind = -1;
  AcBrEntity* entity = acPickLbcTopology(type, &pickKind);
  if (!entity) return 0;
  return acCreateConv(name, colour, scale, type, constant, filmCoefficient, ambientTemperature, table, entity);
}

int acEditConv(AttLbcConv* old, const CaeString& name, int colour, double scale, int type, int constant,
               double filmCoefficient, double ambientTemperature, AttTempList* table) {
  if (!old) CAE_GENERAL_ERROR();
  const AttLbcDescript* descriptor =
      acThermalInputOk(colour, scale, type, AttCode::FaceConvection, {filmCoefficient, ambientTemperature}, table);
  if (!descriptor || !acEditAllowed(old, *descriptor)) return 0;
  AcTopoRef* ref = acOldReference(old);
  CaepLbcConvEnt* made = acJoinSet(
      acNewConvEnt(colour, scale, type, constant, ref, filmCoefficient, ambientTemperature, table), old->Case());
  acAttach(made, ref);
  acFinishReplacement(made, old, name);
  return 1;
}

// ---- heat generation ----

CaepLbcHtGenEnt* acNewHtGenEnt(int colour, double scale, int type, int constant, AcTopoRef* ref, double value,
                               AttTempList* table) {
  const AttLbcDescript* descriptor = acDescriptorOf(type);
  auto* entity = new CaepLbcHtGenEnt(colour, scale, descriptor, ref, value);
  entity->Constant(constant);
  acCopyTable(table, &acAddHeat, entity->Condition());
  entity->Condition().MarkAsNotCurrent();
  return entity;
}

CaepLbcHtGenEnt* acAttachNewHtGenEnt(int colour, double scale, int type, int constant, AcTopoRef* ref, double value,
                                     AttTempList* table) {
  CaepLbcHtGenEnt* entity = acJoinSet(acNewHtGenEnt(colour, scale, type, constant, ref, value, table), nullptr);
  acAttach(entity, ref);
  entity->Condition().MarkAsCurrent();
  return entity;
}

int acCreateHtGen(const CaeString& name, int colour, double scale, int type, int constant, double value,
                  AttTempList* table, AcBrEntity* entity) {
  if (!acThermalInputOk(colour, scale, type, AttCode::VolumetricHeatFlow, {value}, table)) return 0;
  CaepLbcHtGenEnt* made = acAttachNewHtGenEnt(colour, scale, type, constant, acReferenceOf(entity), value, table);
  made->Condition().Name(name);
  made->close();
  return 1;
}

int acCreateHtGenByPick(const CaeString& name, int colour, double scale, int type, int constant, double value,
                        AttTempList* table) {
  if (!acThermalInputOk(colour, scale, type, AttCode::VolumetricHeatFlow, {value}, table)) return 0;
  int pickKind = -1;
  AcBrEntity* entity = acPickLbcTopology(type, &pickKind);
  if (!entity) return 0;
  return acCreateHtGen(name, colour, scale, type, constant, value, table, entity);
}

int acEditHtGen(AttLbcHgen* old, const CaeString& name, int colour, double scale, int type, int constant, double value,
                AttTempList* table) {
  if (!old) CAE_GENERAL_ERROR();
  const AttLbcDescript* descriptor = acThermalInputOk(colour, scale, type, AttCode::VolumetricHeatFlow, {value}, table);
  if (!descriptor || !acEditAllowed(old, *descriptor)) return 0;
  AcTopoRef* ref = acOldReference(old);
  CaepLbcHtGenEnt* made = acJoinSet(acNewHtGenEnt(colour, scale, type, constant, ref, value, table), old->Case());
  acAttach(made, ref);
  acFinishReplacement(made, old, name);
  return 1;
}
