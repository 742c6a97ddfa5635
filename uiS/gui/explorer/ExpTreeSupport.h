// Small helpers of the Explorer tree: label formatting, engine message texts, the consistency
// report that lets a fill go on, the material library read once per rebuild, and the results
// state the tree marks.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "amg/CaeString.h"

class AnlJob;
class AttBaseLbc;
class AttLbcCase;
class CadInterface;
class AnlModel;
class AnlSubModel;
class CMenu;
class FerResultSet;
class MaterialLibrary;

// Engine messages of the optimisation graph entries.
constexpr std::uint32_t kExpHistoryMessage = 0x40001024;
constexpr std::uint32_t kExpSensitivityMessage = 0x40001025;
constexpr std::uint32_t kExpLocalTrendMessage = 0x40001026;
// The refusal to update a mesh that has results.
constexpr std::uint32_t kExpResultsOnMeshMessage = 0xC0000FE7;

// The code reported for a failure that is not an engine exception (a foreign C++ exception).
constexpr std::uint32_t kExpForeignExceptionCode = 0xE06D7363;

// Runs work that nothing above would catch (a window's timer or initialisation, a menu command) as
// the tree runs an action: an engine exception's text is printed, any other exception is reported
// by its code, and the host transactions left open are aborted down to the depth found on entry,
// so the window and its timer live on. False when the work failed.
bool ExpRunGuarded(const std::function<void()>& work);

// The set's conditions that are not erased, in the set's order, as the tree lists them. The set's
// own walk: a drawing's set refills it from the drawing, so a set just restored by undo lists
// what it holds (its engine list is empty until the next walk).
std::vector<AttBaseLbc*> ExpLiveConditions(AttLbcCase& set);

// printf-style formatting into a CaeString.
CaeString ExpFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The engine's text of a message code.
CaeString ExpEngineMessage(std::uint32_t code);
// Reports a consistency check through the engine's message routine without raising, so that the
// caller goes on (a fill of the tree lists the remaining objects).
void ExpReportConsistency(const char* file, int line);
// Whether the sub-model has a mesh whose drawing object is not marked erased.
bool ExpHasLiveMesh(AnlSubModel* subModel);
// The displayed result set's name (empty without one) and its displayed subset (1-based; 0 none).
CaeString ExpDisplayedResultSetName();
int ExpDisplayedSubSet();

// The results display as the Explorer uses it: a stored set of a model, a job's results, one
// subset of the displayed set, the bare mesh of the current model.
void ExpShowResultSet(FerResultSet* set, AnlModel* model);
void ExpShowJobResults(AnlJob* job, AnlModel* model);
void ExpShowResultSubSet(int subSet);
void ExpShowPlainModel();

// Menu 235 cut to the availability bits, then tidied: emptied submenus and separators that are
// first, last or next to another separator removed.
void ExpPruneMenu(CMenu& popup, unsigned flags);
void ExpTidyMenu(CMenu& popup);

// The current material library, opened on the first question and kept while this object lives:
// one read per rebuild instead of one per mesh item, with the same answers. The library goes back
// to the CAD that made it (CadInterface::DeleteObject), which keeps account of the libraries it
// handed out.
class ExpMaterialCache {
 public:
  ExpMaterialCache();
  ~ExpMaterialCache();
  ExpMaterialCache(const ExpMaterialCache&) = delete;
  ExpMaterialCache& operator=(const ExpMaterialCache&) = delete;

  // Whether the library holds a material of exactly that name.
  bool Has(const CaeString& name);

 private:
  struct ReturnLibrary {
    CadInterface* cad = nullptr;
    void operator()(MaterialLibrary* library) const;
  };
  bool opened_ = false;
  std::unique_ptr<MaterialLibrary, ReturnLibrary> library_{nullptr, ReturnLibrary{}};
  std::map<std::string, bool> answers_;
};
