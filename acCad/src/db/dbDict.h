// "CAEP_DICT": the working drawing's dictionary of the add-in, in its named-objects dictionary.
// It holds the "VERSION_INFO" and "DWG_LENGTH_UNIT" records and four sub-dictionaries of stored
// objects keyed by name. Whatever is missing is created when it is first asked for.
//
// Every accessor opens directly: the caller closes what it is handed.
#pragma once

#include "arx/dbid.h"
#include "arx/status.h"

class AcDbDatabase;
class AcDbDictionary;

inline constexpr char kCaepDictName[] = "CAEP_DICT";
inline constexpr char kVersionRecordKey[] = "VERSION_INFO";
inline constexpr char kUnitsRecordKey[] = "DWG_LENGTH_UNIT";
inline constexpr char kOptimizationModelsKey[] = "OPTIMIZATION_MODELS";
inline constexpr char kAnalysisModelsKey[] = "ANALYSIS_MODELS";
inline constexpr char kLoadCasesKey[] = "LOAD_CASES";
inline constexpr char kRestraintCasesKey[] = "RESTRAINT_CASES";

// Opens "CAEP_DICT" of the working drawing for write (read when another holds it for write),
// creating it with every entry when it is absent. Always eOk.
Acad::ErrorStatus dbGetCaepDict(AcDbDictionary*& dictionary);
// Creates "CAEP_DICT" and every missing entry; gives the working drawing's control both record
// ids and clears its current objects. A failing host call is a consistency check.
void dbCreateCaepDict(AcDbDictionary*& dictionary);
// Opens a sub-dictionary of "CAEP_DICT", creating it empty when missing; the host status.
Acad::ErrorStatus dbGetCaepSubDict(AcDbDictionary*& dictionary, const char* name, AcDb::OpenMode mode);
Acad::ErrorStatus dbGetOptimizationModelsDict(AcDbDictionary*& dictionary, AcDb::OpenMode mode);
Acad::ErrorStatus dbGetAnalysisModelsDict(AcDbDictionary*& dictionary, AcDb::OpenMode mode);
Acad::ErrorStatus dbGetLoadCasesDict(AcDbDictionary*& dictionary);
Acad::ErrorStatus dbGetRestraintCasesDict(AcDbDictionary*& dictionary);

// The post-load pass over the working drawing's stored objects, in one transaction: every live
// analysis model, then every load set and restraint set, finishes its restoration (materials,
// default names, members' entities).
void dbReconcileStoredObjects();
