// The drawing the store's drawing-wide tests start from, built through the store as the user
// interface builds it: two models of different analysis types, each with sub-models on mesh
// stand-ins, a solver job with two case-name pairs, a constrained job and a result set; a load
// set and a restraint set with stand-in conditions (one load deleted); an analysis case with
// load and restraint entries; millimetre length and inch host units.
#pragma once

#include <filesystem>

#include "arx/dbid.h"

class AcApDocument;
class AcDbDatabase;
class CaeTransform;
class AnlJob;
class CaepAnlModelObj;
class CaepAnlSubModelObj;
class FerResultSet;

struct StoreDrawing {
  AcDbObjectId stress, modal;      // the two models
  AcDbObjectId loads, restraints;  // the two sets
  AcDbObjectId resultCase;         // the analysis case
  AcDbObjectId loadMembers[3], restraint;
};

// Builds the drawing in `document` (made current); job files are named under `folder`.
StoreDrawing buildStoreDrawing(AcApDocument* document, const std::filesystem::path& folder);

// Pieces the undo table reuses; each runs inside the caller's transaction.
CaeTransform storePlacement(double shift);  // a placement with a shear term, shifted along x
CaepAnlSubModelObj* storeAddSubModel(AcDbDatabase* db, CaepAnlModelObj* model, const char* material);
AnlJob* storeAddJob(CaepAnlModelObj* model, const std::filesystem::path& folder, const char* name);
FerResultSet* storeAddResultSet(CaepAnlModelObj* model, const char* name);
// A stand-in condition added to a set through the set's engine side.
AcDbObjectId storeAddCondition(AcDbDatabase* db, AcDbObjectId set, int type);
