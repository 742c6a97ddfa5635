#include "arx/rxobject.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "arx/status.h"

namespace {

// Class records keyed by name; owned by the class dictionary until deleteAcRxClass.
AcRxDictionary& classDictionary() {
  static AcRxDictionary* dictionary = new AcRxDictionary();  // lives for the process
  return *dictionary;
}

// Changes made to any runtime dictionary, class records included; a class lookup made at an
// earlier count may name a record that is gone. Starts at 1, so that no lookup holds at first.
unsigned long long dictionaryChanges = 1;

AcRxClass* registerRootClass(const char* name, const char* parent) {
  return newAcRxClass(name, parent, 0, 0, 0, nullptr, nullptr, nullptr);
}

}  // namespace

// ---- AcRxObject ----------------------------------------------------------------------------

AcRxObject::~AcRxObject() = default;

AcRxClass* AcRxObject::desc() {
  static AcRxClass* record = registerRootClass("AcRxObject", nullptr);
  return record;
}

AcRxClass* AcRxObject::isA() const { return AcRxObject::desc(); }

bool AcRxObject::isKindOf(const AcRxClass* cls) const {
  const AcRxClass* mine = isA();
  return mine && cls && mine->isDerivedFrom(cls);
}

// ---- AcRxClass -----------------------------------------------------------------------------

AcRxClass* AcRxClass::desc() {
  static AcRxClass* record = (AcRxObject::desc(), registerRootClass("AcRxClass", "AcRxObject"));
  return record;
}

AcRxClass* AcRxClass::isA() const { return AcRxClass::desc(); }

bool AcRxClass::isDerivedFrom(const AcRxClass* other) const {
  for (const AcRxClass* c = this; c; c = c->parent_)
    if (c == other) return true;
  return false;
}

AcRxObject* AcRxClass::create() const { return make_ ? make_() : nullptr; }

AcRxClass* newAcRxClass(const char* className, const char* parentClassName, int dwgVersion, int maintenanceVersion,
                        int proxyFlags, AcRxPseudoConstructor make, const char* dxfName, const char* appName) {
  if (!className || !*className) return nullptr;
  if (auto* existing = static_cast<AcRxClass*>(classDictionary().at(className))) return existing;
  auto* record = new AcRxClass();
  record->name_ = className;
  record->parentName_ = parentClassName ? parentClassName : "";
  record->dxfName_ = dxfName ? dxfName : "";
  record->appName_ = appName ? appName : "";
  record->dwgVersion_ = dwgVersion;
  record->maintenanceVersion_ = maintenanceVersion;
  record->proxyFlags_ = proxyFlags;
  record->make_ = make;
  record->parent_ = static_cast<AcRxClass*>(classDictionary().at(record->parentName_.c_str()));
  classDictionary().atPut(className, record);
  return record;
}

void deleteAcRxClass(AcRxClass* cls) {
  if (!cls) return;
  if (classDictionary().at(cls->name()) == cls) classDictionary().remove(cls->name());
  delete cls;
  acrxBuildClassHierarchy();  // children of the deleted class lose their parent link
}

void acrxBuildClassHierarchy() {
  for (const std::string& key : classDictionary().keys()) {
    auto* record = static_cast<AcRxClass*>(classDictionary().at(key.c_str()));
    record->parent_ = record->parentName_.empty()
                          ? nullptr
                          : static_cast<AcRxClass*>(classDictionary().at(record->parentName_.c_str()));
  }
}

AcRxClass* acrxFindClass(const char* className) {
  return className ? static_cast<AcRxClass*>(classDictionary().at(className)) : nullptr;
}

AcRxClass* AcRxClassLookup::get() {
  if (seenChanges_ != dictionaryChanges) {
    record_ = acrxFindClass(name_);
    seenChanges_ = dictionaryChanges;
  }
  return record_;
}

AcRxClass* acrxFindClassByDxfName(const char* dxfName) {
  if (!dxfName || !*dxfName) return nullptr;
  for (const std::string& key : classDictionary().keys()) {
    auto* record = static_cast<AcRxClass*>(classDictionary().at(key.c_str()));
    if (std::strcmp(record->dxfName(), dxfName) == 0) return record;
  }
  return nullptr;
}

// ---- AcRxDictionary ------------------------------------------------------------------------

AcRxClass* AcRxDictionary::desc() {
  static AcRxClass* record = (AcRxObject::desc(), registerRootClass("AcRxDictionary", "AcRxObject"));
  return record;
}

