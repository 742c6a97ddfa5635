// The Explorer: a tree of the current drawing's analysis objects (simulation models with their
// meshes, refinements, mating relations, result sets and jobs; load and restraint sets with their
// conditions; design variables; optimisation models with their result cases, constraints,
// objective and optimisation result sets) through which the user reaches every object.
//
// Items hold only a label and an image. The image tells the item's kind (ExpKind); the object
// behind an item is found again from its kind, its label or its position among its siblings, so
// the tree keeps no pointer to an engine object and is rebuilt as a whole after every change.
//
// Every user action (context menu, the Explorer dialog's menu, double-click, Delete key, label
// edit) is one numbered request (ExpAction) run through DoAction: dropped while a host command is
// busy (docked only), the drawing locked when docked, one host transaction, engine exceptions
// printed and the transactions aborted down to the depth the request found.
//
// Hosts switch the tree into result-set or select mode to edit the result cases of a solve: load
// and restraint sets are dropped onto result cases, cases are added and renamed, and the committed
// cases are read from ResultCases after CommitResultCases (also run when the window goes).
#pragma once
#include <array>
#include <memory>
#include <vector>

#include "amg/CaeString.h"
#include "mfc/controls.h"

class AmgConstraint;
class AnlJob;
class AnlMateRelPair;
class AnlModel;
class AnlResltCase;
class AnlSubModel;
class AttBaseLbc;
class AttLbcCase;
class CaeExcept;
class FerResultSet;
class OptConstraint;
class OptModel;
class OptObjective;
class OptResultCase;
class OptVariable;
class OptVariableSet;

// Item kinds: the position of the item's image in the kind table.
enum ExpKind : int {
  kExpNone = 0,
  kExpModel = 1,
  kExpMesh = 2,
  kExpLoadSet = 3,
  kExpRestraintSet = 4,
  kExpResultCase = 5,
  kExpResultCaseReadOnly = 6,
  kExpResultSet = 7,
  kExpJob = 8,
  kExpJobWithResults = 9,
  kExpValueLine = 10,
  kExpLoad = 11,
  kExpRestraint = 12,
  kExpShapeModel = 13,
  kExpConceptModel = 14,
  kExpVariableFolder = 15,
  kExpVariable = 16,
  kExpConstraintFolder = 17,
  kExpControlFolder = 18,
  kExpConstraint = 19,
  kExpControl = 20,
  kExpShapeObjective = 21,
  kExpConceptObjective = 22,
  kExpShapeOptResult = 23,
  kExpConceptOptResult = 24,
  kExpNeverBuilt = 25,
  kExpHistoryGraph = 26,
  kExpSensitivityGraph = 27,
  kExpLocalTrendGraph = 28,
  kExpRoot = 29,
  kExpRefinementFolder = 30,
  kExpRefinement = 31,
  kExpMateFolder = 32,
  kExpMateRelation = 33,
  kExpOptResultModel = 34,
  kExpOptResultMesh = 35,
  kExpMeshNeedsUpdate = 36,
  kExpMeshDeferred = 37,
  kExpNoImage = 38,
};
constexpr int kExpKindCount = 39;  // positions 0 to 38 of the kind table

// Action codes of DoAction.
enum ExpAction : int {
  kActOpen = 0,
  kActClose = 1,
  kActNewSimulationModel = 2,
  kActNewOptimizationModel = 3,
  kActNewLoadSet = 4,
  kActNewRestraintSet = 5,
  kActLoad = 6,
  kActRestraint = 7,
  kActHeatTransfer = 8,
  kActNewResultSet = 9,
  kActMesh = 10,
  kActMeshConstraint = 11,
  kActDesignVariable = 12,
  kActDesignConstraint = 13,
  kActConceptControl = 14,
  kActProperties = 15,
  kActDelete = 16,
  kActContextMenu = 17,
  kActWriteVrml = 18,
  kActWriteNeutralFile = 19,
  kActRename = 20,
  kActDesignDoctor = 21,
  kActGenerate = 22,
  kActUpdate = 23,
  kActView = 24,
  kActSolve = 25,
};

