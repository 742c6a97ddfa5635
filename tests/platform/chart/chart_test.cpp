// The chart control through its automation interface, as a host window sees it: counted objects,
// data rules, state and data files, the geometry contract (pixels, regions, picks), what it
// draws, image files, the clipboard, printing, mouse events and the property editor.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include <unistd.h>

#include "chart/chart.h"
#include "kestrum/raster.h"
#include "mfc/afx.h"
#include "mfc/global_memory.h"
#include "mfc/log.h"
#include "mfc/ole.h"
#include "mfc_fixture.h"

namespace fs = std::filesystem;
using kestrum::raster::Image;
using kestrum::raster::Rgb;

namespace {

// A 600 x 450 pixel chart (400 x 300 dialog units).
const char* const kHost = R"(
DIALOG 302 "Chart Host" SIZE 420 320
  CUSTOM 1425 "{92D71E93-25A8-11CF-A640-9986B64D9618}" 0 0 400 300
END
)";
constexpr int kWidth = 600, kHeight = 450;

Image readPicture(const fs::path& path) {
  png_image read{};
  read.version = PNG_IMAGE_VERSION;
  Image image;
  if (!png_image_begin_read_from_file(&read, path.c_str())) return image;
  read.format = PNG_FORMAT_RGB;
  image.width = static_cast<int>(read.width);
  image.height = static_cast<int>(read.height);
  image.rgb.resize(PNG_IMAGE_SIZE(read));
  if (!png_image_finish_read(&read, nullptr, image.rgb.data(), 0, nullptr)) image = Image();
  png_image_free(&read);
  return image;
}

std::string fileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

VARIANT name(const wchar_t* text) {
  VARIANT v;
  v.vt = VT_BSTR;
  v.text = text;
  return v;
}

VARIANT number(LONG value, VARTYPE type = VT_I4) {
  VARIANT v;
  v.vt = type;
  v.lVal = value;
  return v;
}

COleDispatchDriver object(CWnd& chart, DISPID id) {
  LPDISPATCH d = nullptr;
  chart.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_DISPATCH, &d, VTS_NONE);
  return COleDispatchDriver(d);
}
COleDispatchDriver object(COleDispatchDriver& owner, DISPID id) {
  LPDISPATCH d = nullptr;
  owner.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_DISPATCH, &d, VTS_NONE);
  return COleDispatchDriver(d);
}
COleDispatchDriver item(COleDispatchDriver& collection, const VARIANT& index, DISPID id = 3) {
  LPDISPATCH d = nullptr;
  collection.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_DISPATCH, &d, VTS_VARIANT, &index);
  return COleDispatchDriver(d);
}

// A dialog hosting one chart, its mouse events recorded through its event-sink map.
class ChartHost : public CDialog {
 public:
  ChartHost() : CDialog(302) {}
  std::vector<std::string> events;
  void OnDown(short button, short shift, LONG x, LONG y) { record("down", button, shift, x, y); }
  void OnMove(short button, short shift, LONG x, LONG y) { record("move", button, shift, x, y); }
  void OnUp(short button, short shift, LONG x, LONG y) { record("up", button, shift, x, y); }
  void OnClick() { events.push_back("click"); }
  void OnDoubleClick() { events.push_back("dblclick"); }

 private:
  void record(const char* what, short button, short shift, LONG x, LONG y) {
    events.push_back(std::string(what) + " " + std::to_string(button) + " " + std::to_string(shift) + " " +
                     std::to_string(x) + " " + std::to_string(y));
  }
  DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(ChartHost, CDialog)
ON_EVENT(ChartHost, 1425, -605, OnDown, VTS_I2 VTS_I2 VTS_I4 VTS_I4)
ON_EVENT(ChartHost, 1425, -606, OnMove, VTS_I2 VTS_I2 VTS_I4 VTS_I4)
ON_EVENT(ChartHost, 1425, -607, OnUp, VTS_I2 VTS_I2 VTS_I4 VTS_I4)
ON_EVENT(ChartHost, 1425, -600, OnClick, VTS_NONE)
ON_EVENT(ChartHost, 1425, -601, OnDoubleClick, VTS_NONE)
END_EVENTSINK_MAP()

class ChartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    chart::RegisterChartControl();
    ASSERT_TRUE(host.Create(302));
    chart = host.GetDlgItem(1425);
    ASSERT_NE(chart, nullptr);
    groups = object(*chart, 9);
    group = item(groups, number(1, VT_I2));
    data = object(group, 4);
    dir = fs::temp_directory_path() / ("chart-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    data.ReleaseDispatch();
    group.ReleaseDispatch();
    groups.ReleaseDispatch();
    host.DestroyWindow();
    fs::remove_all(dir);
  }

