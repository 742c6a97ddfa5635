// The summary report of the displayed results: the identifying texts, a title line and a picture
// supplied by the system, the model (analysis type, result set and subsets, materials with their
// temperature rows, the loads, restraints and thermal conditions with their values and where they
// act, each mesh's nodes and elements), and for each result quantity asked for each component's
// minimum and maximum with the node and its place, and a picture of the quantity's contours: a
// PNG file beside the report ("<report>-<quantity>.png", linked by its bare name). Values are in
// the host's units. Written as HTML (a complete document that an HTML checker accepts) or plain
// text holding the same values.
//
// The report reads the displayed result set through the results state (FerState::GetState and
// its interface). Generate writes the file atomically: on failure there is no file (or the old
// one stays), a warning says why, and the answer is 0. The system derives from CaeFerReport and
// overrides AddTitleLine and GetPicturePath, which Generate calls.
#pragma once

#include <string>
#include <vector>

#include "amg/CaeString.h"
#include "amg/CaeUnit.h"

class FerResult;
class FerResultSet;

// A piece of report text with its size (1 normal, larger is bigger) and HTML colours ("#RRGGBB";
// empty for the default).
class CaeText {
 public:
  explicit CaeText(const CaeString& text, int size = 1, const CaeString& color = CaeString(),
                   const CaeString& background = CaeString())
      : text_(text), size_(size), color_(color), background_(background) {}
  const CaeString& Text() const { return text_; }
  int Size() const { return size_; }
  const CaeString& Color() const { return color_; }
  const CaeString& Background() const { return background_; }

 private:
  CaeString text_;
  int size_;
  CaeString color_;
  CaeString background_;
};

// One line of the report, made of texts.
class CaeTextLine {
 public:
  void Add(const CaeText& text) { texts_.push_back(text); }
  int Count() const { return static_cast<int>(texts_.size()); }
  const CaeText& At(int i) const { return texts_[i]; }

 private:
  std::vector<CaeText> texts_;
};

class FerReport {
 public:
  enum Format : int { kHtml = 0, kText = 1 };

  FerReport() = default;
  FerReport(const CaeString& title, const CaeString& engineer, const CaeString& company, const CaeString& client,
            const CaeString& notes);
  // --- virtual operations, in the engine's order -----------------------------------------
  virtual ~FerReport() = default;
  // Writes the report to `path` (format 0 HTML, 1 plain text). Answers 1 when written.
  virtual int Generate(const CaeString& path, int format);
  // The system's title line (the engine adds none).
  virtual void AddTitleLine(CaeTextLine& line);
  // The picture to show; the engine leaves `path` unchanged (no picture).
  virtual void GetPicturePath(CaeString& path);
  // The name of the analysed part; empty when unknown (then no part line).
  virtual CaeString PartName();
  // The environment section's lines and its entry in the contents.
  virtual void BuildEnvSection(std::vector<CaeTextLine>& lines);
  virtual void BuildModelSection(std::vector<CaeTextLine>& lines, const FerResultSet* set);
  virtual void MaterialSection(std::vector<CaeTextLine>& lines);
  virtual void AddEnvTOC(std::vector<CaeString>& contents);
  // The engine's text of a message code.
  virtual CaeString GetMsg(unsigned code);
  // The host unit's short name of a quantity type, and of a result's quantity.
  virtual CaeString GetUnitString(CaeUnitType type);
  virtual CaeString GetUnitString(const FerResult& result);
  // A native value as shown: in host units of `type` (the second form), "%.6g", "C" locale.
  virtual CaeString GetOutputStringForValue(double value);
  virtual CaeString GetOutputStringForValue(double value, CaeUnitType type);

  // Asks for the details of a result quantity; each quantity once, in the order asked.
  void ShowDetails(int quantityType);

 private:
  // A results picture shown after line `afterLine` of the report: its file name beside the report
  // (the link is relative) and its alternative text.
  struct Picture {
    std::size_t afterLine = 0;
    std::string file;
    std::string alt;
  };
  std::vector<CaeTextLine> Build(const std::string& path);
  void ConditionSection(std::vector<CaeTextLine>& lines);
  CaeString ConditionValue(class AttBaseLbc& condition);
  // A native value in host units with the unit's name.
  CaeString WithUnit(double value, CaeUnitType type);
  void MeshSection(std::vector<CaeTextLine>& lines, const FerResultSet* set);
  void DetailsSection(std::vector<CaeTextLine>& lines, const FerResultSet* set, const std::string& path);
  void ComponentRanges(std::vector<CaeTextLine>& lines, const FerResultSet& set, const FerResult& result, int subset);
  void AddPicture(std::vector<CaeTextLine>& lines, const FerResult& result, const std::string& path);

  CaeString title_, engineer_, company_, client_, notes_;
  std::vector<int> details_;
  std::vector<Picture> pictures_;
};

// The report of the CAD environment: the engine report with the drawing's part and environment.
class CaeFerReport : public FerReport {
 public:
  using FerReport::FerReport;
  CaeString PartName() override;
  void BuildEnvSection(std::vector<CaeTextLine>& lines) override;
  void AddEnvTOC(std::vector<CaeString>& contents) override;
};
