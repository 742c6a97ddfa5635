// Document services that every dialog uses without knowing the host: mesh generation with its
// report, number formatting for dialog fields, default names and the name rule, the current and
// first objects of the drawing's analysis control, opening and closing the model and the sets
// with the guide's step marks, deleting by name, condition type names, coordinate systems by kind
// name and the check that a file named in a dialog can be written.
//
// Everything goes through the current analysis control (AnlControl::GetCurrent) and the current
// CAD interface; without a control the queries answer an empty text, 0, -1 or null and the
// operations do nothing. Objects marked erased are passed over wherever objects are walked or
// counted by name.
//
// Guide steps (UISetWizardTabState): 1 problem definition, 3 loads, 4 restraints, 6 analyze,
// 7 results.
#pragma once
#include "amg/CaeString.h"
#include "mfc/cstring.h"

class AmgMesh;
class CaeCoordSys;
class CaeMaterial;
class CaeVector;
class CDataExchange;
class CWnd;
class FerResultSet;

// ---- mesh generation ----

// Generates the mesh and tells the user how it went: the node and element counts on the command
// line, or the failure by CadReportMeshFailure. A deferred mesh is left for later. Answers 1 on
// success or for a deferred mesh, 0 on failure (the caller disposes of the mesh) or for null.
int CadGenerateMesh(AmgMesh* mesh);
// The report of a failed generation. Codes 1-4, 7, 8 and 16 with a known (non-zero) location: the
// location in a warning box and on the command line; 9: nothing; 5: "Invalid Geometry" in a box;
// any other code (and those with a zero location): the code in a warning box and on the command
// line. Answers 0.
int CadReportMeshFailure(int errorCode, const CaeVector& location);

// ---- numbers ----

// Rounds `value` for display with `digits` digits and answers the decimals to show. Zero (and a
// value that is not finite) stays as it is and answers `digits`. 0.012345 with 3 digits becomes
// 0.0123 (4 decimals); 654.3 with 1 digit becomes 650 (0 decimals).
int CadRoundToDigits(double& value, int digits);
// The value rounded by CadRoundToDigits, printed with the decimals it answers.
CString& CadFormatValue(CString& text, double value, int digits);
// CadFormatValue, also set as the text of the dialog's control `id`.
CString& CadSetDlgItemValue(CString& text, CWnd* dialog, int id, double value, int digits);
// The decimals that show `digits` digits of `value`: 0 for zero; never above `digits`.
int CadDecimalsFor(double value, int digits);
// The value unrounded with CadDecimalsFor's decimals, also set as the text of control `id`.
CString& CadSetDlgItemDecimals(CString& text, CWnd* window, int id, double value, int digits);

// ---- names ----

// 1 when `name` may name a model, set or other object under the current CAD's rule (without a
// CAD interface, the strict rule: ASCII letters, digits and underscores). The empty name passes;
// the length limit is the callers' check.
int CadIsValidName(const char* name);
// Proposals for new objects: the current control's name given to the default-name functions
// (UIDefaultNames.h), so unique among the live objects of the kind, ignoring case.
CString CadUniqueOptModelName();
CString CadUniqueModelName();
CString CadUniqueLoadCaseName();
CString CadUniqueRestraintCaseName();

// The current control's name (the drawing's base name).
CString CadCurrentControlName();
// The names of the current analysis model, load set and restraint set.
CString CadCurrentModelName();
CString CadCurrentLoadCaseName();
CString CadCurrentRestraintCaseName();
// CadInterface::GetModelType of the current model's name.
int CadCurrentModelType();
// The first live object of each kind in the control's lists. Sets marked erased are passed over
// like models: selecting an erased set's name would make a new set.
CString CadFirstModelName();
CString CadFirstLoadCaseName();
CString CadFirstRestraintCaseName();
// The current model's sub-model count (AnlModel::NumSubModels); -1 without a control or model.
int CadCurrentSubModelCount();
// The material of the current model's sub-model at a 1-based index; null without one.
CaeMaterial* CadSubModelMaterial(int index);
// The live conditions of the current load or restraint set; 0 without one.
int CadCurrentLoadCaseCount();
int CadCurrentRestraintCaseCount();

// ---- opening and closing ----

// Selects or creates the model of that name (CadInterface::SelectOrCreateModel; type -1 keeps an
// existing model's type) and answers its result: 1 existed, 0 created. When another model becomes
// current the results window is hidden and the current result set cleared. Marks step 1 done
// when a model is then current, and step 6 by whether the model has sub-models, then jobs or
// result sets.
int CadOpenModel(const char* name, int type);
// No current model; steps 1, 6 and 7 not done; the results window hidden.
void CadCloseModel();
// Select or create the set of that name; step 3 (4) done when it holds conditions that count for
// the current model. Answer the selection's result.
int CadOpenLoadCase(const char* name);
int CadOpenRestraintCase(const char* name);
// No current set; step 3 (4) not done.
void CadCloseLoadCase();
void CadCloseRestraintCase();
// Shows the current model's result set of that set's name; step 7 done. Null does nothing.
void CadOpenResultSet(FerResultSet* resultSet);
// No current result set; step 7 not done.
void CadCloseResultSet();
// Steps 6 and 7 from the current model: a current result set marks both done; else step 7 is not
// done and step 6 follows the first job that is not erased (not done while the jobs before it
// are erased). A model without jobs leaves step 6.
void CadRefreshResultTabs();
// 1 when the current load set holds a live condition that loads the current model: a heat load
// (types 15-19) for a heat-transfer model, any other type otherwise; always 0 for a vibration
// model. The same for restraints, with the fixed temperatures (20-22) as the thermal ones.
int CadLoadCaseHasLoads();
int CadRestraintCaseHasRestraints();

// ---- deleting by name ----

// Deletes the live object of that name (ignoring case), or the current object for an empty name,
// inside one transaction. The object that was current before becomes current again when it was
// another object and still exists; deleting the current object leaves none current. A name that
// no live object bears changes nothing. Answers 1 when an object was deleted.
int CadDeleteModel(const char* name);
int CadDeleteLoadCase(const char* name);
int CadDeleteRestraintCase(const char* name);

// The display name of a condition type from the string table; empty for a type without one.
CaeString& CadLbcTypeName(CaeString& text, int type);

// ---- coordinate systems ----

// A new coordinate system of the kind named by a string-table text ("Face", "Cartesian",
// "Cylindrical", "Spherical"; any other text gives a Cartesian one), placed on the current UCS
// when `relativeToUcs` is non-zero, else on the world. The caller owns it; a face system gets
// its face from the caller.
CaeCoordSys* CadMakeCoordSys(const CString& kind, int relativeToUcs);

// ---- dialog data checks ----

// Fails the data exchange, with a message, unless `fileName` can be written: a new file can be
// made there, or an existing one opened for writing and the user agrees to replace it. Leaves
// no file behind.
void CadDDXWritableFile(CDataExchange* dx, int id, const CString& fileName);
