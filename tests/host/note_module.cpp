// An application module that defines a class of its own, for drawings opened with and without it.
// NOTES adds two notes that point at each other under "NOTE_A" and "NOTE_B" in the named-objects
// dictionary; NOTEDUMP prints every note named there with its fields and where its ids lead.
#include <new>
#include <string>

#include "arx/accmd.h"
#include "arx/acutads.h"
#include "arx/dbdatabase.h"
#include "arx/dbfiler.h"
#include "arx/rxdlinkr.h"

namespace {

class KestrumNote : public AcDbObject {
 public:
  ACRX_DECLARE_MEMBERS(KestrumNote);
  std::string text;
  double weight = 0.0;
  AcDbObjectId partner;

  Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override {
    assertWriteEnabled();
    Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
    if (status != Acad::eOk) return status;
    filer->readString(&text);
    filer->readDouble(&weight);
    AcDbSoftPointerId id;
    filer->readSoftPointerId(&id);
    partner = id;
    return filer->filerStatus();
  }
  Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override {
    assertReadEnabled();
    Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer);
    if (status != Acad::eOk) return status;
    filer->writeString(text);
    filer->writeDouble(weight);
    filer->writeSoftPointerId(partner);
    return filer->filerStatus();
  }
};

ACRX_CONS_DEFINE_MEMBERS(KestrumNote, AcDbObject, "KESTRUM_NOTE")

AcDbDatabase* working() { return acdbHostApplicationServices()->workingDatabase(); }

void addNotes() {
  AcDbDictionary* named = nullptr;
  if (working()->getNamedObjectsDictionary(named, AcDb::kForWrite) != Acad::eOk) return;
  auto* first = new KestrumNote();
  first->text = "first";
  first->weight = 1.5;
  auto* second = new KestrumNote();
  second->text = "second";
  second->weight = -2.0;
  AcDbObjectId firstId, secondId;
  named->setAt("NOTE_A", first, firstId);
  named->setAt("NOTE_B", second, secondId);
  first->partner = secondId;
  second->partner = firstId;
  first->close();
  second->close();
  named->close();
}

// Names the dictionary entry an id leads to, so that the dump does not depend on handles alone.
std::string entryOf(AcDbDictionary* named, AcDbObjectId id) {
  std::string key;
  return named->nameAt(id, key) == Acad::eOk ? key : "none";
}

void dumpNotes() {
  AcDbDictionary* named = nullptr;
  if (working()->getNamedObjectsDictionary(named, AcDb::kForRead) != Acad::eOk) return;
  for (const char* key : {"NOTE_A", "NOTE_B"}) {
    KestrumNote* note = nullptr;
    AcDbObjectId id;
    if (named->getAt(key, id) != Acad::eOk || acdbOpenObject(note, id, AcDb::kForRead) != Acad::eOk) {
      acutPrintf("\n%s: no note", key);
      continue;
    }
    acutPrintf("\n%s: handle %s text \"%s\" weight %g partner %s owner %s", key, id.handle().text().c_str(),
               note->text.c_str(), note->weight, entryOf(named, note->partner).c_str(),
               note->ownerId() == working()->namedObjectsDictionaryId() ? "named-objects" : "other");
    note->close();
  }
  named->close();
  acutPrintf("\n");
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int acrxEntryPoint(int msg, void* appPkt) {
  if (msg == AcRx::kInitAppMsg) {
    KestrumNote::desc();
    acrxDynamicLinker->unlockApplication(appPkt);
    acrxDynamicLinker->registerAppMDIAware(appPkt);
    acedRegCmds->addCommand("KESTRUM_NOTES", "NOTES", "NOTES", ACRX_CMD_MODAL, addNotes);
    acedRegCmds->addCommand("KESTRUM_NOTES", "NOTEDUMP", "NOTEDUMP", ACRX_CMD_MODAL, dumpNotes);
  } else if (msg == AcRx::kUnloadAppMsg) {
    acedRegCmds->removeGroup("KESTRUM_NOTES");
    deleteAcRxClass(KestrumNote::desc());
  }
  return AcRx::kRetOK;
}
