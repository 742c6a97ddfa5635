#include "gui/dialogs/model/UIModelTypes.h"

#include "res/ResourceIds.h"

namespace {

struct TypeNames {
  UINT type;
  UINT guide;
};

constexpr TypeNames kNames[] = {
    {IDS_TYPE_STRESS, IDS_GUIDE_STRESS},
    {IDS_TYPE_VIBRATION, IDS_GUIDE_VIBRATION},
    {IDS_TYPE_BUCKLING, IDS_GUIDE_BUCKLING},
    {IDS_TYPE_HEAT, IDS_GUIDE_HEAT},
};

}  // namespace

bool UIIsModelType(int type) { return type >= 0 && type < static_cast<int>(sizeof(kNames) / sizeof(kNames[0])); }
UINT UIModelTypeNameId(int type) { return UIIsModelType(type) ? kNames[type].type : 0; }
UINT UIGuideNameId(int type) { return UIIsModelType(type) ? kNames[type].guide : 0; }
