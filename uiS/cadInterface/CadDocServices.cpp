#include "cadInterface/CadDocServices.h"

#include <cmath>
#include <cstring>

#include "amg/CaeCoordSys.h"
#include "amg/CaeTransform.h"
#include "cadInterface/CadAppControl.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "fea/AttCodes.h"
#include "mfc/ddx.h"
#include "mfc/services.h"
#include "mfc/win32_files.h"
#include "mfc/wnd.h"
#include "res/ResourceIds.h"

namespace {

// Truncated toward zero, as the decimals count: log10(0.0123) = -1.9 counts as -1.
int TruncatedLog10(double magnitude) { return static_cast<int>(std::trunc(std::log10(magnitude))); }

CString FormatWithDecimals(double value, int decimals) {
  CString format;
  format.Format("%%.%dlf", decimals);
  CString text;
  text.Format(format, value);
  return text;
}

}  // namespace

int CadRoundToDigits(double& value, int digits) {
  const double sign = value == std::fabs(value) ? 1.0 : -1.0;
  const double magnitude = std::fabs(value);
  if (!(magnitude > 0.0) || !std::isfinite(magnitude)) return digits;
  // Rounded in floating point, not through an integer part: the scaled magnitude may be far above
  // any integer type. Double arithmetic as before keeps the results the same where they fitted;
  // the scale of the smallest values is beyond double's range, so those use long double.
  const long long decimals = static_cast<long long>(digits) - TruncatedLog10(magnitude);
  long double rounded = magnitude;
  int answer = 0;
  if (decimals < 0) {
    const double step = std::pow(10.0, static_cast<double>(-decimals));
    rounded = step * std::trunc(magnitude / step + 0.5);
  } else {
    const double scale = std::pow(10.0, static_cast<double>(decimals));
    if (std::isfinite(scale)) {
      rounded = std::trunc(magnitude * scale + 0.5) / scale;
    } else {
      const long double wide = std::pow(10.0L, static_cast<long double>(decimals));
      if (std::isfinite(wide)) rounded = std::trunc(magnitude * wide + 0.5L) / wide;
    }
    answer = static_cast<int>(decimals);
  }
  if (std::isfinite(static_cast<double>(rounded))) value = sign * static_cast<double>(rounded);
  return answer;
}

CString& CadFormatValue(CString& text, double value, int digits) {
  double rounded = value;
  const int decimals = CadRoundToDigits(rounded, digits);
  text = FormatWithDecimals(rounded, decimals);
  return text;
}

CString& CadSetDlgItemValue(CString& text, CWnd* dialog, int id, double value, int digits) {
  CadFormatValue(text, value, digits);
  if (dialog) dialog->SetDlgItemText(id, text);
  return text;
}

int CadDecimalsFor(double value, int digits) {
  const double magnitude = std::fabs(value);
  if (!(magnitude > 0.0) || !std::isfinite(magnitude)) return 0;
  const long long decimals = static_cast<long long>(digits) - TruncatedLog10(magnitude);
  if (decimals < 0) return 0;
  return decimals < digits ? static_cast<int>(decimals) : digits;
}

CString& CadSetDlgItemDecimals(CString& text, CWnd* window, int id, double value, int digits) {
  text = FormatWithDecimals(value, CadDecimalsFor(value, digits));
  if (window) window->SetDlgItemText(id, text);
  return text;
}

int CadIsValidName(const char* name) {
  const char* text = name ? name : "";
  CadInterface* cad = CadInterface::GetCurrent();
  if (cad && cad->AcceptsFreeNames()) return std::strpbrk(text, "*/\\:?\"<>|") ? 0 : 1;
  for (const char* c = text; *c; ++c) {
    const unsigned char ch = static_cast<unsigned char>(*c);
    const bool letter = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
    const bool digit = ch >= '0' && ch <= '9';
    if (!letter && !digit && ch != '_') return 0;
  }
  return 1;
}

