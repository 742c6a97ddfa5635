// CaepLbcVis: the visual part every condition entity carries. It keeps the symbol scale, reads
// the condition through seven accessors that each entity implements from its engine object,
// chooses the symbol of a condition from its descriptor, orients it, and draws it on the
// condition's topology reference with the symbol library (acSymbol.h):
//   vertex  one symbol at its point;
//   edge    three symbols, at 1/6, 1/2 and 5/6 of its parameter range, all of the symbol chosen
//           at the first of them;
//   face    the symbols of each of its edges (the children of the reference);
//   body    the symbols of each of its faces, so an edge two faces share is drawn twice.
// The symbol size is the scale in drawing units.
//
// Symbols follow the display flags of the CAD interface: restraints (descriptor kind 1) show
// while the restraints flag is set, every other condition while the loads flag is set.
//
// Pressures: a positive pressure pushes on its face, into the material. Given in the axes of a
// face coordinate system, whose z axis points into the material, as (0, 0, p), it draws
// "pressurearrow" symbols that stand outside the solid with their tips on the face; a negative
// pressure pulls and draws "arrow" symbols that start at the face and point away from it.
//
// An unexpected topology kind, a condition no symbol rule covers, and a symbol missing from the
// library are consistency checks (MSG_GENERAL_ERROR, then CaeExcept); symbols drawn for earlier
// children stay drawn. Host thread only.
//
// Kept placements: where each symbol stands and how it is turned is found once and kept for the
// drawings after it, while the condition allows it (MayKeepPlacements: the entity is not open for
// write), the reference is the same, no reference anywhere changed (acTopoGeometryGeneration,
// after the checks the drawing makes of each reference, which may re-resolve the part) and the
// symbol table is the same. Every change of the condition forgets them (ForgetPlacements). The
// colour, the scale and the free components are read at every drawing.
#pragma once

#include <cstdint>
#include <vector>

#include "amg/CaeTransform.h"
#include "amg/CaeVector.h"

class AcGiWorldDraw;
class AcSymbol;
class CaeCoordSys;
class CaeTopoRef;

class CaepLbcVis {
 public:
  CaepLbcVis() = default;
  explicit CaepLbcVis(double scale) : scale_(scale) {}
  virtual ~CaepLbcVis() = default;

  double Scale() const { return scale_; }
  void SetScale(double scale) { scale_ = scale; }

  // ---- what the condition says, in this order; each entity answers from its engine object ----
  // The condition type code.
  virtual int TypeCode() const = 0;
  // The condition's coordinate system; null means global axes.
  virtual CaeCoordSys* CoordSys() const = 0;
  // The descriptor's value kind: 1 scalar, 2 vector.
  virtual int ValueKind() const = 0;
  // The value at a point in global axes.
  virtual CaeVector ValueAt(const CaeVector& point) const = 0;
  // The value at a point in the condition's own axes.
  virtual CaeVector LocalValueAt(const CaeVector& point) const = 0;
  // Copies the six free-component flags into `buffer` and returns it.
  virtual int* FreeComponents(int* buffer) const = 0;
  // The entity's colour index (16 bits used).
  virtual int ColorIndex() const = 0;

  // Draws the condition's symbols on `ref` and its children when the display flag of its kind is
  // set. Returns the reference's visibility: 0 when there is no reference, the part is hidden or
  // the flag is off, and nothing was drawn.
  int Draw(AcGiWorldDraw* draw, CaeTopoRef* ref) const;
  // Whether the display flag of this condition's kind is set (set when there is no CAD interface).
  bool SymbolsShown() const;
  // The symbol and the descriptor's per-axis flag for this condition at a point.
  void SymbolName(const AcSymbol*& symbol, int& perAxis, const CaeVector& point) const;
  // The placement of one symbol at a point.
  void SymbolTransform(const CaeVector& point, int perAxis, CaeTransform& transform) const;
  // n parameters spread evenly along an edge's range: t0 + (i + 1/2)(t1 - t0)/n.
  static void EdgeSamples(CaeTopoRef* edge, double* params, int n);

 protected:
  // Whether the placements found by a drawing may be kept for the next: the entity answers
  // false while it is open for write, as a change may be under way. Without an answer, none.
  virtual bool MayKeepPlacements() const { return false; }
  // Forgets the placements kept; the entity calls it on every change of the condition.
  void ForgetPlacements() const { kept_.valid = false; }

 private:
  // One symbol as drawn: which, the descriptor's per-axis flag, where and how it is turned.
  struct Placement {
    const AcSymbol* symbol;
    int perAxis;
    CaeVector point;
    CaeTransform transform;
  };
  // The placements of the last drawing and what they were found from.
  struct KeptPlacements {
    bool valid = false;
    const CaeTopoRef* ref = nullptr;
    std::uint64_t geometry = 0;  // acTopoGeometryGeneration
    std::uint64_t symbols = 0;   // acSymbolTableGeneration
    std::vector<Placement> placements;
  };

  // Draws the kept placements when they still hold; false when the drawing must find them again.
  bool DrawKept(AcGiWorldDraw* draw, CaeTopoRef* ref) const;
  // Runs the checks the drawing makes of each reference it evaluates (they may re-resolve the
  // part); false as soon as a reference changed since `geometry`.
  bool ReferencesUnchanged(CaeTopoRef* ref, std::uint64_t geometry) const;
  // Draws the symbols of a visible reference and of its children, noting each placement in
  // `found` when it is given.
  void DrawReference(AcGiWorldDraw* draw, CaeTopoRef* ref, std::vector<Placement>* found) const;
  void DrawAt(AcGiWorldDraw* draw, const AcSymbol& symbol, int perAxis, const CaeVector& point,
              std::vector<Placement>* found) const;
  void DrawPlacement(AcGiWorldDraw* draw, const Placement& placement, const int* free) const;

  double scale_ = 1.0;
  mutable KeptPlacements kept_;
};
