#include "amg/CaeLocale.h"

namespace {

// One "C" locale object for the whole process; newlocale is not cheap and the object is never
// changed.
locale_t CLocale() {
  static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c;
}

}  // namespace

CaeLocale::ForceDecimalPoint::ForceDecimalPoint() : previous_(uselocale(CLocale())) {}

CaeLocale::ForceDecimalPoint::~ForceDecimalPoint() { uselocale(previous_); }
