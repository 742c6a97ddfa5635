// DXF text files: writing a standard R2000 DXF of the drawing and reading one back.
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "arx/dbdxffiler.h"
#include "database_impl.h"
#include "kestrum/atomic_file.h"
#include "kestrum/text.h"

namespace {

void report(std::vector<std::string>* messages, std::string text) {
  if (messages) messages->push_back(std::move(text));
}

// Values are one line each: control characters are written in caret notation ("^J" for a line
// feed) and a caret itself as "^ ", as DXF readers expect.
std::string encodeValue(const std::string& value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    if (c == '^') {
      out += "^ ";
    } else if (static_cast<unsigned char>(c) < 32) {
      out += '^';
      out += static_cast<char>(c + 64);
    } else {
      out += c;
    }
  }
  return out;
}

std::string decodeValue(const std::string& value) {
  if (value.find('^') == std::string::npos) return value;
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '^' && i + 1 < value.size()) {
      char next = value[++i];
      out += next == ' ' ? '^' : static_cast<char>(next - 64);
    } else {
      out += value[i];
    }
  }
  return out;
}

// ---- writing -------------------------------------------------------------------------------

class DxfWriter {
 public:
  void item(int code, const std::string& value) {
    char text[16];
    std::snprintf(text, sizeof text, "%3d\n", code);
    out_ += text;
    out_ += encodeValue(value);
    out_ += '\n';
  }
  void items(const std::vector<AcDbDxfItem>& list) {
    for (const AcDbDxfItem& entry : list) item(entry.code, entry.value);
  }
  void beginSection(const char* name) {
    item(0, "SECTION");
    item(2, name);
  }
  void endSection() { item(0, "ENDSEC"); }
  std::string& text() { return out_; }

 private:
  std::string out_;
};

template <class T>
T* objectOf(AcDbObjectId id) {
  AcDbStub* stub = id.stub();
  return stub ? T::cast(stub->object) : nullptr;
}

// The object's own DXF fields; false (with a message) when its dxfOutFields failed.
bool objectFields(AcDbObject* object, std::vector<AcDbDxfItem>* items, std::string* problem) {
  AcDbDxfFiler filer(object->database());
  Acad::ErrorStatus status;
  {
    FilingScope filing(object);
    status = object->dxfOutFields(&filer);
  }
  if (status != Acad::eOk || filer.filerStatus() != Acad::eOk) {
    *problem = std::string("The object ") + object->isA()->name() + " (handle " + object->objectHandle().text() +
               ") could not be written to DXF.";
    return false;
  }
  *items = filer.items();
  return true;
}

bool isHostClass(const AcRxClass* cls) { return std::string_view(cls->name()).starts_with("AcDb"); }

class DxfExport {
 public:
  explicit DxfExport(AcDbDatabase* db) : db_(db), d_(db->impl()), nextFreeHandle_(d_.nextHandle) {}

  bool run(std::string* problem) {
    writeHeader();
    writeClasses();
    if (!writeTables(problem)) return false;
    writeBlocks();
    return writeEntities(problem) && writeObjects(problem);
  }
  std::string& text() { return out_.text(); }

 private:
  std::string freshHandle() { return AcDbHandle(nextFreeHandle_++).text(); }

  void writeHeader() {
    out_.beginSection("HEADER");
    out_.item(9, "$ACADVER");
    out_.item(1, "AC1015");
    out_.item(9, "$HANDSEED");
    out_.item(5, AcDbHandle(d_.nextHandle + 2 * (blockIds().size() + 1)).text());
    out_.item(9, "$CLAYER");
    auto* layer = objectOf<AcDbLayerTableRecord>(d_.clayer);
    out_.item(8, layer ? layer->name() : "0");
    out_.endSection();
  }

  // Classes of the objects written that are not the host's own.
  void writeClasses() {
    std::map<std::string, const AcRxClass*> used;
    for (const AcDbObjectId& id : db_->objectIds()) {
      const AcRxClass* cls = id.stub()->object->isA();
      if (!isHostClass(cls) && *cls->dxfName()) used[cls->dxfName()] = cls;
    }
    out_.beginSection("CLASSES");
    for (const auto& [dxfName, cls] : used) {
      out_.item(0, "CLASS");
      out_.item(1, dxfName);
      out_.item(2, cls->name());
      out_.item(3, *cls->appName() ? cls->appName() : "ObjectDBX Classes");
      out_.item(90, "0");
      out_.item(280, "0");
      out_.item(281, cls->isDerivedFrom(AcDbEntity::desc()) ? "1" : "0");
    }
    out_.endSection();
  }

