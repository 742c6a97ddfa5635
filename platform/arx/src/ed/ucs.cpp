#include <cmath>
#include <map>
#include <numbers>
#include <string>

#include "arx/acdocman.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/hostinput.h"
#include "host_internal.h"
#include "kestrum/text.h"
#include "text_util.h"

namespace {

// A user coordinate system: origin and unit axes in world coordinates.
struct Ucs {
  double origin[3] = {0, 0, 0};
  double axis[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

std::map<const AcDbDatabase*, Ucs>& ucsByDrawing() {
  static auto* map = new std::map<const AcDbDatabase*, Ucs>();
  return *map;
}

Ucs& currentUcs() {
  static Ucs noDrawing;
  AcApDocument* doc = acDocManagerPtr()->curDocument();
  return doc ? ucsByDrawing()[doc->database()] : noDrawing;
}

// Rotates the UCS about one of its own axes by `degrees` (right-hand rule).
void rotateAbout(Ucs& ucs, int axisIndex, double degrees) {
  double angle = degrees * std::numbers::pi / 180.0;
  double c = std::cos(angle), s = std::sin(angle);
  int a = (axisIndex + 1) % 3, b = (axisIndex + 2) % 3;
  double newA[3], newB[3];
  for (int k = 0; k < 3; ++k) {
    newA[k] = c * ucs.axis[a][k] + s * ucs.axis[b][k];
    newB[k] = -s * ucs.axis[a][k] + c * ucs.axis[b][k];
  }
  for (int k = 0; k < 3; ++k) ucs.axis[a][k] = newA[k], ucs.axis[b][k] = newB[k];
}

bool systemOf(const resbuf* rb, int& system) {
  if (!rb) return false;
  int value = rb->restype == RTSHORT ? rb->resval.rint : rb->restype == RTLONG ? rb->resval.rlong : -1;
  if (value != 0 && value != 1) return false;
  system = value;
  return true;
}

}  // namespace

int acedTrans(const ads_point point, const resbuf* from, const resbuf* to, int disp, ads_point result) {
  int fromSystem = 0, toSystem = 0;
  if (!point || !result || !systemOf(from, fromSystem) || !systemOf(to, toSystem)) return RTERROR;
  const Ucs& ucs = currentUcs();
  double world[3];
  if (fromSystem == 1) {
    for (int k = 0; k < 3; ++k)
      world[k] = (disp ? 0 : ucs.origin[k]) + point[0] * ucs.axis[0][k] + point[1] * ucs.axis[1][k] +
                 point[2] * ucs.axis[2][k];
  } else {
    for (int k = 0; k < 3; ++k) world[k] = point[k];
  }
  if (toSystem == 1) {
    double relative[3];
    for (int k = 0; k < 3; ++k) relative[k] = world[k] - (disp ? 0 : ucs.origin[k]);
    for (int i = 0; i < 3; ++i)
      result[i] = relative[0] * ucs.axis[i][0] + relative[1] * ucs.axis[i][1] + relative[2] * ucs.axis[i][2];
  } else {
    for (int k = 0; k < 3; ++k) result[k] = world[k];
  }
  return RTNORM;
}

namespace cadhost {

int runUcsCommand() {
  char option[133];
  int status = acedGetString(0, "\nEnter an option [X/Y/Z/World] <World>: ", option);
  if (status != RTNORM) return status;
  std::string choice = upperCase(kestrum::Trim(option));
  if (!choice.empty() && choice[0] == '_') choice.erase(0, 1);
  if (choice.empty() || choice == "W" || choice == "WORLD") {
    currentUcs() = Ucs();
    return RTNORM;
  }
  if (choice != "X" && choice != "Y" && choice != "Z") {
    acutPrintf("\nUnknown UCS option \"%s\".\n", option);
    return RTERROR;
  }
  double degrees = 90.0;
  status = acedGetReal("\nSpecify rotation angle about the axis <90>: ", &degrees);
  if (status == RTCAN || status == RTERROR) return status;
  if (status == RTNONE) degrees = 90.0;
  rotateAbout(currentUcs(), choice[0] - 'X', degrees);
  return RTNORM;
}

void forgetUcs(const AcDbDatabase* db) { ucsByDrawing().erase(db); }

}  // namespace cadhost
