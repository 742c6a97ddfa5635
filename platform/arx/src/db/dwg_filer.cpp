#include <algorithm>
#include <cstring>

#include "arx/dbfiler.h"
#include "database_impl.h"

namespace {

// One tag per stored kind, so a field read as the wrong kind is caught.
enum Tag : Adesk::UInt8 {
  kTagBool = 1,
  kTagInt8,
  kTagInt16,
  kTagUInt16,
  kTagInt32,
  kTagUInt32,
  kTagUInt64,
  kTagDouble,
  kTagString,
  kTagBytes,
  kTagHardOwner,
  kTagSoftOwner,
  kTagHardPointer,
  kTagSoftPointer,
  kTagPoint,
  kTagVector,
};

}  // namespace

AcDbDwgFiler::AcDbDwgFiler(AcDb::FilerType type, AcDbDatabase* database)
    : type_(type), database_(database), reading_(false) {}

AcDbDwgFiler::AcDbDwgFiler(AcDb::FilerType type, AcDbDatabase* database, std::string_view data)
    : type_(type), database_(database), input_(data), reading_(true) {}

std::string AcDbDwgFiler::takeBuffer() {
  buffer_.resize(used_);
  used_ = 0;
  return std::move(buffer_);
}

void AcDbDwgFiler::clearBuffer() {
  used_ = 0;
  status_ = Acad::eOk;
  calls_ = 0;
}

// The helpers below are inline so that the many small calls of a record stay cheap; they are
// private and used only in this file.
inline bool AcDbDwgFiler::beginCall() {
  ++calls_;
  if (failAt_ > 0 && calls_ >= failAt_) status_ = Acad::eFilerError;
  return status_ == Acad::eOk;
}

void AcDbDwgFiler::appendRaw(const void* data, std::size_t size) {
  if (used_ + size > buffer_.size()) buffer_.resize(std::max<std::size_t>(2 * buffer_.size(), used_ + size + 64));
  if (size) std::memcpy(buffer_.data() + used_, data, size);
  used_ += size;
}

inline Acad::ErrorStatus AcDbDwgFiler::fail() {
  status_ = Acad::eFilerError;
  return status_;
}

inline void AcDbDwgFiler::putTagged(Adesk::UInt8 tag, const void* data, std::size_t size) {
  // Growing ahead keeps the many small writes of a record to a plain copy each.
  if (used_ + 1 + size > buffer_.size())
    buffer_.resize(std::max<std::size_t>(2 * buffer_.size(), used_ + 1 + size + 64));
  buffer_[used_] = static_cast<char>(tag);
  std::memcpy(buffer_.data() + used_ + 1, data, size);
  used_ += 1 + size;
}

inline Acad::ErrorStatus AcDbDwgFiler::getTagged(Adesk::UInt8 tag, void* data, std::size_t size) {
  if (!reading_ || position_ + 1 + size > input_.size()) return fail();
  if (static_cast<Adesk::UInt8>(input_[position_]) != tag) return fail();
  std::memcpy(data, input_.data() + position_ + 1, size);
  position_ += 1 + size;
  return Acad::eOk;
}

#define KESTRUM_FILER_SCALAR(NAME, TYPE, TAG)               \
  Acad::ErrorStatus AcDbDwgFiler::write##NAME(TYPE value) { \
    if (!beginCall() || reading_) return fail();            \
    putTagged(TAG, &value, sizeof value);                   \
    return Acad::eOk;                                       \
  }                                                         \
  Acad::ErrorStatus AcDbDwgFiler::read##NAME(TYPE* value) { \
    if (!beginCall() || !value) return fail();              \
    return getTagged(TAG, value, sizeof *value);            \
  }

KESTRUM_FILER_SCALAR(Bool, bool, kTagBool)
KESTRUM_FILER_SCALAR(Int8, Adesk::Int8, kTagInt8)
KESTRUM_FILER_SCALAR(Int16, Adesk::Int16, kTagInt16)
KESTRUM_FILER_SCALAR(UInt16, Adesk::UInt16, kTagUInt16)
KESTRUM_FILER_SCALAR(Int32, Adesk::Int32, kTagInt32)
KESTRUM_FILER_SCALAR(UInt32, Adesk::UInt32, kTagUInt32)
KESTRUM_FILER_SCALAR(UInt64, Adesk::UInt64, kTagUInt64)
KESTRUM_FILER_SCALAR(Double, double, kTagDouble)
#undef KESTRUM_FILER_SCALAR

Acad::ErrorStatus AcDbDwgFiler::writeString(const char* text) { return writeString(std::string(text ? text : "")); }

