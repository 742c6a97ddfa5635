#include "explorer_fixture.h"

#include <strings.h>

#include "amg/CaeMaterial.h"
#include "amg/CaeVector.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "fea/AmgMesh.h"
#include "fea/AnlJob.h"
#include "fea/AnlModel.h"
#include "fea/AnlResltCase.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "mfc/render.h"
#include "mfc/resource_module.h"
#include "mfc/resources.h"
#include "test_env.h"

namespace uistest {
namespace {

constexpr UINT kHostTemplate = 9408;
const char* const kHostSource = R"(
DIALOG 9408 "Explorer Test Host" SIZE 300 400
  TREEVIEW 1198 "" 5 5 290 370
  DEFPUSHBUTTON 1 "OK" 240 380 50 14
END
)";

template <class First, class Next, class Create, class MakeCurrent>
int SelectOrCreate(const char* name, First first, Next next, Create create, MakeCurrent makeCurrent) {
  AnlControl* control = AnlControl::GetCurrent();
  for (auto* object = (control->*first)(); object; object = (control->*next)()) {
    if (object->IsMarkedAsErased() || strcasecmp(object->Name().Text(), name) != 0) continue;
    (control->*makeCurrent)(object);
    return 1;
  }
  (control->*makeCurrent)((control->*create)(name));
  return 0;
}

}  // namespace

// ---- the CAD ----

int ExplorerCad::SelectOrCreateModel(const char* name, int type) {
  AnlControl* control = AnlControl::GetCurrent();
  for (AnlModel* model = control->FirstAnlModel(); model; model = control->NextAnlModel()) {
    if (model->IsMarkedAsErased() || strcasecmp(model->Name().Text(), name) != 0) continue;
    if (type >= 0) model->SetType(static_cast<AnlType>(type));  // the host retypes a model it selects
    control->SetCurrentAnlModel(model);
    return 1;
  }
  control->SetCurrentAnlModel(control->NewAnlModel(name, static_cast<AnlType>(type < 0 ? 0 : type)));
  return 0;
}

int ExplorerCad::SelectOrCreateLoadCase(const char* name) {
  return SelectOrCreate(name, &AnlControl::FirstLoadCase, &AnlControl::NextLoadCase, &AnlControl::NewLoadCase,
                        &AnlControl::SetCurrentLoadCase);
}

int ExplorerCad::SelectOrCreateRestraintCase(const char* name) {
  return SelectOrCreate(name, &AnlControl::FirstRestraintCase, &AnlControl::NextRestraintCase,
                        &AnlControl::NewRestraintCase, &AnlControl::SetCurrentRestraintCase);
}

void ExplorerCad::StartTransaction() {
  ++depth;
  calls.push_back("start");
}

void ExplorerCad::EndTransaction() {
  --depth;
  calls.push_back("end");
}

void ExplorerCad::AbortTransaction() {
  locked = false;
  --depth;
  calls.push_back("abort");
}

int ExplorerCad::LockDocument() {
  if (locked) return 0;
  locked = true;
  ++lockCalls;
  calls.push_back("lock");
  return 1;
}

int ExplorerCad::UnlockDocument() {
  if (!locked) return 0;
  locked = false;
  calls.push_back("unlock");
  return 1;
}

MaterialLibrary* ExplorerCad::OpenMaterialLibrary(const CaeString&) {
  ++libraryOpens;
  return new MaterialLibrary(CaeString(kestrum::test::sourcePath("data/zq_fea.mat").string().c_str()));
}

void ExplorerCad::DeleteObject(void* object) { delete static_cast<MaterialLibrary*>(object); }

// ---- the user ----

bool ExplorerUser::onModalIdle(CWnd& window) {
  if (steps.empty()) return false;
  Step step = std::move(steps.front());
  steps.pop_front();
  step(window);
  return true;
}

