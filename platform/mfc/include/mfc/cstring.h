// CString: the toolkit's text type, a byte string (the add-in's texts are single-byte).
// Format uses printf rules in the "C" locale whatever the process locale is.
#pragma once
#include <string>

#include "mfc/wintypes.h"

class CString {
 public:
  CString() = default;
  CString(const char* text) : text_(text ? text : "") {}
  CString(const std::string& text) : text_(text) {}
  CString(char ch, int repeat = 1) : text_(repeat > 0 ? repeat : 0, ch) {}

  int GetLength() const { return static_cast<int>(text_.size()); }
  bool IsEmpty() const { return text_.empty(); }
  void Empty() { text_.clear(); }
  char GetAt(int index) const { return text_.at(static_cast<size_t>(index)); }
  void SetAt(int index, char ch) { text_.at(static_cast<size_t>(index)) = ch; }
  operator const char*() const { return text_.c_str(); }
  const std::string& str() const { return text_; }

  CString& operator=(const char* text) {
    text_ = text ? text : "";
    return *this;
  }
  CString& operator+=(const CString& other) {
    text_ += other.text_;
    return *this;
  }
  CString& operator+=(const char* text) {
    text_ += text ? text : "";
    return *this;
  }
  CString& operator+=(char ch) {
    text_ += ch;
    return *this;
  }
  friend CString operator+(const CString& a, const CString& b) { return CString(a.text_ + b.text_); }
  friend CString operator+(const CString& a, const char* b) { return CString(a.text_ + (b ? b : "")); }
  friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.text_); }
  friend bool operator==(const CString& a, const CString& b) { return a.text_ == b.text_; }
  friend bool operator==(const CString& a, const char* b) { return a.text_ == (b ? b : ""); }
  friend bool operator<(const CString& a, const CString& b) { return a.text_ < b.text_; }

  // Exact and case-insensitive comparison: <0, 0, >0 as strcmp.
  int Compare(const char* other) const;
  int CompareNoCase(const char* other) const;

  // printf-style formatting, "C" locale.
  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Loads string-table text `id` from the current resource handle; FALSE (and empty) when missing.
  BOOL LoadString(UINT id);

  CString Left(int count) const;
  CString Mid(int first, int count = -1) const;
  CString Right(int count) const;
  // Index of the first match at or after `start`, or -1.
  int Find(char ch, int start = 0) const;
  int Find(const char* sub, int start = 0) const;
  int ReverseFind(char ch) const;
  // Replaces every occurrence; returns how many were replaced.
  int Replace(char from, char to);
  int Replace(const char* from, const char* to);
  int Remove(char ch);
  void MakeUpper();
  void MakeLower();
  CString& TrimLeft();
  CString& TrimRight();
  CString& Trim() { return TrimRight().TrimLeft(); }

 private:
  std::string text_;
};
