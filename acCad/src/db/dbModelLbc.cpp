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
  Adesk::Int16 type = static_cast<Adesk::Int16>(AttModelLbc::Type());
  CaeString name = AttModelLbc::Name();
  Adesk::Int16 color = static_cast<Adesk::Int16>(colorIndex());
  double scale = Scale();
  CaeVector value = EvaluateVecAtPointLocal(CaeVector());
  Adesk::Int16 flags[3];
  for (int i = 0; i < 3; ++i) flags[i] = static_cast<Adesk::Int16>(AttModelLbc::FreeComponents()[i]);
  const CaeCoordSys* coordSys = AttModelLbc::CoordSys();
  CaeString kind = coordSys ? coordSys->KindName() : "cartesian";
  CaeTransform transform = coordSys ? coordSys->GetTransform() : CaeTransform();

  fields.Int16(type);
  if (version >= kLbcVersionNamed) fields.String(name);
  fields.Int16(color);
  fields.Double(scale);
  fields.Vector(value);
  for (Adesk::Int16& flag : flags) fields.Int16(flag);
  fields.String(kind);
  fields.Transform(transform);
  if (!fields.Reading()) return;

  const AttLbcDescript* descriptor = DescriptorOf(type);
  fields.Check(descriptor->kind == AttKindModelLoad, __LINE__);
  const int components[6] = {flags[0], flags[1], flags[2], 1, 1, 1};
  std::unique_ptr<CaeCoordSys> readSys(dbCoordSysOfKind(kind, transform, false, kSource));
  if (version < kLbcVersionNamed) name = DefaultName(type);
  BuildValueFunction(type, value, components, readSys.release());
  Name(name);
  ApplyColor(color);
  SetScale(scale);
}

void CaepModelLbcEnt::DrawCondition(AcGiWorldDraw* mode) { DrawSymbolAtOrigin(mode); }

void CaepModelLbcEnt::MarkEngineErased(bool erasing) {
  if (erasing) {
    Deactivate();
    MarkAsErased();
  } else {
    Activate();
    MarkAsNotErased();
  }
}