int ExplorerUser::onMessageBox(const mfc::MessageBoxRequest& box) {
  boxes_.push_back(box);
  if (answers.empty()) return IDOK;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

UINT ExplorerUser::onPopupMenu(const CMenu& menu, CWnd*) {
  shownMenus.push_back(mfc::renderMenu(menu));
  if (popups.empty()) return 0;
  const std::string wanted = popups.front();
  popups.pop_front();
  std::function<UINT(const CMenu&)> find = [&](const CMenu& m) -> UINT {
    for (const CMenu::Item& item : m.items()) {
      if (item.popup) {
        if (UINT inner = find(*item.popup)) return inner;
      } else if (mfc::menuTextPlain(item.text) == wanted) {
        return item.id;
      }
    }
    return 0;
  };
  return find(menu);
}

// ---- the host ----

ExplorerHost::ExplorerHost(HostMode mode) : CDialog(kHostTemplate), mode_(mode) {}

BOOL ExplorerHost::OnInitDialog() {
  CDialog::OnInitDialog();
  if (mode_ == HostMode::ResultSets) {
    tree.SetResultSetMode(1).EnableDrag(1).EnableContextMenu(1);
    tree.ShowOptModels = 0;
    tree.ShowDesignVariables = 0;
  } else {
    tree.EnableDoubleClick(1).EnableContextMenu(1);
  }
  tree.SubclassDlgItem(1198, this);
  if (mode_ == HostMode::ResultSets) tree.AddDefaultResultSet();
  return TRUE;
}

// ---- the fixture ----

void ExplorerTest::SetUp() {
  FrameTest::SetUp();
  auto module = std::make_shared<mfc::ResourceModule>();
  module->parse(kHostSource, "explorer host");
  templates_ = mfc::registerModule(module, "explorer host");
  frameDriver_ = mfc::installUserDriver(&driver);
  control.SetCurrent();
}

void ExplorerTest::TearDown() {
  if (host && ::IsWindow(host->m_hWnd)) host->DestroyWindow();
  if (host) TakeResultCases(*host);
  host.reset();
  cmdClearPickPending();
  mfc::installUserDriver(frameDriver_);
  if (templates_) FreeLibrary(templates_);
  FrameTest::TearDown();
}

std::unique_ptr<ExplorerHost> ExplorerTest::MakeHost(HostMode mode) { return std::make_unique<ExplorerHost>(mode); }

void ExplorerTest::OpenHost(HostMode mode) {
  host = MakeHost(mode);
  HINSTANCE previous = AfxGetResourceHandle();
  AfxSetResourceHandle(templates_);
  ASSERT_TRUE(host->Create(kHostTemplate));
  AfxSetResourceHandle(previous);
  host->ShowWindow(SW_SHOW);
}

std::vector<std::unique_ptr<AnlResltCase>> ExplorerTest::TakeResultCases(ExplorerHost& from) {
  std::vector<std::unique_ptr<AnlResltCase>> cases;
  for (AnlResltCase* resultCase : from.tree.ResultCases) cases.emplace_back(resultCase);
  from.tree.ResultCases.clear();
  return cases;
}

INT_PTR ExplorerTest::RunModal(ExplorerHost& modal) {
  HINSTANCE previous = AfxGetResourceHandle();
  AfxSetResourceHandle(templates_);
  const INT_PTR result = modal.DoModal();
  AfxSetResourceHandle(previous);
  return result;
}

void ExplorerTest::Dump(HTREEITEM item, int depth, std::string& out) {
  for (; item; item = tree().GetNextSiblingItem(item)) {
    out += std::string(static_cast<size_t>(depth) * 2, ' ') + static_cast<const char*>(tree().GetItemText(item)) + " " +
           std::to_string(tree().GetItemKind(item)) + "\n";
    Dump(tree().GetChildItem(item), depth + 1, out);
  }
}

std::string ExplorerTest::TreeText() {
  std::string out;
  Dump(tree().GetRootItem(), 0, out);
  return out;
}

HTREEITEM ExplorerTest::Item(const std::string& path) {
  // Selecting through the person's act finds the item the way "@" lines do; the selection is
  // put back afterwards.
  HTREEITEM before = tree().GetSelectedItem();
  HWND window = shownWindow_ ? shownWindow_->m_hWnd : host->m_hWnd;
  if (!mfc::userSelect(window, kTreeId, path).empty()) return nullptr;
  HTREEITEM found = tree().GetSelectedItem();
  tree().SelectItem(before);
  return found;
}

AttBaseLbc* ExplorerTest::AddCondition(AttLbcCase* set, const char* name) {
  auto* condition = Keep(new AttBaseLbc(descriptors.Find(ToAttType(AttCode::VertexForce)), 1));
  condition->SetName(name);
  set->AddLbc(condition);
  return condition;
}

AmgMesh* ExplorerTest::AddMesh(AnlModel* model, const char* subModelName, const char* material) {
  AnlSubModel* subModel = model->NewSubModel();
  subModel->SetName(subModelName);
  auto* mat = new CaeMaterial();  // the sub-model owns it
  mat->Name(material);
  subModel->AssignMaterial(mat);
  AmgMesh* mesh = model->NewMesh(nullptr);
  subModel->SetMesh(mesh);
  return mesh;
}

AmgConstraint* ExplorerTest::Refinement() {
  return Keep(new AmgConstraint(0, 1.0, AmgConstrPoint, CaeVector(0, 0, 0), nullptr));
}

AnlJob* ExplorerTest::Job(AnlModel* model, const char* name, AnlStatus status) {
  AnlJob* job = model->NewJob();
  job->SetName(name);
  job->SetStatus(status);
  return job;
}

}  // namespace uistest
