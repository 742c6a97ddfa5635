// The host runtime's class system: every runtime object knows its class record; class records
// form a tree by parent, carry the DXF and application names used in files, and can create an
// object of their class (used when a drawing is read). Records live in the "ClassDictionary"
// entry of the system registry.
#pragma once

#include <cstddef>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

class AcRxClass;

class AcRxObject {
 public:
  virtual ~AcRxObject();
  static AcRxClass* desc();
  static AcRxObject* cast(const AcRxObject* object) { return const_cast<AcRxObject*>(object); }
  // The object's exact class record.
  virtual AcRxClass* isA() const;
  // True when the object's class is `cls` or derives from it.
  bool isKindOf(const AcRxClass* cls) const;
};

// Creates a default-constructed object of a class; returns null when it cannot.
using AcRxPseudoConstructor = AcRxObject* (*)();

class AcRxClass : public AcRxObject {
 public:
  static AcRxClass* desc();
  AcRxClass* isA() const override;

  const char* name() const { return name_.c_str(); }
  const char* dxfName() const { return dxfName_.c_str(); }
  const char* appName() const { return appName_.c_str(); }
  AcRxClass* myParent() const { return parent_; }
  int dwgVersion() const { return dwgVersion_; }
  int maintenanceVersion() const { return maintenanceVersion_; }
  int proxyFlags() const { return proxyFlags_; }
  bool isDerivedFrom(const AcRxClass* other) const;
  // A new object of this class, or null when the class has no constructor or it failed.
  AcRxObject* create() const;

 private:
  friend AcRxClass* newAcRxClass(const char*, const char*, int, int, int, AcRxPseudoConstructor, const char*,
                                 const char*);
  friend void acrxBuildClassHierarchy();
  AcRxClass() = default;
  std::string name_;
  std::string parentName_;
  std::string dxfName_;
  std::string appName_;
  AcRxClass* parent_ = nullptr;
  int dwgVersion_ = 0;
  int maintenanceVersion_ = 0;
  int proxyFlags_ = 0;
  AcRxPseudoConstructor make_ = nullptr;
};

// Registers a class under its name in the "ClassDictionary" and returns its record. A name that is
// already registered returns the existing record unchanged. A parent that is not registered yet is
// linked by acrxBuildClassHierarchy().
AcRxClass* newAcRxClass(const char* className, const char* parentClassName, int dwgVersion, int maintenanceVersion,
                        int proxyFlags, AcRxPseudoConstructor make, const char* dxfName = nullptr,
                        const char* appName = nullptr);
// Removes a class record from the "ClassDictionary" and frees it.
void deleteAcRxClass(AcRxClass* cls);
// Links every class record to its parent by name.
void acrxBuildClassHierarchy();
// The record registered under a class name, or null.
AcRxClass* acrxFindClass(const char* className);
// A class record found by name once and kept until a class is registered or removed (any change
// to a runtime dictionary): for the desc() of classes that register when their module loads.
class AcRxClassLookup {
 public:
  explicit AcRxClassLookup(const char* className) : name_(className) {}
  AcRxClass* get();

 private:
  const char* name_;
  AcRxClass* record_ = nullptr;
  unsigned long long seenChanges_ = 0;  // the dictionaries' change count when record_ was found
};
// The record whose DXF name is `dxfName`, or null.
AcRxClass* acrxFindClassByDxfName(const char* dxfName);

// A dictionary of runtime objects by text key (case-sensitive, as the registry's keys are).
// The dictionary does not own its values.
class AcRxDictionary : public AcRxObject {
 public:
  static AcRxClass* desc();
  AcRxClass* isA() const override;
  AcRxObject* at(const char* key) const;
  // Stores `value` under `key`; returns the value it replaced, or null.
  AcRxObject* atPut(const char* key, AcRxObject* value);
  // Removes the entry; returns its value, or null.
  AcRxObject* remove(const char* key);
  bool has(const char* key) const { return at(key) != nullptr; }
  std::size_t numEntries() const { return entries_.size(); }
  std::vector<std::string> keys() const;

 private:
  std::vector<std::pair<std::string, AcRxObject*>> entries_;  // in insertion order, for keys()
  std::unordered_map<std::string, AcRxObject*> lookup_;       // the same entries, by key
};

// The system registry. Entries: "ClassDictionary" (class records by name) and those the host
// adds: "DynamicLinker", "AcEditor", "ACAD_REGISTERED_COMMANDS".
AcRxDictionary* acrxSysRegistry();
// The "ClassDictionary" entry of the system registry.
AcRxDictionary* acrxClassDictionary();

// Declares the runtime members of a class: desc(), cast() and isA().
#define ACRX_DECLARE_MEMBERS(CLASS_NAME)                                                                               \
 public:                                                                                                               \
  static AcRxClass* desc();                                                                                            \
  static CLASS_NAME* cast(const AcRxObject* object) {                                                                  \
    return object && object->isKindOf(CLASS_NAME::desc()) ? dynamic_cast<CLASS_NAME*>(const_cast<AcRxObject*>(object)) \
                                                          : nullptr;                                                   \
  }                                                                                                                    \
  AcRxClass* isA() const override

// Defines the runtime members of a host class. The record is registered on first use of desc(),
// after its parent's, so host classes need no static initialisers.
#define ACRX_DEFINE_MEMBERS_WITH_PROPS(CLASS_NAME, PARENT_CLASS, DXF_NAME, APP_NAME, MAKE)  \
  AcRxClass* CLASS_NAME::desc() {                                                           \
    static AcRxClass* record = nullptr;                                                     \
    if (!record) {                                                                          \
      PARENT_CLASS::desc();                                                                 \
      record = newAcRxClass(#CLASS_NAME, #PARENT_CLASS, 0, 0, 0, MAKE, DXF_NAME, APP_NAME); \
      acrxBuildClassHierarchy();                                                            \
    }                                                                                       \
    return record;                                                                          \
  }                                                                                         \
  AcRxClass* CLASS_NAME::isA() const { return CLASS_NAME::desc(); }

#define ACRX_NO_CONS_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS) \
  ACRX_DEFINE_MEMBERS_WITH_PROPS(CLASS_NAME, PARENT_CLASS, nullptr, nullptr, nullptr)

#define ACRX_CONS_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS, DXF_NAME)                \
  static AcRxObject* make##CLASS_NAME() { return new (std::nothrow) CLASS_NAME(); } \
  ACRX_DEFINE_MEMBERS_WITH_PROPS(CLASS_NAME, PARENT_CLASS, DXF_NAME, nullptr, make##CLASS_NAME)
