// Geometry checks shared by the kernel's tests.
#pragma once
#include <BRepAdaptor_Surface.hxx>
#include <BRepBndLib.hxx>
#include <BRepGProp.hxx>
#include <BRep_Tool.hxx>
#include <Bnd_Box.hxx>
#include <GProp_GProps.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Shape.hxx>

#include <array>
#include <memory>
#include <string>

#include "mcadkernel/part.h"
#include "mcadkernel/partfile.h"
#include "test_env.h"

namespace kerneltest {

inline std::unique_ptr<mcadkernel::Part> partFrom(const std::string& text,
                                                  const mcadkernel::ParameterSet* globals = nullptr) {
  return mcadkernel::readPart(text, "test.part", globals);
}

inline gp_Pnt centroid(const TopoDS_Shape& shape) {
  GProp_GProps props;
  if (shape.ShapeType() == TopAbs_FACE)
    BRepGProp::SurfaceProperties(shape, props);
  else if (shape.ShapeType() == TopAbs_EDGE)
    BRepGProp::LinearProperties(shape, props);
  else
    return BRep_Tool::Pnt(TopoDS::Vertex(shape));
  return props.CentreOfMass();
}

inline double area(const TopoDS_Shape& face) {
  GProp_GProps props;
  BRepGProp::SurfaceProperties(face, props);
  return props.Mass();
}

// {xmin, ymin, zmin, xmax, ymax, zmax}
inline std::array<double, 6> bounds(const TopoDS_Shape& shape) {
  Bnd_Box box;
  BRepBndLib::Add(shape, box, false);
  std::array<double, 6> b{};
  box.Get(b[0], b[1], b[2], b[3], b[4], b[5]);
  return b;
}

inline GeomAbs_SurfaceType surfaceType(const TopoDS_Shape& face) {
  return BRepAdaptor_Surface(TopoDS::Face(face)).GetType();
}

inline double cylinderRadius(const TopoDS_Shape& face) {
  return BRepAdaptor_Surface(TopoDS::Face(face)).Cylinder().Radius();
}

// The face of the part whose centroid has the largest coordinate along axis (0 x, 1 y, 2 z).
inline std::string extremeFace(const mcadkernel::Part& part, int axis) {
  std::string best;
  double bestValue = -1e300;
  for (const std::string& name : part.faceNames()) {
    double value = centroid(part.resolve(name)).Coord(axis + 1);
    if (value > bestValue) {
      bestValue = value;
      best = name;
    }
  }
  return best;
}

}  // namespace kerneltest
