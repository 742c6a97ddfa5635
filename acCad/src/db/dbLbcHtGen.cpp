#include "db/dbLbcHtGen.h"

#include "fea/AttCodes.h"
#include "topo/acTopoRef.h"

AcRxClass* CaepLbcHtGenEnt::desc() { return acrxFindClass("CaepLbcHtGenEnt"); }
AcRxClass* CaepLbcHtGenEnt::isA() const { return desc(); }
void CaepLbcHtGenEnt::rxInit() { dbRegisterLbcClass("CaepLbcHtGenEnt", "CAEPLBCHTGENENT", &CaepLbcHtGenEnt::make); }
AcRxObject* CaepLbcHtGenEnt::make() { return new (std::nothrow) CaepLbcHtGenEnt(); }

CaepLbcHtGenEnt::CaepLbcHtGenEnt() : CaepTopoLbcEntOf(DbLbcEmpty{}, nullptr, nullptr, 0.0) {}

CaepLbcHtGenEnt::CaepLbcHtGenEnt(int colorIndex, double scale, const AttLbcDescript* descriptor, AcTopoRef* ref,
                                 double heatGeneration)
    : CaepTopoLbcEntOf(descriptor, colorIndex, ref ? ref->GetKey() : nullptr, scale, descriptor, ref, heatGeneration) {}

CaepLbcHtGenEnt::~CaepLbcHtGenEnt() = default;

void CaepLbcHtGenEnt::ResolveTopoRef() {
  ResolveTopology(*this);
  recordGraphicsModified(true);
}

void CaepLbcHtGenEnt::SetDescriptor(int type) { ApplyDescriptor(DescriptorOf(type)); }

void CaepLbcHtGenEnt::FileRecord(DbLbcFields& fields, int version) {
  DbFiledKey filedKey;
  AmiObjectKey* writtenKey = TopoKey();
  Adesk::Int16 constant = static_cast<Adesk::Int16>(Constant());
  double value = HeatGeneration();
  DbTempRows rows;
  if (!fields.Reading())
    for (AttTableTempValue* row = FirstHGenValue(); row; row = NextHGenValue())
      rows.emplace_back(row->Temp(), row->Value());

  const DbRecordHead head = FileRecordHead(fields, version);
  fields.Key(fields.Reading() ? filedKey.Slot() : writtenKey);
  fields.Int16(constant);
  if (constant != 0)
    fields.Double(value);
  else
    dbFileTempRows(fields, rows);
  if (!fields.Reading()) return;

  const AttLbcDescript* descriptor = DescriptorOf(head.type);
  fields.Check(descriptor->type == ToAttType(AttCode::VolumetricHeatFlow), __LINE__);
  Constant(constant);
  if (constant != 0) SetHeatGeneration(value);
  ClearHGenValues();
  for (const auto& [temperature, row] : rows) AddHGenValue(temperature, row);
  ApplyDescriptor(descriptor);
  ApplyRecordHead(head, version, head.type);
  AdoptFiledKey(filedKey.Release());
}
