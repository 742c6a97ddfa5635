#include "gui/graph2d/UIChart2D.h"

namespace {

LPDISPATCH getObject(COleDispatchDriver& owner, DISPID id) {
  LPDISPATCH result = nullptr;
  owner.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_DISPATCH, &result, VTS_NONE);
  return result;
}

LPDISPATCH getObject(CWnd& owner, DISPID id) {
  LPDISPATCH result = nullptr;
  owner.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_DISPATCH, &result, VTS_NONE);
  return result;
}

LPDISPATCH getItem(COleDispatchDriver& owner, DISPID id, const VARIANT& index) {
  LPDISPATCH result = nullptr;
  owner.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_DISPATCH, &result, VTS_VARIANT, &index);
  return result;
}

CString textOf(BSTR text) {
  CString result;
  for (UINT i = 0; i < SysStringLen(text); ++i) result += static_cast<char>(text[i] < 256 ? text[i] : '?');
  SysFreeString(text);
  return result;
}

}  // namespace

CString ChartFont::GetName() {
  BSTR result = nullptr;
  InvokeHelper(0, DISPATCH_PROPERTYGET, VT_BSTR, &result, VTS_NONE);
  return textOf(result);
}
void ChartFont::SetName(const char* name) { InvokeHelper(0, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_BSTR, name); }

void ChartText::SetText(const char* text) { InvokeHelper(1, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_BSTR, text); }

ChartText ChartTitle::GetText() { return ChartText(getObject(*this, 3)); }
ChartFont ChartTitle::GetFont() { return ChartFont(getObject(*this, 8)); }
void ChartTitle::SetFont(LPDISPATCH font) {
  InvokeHelper(8, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_DISPATCH, font);
}

ChartFont ChartLegend::GetFont() { return ChartFont(getObject(*this, 8)); }
void ChartLegend::SetFont(LPDISPATCH font) {
  InvokeHelper(8, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_DISPATCH, font);
}

double ChartValue::GetValue() {
  double result = 0;
  InvokeHelper(1, DISPATCH_PROPERTYGET, VT_R8, &result, VTS_NONE);
  return result;
}
void ChartValue::SetValue(double value) { InvokeHelper(1, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_R8, value); }

ChartText ChartAxis::GetTitle() { return ChartText(getObject(*this, 1)); }
ChartValue ChartAxis::GetMin() { return ChartValue(getObject(*this, 5)); }
ChartValue ChartAxis::GetMax() { return ChartValue(getObject(*this, 6)); }
void ChartAxis::SetProp21(long value) {
  InvokeHelper(21, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4, static_cast<LONG>(value));
}
ChartFont ChartAxis::GetFont() { return ChartFont(getObject(*this, 26)); }
void ChartAxis::SetFont(LPDISPATCH font) {
  InvokeHelper(26, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_DISPATCH, font);
}

ChartAxis ChartAxisCollection::Item(const VARIANT& index) { return ChartAxis(getItem(*this, 3, index)); }

long ChartStyle::GetPattern() {
  LONG result = 0;
  InvokeHelper(1, DISPATCH_PROPERTYGET, VT_I4, &result, VTS_NONE);
  return result;
}
void ChartStyle::SetPattern(long pattern) {
  InvokeHelper(1, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4, static_cast<LONG>(pattern));
}

double ChartCoord::GetX() {
  double result = 0;
  InvokeHelper(1, DISPATCH_PROPERTYGET, VT_R8, &result, VTS_NONE);
  return result;
}
void ChartCoord::SetX(double x) { InvokeHelper(1, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_R8, x); }
double ChartCoord::GetY() {
  double result = 0;
  InvokeHelper(2, DISPATCH_PROPERTYGET, VT_R8, &result, VTS_NONE);
  return result;
}
void ChartCoord::SetY(double y) { InvokeHelper(2, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_R8, y); }

ChartStyle ChartMarker::GetStyle() { return ChartStyle(getObject(*this, 5)); }
ChartCoord ChartMarker::GetPosition() { return ChartCoord(getObject(*this, 7)); }

ChartMarker ChartMarkerCollection::Item(const VARIANT& index) { return ChartMarker(getItem(*this, 3, index)); }

ChartMarkerCollection ChartArea::GetMarkers() { return ChartMarkerCollection(getObject(*this, 8)); }
ChartAxisCollection ChartArea::GetAxes() { return ChartAxisCollection(getObject(*this, 9)); }

