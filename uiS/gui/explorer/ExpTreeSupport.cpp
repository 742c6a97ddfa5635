#include "gui/explorer/ExpTreeSupport.h"

#include <cstdarg>
#include <cstdio>
#include <exception>
#include <vector>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/CadTransactionScope.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"
#include "gui/utils/UIFerSAPI.h"

CaeString ExpFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::vector<char> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  va_end(args);
  return CaeString(buffer.data());
}

bool ExpRunGuarded(const std::function<void()>& work) {
  CadInterface* cad = CadInterface::GetCurrent();
  const int depth = cad ? cad->NumActiveTransactions() : 0;
  try {
    work();
    return true;
  } catch (const CaeExcept& error) {
    if (cad) {
      cad->PrintMessage("\n");
      cad->PrintMessage(error.String().Text());
    }
  } catch (const std::exception&) {
    cmdReportException(kExpForeignExceptionCode);
  }
  if (cad) CadTransactionScope::AbortDownTo(*cad, depth);
  return false;
}

CaeString ExpEngineMessage(std::uint32_t code) { return CaeMsgTxt::GetMessage(code); }

void ExpReportConsistency(const char* file, int line) {
  try {
    CaeMsgCall::GeneralError(file, line);
  } catch (const CaeExcept&) {
    // Reported; the caller goes on with the next object.
  }
}

bool ExpHasLiveMesh(AnlSubModel* subModel) {
  if (!subModel) return false;
  AmgMesh* mesh = subModel->Mesh();
  return mesh && !mesh->IsMarkedAsErased() && !subModel->IsMarkedAsErased();
}

namespace {

// Whether the results display exists (the add-in makes it at load; a bare engine has none).
bool HasResultsDisplay() {
  FerState* state = FerState::GetState();
  return state && state->GetInterface();
}

}  // namespace

CaeString ExpDisplayedResultSetName() {
  CaeString name;
  if (HasResultsDisplay()) {
    UIGetCurrentResultSetName(name);
    return name;
  }
  AnlControl* control = AnlControl::GetCurrent();
  FerResultSet* set = control ? control->CurrentResultSet() : nullptr;
  return set ? set->Name() : name;
}

int ExpDisplayedSubSet() { return HasResultsDisplay() ? UIGetResultSubSet() : 0; }

void ExpShowResultSet(FerResultSet* set, AnlModel* model) { UIShowResultSet(set, model, 0); }
void ExpShowJobResults(AnlJob* job, AnlModel* model) { UIShowJobResults(job, model, 0, 1); }
void ExpShowResultSubSet(int subSet) { UIShowResultSubSet(subSet); }
void ExpShowPlainModel() { UIShowPlainModel(1); }

void ExpMaterialCache::ReturnLibrary::operator()(MaterialLibrary* library) const {
  if (cad) cad->DeleteObject(library);
}

ExpMaterialCache::ExpMaterialCache() = default;
// The library is the interface's: `ReturnLibrary` gives it back, never deletes it here (the
// interface would delete it a second time when it goes).
ExpMaterialCache::~ExpMaterialCache() = default;

bool ExpMaterialCache::Has(const CaeString& name) {
  if (!opened_) {
    opened_ = true;
    if (CadInterface* cad = CadInterface::GetCurrent()) {
      CaeString path;
      library_ = std::unique_ptr<MaterialLibrary, ReturnLibrary>(
          cad->OpenMaterialLibrary(cad->MaterialLibraryLocation(path)), ReturnLibrary{cad});
    }
  }
  if (!library_) return false;
  auto found = answers_.find(name.Text());
  if (found != answers_.end()) return found->second;
  const bool has = library_->Find(name) != nullptr;
  answers_.emplace(name.Text(), has);
  return has;
}

std::vector<AttBaseLbc*> ExpLiveConditions(AttLbcCase& set) {
  std::vector<AttBaseLbc*> conditions;
  for (AttBaseLbc* condition = set.FirstLbc(); condition; condition = set.NextLbc())
    if (!condition->IsMarkedAsErased()) conditions.push_back(condition);
  return conditions;
}
