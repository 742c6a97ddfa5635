#include "store_drawing_dump.h"

#include <memory>
#include <sstream>

#include "CadInterface/AcCadDocControl.h"
#include "arx/acdocman.h"
#include "arx/dbdatabase.h"
#include "arx/dbdict.h"
#include "cadInterface/CadApplication.h"
#include "db/dbControl.h"
#include "db/dbDict.h"
#include "db/dbFiling.h"
#include "db/dbOpen.h"
#include "db/dbRecords.h"
#include "store_dump.h"
#include "store_sets_dump.h"
#include "store_standins.h"

namespace {

std::string handleOf(AcDbObjectId id) { return id.isNull() ? std::string("null") : id.handle().text(); }

// The entries of a dictionary, nested ones indented, with their classes.
void dumpDictionary(std::ostream& out, AcDbDictionary* dictionary, const std::string& indent, bool liveOnly) {
  std::unique_ptr<AcDbDictionaryIterator> it(dictionary->newIterator());
  for (; !it->done(); it->next()) {
    AcDbObject* entry = nullptr;
    if (acdbOpenObject(entry, it->objectId(), AcDb::kForRead, true) != Acad::eOk) {
      out << indent << it->name() << " -> " << handleOf(it->objectId()) << " (does not open)\n";
      continue;
    }
    if (!(liveOnly && entry->isErased())) {
      out << indent << it->name() << " -> " << handleOf(it->objectId()) << ' ' << entry->isA()->name()
          << (entry->isErased() ? " erased" : "") << '\n';
      if (auto* nested = AcDbDictionary::cast(entry)) dumpDictionary(out, nested, indent + "  ", liveOnly);
    }
    entry->close();
  }
}

void dumpStandIns(std::ostream& out, AcDbDatabase* db, bool liveOnly) {
  for (const AcDbObjectId& id : db->objectIds(true)) {
    AcDbObject* object = nullptr;
    if (acdbOpenObject(object, id, AcDb::kForRead, true) != Acad::eOk) continue;
    if (!(liveOnly && object->isErased())) {
      if (auto* mesh = StoreMeshStandIn::cast(object))
        out << handleOf(id) << " mesh layer " << mesh->layer() << " sub-model " << handleOf(mesh->subModel)
            << (mesh->isErased() ? " erased" : "") << '\n';
      if (auto* condition = StoreLbcStandIn::cast(object))
        out << handleOf(id) << " condition layer " << condition->layer() << " type " << condition->Type()
            << (condition->isErased() ? " erased" : "") << '\n';
    }
    object->close();
  }
}

}  // namespace

std::string dumpStoredDrawing(AcApDocument* document, bool liveOnly) {
  AcDbDatabase* db = document->database();
  std::ostringstream out;
  CadDocData* data = CadGetApplication()->FindDocControl(document)->GetData();
  CaepAnlControl* control = dbControlOf(db);
  out << "length " << control->LengthUnit() << " host";
  for (int type = 0; type < 8; ++type) out << ' ' << data->HostUnitSystem()->GetUnit(type);
  out << "\nrecords " << handleOf(control->VersionRecordId()) << ' ' << handleOf(control->LengthUnitRecordId());
  CaepVersionObj* version = nullptr;
  if (acdbOpenObject(version, control->VersionRecordId(), AcDb::kForRead) == Acad::eOk) {
    out << " version " << version->Version() << " '" << version->BuildText().Text() << "' '"
        << version->PlatformText().Text() << "'";
    version->close();
  }
  out << '\n';

  AcDbDictionary* named = nullptr;
  if (db->getNamedObjectsDictionary(named, AcDb::kForRead) == Acad::eOk) {
    AcDbObject* caep = nullptr;
    if (named->getAt(kCaepDictName, caep, AcDb::kForRead) == Acad::eOk) {
      out << kCaepDictName << '\n';
      dumpDictionary(out, AcDbDictionary::cast(caep), "  ", liveOnly);
      caep->close();
    }
    named->close();
  }

  const char* kinds[] = {"design variables", "optimisation models", "models", "load sets", "restraint sets"};
  for (int kind = 0; kind < kDbStoredKinds; ++kind) {
    out << "listed " << kinds[kind] << ':';
    for (AcDbObjectId id : control->Ids(static_cast<DbStoredKind>(kind)))
      if (!liveOnly || !dbIsErasedOrGone(id)) out << ' ' << handleOf(id);
    out << '\n';
  }
  out << dumpDrawingModels(db) << '\n' << dumpSetsAndCases(db, liveOnly);
  dumpStandIns(out, db, liveOnly);
  return out.str();
}
