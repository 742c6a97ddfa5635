#include "steel_box_fixture.h"

#include <gtest/gtest.h>
#include <BRepPrimAPI_MakeBox.hxx>

#include "amg/CaeMaterial.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/CaeFunc.h"

namespace uistest {

CaeMaterial* NewSteel() {
  auto* steel = new CaeMaterial(CaeString("Steel"));
  steel->AddProp(293.15, 7850, 2.1e11, 0.3, 2.5e8, 4e8, 50, 1.2e-5, 450);
  return steel;
}

SteelBox::SteelBox() : body_(std::make_unique<study::ShapeBody>(BRepPrimAPI_MakeBox(2.0, 1.0, 1.0).Shape())) {}

SteelBox::~SteelBox() { Clear(); }

void SteelBox::Clear() { conditions_.clear(); }

AnlModel* SteelBox::Model(AnlControl& control, const AttLbcDescriptTable& descriptors, AnlType type, AttLbcCase* fixed,
                          AttLbcCase* loads, bool meshed) {
  AnlModel* model = control.NewAnlModel("Beam", type);
  control.SetCurrentAnlModel(model);
  AnlSubModel* sub = model->NewSubModelForBody(body_->BodyRef());
  sub->AssignMaterial(NewSteel());
  mesh_ = model->NewMesh(body_->BodyRef());
  mesh_->SetDefaultSize(0.5);
  sub->SetMesh(mesh_);
  if (meshed) {
    EXPECT_EQ(mesh_->MeshIt(), 1);
  }
  auto condition = [&](AttCode code, int face, const CaeVector& value, AttLbcCase* set) {
    auto* function = new CaeFuncLinear;
    function->SetDefiningValuesVec(1, &value, nullptr, nullptr, nullptr);
    conditions_.push_back(std::make_unique<AttLbc>(descriptors.Find(ToAttType(code)),
                                                   body_->Ref(CaeTopoRef::kFace, face), function, nullptr, nullptr));
    set->AddLbc(conditions_.back().get());
  };
  condition(AttCode::FaceRestraint, 1, CaeVector(), fixed);
  condition(AttCode::FaceTotalForce, 2, CaeVector(0, 0, -100), loads);
  return model;
}

}  // namespace uistest
