#include "amg/CaeTypeInfo.h"

bool CaeTypeInfo::CanCast(const CaeTypeInfo& target) const {
  if (this == &target) return true;
  for (const CaeTypeInfo* parent : parents_)
    if (parent && parent->CanCast(target)) return true;
  return false;
}
