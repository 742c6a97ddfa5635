// The optimisation rows of the AutoCAD interface: the part modeller's parameters, design variables
// and the values written back to the part, the active part's volume, and the drawing objects of an
// optimisation study made from the engine definitions the pages fill in.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "CadInterface/AcCadInterface.h"
#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "arx/acutads.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/UIDefaultNames.h"
#include "db/dbCase.h"
#include "db/dbControl.h"
#include "db/dbOpen.h"
#include "db/dbOptCon.h"
#include "db/dbOptModel.h"
#include "db/dbOptObj.h"
#include "db/dbOptVar.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AttLbcCase.h"
#include "fea/OptModel.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "mcad/amikey.h"
#include "mcad/amiparam.h"
#include "mcad/amipick.h"
#include "res/ResourceIds.h"
#include "topo/acTopoRef.h"
#include "topo/acTopoUtil.h"
#include "util/acObjKey.h"
#include "util/acPost.h"

namespace {

constexpr char kDesignerScope[] = "Designer";

// Releases every key of a key array handed out by the part modeller, then the array.
template <class Key>
void releaseKeys(Key** keys, int count) {
  for (int i = 0; i < count; ++i)
    if (keys[i] && keys[i]->isReleasable()) keys[i]->release();
  delete[] keys;
}

void releaseKey(AmiKey* key) {
  if (key && key->isReleasable()) key->release();
}

CaepAnlControl* currentControl() { return dynamic_cast<CaepAnlControl*>(AnlControl::GetCurrent()); }

CaeString parameterName(const AmiParamKey* key) {
  char* text = nullptr;
  CAE_CHECK(amiGetParamName(key, text) == Ami::eOk && text);
  CaeString name(text);
  delete[] text;
  return name;
}

// The live variables SetDesignVariableValues writes: the given one, or all of the control's.
std::vector<CaepOptVariable*> variablesToWrite(OptVariable* variable) {
  std::vector<OptVariable*> chosen;
  if (variable) {
    chosen.push_back(variable);
  } else if (AnlControl* control = AnlControl::GetCurrent()) {
    std::unique_ptr<OptVariableSet> set(control->GetDesignVariables(nullptr));
    for (OptVariable* v = set->FirstVariable(); v; v = set->NextVariable()) chosen.push_back(v);
  }
  std::vector<CaepOptVariable*> live;
  for (OptVariable* v : chosen) {
    if (v->IsMarkedAsErased()) continue;
    auto* stored = dynamic_cast<CaepOptVariable*>(v);
    live.push_back(stored);  // null stands for a variable without key
  }
  return live;
}

// One parameter written by SetDesignVariableValues, with the value it had before.
struct WrittenParameter {
  AmiParamKey* key;
  double before;
};

// Writes the values without rebuilding, then rebuilds each part once; false when a part refused.
bool writeAndRegenerate(const std::vector<std::pair<AmiParamKey*, double>>& values,
                        const std::vector<AmiObjectKey*>& parts) {
  for (const auto& [key, value] : values) CAE_CHECK(amiSetParamValue(key, value, Ami::kParamNoRegen) == Ami::eOk);
  bool built = true;
  for (AmiObjectKey* part : parts) {
    const AmiStatus status = amiRegen(part, 0);
    if (status == Ami::eRegenFailed)
      built = false;
    else
      CAE_CHECK(status == Ami::eOk);
  }
  return built;
}

// "constraint<n>" (shape) or "control<n>" (Concept) with the first n no live constraint of the
// model is named.
CaeString uniqueConstraintName(OptModel* model) {
  const std::string stem = model && model->Type() == CaeOptConcept ? "control" : "constraint";
  std::vector<std::string> taken;
  if (model)
    for (OptConstraint* c = model->FirstConstraint(1); c; c = model->NextConstraint())
      taken.emplace_back(c->Name().c_str());
  for (int n = 1;; ++n) {
    const std::string candidate = stem + std::to_string(n);
    if (std::find(taken.begin(), taken.end(), candidate) == taken.end()) return CaeString(candidate);
  }
}

bool equalIgnoringCase(const CaeString& a, const CaeString& b) {
  const std::string x = a.c_str(), y = b.c_str();
  return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), [](char p, char q) {
           return std::tolower(static_cast<unsigned char>(p)) == std::tolower(static_cast<unsigned char>(q));
         });
}

}  // namespace

