// CadInterface: the one way the user interface reaches the CAD host.
//
// One instance lives from start-up to unload (the host side creates an AcCadInterface, which
// derives from this class); CadInterface::GetCurrent answers it, and null before the first
// instance and after the instance is destroyed.
//
// The class is not abstract. Every operation has a base behaviour: a neutral implementation over
// the engine's current analysis control, a fixed answer telling what the CAD supports, or an empty
// default (or a consistency check for operations only a real CAD can perform). The virtual
// operations are kept in one stable order, grouped as below; a derived CAD overrides what it does
// differently.
//
// Conventions: topology kinds are 1 body, 2 face, 3 edge, 4 vertex, 0 none; "text" arguments are
// CaeString copies owned by the callee; operations that touch the drawing run inside a transaction
// the caller opened, except QueryModelState, which opens its own. A consistency check raises
// CaeExcept after its level-2 report, so callers never see the base's "result" of such an
// operation.
#pragma once
#include <memory>

#include "amg/CaeList.h"
#include "amg/CaeString.h"
#include "mfc/cstring.h"
#include "mfc/gdi.h"
#include "mfc/wintypes.h"

class AcBrEntity;
class AcBrFace;
class AmgConstraint;
class AmgMesh;
class AmiObjectKey;
class AmiParamKey;
class AnlJob;
class AnlMateRelPair;
class AnlModel;
class AnlResltCase;
class AnlSubModel;
class AttBaseLbc;
class AttLbcConv;
class AttLbcHgen;
class AttModelTemp;
class AttTableTempValue;
class CaeAttrib;
class CaeCoordSys;
class CaeTopoRef;
class CaeTransform;
class CaeUnitSystem;
class MaterialLibrary;
class OptConstraint;
class OptFunction;
class OptModel;
class OptObjective;
class OptVariable;
struct AttLbcDescript;
struct LoadPickRequest;
struct MeshPickRequest;
struct RestraintPickRequest;

// What the drawing shows of the simulation objects. Defaults: everything but results.
struct SymbolVisibility {
  int mesh = 1;
  int loads = 1;
  int restraints = 1;
  int localCoordSys = 1;
  int results = 0;
  int optConstraints = 1;
};

// The model-state questions of CadInterface::QueryModelState, by the number callers pass.
enum class ModelQuestion : int {
  ModelReadyForCommand = 11,  // a current model (and, where preselection counts, a usable one)
  DoctorHasSubject = 14,      // the design doctor has a job or result set to look at
  ShapeOptimizationOffered = 20,
  ConceptOptimizationOffered = 21,
  OptimizationOffered = 22,
  ShapeObjectiveModel = 24,        // a shape optimisation model exists (objective page)
  FreeGlobalParameters = 25,       // global parameters that are not design variables yet
  ShapeModel = 26,                 // a shape optimisation model exists
  ShapeConstraintsModel = 27,      // ... (constraints page)
  ShapeSolveModel = 28,            // ... (solve page)
  ShapeResults = 29,               // shape optimisation results with a job's results
  ShapeResultCycles = 30,          // shape optimisation results by cycles only
  ConceptObjectiveModel = 31,      // a concept optimisation model exists (objective page)
  ConceptControlsModel = 32,       // ... (controls page)
  ConceptSolveModel = 33,          // ... (solve page)
  ConceptResults = 34,             // concept optimisation results with a job's results
  ShapeResultsOrSensitivity = 35,  // shape results, sensitivity counting
  ConceptResultCycles = 36,        // concept optimisation results by cycles only
};

class CadInterface {
 public:
  // Becomes the current instance; part-update mode 0, display flags at their defaults.
  CadInterface();
  CadInterface(const CadInterface&) = delete;
  CadInterface& operator=(const CadInterface&) = delete;

  // The current instance, or null when none exists (before start-up, after unload).
  static CadInterface* GetCurrent();

