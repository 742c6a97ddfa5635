#include "db/dbResultSet.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "amg/CaeConfig.h"
#include "amg/CaeMsgCall.h"
#include "arx/acdocman.h"
#include "arx/dbdatabase.h"
#include "db/dbControl.h"
#include "db/dbFiling.h"
#include "db/dbModel.h"
#include "db/dbOpen.h"
#include "fea/AnlModel.h"
#include "fea/FeaMessages.h"
#include "fea/FerResultData.h"
#include "mfc/win32_files.h"

namespace fs = std::filesystem;

namespace {

constexpr Adesk::UInt16 kWorkAreaVersion = 100;
constexpr const char* kDataFileExtension = ".kres";

// A count or code filed as unsigned, kept by the engine as int.
int boundedInt(Adesk::UInt32 value) {
  CAE_CHECK(value <= static_cast<Adesk::UInt32>(INT_MAX));
  return static_cast<int>(value);
}

void warnCannotOpen(const std::string& path) { CaeMsgCall::Message(1, kCaeMsgCannotOpenFile, {CaeString(path)}); }

// Copies `source` to `target` whole or not at all: the bytes go to a temporary file in the target's
// folder, in blocks of 1024, which is renamed over the target only once everything was written.
bool copyWhole(const fs::path& source, const fs::path& target) {
  std::FILE* in = std::fopen(source.c_str(), "rb");
  if (!in) return false;
  const fs::path partial = target.string() + ".partial";
  std::FILE* out = std::fopen(partial.c_str(), "wb");
  bool whole = out != nullptr;
  char block[1024];
  while (whole) {
    const std::size_t read = std::fread(block, 1, sizeof block, in);
    if (read > 0 && std::fwrite(block, 1, read, out) != read) whole = false;
    if (read < sizeof block) {
      if (std::ferror(in)) whole = false;
      break;
    }
  }
  std::fclose(in);
  if (out && std::fclose(out) != 0) whole = false;
  std::error_code error;
  if (whole) fs::rename(partial, target, error);
  if (!whole || error) {
    fs::remove(partial, error);
    return false;
  }
  return true;
}

}  // namespace

AcRxClass* CaepResultCaseObj::desc() {
  static AcRxClassLookup record("CaepResultCaseObj");
  return record.get();
}
AcRxClass* CaepResultCaseObj::isA() const { return desc(); }
void CaepResultCaseObj::rxInit() {
  dbRegisterClass("CaepResultCaseObj", "DBRESULTCASEOBJ", dbMakeObject<CaepResultCaseObj>);
}

Acad::ErrorStatus CaepResultCaseObj::CreateInDatabase() {
  AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
  CAE_CHECK(db != nullptr);
  auto* set = new CaepResultCaseObj();
  AcDbObjectId id;
  if (db->addAcDbObject(id, set) != Acad::eOk) {
    delete set;
    CAE_GENERAL_ERROR();
  }
  return set->close();
}

void CaepResultCaseObj::AttachToCurrentModel() {
  auto* control = dynamic_cast<CaepAnlControl*>(AnlControl::GetCurrent());
  CAE_CHECK(control != nullptr);
  auto* model = dynamic_cast<CaepAnlModelObj*>(control->CurrentAnlModel());
  CAE_CHECK(model != nullptr);
  model->AddResultSet(this);
}

void CaepResultCaseObj::AboutToChange() {
  if (database()) dbWriteEnable(*this);
}

Acad::ErrorStatus CaepResultCaseObj::subErase(Adesk::Boolean erasing) {
  if (Acad::ErrorStatus status = AcDbObject::subErase(erasing); status != Acad::eOk) return status;
  if (erasing) {
    MarkAsErased();
  } else {
    MarkAsNotErased();
    erasedWithSubModel_ = false;
  }
  return Acad::eOk;
}

// ---- filing -----------------------------------------------------------------------------------

