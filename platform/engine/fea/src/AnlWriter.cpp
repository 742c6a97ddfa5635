#include "fea/AnlWriter.h"

#include "fea/FeaMessages.h"

namespace {

constexpr const char* kNotAvailable = "Writing analysis decks is not available yet.";

}  // namespace

AnlResltCase* AnlWriter::ResltCase(int index) const {
  return index >= 0 && index < NumResltCases() ? resultCases_[index] : nullptr;
}

int AnlWriter::Check(CaeArray<CaeString>& report) {
  if (resultCases_.empty()) report.Append(CaeString("No result case was given to the deck."));
  report.Append(CaeString(kNotAvailable));
  return 0;
}

int AnlWriter::Write(const CaeString&, CaeString& message) {
  message = CaeString(kNotAvailable);
  FeaReportNotAvailable("Writing an analysis deck");
  return 0;
}

int AnlWriter::CreateDeck(AnlJob*, const CaeString&, CaeString& message, int) {
  message = CaeString(kNotAvailable);
  FeaReportNotAvailable("Writing an analysis deck");
  return 0;
}
