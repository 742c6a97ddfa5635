// CaeLocale::ForceDecimalPoint: for its lifetime the calling thread formats and parses numbers in
// the "C" locale ("." as decimal point, no grouping), whatever locale the process has; the
// thread's previous locale comes back when it ends. Guards nest.
#pragma once
#include <locale.h>

class CaeLocale {
 public:
  class ForceDecimalPoint {
   public:
    ForceDecimalPoint();
    ~ForceDecimalPoint();
    ForceDecimalPoint(const ForceDecimalPoint&) = delete;
    ForceDecimalPoint& operator=(const ForceDecimalPoint&) = delete;

   private:
    locale_t previous_;
  };
};
