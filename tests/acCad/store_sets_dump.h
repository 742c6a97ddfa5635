// Every field of the stored sets, cases and case entries as text, to compare a drawing's objects
// before and after filing, undo or an abort. Objects are named by handle, which filing keeps.
#pragma once

#include <string>

class AcDbDatabase;
class CaepAnlLbcCase;
class CaepAnlResultCase;
class CaepLbcSetObj;

// With `liveOnly`, ids of erased objects and of objects that never open are left out of the lists.
std::string dumpLbcSet(const CaepLbcSetObj& set, bool liveOnly = false);
std::string dumpAnlLbcCase(const CaepAnlLbcCase& entry);
std::string dumpAnlResultCase(const CaepAnlResultCase& resultCase, bool liveOnly = false);

// One line per set, case and case entry of the drawing, erased ones included, in handle order.
// With `liveOnly`, erased objects and the ids that name them are left out: what a DXF file keeps.
std::string dumpSetsAndCases(AcDbDatabase* database, bool liveOnly = false);
