#include "db/dbLbc.h"

#include <memory>

#include "amg/CaeCoordSys.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeTransform.h"
#include "cadInterface/CadDocServices.h"
#include "fea/AttCodes.h"
#include "fea/CaeFunc.h"
#include "topo/acTopoRef.h"

namespace {

constexpr char kSource[] = "acCad/src/db/dbLbc";

// The types that have entities of their own.
bool isLbcEntType(const AttLbcDescript& descriptor) {
  return descriptor.type != ToAttType(AttCode::BodyTemperature) &&
         descriptor.type != ToAttType(AttCode::FaceConvection) &&
         descriptor.type != ToAttType(AttCode::VolumetricHeatFlow) && descriptor.kind != AttKindModelLoad &&
         descriptor.kind != AttKindModelTemp;
}

}  // namespace

bool dbIsGlobalAxes(const CaeCoordSys* coordSys) {
  return !coordSys || (std::string(coordSys->KindName()) == "cartesian" && coordSys->GetTransform().IsIdentity(0.0));
}

CaeCoordSys* dbCoordSysOfKind(const CaeString& kind, const CaeTransform& transform, bool faceAllowed,
                              const char* source) {
  const std::string name = kind.Text();
  if (name == "cylindric") return new CaeCoordSysCylindric(transform);
  if (name == "spheric") return new CaeCoordSysSpheric(transform);
  if (name == "face") {
    if (!faceAllowed) CaeMsgCall::GeneralError(source, __LINE__);
    return new CaeCoordSysFace(transform);
  }
  if (transform.IsIdentity(0.0)) return nullptr;
  return new CaeCoordSysCartesian(transform);
}

CaeFunc* dbConstantFunction(int type, const AttLbcDescript& descriptor, const CaeCoordSys* coordSys,
                            const CaeVector& value) {
  CaeString display;
  CadLbcTypeName(display, type);
  const int constant[3] = {0, 0, 0};
  auto function =
      std::make_unique<CaeFuncCoordLinear>(new CaeFuncVariable(display, descriptor.Dimension()), coordSys, constant);
  function->SetDefiningValuesVec(1, &value, nullptr, nullptr, nullptr);
  return function.release();
}

AcRxClass* CaepLbcEnt::desc() { return acrxFindClass("CaepLbcEnt"); }
AcRxClass* CaepLbcEnt::isA() const { return desc(); }
void CaepLbcEnt::rxInit() { dbRegisterLbcClass("CaepLbcEnt", "CAEPLBCENT", &CaepLbcEnt::make); }
AcRxObject* CaepLbcEnt::make() { return new (std::nothrow) CaepLbcEnt(); }

CaepLbcEnt::CaepLbcEnt() : CaepTopoLbcEntOf(DbLbcEmpty{}, nullptr, nullptr, nullptr, nullptr, nullptr) {}

CaepLbcEnt::CaepLbcEnt(int colorIndex, double scale, const AttLbcDescript* descriptor, AcTopoRef* ref,
                       CaeFunc* function, CaeCoordSys* coordSys, const AttLbcComponents* components)
    : CaepTopoLbcEntOf(descriptor, colorIndex, ref ? ref->GetKey() : nullptr, scale, descriptor, ref, function,
                       coordSys, components) {}

CaepLbcEnt::~CaepLbcEnt() = default;

void CaepLbcEnt::ResolveTopoRef() {
  CaeTopoRef* ref = ResolveTopology(*this);
  if (auto* face = dynamic_cast<CaeCoordSysFace*>(AttLbc::CoordSys()); face && ref) face->SetTopoRef(ref);
  recordGraphicsModified(true);
}

void CaepLbcEnt::BuildValueFunction(int type, const CaeVector& value, const int components[6], CaeCoordSys* coordSys) {
  std::unique_ptr<CaeCoordSys> owned(coordSys);
  const AttLbcDescript* descriptor = DescriptorOf(type);
  CaeFunc* function = dbConstantFunction(type, *descriptor, owned.get(), value);
  SetCoordSys(owned.release());
  SetFreeComponents(components);
  SetDescriptor(descriptor);
  SetType(type);
  SetCategory(descriptor->kind);
  SetFunction(function);
  SetDataVersion(kLbcRecordVersion);
}

void CaepLbcEnt::FileRecord(DbLbcFields& fields, int version) {
  CaeVector value = EvaluateVecAtPointLocal(CaeVector());
  DbFiledKey filedKey;
  AmiObjectKey* writtenKey = TopoKey();
  Adesk::Int16 flags[6];
  for (int i = 0; i < 6; ++i) flags[i] = static_cast<Adesk::Int16>(AttLbc::FreeComponents()[i]);
  const CaeCoordSys* coordSys = AttLbc::CoordSys();
  CaeString kind = coordSys ? coordSys->KindName() : "cartesian";
  CaeTransform transform = coordSys ? coordSys->GetTransform() : CaeTransform();

  const DbRecordHead head = FileRecordHead(fields, version);
  fields.Vector(value);
  fields.Key(fields.Reading() ? filedKey.Slot() : writtenKey);
  const int filedFlags = version >= kLbcVersionSixFlags ? 6 : 3;
  for (int i = 0; i < filedFlags; ++i) fields.Int16(flags[i]);
  fields.String(kind);
  fields.Transform(transform);
  if (!fields.Reading()) return;

  // Everything was read: check, then apply.
  const AttLbcDescript* descriptor = DescriptorOf(head.type);
  fields.Check(isLbcEntType(*descriptor), __LINE__);
  int components[6];
  for (int i = 0; i < 6; ++i) components[i] = i < filedFlags ? flags[i] : 1;
  std::unique_ptr<CaeCoordSys> readSys(dbCoordSysOfKind(kind, transform, true, kSource));
  BuildValueFunction(head.type, value, components, readSys.release());
  ApplyRecordHead(head, version, head.type);
  AdoptFiledKey(filedKey.Release());
}

void CaepLbcEnt::MarkEngineErased(bool erasing) {
  if (erasing)
    MarkAsErased();
  else
    MarkAsNotErased();
}
