// "CAEP_OPT_MODEL" and "CAEP_OPT_MODEL_TOPO", and the Explorer's model actions: the "Optimization
// Model" sheet over a working list of models, committed after OK.
#include <memory>

#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/OptModel.h"
#include "gui/dialogs/analysis/UICheckModelPP.h"
#include "gui/dialogs/optimization/UIOptCommands.h"
#include "gui/dialogs/optimization/UIOptModelPP.h"
#include "gui/dialogs/units/UIGenericPS.h"

namespace {

constexpr int kTabIconSize = 16;

// The sheet goes first (it is declared last): it tells its pages it is gone.
struct ModelSheet {
  COptModelPP model;
  CCheckModelPP check;
  CGenericPS sheet{IDS_OPT_MODEL_SHEET};
};

OptModel* ReferenceModel(AnlControl& control, OptModel* given) {
  if (given) return given;
  if (OptModel* current = control.CurrentOptModel()) return current;
  for (OptModel* model = control.FirstOptModel(); model; model = control.NextOptModel())
    if (!model->IsMarkedAsErased()) return model;
  return nullptr;
}

AnlModel* DefaultAnlModel(AnlControl& control) {
  if (AnlModel* current = control.CurrentAnlModel()) return current;
  for (AnlModel* model = control.FirstAnlModel(); model; model = control.NextAnlModel())
    if (!model->IsMarkedAsErased()) return model;
  return nullptr;
}

std::unique_ptr<OptModelEntry> EntryOf(OptModel& model) {
  auto entry = std::make_unique<OptModelEntry>();
  entry->Name(model.Name());
  entry->model = &model;
  entry->anlModel = model.AnlModel();
  entry->type = model.Type();
  return entry;
}

void FillEntries(COptModelPP& page, AnlControl& control, OptModel* reference, int kind, int mode) {
  if (mode == COptModelPP::kNewModel || (mode == COptModelPP::kAllModels && !reference)) {
    auto entry = std::make_unique<OptModelEntry>();
    entry->Name(CaeString(static_cast<const char*>(CadUniqueOptModelName())));
    entry->anlModel = page.m_pDefaultAnlModel;
    entry->type = kind == CaeOptConcept ? CaeOptConcept : CaeOptShape;
    entry->state = OptModelEntry::kNew;
    if (mode == COptModelPP::kNewModel) page.m_strName = entry->Name().Text();
    page.AppendEntry(std::move(entry));
    return;
  }
  if (mode == COptModelPP::kOneModel) {
    page.AppendEntry(EntryOf(*reference));
    page.m_strName = reference->Name().Text();
    return;
  }
  OptModelEntry* current = nullptr;
  for (OptModel* model = control.FirstOptModel(); model; model = control.NextOptModel()) {
    if (model->IsMarkedAsErased()) continue;
    OptModelEntry* entry = page.AppendEntry(EntryOf(*model));
    if (model == reference) current = entry;
  }
  page.m_pCurrent = current;
}

void CommitEntries(COptModelPP& page, AnlControl& control, int mode) {
  CadInterface& cad = *CadInterface::GetCurrent();
  for (const auto& entry : page.m_entries) {
    switch (entry->state) {
      case OptModelEntry::kRemoved:
        if (entry->model) control.DeleteOptModel(entry->model);
        break;
      case OptModelEntry::kChanged:
        if (!entry->model) break;
        cad.RenameOptModel(entry->model, entry->Name());
        entry->model->SetAnlModel(entry->anlModel);
        entry->model->Type(entry->type);
        break;
      case OptModelEntry::kNew: {
        const CaeString name =
            mode == COptModelPP::kNewModel ? CaeString(static_cast<const char*>(page.m_strName)) : entry->Name();
        OptModel* created = cad.CreateOptimizationModel(entry->type, name, entry->anlModel, 0);
        if (entry.get() == page.m_pCurrent) entry->model = created;
        break;
      }
      default: break;
    }
  }
}

void MakeCurrent(AnlControl& control, const OptModelEntry* current) {
  if (!current || !current->model) return;
  if (control.CurrentOptModel() != current->model) control.SetCurrentOptModel(current->model);
  AnlModel* linked = current->model->AnlModel();
  if (linked && control.CurrentAnlModel() != linked) control.SetCurrentAnlModel(linked);
}

}  // namespace

int UIOptEditModel(int kind, OptModel* model, int mode) {
  AnlControl* control = CadCurrentAnlControl();
  CadInterface* cad = CadInterface::GetCurrent();
  if (!control || !cad) return 0;
  OptModel* reference = ReferenceModel(*control, model);
  if (mode == COptModelPP::kOneModel && !reference) return 0;

  ModelSheet s;
  s.sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
  s.sheet.CreateTabImageList(kTabIconSize);
  s.sheet.AddTabIcon(IDI_EXP_SHAPE_MODEL);
  s.sheet.AddTabIcon(IDI_EXP_CONCEPT_MODEL);
  s.sheet.AddPage(&s.model);
  s.sheet.AddPage(&s.check);
  s.model.m_pCheckPage = &s.check;
  s.model.m_nMode = mode;
  s.model.m_nDefaultType = kind == CaeOptConcept ? CaeOptConcept : CaeOptShape;
  s.model.m_pDefaultAnlModel = DefaultAnlModel(*control);
  FillEntries(s.model, *control, reference, kind, mode);
  for (AnlModel* anl = control->FirstAnlModel(); anl; anl = control->NextAnlModel())
    if (!anl->IsMarkedAsErased()) s.model.m_anlModels.push_back(anl);

  if (s.sheet.DoModal() != IDOK) return 0;

  if (mode == COptModelPP::kOneModel) {
    cad->RenameOptModel(reference, CaeString(static_cast<const char*>(s.model.m_strName)));
    if (s.model.m_pCurrent) reference->SetAnlModel(s.model.m_pCurrent->anlModel);
  } else {
    CommitEntries(s.model, *control, mode);
  }
  MakeCurrent(*control, s.model.m_pCurrent);
  cad->RefreshAfterCommand();
  cad->FlushGraphics();
  return 1;
}
