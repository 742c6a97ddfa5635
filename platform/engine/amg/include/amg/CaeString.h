// CaeString: the engine's text type.
//
// Owns its bytes; a text may hold any bytes (multibyte texts included) and is always followed by a
// terminating zero in memory, so Text() can be handed to C functions. Comparison is byte for byte and
// case-sensitive. Number formatting and parsing always use the "C" locale ("." as decimal point).
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

class CaeString {
 public:
  CaeString() = default;
  CaeString(const char* text);  // null gives the empty text
  CaeString(const char* bytes, std::size_t length);
  CaeString(std::string_view text);
  CaeString(const std::string& text);

  // printf-style formatting in the "C" locale.
  static CaeString Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
  static CaeString FromInt(long long value);
  // Shortest text that reads back to the same double ("%.17g" trimmed), "C" locale.
  static CaeString FromDouble(double value);

  const char* Text() const { return bytes_.c_str(); }
  const char* c_str() const { return bytes_.c_str(); }
  std::string_view View() const { return bytes_; }
  const std::string& Str() const { return bytes_; }
  std::size_t Length() const { return bytes_.size(); }
  bool IsEmpty() const { return bytes_.empty(); }
  char operator[](std::size_t index) const { return bytes_[index]; }

  CaeString& Append(std::string_view text);
  CaeString& operator+=(const CaeString& text) { return Append(text.View()); }
  CaeString& operator+=(const char* text) { return Append(text ? text : ""); }
  CaeString& operator+=(char c);
  // Cuts the text to at most `length` bytes.
  void Truncate(std::size_t length);
  void Clear() { bytes_.clear(); }

  // Reads the whole text (surrounding blanks allowed) as a number; false, with `value` unchanged,
  // when it is not one.
  bool ToDouble(double& value) const;
  bool ToInt(long& value) const;

  friend bool operator==(const CaeString& a, const CaeString& b) { return a.bytes_ == b.bytes_; }
  friend bool operator!=(const CaeString& a, const CaeString& b) { return a.bytes_ != b.bytes_; }
  friend bool operator<(const CaeString& a, const CaeString& b) { return a.bytes_ < b.bytes_; }
  friend bool operator==(const CaeString& a, const char* b) { return a.bytes_ == std::string_view(b ? b : ""); }
  friend bool operator!=(const CaeString& a, const char* b) { return !(a == b); }
  friend CaeString operator+(const CaeString& a, const CaeString& b) {
    CaeString r(a);
    r.Append(b.View());
    return r;
  }
  friend CaeString operator+(const CaeString& a, const char* b) { return a + CaeString(b); }

 private:
  std::string bytes_;
};
