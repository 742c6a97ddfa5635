// A treap: a binary search tree whose nodes also form a max-heap on pseudo-random priorities,
// which keeps its depth logarithmic whatever the insertion order (mesh nodes arrive sorted by id).
#include "amg/CaeTree.h"

#include <atomic>
#include <cstdint>

namespace {

unsigned NextPriority() {
  static std::atomic<std::uint64_t> counter{0};
  std::uint64_t z = counter.fetch_add(0x9e3779b97f4a7c15ull) + 0x9e3779b97f4a7c15ull;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  return static_cast<unsigned>(z ^ (z >> 31));
}

bool IsHead(const r_tree* node) { return node->parent == nullptr; }

void ReplaceChild(r_tree* parent, r_tree* oldChild, r_tree* newChild) {
  if (parent->left == oldChild)
    parent->left = newChild;
  else
    parent->right = newChild;
  if (newChild) newChild->parent = parent;
}

// Moves `x` one level up, above its parent, keeping the in-order sequence.
void RotateUp(r_tree* x) {
  r_tree* p = x->parent;
  r_tree* g = p->parent;
  if (x == p->left) {
    p->left = x->right;
    if (x->right) x->right->parent = p;
    x->right = p;
  } else {
    p->right = x->left;
    if (x->left) x->left->parent = p;
    x->left = p;
  }
  p->parent = x;
  ReplaceChild(g, p, x);
}

r_tree* DeepestFirst(r_tree* n) {
  while (n->left || n->right) n = n->left ? n->left : n->right;
  return n;
}

}  // namespace

void r_treeinit(r_tree* head) {
  head->parent = head->left = head->right = nullptr;
  head->priority = 0;
}

void r_treelink(r_tree* head, r_tree* node, const void* key, r_treecmp compare, const void* context) {
  node->left = node->right = nullptr;
  node->priority = NextPriority();
  r_tree* parent = head;
  r_tree** link = &head->left;
  while (*link) {
    parent = *link;
    link = compare(context, key, parent) < 0 ? &parent->left : &parent->right;
  }
  *link = node;
  node->parent = parent;
  while (!IsHead(node->parent) && node->priority > node->parent->priority) RotateUp(node);
}

r_tree* r_treefind(const r_tree* head, const void* key, r_treecmp compare, const void* context) {
  r_tree* n = head->left;
  while (n) {
    int c = compare(context, key, n);
    if (c == 0) return n;
    n = c < 0 ? n->left : n->right;
  }
  return nullptr;
}

void r_treeunlink(r_tree* node) {
  if (IsHead(node)) return;
  while (node->left && node->right) RotateUp(node->left->priority > node->right->priority ? node->left : node->right);
  ReplaceChild(node->parent, node, node->left ? node->left : node->right);
  node->parent = node->left = node->right = nullptr;
}

r_tree* r_treepost(const r_tree* head, const r_tree* node) {
  if (!node) return head->left ? DeepestFirst(head->left) : nullptr;
  r_tree* p = node->parent;
  if (IsHead(p)) return nullptr;
  if (node == p->left && p->right) return DeepestFirst(p->right);
  return p;
}

r_tree* r_treefirst(const r_tree* head) {
  r_tree* n = head->left;
  if (!n) return nullptr;
  while (n->left) n = n->left;
  return n;
}

r_tree* r_treenext(const r_tree* node) {
  if (node->right) {
    r_tree* n = node->right;
    while (n->left) n = n->left;
    return n;
  }
  r_tree* p = node->parent;
  while (!IsHead(p) && node == p->right) {
    node = p;
    p = p->parent;
  }
  return IsHead(p) ? nullptr : p;
}
