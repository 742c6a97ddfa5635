#include "db/dbJob.h"

#include <new>
#include <string>

#include "amg/CaeMsgCall.h"
#include "amg/CaeUnit.h"
#include "arx/acutads.h"
#include "db/dbFiling.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"

namespace {

// Status and analysis code as filed, each checked against the engine's values.
struct JobState {
  Adesk::Int16 status = AnlStatusNew;
  Adesk::Int16 code = AnlCodeSolve;
};

void fileState(DbFields& fields, JobState& state, const AcDbObject* job, const char* className) {
  fields.Int16(state.status);
  fields.Int16(state.code);
  if (fields.Reading() && (state.status < AnlStatusNew || state.status > AnlStatusFailed || state.code < AnlCodeSolve ||
                           state.code > AnlCodeConcept)) {
    acutPrintf("\n%s: job status %d or analysis code %d is not one the engine knows.",
               dbObjectLabel(job, className).c_str(), state.status, state.code);
    CAE_GENERAL_ERROR();
  }
}

// Deck, analysis database, results, error file, analysis folder and base name.
void fileNames(DbFields& fields, const AnlJob& job, CaeString& baseName) {
  CaeString names[5] = {job.DeckName(), job.AnalysisDB(), job.ResultsFile(), job.ErrorFile(), job.AnlDir()};
  for (CaeString& name : names) fields.String(name);
  if (!fields.Reading()) baseName = job.BaseName();
  fields.String(baseName);
}

// The engine derives every file name from the base name; a job never created keeps none.
void createFrom(AnlJob& job, const CaeString& baseName) {
  if (!baseName.IsEmpty() || !job.BaseName().IsEmpty()) job.Create(baseName);
}

}  // namespace

// ---- CaepAnlDrvJobObj -------------------------------------------------------------------------

AcRxClass* CaepAnlDrvJobObj::desc() {
  static AcRxClassLookup record("CaepAnlDrvJobObj");
  return record.get();
}
AcRxClass* CaepAnlDrvJobObj::isA() const { return desc(); }
void CaepAnlDrvJobObj::rxInit() {
  dbRegisterClass("CaepAnlDrvJobObj", "CAEPANLJOBOBJ", dbMakeObject<CaepAnlDrvJobObj>);
}

void CaepAnlDrvJobObj::AboutToChange() {
  if (database()) dbWriteEnable(*this);
}

Acad::ErrorStatus CaepAnlDrvJobObj::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbObject::subErase(erasing); status != Acad::eOk) return status;
  if (erasing) {
    MarkAsErased();
  } else {
    MarkAsNotErased();
    erasedWithSubModel_ = false;
  }
  return Acad::eOk;
}

void CaepAnlDrvJobObj::File(DbFields& fields) const {
  JobState state{static_cast<Adesk::Int16>(GetStatus()), static_cast<Adesk::Int16>(AnalysisCode())};
  fileState(fields, state, this, "CaepAnlDrvJobObj");
  CaeString baseName;
  fileNames(fields, *this, baseName);
  for (int type : kDbJobUnitOrder) {
    Adesk::Int32 unit = UnitSystem().GetUnit(type);
    fields.Int32(unit);
  }
  CaeString name = Name();
  Adesk::Int32 value = JobValue();
  fields.String(name);
  fields.Int32(value);
  Adesk::Int32 count = NumRCNames();
  fields.Count(count);
  for (int i = 0; i < count; ++i) {
    CaeString first, second;
    GetResltCaseNames(i, first, second);
    fields.String(first);
    fields.String(second);
  }
}

void CaepAnlDrvJobObj::Read(DbFields& fields) {
  Adesk::UInt16 version = 0;
  fields.UInt16(version);
  JobState state;
  fileState(fields, state, this, "CaepAnlDrvJobObj");
  CaeString baseName;
  fileNames(fields, *this, baseName);
  CaeUnitSystem units;
  for (int type : kDbJobUnitOrder) {
    Adesk::Int32 unit = 0;
    fields.Int32(unit);
    if (CaeUnitSystem::BaseTypeOfUnit(unit) != type) {
      acutPrintf("\n%s: unit %d does not measure quantity type %d.", dbObjectLabel(this, "CaepAnlDrvJobObj").c_str(),
                 unit, type);
      CAE_GENERAL_ERROR();
    }
    units.SetUnit(type, unit);
  }
  CaeString name;
  Adesk::Int32 value = 0;
  std::vector<std::pair<CaeString, CaeString>> pairs;
  if (version > 200) {
    fields.String(name);
    fields.Int32(value);
    Adesk::Int32 count = 0;
    fields.Count(count);
    for (Adesk::Int32 i = 0; i < count; ++i) {
      std::pair<CaeString, CaeString> pair;
      fields.String(pair.first);
      fields.String(pair.second);
      pairs.push_back(std::move(pair));
    }
  }
  SetStatus(static_cast<AnlStatus>(state.status));
  SetAnalysisCode(static_cast<AnlCode>(state.code));
  createFrom(*this, baseName);
  SetUnitSystem(units);
  if (version > 200) {
    SetName(name);
    SetJobValue(value);
    ClearResltCaseNames();
    for (const auto& [first, second] : pairs) AddResltCaseNames(first, second);
  }
}