AcRxClass* AcRxDictionary::isA() const { return AcRxDictionary::desc(); }

// Every isA() of a registered class asks here, so the lookup is keyed.
AcRxObject* AcRxDictionary::at(const char* key) const {
  if (!key) return nullptr;
  const auto found = lookup_.find(key);
  return found == lookup_.end() ? nullptr : found->second;
}

AcRxObject* AcRxDictionary::atPut(const char* key, AcRxObject* value) {
  if (!key) return nullptr;
  ++dictionaryChanges;
  for (auto& [name, old] : entries_) {
    if (name == key) {
      AcRxObject* replaced = old;
      old = value;
      lookup_[name] = value;
      return replaced;
    }
  }
  entries_.emplace_back(key, value);
  lookup_.emplace(key, value);
  return nullptr;
}

AcRxObject* AcRxDictionary::remove(const char* key) {
  if (!key) return nullptr;
  auto it = std::find_if(entries_.begin(), entries_.end(), [&](const auto& e) { return e.first == key; });
  if (it == entries_.end()) return nullptr;
  ++dictionaryChanges;
  AcRxObject* value = it->second;
  entries_.erase(it);
  lookup_.erase(key);
  return value;
}

std::vector<std::string> AcRxDictionary::keys() const {
  std::vector<std::string> names;
  names.reserve(entries_.size());
  for (const auto& entry : entries_) names.push_back(entry.first);
  return names;
}

AcRxDictionary* acrxSysRegistry() {
  static AcRxDictionary* registry = [] {
    auto* dictionary = new AcRxDictionary();  // lives for the process
    dictionary->atPut("ClassDictionary", &classDictionary());
    return dictionary;
  }();
  return registry;
}

AcRxDictionary* acrxClassDictionary() { return &classDictionary(); }

// ---- status names --------------------------------------------------------------------------

const char* Acad::statusName(ErrorStatus status) {
  switch (status) {
#define KESTRUM_STATUS(name) \
  case name: return #name;
    KESTRUM_STATUS(eOk)
    KESTRUM_STATUS(eNotImplementedYet)
    KESTRUM_STATUS(eNotApplicable)
    KESTRUM_STATUS(eInvalidInput)
    KESTRUM_STATUS(eNullObjectId)
    KESTRUM_STATUS(eNullObjectPointer)
    KESTRUM_STATUS(eInvalidOpenState)
    KESTRUM_STATUS(eKeyNotFound)
    KESTRUM_STATUS(eDuplicateKey)
    KESTRUM_STATUS(eInvalidKey)
    KESTRUM_STATUS(eAlreadyInDb)
    KESTRUM_STATUS(eNotInDatabase)
    KESTRUM_STATUS(eNoDatabase)
    KESTRUM_STATUS(eNotOpenForRead)
    KESTRUM_STATUS(eNotOpenForWrite)
    KESTRUM_STATUS(eFilerError)
    KESTRUM_STATUS(eEndOfFile)
    KESTRUM_STATUS(eBadDwgHeader)
    KESTRUM_STATUS(eDwgCRCError)
    KESTRUM_STATUS(eFileAccessErr)
    KESTRUM_STATUS(eFileNotFound)
    KESTRUM_STATUS(eUnknownHandle)
    KESTRUM_STATUS(eBadDxfFile)
    KESTRUM_STATUS(eWasErased)
    KESTRUM_STATUS(eWasNotErased)
    KESTRUM_STATUS(ePermanentlyErased)
    KESTRUM_STATUS(eWasOpenForRead)
    KESTRUM_STATUS(eNoActiveTransactions)
    KESTRUM_STATUS(eNotTopTransaction)
    KESTRUM_STATUS(eCannotNestBlockDefs)
    KESTRUM_STATUS(eWrongDatabase)
    KESTRUM_STATUS(eIsWriteProtected)
    KESTRUM_STATUS(eAtMaxReaders)
    KESTRUM_STATUS(eWasOpenForWrite)
    KESTRUM_STATUS(eWasOpenForNotify)
    KESTRUM_STATUS(eNotThatKindOfClass)
    KESTRUM_STATUS(eLockViolation)
    KESTRUM_STATUS(eInvalidContext)
    KESTRUM_STATUS(eCommandCancelled)
    KESTRUM_STATUS(eUserBreak)
    KESTRUM_STATUS(eLoadFailed)
    KESTRUM_STATUS(eUnloadFailed)
    KESTRUM_STATUS(eNotFound)
#undef KESTRUM_STATUS
  }
  return "eUnknownStatus";
}