  std::vector<AcDbObjectId> blockIds() {
    auto* table = objectOf<AcDbSymbolTable>(d_.blockTable);
    return table ? table->recordIds() : std::vector<AcDbObjectId>{};
  }

  bool writeTable(const char* name, AcDbObjectId tableId, std::string* problem) {
    auto* table = objectOf<AcDbSymbolTable>(tableId);
    std::vector<AcDbObjectId> records;
    if (table)
      for (const AcDbObjectId& id : table->recordIds())
        if (id.isValid() && !id.isErased()) records.push_back(id);
    out_.item(0, "TABLE");
    out_.item(2, name);
    out_.item(5, table ? table->objectHandle().text() : freshHandle());
    out_.item(330, "0");
    out_.item(100, "AcDbSymbolTable");
    out_.item(70, std::to_string(records.size()));
    for (const AcDbObjectId& id : records) {
      AcDbObject* record = id.stub()->object;
      std::vector<AcDbDxfItem> items;
      if (!objectFields(record, &items, problem)) return false;
      out_.item(0, name);
      out_.items(items);
      writeRecordTail(name, AcDbSymbolTableRecord::cast(record));
    }
    out_.item(0, "ENDTAB");
    return true;
  }

  // The fields of linetype and block records that their own DXF filing leaves to the file.
  void writeRecordTail(const std::string& table, AcDbSymbolTableRecord* record) {
    if (table == "LTYPE") {
      out_.item(100, "AcDbLinetypeTableRecord");
      out_.item(2, record->name());
      out_.item(70, "0");
      auto* linetype = AcDbLinetypeTableRecord::cast(record);
      out_.item(3, linetype ? linetype->comments() : "");
      out_.item(72, "65");
      out_.item(73, "0");
      out_.item(40, "0.0");
    } else if (table == "BLOCK_RECORD") {
      out_.item(100, "AcDbBlockTableRecord");
      out_.item(2, record->name());
    }
  }

  bool writeTables(std::string* problem) {
    out_.beginSection("TABLES");
    bool ok = writeTable("LTYPE", d_.linetypeTable, problem) && writeTable("LAYER", d_.layerTable, problem) &&
              writeTable("BLOCK_RECORD", d_.blockTable, problem);
    out_.endSection();
    return ok;
  }

  void writeBlocks() {
    out_.beginSection("BLOCKS");
    for (const AcDbObjectId& id : blockIds()) {
      auto* record = objectOf<AcDbBlockTableRecord>(id);
      if (!record || id.isErased()) continue;
      out_.item(0, "BLOCK");
      out_.item(5, freshHandle());
      out_.item(330, id.handle().text());
      out_.item(100, "AcDbEntity");
      out_.item(8, "0");
      out_.item(100, "AcDbBlockBegin");
      out_.item(2, record->name());
      out_.item(70, "0");
      out_.item(10, "0.0");
      out_.item(20, "0.0");
      out_.item(30, "0.0");
      out_.item(3, record->name());
      out_.item(1, "");
      out_.item(0, "ENDBLK");
      out_.item(5, freshHandle());
      out_.item(330, id.handle().text());
      out_.item(100, "AcDbEntity");
      out_.item(8, "0");
      out_.item(100, "AcDbBlockEnd");
    }
    out_.endSection();
  }

  bool writeObject(AcDbObject* object, std::string* problem) {
    const char* dxfName = object->isA()->dxfName();
    if (!*dxfName) return true;  // a class without a DXF name has no DXF form
    std::vector<AcDbDxfItem> items;
    if (!objectFields(object, &items, problem)) return false;
    out_.item(0, dxfName);
    out_.items(items);
    return true;
  }

  bool writeEntities(std::string* problem) {
    out_.beginSection("ENTITIES");
    auto* space = objectOf<AcDbBlockTableRecord>(d_.modelSpace);
    if (space)
      for (const AcDbObjectId& id : space->entityIds())
        if (id.isValid() && !id.isErased() && !writeObject(id.stub()->object, problem)) return false;
    out_.endSection();
    return true;
  }