  void putInt(DISPID id, LONG value) { data.InvokeHelper(id, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4, value); }
  LONG getInt(DISPID id) {
    LONG value = -12345;
    data.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_I4, &value, VTS_NONE);
    return value;
  }
  void setPoints(LONG series, LONG count) {
    data.InvokeHelper(16, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4 VTS_I4, series, count);
  }
  LONG points(LONG series) {
    LONG value = -12345;
    data.InvokeHelper(16, DISPATCH_PROPERTYGET, VT_I4, &value, VTS_I4, series);
    return value;
  }
  void setXY(LONG series, LONG point, double x, double y) {
    data.InvokeHelper(19, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4 VTS_I4 VTS_R8, series, point, x);
    data.InvokeHelper(20, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4 VTS_I4 VTS_R8, series, point, y);
  }
  double value(DISPID id, LONG series, LONG point) {
    double v = -999;
    data.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_R8, &v, VTS_I4 VTS_I4, series, point);
    return v;
  }
  void setChartType(LONG type) { group.InvokeHelper(2, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4, type); }
  void setBound(const wchar_t* axisName, DISPID which, double v) {
    COleDispatchDriver area = object(*chart, 8), axes = object(area, 9), axis = item(axes, name(axisName));
    COleDispatchDriver bound = object(axis, which);
    bound.InvokeHelper(1, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_R8, v);
  }
  // Axes fixed to 0..10 both ways; series of (x, y) lists in layout 2.
  void load(const std::vector<std::vector<std::pair<double, double>>>& series) {
    putInt(1, 2);
    putInt(2, static_cast<LONG>(series.size()));
    putInt(3, 1);
    putInt(4, static_cast<LONG>(series.size()));
    for (std::size_t s = 0; s < series.size(); ++s) {
      setPoints(static_cast<LONG>(s + 1), static_cast<LONG>(series[s].size()));
      for (std::size_t p = 0; p < series[s].size(); ++p)
        setXY(static_cast<LONG>(s + 1), static_cast<LONG>(p + 1), series[s][p].first, series[s][p].second);
    }
    setBound(L"x", 5, 0);
    setBound(L"x", 6, 10);
    setBound(L"y", 5, 0);
    setBound(L"y", 6, 10);
  }
  BOOL saveState(const fs::path& path) {
    BOOL ok = FALSE;
    chart->InvokeHelper(15, DISPATCH_METHOD, VT_BOOL, &ok, VTS_BSTR, path.c_str());
    return ok;
  }
  BOOL loadState(const fs::path& path) {
    BOOL ok = FALSE;
    chart->InvokeHelper(14, DISPATCH_METHOD, VT_BOOL, &ok, VTS_BSTR, path.c_str());
    return ok;
  }
  std::string state() {
    const fs::path path = dir / "probe.oc2";
    EXPECT_TRUE(saveState(path));
    return fileText(path);
  }
  Image picture() {
    const fs::path path = dir / "picture.png";
    BOOL ok = FALSE;
    chart->InvokeHelper(28, DISPATCH_METHOD, VT_BOOL, &ok, VTS_BSTR VTS_BOOL, path.c_str(), FALSE);
    EXPECT_TRUE(ok);
    return readPicture(path);
  }
  // Data (0..10 axes) to pixels, by the contract.
  static int px(double x) { return static_cast<int>(std::lround(72 + x / 10.0 * (kWidth - 150 - 72))); }
  static int py(double y) { return static_cast<int>(std::lround((kHeight - 56) - y / 10.0 * (kHeight - 56 - 40))); }

  mfctest::ResourceScope resources{kHost};
  ChartHost host;
  CWnd* chart = nullptr;
  COleDispatchDriver groups, group, data;
  fs::path dir;
};

