// The chart control's window class and its automation objects: each member is exactly one
// automation call by dispatch id. Objects that a get returns are short-lived wrappers that own
// the reference they were handed; copying one adds a reference. Only the members the system
// calls exist here.
#pragma once

#include "mfc/afx.h"
#include "mfc/ole.h"

class ChartFont : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  CString GetName();
  void SetName(const char* name);
};

class ChartText : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  void SetText(const char* text);
};

class ChartTitle : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  ChartText GetText();
  ChartFont GetFont();
  void SetFont(LPDISPATCH font);
};

class ChartLegend : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  ChartFont GetFont();
  void SetFont(LPDISPATCH font);
};

class ChartValue : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  double GetValue();
  void SetValue(double value);
};

class ChartAxis : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  ChartText GetTitle();
  ChartValue GetMin();
  ChartValue GetMax();
  void SetProp21(long value);
  ChartFont GetFont();
  void SetFont(LPDISPATCH font);
};

class ChartAxisCollection : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  ChartAxis Item(const VARIANT& index);
};

class ChartStyle : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  long GetPattern();
  void SetPattern(long pattern);
};

class ChartCoord : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  double GetX();
  void SetX(double x);
  double GetY();
  void SetY(double y);
};

class ChartMarker : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  ChartStyle GetStyle();
  ChartCoord GetPosition();
};

class ChartMarkerCollection : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  ChartMarker Item(const VARIANT& index);
};

class ChartArea : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  ChartMarkerCollection GetMarkers();
  ChartAxisCollection GetAxes();
};

class ChartLabels : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  long GetCount();
  ChartText GetItem(const VARIANT& index);
  ChartText Add(const char* text, const VARIANT& index);
  void RemoveAll();
};

class ChartData : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  long GetLayout();
  void SetLayout(long layout);
  long GetNumSeries();
  void SetNumSeries(long count);
  void SetFirstSeries(long series);
  void SetLastSeries(long series);
  BOOL GetBatched();
  void SetBatched(BOOL batched);
  long GetNumPoints(long series);
  void SetNumPoints(long series, long count);
  void SetFirstPoint(long series, long point);
  void SetLastPoint(long series, long point);
  double GetX(long series, long point);
  void SetX(long series, long point, double x);
  double GetY(long series, long point);
  void SetY(long series, long point, double y);
  BOOL LoadFile(const char* path);
  BOOL SaveFile(const char* path);
  void SetSeriesStyle(long series, short display);
};

class ChartGroup : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  long GetChartType();
  void SetChartType(long type);
  ChartData GetData();
  ChartLabels GetSeriesLabels();
  long PixelToData(long px, long py, double* x, double* y);
  long PickPoint(long px, long py, long mode, long* series, long* point, long* distance);
};

class ChartGroupCollection : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  ChartGroup Item(const VARIANT& index);
};

class CChart2D : public CWnd {
 public:
  static const char* GetClassId() { return "{92D71E93-25A8-11CF-A640-9986B64D9618}"; }
  BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
              UINT id) override;

  ChartTitle GetHeader();
  ChartTitle GetFooter();
  ChartLegend GetLegend();
  BOOL GetProp6();
  BOOL GetProp7();
  void SetProp7(BOOL value);
  ChartArea GetChartArea();
  ChartGroupCollection GetChartGroups();
  void SetUserChangesAllowed(BOOL allowed);
  void Refresh();
  BOOL LoadState(const char* path);
  BOOL SaveState(const char* path);
  void ShowPropertyEditor(long page, long first, long second);
  BOOL PrintChart(long format, long sizeMode, long left, long top, long width, long height);
  BOOL CopyToClipboard(long format);
  BOOL DrawToFile(const char* path, long format);
  BOOL CallMethod22(short code, BOOL redraw);
  BOOL SaveAsJpeg(const char* path, long quality, BOOL first, BOOL second, BOOL third);
  BOOL SaveAsPng(const char* path, BOOL flag);
};
