#include "mfc/cstring.h"

#include <strings.h>
#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstring>

#include "mfc/resources.h"
#include "text_format.h"

int CString::Compare(const char* other) const { return std::strcmp(text_.c_str(), other ? other : ""); }

int CString::CompareNoCase(const char* other) const { return strcasecmp(text_.c_str(), other ? other : ""); }

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  text_ = mfc::detail::formatV(format, args);
  va_end(args);
}

BOOL CString::LoadString(UINT id) {
  text_ = mfc::loadResourceString(AfxGetResourceHandle(), id, nullptr);
  return text_.empty() ? FALSE : TRUE;
}

CString CString::Left(int count) const {
  return CString(text_.substr(0, static_cast<size_t>(std::clamp(count, 0, GetLength()))));
}

CString CString::Mid(int first, int count) const {
  first = std::clamp(first, 0, GetLength());
  if (count < 0 || first + count > GetLength()) count = GetLength() - first;
  return CString(text_.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Right(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(text_.substr(text_.size() - static_cast<size_t>(count)));
}

int CString::Find(char ch, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  size_t at = text_.find(ch, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* sub, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  size_t at = text_.find(sub ? sub : "", static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const {
  size_t at = text_.rfind(ch);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Replace(char from, char to) {
  int count = 0;
  for (char& c : text_)
    if (c == from) {
      c = to;
      ++count;
    }
  return count;
}

int CString::Replace(const char* from, const char* to) {
  std::string needle = from ? from : "";
  std::string with = to ? to : "";
  if (needle.empty()) return 0;
  int count = 0;
  for (size_t at = text_.find(needle); at != std::string::npos; at = text_.find(needle, at + with.size())) {
    text_.replace(at, needle.size(), with);
    ++count;
  }
  return count;
}

int CString::Remove(char ch) {
  size_t before = text_.size();
  text_.erase(std::remove(text_.begin(), text_.end(), ch), text_.end());
  return static_cast<int>(before - text_.size());
}

void CString::MakeUpper() {
  for (char& c : text_) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

void CString::MakeLower() {
  for (char& c : text_) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

CString& CString::TrimLeft() {
  size_t first = 0;
  while (first < text_.size() && std::isspace(static_cast<unsigned char>(text_[first]))) ++first;
  text_.erase(0, first);
  return *this;
}

CString& CString::TrimRight() {
  while (!text_.empty() && std::isspace(static_cast<unsigned char>(text_.back()))) text_.pop_back();
  return *this;
}
