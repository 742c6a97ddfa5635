#include "objects.h"

#include <cmath>

#include "kestrum/atomic_file.h"
#include "kestrum/text.h"
#include "mfc/log.h"
#include "mfc/winapi.h"
#include "mfc/wnd.h"

namespace chart {

std::pair<int, int> ClientSize(const Shared& shared) {
  constexpr int kWidthWithoutWindow = 640, kHeightWithoutWindow = 480;
  CWnd* window = shared.window && ::IsWindow(shared.window) ? CWnd::FromHandle(shared.window) : nullptr;
  if (!window) return {kWidthWithoutWindow, kHeightWithoutWindow};
  RECT r{};
  window->GetClientRect(&r);
  return {std::max(1, static_cast<int>(r.right - r.left)), std::max(1, static_cast<int>(r.bottom - r.top))};
}

namespace args {

bool IsGet(WORD flags, const std::vector<VARIANT>& arguments, std::size_t count) {
  return (flags & DISPATCH_PROPERTYGET) && arguments.size() == count;
}
bool IsPut(WORD flags, const std::vector<VARIANT>& arguments, std::size_t count) {
  return (flags & DISPATCH_PROPERTYPUT) && arguments.size() == count;
}
bool IsCall(WORD flags, const std::vector<VARIANT>& arguments, std::size_t count) {
  return (flags & DISPATCH_METHOD) && arguments.size() == count;
}

std::optional<long> Int(const VARIANT& value) {
  if (value.vt == VT_I2 || value.vt == VT_I4 || value.vt == VT_BOOL) return value.lVal;
  if (value.vt == VT_R8 && std::isfinite(value.dblVal) && value.dblVal == std::floor(value.dblVal) &&
      std::fabs(value.dblVal) < 2e9)
    return static_cast<long>(value.dblVal);
  return std::nullopt;
}

std::optional<double> Real(const VARIANT& value) {
  if (value.vt == VT_R8) return std::isfinite(value.dblVal) ? std::optional<double>(value.dblVal) : std::nullopt;
  if (value.vt == VT_I2 || value.vt == VT_I4) return static_cast<double>(value.lVal);
  return std::nullopt;
}

std::optional<std::string> Text(const VARIANT& value) {
  if (value.vt != VT_BSTR || value.text.size() > kMaxTextLength) return std::nullopt;
  std::string text;
  for (wchar_t c : value.text) text += c < 256 ? static_cast<char>(c) : '?';
  return text;
}

void SetInt(VARIANT& result, long value, VARTYPE type) {
  result.vt = type;
  result.lVal = static_cast<LONG>(value);
}
void SetBool(VARIANT& result, bool value) { SetInt(result, value ? 1 : 0, VT_BOOL); }
void SetReal(VARIANT& result, double value) {
  result.vt = VT_R8;
  result.dblVal = value;
}
void SetText(VARIANT& result, const std::string& value) {
  result.vt = VT_BSTR;
  result.text.clear();
  for (char c : value) result.text += static_cast<wchar_t>(static_cast<unsigned char>(c));
}
void SetObject(VARIANT& result, IDispatch* object) {
  result.vt = VT_DISPATCH;
  result.pointer = object;
}

bool Refuse(const std::string& why) {
  mfc::log("chart: " + why);
  return false;
}

}  // namespace args

namespace {

using namespace args;

// Common ground: the chart the object refers into.
class Object : public IDispatch {
 public:
  explicit Object(SharedPtr shared) : shared_(std::move(shared)) {}

 protected:
  Model& M() { return shared_->model; }
  SharedPtr shared_;
};

template <class T>
using Locator = std::function<T*(Model&)>;

// A text: the header's, an axis title, a series label.
class TextObject : public Object {
 public:
  TextObject(SharedPtr shared, Locator<std::string> text) : Object(std::move(shared)), text_(std::move(text)) {}
  bool Invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& a, VARIANT& result) override {
    std::string* text = text_(M());
    if (!text) return Refuse("the text no longer exists");
    if (dispid != 1) return false;
    if (IsGet(flags, a)) {
      SetText(result, *text);
      return true;
    }
    if (IsPut(flags, a)) {
      const auto value = Text(a[0]);
      if (!value) return Refuse("a text property takes a text");
      *text = *value;
      return true;
    }
    return false;
  }

