// Walks over engine lists that pass over objects marked erased.
#pragma once

#include <algorithm>
#include <vector>

#include "amg/CaeList.h"

namespace fea_detail {

template <class T>
bool IsLive(const T* item) {
  return !item->IsMarkedAsErased();
}

// The first item not marked erased; it becomes the list's current item.
template <class T>
T* FirstLive(CaeCursorList<T>& list) {
  T* item = list.First();
  while (item && !IsLive(item)) item = list.NextAfter(nullptr);
  return item;
}

// The next item not marked erased after the current one; null at the end (and stays null).
template <class T>
T* NextLive(CaeCursorList<T>& list) {
  if (!list.Current()) return nullptr;
  T* item = list.NextAfter(nullptr);
  while (item && !IsLive(item)) item = list.NextAfter(nullptr);
  return item;
}

template <class T>
int CountLive(CaeList<T>& head) {
  int count = 0;
  for (T* item : head)
    if (IsLive(item)) ++count;
  return count;
}

// Appends an item unless it is listed already.
template <class T>
void AppendOnce(CaeCursorList<T>& list, T* item) {
  if (!list.Head().Find(item)->HasItem()) list.Append(item);
}

// Changes of order and removals rebuild the list, which also ends any walk in progress (a
// cursor must never be left on a removed node).
template <class T>
void Rebuild(CaeCursorList<T>& list, const std::vector<T*>& items) {
  list.RemoveAll();
  for (T* item : items) list.Append(item);
}

template <class T>
std::vector<T*> Items(CaeCursorList<T>& list) {
  std::vector<T*> items;
  for (T* item : list.Head()) items.push_back(item);
  return items;
}

// Moves `moved` to the list position that `place` has before the move: an item moved from
// before `place` ends up just after it, one moved from after it just before it. 0 (nothing
// changed) when either is not listed.
template <class T>
int MoveToPositionOf(CaeCursorList<T>& list, T* moved, T* place) {
  std::vector<T*> items = Items(list);
  auto target = std::find(items.begin(), items.end(), place);
  auto from = std::find(items.begin(), items.end(), moved);
  if (!moved || !place || target == items.end() || from == items.end()) return 0;
  const auto index = target - items.begin();
  items.erase(from);
  items.insert(items.begin() + index, moved);
  Rebuild(list, items);
  return 1;
}

// Unlists an item; 0 when it was not listed.
template <class T>
int Unlist(CaeCursorList<T>& list, T* item) {
  std::vector<T*> items = Items(list);
  auto found = std::find(items.begin(), items.end(), item);
  if (found == items.end()) return 0;
  items.erase(found);
  Rebuild(list, items);
  return 1;
}

}  // namespace fea_detail
