// Result codes and value types of the host's command-line functions (the acedGet* family,
// acedCommand, acedGetVar/acedSetVar, acedTrans) and the result-buffer list they exchange.
// The numbers are part of the contract: callers compare results with RTNORM (5100) by value.
#pragma once

#include <cstdint>

// Results of command-line functions.
constexpr int RTNORM = 5100;    // normal completion: a value was returned
constexpr int RTNONE = 5000;    // no value: the user pressed Enter on an empty answer
constexpr int RTERROR = -5001;  // the call failed (bad arguments, unknown name)
constexpr int RTCAN = -5002;    // the user cancelled (ESC, or the input ended)
constexpr int RTREJ = -5003;    // the request was rejected as invalid
constexpr int RTFAIL = -5004;   // the link to the host failed
constexpr int RTKWORD = -5005;  // a keyword was entered

// Value types in result buffers and acedCommand argument lists.
constexpr short RTREAL = 5001;
constexpr short RTPOINT = 5002;  // 2-D point (z ignored)
constexpr short RTSHORT = 5003;
constexpr short RTANG = 5004;
constexpr short RTSTR = 5005;
constexpr short RTENAME = 5006;
constexpr short RT3DPOINT = 5009;
constexpr short RTLONG = 5010;

using ads_real = double;
using ads_point = ads_real[3];
using ads_name = std::int64_t[2];

// One link of a result-buffer list. Strings are owned by the buffer (released by acutRelRb).
struct resbuf {
  resbuf* rbnext = nullptr;
  short restype = RTNONE;
  union ads_u_val {
    ads_real rreal;
    ads_real rpoint[3];
    short rint;
    char* rstring;
    std::int32_t rlong;
    std::int64_t rlname[2];
  } resval{};
};
