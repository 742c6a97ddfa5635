// Every field of the stored sets, cases and case entries as text, to compare a drawing's objects
// before and after filing, undo or an abort. Objects are named by handle, which filing keeps.
#pragma once

#include <string>

class AcDbDatabase;
class CaepAnlLbcCase;
class CaepAnlResultCase;
class CaepLbcSetObj;

std::string dumpLbcSet(const CaepLbcSetObj& set);
std::string dumpAnlLbcCase(const CaepAnlLbcCase& entry);
std::string dumpAnlResultCase(const CaepAnlResultCase& resultCase);

// One line per set, case and case entry of the drawing, erased ones included, in handle order.
std::string dumpSetsAndCases(AcDbDatabase* database);