// Availability bits of GetCommandFlags: one per context-menu entry.
enum ExpFlag : unsigned {
  kFlagOpen = 0x1,
  kFlagNewResultSet = 0x2,
  kFlagNewLoadSet = 0x4,
  kFlagNewRestraintSet = 0x8,
  kFlagNewSimulationModel = 0x10,
  kFlagNewOptimizationModel = 0x20,
  kFlagDelete = 0x40,
  kFlagWriteVrml = 0x80,
  kFlagWriteNeutralFile = 0x100,
  kFlagProperties = 0x200,
  kFlagMeshConstraint = 0x8000,
  kFlagClose = 0x10000,
  kFlagDesignDoctor = 0x20000,
  kFlagLoad = 0x40000,
  kFlagRestraint = 0x80000,
  kFlagHeatTransfer = 0x100000,
  kFlagGenerate = 0x200000,
  kFlagUpdate = 0x400000,
  kFlagView = 0x800000,
  kFlagSolve = 0x1000000,
  kFlagMesh = 0x2000000,
  kFlagDesignVariable = 0x4000000,
  kFlagDesignConstraint = 0x8000000,
  kFlagConceptControl = 0x10000000,
};

// Bits answered by OpenItem and CloseItem.
enum ExpOpenResult : int { kOpenFlush = 1, kOpenRebuild = 2 };

class CExpTreeCtl : public CTreeCtrl {
 public:
  CExpTreeCtl();
  ~CExpTreeCtl() override;
  CExpTreeCtl(const CExpTreeCtl&) = delete;
  CExpTreeCtl& operator=(const CExpTreeCtl&) = delete;

  // ---- host settings ----
  // Result cases committed from the tree; the host takes the objects.
  std::vector<AnlResltCase*> ResultCases;
  // The case a select-mode host edits; null otherwise.
  AnlResltCase* EditedResultCase = nullptr;
  // Analysis type of the result cases in result-set and select modes (0 stress ... 3 heat).
  int SimulationType = 0;
  // In optimisation mode, the analysis type of each result-case item in item order.
  std::vector<int> ResultCaseTypes;
  int ShowOptModels = 1;
  int ShowDesignVariables = 1;
  int ShowSimulationModels = 1;
  int ShowLoadSets = 1;
  int ShowRestraintSets = 1;
  // The tree lives in the host's browser tab.
  int Docked = 0;

  CExpTreeCtl& SetResultSetMode(int on);
  CExpTreeCtl& SetSelectMode(int on);
  CExpTreeCtl& SetOptMode(int on);
  CExpTreeCtl& EnableDrag(int on);
  CExpTreeCtl& EnableDoubleClick(int on);
  CExpTreeCtl& EnableContextMenu(int on);
  bool InResultSetMode() const { return resultSetMode_ != 0; }
  bool InSelectMode() const { return selectMode_ != 0; }
  bool InOptMode() const { return optMode_ != 0; }

  // ---- the tree (building) ----
  // Rebuilds the whole tree from the current analysis control, keeping the selected item's place.
  void Refresh();
  // The kind 1 to 38 of an item; 0 when its image is in no position of the kind table.
  int GetItemKind(HTREEITEM item) const;
  // The label without the current mark (a last character "*").
  CaeString GetItemName(HTREEITEM item) const;
  // Whether the label carries the current mark.
  bool IsItemCurrent(HTREEITEM item) const;
  // The image index of a kind (-1 when it has none).
  int ImageOfKind(int kind) const;

  void AddLoadSetItem(AttLbcCase* set, HTREEITEM parent, int marked);
  void AddRestraintSetItem(AttLbcCase* set, HTREEITEM parent, int marked);
  HTREEITEM AddResultCaseItems(AnlResltCase* resultCase, HTREEITEM parent);
  void AddDesignVariableItems(OptVariableSet* set, HTREEITEM parent);
  void AddResultSetItem(FerResultSet* set, HTREEITEM parent);
  void AddJobItem(AnlJob* job, HTREEITEM parent);
  void AddModelItem(AnlModel* model, AnlModel* current, HTREEITEM parent);

