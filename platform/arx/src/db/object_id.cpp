#include <algorithm>
#include <cstdio>

#include "database_impl.h"

const AcDbObjectId AcDbObjectId::kNull;

std::string AcDbHandle::text() const {
  char text[24];
  std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value_));
  return text;
}

AcDbDatabase* AcDbObjectId::database() const { return stub_ ? stub_->database : nullptr; }

AcDbHandle AcDbObjectId::handle() const { return stub_ ? stub_->handle : AcDbHandle(); }

bool AcDbObjectId::isValid() const { return stub_ && stub_->object; }

bool AcDbObjectId::isErased() const { return stub_ && stub_->object && AcDbObjectAccess::erased(stub_->object); }

AcDbObjectIdArray::AcDbObjectIdArray(int initialCapacity, int growLength)
    : growLength_(growLength > 0 ? growLength : 8) {
  if (initialCapacity > 0) ids_.reserve(static_cast<std::size_t>(initialCapacity));
}

int AcDbObjectIdArray::append(const AcDbObjectId& id) {
  if (ids_.size() == ids_.capacity()) ids_.reserve(ids_.size() + static_cast<std::size_t>(growLength_));
  ids_.push_back(id);
  return length() - 1;
}

bool AcDbObjectIdArray::insertAt(int index, const AcDbObjectId& id) {
  if (index < 0 || index > length()) return false;
  ids_.insert(ids_.begin() + index, id);
  return true;
}

bool AcDbObjectIdArray::find(const AcDbObjectId& id, int& index, int start) const {
  if (start < 0) start = 0;
  for (int i = start; i < length(); ++i) {
    if (ids_[static_cast<std::size_t>(i)] == id) {
      index = i;
      return true;
    }
  }
  return false;
}

bool AcDbObjectIdArray::contains(const AcDbObjectId& id) const {
  return std::find(ids_.begin(), ids_.end(), id) != ids_.end();
}

bool AcDbObjectIdArray::remove(const AcDbObjectId& id) {
  auto it = std::find(ids_.begin(), ids_.end(), id);
  if (it == ids_.end()) return false;
  ids_.erase(it);
  return true;
}

bool AcDbObjectIdArray::removeAt(int index) {
  if (index < 0 || index >= length()) return false;
  ids_.erase(ids_.begin() + index);
  return true;
}

void AcDbObjectIdArray::setLogicalLength(int length) { ids_.resize(static_cast<std::size_t>(std::max(length, 0))); }
