// CaeStringList: an owning engine list of texts; clearing or destroying it deletes the texts.
#pragma once
#include "amg/CaeList.h"
#include "amg/CaeString.h"

using CaeStringList = CaeOwningList<CaeString>;
