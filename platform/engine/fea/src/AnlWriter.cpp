#include "fea/AnlWriter.h"

#include <filesystem>
#include <string>

#include "DeckText.h"
#include "amg/CaeAtomicFile.h"
#include "amg/CaeMsgCall.h"
#include "fea/AnlJob.h"
#include "fea/AnlResltCase.h"
#include "fea/FeaMessages.h"

fea_detail::DeckRequest AnlWriter::Request() const {
  fea_detail::DeckRequest request;
  request.model = model_;
  request.cases = resultCases_;
  request.outputs = outputRequests_.Value();
  request.numModes = numModes_;
  request.modeMethod = modeMethod_;
  request.lowMode = lowMode_;
  request.highMode = highMode_;
  request.tempConv = tempConv_;
  return request;
}

namespace {

std::filesystem::path ToPath(const CaeString& text) {
  std::string s = text.Str();
  for (char& c : s)
    if (c == '\\') c = '/';
  return std::filesystem::path(s);
}

CaeString Joined(const std::vector<CaeString>& reasons) {
  std::string text;
  for (const CaeString& r : reasons) {
    std::string line = r.Str();
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    text += (text.empty() ? "" : " ") + line;
  }
  return CaeString(text);
}

}  // namespace

AnlResltCase* AnlWriter::ResltCase(int index) const {
  return index >= 0 && index < NumResltCases() ? resultCases_[index] : nullptr;
}

int AnlWriter::Check(CaeArray<CaeString>& report) {
  std::string text;
  std::vector<CaeString> reasons;
  bool ignored = false;
  const auto request = Request();
  if (fea_detail::BuildDeck(request, text, reasons, ignored)) return 1;
  for (const CaeString& r : reasons) report.Append(r);
  return 0;
}

int AnlWriter::Write(const CaeString& fileName, CaeString& message) {
  std::string text;
  std::vector<CaeString> reasons;
  bool ignored = false;
  const auto request = Request();
  if (!fea_detail::BuildDeck(request, text, reasons, ignored)) {
    message = CaeMsgTxt::GetMessage(kFeaMsgCannotAnalyse) + Joined(reasons);
    return 0;
  }
  std::string error;
  if (!CaeFile::WriteAtomically(ToPath(fileName), text, error)) {
    CaeArray<CaeString> args;
    args.Append(fileName);
    args.Append(CaeString(error));
    message = CaeMsgTxt::GetMessage(kFeaMsgCannotWrite, args);
    return 0;
  }
  // Conditions that do not apply to this analysis type were left out: the caller is told.
  message = ignored ? CaeMsgTxt::GetMessage(0x80001029) : CaeString();
  return 1;
}

int AnlWriter::CreateDeck(AnlJob* job, const CaeString& deckFile, CaeString& message, int) {
  CAE_CHECK(job);
  const CaeString deck = deckFile.IsEmpty() ? job->DeckName() : deckFile;
  if (!Write(deck, message)) return 0;
  job->DeckName(deck);
  job->SetUnitSystem(CaeUnitSystem());
  job->SetAnalysisCode(code_);
  for (AnlResltCase* rc : resultCases_)
    if (rc) job->AddResltCaseNames(rc->Name(), rc->Name());
  return 1;
}