// ---- parameters ---------------------------------------------------------------------------------

int AcCadInterface::GetParamDependencies(AmiParamKey* key) {
  if (!key) return 0;
  int count = 0;
  AmiParamKey** keys = nullptr;
  CAE_CHECK(amiGetParamDeps(key, count, keys) == Ami::eOk);
  releaseKeys(keys, count);
  return count > 0 ? 1 : 0;
}

AmiParamKey* AcCadInterface::PickParameter() {
  const CaeString prompt = resLoadString(IDS_SELECT_PARAMETER_PROMPT);
  const CaeString failed = resLoadString(IDS_PARAMETER_SELECTION_FAILED);
  for (;;) {
    AmiPickObj pick;
    const AmiStatus status = amiPick(prompt.c_str(), Ami::kParamKey, nullptr, pick);
    if (status == Ami::eUserEnded) return nullptr;
    if (status == Ami::eFailedPick) {
      acutPrintf("%s", failed.c_str());
      continue;
    }
    CAE_CHECK(status == Ami::eOk);
    AmiKey* key = nullptr;
    auto* parameter = amiGetKeyFromPick(pick, key) == Ami::eOk ? dynamic_cast<AmiParamKey*>(key) : nullptr;
    if (!parameter || parameter->keyType() != Ami::kParamKey) {
      releaseKey(key);
      acutPrintf("%s", failed.c_str());
      continue;
    }
    if (GetParamDependencies(parameter)) {
      releaseKey(parameter);
      acutPrintf("\n%s", resLoadString(IDS_DEPENDENT_PARAMETERS_NOT_ALLOWED).c_str());
      continue;
    }
    return parameter;
  }
}

void AcCadInterface::GetGlobalParams(int* count, CaeString** names) {
  *count = 0;
  *names = nullptr;
  int found = 0;
  AmiParamKey** keys = nullptr;
  CAE_CHECK(amiGetGlobalParams(kDesignerScope, found, keys) == Ami::eOk);
  std::vector<CaeString> kept;
  try {
    for (int i = 0; i < found; ++i) {
      const CaeString name = parameterName(keys[i]);
      if (!GetParamDependencies(keys[i])) kept.push_back(name);
    }
  } catch (...) {
    releaseKeys(keys, found);
    throw;
  }
  releaseKeys(keys, found);
  if (kept.empty()) return;
  *names = new CaeString[kept.size()];
  std::copy(kept.begin(), kept.end(), *names);
  *count = static_cast<int>(kept.size());
}

CaeString& AcCadInterface::GetParamName(CaeString& name, AmiParamKey* key) {
  name = parameterName(key);
  return name;
}

AmiParamKey* AcCadInterface::FindGlobalParam(CaeString name) {
  int count = 0;
  AmiParamKey** keys = nullptr;
  CAE_CHECK(amiGetGlobalParams(kDesignerScope, count, keys) == Ami::eOk);
  AmiParamKey* match = nullptr;
  for (int i = 0; i < count && !match; ++i) {
    char* text = nullptr;
    const bool named = amiGetParamName(keys[i], text) == Ami::eOk && text && std::string(text) == name.c_str();
    delete[] text;
    if (named) std::swap(match, keys[i]);
  }
  releaseKeys(keys, count);
  if (match && GetParamDependencies(match)) {
    acutPrintf("\n%s", resLoadString(IDS_DEPENDENT_PARAMETERS_NOT_ALLOWED).c_str());
    releaseKey(match);
    return nullptr;
  }
  return match;
}