CaeString& CadLbcTypeName(CaeString& text, int type) {
  unsigned id = 0;
  switch (static_cast<AttCode>(type)) {
    case AttCode::VertexForce: id = IDS_LBC_VERTEX_FORCE; break;
    case AttCode::FaceDistributedForce: id = IDS_LBC_FACE_DISTRIBUTED_FORCE; break;
    case AttCode::EdgeDistributedForce: id = IDS_LBC_EDGE_DISTRIBUTED_FORCE; break;
    case AttCode::Pressure: id = IDS_LBC_PRESSURE; break;
    case AttCode::VertexRestraint: id = IDS_LBC_VERTEX_RESTRAINT; break;
    case AttCode::EdgeRestraint: id = IDS_LBC_EDGE_RESTRAINT; break;
    case AttCode::FaceRestraint: id = IDS_LBC_FACE_RESTRAINT; break;
    case AttCode::VertexEnforcedDisplacement: id = IDS_LBC_VERTEX_ENFORCED_DISPLACEMENT; break;
    case AttCode::EdgeEnforcedDisplacement: id = IDS_LBC_EDGE_ENFORCED_DISPLACEMENT; break;
    case AttCode::FaceEnforcedDisplacement: id = IDS_LBC_FACE_ENFORCED_DISPLACEMENT; break;
    case AttCode::Spin: id = IDS_LBC_SPIN; break;
    case AttCode::Gravity: id = IDS_LBC_GRAVITY; break;
    case AttCode::Acceleration: id = IDS_LBC_ACCELERATION; break;
    case AttCode::BodyTemperature: id = IDS_LBC_TEMPERATURE; break;
    case AttCode::VertexHeatFlow: id = IDS_LBC_VERTEX_HEAT_FLOW; break;
    case AttCode::FaceHeatFlux: id = IDS_LBC_FACE_HEAT_FLUX; break;
    case AttCode::EdgeHeatFlow: id = IDS_LBC_EDGE_HEAT_FLOW; break;
    case AttCode::FaceConvection: id = IDS_LBC_FACE_CONVECTION; break;
    case AttCode::VolumetricHeatFlow: id = IDS_LBC_VOLUMETRIC_HEAT_FLOW; break;
    case AttCode::VertexFixedTemperature: id = IDS_LBC_VERTEX_FIXED_TEMPERATURE; break;
    case AttCode::FaceFixedTemperature: id = IDS_LBC_FACE_FIXED_TEMPERATURE; break;
    case AttCode::EdgeFixedTemperature: id = IDS_LBC_EDGE_FIXED_TEMPERATURE; break;
    case AttCode::FaceTotalForce: id = IDS_LBC_FACE_TOTAL_FORCE; break;
    case AttCode::EdgeTotalForce: id = IDS_LBC_EDGE_TOTAL_FORCE; break;
    case AttCode::PinnedRestraint: id = IDS_LBC_PINNED_RESTRAINT; break;
    case AttCode::Moment: id = IDS_LBC_MOMENT; break;
  }
  if (id == 0) {
    text = CaeString();
    return text;
  }
  return resLoadString(text, id);
}

CaeCoordSys* CadMakeCoordSys(const CString& kind, int relativeToUcs) {
  CaeTransform placement;
  if (relativeToUcs) {
    if (CadInterface* cad = CadInterface::GetCurrent()) cad->GetUcsTransform(placement);
  }
  const auto is = [&kind](unsigned id) { return std::strcmp(kind, resLoadString(id).Text()) == 0; };
  if (is(IDS_COORDSYS_FACE)) return new CaeCoordSysFace();
  if (is(IDS_COORDSYS_CARTESIAN)) return new CaeCoordSysCartesian(placement);
  if (is(IDS_COORDSYS_CYLINDRICAL)) return new CaeCoordSysCylindric(placement);
  if (is(IDS_COORDSYS_SPHERICAL)) return new CaeCoordSysSpheric(placement);
  return new CaeCoordSysCartesian(placement);
}

void CadDDXWritableFile(CDataExchange* dx, int id, const CString& fileName) {
  dx->PrepareEditCtrl(id);
  HANDLE file = CreateFileA(fileName, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_NEW, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    // Only a check: the file is written later by whoever asked, if at all.
    CloseHandle(file);
    DeleteFileA(fileName);
    return;
  }
  file = CreateFileA(fileName, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    CadMessageBoxText(resLoadString(IDS_INVALID_FILE_NAME).Text(), MB_TASKMODAL);
    dx->Fail();
    return;
  }
  CloseHandle(file);
  if (CadMessageBoxText(resLoadString(IDS_FILE_EXISTS_REPLACE).Text(), MB_YESNO) == IDNO) dx->Fail();
}
