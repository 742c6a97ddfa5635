#include "fea/FerReport.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "UnitText.h"
#include "amg/CaeArray.h"
#include "amg/CaeAtomicFile.h"
#include "amg/CaeAttrib.h"
#include "amg/CaeMaterial.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeTopoRef.h"
#include "fea/AmgMesh.h"
#include "fea/AnlControl.h"
#include "fea/AnlModel.h"
#include "fea/AttCodes.h"
#include "fea/AttLbc.h"
#include "fea/AttLbcCase.h"
#include "fea/CaeFunc.h"
#include "fea/FeaMessages.h"
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

// A results picture: after which line, the file beside the report and its alternative text.
struct PictureAt {
  std::size_t afterLine;
  std::string file, alt;
};

std::string Image(const std::string& file, const std::string& alt, bool html) {
  if (!html) return "Picture: " + file + " (" + alt + ")\n";
  return "<p><img src=\"" + Escaped(CaeString(file)).Str() + "\" alt=\"" + Escaped(CaeString(alt)).Str() + "\"></p>\n";
}

std::string Render(const std::vector<CaeTextLine>& lines, const CaeString& title, const CaeString& picture,
                   const std::vector<PictureAt>& pictures, int format) {
  std::string out;
  const bool html = format == FerReport::kHtml;
  if (html) {
    const CaeString shown = title.IsEmpty() ? CaeString("Summary report") : title;
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + Escaped(shown).Str() +
           "</title>\n</head>\n<body>\n";
  }
  if (!picture.IsEmpty()) out += Image(picture.Str(), "Product picture", html);
  auto picturesAfter = [&](std::size_t line) {
    for (const PictureAt& p : pictures)
      if (p.afterLine == line) out += Image(p.file, p.alt, html);
  };
  for (std::size_t index = 0; index < lines.size(); ++index) {
    const CaeTextLine& line = lines[index];
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
    picturesAfter(index);
  }
  if (html) out += "</body>\n</html>\n";
  return out;
}

AnlModel* CurrentModel() {
  AnlControl* control = AnlControl::GetCurrent();
  return control ? control->CurrentAnlModel() : nullptr;
}

const char* KindName(int kind) {
  switch (kind) {
    case CaeTopoRef::kVertex: return "vertex";
    case CaeTopoRef::kEdge: return "edge";
    case CaeTopoRef::kFace: return "face";
    case CaeTopoRef::kBody: return "body";
    default: return "";
  }
}

