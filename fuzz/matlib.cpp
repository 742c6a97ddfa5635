// The material library readers, both formats: any file can be read, every line it does not take as
// a material is kept, and what a save writes reads back to the same bytes when saved again; taking a
// material out leaves the others as they were.
#include <algorithm>
#include <string>
#include <vector>

#include "amg/CaeList.h"
#include "db/dbMatLib.h"
#include "fuzz_support.h"
#include "kestrum/text.h"

namespace {

template <class Library>
std::string SavedBytes(const std::string& path) {
  Library library{CaeString(path)};
  CaeList<CaeString> names;
  library.ListNames(names);
  for (CaeList<CaeString>* node = names.FirstNode(); node->HasItem(); node = node->Next()) {
    if (!library.Find(*node->Item())) kestrum::fuzz::Fail("a listed material is not found by its name");
    delete node->Item();
  }
  if (!library.Save()) return {};
  auto text = kestrum::ReadWholeFile(path);
  return text ? *text : std::string();
}

template <class Library>
std::vector<std::string> Names(Library& library) {
  CaeList<CaeString> names;
  library.ListNames(names);
  std::vector<std::string> out;
  for (CaeList<CaeString>* node = names.FirstNode(); node->HasItem(); node = node->Next()) {
    out.push_back(node->Item()->Str());
    delete node->Item();
  }
  return out;
}

// The kept lines around a removed material must not join into a new one on the next read. The
// removed name itself may come back: a block that was damaged only for repeating one of its
// temperatures stays in the file and is read once the first is gone.
template <class Library>
void CheckRemoval(const std::string& path, size_t pick) {
  std::vector<std::string> before;
  std::string removed;
  {
    Library library{CaeString(path)};
    before = Names(library);
    if (before.empty()) return;
    removed = before[pick % before.size()];
    if (library.Remove(CaeString(removed)) != 1) kestrum::fuzz::Fail("a listed material cannot be removed");
    if (!library.Save()) return;
  }
  Library again{CaeString(path)};
  std::vector<std::string> after = Names(again);
  after.erase(std::remove(after.begin(), after.end(), removed), after.end());
  before.erase(std::remove(before.begin(), before.end(), removed), before.end());
  if (after != before) kestrum::fuzz::Fail("removing a material changed the others");
}

template <class Library>
void CheckFormat(const uint8_t* data, size_t size, const char* name) {
  const std::string path = kestrum::fuzz::WriteInput(data, size, name).string();
  const std::string once = SavedBytes<Library>(path);
  const std::string twice = SavedBytes<Library>(path);
  if (once != twice) kestrum::fuzz::Fail("a saved library does not save back to the same bytes");
  CheckRemoval<Library>(path, size);
  const std::string removed = SavedBytes<Library>(path);
  if (removed != SavedBytes<Library>(path))
    kestrum::fuzz::Fail("a library saved after a removal does not save back to the same bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckFormat<MaterialLibrary>(data, size, "zq_fea.mat");
  CheckFormat<AcMatLibrary>(data, size, "mdt_fea.mat");
  return 0;
}