TEST_F(ChartTest, ObjectWrappersHoldOneReferenceEachAndReleaseIt) {
  COleDispatchDriver header = object(*chart, 1);
  ASSERT_NE(header.m_lpDispatch, nullptr);
  EXPECT_EQ(header.m_lpDispatch->AddRef(), 2u) << "a get hands out exactly one reference";
  EXPECT_EQ(header.m_lpDispatch->Release(), 1u);
  {
    COleDispatchDriver copy = header;
    EXPECT_EQ(copy.m_lpDispatch, header.m_lpDispatch);
    EXPECT_EQ(header.m_lpDispatch->AddRef(), 3u) << "copying adds a reference";
    header.m_lpDispatch->Release();
    COleDispatchDriver assigned;
    assigned = header;
    EXPECT_EQ(header.m_lpDispatch->AddRef(), 4u);
    header.m_lpDispatch->Release();
  }
  EXPECT_EQ(header.m_lpDispatch->AddRef(), 2u) << "each copy released its own reference";
  header.m_lpDispatch->Release();

  COleDispatchDriver text = object(header, 3);
  text.InvokeHelper(1, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_BSTR, "Young's Modulus vs. Temperature");
  BSTR read = nullptr;
  object(header, 3).InvokeHelper(1, DISPATCH_PROPERTYGET, VT_BSTR, &read, VTS_NONE);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(std::wstring(read), L"Young's Modulus vs. Temperature") << "a short-lived wrapper reads the same text";
  SysFreeString(read);
  // A result nobody takes (no result pointer) is released rather than leaked (LSan would say).
  chart->InvokeHelper(1, DISPATCH_PROPERTYGET, VT_EMPTY, nullptr, VTS_NONE);
}

TEST_F(ChartTest, LayoutOneLetsSeriesOneHoldThePointCountForAll) {
  putInt(1, 1);
  putInt(2, 3);
  setPoints(1, 4);
  EXPECT_EQ(points(2), 4);
  EXPECT_EQ(points(3), 4);
  setXY(1, 4, 30, 300);
  setXY(3, 4, 0, 7.5);
  EXPECT_EQ(value(19, 1, 4), 30);
  EXPECT_EQ(value(20, 3, 4), 7.5);
  EXPECT_EQ(value(20, 2, 4), 0) << "an unwritten y reads 0";
  putInt(1, 2);
  EXPECT_EQ(points(2), 0) << "layout 2: each series has its own count";
}

TEST_F(ChartTest, BadCallsAreLoggedAndChangeNothing) {
  putInt(1, 2);
  putInt(2, 2);
  setPoints(1, 2);
  setXY(1, 1, 1, 2);
  const std::string before = state();
  struct Case {
    const char* what;
    std::function<void()> call;
  };
  const Case cases[] = {
      {"unknown control member", [&] { chart->InvokeHelper(77, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_NONE); }},
      {"unknown data member", [&] { putInt(99, 1); }},
      {"layout 3", [&] { putInt(1, 3); }},
      {"too many series", [&] { putInt(2, chart::kMaxSeries + 1); }},
      {"negative count", [&] { setPoints(1, -1); }},
      {"count of series 0", [&] { setPoints(0, 1); }},
      {"count past the series", [&] { setPoints(3, 1); }},
      {"x past the points", [&] { setXY(1, 3, 5, 5); }},
      {"x of point 0", [&] { setXY(1, 0, 5, 5); }},
      {"text as x",
       [&] { data.InvokeHelper(19, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4 VTS_I4 VTS_BSTR, 1, 1, "abc"); }},
      {"infinite y", [&] { setXY(1, 1, 1, INFINITY); }},
      {"chart type 3", [&] { setChartType(3); }},
      {"chart group 2", [&] { item(groups, number(2, VT_I2)); }},
      {"axis \"z\"",
       [&] {
         COleDispatchDriver area = object(*chart, 8), axes = object(area, 9);
         item(axes, name(L"z"));
       }},
      {"display value 3",
       [&] { data.InvokeHelper(21, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4 VTS_I2, 1, short{3}); }},
  };
  for (const Case& c : cases) {
    mfc::clearLog();
    c.call();
    EXPECT_FALSE(mfc::logLines().empty()) << c.what << " is logged";
    EXPECT_EQ(state(), before) << c.what << " changes nothing";
  }
  double untouched = 42;
  data.InvokeHelper(19, DISPATCH_PROPERTYGET, VT_R8, &untouched, VTS_I4 VTS_I4, 1, 9);
  EXPECT_EQ(untouched, 42) << "a refused get leaves the result alone";
}

