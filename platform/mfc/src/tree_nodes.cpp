#include "tree_nodes.h"

#include <cstdint>

#include "window_state.h"

namespace {
constexpr std::size_t kFirstSize = 64;
}

TreeNodeTable::~TreeNodeTable() { clear(); }

// Nodes made one after another lie near each other in memory and so land in nearby slots; the
// upper bits keep nodes a table's span apart from sharing a home.
std::size_t TreeNodeTable::home(const TreeNode* node) const {
  const auto address = reinterpret_cast<std::uintptr_t>(node);
  return static_cast<std::size_t>((address >> 4) ^ (address >> 24)) & (slots_.size() - 1);
}

std::size_t TreeNodeTable::slotOf(const TreeNode* node) const {
  std::size_t slot = home(node);
  while (slots_[slot] && slots_[slot] != node) slot = (slot + 1) & (slots_.size() - 1);
  return slot;
}

void TreeNodeTable::grow() {
  std::vector<TreeNode*> old(slots_.empty() ? kFirstSize : slots_.size() * 2, nullptr);
  old.swap(slots_);
  for (TreeNode* node : old)
    if (node) slots_[slotOf(node)] = node;
}

TreeNode* TreeNodeTable::add(std::unique_ptr<TreeNode> node) {
  if ((count_ + 1) * 2 > slots_.size()) grow();
  TreeNode*& slot = slots_[slotOf(node.get())];
  if (!slot) ++count_;
  slot = node.release();
  return slot;
}

bool TreeNodeTable::contains(const TreeNode* node) const { return node && count_ != 0 && slots_[slotOf(node)] == node; }

void TreeNodeTable::erase(const TreeNode* node) {
  if (!contains(node)) return;
  const std::size_t mask = slots_.size() - 1;
  std::size_t hole = slotOf(node);
  delete slots_[hole];
  slots_[hole] = nullptr;
  --count_;
  // Later nodes of the same run move back into the hole when their probe passes it, so that every
  // probe still ends at the first empty slot.
  for (std::size_t next = (hole + 1) & mask; slots_[next]; next = (next + 1) & mask) {
    const std::size_t wanted = home(slots_[next]);
    const bool passesHole = ((next - wanted) & mask) >= ((next - hole) & mask);
    if (!passesHole) continue;
    slots_[hole] = slots_[next];
    slots_[next] = nullptr;
    hole = next;
  }
}

void TreeNodeTable::clear() {
  for (TreeNode*& node : slots_) {
    delete node;
    node = nullptr;
  }
  count_ = 0;
}
