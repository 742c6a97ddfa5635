#include "util/acSymbol.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "amg/CaeMsgCall.h"
#include "arx/gi.h"
#include "db/dbLbcVis.h"
#include "fea/AnlControl.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"

namespace {

std::vector<AcSymbol>* symbolTable = nullptr;
std::uint64_t symbolTableGeneration = 0;

// The square ring (x, r): five points around the x axis at distance r, the first repeated; a
// ring of radius 0 is its centre five times.
struct Ring {
  double x, r;
};

std::vector<AcGePoint3d> ringPoints(std::initializer_list<Ring> rings) {
  std::vector<AcGePoint3d> points;
  for (const Ring& ring : rings) {
    points.emplace_back(ring.x, ring.r, 0.0);
    points.emplace_back(ring.x, 0.0, ring.r);
    points.emplace_back(ring.x, -ring.r, 0.0);
    points.emplace_back(ring.x, 0.0, -ring.r);
    points.emplace_back(ring.x, ring.r, 0.0);
  }
  return points;
}

AcSymbol ringShell(const char* name, std::initializer_list<Ring> rings) {
  return AcSymbol(name, AcSymbol::Form::kShell, ringPoints(rings), static_cast<int>(rings.size()), 5);
}

// Points in the z = 0 plane.
std::vector<AcGePoint3d> planePoints(std::initializer_list<std::pair<double, double>> xy) {
  std::vector<AcGePoint3d> points;
  for (const auto& [x, y] : xy) points.emplace_back(x, y, 0.0);
  return points;
}

std::vector<AcGePoint3d> tubePoints() {
  const std::pair<double, double> yz[9] = {{0.15, 0},       {0.106, 0.106},  {0, 0.15},
                                           {-0.106, 0.106}, {-0.15, 0},      {-0.106, -0.106},
                                           {0, -0.15},      {0.106, -0.106}, {0.15, 0}};
  std::vector<AcGePoint3d> points;
  for (double x : {0.5, -0.5})
    for (const auto& [y, z] : yz) points.emplace_back(x, y, z);
  return points;
}

std::vector<AcGePoint3d> pyramidPoints() {
  std::vector<AcGePoint3d> points(4, AcGePoint3d(0, 0.67, 0));
  for (const AcGePoint3d& p : {AcGePoint3d(0.5, -0.33, 0.5), AcGePoint3d(0, -0.33, -0.5), AcGePoint3d(-0.5, -0.33, 0.5),
                               AcGePoint3d(0.5, -0.33, 0.5)})
    points.push_back(p);
  return points;
}

std::vector<AcGePoint3d> starPoints() {
  const double d = 0.353;
  return {{-0.5, 0, 0}, {0.5, 0, 0}, {0, -0.5, 0}, {0, 0.5, 0}, {0, 0, -0.5}, {0, 0, 0.5},  {-d, -d, d},
          {d, d, -d},   {d, -d, d},  {-d, d, -d},  {d, -d, -d}, {-d, d, d},   {-d, -d, -d}, {d, d, d}};
}

std::vector<AcSymbol> buildTable() {
  std::vector<AcSymbol> table;
  table.push_back(ringShell("arrow", {{1, 0}, {0.8, 0.1}, {0.8, 0.05}, {0, 0.05}}));
  table.push_back(ringShell("backArrow", {{0, 0}, {0.2, 0.1}, {0.2, 0.05}, {1, 0.05}}));
  table.push_back(ringShell("doubleArrow", {{0.5, 0}, {0.3, 0.2}, {0.3, 0.1}, {-0.3, 0.1}, {-0.3, 0.2}, {-0.5, 0}}));
  table.push_back(ringShell("bowtie", {{0.5, 0.25}, {0, 0}, {-0.5, 0.25}}));
  table.push_back(ringShell("thinBowtie", {{0.5, 0.1}, {0, 0}, {-0.5, 0.1}}));
  table.push_back(ringShell("cube", {{0.5, 0}, {0.5, 0.5}, {-0.5, 0.5}, {-0.5, 0}}));
  table.emplace_back("tube", AcSymbol::Form::kShell, tubePoints(), 2, 9);
  table.push_back(ringShell("diamond", {{0.5, 0}, {0, 0.5}, {-0.5, 0}}));
  table.emplace_back("pyramid", AcSymbol::Form::kShell, pyramidPoints(), 2, 4);
  table.emplace_back("scalarSym", AcSymbol::Form::kSegments, starPoints());
  table.emplace_back("thinBowtie2d", AcSymbol::Form::kOutline,
                     planePoints({{0.5, 0.1}, {0, 0}, {-0.5, 0.1}, {-0.5, -0.1}, {0, 0}, {0.5, -0.1}, {0.5, 0.1}}));
  table.emplace_back(
      "arrow2d", AcSymbol::Form::kOutline,
      planePoints({{1, 0}, {0.8, 0.1}, {0.8, 0.05}, {0, 0.05}, {0, -0.05}, {0.8, -0.05}, {0.8, -0.1}, {1, 0}}));
  table.push_back(ringShell("pressurearrow", {{0, 0}, {-0.2, 0.1}, {-0.2, 0.05}, {-1, 0.05}}));
  table.push_back(ringShell("momentarrow", {{1, 0}, {0.8, 0.1}, {0.8, 0}, {0.6, 0.1}, {0.6, 0.05}, {0, 0.05}}));
  return table;
}

// Face (i, j) joins points i*nv+j+1, i*nv+j, (i+1)*nv+j and (i+1)*nv+j+1.
std::vector<Adesk::Int32> gridFaceList(int rows, int columns) {
  std::vector<Adesk::Int32> faces;
  for (int i = 0; i + 1 < rows; ++i)
    for (int j = 0; j + 1 < columns; ++j) {
      const int at = i * columns + j;
      faces.insert(faces.end(), {4, at + 1, at, at + columns, at + columns + 1});
    }
  return faces;
}

AcGePoint3d placed(const CaeTransform& placement, double size, const AcGePoint3d& p) {
  const CaeVector world = placement.TransformPoint(CaeVector(p.x * size, p.y * size, p.z * size));
  return {world[0], world[1], world[2]};
}

// The placement with its axes turned so that a shape along +x lies along the placement's axis k.
CaeTransform axisPlacement(const CaeTransform& placement, int k) {
  CaeTransform turned(placement);
  for (int i = 0; i < 3; ++i) turned.SetUnitVector(i, placement.UnitVector((i + k) % 3));
  return turned;
}

// Colour arrays for the largest shape, every entry the symbol's colour.
struct SymbolColors {
  std::array<short, 4 * kAcSymbolMaxFaces> edges;
  std::array<short, kAcSymbolMaxFaces> faces;
  explicit SymbolColors(Adesk::UInt16 color) {
    edges.fill(static_cast<short>(color));
    faces.fill(static_cast<short>(color));
  }
};

}  // namespace