 private:
  Locator<std::string> text_;
};

// The standard font object: name (0), size in points (2), bold, italic, underline, strikethrough
// (3-6), weight (7), character set (8).
class FontObject : public Object {
 public:
  FontObject(SharedPtr shared, Locator<Font> font) : Object(std::move(shared)), font_(std::move(font)) {}
  const Font* Value() { return font_(M()); }
  bool Invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& a, VARIANT& result) override {
    Font* font = font_(M());
    if (!font) return false;
    bool* flag = dispid == 3   ? &font->bold
                 : dispid == 4 ? &font->italic
                 : dispid == 5 ? &font->underline
                 : dispid == 6 ? &font->strikethrough
                               : nullptr;
    if (IsGet(flags, a)) {
      if (dispid == 0)
        SetText(result, font->name);
      else if (dispid == 2)
        SetReal(result, static_cast<double>(font->size) / 10000.0);
      else if (flag)
        SetBool(result, *flag);
      else if (dispid == 7)
        SetInt(result, font->weight, VT_I2);
      else if (dispid == 8)
        SetInt(result, font->charset, VT_I2);
      else
        return false;
      return true;
    }
    if (!IsPut(flags, a)) return false;
    if (dispid == 0) {
      const auto name = Text(a[0]);
      if (!name || name->empty()) return Refuse("a font name must be a text that is not empty");
      font->name = *name;
      return true;
    }
    if (dispid == 2) {
      const auto points = Real(a[0]);
      if (!points || *points <= 0 || *points > 1000) return Refuse("a font size must be a number of points 0 to 1000");
      font->size = std::llround(*points * 10000.0);
      return true;
    }
    const auto value = Int(a[0]);
    if (!value) return Refuse("a font property takes a number");
    if (flag)
      *flag = *value != 0;
    else if (dispid == 7 && *value >= 0 && *value <= 1000)
      font->weight = static_cast<short>(*value);
    else if (dispid == 8 && *value >= 0 && *value <= 255)
      font->charset = static_cast<short>(*value);
    else
      return false;
    return true;
  }

 private:
  Locator<Font> font_;
};

// Font get and put on an owner: put copies the given font object's values.
bool FontMember(const SharedPtr& shared, Locator<Font> locate, WORD flags, std::vector<VARIANT>& a, VARIANT& result) {
  if (IsGet(flags, a)) {
    SetObject(result, new FontObject(shared, std::move(locate)));
    return true;
  }
  if (!IsPut(flags, a)) return false;
  auto* given = a[0].vt == VT_DISPATCH ? dynamic_cast<FontObject*>(static_cast<IDispatch*>(a[0].pointer)) : nullptr;
  const Font* value = given ? given->Value() : nullptr;
  if (!value) return Refuse("a font property takes a font object");
  *locate(shared->model) = *value;
  return true;
}

class TitleObject : public Object {
 public:
  TitleObject(SharedPtr shared, Locator<Title> title) : Object(std::move(shared)), title_(std::move(title)) {}
  bool Invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& a, VARIANT& result) override {
    Locator<Title> title = title_;
    if (dispid == 3 && IsGet(flags, a)) {
      SetObject(result, new TextObject(shared_, [title](Model& m) { return &title(m)->text; }));
      return true;
    }
    if (dispid == 8)
      return FontMember(
          shared_, [title](Model& m) { return &title(m)->font; }, flags, a, result);
    if (dispid == 6 && IsGet(flags, a)) {
      SetBool(result, title(M())->shown);
      return true;
    }
    if (dispid == 6 && IsPut(flags, a) && Int(a[0])) {
      title(M())->shown = *Int(a[0]) != 0;
      return true;
    }
    return false;
  }

 private:
  Locator<Title> title_;
};

class LegendObject : public Object {
 public:
  using Object::Object;
  bool Invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& a, VARIANT& result) override {
    if (dispid == 8)
      return FontMember(
          shared_, [](Model& m) { return &m.legendFont; }, flags, a, result);
    if (dispid == 4 && IsGet(flags, a)) {
      SetBool(result, M().legendShown);
      return true;
    }
    if (dispid == 4 && IsPut(flags, a) && Int(a[0])) {
      M().legendShown = *Int(a[0]) != 0;
      return true;
    }
    return false;
  }
};