void CaepResultCaseObj::File(DbFields& fields) const {
  auto* self = const_cast<CaepResultCaseObj*>(this);
  CaeString name = Name();
  Adesk::Int32 hasSubSets = HasSubSets(), modal = IsModal(), analType = AnalType();
  CaeString typeName = AnalTypeName(), subSetName = SubSetName(), reservedText;
  Adesk::Int32 subSetUnits = SubSetUnits();
  double reservedValue = 0.0;
  fields.String(name);
  fields.Int32(hasSubSets);
  fields.Int32(modal);
  fields.Int32(analType);  // reserved by older drawings, which wrote 0 (stress)
  fields.String(typeName);
  fields.Int32(subSetUnits);
  fields.String(subSetName);
  fields.String(reservedText);
  fields.Double(reservedValue);
  Adesk::Int32 count = NumSubSets();
  fields.Count(count);
  for (int i = 0; i < count; ++i) {
    double value = GetSubSet(i)->GetValue();
    fields.Double(value);
    fields.String(reservedText);
  }
  Adesk::Int32 results = NumResults();
  fields.Count(results);
  for (FerResult* result = self->FirstResult(); result; result = self->NextResult()) {
    auto* file = dynamic_cast<FerFileResult*>(result);
    // Every result names the set's data file once the set has one.
    CaeString resultName = result->Name(),
              dataFile = !DataFile().IsEmpty() ? DataFile()
                         : file                ? file->GetDataFileForDB()
                                               : CaeString(),
              compName = result->CompName(0);
    Adesk::UInt16 field = static_cast<Adesk::UInt16>(result->IsField()),
                  quantity = static_cast<Adesk::UInt16>(result->QuantityType()), reserved = 0,
                  dataType = static_cast<Adesk::UInt16>(result->DataType()),
                  subSets = static_cast<Adesk::UInt16>(result->SubSetCount());
    Adesk::UInt32 entities = static_cast<Adesk::UInt32>(result->EntityCount()),
                  entityType = static_cast<Adesk::UInt32>(result->EntityType()),
                  dataCount = static_cast<Adesk::UInt32>(result->DataCount()),
                  maxEnt = static_cast<Adesk::UInt32>(result->MaxEnt());
    Adesk::Int32 unitType = result->UnitType();
    fields.String(resultName);
    fields.String(dataFile);
    fields.UInt16(field);
    fields.UInt32(entities);
    fields.UInt32(entityType);
    fields.UInt16(quantity);
    fields.Int32(unitType);
    fields.String(compName);
    for (int i = 0; i < 3; ++i) fields.UInt16(reserved);
    fields.UInt16(dataType);
    fields.UInt32(dataCount);
    fields.UInt16(subSets);
    fields.UInt32(maxEnt);
  }
}

void CaepResultCaseObj::Read(DbFields& fields, bool fromFile) {
  Adesk::UInt16 version = 0;
  fields.UInt16(version);
  CaeString name, typeName, subSetName, reservedText;
  Adesk::Int32 hasSubSets = 0, modal = 0, analType = 0, subSetUnits = 0;
  double reservedValue = 0.0;
  fields.String(name);
  fields.Int32(hasSubSets);
  fields.Int32(modal);
  fields.Int32(analType);
  fields.String(typeName);
  fields.Int32(subSetUnits);
  fields.String(subSetName);
  fields.String(reservedText);
  fields.Double(reservedValue);
  CAE_CHECK(analType >= 0 && analType <= 3 && subSetUnits >= 0 && subSetUnits < 256);
  Adesk::Int32 count = 0;
  fields.Count(count);
  std::vector<double> values;
  for (Adesk::Int32 i = 0; i < count; ++i) {
    double value = 0.0;
    fields.Double(value);
    fields.String(reservedText);
    values.push_back(value);
  }
  Adesk::Int32 resultCount = 0;
  fields.Count(resultCount);
  std::vector<std::unique_ptr<FerFileResult>> results;
  std::string sourceFolder;
  for (Adesk::Int32 r = 0; r < resultCount; ++r) {
    CaeString resultName, dataFile, compName;
    Adesk::UInt16 field = 0, quantity = 0, reserved = 0, dataType = 0, subSets = 0;
    Adesk::UInt32 entities = 0, entityType = 0, dataCount = 0, maxEnt = 0;
    Adesk::Int32 unitType = 0;
    fields.String(resultName);
    fields.String(dataFile);
    fields.UInt16(field);
    fields.UInt32(entities);
    fields.UInt32(entityType);
    fields.UInt16(quantity);
    fields.Int32(unitType);
    fields.String(compName);
    for (int i = 0; i < 3; ++i) fields.UInt16(reserved);
    fields.UInt16(dataType);
    fields.UInt32(dataCount);
    fields.UInt16(subSets);
    fields.UInt32(maxEnt);
    if (version == kWorkAreaVersion) {
      // The folder of the first result holds every file; a string without a backslash is all name.
      const std::string text = dataFile.Str();
      const std::size_t slash = text.rfind('\\');
      if (r == 0 && slash != std::string::npos) sourceFolder = text.substr(0, slash);
      dataFile = CaeString(slash == std::string::npos ? text : text.substr(slash + 1));
    }
    // The name decides the quantity; the stored one counts only for a name the engine does not know.
    auto result = std::make_unique<FerFileResult>(FerResult::NameToType(resultName));
    result->SetName(resultName);
    result->SetDataFileFromDB(dataFile);
    result->SetFieldValue(field);
    result->SetEntityCount(boundedInt(entities));
    result->SetEntityType(boundedInt(entityType));
    if (result->QuantityType() == 0) result->SetQuantityType(quantity);
    result->SetDataType(dataType);
    result->SetDataCount(boundedInt(dataCount));
    result->SetSubSetCount(subSets);
    result->SetMaxEnt(boundedInt(maxEnt));
    results.push_back(std::move(result));
  }

  // An undo record carries the same results as the set in memory: their values and mesh stay.
  std::shared_ptr<const FerMesh> keptMesh = fromFile ? nullptr : SharedMesh();
  if (keptMesh) {
    std::size_t r = 0;
    for (FerResult* old = FirstResult(); old && r < results.size(); old = NextResult(), ++r)
      if (old->Name() == results[r]->Name()) results[r]->TakeValues(*old);
  }
  Clear();
  Create(name);
  Modal(modal);
  SetAnalType(analType);
  SetAnlTypName(typeName);
  SetSubSetUnits(static_cast<CaeUnitType>(subSetUnits));
  SetSubSetName(subSetName);
  for (double value : values) AddSubSet(new FerResultSubSet(value));
  const CaeString firstDataFile = results.empty() ? CaeString() : results.front()->GetDataFileForDB();
  for (auto& result : results) AddResult(result.release());
  if (version == kWorkAreaVersion) Relocate(sourceFolder);
  SetDataFile(version == kWorkAreaVersion && FirstResult()
                  ? dynamic_cast<FerFileResult*>(FirstResult())->GetDataFileForDB()
                  : firstDataFile);
  if (keptMesh) SetMesh(std::move(keptMesh));
  if (fromFile) SetDataFolder(mfc::posixPath(dbResultTargetFolder(database()).Str().c_str()));
}