  // --- lifetime and state -------------------------------------------------------------------
  // Unsets the current instance when it is this one.
  virtual ~CadInterface();
  // The part-update mode: 2 while an optimisation writes design-variable values or submits a
  // shape optimisation, else 0. While non-zero, topology re-resolution sends no modify notices.
  virtual int GetDocControl();
  virtual void SetDocControl(int mode);
  virtual void BeforeDeckWrite();
  virtual void BeforeJobRun();
  virtual int CanStartCommand(int purpose);  // 1
  virtual int SuppressesOptimization();      // 0: optimisation questions are answered
  virtual int SupportsMateRelations();       // 1
  // 1 when the current analysis model has result sets or jobs.
  virtual int CurrentModelHasCases();
  // Questions that enable user-interface actions (ModelQuestion); a value outside the enum
  // answers 1. Runs inside a transaction of its own.
  virtual int QueryModelState(ModelQuestion question);

  // --- mesh controls and meshes ---------------------------------------------------------------
  virtual int CreateMeshConstraint(int colour, double symbolScale, int pickKind, double elementSize, double locX,
                                   double locY, double locZ, int pointFlag, AcBrEntity* entity);
  // `model`: the analysis model that receives the new constraint.
  virtual void RecreateMeshConstraint(AmgConstraint* old, int colour, double symbolScale, double elementSize,
                                      AnlModel* model);
  virtual void GenerateMesh(AmgMesh*& mesh, const char* material, int pStartOrder, int pMaxOrder,
                            double pErrorTolerance, double shellThickness);
  virtual AmgMesh* CreateMeshEntity(CaeTopoRef* ref);  // base: consistency check
  // Base: UpdateMesh of the mesh.
  virtual int FindSubModelOfMesh(AmgMesh*& mesh, AnlSubModel*& subModel);
  virtual int UpdateMesh(AmgMesh*& mesh);  // 1 when regenerated; base 0
  // 1 when a live mesh is attached to the reference, 2 when it is a body one of whose children
  // is meshed, else 0.
  virtual int IsTopologyMeshed(CaeTopoRef* ref);
  virtual int MeshOfTopology(AcBrEntity* entity);                                      // base: check
  virtual int CollectMeshesOfTopology(CaeList<CaeTopoRef>& refs, AcBrEntity* entity);  // base: check
  virtual int PickMesh(CaeList<CaeTopoRef>& refs);                                     // base: check
  virtual int SupportsPointRefinement();                                               // 1
  virtual int RestrictsVertexRefinement();                                             // 0

  // --- mating relations, models, cases and jobs ---------------------------------------------------
  virtual void CreateMateRelation(CaeString name, int colour, double symbolScale);
  virtual void RecreateMateRelation(AnlMateRelPair* old, CaeString name, int colour, double symbolScale);
  // 1 when the model, load set or restraint set of that name (exact bytes) was already current
  // or found, 0 when it was created; either way it is current afterwards. Without a current
  // analysis control: 0, nothing made.
  virtual int SelectOrCreateModel(const char* name, int analysisType);
  virtual int SelectOrCreateLoadCase(const char* name);
  virtual int SelectOrCreateRestraintCase(const char* name);
  virtual int GetLbcDimension(int conditionType);  // default symbol colour; base 0
  // The current model's type when its name is `name`, else 0.
  virtual int GetModelType(const CaeString& name);
  // 1 and `*type` set for the first live model of that name; else 0, `*type` untouched.
  virtual int ModelExists(CaeString name, int* type);
  virtual void CreateResultCaseObject(int unused);
  virtual AnlJob* CreateOptJob();