// An axis bound: its value (1; the bound in use, from the data unless set) and whether it is
// taken from the data (2).
class ValueObject : public Object {
 public:
  ValueObject(SharedPtr shared, bool forX, bool maximum) : Object(std::move(shared)), forX_(forX), maximum_(maximum) {}
  bool Invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& a, VARIANT& result) override {
    Axis& axis = forX_ ? M().x : M().y;
    Bound& bound = maximum_ ? axis.maximum : axis.minimum;
    if (dispid == 1 && IsGet(flags, a)) {
      const Geometry g(M(), 100, 100);
      SetReal(result, forX_ ? (maximum_ ? g.xmax : g.xmin) : (maximum_ ? g.ymax : g.ymin));
      return true;
    }
    if (dispid == 1 && IsPut(flags, a)) {
      const auto value = Real(a[0]);
      if (!value) return Refuse("an axis bound takes a finite number");
      bound = {*value, true};
      return true;
    }
    if (dispid == 2 && IsGet(flags, a)) {
      SetBool(result, !bound.set);
      return true;
    }
    if (dispid == 2 && IsPut(flags, a) && Int(a[0])) {
      bound.set = *Int(a[0]) == 0;
      return true;
    }
    return false;
  }

 private:
  bool forX_, maximum_;
};

class AxisObject : public Object {
 public:
  AxisObject(SharedPtr shared, bool forX) : Object(std::move(shared)), forX_(forX) {}
  bool Invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& a, VARIANT& result) override {
    const bool forX = forX_;
    const auto axis = [forX](Model& m) { return forX ? &m.x : &m.y; };
    if (dispid == 1 && IsGet(flags, a)) {
      SetObject(result, new TextObject(shared_, [axis](Model& m) { return &axis(m)->title; }));
      return true;
    }
    if ((dispid == 5 || dispid == 6) && IsGet(flags, a)) {
      SetObject(result, new ValueObject(shared_, forX_, dispid == 6));
      return true;
    }
    if (dispid == 21 && IsGet(flags, a)) {
      SetInt(result, axis(M())->property21);
      return true;
    }
    if (dispid == 21 && IsPut(flags, a) && Int(a[0])) {
      axis(M())->property21 = static_cast<int>(*Int(a[0]));
      return true;
    }
    if (dispid == 26)
      return FontMember(
          shared_, [axis](Model& m) { return &axis(m)->font; }, flags, a, result);
    return false;
  }

 private:
  bool forX_;
};

// "x" or "y" from a name variant; nothing for anything else.
std::optional<bool> AxisName(const VARIANT& value) {
  const auto name = Text(value);
  if (name == "x" || name == "X") return true;
  if (name == "y" || name == "Y") return false;
  return std::nullopt;
}

class StyleObject : public Object {
 public:
  StyleObject(SharedPtr shared, bool forX) : Object(std::move(shared)), forX_(forX) {}
  bool Invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& a, VARIANT& result) override {
    Marker& marker = forX_ ? M().markerX : M().markerY;
    if (dispid != 1) return false;
    if (IsGet(flags, a)) {
      SetInt(result, marker.pattern);
      return true;
    }
    if (IsPut(flags, a) && Int(a[0]) && *Int(a[0]) >= 0 && *Int(a[0]) <= 100) {
      marker.pattern = static_cast<int>(*Int(a[0]));
      return true;
    }
    return Refuse("a marker pattern is a number 0 to 100");
  }

 private:
  bool forX_;
};

class CoordObject : public Object {
 public:
  CoordObject(SharedPtr shared, bool forX) : Object(std::move(shared)), forX_(forX) {}
  bool Invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& a, VARIANT& result) override {
    Marker& marker = forX_ ? M().markerX : M().markerY;
    if (dispid != 1 && dispid != 2) return false;
    double& value = dispid == 1 ? marker.x : marker.y;
    if (IsGet(flags, a)) {
      SetReal(result, value);
      return true;
    }
    if (IsPut(flags, a) && Real(a[0])) {
      value = *Real(a[0]);
      return true;
    }
    return Refuse("a marker position takes a finite number");
  }

 private:
  bool forX_;
};

