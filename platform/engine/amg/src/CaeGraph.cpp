#include "amg/CaeGraph.h"

#include <algorithm>

#include "amg/CaeAtomicFile.h"
#include "amg/CaeMsgCall.h"

bool CaePolyLine::GetPoint(double& x, double& y, int i) const {
  if (i < 0 || i >= NumPoints()) return false;
  x = points_[static_cast<std::size_t>(i)].x;
  y = points_[static_cast<std::size_t>(i)].y;
  return true;
}

void CaePolyLine::AddPoint(double x, double y, int orderMethod) {
  if (orderMethod == 1) {
    auto after = std::upper_bound(points_.begin(), points_.end(), x, [](double v, const Point& p) { return v < p.x; });
    points_.insert(after, Point{x, y});
    return;
  }
  points_.push_back(Point{x, y});
}

CaeGraph::~CaeGraph() {
  for (CaePolyLine* line : lines_) delete line;
}

CaePolyLine* CaeGraph::GetPolyLine(int i) const {
  return i >= 0 && i < NumPolyLine() ? lines_[static_cast<std::size_t>(i)] : nullptr;
}

CaePolyLine* CaeGraph::NextPolyLine(const CaePolyLine* line) const {
  auto it = std::find(lines_.begin(), lines_.end(), line);
  if (it == lines_.end() || ++it == lines_.end()) return nullptr;
  return *it;
}

void CaeGraph::AddPolyLine(CaePolyLine* line) {
  if (line && std::find(lines_.begin(), lines_.end(), line) == lines_.end()) lines_.push_back(line);
}

bool CaeGraph::RemovePolyLine(CaePolyLine* line) {
  auto it = std::find(lines_.begin(), lines_.end(), line);
  if (it == lines_.end()) return false;
  lines_.erase(it);
  return true;
}

CaePolyLine* CaeGraph::Series(int series) {
  if (series < 0) return nullptr;
  while (NumPolyLine() <= series) lines_.push_back(new CaePolyLine());
  return lines_[static_cast<std::size_t>(series)];
}

void CaeGraph::SetSeriesTitle(int series, const CaeString& title) {
  if (CaePolyLine* line = Series(series)) line->Name(title);
}

void CaeGraph::AddPoint(double x, double y, int series, int index) {
  CaePolyLine* line = Series(series);
  if (!line) return;
  if (index < 0 || index >= line->NumPoints()) {
    line->AddPoint(x, y, 0);
    return;
  }
  // Rebuild with the new point in place; polylines are short (one point per design cycle).
  CaePolyLine rebuilt;
  for (int i = 0; i < line->NumPoints(); ++i) {
    double px = 0.0, py = 0.0;
    line->GetPoint(px, py, i);
    if (i == index) rebuilt.AddPoint(x, y, 0);
    rebuilt.AddPoint(px, py, 0);
  }
  line->RemoveAll();
  for (int i = 0; i < rebuilt.NumPoints(); ++i) {
    double px = 0.0, py = 0.0;
    rebuilt.GetPoint(px, py, i);
    line->AddPoint(px, py, 0);
  }
}

bool CaeGraph::Report(const std::filesystem::path& file) const {
  CaeString text = "Graph\t" + Name() + "\n";
  text += CaeString::Format("Type\t%d\n", type_);
  text += "X axis\t" + xAxis_.Name() + CaeString::Format("\t%d\n", xAxis_.UnitType());
  text += "Y axis\t" + yAxis_.Name() + CaeString::Format("\t%d\n", yAxis_.UnitType());
  for (const CaePolyLine* line : lines_) {
    text += CaeString::Format("\nSeries\t%s\t%d\n", line->Name().Text(), line->NumPoints());
    for (int i = 0; i < line->NumPoints(); ++i) {
      double x = 0.0, y = 0.0;
      line->GetPoint(x, y, i);
      text += CaeString::FromDouble(x) + "\t" + CaeString::FromDouble(y) + "\n";
    }
  }
  std::string error;
  if (CaeFile::WriteAtomically(file, text.View(), error)) return true;
  CaeMsgCall::Message(1, kCaeMsgCannotOpenFile, {CaeString(file.string() + ": " + error)});
  return false;
}
