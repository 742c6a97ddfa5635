// Status values of the part modeller's API. Callers compare them with Ami::FlatStatus numbers.
#pragma once

namespace Ami {
enum FlatStatus : int {
  eOk = 0,
  eBadInput = 2001,        // a null or unusable argument
  eNotFound = 2002,        // no such application, reaction or tab
  eAlreadyExists = 2003,   // registered before (same name, or the same window in the group)
  eNoDocument = 2004,      // no drawing is open
};
}  // namespace Ami

using AmiStatus = Ami::FlatStatus;