class MarkerObject : public Object {
 public:
  MarkerObject(SharedPtr shared, bool forX) : Object(std::move(shared)), forX_(forX) {}
  bool Invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& a, VARIANT& result) override {
    if (dispid == 5 && IsGet(flags, a)) {
      SetObject(result, new StyleObject(shared_, forX_));
      return true;
    }
    if (dispid == 7 && IsGet(flags, a)) {
      SetObject(result, new CoordObject(shared_, forX_));
      return true;
    }
    if (dispid == 1 && IsGet(flags, a)) {
      SetText(result, forX_ ? "x" : "y");
      return true;
    }
    return false;
  }

 private:
  bool forX_;
};

// The axes (markers = false) or the markers by name "x" and "y".
class PairCollection : public Object {
 public:
  PairCollection(SharedPtr shared, bool markers) : Object(std::move(shared)), markers_(markers) {}
  bool Invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& a, VARIANT& result) override {
    if (dispid == 1 && IsGet(flags, a)) {
      SetInt(result, 2);
      return true;
    }
    if (dispid != 3 || !IsGet(flags, a, 1)) return false;
    const auto forX = AxisName(a[0]);
    if (!forX) return Refuse(std::string(markers_ ? "markers" : "axes") + " are named \"x\" and \"y\"");
    if (markers_)
      SetObject(result, new MarkerObject(shared_, *forX));
    else
      SetObject(result, new AxisObject(shared_, *forX));
    return true;
  }

 private:
  bool markers_;
};

class ChartAreaObject : public Object {
 public:
  using Object::Object;
  bool Invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& a, VARIANT& result) override {
    if ((dispid == 8 || dispid == 9) && IsGet(flags, a)) {
      SetObject(result, new PairCollection(shared_, dispid == 8));
      return true;
    }
    return false;
  }
};

class LabelsObject : public Object {
 public:
  using Object::Object;
  bool Invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& a, VARIANT& result) override {
    std::vector<std::string>& labels = M().labels;
    if (dispid == 1 && IsGet(flags, a)) {
      SetInt(result, static_cast<long>(labels.size()));
      return true;
    }
    if (dispid == 5 && IsGet(flags, a, 1)) {
      const auto index = Int(a[0]);
      if (!index || *index < 1 || *index > static_cast<long>(labels.size()))
        return Refuse("there is no series label " + (index ? std::to_string(*index) : std::string("of that kind")));
      SetObject(result, Label(static_cast<std::size_t>(*index - 1)));
      return true;
    }
    if (dispid == 4 && IsCall(flags, a, 2)) {
      const auto text = Text(a[0]);
      const auto index = Int(a[1]);
      if (!text || !index || *index < 1 || *index > static_cast<long>(labels.size()) + 1 ||
          static_cast<int>(labels.size()) >= kMaxSeries)
        return Refuse("a series label is added with a text and an index 1 to the count + 1");
      labels.insert(labels.begin() + (*index - 1), *text);
      SetObject(result, Label(static_cast<std::size_t>(*index - 1)));
      return true;
    }
    if (dispid == 6 && IsCall(flags, a, 0)) {
      labels.clear();
      return true;
    }
    return false;
  }

 private:
  IDispatch* Label(std::size_t i) {
    return new TextObject(shared_, [i](Model& m) { return i < m.labels.size() ? &m.labels[i] : nullptr; });
  }
};