// The variable's key while it still names a parameter (a deleted parameter answers null).
AmiParamKey* AcCadInterface::VariableParameterKey(OptVariable* variable) {
  auto* stored = dynamic_cast<CaepOptVariable*>(variable);
  AmiParamKey* key = stored ? stored->ParamKey() : nullptr;
  double value = 0.0;
  return key && amiGetParamValue(key, value) == Ami::eOk ? key : nullptr;
}

double AcCadInterface::GetParamValue(AmiParamKey* key) {
  double value = 0.0;
  CAE_CHECK(amiGetParamValue(key, value) == Ami::eOk);
  return value;
}

double AcCadInterface::GetParamValueByName(CaeString name) {
  AmiParamKey* key = FindGlobalParam(name);
  if (!key) return 0.0;
  double value = 0.0;
  const AmiStatus status = amiGetParamValue(key, value);
  releaseKey(key);
  CAE_CHECK(status == Ami::eOk);
  return value;
}

// All or nothing: every live variable must have its parameter before anything is written; the
// values are written together and each part that uses them is rebuilt once; a part that cannot be
// built with them gets the values it had back, and the answer is 0.
int AcCadInterface::SetDesignVariableValues(OptVariable* variable) {
  const std::vector<CaepOptVariable*> variables = variablesToWrite(variable);
  if (variables.empty()) return 0;
  std::vector<std::pair<AmiParamKey*, double>> values, before;
  for (CaepOptVariable* v : variables) {
    AmiParamKey* key = v ? VariableParameterKey(v) : nullptr;
    if (!key) return 0;
    values.emplace_back(key, v->InitialValue());
    before.emplace_back(key, GetParamValue(key));
  }
  std::vector<AmiObjectKey*> parts;
  bool built = false;
  try {
    for (const auto& [key, value] : values) dbOptVarCollectUsingParts(key, parts);
    built = writeAndRegenerate(values, parts);
    if (!built) {
      acutPrintf("\nThe part cannot be built with these design variable values; it was left as it was.");
      CAE_CHECK(writeAndRegenerate(before, parts));
      // Nothing changed: the variables hold their parameters' values again.
      for (std::size_t i = 0; i < variables.size(); ++i) variables[i]->InitialValue(before[i].second);
    }
  } catch (...) {
    for (AmiObjectKey* part : parts) acReleaseKey(&part);
    throw;
  }
  for (AmiObjectKey* part : parts) acReleaseKey(&part);
  acReresolveAllTopology();
  return built ? 1 : 0;
}

OptVariable* AcCadInterface::CreateDesignVariable(OptVariable* prototype, AmiParamKey* key) {
  CAE_CHECK(prototype != nullptr && key != nullptr);
  CaepAnlControl* control = currentControl();
  CAE_CHECK(control != nullptr);
  double lower = 0.0, upper = 0.0;
  prototype->Bounds(lower, upper);
  auto* variable = new CaepOptVariable(prototype->Name(), prototype->UnitType(), lower, upper, key, 1);
  if (prototype->IsMarkedAsCurrent())
    variable->MarkAsCurrent();
  else
    variable->MarkAsNotCurrent();
  try {
    control->AddOptVariable(variable);
  } catch (...) {
    if (variable->objectId().isNull()) delete variable;
    throw;
  }
  acBindObjectToKey(variable->ParamKey(), variable);
  variable->close();
  return variable;
}

namespace {

// Puts a new variable made from the prototype and the copied key where the old one was.
void replaceVariable(AcCadInterface& cad, OptVariable* old, OptVariable* prototype, AmiKey* key) {
  CaepAnlControl* control = currentControl();
  CAE_CHECK(control != nullptr && old != nullptr && key != nullptr);
  AmiKey* copy = nullptr;
  CAE_CHECK(amiCopyKey(key, copy) == Ami::eOk);
  auto* parameter = dynamic_cast<AmiParamKey*>(copy);
  if (!parameter) {
    releaseKey(copy);
    CAE_GENERAL_ERROR();
  }
  OptVariable* created = cad.CreateDesignVariable(prototype, parameter);
  control->MoveOptVariable(created, old);
  control->DeleteOptVariable(old);
}

}  // namespace