long ChartLabels::GetCount() {
  LONG result = 0;
  InvokeHelper(1, DISPATCH_PROPERTYGET, VT_I4, &result, VTS_NONE);
  return result;
}
ChartText ChartLabels::GetItem(const VARIANT& index) { return ChartText(getItem(*this, 5, index)); }
ChartText ChartLabels::Add(const char* text, const VARIANT& index) {
  LPDISPATCH result = nullptr;
  InvokeHelper(4, DISPATCH_METHOD, VT_DISPATCH, &result, VTS_BSTR VTS_VARIANT, text, &index);
  return ChartText(result);
}
void ChartLabels::RemoveAll() { InvokeHelper(6, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE); }

namespace {
long getLong(COleDispatchDriver& d, DISPID id) {
  LONG result = 0;
  d.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_I4, &result, VTS_NONE);
  return result;
}
void putLong(COleDispatchDriver& d, DISPID id, long value) {
  d.InvokeHelper(id, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4, static_cast<LONG>(value));
}
}  // namespace

long ChartData::GetLayout() { return getLong(*this, 1); }
void ChartData::SetLayout(long layout) { putLong(*this, 1, layout); }
long ChartData::GetNumSeries() { return getLong(*this, 2); }
void ChartData::SetNumSeries(long count) { putLong(*this, 2, count); }
void ChartData::SetFirstSeries(long series) { putLong(*this, 3, series); }
void ChartData::SetLastSeries(long series) { putLong(*this, 4, series); }
BOOL ChartData::GetBatched() {
  BOOL result = FALSE;
  InvokeHelper(6, DISPATCH_PROPERTYGET, VT_BOOL, &result, VTS_NONE);
  return result;
}
void ChartData::SetBatched(BOOL batched) {
  InvokeHelper(6, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_BOOL, batched);
}
long ChartData::GetNumPoints(long series) {
  LONG result = 0;
  InvokeHelper(16, DISPATCH_PROPERTYGET, VT_I4, &result, VTS_I4, static_cast<LONG>(series));
  return result;
}
void ChartData::SetNumPoints(long series, long count) {
  InvokeHelper(16, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4 VTS_I4, static_cast<LONG>(series),
               static_cast<LONG>(count));
}
void ChartData::SetFirstPoint(long series, long point) {
  InvokeHelper(17, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4 VTS_I4, static_cast<LONG>(series),
               static_cast<LONG>(point));
}
void ChartData::SetLastPoint(long series, long point) {
  InvokeHelper(18, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4 VTS_I4, static_cast<LONG>(series),
               static_cast<LONG>(point));
}
double ChartData::GetX(long series, long point) {
  double result = 0;
  InvokeHelper(19, DISPATCH_PROPERTYGET, VT_R8, &result, VTS_I4 VTS_I4, static_cast<LONG>(series),
               static_cast<LONG>(point));
  return result;
}
void ChartData::SetX(long series, long point, double x) {
  InvokeHelper(19, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4 VTS_I4 VTS_R8, static_cast<LONG>(series),
               static_cast<LONG>(point), x);
}
double ChartData::GetY(long series, long point) {
  double result = 0;
  InvokeHelper(20, DISPATCH_PROPERTYGET, VT_R8, &result, VTS_I4 VTS_I4, static_cast<LONG>(series),
               static_cast<LONG>(point));
  return result;
}
void ChartData::SetY(long series, long point, double y) {
  InvokeHelper(20, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4 VTS_I4 VTS_R8, static_cast<LONG>(series),
               static_cast<LONG>(point), y);
}
BOOL ChartData::LoadFile(const char* path) {
  BOOL result = FALSE;
  InvokeHelper(10, DISPATCH_METHOD, VT_BOOL, &result, VTS_BSTR, path);
  return result;
}
BOOL ChartData::SaveFile(const char* path) {
  BOOL result = FALSE;
  InvokeHelper(13, DISPATCH_METHOD, VT_BOOL, &result, VTS_BSTR, path);
  return result;
}
void ChartData::SetSeriesStyle(long series, short display) {
  InvokeHelper(21, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4 VTS_I2, static_cast<LONG>(series), display);
}

long ChartGroup::GetChartType() { return getLong(*this, 2); }
void ChartGroup::SetChartType(long type) { putLong(*this, 2, type); }
ChartData ChartGroup::GetData() { return ChartData(getObject(*this, 4)); }
ChartLabels ChartGroup::GetSeriesLabels() { return ChartLabels(getObject(*this, 6)); }
long ChartGroup::PixelToData(long px, long py, double* x, double* y) {
  LONG result = 0;
  InvokeHelper(9, DISPATCH_METHOD, VT_I4, &result, VTS_I4 VTS_I4 VTS_PR8 VTS_PR8, static_cast<LONG>(px),
               static_cast<LONG>(py), x, y);
  return result;
}
long ChartGroup::PickPoint(long px, long py, long mode, long* series, long* point, long* distance) {
  LONG result = 0, s = static_cast<LONG>(*series), p = static_cast<LONG>(*point), d = static_cast<LONG>(*distance);
  InvokeHelper(11, DISPATCH_METHOD, VT_I4, &result, VTS_I4 VTS_I4 VTS_I4 VTS_PI4 VTS_PI4 VTS_PI4, static_cast<LONG>(px),
               static_cast<LONG>(py), static_cast<LONG>(mode), &s, &p, &d);
  *series = s;
  *point = p;
  *distance = d;
  return result;
}

