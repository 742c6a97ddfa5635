#include "mcadkernel/massprops.h"

#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>

namespace mcadkernel {

MassProperties massPropertiesOf(const TopoDS_Shape& shape) {
  MassProperties result;
  if (shape.IsNull()) return result;
  GProp_GProps props;
  BRepGProp::VolumeProperties(shape, props);
  result.volume = props.Mass();
  gp_Pnt centre = props.CentreOfMass();
  result.centre = {centre.X(), centre.Y(), centre.Z()};
  // OpenCASCADE gives the matrix about the centre of mass, products already negated.
  gp_Mat matrix = props.MatrixOfInertia();
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) result.inertia[row][col] = matrix(row + 1, col + 1);
  return result;
}

}  // namespace mcadkernel