TEST_F(ChartTest, StateAndDataFilesReadBackExactly) {
  load({{{0.1, 1.0 / 3.0}, {2.5, -1e-300}}, {{7, 1e300}}});
  COleDispatchDriver header = object(*chart, 1);
  object(header, 3).InvokeHelper(1, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_BSTR, "A \"quoted\"\nheader");
  COleDispatchDriver labels = object(group, 6), added;
  LPDISPATCH d = nullptr;
  VARIANT one = number(1);
  labels.InvokeHelper(4, DISPATCH_METHOD, VT_DISPATCH, &d, VTS_BSTR VTS_VARIANT, "Steel \\ 1", &one);
  added.AttachDispatch(d);
  const std::string saved = state();
  const fs::path path = dir / "copy.oc2";
  ASSERT_TRUE(saveState(path));

  // Another chart loads it and saves the same bytes.
  ChartHost other;
  ASSERT_TRUE(other.Create(302));
  BOOL ok = FALSE;
  other.GetDlgItem(1425)->InvokeHelper(14, DISPATCH_METHOD, VT_BOOL, &ok, VTS_BSTR, path.c_str());
  ASSERT_TRUE(ok);
  const fs::path again = dir / "again.oc2";
  other.GetDlgItem(1425)->InvokeHelper(15, DISPATCH_METHOD, VT_BOOL, &ok, VTS_BSTR, again.c_str());
  EXPECT_EQ(fileText(again), saved);
  other.DestroyWindow();

  const fs::path dataPath = dir / "chartdata.tmp";
  data.InvokeHelper(13, DISPATCH_METHOD, VT_BOOL, &ok, VTS_BSTR, dataPath.c_str());
  ASSERT_TRUE(ok);
  const std::string dataText = fileText(dataPath);
  putInt(2, 0);
  data.InvokeHelper(10, DISPATCH_METHOD, VT_BOOL, &ok, VTS_BSTR, dataPath.c_str());
  ASSERT_TRUE(ok);
  EXPECT_EQ(value(20, 1, 1), 1.0 / 3.0);
  EXPECT_EQ(value(20, 1, 2), -1e-300);
  EXPECT_EQ(value(20, 2, 1), 1e300);
  EXPECT_EQ(state(), saved);

  // Bad files: refused, nothing changes.
  const std::pair<const char*, std::string> bad[] = {
      {"empty", ""},
      {"another kind", "hello world"},
      {"cut short", dataText.substr(0, dataText.size() / 2)},
      {"too many series", "kestrum-chart-data 1 2 1 1 0 100000\n"},
      {"not a number", "kestrum-chart-data 1 2 1 1 0 1 1 1 0 1 1 x 0\n"},
      {"infinite value", "kestrum-chart-data 1 2 1 1 0 1 1 1 0 1 1 inf 0\n"},
      {"huge column", "kestrum-chart-data 1 2 1 1 0 1 1 1 0 1 99999999999 1\n"},
      {"trailing words", dataText + " 7"},
  };
  for (const auto& [what, text] : bad) {
    std::ofstream(dir / "bad.tmp", std::ios::binary) << text;
    ok = TRUE;
    data.InvokeHelper(10, DISPATCH_METHOD, VT_BOOL, &ok, VTS_BSTR, (dir / "bad.tmp").c_str());
    EXPECT_FALSE(ok) << what;
    ok = TRUE;
    EXPECT_FALSE(loadState(dir / "bad.tmp")) << what;
    EXPECT_EQ(state(), saved) << what;
  }
  EXPECT_FALSE(loadState(dir / "missing.oc2"));
  EXPECT_FALSE(saveState(dir / "no-folder" / "x.oc2"));
}

