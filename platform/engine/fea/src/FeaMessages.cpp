#include "fea/FeaMessages.h"

#include "amg/CaeMsgCall.h"

void FeaReportNotAvailable(const char* operation) {
  CaeMsgCall::Message(1, kFeaMsgNotAvailable, {CaeString(operation)});
}