AcSymbol::AcSymbol(const char* name, Form form, std::vector<AcGePoint3d> points, int rows, int columns) : name_(name) {
  switch (form) {
    case Form::kShell: {
      CAE_CHECK(rows >= 2 && columns >= 2 && static_cast<std::size_t>(rows) * columns == points.size());
      CAE_CHECK(static_cast<int>(points.size()) <= kAcSymbolMaxPoints);
      AcSymbolGrid grid{rows, columns, std::move(points), gridFaceList(rows, columns)};
      CAE_CHECK(grid.FaceCount() <= kAcSymbolMaxFaces);
      shells_.push_back(std::move(grid));
      break;
    }
    case Form::kOutline: outlines_.push_back(std::move(points)); break;
    case Form::kSegments:
      CAE_CHECK(points.size() % 2 == 0);
      segmentLists_.push_back(std::move(points));
      break;
  }
}

void AcSymbol::acDrawSymbol(Adesk::UInt16 color, double size, AcGiWorldDraw* draw, const CaeVector& /*point*/,
                            const CaeTransform& placement, int perAxis, const int* freeComponents) const {
  const int axes = perAxis ? 3 : 1;
  CaeTransform placements[3] = {placement, placement, placement};
  for (int k = 1; k < axes; ++k) placements[k] = axisPlacement(placement, k);

  const SymbolColors colors(color);
  AcGiEdgeData edgeData;
  edgeData.setColors(colors.edges.data());
  AcGiFaceData faceData;
  faceData.setColors(colors.faces.data());

  std::array<AcGePoint3d, kAcSymbolMaxPoints> points;
  for (const AcSymbolGrid& grid : shells_) {
    for (int k = 0; k < axes; ++k) {
      if (perAxis && freeComponents && freeComponents[k] && freeComponents[k + 3]) continue;
      const std::size_t n = grid.points.size();
      for (std::size_t i = 0; i < n; ++i) points[i] = placed(placements[k], size, grid.points[i]);
      draw->geometry().shell(static_cast<Adesk::UInt32>(n), points.data(),
                             static_cast<Adesk::UInt32>(grid.faceList.size()), grid.faceList.data(), &edgeData,
                             &faceData, nullptr);
    }
  }
  for (const std::vector<AcGePoint3d>& segments : segmentLists_) {
    for (std::size_t i = 0; i + 1 < segments.size(); i += 2) {
      const AcGePoint3d ends[2] = {placed(placement, size, segments[i]), placed(placement, size, segments[i + 1])};
      draw->geometry().polyline(2, ends, nullptr, -1);
    }
  }
}

