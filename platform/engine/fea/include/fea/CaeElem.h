// Mesh nodes, elements, element references, element descriptors and element properties.
#pragma once

#include <cstdint>
#include <vector>

#include "amg/CaeStamp.h"
#include "amg/CaeVector.h"

// The kind of topology a node lies on (CaeTopoRef kinds: 0 vertex, 1 edge, 2 face, 3 body,
// 4 none).
typedef int CaeTopoType;

enum CaeElemType : int { CaeElemSolid = 0, CaeElemPlate = 1, CaeElemShell = 2 };
// Triangular shapes are tetrahedra for solids and triangles for shells.
enum CaeElemShape : int { CaeShapeTri = 0, CaeShapeQuad = 1 };
enum CaeElemOrder : int { CaeElemLinear = 1, CaeElemQuadratic = 2 };
enum CaeEdgeShape : int { CaeEdgeStraight = 0, CaeEdgeCurved = 1 };

class CaeNode {
 public:
  CaeNode(const CaeVector& coordinate, long id) : coordinate_(coordinate), id_(id), serial_(NextSerial()) {}
  long Id() const { return id_; }
  // Never the same for two nodes of one run, so a holder of a node's address can tell that node
  // from a later one the allocator placed at the same address.
  std::uint64_t Serial() const { return serial_; }
  void Id(long id) { id_ = id; }
  const CaeVector& Coordinate() const { return coordinate_; }
  void Coordinate(const CaeVector& coordinate) { coordinate_ = coordinate; }
  CaeTopoType Location() const { return location_; }
  void Location(CaeTopoType location) { location_ = location; }
  CaeStamp& Stamp() { return stamp_; }
  // Orders nodes by id (for CaeTable).
  static int CompareId(const CaeNode* a, const CaeNode* b);

 private:
  CaeVector coordinate_;
  long id_;
  CaeTopoType location_ = 4;
  CaeStamp stamp_;
  std::uint64_t serial_;

  static std::uint64_t NextSerial();
};

// An element: its nodes (not owned), type, shape, order and id.
class CaeElem {
 public:
  static constexpr int kMaxNodes = 16;
  // Null when the elements are not supported (only triangular shapes are) or the node count does
  // not fit the type and order (tetrahedra: 4 linear, 10 quadratic; shell triangles: 3 and 6).
  static CaeElem* Create(CaeNode* const* nodes, int count, CaeElemType type, CaeElemShape shape, CaeElemOrder order,
                         long id);
  virtual ~CaeElem() = default;

  long Id() const { return id_; }
  CaeElemType Type() const { return type_; }
  CaeElemShape Shape() const { return shape_; }
  CaeElemOrder Order() const { return order_; }
  int NumNodes() const { return static_cast<int>(nodes_.size()); }
  CaeNode* Node(int i) const { return nodes_[i]; }
  // Faces of a tetrahedron: 4, with 3 (linear) or 6 (quadratic) nodes each; a triangle has one.
  int NumFaces() const;
  int NumFaceNodes() const;
  CaeNode* FaceNode(int face, int k) const;
  // The p-element nodes and elements attached to this element (not owned).
  const std::vector<CaeNode*>& PNodes() const { return pNodes_; }
  const std::vector<CaeElem*>& PElems() const { return pElems_; }
  void AddPElem(CaeElem* element) { pElems_.push_back(element); }
  void AddPNode(CaeNode* node) { pNodes_.push_back(node); }

 private:
  CaeElem(CaeNode* const* nodes, int count, CaeElemType type, CaeElemShape shape, CaeElemOrder order, long id);
  std::vector<CaeNode*> nodes_;
  CaeElemType type_;
  CaeElemShape shape_;
  CaeElemOrder order_;
  long id_;
  std::vector<CaeNode*> pNodes_;
  std::vector<CaeElem*> pElems_;
};

// One face of an element (the exterior faces of a mesh are listed as these).
class CaeElemRef {
 public:
  CaeElemRef(CaeElem* element, int face) : element_(element), face_(face) {}
  virtual ~CaeElemRef() = default;
  CaeElem* Element() const { return element_; }
  int Face() const { return face_; }
  int NumNodes() const { return element_->NumFaceNodes(); }
  CaeNode* Node(int k) const { return element_->FaceNode(face_, k); }

 private:
  CaeElem* element_;
  int face_;
};

// Element properties: values by number. 1 shell thickness (double), 7 p start order (int),
// 8 p maximum order (int), 9 p error tolerance (double).
class CaeElemProp {
 public:
  enum : int { kThickness = 1, kPStartOrder = 7, kPMaxOrder = 8, kPTolerance = 9 };
  CaeElemProp() = default;
  // Unknown property numbers change nothing and answer 0; known ones answer 1.
  int SetPropValue(int number, double value);
  int SetPropValue(int number, int value) { return SetPropValue(number, static_cast<double>(value)); }
  double GetPropValue(int number) const;

 private:
  double thickness_ = 0.0;
  int pStartOrder_ = 2;
  int pMaxOrder_ = 2;
  double pTolerance_ = 0.0;
};

// An element descriptor: what kind of element a mesh holds.
struct AnlElemDesc {
  CaeElemOrder order;
  CaeElemShape shape;
  CaeElemType type;
  int pElement;  // nonzero: p-element
};

// The engine's element descriptors.
class AnlElemDescTable {
 public:
  // The descriptor of an order, shape, type and p flag; null when there is none.
  const AnlElemDesc* Find(int order, int shape, int type, int pElement) const;
  // The same with solid elements.
  const AnlElemDesc* Find(int order, int shape, int pElement) const {
    return Find(order, shape, CaeElemSolid, pElement);
  }
};
