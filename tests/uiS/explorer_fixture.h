// The Explorer's test bench: a drawing's analysis control with helpers that add objects, a CAD
// that selects by name as the drawing does and keeps a transaction depth and a document lock,
// a user who answers popup menus, dialogs and message boxes, and a host dialog around the tree.
#pragma once
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fea/AnlControl.h"
#include "fea/AnlTypes.h"
#include "fea/AttLbcDescript.h"
#include "gui/explorer/CExpTreeCtl.h"
#include "mfc/afx.h"
#include "uis_fixture.h"

class AmgConstraint;
class AmgMesh;
class AnlJob;
class AnlResltCase;
class AttBaseLbc;
class AttLbcCase;

namespace uistest {

constexpr int kTreeId = 1198;

// The drawing as the Explorer's actions see it.
class ExplorerCad : public RecordingCad {
 public:
  int SelectOrCreateModel(const char* name, int type) override;
  int SelectOrCreateLoadCase(const char* name) override;
  int SelectOrCreateRestraintCase(const char* name) override;
  void StartTransaction() override;
  void EndTransaction() override;
  // Like the host's abort, which first releases the lock the interface holds.
  void AbortTransaction() override;
  int NumActiveTransactions() override { return depth; }
  int LockDocument() override;
  int UnlockDocument() override;
  MaterialLibrary* OpenMaterialLibrary(const CaeString& path) override;
  // Libraries come back here, as to the drawing's interface.
  void DeleteObject(void* object) override;
  void RebuildExplorer() override { calls.push_back("rebuild explorer"); }
  int QueryModelState(ModelQuestion) override { return modelReady; }
  int MaxNameLength() override { return maxNameLength; }
  int AcceptsFreeNames() override { return 0; }  // letters, digits and underscores

  int depth = 0;
  bool locked = false;
  int lockCalls = 0;
  int modelReady = 0;
  int maxNameLength = 64;
  int libraryOpens = 0;
};

// Answers popup menus with the queued entries, message boxes with queued buttons (IDOK when
// none) and runs queued steps on modal windows.
class ExplorerUser : public mfc::UserDriver {
 public:
  using Step = std::function<void(CWnd&)>;
  void answer(int button) { answers.push_back(button); }
  const std::vector<mfc::MessageBoxRequest>& boxes() const { return boxes_; }

  bool onModalIdle(CWnd& window) override;
  int onMessageBox(const mfc::MessageBoxRequest& box) override;
  std::optional<std::string> onFileDialog(const mfc::FileDialogRequest&) override { return std::nullopt; }
  UINT onPopupMenu(const CMenu& menu, CWnd* owner) override;

  std::deque<Step> steps;
  std::deque<std::string> popups;
  std::deque<int> answers;
  std::vector<std::string> shownMenus;

 private:
  std::vector<mfc::MessageBoxRequest> boxes_;
};

enum class HostMode { Normal, ResultSets };

// A dialog holding the tree (control 1198) with the settings of the Explorer dialog, or those of
// a solve page that edits result sets (which also adds the default result set).
class ExplorerHost : public CDialog {
 public:
  explicit ExplorerHost(HostMode mode);
  BOOL OnInitDialog() override;
  CExpTreeCtl tree;

 private:
  HostMode mode_;
};

class ExplorerTest : public FrameTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The host, shown modeless.
  void OpenHost(HostMode mode = HostMode::Normal);
  // The host made from its template, not yet created (to run it modally).
  std::unique_ptr<ExplorerHost> MakeHost(HostMode mode);
  // Runs `host` modally inside the fixture's template module.
  INT_PTR RunModal(ExplorerHost& host);
  CExpTreeCtl& tree() { return shownTree_ ? *shownTree_ : host->tree; }
  // Makes tree(), TreeText and Item look at another window's tree (the tab, the dialog).
  void ShowTree(CExpTreeCtl& tree, CWnd& window) {
    shownTree_ = &tree;
    shownWindow_ = &window;
  }
  // The committed result cases, taken from the host as a host takes them.
  static std::vector<std::unique_ptr<AnlResltCase>> TakeResultCases(ExplorerHost& from);
  // The tree as "label kind" lines, indented two blanks a level, expanded or not.
  std::string TreeText();
  // The item at a path or label (as a person names it), or null.
  HTREEITEM Item(const std::string& path);

  AttBaseLbc* AddCondition(AttLbcCase* set, const char* name);
  AmgMesh* AddMesh(AnlModel* model, const char* subModelName, const char* material);
  AmgConstraint* Refinement();
  AnlJob* Job(AnlModel* model, const char* name, AnlStatus status);
  // Keeps an object the engine lists do not own until the test ends.
  template <class T>
  T* Keep(T* object) {
    kept_.push_back(std::shared_ptr<T>(object));
    return object;
  }

  // Destroyed after the control and its lists, which refer to these objects.
  std::vector<std::shared_ptr<void>> kept_;
  AnlControl control{"bracket"};
  ExplorerCad cad;
  ExplorerUser driver;
  AttLbcDescriptTable descriptors;
  std::unique_ptr<ExplorerHost> host;

 private:
  void Dump(HTREEITEM item, int depth, std::string& out);
  CExpTreeCtl* shownTree_ = nullptr;
  CWnd* shownWindow_ = nullptr;
  HINSTANCE templates_ = nullptr;
  mfc::UserDriver* frameDriver_ = nullptr;
};

}  // namespace uistest