ChartGroup ChartGroupCollection::Item(const VARIANT& index) { return ChartGroup(getItem(*this, 3, index)); }

BOOL CChart2D::Create(const char* /*className*/, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                      UINT id) {
  return CreateControl(GetClassId(), windowName, style, rect, parent, id);
}

ChartTitle CChart2D::GetHeader() { return ChartTitle(getObject(*this, 1)); }
ChartTitle CChart2D::GetFooter() { return ChartTitle(getObject(*this, 2)); }
ChartLegend CChart2D::GetLegend() { return ChartLegend(getObject(*this, 3)); }
BOOL CChart2D::GetProp6() {
  BOOL result = FALSE;
  InvokeHelper(6, DISPATCH_PROPERTYGET, VT_BOOL, &result, VTS_NONE);
  return result;
}
BOOL CChart2D::GetProp7() {
  BOOL result = FALSE;
  InvokeHelper(7, DISPATCH_PROPERTYGET, VT_BOOL, &result, VTS_NONE);
  return result;
}
void CChart2D::SetProp7(BOOL value) { InvokeHelper(7, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_BOOL, value); }
ChartArea CChart2D::GetChartArea() { return ChartArea(getObject(*this, 8)); }
ChartGroupCollection CChart2D::GetChartGroups() { return ChartGroupCollection(getObject(*this, 9)); }
void CChart2D::SetUserChangesAllowed(BOOL allowed) {
  InvokeHelper(13, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_BOOL, allowed);
}
void CChart2D::Refresh() { InvokeHelper(-550, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE); }
BOOL CChart2D::LoadState(const char* path) {
  BOOL result = FALSE;
  InvokeHelper(14, DISPATCH_METHOD, VT_BOOL, &result, VTS_BSTR, path);
  return result;
}
BOOL CChart2D::SaveState(const char* path) {
  BOOL result = FALSE;
  InvokeHelper(15, DISPATCH_METHOD, VT_BOOL, &result, VTS_BSTR, path);
  return result;
}
void CChart2D::ShowPropertyEditor(long page, long first, long second) {
  InvokeHelper(16, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_I4 VTS_I4 VTS_I4, static_cast<LONG>(page),
               static_cast<LONG>(first), static_cast<LONG>(second));
}
BOOL CChart2D::PrintChart(long format, long sizeMode, long left, long top, long width, long height) {
  BOOL result = FALSE;
  InvokeHelper(18, DISPATCH_METHOD, VT_BOOL, &result, VTS_I4 VTS_I4 VTS_I4 VTS_I4 VTS_I4 VTS_I4,
               static_cast<LONG>(format), static_cast<LONG>(sizeMode), static_cast<LONG>(left), static_cast<LONG>(top),
               static_cast<LONG>(width), static_cast<LONG>(height));
  return result;
}
BOOL CChart2D::CopyToClipboard(long format) {
  BOOL result = FALSE;
  InvokeHelper(19, DISPATCH_METHOD, VT_BOOL, &result, VTS_I4, static_cast<LONG>(format));
  return result;
}
BOOL CChart2D::DrawToFile(const char* path, long format) {
  BOOL result = FALSE;
  InvokeHelper(20, DISPATCH_METHOD, VT_BOOL, &result, VTS_BSTR VTS_I4, path, static_cast<LONG>(format));
  return result;
}
BOOL CChart2D::CallMethod22(short code, BOOL redraw) {
  BOOL result = FALSE;
  InvokeHelper(22, DISPATCH_METHOD, VT_BOOL, &result, VTS_I2 VTS_BOOL, code, redraw);
  return result;
}
BOOL CChart2D::SaveAsJpeg(const char* path, long quality, BOOL first, BOOL second, BOOL third) {
  BOOL result = FALSE;
  InvokeHelper(27, DISPATCH_METHOD, VT_BOOL, &result, VTS_BSTR VTS_I4 VTS_BOOL VTS_BOOL VTS_BOOL, path,
               static_cast<LONG>(quality), first, second, third);
  return result;
}
BOOL CChart2D::SaveAsPng(const char* path, BOOL flag) {
  BOOL result = FALSE;
  InvokeHelper(28, DISPATCH_METHOD, VT_BOOL, &result, VTS_BSTR VTS_BOOL, path, flag);
  return result;
}
