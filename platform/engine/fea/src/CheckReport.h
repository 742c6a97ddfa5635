// Collects the findings of a model check: a failed check starts with a heading (message 0), each
// finding has its message code at the same index; a passed check leaves no message at all.
#pragma once

#include <cstdint>

#include "amg/CaeArray.h"
#include "amg/CaeMsgCall.h"
#include "amg/CaeString.h"

namespace fea_detail {

class CheckReport {
 public:
  CheckReport(CaeArray<CaeString>& messages, CaeArray<std::uint32_t>* codes)
      : messages_(messages), codes_(codes), start_(messages.Count()) {}

  void Finding(std::uint32_t code, const CaeArray<CaeString>& args = CaeArray<CaeString>()) {
    messages_.Append(CaeMsgTxt::GetMessage(code, args));
    if (codes_) codes_->Append(code);
    ++findings_;
  }

  // Puts the heading in front of the findings; answers 1 when there were none, else 0.
  int Finish(std::uint32_t failedCode) {
    if (findings_ == 0) return 1;
    messages_.InsertAt(start_, CaeMsgTxt::GetMessage(failedCode));
    if (codes_) codes_->InsertAt(start_, failedCode);
    return 0;
  }

 private:
  CaeArray<CaeString>& messages_;
  CaeArray<std::uint32_t>* codes_;
  int start_;
  int findings_ = 0;
};

}  // namespace fea_detail
