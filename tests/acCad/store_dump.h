// Field dumps of the stored analysis objects: every field of each class as text, members in
// list order, so that two drawings can be compared after filing, undo or an abort.
//
// Dumps open objects through the active transaction of the object's drawing (start one first).
// Members that are erased or never open are left out: a DXF file does not carry them.
#pragma once

#include <string>

class AcDbDatabase;
class CaepAnlConstrJobObj;
class CaepAnlDrvJobObj;
class CaepAnlModelObj;
class CaepAnlSubModelObj;
class CaepResultCaseObj;

std::string dumpModel(CaepAnlModelObj* model);
std::string dumpSubModel(CaepAnlSubModelObj* sub);
std::string dumpDrvJob(const CaepAnlDrvJobObj* job);
std::string dumpConstrJob(const CaepAnlConstrJobObj* job);
std::string dumpResultSet(CaepResultCaseObj* set);
// Every live model the drawing's control lists, in list order, each with its members. Starts its
// own transaction.
std::string dumpDrawingModels(AcDbDatabase* db);
