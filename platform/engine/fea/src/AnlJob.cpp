#include "fea/AnlJob.h"

#include <filesystem>
#include <system_error>

#include "fea/FeaMessages.h"

namespace {

std::filesystem::path ToPath(const CaeString& text) {
  std::string s = text.Str();
  for (char& c : s)
    if (c == '\\') c = '/';
  return std::filesystem::path(s);
}

}  // namespace

AnlJob::AnlJob() = default;

AnlJob::~AnlJob() = default;

bool AnlJob::GetResltCaseNames(int index, CaeString& first, CaeString& second) const {
  if (index < 0 || index >= NumRCNames()) return false;
  first = rcNames_[index].first;
  second = rcNames_[index].second;
  return true;
}

void AnlJob::AddResltCaseNames(const CaeString& first, const CaeString& second) {
  rcNames_.emplace_back(first, second);
}

int AnlJob::DoConvert(CaeString& message) {
  message = CaeString("Converting solver output is not available yet.");
  FeaReportNotAvailable("Converting solver output");
  return 1;
}

int AnlJob::Create(const CaeString& baseName) {
  baseName_ = baseName;
  deckName_ = baseName + ".inp";
  resultsFile_ = baseName + ".frd";
  analysisDB_ = baseName + ".dat";
  errorFile_ = baseName + ".log";
  anlDir_ = CaeString(ToPath(baseName).parent_path().string());
  return 1;
}

CaeString AnlJob::AnlCommand() { return CaeString(); }

CaeString AnlJob::ConvertCommand() { return CaeString(); }

int AnlJob::AnlCheck() { return 0; }

int AnlJob::ConvertCheck() { return 0; }

int AnlJob::CleanUp() {
  int removed = 0;
  for (const CaeString* file : {&deckName_, &resultsFile_, &analysisDB_, &errorFile_}) {
    if (file->IsEmpty()) continue;
    std::error_code error;
    if (std::filesystem::remove(ToPath(*file), error)) ++removed;
  }
  return removed;
}

int AnlJob::Run() {
  status_ = AnlStatusFailed;
  FeaReportNotAvailable("Running the solver");
  return 0;
}

void AnlJob::Check() {
  if (status_ != AnlStatusPending || resultsFile_.IsEmpty()) return;
  std::error_code error;
  if (std::filesystem::exists(ToPath(resultsFile_), error)) status_ = AnlStatusDone;
}

AnlConstrJob::AnlConstrJob(int nodeCount) : nodeCount_(nodeCount) { SetAnalysisCode(AnlCodeConcept); }

const CaeString& AnlConstrJob::Text(int index) const {
  static const CaeString empty;
  return index >= 0 && index < 3 ? texts_[index] : empty;
}

void AnlConstrJob::SetText(int index, const CaeString& text) {
  if (index >= 0 && index < 3) texts_[index] = text;
}