void AcSymbol::acDrawViewportSymbol(Adesk::UInt16 color, double size, AcGiViewportDraw* draw,
                                    const CaeTransform& placement) const {
  AcGiSubEntityTraits& traits = draw->subEntityTraits();
  const Adesk::UInt16 previousColor = traits.color();
  const AcGi::FillType previousFill = traits.fillType();
  // Puts the traits back on every way out, an engine exception included.
  struct TraitsGuard {
    AcGiSubEntityTraits& traits;
    Adesk::UInt16 color;
    AcGi::FillType fill;
    ~TraitsGuard() {
      traits.setColor(color);
      traits.setFillType(fill);
    }
  } guard{traits, previousColor, previousFill};

  const AcGePoint3d corner = acViewportSymbolCorner(draw, placement, size);
  CaeTransform pinned(placement);
  for (int i = 0; i < 3; ++i) {
    CaeVector axis = placement.UnitVector(i);
    axis.Normalize();
    pinned.SetUnitVector(i, axis);
  }
  pinned.SetTranslation(CaeVector(corner.x, corner.y, corner.z));
  traits.setColor(color);

  std::array<short, 4 * kAcSymbolMaxPoints> edgeColors;
  edgeColors.fill(static_cast<short>(color));
  AcGiEdgeData edgeData;
  edgeData.setColors(edgeColors.data());
  std::array<AcGePoint3d, kAcSymbolMaxPoints> points;
  for (const AcSymbolGrid& grid : shells_) {
    for (std::size_t i = 0; i < grid.points.size(); ++i) points[i] = placed(pinned, size, grid.points[i]);
    draw->geometry().mesh(static_cast<Adesk::UInt32>(grid.rows), static_cast<Adesk::UInt32>(grid.columns),
                          points.data(), &edgeData, nullptr, nullptr);
  }
}

AcGePoint3d acViewportSymbolCorner(AcGiViewportDraw* draw, const CaeTransform& /*placement*/, double size) {
  AcGePoint2d lower, upper;
  draw->viewport().getViewportDcCorners(lower, upper);
  const double margin = std::min(upper.x - lower.x, upper.y - lower.y) / 50.0;
  const double largest = acModelLoadSymbolSize();
  const double q = std::max(size, largest);
  AcGeMatrix3d modelToEye;
  draw->viewport().getModelToEyeTransform(modelToEye);
  const AcGePoint3d display(upper.x - q - margin, lower.y + q + margin, 0.0);
  const AcGePoint3d p = modelToEye.transpose() * display;
  if (!(largest > size)) {
    AcGiSubEntityTraits& traits = draw->subEntityTraits();
    const Adesk::UInt16 previous = traits.color();
    traits.setColor(0);
    const AcGePoint3d axes[3] = {{p.x + q, p.y, p.z}, p, {p.x, p.y + q, p.z}};
    const AcGePoint3d head[3] = {
        {p.x + 0.9 * q, p.y + 0.08 * q, p.z}, {p.x + q, p.y, p.z}, {p.x + 0.9 * q, p.y - 0.08 * q, p.z}};
    const bool failed = draw->geometry().polyline(3, axes) || draw->geometry().polyline(3, head);
    traits.setColor(previous);
    CAE_CHECK(!failed);
  }
  return p;
}

void acSymbolInit() {
  if (symbolTable) return;
  symbolTable = new std::vector<AcSymbol>(buildTable());
  ++symbolTableGeneration;
}

void acSymbolTerm() {
  delete symbolTable;
  symbolTable = nullptr;
  ++symbolTableGeneration;
}

std::uint64_t acSymbolTableGeneration() { return symbolTableGeneration; }

const AcSymbol* acFindSymbolName(const char* name) {
  if (!symbolTable || !name) return nullptr;
  for (const AcSymbol& symbol : *symbolTable)
    if (std::strcmp(symbol.Name().Text(), name) == 0) return &symbol;
  return nullptr;
}

double acModelLoadSymbolSize() {
  AnlControl* control = AnlControl::GetCurrent();
  AttLbcCase* loads = control ? control->CurrentLoadCase() : nullptr;
  CAE_CHECK(loads);
  double largest = 0.0;
  for (AttCode code : {AttCode::Gravity, AttCode::Acceleration, AttCode::Spin}) {
    AttBaseLbc* load = loads->GetModelLbc(ToAttType(code));
    // The drawing's model-level loads carry their visual part beside the engine's condition.
    const auto* visual = dynamic_cast<const CaepLbcVis*>(load);
    if (visual && visual->Scale() > largest) largest = visual->Scale();
  }
  return largest;
}

void acListSymbolNames(CaeList<CaeString>& names) {
  if (!symbolTable) return;
  for (const AcSymbol& symbol : *symbolTable) names.Prepend(new CaeString(symbol.Name()));
}
