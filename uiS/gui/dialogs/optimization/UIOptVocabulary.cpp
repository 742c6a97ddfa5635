#include "gui/dialogs/optimization/UIOptVocabulary.h"

#include <string>

#include "cadInterface/CadResources.h"
#include "res/ResourceIds.h"

namespace {

constexpr int kResponseTypes = 8;
constexpr int kObjectiveListTypes = 4;
constexpr int kConstraintListTypes = 7;
constexpr int kDisplacement = 6;
constexpr int kDisplacementMagnitude = 7;
constexpr int kStress = 4;
constexpr int kStrain = 5;

constexpr int kAxis1 = 1;
constexpr int kAxis2 = 2;
constexpr int kAxis3 = 4;
constexpr int kAllAxes = kAxis1 | kAxis2 | kAxis3;

constexpr unsigned kResponseNames[kResponseTypes] = {
    IDS_OPT_RESPONSE_MASS,   IDS_OPT_RESPONSE_VOLUME, IDS_OPT_RESPONSE_FREQUENCY,    IDS_OPT_RESPONSE_LOAD_FACTOR,
    IDS_OPT_RESPONSE_STRESS, IDS_OPT_RESPONSE_STRAIN, IDS_OPT_RESPONSE_DISPLACEMENT, IDS_OPT_RESPONSE_DISPLACEMENT};

// The named components in flag order, with their labels.
struct NamedComponent {
  int flag;
  int listIndex;
  unsigned label;
};
constexpr NamedComponent kNamedComponents[] = {{8, 6, IDS_OPT_MAX_PRINCIPAL},
                                               {16, 7, IDS_OPT_MID_PRINCIPAL},
                                               {32, 8, IDS_OPT_MIN_PRINCIPAL},
                                               {64, 9, IDS_OPT_MAX_SHEAR},
                                               {128, 10, IDS_OPT_VON_MISES}};

// List positions 0 to 6 of the axis combinations (position 6 means all three for a displacement).
constexpr int kAxisFlagsByIndex[] = {kAxis1,          kAxis2,          kAxis3,  kAxis1 | kAxis2,
                                     kAxis2 | kAxis3, kAxis1 | kAxis3, kAllAxes};

constexpr unsigned kAxisLetters[3][3] = {{IDS_AXIS_X, IDS_AXIS_Y, IDS_AXIS_Z},
                                         {IDS_AXIS_CYL_R, IDS_AXIS_CYL_THETA, IDS_AXIS_CYL_Z},
                                         {IDS_AXIS_SPH_R, IDS_AXIS_SPH_THETA, IDS_AXIS_SPH_PHI}};

constexpr unsigned kScopeNames[] = {IDS_OPT_SCOPE_SEVERAL, IDS_OPT_SCOPE_ALL_SOLIDS, IDS_GEOM_APPLIES_SOLID,
                                    IDS_GEOM_APPLIES_FACE, IDS_GEOM_APPLIES_EDGE,    IDS_GEOM_APPLIES_VERTEX};

const NamedComponent* namedComponent(int flags) {
  for (const NamedComponent& named : kNamedComponents)
    if (named.flag == flags) return &named;
  return nullptr;
}

// The string without its first "&" (the letters carry a mnemonic on the pages).
std::string letter(unsigned id) {
  std::string text = resLoadString(id).c_str();
  if (const std::size_t at = text.find('&'); at != std::string::npos) text.erase(at, 1);
  return text;
}

bool hasComponents(int type) { return type == kStress || type == kStrain || type == kDisplacement; }

}  // namespace

CaeString UIOptResponseTypeName(int type) {
  if (type < 0 || type >= kResponseTypes) return CaeString();
  return resLoadString(kResponseNames[type]);
}

int UIOptNumResponseTypes(int constraintList) { return constraintList ? kConstraintListTypes : kObjectiveListTypes; }

int UIOptResponseTypeToListIndex(int type) {
  if (type < 0 || type >= kResponseTypes) return -1;
  return type == kDisplacementMagnitude ? kDisplacement : type;
}

int UIOptListIndexToResponseType(int position) { return position >= 0 && position < kResponseTypes ? position : 0; }

int UIOptComponentsToListIndex(int flags, int type) {
  if (type == kDisplacementMagnitude) return 3;
  if (const NamedComponent* named = namedComponent(flags)) return named->listIndex;
  const int axes = flags & kAllAxes;
  for (int index = 0; index < static_cast<int>(std::size(kAxisFlagsByIndex)); ++index)
    if (kAxisFlagsByIndex[index] == axes) return index;
  return 0;
}

int UIOptListIndexToComponents(int position, int type) {
  if (!hasComponents(type) || position < 0 || position > 10) return 0;
  if (position == 6) return type == kDisplacement ? kAllAxes : 8;
  if (position < 6) return kAxisFlagsByIndex[position];
  return kNamedComponents[position - 6].flag;
}

int UIOptResponseLabel(int type, int flags, int coordSysKind, CaeString& text) {
  if (type == kDisplacementMagnitude) {
    text = resLoadString(IDS_OPT_MAGNITUDE);
    return 0;
  }
  if (const NamedComponent* named = namedComponent(flags)) {
    text = resLoadString(named->label);
    return 1;
  }
  const int kind = coordSysKind >= 0 && coordSysKind < 3 ? coordSysKind : 0;
  const std::string l1 = letter(kAxisLetters[kind][0]);
  const std::string l2 = letter(kAxisLetters[kind][1]);
  const std::string l3 = letter(kAxisLetters[kind][2]);
  const bool b1 = (flags & kAxis1) != 0, b2 = (flags & kAxis2) != 0, b3 = (flags & kAxis3) != 0;
  // A shear in the third and first axes reads in that order (zx).
  if ((type == kStress || type == kStrain) && b1 && b3 && !b2) {
    text = CaeString(l3 + l1);
    return 0;
  }
  const std::string joiner = type == kDisplacement ? "+" : "";
  std::string label;
  if (b1) label += l1;
  if (b1 && b2) label += joiner;
  if (b2) label += l2;
  if (b3 && (b1 || b2)) label += joiner;
  if (b3) label += l3;
  text = CaeString(label);
  return 0;
}

CaeString UIOptFunctionTitle(int type, int flags, int coordSysKind, int modeNumber) {
  const std::string name = UIOptResponseTypeName(type).c_str();
  if (type == 0 || type == 1) return CaeString("- " + name);
  if (type == 2 || type == 3)
    return CaeString("- " + name + " - " + resLoadString(IDS_OPT_MODE).c_str() + " " + std::to_string(modeNumber));
  if (type < kStress || type > kDisplacementMagnitude) return CaeString();
  CaeString label;
  const int named = UIOptResponseLabel(type, flags, coordSysKind, label);
  std::string prefix;
  if (type == kStress && !named) prefix = std::string(resLoadString(IDS_OPT_SIGMA).c_str()) + " ";
  if (type == kStrain && !named) prefix = std::string(resLoadString(IDS_OPT_EPSILON).c_str()) + " ";
  if (type == kDisplacement) prefix = std::string(resLoadString(IDS_OPT_DELTA).c_str()) + " ";
  return CaeString("- " + name + " - " + prefix + label.c_str());
}

CaeString UIOptComponentName(int geometryKind) {
  if (geometryKind < -1 || geometryKind > 4) return CaeString();
  return resLoadString(kScopeNames[geometryKind + 1]);
}