TEST_F(ChartTest, PixelsRegionsAndPicksFollowTheGeometryContract) {
  load({{{2, 3}, {5, 5}}, {{8, 9}}});
  struct Probe {
    int x, y;
    LONG region;
  };
  const Probe probes[] = {{px(5), py(5), chart::kRegionPlot},
                          {72, 40, chart::kRegionPlot},
                          {kWidth - 150, kHeight - 56, chart::kRegionPlot},
                          {71, 200, chart::kRegionLeftAxis},
                          {300, kHeight - 55, chart::kRegionBottomAxis},
                          {300, 39, chart::kRegionHeader},
                          {kWidth - 149, 200, chart::kRegionLegend},
                          {kWidth, 10, chart::kRegionOutside}};
  for (const Probe& p : probes) {
    double x = 0, y = 0;
    LONG region = 0;
    group.InvokeHelper(9, DISPATCH_METHOD, VT_I4, &region, VTS_I4 VTS_I4 VTS_PR8 VTS_PR8, p.x, p.y, &x, &y);
    EXPECT_EQ(region, p.region) << p.x << "," << p.y;
    if (region == chart::kRegionPlot) {
      EXPECT_NEAR(x, (p.x - 72) * 10.0 / (kWidth - 222), 1e-12);
      EXPECT_NEAR(y, (kHeight - 56 - p.y) * 10.0 / (kHeight - 96), 1e-12);
    }
  }
  struct PickCase {
    int x, y;
    LONG series, point, distance;
  };
  const PickCase picks[] = {{px(5), py(5), 1, 2, 0},
                            {px(5) + 6, py(5), 1, 2, 6},
                            {px(5), py(5) - 7, 1, 2, 7},
                            {px(8) - 3, py(9) + 4, 2, 1, 5},
                            {px(2), py(3), 1, 1, 0}};
  for (const PickCase& c : picks) {
    LONG series = 0, point = 0, distance = -1, found = 0;
    group.InvokeHelper(11, DISPATCH_METHOD, VT_I4, &found, VTS_I4 VTS_I4 VTS_I4 VTS_PI4 VTS_PI4 VTS_PI4, c.x, c.y,
                       LONG{3}, &series, &point, &distance);
    EXPECT_EQ(found, 1);
    EXPECT_EQ(series, c.series);
    EXPECT_EQ(point, c.point);
    EXPECT_EQ(distance, c.distance);
  }
}

TEST_F(ChartTest, AxisBoundsComeFromTheDataInNiceStepsUnlessSet) {
  putInt(1, 2);
  putInt(2, 1);
  setPoints(1, 2);
  setXY(1, 1, 20, 0.13);
  setXY(1, 2, 480, 0.87);
  COleDispatchDriver area = object(*chart, 8), axes = object(area, 9);
  const auto bound = [&](const wchar_t* axisName, DISPID which) {
    COleDispatchDriver axis = item(axes, name(axisName)), b = object(axis, which);
    double v = -1;
    b.InvokeHelper(1, DISPATCH_PROPERTYGET, VT_R8, &v, VTS_NONE);
    return v;
  };
  EXPECT_EQ(bound(L"x", 5), 0);
  EXPECT_EQ(bound(L"x", 6), 500);
  EXPECT_NEAR(bound(L"y", 5), 0.1, 1e-12);
  EXPECT_NEAR(bound(L"y", 6), 0.9, 1e-12);
  setBound(L"y", 6, 2.5);
  EXPECT_EQ(bound(L"y", 6), 2.5);
}

bool near(Rgb a, Rgb b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) < 40; }
bool white(Rgb c) { return c.r > 240 && c.g > 240 && c.b > 240; }
int countNear(const Image& image, Rgb color) {
  int n = 0;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) n += near(image.At(x, y), color);
  return n;
}

TEST_F(ChartTest, PicturesShowTypesColoursSwitchedOffSeriesAndMarkers) {
  load({{{2, 2}, {6, 2}}, {{2, 6}, {6, 8}}});
  const Rgb first = {0, 90, 200}, second = {220, 40, 30};
  Image lines = picture();
  ASSERT_EQ(lines.width, kWidth);
  ASSERT_EQ(lines.height, kHeight);
  EXPECT_TRUE(near(lines.At(px(2), py(2)), first)) << "a point mark of series 1";
  EXPECT_TRUE(near(lines.At(px(6) + 3, py(8) - 3), second)) << "the 7 x 7 mark's corner";
  EXPECT_TRUE(near(lines.At(px(4) + 5, py(2)), first)) << "type 1 joins the points";
  EXPECT_TRUE(white(lines.At(px(4) + 5, py(2) - 10)));

  setChartType(5);
  Image scatter = picture();
  EXPECT_TRUE(near(scatter.At(px(2), py(2)), first));
  EXPECT_FALSE(near(scatter.At(px(4) + 5, py(2)), first)) << "type 5 has marks only";

  setChartType(2);
  Image bars = picture();
  EXPECT_TRUE(near(bars.At(px(6) - 6, py(1)), first)) << "series 1's bar grows from 0, left of the x";
  EXPECT_TRUE(near(bars.At(px(6) + 6, py(7)), second)) << "series 2's bar stands right of it";

  setChartType(1);
  data.InvokeHelper(21, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4 VTS_I2, 2, short{2});
  Image off = picture();
  EXPECT_EQ(countNear(off, second), 0) << "style 2 switches series 2 off";
  EXPECT_GT(countNear(off, first), 50);

  COleDispatchDriver area = object(*chart, 8), markers = object(area, 8);
  COleDispatchDriver markerX = item(markers, name(L"x"));
  object(markerX, 5).InvokeHelper(1, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_I4, LONG{5});
  object(markerX, 7).InvokeHelper(1, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_R8, 5.0);
  EXPECT_TRUE(white(picture().At(px(5), py(9)))) << "markers wait for property 7";
  chart->InvokeHelper(7, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, VTS_BOOL, TRUE);
  const Image marked = picture();
  int dark = 0;
  for (int y = py(10); y <= py(0); ++y) dark += marked.At(px(5), y).r < 120;
  EXPECT_GT(dark, (py(0) - py(10)) / 3) << "a dashed cross-hair line at x = 5";
}

