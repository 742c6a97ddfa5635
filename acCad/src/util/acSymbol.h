// The symbol library: fourteen named unit-size shapes (arrows, bow ties, a cube, a diamond, a
// pyramid, a star of lines ...) that show loads, restraints, thermal conditions, mesh controls,
// mating relations and optimisation constraints on the part, and the two routines that draw one
// with a size, a colour and a placement.
//
// Shapes are modelled along +x in unit size; drawing scales every coordinate by the size, then
// applies the placement. A record holds exactly one of:
//   a shell grid: rows x columns points, row by row, standing for (rows-1)(columns-1) quads;
//   an outline: a closed line in the z = 0 plane (no routine draws outlines);
//   a segment list: point pairs, each pair one line segment.
//
// The table is built by acSymbolInit when the module loads and freed by acSymbolTerm when it
// unloads; nothing changes it in between, so callers keep pointers to records, never copies.
// Host thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "amg/CaeList.h"
#include "amg/CaeString.h"
#include "amg/CaeTransform.h"
#include "amg/CaeVector.h"
#include "arx/adesk.h"
#include "arx/gebasic.h"

class AcGiViewportDraw;
class AcGiWorldDraw;

// The largest shape of the table: drawing keeps its working arrays on the stack at these sizes.
inline constexpr int kAcSymbolMaxPoints = 32;
inline constexpr int kAcSymbolMaxFaces = 24;

// A grid of rows x columns points and its face list (5 ints per quad: 4, then the quad's points).
struct AcSymbolGrid {
  int rows = 0;
  int columns = 0;
  std::vector<AcGePoint3d> points;
  std::vector<Adesk::Int32> faceList;
  int FaceCount() const { return (rows - 1) * (columns - 1); }
};

class AcSymbol {
 public:
  enum class Form { kShell, kOutline, kSegments };
  AcSymbol(const char* name, Form form, std::vector<AcGePoint3d> points, int rows = 0, int columns = 0);

  const CaeString& Name() const { return name_; }
  int ShellCount() const { return static_cast<int>(shells_.size()); }
  const AcSymbolGrid& Shell(int i) const { return shells_[i]; }
  int OutlineCount() const { return static_cast<int>(outlines_.size()); }
  const std::vector<AcGePoint3d>& Outline(int i) const { return outlines_[i]; }
  int SegmentListCount() const { return static_cast<int>(segmentLists_.size()); }
  const std::vector<AcGePoint3d>& SegmentList(int i) const { return segmentLists_[i]; }

  // Draws the shells, one shell primitive per grid and axis, every edge and face in `color`, then
  // the segment lists as two-point polylines in the traits colour (placement only, never per axis).
  // `point` is not used: the placement carries the position. With `perAxis` nonzero the shells are
  // drawn along the placement's x, y and z axes in turn, leaving out axis k when free-component
  // flags k and k + 3 are both set; `freeComponents` (six ints) is read only then. Outlines are
  // never drawn. Allocates nothing.
  void acDrawSymbol(Adesk::UInt16 color, double size, AcGiWorldDraw* draw, const CaeVector& point,
                    const CaeTransform& placement, int perAxis, const int* freeComponents) const;
  // Draws the shells as meshes with edge colours only, pinned to the lower right of the viewport
  // (see acViewportSymbolCorner) with the placement's directions; restores the traits' colour and
  // fill type. Segment lists and outlines are not drawn here.
  void acDrawViewportSymbol(Adesk::UInt16 color, double size, AcGiViewportDraw* draw,
                            const CaeTransform& placement) const;

 private:
  CaeString name_;
  std::vector<AcSymbolGrid> shells_;
  std::vector<std::vector<AcGePoint3d>> outlines_;
  std::vector<std::vector<AcGePoint3d>> segmentLists_;
};

// Builds the table (once; a second call changes nothing) and frees it.
void acSymbolInit();
void acSymbolTerm();
// Grows each time the table is built or freed: a record found while it stays the same is still
// the table's.
std::uint64_t acSymbolTableGeneration();

// The record called exactly `name` (case-sensitive), in table order; null when there is none or
// the table is not built.
const AcSymbol* acFindSymbolName(const char* name);

// The corner of the viewport where a model-level load's symbol of size `size` is drawn: the lower
// right, inset by the larger of `size` and acModelLoadSymbolSize plus a fiftieth of the viewport's
// smaller side, mapped back through the viewport's model-to-eye matrix. When no model-level load
// has a larger symbol, also draws the corner glyph (two axis lines with an arrow head) in colour 0.
AcGePoint3d acViewportSymbolCorner(AcGiViewportDraw* draw, const CaeTransform& placement, double size);

// The largest symbol scale among the gravity, acceleration and spin loads of the current load set
// (0 when it has none). No current load set is a consistency check.
double acModelLoadSymbolSize();

// Prepends a new copy of every name to `names`, in table order (so the list holds them in reverse
// table order); the list's owner frees the copies.
void acListSymbolNames(CaeList<CaeString>& names);
