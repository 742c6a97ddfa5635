#include "fea/FerResultData.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "fea/FerResult.h"
#include "kestrum/atomic_file.h"
#include "kestrum/text.h"

namespace {

constexpr char kMagic[8] = {'K', 'R', 'E', 'S', 'D', 'A', 'T', 'A'};
constexpr std::uint32_t kVersion = 1;
constexpr std::uint32_t kMaxNameLength = 4096;

std::uint64_t Fnv1a(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

class Writer {
 public:
  template <class T>
  void Put(T value) {
    static_assert(std::is_trivially_copyable_v<T>);
    bytes_.append(reinterpret_cast<const char*>(&value), sizeof value);
  }
  template <class Stored, class T>
  void PutAll(const std::vector<T>& values) {
    Put<std::uint64_t>(values.size());
    for (const T& v : values) Put<Stored>(static_cast<Stored>(v));
  }
  void PutText(const std::string& text) {
    Put<std::uint32_t>(static_cast<std::uint32_t>(text.size()));
    bytes_ += text;
  }
  std::string Finish() {
    Put<std::uint64_t>(Fnv1a(bytes_));
    return std::move(bytes_);
  }

 private:
  std::string bytes_;
};

// Reads what the writer wrote; the first fault stops it and is kept as the reason.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool Ok() const { return why_.empty(); }
  const std::string& Why() const { return why_; }
  void Fail(const std::string& why) {
    if (why_.empty()) why_ = why;
  }
  std::size_t Left() const { return bytes_.size() - at_; }

  template <class T>
  T Get() {
    T value{};
    if (!Ok()) return value;
    if (Left() < sizeof value) {
      Fail("the file ends too early");
      return value;
    }
    std::memcpy(&value, bytes_.data() + at_, sizeof value);
    at_ += sizeof value;
    if constexpr (std::is_floating_point_v<T>)
      if (!std::isfinite(value)) Fail("a value is not a finite number");
    return value;
  }
  // A count of entries of `entrySize` bytes each, bounded by what the file still holds.
  std::size_t Count(std::size_t entrySize) {
    const auto count = Get<std::uint64_t>();
    if (Ok() && count > Left() / entrySize) Fail("a count is larger than the file");
    return Ok() ? static_cast<std::size_t>(count) : 0;
  }
  template <class Stored, class T>
  std::vector<T> GetAll(std::size_t count) {
    std::vector<T> values;
    if (!Ok() || count > Left() / sizeof(Stored)) {
      Fail("a count is larger than the file");
      return values;
    }
    values.reserve(count);
    for (std::size_t i = 0; i < count && Ok(); ++i) values.push_back(static_cast<T>(Get<Stored>()));
    return values;
  }
  std::string GetText() {
    const auto length = Get<std::uint32_t>();
    if (Ok() && (length > kMaxNameLength || length > Left())) Fail("a name is too long");
    if (!Ok()) return {};
    std::string text(bytes_.substr(at_, length));
    at_ += length;
    return text;
  }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
  std::string why_;
};

void PutValues(Writer& out, const std::vector<long>& ids, const std::vector<double>& values) {
  out.PutAll<std::int64_t>(ids);
  for (double v : values) out.Put<double>(v);
}

void PutMesh(Writer& out, const FerMesh& mesh) {
  out.PutAll<std::int64_t>(mesh.nodeIds);
  for (double c : mesh.coordinates) out.Put<double>(c);
  out.PutAll<std::int64_t>(mesh.elementIds);
  for (int type : mesh.elementTypes) out.Put<std::int32_t>(type);
  out.PutAll<std::int64_t>(mesh.elementNodes);
}

std::shared_ptr<FerMesh> GetMesh(Reader& in) {
  auto mesh = std::make_shared<FerMesh>();
  mesh->nodeIds = in.GetAll<std::int64_t, long>(in.Count(8 + 3 * 8));
  mesh->coordinates = in.GetAll<double, double>(mesh->nodeIds.size() * 3);
  mesh->elementIds = in.GetAll<std::int64_t, long>(in.Count(8 + 4));
  mesh->elementTypes = in.GetAll<std::int32_t, int>(mesh->elementIds.size());
  mesh->elementNodes = in.GetAll<std::int64_t, long>(in.Count(8));
  // Each element takes as many node entries as its type has nodes; together exactly all of them.
  std::size_t start = 0;
  mesh->elementStarts.push_back(0);
  for (int type : mesh->elementTypes) {
    const int nodes = FerMesh::NodesOf(type);
    if (nodes <= 0) in.Fail("an element has a type the engine does not know");
    start += static_cast<std::size_t>(std::max(nodes, 0));
    mesh->elementStarts.push_back(start);
  }
  if (in.Ok() && start != mesh->elementNodes.size()) in.Fail("the elements do not use the node entries given");
  return mesh;
}

// One result's values as read, applied only once the whole file was read.
struct ResultValues {
  std::vector<std::vector<long>> nodeIds, elementIds;
  std::vector<std::vector<double>> nodeValues, elementValues;
};

void GetSubsets(Reader& in, int components, std::vector<std::vector<long>>& ids,
                std::vector<std::vector<double>>& values) {
  const auto subsets = in.Get<std::uint32_t>();
  if (in.Ok() && subsets > in.Left() / 8) in.Fail("a count is larger than the file");
  for (std::uint32_t s = 0; s < subsets && in.Ok(); ++s) {
    ids.push_back(in.GetAll<std::int64_t, long>(in.Count(8 + 8 * static_cast<std::size_t>(components))));
    values.push_back(in.GetAll<double, double>(ids.back().size() * static_cast<std::size_t>(components)));
  }
}

}  // namespace

