#include "fea/CaeElem.h"

#include <atomic>

namespace {

// Tetrahedron faces: corners then mid-edge nodes, in the solver's node numbering.
constexpr int kTetFaces[4][6] = {
    {0, 1, 2, 4, 5, 6},
    {0, 3, 1, 7, 8, 4},
    {1, 3, 2, 8, 9, 5},
    {2, 3, 0, 9, 7, 6},
};

constexpr int kTriFace[6] = {0, 1, 2, 3, 4, 5};

int ExpectedNodes(CaeElemType type, CaeElemOrder order) {
  const bool linear = order == CaeElemLinear;
  if (type == CaeElemSolid) return linear ? 4 : 10;
  return linear ? 3 : 6;
}

}  // namespace

std::uint64_t CaeNode::NextSerial() {
  static std::atomic<std::uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

int CaeNode::CompareId(const CaeNode* a, const CaeNode* b) {
  return a->Id() < b->Id() ? -1 : (a->Id() > b->Id() ? 1 : 0);
}

CaeElem::CaeElem(CaeNode* const* nodes, int count, CaeElemType type, CaeElemShape shape, CaeElemOrder order, long id)
    : nodes_(nodes, nodes + count), type_(type), shape_(shape), order_(order), id_(id) {}

CaeElem* CaeElem::Create(CaeNode* const* nodes, int count, CaeElemType type, CaeElemShape shape, CaeElemOrder order,
                         long id) {
  if (!nodes || count < 1 || count > kMaxNodes || shape != CaeShapeTri) return nullptr;
  if (order != CaeElemLinear && order != CaeElemQuadratic) return nullptr;
  if (count != ExpectedNodes(type, order)) return nullptr;
  for (int i = 0; i < count; ++i)
    if (!nodes[i]) return nullptr;
  return new CaeElem(nodes, count, type, shape, order, id);
}

int CaeElem::NumFaces() const { return type_ == CaeElemSolid ? 4 : 1; }

int CaeElem::NumFaceNodes() const { return order_ == CaeElemLinear ? 3 : 6; }

CaeNode* CaeElem::FaceNode(int face, int k) const {
  if (face < 0 || face >= NumFaces() || k < 0 || k >= NumFaceNodes()) return nullptr;
  const int index = type_ == CaeElemSolid ? kTetFaces[face][k] : kTriFace[k];
  return nodes_[index];
}

int CaeElemProp::SetPropValue(int number, double value) {
  switch (number) {
    case kThickness: thickness_ = value; return 1;
    case kPStartOrder: pStartOrder_ = static_cast<int>(value); return 1;
    case kPMaxOrder: pMaxOrder_ = static_cast<int>(value); return 1;
    case kPTolerance: pTolerance_ = value; return 1;
    default: return 0;
  }
}

double CaeElemProp::GetPropValue(int number) const {
  switch (number) {
    case kThickness: return thickness_;
    case kPStartOrder: return pStartOrder_;
    case kPMaxOrder: return pMaxOrder_;
    case kPTolerance: return pTolerance_;
    default: return 0.0;
  }
}

namespace {

// Linear and quadratic triangular elements, solid and shell; no p-elements.
constexpr AnlElemDesc kDescriptors[] = {
    {CaeElemLinear, CaeShapeTri, CaeElemSolid, 0},
    {CaeElemQuadratic, CaeShapeTri, CaeElemSolid, 0},
    {CaeElemLinear, CaeShapeTri, CaeElemShell, 0},
    {CaeElemQuadratic, CaeShapeTri, CaeElemShell, 0},
};

}  // namespace

const AnlElemDesc* AnlElemDescTable::Find(int order, int shape, int type, int pElement) const {
  for (const AnlElemDesc& d : kDescriptors)
    if (d.order == order && d.shape == shape && d.type == type && (d.pElement != 0) == (pElement != 0)) return &d;
  return nullptr;
}