  // --- condition builders (each picks the geometry itself when the entity is null) ----------------
  virtual int CreateLbc(CaeString name, int colour, double symbolScale, int conditionType, int* freeFlags,
                        double* values, CaeCoordSys* coordSys, AcBrEntity* entity);
  virtual void EditLbc(AttBaseLbc* old, CaeString name, int colour, double symbolScale, int conditionType,
                       int* freeFlags, double* values, CaeCoordSys* coordSys);
  virtual int CreateLbc2(CaeString name, int colour, double symbolScale, int conditionType, int* freeFlags,
                         double* values, CaeCoordSys* coordSys, AcBrEntity* entity);
  virtual void EditLbc2(AttBaseLbc* old, CaeString name, int colour, double symbolScale, int conditionType,
                        int* freeFlags, double* values, CaeCoordSys* coordSys);
  virtual AttModelTemp* CreatePrescribedTemperature(CaeString name, int colour, double symbolScale,
                                                    double modelTemperature, double referenceTemperature, int extra);
  virtual void EditPrescribedTemperature(AttModelTemp* old, CaeString name, int colour, double symbolScale,
                                         double modelTemperature, double referenceTemperature);
  virtual int CreateConvection(CaeString name, int colour, double symbolScale, int conditionType, int constant,
                               double filmCoefficient, double ambientTemperature, CaeList<AttTableTempValue>& table,
                               AcBrEntity* entity);
  virtual void EditConvection(AttLbcConv* old, CaeString name, int colour, double symbolScale, int conditionType,
                              int constant, double filmCoefficient, double ambientTemperature,
                              CaeList<AttTableTempValue>& table);
  virtual int CreateHeatGeneration(CaeString name, int colour, double symbolScale, int conditionType, int constant,
                                   double value, CaeList<AttTableTempValue>& table, AcBrEntity* entity);
  virtual void EditHeatGeneration(AttLbcHgen* old, CaeString name, int colour, double symbolScale, int conditionType,
                                  int constant, double value, CaeList<AttTableTempValue>& table);
  virtual void GetLbcColorAndScale(AttBaseLbc* lbc, int* colour, double* scale);
  virtual void GetConstraintColorAndScale(AmgConstraint* constraint, int* colour, double* scale);
  virtual void GetMateRelColorAndScale(AnlMateRelPair* pair, int* colour, double* scale);

  // --- topology and material library ---------------------------------------------------------------
  virtual AcBrEntity* PickTopology(int conditionType, int* pickKind);
  virtual CaeTopoRef* GetPreselectedTopology();  // null
  virtual int HasPreselectionOfKind(int kind);   // 0
  virtual int GetTopologyKind(AcBrEntity* entity);
  virtual void DeleteObject(void* object);
  virtual int IsCylindricalFace(AcBrFace* face);
  virtual int IsNonCylindricalFace(AcBrFace* face);
  virtual int ReservedTopologyQuery(int unused);
  // A material library bound to the file; the caller deletes it. Null until the library type is
  // part of the system (see the source).
  virtual MaterialLibrary* OpenMaterialLibrary(const CaeString& path);

  // --- modeless pick protocol --------------------------------------------------------------------
  virtual int UsesPickRequests();  // 0: pages pick directly
  virtual int ProcessPendingRequest(int cancel);
  virtual int IsRequestPending();
  virtual void RefreshModelessPanel();
  virtual int RequestLoadPick(LoadPickRequest* request);
  virtual int RequestRestraintPick(RestraintPickRequest* request);
  virtual int RequestMeshPick(MeshPickRequest* request);
  virtual int RequestCommand(int pickKind);
  virtual int RequestParameterPick(int unused);
  virtual int GetLoadPickResult(LoadPickRequest* request, int* cancelled);
  virtual int GetRestraintPickResult(RestraintPickRequest* request, int* cancelled);
  virtual int GetMeshPickResult(MeshPickRequest* request, int* cancelled);
  // Base: `*result` null, answers 0.
  virtual int GetCommandResult(AcBrEntity** result, int* cancelled);
  // Base: `*out` 0, answers 0.
  virtual int GetParameterPickResult(int* out, int unused);
  virtual void OpenModelessPanel();
  virtual int KeepsPickDialogPosition();  // 0
  virtual void CancelCadCommand();
  virtual AcBrEntity* ExecutePendingRequest();
  virtual int KeepsCurrentModelForWizard();  // 1
  virtual int ReservedPickQuery();           // 0
  virtual void DiscardPickRequest(void* request);