void AcCadInterface::CreateDesignVariableFromKey(OptVariable* old, OptVariable* prototype, AmiObjectKey* key) {
  replaceVariable(*this, old, prototype, key);
}

void AcCadInterface::ReplaceDesignVariable(OptVariable* old, OptVariable* prototype, AmiParamKey* key) {
  replaceVariable(*this, old, prototype, key);
}

// ---- part data ----------------------------------------------------------------------------------

double AcCadInterface::GetPartMassProps() {
  AmiObjectKey* part = nullptr;
  if (amiGetActivePart(kDesignerScope, part) != Ami::eOk || !part) {
    acReleaseKey(&part);
    return 0.0;
  }
  AmiMassProps props;
  const bool measured = amiGetMassProps(part, props) == Ami::eOk;
  acReleaseKey(&part);
  return measured ? props.volume : 0.0;
}

double AcCadInterface::GetPartVolume(int) { return GetPartMassProps(); }

// ---- optimisation objects -----------------------------------------------------------------------

AnlJob* AcCadInterface::CreateOptJob() {
  AnlControl* control = AnlControl::GetCurrent();
  OptModel* model = control ? control->CurrentOptModel() : nullptr;
  if (!model || !model->AnlModel()) return nullptr;
  return dbOptModelCreateJob(model);
}

double AcCadInterface::GetOptConstraintSymbolSize(OptConstraint* constraint) {
  auto* stored = dynamic_cast<CaepOptConstraint*>(constraint);
  return stored ? stored->SymbolSize() : 0.0;
}

int AcCadInterface::GetOptConstraintColor(OptConstraint* constraint) {
  auto* stored = dynamic_cast<CaepOptConstraint*>(constraint);
  return stored ? stored->Color() : 0;
}

AcBrEntity* AcCadInterface::GetBrepOfAttribute(CaeAttrib* attribute) {
  auto* reference = attribute ? dynamic_cast<AcTopoRef*>(attribute->GetTopoRef()) : nullptr;
  return reference ? acBrEntityFromKey(reference->GetKey()) : nullptr;
}

OptConstraint* AcCadInterface::CreateOptConstraint(OptFunction* definition, AcBrEntity* entity, double symbolSize,
                                                   int colour) {
  CAE_CHECK(definition != nullptr);
  OptModel* model = definition->Owner();
  CAE_CHECK(model != nullptr);
  // The record carries cartesian, cylindrical and spherical systems only.
  const CaeCoordSys* given = definition->CoordSys();
  if (given && std::string(given->KindName()) == "face") {
    acutPrintf("\nA design constraint cannot use a face coordinate system; nothing was created.");
    return nullptr;
  }
  AcTopoRef* reference = entity ? acTopoRefFromBrEntity(entity) : nullptr;
  CaeCoordSys* system = given ? given->Clone() : new CaeCoordSysCartesian(CaeTransform());
  const CaeString name = definition->Name().IsEmpty() ? uniqueConstraintName(model) : definition->Name();
  auto* constraint =
      new CaepOptConstraint(name, definition->Components(), system, definition->ResponseType(), reference, 1);
  try {
    constraint->GenericIVal(definition->GenericIVal());
    constraint->GenericFVal(definition->GenericFVal());
    constraint->ModeNumber(definition->ModeNumber());
    double lower = 0.0, upper = 0.0;
    definition->Bounds(lower, upper);
    constraint->SetBounds(lower, upper);
    std::vector<AnlResltCase*> cases;
    for (AnlResltCase* rc = model->FirstAnlResultCase(1); rc; rc = model->NextAnlResultCase()) cases.push_back(rc);
    auto* member = dynamic_cast<OptConstraint*>(definition);
    for (AnlResltCase* rc : cases)
      if (member && member->InResultCase(rc)) constraint->AddToResultCase(rc);
    if (definition->IsMarkedAsCurrent())
      constraint->MarkAsCurrent();
    else
      constraint->MarkAsNotCurrent();
    constraint->SetColor(colour);
    constraint->SetSymbolSize(symbolSize);
    model->AddConstraint(constraint);
  } catch (...) {
    if (constraint->objectId().isNull()) delete constraint;
    throw;
  }
  if (reference) reference->AddAttribute(constraint);
  acBindObjectToKey(constraint->TopoRef(), constraint);
  constraint->close();
  return constraint;
}

