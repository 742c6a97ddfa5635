// The control's state and data files: whitespace-separated tokens, texts in double quotes with
// backslash escapes, doubles in the shortest form that reads back to the same bits.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "model.h"

namespace chart {
namespace {

constexpr const char* kStateHeader = "kestrum-chart-state";
constexpr const char* kDataHeader = "kestrum-chart-data";
constexpr int kVersion = 1;

class Writer {
 public:
  Writer& Word(const std::string& word) {
    out_ << word << ' ';
    return *this;
  }
  Writer& Int(long long value) { return Word(std::to_string(value)); }
  Writer& Real(double value) {
    char text[40];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return Word(std::string(text, result.ptr));
  }
  Writer& Text(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
      if (c == '"' || c == '\\') quoted += '\\';
      if (c == '\n') {
        quoted += "\\n";
        continue;
      }
      quoted += c;
    }
    return Word(quoted + "\"");
  }
  Writer& Line() {
    out_ << '\n';
    return *this;
  }
  std::string Result() const { return out_.str(); }

 private:
  std::ostringstream out_;
};

class Reader {
 public:
  explicit Reader(const std::string& text) : text_(text) {}
  bool Word(std::string& word) {
    Skip();
    const std::size_t start = at_;
    while (at_ < text_.size() && !IsBlank(text_[at_])) ++at_;
    word = text_.substr(start, at_ - start);
    return !word.empty() || Fail("the file ends early");
  }
  bool Expect(const std::string& word) {
    std::string got;
    return (Word(got) && got == word) || Fail("'" + word + "' expected");
  }
  bool Int(long long& value, long long low, long long high) {
    std::string word;
    if (!Word(word)) return false;
    const auto result = std::from_chars(word.data(), word.data() + word.size(), value);
    if (result.ec != std::errc() || result.ptr != word.data() + word.size())
      return Fail("'" + word + "' is not a whole number");
    return (value >= low && value <= high) ||
           Fail(word + " is outside " + std::to_string(low) + " to " + std::to_string(high));
  }
  template <class T>
  bool Small(T& value, long long low, long long high) {
    long long read = 0;
    if (!Int(read, low, high)) return false;
    value = static_cast<T>(read);
    return true;
  }
  bool Flag(bool& value) {
    long long read = 0;
    if (!Int(read, 0, 1)) return false;
    value = read != 0;
    return true;
  }
  bool Real(double& value) {
    std::string word;
    if (!Word(word)) return false;
    const auto result = std::from_chars(word.data(), word.data() + word.size(), value);
    if (result.ec != std::errc() || result.ptr != word.data() + word.size() || !std::isfinite(value))
      return Fail("'" + word + "' is not a finite number");
    return true;
  }
  bool Text(std::string& text) {
    Skip();
    if (at_ >= text_.size() || text_[at_] != '"') return Fail("a quoted text expected");
    text.clear();
    for (++at_; at_ < text_.size(); ++at_) {
      char c = text_[at_];
      if (c == '"') {
        ++at_;
        return true;
      }
      if (c == '\\' && at_ + 1 < text_.size()) c = text_[++at_] == 'n' ? '\n' : text_[at_];
      if (text.size() >= kMaxTextLength) return Fail("a text is longer than " + std::to_string(kMaxTextLength));
      text += c;
    }
    return Fail("a text is not closed");
  }
  bool Column(std::vector<double>& column) {
    long long count = 0;
    if (!Int(count, 0, kMaxPoints)) return false;
    column.clear();
    for (long long i = 0; i < count; ++i) {
      double value = 0;
      if (!Real(value)) return false;
      column.push_back(value);
    }
    return true;
  }
  bool AtEnd() {
    Skip();
    return at_ == text_.size() || Fail("more follows the end");
  }
  bool Fail(const std::string& what) {
    if (error_.empty()) error_ = what;
    return false;
  }
  const std::string& Error() const { return error_; }

