#include "store_sets_dump.h"

#include <cstdio>
#include <sstream>

#include "arx/dbdatabase.h"
#include "arx/dbobject.h"
#include "db/dbCase.h"
#include "db/dbLbcSet.h"
#include "db/dbOpen.h"

namespace {

std::string handleOf(const AcDbObjectId& id) { return id.isNull() ? "null" : id.handle().text(); }

std::string idList(const AcDbObjectIdArray& ids, bool liveOnly) {
  std::string text = "[";
  for (const AcDbObjectId& id : ids)
    if (!liveOnly || !dbIsErasedOrGone(id)) text += (text.size() > 1 ? " " : "") + handleOf(id);
  return text + "]";
}

// Exact: a scale that changes in its last bit shows.
std::string exact(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string hostPart(const AcDbObject& object) {
  return object.objectHandle().text() + " " + object.isA()->name() + (object.isErased() ? " erased" : "") + " owner " +
         handleOf(object.ownerId());
}

}  // namespace

std::string dumpLbcSet(const CaepLbcSetObj& set, bool liveOnly) {
  std::ostringstream out;
  out << hostPart(set) << " name '" << set.GetName().Text() << "' category " << set.GetCategory() << " members "
      << idList(set.ConditionIds(), liveOnly) << (set.IsErased() ? " engine-erased" : "");
  return out.str();
}

std::string dumpAnlLbcCase(const CaepAnlLbcCase& entry) {
  std::ostringstream out;
  out << hostPart(entry) << " id " << entry.Id() << " scale " << exact(entry.Scale()) << " category "
      << entry.CaseCategory() << " set " << handleOf(entry.SetId());
  return out.str();
}

std::string dumpAnlResultCase(const CaepAnlResultCase& resultCase, bool liveOnly) {
  std::ostringstream out;
  out << hostPart(resultCase) << " name '" << resultCase.Name().Text() << "' type " << resultCase.Type() << " loads "
      << idList(resultCase.LoadEntryIds(), liveOnly) << " restraints "
      << idList(resultCase.RestraintEntryIds(), liveOnly);
  return out.str();
}

std::string dumpSetsAndCases(AcDbDatabase* database, bool liveOnly) {
  std::string text;
  for (const AcDbObjectId& id : database->objectIds(true)) {
    AcDbObject* object = nullptr;
    if (acdbOpenObject(object, id, AcDb::kForRead, true) != Acad::eOk) continue;
    if (liveOnly && object->isErased()) {
      object->close();
      continue;
    }
    if (auto* set = dynamic_cast<const CaepLbcSetObj*>(object))
      text += dumpLbcSet(*set, liveOnly) + "\n";
    else if (auto* entry = CaepAnlLbcCase::cast(object))
      text += dumpAnlLbcCase(*entry) + "\n";
    else if (auto* resultCase = CaepAnlResultCase::cast(object))
      text += dumpAnlResultCase(*resultCase, liveOnly) + "\n";
    object->close();
  }
  return text;
}
