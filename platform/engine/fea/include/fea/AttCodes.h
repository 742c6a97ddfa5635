// Condition type codes by name. The numbers are the engine's (an AttType is a plain int at the
// engine's interface); code says AttCode::FaceRestraint, never 7.
#pragma once

#include <string_view>

#include "fea/AttTypes.h"

enum class AttCode : int {
#define ATT_CODE(name, value, text) name = value,
#include "fea/AttCodes.def"
#undef ATT_CODE
};

constexpr AttType ToAttType(AttCode code) { return static_cast<AttType>(code); }

// True for a code the engine knows (1 to 25 and 29).
constexpr bool IsAttCode(AttType type) {
  switch (type) {
#define ATT_CODE(name, value, text) case value:
#include "fea/AttCodes.def"
#undef ATT_CODE
    return true;
    default: return false;
  }
}

// The engine's English name of a code ("Face Restraint"); empty for a code it does not know.
constexpr std::string_view AttCodeName(AttType type) {
  switch (type) {
#define ATT_CODE(name, value, text) \
  case value:                       \
    return text;
#include "fea/AttCodes.def"
#undef ATT_CODE
    default: return {};
  }
}

constexpr bool operator==(AttType type, AttCode code) { return type == ToAttType(code); }

// Heat-transfer conditions: flows, fluxes, convection, generation and fixed temperatures.
constexpr bool IsThermal(AttCode c) { return c >= AttCode::VertexHeatFlow && c <= AttCode::EdgeFixedTemperature; }
// Fixed temperatures: the thermal boundary values.
constexpr bool IsFixedTemperature(AttCode c) {
  return c >= AttCode::VertexFixedTemperature && c <= AttCode::EdgeFixedTemperature;
}
// Restraints of motion (the enforced displacements and the pin included).
constexpr bool IsRestraint(AttCode c) {
  return (c >= AttCode::VertexRestraint && c <= AttCode::FaceEnforcedDisplacement) || c == AttCode::PinnedRestraint;
}
// Conditions on the whole model rather than on picked geometry.
constexpr bool IsModelLevel(AttCode c) { return c >= AttCode::Spin && c <= AttCode::BodyTemperature; }
// Forces, pressures and moments on picked geometry.
constexpr bool IsMechanicalLoad(AttCode c) {
  return (c >= AttCode::VertexForce && c <= AttCode::Pressure) || c == AttCode::FaceTotalForce ||
         c == AttCode::EdgeTotalForce || c == AttCode::Moment;
}
