// Our binary drawing format.
//
//   header:  8-byte magic, u32 format version, u32 CRC-32C of the payload, u64 payload length
//   payload: u64 next handle, 8 u64 root handles, u32 record count, then the records
//   record:  u32 body length, then the body: u16 class-name length, class name, u64 handle,
//            u8 flags (1 = erased), and the fields the object's dwgOutFields wrote
// Integers are little-endian.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include <unistd.h>

#include "arx/dbfiler.h"
#include "database_impl.h"
#include "kestrum/atomic_file.h"
#include "kestrum/text.h"

static_assert(std::endian::native == std::endian::little, "the drawing format is written little-endian");

namespace {

constexpr char kMagic[8] = {'K', 'E', 'S', 'T', 'D', 'W', 'G', '\x1a'};
constexpr Adesk::UInt32 kFormatVersion = 1;
constexpr std::size_t kHeaderSize = 24;
constexpr int kRootCount = 8;

using CrcTables = std::array<std::array<Adesk::UInt32, 256>, 8>;

// CRC-32C (Castagnoli): the processor's crc32 instruction computes it when it has one.
constexpr Adesk::UInt32 kCrcPolynomial = 0x82F63B78u;

constexpr CrcTables makeCrcTables() {
  CrcTables tables{};
  for (Adesk::UInt32 i = 0; i < 256; ++i) {
    Adesk::UInt32 c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? kCrcPolynomial ^ (c >> 1) : c >> 1;
    tables[0][i] = c;
  }
  for (std::size_t t = 1; t < 8; ++t)
    for (std::size_t i = 0; i < 256; ++i) tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFF];
  return tables;
}

