// CaeLible<T>: a search tree with an insertion-order ring.
//
// The container is the head node (item null); every node is both in the tree (ordered by the
// compare routine given at construction) and in a ring through the head, like CaeList, so walks
// follow insertion order:
//     for (CaeLible<T>* n = table.FirstNode(); n->HasItem(); n = n->Next()) use(n->Item());
// Find answers the head when the key is absent, so HasItem tells the two apart. Items are never
// deleted by the container. A null item (line 107) and RemoveAll on an item node (line 144) are
// consistency checks naming "CaeLible".
#pragma once
#include "amg/CaeMsgCall.h"
#include "amg/CaeTree.h"

template <class T>
class CaeLible : private r_tree {
 public:
  using Compare = int (*)(const T* a, const T* b);

  explicit CaeLible(Compare compare) : item_(nullptr), next_(this), prev_(this), compare_(compare) { r_treeinit(this); }
  CaeLible(const CaeLible&) = delete;
  CaeLible& operator=(const CaeLible&) = delete;
  ~CaeLible() {
    if (!item_) RemoveAll();
  }

  // A new node for `item` at the end of the ring (just before the head), linked into the tree.
  CaeLible* NewNode(T* item) {
    if (!item) CaeMsgCall::GeneralError("CaeLible", 107);
    return Link(item, this);
  }
  // A new node for `item` at the front of the ring, linked into the tree.
  CaeLible* NewNodeAtFront(T* item) {
    if (!item) CaeMsgCall::GeneralError("CaeLible", 107);
    return Link(item, next_);
  }
  // The node whose item compares equal to `key`, or the head.
  CaeLible* Find(const T* key) {
    r_tree* node = r_treefind(this, key, &CompareKey, this);
    return node ? static_cast<CaeLible*>(node) : this;
  }
  // On an item node: unlinks it from the ring and the tree and deletes it (not its item).
  // On the head: nothing.
  void Unlink() {
    if (!item_) return;
    prev_->next_ = next_;
    next_->prev_ = prev_;
    r_treeunlink(this);
    delete this;
  }
  // On the head: unlinks and deletes every node, walking the ring from the front.
  void RemoveAll() {
    if (item_) CaeMsgCall::GeneralError("CaeLible", 144);
    while (next_ != this) next_->Unlink();
  }

  bool HasItem() const { return item_ != nullptr; }
  T* Item() const { return item_; }
  CaeLible* Next() const { return next_; }
  CaeLible* Prev() const { return prev_; }
  CaeLible* FirstNode() const { return next_; }
  bool IsEmpty() const { return next_ == this; }
  int Count() const {
    int count = 0;
    for (const CaeLible* n = next_; n->item_; n = n->next_) ++count;
    return count;
  }

 private:
  CaeLible(Compare compare, T* item) : item_(item), next_(nullptr), prev_(nullptr), compare_(compare) {}

  CaeLible* Link(T* item, CaeLible* before) {
    CaeLible* node = new CaeLible(compare_, item);
    node->next_ = before;
    node->prev_ = before->prev_;
    before->prev_->next_ = node;
    before->prev_ = node;
    r_treelink(this, node, item, &CompareKey, this);
    return node;
  }
  static int CompareKey(const void* context, const void* key, const r_tree* node) {
    const CaeLible* head = static_cast<const CaeLible*>(context);
    return head->compare_(static_cast<const T*>(key), static_cast<const CaeLible*>(node)->item_);
  }

  T* item_;
  CaeLible* next_;
  CaeLible* prev_;
  Compare compare_;
};
