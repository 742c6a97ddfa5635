#include "gui/explorer/UIImportResults.h"

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "amg/CaeMsgCall.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/FerState.h"
#include "fev/FerWndOGLDisp.h"
#include "gui/explorer/CExplorerDlg.h"
#include "gui/explorer/UICommands.h"
#include "gui/utils/UIFerSAPI.h"
#include "mfc/services.h"
#include "mfc/win32_files.h"
#include "mfc/winapi.h"
#include "res/ResourceIds.h"

namespace fs = std::filesystem;

UIXdbJob::~UIXdbJob() = default;

namespace {

constexpr const char* kJobName = "XdbJob99";

// The first description-pattern pair of a filter, closed by "|" ("A|*.a||" gives "A|*.a|").
std::string FirstFilter(const std::string& filter) {
  const std::size_t first = filter.find('|');
  const std::size_t second = first == std::string::npos ? first : filter.find('|', first + 1);
  if (second == std::string::npos || filter.empty()) return filter;
  return filter.substr(0, second) + filter.back();
}

// Asks for an existing file; empty when cancelled.
std::string AskFile(unsigned filterId, unsigned extensionId, unsigned nameId, bool firstPairOnly) {
  std::string filter = resLoadString(filterId).Str();
  if (firstPairOnly) filter = FirstFilter(filter);
  CFileDialog dialog(TRUE, resLoadString(extensionId).c_str(), resLoadString(nameId).c_str(),
                     OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, filter.c_str(), nullptr);
  if (dialog.DoModal() != IDOK) return std::string();
  return std::string(dialog.GetPathName());
}

void Say(const CaeString& text) {
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->PrintMessage(text.c_str());
}

void SayNothingImported(const std::string& file, const std::string& why) {
  Say(CaeString::Format(resLoadString(IDS_IMPORT_NOTHING).c_str(), file.c_str(), why.c_str()));
}

// A folder of the import's own, removed with everything in it when the import ends: the job
// converts from copies there, so cleaning the job up never touches the person's files.
class ImportFolder {
 public:
  ImportFolder() {
    std::error_code error;
    std::string pattern = (fs::temp_directory_path(error) / "kestrum-import-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ImportFolder() {
    std::error_code error;
    if (!path_.empty()) fs::remove_all(path_, error);
  }
  ImportFolder(const ImportFolder&) = delete;
  ImportFolder& operator=(const ImportFolder&) = delete;
  bool Ready() const { return !path_.empty(); }
  fs::path Path() const { return path_; }

 private:
  fs::path path_;
};

// A name no live result set of the model has: the file's own name, else with a number.
CaeString FreeSetName(AnlModel* model, const std::string& stem) {
  CaeString name(stem);
  for (int n = 1; model && model->FindResultSet(name); ++n) name = CaeString(stem + std::to_string(n));
  return name;
}

// The job's files come from copies in the import folder; the conversion and the read happen
// there. Answers the set read, or null with `why` set.
FerResultSet* ConvertAndRead(AnlJob& job, const ImportFolder& folder, const std::string& database,
                             const std::string& deck, AnlModel* model, std::string& why) {
  job.Create(CaeString((folder.Path() / kJobName).string()));
  const fs::path deckCopy = folder.Path() / ("input-" + fs::path(deck).filename().string());
  const fs::path databaseCopy = folder.Path() / ("input-" + fs::path(database).filename().string());
  std::error_code error;
  if (!fs::copy_file(mfc::posixPath(deck.c_str()), deckCopy, error) ||
      !fs::copy_file(mfc::posixPath(database.c_str()), databaseCopy, error)) {
    why = "the files cannot be copied for the conversion (" + error.message() + ")";
    return nullptr;
  }
  job.DeckName(CaeString(deckCopy.string()));
  job.AnalysisDB(CaeString(databaseCopy.string()));
  CaeString message;
  if (job.DoConvert(message) != 0) {
    why = message.Str();
    return nullptr;
  }
  FerState* state = FerState::GetState();
  CaeFerInterface* ferInterface = state ? state->GetInterface() : nullptr;
  CAE_CHECK(ferInterface != nullptr);
  std::unique_ptr<FerReader> reader(ferInterface->Reader(job.ResultsFile(), 0));
  CAE_CHECK(reader != nullptr);
  const CaeString name = FreeSetName(model, fs::path(database).stem().string());
  reader->AddResltCaseNames(name, name);
  reader->SetModel(model);
  reader->SetAnlType(job.ConvertedType());
  if (!reader->Read(job.UnitSystem())) {
    why = "the results file cannot be read";
    return nullptr;
  }
  return reader->ResultSet();
}

// Shows the set read: it becomes the current set (with a model) and the view's displayed set.
void ShowImported(FerResultSet* set, AnlModel* model) {
  const HWND activeOnEntry = ::GetActiveWindow();
  CadInterface* cad = CadInterface::GetCurrent();
  auto* display = dynamic_cast<FerWndOGLDisp*>(FerDisplay::GetCurrent());
  if (cad && (!display || !display->GetDisplayHandle())) cad->CreateResultsView();
  if (model) {
    UISetResultSet(set->Name());
  } else if (FerDisplay* current = FerDisplay::GetCurrent()) {
    FerDispSettings settings = current->Settings();
    settings.SetResultSet(set->Name());
    current->SetSettings(settings);
  }
  if (FerState* state = FerState::GetState()) state->DefaultDisplay(1);
  if (cad) cad->ShowResultsWindow(1);
  if (activeOnEntry && ::IsWindow(activeOnEntry)) ::SetActiveWindow(activeOnEntry);
}

}  // namespace

int UIImportResultsDatabase() {
  CadWaitCursor wait;
  const std::string database =
      AskFile(IDS_IMPORT_RESULTS_FILTER, IDS_IMPORT_RESULTS_EXTENSION, IDS_IMPORT_RESULTS_NAME, true);
  if (database.empty()) return 0;
  CAE_CHECK(FerState::GetState() != nullptr);
  if (fs::path(database).extension().string() != "." + std::string(resLoadString(IDS_IMPORT_RESULTS_EXTENSION).Str())) {
    SayNothingImported(database, resLoadString(IDS_IMPORT_WRONG_EXTENSION).Str());
    return 1;
  }
  const std::string deck = AskFile(IDS_IMPORT_DECK_FILTER, IDS_IMPORT_DECK_EXTENSION, IDS_IMPORT_DECK_NAME, false);
  if (deck.empty()) {
    SayNothingImported(database, resLoadString(IDS_IMPORT_NO_DECK).Str());
    return 1;
  }
  AnlControl* control = AnlControl::GetCurrent();
  AnlModel* model = control ? control->CurrentAnlModel() : nullptr;
  ImportFolder folder;
  if (!folder.Ready()) {
    SayNothingImported(database, "no folder for the conversion can be made");
    return 1;
  }
  // With a model the job is the model's for the duration of the import; without one, our own.
  std::unique_ptr<UIXdbJob> ownJob;
  AnlJob* job = model ? model->NewJob() : (ownJob = std::make_unique<UIXdbJob>()).get();
  CAE_CHECK(job != nullptr);
  std::string why;
  FerResultSet* set = ConvertAndRead(*job, folder, database, deck, model, why);
  job->CleanUp();
  job->MarkAsErased();
  if (model) model->DeleteJob(job);
  ownJob.reset();
  if (!set) {
    SayNothingImported(database, why);
    return 1;
  }
  ShowImported(set, model);
  Say(CaeString::Format(resLoadString(IDS_IMPORT_DONE).c_str(), database.c_str(), set->Name().c_str()));
  return 1;
}

int UICmdExplorer() {
  {
    ResourceSetter resources(1);
    CExplorerDlg dialog;
    dialog.DoModal();
  }
  if (CadInterface* cad = CadInterface::GetCurrent()) cad->RefreshAfterCommand();
  return 0;
}