class DataObject : public Object {
 public:
  using Object::Object;
  bool Invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& a, VARIANT& result) override {
    Data& d = M().data;
    switch (dispid) {
      case 1: return IntMember(flags, a, result, d.layout, 1, 2);
      case 2:
        if (IsPut(flags, a) && Int(a[0]))
          return d.SetNumSeries(static_cast<int>(*Int(a[0]))) ||
                 Refuse("the number of series is 0 to " + std::to_string(kMaxSeries));
        return IntGet(flags, a, result, d.NumSeries());
      case 3: return IntMember(flags, a, result, d.firstSeries, 0, kMaxSeries);
      case 4: return IntMember(flags, a, result, d.lastSeries, 0, kMaxSeries);
      case 6:
        if (IsGet(flags, a)) {
          SetBool(result, d.batched);
          return true;
        }
        if (IsPut(flags, a) && Int(a[0])) {
          d.batched = *Int(a[0]) != 0;
          return true;
        }
        return false;
      case 16: return PointCount(flags, a, result);
      case 17:
      case 18: return PointRange(dispid == 17, flags, a, result);
      case 19:
      case 20: return Value(dispid == 19, flags, a, result);
      case 21: return Display(flags, a, result);
      case 10:
      case 13: return File(dispid == 13, flags, a, result);
      default: return false;
    }
  }

 private:
  static bool IntGet(WORD flags, std::vector<VARIANT>& a, VARIANT& result, int value) {
    if (!IsGet(flags, a)) return false;
    SetInt(result, value);
    return true;
  }
  static bool IntMember(WORD flags, std::vector<VARIANT>& a, VARIANT& result, int& member, int low, int high) {
    if (IsPut(flags, a)) {
      const auto value = Int(a[0]);
      if (!value || *value < low || *value > high)
        return Refuse("the value must be " + std::to_string(low) + " to " + std::to_string(high));
      member = static_cast<int>(*value);
      return true;
    }
    return IntGet(flags, a, result, member);
  }
  // The series index of an indexed member; refused when outside the data.
  std::optional<int> SeriesOf(const VARIANT& value) {
    const auto s = Int(value);
    if (!s || !M().data.ValidSeries(static_cast<int>(*s))) {
      Refuse("series " + (s ? std::to_string(*s) : std::string("?")) + " is outside the data");
      return std::nullopt;
    }
    return static_cast<int>(*s);
  }
  bool PointCount(WORD flags, std::vector<VARIANT>& a, VARIANT& result) {
    if (IsGet(flags, a, 1)) {
      const auto s = SeriesOf(a[0]);
      if (!s) return false;
      SetInt(result, M().data.PointsOf(*s));
      return true;
    }
    if (!IsPut(flags, a, 2)) return false;
    const auto s = SeriesOf(a[0]);
    const auto count = Int(a[1]);
    if (!s) return false;
    return (count && M().data.SetPoints(*s, static_cast<int>(*count))) ||
           Refuse("a point count is 0 to " + std::to_string(kMaxPoints));
  }
  bool PointRange(bool first, WORD flags, std::vector<VARIANT>& a, VARIANT& result) {
    const bool get = IsGet(flags, a, 1), put = IsPut(flags, a, 2);
    if (!get && !put) return false;
    const auto s = SeriesOf(a[0]);
    if (!s) return false;
    Series& series = M().data.series[static_cast<std::size_t>(*s - 1)];
    int& member = first ? series.firstPoint : series.lastPoint;
    if (get) {
      SetInt(result, member);
      return true;
    }
    const auto value = Int(a[1]);
    if (!value || *value < 0 || *value > kMaxPoints)
      return Refuse("a shown point is 0 to " + std::to_string(kMaxPoints));
    member = static_cast<int>(*value);
    return true;
  }
  bool Value(bool x, WORD flags, std::vector<VARIANT>& a, VARIANT& result) {
    const bool get = IsGet(flags, a, 2), put = IsPut(flags, a, 3);
    if (!get && !put) return false;
    const auto s = Int(a[0]), p = Int(a[1]);
    Data& d = M().data;
    if (!s || !p || !d.ValidPoint(static_cast<int>(*s), static_cast<int>(*p)))
      return Refuse("point " + (p ? std::to_string(*p) : std::string("?")) + " of series " +
                    (s ? std::to_string(*s) : std::string("?")) + " is outside the data");
    const int si = static_cast<int>(*s), pi = static_cast<int>(*p);
    if (get) {
      SetReal(result, *(x ? d.X(si, pi) : d.Y(si, pi)));
      return true;
    }
    const auto value = Real(a[2]);
    if (!value) return Refuse("a point takes a finite number");
    return x ? d.SetX(si, pi, *value) : d.SetY(si, pi, *value);
  }
  bool Display(WORD flags, std::vector<VARIANT>& a, VARIANT& result) {
    const bool get = IsGet(flags, a, 1), put = IsPut(flags, a, 2);
    if (!get && !put) return false;
    const auto s = SeriesOf(a[0]);
    if (!s) return false;
    short& display = M().data.series[static_cast<std::size_t>(*s - 1)].display;
    if (get) {
      SetInt(result, display, VT_I2);
      return true;
    }
    const auto value = Int(a[1]);
    if (!value || (*value != 1 && *value != 2)) return Refuse("a series display value is 1 (normal) or 2 (off)");
    display = static_cast<short>(*value);
    return true;
  }
  bool File(bool save, WORD flags, std::vector<VARIANT>& a, VARIANT& result) {
    if (!IsCall(flags, a, 1)) return false;
    const auto path = Text(a[0]);
    if (!path || path->empty()) return Refuse("a data file needs a path");
    std::string error;
    bool done = false;
    if (save) {
      done = kestrum::writeFileAtomically(*path, DataText(M().data), &error);
    } else if (auto text = kestrum::ReadWholeFile(*path, kMaxFileBytes)) {
      if (auto data = ReadDataText(*text, error)) {
        M().data = std::move(*data);
        done = true;
      }
    } else {
      error = text.problem().Describe();
    }
    if (!done) mfc::log("chart: the data file " + *path + " was not " + (save ? "saved: " : "read: ") + error);
    SetBool(result, done);
    return true;
  }
  static constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{1} << 30;
};