void AcCadInterface::UpdateOptConstraint(OptConstraint* old, OptFunction* definition, AcBrEntity* entity,
                                         double symbolSize, int colour) {
  CAE_CHECK(old != nullptr);
  OptModel* model = old->Owner();
  CAE_CHECK(model != nullptr);
  OptConstraint* created = CreateOptConstraint(definition, entity, symbolSize, colour);
  if (!created) return;  // refused: the old one stays
  model->MoveConstraint(created, old);
  model->RemoveConstraint(old);
}

OptObjective* AcCadInterface::AddObjective(OptFunction* definition) {
  CAE_CHECK(definition != nullptr);
  OptModel* model = definition->Owner();
  CAE_CHECK(model != nullptr);
  // An objective always has a name: the engine's when the definition has none.
  const CaeString name = definition->Name().IsEmpty() ? CaeString(OptObjective::kDefaultName) : definition->Name();
  auto* objective = new CaepOptObjective(name, definition->ResponseType(), 1);
  try {
    objective->GenericIVal(definition->GenericIVal());
    objective->GenericFVal(definition->GenericFVal());
    objective->ModeNumber(definition->ModeNumber());
    auto* stored = dynamic_cast<CaepOptObjective*>(definition);
    objective->SetAnlResultCase(stored ? stored->AnlResultCase() : definition->FirstAnlResultCase());
    model->SetObjective(objective);
  } catch (...) {
    if (objective->objectId().isNull()) delete objective;
    throw;
  }
  objective->close();
  return objective;
}

void AcCadInterface::ReplaceObjective(OptObjective* old, OptFunction* definition) {
  AddObjective(definition);
  auto* object = dynamic_cast<AcDbObject*>(old);
  CAE_CHECK(object != nullptr);
  if (AcDbObject* opened = acOpenForWrite(object->objectId())) CAE_CHECK(opened->erase() == Acad::eOk);
}

OptModel* AcCadInterface::CreateOptimizationModel(int optType, CaeString name, AnlModel* anlModel, int addResultCase) {
  CaepAnlControl* control = currentControl();
  CAE_CHECK(control != nullptr);
  if (name.IsEmpty()) name = UIDefaultOptModelName(CaeString());
  if (!control->AcceptsNewName(DbStoredKind::OptModel, name)) return nullptr;
  auto* created = new CaepOptModel(name, CaeOptShape, 1);
  try {
    created->SetAnlModel(anlModel);
    created->Type(optType == CaeOptConcept ? CaeOptConcept : CaeOptShape);
    control->AddOptModel(created);
  } catch (...) {
    if (created->objectId().isNull()) delete created;
    throw;
  }
  created->close();
  Acad::ErrorStatus status = Acad::eOk;
  auto* model = dynamic_cast<CaepOptModel*>(acOpenObject(created->objectId(), status, 0, AcDb::kForWrite));
  CAE_CHECK(model != nullptr);

  OptObjective defaults(CaeString(), OptVolume);
  defaults.Owner(model);
  UIOptDefaultObjective(&defaults);
  AddObjective(&defaults);

  if (addResultCase) {
    AttLbcCase* restraints = control->CurrentRestraintCase();
    if (!restraints) restraints = control->FirstRestraintCase();
    AttLbcCase* loads = control->CurrentLoadCase();
    if (!loads) loads = control->FirstLoadCase();
    AnlResltCase temporary(resLoadString(IDS_RESULT_SET_NAME) + "1", 1);
    if (loads) temporary.AddLoadCase(loads, 1.0);
    if (restraints) temporary.AddBoundaryCase(restraints, 1.0);
    AddAnalysisResultCase(model, &temporary);
  }
  return model;
}