TEST_F(ChartTest, ImageFilesInEveryFormatOpenAsPictures) {
  load({{{1, 1}, {9, 9}}});
  BOOL ok = FALSE;
  const char* kinds[] = {"bmp", "wmf", "emf", "std.wmf"};
  for (LONG format = 1; format <= 4; ++format) {
    const fs::path path = dir / ("chart." + std::string(kinds[format - 1]));
    chart->InvokeHelper(20, DISPATCH_METHOD, VT_BOOL, &ok, VTS_BSTR VTS_I4, path.c_str(), format);
    EXPECT_TRUE(ok) << format;
  }
  chart->InvokeHelper(27, DISPATCH_METHOD, VT_BOOL, &ok, VTS_BSTR VTS_I4 VTS_BOOL VTS_BOOL VTS_BOOL,
                      (dir / "chart.jpg").c_str(), LONG{85}, FALSE, TRUE, TRUE);
  EXPECT_TRUE(ok);
  chart->InvokeHelper(28, DISPATCH_METHOD, VT_BOOL, &ok, VTS_BSTR VTS_BOOL, (dir / "chart.png").c_str(), FALSE);
  EXPECT_TRUE(ok);
  const std::string script =
      "/usr/bin/python3 -c \"import sys; from PIL import Image\n"
      "for f in sys.argv[1:]:\n"
      "  i = Image.open(f); print(f.split('/')[-1], i.format, i.size[0], i.size[1])\" " +
      (dir / "chart.bmp").string() + " " + (dir / "chart.wmf").string() + " " + (dir / "chart.emf").string() + " " +
      (dir / "chart.std.wmf").string() + " " + (dir / "chart.jpg").string() + " " + (dir / "chart.png").string() +
      " > " + (dir / "formats.txt").string() + " 2>&1";
  ASSERT_EQ(std::system(script.c_str()), 0) << fileText(dir / "formats.txt");
  EXPECT_EQ(fileText(dir / "formats.txt"),
            // The library gives metafile sizes in points (72 an inch; ours are 96 an inch) and an
            // enhanced metafile's size from its inclusive bounds less one.
            "chart.bmp BMP 600 450\nchart.wmf WMF 450 337\nchart.emf WMF 599 449\nchart.std.wmf WMF 450 337\n"
            "chart.jpg JPEG 600 450\nchart.png PNG 600 450\n");

  // The BMP holds the PNG's pixels (bottom-up BGR rows).
  const std::string bmp = fileText(dir / "chart.bmp");
  const Image png = readPicture(dir / "chart.png");
  const std::size_t stride = (kWidth * 3 + 3) / 4 * 4;
  ASSERT_EQ(bmp.size(), 54 + stride * kHeight);
  bool same = true;
  for (int y = 0; y < kHeight && same; ++y)
    for (int x = 0; x < kWidth && same; ++x) {
      const auto* p = reinterpret_cast<const unsigned char*>(&bmp[54 + (kHeight - 1 - y) * stride + x * 3]);
      const Rgb c = png.At(x, y);
      same = p[0] == c.b && p[1] == c.g && p[2] == c.r;
    }
  EXPECT_TRUE(same);

  mfc::clearLog();
  chart->InvokeHelper(28, DISPATCH_METHOD, VT_BOOL, &ok, VTS_BSTR VTS_BOOL, (dir / "none" / "x.png").c_str(), FALSE);
  EXPECT_FALSE(ok) << "an unwritable path answers false";
  EXPECT_FALSE(mfc::logLines().empty());
  chart->InvokeHelper(20, DISPATCH_METHOD, VT_BOOL, &ok, VTS_BSTR VTS_I4, (dir / "x.bmp").c_str(), LONG{5});
  EXPECT_FALSE(fs::exists(dir / "x.bmp")) << "format 5 is not a draw-to-file format";
}