class GroupObject : public Object {
 public:
  using Object::Object;
  bool Invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& a, VARIANT& result) override {
    if (dispid == 2 && IsGet(flags, a)) {
      SetInt(result, M().chartType);
      return true;
    }
    if (dispid == 2 && IsPut(flags, a)) {
      const auto type = Int(a[0]);
      if (!type || (*type != 1 && *type != 2 && *type != 5)) return Refuse("the chart types are 1, 2 and 5");
      M().chartType = static_cast<int>(*type);
      return true;
    }
    if (dispid == 4 && IsGet(flags, a)) {
      SetObject(result, new DataObject(shared_));
      return true;
    }
    if (dispid == 6 && IsGet(flags, a)) {
      SetObject(result, new LabelsObject(shared_));
      return true;
    }
    if (dispid == 9 && IsCall(flags, a, 4)) return PixelToData(a, result);
    if (dispid == 11 && IsCall(flags, a, 6)) return PickPointCall(a, result);
    return false;
  }

 private:
  bool PixelToData(std::vector<VARIANT>& a, VARIANT& result) {
    const auto px = Int(a[0]), py = Int(a[1]);
    if (!px || !py) return Refuse("PixelToData takes two pixel numbers");
    const auto [w, h] = ClientSize(*shared_);
    const Geometry g(M(), w, h);
    SetReal(a[2], g.DataX(static_cast<int>(*px)));
    SetReal(a[3], g.DataY(static_cast<int>(*py)));
    SetInt(result, g.Region(static_cast<int>(*px), static_cast<int>(*py)));
    return true;
  }
  bool PickPointCall(std::vector<VARIANT>& a, VARIANT& result) {
    const auto px = Int(a[0]), py = Int(a[1]), mode = Int(a[2]);
    if (!px || !py || !mode) return Refuse("PickPoint takes two pixel numbers and a mode");
    const auto [w, h] = ClientSize(*shared_);
    const Geometry g(M(), w, h);
    const auto pick = PickPoint(M(), g, static_cast<int>(*px), static_cast<int>(*py), static_cast<int>(*mode));
    if (pick) {
      SetInt(a[3], pick->series);
      SetInt(a[4], pick->point);
      SetInt(a[5], pick->distance);
    }
    SetInt(result, pick ? 1 : 0);
    return true;
  }
};

class GroupCollection : public Object {
 public:
  using Object::Object;
  bool Invoke(DISPID dispid, WORD flags, std::vector<VARIANT>& a, VARIANT& result) override {
    if (dispid == 1 && IsGet(flags, a)) {
      SetInt(result, 1);
      return true;
    }
    if (dispid != 3 || !IsGet(flags, a, 1)) return false;
    if (Int(a[0]) != 1) return Refuse("the chart has one chart group, number 1");
    SetObject(result, new GroupObject(shared_));
    return true;
  }
};

}  // namespace

IDispatch* MakeHeader(const SharedPtr& shared) {
  return new TitleObject(shared, [](Model& m) { return &m.header; });
}
IDispatch* MakeFooter(const SharedPtr& shared) {
  return new TitleObject(shared, [](Model& m) { return &m.footer; });
}
IDispatch* MakeLegend(const SharedPtr& shared) { return new LegendObject(shared); }
IDispatch* MakeChartArea(const SharedPtr& shared) { return new ChartAreaObject(shared); }
IDispatch* MakeChartGroups(const SharedPtr& shared) { return new GroupCollection(shared); }

}  // namespace chart
