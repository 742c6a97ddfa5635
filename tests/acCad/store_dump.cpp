#include "store_dump.h"

#include <cstdio>
#include <sstream>

#include "amg/CaeCoordSys.h"
#include "amg/CaeMaterial.h"
#include "arx/dbdatabase.h"
#include "arx/dbtrans.h"
#include "db/dbControl.h"
#include "db/dbFiling.h"
#include "db/dbJob.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "db/dbResultSet.h"
#include "db/dbSubModel.h"

namespace {

std::string number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string quoted(const CaeString& text) { return "\"" + text.Str() + "\""; }

std::string handleOf(AcDbObjectId id) { return id.isNull() ? std::string("null") : id.handle().text(); }

template <class T>
T* openLive(AcDbDatabase* db, AcDbObjectId id) {
  return T::cast(dbOpenLive(db, id, AcDb::kForRead));
}

std::string jobNames(const AnlJob& job) {
  return " base " + quoted(job.BaseName()) + " deck " + quoted(job.DeckName()) + " db " + quoted(job.AnalysisDB()) +
         " results " + quoted(job.ResultsFile()) + " error " + quoted(job.ErrorFile()) + " dir " + quoted(job.AnlDir());
}

std::string jobState(const AnlJob& job) {
  std::ostringstream out;
  out << " status " << job.GetStatus() << " code " << job.AnalysisCode() << " value " << job.JobValue() << " erased "
      << job.IsMarkedAsErased();
  return out.str();
}

}  // namespace

std::string dumpSubModel(CaepAnlSubModelObj* sub) {
  std::ostringstream out;
  out << "sub " << quoted(sub->Name()) << " id " << sub->Id() << " material " << quoted(sub->MaterialName()) << " mesh "
      << handleOf(sub->MeshId()) << " erased " << sub->IsMarkedAsErased();
  if (const auto& desc = sub->ElementDesc())
    out << " element " << desc->order << '/' << desc->shape << '/' << desc->type << '/' << desc->subType << " value "
        << number(desc->type == CaeElemShell ? sub->PropValue() : 0.0);
  else
    out << " element none";
  out << " coordsys " << CaepAnlSubModelObj::CoordSysKind(sub->GetCoordSys());
  if (const CaeCoordSys* system = sub->GetCoordSys()) {
    double values[16];
    system->GetTransform().ToArray(values);
    for (double value : values) out << ' ' << number(value);
  }
  return out.str();
}

std::string dumpDrvJob(const CaepAnlDrvJobObj* job) {
  std::ostringstream out;
  out << "job " << quoted(job->Name()) << jobState(*job) << jobNames(*job) << " units";
  for (int type = 0; type < 8; ++type) out << ' ' << job->UnitSystem().GetUnit(type);
  out << " pairs";
  for (int i = 0; i < job->NumRCNames(); ++i) {
    CaeString first, second;
    job->GetResltCaseNames(i, first, second);
    out << ' ' << quoted(first) << '=' << quoted(second);
  }
  return out.str();
}

std::string dumpConstrJob(const CaepAnlConstrJobObj* job) {
  std::ostringstream out;
  out << "constrained job" << jobState(*job) << jobNames(*job) << " texts";
  for (int i = 0; i < 3; ++i) out << ' ' << quoted(job->Text(i));
  return out.str();
}

std::string dumpResultSet(CaepResultCaseObj* set) {
  std::ostringstream out;
  out << "results " << quoted(set->Name()) << " modal " << set->IsModal() << " type " << set->AnalType() << ' '
      << quoted(set->AnalTypeName()) << " subsets " << quoted(set->SubSetName()) << " units " << set->SubSetUnits()
      << " erased " << set->IsMarkedAsErased() << " values";
  for (int i = 0; i < set->NumSubSets(); ++i) out << ' ' << number(set->GetSubSet(i)->GetValue());
  for (FerResult* result = set->FirstResult(); result; result = set->NextResult()) {
    auto* file = dynamic_cast<FerFileResult*>(result);
    out << "\n    result " << quoted(result->Name()) << " file " << (file ? quoted(file->GetDataFileForDB()) : "-")
        << " field " << result->IsField() << " entities " << result->EntityCount() << '/' << result->EntityType()
        << " quantity " << result->QuantityType() << " data " << result->DataType() << '/' << result->DataCount()
        << " subsets " << result->SubSetCount() << " max " << result->MaxEnt();
  }
  return out.str();
}

std::string dumpModel(CaepAnlModelObj* model) {
  AcDbDatabase* db = model->database();
  std::ostringstream out;
  out << "model " << quoted(model->Name()) << " type " << model->Type() << " id " << model->Id() << " tolerance "
      << number(model->GetMateRelTolerance()) << " erased " << model->IsMarkedAsErased();
  for (AcDbObjectId id : model->SubModelIds())
    if (auto* sub = openLive<CaepAnlSubModelObj>(db, id)) out << "\n  " << dumpSubModel(sub);
  for (AcDbObjectId id : model->JobIds()) {
    AcDbObject* job = dbOpenLive(db, id, AcDb::kForRead);
    if (auto* drv = CaepAnlDrvJobObj::cast(job)) out << "\n  " << dumpDrvJob(drv);
    if (auto* constr = CaepAnlConstrJobObj::cast(job)) out << "\n  " << dumpConstrJob(constr);
  }
  for (AcDbObjectId id : model->ResultSetIds())
    if (auto* set = openLive<CaepResultCaseObj>(db, id)) out << "\n  " << dumpResultSet(set);
  for (AcDbObjectId id : model->ConstraintIds())
    if (dbOpenLive(db, id, AcDb::kForRead)) out << "\n  constraint " << handleOf(id);
  for (AcDbObjectId id : model->PairIds())
    if (dbOpenLive(db, id, AcDb::kForRead)) out << "\n  pair " << handleOf(id);
  return out.str();
}

std::string dumpDrawingModels(AcDbDatabase* db) {
  CaepAnlControl* control = dbControlOf(db);
  if (!control) return "no control";
  DbTransaction transaction(db);
  std::ostringstream out;
  int live = 0;
  for (AcDbObjectId id : control->Ids(DbStoredKind::AnlModel))
    if (auto* model = openLive<CaepAnlModelObj>(db, id)) {
      out << '\n' << dumpModel(model);
      ++live;
    }
  return "models " + std::to_string(live) + out.str();
}
