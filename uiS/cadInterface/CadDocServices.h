// Document services that every dialog uses without knowing the host: number formatting for
// dialog fields, the name rule, condition type names, coordinate systems by kind name and the
// check that a file named in a dialog can be written.
#pragma once
#include "amg/CaeString.h"
#include "mfc/cstring.h"

class CaeCoordSys;
class CDataExchange;
class CWnd;

// ---- numbers ----

// Rounds `value` for display with `digits` digits and answers the decimals to show. Zero (and a
// value that is not finite) stays as it is and answers `digits`. 0.012345 with 3 digits becomes
// 0.0123 (4 decimals); 654.3 with 1 digit becomes 650 (0 decimals).
int CadRoundToDigits(double& value, int digits);
// The value rounded by CadRoundToDigits, printed with the decimals it answers.
CString& CadFormatValue(CString& text, double value, int digits);
// CadFormatValue, also set as the text of the dialog's control `id`.
CString& CadSetDlgItemValue(CString& text, CWnd* dialog, int id, double value, int digits);
// The decimals that show `digits` digits of `value`: 0 for zero; never above `digits`.
int CadDecimalsFor(double value, int digits);
// The value unrounded with CadDecimalsFor's decimals, also set as the text of control `id`.
CString& CadSetDlgItemDecimals(CString& text, CWnd* window, int id, double value, int digits);

// ---- names ----

// 1 when `name` may name a model, set or other object under the current CAD's rule (without a
// CAD interface, the strict rule: ASCII letters, digits and underscores). The empty name passes;
// the length limit is the callers' check.
int CadIsValidName(const char* name);
// The display name of a condition type from the string table; empty for a type without one.
CaeString& CadLbcTypeName(CaeString& text, int type);

// ---- coordinate systems ----

// A new coordinate system of the kind named by a string-table text ("Face", "Cartesian",
// "Cylindrical", "Spherical"; any other text gives a Cartesian one), placed on the current UCS
// when `relativeToUcs` is non-zero, else on the world. The caller owns it; a face system gets
// its face from the caller.
CaeCoordSys* CadMakeCoordSys(const CString& kind, int relativeToUcs);

// ---- dialog data checks ----

// Fails the data exchange, with a message, unless `fileName` can be written: a new file can be
// made there, or an existing one opened for writing and the user agrees to replace it. Leaves
// no file behind.
void CadDDXWritableFile(CDataExchange* dx, int id, const CString& fileName);
