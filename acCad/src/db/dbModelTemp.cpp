#include "db/dbModelTemp.h"

#include <algorithm>
#include <unordered_map>

#include "amg/CaeList.h"
#include "arx/acutads.h"
#include "cadInterface/CadInterface.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttCodes.h"
#include "fea/CaeElem.h"
#include "topo/acTopoRef.h"

namespace {

// The CAD interface's transaction for the lifetime of the object.
class CadTransactionScope {
 public:
  CadTransactionScope() : cad_(CadInterface::GetCurrent()) {
    if (cad_) cad_->StartTransaction();
  }
  ~CadTransactionScope() {
    if (cad_) cad_->EndTransaction();
  }
  CadTransactionScope(const CadTransactionScope&) = delete;
  CadTransactionScope& operator=(const CadTransactionScope&) = delete;

 private:
  CadInterface* cad_;
};

// Every node of the current control's live models, by address, with its model's id.
std::unordered_map<const CaeNode*, long> LiveNodeModels() {
  std::unordered_map<const CaeNode*, long> live;
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return live;
  CadTransactionScope transaction;
  for (AnlModel* model = control->FirstAnlModel(); model; model = control->NextAnlModel()) {
    if (model->IsMarkedAsErased()) continue;
    CaeList<CaeNode> nodes;
    model->Nodes(nodes, 0);
    for (CaeNode* node : nodes) live.emplace(node, model->Id());
  }
  return live;
}

// Records before 631 filed the count and the model id in 16 bits.
bool isWide(int version) { return version >= kLbcWideRecordVersion; }

}  // namespace

AcRxClass* CaepModelTempEnt::desc() { return acrxFindClass("CaepModelTempEnt"); }
AcRxClass* CaepModelTempEnt::isA() const { return desc(); }
void CaepModelTempEnt::rxInit() { dbRegisterLbcClass("CaepModelTempEnt", "CAEPMODELTEMPENT", &CaepModelTempEnt::make); }
AcRxObject* CaepModelTempEnt::make() { return new (std::nothrow) CaepModelTempEnt(); }

CaepModelTempEnt::CaepModelTempEnt() : CaepTopoLbcEntOf(DbLbcEmpty{}, nullptr, nullptr, 0.0, 0.0) {}

CaepModelTempEnt::CaepModelTempEnt(int colorIndex, double scale, const AttLbcDescript* descriptor, AcTopoRef* ref,
                                   double modelTemperature, double referenceTemperature)
    : CaepTopoLbcEntOf(descriptor, colorIndex, nullptr, scale, descriptor, ref, modelTemperature,
                       referenceTemperature) {}

CaepModelTempEnt::~CaepModelTempEnt() = default;

void CaepModelTempEnt::SetDescriptor() { ApplyDescriptor(DescriptorOf(ToAttType(AttCode::BodyTemperature))); }

std::vector<NodalTempRecord> CaepModelTempEnt::FiledNodalTemps(long& modelId) {
  std::vector<NodalTempRecord> records;
  modelId = 0;
  // Most temperatures are uniform: only nodal values need the walk over every model's nodes.
  const std::unordered_map<const CaeNode*, long> live =
      NumFlbcs() > 0 ? LiveNodeModels() : std::unordered_map<const CaeNode*, long>();
  for (AttFlbc* flbc = FirstFlbc(); flbc; flbc = NextFlbc()) {
    const auto found = live.find(flbc->GetNode());
    if (found == live.end() || !flbc->IsOn(*found->first)) continue;
    if (records.empty()) modelId = found->second;
    NodalTempRecord record;
    record.nodeId = found->first->Id();
    record.value = flbc->Value();
    for (int i = 0; i < 6; ++i) record.components.flag[i] = flbc->FreeComponents()[i];
    records.push_back(record);
  }
  if (records.empty()) modelId = ModelId();
  records.insert(records.end(), StoredRecords().begin(), StoredRecords().end());
  return records;
}

