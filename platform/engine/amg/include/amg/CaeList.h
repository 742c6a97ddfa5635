// The engine's linked lists.
//
// CaeList<T>: a circular doubly linked list of nodes, each holding a pointer to an item. The list
// object itself is a node, the head, whose item is null; an empty list is a head linked to itself.
// Item nodes always hold a non-null item, so a walk from the first node stops at the node whose item
// is null, the head:
//     for (CaeList<T>* n = list.FirstNode(); n->HasItem(); n = n->Next()) use(n->Item());
// A plain CaeList never deletes its items. CaeOwningList (and CaePrimaryList) delete every item
// when cleared or destroyed. CaeCursorList adds a current position for First/NextAfter walks.
//
// Misuse (a null item, removing the head, clearing from an item node, appending an item node's
// list) is a consistency check naming "CaeList" and a line of its own; the list is left unchanged
// and CaeExcept is raised.
#pragma once
#include "amg/CaeMsgCall.h"

template <class T>
class CaeList {
 public:
  CaeList() : prev_(this), next_(this), item_(nullptr) {}
  CaeList(const CaeList&) = delete;
  CaeList& operator=(const CaeList&) = delete;
  // On the head: RemoveAll. On an item node: nothing.
  virtual ~CaeList() {
    if (!item_) RemoveAll();
  }

  // Inserts a node for `item` just before this node (at the end when called on the head).
  CaeList* Append(T* item) {
    if (!item) CaeMsgCall::GeneralError("CaeList", 133);
    return LinkBefore(this, item);
  }
  // Inserts a node for `item` just after this node (at the front when called on the head).
  CaeList* Prepend(T* item) {
    if (!item) CaeMsgCall::GeneralError("CaeList", 114);
    return LinkBefore(next_, item);
  }
  // The first node from the front whose item is `item`, else the head.
  CaeList* Find(const T* item) {
    CaeList* head = Head();
    for (CaeList* n = head->next_; n->item_; n = n->next_)
      if (n->item_ == item) return n;
    return head;
  }
  // On an item node: unlinks and deletes the node (never its item).
  void RemoveNode() {
    if (!item_) CaeMsgCall::GeneralError("CaeList", 100);
    prev_->next_ = next_;
    next_->prev_ = prev_;
    delete this;
  }
  // On the head: deletes every item node from the front (owning lists delete the items first).
  void RemoveAll() {
    if (item_) CaeMsgCall::GeneralError("CaeList", 211);
    for (CaeList* n = next_; n != this; n = n->next_) DeleteItem(n->item_);
    ReleaseNodes();
  }
  // Moves every item node of `other` (a head), in order, to the end of this list; `other` is left
  // empty. Returns `other`.
  CaeList& AppendList(CaeList& other) {
    if (other.item_) CaeMsgCall::GeneralError("CaeList", 193);
    if (&other == this || other.next_ == &other) return other;
    CaeList* first = other.next_;
    CaeList* last = other.prev_;
    CaeList* tail = prev_;
    tail->next_ = first;
    first->prev_ = tail;
    last->next_ = this;
    prev_ = last;
    other.next_ = other.prev_ = &other;
    return other;
  }

  // Whether this node holds an item: false exactly on the head.
  bool HasItem() const { return item_ != nullptr; }
  T* Item() const { return item_; }
  CaeList* Next() const { return next_; }
  CaeList* Prev() const { return prev_; }
  CaeList* FirstNode() const { return next_; }
  CaeList* LastNode() const { return prev_; }
  bool IsEmpty() const { return next_ == this; }
  // Number of item nodes, walking from this node round to the head.
  int Count() const {
    int count = 0;
    for (const CaeList* n = Head()->next_; n->item_; n = n->next_) ++count;
    return count;
  }

  // Walks the items from the front: for (T* item : list) ...
  class iterator {
   public:
    explicit iterator(CaeList* node) : node_(node) {}
    T* operator*() const { return node_->item_; }
    iterator& operator++() {
      node_ = node_->next_;
      return *this;
    }
    bool operator!=(const iterator& other) const { return node_ != other.node_; }

   private:
    CaeList* node_;
  };
  iterator begin() { return iterator(Head()->next_); }
  iterator end() { return iterator(Head()); }

 protected:
  // Called for each item as RemoveAll clears the head; owning lists delete it.
  virtual void DeleteItem(T*) {}

 private:
  struct ItemNode {};
  CaeList(ItemNode, T* item) : prev_(nullptr), next_(nullptr), item_(item) {}

  CaeList* LinkBefore(CaeList* position, T* item) {
    CaeList* node = new CaeList(ItemNode{}, item);
    node->prev_ = position->prev_;
    node->next_ = position;
    position->prev_->next_ = node;
    position->prev_ = node;
    return node;
  }
  void ReleaseNodes() {
    CaeList* n = next_;
    while (n != this) {
      CaeList* following = n->next_;
      delete n;
      n = following;
    }
    next_ = prev_ = this;
  }
  // The head of the ring this node belongs to.
  const CaeList* Head() const {
    const CaeList* n = this;
    while (n->item_) n = n->next_;
    return n;
  }
  CaeList* Head() {
    CaeList* n = this;
    while (n->item_) n = n->next_;
    return n;
  }

  CaeList* prev_;
  CaeList* next_;
  T* item_;
};

// A list that owns its items: clearing or destroying it deletes every item, then the nodes.
template <class T>
class CaeOwningList : public CaeList<T> {
 public:
  CaeOwningList() = default;
  ~CaeOwningList() override { this->RemoveAll(); }

 protected:
  void DeleteItem(T* item) override { delete item; }
};

// The owning list the engine fills with objects deleted through their virtual destructor (for
// example the exterior element references of a mesh).
template <class T>
class CaePrimaryList : public CaeOwningList<T> {};

// A list with a current position. First() makes the first node the cursor; NextAfter(item) moves
// the cursor to the node after `item` (or one node on when `item` is null or the current item).
// Removing the cursor's node from Head() directly leaves the cursor dangling: use RemoveAll().
template <class T, class List = CaeList<T>>
class CaeCursorList {
 public:
  CaeCursorList() = default;
  CaeCursorList(const CaeCursorList&) = delete;
  CaeCursorList& operator=(const CaeCursorList&) = delete;

  List& Head() { return head_; }
  const List& Head() const { return head_; }
  CaeList<T>* Append(T* item) { return head_.Append(item); }
  int Count() const { return head_.Count(); }

  // The first item (null for an empty list), which becomes the current item.
  T* First() {
    cursor_ = head_.FirstNode();
    current_ = cursor_->Item();
    return current_;
  }
  // See the class comment. An item not in the list gives null and leaves the cursor in place.
  T* NextAfter(const T* item) {
    if (item && item != current_) {
      CaeList<T>* node = head_.Find(item);
      if (!node->HasItem()) return nullptr;
      cursor_ = node->Next();
    } else {
      if (!cursor_) cursor_ = &head_;
      cursor_ = cursor_->Next();
    }
    current_ = cursor_->Item();
    return current_;
  }
  T* Current() const { return current_; }
  void RemoveAll() {
    head_.RemoveAll();
    current_ = nullptr;
    cursor_ = nullptr;
    position_ = -1;
  }

 private:
  List head_;
  T* current_ = nullptr;
  int position_ = -1;  // kept for the record layout; not otherwise used
  CaeList<T>* cursor_ = nullptr;
};