  // The named-objects dictionary first, then every other object that is neither a table, a
  // table record nor an entity.
  bool writeObjects(std::string* problem) {
    out_.beginSection("OBJECTS");
    if (auto* named = objectOf<AcDbDictionary>(d_.namedObjects); named && !writeObject(named, problem)) return false;
    for (const AcDbObjectId& id : db_->objectIds()) {
      AcDbObject* object = id.stub()->object;
      if (id == d_.namedObjects || AcDbSymbolTable::cast(object) || AcDbSymbolTableRecord::cast(object) ||
          AcDbEntity::cast(object))
        continue;
      if (!writeObject(object, problem)) return false;
    }
    out_.endSection();
    out_.item(0, "EOF");
    return true;
  }

  AcDbDatabase* db_;
  AcDbDatabase::Impl& d_;
  Adesk::UInt64 nextFreeHandle_;
  DxfWriter out_;
};

// ---- reading -------------------------------------------------------------------------------

// One group: the item that starts it (code 0) and the items up to the next code 0.
struct DxfGroup {
  std::string type;
  std::vector<AcDbDxfItem> items;
  std::size_t line = 0;  // of the group code that starts it, for messages
  std::string value(int code) const {
    for (const AcDbDxfItem& item : items)
      if (item.code == code) return item.value;
    return {};
  }
};

struct DxfSection {
  std::string name;
  std::vector<DxfGroup> groups;
};

std::string trimmed(const std::string& text) {
  std::size_t begin = text.find_first_not_of(" \t\r");
  std::size_t end = text.find_last_not_of(" \t\r");
  return begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
}

// Splits the text into sections of groups; false with a message when it is not DXF.
bool parseDxf(std::string_view text, std::vector<DxfSection>* sections, std::string* problem) {
  std::vector<AcDbDxfItem> items;
  std::size_t position = 0;
  auto nextLine = [&](std::string* line) {
    if (position >= text.size()) return false;
    std::size_t end = text.find('\n', position);
    if (end == std::string::npos) end = text.size();
    *line = text.substr(position, end - position);
    if (!line->empty() && line->back() == '\r') line->pop_back();
    position = end + 1;
    return true;
  };
  std::string codeLine, valueLine;
  while (nextLine(&codeLine)) {
    std::string code = trimmed(codeLine);
    if (code.empty() && position >= text.size()) break;
    char* end = nullptr;
    long number = std::strtol(code.c_str(), &end, 10);
    if (code.empty() || *end != '\0' || !nextLine(&valueLine)) {
      *problem = "is not a DXF file (line " + std::to_string(items.size() * 2 + 1) + " is not a group code)";
      return false;
    }
    items.push_back({static_cast<int>(number),
                     number == 0 || number == 2 || number == 9 ? trimmed(valueLine) : decodeValue(valueLine)});
  }
  DxfSection* section = nullptr;
  bool sawEof = false;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const AcDbDxfItem& item = items[i];
    if (item.code != 0) {
      if (!section || section->groups.empty()) {
        if (section && section->name == "HEADER") {
          section->groups.push_back({"", {}, 2 * i + 1});
        } else {
          *problem = "is not a DXF file (values outside a section)";
          return false;
        }
      }
      section->groups.back().items.push_back(item);
    } else if (item.value == "SECTION") {
      if (i + 1 >= items.size() || items[i + 1].code != 2) {
        *problem = "is not a DXF file (a section has no name)";
        return false;
      }
      sections->push_back({items[++i].value, {}});
      section = &sections->back();
    } else if (item.value == "ENDSEC") {
      section = nullptr;
    } else if (item.value == "EOF") {
      sawEof = true;
      break;
    } else if (section) {
      section->groups.push_back({item.value, {}, 2 * i + 1});
    } else {
      *problem = "is not a DXF file (\"" + item.value + "\" outside a section)";
      return false;
    }
  }
  if (!sawEof) {
    *problem = "is truncated (no EOF)";
    return false;
  }
  return true;
}

AcDbHandle handleOf(const DxfGroup& group) {
  std::string text = group.value(5);
  if (text.empty()) text = group.value(105);
  return AcDbHandle(std::strtoull(text.c_str(), nullptr, 16));
}

class DxfImport {
 public:
  DxfImport(AcDbDatabase* db, std::string path, std::vector<std::string>* messages)
      : db_(db), d_(db->impl()), path_(std::move(path)), messages_(messages) {}

  std::string where(const DxfGroup& group) const {
    return "\"" + path_ + "\", line " + std::to_string(group.line) + ": ";
  }