std::string dbResultDataFolder(const std::string& drawingPath) {
  std::string path = drawingPath;
  const std::size_t slash = path.find_last_of("\\/");
  const std::size_t dot = path.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.erase(dot);
  return path;
}

CaeString dbResultTargetFolder(AcDbDatabase* database) {
  std::string path;
  if (AcApDocument* document = database ? acDocManagerPtr()->document(database) : nullptr) path = document->fileName();
  if (path.empty() && database) path = database->filename();
  if (path.empty()) {
    const CaepAnlControl* control = dbControlOf(database);
    return control ? control->Location() + "\\" : CaeString("\\");
  }
  return CaeString(dbResultDataFolder(path) + "\\");
}

namespace {

// A data file name of the set's own: its name's letters, digits, '-' and '_' (others become '_'),
// and its handle, which no other object of the drawing has.
std::string dataFileNameOf(const CaepResultCaseObj& set) {
  std::string name;
  for (char c : set.Name().Str().substr(0, 64))
    name += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ? c : '_';
  return name + "_" + set.objectHandle().text() + kDataFileExtension;
}

void warnNotFiled(const FerResultSet& set, const std::string& path, const std::string& why) {
  CaeMsgCall::Message(1, kFeaMsgCannotWrite,
                      {CaeString(path), CaeString("the result set \"" + set.Name().Str() + "\": " + why)});
}

void fileSetData(CaepResultCaseObj& set, const std::string& folder) {
  // Data neither in memory nor in another drawing's folder: there is nothing to file, and the
  // names the record carries stay as they are.
  const bool elsewhere = !set.DataFolder().empty() && set.DataFolder() != folder;
  if (!set.Mesh() && !elsewhere) return;
  if (set.DataFile().IsEmpty()) set.SetDataFile(CaeString(dataFileNameOf(set)));
  const fs::path path = fs::path(folder) / set.DataFile().Str();
  std::error_code error;
  if (set.DataFolder() == folder && fs::is_regular_file(path, error)) return;
  if (!set.LoadData()) return warnNotFiled(set, path.string(), set.DataProblem());
  fs::create_directory(folder, error);
  if (const kestrum::Status written = FerResultData::Write(path, set); !written)
    return warnNotFiled(set, path.string(), written.problem().message);
  set.SetDataFolder(folder);
}

}  // namespace

void dbFileResultData(AcDbDatabase* database, const std::string& drawingPath) {
  CaepAnlControl* control = dbControlOf(database);
  if (!control || drawingPath.empty()) return;
  const std::string folder = mfc::posixPath((dbResultDataFolder(drawingPath) + "\\").c_str());
  for (AnlModel* model = control->FirstAnlModel(); model; model = control->NextAnlModel()) {
    for (int i = 0; i < model->NumResultSets(); ++i) {
      auto* set = dynamic_cast<CaepResultCaseObj*>(model->GetResultSet(i));
      if (set && !set->IsMarkedAsErased()) fileSetData(*set, folder);
    }
  }
}

