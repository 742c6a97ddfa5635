// CaeTable<T>: an ordered search table of item pointers (no insertion order).
//
// The table object is the tree's head node (item null); Insert makes a node per item, ordered by the
// compare routine given at construction (for mesh nodes CaeNode::CompareId). Items are never
// deleted by the table. A null item (line 88) and RemoveAll on an item node (line 159) are
// consistency checks naming "CaeTable".
#pragma once
#include "amg/CaeMsgCall.h"
#include "amg/CaeTree.h"

template <class T>
class CaeTable : private r_tree {
 public:
  // Negative when `a` orders before `b`, 0 when they are equal.
  using Compare = int (*)(const T* a, const T* b);

  explicit CaeTable(Compare compare) : item_(nullptr), compare_(compare) { r_treeinit(this); }
  CaeTable(const CaeTable&) = delete;
  CaeTable& operator=(const CaeTable&) = delete;
  // On the head: RemoveAll.
  ~CaeTable() {
    if (!item_) RemoveAll();
  }

  // Links a new node for `item`; returns it.
  CaeTable* Insert(T* item) {
    if (!item) CaeMsgCall::GeneralError("CaeTable", 88);
    CaeTable* node = new CaeTable(compare_, item);
    r_treelink(this, node, item, &CompareKey, this);
    return node;
  }
  // The node whose item compares equal to `key`, or null.
  CaeTable* Find(const T* key) const { return static_cast<CaeTable*>(r_treefind(this, key, &CompareKey, this)); }
  // Whether a lookup answered a node.
  static bool IsNode(const CaeTable* node) { return node != nullptr; }
  // On an item node: unlinks and deletes it (not its item). On the head: nothing.
  void Remove() {
    if (!item_) return;
    r_treeunlink(this);
    delete this;
  }
  // On the head: removes every node, in post order.
  void RemoveAll() {
    if (item_) CaeMsgCall::GeneralError("CaeTable", 159);
    while (r_tree* node = r_treepost(this, nullptr)) static_cast<CaeTable*>(node)->Remove();
  }

  T* Item() const { return item_; }
  bool HasItem() const { return item_ != nullptr; }
  // Walk in compare order: the first node, and the node after this one; null at the end.
  CaeTable* FirstNode() const { return static_cast<CaeTable*>(r_treefirst(this)); }
  CaeTable* NextNode() const { return static_cast<CaeTable*>(r_treenext(this)); }
  int Count() const {
    int count = 0;
    for (CaeTable* n = FirstNode(); n; n = n->NextNode()) ++count;
    return count;
  }

 private:
  CaeTable(Compare compare, T* item) : item_(item), compare_(compare) {}

  static int CompareKey(const void* context, const void* key, const r_tree* node) {
    const CaeTable* head = static_cast<const CaeTable*>(context);
    return head->compare_(static_cast<const T*>(key), static_cast<const CaeTable*>(node)->item_);
  }

  T* item_;
  Compare compare_;
};
