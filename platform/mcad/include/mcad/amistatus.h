// Status values of the part modeller's API. Callers compare them with Ami::FlatStatus numbers;
// 0, 2016, 2025, 2026 and 2096 are the ones callers test by value.
#pragma once

namespace Ami {
enum FlatStatus : int {
  eOk = 0,
  eBadInput = 2001,          // a null or unusable argument
  eNotFound = 2002,          // no such application, reaction, tab, part, parameter or key name
  eAlreadyExists = 2003,     // registered before (same name, or the same window in the group)
  eNoDocument = 2004,        // no drawing is open
  eFilerFailed = 2005,       // the drawing filer refused a read or a write
  eWrongKeyType = 2006,      // the key is not of the kind the call needs
  eRegenFailed = 2007,       // a part could not be regenerated; it was left as it was
  eKeyRefused = 2009,        // a released key, or an object that is not in a drawing, cannot be bound
  eRetryInOtherView = 2016,  // callers retry after turning the view; this modeller never answers it
  eFailedPick = 2025,        // the pick hit nothing usable; the caller may ask again
  eUserEnded = 2026,         // the user ended the pick (ESC or end of input)
  eStaleKey = 2096,          // the key's geometry is gone (its feature or face was removed, or its part erased)
};
}  // namespace Ami

using AmiStatus = Ami::FlatStatus;