  // --- host, windows, messages and names ------------------------------------------------------------
  virtual CString& GetCadName(CString& name);  // base: empty
  virtual HWND GetMainWindow();                // the MFC main window's handle, or null
  virtual HWND GetParentWindow();              // GetMainWindow
  // Base: a task-modal message box without owner; answers 0.
  virtual int PrintMessage(const char* text);
  // The material-library path kept by the application controller ("" without one).
  virtual void SetMaterialLibraryLocation(const char* path);
  virtual CaeString& MaterialLibraryLocation(CaeString& path);
  virtual int MaxNameLength();     // 9999
  virtual int AcceptsFreeNames();  // 1
  virtual int PickPoint(double* point);
  virtual int FlushGraphics();
  virtual void PrepareUndo(int unused);
  virtual int RegenAll();
  // The application controller's descriptor of a condition type; null without one.
  virtual const AttLbcDescript* FindLbcDescript(int conditionType);
  virtual void GetUcsTransform(CaeTransform& transform);  // base: unchanged

  // --- transactions and command bracketing -----------------------------------------------------------
  virtual void StartTransaction();
  virtual void EndTransaction();
  virtual void AbortTransaction();
  virtual int NumActiveTransactions();
  virtual int TransactionBaseDepth();
  virtual int SetTransactionBaseDepth(int depth);
  virtual void CommandStarting(int commandIndex);
  virtual void CommandEnded();

  // --- units, results view and part data ---------------------------------------------------------------
  // The native system's length unit (a CaeUnitName). Only meter to foot (0 to 4) are set; null
  // and any other unit are refused and change nothing.
  virtual void SetLengthUnit(int* unit);
  virtual int GetLengthUnit();
  // Runs the "Drawing Length Unit" dialog, without an owner, in change mode.
  virtual void AskLengthUnit();
  virtual int CreateResultsView();
  virtual CaeString* GetPreselection();  // null
  virtual double GetPartVolume(int unused);
  virtual double GetPartMassProps();
  virtual int ReservedPartQuery(int unused);
  virtual int GetProductTitle(CaeString& title);  // base: "TLX/Ondrel", answers 1
  // Takes ownership of a heap `system` (null is ignored) and makes it the engine's host system.
  // The current document data keeps it and the system it replaces there is freed here; without a
  // current document this interface keeps it until the next one or its own end.
  virtual void SetHostUnitSystem(CaeUnitSystem* system);

  // --- display flags, local coordinate systems, toolbars and printing ---------------------------------
  virtual int GetLocalCoordSys(CaeString& name, double* origin, double* rotation, double* size, int* colour);
  virtual void SetLocalCoordSys(CaeString& name, double* origin, double* rotation, double* size, int* colour);
  virtual void ListLocalCoordSystems(CaeList<CaeString>& names);
  virtual int GetSymbolVisibility(SymbolVisibility& flags);  // copies out, answers 1
  virtual void SetSymbolVisibility(const SymbolVisibility& flags, int applyToAll);
  virtual int GetToolbarVisibility(int* flags);  // 0: no toolbars
  virtual void SetToolbarVisibility(int* flags);
  virtual void SetPrinterContext(HDC printer);
  virtual void PrintResultsDisplay();
  virtual void RunResultsCommand();

  // --- undo, refresh, results window, Explorer and host state -------------------------------------------
  virtual void UndoLastStep();
  virtual void RefreshAfterCommand();
  virtual void PrepareCommand();
  virtual int IsGeometryValid();     // 1
  virtual int ReservedStateQuery();  // 0
  virtual void ShowResultsWindow(int show);
  virtual int ExplorerCommandRestricted();  // 0
  // Deletes sub-model `index` (1-based) of the model; 0 when there is none.
  virtual int RemoveSubModel(AnlModel* model, int index);
  virtual void RebuildExplorer();
  virtual int ToggleDocumentLock();
  // The explicit lock pair for work that changes the drawing outside a host command (the
  // guide's page route, the Explorer's actions): lock, run, unlock. Each does nothing when the
  // lock is already in that state and answers 1 only when it changed it, so an unlock after
  // error recovery released the lock never takes it again. Base: nothing, answers 0.
  virtual int LockDocument();
  virtual int UnlockDocument();
  virtual int UsesPreselection();  // 1
  virtual AcBrEntity* PickEntity(int kind);
  // 1 when a current analysis model exists and, where preselection applies, a selection.
  virtual int ModelReady();

