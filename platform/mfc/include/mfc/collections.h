// The toolkit's collections: CPtrList (a list of untyped pointers walked by POSITION),
// CStringArray and CArray<T> (growable arrays). Indices out of range are programming errors and
// throw std::out_of_range rather than corrupt memory.
#pragma once
#include <iterator>
#include <list>
#include <stdexcept>
#include <vector>

#include "mfc/cstring.h"

// An opaque place in a list; null is "no place" (before the head or past the tail).
struct CPositionTag;
using POSITION = CPositionTag*;

class CPtrList {
 public:
  // The block size is the platform's allocation granularity; it does not change behaviour here.
  explicit CPtrList(int blockSize = 10) : blockSize_(blockSize) {}
  CPtrList(const CPtrList&) = delete;
  CPtrList& operator=(const CPtrList&) = delete;
  ~CPtrList() { RemoveAll(); }

  int GetCount() const { return static_cast<int>(nodes_.size()); }
  bool IsEmpty() const { return nodes_.empty(); }
  POSITION AddHead(void* value);
  POSITION AddTail(void* value);
  void* RemoveHead();
  void* RemoveTail();
  void* GetHead() const;
  void* GetTail() const;
  POSITION GetHeadPosition() const;
  POSITION GetTailPosition() const;
  // Returns the value at `position` and moves `position` to the next one (null past the tail).
  void*& GetNext(POSITION& position);
  void* GetNext(POSITION& position) const;
  void*& GetPrev(POSITION& position);
  void*& GetAt(POSITION position);
  void SetAt(POSITION position, void* value);
  void RemoveAt(POSITION position);
  POSITION InsertBefore(POSITION position, void* value);
  POSITION InsertAfter(POSITION position, void* value);
  // The first place after `after` (null: from the head) holding `value`, or null.
  POSITION Find(void* value, POSITION after = nullptr) const;
  POSITION FindIndex(int index) const;
  void RemoveAll();
  int blockSize() const { return blockSize_; }

 private:
  struct Node;
  Node* node(POSITION position) const;
  std::list<Node*> nodes_;
  int blockSize_;
};

template <typename T, typename ARG = const T&>
class CArray {
 public:
  int GetSize() const { return static_cast<int>(items_.size()); }
  int GetCount() const { return GetSize(); }
  int GetUpperBound() const { return GetSize() - 1; }
  bool IsEmpty() const { return items_.empty(); }
  void SetSize(int size, int = -1) { items_.resize(static_cast<size_t>(size < 0 ? 0 : size)); }
  int Add(ARG value) {
    items_.push_back(value);
    return GetSize() - 1;
  }
  const T& GetAt(int index) const { return items_.at(static_cast<size_t>(index)); }
  T& ElementAt(int index) { return items_.at(static_cast<size_t>(index)); }
  void SetAt(int index, ARG value) { items_.at(static_cast<size_t>(index)) = value; }
  // Grows the array when `index` is past its end.
  void SetAtGrow(int index, ARG value) {
    if (index >= GetSize()) SetSize(index + 1);
    SetAt(index, value);
  }
  void InsertAt(int index, ARG value, int count = 1) {
    if (index < 0) throw std::out_of_range("CArray::InsertAt");
    if (index > GetSize()) SetSize(index);
    items_.insert(items_.begin() + index, static_cast<size_t>(count), value);
  }
  void RemoveAt(int index, int count = 1) {
    if (index < 0 || count < 0 || index + count > GetSize()) throw std::out_of_range("CArray::RemoveAt");
    items_.erase(items_.begin() + index, items_.begin() + index + count);
  }
  void RemoveAll() { items_.clear(); }
  T& operator[](int index) { return ElementAt(index); }
  const T& operator[](int index) const { return GetAt(index); }
  T* GetData() { return items_.data(); }

 private:
  std::vector<T> items_;
};

class CStringArray : public CArray<CString, const char*> {};
class CPtrArray : public CArray<void*, void*> {};
class CDWordArray : public CArray<DWORD, DWORD> {};
