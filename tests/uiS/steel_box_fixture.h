// A steel box part (2 x 1 x 1) for submission tests: its simulation model, with a sub-model of
// the box, a mesh of size 0.5, a restraint on face 1 and a downward force of 100 on face 2.
#pragma once

#include <memory>
#include <vector>

#include "ShapeRefs.h"
#include "fea/AnlTypes.h"

class AmgMesh;
class AnlControl;
class AnlModel;
class AttBaseLbc;
class AttLbcCase;
class AttLbcDescriptTable;
class CaeMaterial;

namespace uistest {

// Steel at room temperature, as the material library has it; the caller owns it.
CaeMaterial* NewSteel();

class SteelBox {
 public:
  SteelBox();
  ~SteelBox();
  // The box's model "Beam", made current; meshed (quadratic elements) unless `meshed` is false.
  // The conditions go to `fixed` and `loads`.
  AnlModel* Model(AnlControl& control, const AttLbcDescriptTable& descriptors, AnlType type, AttLbcCase* fixed,
                  AttLbcCase* loads, bool meshed = true);
  AmgMesh* Mesh() const { return mesh_; }
  // Drops the conditions (before the sets that hold them go).
  void Clear();

 private:
  std::unique_ptr<study::ShapeBody> body_;
  std::vector<std::unique_ptr<AttBaseLbc>> conditions_;
  AmgMesh* mesh_ = nullptr;
};

}  // namespace uistest