  void run(const std::vector<DxfSection>& sections) {
    for (const DxfSection& section : sections)
      for (const DxfGroup& group : section.groups) reserveHandle(section.name, group);
    for (const DxfSection& section : sections) {
      if (section.name == "HEADER") readHeader(section);
      if (section.name == "TABLES") readTables(section);
    }
    for (const DxfSection& section : sections) {
      if (section.name == "ENTITIES") readObjects(section, true);
      if (section.name == "OBJECTS") readObjects(section, false);
    }
    d_.ensureStandardObjects();
    if (!clayerName_.empty()) {
      AcDbLayerTable* layers = nullptr;
      if (db_->getLayerTable(layers, AcDb::kForRead) == Acad::eOk) {
        AcDbObjectId layer;
        if (layers->getAt(clayerName_.c_str(), layer) == Acad::eOk) d_.clayer = layer;
        layers->close();
      }
    }
  }

 private:
  // Every object gets its id before any is read, so that references resolve.
  void reserveHandle(const std::string& section, const DxfGroup& group) {
    if (section != "TABLES" && section != "ENTITIES" && section != "OBJECTS") return;
    AcDbHandle handle = handleOf(group);
    if (!handle.isNull() && !d_.stubOf(handle)) d_.newStub(handle);
  }

  void readHeader(const DxfSection& section) {
    for (const DxfGroup& group : section.groups) {
      for (std::size_t i = 0; i + 1 < group.items.size(); ++i) {
        if (group.items[i].code != 9) continue;
        const std::string& value = group.items[i + 1].value;
        if (group.items[i].value == "$HANDSEED")
          d_.nextHandle = std::max<Adesk::UInt64>(d_.nextHandle, std::strtoull(value.c_str(), nullptr, 16));
        else if (group.items[i].value == "$CLAYER")
          clayerName_ = value;
      }
    }
  }

  // Puts a new object on its reserved stub; null (and the object deleted) when the group has no
  // usable handle.
  AcDbStub* place(AcDbObject* object, const DxfGroup& group) {
    AcDbStub* stub = d_.stubOf(handleOf(group));
    if (!stub || stub->object) {
      delete object;
      return nullptr;
    }
    stub->object = object;
    AcDbObjectAccess::attach(object, stub);
    return stub;
  }

  bool fill(AcDbObject* object, const DxfGroup& group) {
    AcDbDxfFiler filer(db_, group.items);
    Acad::ErrorStatus status;
    {
      FilingScope filing(object);
      status = object->dxfInFields(&filer);
    }
    return status == Acad::eOk && filer.filerStatus() == Acad::eOk;
  }

  void unplace(AcDbStub* stub) {
    AcDbObjectAccess::attach(stub->object, nullptr);
    delete stub->object;
    stub->object = nullptr;
  }

  void readTables(const DxfSection& section) {
    AcDbSymbolTable* table = nullptr;
    std::string tableName;
    for (const DxfGroup& group : section.groups) {
      if (group.type == "TABLE") {
        tableName = group.value(2);
        table = makeTable(tableName, group);
      } else if (group.type == "ENDTAB") {
        table = nullptr;
      } else if (table) {
        readRecord(table, tableName, group);
      }
    }
  }

  // The tables this database keeps, by DXF table name; null for the others.
  static AcDbSymbolTable* newTable(const std::string& name) {
    if (name == "LAYER") return new AcDbLayerTable();
    if (name == "LTYPE") return new AcDbLinetypeTable();
    if (name == "BLOCK_RECORD") return new AcDbBlockTable();
    return nullptr;
  }

  static AcDbSymbolTableRecord* newRecord(const std::string& tableName) {
    if (tableName == "LAYER") return new AcDbLayerTableRecord();
    if (tableName == "LTYPE") return new AcDbLinetypeTableRecord();
    return new AcDbBlockTableRecord();
  }

  AcDbObjectId* rootOf(const std::string& name) {
    if (name == "LAYER") return &d_.layerTable;
    if (name == "LTYPE") return &d_.linetypeTable;
    return &d_.blockTable;
  }

  AcDbSymbolTable* makeTable(const std::string& name, const DxfGroup& group) {
    AcDbSymbolTable* table = newTable(name);
    if (!table) return nullptr;
    if (AcDbStub* stub = place(table, group)) {
      *rootOf(name) = AcDbObjectId(stub);
      return table;
    }
    table = newTable(name);  // the file gave the table no usable handle: it gets a new one
    db_->addAcDbObject(*rootOf(name), table);
    table->close();
    return table;
  }

