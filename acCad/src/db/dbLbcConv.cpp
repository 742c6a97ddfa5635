#include "db/dbLbcConv.h"

#include "fea/AttCodes.h"
#include "topo/acTopoRef.h"

AcRxClass* CaepLbcConvEnt::desc() { return acrxFindClass("CaepLbcConvEnt"); }
AcRxClass* CaepLbcConvEnt::isA() const { return desc(); }
void CaepLbcConvEnt::rxInit() { dbRegisterLbcClass("CaepLbcConvEnt", "CAEPLBCCONVENT", &CaepLbcConvEnt::make); }
AcRxObject* CaepLbcConvEnt::make() { return new (std::nothrow) CaepLbcConvEnt(); }

CaepLbcConvEnt::CaepLbcConvEnt() : CaepTopoLbcEntOf(DbLbcEmpty{}, nullptr, nullptr, 0.0, 0.0) {}

CaepLbcConvEnt::CaepLbcConvEnt(int colorIndex, double scale, const AttLbcDescript* descriptor, AcTopoRef* ref,
                               double filmCoefficient, double ambientTemperature)
    : CaepTopoLbcEntOf(descriptor, colorIndex, ref ? ref->GetKey() : nullptr, scale, descriptor, ref, filmCoefficient,
                       ambientTemperature) {}

CaepLbcConvEnt::~CaepLbcConvEnt() = default;

void CaepLbcConvEnt::ResolveTopoRef() {
  ResolveTopology(*this);
  recordGraphicsModified(true);
}

void CaepLbcConvEnt::SetDescriptor(int type) { ApplyDescriptor(DescriptorOf(type)); }

void CaepLbcConvEnt::FileRecord(DbLbcFields& fields, int version) {
  DbFiledKey filedKey;
  AmiObjectKey* writtenKey = TopoKey();
  Adesk::Int16 constant = static_cast<Adesk::Int16>(Constant());
  double film = FilmCoef();
  double ambient = AmbientTemp();
  DbTempRows rows;
  if (!fields.Reading())
    for (AttTableTempValue* row = FirstFilmValue(); row; row = NextFilmValue())
      rows.emplace_back(row->Temp(), row->Value());

  const DbRecordHead head = FileRecordHead(fields, version);
  fields.Key(fields.Reading() ? filedKey.Slot() : writtenKey);
  fields.Int16(constant);
  if (constant != 0) {
    fields.Double(film);
    fields.Double(ambient);
  } else {
    // Records before 631 lost a table convection's ambient temperature.
    if (version >= kLbcWideRecordVersion) fields.Double(ambient);
    dbFileTempRows(fields, rows);
  }
  if (!fields.Reading()) return;

  const AttLbcDescript* descriptor = DescriptorOf(head.type);
  fields.Check(descriptor->type == ToAttType(AttCode::FaceConvection), __LINE__);
  Constant(constant);
  // A table record of an old version keeps the ambient temperature the entity had.
  if (constant != 0) SetFilmCoef(film);
  if (constant != 0 || version >= kLbcWideRecordVersion) SetAmbientTemp(ambient);
  ClearFilmValues();
  for (const auto& [temperature, value] : rows) AddFilmValue(temperature, value);
  ApplyDescriptor(descriptor);
  ApplyRecordHead(head, version, head.type);
  AdoptFiledKey(filedKey.Release());
}
