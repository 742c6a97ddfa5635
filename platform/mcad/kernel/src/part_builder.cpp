#include "part_builder.h"

#include <BRepAdaptor_Surface.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakeVertex.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <BRepCheck_Analyzer.hxx>
#include <BRepClass_FaceClassifier.hxx>
#include <BRepFilletAPI_MakeFillet.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <BRepPrim_Cylinder.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <ElSLib.hxx>
#include <GC_MakeArcOfCircle.hxx>
#include <GeomAPI_ProjectPointOnSurf.hxx>
#include <Precision.hxx>
#include <Standard_Failure.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <gp_Ax2.hxx>

#include <cmath>

#include "mcadkernel/error.h"

namespace mcadkernel {

namespace {

// A solid feature's tool shape with its faces named by role.
struct Tool {
  TopoDS_Shape shape;
  FaceNameMap names;
};

[[noreturn]] void fail(const Feature& feature, const std::string& what) {
  throw FeatureError(feature.name, feature.name + ": " + what);
}

class Evaluator {
 public:
  Evaluator(const ParameterSet& parameters, const Feature& feature) : parameters_(parameters), feature_(feature) {}

  double operator()(const Expression& e) const {
    try {
      return parameters_.evaluate(e);
    } catch (const KernelError& error) {
      fail(feature_, error.what());
    }
  }
  gp_Pnt point(const std::array<Expression, 3>& e) const { return gp_Pnt((*this)(e[0]), (*this)(e[1]), (*this)(e[2])); }
  gp_Vec vector(const std::array<Expression, 3>& e) const {
    return gp_Vec((*this)(e[0]), (*this)(e[1]), (*this)(e[2]));
  }
  double positive(const Expression& e, const char* what) const {
    double value = (*this)(e);
    if (!(value > Precision::Confusion()))
      fail(feature_, std::string(what) + " must be positive (it is " + formatNumber(value) + ")");
    return value;
  }
  gp_Dir direction(const std::array<Expression, 3>& e, const char* what) const {
    gp_Vec v = vector(e);
    if (v.Magnitude() <= Precision::Confusion()) fail(feature_, std::string(what) + " is a zero vector");
    return gp_Dir(v);
  }

