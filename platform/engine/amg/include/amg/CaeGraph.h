// Graphs: named 2-D polylines with an x and a y axis.
//
// A CaeGraph owns its polylines and deletes them when destroyed. Points keep the order they are
// given (order method 0); order method 1 keeps a polyline sorted by x (a point with an equal x
// goes after the ones already there). Report writes the graph as a text file.
#pragma once
#include <filesystem>
#include <vector>

#include "amg/CaeName.h"
#include "amg/CaeString.h"

class CaeGraphAxis : public CaeName {
 public:
  CaeGraphAxis() = default;
  explicit CaeGraphAxis(const CaeString& name, int unitType = 25) : CaeName(name), unitType_(unitType) {}
  // The quantity type of the axis values (25: no unit).
  int UnitType() const { return unitType_; }
  void SetUnitType(int unitType) { unitType_ = unitType; }

 private:
  int unitType_ = 25;
};

class CaePolyLine : public CaeName {
 public:
  CaePolyLine() = default;
  explicit CaePolyLine(const CaeString& name) : CaeName(name) {}
  virtual ~CaePolyLine() = default;

  int NumPoints() const { return static_cast<int>(points_.size()); }
  // Point i (0-based); false and outputs unchanged when i is out of range.
  bool GetPoint(double& x, double& y, int i) const;
  void AddPoint(double x, double y, int orderMethod = 0);
  void RemoveAll() { points_.clear(); }

 private:
  struct Point {
    double x, y;
  };
  std::vector<Point> points_;
};

class CaeGraph : public CaeName {
 public:
  explicit CaeGraph(int type = 0) : type_(type) {}
  CaeGraph(const CaeGraph&) = delete;
  CaeGraph& operator=(const CaeGraph&) = delete;
  virtual ~CaeGraph();

  // Graph type 0, 1 or 2 (its meaning belongs to whoever draws the graph).
  int Type() const { return type_; }
  void Type(int type) { type_ = type; }
  void SetType(int type) { type_ = type; }
  CaeGraphAxis XAxis() const { return xAxis_; }
  void XAxis(const CaeGraphAxis& axis) { xAxis_ = axis; }
  CaeGraphAxis YAxis() const { return yAxis_; }
  void YAxis(const CaeGraphAxis& axis) { yAxis_ = axis; }

  int NumPolyLine() const { return static_cast<int>(lines_.size()); }
  // Polyline i (0-based), or null.
  CaePolyLine* GetPolyLine(int i) const;
  CaePolyLine* FirstPolyLine() const { return GetPolyLine(0); }
  // The polyline after `line`, or null.
  CaePolyLine* NextPolyLine(const CaePolyLine* line) const;
  // Appends a polyline; the graph owns it.
  void AddPolyLine(CaePolyLine* line);
  // Detaches a polyline (the caller then owns it); false when the graph does not hold it.
  bool RemovePolyLine(CaePolyLine* line);

  // Series s is polyline s; both create the series (and any before it) when missing. AddPoint
  // appends (x, y) to the series (index -1) or inserts it before point `index`.
  void SetSeriesTitle(int series, const CaeString& title);
  void AddPoint(double x, double y, int series = 0, int index = -1);

  // Writes the graph (name, type, axes, then each polyline's points, "C" locale) atomically; false
  // with a level-1 warning when the file cannot be written.
  bool Report(const std::filesystem::path& file) const;

 private:
  CaePolyLine* Series(int series);

  int type_;
  CaeGraphAxis xAxis_;
  CaeGraphAxis yAxis_;
  std::vector<CaePolyLine*> lines_;
};
