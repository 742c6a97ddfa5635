// CaeArray<T>: the engine's growable array.
//
// Holds a block of exactly Count() elements: there is no spare capacity, every insertion allocates a
// new block of count + 1 elements and copies the old ones over by assignment (so T must be default-
// constructible and copy-assignable). ItemAt does no range check: callers keep indexes within
// 0 .. Count() - 1. Copies are deep.
#pragma once
#include <algorithm>
#include <cstddef>
#include <initializer_list>

template <class T>
class CaeArray {
 public:
  CaeArray() = default;
  // n default-constructed elements (the empty-text form for CaeString).
  explicit CaeArray(int n) {
    if (n > 0) {
      data_ = new T[n];
      count_ = n;
    }
  }
  CaeArray(std::initializer_list<T> items) {
    for (const T& item : items) Append(item);
  }
  CaeArray(const CaeArray& other) { CopyFrom(other); }
  CaeArray& operator=(const CaeArray& other) {
    if (this != &other) {
      CaeArray copy(other);
      Swap(copy);
    }
    return *this;
  }
  CaeArray(CaeArray&& other) noexcept { Swap(other); }
  CaeArray& operator=(CaeArray&& other) noexcept {
    Swap(other);
    return *this;
  }
  ~CaeArray() { Free(); }

  int Count() const { return count_; }
  // Address of element `index` (no range check).
  T* ItemAt(int index) { return data_ + index; }
  const T* ItemAt(int index) const { return data_ + index; }
  T& operator[](int index) { return data_[index]; }
  const T& operator[](int index) const { return data_[index]; }
  T* Data() { return data_; }
  const T* Data() const { return data_; }

  // Inserts `element` before position `index` (0 .. Count()); the elements from `index` on move up
  // by one. Returns the new count.
  int InsertAt(int index, const T& element) {
    const int count = count_;
    index = std::clamp(index, 0, count);
    T* block = new T[count + 1];
    for (int i = 0; i < index; ++i) block[i] = data_[i];
    block[index] = element;
    for (int i = index; i < count; ++i) block[i + 1] = data_[i];
    Free();
    data_ = block;
    count_ = count + 1;
    return count_;
  }
  int Append(const T& element) { return InsertAt(count_, element); }

  // Removes element `index` when it is in range; returns the new count.
  int RemoveAt(int index) {
    if (index < 0 || index >= count_) return count_;
    const int count = count_;
    if (count == 1) {
      Free();
      return 0;
    }
    T* block = new T[count - 1];
    for (int i = 0, j = 0; i < count; ++i)
      if (i != index) block[j++] = data_[i];
    Free();
    data_ = block;
    count_ = count - 1;
    return count_;
  }
  void RemoveAll() { Free(); }

 private:
  void Free() {
    delete[] data_;
    data_ = nullptr;
    count_ = 0;
  }
  void CopyFrom(const CaeArray& other) {
    if (other.count_ == 0) return;
    data_ = new T[other.count_];
    for (int i = 0; i < other.count_; ++i) data_[i] = other.data_[i];
    count_ = other.count_;
  }
  void Swap(CaeArray& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(count_, other.count_);
  }

  T* data_ = nullptr;
  int count_ = 0;
};
