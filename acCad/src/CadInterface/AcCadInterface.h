// AcCadInterface: the CAD interface for the AutoCAD host with Mechanical Desktop.
//
// Start-up makes exactly one; it is CadInterface::GetCurrent until unload. It overrides the host
// services: transactions of the current document and the saved base depth, graphics flush and
// regeneration, undo, the document lock, the command line, the product's names, the part-update
// mode and the Explorer tab. Everything else keeps the base behaviour.
//
// Document lock: LockDocument and UnlockDocument are the explicit pair (each does nothing when
// the lock is already in that state); ToggleDocumentLock flips it; AbortTransaction releases a
// held lock before it aborts, so error recovery never leaves the drawing locked.
#pragma once

#include <memory>
#include <set>

#include "amg/CaeString.h"
#include "arx/status.h"
#include "cadInterface/CadInterface.h"
#include "util/acPost.h"

// The name of the undo step of an Explorer action (the document lock it runs under).
constexpr char kExplorerUndoStep[] = "FEA_EXPLORER";

class AcCadInterface : public CadInterface {
 public:
  AcCadInterface();
  ~AcCadInterface() override;

  // The current instance when it is an AcCadInterface, else null.
  static AcCadInterface* GetCurrentAc();

  void SetDocControl(int mode) override;           // mode > 0 also raises the scene-changed flag
  CString& GetCadName(CString& name) override;     // "MDT"
  int PrintMessage(const char* text) override;     // "\n" then the text, never as a format
  int MaxNameLength() override;                    // kDbMaxStoredNameLength
  int AcceptsFreeNames() override;                 // 0
  int UsesPreselection() override;                 // 0
  int GetProductTitle(CaeString& title) override;  // IDS_PRODUCT_TITLE
  int FlushGraphics() override;
  int RegenAll() override;  // runs IDS_REGENALL_COMMAND "_.REGENALL"; an empty text is a consistency check
  void GetUcsTransform(CaeTransform& transform) override;

  // The drawing's length unit lives in its analysis control: Set refuses all but metre .. foot (and
  // does nothing without a control); Get answers 33 while none is chosen.
  void SetLengthUnit(int* unit) override;
  int GetLengthUnit() override;

  // A library on the file (see db/dbMatLib.h); the caller frees it with DeleteObject.
  MaterialLibrary* OpenMaterialLibrary(const CaeString& path) override;
  // Frees an object this interface handed out (a material library); null and anything else it
  // did not hand out are ignored.
  void DeleteObject(void* object) override;

  // A null transaction from the host is a consistency check. Graphics flushing is enabled.
  void StartTransaction() override;
  void EndTransaction() override;
  void AbortTransaction() override;
  int NumActiveTransactions() override;  // 0 without a document
  int TransactionBaseDepth() override;
  int SetTransactionBaseDepth(int depth) override;

  // The first live model (case) whose name equals `name` ignoring letter case becomes current;
  // without one a new one is made current. A model's type is set when `analysisType` is 0 to 3
  // (-1 keeps it; a new model takes 0 for anything else); the drawing is then refreshed. Each
  // answers 1 when it existed, 0 when it was created or there is no analysis control.
  int SelectOrCreateModel(const char* name, int analysisType) override;
  int SelectOrCreateLoadCase(const char* name) override;
  int SelectOrCreateRestraintCase(const char* name) override;

  // The type of the model filed under `name` in the drawing's "ANALYSIS_MODELS" (keys compare
  // ignoring case). An empty name answers 0 without touching the drawing; a name that is missing
  // or erased, or whose entry is not a model, answers 0 quietly. Without a working drawing the
  // dictionary cannot be opened: a consistency check.
  int GetModelType(const CaeString& name) override;
  // The same lookup: 1 and `*type` set when found; else 0 with `*type` 0 (an empty name too,
  // without touching the drawing). Without a working drawing: 0 and `*type` untouched.
  int ModelExists(CaeString name, int* type) override;
  // Makes a stored result set without owner in the working drawing.
  void CreateResultCaseObject(int unused) override;

