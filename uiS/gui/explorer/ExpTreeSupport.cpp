#include "gui/explorer/ExpTreeSupport.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "amg/CaeExcept.h"
#include "amg/CaeMsgCall.h"
#include "cadInterface/CadDocServices.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadMaterialLibrary.h"
#include "cadInterface/CadResources.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/FerResult.h"
#include "gui/utils/UINotAvailable.h"

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

CaeString ExpDisplayedResultSetName() {
  AnlControl* control = AnlControl::GetCurrent();
  FerResultSet* set = control ? control->CurrentResultSet() : nullptr;
  return set ? set->Name() : CaeString();
}

int ExpDisplayedSubSet() { return 0; }

void ExpShowResultSet(FerResultSet* set, AnlModel*) { CadOpenResultSet(set); }
void ExpShowJobResults(AnlJob*, AnlModel*) { UINotAvailableYet("Showing a job's results"); }
void ExpShowResultSubSet(int) { UINotAvailableYet("Showing one mode or step"); }
void ExpShowPlainModel() { UINotAvailableYet("Showing the plain model"); }

ExpMaterialCache::ExpMaterialCache() = default;
ExpMaterialCache::~ExpMaterialCache() = default;

bool ExpMaterialCache::Has(const CaeString& name) {
  if (!opened_) {
    opened_ = true;
    if (CadInterface* cad = CadInterface::GetCurrent()) {
      CaeString path;
      library_.reset(cad->OpenMaterialLibrary(cad->MaterialLibraryLocation(path)));
    }
  }
  if (!library_) return false;
  auto found = answers_.find(name.Text());
  if (found != answers_.end()) return found->second;
  const bool has = library_->Find(name) != nullptr;
  answers_.emplace(name.Text(), has);
  return has;
}
