#include "fea/AttLbc.h"

#include "amg/CaeCoordSys.h"
#include "amg/CaeMsgCall.h"
#include "fea/AnlControl.h"
#include "fea/AttLbcCase.h"
#include "fea/CaeElem.h"
#include "fea/CaeFunc.h"

CAE_DEFINE_TYPE_INFO(AttBaseLbc)
CAE_DEFINE_TYPE_INFO(AttLbc, AttBaseLbc, CaeAttrib)
CAE_DEFINE_TYPE_INFO(AttModelLbc, AttBaseLbc)
CAE_DEFINE_TYPE_INFO(AttLbcConv, AttBaseLbc, CaeAttrib)
CAE_DEFINE_TYPE_INFO(AttLbcHgen, AttBaseLbc, CaeAttrib)
CAE_DEFINE_TYPE_INFO(AttModelTemp, AttBaseLbc, CaeAttrib)

AttFlbc::AttFlbc(CaeNode* node, const AttFlbcDescript* descript, AttBaseLbc* owner, const CaeVector& value,
                 const AttLbcComponents& components, const CaeCoordSys* coordSys)
    : node_(node),
      nodeId_(node ? node->Id() : 0),
      nodeSerial_(node ? node->Serial() : 0),
      descript_(descript),
      owner_(owner),
      value_(value),
      components_(components) {
  CAE_CHECK(coordSys == nullptr);
}

bool AttFlbc::IsOn(const CaeNode& live) const { return &live == node_ && live.Serial() == nodeSerial_; }

AttBaseLbc::AttBaseLbc(const AttLbcDescript* descriptor, int scratch) : descriptor_(descriptor), scratch_(scratch) {}

AttBaseLbc::AttBaseLbc(const AttLbcDescript* descriptor, CaeFunc* function, CaeCoordSys* coordSys,
                       const AttLbcComponents* components)
    : descriptor_(descriptor), function_(function), coordSys_(coordSys) {
  if (components) components_ = *components;
}

AttBaseLbc::~AttBaseLbc() = default;

void AttBaseLbc::SetCoordSys(CaeCoordSys* coordSys) {
  if (coordSys != coordSys_.get()) coordSys_.reset(coordSys);
}

void AttBaseLbc::FreeComponents(int out[6]) const {
  for (int i = 0; i < 6; ++i) out[i] = components_.flag[i];
}

void AttBaseLbc::SetFreeComponents(const int flags[6]) {
  for (int i = 0; i < 6; ++i) components_.flag[i] = flags[i];
}

void AttBaseLbc::SetFunction(CaeFunc* function) {
  if (function != function_.get()) function_.reset(function);
}

CaeVector AttBaseLbc::EvaluateVecAtPointLocal(const CaeVector& point) const {
  return function_ ? function_->EvaluateVecAtPointLocal(point) : CaeVector();
}

CaeVector AttBaseLbc::EvaluateVecAtPoint(const CaeVector& point) const {
  CaeVector value = EvaluateVecAtPointLocal(point);
  if (coordSys_) coordSys_->VectorsToGlobal(1, &point, &value);
  return value;
}

AttFlbc* AttBaseLbc::FirstFlbc() {
  flbcCursor_ = 0;
  return flbcs_.empty() ? nullptr : flbcs_.front().get();
}

AttFlbc* AttBaseLbc::NextFlbc() {
  if (flbcCursor_ + 1 >= flbcs_.size()) {
    flbcCursor_ = flbcs_.size();
    return nullptr;
  }
  return flbcs_[++flbcCursor_].get();
}

void AttBaseLbc::AddFlbc(AttFlbc* flbc) {
  CAE_CHECK(flbc);
  flbcs_.emplace_back(flbc);
}

void AttBaseLbc::ClearFlbcs() {
  flbcs_.clear();
  flbcCursor_ = 0;
}

AttLbcCase* AttBaseLbc::Case() { return case_; }

void AttBaseLbc::AddToCase(AttLbcCase* set) {
  CAE_CHECK(set);
  set->AddLbc(this);
  case_ = set;
}

void AttBaseLbc::AddToCurrentCase() {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control || !descriptor_) return;
  if (AttLbcCase* set = control->GetCurrentLbcCase(descriptor_->kind)) AddToCase(set);
}

int AttBaseLbc::IsInCurrentCase() {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control || !descriptor_ || !case_) return 0;
  return control->GetCurrentLbcCase(descriptor_->kind) == case_ ? 1 : 0;
}

AttLbc::AttLbc(const AttLbcDescript* descriptor, CaeTopoRef* ref, CaeFunc* function, CaeCoordSys* coordSys,
               const AttLbcComponents* components)
    : AttBaseLbc(descriptor, function, coordSys, components), CaeAttrib(ref) {}

AttModelLbc::AttModelLbc(const AttLbcDescript* descriptor, CaeFunc* function, CaeCoordSys* coordSys,
                         const AttLbcComponents* components)
    : AttBaseLbc(descriptor, function, coordSys, components) {}

AttTableTempValue* AttTempTable::First() {
  cursor_ = 0;
  return rows_.empty() ? nullptr : &rows_.front();
}

AttTableTempValue* AttTempTable::Next() {
  if (cursor_ + 1 >= rows_.size()) {
    cursor_ = rows_.size();
    return nullptr;
  }
  return &rows_[++cursor_];
}

AttLbcConv::AttLbcConv(const AttLbcDescript* descriptor, CaeTopoRef* ref, double filmCoefficient,
                       double ambientTemperature)
    : AttBaseLbc(descriptor, 0), CaeAttrib(ref), film_(filmCoefficient), ambient_(ambientTemperature) {}

AttLbcHgen::AttLbcHgen(const AttLbcDescript* descriptor, CaeTopoRef* ref, double heatGeneration)
    : AttBaseLbc(descriptor, 0), CaeAttrib(ref), value_(heatGeneration) {}

AttModelTemp::AttModelTemp(const AttLbcDescript* descriptor, CaeTopoRef* ref, double modelTemperature,
                           double referenceTemperature)
    : AttBaseLbc(descriptor, 0), CaeAttrib(ref), model_(modelTemperature), reference_(referenceTemperature) {}