namespace FerResultData {

kestrum::Status Write(const std::filesystem::path& path, FerResultSet& set) {
  const FerMesh* mesh = set.Mesh();
  if (!mesh) return kestrum::Problem{"the result set has no mesh to file", path.string(), 0};
  Writer out;
  for (char c : kMagic) out.Put<char>(c);
  out.Put<std::uint32_t>(kVersion);
  PutMesh(out, *mesh);
  out.Put<std::uint32_t>(static_cast<std::uint32_t>(set.NumResults()));
  for (FerResult* result = set.FirstResult(); result; result = set.NextResult()) {
    out.PutText(result->Name().Str());
    out.Put<std::int32_t>(result->QuantityType());
    out.Put<std::int32_t>(result->NumComponents());
    out.Put<std::uint32_t>(static_cast<std::uint32_t>(result->NumNodalSubsets()));
    for (int s = 0; s < result->NumNodalSubsets(); ++s) PutValues(out, result->NodeIds(s), result->NodeValues(s));
    out.Put<std::uint32_t>(static_cast<std::uint32_t>(result->NumElementSubsets()));
    for (int s = 0; s < result->NumElementSubsets(); ++s)
      PutValues(out, result->ElementIds(s), result->ElementValues(s));
  }
  std::string error;
  if (!kestrum::writeFileAtomically(path, out.Finish(), &error)) return kestrum::Problem{error, path.string(), 0};
  return kestrum::Ok();
}

kestrum::Status Read(const std::filesystem::path& path, FerResultSet& set) {
  const kestrum::Result<std::string> bytes = kestrum::ReadWholeFile(path);
  if (!bytes) return bytes.problem();
  auto damaged = [&](const std::string& why) {
    return kestrum::Problem{"the result data file is damaged: " + why, path.string(), 0};
  };
  const std::string_view all(*bytes);
  if (all.size() < sizeof kMagic + 4 + 8 || all.compare(0, sizeof kMagic, std::string_view(kMagic, 8)) != 0)
    return damaged("it is not a result data file");
  const std::string_view body = all.substr(0, all.size() - 8);
  std::uint64_t stored = 0;
  std::memcpy(&stored, all.data() + body.size(), 8);
  if (stored != Fnv1a(body)) return damaged("its checksum does not match its contents");
  Reader in(body.substr(sizeof kMagic));
  if (in.Get<std::uint32_t>() != kVersion) return damaged("its version is not one this program reads");
  std::shared_ptr<FerMesh> mesh = GetMesh(in);
  const auto count = in.Get<std::uint32_t>();
  if (in.Ok() && count != static_cast<std::uint32_t>(set.NumResults()))
    in.Fail("it holds other results than the drawing lists");
  std::vector<ResultValues> values;
  for (FerResult* result = set.FirstResult(); result && in.Ok(); result = set.NextResult()) {
    const std::string name = in.GetText();
    const auto quantity = in.Get<std::int32_t>();
    const auto components = in.Get<std::int32_t>();
    if (in.Ok() &&
        (name != result->Name().Str() || quantity != result->QuantityType() || components != result->NumComponents()))
      in.Fail("it holds other results than the drawing lists");
    ResultValues& v = values.emplace_back();
    GetSubsets(in, components, v.nodeIds, v.nodeValues);
    GetSubsets(in, components, v.elementIds, v.elementValues);
  }
  if (in.Ok() && in.Left() != 0) in.Fail("it holds more than its results");
  if (!in.Ok()) return damaged(in.Why());
  std::size_t r = 0;
  for (FerResult* result = set.FirstResult(); result; result = set.NextResult(), ++r) {
    // The drawing's record keeps the counts as they were filed; setting the values must not move them.
    const int entities = result->EntityCount(), subsets = result->SubSetCount();
    ResultValues& v = values[r];
    for (std::size_t s = 0; s < v.nodeIds.size(); ++s)
      result->SetNodalData(static_cast<int>(s), std::move(v.nodeIds[s]), std::move(v.nodeValues[s]));
    for (std::size_t s = 0; s < v.elementIds.size(); ++s)
      result->SetElementData(static_cast<int>(s), std::move(v.elementIds[s]), std::move(v.elementValues[s]));
    result->SetCountsOfValues(entities, subsets);
  }
  set.SetMesh(std::move(mesh));
  return kestrum::Ok();
}

}  // namespace FerResultData