 private:
  static bool IsBlank(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }
  void Skip() {
    while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
  }
  const std::string& text_;
  std::size_t at_ = 0;
  std::string error_;
};

void Put(Writer& w, const Font& f) {
  w.Text(f.name)
      .Int(f.size)
      .Int(f.bold)
      .Int(f.italic)
      .Int(f.underline)
      .Int(f.strikethrough)
      .Int(f.weight)
      .Int(f.charset);
}
bool Get(Reader& r, Font& f) {
  return r.Text(f.name) && r.Int(f.size, 0, 10'000'000'000LL) && r.Flag(f.bold) && r.Flag(f.italic) &&
         r.Flag(f.underline) && r.Flag(f.strikethrough) && r.Small(f.weight, 0, 1000) && r.Small(f.charset, 0, 255);
}

void Put(Writer& w, const Title& t) {
  w.Text(t.text).Int(t.shown);
  Put(w, t.font);
  w.Line();
}
bool Get(Reader& r, Title& t) { return r.Text(t.text) && r.Flag(t.shown) && Get(r, t.font); }

void Put(Writer& w, const Axis& a) {
  w.Text(a.title).Real(a.minimum.value).Int(a.minimum.set).Real(a.maximum.value).Int(a.maximum.set).Int(a.property21);
  Put(w, a.font);
  w.Line();
}
bool Get(Reader& r, Axis& a) {
  return r.Text(a.title) && r.Real(a.minimum.value) && r.Flag(a.minimum.set) && r.Real(a.maximum.value) &&
         r.Flag(a.maximum.set) && r.Small(a.property21, -1'000'000, 1'000'000) && Get(r, a.font);
}

void Put(Writer& w, const Marker& m) { w.Int(m.pattern).Real(m.x).Real(m.y).Line(); }
bool Get(Reader& r, Marker& m) { return r.Small(m.pattern, 0, 100) && r.Real(m.x) && r.Real(m.y); }

void PutColumn(Writer& w, const std::vector<double>& column) {
  w.Int(static_cast<long long>(column.size()));
  for (double v : column) w.Real(v);
  w.Line();
}

void Put(Writer& w, const Data& d) {
  w.Int(d.layout).Int(d.firstSeries).Int(d.lastSeries).Int(d.batched).Int(d.NumSeries()).Line();
  for (const Series& s : d.series) {
    w.Int(s.points).Int(s.firstPoint).Int(s.lastPoint).Int(s.display).Line();
    PutColumn(w, s.x);
    PutColumn(w, s.y);
  }
}
bool Get(Reader& r, Data& d) {
  int count = 0;
  if (!(r.Small(d.layout, 1, 2) && r.Small(d.firstSeries, 0, kMaxSeries) && r.Small(d.lastSeries, 0, kMaxSeries) &&
        r.Flag(d.batched) && r.Small(count, 0, kMaxSeries)))
    return false;
  d.series.assign(static_cast<std::size_t>(count), Series{});
  for (Series& s : d.series)
    if (!(r.Small(s.points, 0, kMaxPoints) && r.Small(s.firstPoint, 0, kMaxPoints) &&
          r.Small(s.lastPoint, 0, kMaxPoints) && r.Small(s.display, 1, 2) && r.Column(s.x) && r.Column(s.y)))
      return false;
  return true;
}

}  // namespace

std::string StateText(const Model& m) {
  Writer w;
  w.Word(kStateHeader).Int(kVersion).Line();
  Put(w, m.header);
  Put(w, m.footer);
  w.Int(m.legendShown);
  Put(w, m.legendFont);
  w.Line();
  Put(w, m.x);
  Put(w, m.y);
  Put(w, m.markerX);
  Put(w, m.markerY);
  w.Int(m.chartType).Int(m.property6).Int(m.property7).Int(m.userChanges).Int(static_cast<long long>(m.labels.size()));
  w.Line();
  for (const std::string& label : m.labels) w.Text(label).Line();
  Put(w, m.data);
  return w.Result();
}

std::optional<Model> ReadStateText(const std::string& text, std::string& error) {
  Reader r(text);
  Model m;
  int labels = 0;
  bool ok = r.Expect(kStateHeader) && r.Expect(std::to_string(kVersion)) && Get(r, m.header) && Get(r, m.footer) &&
            r.Flag(m.legendShown) && Get(r, m.legendFont) && Get(r, m.x) && Get(r, m.y) && Get(r, m.markerX) &&
            Get(r, m.markerY) && r.Small(m.chartType, -1'000'000, 1'000'000) && r.Flag(m.property6) &&
            r.Flag(m.property7) && r.Flag(m.userChanges) && r.Small(labels, 0, kMaxSeries);
  for (int i = 0; ok && i < labels; ++i) ok = r.Text(m.labels.emplace_back());
  ok = ok && Get(r, m.data) && r.AtEnd();
  if (!ok) {
    error = r.Error();
    return std::nullopt;
  }
  return m;
}

std::string DataText(const Data& data) {
  Writer w;
  w.Word(kDataHeader).Int(kVersion).Line();
  Put(w, data);
  return w.Result();
}

std::optional<Data> ReadDataText(const std::string& text, std::string& error) {
  Reader r(text);
  Data d;
  if (!(r.Expect(kDataHeader) && r.Expect(std::to_string(kVersion)) && Get(r, d) && r.AtEnd())) {
    error = r.Error();
    return std::nullopt;
  }
  return d;
}

}  // namespace chart