  // ---- conditions (lbc/acLbcCmd.h does the work; bad input is refused there) ----
  // Without an entity the user picks (not for a model-level type); 0 when the pick was ended or
  // the input refused.
  int CreateLbc(CaeString name, int colour, double symbolScale, int conditionType, int* freeFlags, double* values,
                CaeCoordSys* coordSys, AcBrEntity* entity) override;
  int CreateLbc2(CaeString name, int colour, double symbolScale, int conditionType, int* freeFlags, double* values,
                 CaeCoordSys* coordSys, AcBrEntity* entity) override;
  void EditLbc(AttBaseLbc* old, CaeString name, int colour, double symbolScale, int conditionType, int* freeFlags,
               double* values, CaeCoordSys* coordSys) override;
  void EditLbc2(AttBaseLbc* old, CaeString name, int colour, double symbolScale, int conditionType, int* freeFlags,
                double* values, CaeCoordSys* coordSys) override;
  AttModelTemp* CreatePrescribedTemperature(CaeString name, int colour, double symbolScale, double modelTemperature,
                                            double referenceTemperature, int extra) override;
  void EditPrescribedTemperature(AttModelTemp* old, CaeString name, int colour, double symbolScale,
                                 double modelTemperature, double referenceTemperature) override;
  int CreateConvection(CaeString name, int colour, double symbolScale, int conditionType, int constant,
                       double filmCoefficient, double ambientTemperature, CaeList<AttTableTempValue>& table,
                       AcBrEntity* entity) override;
  void EditConvection(AttLbcConv* old, CaeString name, int colour, double symbolScale, int conditionType, int constant,
                      double filmCoefficient, double ambientTemperature, CaeList<AttTableTempValue>& table) override;
  int CreateHeatGeneration(CaeString name, int colour, double symbolScale, int conditionType, int constant,
                           double value, CaeList<AttTableTempValue>& table, AcBrEntity* entity) override;
  void EditHeatGeneration(AttLbcHgen* old, CaeString name, int colour, double symbolScale, int conditionType,
                          int constant, double value, CaeList<AttTableTempValue>& table) override;
  AcBrEntity* PickTopology(int conditionType, int* pickKind) override;
  // The default symbol colour of a new condition of the type; -1 for a type without descriptor.
  int GetLbcDimension(int conditionType) override;
  // The entity's symbol colour and scale; another engine type leaves both untouched.
  void GetLbcColorAndScale(AttBaseLbc* lbc, int* colour, double* scale) override;

  // ---- mesh-size constraints and meshes (AcCadMeshRows.cpp; amg/acConCmd.h does the work) ----
  // 0 when the pick was cancelled or the size refused (not positive), else 1.
  int CreateMeshConstraint(int colour, double symbolScale, int pickKind, double elementSize, double locX, double locY,
                           double locZ, int pointFlag, AcBrEntity* entity) override;
  // A new constraint of the old one's type and location on its geometry, in `model`; the old one
  // is erased only once the new one exists.
  void RecreateMeshConstraint(AmgConstraint* old, int colour, double symbolScale, double elementSize,
                              AnlModel* model) override;
  void GetConstraintColorAndScale(AmgConstraint* constraint, int* colour, double* scale) override;
  // A new mesh entity on the reference, not yet in the drawing (null when memory runs out).
  AmgMesh* CreateMeshEntity(CaeTopoRef* ref) override;
  // Stores the p-values and the thickness and meshes; `mesh` becomes null when the generation
  // failed and the mesh was removed. An engine exception is printed and `mesh` kept.
  void GenerateMesh(AmgMesh*& mesh, const char* material, int pStartOrder, int pMaxOrder, double pErrorTolerance,
                    double shellThickness) override;
  // Regenerates the meshes of the mesh's model (CaepMeshEnt::Regenerate); 1 and the replacement,
  // or 0 with `mesh` unchanged when its replacement failed.
  int UpdateMesh(AmgMesh*& mesh) override;
  // UpdateMesh, then the sub-model that holds the (new) mesh; 0 when the update failed.
  int FindSubModelOfMesh(AmgMesh*& mesh, AnlSubModel*& subModel) override;
  // The kind of the entity's reference: IsTopologyMeshed for a body or face, else -1.
  int MeshOfTopology(AcBrEntity* entity) override;
  int CollectMeshesOfTopology(CaeList<CaeTopoRef>& refs, AcBrEntity* entity) override;
  // Picks the body (a face in a model with shell meshes) to mesh; 0 when cancelled or meshed.
  int PickMesh(CaeList<CaeTopoRef>& refs) override;
  // 4 vertex, 3 edge, 2 face, 1 body; 0 for null or anything else.
  int GetTopologyKind(AcBrEntity* entity) override;
  int PickPoint(double* point) override;  // "Concentration point:  "; 0 when cancelled
  // Pick filters: anything but a face passes both.
  int IsCylindricalFace(AcBrFace* face) override;
  int IsNonCylindricalFace(AcBrFace* face) override;
  // ---- end of mesh rows ----
  // ---- mating relations (AcCadMateRows.cpp) ----
  // Two picks (faces, or edges when the current model has shell meshes; the same one twice is
  // refused with a box and picked again); an ended pick or an empty name makes nothing.
  void CreateMateRelation(CaeString name, int colour, double symbolScale) override;
  // A new pair on the old pair's two sides, then the old pair is deleted; refused, the old pair
  // kept, when a side lost its geometry.
  void RecreateMateRelation(AnlMateRelPair* old, CaeString name, int colour, double symbolScale) override;
  // The pair's colour and scale; another object leaves both untouched.
  void GetMateRelColorAndScale(AnlMateRelPair* pair, int* colour, double* scale) override;
  // A new pair on the two entities' references, added to the current model.
  void CreateMateRelPair(AcBrEntity* first, AcBrEntity* second, const CaeString& name, int colour, double symbolScale);