Acad::ErrorStatus CaepAnlDrvJobObj::dwgOutFields(AcDbDwgFiler* filer) const {
  return dbFileDwg(this, filer, false, [&](DbFields& fields) {
    Adesk::UInt16 version = kDbDataVersion;
    fields.UInt16(version);
    File(fields);
  });
}

Acad::ErrorStatus CaepAnlDrvJobObj::dwgInFields(AcDbDwgFiler* filer) {
  return dbFileDwg(this, filer, true, [&](DbFields& fields) { Read(fields); });
}

Acad::ErrorStatus CaepAnlDrvJobObj::dxfOutFields(AcDbDxfFiler* filer) const {
  return dbFileDxf(this, filer, false, "CaepAnlDrvJobObj", [&](DbFields& fields) {
    Adesk::UInt16 version = kDbDataVersion;
    fields.UInt16(version);
    File(fields);
  });
}

Acad::ErrorStatus CaepAnlDrvJobObj::dxfInFields(AcDbDxfFiler* filer) {
  return dbFileDxf(this, filer, true, "CaepAnlDrvJobObj", [&](DbFields& fields) { Read(fields); });
}

// ---- CaepAnlConstrJobObj ----------------------------------------------------------------------

AcRxClass* CaepAnlConstrJobObj::desc() {
  static AcRxClassLookup record("CaepAnlConstrJobObj");
  return record.get();
}
AcRxClass* CaepAnlConstrJobObj::isA() const { return desc(); }
void CaepAnlConstrJobObj::rxInit() {
  dbRegisterClass("CaepAnlConstrJobObj", "CAEPANLCONSTRJOBOBJ", dbMakeObject<CaepAnlConstrJobObj>);
}

void CaepAnlConstrJobObj::AboutToChange() {
  if (database()) dbWriteEnable(*this);
}

Acad::ErrorStatus CaepAnlConstrJobObj::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbObject::subErase(erasing); status != Acad::eOk) return status;
  if (erasing) {
    MarkAsErased();
  } else {
    MarkAsNotErased();
    erasedWithSubModel_ = false;
  }
  return Acad::eOk;
}

void CaepAnlConstrJobObj::File(DbFields& fields) const {
  CaeString baseName;
  fileNames(fields, *this, baseName);
  for (int i = 0; i < 3; ++i) {
    CaeString text = Text(i);
    fields.String(text);
  }
  JobState state{static_cast<Adesk::Int16>(GetStatus()), static_cast<Adesk::Int16>(AnalysisCode())};
  fileState(fields, state, this, "CaepAnlConstrJobObj");
  Adesk::Int32 value = JobValue();
  fields.Int32(value);
}

// All three texts come back: the engine's Create leaves them as they are.
void CaepAnlConstrJobObj::Read(DbFields& fields) {
  Adesk::UInt16 version = 0;
  fields.UInt16(version);
  CaeString baseName;
  fileNames(fields, *this, baseName);
  CaeString texts[3];
  for (CaeString& text : texts) fields.String(text);
  JobState state;
  fileState(fields, state, this, "CaepAnlConstrJobObj");
  Adesk::Int32 value = 0;
  fields.Int32(value);
  createFrom(*this, baseName);
  for (int i = 0; i < 3; ++i) SetText(i, texts[i]);
  SetStatus(static_cast<AnlStatus>(state.status));
  SetAnalysisCode(static_cast<AnlCode>(state.code));
  SetJobValue(value);
}

Acad::ErrorStatus CaepAnlConstrJobObj::dwgOutFields(AcDbDwgFiler* filer) const {
  return dbFileDwg(this, filer, false, [&](DbFields& fields) {
    Adesk::UInt16 version = kDbDataVersion;
    fields.UInt16(version);
    File(fields);
  });
}

Acad::ErrorStatus CaepAnlConstrJobObj::dwgInFields(AcDbDwgFiler* filer) {
  return dbFileDwg(this, filer, true, [&](DbFields& fields) { Read(fields); });
}

Acad::ErrorStatus CaepAnlConstrJobObj::dxfOutFields(AcDbDxfFiler* filer) const {
  return dbFileDxf(this, filer, false, "CaepAnlConstrJobObj", [&](DbFields& fields) {
    Adesk::UInt16 version = kDbDataVersion;
    fields.UInt16(version);
    File(fields);
  });
}

Acad::ErrorStatus CaepAnlConstrJobObj::dxfInFields(AcDbDxfFiler* filer) {
  return dbFileDxf(this, filer, true, "CaepAnlConstrJobObj", [&](DbFields& fields) { Read(fields); });
}
