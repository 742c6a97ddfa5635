// The nodes of a tree control, owned and found by handle. A large Explorer tree asks at every
// insert whether the parent is still one of its items, and is built anew after every change:
// one probe into a flat table of handles, rather than a walk through a bucket's chain.
#pragma once
#include <cstddef>
#include <memory>
#include <vector>

struct TreeNode;

class TreeNodeTable {
 public:
  TreeNodeTable() = default;
  ~TreeNodeTable();
  TreeNodeTable(const TreeNodeTable&) = delete;
  TreeNodeTable& operator=(const TreeNodeTable&) = delete;

  // Takes the node; answers its handle.
  TreeNode* add(std::unique_ptr<TreeNode> node);
  // Whether `node` is one of the table's nodes (the handle is only compared, never followed).
  bool contains(const TreeNode* node) const;
  // Frees `node` when it is one of the table's nodes.
  void erase(const TreeNode* node);
  // Frees every node; the room stays for the next fill.
  void clear();
  std::size_t size() const { return count_; }

 private:
  std::size_t home(const TreeNode* node) const;
  std::size_t slotOf(const TreeNode* node) const;  // the node's slot, or the empty slot that ends its probe
  void grow();

  std::vector<TreeNode*> slots_;  // a power of two in size, at most half full; null is empty
  std::size_t count_ = 0;
};