  // --- parameters and design variables -----------------------------------------------------------------
  virtual int GetParamDependencies(AmiParamKey* key);
  virtual AmiParamKey* PickParameter();
  virtual int SelectParameter(int mode);                               // 0
  virtual int ParameterMode();                                         // 1: design variables come from part parameters
  virtual CaeString& GetParamName(CaeString& name, AmiParamKey* key);  // base: ""
  virtual AmiParamKey* FindGlobalParam(CaeString name);
  virtual AmiParamKey* VariableParameterKey(OptVariable* variable);
  // The part's global parameters: `*count` and a new[] array of names the caller delete[]s.
  // Base: nothing set.
  virtual void GetGlobalParams(int* count, CaeString** names);
  // The current unit-name table's short name of the native length unit.
  virtual CaeString& GetLengthUnitName(CaeString& name, CaeString unused);
  virtual double GetParamValueByName(CaeString name);
  virtual double GetParamValue(AmiParamKey* key);
  virtual int UpdateDesignVariables();
  virtual int SetDesignVariableValues(OptVariable* variable);
  virtual OptVariable* CreateDesignVariable(OptVariable* prototype, AmiParamKey* key);
  virtual void CreateDesignVariableFromKey(OptVariable* old, OptVariable* prototype, AmiObjectKey* key);
  // A new drawing variable from the prototype bound to (a copy of) the parameter's key takes the
  // old one's place in the drawing's list; the old one is deleted. Base: nothing.
  virtual void ReplaceDesignVariable(OptVariable* old, OptVariable* prototype, AmiParamKey* key);

  // --- optimisation objects ------------------------------------------------------------------------------
  virtual double GetOptConstraintSymbolSize(OptConstraint* constraint);
  virtual int GetOptConstraintColor(OptConstraint* constraint);
  virtual AcBrEntity* GetBrepOfAttribute(CaeAttrib* attribute);
  virtual OptConstraint* CreateOptConstraint(OptFunction* definition, AcBrEntity* entity, double symbolSize,
                                             int colour);
  virtual void UpdateOptConstraint(OptConstraint* old, OptFunction* definition, AcBrEntity* entity, double symbolSize,
                                   int colour);
  virtual OptObjective* AddObjective(OptFunction* definition);
  virtual void ReplaceObjective(OptObjective* old, OptFunction* definition);
  virtual OptModel* CreateOptimizationModel(int optType, CaeString name, AnlModel* model, int addResultCase);
  virtual int SelectOrCreateOptModel(CaeString name, AnlModel* model);
  virtual AnlResltCase* AddAnalysisResultCase(OptModel* model, AnlResltCase* resultCase);
  virtual void ReplaceAnalysisResultCase(OptModel* model, AnlResltCase* old, AnlResltCase* replacement);
  // Renames an optimisation model under the drawing's rule for model names (no other live model
  // of the name, ignoring case); 0, nothing changed, when the name is refused.
  virtual int RenameOptModel(OptModel* model, const CaeString& name);
  // The analysis result case an objective reads its response from (null when none).
  virtual AnlResltCase* GetObjectiveResultCase(OptFunction* objective);
  // IDS_PRODUCT_TITLE, the product's full title.
  virtual CaeString& GetProductTitle2(CaeString& title);

 private:
  int QueryPreselection();
  int QueryFreeGlobalParams();
  int QueryOptResults(ModelQuestion question);

  int partUpdateMode_ = 0;
  SymbolVisibility displayFlags_;
  std::unique_ptr<CaeUnitSystem> hostUnits_;  // a host system given while no document was current
};
