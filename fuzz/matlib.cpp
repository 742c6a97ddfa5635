// The material library readers, both formats: any file can be read, every line it does not take as
// a material is kept, and what a save writes reads back to the same bytes when saved again.
#include <string>

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
void CheckFormat(const uint8_t* data, size_t size, const char* name) {
  const std::string path = kestrum::fuzz::WriteInput(data, size, name).string();
  const std::string once = SavedBytes<Library>(path);
  const std::string twice = SavedBytes<Library>(path);
  if (once != twice) kestrum::fuzz::Fail("a saved library does not save back to the same bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckFormat<MaterialLibrary>(data, size, "zq_fea.mat");
  CheckFormat<AcMatLibrary>(data, size, "mdt_fea.mat");
  return 0;
}