TEST_F(ChartTest, CopyPutsTheSameBitmapOrAMetafileOnTheClipboard) {
  load({{{1, 1}, {9, 9}}});
  const Image png = picture();
  BOOL ok = FALSE;
  chart->InvokeHelper(19, DISPATCH_METHOD, VT_BOOL, &ok, VTS_I4, LONG{1});
  ASSERT_TRUE(ok);
  ASSERT_TRUE(OpenClipboard(nullptr));
  HGLOBAL dib = GetClipboardData(CF_DIB);
  ASSERT_NE(dib, nullptr);
  const auto* bytes = static_cast<const unsigned char*>(GlobalLock(dib));
  const std::size_t stride = (kWidth * 3 + 3) / 4 * 4;
  ASSERT_EQ(GlobalSize(dib), 40 + stride * kHeight);
  bool same = true;
  for (int y = 0; y < kHeight && same; ++y)
    for (int x = 0; x < kWidth && same; ++x) {
      const unsigned char* p = bytes + 40 + (kHeight - 1 - y) * stride + x * 3;
      const Rgb c = png.At(x, y);
      same = p[0] == c.b && p[1] == c.g && p[2] == c.r;
    }
  GlobalUnlock(dib);
  CloseClipboard();
  EXPECT_TRUE(same) << "the DIB equals the PNG";
  chart->InvokeHelper(19, DISPATCH_METHOD, VT_BOOL, &ok, VTS_I4, LONG{3});
  ASSERT_TRUE(ok);
  ASSERT_TRUE(OpenClipboard(nullptr));
  HGLOBAL emf = GetClipboardData(CF_ENHMETAFILE);
  ASSERT_NE(emf, nullptr);
  EXPECT_EQ(std::memcmp(static_cast<const char*>(GlobalLock(emf)) + 40, " EMF", 4), 0);
  GlobalUnlock(emf);
  EmptyClipboard();
  CloseClipboard();
}

// The chart's extent on a printed page: the box of pixels that are not white.
RECT inkBox(const Image& page) {
  RECT box{page.width, page.height, -1, -1};
  for (int y = 0; y < page.height; ++y)
    for (int x = 0; x < page.width; ++x)
      if (!white(page.At(x, y))) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x);
        box.bottom = std::max<LONG>(box.bottom, y);
      }
  return box;
}

TEST_F(ChartTest, PrintingPlacesTheChartOnThePageBySizeMode) {
  load({{{0, 0}, {10, 10}}});
  mfctest::StepDriver driver;
  mfc::ScopedUserDriver scoped(&driver);
  struct Case {
    LONG mode, left, top, width, height;
    RECT expected;  // page pixels the chart covers (96 an inch, 24 px margins), right and bottom excluded
  };
  // 600 x 450 client: aspect 0.75.
  const Case cases[] = {
      {2, 192, 0, 384, 0, {24 + 192, 24, 24 + 192 + 384, 24 + 288}},  // 4 in wide, centred on the page
      {3, 0, 100, 0, 300, {24, 124, 24 + 400, 124 + 300}},
      {5, 10, 20, 300, 100, {34, 44, 34 + 300, 44 + 100}},
      {2, 0, 0, 0, 0, {24, 24, 24 + 768, 24 + 576}},  // zero extent: the largest that fits
  };
  for (const Case& c : cases) {
    const fs::path page = dir / "page.png";
    driver.file(page.string());
    BOOL ok = FALSE;
    chart->InvokeHelper(18, DISPATCH_METHOD, VT_BOOL, &ok, VTS_I4 VTS_I4 VTS_I4 VTS_I4 VTS_I4 VTS_I4, LONG{3}, c.mode,
                        c.left, c.top, c.width, c.height);
    ASSERT_TRUE(ok);
    const Image printed = readPicture(page);
    ASSERT_EQ(printed.width, 816);
    ASSERT_EQ(printed.height, 1056);
    const RECT ink = inkBox(printed);
    EXPECT_GE(ink.left, c.expected.left) << c.mode;
    EXPECT_LE(ink.right, c.expected.right - 1) << c.mode;
    EXPECT_GE(ink.top, c.expected.top) << c.mode;
    EXPECT_LE(ink.bottom, c.expected.bottom - 1) << c.mode;
    // The plot frame's corners sit at the chart's fixed insets inside the placed rectangle.
    const auto black = [&](LONG x, LONG y) { return printed.At(x, y).r < 60 && printed.At(x, y).g < 60; };
    EXPECT_TRUE(black(c.expected.left + 72, c.expected.top + 40)) << c.mode;
    EXPECT_TRUE(black(c.expected.right - 150, c.expected.bottom - 56)) << c.mode;
    EXPECT_FALSE(black(c.expected.right - 150 + 1, c.expected.bottom - 56)) << c.mode;
  }
  const auto print = [&] {
    BOOL ok = FALSE;
    chart->InvokeHelper(18, DISPATCH_METHOD, VT_BOOL, &ok, VTS_I4 VTS_I4 VTS_I4 VTS_I4 VTS_I4 VTS_I4, LONG{3}, LONG{5},
                        LONG{0}, LONG{0}, LONG{0}, LONG{0});
    return ok;
  };
  driver.file(std::nullopt);
  EXPECT_TRUE(print()) << "a cancelled print is no failure";
  driver.file((dir / "no-folder" / "page.png").string());
  EXPECT_FALSE(print()) << "a page that cannot be written is";
}

