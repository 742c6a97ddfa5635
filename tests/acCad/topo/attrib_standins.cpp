#include "attrib_standins.h"

#include "arx/dbfiler.h"
#include "cadInterface/CadInterface.h"
#include "topo/acTopoRef.h"

namespace topotest {

ACRX_CONS_DEFINE_MEMBERS(TestLoad, AcDbEntity, "TESTLOAD")
ACRX_CONS_DEFINE_MEMBERS(TestRefinement, AcDbEntity, "TESTREFINEMENT")
ACRX_CONS_DEFINE_MEMBERS(TestModelLoad, AcDbEntity, "TESTMODELLOAD")

Mischief TestAttribHost::mischief = Mischief::None;
bool TestAttribHost::reenterOnModify = false;
bool TestAttribHost::resolveWhileFiling = false;

void registerAttribStandIns() {
  TestLoad::desc();
  TestRefinement::desc();
  TestModelLoad::desc();
}

TestAttribHost::~TestAttribHost() { delete key_; }

void TestAttribHost::SetKey(AmiObjectKey* key) {
  delete key_;
  key_ = key;
}

void TestAttribHost::ReviveTopology() {
  ++revivals_;
  erase(false);
}

void TestAttribHost::LoseTopology() {
  ++erasures_;
  erase(true);
  topologyLost_ = true;
}

void TestAttribHost::TopologyModified(CaeTopoRef* /*reference*/) {
  ++modifications_;
  recordGraphicsModified(true);
  if (reenterOnModify) acReresolveAllTopology();
  CadInterface* cad = CadInterface::GetCurrent();
  if (mischief == Mischief::LeaveTransactionOpen) cad->StartTransaction();
  if (mischief == Mischief::EndOneTransactionTooMany) cad->EndTransaction();
  mischief = Mischief::None;
}

Acad::ErrorStatus TestAttribHost::subErase(Adesk::Boolean erasing) {
  const Acad::ErrorStatus status = AcDbEntity::subErase(erasing);
  if (status != Acad::eOk) return status;
  // History replay brings the flag back with the fields; clearing it then would lose it.
  if (!isUndoing()) topologyLost_ = false;
  MarkEngine(erasing);
  return Acad::eOk;
}

Acad::ErrorStatus TestAttribHost::dwgOutFields(AcDbDwgFiler* filer) const {
  if (resolveWhileFiling && filer->filerType() == AcDb::kFileFiler)
    acKeyOfAttrib(dynamic_cast<CaeAttrib*>(const_cast<TestAttribHost*>(this)));
  if (Acad::ErrorStatus status = AcDbEntity::dwgOutFields(filer); status != Acad::eOk) return status;
  filer->writeInt32(key_ ? 1 : 0);
  if (key_ && amiWriteKey(filer, key_) != Ami::eOk) return Acad::eFilerError;
  return filer->writeInt32(topologyLost_ ? 1 : 0);
}

Acad::ErrorStatus TestAttribHost::dwgInFields(AcDbDwgFiler* filer) {
  if (Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer); status != Acad::eOk) return status;
  Adesk::Int32 hasKey = 0;
  filer->readInt32(&hasKey);
  if (hasKey) {
    AmiKey* read = nullptr;
    if (amiReadKey(filer, read) != Ami::eOk) return Acad::eFilerError;
    auto* key = dynamic_cast<AmiObjectKey*>(read);
    if (!key) {
      delete read;
      return Acad::eFilerError;
    }
    SetKey(key);
  }
  Adesk::Int32 lost = 0;
  const Acad::ErrorStatus status = filer->readInt32(&lost);
  topologyLost_ = lost != 0;
  return status;
}

}  // namespace topotest