// Eight bytes at a time through tables.
Adesk::UInt32 crc32cTables(const unsigned char* p, std::size_t n, Adesk::UInt32 crc) {
  static constexpr CrcTables t = makeCrcTables();
  for (; n >= 8; n -= 8, p += 8) {
    Adesk::UInt32 low, high;
    std::memcpy(&low, p, 4);
    std::memcpy(&high, p + 4, 4);
    low ^= crc;
    crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^ t[3][high & 0xFF] ^
          t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
  }
  for (; n > 0; --n, ++p) crc = t[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
  return crc;
}

#if defined(__x86_64__)
__attribute__((target("sse4.2"))) Adesk::UInt32 crc32cHardware(const unsigned char* p, std::size_t n,
                                                               Adesk::UInt32 crc) {
  Adesk::UInt64 wide = crc;
  for (; n >= 8; n -= 8, p += 8) {
    Adesk::UInt64 word;
    std::memcpy(&word, p, 8);
    wide = __builtin_ia32_crc32di(wide, word);
  }
  crc = static_cast<Adesk::UInt32>(wide);
  for (; n > 0; --n, ++p) crc = __builtin_ia32_crc32qi(crc, *p);
  return crc;
}
#endif

// The CRC-32C of data that arrives in pieces.
class Crc32c {
 public:
  void add(std::string_view data) {
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
#if defined(__x86_64__)
    static const bool hardware = __builtin_cpu_supports("sse4.2");
    state_ = hardware ? crc32cHardware(p, data.size(), state_) : crc32cTables(p, data.size(), state_);
#else
    state_ = crc32cTables(p, data.size(), state_);
#endif
  }
  Adesk::UInt32 value() const { return state_ ^ 0xFFFFFFFFu; }

 private:
  Adesk::UInt32 state_ = 0xFFFFFFFFu;
};

Adesk::UInt32 crc32(std::string_view data) {
  Crc32c crc;
  crc.add(data);
  return crc.value();
}

// Reads fixed-size values from a byte range; `ok` turns false at the first overrun.
class Reader {
 public:
  explicit Reader(std::string_view data) : data_(data) {}
  template <class T>
  T get() {
    T value{};
    if (position_ + sizeof value > data_.size()) {
      ok = false;
      return value;
    }
    std::memcpy(&value, data_.data() + position_, sizeof value);
    position_ += sizeof value;
    return value;
  }
  std::string_view bytes(std::size_t size) {
    if (position_ + size > data_.size()) {
      ok = false;
      return {};
    }
    std::string_view view = data_.substr(position_, size);
    position_ += size;
    return view;
  }
  std::string_view rest() {
    std::string_view view = data_.substr(std::min(position_, data_.size()));
    position_ = data_.size();
    return view;
  }
  bool atEnd() const { return position_ == data_.size(); }
  bool ok = true;

 private:
  std::string_view data_;
  std::size_t position_ = 0;
};

struct RecordView {
  std::string_view className;
  AcDbHandle handle;
  bool erased = false;
  std::string_view fields;
};

AcDbObjectId* rootIds(AcDbDatabase::Impl& d, int index) {
  AcDbObjectId* roots[kRootCount] = {&d.blockTable, &d.layerTable, &d.linetypeTable, &d.namedObjects,
                                     &d.modelSpace, &d.layerZero,  &d.continuous,    &d.clayer};
  return roots[index];
}

void report(std::vector<std::string>* messages, std::string text) {
  if (messages) messages->push_back(std::move(text));
}

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

template <class T>
void putRaw(AcDbDwgFiler& out, T value) {
  AcDbFilerAccess::appendRaw(out, &value, sizeof value);
}

// Appends one object's record to the filer; false when the object's dwgOutFields failed.
bool appendRecord(AcDbDwgFiler& out, const AcDbStub& stub, std::string* problem) {
  AcDbObject* object = stub.object;
  AcRxClass* cls = object->isA();  // asked once: a class's record may be looked up by name
  const auto* proxy =
      cls->isDerivedFrom(AcDbProxyObject::desc()) ? dynamic_cast<const AcDbProxyObject*>(object) : nullptr;
  const char* className = proxy ? proxy->originalClassName().c_str() : cls->name();
  auto nameLength = static_cast<Adesk::UInt16>(std::strlen(className));
  std::size_t lengthAt = AcDbFilerAccess::used(out);
  putRaw(out, Adesk::UInt32{0});  // the body length, known once the fields are written
  putRaw(out, nameLength);
  AcDbFilerAccess::appendRaw(out, className, nameLength);
  putRaw(out, stub.handle.value());
  putRaw(out, static_cast<Adesk::UInt8>(object->isErased() ? 1 : 0));
  Acad::ErrorStatus status;
  {
    FilingScope filing(object);
    status = object->dwgOutFields(&out);
  }
  if (status != Acad::eOk || out.filerStatus() != Acad::eOk) {
    *problem = std::string("The object ") + className + " (handle " + stub.handle.text() + ") could not be written (" +
               Acad::statusName(status != Acad::eOk ? status : out.filerStatus()) + ").";
    return false;
  }
  auto bodyLength = static_cast<Adesk::UInt32>(AcDbFilerAccess::used(out) - lengthAt - sizeof(Adesk::UInt32));
  AcDbFilerAccess::overwrite(out, lengthAt, &bodyLength, sizeof bodyLength);
  return true;
}

// Records go to the file in pieces of about this size, so that a drawing is never held whole
// in memory while it is saved. A small piece stays in the processor's cache and in the heap: a
// piece of a megabyte was fresh memory, zeroed and faulted in, at each save.
constexpr std::size_t kWritePiece = std::size_t{1} << 16;

// Writes the drawing file into `fd`: the payload in pieces through the checksum, then the header
// over the space left for it. False when a write fails (errno) or an object cannot be written
// (`problem` says which).
bool writeDrawing(AcDbDatabase* db, AcDbDatabase::Impl& d, int fd, std::string* problem) {
  const char header[kHeaderSize] = {};
  if (!kestrum::writeAllTo(fd, std::string_view(header, kHeaderSize))) return false;
  // The count comes first in the file; a drawing that changes while it is filed is refused below.
  const std::size_t stubCount = d.stubs.size();
  Adesk::UInt32 count = 0;
  for (const AcDbStub& stub : d.stubs)
    if (stub.object) ++count;
  AcDbDwgFiler out(AcDb::kFileFiler, db);
  AcDbFilerAccess::reserve(out, kWritePiece + kWritePiece / 4);
  putRaw(out, d.nextHandle);
  for (int i = 0; i < kRootCount; ++i) putRaw(out, rootIds(d, i)->handle().value());
  putRaw(out, count);
  Crc32c crc;
  Adesk::UInt64 length = 0;
  auto flush = [&] {
    const std::string_view piece = out.buffer();
    crc.add(piece);
    length += piece.size();
    out.clearBuffer();
    return kestrum::writeAllTo(fd, piece);
  };
  Adesk::UInt32 written = 0;
  for (std::size_t i = 0; i < stubCount; ++i) {
    const AcDbStub& stub = d.stubs[i];
    if (!stub.object) continue;
    if (!appendRecord(out, stub, problem)) return false;
    ++written;
    if (AcDbFilerAccess::used(out) >= kWritePiece && !flush()) return false;
  }
  if (written != count || d.stubs.size() != stubCount) {
    *problem = "The drawing changed while it was being written.";
    return false;
  }
  if (!flush()) return false;
  char filled[kHeaderSize];
  const Adesk::UInt32 checksum = crc.value();
  std::memcpy(filled, kMagic, sizeof kMagic);
  std::memcpy(filled + 8, &kFormatVersion, 4);
  std::memcpy(filled + 12, &checksum, 4);
  std::memcpy(filled + 16, &length, 8);
  return ::pwrite(fd, filled, kHeaderSize, 0) == static_cast<ssize_t>(kHeaderSize);
}

Adesk::UInt64 nextHandleOf(std::string_view payload) {
  Reader in(payload);
  return in.get<Adesk::UInt64>();
}

// Splits the payload into records; false when the framing is inconsistent.
bool splitRecords(std::string_view payload, Adesk::UInt64* nextHandle, Adesk::UInt64 roots[kRootCount],
                  std::vector<RecordView>* records) {
  Reader in(payload);
  *nextHandle = in.get<Adesk::UInt64>();
  for (int i = 0; i < kRootCount; ++i) roots[i] = in.get<Adesk::UInt64>();
  auto count = in.get<Adesk::UInt32>();
  if (!in.ok || count > payload.size()) return false;
  records->reserve(count);
  for (Adesk::UInt32 i = 0; i < count && in.ok; ++i) {
    Reader body(in.bytes(in.get<Adesk::UInt32>()));
    RecordView record;
    record.className = body.bytes(body.get<Adesk::UInt16>());
    record.handle = AcDbHandle(body.get<Adesk::UInt64>());
    record.erased = body.get<Adesk::UInt8>() & 1;
    if (!in.ok || !body.ok || record.handle.isNull()) return false;
    record.fields = body.rest();
    records->push_back(record);
  }
  return in.ok && in.atEnd();
}

// Class records by name, looked up once per name while a drawing is read.
class ClassCache {
 public:
  AcRxClass* find(std::string_view name) {
    if (name == lastName_) return lastClass_;  // records of one class tend to come together
    lastName_ = name;
    lastClass_ = lookUp(name);
    return lastClass_;
  }

 private:
  AcRxClass* lookUp(std::string_view name) {
    auto it = classes_.find(name);
    if (it != classes_.end()) return it->second;
    AcRxClass* cls = acrxFindClass(std::string(name).c_str());
    classes_.emplace(name, cls);
    return cls;
  }

  std::unordered_map<std::string_view, AcRxClass*> classes_;
  std::string_view lastName_;
  AcRxClass* lastClass_ = nullptr;
};

// Objects kept as proxies, counted per class in the order the classes first appear.
class ProxyCounts {
 public:
  void count(std::string_view className) {
    auto it = std::find_if(counts_.begin(), counts_.end(), [&](const auto& c) { return c.first == className; });
    if (it == counts_.end())
      counts_.emplace_back(std::string(className), 1);
    else
      ++it->second;
  }
  void report(const std::string& path, std::vector<std::string>* messages) const {
    for (const auto& [className, number] : counts_)
      ::report(messages, quoted(path) + ": " + std::to_string(number) + " object(s) of class " + className +
                             " kept as proxies: the application that defines it is not loaded.");
  }

 private:
  std::vector<std::pair<std::string, std::size_t>> counts_;
};

// Re-creates one object from its record; false (with a message) when it cannot be read.
bool loadRecord(AcDbDatabase* db, const RecordView& record, std::size_t index, const std::string& path, AcDbStub* stub,
                ClassCache& classes, ProxyCounts* proxies, std::vector<std::string>* messages) {
  // Made only for a message: most records are read without one.
  auto where = [&] { return quoted(path) + ", record " + std::to_string(index + 1) + ": "; };
  AcRxClass* cls = classes.find(record.className);
  AcRxObject* made = cls ? cls->create() : nullptr;
  // The class record says what the object is; no need for a dynamic cast per record.
  auto* object = made && made->isKindOf(AcDbObject::desc()) ? static_cast<AcDbObject*>(made) : nullptr;
  // An object whose class cannot be made here is kept as its record, so that saving loses nothing.
  if (!made) object = AcDbProxyAccess::make(record.className, {});
  if (!object) {
    delete made;
    report(messages, where() + "Skipped an object of unknown class " + std::string(record.className) + " (handle " +
                         record.handle.text() + ").");
    return false;
  }
  stub->object = object;
  AcDbObjectAccess::attach(object, stub);
  AcDbDwgFiler filer(AcDb::kFileFiler, db, record.fields);
  Acad::ErrorStatus status;
  {
    FilingScope filing(object);
    status = object->dwgInFields(&filer);
  }
  if (status == Acad::eOk && filer.filerStatus() == Acad::eOk && filer.atEnd()) {
    AcDbObjectAccess::setErased(object, record.erased);
    if (!made) proxies->count(record.className);
    return true;
  }
  report(messages, where() + "Skipped an object of class " + std::string(record.className) + " (handle " +
                       record.handle.text() + "): its record could not be read.");
  stub->object = nullptr;
  AcDbObjectAccess::attach(object, nullptr);
  delete object;
  return false;
}

}  // namespace

