#include "amg/CaeAttrib.h"

CAE_DEFINE_TYPE_INFO(CaeAttrib)

void CaeAttrib::UponTopoRefDelete() { ref_ = nullptr; }
void CaeAttrib::UponTopoRefModify() {}
void CaeAttrib::UponTopoRefErase() { MarkAsErased(); }
CaeTypeId CaeAttrib::GetInfo() const { return Info; }