AnlResltCase* AcCadInterface::GetObjectiveResultCase(OptFunction* objective) {
  if (auto* stored = dynamic_cast<CaepOptObjective*>(objective)) return stored->AnlResultCase();
  return CadInterface::GetObjectiveResultCase(objective);
}

// The dictionary ignores case: a change of case alone keeps the entry as it is.
int AcCadInterface::RenameOptModel(OptModel* model, const CaeString& name) {
  auto* stored = dynamic_cast<CaepOptModel*>(model);
  CaepAnlControl* control = currentControl();
  CAE_CHECK(stored != nullptr && control != nullptr);
  if (name == stored->Name()) return 1;
  const bool caseOnly = !name.IsEmpty() && CString(name.Text()).CompareNoCase(stored->Name().Text()) == 0;
  if (!caseOnly && !control->RenameEntry(DbStoredKind::OptModel, stored->objectId(), name)) return 0;
  dbWriteEnable(*stored);
  stored->Name(name);
  return 1;
}

// Names compare ignoring case, as the "OPTIMIZATION_MODELS" dictionary does.
int AcCadInterface::SelectOrCreateOptModel(CaeString name, AnlModel* anlModel) {
  CaepAnlControl* control = currentControl();
  CAE_CHECK(control != nullptr);
  OptModel* found = nullptr;
  for (OptModel* model = control->FirstOptModel(); model && !found; model = control->NextOptModel())
    if (equalIgnoringCase(model->Name(), name)) found = model;
  int existed = 1;
  if (found) {
    if (control->CurrentOptModel() != found) control->SetCurrentOptModel(found);
  } else {
    existed = 0;
    AnlModel* linked = anlModel ? anlModel : control->CurrentAnlModel();
    if (OptModel* created = CreateOptimizationModel(CaeOptShape, name, linked, 0)) control->SetCurrentOptModel(created);
  }
  RefreshAfterCommand();
  FlushGraphics();
  return existed;
}

AnlResltCase* AcCadInterface::AddAnalysisResultCase(OptModel* model, AnlResltCase* definition) {
  CAE_CHECK(model != nullptr && definition != nullptr);
  auto* created = new CaepAnlResultCase(definition->Name());
  try {
    created->Type(definition->Type());
    model->AddAnlResultCase(created);
    for (int kind : {0, 1}) {
      std::vector<std::pair<AttLbcCase*, double>> entries;
      for (AnlLbcCase* entry = definition->FirstLbcCase(kind); entry; entry = definition->NextLbcCase())
        entries.emplace_back(entry->LbcCase(), entry->Scale());
      for (const auto& [set, scale] : entries) {
        if (!set) continue;
        if (kind == 0)
          created->AddLoadCase(set, scale);
        else
          created->AddBoundaryCase(set, scale);
      }
    }
  } catch (...) {
    if (created->objectId().isNull()) delete created;
    throw;
  }
  created->close();
  return created;
}

void AcCadInterface::ReplaceAnalysisResultCase(OptModel* model, AnlResltCase* old, AnlResltCase* replacement) {
  CAE_CHECK(model != nullptr && old != nullptr);
  AnlResltCase* created = AddAnalysisResultCase(model, replacement);
  model->MoveAnlResultCase(created, old);
  std::vector<OptConstraint*> members;
  for (OptConstraint* c = model->FirstConstraint(0); c; c = model->NextConstraint())
    if (c->InResultCase(old)) members.push_back(c);
  for (OptConstraint* c : members) c->AddToResultCase(created);
  if (auto* objective = dynamic_cast<CaepOptObjective*>(model->Objective()))
    if (objective->AnlResultCase() == old) objective->SetAnlResultCase(created);
  model->RemoveAnlResultCase(old);
}
