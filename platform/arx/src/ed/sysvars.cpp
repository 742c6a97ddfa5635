#include <string>

#include "arx/aced.h"
#include "text_util.h"

namespace {

short& cmdecho() {
  static short value = 1;
  return value;
}

}  // namespace

int acedGetVar(const char* name, resbuf* result) {
  if (!name || !result) return RTERROR;
  if (cadhost::equalsNoCase(name, "CMDECHO")) {
    result->restype = RTSHORT;
    result->resval.rint = cmdecho();
    return RTNORM;
  }
  return RTERROR;
}

int acedSetVar(const char* name, const resbuf* value) {
  if (!name || !value) return RTERROR;
  if (cadhost::equalsNoCase(name, "CMDECHO")) {
    if (value->restype != RTSHORT || (value->resval.rint != 0 && value->resval.rint != 1)) return RTERROR;
    cmdecho() = value->resval.rint;
    return RTNORM;
  }
  return RTERROR;
}