  // ---- items to objects ----
  AnlModel* ModelOfItem(HTREEITEM item) const;
  AnlSubModel* SubModelOfItem(HTREEITEM item) const;
  FerResultSet* ResultSetOfItem(HTREEITEM item) const;
  AnlJob* JobOfItem(HTREEITEM item) const;
  AttLbcCase* LbcCaseOfItem(HTREEITEM item) const;
  AttBaseLbc* LbcOfItem(HTREEITEM item) const;
  OptModel* OptModelOfItem(HTREEITEM item) const;
  OptConstraint* ConstraintOfItem(HTREEITEM item) const;
  OptVariable* VariableOfItem(HTREEITEM item) const;
  OptObjective* ObjectiveOfItem(HTREEITEM item) const;
  AnlResltCase* AnlResultCaseOfItem(HTREEITEM item) const;
  OptResultCase* OptResultCaseOfItem(HTREEITEM item) const;
  AmgConstraint* RefinementOfItem(HTREEITEM item) const;
  AnlMateRelPair* MateRelationOfItem(HTREEITEM item) const;
  // 1 plus the number of previous siblings whose kind is one of `kinds` (all siblings when empty).
  int PositionAmongSiblings(HTREEITEM item, std::initializer_list<int> kinds) const;

  // ---- actions ----
  // The availability bits (ExpFlag) of the selected item.
  unsigned GetCommandFlags();
  // The only way an action runs (see the header comment).
  void DoAction(int action, int prepare);
  // Bits ExpOpenResult.
  int OpenItem(HTREEITEM item);
  int CloseItem(HTREEITEM item);
  bool OpenModelByName(const CaeString& name);
  void DeleteItem(HTREEITEM item);

  // ---- result-set editing ----
  void AddDefaultResultSet();
  void AddResultCaseItem(AnlResltCase* resultCase);
  void OnSimulationTypeChanged(int type);
  void CommitResultCases();
  bool CanDrop();
  bool IsDescendant(HTREEITEM item, HTREEITEM ancestor) const;
  HTREEITEM CopySubtree(HTREEITEM item, HTREEITEM newParent);
  // The stored scale factor of a load set inside a result case; 1.0 when none is stored.
  double ScaleFactorOf(HTREEITEM item) const;

  // The item of the current simulation model (optimisation model) after the last rebuild.
  HTREEITEM CurrentModelItem() const { return currentModelItem_; }
  HTREEITEM CurrentOptModelItem() const { return currentOptModelItem_; }

 protected:
  void PreSubclassWindow() override;