void CaepModelTempEnt::FileRecord(DbLbcFields& fields, int version) {
  const bool reading = fields.Reading();
  double reference = RefTemp();
  double model = ModelTemp();
  long filedModelId = 0;
  std::vector<NodalTempRecord> records = reading ? std::vector<NodalTempRecord>() : FiledNodalTemps(filedModelId);
  Adesk::Int16 nodalType = 0;
  Adesk::Int32 modelId = 0;
  if (!reading && !records.empty()) {
    AttFlbc* first = FirstFlbc();
    const AttFlbcDescript* nodal = first ? first->Descript() : GetFDesc();
    nodalType = static_cast<Adesk::Int16>(nodal ? nodal->type : AttFlbcTemperature);
    modelId = static_cast<Adesk::Int32>(filedModelId);
  }

  const DbRecordHead head = FileRecordHead(fields, version, false);
  if (version < kLbcVersionSixFlags) {
    // Old records held a key the model temperature never used.
    DbFiledKey unused;
    fields.Key(unused.Slot());
  }
  fields.Double(reference);
  fields.Double(model);
  if (version >= kLbcVersionNodalTemps) {
    Adesk::Int32 count = static_cast<Adesk::Int32>(records.size());
    if (isWide(version)) {
      fields.Int32(count);
    } else {
      auto narrow = static_cast<Adesk::Int16>(count);
      fields.Int16(narrow);
      count = narrow;
    }
    fields.Check(count >= 0, __LINE__);
    if (count > 0) {
      fields.Int16(nodalType);
      if (isWide(version)) {
        fields.Int32(modelId);
      } else {
        auto narrow = static_cast<Adesk::Int16>(modelId);
        fields.Int16(narrow);
        modelId = narrow;
      }
    }
    for (Adesk::Int32 i = 0; i < count; ++i) {
      NodalTempRecord record = reading ? NodalTempRecord() : records[static_cast<std::size_t>(i)];
      Adesk::Int32 id = static_cast<Adesk::Int32>(record.nodeId);
      fields.Int32(id);
      fields.Vector(record.value);
      Adesk::Int16 flags[3] = {static_cast<Adesk::Int16>(record.components.flag[0]),
                               static_cast<Adesk::Int16>(record.components.flag[1]),
                               static_cast<Adesk::Int16>(record.components.flag[2])};
      for (Adesk::Int16& flag : flags) fields.Int16(flag);
      if (!reading) continue;
      record.nodeId = id;
      record.components = AttLbcComponents{{flags[0], flags[1], flags[2], 1, 1, 1}};
      records.push_back(record);
    }
  }
  if (!reading) return;

  const AttFlbcDescript* nodal = nullptr;
  if (!records.empty()) {
    nodal = AttFlbcDescriptTable().Find(nodalType);
    fields.Check(nodal != nullptr, __LINE__);
  }
  SetDescriptor();
  // The stored list holds the values in the reverse of file order, as it always has.
  std::reverse(records.begin(), records.end());
  ClearFlbcs();
  if (nodal) SetFDesc(nodal);
  MutableStoredRecords() = std::move(records);
  SetModelId(modelId);
  SetRefTemp(reference);
  SetModelTemp(model);
  ApplyRecordHead(head, version, ToAttType(AttCode::BodyTemperature));
}

void CaepModelTempEnt::RebuildNodalTemps() {
  SetTopoRef(nullptr);
  SetUnresolved(0);
  recordGraphicsModified(true);
  std::vector<NodalTempRecord>& stored = MutableStoredRecords();
  if (stored.empty()) return;
  std::unordered_map<long, CaeNode*> nodes;
  if (AnlControl* control = AnlControl::GetCurrent()) {
    CadTransactionScope transaction;
    for (AnlModel* model = control->FirstAnlModel(); model; model = control->NextAnlModel()) {
      if (model->Id() != ModelId()) continue;
      CaeList<CaeNode> list;
      model->Nodes(list, 0);
      for (CaeNode* node : list) nodes.emplace(node->Id(), node);
      break;
    }
  }
  std::vector<NodalTempRecord> missing;
  for (const NodalTempRecord& record : stored) {
    auto found = nodes.find(record.nodeId);
    if (found == nodes.end()) {
      missing.push_back(record);
      continue;
    }
    AddFlbc(new AttFlbc(found->second, GetFDesc(), this, record.value, record.components));
  }
  if (!missing.empty())
    acutPrintf("\n%s: %d nodal temperature(s) name nodes that model %ld does not have; they are kept.",
               AttModelTemp::Name().Text(), static_cast<int>(missing.size()), ModelId());
  stored = std::move(missing);
}

void CaepModelTempEnt::DrawCondition(AcGiWorldDraw* mode) { DrawSymbolAtOrigin(mode); }