  void readRecord(AcDbSymbolTable* table, const std::string& tableName, const DxfGroup& group) {
    std::string name = group.value(2);
    AcDbObjectId existing;
    if (name.empty() || table->getAt(name.c_str(), existing) == Acad::eOk) return;  // first entry wins
    AcDbSymbolTableRecord* record = newRecord(tableName);
    AcDbStub* stub = place(record, group);
    if (!stub) return;
    if (!fill(record, group)) {
      report(messages_, where(group) + "Skipped the " + tableName + " entry \"" + name + "\": it could not be read.");
      unplace(stub);
      return;
    }
    AcDbObjectAccess::setOwner(record, table->objectId());
    AcDbContainerAccess::link(table, AcDbObjectId(stub));
  }

  void readObjects(const DxfSection& section, bool entities) {
    for (const DxfGroup& group : section.groups) {
      AcRxClass* cls = group.type == "DICTIONARY" ? AcDbDictionary::desc() : acrxFindClassByDxfName(group.type.c_str());
      AcRxObject* made = cls ? cls->create() : nullptr;
      auto* object = made ? AcDbObject::cast(made) : nullptr;
      if (!object || (entities && !AcDbEntity::cast(object))) {
        delete made;
        report(messages_, where(group) + "Skipped a DXF " + std::string(entities ? "entity" : "object") +
                              " of unknown type " + group.type + " (handle " + handleOf(group).text() + ").");
        continue;
      }
      AcDbStub* stub = place(object, group);
      if (!stub) {
        report(messages_, where(group) + "Skipped a DXF " + group.type + " without a usable handle.");
        continue;
      }
      if (!fill(object, group)) {
        report(messages_, where(group) + "Skipped a DXF " + group.type + " (handle " + stub->handle.text() +
                              "): it could not be read.");
        unplace(stub);
        continue;
      }
      if (!entities && d_.namedObjects.isNull() && AcDbDictionary::cast(object)) d_.namedObjects = AcDbObjectId(stub);
      if (entities) appendToOwner(object);
    }
  }

  void appendToOwner(AcDbObject* entity) {
    if (auto* owner = objectOf<AcDbBlockTableRecord>(entity->ownerId()))
      AcDbContainerAccess::link(owner, entity->objectId());
  }

  AcDbDatabase* db_;
  AcDbDatabase::Impl& d_;
  std::string path_;
  std::vector<std::string>* messages_;
  std::string clayerName_;
};

const std::set<std::string> kKnownSections = {"HEADER",   "CLASSES", "TABLES",         "BLOCKS",
                                              "ENTITIES", "OBJECTS", "THUMBNAILIMAGE", "ACDSDATA"};

}  // namespace

Acad::ErrorStatus AcDbDatabase::dxfOut(const std::string& path, std::vector<std::string>* messages) {
  DxfExport exporter(this);
  std::string problem;
  if (!exporter.run(&problem)) {
    report(messages, problem + " The DXF file was not written.");
    return Acad::eFilerError;
  }
  if (!kestrum::writeFileAtomically(path, exporter.text(), &problem)) {
    report(messages, problem);
    return Acad::eFileAccessErr;
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::dxfIn(const std::string& path, std::vector<std::string>* messages) {
  if (!impl_->stubs.empty()) {
    report(messages, "A DXF file can only be read into an empty database.");
    return Acad::eInvalidContext;
  }
  kestrum::Result<std::string> text = kestrum::ReadWholeFile(path);
  if (!text) {
    report(messages, "\"" + path + "\" " + text.problem().message + ".");
    return Acad::eFileNotFound;
  }
  return dxfInText(*text, path, messages);
}

Acad::ErrorStatus AcDbDatabase::dxfInText(std::string_view text, const std::string& path,
                                          std::vector<std::string>* messages) {
  if (!impl_->stubs.empty()) {
    report(messages, "A DXF file can only be read into an empty database.");
    return Acad::eInvalidContext;
  }
  std::string problem;
  std::vector<DxfSection> sections;
  if (!parseDxf(text, &sections, &problem)) {
    report(messages, "The file \"" + path + "\" " + problem + ".");
    return Acad::eBadDxfFile;
  }
  for (const DxfSection& section : sections) {
    if (!kKnownSections.contains(section.name)) {
      report(messages, "The DXF file \"" + path + "\" has an unknown section \"" + section.name + "\".");
      return Acad::eBadDxfFile;
    }
  }
  {
    SuppressRecording quiet(*impl_);
    DxfImport(this, path, messages).run(sections);
  }
  impl_->savedChanges = impl_->changes;
  return Acad::eOk;
}