Acad::ErrorStatus AcDbDwgFiler::writeString(const std::string& text) {
  if (!beginCall() || reading_) return fail();
  auto size = static_cast<Adesk::UInt32>(text.size());
  putTagged(kTagString, &size, sizeof size);
  appendRaw(text.data(), text.size());
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDwgFiler::readString(std::string* text) {
  if (!beginCall() || !text) return fail();
  Adesk::UInt32 size = 0;
  if (getTagged(kTagString, &size, sizeof size) != Acad::eOk) return status_;
  if (position_ + size > input_.size()) return fail();
  text->assign(input_.substr(position_, size));
  position_ += size;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDwgFiler::writeBytes(const void* data, Adesk::UInt32 size) {
  if (!beginCall() || reading_ || (!data && size)) return fail();
  putTagged(kTagBytes, &size, sizeof size);
  appendRaw(data, size);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDwgFiler::readBytes(void* data, Adesk::UInt32 size) {
  if (!beginCall() || (!data && size)) return fail();
  Adesk::UInt32 stored = 0;
  if (getTagged(kTagBytes, &stored, sizeof stored) != Acad::eOk) return status_;
  if (stored != size || position_ + size > input_.size()) return fail();
  std::memcpy(data, input_.data() + position_, size);
  position_ += size;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDwgFiler::writeId(Adesk::UInt8 tag, const AcDbObjectId& id) {
  if (!beginCall() || reading_) return fail();
  Adesk::UInt64 handle = id.handle().value();
  putTagged(tag, &handle, sizeof handle);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDwgFiler::readId(Adesk::UInt8 tag, AcDbObjectId* id) {
  if (!beginCall() || !id) return fail();
  Adesk::UInt64 handle = 0;
  if (getTagged(tag, &handle, sizeof handle) != Acad::eOk) return status_;
  *id = database_ && handle ? database_->impl().idOf(AcDbHandle(handle)) : AcDbObjectId();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDwgFiler::writeHardOwnershipId(const AcDbHardOwnershipId& id) {
  return writeId(kTagHardOwner, id);
}
Acad::ErrorStatus AcDbDwgFiler::writeSoftOwnershipId(const AcDbSoftOwnershipId& id) {
  return writeId(kTagSoftOwner, id);
}
Acad::ErrorStatus AcDbDwgFiler::writeHardPointerId(const AcDbHardPointerId& id) { return writeId(kTagHardPointer, id); }
Acad::ErrorStatus AcDbDwgFiler::writeSoftPointerId(const AcDbSoftPointerId& id) { return writeId(kTagSoftPointer, id); }
Acad::ErrorStatus AcDbDwgFiler::readHardOwnershipId(AcDbHardOwnershipId* id) { return readId(kTagHardOwner, id); }
Acad::ErrorStatus AcDbDwgFiler::readSoftOwnershipId(AcDbSoftOwnershipId* id) { return readId(kTagSoftOwner, id); }
Acad::ErrorStatus AcDbDwgFiler::readHardPointerId(AcDbHardPointerId* id) { return readId(kTagHardPointer, id); }
Acad::ErrorStatus AcDbDwgFiler::readSoftPointerId(AcDbSoftPointerId* id) { return readId(kTagSoftPointer, id); }

Acad::ErrorStatus AcDbDwgFiler::writePoint3d(const AcGePoint3d& point) {
  if (!beginCall() || reading_) return fail();
  const double xyz[3] = {point.x, point.y, point.z};
  putTagged(kTagPoint, xyz, sizeof xyz);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDwgFiler::writeVector3d(const AcGeVector3d& vector) {
  if (!beginCall() || reading_) return fail();
  const double xyz[3] = {vector.x, vector.y, vector.z};
  putTagged(kTagVector, xyz, sizeof xyz);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDwgFiler::readPoint3d(AcGePoint3d* point) {
  if (!beginCall() || !point) return fail();
  double xyz[3];
  if (getTagged(kTagPoint, xyz, sizeof xyz) != Acad::eOk) return status_;
  *point = AcGePoint3d(xyz[0], xyz[1], xyz[2]);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDwgFiler::readVector3d(AcGeVector3d* vector) {
  if (!beginCall() || !vector) return fail();
  double xyz[3];
  if (getTagged(kTagVector, xyz, sizeof xyz) != Acad::eOk) return status_;
  *vector = AcGeVector3d(xyz[0], xyz[1], xyz[2]);
  return Acad::eOk;
}

bool wellFormedFields(std::string_view fields, Adesk::UInt64* ownerHandle) {
  std::size_t at = 0;
  bool first = true;
  while (at < fields.size()) {
    auto tag = static_cast<Adesk::UInt8>(fields[at++]);
    std::size_t size = 0;
    switch (tag) {
      case kTagBool:
      case kTagInt8: size = 1; break;
      case kTagInt16:
      case kTagUInt16: size = 2; break;
      case kTagInt32:
      case kTagUInt32: size = 4; break;
      case kTagUInt64:
      case kTagDouble:
      case kTagHardOwner:
      case kTagSoftOwner:
      case kTagHardPointer:
      case kTagSoftPointer: size = 8; break;
      case kTagPoint:
      case kTagVector: size = 24; break;
      case kTagString:
      case kTagBytes: {
        Adesk::UInt32 length = 0;
        if (fields.size() - at < sizeof length) return false;
        std::memcpy(&length, fields.data() + at, sizeof length);
        at += sizeof length;
        size = length;
        break;
      }
      default: return false;
    }
    if (fields.size() - at < size) return false;
    if (first) {
      if (tag != kTagHardPointer) return false;
      std::memcpy(ownerHandle, fields.data() + at, sizeof *ownerHandle);
      first = false;
    }
    at += size;
  }
  return !first;
}