Acad::ErrorStatus AcDbDatabase::saveAs(const std::string& path, std::vector<std::string>* messages) {
  Impl& d = *impl_;
  std::string problem, error;
  const bool saved = kestrum::writeFileAtomically(
      path,
      [&](int fd) {
        problem.clear();
        return writeDrawing(this, d, fd, &problem);
      },
      &error);
  if (!saved && !problem.empty()) {
    report(messages, problem + " The drawing was not saved.");
    return Acad::eFilerError;
  }
  if (!saved) {
    report(messages, error);
    return Acad::eFileAccessErr;
  }
  d.filename = path;
  d.savedChanges = d.changes;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::readDwgFile(const std::string& path, std::vector<std::string>* messages) {
  if (!impl_->stubs.empty()) {
    report(messages, "A drawing can only be read into an empty database.");
    return Acad::eInvalidContext;
  }
  kestrum::Result<std::string> file = kestrum::ReadWholeFile(path);
  if (!file) {
    report(messages, quoted(path) + " " + file.problem().message + ".");
    return Acad::eFileNotFound;
  }
  return readDwgBytes(*file, path, messages);
}

Acad::ErrorStatus AcDbDatabase::readDwgBytes(std::string_view file, const std::string& path,
                                             std::vector<std::string>* messages) {
  Impl& d = *impl_;
  if (!d.stubs.empty()) {
    report(messages, "A drawing can only be read into an empty database.");
    return Acad::eInvalidContext;
  }
  if (file.size() < sizeof kMagic || std::memcmp(file.data(), kMagic, sizeof kMagic) != 0) {
    report(messages, quoted(path) + " is not a drawing file.");
    return Acad::eBadDwgHeader;
  }
  Reader header(file.substr(sizeof kMagic));
  auto version = header.get<Adesk::UInt32>();
  auto checksum = header.get<Adesk::UInt32>();
  auto length = header.get<Adesk::UInt64>();
  if (!header.ok || length > file.size() - kHeaderSize) {
    report(messages, "The drawing file " + quoted(path) + " is truncated.");
    return Acad::eBadDwgHeader;
  }
  if (version != kFormatVersion) {
    report(messages, "The drawing file " + quoted(path) + " has format version " + std::to_string(version) +
                         ", which this program cannot read.");
    return Acad::eBadDwgHeader;
  }
  std::string_view payload = file.substr(kHeaderSize);
  if (length != payload.size() || crc32(payload) != checksum) {
    report(messages, "The drawing file " + quoted(path) + " is damaged (its checksum does not match).");
    return Acad::eDwgCRCError;
  }
  Adesk::UInt64 nextHandle = 0;
  Adesk::UInt64 roots[kRootCount] = {};
  std::vector<RecordView> records;
  if (!splitRecords(payload, &nextHandle, roots, &records)) {
    report(messages, "The drawing file " + quoted(path) + " is damaged (its records are inconsistent).");
    return Acad::eDwgCRCError;
  }

  // Every id exists before any record is read, so that references resolve.
  // Room for the handles in use, but no more than the records justify, whatever the file claims.
  d.byDenseHandle.reserve(std::min<std::size_t>(nextHandleOf(payload), records.size() * 2 + 1024));
  std::vector<AcDbStub*> stubs;
  stubs.reserve(records.size());
  for (const RecordView& record : records) {
    if (d.stubOf(record.handle)) {
      d.forgetAllStubs();
      report(messages, "The drawing file " + quoted(path) + " is damaged (a handle is used twice).");
      return Acad::eDwgCRCError;
    }
    stubs.push_back(d.newStub(record.handle));
  }
  {
    SuppressRecording quiet(d);
    d.nextHandle = std::max(d.nextHandle, nextHandle);
    // The root ids first, so that a record can look up the tables read before it (its layer).
    for (int i = 0; i < kRootCount; ++i) *rootIds(d, i) = d.idOf(AcDbHandle(roots[i]));
    ClassCache classes;
    ProxyCounts proxies;
    for (std::size_t i = 0; i < records.size(); ++i)
      loadRecord(this, records[i], i, path, stubs[i], classes, &proxies, messages);
    proxies.report(path, messages);
  }
  d.filename = path;
  d.savedChanges = d.changes;
  return Acad::eOk;
}
