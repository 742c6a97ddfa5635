#include "db/dbModelLbc.h"

#include <memory>

#include "amg/CaeCoordSys.h"
#include "amg/CaeTransform.h"
#include "db/dbLbc.h"
#include "fea/CaeFunc.h"

namespace {
constexpr char kSource[] = "acCad/src/db/dbModelLbc";
}  // namespace

AcRxClass* CaepModelLbcEnt::desc() { return acrxFindClass("CaepModelLbcEnt"); }
AcRxClass* CaepModelLbcEnt::isA() const { return desc(); }
void CaepModelLbcEnt::rxInit() { dbRegisterLbcClass("CaepModelLbcEnt", "CAEPMODELLBCENT", &CaepModelLbcEnt::make); }
AcRxObject* CaepModelLbcEnt::make() { return new (std::nothrow) CaepModelLbcEnt(); }

CaepModelLbcEnt::CaepModelLbcEnt() : CaepLbcEntOf(DbLbcEmpty{}, nullptr, nullptr, nullptr, nullptr) {}

CaepModelLbcEnt::CaepModelLbcEnt(int colorIndex, double scale, const AttLbcDescript* descriptor, CaeFunc* function,
                                 CaeCoordSys* coordSys, const AttLbcComponents* components)
    : CaepLbcEntOf(descriptor, colorIndex, nullptr, scale, descriptor, function, coordSys, components) {}

CaepModelLbcEnt::~CaepModelLbcEnt() = default;

void CaepModelLbcEnt::ResolveTopoRef() {
  SetUnresolved(0);
  recordGraphicsModified(true);
}

void CaepModelLbcEnt::BuildValueFunction(int type, const CaeVector& value, const int components[6],
                                         CaeCoordSys* coordSys) {
  std::unique_ptr<CaeCoordSys> owned(coordSys);
  const AttLbcDescript* descriptor = DescriptorOf(type);
  CaeFunc* function = dbConstantFunction(type, *descriptor, owned.get(), value);
  SetCoordSys(owned.release());
  SetFreeComponents(components);
  SetFunction(function);
  ApplyDescriptor(descriptor);
}

CaeVector CaepModelLbcEnt::SymbolPoint() const {
  const CaeCoordSys* coordSys = AttModelLbc::CoordSys();
  return coordSys ? coordSys->GetTransform().TranslationVector() : CaeVector();
}

void CaepModelLbcEnt::FileRecord(DbLbcFields& fields, int version) {
  CaeVector value = EvaluateVecAtPointLocal(CaeVector());
  Adesk::Int16 flags[3];
  for (int i = 0; i < 3; ++i) flags[i] = static_cast<Adesk::Int16>(AttModelLbc::FreeComponents()[i]);
  const CaeCoordSys* coordSys = AttModelLbc::CoordSys();
  CaeString kind = coordSys ? coordSys->KindName() : "cartesian";
  CaeTransform transform = coordSys ? coordSys->GetTransform() : CaeTransform();

  const DbRecordHead head = FileRecordHead(fields, version);
  fields.Vector(value);
  for (Adesk::Int16& flag : flags) fields.Int16(flag);
  fields.String(kind);
  fields.Transform(transform);
  if (!fields.Reading()) return;

  const AttLbcDescript* descriptor = DescriptorOf(head.type);
  fields.Check(descriptor->kind == AttKindModelLoad, __LINE__);
  const int components[6] = {flags[0], flags[1], flags[2], 1, 1, 1};
  std::unique_ptr<CaeCoordSys> readSys(dbCoordSysOfKind(kind, transform, false, kSource));
  BuildValueFunction(head.type, value, components, readSys.release());
  ApplyRecordHead(head, version, head.type);
}

void CaepModelLbcEnt::DrawCondition(AcGiWorldDraw* mode) { DrawSymbolAtOrigin(mode); }
