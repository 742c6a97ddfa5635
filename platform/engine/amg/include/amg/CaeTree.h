// The engine's ordered search-tree routines, on which CaeTable and CaeLible are built.
//
// A tree is reached through its head node, whose left link is the root; every node's parent link
// leads up to the head, whose own parent is null. The tree keeps itself balanced (a treap with
// deterministic priorities), so linking, finding and unlinking take logarithmic time. Nodes that
// compare equal are all kept; a lookup answers one of them. The routines never allocate: callers
// own the nodes.
#pragma once

struct r_tree {
  r_tree* parent = nullptr;
  r_tree* left = nullptr;
  r_tree* right = nullptr;
  unsigned priority = 0;
};

// Compares `key` with the item of `node`: negative when the key orders first, 0 when equal.
using r_treecmp = int (*)(const void* context, const void* key, const r_tree* node);

// Makes `head` the head of an empty tree.
void r_treeinit(r_tree* head);
// Links `node`, whose item is `key`, into the tree of `head`.
void r_treelink(r_tree* head, r_tree* node, const void* key, r_treecmp compare, const void* context);
// A node whose item compares equal to `key`, or null.
r_tree* r_treefind(const r_tree* head, const void* key, r_treecmp compare, const void* context);
// Unlinks a linked node from its tree (the head is found through the parent links); the node's
// links are cleared. Unlinking the head or an unlinked node does nothing.
void r_treeunlink(r_tree* node);
// Post-order walk: the node after `node`, or the first one when `node` is null; null at the end.
r_tree* r_treepost(const r_tree* head, const r_tree* node);
// In-order walk (compare order): the first node, and the node after `node`; null at the end.
r_tree* r_treefirst(const r_tree* head);
r_tree* r_treenext(const r_tree* node);
