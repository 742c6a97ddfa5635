#include "fea/FerReport.h"

#include <algorithm>

#include "UnitText.h"
#include "amg/CaeAtomicFile.h"
#include "amg/CaeMsgCall.h"
#include "fea/AnlControl.h"
#include "fea/FerResult.h"
#include "fea/FerState.h"

namespace {

constexpr int kHeading = 2;

CaeTextLine Line(const CaeString& text, int size = 1) {
  CaeTextLine line;
  line.Add(CaeText(text, size));
  return line;
}

void Labelled(std::vector<CaeTextLine>& lines, const char* label, const CaeString& value) {
  if (!value.IsEmpty()) lines.push_back(Line(CaeString(label) + ": " + value));
}

CaeString Escaped(const CaeString& text) {
  CaeString out;
  for (char c : text.Str()) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

CaeString HtmlText(const CaeText& t) {
  CaeString style;
  if (!t.Color().IsEmpty()) style += CaeString("color:") + t.Color() + ";";
  if (!t.Background().IsEmpty()) style += CaeString("background-color:") + t.Background() + ";";
  if (t.Size() > 1) style += CaeString::Format("font-size:%d%%;", 100 + 50 * (t.Size() - 1));
  if (style.IsEmpty()) return Escaped(t.Text());
  return CaeString("<span style=\"") + style + "\">" + Escaped(t.Text()) + "</span>";
}

std::string Render(const std::vector<CaeTextLine>& lines, const CaeString& title, const CaeString& picture,
                   int format) {
  std::string out;
  const bool html = format == FerReport::kHtml;
  if (html) out += "<html>\n<head><title>" + Escaped(title).Str() + "</title></head>\n<body>\n";
  if (!picture.IsEmpty())
    out += html ? "<p><img src=\"" + Escaped(picture).Str() + "\"></p>\n" : "Picture: " + picture.Str() + "\n";
  for (const CaeTextLine& line : lines) {
    std::string text;
    bool heading = false;
    for (int i = 0; i < line.Count(); ++i) {
      if (i > 0) text += " ";
      text += html ? HtmlText(line.At(i)).Str() : line.At(i).Text().Str();
      heading = heading || line.At(i).Size() >= kHeading;
    }
    if (html)
      out += (heading ? "<h2>" : "<p>") + text + (heading ? "</h2>\n" : "</p>\n");
    else
      out += (heading ? "\n" : "") + text + "\n";
  }
  if (html) out += "</body>\n</html>\n";
  return out;
}

const FerResultSet* DisplayedSet() {
  FerState* state = FerState::GetState();
  CaeFerInterface* ferInterface = state ? state->GetInterface() : nullptr;
  return ferInterface ? ferInterface->GetResultSet() : nullptr;
}

}  // namespace

FerReport::FerReport(const CaeString& title, const CaeString& engineer, const CaeString& company,
                     const CaeString& client, const CaeString& notes)
    : title_(title), engineer_(engineer), company_(company), client_(client), notes_(notes) {}

void FerReport::ShowDetails(int quantityType) {
  if (std::find(details_.begin(), details_.end(), quantityType) == details_.end()) details_.push_back(quantityType);
}

void FerReport::AddTitleLine(CaeTextLine&) {}

void FerReport::GetPicturePath(CaeString&) {}

CaeString FerReport::PartName() { return CaeString(); }

void FerReport::BuildEnvSection(std::vector<CaeTextLine>&) {}

void FerReport::AddEnvTOC(std::vector<CaeString>&) {}

void FerReport::MaterialSection(std::vector<CaeTextLine>&) {}

CaeString FerReport::GetMsg(unsigned code) { return CaeMsgTxt::GetMessage(code); }

CaeString FerReport::GetUnitString(CaeUnitType type) { return fea_detail::UnitTypeText(type); }

CaeString FerReport::GetUnitString(const FerResult& result) { return GetUnitString(result.UnitType()); }

CaeString FerReport::GetOutputStringForValue(double value) { return CaeString::Format("%.6g", value); }

CaeString FerReport::GetOutputStringForValue(double value, CaeUnitType type) {
  return GetOutputStringForValue(CaeUnit::NativeToHost(type, value));
}

void FerReport::BuildModelSection(std::vector<CaeTextLine>& lines, const FerResultSet* set) {
  lines.push_back(Line(CaeString("Model"), kHeading));
  if (!set) {
    lines.push_back(Line(CaeString("No results are displayed.")));
    return;
  }
  Labelled(lines, "Result set", set->Name());
  Labelled(lines, "Analysis", set->AnalTypeName());
  for (int i = 0; i < set->NumSubSets(); ++i) {
    const CaeString name = set->SubSetName().IsEmpty() ? CaeString("Subset") : set->SubSetName();
    CaeString unit = GetUnitString(set->SubSetUnits());
    lines.push_back(Line(CaeString::Format("%s %d: ", name.Text(), i + 1) +
                         GetOutputStringForValue(set->GetSubSet(i)->GetValue(), set->SubSetUnits()) +
                         (unit.IsEmpty() ? CaeString() : CaeString(" ") + unit)));
  }
}

void FerReport::DetailsSection(std::vector<CaeTextLine>& lines, const FerResultSet* set) {
  if (details_.empty()) return;
  lines.push_back(Line(CaeString("Results"), kHeading));
  for (int type : details_) {
    const FerResult* result = set ? set->FindResult(type) : nullptr;
    if (!result) {
      lines.push_back(Line(CaeString::Format("Quantity %d: no results of this quantity.", type)));
      continue;
    }
    CaeString text = result->Name();
    const CaeString unit = GetUnitString(*result);
    if (!unit.IsEmpty()) text += CaeString(" (") + unit + ")";
    CaeString components;
    for (int i = 0; !result->CompName(i).IsEmpty(); ++i)
      components += (i ? CaeString(", ") : CaeString()) + result->CompName(i);
    if (!components.IsEmpty()) text += CaeString(": ") + components;
    lines.push_back(Line(text));
  }
}

std::vector<CaeTextLine> FerReport::Build() {
  std::vector<CaeTextLine> lines;
  CaeTextLine titleLine;
  AddTitleLine(titleLine);
  if (titleLine.Count() > 0) lines.push_back(titleLine);
  if (!title_.IsEmpty()) lines.push_back(Line(title_, 3));
  Labelled(lines, "Engineer", engineer_);
  Labelled(lines, "Company", company_);
  Labelled(lines, "Client", client_);
  Labelled(lines, "Notes", notes_);
  std::vector<CaeString> contents;
  AddEnvTOC(contents);
  contents.push_back(CaeString("Model"));
  if (!details_.empty()) contents.push_back(CaeString("Results"));
  CaeString toc("Contents:");
  for (std::size_t i = 0; i < contents.size(); ++i) toc += (i ? CaeString(", ") : CaeString(" ")) + contents[i];
  lines.push_back(Line(toc));
  Labelled(lines, "Part", PartName());
  BuildEnvSection(lines);
  const FerResultSet* set = DisplayedSet();
  BuildModelSection(lines, set);
  MaterialSection(lines);
  DetailsSection(lines, set);
  return lines;
}

int FerReport::Generate(const CaeString& path, int format) {
  const std::vector<CaeTextLine> lines = Build();
  CaeString picture;
  GetPicturePath(picture);
  const std::string content = Render(lines, title_, picture, format == kText ? kText : kHtml);
  std::string error;
  if (!CaeFile::WriteAtomically(std::filesystem::path(path.Str()), content, error)) {
    CaeMsgCall::Message(1, kCaeMsgCannotOpenFile, {path});
    return 0;
  }
  return 1;
}

CaeString CaeFerReport::PartName() {
  AnlControl* control = AnlControl::GetCurrent();
  return control ? control->Name() : CaeString();
}

void CaeFerReport::BuildEnvSection(std::vector<CaeTextLine>& lines) {
  AnlControl* control = AnlControl::GetCurrent();
  lines.push_back(Line(CaeString("Environment"), kHeading));
  if (control) Labelled(lines, "Location", control->Location());
  Labelled(lines, "Length unit", GetUnitString(CaeUtLength));
  Labelled(lines, "Force unit", GetUnitString(CaeUtForce));
  Labelled(lines, "Temperature unit", GetUnitString(CaeUtTemperature));
}

void CaeFerReport::AddEnvTOC(std::vector<CaeString>& contents) { contents.push_back(CaeString("Environment")); }