  // ---- design parameters, mass properties and optimisation objects (AcCadOptRows.cpp) ----
  // Parameters of the "Designer" scope; every failing part-modeller status but the pick's own is
  // a consistency check. A picked or found parameter with dependencies is refused with 738.
  int GetParamDependencies(AmiParamKey* key) override;
  AmiParamKey* PickParameter() override;  // 737; 736 and ask again; null when the pick was ended
  void GetGlobalParams(int* count, CaeString** names) override;
  CaeString& GetParamName(CaeString& name, AmiParamKey* key) override;
  AmiParamKey* FindGlobalParam(CaeString name) override;  // byte for byte
  AmiParamKey* VariableParameterKey(OptVariable* variable) override;
  double GetParamValue(AmiParamKey* key) override;
  double GetParamValueByName(CaeString name) override;
  // All or nothing: a live variable without parameter writes nothing (0); the values are written
  // together, each part using them rebuilt once; a refused rebuild puts the values back (0).
  int SetDesignVariableValues(OptVariable* variable) override;
  OptVariable* CreateDesignVariable(OptVariable* prototype, AmiParamKey* key) override;
  void CreateDesignVariableFromKey(OptVariable* old, OptVariable* prototype, AmiObjectKey* key) override;
  void ReplaceDesignVariable(OptVariable* old, OptVariable* prototype, AmiParamKey* key) override;
  double GetPartMassProps() override;  // the active part's volume; 0.0 without one
  double GetPartVolume(int unused) override;
  AnlJob* CreateOptJob() override;
  double GetOptConstraintSymbolSize(OptConstraint* constraint) override;
  int GetOptConstraintColor(OptConstraint* constraint) override;
  AcBrEntity* GetBrepOfAttribute(CaeAttrib* attribute) override;
  // An unnamed definition gets "constraint<n>" ("control<n>" in Concept); a face coordinate system
  // is refused (null) since the record cannot carry it.
  OptConstraint* CreateOptConstraint(OptFunction* definition, AcBrEntity* entity, double symbolSize,
                                     int colour) override;
  void UpdateOptConstraint(OptConstraint* old, OptFunction* definition, AcBrEntity* entity, double symbolSize,
                           int colour) override;
  OptObjective* AddObjective(OptFunction* definition) override;  // unnamed: the engine's name
  void ReplaceObjective(OptObjective* old, OptFunction* definition) override;
  // An empty name takes the default unique name; a name the dictionary refuses makes nothing.
  OptModel* CreateOptimizationModel(int optType, CaeString name, AnlModel* model, int addResultCase) override;
  // Names compare ignoring case, as the dictionary that files the models does.
  int SelectOrCreateOptModel(CaeString name, AnlModel* model) override;
  AnlResltCase* AddAnalysisResultCase(OptModel* model, AnlResltCase* resultCase) override;
  void ReplaceAnalysisResultCase(OptModel* model, AnlResltCase* old, AnlResltCase* replacement) override;
  // Re-keys the model's dictionary entry with the name.
  int RenameOptModel(OptModel* model, const CaeString& name) override;
  AnlResltCase* GetObjectiveResultCase(OptFunction* objective) override;
  // ---- end of optimisation rows ----