namespace {

// The sets of every model of the drawing, deleted ones and those of deleted models included.
struct FolderUse {
  std::set<std::string> live;               // data file names live sets use
  std::vector<CaepResultCaseObj*> deleted;  // deleted sets with a data file
};

FolderUse useOfDataFiles(AcDbDatabase* database, const CaepAnlControl& control) {
  FolderUse use;
  for (AcDbObjectId modelId : control.Ids(DbStoredKind::AnlModel)) {
    AcDbObject* modelObject = dbOpenMember(database, modelId, AcDb::kForRead, true);
    auto* model = dynamic_cast<CaepAnlModelObj*>(modelObject);
    if (!model) continue;
    for (AcDbObjectId setId : model->ResultSetIds()) {
      AcDbObject* setObject = dbOpenMember(database, setId, AcDb::kForRead, true);
      auto* set = dynamic_cast<CaepResultCaseObj*>(setObject);
      if (!set || set->DataFile().IsEmpty()) continue;
      if (modelObject->isErased() || setObject->isErased())
        use.deleted.push_back(set);
      else
        use.live.insert(set->DataFile().Str());
    }
  }
  return use;
}

}  // namespace

void dbRemoveUnusedResultData(AcDbDatabase* database, const std::string& drawingPath) {
  CaepAnlControl* control = dbControlOf(database);
  if (!control || drawingPath.empty()) return;
  const std::string folder = mfc::posixPath((dbResultDataFolder(drawingPath) + "\\").c_str());
  std::error_code error;
  if (!fs::is_directory(folder, error)) return;
  const FolderUse use = useOfDataFiles(database, *control);
  std::set<std::string> held;  // files a deleted set could not take into memory
  for (CaepResultCaseObj* set : use.deleted) {
    const std::string name = set->DataFile().Str();
    if (use.live.count(name) || set->DataFolder() != folder) continue;
    if (!fs::is_regular_file(fs::path(folder) / name, error)) continue;
    if (!set->LoadData()) held.insert(name);
  }
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != kDataFileExtension || use.live.count(name) || held.count(name)) continue;
    fs::remove(entry.path(), error);
  }
}

void CaepResultCaseObj::Relocate(const std::string& sourceFolder) {
  const std::string target = dbResultTargetFolder(database()).Str();
  CaeString root;
  CaeConfig::GetValue(1, "Root Directory", root);
  std::string source = root.Str() + "\\workarea\\";
  if (!sourceFolder.empty()) source += sourceFolder + "\\";
  const fs::path targetFolder = mfc::posixPath(target.c_str());
  for (FerResult* result = FirstResult(); result; result = NextResult()) {
    auto* file = dynamic_cast<FerFileResult*>(result);
    if (!file) continue;
    const std::string name = file->GetDataFileForDB().Str();
    std::string chosen = name;
    std::error_code error;
    for (int n = 1; fs::exists(mfc::posixPath((target + chosen).c_str()), error); ++n)
      chosen = name + std::to_string(n);
    file->SetDataFileFromDB(CaeString(chosen));
    const std::string sourcePath = source + name;
    const fs::path from = mfc::posixPath(sourcePath.c_str());
    if (!fs::is_regular_file(from, error)) {
      warnCannotOpen(sourcePath);
      continue;
    }
    if (!fs::is_directory(targetFolder, error)) fs::create_directory(targetFolder, error);
    if (!copyWhole(from, mfc::posixPath((target + chosen).c_str()))) warnCannotOpen(target + chosen);
  }
}

Acad::ErrorStatus CaepResultCaseObj::dwgOutFields(AcDbDwgFiler* filer) const {
  return dbFileDwg(this, filer, false, [&](DbFields& fields) {
    Adesk::UInt16 version = kDbDataVersion;
    fields.UInt16(version);
    File(fields);
  });
}

Acad::ErrorStatus CaepResultCaseObj::dwgInFields(AcDbDwgFiler* filer) {
  const bool fromFile = filer->filerType() == AcDb::kFileFiler;
  return dbFileDwg(this, filer, true, [&](DbFields& fields) { Read(fields, fromFile); });
}

Acad::ErrorStatus CaepResultCaseObj::dxfOutFields(AcDbDxfFiler* filer) const {
  return dbFileDxf(this, filer, false, "CaepResultCaseObj", [&](DbFields& fields) {
    Adesk::UInt16 version = kDbDataVersion;
    fields.UInt16(version);
    File(fields);
  });
}

Acad::ErrorStatus CaepResultCaseObj::dxfInFields(AcDbDxfFiler* filer) {
  return dbFileDxf(this, filer, true, "CaepResultCaseObj", [&](DbFields& fields) { Read(fields, true); });
}
