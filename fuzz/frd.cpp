// The solver's results file reader: a result set, or a problem with a reason and the set untouched.
#include "amg/CaeUnit.h"
#include "fea/FerResult.h"
#include "fea/FrdReader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = kestrum::fuzz::WriteInput(data, size, "input.frd").string();
  for (AnlType type : {AnlStress, AnlVibration}) {
    FerResultSet set(CaeString("Fuzz"));
    if (const kestrum::Status read = FrdReader::Read(path, type, CaeUnitSystem(), set); !read) {
      if (read.problem().message.empty()) kestrum::fuzz::Fail("a refused results file gave no reason");
      if (set.NumSubSets() != 0) kestrum::fuzz::Fail("a refused results file left subsets behind");
    }
  }
  return 0;
}