  void UndoLastStep() override;  // "_.UNDO 1\n" as typed input to the host's main window
  void RebuildExplorer() override;
  int ToggleDocumentLock() override;  // answers 1

  // The explicit pair: a write lock of the current control's document under kExplorerUndoStep,
  // released on that same document even when another one became current meanwhile.
  int LockDocument() override;
  int UnlockDocument() override;
  int HoldsDocumentLock() const { return documentLocked_; }

  // The current document control's Explorer tab: shown inside a transaction, or removed.
  void ShowExplorerTab();
  void RemoveExplorerTab();

  // --- picks -------------------------------------------------------------------------------------
  // The blocking pick: CAD-neutral kind 1 body .. 4 vertex, picked on the command line (kind 0 or
  // -1: null without asking). Without a current document control: a consistency check.
  AcBrEntity* PickEntity(int kind) override;
  // The modeless protocol, for an interface whose UsesPickRequests answers non-zero (this one
  // answers 0 and pages pick directly): a page parks a copy of its request, the pick panel runs
  // it (ExecutePendingRequest) and completes it (ProcessPendingRequest), and the resumed command
  // collects the result. Parking answers 1 and resets the other requests' flags; the busy flag
  // (IsRequestPending) is set on completion and cleared on collection.
  int RequestLoadPick(LoadPickRequest* request) override;
  int RequestRestraintPick(RestraintPickRequest* request) override;
  int RequestMeshPick(MeshPickRequest* request) override;
  int RequestCommand(int pickKind) override;
  void OpenModelessPanel() override;
  void RefreshModelessPanel() override;  // the open panel cancels itself unless it has ended
  void CancelCadCommand() override;      // ESC to the host's main window, as copy-data
  AcBrEntity* ExecutePendingRequest() override;
  int ProcessPendingRequest(int cancel) override;
  int IsRequestPending() override;
  int GetLoadPickResult(LoadPickRequest* request, int* cancelled) override;
  int GetRestraintPickResult(RestraintPickRequest* request, int* cancelled) override;
  int GetMeshPickResult(MeshPickRequest* request, int* cancelled) override;
  int GetCommandResult(AcBrEntity** result, int* cancelled) override;
  void DiscardPickRequest(void* request) override;  // nothing to discard
  // Closes the open pick panel without resuming its command and forgets every parked request and
  // the picked entity, when `document` (null: any) is the drawing the panel was opened in: the
  // drawing is closing or the add-in unloads, and nothing may be left pointing into it.
  void AbandonPickRequest(const void* document);

 private:
  struct PickProtocol;
  int ParkedRequestPicked() const;
  std::unique_ptr<PickProtocol> picks_;
  int transactionBaseDepth_ = 0;
  int documentLocked_ = 0;
  void* lockedDocument_ = nullptr;
  std::set<MaterialLibrary*> libraries_;  // handed out by OpenMaterialLibrary, not yet deleted
};

// 1 when the texts are equal byte for byte.
int acStrEqual(const CaeString& text, const char* other);
int acStrEqualCae(const CaeString& a, const CaeString& b);
// Byte-wise and case-insensitive (ASCII letters) comparisons: <0, 0, >0.
int acMbsCmp(const char* a, const char* b);
int acMbsICmp(const char* a, const char* b);
// Replaces `transform` with the current user coordinate system (axes and origin in world terms).
void acUcsTransform(CaeTransform& transform);
