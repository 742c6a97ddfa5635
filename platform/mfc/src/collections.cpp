#include "mfc/collections.h"

#include <algorithm>

struct CPtrList::Node {
  void* value;
};

// A POSITION is the address of a node; nodes live until removed.
CPtrList::Node* CPtrList::node(POSITION position) const {
  auto* wanted = reinterpret_cast<Node*>(position);
  if (!wanted || std::find(nodes_.begin(), nodes_.end(), wanted) == nodes_.end())
    throw std::out_of_range("CPtrList: not a position of this list");
  return wanted;
}

static POSITION positionOf(void* node) { return reinterpret_cast<POSITION>(node); }

POSITION CPtrList::AddHead(void* value) {
  nodes_.push_front(new Node{value});
  return positionOf(nodes_.front());
}

POSITION CPtrList::AddTail(void* value) {
  nodes_.push_back(new Node{value});
  return positionOf(nodes_.back());
}

void* CPtrList::RemoveHead() {
  if (nodes_.empty()) throw std::out_of_range("CPtrList::RemoveHead on an empty list");
  Node* first = nodes_.front();
  void* value = first->value;
  nodes_.pop_front();
  delete first;
  return value;
}

void* CPtrList::RemoveTail() {
  if (nodes_.empty()) throw std::out_of_range("CPtrList::RemoveTail on an empty list");
  Node* last = nodes_.back();
  void* value = last->value;
  nodes_.pop_back();
  delete last;
  return value;
}

void* CPtrList::GetHead() const {
  if (nodes_.empty()) throw std::out_of_range("CPtrList::GetHead on an empty list");
  return nodes_.front()->value;
}

void* CPtrList::GetTail() const {
  if (nodes_.empty()) throw std::out_of_range("CPtrList::GetTail on an empty list");
  return nodes_.back()->value;
}

POSITION CPtrList::GetHeadPosition() const { return nodes_.empty() ? nullptr : positionOf(nodes_.front()); }
POSITION CPtrList::GetTailPosition() const { return nodes_.empty() ? nullptr : positionOf(nodes_.back()); }

void*& CPtrList::GetNext(POSITION& position) {
  Node* current = node(position);
  auto it = std::find(nodes_.begin(), nodes_.end(), current);
  ++it;
  position = it == nodes_.end() ? nullptr : positionOf(*it);
  return current->value;
}

void* CPtrList::GetNext(POSITION& position) const { return const_cast<CPtrList*>(this)->GetNext(position); }

void*& CPtrList::GetPrev(POSITION& position) {
  Node* current = node(position);
  auto it = std::find(nodes_.begin(), nodes_.end(), current);
  position = it == nodes_.begin() ? nullptr : positionOf(*std::prev(it));
  return current->value;
}

void*& CPtrList::GetAt(POSITION position) { return node(position)->value; }

void CPtrList::SetAt(POSITION position, void* value) { node(position)->value = value; }

void CPtrList::RemoveAt(POSITION position) {
  Node* current = node(position);
  nodes_.remove(current);
  delete current;
}

POSITION CPtrList::InsertBefore(POSITION position, void* value) {
  if (!position) return AddHead(value);
  auto it = std::find(nodes_.begin(), nodes_.end(), node(position));
  return positionOf(*nodes_.insert(it, new Node{value}));
}

POSITION CPtrList::InsertAfter(POSITION position, void* value) {
  if (!position) return AddTail(value);
  auto it = std::find(nodes_.begin(), nodes_.end(), node(position));
  return positionOf(*nodes_.insert(std::next(it), new Node{value}));
}

POSITION CPtrList::Find(void* value, POSITION after) const {
  auto it = nodes_.begin();
  if (after) it = std::next(std::find(nodes_.begin(), nodes_.end(), node(after)));
  for (; it != nodes_.end(); ++it)
    if ((*it)->value == value) return positionOf(*it);
  return nullptr;
}

POSITION CPtrList::FindIndex(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return positionOf(*std::next(nodes_.begin(), index));
}

void CPtrList::RemoveAll() {
  for (Node* n : nodes_) delete n;
  nodes_.clear();
}