 private:
  const ParameterSet& parameters_;
  const Feature& feature_;
};

std::string roleName(const Feature& feature, const std::string& role) { return feature.name + "/" + role; }

Tool makeBox(const Feature& feature, const BoxFeature& box, const Evaluator& eval) {
  gp_Pnt corner = eval.point(box.corner);
  BRepPrimAPI_MakeBox maker(corner, eval.positive(box.size[0], "the size along x"),
                            eval.positive(box.size[1], "the size along y"),
                            eval.positive(box.size[2], "the size along z"));
  Tool tool{maker.Shape(), {}};
  static const char* const kRoles[3][2] = {{"left", "right"}, {"front", "back"}, {"bottom", "top"}};
  for (TopExp_Explorer it(tool.shape, TopAbs_FACE); it.More(); it.Next()) {
    const TopoDS_Face& face = TopoDS::Face(it.Current());
    gp_Dir normal = BRepAdaptor_Surface(face).Plane().Axis().Direction();
    if (face.Orientation() == TopAbs_REVERSED) normal.Reverse();
    for (int axis = 0; axis < 3; ++axis)
      if (std::fabs(normal.Coord(axis + 1)) > 0.5)
        tool.names.Bind(face, roleName(feature, kRoles[axis][normal.Coord(axis + 1) > 0 ? 1 : 0]));
  }
  return tool;
}

// A cylinder with its lateral, bottom and top faces named.
Tool makeCylinder(const Feature& feature, const gp_Ax2& axes, double radius, double height, const char* bottomRole,
                  const char* topRole) {
  BRepPrimAPI_MakeCylinder maker(axes, radius, height);
  Tool tool{maker.Shape(), {}};
  BRepPrim_Cylinder& cylinder = maker.Cylinder();
  tool.names.Bind(cylinder.LateralFace(), roleName(feature, "side"));
  tool.names.Bind(cylinder.BottomFace(), roleName(feature, bottomRole));
  tool.names.Bind(cylinder.TopFace(), roleName(feature, topRole));
  return tool;
}

Tool makeCylinderFeature(const Feature& feature, const CylinderFeature& cylinder, const Evaluator& eval) {
  gp_Ax2 axes(eval.point(cylinder.base), eval.direction(cylinder.axis, "the axis"));
  return makeCylinder(feature, axes, eval.positive(cylinder.radius, "the radius"),
                      eval.positive(cylinder.height, "the height"), "bottom", "top");
}

gp_Pnt profilePoint(ProfilePlane plane, double offset, double u, double v) {
  switch (plane) {
    case ProfilePlane::XY: return gp_Pnt(u, v, offset);
    case ProfilePlane::YZ: return gp_Pnt(offset, u, v);
    default: return gp_Pnt(v, offset, u);
  }
}

gp_Dir profileNormal(ProfilePlane plane) {
  switch (plane) {
    case ProfilePlane::XY: return gp_Dir(0, 0, 1);
    case ProfilePlane::YZ: return gp_Dir(1, 0, 0);
    default: return gp_Dir(0, 1, 0);
  }
}

Tool makeExtrusion(const Feature& feature, const ExtrudeFeature& extrude, const Evaluator& eval) {
  if (extrude.segments.empty()) fail(feature, "the profile has no segments");
  double offset = eval(extrude.offset);
  double height = eval(extrude.height);
  if (std::fabs(height) <= Precision::Confusion()) fail(feature, "the height must not be zero");
  auto at = [&](const std::array<Expression, 2>& uv) {
    return profilePoint(extrude.plane, offset, eval(uv[0]), eval(uv[1]));
  };
  gp_Pnt start = at(extrude.start);
  TopoDS_Vertex first = BRepBuilderAPI_MakeVertex(start);
  TopoDS_Vertex previous = first;
  gp_Pnt previousPoint = start;
  BRepBuilderAPI_MakeWire wire;
  std::vector<TopoDS_Edge> edges;
  for (size_t k = 0; k < extrude.segments.size(); ++k) {
    const ProfileSegment& segment = extrude.segments[k];
    gp_Pnt end = at(segment.end);
    bool last = k + 1 == extrude.segments.size();
    if (last && end.Distance(start) > Precision::Confusion())
      fail(feature, "the profile is not closed: its last segment does not end at its start");
    if (end.Distance(previousPoint) <= Precision::Confusion())
      fail(feature, "segment " + std::to_string(k + 1) + " of the profile has no length");
    TopoDS_Vertex next = last ? first : TopoDS_Vertex(BRepBuilderAPI_MakeVertex(end));
    TopoDS_Edge edge;
    if (segment.kind == ProfileSegment::Kind::Line) {
      edge = BRepBuilderAPI_MakeEdge(previous, next);
    } else {
      GC_MakeArcOfCircle arc(previousPoint, at(segment.through), end);
      if (!arc.IsDone()) fail(feature, "arc " + std::to_string(k + 1) + " of the profile is a straight line");
      BRepBuilderAPI_MakeEdge maker(arc.Value(), previous, next);
      if (!maker.IsDone()) fail(feature, "arc " + std::to_string(k + 1) + " of the profile cannot be built");
      edge = maker.Edge();
    }
    wire.Add(edge);
    if (!wire.IsDone()) fail(feature, "segment " + std::to_string(k + 1) + " does not join the profile");
    edges.push_back(wire.Edge());
    previous = next;
    previousPoint = end;
  }
  BRepBuilderAPI_MakeFace face(wire.Wire(), true);
  if (!face.IsDone() || !BRepCheck_Analyzer(face.Face()).IsValid())
    fail(feature, "the profile is not a simple closed outline in its plane");
  BRepPrimAPI_MakePrism prism(face.Face(), gp_Vec(profileNormal(extrude.plane)) * height);
  Tool tool{prism.Shape(), {}};
  tool.names.Bind(prism.FirstShape(), roleName(feature, "bottom"));
  tool.names.Bind(prism.LastShape(), roleName(feature, "top"));
  for (size_t k = 0; k < edges.size(); ++k)
    for (const TopoDS_Shape& side : prism.Generated(edges[k]))
      if (side.ShapeType() == TopAbs_FACE) tool.names.Bind(side, roleName(feature, "side" + std::to_string(k + 1)));
  return tool;
}

double diagonalOf(const TopoDS_Shape& shape) {
  Bnd_Box box;
  BRepBndLib::Add(shape, box);
  return box.IsVoid() ? 0.0 : std::sqrt(box.SquareExtent());
}

// The face of solid that the point lies on, or a null face.
TopoDS_Face faceAt(const TopoDS_Shape& solid, const gp_Pnt& point, double tolerance) {
  for (TopExp_Explorer it(solid, TopAbs_FACE); it.More(); it.Next()) {
    const TopoDS_Face& face = TopoDS::Face(it.Current());
    Bnd_Box box;
    BRepBndLib::Add(face, box);
    box.Enlarge(tolerance);
    if (box.IsOut(point)) continue;
    GeomAPI_ProjectPointOnSurf projection(point, BRep_Tool::Surface(face));
    if (projection.NbPoints() == 0 || projection.LowerDistance() > tolerance) continue;
    double u = 0, v = 0;
    projection.LowerDistanceParameters(u, v);
    TopAbs_State state = BRepClass_FaceClassifier(face, gp_Pnt2d(u, v), tolerance).State();
    if (state == TopAbs_IN || state == TopAbs_ON) return face;
  }
  return TopoDS_Face();
}

// The point's parameters on the face's surface: exact and cheap on a plane, a projection elsewhere.
gp_Pnt2d parametersOn(const TopoDS_Face& face, const gp_Pnt& point) {
  BRepAdaptor_Surface surface(face, false);
  double u = 0, v = 0;
  if (surface.GetType() == GeomAbs_Plane) {
    ElSLib::Parameters(surface.Plane(), point, u, v);
  } else {
    GeomAPI_ProjectPointOnSurf projection(point, BRep_Tool::Surface(face));
    if (projection.NbPoints() > 0) projection.LowerDistanceParameters(u, v);
  }
  return gp_Pnt2d(u, v);
}

// True when direction goes into the material at a point of a face of a solid (against the face's
// outward normal).
bool pointsInto(const TopoDS_Face& face, const gp_Pnt& point, const gp_Dir& direction) {
  gp_Pnt2d uv = parametersOn(face, point);
  gp_Pnt onSurface;
  gp_Vec du, dv;
  BRepAdaptor_Surface(face, false).D1(uv.X(), uv.Y(), onSurface, du, dv);
  gp_Vec normal = du.Crossed(dv);
  if (normal.Magnitude() <= Precision::Confusion()) return true;  // degenerate point: leave it to the cut
  if (face.Orientation() == TopAbs_REVERSED) normal.Reverse();
  return normal.Dot(gp_Vec(direction)) < -1e-9 * normal.Magnitude();
}

bool circleInsideFace(const TopoDS_Face& face, const gp_Ax2& mouth, double radius, double tolerance) {
  constexpr int kSamples = 24;
  for (int i = 0; i < kSamples; ++i) {
    double angle = 2 * M_PI * i / kSamples;
    gp_Pnt p = mouth.Location().Translated(gp_Vec(mouth.XDirection()) * (radius * std::cos(angle)) +
                                           gp_Vec(mouth.YDirection()) * (radius * std::sin(angle)));
    if (BRepClass_FaceClassifier(face, parametersOn(face, p), tolerance).State() != TopAbs_IN) return false;
  }
  return true;
}

// The cutting cylinder of a hole; it starts a little outside the face so that it never shares the
// face's surface.
Tool makeHoleTool(const Feature& feature, const HoleFeature& hole, const Evaluator& eval, const TopoDS_Shape& solid) {
  gp_Pnt at = eval.point(hole.at);
  gp_Dir direction = eval.direction(hole.direction, "the direction");
  double diameter = eval.positive(hole.diameter, "the diameter");
  double size = diagonalOf(solid);
  double tolerance = 1e-6 * size + Precision::Confusion();
  double depth = hole.depth ? eval.positive(*hole.depth, "the depth") : 2 * size;
  TopoDS_Face face = faceAt(solid, at, tolerance);
  if (face.IsNull())
    fail(feature, "the point (" + formatNumber(at.X()) + ", " + formatNumber(at.Y()) + ", " + formatNumber(at.Z()) +
                      ") is not on a face of the part");
  if (!pointsInto(face, at, direction)) fail(feature, "the direction does not point into the part");
  if (!circleInsideFace(face, gp_Ax2(at, direction), diameter / 2, tolerance))
    fail(feature, "the hole (diameter " + formatNumber(diameter) + ") does not fit inside its face");
  double backOff = 0.01 * size + diameter;
  gp_Ax2 axes(at.Translated(gp_Vec(direction) * -backOff), direction);
  return makeCylinder(feature, axes, diameter / 2, backOff + depth, "mouth", "bottom");
}

// The one solid of a boolean result, or a clear refusal.
TopoDS_Shape singleSolid(const TopoDS_Shape& result, const std::string& who, const std::string& featureName,
                         Operation operation) {
  std::vector<TopoDS_Shape> solids;
  for (TopExp_Explorer it(result, TopAbs_SOLID); it.More(); it.Next()) solids.push_back(it.Current());
  if (solids.empty()) throw FeatureError(featureName, who + ": leaves no solid");
  if (solids.size() > 1) {
    std::string count = std::to_string(solids.size()) + " separate solids";
    throw FeatureError(featureName, who + (operation == Operation::Union ? ": does not touch the part (" + count + ")"
                                                                         : ": splits the part into " + count));
  }
  return solids.front();
}

using NamedFaces = std::vector<std::pair<TopoDS_Shape, std::string>>;

// The named faces of a shape in the shape's own (deterministic) order.
void appendNamedFaces(NamedFaces& out, const TopoDS_Shape& shape, const FaceNameMap& names) {
  TopTools_IndexedMapOfShape faces;
  TopExp::MapShapes(shape, TopAbs_FACE, faces);
  for (int i = 1; i <= faces.Extent(); ++i)
    if (const std::string* name = names.Seek(faces(i))) out.emplace_back(faces(i), *name);
}

// Carries face names from the inputs of an operation to its result, using the operation's history:
// a deleted face drops out, a modified face passes its name to every face it became, and a face the
// operation kept is still in the result under the same name. When two input faces become one (a union
// of touching solids), the earlier input's name wins.
FaceNameMap carryNames(const NamedFaces& before, BRepBuilderAPI_MakeShape& operation, const TopoDS_Shape& result) {
  TopTools_IndexedMapOfShape resultFaces;
  TopExp::MapShapes(result, TopAbs_FACE, resultFaces);
  FaceNameMap after;
  for (const auto& [face, name] : before) {
    if (operation.IsDeleted(face)) continue;
    const TopTools_ListOfShape& modified = operation.Modified(face);
    if (modified.IsEmpty()) {
      if (resultFaces.Contains(face) && !after.IsBound(face)) after.Bind(face, name);
      continue;
    }
    for (const TopoDS_Shape& image : modified)
      if (image.ShapeType() == TopAbs_FACE && resultFaces.Contains(image) && !after.IsBound(image))
        after.Bind(image, name);
  }
  return after;
}

struct Body {
  TopoDS_Shape solid;
  FaceNameMap names;
};

void applyBoolean(Body& body, std::vector<Tool>& tools, Operation operation, const std::string& who,
                  const std::string& featureName) {
  TopTools_ListOfShape arguments, toolShapes;
  arguments.Append(body.solid);
  NamedFaces before;
  appendNamedFaces(before, body.solid, body.names);
  for (Tool& tool : tools) {
    toolShapes.Append(tool.shape);
    appendNamedFaces(before, tool.shape, tool.names);
  }
  std::unique_ptr<BRepAlgoAPI_BooleanOperation> op;
  if (operation == Operation::Union)
    op = std::make_unique<BRepAlgoAPI_Fuse>();
  else
    op = std::make_unique<BRepAlgoAPI_Cut>();
  op->SetArguments(arguments);
  op->SetTools(toolShapes);
  op->SetRunParallel(false);
  op->Build();
  if (!op->IsDone() || op->HasErrors()) throw FeatureError(featureName, who + ": the boolean operation failed");
  TopoDS_Shape solid = singleSolid(op->Shape(), who, featureName, operation);
  body.names = carryNames(before, *op, solid);
  body.solid = solid;
}

void applyFillet(Body& body, const Feature& feature, const FilletFeature& fillet, const Evaluator& eval) {
  double radius = eval.positive(fillet.radius, "the radius");
  if (fillet.edges.empty()) fail(feature, "no edges to round");
  TopologyNames current(body.solid, body.names, feature.name);
  BRepFilletAPI_MakeFillet maker(body.solid);
  std::vector<TopoDS_Shape> edges;
  for (const std::string& name : fillet.edges) {
    TopoDS_Shape edge = current.resolve(name);
    if (edge.IsNull() || edge.ShapeType() != TopAbs_EDGE) fail(feature, "no edge " + name + " on the part");
    maker.Add(radius, TopoDS::Edge(edge));
    edges.push_back(edge);
  }
  try {
    maker.Build();
  } catch (const Standard_Failure&) {}
  if (!maker.IsDone()) fail(feature, "the edges cannot be rounded with radius " + formatNumber(radius));
  TopoDS_Shape solid = singleSolid(maker.Shape(), feature.name, feature.name, Operation::Cut);
  NamedFaces before;
  appendNamedFaces(before, body.solid, body.names);
  FaceNameMap names = carryNames(before, maker, solid);
  for (size_t k = 0; k < edges.size(); ++k)
    for (const TopoDS_Shape& face : maker.Generated(edges[k]))
      if (face.ShapeType() == TopAbs_FACE && !names.IsBound(face))
        names.Bind(face, roleName(feature, "round" + std::to_string(k + 1)));
  TopTools_IndexedMapOfShape vertices;
  TopExp::MapShapes(body.solid, TopAbs_VERTEX, vertices);
  for (int i = 1; i <= vertices.Extent(); ++i)
    for (const TopoDS_Shape& face : maker.Generated(vertices(i)))
      if (face.ShapeType() == TopAbs_FACE && !names.IsBound(face)) names.Bind(face, roleName(feature, "corner"));
  body.solid = solid;
  body.names = std::move(names);
}

bool isSolidFeature(const Feature& feature) {
  return std::holds_alternative<BoxFeature>(feature.shape) || std::holds_alternative<CylinderFeature>(feature.shape) ||
         std::holds_alternative<ExtrudeFeature>(feature.shape);
}

Tool makeSolidTool(const Feature& feature, const Evaluator& eval) {
  if (auto* box = std::get_if<BoxFeature>(&feature.shape)) return makeBox(feature, *box, eval);
  if (auto* cylinder = std::get_if<CylinderFeature>(&feature.shape))
    return makeCylinderFeature(feature, *cylinder, eval);
  return makeExtrusion(feature, std::get<ExtrudeFeature>(feature.shape), eval);
}

std::string holeGroupName(const std::vector<const Feature*>& holes) {
  if (holes.size() == 1) return holes.front()->name;
  return "holes " + holes.front()->name + " to " + holes.back()->name;
}

// Consecutive holes are cut in one boolean operation: far cheaper than one operation per hole on a
// part with many holes. Each hole is checked against the solid as it was before the group; a hole that
// starts on a face made by an earlier hole of the group ends the group there.
size_t applyHoles(Body& body, const std::vector<Feature>& features, size_t first, const ParameterSet& parameters) {
  std::vector<Tool> tools;
  std::vector<const Feature*> holes;
  size_t k = first;
  for (; k < features.size(); ++k) {
    const auto* hole = std::get_if<HoleFeature>(&features[k].shape);
    if (!hole) break;
    Evaluator eval(parameters, features[k]);
    try {
      tools.push_back(makeHoleTool(features[k], *hole, eval, body.solid));
    } catch (const KernelError&) {
      if (holes.empty()) throw;
      break;  // checked again against the solid with the group cut
    }
    holes.push_back(&features[k]);
  }
  applyBoolean(body, tools, Operation::Cut, holeGroupName(holes), holes.front()->name);
  return k;
}

}  // namespace

BuiltSolid buildSolid(const std::vector<Feature>& features, const ParameterSet& parameters) {
  Body body;
  size_t k = 0;
  try {
    while (k < features.size()) {
      const Feature& feature = features[k];
      Evaluator eval(parameters, feature);
      if (body.solid.IsNull()) {
        if (!isSolidFeature(feature) || feature.operation != Operation::Union)
          fail(feature, "the first feature of a part must add a box, a cylinder or an extrusion");
        Tool tool = makeSolidTool(feature, eval);
        body.solid = tool.shape;
        body.names = tool.names;
        ++k;
      } else if (isSolidFeature(feature)) {
        std::vector<Tool> tools{makeSolidTool(feature, eval)};
        applyBoolean(body, tools, feature.operation, feature.name, feature.name);
        ++k;
      } else if (std::holds_alternative<HoleFeature>(feature.shape)) {
        k = applyHoles(body, features, k, parameters);
      } else {
        applyFillet(body, feature, std::get<FilletFeature>(feature.shape), eval);
        ++k;
      }
    }
  } catch (const Standard_Failure& failure) {
    std::string name = k < features.size() ? features[k].name : std::string("part");
    throw FeatureError(name, name + ": the geometry cannot be built (" + failure.GetMessageString() + ")");
  }
  BuiltSolid built;
  built.solid = body.solid;
  built.names = std::make_shared<const TopologyNames>(body.solid, body.names, "part");
  return built;
}

}  // namespace mcadkernel