  void OnDestroy();
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnRButtonDown(UINT flags, CPoint point);
  void OnMouseMove(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  void OnKeyUp(UINT key, UINT repeat, UINT flags);
  void OnBeginLabelEdit(NMHDR* header, LRESULT* result);
  void OnEndLabelEdit(NMHDR* header, LRESULT* result);
  void OnBeginDrag(NMHDR* header, LRESULT* result);

  // Menu handlers (menu 235 and the Explorer dialog's File menu).
  void OnOpen();
  void OnClose();
  void OnNewResultSet();
  void OnNewSimulationModel();
  void OnNewOptimizationModel();
  void OnNewLoadSet();
  void OnNewRestraintSet();
  void OnLoad();
  void OnRestraint();
  void OnHeatTransfer();
  void OnMesh();
  void OnMeshConstraint();
  void OnDesignVariable();
  void OnDesignConstraint();
  void OnConceptControl();
  void OnWriteVrml();
  void OnWriteNeutralFile();
  void OnProperties();
  void OnDelete();
  void OnDesignDoctor();
  void OnGenerate();
  void OnUpdate();
  void OnView();
  void OnSolve();

  DECLARE_MESSAGE_MAP()

 private:
  struct ScaleFactor {
    HTREEITEM item;
    double factor;
  };

  HTREEITEM InsertKindItem(const CaeString& label, int kind, HTREEITEM parent, HTREEITEM after = TVI_LAST);
  void AddSetItem(AttLbcCase* set, HTREEITEM parent, int marked, int setKind, int conditionKind);
  void AddOptModelItems(OptModel* model, OptModel* current, AnlModel* currentModel, HTREEITEM root);
  void AddOptResultCaseItems(OptModel* model, AnlModel* currentModel, HTREEITEM modelItem);
  int MeshKind(AnlSubModel* subModel, bool underOptResult) const;
  void AddMeshItems(AnlModel* model, HTREEITEM modelItem, bool underOptResult);
  void AddRefinementItems(AnlModel* model, HTREEITEM modelItem);
  void AddMateItems(AnlModel* model, HTREEITEM modelItem);
  std::vector<int> SelectionPath() const;
  void RestoreSelection(const std::vector<int>& path);
  bool IsSecondModelOfOptResult(AnlModel* model);

  void DispatchAction(int action, int prepare);
  void RunAction(int action);
  void ReportException(const CaeExcept& error);
  void RestoreCadWindow();
  void RecoverAfterFailure();
  void DoContextMenu();
  void DoRename();

  int OpenOptResultCase(HTREEITEM item);
  void DoOpen();
  void DoClose();
  void DoNewSimulationModel();
  void DoNewOptimizationModel();
  void DoNewLoadSet();
  void DoNewRestraintSet();
  void DoCreationEntry(int action);
  void DoDelete();
  void DeleteModelItem(HTREEITEM item, int kind);
  void DeleteMeshItem(HTREEITEM item);
  void DeleteSetItem(HTREEITEM item, int kind);
  void DeleteResultCaseItem(HTREEITEM item);
  void DeleteResultSetItem(HTREEITEM item);
  void DeleteJobItem(HTREEITEM item);
  void DeleteConditionItem(HTREEITEM item);
  void DeleteFolderChildren(HTREEITEM item);
  void RemoveItemAndEmptyFolder(HTREEITEM item);

  void DoProperties();
  bool EditScaleFactor(HTREEITEM item);
  void DoWriteVrml();
  void DoWriteNeutralFile();
  void DoDesignDoctor();
  void DoGenerate();
  void DoUpdate();
  void DoView();
  void DoSolve();

  void DoNewResultSet();
  CaeString UniqueResultCaseName(AnlModel* model, HTREEITEM modelItem) const;
  bool ResultCaseNameTaken(AnlModel* model, HTREEITEM modelItem, HTREEITEM except, const CaeString& name) const;
  bool ValidResultCaseLabel(HTREEITEM item, const char* text);
  void EndDrag();

  int resultSetMode_ = 0;
  int selectMode_ = 0;
  int optMode_ = 0;
  int dragEnabled_ = 1;
  int doubleClickEnabled_ = 0;
  int contextMenuEnabled_ = 0;
  std::unique_ptr<CImageList> dragImage_;
  std::array<int, kExpKindCount> KindTable{};
  HTREEITEM currentModelItem_ = nullptr;
  HTREEITEM currentOptModelItem_ = nullptr;
  HTREEITEM rootItem_ = nullptr;
  int labelEditing_ = 0;
  int deleting_ = 0;
  int dragging_ = 0;
  HTREEITEM draggedItem_ = nullptr;
  HTREEITEM dropTarget_ = nullptr;
  std::vector<ScaleFactor> ScaleFactors;
  std::unique_ptr<CImageList> imageList_;
  int savedTransactionDepth_ = 0;
  CPoint rightButtonPoint_{0, 0};
  NMTVDISPINFO* editInHand_ = nullptr;
  class ExpMaterialCache* materials_ = nullptr;  // during a rebuild
};