TEST_F(ChartTest, MouseInputFiresEventsToTheHostsEventSinkMap) {
  mfc::HostedControl* control = mfc::hostedControl(chart->m_hWnd);
  ASSERT_NE(control, nullptr);
  control->mouse(mfc::MouseAction::Move, 10, 20, false);
  control->mouse(mfc::MouseAction::Down, 11, 21, true);
  control->mouse(mfc::MouseAction::Move, 12, 22, true);
  control->mouse(mfc::MouseAction::Up, 13, 23, false);
  control->mouse(mfc::MouseAction::DoubleClick, 14, 24, false);
  const std::vector<std::string> expected = {"move 0 0 10 20", "down 1 1 11 21", "move 1 1 12 22", "up 1 0 13 23",
                                             "click",          "down 1 0 14 24", "up 1 0 14 24",   "click",
                                             "dblclick",       "up 1 0 14 24"};
  EXPECT_EQ(host.events, expected);
}

TEST_F(ChartTest, ThePropertyEditorChangesTextsAndFonts) {
  mfctest::StepDriver driver;
  mfc::ScopedUserDriver scoped(&driver);
  driver.add([](CWnd& editor) {
    editor.SetDlgItemText(101, "Edited");
    editor.SetDlgItemText(102, "Courier New");
    editor.SetDlgItemText(103, "Times");
    editor.SendMessage(WM_COMMAND, IDOK);
  });
  chart->InvokeHelper(16, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_I4 VTS_I4 VTS_I4, LONG{11}, LONG{1}, LONG{1});
  EXPECT_TRUE(driver.finished());
  COleDispatchDriver header = object(*chart, 1);
  BSTR text = nullptr, font = nullptr, axisFont = nullptr;
  object(header, 3).InvokeHelper(1, DISPATCH_PROPERTYGET, VT_BSTR, &text, VTS_NONE);
  object(header, 8).InvokeHelper(0, DISPATCH_PROPERTYGET, VT_BSTR, &font, VTS_NONE);
  COleDispatchDriver area = object(*chart, 8), axes = object(area, 9), x = item(axes, name(L"x"));
  object(x, 26).InvokeHelper(0, DISPATCH_PROPERTYGET, VT_BSTR, &axisFont, VTS_NONE);
  EXPECT_EQ(std::wstring(text), L"Edited");
  EXPECT_EQ(std::wstring(font), L"Courier New");
  EXPECT_EQ(std::wstring(axisFont), L"Times");
  SysFreeString(text);
  SysFreeString(font);
  SysFreeString(axisFont);

  // Method 22: 84 clears the header, 91 the labels and titles.
  BOOL known = FALSE;
  chart->InvokeHelper(22, DISPATCH_METHOD, VT_BOOL, &known, VTS_I2 VTS_BOOL, short{84}, FALSE);
  EXPECT_TRUE(known);
  object(header, 3).InvokeHelper(1, DISPATCH_PROPERTYGET, VT_BSTR, &text, VTS_NONE);
  EXPECT_EQ(SysStringLen(text), 0u);
  SysFreeString(text);
  chart->InvokeHelper(22, DISPATCH_METHOD, VT_BOOL, &known, VTS_I2 VTS_BOOL, short{12}, FALSE);
  EXPECT_FALSE(known);
}

}  // namespace
