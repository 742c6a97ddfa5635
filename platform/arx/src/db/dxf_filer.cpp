#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "arx/dbdxffiler.h"
#include "database_impl.h"

namespace {

// Shortest text that reads back to the same double, "C" locale by construction.
std::string formatDouble(double value) {
  char text[32];
  auto result = std::to_chars(text, text + sizeof text, value);
  std::string out(text, result.ptr);
  if (out.find_first_of(".eEn") == std::string::npos) out += ".0";
  return out;
}

template <class T>
bool parseWhole(const std::string& text, T* value) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return false;
  const char* end = text.data() + text.size();
  auto result = std::from_chars(text.data() + begin, end, *value);
  return result.ec == std::errc() && result.ptr == end;
}

}  // namespace

AcDbDxfFiler::AcDbDxfFiler(AcDbDatabase* database) : database_(database) {}

AcDbDxfFiler::AcDbDxfFiler(AcDbDatabase* database, std::vector<AcDbDxfItem> items)
    : database_(database), items_(std::move(items)) {}

bool AcDbDxfFiler::beginCall() {
  ++calls_;
  if (failAt_ > 0 && calls_ >= failAt_) status_ = Acad::eFilerError;
  return status_ == Acad::eOk;
}

Acad::ErrorStatus AcDbDxfFiler::fail() {
  status_ = Acad::eFilerError;
  return status_;
}

Acad::ErrorStatus AcDbDxfFiler::writeString(int code, const std::string& text) {
  if (!beginCall()) return fail();
  items_.push_back({code, text});
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDxfFiler::writeInt16(int code, Adesk::Int16 value) {
  return writeString(code, std::to_string(value));
}

Acad::ErrorStatus AcDbDxfFiler::writeInt32(int code, Adesk::Int32 value) {
  return writeString(code, std::to_string(value));
}

Acad::ErrorStatus AcDbDxfFiler::writeDouble(int code, double value) { return writeString(code, formatDouble(value)); }

bool writtenToDxf(const AcDbObjectId& id) {
  const AcDbStub* stub = id.stub();
  if (!stub || !stub->object || AcDbObjectAccess::erased(stub->object)) return false;
  const char* dxfName = stub->object->isA()->dxfName();
  return dxfName && *dxfName;
}

Acad::ErrorStatus AcDbDxfFiler::writeObjectId(int code, const AcDbObjectId& id) {
  return writeString(code, writtenToDxf(id) ? id.handle().text() : AcDbHandle().text());
}

Acad::ErrorStatus AcDbDxfFiler::writePoint3d(int code, const AcGePoint3d& point) {
  writeDouble(code, point.x);
  writeDouble(code + 10, point.y);
  return writeDouble(code + 20, point.z);
}

bool AcDbDxfFiler::peek(AcDbDxfItem* item) const {
  if (position_ >= items_.size()) return false;
  if (item) *item = items_[position_];
  return true;
}

Acad::ErrorStatus AcDbDxfFiler::readItem(AcDbDxfItem* item) {
  if (!beginCall() || position_ >= items_.size()) return fail();
  if (item) *item = items_[position_];
  ++position_;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDxfFiler::take(int code, std::string* value) {
  if (!beginCall() || position_ >= items_.size() || items_[position_].code != code) return fail();
  *value = items_[position_++].value;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDxfFiler::readString(int code, std::string* text) {
  if (!text) return fail();
  return take(code, text);
}

Acad::ErrorStatus AcDbDxfFiler::readInt16(int code, Adesk::Int16* value) {
  std::string text;
  if (!value || take(code, &text) != Acad::eOk) return fail();
  return parseWhole(text, value) ? Acad::eOk : fail();
}

Acad::ErrorStatus AcDbDxfFiler::readInt32(int code, Adesk::Int32* value) {
  std::string text;
  if (!value || take(code, &text) != Acad::eOk) return fail();
  return parseWhole(text, value) ? Acad::eOk : fail();
}

Acad::ErrorStatus AcDbDxfFiler::readDouble(int code, double* value) {
  std::string text;
  if (!value || take(code, &text) != Acad::eOk) return fail();
  return parseWhole(text, value) ? Acad::eOk : fail();
}

Acad::ErrorStatus AcDbDxfFiler::readObjectId(int code, AcDbObjectId* id) {
  std::string text;
  if (!id || take(code, &text) != Acad::eOk) return fail();
  Adesk::UInt64 handle = 0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), handle, 16);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return fail();
  *id = database_ && handle ? database_->impl().idOf(AcDbHandle(handle)) : AcDbObjectId();
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDxfFiler::readPoint3d(int code, AcGePoint3d* point) {
  if (!point) return fail();
  readDouble(code, &point->x);
  readDouble(code + 10, &point->y);
  return readDouble(code + 20, &point->z);
}