// A picture's file name part for a quantity: letters and digits, the rest as "_".
std::string FilePart(const std::string& name) {
  std::string part;
  for (char c : name) part += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return part.empty() ? std::string("result") : part;
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
  if (AnlModel* model = CurrentModel()) Labelled(lines, "Simulation model", model->Name());
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

void FerReport::MaterialSection(std::vector<CaeTextLine>& lines) {
  AnlModel* model = CurrentModel();
  if (!model) return;
  lines.push_back(Line(CaeString("Materials"), kHeading));
  static const CaeUnitType kUnits[CaeMaterial::kPropCount] = {
      CaeUtDensity, CaeUtStress,       CaeUtStress,    CaeUtNone,         CaeUtStress,
      CaeUtStress,  CaeUtConductivity, CaeUtExpansion, CaeUtSpecificHeat,
  };
  bool any = false;
  for (int i = 0; i < model->NumSubModels(); ++i) {
    AnlSubModel* sub = model->GetSubModel(i);
    if (!sub || sub->IsMarkedAsErased()) continue;
    const CaeMaterial* material = sub->GetMaterial();
    const CaeString body = sub->Name().IsEmpty() ? CaeString::Format("Body %d", i + 1) : sub->Name();
    if (!material) {
      lines.push_back(Line(body + ": no material"));
      continue;
    }
    any = true;
    lines.push_back(Line(body + ": " + material->Name()));
    CaeArray<double> temperatures;
    material->GetTemps(temperatures);
    for (int row = 0; row < temperatures.Count(); ++row) {
      double values[CaeMaterial::kPropCount];
      if (!material->GetProp(temperatures[row], values)) continue;
      CaeString text = CaeString("At ") + WithUnit(temperatures[row], CaeUtTemperature) + ":";
      for (int prop = 0; prop < CaeMaterial::kPropCount; ++prop)
        text += CaeString(prop ? ", " : " ") + CaeMaterial::PropName(prop) + " " + WithUnit(values[prop], kUnits[prop]);
      lines.push_back(Line(text));
    }
  }
  if (!any) lines.push_back(Line(CaeString("No material is assigned.")));
}

CaeString FerReport::WithUnit(double value, CaeUnitType type) {
  const CaeString unit = type == CaeUtNone ? CaeString() : GetUnitString(type);
  const CaeString shown = type == CaeUtNone ? GetOutputStringForValue(value) : GetOutputStringForValue(value, type);
  return unit.IsEmpty() ? shown : shown + " " + unit;
}

void FerReport::ConditionSection(std::vector<CaeTextLine>& lines) {
  AnlControl* control = AnlControl::GetCurrent();
  if (!control) return;
  lines.push_back(Line(CaeString("Loads, restraints and thermal conditions"), kHeading));
  int count = 0;
  auto list = [&](AttLbcCase* set, const char* kind) {
    for (AttBaseLbc* c = set->FirstLbc(); c; c = set->NextLbc()) {
      if (c->IsMarkedAsErased()) continue;
      ++count;
      CaeString text = CaeString(kind) + " " + set->Name() + ", " + c->Name() + ": " +
                       CaeString(std::string(AttCodeName(c->Type())).c_str()) + " " + ConditionValue(*c);
      if (auto* attribute = dynamic_cast<CaeAttrib*>(c); attribute && attribute->GetTopoRef()) {
        const CaeTopoRef* ref = attribute->GetTopoRef();
        text += CaeString::Format(" on %s %ld", KindName(ref->Kind()), ref->Id());
      }
      lines.push_back(Line(text));
    }
  };
  for (AttLbcCase* set = control->FirstLoadCase(); set; set = control->NextLoadCase())
    if (!set->IsMarkedAsErased()) list(set, "Load set");
  for (AttLbcCase* set = control->FirstRestraintCase(); set; set = control->NextRestraintCase())
    if (!set->IsMarkedAsErased()) list(set, "Restraint set");
  if (count == 0) lines.push_back(Line(CaeString("none")));
}

CaeString FerReport::ConditionValue(AttBaseLbc& c) {
  const AttLbcDescript* descriptor = c.Descriptor();
  const CaeUnitType unit = descriptor ? descriptor->Dimension() : CaeUtNone;
  if (auto* convection = dynamic_cast<AttLbcConv*>(&c))
    return CaeString("film coefficient ") + WithUnit(convection->FilmCoef(), unit) + ", ambient " +
           WithUnit(convection->AmbientTemp(), CaeUtTemperature);
  if (auto* generation = dynamic_cast<AttLbcHgen*>(&c)) return WithUnit(generation->HeatGeneration(), unit);
  if (auto* temperature = dynamic_cast<AttModelTemp*>(&c))
    return CaeString("model ") + WithUnit(temperature->ModelTemp(), CaeUtTemperature) + ", reference " +
           WithUnit(temperature->RefTemp(), CaeUtTemperature);
  CaeString text;
  if (descriptor && descriptor->kind == 1) {
    // A restraint: the components it holds.
    static const char* const kComponents[6] = {"X", "Y", "Z", "RX", "RY", "RZ"};
    for (int i = 0; i < 6; ++i)
      if (!c.FreeComponents()[i]) text += CaeString(text.IsEmpty() ? "fixed " : " ") + kComponents[i];
    return text.IsEmpty() ? CaeString("all free") : text;
  }
  const CaeVector value = c.EvaluateVecAtPointLocal(CaeVector());
  if (descriptor && descriptor->valueKind == 1) return WithUnit(value[0], unit);
  const CaeString u = unit == CaeUtNone ? CaeString() : CaeString(" ") + GetUnitString(unit);
  return CaeString("(") + GetOutputStringForValue(value[0], unit) + ", " + GetOutputStringForValue(value[1], unit) +
         ", " + GetOutputStringForValue(value[2], unit) + ")" + u;
}

void FerReport::MeshSection(std::vector<CaeTextLine>& lines, const FerResultSet* set) {
  lines.push_back(Line(CaeString("Meshes"), kHeading));
  int count = 0;
  if (AnlModel* model = CurrentModel()) {
    for (int i = 0; i < model->NumSubModels(); ++i) {
      AnlSubModel* sub = model->GetSubModel(i);
      AmgMesh* mesh = sub && !sub->IsMarkedAsErased() ? sub->Mesh() : nullptr;
      if (!mesh) continue;
      ++count;
      const CaeString body = sub->Name().IsEmpty() ? CaeString::Format("Body %d", i + 1) : sub->Name();
      lines.push_back(
          Line(CaeString::Format("%s: %d nodes, %d elements", body.Text(), mesh->NumNodes(), mesh->NumElements())));
    }
  }
  if (set && set->Mesh()) {
    ++count;
    lines.push_back(Line(
        CaeString::Format("Results mesh: %d nodes, %d elements", set->Mesh()->NumNodes(), set->Mesh()->NumElements())));
  }
  if (count == 0) lines.push_back(Line(CaeString("none")));
}

void FerReport::ComponentRanges(std::vector<CaeTextLine>& lines, const FerResultSet& set, const FerResult& result,
                                int subset) {
  if (subset >= result.NumNodalSubsets()) {
    lines.push_back(Line(CaeString("No values.")));
    return;
  }
  const std::vector<long>& ids = result.NodeIds(subset);
  const std::vector<double>& values = result.NodeValues(subset);
  const int components = result.NumComponents();
  const FerMesh* mesh = set.Mesh();
  auto place = [&](long node) {
    if (mesh)
      for (int i = 0; i < mesh->NumNodes(); ++i)
        if (mesh->nodeIds[i] == node) {
          const double* p = &mesh->coordinates[static_cast<std::size_t>(i) * 3];
          return CaeString::Format(" at node %ld (", node) + GetOutputStringForValue(p[0], CaeUtLength) + ", " +
                 GetOutputStringForValue(p[1], CaeUtLength) + ", " + GetOutputStringForValue(p[2], CaeUtLength) + " " +
                 GetUnitString(CaeUtLength) + ")";
        }
    return CaeString::Format(" at node %ld", node);
  };
  for (int c = 0; c < components; ++c) {
    std::size_t low = ids.size(), high = ids.size();
    for (std::size_t n = 0; n < ids.size(); ++n) {
      const double v = values[n * components + c];
      if (!std::isfinite(v)) continue;
      if (low == ids.size() || v < values[low * components + c]) low = n;
      if (high == ids.size() || v > values[high * components + c]) high = n;
    }
    if (low == ids.size()) continue;
    lines.push_back(Line(result.CompName(c) + ": minimum " + WithUnit(values[low * components + c], result.UnitType()) +
                         place(ids[low]) + ", maximum " + WithUnit(values[high * components + c], result.UnitType()) +
                         place(ids[high])));
  }
}

void FerReport::AddPicture(std::vector<CaeTextLine>& lines, const FerResult& result, const std::string& path) {
  FerDisplay* display = FerDisplay::GetCurrent();
  const std::filesystem::path report(path);
  const std::string file = report.stem().string() + "-" + FilePart(result.Name().Str()) + ".png";
  const int component = result.QuantityType() == FerQtyDisplacement && result.NumComponents() > 3 ? 8 : 1;
  const std::string alt = result.Name().Str() + " (" + result.CompName(component == 8 ? 3 : 0).Str() + ") contours";
  std::string error = "there is no results display";
  if (display) {
    FerDispSettings settings = display->Settings();
    FerColorSetting color = settings.GetColorSettings();
    color.SetResult(result.QuantityType());
    color.SetComponent(component);
    color.Visible(1);
    color.UseFactorOfSafety(0);
    color.SetRangeType(1);
    settings.SetColorSettings(color);
    if (display->SaveViewPicture(settings, (report.parent_path() / file).string(), error)) {
      pictures_.push_back({lines.size() - 1, file, alt});
      return;
    }
  }
  lines.push_back(Line(CaeString("No picture: ") + CaeString(error)));
}

void FerReport::DetailsSection(std::vector<CaeTextLine>& lines, const FerResultSet* set, const std::string& path) {
  if (details_.empty()) return;
  lines.push_back(Line(CaeString("Results"), kHeading));
  FerDisplay* display = FerDisplay::GetCurrent();
  const int subset = display ? std::max(0, display->Settings().GetResultSubSet() - 1) : 0;
  for (int type : details_) {
    const FerResult* result = set ? set->FindResult(type) : nullptr;
    if (!result) {
      lines.push_back(Line(CaeString::Format("Quantity %d: no results of this quantity.", type)));
      continue;
    }
    CaeString text = result->Name();
    const CaeString unit = GetUnitString(*result);
    if (!unit.IsEmpty()) text += CaeString(" (") + unit + ")";
    lines.push_back(Line(text));
    ComponentRanges(lines, *set, *result, std::min(subset, std::max(0, result->NumNodalSubsets() - 1)));
    AddPicture(lines, *result, path);
  }
}

std::vector<CaeTextLine> FerReport::Build(const std::string& path) {
  pictures_.clear();
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
  ConditionSection(lines);
  MeshSection(lines, set);
  DetailsSection(lines, set, path);
  return lines;
}

int FerReport::Generate(const CaeString& path, int format) {
  const std::vector<CaeTextLine> lines = Build(path.Str());
  CaeString picture;
  GetPicturePath(picture);
  std::vector<PictureAt> pictures;
  for (const Picture& p : pictures_) pictures.push_back({p.afterLine, p.file, p.alt});
  const std::string content = Render(lines, title_, picture, pictures, format == kText ? kText : kHtml);
  std::string error;
  if (!CaeFile::WriteAtomically(std::filesystem::path(path.Str()), content, error)) {
    CaeMsgCall::Message(1, kFeaMsgCannotWrite, {path, CaeString(error)});
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
