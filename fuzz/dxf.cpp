// The DXF reader: any text gives a drawing or a message, never a crash.
#include <string>
#include <vector>

#include "arx/dbdatabase.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = kestrum::fuzz::WriteInput(data, size, "input.dxf").string();
  AcDbDatabase db(false);
  std::vector<std::string> messages;
  if (db.dxfIn(path, &messages) != Acad::eOk && messages.empty())
    kestrum::fuzz::Fail("a refused DXF file gave no message");
  return 0;
}
